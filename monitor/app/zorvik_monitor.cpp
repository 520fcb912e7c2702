#include "monitor/app/zorvik_monitor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkProxyFactory>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "codec/profile.h"
#include "monitor/app/device_monitor.h"
#include "monitor/app/station_web_map.h"
#include "monitor/config/freset_config.h"
#include "monitor/config/lock_out_diag.h"
#include "monitor/config/loglist_diag.h"
#include "monitor/config/msg_config.h"
#include "monitor/config/recv_config.h"
#include "monitor/config/recv_status_diag.h"
#include "monitor/config/userconfig_diag.h"
#include "monitor/connect/port_list_connect_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/connect/replay_cfg_diag.h"
#include "monitor/ins/config_check.h"
#include "monitor/ins/ins_config_check_diag.h"
#include "monitor/ins/ins_config_diag.h"
#include "monitor/ins/medium_freq_diag.h"
#include "monitor/ins/nvm_log_diag.h"
#include "monitor/parsing/parsing_log.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "monitor/shell/about_dialog.h"
#include "monitor/shell/button_bar.h"
#include "monitor/shell/cmd_input.h"
#include "monitor/shell/debug_window.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/docking_host.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/msg_filter_diag.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/script_process.h"
#include "monitor/shell/shell_log.h"
#include "monitor/shell/status_bar.h"
#include "monitor/tools/auto_log_list.h"
#include "monitor/tools/hardware_diag.h"
#include "monitor/tools/hex_to_bin_diag.h"
#include "monitor/tools/kmz_gen_diag.h"
#include "monitor/tools/lon_lat_convert_diag.h"
#include "monitor/tools/product_mode_diag.h"
#include "monitor/tools/regression_diag.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/ins_status.h"
#include "monitor/views/range_view.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/track_plot.h"
#include "monitor/views/web/highlight_diag.h"
#include "monitor/views/web/map_window.h"
#include "ui_QZorvikMonitor.h"
#include "zv_version.h"

namespace
{
const char* const kLanguageChinese = "zh";
const char* const kLanguageEnglish = "en";
// Baud rates of the keys Ctrl+1 to Ctrl+4.
const uint kKeyBaudRates[] = {115200, 230400, 460800, 921600};
} // namespace

QString QZorvikMonitor::Title() { return QStringLiteral("ZorvikMonitor v") + QLatin1String(ZV_VERSION_TEXT); }

QString QZorvikMonitor::ConverterProgram()
{
    const QString sBeside = QCoreApplication::applicationDirPath() + QStringLiteral("/QMoxelin");
    if (QFileInfo(sBeside).isExecutable())
        return sBeside;
    const QString sOnPath = QStandardPaths::findExecutable(QStringLiteral("QMoxelin"));
    return sOnPath.isEmpty() ? sBeside : sOnPath;
}

QZorvikMonitor::QZorvikMonitor(QWidget* pParent) : QMainWindow(pParent), m_pUi(new Ui::QZorvikMonitor)
{
    InitMonitorResources();
    qApp->setProperty("window", QVariant::fromValue<QObject*>(this));
    m_pUi->setupUi(this);
    setWindowTitle(Title());
    CreateWindows();

    auto* pLayout = new QVBoxLayout(m_W.pCmdContainer);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_W.pButtonBar);
    pLayout->addWidget(m_W.pCmdInput);
    m_W.pCmdContainer->setObjectName(QStringLiteral("CMDWinContainer"));
    GivePortTab();
    m_W.pHighLight = new QFHighLightDiag(this);

    m_pButtonBarToggle = m_W.pButtonBar->toggleViewAction();
    m_pButtonBarToggle->setIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/BtnIcon.png")));
    m_pButtonBarToggle->setText(QCoreApplication::translate("QButtonBar", "Command Preset"));
    m_pButtonBarToggle->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
    m_pUi->m_MenuView->addAction(m_pButtonBarToggle);

    m_W.pCmdInput->installEventFilter(this);
    m_W.pCmdInput->SetPortTab(m_W.pPortTab);
    m_W.pCmdInput->SetPortManager(m_W.pPortManager);
    m_W.pPortTab->SetPortManager(m_W.pPortManager);
    connect(m_W.pPortTab, &QWidget::customContextMenuRequested, m_W.pPortTab, &CPortTab::OnContextMenuRequesred);

    // Precise: the tick keeps to the rhythm of the port in sight's hand-overs
    // (see PlanTick), which a coarse timer's 5 % would blur.
    m_W.pTimer->setTimerType(Qt::PreciseTimer);
    m_W.pTimer->start(TIMER_INTERVAL_MS);
    m_pUi->actionWebServer->setVisible(false);

    m_pReplayGroup = new QActionGroup(this);
    m_pReplayGroup->setExclusive(true);
    for (QAction* pAction : {m_pUi->m_ActReplayStart, m_pUi->m_ActReplayPause, m_pUi->m_ActReplayResume,
                             m_pUi->m_ActReplayStop, m_pUi->m_ActReplayForward, m_pUi->m_ActReplayBackward})
        m_pReplayGroup->addAction(pAction);

    m_pActCMDWindow = m_pUi->actionCMDWindow;
    m_pActMapWindow = m_pUi->actionMapWindow;
    m_pActDebugWindow = m_pUi->actionDebugWindow;
    m_W.pCmdContainer->setWindowIcon(m_pActCMDWindow->icon());
    m_W.pDebugWindow->setWindowIcon(m_pActDebugWindow->icon());
    m_W.pMapWindow->setWindowIcon(m_pActMapWindow->icon());

    RegisterDockWindows();
    BuildLanguageMenu();

    setCentralWidget(m_W.pCentral);
    setStatusBar(m_W.pStatusBar);
    showMaximized();
    if (QScreen* pScreen = QGuiApplication::primaryScreen())
        setGeometry(pScreen->availableGeometry());

    BuildConnectionButton();
    WireSignals();
    m_W.pCentral->LoadFlexLayout(m_W.pPortTab);

    m_pUi->actionDebugWindow->setVisible(false);
    m_pUi->m_pActionRenameAll->setVisible(false);
    m_pUi->menuAnalysis->menuAction()->setVisible(false);
    m_pUi->menuEVT->menuAction()->setVisible(false);
    SetProfessionalMode(0);

    m_pUi->m_ActionQuickConnect->trigger();
    m_pUi->actionCMDWindow->trigger();
    m_pUi->actionSimplify->trigger();
    emit SignalMainWindowCreated();
}

