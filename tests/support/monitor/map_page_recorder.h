// A map page for tests of windows that show a position on a map: it records
// every call as the script text a web map page would run, and the pages it
// was asked to load. The test program links monitor_views (the scripts).
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include "monitor/views/map_page.h"

class CMapPageRecorder : public CMapPage
{
public:
    void Load(QWidget*, const QUrl& Url) override
    {
        Loads << Url;
        m_bPage = true;
    }
    void Release() override
    {
        if (m_bPage)
            ++Releases;
        m_bPage = false;
    }
    bool HasPage() const override { return m_bPage; }
    void AddMarker(double dLatitude, double dLongitude, bool bAutoCenter) override
    {
        const QString sScript = MapScriptAddMarker(dLatitude, dLongitude, bAutoCenter);
        if (!sScript.isEmpty())
            Calls << sScript;
    }
    void PlotTrace(bool bPlot) override { Calls << MapScriptPlotTrace(bPlot); }
    void CleanTrace() override { Calls << MapScriptCleanTrace(); }

    QStringList Calls;
    QList<QUrl> Loads;
    int Releases = 0; // pages let go

private:
    bool m_bPage = false;
};
