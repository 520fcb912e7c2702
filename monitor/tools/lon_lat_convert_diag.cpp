#include "monitor/tools/lon_lat_convert_diag.h"

QLonAndLatConvertDiag::QLonAndLatConvertDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Longitude and latitude conversion"), pParent)
{
    setObjectName(QStringLiteral("QLonAndLatConvertDiag"));
}
