#include "monitor/ports/port_ctrl_base.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <mutex>

#include "monitor/ports/ports_log.h"

namespace
{
std::atomic<uint> g_LastPortID{0};
std::atomic<uint> g_LiveCount{0};
std::atomic<bool> g_bProcessMode{false};

std::mutex g_ClockMutex;
std::function<QDateTime()> g_fnWallClock;

void RegisterPortTypes()
{
    static const bool bDone = []
    {
        qRegisterMetaType<QZvPortCtrlBase::PORT_TYPE_E>("QZvPortCtrlBase::PORT_TYPE_E");
        qRegisterMetaType<QZvPortCtrlBase*>("QZvPortCtrlBase*");
        return true;
    }();
    (void)bDone;
}

// A port name may be a device path ("/dev/ttyUSB0"); only its last part goes
// into an automatic log file name.
QString LogBaseName(const QString& sPortName)
{
    QString sName = sPortName.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    return sName.isEmpty() ? QStringLiteral("port") : sName;
}
} // namespace

QZvPortCtrlBase::QZvPortCtrlBase(PORT_TYPE_E ePortType)
    : QThread(nullptr), PortType(ePortType), UniquePortID(++g_LastPortID)
{
    RegisterPortTypes();
    ++g_LiveCount;
    m_StartTime = WallNow();
    m_NextSwitchTime = m_StartTime;
    m_pStatusTimer = new QTimer(this);
    // A coarse timer of a whole second is moved to the clock's whole seconds,
    // which would bring the idle ports back in step (see SetTimerInterval).
    m_pStatusTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pStatusTimer, &QTimer::timeout, this, &QZvPortCtrlBase::OnUpdateStatus);
    m_pPhaseTimer = new QTimer(this);
    m_pPhaseTimer->setSingleShot(true);
    connect(m_pPhaseTimer, &QTimer::timeout, this, &QZvPortCtrlBase::OnPhaseReached);
    connect(this, &QThread::finished, this, &QZvPortCtrlBase::OnThreadFinished, Qt::DirectConnection);
    // Queued behind the batches it counts, in the thread that made the port.
    m_pUiTaken = new QObject;
    connect(this, &QZvPortCtrlBase::SignalUpdateUI, m_pUiTaken,
            [pBacklog = m_pUiBacklog](uint, QZvPortCtrlBase::PORT_TYPE_E, const QByteArray& Data)
            { *pBacklog -= Data.size(); });
}

QZvPortCtrlBase::~QZvPortCtrlBase()
{
    // Not isRunning(): that is false already while the finished handlers run.
    RequestStop();
    WaitThreadEnd();
    CloseLog();
    if (m_pUiTaken->thread() == QThread::currentThread())
        delete m_pUiTaken;
    else
        m_pUiTaken->deleteLater();
    uint live = g_LiveCount.load();
    while (live > 0 && !g_LiveCount.compare_exchange_weak(live, live - 1))
    {
    }
}

void QZvPortCtrlBase::SetWallClock(std::function<QDateTime()> fnNow)
{
    std::lock_guard<std::mutex> lock(g_ClockMutex);
    g_fnWallClock = std::move(fnNow);
}

QDateTime QZvPortCtrlBase::WallNow()
{
    std::function<QDateTime()> fnNow;
    {
        std::lock_guard<std::mutex> lock(g_ClockMutex);
        fnNow = g_fnWallClock;
    }
    return fnNow ? fnNow() : QDateTime::currentDateTime();
}

bool QZvPortCtrlBase::GetProcessMode() { return g_bProcessMode.load(); }

void QZvPortCtrlBase::SetProcessMode(bool bProcessMode) { g_bProcessMode.store(bProcessMode); }

uint QZvPortCtrlBase::GetLiveCount() { return g_LiveCount.load(); }

uint QZvPortCtrlBase::GetLastUniquePortID() { return g_LastPortID.load(); }

QString QZvPortCtrlBase::GetLogFileName() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_FileName;
}

QString QZvPortCtrlBase::GetDefaultPath() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_DefaultPath;
}

QDateTime QZvPortCtrlBase::GetStartTime() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_StartTime;
}

QDateTime QZvPortCtrlBase::GetNextSwitchTime() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_NextSwitchTime;
}

void QZvPortCtrlBase::StartPortThread()
{
    if (isRunning())
    {
        return;
    }
    WaitThreadEnd(); // a thread that is just finishing
    m_bCloseRequested.store(false);
    if (thread() != this)
    {
        moveToThread(this);
    }
    start();
    setPriority(QThread::HighPriority);
}

