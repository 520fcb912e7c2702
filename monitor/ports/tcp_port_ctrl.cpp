#include "monitor/ports/tcp_port_ctrl.h"

#include <QFile>
#include <QTcpSocket>
#include <QTimer>
#include <cstring>
#include <mutex>

#include "monitor/ports/ports_log.h"

namespace
{
std::atomic<uint> g_LiveTcpCount{0};

// Errors after which a connection attempt is not repeated, and a connection
// that was up is made again.
bool IsLinkError(int nError)
{
    return nError == QAbstractSocket::ConnectionRefusedError || nError == QAbstractSocket::RemoteHostClosedError ||
           nError == QAbstractSocket::NetworkError || nError == QAbstractSocket::UnknownSocketError;
}

constexpr int kProgressSpacingMs = 40;
constexpr int kMaxTracedReply = 512;
} // namespace

QZvTCPPortCtrl::TIMING_T& QZvTCPPortCtrl::Timing()
{
    static TIMING_T timing;
    return timing;
}

QZvTCPPortCtrl::QZvTCPPortCtrl() : QZvPortCtrlBase(PORT_TYPE_TCP) { ++g_LiveTcpCount; }

QZvTCPPortCtrl::~QZvTCPPortCtrl()
{
    RequestStop();
    WaitThreadEnd();
    RemoteUpgradeImageClose(&m_Upgrade);
    if (g_LiveTcpCount.load() > 0)
    {
        --g_LiveTcpCount;
    }
}

uint QZvTCPPortCtrl::GetLiveTcpCount() { return g_LiveTcpCount.load(); }

int QZvTCPPortCtrl::SetPortConfig(void* pConfig)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Config = *static_cast<const TCP_CONFIG_T*>(pConfig);
    return PORT_FAIL_NONE;
}

TCP_CONFIG_T QZvTCPPortCtrl::GetTcpConfig() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Config;
}

QString QZvTCPPortCtrl::GetPortName() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Config.IPAddress;
}

int QZvTCPPortCtrl::ClosePort()
{
    if (thread() == QThread::currentThread())
    {
        StopStatusTimer();
    }
    RequestStop();
    return 1;
}

int QZvTCPPortCtrl::DisconnectPort()
{
    // The thread stays and waits, so that a reconnect needs no new thread.
    if (m_pSocket != nullptr && thread() == QThread::currentThread())
    {
        if (IsUpgrading())
        {
            FailUpgrade(QByteArrayLiteral("Upgrade fail: port disconnected\r\n"));
        }
        m_bQuerying = false;
        m_pQueryTimer->stop();
        m_pConnectTimer->stop();
        m_pRetryTimer->stop();
        m_pSocket->abort();
        m_eState = STATE_IDLE;
    }
    return 0;
}

int QZvTCPPortCtrl::ReconnectPort()
{
    if (m_pSocket != nullptr && thread() == QThread::currentThread())
    {
        StartStatusTimer();
        // Settings edited while the port runs take effect at once: a link to
        // another address is made again (not during an upgrade).
        const TCP_CONFIG_T config = GetTcpConfig();
        if (m_eState != STATE_IDLE && !IsUpgrading() &&
            (config.IPAddress != m_Target.IPAddress || config.Port != m_Target.Port || config.Mode != m_Target.Mode))
        {
            DisconnectPort();
        }
        if (m_eState == STATE_IDLE && !m_pRetryTimer->isActive())
        {
            m_WaitTotalMs = 0;
            StartConnect();
        }
    }
    return 0;
}

