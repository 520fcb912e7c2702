// The shared part of every port: unique IDs, hand-over of received bytes on
// the status tick, byte rate, raw log files, automatic log switching, and a
// thread that ends at once when asked.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "monitor/ports/port_ctrl_base.h"

namespace
{
class QFakePortCtrl : public QZvPortCtrlBase
{
public:
    QFakePortCtrl() : QZvPortCtrlBase(PORT_TYPE_TCP) {}
    ~QFakePortCtrl() override
    {
        RequestStop();
        wait();
    }
    int SetPortConfig(void*) override { return 0; }
    int ClosePort() override { return 0; }
    QString GetPortName() const override { return QStringLiteral("/dev/ttyFAKE0"); }
    void Receive(const QByteArray& Data) { AppendReceived(Data); }
    using QZvPortCtrlBase::GetTickCount;

protected:
    // A thread body that waits far longer than any test: only a stop ends it.
    void run() override
    {
        StartStatusTimer();
        WaitEvents(60000);
    }
};

QByteArray ReadAll(const QString& sPath)
{
    QFile f(sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Tick(QZvPortCtrlBase& Ctrl, int n)
{
    for (int i = 0; i < n; ++i)
    {
        Ctrl.OnUpdateStatus();
    }
}
} // namespace

TEST(PortCtrlBase, UniqueIdsStartAtOneAndAreNeverReused)
{
    const uint before = QZvPortCtrlBase::GetLastUniquePortID();
    if (before != 0)
    {
        GTEST_SKIP() << "needs a process in which no port was created yet";
    }
    const uint live = QZvPortCtrlBase::GetLiveCount();
    {
        QFakePortCtrl first;
        EXPECT_EQ(first.UniquePortID, 1u);
        EXPECT_EQ(QZvPortCtrlBase::GetLiveCount(), live + 1);
    }
    QFakePortCtrl second;
    QFakePortCtrl third;
    EXPECT_EQ(second.UniquePortID, 2u);
    EXPECT_EQ(third.UniquePortID, 3u);
    EXPECT_EQ(QZvPortCtrlBase::GetLiveCount(), live + 2);
}

TEST(PortCtrlBase, HandsPendingBytesOverOnTheTick)
{
    QFakePortCtrl ctrl;
    QSignalSpy spy(&ctrl, &QZvPortCtrlBase::SignalUpdateUI);
    ctrl.OnUpdateStatus();
    EXPECT_EQ(spy.count(), 0) << "nothing pending, nothing emitted";
    ctrl.Receive("#BESTPOSA,");
    ctrl.Receive("COM1*12\r\n");
    ctrl.OnUpdateStatus();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toUInt(), ctrl.UniquePortID);
    EXPECT_EQ(spy.at(0).at(1).value<QZvPortCtrlBase::PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_TCP);
    EXPECT_EQ(spy.at(0).at(2).toByteArray(), QByteArray("#BESTPOSA,COM1*12\r\n"));
    ctrl.OnUpdateStatus();
    EXPECT_EQ(spy.count(), 1) << "bytes are handed over once";
}

TEST(PortCtrlBase, ByteRateCoversExactlyTheWindowOfTicks)
{
    QFakePortCtrl ctrl;
    ASSERT_EQ(ctrl.GetTimerInterval(), 50u);
    // 1050 bytes over 21 intervals of 50 ms. Before the first whole window
    // the rate is that of the ticks so far: current from the first tick on.
    ctrl.Receive(QByteArray(1050, 'x'));
    Tick(ctrl, 1);
    EXPECT_EQ(ctrl.GetByteRate(), 21000u);
    Tick(ctrl, 19);
    EXPECT_EQ(ctrl.GetByteRate(), 1050u);
    Tick(ctrl, 1);
    EXPECT_EQ(ctrl.GetByteRate(), 1000u);
    // The next window starts empty.
    Tick(ctrl, 21);
    EXPECT_EQ(ctrl.GetByteRate(), 0u);

    // A change of interval starts a new window instead of mixing two.
    ctrl.Receive(QByteArray(420, 'x'));
    Tick(ctrl, 5);
    ctrl.OnSetTimeInterval(true);
    EXPECT_EQ(ctrl.GetTimerInterval(), 200u);
    ctrl.Receive(QByteArray(4200, 'x'));
    Tick(ctrl, 21);
    EXPECT_EQ(ctrl.GetByteRate(), 1000u);
    ctrl.OnSetTimeInterval(false);
    EXPECT_EQ(ctrl.GetTimerInterval(), 1000u);
}

TEST(PortCtrlBase, SlowUpdateWaitsForTicksTenAndTwenty)
{
    QFakePortCtrl ctrl;
    ctrl.SetSlowUpdate(true);
    QSignalSpy spy(&ctrl, &QZvPortCtrlBase::SignalUpdateUI);
    ctrl.Receive("abc");
    Tick(ctrl, 9);
    EXPECT_EQ(spy.count(), 0);
    Tick(ctrl, 1);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(ctrl.GetTickCount(), 10u);
    ctrl.Receive("def");
    Tick(ctrl, 9);
    EXPECT_EQ(spy.count(), 1);
    Tick(ctrl, 1);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(2).toByteArray(), QByteArray("def"));
}

