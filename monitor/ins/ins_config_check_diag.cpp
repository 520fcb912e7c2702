#include "monitor/ins/ins_config_check_diag.h"

QINSConfigCheckDiag::QINSConfigCheckDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "INS Config Check"), pParent)
{
    setObjectName(QStringLiteral("QINSConfigCheckDiag"));
}

void QINSConfigCheckDiag::OnUpdateDiag() { Note("OnUpdateDiag"); }
