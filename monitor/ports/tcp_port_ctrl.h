// Port controller for a receiver reached over TCP: connects and reconnects,
// queries the receiver's properties, reads its output, writes what the user
// interface sends, and upgrades its firmware over the same connection in
// RTCM3 message 4089 frames.
//
// The thread runs its event loop; connecting, retrying, the property query and
// the upgrade are driven by socket signals and timers, so a stop request ends
// the thread at once whatever the port is doing.
#pragma once

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <mutex>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/ports/remote_upgrade.h"

class QTcpSocket;
class QTimer;

class QZvTCPPortCtrl : public QZvPortCtrlBase
{
    Q_OBJECT

public:
    // Waits of the controller in ms; tests shorten them.
    struct TIMING_T
    {
        int ConnectTimeoutMs = 2000; // one connection attempt
        int RetryDelayMs = 2000;     // before retrying after a failed attempt
        int GiveUpMs = 10000;        // failed attempts in a row add up to this: the port stops
        int ReconnectDelayMs = 200;  // after a lost connection
        int QueryMs = 5000;          // property query
        int UpgradeCmdDelayMs = 200; // after each upgrade-port command
        int FrameWriteMs = 30000;    // one upgrade frame to leave the socket
        int AckWaitMs = 10000;       // after the last frame, for the receiver's reply
    };
    static TIMING_T& Timing();

    QZvTCPPortCtrl();
    ~QZvTCPPortCtrl() override;

    int SetPortConfig(void* pConfig) override;
    int ClosePort() override;
    QString GetPortName() const override;
    int DisconnectPort() override;
    int ReconnectPort() override;
    TCP_CONFIG_T GetTcpConfig() const;
    static uint GetLiveTcpCount();

signals:
    // The upgrade ended without the receiver's confirmation.
    void SignalUpdateFail(uint m_UniquePortID);

public slots:
    void OnWritePort(uint UniquePortID, QByteArray WriteData) override;
    void OnSetUpgradeFW(uint UniquePortID, QString sFWPath) override;
    void OnCancelUpgradeFW(uint UniquePortID) override;
    bool RefreshProperty() override;

protected:
    void run() override;

private:
    enum CONN_STATE_E
    {
        STATE_IDLE,
        STATE_CONNECTING,
        STATE_CONNECTED,
    };

    void StartConnect();
    void OnConnected();
    void OnSocketError(QAbstractSocket::SocketError eError);
    void OnConnectTimeout();
    void RetryOrGiveUp(int nError, int nWaitedMs, bool bWaitFirst);
    void OnReadyRead();
    void StartPropertyQuery();
    void FeedPropertyQuery(const QByteArray& Data);
    void FinishPropertyQuery(bool bValid);

    void WriteCommandRepeated(const QByteArray& Cmd, int nTimes, std::function<void()> Then);
    void OnCommandTimer();
    void SendNextFrame();
    void OnBytesWritten();
    void AddProgressLine(bool bFinal);
    void CompleteUpgrade();
    void FailUpgrade(const QByteArray& Reason);
    void EndUpgrade(bool bRestorePort);

    mutable std::mutex m_Mutex; // guards the configuration
    TCP_CONFIG_T m_Config;

    // Objects of one run of the thread.
    QTcpSocket* m_pSocket = nullptr;
    QTimer* m_pConnectTimer = nullptr;
    QTimer* m_pRetryTimer = nullptr;
    QTimer* m_pQueryTimer = nullptr;
    QTimer* m_pCmdTimer = nullptr;
    QTimer* m_pFrameTimer = nullptr;
    QTimer* m_pAckTimer = nullptr;
    CONN_STATE_E m_eState = STATE_IDLE;
    TCP_CONFIG_T m_Target; // the settings of the link made or being made
    int m_WaitTotalMs = 0;

    bool m_bQuerying = false;
    PROPERTY_REPLY_T m_QueryReply;

    // Remote upgrade.
    REMOTE_UPGRADE_T m_Upgrade{};
    QByteArray m_CmdText;
    int m_CmdLeft = 0;
    std::function<void()> m_CmdThen;
    bool m_bFrameInFlight = false;
    bool m_bLastFrameSent = false;
    bool m_bReplied = false;
    uint32_t m_Percent = 0;
    QByteArray m_Progress;
    QElapsedTimer m_ProgressClock;
    uint32_t m_ProgressBytes = 0;
};