TEST(PortCtrlBase, LogsReceivedBytesToAFixedFile)
{
    QTemporaryDir dir;
    QFakePortCtrl ctrl;
    const char raw[] = "\xAA\x44\x12\x1C\x00\xFF";
    EXPECT_EQ(ctrl.WriteLogData(raw, 6), -1) << "no log file open";

    const QString sPath = dir.filePath(QStringLiteral("rover.bin"));
    ctrl.OnSetFileName(sPath);
    ctrl.OnOpenFile();
    ASSERT_TRUE(ctrl.IsLogging());
    ctrl.Receive(QByteArray(raw, 6));
    ctrl.Receive("$GPGGA\r\n");
    EXPECT_EQ(ctrl.GetLogFileSize(), 14u);
    ctrl.OnCloseFile();
    EXPECT_FALSE(ctrl.IsLogging());
    EXPECT_EQ(ctrl.GetLogFileSize(), 0u);
    EXPECT_EQ(ReadAll(sPath), QByteArray(raw, 6) + "$GPGGA\r\n");
    ctrl.Receive("not logged");
    EXPECT_EQ(ReadAll(sPath).size(), 14);
}

TEST(PortCtrlBase, AutomaticLogNamesCountTheClosedFiles)
{
    QTemporaryDir dir;
    QFakePortCtrl ctrl;
    ctrl.OnSetDefaultPath(dir.path());
    EXPECT_EQ(ctrl.GetLogNameMode(), 1u);
    ctrl.OnOpenFile();
    ctrl.Receive("first");
    // Opening again closes the first file and numbers the next one.
    ctrl.OnOpenFile();
    ctrl.Receive("second");
    ctrl.OnUnLogFile();
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("ttyFAKE0_0.log"))), QByteArray("first"));
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("ttyFAKE0_1.log"))), QByteArray("second"));
    EXPECT_EQ(ctrl.GetLogFileIndex(), 2u);
    ctrl.OnClearDefaultPath();
    EXPECT_EQ(ctrl.GetLogNameMode(), 0u);
}

TEST(PortCtrlBase, LogFileThatCannotBeOpenedIsReported)
{
    QTemporaryDir dir;
    QFakePortCtrl ctrl;
    QSignalSpy spy(&ctrl, &QZvPortCtrlBase::SignalFileOpenID);
    const QString sMissing = dir.filePath(QStringLiteral("no/such/folder/log.bin"));
    ctrl.OnSetFileName(sMissing);
    ctrl.OnOpenFile();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toString(), sMissing);
    EXPECT_EQ(spy.at(0).at(2).toInt(), ENOENT);
    EXPECT_FALSE(ctrl.IsLogging());

    ctrl.OnSetDefaultPath(dir.filePath(QStringLiteral("missing")));
    ctrl.OnOpenFile();
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(1).toString(), dir.filePath(QStringLiteral("missing/ttyFAKE0_0.log")));
    EXPECT_EQ(spy.at(1).at(2).toInt(), -1);
}

