#include "monitor/views/web/map_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QOpenGLContext>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cmath>
#include <unistd.h>

#include "codec/ins_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/shell/shell_log.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/web/map_services.h"
#include "monitor/views/web/map_web_page.h"

// Q_INIT_RESOURCE must stand outside any namespace; the pages live in a
// static library, so nothing would pull them in otherwise.
static void InitMapPageResources()
{
    Q_INIT_RESOURCE(web_pages);
    Q_INIT_RESOURCE(web_leaflet);
}

namespace
{
constexpr double kDegreesPerRadian = 180.0 / 3.141592653589793;

// Whether a web view can run in this process: the web engine ends a process
// that runs as root with its sandbox on, and draws nothing without a shared
// GL context unless the software scene graph is chosen (a display-less run).
bool WebEngineCanStart()
{
    const bool bSandboxOff = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
                             qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"));
    if (::geteuid() == 0 && !bSandboxOff)
        return false;
    return QOpenGLContext::globalShareContext() != nullptr ||
           qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software");
}
} // namespace

QFMapWindow::QFMapWindow(QWidget* pParent) : QDialog(pParent), m_pWebPage(new CMapWebPage(this))
{
    static const bool bResources = (InitMapPageResources(), true);
    (void)bResources;
    m_pPage = m_pWebPage;
    setObjectName(QStringLiteral("QFMapWindow"));
    BuildForm();
    resize(1175, 626);
    setMinimumWidth(600);
    m_pbAutoCenter->setChecked(true);
    (QLocale().language() == QLocale::Chinese ? pRadioBaidu : pRadioMapBox)->setChecked(true);

    for (QRadioButton* pRadio : {pRadioBaidu, pRadioMapBox, pRadioBDOfflineMap})
        connect(pRadio, &QRadioButton::clicked, this, &QFMapWindow::OnSwitchMap);
    connect(pCheckBoxPlotTrace, &QCheckBox::clicked, this, &QFMapWindow::OnPlotTrace);
    connect(pBtnCleanTrace, &QPushButton::clicked, this, &QFMapWindow::OnCleanTrace);
    connect(m_pWebPage, &CMapWebPage::SignalLoadStarted, this, &QFMapWindow::OnLoadStarted);
    connect(m_pWebPage, &CMapWebPage::SignalLoadFinished, this, &QFMapWindow::OnLoadFinished);
    OnLanguageUpdate();

    // The online map's page is loaded once now, in a view let go at once, so
    // that the web engine has started and the service's script is cached when
    // the window is first shown; the view the user sees is made then. Not
    // where the web engine would end the program or could draw nothing: the
    // program starts all the same, and the window says so when it is shown.
    if (!WebEngineCanStart())
    {
        qCDebug(lcWindows, "The map page is not loaded at start: the web engine cannot run in this process");
        return;
    }
    auto* pView = new QWebEngineView(MapWidget);
    GrantMapGeolocation(pView);
    pView->load(PageUrl(MAP_TYPE_BAIDU));
    pView->deleteLater();
}

void QFMapWindow::GrantMapGeolocation(QWebEngineView* pView)
{
    // The online map service may ask where the user is; its origin is that
    // of its script's address.
    const QUrl script(CurrentMapServices().sBaiduScript);
    if (pView != nullptr && script.isValid() && !script.host().isEmpty())
        pView->page()->setFeaturePermission(
            script.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo),
            QWebEnginePage::Geolocation, QWebEnginePage::PermissionGrantedByUser);
}

QFMapWindow::~QFMapWindow() = default;

