#include "monitor/config/loglist_diag.h"

QLoglistDiag::QLoglistDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Loglist Check"), pParent)
{
    setObjectName(QStringLiteral("QLoglistDiag"));
}

void QLoglistDiag::OnUpdateDiag() { Note("OnUpdateDiag"); }