TEST(PortCtrlBase, AutoLogSwitchTimes)
{
    QFakePortCtrl ctrl;
    const QDateTime now = QDateTime::currentDateTime();
    ctrl.OnSetAutoLogConfig(1, true, QDateTime(now.date(), QTime(1, 30, 59)));
    EXPECT_EQ(ctrl.GetAutoLogMode(), 1u);
    EXPECT_TRUE(ctrl.IsAutoLogLoop());
    EXPECT_NEAR(now.secsTo(ctrl.GetNextSwitchTime()), 5400, 2) << "seconds of the duration are ignored";

    QTemporaryDir dir;
    const QDateTime before = ctrl.GetNextSwitchTime();
    ctrl.OnLogNewFile(dir.filePath(QStringLiteral("a.log")));
    EXPECT_TRUE(ctrl.IsLogging());
    EXPECT_EQ(before.secsTo(ctrl.GetNextSwitchTime()), 5400);

    // A zero duration would switch files at every check.
    ctrl.OnSetAutoLogConfig(1, false, QDateTime(now.date(), QTime(0, 0, 30)));
    EXPECT_NEAR(now.secsTo(ctrl.GetNextSwitchTime()), 60, 2);

    const QDateTime daily(now.date().addDays(1), QTime(0, 0));
    ctrl.OnSetAutoLogConfig(0, false, daily);
    EXPECT_EQ(ctrl.GetNextSwitchTime(), daily);
    ctrl.OnLogNewFile(dir.filePath(QStringLiteral("b.log")));
    EXPECT_EQ(ctrl.GetNextSwitchTime(), daily.addDays(1));

    ctrl.OnUnLogFile();
    EXPECT_EQ(ctrl.GetAutoLogMode(), 2u);
    EXPECT_FALSE(ctrl.IsAutoLogLoop());
}

// The schedule reads the wall clock it is given; a computer that slept
// through several periods begins one new file whose switch lies ahead.
TEST(PortCtrlBase, AutoLogScheduleFollowsTheSetClockAndSkipsMissedPeriods)
{
    QDateTime now(QDate(2024, 5, 21), QTime(21, 0));
    QZvPortCtrlBase::SetWallClock([&now] { return now; });
    QFakePortCtrl ctrl;
    QTemporaryDir dir;
    ctrl.OnSetAutoLogConfig(1, true, QDateTime(now.date(), QTime(1, 0)));
    EXPECT_EQ(ctrl.GetNextSwitchTime(), QDateTime(QDate(2024, 5, 21), QTime(22, 0)));
    now = QDateTime(QDate(2024, 5, 22), QTime(3, 30));
    ctrl.OnLogNewFile(dir.filePath(QStringLiteral("a.log")));
    EXPECT_EQ(ctrl.GetNextSwitchTime(), QDateTime(QDate(2024, 5, 22), QTime(4, 0)));

    ctrl.OnSetAutoLogConfig(0, true, QDateTime(QDate(2024, 5, 20), QTime(0, 0)));
    ctrl.OnLogNewFile(dir.filePath(QStringLiteral("b.log")));
    EXPECT_EQ(ctrl.GetNextSwitchTime(), QDateTime(QDate(2024, 5, 23), QTime(0, 0)));
    ctrl.OnCloseFile();
    QZvPortCtrlBase::SetWallClock({});
}

// The logging tool's watch reads a port from the GUI thread while the port's
// own thread switches its file: it must never see the port between two files
// (it would take it for a port stopped elsewhere and stop it), nor a new file
// beside the switch time of the one before (it would let the switch pass).
TEST(PortCtrlBase, AFileSwitchIsNeverSeenHalfDone)
{
    // A clock that stands still the day before: each switch moves the daily
    // switch on by one day.
    QZvPortCtrlBase::SetWallClock([] { return QDateTime(QDate(2024, 5, 21), QTime(12, 0)); });
    QTemporaryDir dir;
    QFakePortCtrl ctrl;
    const QDateTime first(QDate(2024, 5, 22), QTime(0, 0));
    ctrl.OnSetAutoLogConfig(0, true, first);
    ctrl.OnSetFileName(dir.filePath(QStringLiteral("0.log")));
    ctrl.OnOpenFile();
    ASSERT_TRUE(ctrl.IsLogging());
    constexpr int kSwitches = 3000;
    std::atomic<bool> bDone{false};
    std::thread port(
        [&]
        {
            for (int i = 1; i <= kSwitches; ++i)
                ctrl.OnLogNewFile(dir.filePath(QStringLiteral("%1.log").arg(i)));
            bDone = true;
        });
    int nNotLogging = 0, nStale = 0, nReads = 0;
    while (!bDone)
    {
        ++nReads;
        nNotLogging += !ctrl.IsLogging();
        // The name first: a switch time read after it is as new as the name or newer.
        const int nFile = QFileInfo(ctrl.GetLogFileName()).baseName().toInt();
        nStale += first.daysTo(ctrl.GetNextSwitchTime()) < nFile;
    }
    port.join();
    EXPECT_EQ(nNotLogging, 0) << "of " << nReads << " reads";
    EXPECT_EQ(nStale, 0) << "of " << nReads << " reads";
    EXPECT_EQ(first.daysTo(ctrl.GetNextSwitchTime()), kSwitches);
    ctrl.OnCloseFile();
    QZvPortCtrlBase::SetWallClock({});
}

