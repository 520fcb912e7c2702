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
#include <QPoint>
#include <QSet>
#include <QString>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/shell/flex_window_set.h"
#include "monitor/shell/port_view_host.h"

class CZvTxtBrowser;
class QAction;
class QPosDataParser;
class QZvPortManager;
struct POS_DATA_T;

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
    // The position parser of the current port and its record.
    QPosDataParser* GetPosDataParser() const override { return m_pPosDataParser; }
    POS_DATA_T* GetPosData() const;

    int GetTabCount() const override { return count(); }
    QString GetTabText(int i) const override { return tabText(i); }
    // The data view of tab i / of the current tab, or null.
    CZvTxtBrowser* GetTxView(int i) const override;
    CZvTxtBrowser* GetCurTxView() const override;
    // The "Session Option" entry of a view's menu.
    void EmitCurPortConfig() override { emit SignalCurPortConfig(); }
    // Controller of the current tab; null when there is no tab.
    QZvPortCtrlBase* GetCurPortCtrl() const;
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
    bool m_bNtripFixPos = false;
    bool m_bStableMode = false;
    // Ports whose failure box is open: a port that keeps failing shows one.
    QSet<uint> m_FailBoxes;
};