void QFMapWindow::BuildForm()
{
    groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto* pGroupLayout = new QVBoxLayout(groupBox);
    auto* pFields = new QGridLayout;
    QLineEdit** const fields[] = {&m_pPosLon,   &m_pPosLat, &m_pPosHgt, &m_pUTCTime, &m_pSvNum,
                                  &m_pVelocity, &m_pRoll,   &m_pPitch,  &m_pYaw};
    const char* const names[] = {"m_pPosLon",   "m_pPosLat", "m_pPosHgt", "m_pUTCTime", "m_pSvNum",
                                 "m_pVelocity", "m_pRoll",   "m_pPitch",  "m_pYaw"};
    for (int i = 0; i < 9; ++i)
    {
        m_pFieldLabels[i] = new QLabel(groupBox);
        m_pFieldLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *fields[i] = new QLineEdit(groupBox);
        (*fields[i])->setObjectName(QLatin1String(names[i]));
        (*fields[i])->setReadOnly(true);
        // Room for a longitude of "%13.9lf" and for an angle with its unit.
        (*fields[i])->setMinimumWidth((*fields[i])->fontMetrics().horizontalAdvance(QStringLiteral("-180.000000000 ")));
        pFields->addWidget(m_pFieldLabels[i], i, 0);
        pFields->addWidget(*fields[i], i, 1);
    }
    pGroupLayout->addLayout(pFields);

    auto* pControls = new QGridLayout;
    pRadioBaidu = new QRadioButton(groupBox);
    pRadioBaidu->setObjectName(QStringLiteral("pRadioBaidu"));
    pRadioMapBox = new QRadioButton(groupBox);
    pRadioMapBox->setObjectName(QStringLiteral("pRadioMapBox"));
    pRadioBDOfflineMap = new QRadioButton(groupBox);
    pRadioBDOfflineMap->setObjectName(QStringLiteral("pRadioBDOfflineMap"));
    pCheckBoxPlotTrace = new QCheckBox(groupBox);
    pCheckBoxPlotTrace->setObjectName(QStringLiteral("pCheckBoxPlotTrace"));
    pBtnCleanTrace = new QPushButton(groupBox);
    pBtnCleanTrace->setObjectName(QStringLiteral("pBtnCleanTrace"));
    m_pbAutoCenter = new QCheckBox(groupBox);
    m_pbAutoCenter->setObjectName(QStringLiteral("m_pbAutoCenter"));
    pPageLoadStatus = new QLabel(groupBox);
    pPageLoadStatus->setObjectName(QStringLiteral("pPageLoadStatus"));
    pPageLoadStatus->setWordWrap(true);
    pPageLoadStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The controls keep the room their texts need.
    for (QWidget* pControl : std::initializer_list<QWidget*>{pRadioBaidu, pRadioMapBox, pRadioBDOfflineMap,
                                                             pCheckBoxPlotTrace, pBtnCleanTrace, m_pbAutoCenter})
        pControl->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    pControls->addWidget(pRadioBaidu, 0, 0);
    pControls->addWidget(pRadioMapBox, 0, 1);
    pControls->addWidget(pRadioBDOfflineMap, 1, 0, 1, 2);
    pControls->addWidget(pCheckBoxPlotTrace, 2, 0);
    pControls->addWidget(pBtnCleanTrace, 2, 1);
    pControls->addWidget(m_pbAutoCenter, 3, 0, 1, 2);
    pControls->addWidget(pPageLoadStatus, 4, 0, 1, 2);
    pGroupLayout->addLayout(pControls);
    pGroupLayout->addStretch();

    // A dock shorter than the fields scrolls them instead of squeezing them.
    m_pFieldScroll = new QScrollArea(this);
    m_pFieldScroll->setObjectName(QStringLiteral("FieldScroll"));
    m_pFieldScroll->setFrameShape(QFrame::NoFrame);
    m_pFieldScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pFieldScroll->setWidgetResizable(true);
    m_pFieldScroll->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_pFieldScroll->setWidget(groupBox);

    MapWidget = new QWidget(this);
    MapWidget->setObjectName(QStringLiteral("MapWidget"));
    MapWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->addWidget(m_pFieldScroll);
    pLayout->addWidget(MapWidget, 1);
}

