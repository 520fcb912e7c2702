#include "monitor/ports/uart_port_ctrl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <mutex>

#include "monitor/ports/config_file.h"
#include "monitor/ports/ports_log.h"

namespace
{
std::atomic<uint> g_LiveUartCount{0};

const char kProbeCmd[] = "VERSION\r\nVERSION\r\n";
constexpr uint kAutoRateLimit = 4800;
constexpr uint kDefaultRate = 115200;
} // namespace

QZvUartPortCtrl::QZvUartPortCtrl() : QZvPortCtrlBase(PORT_TYPE_UART), m_ReadBuf(READ_SIZE)
{
    ++g_LiveUartCount;
    m_Config.BaudRate = kDefaultRate;
    m_Config.ByteSize = 8;
    m_Config.Parity = 0;
    m_Config.StopBits = 1;
    m_Dev.SetTiming(m_Timing.Device);
    m_Dev.SetStopCheck([this] { return IsStopRequested(); });
    m_pRescueTimer = new QTimer(this);
    connect(m_pRescueTimer, &QTimer::timeout, this, &QZvUartPortCtrl::OnRescueModemTimeout);
}

QZvUartPortCtrl::~QZvUartPortCtrl()
{
    RequestStop();
    WaitThreadEnd();
    m_Dev.ClosePort();
    uint live = g_LiveUartCount.load();
    while (live > 0 && !g_LiveUartCount.compare_exchange_weak(live, live - 1))
    {
    }
}

uint QZvUartPortCtrl::GetLiveUartCount() { return g_LiveUartCount.load(); }

void QZvUartPortCtrl::SetTiming(const UART_CTRL_TIMING_T& Timing)
{
    m_Timing = Timing;
    m_Dev.SetTiming(Timing.Device);
}

int QZvUartPortCtrl::SetPortConfig(void* pConfig)
{
    if (pConfig == nullptr)
    {
        return PORT_FAIL_SETUP;
    }
    std::lock_guard<std::mutex> lock(m_ConfigMutex);
    m_Config = *static_cast<const UART_CONFIG_T*>(pConfig);
    return PORT_FAIL_NONE;
}

UART_CONFIG_T QZvUartPortCtrl::GetPortConfig() const
{
    std::lock_guard<std::mutex> lock(m_ConfigMutex);
    return m_Config;
}

QString QZvUartPortCtrl::GetPortName() const
{
    std::lock_guard<std::mutex> lock(m_ConfigMutex);
    return m_Config.PortName;
}

uint QZvUartPortCtrl::GetBaudRate() const
{
    std::lock_guard<std::mutex> lock(m_ConfigMutex);
    return m_Config.BaudRate;
}

QString QZvUartPortCtrl::UartErrFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Uart_Err.txt"));
}

bool QZvUartPortCtrl::WaitMs(uint nMs) const { return m_Dev.WaitMs(nMs); }

bool QZvUartPortCtrl::OpenWithConfig()
{
    const UART_CONFIG_T config = GetPortConfig();
    m_Dev.Reset();
    return m_Dev.OpenPort(QFile::encodeName(config.PortName).constData(), config.BaudRate, config.ByteSize,
                          config.Parity, config.StopBits) == 1;
}

void QZvUartPortCtrl::run()
{
    const QByteArray name = QFile::encodeName(GetPortName());
    // A fixed rate is used as it stands; only an automatic rate is probed.
    if (GetBaudRate() < kAutoRateLimit)
    {
        qCDebug(lcPorts, "Uart ID %u, AutoDetectBaudRate start", UniquePortID);
        int rate = m_Dev.AutoDetectBaudRate(name.constData(), kProbeCmd);
        qCDebug(lcPorts, "Uart ID %u, AutoDetectBaudRate end: %d", UniquePortID, rate);
        if (IsStopRequested())
        {
            m_Dev.Reset();
            return;
        }
        if (rate < 0)
        {
            m_Dev.Reset();
            emit SignalAddPortFail(UniquePortID, PortType, PORT_FAIL_NO_DEVICE, GetPortName());
            return;
        }
        if (rate == 0)
        {
            rate = kDefaultRate;
        }
        std::lock_guard<std::mutex> lock(m_ConfigMutex);
        m_Config.BaudRate = static_cast<uint32_t>(rate);
    }

    if (!OpenWithConfig())
    {
        emit SignalAddPortFail(UniquePortID, PortType, PORT_FAIL_NO_DEVICE, GetPortName());
        return;
    }
    qCDebug(lcPorts, "Uart ID %u, Parse Property start", UniquePortID);
    const bool bValid = ParsePortProperty();
    SetPropertyValid(bValid);
    qCDebug(lcPorts, "Uart ID %u, Parse Property end: %d", UniquePortID, bValid);
    if (IsStopRequested())
    {
        m_Dev.Reset();
        return;
    }
    // In professional mode a silent device is accepted.
    if (!bValid && !GetProcessMode())
    {
        DisconnectPort();
        emit SignalAddPortFail(UniquePortID, PortType, PORT_FAIL_NO_ANSWER, GetPortName());
        return;
    }

    StartStatusTimer();
    qCDebug(lcPorts, "UartThread start : ID %d", UniquePortID);
    while (!IsStopRequested())
    {
        // A turn whose read filled the buffer left bytes in the device: the
        // next turn follows at once, after the pending events.
        const bool bFull = ReadTurn();
        if (!WaitEvents(bFull ? 0 : static_cast<int>(m_Dev.GetReadTimeout() / 2)))
        {
            break;
        }
    }
    StopStatusTimer();
    m_pRescueTimer->stop();
    // What was handed to the port before it was asked to close still goes
    // out (a relay board's frame that gives a board its power back, among
    // others): the writes queued for it are taken, and what they left written.
    if (m_Dev.IsOpen())
    {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        WriteOutArea();
    }
    m_Dev.ClosePort();
    m_UartErr.close();
}

