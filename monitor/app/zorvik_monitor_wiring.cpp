// The connections the main window makes between the objects it created: the
// only place where the port manager, the port tab set, the command window,
// the status bar and the windows of the views, configuration, INS and tools
// meet. Each uses the automatic connection type: direct between objects of
// the GUI thread, queued when a port's thread emits. Where several slots hang
// on one signal they are connected in the order they must run.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "monitor/app/device_monitor.h"
#include "monitor/app/zorvik_monitor.h"
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
#include "monitor/ports/port_manager.h"
#include "monitor/shell/about_dialog.h"
#include "monitor/shell/button_bar.h"
#include "monitor/shell/button_edit.h"
#include "monitor/shell/cmd_input.h"
#include "monitor/shell/cmd_interface.h"
#include "monitor/shell/debug_window.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/msg_filter_diag.h"
#include "monitor/shell/port_tab.h"
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

void QZorvikMonitor::WireSignals()
{
    const MONITOR_WINDOWS_T& w = m_W;
    CPortTab* pTabs = w.pPortTab;
    QZvPortManager* pManager = w.pPortManager;

    // Connecting and port management.
    connect(w.pQuickConnect, &QuickConnectDiag::SignalConnect, pManager, &QZvPortManager::AddPortCtrl);
    connect(w.pCmdInput->CmdInterface(), &QZvCmdInterface::SignalConnect, pManager, &QZvPortManager::AddPortCtrl);
    connect(w.pPortList, &QPortListConnectDiag::SignalConnect, pManager, &QZvPortManager::AddPortCtrl);
    connect(w.pReplay, &QReplayCfgDiag::SignalConnect, pManager, &QZvPortManager::AddPortCtrl);
    connect(pManager, &QZvPortManager::SignalPostAddPort, pTabs, &CPortTab::OnAddPort);
    connect(pManager, &QZvPortManager::SignalAddPortFail, pTabs, &CPortTab::OnAddPortFail);
    connect(pManager, &QZvPortManager::SignalConnectStatus, pTabs, &CPortTab::OnSetPortIcon);
    connect(pManager, &QZvPortManager::SignalAutoReConnectStatus, pTabs, &CPortTab::OnSetAutoReconnectPortIcon);
    connect(pManager, &QZvPortManager::SignalOpenFileFail, pTabs, &CPortTab::OnOpenFileFail);
    connect(pTabs, &QTabWidget::tabCloseRequested, pTabs, &CPortTab::OnClosePort);
    connect(pTabs, &CPortTab::SignalClosePort, pManager, &QZvPortManager::DeletePortCtrl);
    connect(pTabs, &CPortTab::SignalSetBaseCtrlTimeInterval, pManager, &QZvPortManager::SetActivePortID);
    connect(pTabs, &CPortTab::SignalDisconnectPort, pManager, &QZvPortManager::DisconnectPort);
    connect(pTabs, &CPortTab::SignalReconnectPort, pManager, &QZvPortManager::ReconnectPort);
    connect(pTabs, &CPortTab::SignalAutoReconnectPort, pManager, &QZvPortManager::AutoReconnectPort);
    connect(pTabs, &CPortTab::SignalRefreshPortProperty, pManager, &QZvPortManager::RefreshProperty);
    connect(pTabs, &CPortTab::SignalCurPortConfig, w.pQuickConnect, &QuickConnectDiag::OnCurPortConfig);
    connect(w.pQuickConnect, &QuickConnectDiag::SignalReconnectCurPort, pTabs, &CPortTab::OnReconnectPort);
    connect(w.pQuickConnect, &QuickConnectDiag::SignalSetNtripFixPos, pTabs, &CPortTab::OnSetNtripFixPos);
    connect(w.pStatusBar, &QZvStatusBar::SignalRecheckPortProperty, pTabs, &CPortTab::OnRefreshProperty);
    connect(w.pProductMode, &QProductModeDiag::SignalRefreshPortProperty, pManager, &QZvPortManager::RefreshProperty);
    connect(pManager, &QZvPortManager::SignalBoardReset, w.pProductMode, &QProductModeDiag::OnProductBoardReset);
    connect(this, &QZorvikMonitor::SignalCheckPortConnectState, pTabs, &CPortTab::OnCheckPortConnectState);
    connect(this, &QZorvikMonitor::SignalProfressionMode, pManager, &QZvPortManager::OnProfressionMode);
    // A removed device: the serial ports that lost theirs are disconnected.
    connect(w.pDeviceMonitor, &QZvDeviceMonitor::SignalDeviceRemoved, this,
            &QZorvikMonitor::SignalCheckPortConnectState);

    // Commands to receivers.
    const auto sendTo = &QZvPortManager::OnSendPortData1Port;
    connect(this, &QZorvikMonitor::SignalSendMsgConfig, pManager, sendTo);
    connect(w.pCmdInput, &QCMDInput::SignalSendCMD, pManager, sendTo);
    connect(w.pQuickConnect, &QuickConnectDiag::SignalSendData, pManager, sendTo);
    connect(pTabs, &CPortTab::SignalSendCMD, pManager, sendTo);
    connect(w.pButtonBar, &QButtonBar::SignalSendCMD, pManager, sendTo);
    connect(w.pFreset, &QFresetConfig::SignalSendCMD, pManager, sendTo);
    connect(w.pRecvStatus, &QZvRecvStatusDiag::SignalSendNMEAMsg, pManager, sendTo);
    connect(w.pSkyPlot, &QSkyplot::SignalSendNMEAMsg, pManager, sendTo);
    connect(w.pCN0, &QCN0BarChart::SignalSendNMEAMsg, pManager, sendTo);
    connect(w.pINStatus, &QINStatus::SignalSendInspvaxMsg, pManager, sendTo);
    connect(w.pRangeView, &QRangeView::SignalSendRangeMsg, pManager, sendTo);
    connect(w.pRegression, &QRegressionDiag::SignalRegressionSendCmd, pManager, sendTo);
    connect(w.pNvmLog, &QNvmLogDiag::SignalSendNvmCommand, pManager, sendTo);
    connect(w.pHardware, &QHardwareDiag::SignalHardwareSendCmd, pManager, sendTo);
    connect(w.pINSConfigCheck, &QINSConfigCheckDiag::SignalSendINSImuConfigCmd, pManager, sendTo);
    connect(w.pProductMode, &QProductModeDiag::SignalSetStaticIp, pManager, sendTo);
    connect(w.pMediumFreq, &QMediumFreqDiag::SignalMediumFreqSendCmd, pManager, sendTo);
    // The receiver and INS configuration dialogs send to the port they were opened on.
    connect(w.pRecvConfig, &QZvRecvConfig::SignalSendRecvConfigToPort, pManager, sendTo);
    connect(w.pINSConfig, &QZvINSConfig::SignalSendINSCommandToPort, pManager, sendTo);
    // So does the message output window.
    connect(w.pMsgConfig, &QFMsgConfig::SignalSendMsgToPort, pManager, sendTo);

    // Status requests and their replies.
    connect(w.pConfigCheck, &QConfigCheck::SignalCheckPort, pTabs, &CPortTab::OnRequestItem);
    connect(w.pConfigCheck, &QConfigCheck::SignalConfigCheckBtnClickd, pTabs, &CPortTab::OnRequestCustomItem);
    connect(w.pProductMode, &QProductModeDiag::SignalProductModeSendMask, pTabs, &CPortTab::OnRequestItem);
    // The factory reset asks, resets and sets the rate of the port where it started.
    connect(w.pFreset, &QFresetConfig::SignalRequestItem, pTabs, &CPortTab::OnRequestItem);
    connect(w.pFreset, &QFresetConfig::SignalSetBaudrate, pTabs, &CPortTab::OnSetBaudrateTab);
    connect(w.pRangeView, &QRangeView::SignalCheckConfigSendMask, pTabs, &CPortTab::OnRequestCustomItem);
    connect(w.pNvmLog, &QNvmLogDiag::SignalSendNavdumpMask, pTabs, &CPortTab::OnRequestCustomItem);
    // The user configuration view names its port by ID, the tab set by index.
    connect(w.pUserconfig, &QUserconfigDiag::SignalSendUserconfig, pTabs,
            [pTabs](uint UniquePortID, uint Mask)
            {
                const int i = pTabs->GetTabIndexByPortID(UniquePortID);
                if (i >= 0)
                    pTabs->OnRequestItem(i, Mask);
            });
    connect(w.pLoglist, &QLoglistDiag::SignalSendLoglistMask, pTabs, &CPortTab::OnRequestItem);
    connect(w.pINSConfigCheck, &QINSConfigCheckDiag::SignalSendINSConfigMask, pTabs, &CPortTab::OnRequestItem);
    connect(w.pMediumFreq, &QMediumFreqDiag::SignalSendHwinfoMask, pTabs, &CPortTab::OnRequestItem);
    connect(w.pHardware, &QHardwareDiag::SignalSendHardwareVersionMask, pTabs, &CPortTab::OnRequestItem);
    // The hardware test reads the version replies of the ports it upgraded.
    connect(pTabs, &CPortTab::SignalStatusMsgParseFinished, w.pHardware, &QHardwareDiag::OnStatusMsgParseFinished);
    connect(w.pRegression, &QRegressionDiag::SignalRegressionRequestStatus, pTabs, &CPortTab::OnRequestItem);
    connect(pTabs, &CPortTab::SignalStatusMsgParseFinished, this, &QZorvikMonitor::OnUpdateConfigDiag);
    connect(this, &QZorvikMonitor::SignalUpdateRecvConfigDiag, w.pRecvConfig, &QZvRecvConfig::OnUpdateDiag);
    connect(this, &QZorvikMonitor::SignalUpdateINSConfigDiag, w.pINSConfig, &QZvINSConfig::OnUpdateDiag);
    connect(this, &QZorvikMonitor::SignalUpdateUserconfigDiag, w.pUserconfig, &QUserconfigDiag::OnUpdateDiag);
    connect(this, &QZorvikMonitor::SignalUpdateMsgConfigDiag, w.pMsgConfig, &QFMsgConfig::OnUpdateDiag);
    connect(this, &QZorvikMonitor::SignalUpdateLoglistDiag, w.pLoglist, &QLoglistDiag::OnUpdateDiag);
    connect(this, &QZorvikMonitor::SignalRangeViewSendCommand, w.pRangeView, &QRangeView::OnSendCommand);
    connect(this, &QZorvikMonitor::SignalUpdateINSConfigCheckDiag, w.pINSConfigCheck,
            &QINSConfigCheckDiag::OnUpdateDiag);
    connect(this, &QZorvikMonitor::SignalUpdateMediumFreqDiag, w.pMediumFreq, &QMediumFreqDiag::OnUpdateDiag);
    connect(pTabs, &CPortTab::SignalNoValidPortExist, w.pConfigCheck, &QConfigCheck::OnNoValidPortExist);
    connect(this, &QZorvikMonitor::SignalCycleCheckTQOn, w.pConfigCheck, &QConfigCheck::OnCycleCheckTQOn);
    connect(this, &QZorvikMonitor::SignalCycleCheckTQOff, w.pConfigCheck, &QConfigCheck::OnCycleCheckTQOff);

    // View refresh by the tick.
    connect(this, &QZorvikMonitor::SignalUpdateSkyPlot, w.pSkyPlot, &QSkyplot::OnUpdateSkyPlot);
    connect(this, &QZorvikMonitor::SignalUpdateTrackPlot, w.pTrackPlot, &QTrackPlot::OnUpdateTrackPlotWindow);
    connect(this, &QZorvikMonitor::SignalUpdateHeightPlot, w.pHeightPlot, &QHeightPlot::OnUpdateHeightPlotWindow);
    connect(this, &QZorvikMonitor::SignalUpdateMap, w.pMapWindow, &QFMapWindow::OnUpdateMap);
    connect(this, &QZorvikMonitor::SignalMapWindowHidden, w.pMapWindow, &QFMapWindow::OnWindowVisible);
    connect(this, &QZorvikMonitor::SignalUpdateRefCurPos, w.pRecvConfig, &QZvRecvConfig::OnUpdateRefCurPos);
    connect(this, &QZorvikMonitor::SignalUpdateRecvStatus, w.pRecvStatus, &QZvRecvStatusDiag::OnUpdateRecvStatus);
    connect(this, &QZorvikMonitor::SignalUpdateRangeViewData, w.pRangeView, &QRangeView::OnUpdateData);
    connect(this, &QZorvikMonitor::SignalUpdateINSStatus, w.pINStatus, &QINStatus::OnUpdateINSStatus);
    connect(this, &QZorvikMonitor::SignalUpdateCN0BarChart, w.pCN0, &QCN0BarChart::OnUpdateCN0BarChart);
    connect(this, &QZorvikMonitor::SignalSendDebugInfo, w.pDebugWindow,
            &FDebugWindowDialog::OnInsertContentToDebugWindow);
    connect(w.pTimer, &QTimer::timeout, this, &QZorvikMonitor::OnUpdateDiag);

    // Current tab changes, in this order.
    connect(pTabs, &QTabWidget::currentChanged, pTabs, &CPortTab::OnPortTabChange);
    connect(pTabs, &QTabWidget::currentChanged, w.pINStatus, &QINStatus::OnPortTabChange);
    connect(pTabs, &QTabWidget::currentChanged, w.pRecvStatus, &QZvRecvStatusDiag::OnPortTabChange);
    connect(pTabs, &QTabWidget::currentChanged, w.pCN0, &QCN0BarChart::OnPortTabChange);
    connect(pTabs, &QTabWidget::currentChanged, w.pSkyPlot, &QSkyplot::OnPortTabChange);
    connect(pTabs, &QTabWidget::currentChanged, w.pMsgFilter, &QMsgFiterDiag::OnClear);
    connect(pTabs, &QTabWidget::currentChanged, this, &QZorvikMonitor::OnSetActivePortNameOnCMDWindow);

    // Status bar.
    connect(pManager, &QZvPortManager::SignalUpdateStatusBar, w.pStatusBar, &QZvStatusBar::OnUpdateStatusBar);
    connect(pTabs, &CPortTab::SignalUpdateStatusBar, w.pStatusBar, &QZvStatusBar::OnUpdateStatusBar);
    connect(w.pStatusBar, &QZvStatusBar::SignalSetActionWebServerVisible, this,
            &QZorvikMonitor::OnSetActionWebServerVisible);

    // Logging to files.
    connect(w.pAutoLog, &QAutoLogList::SignalLogNewFile, pTabs, &CPortTab::OnLogNewFile);
    connect(w.pAutoLog, &QAutoLogList::SignalStoplogFile, pTabs, &CPortTab::OnUnlogFilePort);
    connect(w.pAutoLog, &QAutoLogList::SignalCloseFile, pTabs, &CPortTab::OnCloseFilePort);
    connect(w.pAutoLog, &QAutoLogList::SignalSetFileName, pTabs, &CPortTab::OnSetTabLogFilename);
    connect(w.pAutoLog, &QAutoLogList::SignalLogConfig, pTabs, &CPortTab::OnSignalLogConfig);
    connect(w.pRegression, &QRegressionDiag::SignalRegressionSetFileName, pTabs, &CPortTab::OnLogNewFile);
    connect(w.pRegression, &QRegressionDiag::SignalRegressionCloseFile, pTabs, &CPortTab::OnCloseFilePort);
    connect(w.pRegression, &QRegressionDiag::signalRegressionLogConfig, pTabs, &CPortTab::OnSignalLogConfig);
    connect(w.pHardware, &QHardwareDiag::SignalHardwareSetFileName, pTabs, &CPortTab::OnLogNewFile);
    connect(w.pHardware, &QHardwareDiag::SignalHardwareCloseFile, pTabs, &CPortTab::OnCloseFilePort);
    connect(w.pHardware, &QHardwareDiag::SignalHardWareLogConfig, pTabs, &CPortTab::OnSignalLogConfig);
    connect(w.pNvmLog, &QNvmLogDiag::SignalNvmSetFileName, pTabs, &CPortTab::OnSetLogFilename1Port);
    connect(w.pMediumFreq, &QMediumFreqDiag::SignalMediumFreqSetFileName, pTabs, &CPortTab::OnSetLogFilename1Port);
    connect(w.pMediumFreq, &QMediumFreqDiag::SignalMediumFreqCloseFile, pTabs, &CPortTab::OnCloseFilePort);
    connect(pTabs, &CPortTab::SignaPortCloseEvent, w.pAutoLog, &QAutoLogList::OnPortCloseEvent);
    connect(pTabs, &CPortTab::SignaPortCloseEvent, w.pHardware, &QHardwareDiag::OnPortCloseEvent);
    connect(pTabs, &CPortTab::SignaUpdateAutoLogList, w.pAutoLog, &QAutoLogList::OnRefreshAutoLogList);

    // Baud rates.
    connect(this, &QZorvikMonitor::SignalSetBaudrateCurTab, pTabs, &CPortTab::OnSetBaudrateCurTab);
    connect(w.pNvmLog, &QNvmLogDiag::SignalNavSetBaud, pTabs, &CPortTab::OnSetBaudrateTab);
    connect(w.pCmdInput, &QCMDInput::SignalFresetChangedBaudRate, pTabs, &CPortTab::OnSetBaudrateTab);
    connect(w.pRegression, &QRegressionDiag::SignalRegressionChangeBaudRate, pTabs, &CPortTab::OnSetBaudrateTab);
    connect(w.pHardware, &QHardwareDiag::SignalHardwareChangeBuadRate, pTabs, &CPortTab::OnSetBaudrateTab);
    connect(w.pMediumFreq, &QMediumFreqDiag::SignalMediumFreqSetBaud, pTabs, &CPortTab::OnSetBaudrateTab);

    // Data view control.
    connect(this, &QZorvikMonitor::SignalTriggerCurTxViewStopShow, pTabs, &CPortTab::OnTriggerCurTxViewStopShow);
    connect(this, &QZorvikMonitor::SignalShowCurTxViewOptions, pTabs, &CPortTab::OnShowCurTxViewOptions);
    connect(pTabs, &CPortTab::SignalPortTabGetFilterData, w.pMsgFilter, &QMsgFiterDiag::OnUpdateDataDiag);

    // Firmware upgrade, scripts and debug output.
    connect(pTabs, &CPortTab::SignalUpgradeFWTab, pManager, &QZvPortManager::OnSetUpgradeFW1Port);
    connect(pTabs, &CPortTab::SignalCancelUpgradeFW, pManager, &QZvPortManager::OnCancelUpgradeFW1Port);
    connect(pManager, &QZvPortManager::SignalUpgradeFWComplete, pTabs, &CPortTab::OnUpgradeFWComplete);
    connect(pManager, &QZvPortManager::SignalUpdateFail, pTabs, &CPortTab::OnUpdateFail);
    connect(pManager, &QZvPortManager::SignalUSBUpdateFail, pTabs, &CPortTab::OnUsbUpdateFail);
    // The hardware test upgrades its boards through the manager and hears how each upgrade ended.
    connect(w.pHardware, &QHardwareDiag::SignalHardwareUpgradeFW, pManager, &QZvPortManager::OnSetUpgradeFW1Port);
    connect(w.pHardware, &QHardwareDiag::SignalHardwareCancelUpgradeFW, pManager,
            &QZvPortManager::OnCancelUpgradeFW1Port);
    connect(pManager, &QZvPortManager::SignalUpgradeFWComplete, w.pHardware, &QHardwareDiag::OnUpgradeFWComplete);
    connect(pManager, &QZvPortManager::SignalUpdateFail, w.pHardware, &QHardwareDiag::OnUpgradeFWFail);
    connect(pManager, &QZvPortManager::SignalUSBUpdateFail, w.pHardware, &QHardwareDiag::OnUsbUpgradeFail);
    connect(w.pButtonBar, &QButtonBar::SignalRunScript, pTabs, &CPortTab::OnRunCurTabScript);
    connect(pTabs, &CPortTab::SignalScriptStatus, this, &QZorvikMonitor::OnSetPortScriptStatus);
    connect(pTabs, &CPortTab::SignalRescueModemStatus, this, &QZorvikMonitor::OnSetPortRescueModemStatus);
    connect(pTabs, &CPortTab::SignaSendDebugInfo, w.pDebugWindow, &FDebugWindowDialog::OnInsertContentToDebugWindow);

    // Command window.
    connect(w.pCmdInput, &QCMDInput::SignalSendAll, this, &QZorvikMonitor::OnSendCMDAllPort);
    connect(w.pCmdInput, &QCMDInput::SignalSendCMD2AllWinChanged, this,
            &QZorvikMonitor::OnSetActivePortNameOnCMDWindow);

    // Docking layer.
    FlexManager* pFlex = FlexManager::instance();
    connect(pFlex, &FlexManager::SignalShowDefaultGraphWindows, this, &QZorvikMonitor::OnShowDefaultGraphWindows);
    connect(pFlex, &FlexManager::dockWidgetCreated, this, &QZorvikMonitor::OnDockWidgetCreated);
    connect(pFlex, &FlexManager::SignalAddFlexDockWidgetFinished, this, &QZorvikMonitor::OnLanguageUpdate);
    connect(pFlex, &FlexManager::flexWidgetCreated, this, &QZorvikMonitor::OnFlexWidgetCreated);
    connect(pFlex, &FlexManager::flexWidgetDestroying, this, &QZorvikMonitor::OnFlexWidgetDestroying);
    connect(pFlex, &FlexManager::dockWidgetDestroying, this, &QZorvikMonitor::OnDockWidgetDestroying);
    for (QAction* pAction : FlexManager::instance()->GetActDialogPropertyMap().keys())
        connect(pAction, &QAction::triggered, this, &QZorvikMonitor::OnShowDialog);

    // Language, in the order the windows re-apply their texts.
    connect(m_pLangGroup, &QActionGroup::triggered, this, &QZorvikMonitor::OnLangChanged);
    const auto language = &QZorvikMonitor::SignalLanguageChanged;
    connect(this, language, w.pRecvStatus, &QZvRecvStatusDiag::OnLanguageUpdate);
    connect(this, language, w.pINSConfig, &QZvINSConfig::OnLanguageUpdate);
    connect(this, language, this, &QZorvikMonitor::OnLanguageUpdate);
    connect(this, language, w.pRecvConfig, &QZvRecvConfig::OnLanguageUpdate);
    connect(this, language, w.pQuickConnect, &QuickConnectDiag::OnLanguageUpdate);
    connect(this, language, w.pMapWindow, &QFMapWindow::OnLanguageUpdate);
    connect(this, language, w.pReplay, &QReplayCfgDiag::OnLanguageUpdate);
    connect(this, language, w.pPortList, &QPortListConnectDiag::OnLanguageUpdate);
    connect(this, language, w.pAbout, &CZvAboutDiag::OnLanguageUpdate);
    connect(this, language, w.pMsgConfig, &QFMsgConfig::OnLanguageUpdate);
    connect(this, language, w.pButtonBar->ButtonEdit(), &QButtonEdit::OnLanguageUpdate);
    connect(this, language, w.pFreset, &QFresetConfig::OnLanguageUpdate);
    connect(this, language, w.pAutoLog, &QAutoLogList::OnLanguageUpdate);
    connect(this, language, w.pINStatus, &QINStatus::OnLanguageUpdate);
    connect(this, language, w.pSkyPlot, &QSkyplot::OnLanguageUpdate);
    connect(this, language, w.pCN0, &QCN0BarChart::OnLanguageUpdate);
    connect(this, language, w.pTrackPlot, &QTrackPlot::OnLanguageUpdate);
    connect(this, language, w.pMsgFilter, &QMsgFiterDiag::OnLanguageUpdate);
    connect(this, language, w.pKMZGen, &QKMZGenDiag::OnLanguageUpdate);
    connect(this, language, w.pHexToBin, &QHextoBinDiag::OnLanguageUpdate);
    connect(this, language, w.pRangeView, &QRangeView::OnLanguageUpdate);
    connect(this, language, w.pNvmLog, &QNvmLogDiag::OnLanguageUpdate);
    connect(this, language, w.pUserconfig, &QUserconfigDiag::OnLanguageUpdate);
    connect(this, language, w.pLoglist, &QLoglistDiag::OnLanguageUpdate);
    connect(this, language, w.pINSConfigCheck, &QINSConfigCheckDiag::OnLanguageUpdate);
    connect(this, language, w.pHardware, &QHardwareDiag::OnLanguageUpdate);
    connect(this, language, w.pProductMode, &QProductModeDiag::OnLanguageUpdate);
    connect(this, language, w.pMediumFreq, &QMediumFreqDiag::OnLanguageUpdate);
    connect(this, language, w.pLonLat, &QLonAndLatConvertDiag::OnLanguageUpdate);
    connect(this, language, w.pRegression, &QRegressionDiag::OnLanguageUpdate);
    connect(this, language, w.pHeightPlot, &QHeightPlot::OnLanguageUpdate);
    // The lock-out and configuration check windows and the button bar's own
    // title follow the language as well.
    connect(this, language, w.pLockOut, &QLockOutDiag::OnLanguageUpdate);
    connect(this, language, w.pConfigCheck, &QConfigCheck::OnLanguageUpdate);
    connect(this, language, w.pButtonBar, &QButtonBar::OnLanguageUpdate);
    connect(this, &QZorvikMonitor::SignalCurLang, w.pHighLight,
            QOverload<QString>::of(&QFHighLightDiag::OnLanguageUpdate));

    WireMenuActions();
}

