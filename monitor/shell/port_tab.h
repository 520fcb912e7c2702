// The port tabs of the main window: one tab per connected port, each holding
// that port's data view. It is the hub between the port layer and everything
// that works on the current port: the view-refresh tick, the command window,
// status requests, logging to files, baud rates, scripts, renaming and
// locking, the rescue modem and firmware upgrades, and every failure box of a
// port (through the monitor's prompt).
//
// GUI thread only. Port controllers run in their own threads: connections to
// them are queued, and their flags are read here through atomics. Every
// operation on "the current port" does nothing when the current tab has no
// view or the view no controller.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QString>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/ports/port_property.h"
#include "monitor/shell/flex_window_set.h"
#include "monitor/shell/port_view_host.h"

class CZvTxtBrowser;
class QAction;
class QPosDataParser;
class QRangeData;
class QStatusMsgParser;
class QZvPortManager;
struct POS_DATA_T;
struct PORT_FIX_T;

// One port as a window sees it: a copy taken in the GUI thread, safe to keep.
struct PORT_INFO_T
{
    uint UniquePortID = 0; // 0: no port
    QZvPortCtrlBase::PORT_TYPE_E PortType = QZvPortCtrlBase::PORT_TYPE_UART;
    QString PortName; // as opened: device path, host and port, mount point, file
    QString TabText;
    uint BaudRate = 0; // serial ports; 0 for the others
    bool bDisconnected = false;
    bool bRunning = false; // the port's thread runs: what is sent reaches its device (unless disconnected)
    bool bLogging = false;
    QString LogFileName;
    quint64 LogFileSize = 0;    // bytes written to the open log file
    bool bPropertyValid = false; // the receiver answered the property query
    PORT_PROPERTY_T Property; // what the receiver said of itself
    bool bUpgrading = false;     // a firmware upgrade of the port runs
    bool bAutoReconnect = false; // the auto-reconnect flag automatic logging writes
    // The automatic log schedule: 0 switch at a time of day, 1 after a
    // period, 2 none; whether a switch begins a new file; when it is due.
    uint AutoLogMode = 2;
    bool bAutoLogLoop = false;
    QDateTime NextSwitchTime;
};

class CPortTab : public QFlexWindowSet, public CPortViewHost
{
    Q_OBJECT

public:
    // Encodings of command text.
    enum CODED_FORMAT_E
    {
        CODED_FORMAT_UTF8 = 0,
        CODED_FORMAT_GB2312 = 1,
    };

    explicit CPortTab(QWidget* pParent = nullptr);
    ~CPortTab() override;

    // The port manager; set by the main window, not owned.
    void SetPortManager(QZvPortManager* pPortManager) { m_pPortManager = pPortManager; }
    QZvPortManager* GetPortManager() const { return m_pPortManager; }
    // The position parser of the current port.
    QPosDataParser* GetPosDataParser() const override { return m_pPosDataParser; }

    // ---- What the windows read ----
    // Views and dialogs read a port's state only through these, in the GUI
    // thread, during the call that hands them the tab set; they keep no
    // pointer across ticks and write nothing back. A port is named by its
    // unique ID, captured when the user acted; "Cur" reads the current tab's.
    // Null or 0 when there is no such port.
    //
    // The position record of the current port.
    const POS_DATA_T* GetPosData() const;
    // The current port's unique ID.
    uint GetCurPortID() const { return GetPortUniqueID(currentIndex()); }
    // The IDs of every tab's port, in tab order.
    QList<uint> GetPortIDs() const;
    // The latest-log store of a port.
    const QRangeData* GetCurRangeData() const { return GetRangeData(GetCurPortID()); }
    const QRangeData* GetRangeData(uint UniquePortID) const;
    // The status replies of a port (user configuration, log list, version...).
    const QStatusMsgParser* GetCurStatusReplies() const { return GetStatusReplies(GetCurPortID()); }
    const QStatusMsgParser* GetStatusReplies(uint UniquePortID) const;
    // A copy of what a port is; UniquePortID 0 when there is none.
    PORT_INFO_T GetCurPortInfo() const { return GetPortInfo(GetCurPortID()); }
    PORT_INFO_T GetPortInfo(uint UniquePortID) const;
    // While SignalStatusMsgParseFinished is being emitted: the port whose
    // reply was parsed; else 0. A dialog compares it with the port it asked.
    uint GetStatusReplyPortID() const { return m_StatusReplyPortID; }

