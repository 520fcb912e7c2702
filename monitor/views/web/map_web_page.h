// A map page in a web view: the CMapPage of the map window, and of any other
// window that shows a position on a web map. The view exists from Load to
// Release. Calls made while the page loads (after every show and every switch
// of map) wait and are run in order once it has loaded, so that the marker of
// the first fix is not lost; at most MAP_PAGE_PENDING_MAX of them wait.
#pragma once

#include <QPointer>
#include <QWebEngineView>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include "monitor/views/map_page.h"

class QWebEngineView;

// Two calls per fix (AddMarker, PlotTrace): as many fixes as the trace keeps.
inline constexpr int MAP_PAGE_PENDING_MAX = 2 * MAP_TRACE_MAX_POINTS;

class CMapWebPage : public QObject, public CMapPage
{
    Q_OBJECT

public:
    explicit CMapWebPage(QObject* pParent = nullptr);
    ~CMapWebPage() override;

    void Load(QWidget* pHost, const QUrl& Url) override;
    void Release() override;
    bool HasPage() const override { return m_pView != nullptr; }
    void AddMarker(double dLatitude, double dLongitude, bool bAutoCenter) override;
    void PlotTrace(bool bPlot) override;
    void CleanTrace() override;

    // The web view while the page exists, else null.
    QWebEngineView* View() const { return m_pView; }
    // Whether the page has loaded and takes calls at once.
    bool IsLoaded() const { return m_bLoaded; }
    // Scripts waiting for the page to load.
    const QStringList& Pending() const { return m_Pending; }

signals:
    void SignalLoadStarted();
    void SignalLoadFinished(bool bOk);

private:
    void Run(const QString& sScript);
    void OnViewLoadFinished(bool bOk);

    // Guarded: the view is a child of its host, which may go first.
    QPointer<QWebEngineView> m_pView;
    bool m_bLoaded = false;
    QStringList m_Pending;
};
