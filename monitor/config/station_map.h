// Where the user configuration view shows the receiver's reference station:
// a map page. The view drives the page only through this interface. The
// program plugs its web map page in with QUserconfigDiag::SetMapPage; tests
// put a recorder there; without one, nothing is drawn.
#pragma once

class QWidget;

class CStationMapPage
{
public:
    virtual ~CStationMapPage() = default;

    // The view is shown: the page is made and loaded inside pHost (the
    // view's "MapWidget"), or reloaded when it exists.
    virtual void Show(QWidget* pHost) { (void)pHost; }
    // The view is hidden or closed: the page is let go.
    virtual void Release() {}
    // A marker at the point (degrees, south and west negative); bCentre
    // centres the map on it. A marker that comes before the page has loaded
    // is the page's to keep until it can show it.
    virtual void AddMarker(double dLatitude, double dLongitude, bool bCentre)
    {
        (void)dLatitude, (void)dLongitude, (void)bCentre;
    }
};