void QZvTCPPortCtrl::run()
{
    if (IsStopRequested())
    {
        return;
    }
    QTcpSocket socket;
    QTimer connectTimer, retryTimer, queryTimer, cmdTimer, frameTimer, ackTimer;
    for (QTimer* pTimer : {&connectTimer, &retryTimer, &queryTimer, &cmdTimer, &frameTimer, &ackTimer})
    {
        pTimer->setSingleShot(true);
    }
    m_pSocket = &socket;
    m_pConnectTimer = &connectTimer;
    m_pRetryTimer = &retryTimer;
    m_pQueryTimer = &queryTimer;
    m_pCmdTimer = &cmdTimer;
    m_pFrameTimer = &frameTimer;
    m_pAckTimer = &ackTimer;

    connect(&socket, &QTcpSocket::connected, this, &QZvTCPPortCtrl::OnConnected);
    connect(&socket, &QTcpSocket::readyRead, this, &QZvTCPPortCtrl::OnReadyRead);
    connect(&socket, &QAbstractSocket::errorOccurred, this, &QZvTCPPortCtrl::OnSocketError);
    connect(&socket, &QIODevice::bytesWritten, this, &QZvTCPPortCtrl::OnBytesWritten);
    connect(&connectTimer, &QTimer::timeout, this, &QZvTCPPortCtrl::OnConnectTimeout);
    connect(&retryTimer, &QTimer::timeout, this, &QZvTCPPortCtrl::StartConnect);
    connect(&queryTimer, &QTimer::timeout, this, [this] { FinishPropertyQuery(m_QueryReply.bVersion); });
    connect(&cmdTimer, &QTimer::timeout, this, &QZvTCPPortCtrl::OnCommandTimer);
    connect(&frameTimer, &QTimer::timeout, this,
            [this] { FailUpgrade(QByteArrayLiteral("Upgrade fail: the receiver does not take the image\r\n")); });
    connect(&ackTimer, &QTimer::timeout, this,
            [this] { FailUpgrade(QByteArrayLiteral("Upgrade fail: no reply from the receiver\r\n")); });

    m_WaitTotalMs = 0;
    StartStatusTimer();
    StartConnect();
    exec();

    // A port closed during an upgrade leaves the receiver to its own time-out.
    if (IsUpgrading())
    {
        EndUpgrade(false);
    }
    m_bQuerying = false;
    m_eState = STATE_IDLE;
    StopStatusTimer();
    socket.disconnect(this);
    socket.abort();
    m_pSocket = nullptr;
    m_pConnectTimer = m_pRetryTimer = m_pQueryTimer = m_pCmdTimer = m_pFrameTimer = m_pAckTimer = nullptr;
}

void QZvTCPPortCtrl::StartConnect()
{
    if (IsStopRequested())
    {
        quit();
        return;
    }
    if (IsDisconnected())
    {
        m_eState = STATE_IDLE;
        return;
    }
    const TCP_CONFIG_T config = GetTcpConfig();
    m_Target = config;
    m_eState = STATE_CONNECTING;
    m_pSocket->abort();
    m_pConnectTimer->start(Timing().ConnectTimeoutMs);
    m_pSocket->connectToHost(config.IPAddress, static_cast<quint16>(config.Port), QIODevice::ReadWrite,
                             QAbstractSocket::AnyIPProtocol);
}

void QZvTCPPortCtrl::OnConnected()
{
    m_pConnectTimer->stop();
    m_eState = STATE_CONNECTED;
    m_WaitTotalMs = 0;
    qCDebug(lcPorts, "Connected!");
    StartPropertyQuery();
}

void QZvTCPPortCtrl::RetryOrGiveUp(int nError, int nWaitedMs, bool bWaitFirst)
{
    m_WaitTotalMs += nWaitedMs;
    if (m_WaitTotalMs > Timing().GiveUpMs)
    {
        m_eState = STATE_IDLE;
        emit SignalAddPortFail(UniquePortID, PortType, nError, GetPortName());
        quit();
        return;
    }
    if (bWaitFirst)
    {
        m_pRetryTimer->start(Timing().RetryDelayMs);
    }
    else
    {
        StartConnect();
    }
}

void QZvTCPPortCtrl::OnConnectTimeout()
{
    if (m_eState != STATE_CONNECTING)
    {
        return;
    }
    m_pSocket->abort();
    qCDebug(lcPorts, "Connect Err %d!", static_cast<int>(QAbstractSocket::SocketTimeoutError));
    RetryOrGiveUp(QAbstractSocket::SocketTimeoutError, Timing().ConnectTimeoutMs, false);
}

