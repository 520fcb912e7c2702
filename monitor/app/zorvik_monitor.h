// The monitor's main window. It creates, once for the whole run, every
// long-lived object of the monitor (port manager, port tab set, command
// window, status bar, every dialog and view), joins them (zorvik_monitor_wiring
// .cpp), registers the dockable windows, drives the views from one 100 ms
// tick, hands parsed status replies to the dialogs that asked for them,
// serves the global keys, notices removed serial adapters, switches the
// language and asks before closing.
//
// Closing ends every port at once and then removes the data views, the docks,
// the windows and the port manager in that order; nothing is left running and
// every object is destroyed once, whether the window was closed or only
// destroyed.
//
// GUI thread only.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

#include "monitor/ports/port_ctrl_base.h"

class CPortTab;
class CStationWebMap;
class CZvAboutDiag;
class DockWidget;
class FDebugWindowDialog;
class FlexWidget;
class QAction;
class QActionGroup;
class QAutoLogList;
class QButtonBar;
class QCMDInput;
class QCN0BarChart;
class QConfigCheck;
class QFHighLightDiag;
class QFMapWindow;
class QFMsgConfig;
class QFresetConfig;
class QHardwareDiag;
class QHeightPlot;
class QHextoBinDiag;
class QINSConfigCheckDiag;
class QINStatus;
class QKMZGenDiag;
class QLockOutDiag;
class QLoglistDiag;
class QLonAndLatConvertDiag;
class QMediumFreqDiag;
class QMsgFiterDiag;
class QNvmLogDiag;
class QPortListConnectDiag;
class QProductModeDiag;
class QPushButton;
class QRangeView;
class QRegressionDiag;
class QReplayCfgDiag;
class QSkyplot;
class QTimer;
class QTrackPlot;
class QUserconfigDiag;
class QZvDeviceMonitor;
class QZvINSConfig;
class QZvPortManager;
class QZvRecvConfig;
class QZvRecvStatusDiag;
class QApplication;
class QZvStatusBar;
class QtCentral;
class QuickConnectDiag;

namespace Ui
{
class QZorvikMonitor;
}

// The long-lived objects of the monitor, in the order the main window makes them.
struct MONITOR_WINDOWS_T
{
    QtCentral* pCentral = nullptr;
    QZvPortManager* pPortManager = nullptr;
    CPortTab* pPortTab = nullptr;
    QCMDInput* pCmdInput = nullptr;
    QuickConnectDiag* pQuickConnect = nullptr;
    FDebugWindowDialog* pDebugWindow = nullptr;
    CZvAboutDiag* pAbout = nullptr;
    QZvStatusBar* pStatusBar = nullptr;
    QTimer* pTimer = nullptr;
    QFMapWindow* pMapWindow = nullptr;
    QFMsgConfig* pMsgConfig = nullptr;
    QZvINSConfig* pINSConfig = nullptr;
    QPortListConnectDiag* pPortList = nullptr;
    QZvRecvConfig* pRecvConfig = nullptr;
    QZvRecvStatusDiag* pRecvStatus = nullptr;
    QReplayCfgDiag* pReplay = nullptr;
    QLockOutDiag* pLockOut = nullptr;
    QConfigCheck* pConfigCheck = nullptr;
    QButtonBar* pButtonBar = nullptr;
    QAutoLogList* pAutoLog = nullptr;
    QFresetConfig* pFreset = nullptr;
    QMsgFiterDiag* pMsgFilter = nullptr;
    QKMZGenDiag* pKMZGen = nullptr;
    QHextoBinDiag* pHexToBin = nullptr;
    QWidget* pCmdContainer = nullptr;
    QSkyplot* pSkyPlot = nullptr;
    QCN0BarChart* pCN0 = nullptr;
    QTrackPlot* pTrackPlot = nullptr;
    QINStatus* pINStatus = nullptr;
    QRangeView* pRangeView = nullptr;
    QRegressionDiag* pRegression = nullptr;
    QNvmLogDiag* pNvmLog = nullptr;
    QHardwareDiag* pHardware = nullptr;
    QUserconfigDiag* pUserconfig = nullptr;
    QLoglistDiag* pLoglist = nullptr;
    QINSConfigCheckDiag* pINSConfigCheck = nullptr;
    QProductModeDiag* pProductMode = nullptr;
    QMediumFreqDiag* pMediumFreq = nullptr;
    QLonAndLatConvertDiag* pLonLat = nullptr;
    QHeightPlot* pHeightPlot = nullptr;
    QFHighLightDiag* pHighLight = nullptr;
    QZvDeviceMonitor* pDeviceMonitor = nullptr;
};

