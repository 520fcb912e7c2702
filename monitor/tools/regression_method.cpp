#include "monitor/tools/regression_method.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <chrono>
#include <cmath>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/config_file.h"
#include "monitor/shell/shell_log.h"
#include "monitor/tools/regression_files.h"
#include "monitor/tools/relay_board.h"

std::atomic<int> QRegressionMethod::s_nLive{0};

namespace
{
// Waits of the tests, in seconds.
constexpr int kResetReplyWait = 99;
constexpr int kFixWaitMin = 20; // a fix counts once the board has had this long after its reset
constexpr int kFixWaitMax = 179;
constexpr int kFresetReplyWait = 49;
constexpr int kFresetSettle = 179;
constexpr int kBreakMin = 60, kBreakMax = 180;   // RF off
constexpr int kRestoreMin = 2, kRestoreMax = 60; // RF on, before the next break
constexpr int kReacquireLimit = 179;             // a fix after the RF came back, at the latest
constexpr int kUpgradeSettle = 5;                // after an upgrade request
constexpr int kBootWait = 24;                    // after an upgrade ended, before VERSION
constexpr int kAfterVersion = 2;
constexpr int kRelayOff = 5; // power off during a restart
constexpr int kSecondsPerHour = 3600;
constexpr int kFixRtk = 4;
constexpr uint kFresetRate = 115200;
constexpr int kLogNamesPerDay = 999;
// The images of the upgrade sequence, by their number in the image list.
constexpr int kUpgradeSequence[] = {2, 1, 2, 1, 2, 1, 2, 1, 2, 2, 2, 2, 2, 2, 1};
constexpr int kSequenceLength = static_cast<int>(sizeof kUpgradeSequence / sizeof kUpgradeSequence[0]);

const char kSetupCommands[] = "unlogall\r\nlog np%1\r\nsaveconfig\r\nsaveconfig\r\n";
const char kInsSetupCommands[] = "inscommand disable\r\nunlogall\r\nlog np%1\r\nsaveconfig\r\nsaveconfig\r\n";
const char kBreakRf[] = "set BREAKRF 0\r\n";
const char kRestoreRf[] = "set BREAKRF 111111111\r\n";
const char kEndOfTest[] = "End of test";

QString Progress(qint64 nDone, qint64 nTotal) { return QStringLiteral("%1//%2").arg(nDone).arg(nTotal); }

// A whole number of cycles (0 or more) as the table holds it.
bool ReadCount(const QString& sText, int* pCount)
{
    bool bOk = false;
    const int n = sText.trimmed().toInt(&bOk, 10);
    if (!bOk || n < 0)
        return false;
    *pCount = n;
    return true;
}

// The port part of a log name: no "." or ":", and nothing that would make a folder of it.
QString LogPortText(QString sPort)
{
    for (const QChar c : {QLatin1Char('.'), QLatin1Char(':'), QLatin1Char('/'), QLatin1Char('\\')})
        sPort.replace(c, QLatin1Char('_'));
    return sPort;
}

// Counts the worker's thread while it runs.
struct LiveCount
{
    explicit LiveCount(std::atomic<int>& n) : m_n(n) { ++m_n; }
    ~LiveCount() { --m_n; }
    std::atomic<int>& m_n;
};
} // namespace

QRegressionMethod::QRegressionMethod(QObject* pParent) : QThread(pParent) {}

QRegressionMethod::~QRegressionMethod()
{
    SetRunning(false);
    wait();
    m_ThreadEnd.Joined();
}

void QRegressionMethod::SetBoard(const QStringList& Row, uint UniquePortID, const QString& sLogRoot)
{
    m_Row = Row;
    while (m_Row.size() < 13)
        m_Row.append(QString());
    m_UniquePortID = UniquePortID;
    m_sLogRoot = sLogRoot;
}

void QRegressionMethod::SetRunning(bool bRunning)
{
    m_bRunning = bRunning;
    std::lock_guard<std::mutex> lock(m_StateLock);
    m_StateChanged.notify_all();
}

void QRegressionMethod::SetBoardState(const REGRESSION_BOARD_STATE_T& State)
{
    std::lock_guard<std::mutex> lock(m_StateLock);
    m_State = State;
    m_StateChanged.notify_all();
}

REGRESSION_BOARD_STATE_T QRegressionMethod::BoardState() const
{
    std::lock_guard<std::mutex> lock(m_StateLock);
    return m_State;
}

