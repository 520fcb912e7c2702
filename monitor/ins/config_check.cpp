#include "monitor/ins/config_check.h"

QConfigCheck::QConfigCheck(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Configure Check"), pParent)
{
    setObjectName(QStringLiteral("QConfigCheck"));
}

void QConfigCheck::OnShowConfigCheckWindow()
{
    Note("OnShowConfigCheckWindow");
    OnShowDialog();
}

void QConfigCheck::OnNoValidPortExist() { Note("OnNoValidPortExist"); }

void QConfigCheck::OnCycleCheckTQOn(QString) { Note("OnCycleCheckTQOn"); }

void QConfigCheck::OnCycleCheckTQOff() { Note("OnCycleCheckTQOff"); }