void QZvUartPortCtrl::WriteOutArea()
{
    if (!m_OutArea.isEmpty() && m_Dev.IsOpen() &&
        m_Dev.WriteData(m_OutArea.constData(), static_cast<uint32_t>(m_OutArea.size())) == 1)
        m_Dev.FlushTransmit();
    m_OutArea.clear();
}

bool QZvUartPortCtrl::ReadTurn()
{
    uint32_t n = 0;
    const int r = m_Dev.ReadData(m_ReadBuf.data(), READ_SIZE, &n);
    if (r == UART_READ_LOST)
    {
        qCDebug(lcPorts, "Uart ID %u, device lost", UniquePortID);
        if (m_Dev.IsActive())
        {
            m_Dev.ResetTransfer();
            EndTransfer();
        }
        emit SignalAddPortFail(UniquePortID, PortType, PORT_FAIL_DEVICE_LOST, GetPortName());
    }
    else if (r == 1 && m_Dev.IsActive())
    {
        OnTransferChunk(m_ReadBuf.data(), n);
    }
    else if (r == 1)
    {
        const QByteArray data(reinterpret_cast<const char*>(m_ReadBuf.data()), static_cast<int>(n));
        AppendReceived(data);
        if (data.contains("CC"))
        {
            emit SignalBoardReset(UniquePortID);
        }
    }
    else if (m_Dev.IsActive() && ++m_IdleCount > m_Timing.IdleLimit)
    {
        qCDebug(lcPorts, "update count:%d", m_IdleCount);
        m_IdleCount = 0;
        m_Dev.ResetTransfer();
        EndTransfer();
    }

    m_Dev.FlushTransmit();
    if (!m_OutArea.isEmpty())
    {
        if (!m_Dev.IsOpen() || m_Dev.WriteData(m_OutArea.constData(), static_cast<uint32_t>(m_OutArea.size())) == 1)
        {
            m_OutArea.clear();
        }
    }
    return r == 1 && n == READ_SIZE;
}

void QZvUartPortCtrl::OnTransferChunk(uint8_t* pBuf, uint32_t n)
{
    m_IdleCount = 0;
    WriteUartErr(n);
    const QByteArray chunk(reinterpret_cast<const char*>(pBuf), static_cast<int>(n));
    uint32_t left = n;
    // Until the loader is ready its output is shown like any received data.
    if (m_Dev.TransmitImage(pBuf, &left) == 2)
    {
        AppendReceived(chunk);
    }
    const std::string progress = m_Dev.TakeProgressText();
    if (!progress.empty())
    {
        AppendPendingText(QByteArray(progress.data(), static_cast<int>(progress.size())));
    }
    if (!m_Dev.IsActive())
    {
        EndTransfer();
    }
}

void QZvUartPortCtrl::EndTransfer()
{
    SetUpgrading(false);
    m_UartErr.close();
    const std::string progress = m_Dev.TakeProgressText();
    if (!progress.empty())
    {
        AppendPendingText(QByteArray(progress.data(), static_cast<int>(progress.size())));
    }
    // Only an acknowledged end of transmission is a finished upgrade.
    if (m_Dev.GetResult() == XMODEM_RESULT_COMPLETE)
    {
        emit SignalFWUpgradeComplete(UniquePortID);
    }
    else
    {
        emit SignalUpdateFail(UniquePortID);
    }
}

