#include "monitor/config/msg_config.h"

QFMsgConfig::QFMsgConfig(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Message"), pParent)
{
    setObjectName(QStringLiteral("QFMsgConfig"));
}

void QFMsgConfig::OnUpdateDiag(void*) { Note("OnUpdateDiag"); }