    // ---- What the windows do to a port ----
    // By the port's unique ID, captured when the user acted; false when no
    // tab holds that port.
    //
    // Has the port's receive road watch for the NVM dump's completion line
    // (SignalNVMComplete1Port once it came), or stop watching.
    bool SetNvmDumpMark(uint UniquePortID, bool bOn);
    // A port streaming at a high data rate: its controller hands received
    // bytes to the view less often (or as usual again).
    bool SetPortSlowUpdate(uint UniquePortID, bool bSlow);
    // Keeps (or stops keeping) the port's own fix, whatever log tells it,
    // for a tool that judges a board by it; GetPortFix reads it (false when
    // the port has no tab or is not watched).
    bool SetPortFixWatch(uint UniquePortID, bool bOn);
    bool GetPortFix(uint UniquePortID, PORT_FIX_T* pFix) const;
    // The port's auto-reconnect flag (automatic logging's start writes it).
    bool SetPortAutoReconnect(uint UniquePortID, bool bOn);
    // What the current port's script wrote, and the runner's notes of it,
    // since the last call (each text is taken once); empty when none.
    QString TakeCurScriptOutput();

    int GetTabCount() const override { return count(); }
    QString GetTabText(int i) const override { return tabText(i); }
    // The data view of tab i / of the current tab, or null.
    CZvTxtBrowser* GetTxView(int i) const override;
    CZvTxtBrowser* GetCurTxView() const override;
    // The "Session Option" entry of a view's menu.
    void EmitCurPortConfig() override { emit SignalCurPortConfig(); }
    // Controller of the current tab; null when there is no tab.
    QZvPortCtrlBase* GetCurPortCtrl() const;
    // Milliseconds since the current port last handed its bytes over to its
    // view; -1 when there is no tab or it has handed nothing over yet.
    qint64 MsSinceCurHandOver() const;
    // Controller of tab i, or null.
    QZvPortCtrlBase* GetPortCtrl(int i) const;
    // uid of tab i; 0 when i < 0 or tab i has no view.
    uint GetPortUniqueID(int i) const;
    static QString GetPortTypeIcon(uint PortType);
    // uid of the first tab whose port name equals sName; -1 when none, 0 when
    // a tab without a view is met first.
    int GetPortIDByName(const QString& sName) const;
    // Index of the tab of that port; -1 when none.
    int GetTabIndexByPortID(uint UniquePortID) const;
    // Whether a tab's port is named sName; pCtrl receives each controller examined.
    bool GetTabIndexByName(const QString& sName, QZvPortCtrlBase** pCtrl = nullptr) const;
    // Resets the tab text of that port as a new tab gets it; false for an
    // unknown port and for a replay port.
    bool RefreshTabText(uint UniquePortID);
    // A serial port that already has a tab is connected again instead of being
    // opened twice: true when such a tab was found.
    bool IsPortNameOpen(const QString& PortName);
    // Adds ("-Upgrading" once) or removes the upgrade mark of that port's tab.
    void SetTabUpgradingMark(uint UniquePortID, bool bUpgrading);
    // Why the connection of tab i's port failed (also the tab's tool tip);
    // empty when it did not fail or was connected again since.
    QString GetPortFailText(int i) const { return tabToolTip(i); }
    // Command text in the chosen encoding.
    QByteArray EncodeCmdText(const QString& sText) const;

