#include "monitor/tools/kmz_gen_diag.h"

QKMZGenDiag::QKMZGenDiag(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "KMZ Gen"), pParent)
{
    setObjectName(QStringLiteral("QKMZGenDiag"));
}