QStringList QRegressionMethod::GetStatusTexts() const
{
    std::lock_guard<std::mutex> lock(m_StatusLock);
    QStringList texts;
    for (const QString& s : m_StatusTexts)
        texts << s;
    return texts;
}

REGRESSION_SUMMARY_T QRegressionMethod::GetSummary() const
{
    std::lock_guard<std::mutex> lock(m_StatusLock);
    return m_Summary;
}

bool QRegressionMethod::Going() const { return m_bRunning.load() && !m_bPortGone.load(); }

QRegressionMethod::WAIT_E QRegressionMethod::WaitUntil(double dSeconds, const Condition& Done, int nLimitSecondMs)
{
    const qint64 nSecondMs = qMax(1, m_Timing.SecondMs);
    const qint64 nLimitMs = nLimitSecondMs > 0 ? nLimitSecondMs : nSecondMs;
    const qint64 nTotalMs = static_cast<qint64>(std::llround(qMax(0.0, dSeconds) * static_cast<double>(nLimitMs)));
    QElapsedTimer clock;
    clock.start();
    std::unique_lock<std::mutex> lock(m_StateLock);
    for (;;)
    {
        if (!m_bRunning.load())
            return WAIT_STOPPED;
        if (m_State.TabIndex < 0)
        {
            m_bPortGone = true;
            return WAIT_STOPPED;
        }
        const qint64 nMs = clock.elapsed();
        if (Done && Done(m_State, static_cast<double>(nMs) / static_cast<double>(nSecondMs)))
            return WAIT_MET;
        if (nMs >= nTotalMs)
            return WAIT_TIMEOUT;
        m_StateChanged.wait_for(lock, std::chrono::milliseconds(qMin(nTotalMs - nMs, nSecondMs)));
    }
}

// ---- Log files and status ----

QString QRegressionMethod::MakeLogFolder() const
{
    const QDate today = (m_Timing.Now ? m_Timing.Now() : QDateTime::currentDateTime()).date();
    const QString sFolder =
        QDir(m_sLogRoot)
            .filePath(today.toString(QStringLiteral("yyyy")) + QLatin1Char('/') +
                      today.toString(QStringLiteral("yyyyMM")) + QLatin1Char('/') +
                      today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("/RegressionTest"));
    if (m_sLogRoot.isEmpty() || !QDir().mkpath(sFolder))
        return QString();
    return sFolder;
}

QString QRegressionMethod::MakeLogFileName(const QString& sPort, const QString& sTestName, const QString& sBase,
                                           int nRate) const
{
    const QString sFolder = MakeLogFolder();
    if (sFolder.isEmpty())
        return QString();
    const QString sStem =
        QStringLiteral("%1_%2_%3_%4hz_").arg(LogPortText(sPort), sTestName, LogPortText(sBase)).arg(nRate);
    for (int n = 1; n <= kLogNamesPerDay; ++n)
    {
        const QString sPath = QDir(sFolder).filePath(sStem + QString::number(n) + QStringLiteral(".log"));
        if (!QFileInfo::exists(sPath))
            return sPath;
    }
    return QString();
}

int QRegressionMethod::RandomWait(int a, int b)
{
    const int n = b > a ? a + static_cast<int>(QRandomGenerator::global()->bounded(b - a)) : a;
    qCDebug(lcWindows, "random time: %d", n);
    return n;
}

QByteArray QRegressionMethod::BuildRelayFrame(uchar Coils) const { return RelayFrame(m_RelayAddress, Coils); }

void QRegressionMethod::SendText(const QString& sText) { emit SignalSendSerialComMsg(m_UniquePortID, sText.toUtf8()); }

QString QRegressionMethod::TestLogName(REGRESSION_TEST_E eTest, const char* pTestName, const QString& sBase, int nRate)
{
    const QString sName = MakeLogFileName(m_Row.value(0), QLatin1String(pTestName), sBase, nRate);
    if (sName.isEmpty())
        AddFault(eTest, 0, REGRESSION_FAULT_NO_LOG_FILE);
    return sName;
}

void QRegressionMethod::CloseLog(REGRESSION_TEST_E eTest)
{
    qCDebug(lcWindows, "close log file");
    emit SignalCloseFile(TabIndex());
    SetStatus(eTest, QLatin1String(kEndOfTest));
}

void QRegressionMethod::SetStatus(REGRESSION_TEST_E eTest, const QString& sText)
{
    std::lock_guard<std::mutex> lock(m_StatusLock);
    m_StatusTexts[eTest] = sText;
}