QZorvikMonitor::~QZorvikMonitor()
{
    ShutDown(false);
    for (const QPointer<QObject>& pObject : qAsConst(m_Owned))
        delete pObject.data();
}

void QZorvikMonitor::CreateWindows()
{
    m_W.pCentral = new QtCentral(this);
    m_W.pPortManager = new QZvPortManager(this);
    m_W.pPortTab = new CPortTab;
    m_W.pCmdInput = new QCMDInput;
    m_W.pQuickConnect = new QuickConnectDiag;
    m_W.pDebugWindow = new FDebugWindowDialog;
    m_W.pAbout = new CZvAboutDiag;
    m_W.pStatusBar = new QZvStatusBar;
    m_W.pTimer = new QTimer;
    m_W.pMapWindow = new QFMapWindow;
    m_W.pMsgConfig = new QFMsgConfig;
    m_W.pINSConfig = new QZvINSConfig;
    m_W.pPortList = new QPortListConnectDiag;
    m_W.pRecvConfig = new QZvRecvConfig;
    m_W.pRecvStatus = new QZvRecvStatusDiag;
    m_W.pReplay = new QReplayCfgDiag;
    m_W.pLockOut = new QLockOutDiag;
    m_W.pConfigCheck = new QConfigCheck;
    m_W.pButtonBar = new QButtonBar;
    m_W.pAutoLog = new QAutoLogList;
    m_W.pFreset = new QFresetConfig;
    m_W.pMsgFilter = new QMsgFiterDiag;
    m_W.pKMZGen = new QKMZGenDiag;
    m_W.pHexToBin = new QHextoBinDiag;
    m_W.pCmdContainer = new QWidget;
    m_W.pSkyPlot = new QSkyplot;
    m_W.pCN0 = new QCN0BarChart;
    m_W.pTrackPlot = new QTrackPlot;
    m_W.pINStatus = new QINStatus;
    m_W.pRangeView = new QRangeView;
    m_W.pRegression = new QRegressionDiag;
    m_W.pNvmLog = new QNvmLogDiag;
    m_W.pHardware = new QHardwareDiag;
    m_W.pUserconfig = new QUserconfigDiag;
    m_pStationMap = std::make_unique<CStationWebMap>();
    m_W.pUserconfig->SetMapPage(m_pStationMap.get());
    m_W.pLoglist = new QLoglistDiag;
    m_W.pINSConfigCheck = new QINSConfigCheckDiag;
    m_W.pProductMode = new QProductModeDiag;
    m_W.pMediumFreq = new QMediumFreqDiag;
    m_W.pLonLat = new QLonAndLatConvertDiag;
    m_W.pHeightPlot = new QHeightPlot;
    m_W.pDeviceMonitor = new QZvDeviceMonitor(this);

    // Destroyed in this order after the ports have ended: the tabs, then the
    // windows (the command window with them), the timer, the port manager.
    // The central host and the status bar belong to the window itself.
    const QList<QObject*> owned = {
        m_W.pPortTab,   m_W.pCmdContainer, m_W.pCmdInput,       m_W.pButtonBar,   m_W.pQuickConnect, m_W.pDebugWindow,
        m_W.pAbout,     m_W.pMapWindow,    m_W.pMsgConfig,      m_W.pINSConfig,   m_W.pPortList,     m_W.pRecvConfig,
        m_W.pRecvStatus, m_W.pReplay,      m_W.pLockOut,        m_W.pConfigCheck, m_W.pAutoLog,      m_W.pFreset,
        m_W.pMsgFilter, m_W.pKMZGen,       m_W.pHexToBin,       m_W.pSkyPlot,     m_W.pCN0,          m_W.pTrackPlot,
        m_W.pINStatus,  m_W.pRangeView,    m_W.pRegression,     m_W.pNvmLog,      m_W.pHardware,     m_W.pUserconfig,
        m_W.pLoglist,   m_W.pINSConfigCheck, m_W.pProductMode,  m_W.pMediumFreq,  m_W.pLonLat,       m_W.pHeightPlot,
        m_W.pTimer,     m_W.pDeviceMonitor, m_W.pPortManager};
    for (QObject* pObject : owned)
        m_Owned.append(pObject);
}

