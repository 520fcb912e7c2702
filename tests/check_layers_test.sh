#!/usr/bin/env bash
# The layering check passes on the tree, and refuses a window that reaches
# into a data view and a lower folder that includes the main window.
set -eu
check=$1/scripts/check-layers
"$check" "$1" >/dev/null || { echo "the tree breaks its layers:"; "$check" "$1"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/monitor/shell" "$tmp/monitor/views" "$tmp/monitor/config" "$tmp/monitor/app"
echo 'int n = pTabs->GetCurTxView()->m_pRangeData->Counts[0];' > "$tmp/monitor/shell/inside.cpp"
echo '#include "monitor/app/zorvik_monitor.h"' > "$tmp/monitor/app/wiring.cpp"
"$check" "$tmp" >/dev/null || { echo "refused a tree that keeps its layers"; exit 1; }
echo 'const QRangeData* p = Tabs.GetTxView(i) -> m_pRangeData;' > "$tmp/monitor/views/reach.cpp"
if "$check" "$tmp" >/dev/null; then echo "a reach into a data view passed"; exit 1; fi
rm "$tmp/monitor/views/reach.cpp"
echo '#include "monitor/app/zorvik_monitor.h"' > "$tmp/monitor/config/up.cpp"
if "$check" "$tmp" >/dev/null; then echo "an include of the main window from below passed"; exit 1; fi
echo "ok"
