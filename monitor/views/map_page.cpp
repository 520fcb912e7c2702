#include "monitor/views/map_page.h"

#include <cmath>

bool IsMapPoint(double dLatitude, double dLongitude)
{
    return std::isfinite(dLatitude) && std::isfinite(dLongitude) && std::fabs(dLatitude) <= 90.0 &&
           std::fabs(dLongitude) <= 180.0;
}

// QString::asprintf formats numbers in the C locale, whatever the process's.
QString MapScriptAddMarker(double dLatitude, double dLongitude, bool bAutoCenter)
{
    if (!IsMapPoint(dLatitude, dLongitude))
        return QString();
    return QString::asprintf("AddMarker(%lf,%lf,%d)", dLatitude, dLongitude, bAutoCenter ? 1 : 0);
}

QString MapScriptPlotTrace(bool bPlot) { return QString::asprintf("PlotTrace(%d)", bPlot ? 1 : 0); }

QString MapScriptCleanTrace() { return QStringLiteral("CleanTrace()"); }