void QZorvikMonitor::WireMenuActions()
{
    const MONITOR_WINDOWS_T& w = m_W;
    const Ui::QZorvikMonitor& ui = *m_pUi;
    CPortTab* pTabs = w.pPortTab;

    // Port.
    connect(ui.m_ActionConnect, &QAction::triggered, w.pPortList, &QPortListConnectDiag::ShowDiag);
    connect(ui.m_ActionQuickConnect, &QAction::triggered, w.pQuickConnect, &QuickConnectDiag::ShowDiag);
    connect(ui.m_ActionDisconnect, &QAction::triggered, pTabs, &CPortTab::OnDisconnectPort);
    connect(ui.m_ActionReconnect, &QAction::triggered, pTabs, &CPortTab::OnReconnectPort);
    connect(ui.m_ActionLogDiag, &QAction::triggered, pTabs, &CPortTab::OnSetLogFilename);

    // View (the docks are connected with the docking layer).
    connect(ui.actionWebServer, &QAction::triggered, this, &QZorvikMonitor::OnVisitWebServer);
    connect(ui.actionRangeParser, &QAction::triggered, w.pRangeView, &QRangeView::OnShowDialog);
    connect(ui.actionTrackPlot, &QAction::triggered, w.pTrackPlot, &QTrackPlot::OnShowTrackWindow);
    connect(ui.actionPositionHeightPlot, &QAction::triggered, w.pHeightPlot, &QHeightPlot::show);
    connect(ui.actionMapWindow, &QAction::triggered, w.pMapWindow, &QFMapWindow::OnShow);

    // Configure.
    connect(ui.actionMessageView, &QAction::triggered, w.pMsgConfig, &QFMsgConfig::OnShowDialog);
    connect(ui.actionMessageView, &QAction::triggered, pTabs, &CPortTab::OnRequestLoglistMsg);
    connect(ui.m_actionINSConfig, &QAction::triggered, w.pINSConfig, &QZvINSConfig::OnShowDialog);
    connect(ui.m_actionINSConfig, &QAction::triggered, pTabs, &CPortTab::OnRequestUserConfigMsg);
    connect(ui.actionConfigDiag, &QAction::triggered, w.pRecvConfig, &QZvRecvConfig::OnShowDialog);
    connect(ui.actionConfigDiag, &QAction::triggered, pTabs, &CPortTab::OnRequestUserConfigMsg);
    connect(ui.actionFreset, &QAction::triggered, w.pFreset, &QFresetConfig::show);
    connect(ui.actionUserconfig, &QAction::triggered, w.pUserconfig, &QUserconfigDiag::OnShowDialog);
    connect(ui.actionLoglistCheck, &QAction::triggered, w.pLoglist, &QLoglistDiag::OnShowDialog);
    connect(ui.actionINSConfigCheck, &QAction::triggered, w.pINSConfigCheck, &QINSConfigCheckDiag::OnShowDialog);
    connect(ui.actionStableMode, &QAction::triggered, this, &QZorvikMonitor::OnSetStableMode);

    // Tools.
    connect(ui.actionMsgFilter, &QAction::triggered, w.pMsgFilter, &QMsgFiterDiag::show);
    connect(ui.actionUpgradeFW, &QAction::triggered, pTabs, &CPortTab::OnSetUpgradeFWTab);
    connect(ui.ActionAutoLog, &QAction::triggered, w.pAutoLog, &QAutoLogList::OnShowDiag);
    connect(ui.actionKMZGen, &QAction::triggered, w.pKMZGen, &QKMZGenDiag::ShowDiag);
    connect(ui.actionHex2Binary, &QAction::triggered, w.pHexToBin, &QHextoBinDiag::show);
    connect(ui.actionSendXModem, &QAction::triggered, pTabs, &CPortTab::OnSetXModemFWTab);
    connect(ui.actionNVMLog, &QAction::triggered, w.pNvmLog, &QNvmLogDiag::OnShowDialog);
    connect(ui.actionMediumFreq, &QAction::triggered, w.pMediumFreq, &QMediumFreqDiag::OnMediumFreqDiagShow);
    connect(ui.actionRescueModem, &QAction::triggered, pTabs, &CPortTab::OnRescueModemOn);
    connect(ui.actionMoxelin, &QAction::triggered, this, &QZorvikMonitor::OnMoxelin);
    connect(ui.actionLonAndLatConversion, &QAction::triggered, w.pLonLat, &QLonAndLatConvertDiag::OnShowDialog);

    // Replay.
    connect(ui.m_ActReplayFile, &QAction::triggered, w.pReplay, &QReplayCfgDiag::ShowDiag);
    connect(m_pReplayGroup, &QActionGroup::triggered, this, &QZorvikMonitor::OnFileReplayCtrl);

    // EVT.
    connect(ui.actionConfigCheck, &QAction::triggered, w.pConfigCheck, &QConfigCheck::OnShowConfigCheckWindow);
    connect(ui.actionScriptStart, &QAction::triggered, pTabs, &CPortTab::OnStartScriptInCurPort);
    connect(ui.actionScriptStop, &QAction::triggered, pTabs, &CPortTab::OnStopScriptInCurPort);
    connect(ui.actionSetScript, &QAction::triggered, pTabs, &CPortTab::OnSelectScriptFileInCurPort);
    connect(ui.actionRegression, &QAction::triggered, w.pRegression, &QRegressionDiag::OnShowDialog);
    connect(ui.actionTqReportOn, &QAction::triggered, this, &QZorvikMonitor::OnTqReportOn);
    connect(ui.actionTqReportOff, &QAction::triggered, this, &QZorvikMonitor::OnTqReportOff);
    connect(ui.actionHardwareTest, &QAction::triggered, w.pHardware, &QHardwareDiag::OnShowDialog);
    connect(ui.actionProductMode, &QAction::triggered, w.pProductMode, &QProductModeDiag::OnProductModeDiagShow);

    // Window, Layout, Help and the tool bar.
    connect(ui.m_WindowMenu, &QMenu::aboutToShow, this, &QZorvikMonitor::OnWindowListInfo);
    connect(ui.m_WindowMenu, &QMenu::aboutToHide, this, &QZorvikMonitor::OnWindowListInfo);
    connect(ui.actionSimplify, &QAction::triggered, this, &QZorvikMonitor::OnChangeLayout);
    connect(ui.actionAdvance, &QAction::triggered, this, &QZorvikMonitor::OnChangeLayout);
    connect(ui.actionProfressional, &QAction::triggered, this, &QZorvikMonitor::OnProfressional);
    connect(ui.actionClassical, &QAction::triggered, this, &QZorvikMonitor::OnProfressional);
    connect(ui.actionAbout, &QAction::triggered, w.pAbout, &CZvAboutDiag::show);
    connect(ui.actionHighLight, &QAction::triggered, w.pHighLight, &QFHighLightDiag::OnShowDialog);
    connect(ui.m_pActionRenameAll, &QAction::triggered, pTabs, &CPortTab::OnRenameAllTabDiag);
    connect(m_pConnectButton, &QPushButton::clicked, pTabs, &CPortTab::OnReconnectAllPort);
    connect(m_pActReconnectAll, &QAction::triggered, pTabs, &CPortTab::OnReconnectAllPort);
    connect(m_pActDisconnectAll, &QAction::triggered, pTabs, &CPortTab::OnDisconnectAllPort);
}
