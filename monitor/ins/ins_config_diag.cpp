#include "monitor/ins/ins_config_diag.h"

QZvINSConfig::QZvINSConfig(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "INS"), pParent)
{
    setObjectName(QStringLiteral("QZvINSConfig"));
}

void QZvINSConfig::OnUpdateDiag(void*) { Note("OnUpdateDiag"); }