void QZorvikMonitor::GivePortTab()
{
    CPortTab* pTabs = m_W.pPortTab;
    m_W.pQuickConnect->m_pPortTab = pTabs;
    m_W.pAutoLog->m_pPortTab = pTabs;
    m_W.pButtonBar->SetPortTab(pTabs);
    m_W.pPortList->m_pPortTab = pTabs;
    m_W.pSkyPlot->m_pPortTab = pTabs;
    m_W.pStatusBar->SetPortTab(pTabs);
    m_W.pReplay->m_pPortTab = pTabs;
    m_W.pRangeView->m_pPortTab = pTabs;
    m_W.pConfigCheck->m_pPortTab = pTabs;
    m_W.pRegression->m_pPortTab = pTabs;
    m_W.pNvmLog->m_pPortTab = pTabs;
    m_W.pHardware->m_pPortTab = pTabs;
    m_W.pProductMode->m_pPortTab = pTabs;
    m_W.pMediumFreq->m_pPortTab = pTabs;
    m_W.pRecvStatus->m_pPortTab = pTabs;
    m_W.pRecvConfig->m_pPortTab = pTabs;
    m_W.pMsgConfig->m_pPortTab = pTabs;
    m_W.pINStatus->m_pPortTab = pTabs;
    m_W.pFreset->m_pPortTab = pTabs;
    m_W.pCN0->m_pPortTab = pTabs;
    m_W.pUserconfig->m_pPortTab = pTabs;
    m_W.pLoglist->m_pPortTab = pTabs;
    m_W.pINSConfigCheck->m_pPortTab = pTabs;
    m_W.pINSConfig->m_pPortTab = pTabs;
}

void QZorvikMonitor::RegisterDockWindows()
{
    const FLEX_DOCK_WINDOW_T windows[DOCK_WINDOW_COUNT] = {
        {m_pUi->actionCMDWindow, m_W.pCmdContainer},   {m_pUi->actionRecvStatus, m_W.pRecvStatus},
        {m_pUi->actionDebugWindow, m_W.pDebugWindow},  {m_pUi->actionMapWindow, m_W.pMapWindow},
        {m_pUi->actionMsgFilter, m_W.pMsgFilter},      {m_pUi->actionRangeParser, m_W.pRangeView},
        {m_pUi->actionCN0, m_W.pCN0},                  {m_pUi->actionSkyPlot, m_W.pSkyPlot},
        {m_pUi->actionTrackPlot, m_W.pTrackPlot},      {m_pUi->actionINStatus, m_W.pINStatus},
        {m_pUi->actionPositionHeightPlot, m_W.pHeightPlot},
    };
    QtCentral::RegisterDockWindows(windows);
}