void QFMapWindow::OnLanguageUpdate()
{
    setWindowTitle(tr("Map Window"));
    const char* const labels[] = {QT_TR_NOOP("Longitude"), QT_TR_NOOP("Latitude"),  QT_TR_NOOP("Height"),
                                  QT_TR_NOOP("UTC Time"),  QT_TR_NOOP("Satellite"), QT_TR_NOOP("Velocity"),
                                  QT_TR_NOOP("Roll"),      QT_TR_NOOP("Pitch"),     QT_TR_NOOP("Yaw")};
    for (int i = 0; i < 9; ++i)
        m_pFieldLabels[i]->setText(tr(labels[i]));
    pCheckBoxPlotTrace->setText(tr("Plot Trace"));
    pBtnCleanTrace->setText(tr("Clean Trace"));
    pRadioBaidu->setText(tr("BaiDu"));
    pRadioMapBox->setText(tr("MapBox"));
    pRadioBDOfflineMap->setText(tr("Offline Map"));
    m_pbAutoCenter->setText(tr("Auto Center"));
    pPageLoadStatus->clear();
    FitFields();
}

void QFMapWindow::FitFields()
{
    // At least 200 x 280, and the room the texts need in this language and font.
    for (QLayout* pLayout : groupBox->findChildren<QLayout*>())
        pLayout->invalidate();
    groupBox->setMinimumSize(groupBox->minimumSizeHint().expandedTo(QSize(200, 280)));
    m_pFieldScroll->setFixedWidth(groupBox->minimumWidth() + m_pFieldScroll->verticalScrollBar()->sizeHint().width());
}

void QFMapWindow::changeEvent(QEvent* pEvent)
{
    QDialog::changeEvent(pEvent);
    // A dock or the main window can give the window another font or style.
    if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange)
        FitFields();
}

MAP_TYPE_E QFMapWindow::MapType() const
{
    if (pRadioBaidu->isChecked())
        return MAP_TYPE_BAIDU;
    if (pRadioMapBox->isChecked())
        return MAP_TYPE_MAPBOX;
    if (pRadioBDOfflineMap->isChecked())
        return MAP_TYPE_OFFLINE;
    return MAP_TYPE_COUNT;
}

QUrl QFMapWindow::PageUrl(MAP_TYPE_E eType) const
{
    if (eType < 0 || eType >= MAP_TYPE_COUNT)
        return QUrl();
    return m_PageUrls[eType].isEmpty() ? MapPageUrl(eType) : m_PageUrls[eType];
}

QWebEngineView* QFMapWindow::MapView() const { return m_pWebPage->View(); }

void QFMapWindow::SetPageUrl(MAP_TYPE_E eType, const QUrl& Url)
{
    if (eType >= 0 && eType < MAP_TYPE_COUNT)
        m_PageUrls[eType] = Url;
}

void QFMapWindow::SetMapPage(CMapPage* pPage)
{
    m_pPage->Release();
    m_pPage = pPage != nullptr ? pPage : m_pWebPage;
}

void QFMapWindow::OnSwitchMap() { OnWindowVisible(); }

void QFMapWindow::OnShow() { OnWindowVisible(); }

void QFMapWindow::OnPlotTrace()
{
    if (m_pPage->HasPage())
        m_pPage->PlotTrace(pCheckBoxPlotTrace->isChecked());
}

void QFMapWindow::OnCleanTrace()
{
    if (m_pPage->HasPage())
        m_pPage->CleanTrace();
}

void QFMapWindow::OnWindowVisible()
{
    if (!isVisible())
    {
        m_pPage->Release();
        return;
    }
    pCheckBoxPlotTrace->show();
    pBtnCleanTrace->show();
    const MAP_TYPE_E eType = MapType();
    switch (eType)
    {
    case MAP_TYPE_BAIDU:
        qCDebug(lcWindows, "Baidu Map Loading...");
        break;
    case MAP_TYPE_MAPBOX:
        qCDebug(lcWindows, "MapBox Map Loading...");
        break;
    case MAP_TYPE_OFFLINE:
        qCDebug(lcWindows, "Runtime Path: %s", qPrintable(OfflineMapFolder()));
        qCDebug(lcWindows, "Baidu Offline Map Loading...");
        pCheckBoxPlotTrace->hide();
        pBtnCleanTrace->hide();
        break;
    default:
        qCDebug(lcWindows, "Map Type Select Status Error!!!");
        return;
    }
    const QUrl url = PageUrl(eType);
    // A page missing from beside the program would load as an empty page.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
    {
        m_pPage->Release();
        pPageLoadStatus->setText(
            tr("The offline map page is missing: %1").arg(QDir::toNativeSeparators(url.toLocalFile())));
        return;
    }
    m_pPage->Load(MapWidget, url);
    if (eType == MAP_TYPE_BAIDU)
        GrantMapGeolocation(MapView());
}