void QRegressionMethod::BeginTest(REGRESSION_TEST_E eTest)
{
    std::lock_guard<std::mutex> lock(m_StatusLock);
    m_Summary.Tests[eTest].bRun = true;
}

void QRegressionMethod::CountCycle(REGRESSION_TEST_E eTest, bool bPassed)
{
    std::lock_guard<std::mutex> lock(m_StatusLock);
    ++m_Summary.Tests[eTest].Cycles;
    if (bPassed)
        ++m_Summary.Tests[eTest].Passed;
}

void QRegressionMethod::AddFault(REGRESSION_TEST_E eTest, int nCycle, REGRESSION_FAULT_E eKind)
{
    std::lock_guard<std::mutex> lock(m_StatusLock);
    m_Summary.Tests[eTest].Faults.append({nCycle, eKind});
}

// ---- The run ----

void QRegressionMethod::run()
{
    const CThreadEnd::Mark end(m_ThreadEnd);
    const LiveCount live(s_nLive);
    m_bPortGone = false;
    if (BoardState().TabIndex < 0)
    {
        {
            std::lock_guard<std::mutex> lock(m_StatusLock);
            m_Summary.End = REGRESSION_END_NO_PORT_TAB;
        }
        emit SignalFinished(m_UniquePortID, QStringLiteral("Not found Porttab"));
        return;
    }
    // The relay channel: the bench refuses rows whose relay settings do not read.
    m_OwnChannel = 0;
    if (!RelayPortName().isEmpty() && m_pRelayCoils != nullptr)
    {
        uint8_t address = 0, bit = 0;
        if (ReadRelaySettings(m_Row.value(11), m_Row.value(12), &address, &bit) == RELAY_SETTING_OK)
        {
            m_RelayAddress = address;
            m_OwnChannel = bit;
        }
    }
    if (!ReadCount(m_Row.value(6), &m_nRate))
        m_nRate = 0;
    m_sBase = m_Row.value(7);

    for (int i = 0; i < REGRESSION_TESTS && Going(); ++i)
    {
        m_nTestPos = i + 1;
        m_nCycle = 0;
        const QString sValue = m_Row.value(i + 1).trimmed();
        if (sValue.isEmpty())
            continue;
        const auto eTest = static_cast<REGRESSION_TEST_E>(i);
        BeginTest(eTest);
        switch (eTest)
        {
        case REGRESSION_RESET:
            RunResetTest(sValue);
            break;
        case REGRESSION_FRESET:
            RunFresetTest(sValue);
            break;
        case REGRESSION_RECAQ:
            RunRecaqTest(sValue);
            break;
        case REGRESSION_SERIAL_UPDATE:
            RunSerialUpdateTest(sValue);
            break;
        case REGRESSION_COMMAND:
            RunCommandTest(sValue);
            break;
        default:
            break;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_StatusLock);
        m_Summary.End = !m_bRunning.load()   ? REGRESSION_END_STOPPED
                        : m_bPortGone.load() ? REGRESSION_END_PORT_CLOSED
                                             : REGRESSION_END_FINISHED;
    }
    emit SignalFinished(m_UniquePortID, QString());
}