void QZorvikMonitor::BuildLanguageMenu()
{
    m_pLangGroup = new QActionGroup(this);
    m_pLangGroup->setExclusive(true);
    m_pActChinese = new QAction(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/zh.png")), tr("Chinese"), this);
    m_pActChinese->setIconText(QString::fromLatin1(kLanguageChinese));
    m_pActEnglish = new QAction(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/en.png")), tr("English"), this);
    m_pActEnglish->setIconText(QString::fromLatin1(kLanguageEnglish));
    for (QAction* pAction : {m_pActChinese, m_pActEnglish})
    {
        pAction->setCheckable(true);
        m_pLangGroup->addAction(pAction);
        m_pUi->pMenuLang->addAction(pAction);
    }
    QAction* pStart = QLocale::system().language() == QLocale::Chinese ? m_pActChinese : m_pActEnglish;
    pStart->setChecked(true);
    OnLangChanged(pStart);
}

void QZorvikMonitor::BuildConnectionButton()
{
    m_pConnectButton = new QPushButton(this);
    m_pConnectButton->setObjectName(QStringLiteral("ConnectionMenuButton"));
    m_pConnectButton->setFixedSize(13, 30);
    m_pConnectButton->setFlat(true);
    m_pConnectButton->setStyleSheet(
        QStringLiteral("background:white") +
        QStringLiteral("QPushButton::menu-indicator{subcontrol-position: right bottom; subcontrol-origin: padding; "
                       "padding-right: 1px;}"));
    auto* pMenu = new QMenu(m_pConnectButton);
    m_pActReconnectAll = pMenu->addAction(tr("ReconnectAll"));
    m_pActDisconnectAll = pMenu->addAction(tr("DisconnectAll"));
    m_pConnectButton->setMenu(pMenu);
    m_pConnectButtonAction = m_pUi->toolBarMain->insertWidget(m_pUi->m_ActionLogDiag, m_pConnectButton);
    m_pUi->toolBarMain->insertSeparator(m_pUi->m_ActionLogDiag);
}

void QZorvikMonitor::SetProfessionalMode(int Mode)
{
    const bool bShow = Mode == 1;
    for (QAction* pAction : {m_pUi->m_ActionConnect, m_pUi->m_ActionReconnect, m_pUi->m_ActionDisconnect,
                             m_pUi->menuReplay->menuAction(), m_pUi->m_ActReplayFile, m_pUi->actionRangeParser,
                             m_pUi->m_WindowMenu->menuAction(), m_pConnectButtonAction})
        pAction->setVisible(bShow);
}

// ---- The tick and the status fan-out ----

void QZorvikMonitor::OnUpdateDiag()
{
    CPortTab* pTabs = m_W.pPortTab;
    QZvPortCtrlBase* pCtrl = pTabs->GetCurPortCtrl();
    if (pCtrl == nullptr)
    {
        m_pUi->actionWebServer->setVisible(false);
        return;
    }
    void* pPos = &pTabs->GetPosDataParser()->m_PosData;
    emit pTabs->SingalUpdatePos(pPos);

    const TICK_PLAN_T plan = PlanTick(pTabs->MsSinceCurHandOver());
    if (m_W.pTimer->isActive() && m_W.pTimer->interval() != plan.nNextIntervalMs)
        m_W.pTimer->setInterval(plan.nNextIntervalMs);
    const uint nPhase = m_TickCount % VIEW_TICKS;
    if (nPhase != PHASE_CN0 || m_TickCount % CN0_TICKS == PHASE_CN0)
        m_ViewsDue |= 1u << nPhase;
    // What the port in sight's hand-over changed (its rate, its INS status,
    // the views' data) is shown midway to the next one; left to the next
    // tick once at most: that one is midway, or the port has lost its rhythm.
    const bool bLeft = m_bTickLeft;
    m_bTickLeft = !plan.bRefreshNow && !bLeft;
    if (!m_bTickLeft)
        RefreshShown(pCtrl);
    ++m_TickCount;
}

void QZorvikMonitor::RefreshShown(QZvPortCtrlBase* pCtrl)
{
    CPortTab* pTabs = m_W.pPortTab;
    m_W.pStatusBar->OnUpdateStatusBar(pCtrl, QZvStatusBar::REFRESH_ALL);
    if (m_W.pINStatus->isVisible())
        emit SignalUpdateINSStatus(pTabs);
    m_W.pStatusBar->OnUpdateGUIStatus(this, QZvStatusBar::REFRESH_PAUSE);
    const uint nDue = m_ViewsDue;
    m_ViewsDue = 0;
    RefreshViews(nDue);
}

QZorvikMonitor::TICK_PLAN_T QZorvikMonitor::PlanTick(qint64 nSinceHandOverMs)
{
    constexpr qint64 kPeriod = QZvPortCtrlBase::ACTIVE_TIMER_INTERVAL;
    static_assert(kPeriod == 2 * TIMER_INTERVAL_MS, "two ticks to a hand-over of the port in sight");
    TICK_PLAN_T plan;
    if (nSinceHandOverMs < 0 || nSinceHandOverMs >= 2 * kPeriod)
        return plan;
    // Midway: a quarter of the interval either side of it.
    plan.bRefreshNow = nSinceHandOverMs >= kPeriod / 4 && nSinceHandOverMs <= kPeriod * 3 / 4;
    // How late this tick is against the nearest instant of the rhythm.
    qint64 nLate = nSinceHandOverMs % TIMER_INTERVAL_MS;
    if (nLate >= TIMER_INTERVAL_MS / 2)
        nLate -= TIMER_INTERVAL_MS;
    plan.nNextIntervalMs = TIMER_INTERVAL_MS - static_cast<int>(nLate / 2);
    return plan;
}

void QZorvikMonitor::RefreshViews(uint ViewBits)
{
    CPortTab* pTabs = m_W.pPortTab;
    void* pPos = &pTabs->GetPosDataParser()->m_PosData;
    const auto due = [ViewBits](VIEW_PHASE_E ePhase) { return (ViewBits & (1u << ePhase)) != 0; };
    if (due(PHASE_RANGE_VIEW) && m_W.pRangeView->isVisible())
    {
        emit SignalUpdateRangeViewData(pTabs);
        emit SignalUpdateRegression();
    }
    if (due(PHASE_RECV_STATUS) && m_W.pRecvStatus->isVisible())
        emit SignalUpdateRecvStatus(pTabs);
    if (due(PHASE_TRACK_PLOT) && m_W.pTrackPlot->isVisible())
        emit SignalUpdateTrackPlot(pPos);
    if (due(PHASE_SKY_PLOT))
    {
        if (m_W.pSkyPlot->isVisible())
            emit SignalUpdateSkyPlot(pPos);
        if (m_W.pRecvConfig->isVisible())
            emit SignalUpdateRefCurPos(pPos);
        OnSendScriptDebugInfo();
    }
    if (due(PHASE_HEIGHT_PLOT) && m_W.pHeightPlot->isVisible())
        emit SignalUpdateHeightPlot(pPos);
    if (due(PHASE_MAP))
    {
        // A hidden map releases its web view.
        if (m_W.pMapWindow->isVisible())
            emit SignalUpdateMap(pTabs);
        else
            emit SignalMapWindowHidden();
    }
    if (due(PHASE_CN0) && m_W.pCN0->isVisible())
        emit SignalUpdateCN0BarChart(pTabs);
}

void QZorvikMonitor::OnUpdateConfigDiag(uint Mask)
{
    // Replies of the configuration check and the factory reset go to those windows themselves.
    if ((Mask & (STATUS_MSG_CONFIG_CHECK | STATUS_MSG_FRESET)) != 0)
        return;
    CPortTab* pTabs = m_W.pPortTab;
    if (Mask & STATUS_MSG_USERCONFIG)
    {
        if (m_W.pRecvConfig->isVisible())
            emit SignalUpdateRecvConfigDiag(pTabs);
        if (m_W.pINSConfig->isVisible())
            emit SignalUpdateINSConfigDiag(pTabs);
        if (m_W.pUserconfig->isVisible())
            emit SignalUpdateUserconfigDiag();
    }
    if (Mask & STATUS_MSG_LOGLIST)
    {
        emit SignalUpdateMsgConfigDiag(pTabs);
        if (m_W.pLoglist->isVisible())
            emit SignalUpdateLoglistDiag();
        if (m_W.pRangeView->isVisible())
            emit SignalRangeViewSendCommand();
    }
    if (Mask & STATUS_MSG_INSCONFIG)
        emit SignalUpdateINSConfigCheckDiag();
    if (Mask & STATUS_MSG_HWINFO)
        emit SignalUpdateMediumFreqDiag();
}

// ---- Commands and the current port ----

void QZorvikMonitor::OnActionClickedQuickConnect(void*) {}

void QZorvikMonitor::OnActionClickedConnect(void*) {}

void QZorvikMonitor::OnActionClickedCMDWindow() {}

void QZorvikMonitor::OnSendMsgConfig(QString Msg)
{
    QZvPortCtrlBase* pCtrl = m_W.pPortTab->GetCurPortCtrl();
    emit SignalSendMsgConfig(pCtrl ? pCtrl->UniquePortID : 0, Msg.toUtf8());
}

void QZorvikMonitor::OnFileReplayCtrl(QAction* pActReplayCtrl)
{
    QZvPortCtrlBase* pCtrl = m_W.pPortTab->GetCurPortCtrl();
    if (pCtrl == nullptr || pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_REPLAY)
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("File Replay Control"),
                                 tr("File Replay control only works on valid file replay port"));
        return;
    }
    auto* pReplay = static_cast<QZvFilePortCtrl*>(pCtrl);
    void (QZvFilePortCtrl::*pSlot)(bool) = nullptr;
    bool bArgument = false;
    if (pActReplayCtrl == m_pUi->m_ActReplayStart)
        pSlot = &QZvFilePortCtrl::OnStopReplay, bArgument = false;
    else if (pActReplayCtrl == m_pUi->m_ActReplayStop)
        pSlot = &QZvFilePortCtrl::OnStopReplay, bArgument = true;
    else if (pActReplayCtrl == m_pUi->m_ActReplayPause)
        pSlot = &QZvFilePortCtrl::OnPauseReplay, bArgument = true;
    else if (pActReplayCtrl == m_pUi->m_ActReplayResume)
        pSlot = &QZvFilePortCtrl::OnPauseReplay, bArgument = false;
    else if (pActReplayCtrl == m_pUi->m_ActReplayForward)
        pSlot = &QZvFilePortCtrl::OnJumpReplay, bArgument = true;
    else if (pActReplayCtrl == m_pUi->m_ActReplayBackward)
        pSlot = &QZvFilePortCtrl::OnJumpReplay, bArgument = false;
    if (pSlot == nullptr)
        return;
    // The replay runs in its port's thread: the call is queued to it.
    const QMetaObject::Connection link = connect(this, &QZorvikMonitor::SignalFileReplayCtrl, pReplay, pSlot);
    emit SignalFileReplayCtrl(bArgument);
    disconnect(link);
}