void QFMapWindow::OnUpdateMap(void* pPosition)
{
    const CPortTab* pTabs = PortTabPayload(pPosition);
    if (!isVisible() || pTabs == nullptr || pTabs->GetCurPortID() == 0)
        return;

    // The INS attitude, whether or not there is a fix.
    const QRangeData* pStore = pTabs->GetCurRangeData();
    const InspvaxBody* pIns = pStore != nullptr ? pStore->Body<InspvaxBody>(MSG_ID_INSPVAX) : nullptr;
    if (pIns != nullptr && static_cast<int32_t>(pIns->InsStatus) > 0)
    {
        // Taken out of the packed record by value.
        const double angles[] = {pIns->Roll, pIns->Pitch, pIns->Azimuth};
        QLineEdit* const edits[] = {m_pRoll, m_pPitch, m_pYaw};
        for (int i = 0; i < 3; ++i)
            edits[i]->setText(QString::asprintf("%.3lf ", angles[i]) + tr("Degree"));
    }
    else
        ClearAttitude();

    // A fix is a position with a solution, in any hemisphere; a record
    // without a solution, or without a position yet, leaves all as it was.
    const POS_DATA_T* pPos = pTabs->GetPosData();
    if (pPos == nullptr || static_cast<int8_t>(pPos->FixQuality) <= 0)
        return;
    const double dLat = pPos->Latitude * kDegreesPerRadian;
    const double dLon = pPos->Longitude * kDegreesPerRadian;
    if (!IsMapPoint(dLat, dLon) || (pPos->Latitude == 0.0 && pPos->Longitude == 0.0))
        return;

    m_pPosLon->setText(QString::asprintf("%13.9lf", dLon));
    m_pPosLat->setText(QString::asprintf("%13.9lf", dLat));
    m_pPosHgt->setText(QString::asprintf("%.3lf", pPos->Height));
    m_pUTCTime->setText(QString::asprintf("%02u:%02u:%02u", pPos->Utc.Hour, pPos->Utc.Minute, pPos->Utc.Second));
    m_pSvNum->setText(QString::number(pPos->SatsUsed & 0xFF));
    m_pVelocity->setText(QString::asprintf("%.3lf", pPos->Speed));

    if (!m_pPage->HasPage())
    {
        // The page is made and loaded; the marker waits for it.
        qCDebug(lcWindows, "MapEngineView Object is Invalid !!!");
        OnWindowVisible();
    }
    if (m_pPage->HasPage())
    {
        m_pPage->AddMarker(dLat, dLon, m_pbAutoCenter->isChecked());
        OnPlotTrace();
    }
}

void QFMapWindow::ClearAttitude()
{
    m_pRoll->clear();
    m_pPitch->clear();
    m_pYaw->clear();
}

void QFMapWindow::OnLoadStarted() { pPageLoadStatus->setText(tr("Loading")); }

void QFMapWindow::OnLoadFinished(bool bOk)
{
    if (bOk)
        pPageLoadStatus->clear();
    else
        pPageLoadStatus->setText(tr("The map page could not be loaded."));
}

void QFMapWindow::hideEvent(QHideEvent* pEvent)
{
    QDialog::hideEvent(pEvent);
    // Spontaneous hides (the window minimised) keep the page.
    if (!pEvent->spontaneous())
        OnWindowVisible();
}