void QZvTCPPortCtrl::OnSocketError(QAbstractSocket::SocketError eError)
{
    const int nError = static_cast<int>(eError);
    if (m_eState == STATE_CONNECTING)
    {
        m_pConnectTimer->stop();
        m_eState = STATE_IDLE;
        if (IsLinkError(nError))
        {
            emit SignalAddPortFail(UniquePortID, PortType, nError, GetPortName());
            quit();
            return;
        }
        // A name that does not resolve and the like: try again after a pause,
        // never in a tight loop, and give up in the end.
        qCDebug(lcPorts, "Connect Err %d!", nError);
        RetryOrGiveUp(nError, Timing().RetryDelayMs, true);
        return;
    }
    if (m_eState != STATE_CONNECTED)
    {
        return;
    }
    qCDebug(lcPorts, "Err %d!", nError);
    if (!IsLinkError(nError))
    {
        return;
    }
    m_eState = STATE_IDLE;
    if (m_bQuerying)
    {
        FinishPropertyQuery(false);
    }
    if (IsUpgrading())
    {
        FailUpgrade(QByteArrayLiteral("Upgrade fail: connection lost\r\n"));
    }
    emit SignalAddPortFail(UniquePortID, PortType, nError, GetPortName());
    if (!IsStopRequested())
    {
        m_pRetryTimer->start(Timing().ReconnectDelayMs);
    }
}

void QZvTCPPortCtrl::OnReadyRead()
{
    const QByteArray data = m_pSocket->readAll();
    if (data.isEmpty())
    {
        return;
    }
    if (IsUpgrading())
    {
        // Replies count once the first chunk has gone out.
        if (m_Upgrade.CurIndex > 0)
        {
            m_bReplied = true;
        }
        qCDebug(lcPortsData, "Response:%s", data.left(kMaxTracedReply).toPercentEncoding(" :,.\r\n").constData());
        if (m_bLastFrameSent && !m_bFrameInFlight)
        {
            CompleteUpgrade();
        }
        return;
    }
    if (m_bQuerying)
    {
        FeedPropertyQuery(data);
    }
    if (!IsDisconnected())
    {
        AppendReceived(data);
    }
}

bool QZvTCPPortCtrl::RefreshProperty()
{
    qCDebug(lcPorts, "Refresh Port Property!");
    if (m_pSocket != nullptr && m_eState == STATE_CONNECTED && thread() == QThread::currentThread())
    {
        StartPropertyQuery();
    }
    return true;
}

void QZvTCPPortCtrl::StartPropertyQuery()
{
    m_bQuerying = true;
    m_QueryReply = PROPERTY_REPLY_T();
    m_pSocket->write(QZvPortProperty::GetQueryCmd());
    m_pQueryTimer->start(Timing().QueryMs);
}

void QZvTCPPortCtrl::FeedPropertyQuery(const QByteArray& Data)
{
    const bool bHadVersion = m_QueryReply.bVersion;
    const int reply = Property.ParseGathered(&m_QueryReply, Data.constData(), Data.size());
    if (reply == QZvPortProperty::REPLY_WHOLE)
    {
        FinishPropertyQuery(true);
    }
    else if (reply == QZvPortProperty::REPLY_VERSION && !bHadVersion &&
             m_pQueryTimer->remainingTime() > QZvPortProperty::NETCONFIG_WAIT_MS)
    {
        // The fields are known; the IP address gets a short wait of its own.
        m_pQueryTimer->start(QZvPortProperty::NETCONFIG_WAIT_MS);
    }
}

void QZvTCPPortCtrl::FinishPropertyQuery(bool bValid)
{
    if (!m_bQuerying)
    {
        return;
    }
    m_bQuerying = false;
    m_pQueryTimer->stop();
    qCDebug(lcPortsData, "ReadData: %s",
            QZvPortProperty::ReplyArea(m_QueryReply).toPercentEncoding(" :,.\r\n[]<>").constData());
    m_QueryReply = PROPERTY_REPLY_T();
    SetPropertyValid(bValid);
}