void QZvPortCtrlBase::RequestStop()
{
    m_bCloseRequested.store(true);
    requestInterruption();
    quit();
}

bool QZvPortCtrlBase::IsStopRequested() const { return m_bCloseRequested.load() || isInterruptionRequested(); }

bool QZvPortCtrlBase::WaitEvents(int nMs)
{
    if (IsStopRequested())
    {
        return false;
    }
    // A quit of the thread also ends this loop, so RequestStop cuts the wait short.
    QEventLoop loop;
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !IsStopRequested();
}

void QZvPortCtrlBase::OnThreadFinished()
{
    if (thread() == QThread::currentThread())
    {
        StopStatusTimer();
        EmitPending();
        if (QCoreApplication::instance() != nullptr)
        {
            moveToThread(QCoreApplication::instance()->thread());
        }
    }
    m_ThreadEnd.Ended();
}

void QZvPortCtrlBase::WaitThreadEnd()
{
    wait();
    m_ThreadEnd.Joined();
}

int QZvPortCtrlBase::DisconnectPort() { return 0; }

int QZvPortCtrlBase::ReconnectPort() { return 0; }

int QZvPortCtrlBase::AutoReconnectPort() { return 0; }

bool QZvPortCtrlBase::ParsePortProperty() { return false; }

int QZvPortCtrlBase::WriteLogData(const void* pBuf, int n)
{
    if (m_pLogFile == nullptr)
    {
        return -1;
    }
    if (n <= 0)
    {
        return 0;
    }
    errno = 0;
    const size_t written = std::fwrite(pBuf, 1, static_cast<size_t>(n), m_pLogFile);
    if (written != static_cast<size_t>(n))
    {
        return errno != 0 ? -errno : -EIO;
    }
    m_LoggedBytes += static_cast<quint64>(n);
    return n;
}

int QZvPortCtrlBase::WriteLogRaw(const uchar* pBuf, uint n)
{
    if (m_pLogFile == nullptr || n == 0)
    {
        return 0;
    }
    return static_cast<int>(std::fwrite(pBuf, 1, n, m_pLogFile));
}

bool QZvPortCtrlBase::RefreshProperty()
{
    qCDebug(lcPorts, "Refresh Port Property!");
    m_bPropertyValid.store(ParsePortProperty());
    return true;
}

void QZvPortCtrlBase::OnSetProcessMode(bool ProcessMode) { SetProcessMode(ProcessMode); }

void QZvPortCtrlBase::OnWritePort(uint ID, QByteArray WriteData)
{
    qCDebug(lcPorts, "Port %u: write of %d bytes for port %u ignored", UniquePortID, WriteData.size(), ID);
}

void QZvPortCtrlBase::OnReDirectPort(uint, QZvPortCtrlBase::PORT_TYPE_E, QByteArray WriteData)
{
    OnWritePort(ANY_PORT_ID, WriteData);
}

void QZvPortCtrlBase::OnCloseOnePort()
{
    CloseLog();
    ClosePort();
    RequestStop();
}

void QZvPortCtrlBase::OnDisConnectOnePort() { DisconnectPort(); }

void QZvPortCtrlBase::OnReConnectOnePort() { ReconnectPort(); }

void QZvPortCtrlBase::OnAutoReConnectOnePort() { AutoReconnectPort(); }

void QZvPortCtrlBase::OnRefreshOnePort() { RefreshProperty(); }

void QZvPortCtrlBase::OnSetFileName(QString sFileName)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_LogNameMode.store(0);
    m_FileName = sFileName;
}

void QZvPortCtrlBase::OnSetDefaultPath(QString sDefaultPath)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_DefaultPath = sDefaultPath;
    m_LogNameMode.store(1);
}

void QZvPortCtrlBase::OnClearDefaultPath() { m_LogNameMode.store(0); }

void QZvPortCtrlBase::CloseLog()
{
    if (m_pLogFile != nullptr)
    {
        std::fclose(m_pLogFile);
        m_pLogFile = nullptr;
        ++m_LogFileIndex;
    }
    m_bLogging.store(false);
    m_LoggedBytes.store(0);
}

