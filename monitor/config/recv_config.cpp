#include "monitor/config/recv_config.h"

QZvRecvConfig::QZvRecvConfig(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Configure"), pParent)
{
    setObjectName(QStringLiteral("QZvRecvConfig"));
}

void QZvRecvConfig::OnUpdateDiag(void*) { Note("OnUpdateDiag"); }

void QZvRecvConfig::OnUpdateRefCurPos(void*) { Note("OnUpdateRefCurPos"); }