void QRegressionMethod::RunResetTest(const QString& sValue)
{
    int nCycles = 0;
    if (!ReadCount(sValue, &nCycles))
        return AddFault(REGRESSION_RESET, 0, REGRESSION_FAULT_BAD_VALUE);
    const int nRate = m_nRate != 0 ? m_nRate : 1;
    const QString sLog = TestLogName(REGRESSION_RESET, "ResetTest", m_sBase, nRate);
    if (sLog.isEmpty())
        return;
    SendText(QString::fromLatin1(kSetupCommands).arg(nRate));
    emit SignalSetFileName(TabIndex(), sLog);
    for (int i = 0; i < nCycles && Going(); ++i)
    {
        m_nCycle = i + 1;
        // The tab set clears the port's reset flag when it sends the request;
        // only a banner after this request, the bench's count shows, is its answer.
        const uint nRequest = ++m_nResetRequests;
        emit SignalRequestStatus(TabIndex(), STATUS_MSG_RESET);
        uint nPosAtReset = 0;
        const WAIT_E reply = WaitUntil(
            kResetReplyWait,
            [&](const REGRESSION_BOARD_STATE_T& s, double)
            {
                nPosAtReset = s.PosCount;
                return s.ResetRequests >= nRequest && s.bResetDone;
            },
            m_Timing.ReplySecondMs);
        if (reply == WAIT_STOPPED)
            break;
        // The total shown is one more than the cycles.
        SetStatus(REGRESSION_RESET, Progress(i, nCycles + 1));
        if (reply == WAIT_TIMEOUT)
            AddFault(REGRESSION_RESET, m_nCycle, REGRESSION_FAULT_NO_RESET_REPLY);
        // The fix of this board's own port, from a position that came after the reset.
        const WAIT_E fix = WaitUntil(
            kFixWaitMax,
            [nPosAtReset](const REGRESSION_BOARD_STATE_T& s, double dSeconds)
            { return dSeconds >= kFixWaitMin && s.PosCount > nPosAtReset && s.FixQuality == kFixRtk; },
            m_Timing.FixSecondMs);
        if (fix == WAIT_STOPPED)
            break;
        if (fix == WAIT_TIMEOUT)
            AddFault(REGRESSION_RESET, m_nCycle, REGRESSION_FAULT_NO_FIX);
        CountCycle(REGRESSION_RESET, reply == WAIT_MET && fix == WAIT_MET);
    }
    CloseLog(REGRESSION_RESET);
}

void QRegressionMethod::RunFresetTest(const QString& sValue)
{
    int nCycles = 0;
    if (!ReadCount(sValue, &nCycles))
        return AddFault(REGRESSION_FRESET, 0, REGRESSION_FAULT_BAD_VALUE);
    const int nRate = m_nRate != 0 ? m_nRate : 1;
    const QString sLog = TestLogName(REGRESSION_FRESET, "FresetTest", m_sBase, nRate);
    if (sLog.isEmpty())
        return;
    emit SignalSetBaudrateTab(kFresetRate, TabIndex());
    emit SignalSetFileName(TabIndex(), sLog);
    for (int i = 0; i < nCycles && Going(); ++i)
    {
        m_nCycle = i + 1;
        const uint nRequest = ++m_nFresetRequests;
        emit SignalRequestStatus(TabIndex(), STATUS_MSG_FRESET);
        SetStatus(REGRESSION_FRESET, Progress(i, nCycles));
        const WAIT_E reply = WaitUntil(
            kFresetReplyWait,
            [nRequest](const REGRESSION_BOARD_STATE_T& s, double)
            { return s.FresetRequests >= nRequest && s.bFresetDone; },
            m_Timing.ReplySecondMs);
        if (reply == WAIT_STOPPED)
            break;
        SendText(QString::fromLatin1(kSetupCommands).arg(nRate));
        if (reply == WAIT_TIMEOUT)
            AddFault(REGRESSION_FRESET, m_nCycle, REGRESSION_FAULT_NO_FRESET_REPLY);
        CountCycle(REGRESSION_FRESET, reply == WAIT_MET);
        if (!Sleep(kFresetSettle))
            break;
    }
    CloseLog(REGRESSION_FRESET);
}

void QRegressionMethod::RunRecaqTest(const QString& sValue)
{
    bool bOk = false;
    const double dHours = sValue.toDouble(&bOk);
    if (!bOk || !std::isfinite(dHours) || dHours < 0 || dHours > 1e6)
        return AddFault(REGRESSION_RECAQ, 0, REGRESSION_FAULT_BAD_VALUE);
    const qint64 nTotal = static_cast<qint64>(std::trunc(dHours)) * kSecondsPerHour;
    const QString sLog = TestLogName(REGRESSION_RECAQ, "ReacqTest", m_sBase, m_nRate);
    if (sLog.isEmpty())
        return;
    if (m_nRate != 0)
        SendText(QString::fromLatin1(kInsSetupCommands).arg(m_nRate));
    emit SignalSetFileName(TabIndex(), sLog);
    QElapsedTimer clock;
    clock.start();
    const auto elapsed = [&] { return clock.elapsed() / qMax(1, m_Timing.SecondMs); };
    while (elapsed() < nTotal && Going())
    {
        ++m_nCycle;
        SetStatus(REGRESSION_RECAQ, Progress(elapsed(), nTotal));
        SendText(QLatin1String(kBreakRf));
        if (!Sleep(RandomWait(kBreakMin, kBreakMax)))
            break;
        SendText(QLatin1String(kRestoreRf));
        // Any RTK fixed position that comes after the RF is back is a reacquisition;
        // the next break waits for it, up to the limit.
        const uint nPosAtRestore = BoardState().PosCount;
        const int nRestore = RandomWait(kRestoreMin, kRestoreMax);
        bool bFix = false;
        const WAIT_E w = WaitUntil(
            kReacquireLimit,
            [&](const REGRESSION_BOARD_STATE_T& s, double dSeconds)
            {
                bFix = bFix || (s.PosCount > nPosAtRestore && s.FixQuality == kFixRtk);
                return bFix && dSeconds >= nRestore;
            },
            m_Timing.FixSecondMs);
        if (w == WAIT_STOPPED)
            break;
        if (w == WAIT_TIMEOUT)
            AddFault(REGRESSION_RECAQ, m_nCycle, REGRESSION_FAULT_NOT_REACQUIRED);
        CountCycle(REGRESSION_RECAQ, w == WAIT_MET);
    }
    CloseLog(REGRESSION_RECAQ);
}

