#include "monitor/tools/auto_log_list.h"

QAutoLogList::QAutoLogList(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "AutoLog"), pParent)
{
    setObjectName(QStringLiteral("QAutoLogList"));
}

void QAutoLogList::OnShowDiag()
{
    Note("OnShowDiag");
    OnShowDialog();
}

void QAutoLogList::OnPortCloseEvent(int) { Note("OnPortCloseEvent"); }

void QAutoLogList::OnRefreshAutoLogList() { Note("OnRefreshAutoLogList"); }