void QZvPortCtrlBase::OpenLog()
{
    CloseLog();
    const bool bAutoName = m_LogNameMode.load() == 1;
    const QString sAutoName = QStringLiteral("%1_%2.log").arg(LogBaseName(GetPortName())).arg(m_LogFileIndex.load());
    QString sPath;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        sPath = bAutoName ? QDir(m_DefaultPath).filePath(sAutoName) : m_FileName;
    }
    errno = 0;
    m_pLogFile = sPath.isEmpty() ? nullptr : std::fopen(QFile::encodeName(sPath).constData(), "wb");
    if (m_pLogFile == nullptr)
    {
        const int err = errno != 0 ? errno : ENOENT;
        emit SignalFileOpenID(UniquePortID, sPath, bAutoName ? -1 : err);
        return;
    }
    m_bLogging.store(true);
}

void QZvPortCtrlBase::OnOpenFile() { OpenLog(); }

void QZvPortCtrlBase::OnCloseFile() { CloseLog(); }

void QZvPortCtrlBase::OnUnLogFile()
{
    CloseLog();
    m_bLoop.store(false);
    m_AutoLogMode.store(2);
}

qint64 QZvPortCtrlBase::SwitchDurationSecs(const QDateTime& Start)
{
    // Hours and minutes of the time of day; a duration under a minute would
    // make the logging tool switch files at every check, so one minute is the least.
    const qint64 secs = (Start.time().hour() * 60 + Start.time().minute()) * 60;
    return secs < 60 ? 60 : secs;
}

void QZvPortCtrlBase::OnSetAutoLogConfig(uint Mode, bool bLoop, QDateTime DateTime)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bLoop.store(bLoop);
    m_AutoLogMode.store(Mode);
    if (Mode == 0)
    {
        m_NextSwitchTime = DateTime;
    }
    else if (Mode == 1)
    {
        m_StartTime = DateTime;
        m_NextSwitchTime = WallNow().addSecs(SwitchDurationSecs(m_StartTime));
    }
}

void QZvPortCtrlBase::OnLogNewFile(QString sFileName)
{
    // The next file is opened before the last one closes, and its name and
    // the next switch time change together: the logging tool's watch, reading
    // from the GUI thread, sees the port logging into the old file or into
    // the new one with its own switch time, never a port between two files
    // (which it would take for a port stopped elsewhere, and stop).
    errno = 0;
    std::FILE* pNext = sFileName.isEmpty() ? nullptr : std::fopen(QFile::encodeName(sFileName).constData(), "wb");
    if (pNext == nullptr)
    {
        const int err = errno != 0 ? errno : ENOENT;
        CloseLog();
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_LogNameMode.store(0);
            m_FileName = sFileName;
        }
        emit SignalFileOpenID(UniquePortID, sFileName, err);
        return;
    }
    if (m_pLogFile != nullptr)
    {
        std::fclose(m_pLogFile);
        ++m_LogFileIndex;
    }
    m_pLogFile = pNext;
    m_LoggedBytes.store(0);
    m_bLogging.store(true);
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_LogNameMode.store(0);
    m_FileName = sFileName;
    // The next switch lies ahead of now: a computer that slept through
    // several periods begins one file, not one per missed period.
    const QDateTime now = WallNow();
    do
    {
        if (m_AutoLogMode.load() == 1)
        {
            m_NextSwitchTime = m_NextSwitchTime.addSecs(SwitchDurationSecs(m_StartTime));
        }
        else if (m_AutoLogMode.load() == 0)
        {
            m_NextSwitchTime = m_NextSwitchTime.addDays(1);
        }
        else
        {
            break;
        }
    } while (m_NextSwitchTime.isValid() && m_NextSwitchTime <= now);
}

void QZvPortCtrlBase::OnSetNormalLogMode() { m_AutoLogMode.store(2); }

bool QZvPortCtrlBase::UpdateByteRate()
{
    if (++m_TickCount < RATE_TICKS)
    {
        // Before the port's first whole window the rate is that of the ticks
        // so far: a port that streams shows its rate on its first tick, not 0
        // for a whole window.
        if (!m_bRateMeasured)
        {
            const uint64_t elapsed = static_cast<uint64_t>(m_TimerInterval.load()) * m_TickCount;
            m_ByteRate.store(elapsed > 0 ? static_cast<uint>(m_RxByteCount * 1000 / elapsed) : 0);
        }
        return false;
    }
    const uint64_t window = static_cast<uint64_t>(m_TimerInterval.load()) * RATE_TICKS;
    m_ByteRate.store(window > 0 ? static_cast<uint>(m_RxByteCount * 1000 / window) : 0);
    m_RxByteCount = 0;
    m_TickCount = 0;
    m_bRateMeasured = true;
    return true;
}