bool QRegressionMethod::WaitUpgradeEnd(uint nRequest, int nCycle)
{
    bool bFailed = false;
    const WAIT_E w = WaitUntil(m_Timing.UpgradeRestartSeconds,
                               [&](const REGRESSION_BOARD_STATE_T& s, double)
                               {
                                   bFailed = s.bLastUpgradeFailed;
                                   return s.UpgradesEnded >= nRequest;
                               });
    if (w == WAIT_STOPPED)
        return false;
    m_nCycle = nCycle;
    if (w == WAIT_MET)
    {
        if (bFailed)
            AddFault(REGRESSION_SERIAL_UPDATE, nCycle, REGRESSION_FAULT_UPGRADE_FAILED);
        CountCycle(REGRESSION_SERIAL_UPDATE, !bFailed);
        return true;
    }
    AddFault(REGRESSION_SERIAL_UPDATE, nCycle, REGRESSION_FAULT_UPGRADE_STUCK);
    CountCycle(REGRESSION_SERIAL_UPDATE, false);
    OnUartBoardAbnormal(QStringLiteral("SerialUpdate"), static_cast<int>(m_nUpgradeRate));
    return Going();
}

void QRegressionMethod::RunSerialUpdateTest(const QString& sValue)
{
    const QString sLog = TestLogName(REGRESSION_SERIAL_UPDATE, "serialupdate", QString(), 0);
    if (sLog.isEmpty())
        return;
    emit SignalSetFileName(TabIndex(), sLog);
    // "<image list>;<rates>": an image list path may hold ";" itself, the rates never do.
    const int nSplit = sValue.lastIndexOf(QLatin1Char(';'));
    QList<uint> rates;
    bool bRatesRead = nSplit > 0;
    for (const QString& s : sValue.mid(nSplit + 1).split(QLatin1Char('\\'), Qt::SkipEmptyParts))
    {
        bool bOk = false;
        const uint n = s.trimmed().toUInt(&bOk, 10);
        bRatesRead = bRatesRead && bOk && n > 0;
        rates.append(n);
    }
    if (!bRatesRead || rates.isEmpty())
    {
        AddFault(REGRESSION_SERIAL_UPDATE, 0, REGRESSION_FAULT_BAD_VALUE);
        return CloseLog(REGRESSION_SERIAL_UPDATE);
    }
    REGRESSION_IMAGES_T list;
    if (ReadRegressionImageList(sValue.left(nSplit), &list) != CONFIG_FILE_OK)
        AddFault(REGRESSION_SERIAL_UPDATE, 0, REGRESSION_FAULT_FILE_UNREADABLE);
    const QString(&images)[2] = list.Image;
    const bool bSequence = !images[0].isEmpty() && !images[1].isEmpty();
    const qint64 nTotal = static_cast<qint64>(kSequenceLength) * rates.size();
    int nUpgrade = 0;
    m_nUpgradeRate = kFresetRate;
    const auto upgrade = [&](const QString& sImage)
    {
        const uint nRequest = ++m_nUpgradeRequests;
        ++nUpgrade;
        emit SignalRegressTitalStatus(m_UniquePortID, true);
        emit SignalRegressUpgradeFWTab(m_UniquePortID, sImage);
        return nRequest;
    };
    emit SignalRegressUPdate(true);
    bool bGoing = Going();
    if (bGoing && !images[0].isEmpty())
    {
        const uint nRequest = upgrade(images[0]);
        bGoing = Sleep(kUpgradeSettle) && WaitUpgradeEnd(nRequest, nUpgrade);
        if (bGoing)
        {
            emit SignalSetBaudrateTab(kFresetRate, TabIndex());
            emit SignalRequestStatus(TabIndex(), STATUS_MSG_FRESET);
        }
    }
    bGoing = bGoing && Sleep(kUpgradeSettle);
    // Every listed rate in turn, the whole sequence at each.
    for (int k = 0; bSequence && bGoing && k < rates.size(); ++k)
    {
        m_nUpgradeRate = rates.at(k);
        emit SignalSetBaudrateTab(m_nUpgradeRate, TabIndex());
        for (int i = 0; i < kSequenceLength && bGoing; ++i)
        {
            const uint nRequest = upgrade(images[kUpgradeSequence[i] - 1]);
            bGoing = Sleep(kUpgradeSettle);
            SetStatus(REGRESSION_SERIAL_UPDATE, Progress(static_cast<qint64>(k) * kSequenceLength + i, nTotal));
            bGoing = bGoing && WaitUpgradeEnd(nRequest, nUpgrade) && Sleep(kBootWait);
            if (!bGoing)
                break;
            emit SignalRequestStatus(TabIndex(), STATUS_MSG_VERSION);
            bGoing = Sleep(kAfterVersion);
        }
    }
    // An upgrade that never ended left its mark on the tab.
    emit SignalRegressTitalStatus(m_UniquePortID, false);
    emit SignalRegressUPdate(false);
    CloseLog(REGRESSION_SERIAL_UPDATE);
}

