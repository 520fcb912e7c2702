#include "monitor/tools/hex_to_bin_diag.h"

QHextoBinDiag::QHextoBinDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Hex to Binary"), pParent)
{
    setObjectName(QStringLiteral("QHextoBinDiag"));
}
