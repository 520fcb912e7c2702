#!/usr/bin/env bash
# The layering check passes on the tree, and refuses a window or the main
# window that uses a data view (its members, its class, its header, the tab
# set's view getters) and a lower folder that includes the main window.
set -eu
check=$1/scripts/check-layers
"$check" "$1" >/dev/null || { echo "the tree breaks its layers:"; "$check" "$1"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/monitor/shell" "$tmp/monitor/views" "$tmp/monitor/config" "$tmp/monitor/app"
echo 'int n = pTabs->GetCurTxView()->m_pRangeData->Counts[0];' > "$tmp/monitor/shell/inside.cpp"
echo '#include "monitor/shell/txt_browser.h"' >> "$tmp/monitor/shell/inside.cpp"
echo '#include "monitor/app/zorvik_monitor.h"' > "$tmp/monitor/app/wiring.cpp"
echo 'const QString s = m_W.pPortTab->TakeCurScriptOutput();' >> "$tmp/monitor/app/wiring.cpp"
"$check" "$tmp" >/dev/null || { echo "refused a tree that keeps its layers"; exit 1; }
refused() {
  echo "$2" > "$tmp/$1"
  if "$check" "$tmp" >/dev/null; then echo "passed: $2 in $1"; exit 1; fi
  rm "$tmp/$1"
}
refused monitor/views/reach.cpp 'const QRangeData* p = Tabs.GetTxView(i) -> m_pRangeData;'
refused monitor/app/script.cpp 'CZvTxtBrowser* pView = m_W.pPortTab->GetCurTxView();'
refused monitor/app/include.cpp '#include "monitor/shell/txt_browser.h"'
refused monitor/config/view.cpp 'const QString s = pTabs->GetCurTxView()->toPlainText();'
refused monitor/config/up.cpp '#include "monitor/app/zorvik_monitor.h"'
echo "ok"
