// The page interface of the monitor's web maps. Every map page defines three
// script functions, AddMarker(lat, lon, autoCenter), PlotTrace(on) and
// CleanTrace(); a window drives a page through CMapPage and never writes a
// script of its own. The map window holds a web page behind it
// (monitor/views/web/map_web_page.h); any other window that shows a position
// on a map can drive the same page, and tests put a recorder in its place.
#pragma once

#include <QString>

class QUrl;
class QWidget;

// The trace a page draws keeps its newest points; older ones are dropped.
inline constexpr int MAP_TRACE_MAX_POINTS = 5000;

// The script texts of the page functions: latitude and longitude in degrees
// (south and west negative) with six decimals and "." whatever the locale,
// then 1 or 0. A coordinate that is not a finite number within ±90 and ±180
// degrees gives an empty text: a garbled log never becomes script text such as
// "AddMarker(nan,inf,1)".
QString MapScriptAddMarker(double dLatitude, double dLongitude, bool bAutoCenter);
QString MapScriptPlotTrace(bool bPlot);
QString MapScriptCleanTrace();

// Whether a point can be shown on a map (the rule of MapScriptAddMarker).
bool IsMapPoint(double dLatitude, double dLongitude);

class CMapPage
{
public:
    virtual ~CMapPage() = default;

    // Makes the page inside pHost when there is none and loads Url into it
    // (again, when it is loaded). Calls made before the page has loaded are
    // kept and run, in order, once it has.
    virtual void Load(QWidget* pHost, const QUrl& Url) = 0;
    // Lets the page go, with what it drew and what waited for it.
    virtual void Release() = 0;
    // Whether a page exists (made by Load, not yet released).
    virtual bool HasPage() const = 0;

    // A marker at the point; bAutoCenter centres the map on it. A point that
    // IsMapPoint refuses is not sent.
    virtual void AddMarker(double dLatitude, double dLongitude, bool bAutoCenter) = 0;
    // Whether the page draws the trace of the markers.
    virtual void PlotTrace(bool bPlot) = 0;
    // Erases the trace.
    virtual void CleanTrace() = 0;
};