void QZorvikMonitor::OnVisitWebServer()
{
    QZvPortCtrlBase* pCtrl = m_W.pPortTab->GetCurPortCtrl();
    if (pCtrl == nullptr)
        return;
    MonitorPrompt()->OpenUrl(QUrl(QStringLiteral("http://%1").arg(pCtrl->Property.Get().IP)));
}

void QZorvikMonitor::OnSetActionWebServerVisible(bool bVisible) { m_pUi->actionWebServer->setVisible(bVisible); }

void QZorvikMonitor::OnSendCMDAllPort(bool bSendCmdtoAllPort)
{
    m_W.pCmdContainer->setWindowTitle(bSendCmdtoAllPort ? tr("Command Window (Send CMD All Ports)")
                                                        : tr("Command Window"));
}

void QZorvikMonitor::OnSendScriptDebugInfo()
{
    const QString sText = m_W.pPortTab->TakeCurScriptOutput();
    if (!sText.isEmpty())
        emit SignalSendDebugInfo(sText);
}

void QZorvikMonitor::OnSetActivePortNameOnCMDWindow(int CurrentIndex)
{
    const QString sTitle = FlexManager::instance()->GetDiagPropertyWindowTitle(m_pActCMDWindow);
    QString sShown = sTitle;
    if (CurrentIndex != -1)
        sShown = QStringLiteral("%1->[%2]").arg(sTitle, m_W.pPortTab->CurPortText());
    if (m_W.pCmdInput->IsSendToAll())
        sShown = QStringLiteral("%1->[%2]").arg(sTitle, tr("Send Commands to All Sessions"));
    FlexManager::instance()->SetDockWindowtitle(m_W.pCmdContainer, sShown);
    qCDebug(lcShell, "Active Port In CMD window is %s", qPrintable(sShown));
}