void QZvTCPPortCtrl::OnWritePort(uint ID, QByteArray WriteData)
{
    if (ID != UniquePortID && ID != ANY_PORT_ID)
    {
        return;
    }
    // Commands must not land between the frames of an image.
    if (IsUpgrading())
    {
        qCDebug(lcPorts, "Port %u: write dropped during the upgrade", UniquePortID);
        return;
    }
    if (m_pSocket != nullptr && m_eState == STATE_CONNECTED)
    {
        m_pSocket->write(WriteData);
    }
}

void QZvTCPPortCtrl::WriteCommandRepeated(const QByteArray& Cmd, int nTimes, std::function<void()> Then)
{
    m_CmdText = Cmd;
    m_CmdLeft = nTimes;
    m_CmdThen = std::move(Then);
    OnCommandTimer();
}

void QZvTCPPortCtrl::OnCommandTimer()
{
    if (m_pSocket == nullptr)
    {
        return;
    }
    if (m_CmdLeft > 0)
    {
        --m_CmdLeft;
        m_pSocket->write(m_CmdText);
        m_pSocket->flush();
        m_pCmdTimer->start(Timing().UpgradeCmdDelayMs);
        return;
    }
    std::function<void()> then;
    then.swap(m_CmdThen);
    if (then)
    {
        then();
    }
}

void QZvTCPPortCtrl::OnSetUpgradeFW(uint ID, QString sFWPath)
{
    if (ID != UniquePortID || IsUpgrading())
    {
        return;
    }
    // Only a receiver reached through one of its network ports ICOM1..ICOM8
    // can take an image this way.
    const PORT_PROPERTY_T prop = Property.Get();
    bool bNumber = false;
    const uint icom = prop.Port.startsWith(QLatin1String("ICOM")) ? prop.Port.mid(4).toUInt(&bNumber) : 0;
    if (!bNumber || icom >= 9)
    {
        qCDebug(lcPorts, "Port %u: no upgrade through receiver port %s", UniquePortID, qPrintable(prop.Port));
        return;
    }
    if (m_pSocket == nullptr || m_eState != STATE_CONNECTED)
    {
        emit SignalUpdateFail(UniquePortID);
        return;
    }
    SetUpgrading(true);
    m_Percent = 0;
    m_Progress.clear();
    m_bReplied = false;
    m_bLastFrameSent = false;
    m_bFrameInFlight = false;

    uint8_t identity[REMOTE_UPGRADE_IDENTITY_LEN] = {};
    const QByteArray sn = prop.SN.toLatin1().left(REMOTE_UPGRADE_IDENTITY_LEN);
    std::memcpy(identity, sn.constData(), static_cast<size_t>(sn.size()));
    const int rc = RemoteUpgradeImageOpen(&m_Upgrade, QFile::encodeName(sFWPath).constData(), identity);
    if (rc == REMOTE_UPGRADE_OPEN_FAILED)
    {
        FailUpgrade("Upgrade fail: cannot open the image " + sFWPath.toUtf8() + "\r\n");
        return;
    }
    if (rc == REMOTE_UPGRADE_TOO_LARGE)
    {
        FailUpgrade("Upgrade fail: the image is too large " + sFWPath.toUtf8() + "\r\n");
        return;
    }
    if (m_Upgrade.ImageSize == 0)
    {
        FailUpgrade("Upgrade fail: the image is empty " + sFWPath.toUtf8() + "\r\n");
        return;
    }
    m_Upgrade.Active = 1;
    m_ProgressClock.start();
    m_ProgressBytes = 0;
    AppendPendingText("Start to upgrage firmware:" + sFWPath.toUtf8() + "\n");
    const QByteArray cmd = QByteArrayLiteral("SET UPGRADEPORT ") + QByteArray::number(icom + 64) + "\r\n";
    WriteCommandRepeated(cmd, 2, [this] { SendNextFrame(); });
}

void QZvTCPPortCtrl::SendNextFrame()
{
    const uint8_t* pFrame = RemoteUpgradeImageNextChunk(&m_Upgrade);
    if (pFrame == nullptr)
    {
        // The image ended before the chunks counted when it was opened.
        FailUpgrade(QByteArrayLiteral("Upgrade fail: the image could not be read to its end\r\n"));
        return;
    }
    m_bLastFrameSent = m_Upgrade.CurIndex >= m_Upgrade.TotalChunks;
    if (m_bLastFrameSent)
    {
        m_Upgrade.Active = 0;
    }
    m_bFrameInFlight = true;
    m_pFrameTimer->start(Timing().FrameWriteMs);
    m_pSocket->write(reinterpret_cast<const char*>(pFrame), m_Upgrade.FrameLength);
}