void QRegressionMethod::RunCommandTest(const QString& sValue)
{
    // One command per line, sent as the line without its end and with CR LF.
    QStringList commands;
    if (ReadRegressionCommands(sValue, &commands) != CONFIG_FILE_OK)
    {
        qCDebug(lcWindows, "Can't open the file!%s", qUtf8Printable(sValue));
        return AddFault(REGRESSION_COMMAND, 0, REGRESSION_FAULT_FILE_UNREADABLE);
    }
    if (commands.isEmpty() || !Going())
        return;
    const QString sLog = TestLogName(REGRESSION_COMMAND, "CommandTest", QString(), 0);
    if (sLog.isEmpty())
        return;
    emit SignalSetFileName(TabIndex(), sLog);
    for (int i = 0; i < commands.size() && Going(); ++i)
    {
        m_nCycle = i + 1;
        SetStatus(REGRESSION_COMMAND, Progress(i, commands.size()));
        SendText(commands.at(i) + QStringLiteral("\r\n"));
        CountCycle(REGRESSION_COMMAND, true);
        if (!Sleep(1))
            break;
    }
    CloseLog(REGRESSION_COMMAND);
}

// ---- The relay board ----

QString QRegressionMethod::OnUartBoardAbnormal(QString TestType, int BaudRate)
{
    const auto eTest = static_cast<REGRESSION_TEST_E>(qBound(0, m_nTestPos - 1, REGRESSION_TESTS - 1));
    qCDebug(lcWindows, "%s at %d: power-cycling the board through its relay", qUtf8Printable(TestType), BaudRate);
    if (m_OwnChannel == 0 || m_pRelayCoils == nullptr)
    {
        AddFault(eTest, m_nCycle, REGRESSION_FAULT_NO_RELAY);
        return QString();
    }
    const uint nRelayPort = BoardState().RelayPortID;
    if (nRelayPort == 0)
    {
        AddFault(eTest, m_nCycle, REGRESSION_FAULT_RELAY_NOT_OPEN);
        return QString();
    }
    const auto send = [&](uint8_t Coils) { emit SignalSendSerialComMsg(nRelayPort, BuildRelayFrame(Coils)); };
    const QString sPort = RelayPortName();
    m_pRelayCoils->Switch(sPort, m_RelayAddress, m_OwnChannel, true, send);
    emit SignalOpenRelayChannel(m_OwnChannel);
    // A stop ends the wait, never the power cut: the coil is cleared either way.
    WaitUntil(kRelayOff, nullptr);
    m_pRelayCoils->Switch(sPort, m_RelayAddress, m_OwnChannel, false, send);
    std::lock_guard<std::mutex> lock(m_StatusLock);
    ++m_Summary.RelayRestarts;
    return QString();
}

void QRegressionMethod::OnOpenAllRelayChannel(uchar RelayChannel)
{
    m_OtherChannels = static_cast<uchar>(RelayChannel & ~m_OwnChannel.load());
}
