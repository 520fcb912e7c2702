// Owner of every port controller. It creates the controller for a connection
// record, starts it in its own thread, routes everything addressed to a port
// by its unique ID, and passes the controllers' reports on. GUI thread only.
//
// Controllers are kept by their unique port ID. Deleting a port returns
// within a second whatever the port is doing: a thread that has not ended by
// then is released from every connection and destroyed once it ends.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

#include "monitor/ports/port_ctrl_base.h"

struct UART_CTRL_TIMING_T;

class QTimer;

class QZvPortManager : public QObject
{
    Q_OBJECT

public:
    // Longest time DeletePortCtrl waits for a port thread to end.
    static constexpr int DELETE_WAIT_MS = 800;

    explicit QZvPortManager(QObject* pParent = nullptr);
    ~QZvPortManager() override;

    // The live controller of an ID, or null.
    QZvPortCtrlBase* GetPortCtrl(uint UniquePortID) const;
    QList<uint> GetPortIDs() const;
    // The waits of the serial ports opened from now on (tests shorten them).
    void SetUartTiming(const UART_CTRL_TIMING_T& Timing);

signals:
    void SignalPostAddPort(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, QZvPortCtrlBase* pPortCtrl);
    // Set-up failures, and connections that fail or are lost later in the
    // port's thread (TCP and caster ports retry after a loss; a caster port
    // reports once until its stream flows again, a USB port once until its
    // receiver answers again; a serial port whose device goes away reports
    // PORT_FAIL_DEVICE_LOST and waits to be reconnected).
    void SignalAddPortFail(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int Errflag, QString PortName);
    void SignalSendPortData(uint UniquePortID, QByteArray SendData);
    // Status 1 disconnected, 0 connected.
    void SignalConnectStatus(int iTab, QZvPortCtrlBase::PORT_TYPE_E PortType, int Status);
    void SignalAutoReConnectStatus(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int Status);
    void SignalClosePort();
    void SignalSetActivePortID(bool bActivePort);
    void SignalDisConnectPort();
    void SignalReConnectPort();
    void SignalAutoReConnectPort();
    void SignalRefreshProperty();
    void SignalSetLogFileName(QString sFileName);
    void SignalSetDefaultFolder(QString sDefaultPath);
    void SignalClearDefaultFolder();
    void SignalOpenLogFile();
    void SignalCloseLogFile();
    void SignalUpdateStatusBar(QZvPortCtrlBase* pPortCtrl, int RefreshType);
    void SignalUpgradeFW(uint UniquePortID, QString ImagePath);
    void SignalCancelUpgradeFW(uint UniquePortID);
    void SignalUpgradeFWComplete(uint UniquePortID);
    void SignalUpdateFail(uint UniquePortID);
    void SignalProcessMode(bool ProfressionMode);
    void SignalOpenFileFail(uint UniquePortID, QString sFileName, int ErrFlag);
    void SignalUSBUpdateFail(uint m_UniquePortID, int UpdateFail);
    void SignalBoardReset(uint UniquePortID);

public slots:
    // 0 success; 1 when the record is missing, the kind is unknown, or the
    // set-up failed (then SignalAddPortFail tells why: a USB port gives
    // USB_PORT_FAIL_E and the name "USB" with its channel + 1).
    int AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_E PortType, void* pConfig);
    int DeletePortCtrl(uint UniquePortID);
    // Ends every port at once and waits for them together, at most
    // DELETE_WAIT_MS in all (used when the program closes); a port whose
    // thread has not ended by then is destroyed once it ends.
    void DeleteAllPortCtrl();
    int SetActivePortID(uint UniquePortID, bool bActive);
    int DisconnectPort(int iTab, uint UniquePortID);
    int ReconnectPort(int iTab, uint UniquePortID);
    int AutoReconnectPort(int iTab, uint UniquePortID);
    int RefreshProperty(int iTab, uint UniquePortID);
    void OnSendPortData1Port(uint UniquePortID, QByteArray SendData);
    void OnSetFileName1Port(uint UniquePortID, QString sFileName);
    void OnSetLogDefaultFolder1Port(uint UniquePortID, QString sDefaultPath);
    void OnClearLogDefaultFolder1Port(uint UniquePortID);
    void OnOpenFile1Port(uint UniquePortID);
    void OnCloseFile1Port(uint UniquePortID);
    void OnSetUpgradeFW1Port(uint UniquePortID, QString ImagePath);
    void OnCancelUpgradeFW1Port(uint UniquePortID);
    void OnUpgradeFWComplete(uint UniquePortID);
    void OnUpdateFail(uint UniquePortID);
    void OnProfressionMode(bool bProfressionMode);
    void OnFileOpenFail(uint UniquePortID, QString sFileName, int ErrFlag);
    void OnUsbUpdateFail(uint UniquePortID, int UpdateFail);
    void OnBoardReset(uint UniquePortID);
    void OnAutoReconnectComplete(uint UniquePortID, bool bAutoReconnectPort);

private:
    void ReleasePort(QZvPortCtrlBase* pCtrl, int nWaitMs);
    // The two halves of ReleasePort: the port is asked to end, then waited for.
    void AskPortToEnd(QZvPortCtrlBase* pCtrl);
    void FinishPort(QZvPortCtrlBase* pCtrl, QDeadlineTimer Deadline);
    void ReapEndedPorts();

    QHash<uint, QZvPortCtrlBase*> m_PortCtrls;
    // Deleted ports whose thread had not ended yet.
    QList<QZvPortCtrlBase*> m_Ending;
    QTimer* m_pReapTimer = nullptr;
    std::unique_ptr<UART_CTRL_TIMING_T> m_pUartTiming;
};
