#include "monitor/tools/hardware_diag.h"

QHardwareDiag::QHardwareDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Hardware Test"), pParent)
{
    setObjectName(QStringLiteral("QHardwareDiag"));
}
