#include "monitor/views/web/map_web_page.h"

#include <QLayout>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

CMapWebPage::CMapWebPage(QObject* pParent) : QObject(pParent) {}

CMapWebPage::~CMapWebPage() { delete m_pView; }

void CMapWebPage::Load(QWidget* pHost, const QUrl& Url)
{
    if (m_pView == nullptr)
    {
        m_pView = new QWebEngineView(pHost);
        m_pView->setObjectName(QStringLiteral("MapEngineView"));
        // The online pages are resources of the program that fetch the map
        // service's script and tiles.
        m_pView->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
        m_pView->setContextMenuPolicy(Qt::NoContextMenu);
        connect(m_pView, &QWebEngineView::loadStarted, this, &CMapWebPage::SignalLoadStarted);
        connect(m_pView, &QWebEngineView::loadFinished, this, &CMapWebPage::OnViewLoadFinished);
        if (pHost->layout() == nullptr)
        {
            auto* pLayout = new QVBoxLayout(pHost);
            pLayout->setContentsMargins(0, 0, 0, 0);
        }
        pHost->layout()->addWidget(m_pView);
        m_pView->show();
    }
    // Calls from now on are for the page being loaded.
    m_bLoaded = false;
    m_pView->load(Url);
}

void CMapWebPage::Release()
{
    m_Pending.clear();
    m_bLoaded = false;
    if (m_pView == nullptr)
        return;
    if (QWidget* pHost = m_pView->parentWidget(); pHost != nullptr && pHost->layout() != nullptr)
        pHost->layout()->removeWidget(m_pView);
    // Its signals may be on their way; the view goes once they have been delivered.
    m_pView->disconnect(this);
    m_pView->hide();
    m_pView->deleteLater();
    m_pView = nullptr;
}

void CMapWebPage::AddMarker(double dLatitude, double dLongitude, bool bAutoCenter)
{
    const QString sScript = MapScriptAddMarker(dLatitude, dLongitude, bAutoCenter);
    if (!sScript.isEmpty())
        Run(sScript);
}

void CMapWebPage::PlotTrace(bool bPlot) { Run(MapScriptPlotTrace(bPlot)); }

void CMapWebPage::CleanTrace() { Run(MapScriptCleanTrace()); }

void CMapWebPage::Run(const QString& sScript)
{
    if (m_pView != nullptr && m_bLoaded)
    {
        m_pView->page()->runJavaScript(sScript);
        return;
    }
    m_Pending.append(sScript);
    if (m_Pending.size() > MAP_PAGE_PENDING_MAX)
        m_Pending.removeFirst();
}

void CMapWebPage::OnViewLoadFinished(bool bOk)
{
    // A load that failed or was replaced by another keeps the calls for the next.
    if (bOk && m_pView != nullptr)
    {
        m_bLoaded = true;
        const QStringList pending = m_Pending;
        m_Pending.clear();
        for (const QString& sScript : pending)
            m_pView->page()->runJavaScript(sScript);
    }
    emit SignalLoadFinished(bOk);
}