void QZorvikMonitor::OnSetPortRescueModemStatus(bool bRescueModem, uint UniquePortID)
{
    const int i = m_W.pPortTab->GetTabIndexByPortID(UniquePortID);
    QZvPortCtrlBase* pCtrl = m_W.pPortTab->GetPortCtrl(i);
    if (pCtrl == nullptr)
        return;
    QAction* pAction = m_pUi->actionRescueModem;
    if (pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_UART)
    {
        pAction->setEnabled(false);
        pAction->setChecked(false);
        pAction->setCheckable(false);
        return;
    }
    pAction->setEnabled(true);
    pAction->setCheckable(bRescueModem);
    pAction->setChecked(bRescueModem);
}

void QZorvikMonitor::OnSetPortScriptStatus(bool, uint) {}

void QZorvikMonitor::OnMoxelin()
{
    const QString sProgram = ConverterProgram();
    if (QProcess::startDetached(sProgram, QStringList()))
        return;
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Moxelin"),
                             tr("The converter %1 could not be started.").arg(sProgram));
}

// ---- Docks, layouts and modes ----

void QZorvikMonitor::OnShowDialog() { QtCentral::ShowDockWindow(qobject_cast<QAction*>(sender())); }

void QZorvikMonitor::OnFlexWidgetCreated(FlexWidget* pFlexWidget) { m_W.pCentral->CentreContainer(pFlexWidget); }

void QZorvikMonitor::OnDockWidgetCreated(DockWidget* pDockWidget) { QtCentral::FillDock(pDockWidget); }

void QZorvikMonitor::OnFlexWidgetDestroying(FlexWidget*) {}

void QZorvikMonitor::OnDockWidgetDestroying(DockWidget* pDockWidget) { QtCentral::ReleaseDock(pDockWidget); }

void QZorvikMonitor::OnChangeLayout()
{
    QObject* pSender = sender();
    if (pSender == m_pUi->actionSimplify)
        FlexManager::instance()->Layout(0);
    else if (pSender == m_pUi->actionAdvance)
        FlexManager::instance()->Layout(1);
}

void QZorvikMonitor::OnShowDefaultGraphWindows()
{
    for (QAction* pAction : {m_pUi->actionMapWindow, m_pUi->actionRangeParser, m_pUi->actionCN0,
                             m_pUi->actionTrackPlot, m_pUi->actionINStatus, m_pUi->actionSkyPlot})
        pAction->trigger();
}

void QZorvikMonitor::OnProfressional()
{
    QObject* pSender = sender();
    int Mode = 0;
    if (pSender == m_pUi->actionProfressional)
        Mode = 1;
    else if (pSender != m_pUi->actionClassical)
        return;
    emit SignalProfressionMode(Mode == 1);
    SetProfessionalMode(Mode);
}

void QZorvikMonitor::OnSetStableMode()
{
    QAction* pAction = m_pUi->actionStableMode;
    const bool bEnter = pAction->isChecked();
    const bool bYes =
        bEnter ? MonitorPrompt()->Question(this, tr("Question"),
                                           tr("Are you sure you want to go into Stablemode?") + QStringLiteral("\r\n") +
                                               tr("After entering, the receiver information cannot be viewed."))
               : MonitorPrompt()->Question(this, tr("Quit"), tr("Are you sure you want to exit stable mode?"));
    if (!bYes)
    {
        pAction->setChecked(!bEnter);
        return;
    }
    m_W.pPortTab->SetStableMode(bEnter);
    for (QAction* pView : {m_pUi->actionCN0, m_pUi->actionRecvStatus, m_pUi->actionSkyPlot, m_pUi->actionINStatus,
                           m_pUi->actionRangeParser, m_pUi->actionTrackPlot, m_pUi->actionMapWindow,
                           m_pUi->actionPositionHeightPlot})
        pView->setEnabled(!bEnter);
}

