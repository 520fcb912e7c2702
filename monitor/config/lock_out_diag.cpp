#include "monitor/config/lock_out_diag.h"

QLockOutDiag::QLockOutDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Satellite Lock-out"), pParent)
{
    setObjectName(QStringLiteral("QLockOutDiag"));
}