class QZorvikMonitor : public QMainWindow, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    static constexpr int TIMER_INTERVAL_MS = 100;
    // Ticks between two refreshes of the views, and of the CN0 chart.
    static constexpr uint VIEW_TICKS = 8;
    static constexpr uint CN0_TICKS = 16;
    // The tick of its period on which each view is due: every view as often
    // as the period says, each on a tick of its own, so that no tick carries
    // the refresh and repaint of two heavy views (the range table, the
    // plots, the CN0 chart) at once. A tick that falls on a hand-over of the
    // port in sight leaves its views to the next one (see PlanTick):
    // the order is such that the views joined so, whichever ticks those are,
    // are a heavy one and a light one (the range table alone).
    enum VIEW_PHASE_E : uint
    {
        PHASE_RANGE_VIEW = 0,
        PHASE_RECV_STATUS = 1,
        PHASE_TRACK_PLOT = 2,
        PHASE_SKY_PLOT = 3, // with the reference position and the script's debug text
        PHASE_HEIGHT_PLOT = 4,
        PHASE_MAP = 5,
        PHASE_CN0 = 6, // of CN0_TICKS
    };
    // What a tick does beside handing the position to the ports that upload
    // it: whether it refreshes the status bar, the INS status and the views
    // due now or leaves them to the next tick, and in how many milliseconds
    // the next tick comes.
    struct TICK_PLAN_T
    {
        bool bRefreshNow = true;
        int nNextIntervalMs = TIMER_INTERVAL_MS;
    };
    // The plan of a tick nSinceHandOverMs after the port in sight last
    // handed its bytes over (-1: never). That port hands over every
    // ACTIVE_TIMER_INTERVAL (two ticks), and its page is laid out and
    // painted then: what the tick refreshes in the same instant (the views
    // above all) would add its work to the page's. A tick midway between two
    // hand-overs refreshes; one near a hand-over leaves it to the next tick,
    // which is midway; and the ticks are drawn towards the hand-overs' rhythm
    // (one on a hand-over, one midway), half of their offset at a time. A
    // port that does not stream (no hand-over for two intervals) sets no
    // rhythm.
    static TICK_PLAN_T PlanTick(qint64 nSinceHandOverMs);

    explicit QZorvikMonitor(QWidget* pParent = nullptr);
    ~QZorvikMonitor() override;

    // The window title: "ZorvikMonitor v" and the version the build sets.
    static QString Title();
    // The converter program: "QMoxelin" in the folder of this program (where
    // both are built and installed), else the one found on PATH; when there
    // is none, the path it would have beside this program.
    static QString ConverterProgram();

    const MONITOR_WINDOWS_T& Windows() const { return m_W; }
    Ui::QZorvikMonitor* Form() const { return m_pUi.get(); }
    QString CurrentLanguage() const { return m_CurLang; }
    uint TickCount() const { return m_TickCount; }
    // The actions of the Window menu's entries and of the language choices.
    QAction* ChineseAction() const { return m_pActChinese; }
    QAction* EnglishAction() const { return m_pActEnglish; }
    QAction* ConnectionMenuAction() const { return m_pConnectButtonAction; }
    QPushButton* ConnectionMenuButton() const { return m_pConnectButton; }
    QAction* ButtonBarToggle() const { return m_pButtonBarToggle; }
    QAction* ReconnectAllAction() const { return m_pActReconnectAll; }
    QAction* DisconnectAllAction() const { return m_pActDisconnectAll; }

    bool eventFilter(QObject* pObj, QEvent* pEvent) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

signals:
    void SignalSetBaudrateCurTab(uint Baudrate);
    void SignalTriggerCurTxViewStopShow();
    void SignalShowCurTxViewOptions();
    void SignalSendMsgConfig(uint UniquePortID, QByteArray SendData);
    void SignalUpdateMap(void* pPosData);
    void SignalUpdateTrackPlot(void* pPosData);
    void SignalUpdateHeightPlot(void* pPosData);
    void SignalUpdateSkyPlot(void* pPosData);
    void SignalUpdateCN0BarChart(void* pPosData);
    void SignalUpdateINSStatus(void* pPortTab);
    void SignalUpdateRefCurPos(void* pPosData);
    void SignalUpdateRecvStatus(void* pPortTab);
    void SignalFileReplayCtrl(bool bCtrl);
    void SignalLanguageChanged();
    void SignalCheckPortConnectState();
    void SignalSendDebugInfo(QString sDebugInfo);
    void SignalMainWindowClose();
    void SignalMainWindowCreated();
    void SignalUpdateRegression();
    void SignalUpdateRangeViewData(void* m_pPortTab);
    void SignalCurLang(QString m_CurLang);
    void SignalCycleCheckTQOn(QString StoreTqRecordPath);
    void SignalCycleCheckTQOff();
    void SignalProfressionMode(bool bProfressionMode);
    // The status fan-out of OnUpdateConfigDiag and the hidden map of the tick:
    // one signal per window, each connected directly, so that the window's
    // slot runs inside the call and reads the replies in place.
    void SignalUpdateRecvConfigDiag(void* pPortTab);
    void SignalUpdateINSConfigDiag(void* pPortTab);
    void SignalUpdateUserconfigDiag();
    void SignalUpdateMsgConfigDiag(void* pPortTab);
    void SignalUpdateLoglistDiag();
    void SignalRangeViewSendCommand();
    void SignalUpdateINSConfigCheckDiag();
    void SignalUpdateMediumFreqDiag();
    void SignalMapWindowHidden();