void QZvUartPortCtrl::WriteUartErr(uint32_t nRead)
{
    // Only a regular file: a FIFO there would hold the port's thread.
    if (!m_UartErr.isOpen() && OpenConfigFileForAppend(UartErrFilePath(), &m_UartErr) != CONFIG_FILE_OK)
    {
        return;
    }
    // One receive area, so its index is always 0; every byte read is held.
    m_UartErr.write(QStringLiteral("m_CurRXIndex: %1\r\nActualReadData: %2\r\nRxDataSize: %3\r\n\r\n")
                        .arg(0)
                        .arg(nRead)
                        .arg(nRead)
                        .toLatin1());
    m_UartErr.flush();
}

int QZvUartPortCtrl::ClosePort()
{
    WriteOutArea();
    m_Dev.ClosePort();
    RequestStop();
    return 0;
}

int QZvUartPortCtrl::DisconnectPort()
{
    m_Dev.ClosePort();
    return 0;
}

int QZvUartPortCtrl::ReconnectPort()
{
    // The device belongs to the port's thread; once that has ended only a
    // restart of the thread connects again.
    if (QThread::currentThread() != this)
    {
        return 1;
    }
    if (GetBaudRate() < kAutoRateLimit)
    {
        const int rate = m_Dev.AutoDetectBaudRate(QFile::encodeName(GetPortName()).constData(), kProbeCmd);
        if (rate >= 0)
        {
            std::lock_guard<std::mutex> lock(m_ConfigMutex);
            m_Config.BaudRate = static_cast<uint32_t>(rate > 0 ? rate : static_cast<int>(kDefaultRate));
        }
    }
    const bool bOpened = OpenWithConfig();
    RefreshProperty();
    // Asked by the user, the port says why it is still not there; automatic
    // attempts report once, when they end.
    if (!bOpened && !m_bAutoReconnecting)
    {
        emit SignalAddPortFail(UniquePortID, PortType, PORT_FAIL_NO_DEVICE, GetPortName());
    }
    return bOpened ? 0 : 1;
}

int QZvUartPortCtrl::AutoReconnectPort()
{
    // A second request while one runs joins the running one.
    if (m_bAutoReconnecting || QThread::currentThread() != this)
    {
        return 0;
    }
    m_bAutoReconnecting = true;
    bool bAllFailed = true;
    uint wait = m_Timing.ReconnectFirstWait;
    for (uint i = 0; i < m_Timing.ReconnectAttempts; ++i, wait *= 2)
    {
        if (!WaitEvents(static_cast<int>(wait)))
        {
            m_bAutoReconnecting = false;
            return 0;
        }
        // Reconnected by hand meanwhile.
        const bool bOpened = m_Dev.IsOpen() || ReconnectPort() == 0;
        if (!WaitEvents(static_cast<int>(m_Timing.ReconnectSettle)))
        {
            m_bAutoReconnecting = false;
            return 0;
        }
        if (bOpened)
        {
            bAllFailed = false;
            break;
        }
    }
    m_bAutoReconnecting = false;
    emit SignalReconnectPortComplete(UniquePortID, bAllFailed);
    return 0;
}

bool QZvUartPortCtrl::ParsePortProperty()
{
    const QByteArray query = QZvPortProperty::GetQueryCmd();
    if (m_Dev.WriteData(query.constData(), static_cast<uint32_t>(query.size())) != 1)
    {
        return false;
    }
    // Polls at a fixed pace, each taking whatever has come without waiting.
    const uint readTimeout = m_Dev.GetReadTimeout();
    m_Dev.SetReadTimeout(0);
    PROPERTY_REPLY_T reply;
    int state = QZvPortProperty::REPLY_NONE;
    // Once the VERSION reply has come, the NETCONFIG one gets a few polls more.
    const uint netPolls =
        std::max(1u, static_cast<uint>(QZvPortProperty::NETCONFIG_WAIT_MS) / std::max(1u, m_Timing.PropertyPoll));
    uint pollsLeft = m_Timing.PropertyPolls;
    while (pollsLeft > 0 && state != QZvPortProperty::REPLY_WHOLE)
    {
        --pollsLeft;
        if (!WaitMs(m_Timing.PropertyPoll))
        {
            break;
        }
        uint32_t n = 0;
        if (m_Dev.ReadData(m_ReadBuf.data(), READ_SIZE, &n) != 1)
        {
            continue;
        }
        const QByteArray chunk(reinterpret_cast<const char*>(m_ReadBuf.data()), static_cast<int>(n));
        // The reply is received data like any other: shown and logged.
        AppendReceived(chunk);
        const int was = state;
        state = Property.ParseGathered(&reply, chunk.constData(), chunk.size());
        if (was == QZvPortProperty::REPLY_NONE && state == QZvPortProperty::REPLY_VERSION)
        {
            pollsLeft = std::min(pollsLeft, netPolls);
        }
    }
    const bool bValid = state != QZvPortProperty::REPLY_NONE;
    m_Dev.SetReadTimeout(readTimeout);
    return bValid;
}

