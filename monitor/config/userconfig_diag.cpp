#include "monitor/config/userconfig_diag.h"

QUserconfigDiag::QUserconfigDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Userconfig"), pParent)
{
    setObjectName(QStringLiteral("QUserconfigDiag"));
}

void QUserconfigDiag::OnUpdateDiag() { Note("OnUpdateDiag"); }