void QZorvikMonitor::OnTqReportOn()
{
    // The loop's state is the check window's: stopped there (from its Check
    // button) it is stopped here too.
    if (m_W.pConfigCheck->IsTqLoopRunning() || m_W.pPortTab->count() == 0)
        return;
    // Asked at every start, the last path offered: a run may record elsewhere.
    bool bOk = false;
    const QString sPath =
        MonitorPrompt()->Text(this, tr("Path Input"), tr("Please input record TQ path"), m_TqRecordPath, &bOk);
    // The record file, which the loop replaces whole each period; a folder is no record.
    if (!bOk || sPath.isEmpty() || !QFileInfo(sPath).isFile())
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), tr("The input is not the path!"));
        return;
    }
    m_TqRecordPath = sPath;
    emit SignalCycleCheckTQOn(m_TqRecordPath);
}

void QZorvikMonitor::OnTqReportOff() { emit SignalCycleCheckTQOff(); }

// ---- Window menu ----

void QZorvikMonitor::OnWindowListInfo()
{
    QMenu* pMenu = m_pUi->m_WindowMenu;
    // The entry being clicked is delivered after the menu hides, so the old
    // entries go once that is done.
    for (QAction* pAction : pMenu->actions())
    {
        pMenu->removeAction(pAction);
        pAction->deleteLater();
    }
    CPortTab* pTabs = m_W.pPortTab;
    QList<int> order;
    for (int i = 0; i < pTabs->count(); ++i)
        order.append(i);
    std::stable_sort(order.begin(), order.end(),
                     [pTabs](int a, int b) { return pTabs->tabText(a) < pTabs->tabText(b); });
    for (int i : order)
    {
        QZvPortCtrlBase* pCtrl = pTabs->GetPortCtrl(i);
        const bool bLogging = pCtrl != nullptr && pCtrl->IsLogging();
        const QString sText = pTabs->tabText(i) + (bLogging ? QStringLiteral(" (Log)") : QString());
        auto* pAction = new QAction(QIcon(CPortTab::GetPortTypeIcon(pCtrl ? static_cast<uint>(pCtrl->PortType) : 0u)), sText, pMenu);
        QFont font = pAction->font();
        font.setWeight(bLogging ? 75 : 50);
        pAction->setFont(font);
        // Each entry stands for its tab, whatever texts the tabs share.
        const QPointer<QWidget> pPage = pTabs->widget(i);
        connect(pAction, &QAction::triggered, this, [pTabs, pPage] {
            if (!pPage.isNull() && pTabs->indexOf(pPage) >= 0)
                pTabs->setCurrentWidget(pPage);
        });
        if (i == pTabs->currentIndex())
        {
            pAction->setCheckable(true);
            pAction->setChecked(true);
        }
        pMenu->addAction(pAction);
        qCDebug(lcShell, "Current Port Tab Index %d ", i);
    }
}

void QZorvikMonitor::OnSwitchTab(QString btnname)
{
    // The tab whose Window menu entry has this text (its text, " (Log)" while logging).
    CPortTab* pTabs = m_W.pPortTab;
    for (int i = 0; i < pTabs->count(); ++i)
    {
        QZvPortCtrlBase* pCtrl = pTabs->GetPortCtrl(i);
        const QString sEntry =
            pTabs->tabText(i) + (pCtrl != nullptr && pCtrl->IsLogging() ? QStringLiteral(" (Log)") : QString());
        if (sEntry == btnname || pTabs->tabText(i) == btnname)
        {
            pTabs->setCurrentIndex(i);
            return;
        }
    }
}

// ---- Language ----

void QZorvikMonitor::OnLangChanged(QAction* pAction)
{
    if (pAction == nullptr)
        return;
    const QString sLanguage = pAction->iconText();
    if (sLanguage == m_CurLang)
        return;
    m_CurLang = sLanguage;
    // Installing and removing translations sends the windows a language change.
    if (InstallMonitorTranslations(sLanguage) == 0)
        qCWarning(lcShell, "No translation of the monitor for %s", qPrintable(sLanguage));
}

void QZorvikMonitor::OnLanguageUpdate()
{
    // Showing a dock retitles the docks through here; a dock shown while
    // retitling must not start it again.
    if (m_bLanguageUpdating)
        return;
    m_bLanguageUpdating = true;
    m_pUi->retranslateUi(this);
    setWindowTitle(Title());
    m_pActChinese->setText(tr("Chinese"));
    m_pActEnglish->setText(tr("English"));
    m_pButtonBarToggle->setText(QCoreApplication::translate("QButtonBar", "Command Preset"));
    m_pActReconnectAll->setText(tr("ReconnectAll"));
    m_pActDisconnectAll->setText(tr("DisconnectAll"));
    RegisterDockWindows();
    FlexManager::instance()->DiagPropertyUpdate();
    // The command window's dock keeps the port it sends to in its title.
    OnSetActivePortNameOnCMDWindow(m_W.pPortTab->count() > 0 ? m_W.pPortTab->currentIndex() : -1);
    emit FlexManager::instance()->SignalLayoutChanged();
    m_bLanguageUpdating = false;
}