TEST(PortCtrlBase, ThreadHandsBytesOverAndStopsAtOnce)
{
    auto ctrl = std::make_unique<QFakePortCtrl>();
    QSignalSpy spy(ctrl.get(), &QZvPortCtrlBase::SignalUpdateUI);
    QSignalSpy finished(ctrl.get(), &QThread::finished);
    QFakePortCtrl* p = ctrl.get();
    for (int round = 0; round < 2; ++round)
    {
        ctrl->StartPortThread();
        ASSERT_TRUE(ctrl->isRunning());
        QMetaObject::invokeMethod(p, [p] { p->Receive("data from the port thread"); });
        ASSERT_TRUE(spy.wait(20000));
        EXPECT_EQ(spy.takeFirst().at(2).toByteArray(), QByteArray("data from the port thread"));

        QElapsedTimer timer;
        timer.start();
        ctrl->RequestStop();
        ASSERT_TRUE(ctrl->wait(1000));
        EXPECT_LT(timer.elapsed(), 1000);
        // Back in the application thread, ready to be started again or destroyed.
        EXPECT_EQ(ctrl->thread(), QThread::currentThread());
    }
    EXPECT_EQ(finished.count(), 2);
}

TEST(PortCtrlBase, IdlePortsHandOverAtPhasesOfTheirOwn)
{
    // A tab change sets every other port to the long interval at once, and
    // ports opened together start at nearly the same moment. In step, all of
    // them would hand over their second of bytes together.
    constexpr int kPorts = 10;
    for (const bool bSetWhileRunning : {true, false})
    {
        // Before the ports, which may still report while they end.
        QElapsedTimer clock;
        std::array<std::atomic<qint64>, kPorts> firstAt;
        for (auto& at : firstAt)
            at = -1;
        std::vector<std::unique_ptr<QFakePortCtrl>> ports;
        for (int i = 0; i < kPorts; ++i)
        {
            ports.push_back(std::make_unique<QFakePortCtrl>());
            QObject::connect(
                ports.back().get(), &QZvPortCtrlBase::SignalUpdateUI, ports.back().get(),
                [&firstAt, &clock, i]
                {
                    qint64 unset = -1;
                    firstAt[static_cast<size_t>(i)].compare_exchange_strong(unset, clock.elapsed());
                },
                Qt::DirectConnection);
            if (!bSetWhileRunning)
            {
                ports.back()->OnSetTimeInterval(false);
                ports.back()->Receive("waiting bytes");
            }
        }
        clock.start();
        for (auto& pPort : ports)
        {
            QFakePortCtrl* p = pPort.get();
            p->StartPortThread();
            if (bSetWhileRunning)
                QMetaObject::invokeMethod(p,
                                          [p]
                                          {
                                              p->OnSetTimeInterval(false);
                                              p->Receive("waiting bytes");
                                          });
        }
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return std::all_of(firstAt.begin(), firstAt.end(), [](const auto& at) { return at >= 0; }); },
            10000));
        // Each hands over at its phase, within the first interval (no batch
        // waits longer than one); the phases fall into different tenths of it.
        std::set<qint64> tenths;
        qint64 nFirst = firstAt[0];
        for (const auto& first : firstAt)
        {
            const qint64 at = first;
            EXPECT_LT(at, 1000 + 1000) << bSetWhileRunning; // a loaded machine may be late
            nFirst = std::min(nFirst, at);
            tenths.insert((at % 1000) / 100);
        }
        EXPECT_LT(nFirst, 1000) << bSetWhileRunning;
        EXPECT_GE(tenths.size(), 6u) << bSetWhileRunning;
    }
}
