#include "monitor/ports/file_port_ctrl.h"

#include <QTimer>
#include <algorithm>
#include <mutex>

#include "monitor/ports/ports_log.h"

QZvFilePortCtrl::QZvFilePortCtrl() : QZvPortCtrlBase(PORT_TYPE_REPLAY) { SetTimerInterval(m_Config.Speed); }

QZvFilePortCtrl::~QZvFilePortCtrl()
{
    RequestStop();
    WaitThreadEnd();
}

int QZvFilePortCtrl::SetPortConfig(void* pConfig)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Config = *static_cast<const REPLAY_CONFIG_T*>(pConfig);
        m_Config.Speed = std::max(m_Config.Speed, MIN_SPEED_MS);
    }
    SetTimerInterval(m_Config.Speed);
    return OpenFile() ? PORT_FAIL_NONE : PORT_FAIL_SETUP;
}

bool QZvFilePortCtrl::OpenFile()
{
    const REPLAY_CONFIG_T config = GetReplayConfig();
    m_File.close();
    m_File.setFileName(config.FilePath);
    if (!m_File.open(QIODevice::ReadOnly))
    {
        return false;
    }
    const qint64 size = m_File.size();
    const qint64 start = std::clamp<qint64>(config.StartOffset, 0, size);
    m_File.seek(start);
    m_FileSize.store(size);
    m_ReadCount.store(0);
    m_bStop.store(false);
    m_bEndSaid = false;
    return true;
}

REPLAY_CONFIG_T QZvFilePortCtrl::GetReplayConfig() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Config;
}

QString QZvFilePortCtrl::GetPortName() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Config.FileName;
}

void QZvFilePortCtrl::StartTimerIfOwned()
{
    if (thread() == QThread::currentThread())
    {
        StartStatusTimer();
    }
}

void QZvFilePortCtrl::StopTimerIfOwned()
{
    if (thread() == QThread::currentThread())
    {
        StopStatusTimer();
    }
}

int QZvFilePortCtrl::ClosePort()
{
    m_bStop.store(true);
    StopTimerIfOwned();
    if (!m_File.isOpen())
    {
        return 1;
    }
    m_File.close();
    return 0;
}

int QZvFilePortCtrl::DisconnectPort()
{
    if (!m_File.isOpen())
    {
        return 1;
    }
    StopTimerIfOwned();
    return 0;
}

int QZvFilePortCtrl::ReconnectPort()
{
    StartTimerIfOwned();
    return 0;
}

void QZvFilePortCtrl::run()
{
    if (!IsStopRequested())
    {
        if (m_File.isOpen() && !IsDisconnected())
        {
            StartStatusTimer();
        }
        exec();
    }
    StopStatusTimer();
}

void QZvFilePortCtrl::OnWritePort(uint, QByteArray) {}

void QZvFilePortCtrl::OnSetTimeInterval(bool) {}

void QZvFilePortCtrl::OnUpdateStatus()
{
    // A file can wait: while the window is behind, the replay pauses instead
    // of reading bytes it could not hand over.
    if (!m_bStop.load() && m_File.isOpen() && !IsUiBacklogFull())
    {
        const QByteArray block = m_File.read(BLOCK_BYTES);
        if (!block.isEmpty())
        {
            m_ReadCount += block.size();
            // Each block goes to the view at its own tick, whatever the update pace.
            AppendReceived(block);
            EmitPending();
        }
        if (m_File.pos() >= m_FileSize.load() && !m_bEndSaid)
        {
            m_bEndSaid = true;
            qCDebug(lcPorts, "Replay %u: end of file", UniquePortID);
            emit SignalReplayEnd(UniquePortID);
        }
    }
    UpdateByteRate();
}

void QZvFilePortCtrl::OnStopReplay(bool bStop)
{
    if (bStop)
    {
        ClosePort();
        return;
    }
    if (m_File.isOpen() || !OpenFile())
    {
        return;
    }
    SetDisconnected(false);
    StartTimerIfOwned();
}

void QZvFilePortCtrl::OnPauseReplay(bool bPause)
{
    if (!m_File.isOpen())
    {
        return;
    }
    SetDisconnected(bPause);
    if (bPause)
    {
        StopTimerIfOwned();
    }
    else
    {
        StartTimerIfOwned();
    }
}

void QZvFilePortCtrl::OnJumpReplay(bool bForward)
{
    if (!m_File.isOpen())
    {
        return;
    }
    const qint64 size = m_FileSize.load();
    const qint64 step = size * 5 / 100;
    const qint64 from = m_File.pos();
    const qint64 to = std::clamp<qint64>(bForward ? from + step : from - step, 0, size);
    if (!m_File.seek(to))
    {
        return;
    }
    m_ReadCount += to - from;
    if (to < size)
    {
        m_bEndSaid = false;
    }
}