void QZorvikMonitor::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
    {
        emit SignalLanguageChanged();
        emit SignalCurLang(m_CurLang);
    }
    QMainWindow::changeEvent(pEvent);
}

// ---- Keys, devices and closing ----

void QZorvikMonitor::keyPressEvent(QKeyEvent* pEvent)
{
    qCDebug(lcShell, "keyPressEvent Key: 0x%08x", static_cast<uint>(pEvent->key()));
}

bool QZorvikMonitor::IsOwnKeyTarget(QObject* pObj) const
{
    auto* pWidget = qobject_cast<QWidget*>(pObj);
    if (pWidget == nullptr)
        return false;
    QWidget* pWindow = pWidget->window();
    return pWindow == this || qobject_cast<DockWidget*>(pWindow) != nullptr;
}

bool QZorvikMonitor::eventFilter(QObject* pObj, QEvent* pEvent)
{
    if (m_bShutDown || pEvent->type() != QEvent::KeyPress || !IsOwnKeyTarget(pObj))
        return false;
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    if ((pKey->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    const int key = pKey->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_4)
    {
        emit SignalSetBaudrateCurTab(kKeyBaudRates[key - Qt::Key_1]);
        return true;
    }
    if (key == Qt::Key_H)
    {
        emit SignalTriggerCurTxViewStopShow();
        return true;
    }
    if (key == Qt::Key_Space)
    {
        emit SignalShowCurTxViewOptions();
        return true;
    }
    if (key == Qt::Key_C)
    {
        // Ctrl+C copies, unless it cancels the current port's upgrade.
        QZvPortCtrlBase* pCtrl = m_W.pPortTab->GetCurPortCtrl();
        if (pCtrl == nullptr || !pCtrl->IsUpgrading())
            return false;
        emit m_W.pPortTab->SignalCancelUpgradeFW(pCtrl->UniquePortID);
        m_W.pPortTab->SetTabUpgradingMark(pCtrl->UniquePortID, false);
        return true;
    }
    return false;
}

bool QZorvikMonitor::nativeEventFilter(const QByteArray&, void*, long*)
{
    // Device arrival and removal come from udev (QZvDeviceMonitor); the
    // window system's own events pass unchanged.
    return false;
}

void QZorvikMonitor::closeEvent(QCloseEvent* pEvent)
{
    if (!MonitorPrompt()->Question(this, tr("Quit"), tr("Do you wish to close all the ports")))
    {
        pEvent->ignore();
        return;
    }
    ShutDown(true);
    emit SignalMainWindowClose();
    // The windows the monitor owns close with it; they go when it is destroyed.
    for (const QPointer<QObject>& pObject : qAsConst(m_Owned))
    {
        auto* pWidget = qobject_cast<QWidget*>(pObject.data());
        if (pWidget != nullptr && pWidget->isWindow())
            pWidget->hide();
    }
    pEvent->accept();
}

void QZorvikMonitor::ClosePorts()
{
    CPortTab* pTabs = m_W.pPortTab;
    // Tearing down: no tab change reaches the windows or the ports.
    const QSignalBlocker blocker(pTabs);
    m_W.pPortManager->DeleteAllPortCtrl();
    // The views go in the same turn as their ports, before any queued batch
    // could reach a view whose port is gone. Hidden first: removing a tab
    // would otherwise show the next one and lay out its text, tab after tab.
    pTabs->hide();
    while (pTabs->count() > 0)
    {
        QWidget* pView = pTabs->widget(0);
        pTabs->removeTab(0);
        delete pView;
    }
}

void QZorvikMonitor::ShutDown(bool bSaveLayout)
{
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    qApp->removeEventFilter(this);
    qApp->setProperty("window", QVariant());
    QCoreApplication::instance()->removeNativeEventFilter(this);
    m_W.pTimer->stop();
    // The bench's boards stop while their ports are open: a board whose power
    // is cut for a restart gets it back before the ports close.
    m_W.pRegression->StopAllBoards();
    ClosePorts();
    if (bSaveLayout)
        m_W.pCentral->SaveFlexLayout();
    else
        FlexManager::instance()->close();
}

// ---- Start-up ----

void PrepareMonitorApplication(QApplication& App, QZorvikMonitor& Window)
{
    App.installEventFilter(&Window);
    qRegisterMetaType<QZvPortCtrlBase::PORT_TYPE_E>("QZvPortCtrlBase::PORT_TYPE_E");
    qRegisterMetaType<PARSE_LOG_INFO_T>("PARSE_LOG_INFO_T");
    qRegisterMetaType<QZvStatusBar::REFRESH_TYPE_E>("QZvStatusBar::REFRESH_TYPE_E");
    qRegisterMetaType<QZvPortCtrlBase*>("QZvPortCtrlBase*");
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    App.installNativeEventFilter(&Window);
    // The codec's traces join the monitor's categorised ones.
    RouteCodecTracesToParsing();
    // The codec decodes as the monitor reads receivers (its leap seconds and
    // text forms), not as the converter writes files.
    SetCodecProfile(CODEC_PROFILE_MONITOR);
}