    // A successful upgrade shows no completion box (set by the hardware test).
    void SetQuietUpgradeDone(bool bQuiet) { m_bQuietUpgradeDone = bQuiet; }
    // The same, set by the regression bench while its boards upgrade.
    void SetRegressQuietUpgrade(bool bQuiet) { m_bRegressQuietUpgrade = bQuiet; }
    // Stable mode of the main window: the data views stop parsing positions.
    bool IsStableMode() const override { return m_bStableMode; }
    void SetStableMode(bool bStable) { m_bStableMode = bStable; }
    int GetCodedFormat() const { return m_CodedFormat; }

signals:
    void SignalClosePort(uint UniquePortID);
    void SignalDisconnectPort(int iTab, uint UniquePortID);
    void SignalReconnectPort(int iTab, uint UniquePortID);
    void SignalRefreshPortProperty(int iTab, uint UniquePortID);
    void SignalSetUartBaudrate(uint BaudRate);
    void SignalUpdateStatusBar(QZvPortCtrlBase* pPortCtrl, int m_RefreshType);
    void SingalUpdatePos(void* vpPosData);
    void SignalSendCMD(uint UniquePortID, QByteArray WriteData);
    void SignalStatusMsgParseFinished(uint Mask);
    void SignalNoValidPortExist();
    void SignalSetBaseCtrlTimeInterval(uint UniquePortID, bool bActive);
    void SignalPortTabGetFilterData(QByteArray OutData);
    void SignalUpgradeFWTab(uint UniquePortID, QString ImagePath);
    void SignalCancelUpgradeFW(uint UniquePortID);
    void SignaSendDebugInfo(QString sDebugInfo);
    void SignalCurPortConfig();
    void SignalRescueModemStatus(bool bRescueModem, uint UniquePortID);
    void SignalScriptStatus(bool bScriptStatus, uint UniquePortID);
    void SignaPortCloseEvent(int Index);
    void SignaUpdateAutoLogList();
    void SignalAutoReconnectPort(int iTab, uint UniquePortID);
    // A port's receive road saw the NVM dump's completion line.
    void SignalNVMComplete1Port(uint UniquePortID);

public slots:
    void OnAddPort(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, QZvPortCtrlBase* pPortCtrl);
    void OnAddPortFail(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int ErrFlag, QString PortName);
    void OnCheckPortConnectState();
    void OnClosePort(int Index);
    void OnCloseFilePort(int Index);
    void OnOpenFilePort(int Index);
    void OnUnlogFilePort(int Index);
    void OnLogNewFile(int Index, QString sFileName);
    void OnSignalLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);
    void OnSetTabLogFilename(int Index, QString sFileName);
    void OnSetLogFilename() override;
    // The same for the port with that ID, whatever tab is current.
    void OnSetLogFilename1Port(uint UniquePortID);
    void OnSetLogDefaultFolder();
    void OnDisconnectPort();
    void OnDisconnectAllPort();
    void OnReconnectPort();
    void OnReconnectAllPort();
    void OnRefreshProperty();
    void OnPortTabChange(int CurIndex);
    void OnContextMenuRequesred(QPoint Pos);
    void OnShowCurTxViewOptions();
    void OnTriggerCurTxViewStopShow() override;
    void OnLockTabOne() override;
    void OnLockTabAll();
    void OnRenameTabDiag() override;
    void OnRenameAllTabDiag();
    void OnRenameTabNameEVT(QString TabName);
    void OnSetBaudrateRightMenu(QAction* pActBaudrate);
    void OnSetBaudrateCurTab(uint Baudrate);
    void OnSetBaudrateTab(uint Baudrate, int index);
    void SetCodedFormat(QAction* pIntputCmdMode);
    void OnRequestItem(int PortIndex, uint Mask);
    void OnRequestCustomItem(uint Mask);
    void OnRequestLoglistMsg();
    void OnRequestUserConfigMsg();
    void OnResetReqMask();
    void OnStatusMsgParseFinished(uint Mask);
    // The same, for the port whose reply it was.
    void OnStatusMsgParseFinished1Port(uint UniquePortID, uint Mask);
    void OnGetFilterData(QByteArray OutData);
    void OnSendScriptCMDToPort(void* pTxView, QString CMD);
    void OnRunCurTabScript(QString ScriptName);
    void OnStartScriptInCurPort();
    void OnStopScriptInCurPort();
    void OnSelectScriptFileInCurPort();
    void OnSetPortIcon(int TabIndex, QZvPortCtrlBase::PORT_TYPE_E PortType, int IconType);
    void OnSetAutoReconnectPortIcon(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int Status);
    void OnSetNtripFixPos(bool bNtripFixPos);
    void OnOpenFileFail(uint UniquePortID, QString sFileName, int ErrFlag);
    void OnRescueModemOn();
    void OnRescueModemBoardReset(uint UniquePortID);
    void OnSetUpgradeFWTab();
    void OnSetXModemFWTab();
    void OnUpgradeFWComplete(uint UniqueID);
    void OnUpdateFail(uint UniquePortID);
    void OnUsbUpdateFail(uint UniquePortID, int UpdateFail);
    void OnCurrentChanged();

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    // Gives every tab's close button its tool tip; buttons come with a new tab
    // and when the tabs become closable again.
    void SetCloseButtonTips();
    // The tab text a port gets when it is added.
    static QString PortTabText(QZvPortCtrlBase* pPortCtrl);
    // Connects the view's baud-rate signal to its controller (once) and emits it.
    static void SetViewBaudrate(CZvTxtBrowser* pView, uint Baudrate);
    void RequestStatus(CZvTxtBrowser* pView, uint Mask);
    // Firmware upgrade of a port from the image choice on; true when it started.
    bool StartUpgrade(uint UniquePortID);
    void BeginUpgrade(uint UniquePortID, const QString& sPath);
    void CancelUpgrade(uint UniquePortID);
    void RemoveMark(int i, const QString& sMark);
    QZvPortCtrlBase* ManagedPort(uint UniquePortID) const;

    QZvPortManager* m_pPortManager = nullptr;
    QPosDataParser* m_pPosDataParser;
    int m_CodedFormat = CODED_FORMAT_UTF8;
    bool m_bLockAll = false;
    bool m_bQuietUpgradeDone = false;
    bool m_bRegressQuietUpgrade = false;
    bool m_bNtripFixPos = false;
    bool m_bStableMode = false;
    // Ports whose failure box is open: a port that keeps failing shows one.
    QSet<uint> m_FailBoxes;
    uint m_StatusReplyPortID = 0;
    uint m_PosPortID = 0; // the port the position record describes
};