void QZvTCPPortCtrl::OnBytesWritten()
{
    if (!IsUpgrading() || !m_bFrameInFlight || m_pSocket->bytesToWrite() > 0)
    {
        return;
    }
    m_bFrameInFlight = false;
    m_pFrameTimer->stop();
    m_Percent = RemoteUpgradePercent(&m_Upgrade);
    if (m_bLastFrameSent)
    {
        if (m_bReplied)
        {
            CompleteUpgrade();
        }
        else
        {
            m_pAckTimer->start(Timing().AckWaitMs);
        }
        return;
    }
    AddProgressLine(false);
    AppendPendingText(m_Progress);
    m_Progress.clear();
    SendNextFrame();
}

void QZvTCPPortCtrl::AddProgressLine(bool bFinal)
{
    const qint64 elapsedMs = m_ProgressClock.elapsed();
    if (!bFinal && elapsedMs < kProgressSpacingMs && m_ProgressBytes != 0)
    {
        return;
    }
    const double secs = elapsedMs / 1000.0;
    const double rate = secs > 0 ? (m_Upgrade.BytesSent - m_ProgressBytes) / secs : 0.0;
    const double need = rate > 0 ? (m_Upgrade.ImageSize - m_Upgrade.BytesSent) / rate : 0.0;
    char bar[64];
    FormatUpgradeBar(m_Percent, bar, sizeof(bar));
    char line[160];
    std::snprintf(line, sizeof(line), "Send:%3u%% %8d/%8d Byte %s @%9.1f bps need %5.1f Sec\r", m_Percent,
                  static_cast<int>(m_Upgrade.BytesSent), static_cast<int>(m_Upgrade.ImageSize), bar, rate, need);
    m_Progress.append(line);
    m_ProgressClock.restart();
    m_ProgressBytes = m_Upgrade.BytesSent;
}

void QZvTCPPortCtrl::CompleteUpgrade()
{
    m_pAckTimer->stop();
    m_Percent = 100;
    AddProgressLine(true);
    m_Progress.append("Transmit Complete\nSystem Restart");
    AppendPendingText(m_Progress);
    m_Progress.clear();
    EndUpgrade(true);
    emit SignalFWUpgradeComplete(UniquePortID);
}

void QZvTCPPortCtrl::FailUpgrade(const QByteArray& Reason)
{
    if (!m_Progress.isEmpty())
    {
        AppendPendingText(m_Progress);
        m_Progress.clear();
    }
    AppendPendingText(Reason);
    // The receiver was switched to upgrade mode once the image opened.
    EndUpgrade(m_Upgrade.Active == 1 || m_Upgrade.CurIndex > 0);
    emit SignalUpdateFail(UniquePortID);
}

void QZvTCPPortCtrl::OnCancelUpgradeFW(uint ID)
{
    if (ID != UniquePortID || !IsUpgrading())
    {
        return;
    }
    AppendPendingText(QByteArrayLiteral("Upgrade canceled\r\n"));
    EndUpgrade(true);
}

void QZvTCPPortCtrl::EndUpgrade(bool bRestorePort)
{
    SetUpgrading(false);
    RemoteUpgradeImageClose(&m_Upgrade);
    m_bFrameInFlight = false;
    m_bLastFrameSent = false;
    m_CmdThen = nullptr;
    m_CmdLeft = 0;
    for (QTimer* pTimer : {m_pCmdTimer, m_pFrameTimer, m_pAckTimer})
    {
        if (pTimer != nullptr)
        {
            pTimer->stop();
        }
    }
    if (bRestorePort && m_pSocket != nullptr && m_eState == STATE_CONNECTED)
    {
        WriteCommandRepeated(QByteArrayLiteral("SET UPGRADEPORT -1\r\n"), 2, nullptr);
    }
}