public slots:
    void OnActionClickedQuickConnect(void* pData);
    void OnActionClickedConnect(void* pData);
    void OnActionClickedCMDWindow();
    void OnSendMsgConfig(QString Msg);
    void OnUpdateDiag();
    void OnUpdateConfigDiag(uint Mask);
    void OnFileReplayCtrl(QAction* pActReplayCtrl);
    void OnLangChanged(QAction* pAction);
    void OnLanguageUpdate();
    void OnVisitWebServer();
    void OnSetActionWebServerVisible(bool bVisible);
    void OnSendCMDAllPort(bool bSendCmdtoAllPort);
    void OnSendScriptDebugInfo();
    void OnShowDialog();
    void OnFlexWidgetCreated(FlexWidget* pFlexWidget);
    void OnDockWidgetCreated(DockWidget* pDockWidget);
    void OnFlexWidgetDestroying(FlexWidget* pFlexWidget);
    void OnDockWidgetDestroying(DockWidget* pDockWidget);
    void OnWindowListInfo();
    void OnSwitchTab(QString btnname);
    void OnChangeLayout();
    void OnSetActivePortNameOnCMDWindow(int CurrentIndex);
    void OnShowDefaultGraphWindows();
    void OnTqReportOn();
    void OnTqReportOff();
    void OnProfressional();
    void OnSetPortRescueModemStatus(bool bRescueModem, uint UniquePortID);
    void OnMoxelin();
    void OnSetPortScriptStatus(bool bScriptStatus, uint UniquePortID);
    void OnSetStableMode();

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void CreateWindows();
    void GivePortTab();
    void BuildLanguageMenu();
    void BuildConnectionButton();
    // The dockable windows with the actions that show them, in registration order.
    void RegisterDockWindows();
    // The connections between the objects (zorvik_monitor_wiring.cpp).
    void WireSignals();
    void WireMenuActions();
    // Shows (mode 1) or hides (mode 0) the actions of the professional mode.
    void SetProfessionalMode(int Mode);
    // A key meant for the main window or one of its docks, not for another window.
    bool IsOwnKeyTarget(QObject* pObj) const;
    // Ends every port at once and removes the tabs with their data views.
    void ClosePorts();
    // Ports, views and docks, once: from the close question's "Yes" (which
    // also saves the layout) or the destructor.
    void ShutDown(bool bSaveLayout);

    // The status bar, the INS status and the views due, for the current port.
    void RefreshShown(QZvPortCtrlBase* pCtrl);
    // Refreshes the views whose bits (1 << VIEW_PHASE_E) are set.
    void RefreshViews(uint ViewBits);

    MONITOR_WINDOWS_T m_W;
    std::unique_ptr<Ui::QZorvikMonitor> m_pUi;
    uint m_TickCount = 0;
    // The views due and not yet refreshed, and whether the last tick left
    // its refreshes to this one.
    uint m_ViewsDue = 0;
    bool m_bTickLeft = false;
    QAction* m_pButtonBarToggle = nullptr;
    QAction* m_pActCMDWindow = nullptr;
    QAction* m_pActMapWindow = nullptr;
    QAction* m_pActDebugWindow = nullptr;
    QActionGroup* m_pReplayGroup = nullptr;
    QAction* m_pActChinese = nullptr;
    QAction* m_pActEnglish = nullptr;
    QActionGroup* m_pLangGroup = nullptr;
    QString m_CurLang;
    QPushButton* m_pConnectButton = nullptr;
    QAction* m_pActReconnectAll = nullptr;
    QAction* m_pActDisconnectAll = nullptr;
    QAction* m_pConnectButtonAction = nullptr;
    QString m_TqRecordPath;
    bool m_bLanguageUpdating = false;
    bool m_bShutDown = false;
    // Everything the main window made, in the order it is destroyed.
    QList<QPointer<QObject>> m_Owned;
    // The user configuration view's map page.
    std::unique_ptr<CStationWebMap> m_pStationMap;
};

// What the program does with its main window before the event loop runs: the
// window sees every key of the application and the system's native events,
// the types that travel in queued signals are registered, and the system's
// network proxy is not used.
void PrepareMonitorApplication(QApplication& App, QZorvikMonitor& Window);
