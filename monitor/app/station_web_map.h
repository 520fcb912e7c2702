// The user configuration view's map: the map window's web page (the online
// map page the view shows its reference station on), behind the view's own
// seam, so that the configuration folder links no web engine.
#pragma once

#include "monitor/config/station_map.h"
#include "monitor/views/web/map_services.h"
#include "monitor/views/web/map_web_page.h"

class CStationWebMap : public CStationMapPage
{
public:
    void Show(QWidget* pHost) override { m_Page.Load(pHost, MapPageUrl(MAP_TYPE_BAIDU)); }
    void Release() override { m_Page.Release(); }
    void AddMarker(double dLatitude, double dLongitude, bool bCentre) override
    {
        m_Page.AddMarker(dLatitude, dLongitude, bCentre);
    }

private:
    CMapWebPage m_Page;
};
