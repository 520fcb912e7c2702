// The user configuration view's map: the map window's web page (the online
// map page the view shows its reference station on), behind the view's own
// seam, so that the configuration folder links no web engine.
#pragma once

#include <QLayout>
#include <QPointer>
#include <QWebEngineView>

#include "monitor/config/station_map.h"
#include "monitor/views/web/map_services.h"
#include "monitor/views/web/map_web_page.h"

class CStationWebMap : public CStationMapPage
{
public:
    void Show(QWidget* pHost) override
    {
        m_Page.Load(pHost, MapPageUrl(MAP_TYPE_BAIDU));
        m_pMapView = m_Page.View();
        m_pMapLayout = pHost->layout();
    }
    void Release() override
    {
        m_Page.Release();
        m_pMapView = nullptr;
    }
    // The map's view while it is shown (else null), and the host's layout that holds it.
    QWebEngineView* MapView() const { return m_pMapView; }
    QLayout* MapLayout() const { return m_pMapLayout; }
    void AddMarker(double dLatitude, double dLongitude, bool bCentre) override
    {
        m_Page.AddMarker(dLatitude, dLongitude, bCentre);
    }

private:
    CMapWebPage m_Page;
    QPointer<QWebEngineView> m_pMapView;
    QLayout* m_pMapLayout = nullptr;
};
