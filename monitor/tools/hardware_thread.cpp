#include "monitor/tools/hardware_thread.h"

#include <QFileInfo>
#include <chrono>

namespace
{
constexpr uint kTestBaudRate = 460800;
// The receiver's version reply: the firmware version is its second field.
constexpr int kVersionField = 1;
} // namespace

bool FirmwareMatchesImage(QString sVersion, const QString& sImagePath)
{
    sVersion.remove(QLatin1String("RN"));
    sVersion = sVersion.trimmed();
    return !sVersion.isEmpty() && QFileInfo(sImagePath).fileName().contains(sVersion);
}

QHardwareThread::QHardwareThread(const HARDWARE_TEST_T& Test, QObject* pParent) : QThread(pParent), m_Test(Test) {}

QHardwareThread::~QHardwareThread()
{
    RequestStop();
    wait();
    m_ThreadEnd.Joined();
}

HARDWARE_RESULT_E QHardwareThread::Result() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_eResult;
}

void QHardwareThread::RequestStop()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bStop = true;
    m_Wake.notify_all();
}

void QHardwareThread::OnUpgradeEnded(bool bDone)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_eUpgrade != UPGRADE_RUNNING)
        return;
    m_eUpgrade = bDone ? UPGRADE_DONE : UPGRADE_FAILED;
    m_Wake.notify_all();
}

void QHardwareThread::OnVersionReply(const QStringList& Version)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bVersionAwaited)
        return;
    m_Version = Version;
    m_bVersionSeen = true;
    m_Wake.notify_all();
}

bool QHardwareThread::Stopped() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bStop;
}

template <typename F> bool QHardwareThread::WaitFor(int nSecs, F Condition)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<qint64>(nSecs) * m_Test.Timing.SecondMs);
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Wake.wait_until(lock, deadline, [&] { return m_bStop || Condition(); });
    return !m_bStop && Condition();
}

bool QHardwareThread::Sleep(int nSecs)
{
    return WaitFor(nSecs, [] { return false; }) || !Stopped();
}

void QHardwareThread::Send(const char* pText)
{
    if (!Stopped())
        emit SignalSendSerialComMsg(m_Test.UniquePortID, QByteArray(pText));
}

HARDWARE_RESULT_E QHardwareThread::Fail(HARDWARE_RESULT_E eResult)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_eResult = eResult;
    return eResult;
}

bool QHardwareThread::AskVersion(QStringList* pVersion)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bVersionAwaited = true;
        m_bVersionSeen = false;
    }
    emit SignalHardwareVersionMask(m_Test.UniquePortID, 2);
    const bool bReplied = WaitFor(m_Test.Timing.VersionReplySecs, [this] { return m_bVersionSeen; });
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bVersionAwaited = false;
    *pVersion = m_Version;
    return bReplied;
}

HARDWARE_RESULT_E QHardwareThread::CheckFirmwareVersion()
{
    const uint uid = m_Test.UniquePortID;
    QString sVersion = m_Test.FirmwareVersion;
    if (sVersion.trimmed().isEmpty())
    {
        // The port has not told its version: it is asked, and a board that
        // does not answer is never upgraded blind.
        QStringList version;
        const bool bReplied = AskVersion(&version);
        if (Stopped())
            return HARDWARE_CANCELLED;
        if (!bReplied)
            return HARDWARE_VERSION_UNANSWERED;
        sVersion = version.value(kVersionField);
    }
    if (FirmwareMatchesImage(sVersion, m_Test.ImagePath))
        return HARDWARE_PASSED;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bStop)
            return HARDWARE_CANCELLED;
        m_eUpgrade = UPGRADE_RUNNING;
    }
    emit SignalUPdateNotBox(uid, true);
    emit SignalHardWareTitalStatus(uid, true);
    emit SignalHardWareUpgradeFWTab(uid, m_Test.ImagePath);
    const bool bEnded = WaitFor(m_Test.Timing.UpgradeTimeoutSecs, [this] { return m_eUpgrade != UPGRADE_RUNNING; });
    if (Stopped())
        return HARDWARE_CANCELLED;
    emit SignalUPdateNotBox(uid, false);
    emit SignalHardWareTitalStatus(uid, false);
    if (!bEnded)
    {
        emit SignalCancelUpgradeFW(uid);
        return HARDWARE_UPGRADE_TIMEOUT;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_eUpgrade == UPGRADE_FAILED)
            return HARDWARE_UPGRADE_FAILED;
    }
    // The upgraded board restarts, then tells its version anew.
    if (!Sleep(m_Test.Timing.RebootSecs))
        return HARDWARE_CANCELLED;
    QStringList version;
    const bool bReplied = AskVersion(&version);
    if (Stopped())
        return HARDWARE_CANCELLED;
    if (!bReplied)
        return HARDWARE_NO_VERSION;
    return FirmwareMatchesImage(version.value(kVersionField), m_Test.ImagePath) ? HARDWARE_PASSED
                                                                                : HARDWARE_VERSION_MISMATCH;
}

bool QHardwareThread::QuietBoard()
{
    emit SignalSetBaudrateTab(kTestBaudRate, m_Test.UniquePortID);
    if (!Sleep(m_Test.Timing.StepSecs))
        return false;
    Send("unlogall\r\nsaveconfig\r\n");
    return Sleep(m_Test.Timing.StepSecs);
}

void QHardwareThread::run()
{
    const CThreadEnd::Mark end(m_ThreadEnd);
    const uint uid = m_Test.UniquePortID;
    const int step = m_Test.Timing.StepSecs;
    if (!QuietBoard())
        return;
    const HARDWARE_RESULT_E eCheck = CheckFirmwareVersion();
    if (eCheck != HARDWARE_PASSED)
    {
        if (eCheck != HARDWARE_CANCELLED)
            emit SignalFailed(uid, Fail(eCheck));
        return;
    }
    if (Stopped() || !QuietBoard())
        return;
    Send("log tq 1\r\nlog np\r\ninscommand enable\r\nlog rawimua 1\r\n");
    if (!Sleep(step) || Stopped())
        return;
    emit SignalSetFileName(uid, m_Test.LogFileName);
    // Recording: the whole wait time, in one wait that a stop ends.
    if (!Sleep(m_Test.WaitSecs))
        return;
    Send("log version 1\r\n");
    if (!Sleep(step))
        return;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bStop)
            return;
        m_eResult = HARDWARE_PASSED;
    }
    emit SignalCloseFile(uid);
    emit SignalFinish(uid, m_Test.LogFileName);
}