void QZvUartPortCtrl::OnSetBaudrate(uint BaudRate)
{
    if (BaudRate == GetBaudRate() || !m_Dev.IsOpen() || IsStopRequested())
    {
        return;
    }
    // What was asked to be sent before the change goes out first, at the old rate.
    if (!m_OutArea.isEmpty() && m_Dev.WriteData(m_OutArea.constData(), static_cast<uint32_t>(m_OutArea.size())) == 1)
    {
        m_OutArea.clear();
    }
    const QByteArray cmd = QStringLiteral("\r\nCOM %1\r\n").arg(BaudRate).toLatin1();
    m_Dev.WriteData(cmd.constData(), static_cast<uint32_t>(cmd.size()));
    WaitMs(m_Timing.RateChangeWait);
    if (m_Dev.SetBaudRate(BaudRate) == 1)
    {
        std::lock_guard<std::mutex> lock(m_ConfigMutex);
        m_Config.BaudRate = BaudRate;
    }
    if (!IsPropertyValid())
    {
        SetPropertyValid(ParsePortProperty());
    }
    WaitMs(m_Timing.RateSettle);
}

void QZvUartPortCtrl::OnWritePort(uint ID, QByteArray WriteData)
{
    // Bytes for a closed device are dropped, not kept for a later reconnection.
    if (IsLocked() || (ID != UniquePortID && ID != ANY_PORT_ID) || IsUpgrading() || !m_Dev.IsOpen())
    {
        return;
    }
    KeepForDevice(&m_OutArea, WriteData);
}

void QZvUartPortCtrl::OnSetUpgradeFW(uint ID, QString sFWPath)
{
    if (ID != UniquePortID)
    {
        return;
    }
    // The loader listens on the receiver's first two ports only.
    const QString port = Property.Get().Port;
    if (port != QLatin1String("COM1") && port != QLatin1String("COM2"))
    {
        return;
    }
    // Without an open device no loader can be reached: the upgrade fails at once.
    if (!m_Dev.IsOpen() || QThread::currentThread() != this || IsStopRequested())
    {
        emit SignalUpdateFail(UniquePortID);
        return;
    }
    SetUpgrading(true);
    m_OutArea.clear();
    const QByteArray cmd =
        QStringLiteral("SET UPGRADEPORT %1\r\n").arg(port == QLatin1String("COM1") ? 0 : 1).toLatin1();
    if (!IsXModemMode() && !IsRescueModem())
    {
        m_Dev.WriteData(cmd.constData(), static_cast<uint32_t>(cmd.size()));
        WaitMs(m_Timing.UpgradeCmdWait);
        m_Dev.WriteData(cmd.constData(), static_cast<uint32_t>(cmd.size()));
        WaitMs(m_Timing.UpgradeCmdWait);
        m_Dev.WriteData("SAVECONFIG\r\n", 12);
        WaitMs(m_Timing.UpgradeSaveWait);
        m_Dev.WriteData("\r\nRESET\r\n", 9);
    }
    AppendPendingText("Start to upgrage firmware:" + sFWPath.toUtf8() + "\n");
    m_IdleCount = 0;
    if (m_Dev.LoadImage(QFile::encodeName(sFWPath).constData()) != 1)
    {
        // An image that cannot be read ends the upgrade at once, as a failure.
        SetUpgrading(false);
        emit SignalUpdateFail(UniquePortID);
    }
}

void QZvUartPortCtrl::OnCancelUpgradeFW(uint ID)
{
    if (ID != UniquePortID)
    {
        return;
    }
    AppendPendingText("Upgrade canceled\r\n");
    m_Dev.CancelTransfer();
    m_Dev.FlushTransmit();
    m_UartErr.close();
    SetUpgrading(false);
}

void QZvUartPortCtrl::OnStartSendCmd() { m_pRescueTimer->start(1); }

void QZvUartPortCtrl::OnRescueModemTimeStop() { m_pRescueTimer->stop(); }

void QZvUartPortCtrl::OnRescueModemTimeout()
{
    // The loader only has to see the flood while it boots: what the line
    // cannot take right now is dropped rather than holding up the reads.
    const QByteArray flood = QByteArray(static_cast<int>(GetBaudRate() / 100), 'X') + "XXXXXXXXX";
    m_Dev.WriteNow(flood.constData(), static_cast<uint32_t>(flood.size()));
}