void QZvPortCtrlBase::OnUpdateStatus()
{
    UpdateByteRate();
    if (m_pLogFile != nullptr)
    {
        std::fflush(m_pLogFile);
    }
    if (!m_bSlowUpdate.load() || m_TickCount == 10 || m_TickCount == 20)
    {
        EmitPending();
    }
}

void QZvPortCtrlBase::EmitPending()
{
    if (m_Pending.isEmpty())
    {
        return;
    }
    QByteArray data;
    data.swap(m_Pending);
    *m_pUiBacklog += data.size();
    emit SignalUpdateUI(UniquePortID, PortType, data);
}

void QZvPortCtrlBase::SetTimerInterval(uint nMs)
{
    if (nMs == m_TimerInterval.load())
    {
        return;
    }
    // A rate window must not mix two intervals.
    m_TimerInterval.store(nMs);
    m_TickCount = 0;
    m_RxByteCount = 0;
    if (!m_pStatusTimer->isActive() && !m_pPhaseTimer->isActive())
    {
        return;
    }
    StartStatusTimer();
}

void QZvPortCtrlBase::OnSetTimeInterval(bool bActivePort)
{
    SetTimerInterval(bActivePort ? ACTIVE_TIMER_INTERVAL : INACTIVE_TIMER_INTERVAL);
}

uint QZvPortCtrlBase::PhaseDelay() const
{
    // Idle ports hand over a second of bytes each: in step, all of them would
    // do it in the same instant, and the GUI thread would take them all in one
    // tick. Each takes its phase from its ID (a step of 0.618 of the interval
    // per ID, which spreads the IDs of ports opened one after another), on one
    // clock for all ports, so that ports set at one moment (a tab change) and
    // ports started at nearly the same moment (opened together) are spread alike.
    const uint nMs = m_TimerInterval.load();
    if (nMs != INACTIVE_TIMER_INTERVAL)
        return 0;
    const auto nNow = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    const uint nPhase = (UniquePortID * 618u) % nMs;
    return static_cast<uint>((nPhase + nMs - nNow % nMs) % nMs);
}

void QZvPortCtrlBase::StartStatusTimer()
{
    m_pStatusTimer->stop();
    m_pPhaseTimer->stop();
    const uint nDelay = PhaseDelay();
    if (nDelay == 0)
        StartStatusTimerNow();
    else
        m_pPhaseTimer->start(static_cast<int>(nDelay));
}

void QZvPortCtrlBase::OnPhaseReached()
{
    // What came in since the last hand-over goes now, not an interval later:
    // no batch holds more than an interval's bytes.
    if (!m_bSlowUpdate.load())
        EmitPending();
    StartStatusTimerNow();
}

void QZvPortCtrlBase::StartStatusTimerNow()
{
    m_pPhaseTimer->stop();
    m_pStatusTimer->start(static_cast<int>(m_TimerInterval.load()));
}

void QZvPortCtrlBase::StopStatusTimer()
{
    m_pPhaseTimer->stop();
    m_pStatusTimer->stop();
}

void QZvPortCtrlBase::OnSetUpgradeFW(uint, QString) { m_bUpgrading.store(true); }

void QZvPortCtrlBase::OnCancelUpgradeFW(uint) { m_bUpgrading.store(false); }

void QZvPortCtrlBase::OnSetPortLockStatus(bool bLock) { m_bLock.store(bLock); }

void QZvPortCtrlBase::AppendReceived(const QByteArray& Data)
{
    if (m_pUiBacklog->load() <= UI_BACKLOG_MAX && m_Pending.size() + Data.size() <= UI_BATCH_MAX)
        m_Pending.append(Data);
    else
        m_UiSkipped += static_cast<quint64>(Data.size());
    m_RxByteCount += static_cast<uint64_t>(Data.size());
    if (m_bLogging.load())
    {
        WriteLogData(Data.constData(), Data.size());
    }
}

void QZvPortCtrlBase::KeepForDevice(QByteArray* pOutArea, const QByteArray& Data)
{
    if (static_cast<uint>(Data.size()) < OUT_AREA_SIZE - static_cast<uint>(pOutArea->size()))
    {
        pOutArea->append(Data);
    }
}

void QZvPortCtrlBase::AppendPendingText(const QByteArray& Text)
{
    m_Pending.append(Text);
    m_RxByteCount += static_cast<uint64_t>(Text.size());
}
