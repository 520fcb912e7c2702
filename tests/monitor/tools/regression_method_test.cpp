// The regression worker against a stand-in for the bench and one board that
// answers its requests after delays, as a port does: every test's commands,
// log names and statuses; a reset answered only by the banner that follows
// its own request and a fix that came after it; reacquisition found or not;
// the firmware sequence at every listed rate, failed and stuck upgrades and
// the power cycle through the relay (or its refusal when the relay port is
// not open); a stop in the middle of any wait; and the log names.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/config_file.h"
#include "monitor/tools/regression_files.h"
#include "monitor/tools/regression_method.h"
#include "monitor/tools/relay_board.h"
#include "support/monitor/receiver_ports.h"

namespace
{
constexpr uint kBoardPort = 7;
constexpr uint kRelayPort = 9;
const QDate kToday(2024, 2, 29);

QStringList Row(std::initializer_list<std::pair<int, QString>> Cells)
{
    QStringList row;
    for (int i = 0; i < 13; ++i)
        row << QString();
    row[0] = QStringLiteral("COM3:115200.1");
    row[8] = QStringLiteral("B0001");
    for (const auto& [c, s] : Cells)
        row[c] = s;
    return row;
}

// The bench and a board, as the worker sees them: what it sends is recorded,
// and the board answers after the delays set here.
class BoardDouble : public QObject
{
public:
    QRegressionMethod Worker;
    REGRESSION_BOARD_STATE_T State;
    QStringList Texts;       // commands the board received, in order
    QList<QByteArray> Relay; // frames the relay module received
    QStringList Events;      // everything else the worker asked for, in order
    QList<qint64> RequestMs, BannerMs;
    QString Result;
    bool bFinished = false;
    QElapsedTimer Clock;

    // The board's answers.
    int BannerDelayMs = 40;
    bool bFixAfterReset = true;
    bool bFixAfterRf = true;
    bool bRfOn = true;
    bool bRebooting = false;
    bool bFixWhileRebooting = false; // positions keep their fix through a reset
    // For upgrade n (from 1): how it ends ("ok", "fail", or "" for never).
    std::function<QString(int)> UpgradeEnd = [](int) { return QStringLiteral("ok"); };

    explicit BoardDouble(int nSecondMs = 2)
    {
        Clock.start();
        REGRESSION_TIMING_T timing;
        timing.SecondMs = nSecondMs;
        timing.UpgradeRestartSeconds = 100;
        timing.Now = [] { return QDateTime(kToday, QTime(10, 0)); };
        Worker.SetTiming(timing);
        Worker.SetRelayCoils(std::make_shared<QRelayCoils>());
        const auto q = Qt::QueuedConnection;
        connect(&Worker, &QRegressionMethod::SignalRequestStatus, this, &BoardDouble::OnRequest, q);
        connect(
            &Worker, &QRegressionMethod::SignalSendSerialComMsg, this,
            [this](uint nPort, const QByteArray& Data)
            {
                if (nPort == kRelayPort)
                    return Relay.append(Data);
                ASSERT_EQ(nPort, kBoardPort);
                Texts << QString::fromUtf8(Data);
                if (Data.startsWith("set BREAKRF"))
                    bRfOn = !Data.startsWith("set BREAKRF 0");
            },
            q);
        connect(
            &Worker, &QRegressionMethod::SignalSetFileName, this,
            [this](int, const QString& s) { Events << QStringLiteral("log ") + QFileInfo(s).fileName(); }, q);
        connect(
            &Worker, &QRegressionMethod::SignalCloseFile, this, [this](int) { Events << QStringLiteral("close"); }, q);
        connect(
            &Worker, &QRegressionMethod::SignalSetBaudrateTab, this,
            [this](uint n, int) { Events << QStringLiteral("baud %1").arg(n); }, q);
        connect(&Worker, &QRegressionMethod::SignalRegressUpgradeFWTab, this, &BoardDouble::OnUpgrade, q);
        connect(
            &Worker, &QRegressionMethod::SignalRegressUPdate, this,
            [this](bool b) { Events << QStringLiteral("quiet %1").arg(b); }, q);
        connect(
            &Worker, &QRegressionMethod::SignalOpenRelayChannel, this,
            [this](uchar c) { Events << QStringLiteral("relay off %1").arg(c); }, q);
        connect(
            &Worker, &QRegressionMethod::SignalFinished, this,
            [this](uint, const QString& s)
            {
                Result = s;
                bFinished = true;
            },
            q);
        // The board's positions, one every 5 ms, fixed while it can be.
        auto* pPositions = new QTimer(this);
        connect(pPositions, &QTimer::timeout, this,
                [this]
                {
                    ++State.PosCount;
                    State.FixQuality = (!bRebooting || bFixWhileRebooting) && bRfOn && bFixAfterRf ? 4 : 0;
                    Push();
                });
        pPositions->start(5);
    }
    ~BoardDouble() override
    {
        Worker.SetRunning(false);
        Worker.wait();
    }

    void Push() { Worker.SetBoardState(State); }
    void After(int Ms, const std::function<void()>& f)
    {
        QTimer::singleShot(Ms, this,
                           [this, f]
                           {
                               f();
                               Push();
                           });
    }
    void Start(const QStringList& Row, const QString& sRoot)
    {
        Worker.SetBoard(Row, kBoardPort, sRoot);
        State.TabIndex = 2;
        Push();
        Worker.SetRunning(true);
        Worker.start();
    }
    bool Finish(int Ms = 30000)
    {
        return WaitUntil([this] { return bFinished; }, Ms);
    }

    void OnRequest(int nTab, uint Mask)
    {
        EXPECT_EQ(nTab, 2);
        Events << QStringLiteral("request %1").arg(Mask);
        if (Mask != STATUS_MSG_RESET && Mask != STATUS_MSG_FRESET)
            return;
        RequestMs << Clock.elapsed();
        // The tab set clears the flag as it sends; the banner comes later.
        if (Mask == STATUS_MSG_RESET)
        {
            ++State.ResetRequests;
            State.bResetDone = false;
        }
        else
        {
            ++State.FresetRequests;
            State.bFresetDone = false;
        }
        bRebooting = true;
        Push();
        After(BannerDelayMs,
              [this, Mask]
              {
                  BannerMs << Clock.elapsed();
                  (Mask == STATUS_MSG_RESET ? State.bResetDone : State.bFresetDone) = true;
                  bRebooting = !bFixAfterReset;
              });
    }
    void OnUpgrade(uint nPort, const QString& sImage)
    {
        EXPECT_EQ(nPort, kBoardPort);
        Events << QStringLiteral("upgrade ") + sImage;
        const uint n = ++State.UpgradeRequests;
        Push();
        const QString sEnd = UpgradeEnd(static_cast<int>(n));
        if (sEnd.isEmpty())
            return;
        After(20,
              [this, n, sEnd]
              {
                  State.UpgradesEnded = n;
                  State.bLastUpgradeFailed = sEnd == QLatin1String("fail");
              });
    }
};

QString Folder(const QTemporaryDir& Root)
{
    return QDir(Root.path()).filePath(QStringLiteral("2024/202402/20240229/RegressionTest"));
}

QString WriteFile(const QTemporaryDir& Dir, const QString& sName, const QByteArray& Bytes)
{
    const QString sPath = QDir(Dir.path()).filePath(sName);
    QFile f(sPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(Bytes) != Bytes.size())
        return QString();
    return sPath;
}
} // namespace

TEST(RegressionMethod, ResetsWaitForTheBannerOfTheirOwnRequestAndAFixAfterIt)
{
    QTemporaryDir root;
    BoardDouble board;
    // A banner of an earlier reset is still on record when the test begins,
    // and the board's positions keep their fix: only the banner paces the cycles.
    board.State.bResetDone = true;
    board.bFixWhileRebooting = true;
    board.BannerDelayMs = 150;
    board.Start(Row({{1, "3"}, {7, "B"}}), root.path());
    ASSERT_TRUE(board.Finish());
    EXPECT_EQ(board.Result, QString());
    EXPECT_EQ(board.Texts.value(0), QStringLiteral("unlogall\r\nlog np1\r\nsaveconfig\r\nsaveconfig\r\n"));
    EXPECT_EQ(board.Events, QStringList({"log COM3_115200_1_ResetTest_B_1hz_1.log", "request 1024", "request 1024",
                                         "request 1024", "close"}));
    EXPECT_TRUE(QDir(Folder(root)).exists());
    // Each reset begins only after the banner that answered the one before.
    ASSERT_EQ(board.RequestMs.size(), 3);
    ASSERT_EQ(board.BannerMs.size(), 3);
    for (int i = 1; i < 3; ++i)
        EXPECT_GT(board.RequestMs.at(i), board.BannerMs.at(i - 1));
    EXPECT_EQ(board.Worker.GetStatusTexts().value(REGRESSION_RESET), QStringLiteral("End of test"));
    const REGRESSION_SUMMARY_T summary = board.Worker.GetSummary();
    EXPECT_EQ(summary.End, REGRESSION_END_FINISHED);
    EXPECT_EQ(summary.Tests[REGRESSION_RESET].Cycles, 3);
    EXPECT_EQ(summary.Tests[REGRESSION_RESET].Passed, 3);
    EXPECT_TRUE(summary.Tests[REGRESSION_RESET].Faults.isEmpty());
}

TEST(RegressionMethod, ABoardWithoutAFixOrABannerFailsItsCyclesAndSaysWhy)
{
    QTemporaryDir root;
    BoardDouble noFix;
    noFix.bFixAfterReset = false;
    noFix.Start(Row({{1, "2"}, {6, "5"}}), root.path());
    BoardDouble silent;
    silent.BannerDelayMs = 60000;
    silent.Start(Row({{0, "COM4"}, {2, "1"}}), root.path());
    ASSERT_TRUE(noFix.Finish());
    ASSERT_TRUE(silent.Finish());

    EXPECT_EQ(noFix.Texts.value(0), QStringLiteral("unlogall\r\nlog np5\r\nsaveconfig\r\nsaveconfig\r\n"));
    EXPECT_EQ(noFix.Events.value(0), QStringLiteral("log COM3_115200_1_ResetTest__5hz_1.log"));
    const REGRESSION_RESULT_T reset = noFix.Worker.GetSummary().Tests[REGRESSION_RESET];
    EXPECT_EQ(reset.Cycles, 2);
    EXPECT_EQ(reset.Passed, 0);
    ASSERT_EQ(reset.Faults.size(), 2);
    EXPECT_EQ(reset.Faults.at(1).Cycle, 2);
    EXPECT_EQ(reset.Faults.at(1).Kind, REGRESSION_FAULT_NO_FIX);

    // A factory reset: 115200 first, the set-up after the wait for the banner,
    // and no banner within its wait.
    EXPECT_EQ(silent.Events, QStringList({"baud 115200", "log COM4_FresetTest__1hz_1.log", "request 256", "close"}));
    EXPECT_EQ(silent.Texts, QStringList({"unlogall\r\nlog np1\r\nsaveconfig\r\nsaveconfig\r\n"}));
    const REGRESSION_RESULT_T freset = silent.Worker.GetSummary().Tests[REGRESSION_FRESET];
    EXPECT_EQ(freset.Cycles, 1);
    EXPECT_EQ(freset.Passed, 0);
    ASSERT_EQ(freset.Faults.size(), 1);
    EXPECT_EQ(freset.Faults.at(0).Kind, REGRESSION_FAULT_NO_FRESET_REPLY);
}

TEST(RegressionMethod, ReacquisitionRunsWholeHoursAndCountsTheCyclesThatFoundTheirFixAgain)
{
    QTemporaryDir root;
    BoardDouble good(1), bad(1), none(1);
    bad.bFixAfterRf = true;
    // The bad board never fixes again once its RF was cut.
    QObject::connect(&bad.Worker, &QRegressionMethod::SignalSendSerialComMsg, &bad,
                     [&bad](uint, const QByteArray& d)
                     {
                         if (d.startsWith("set BREAKRF 0"))
                             bad.bFixAfterRf = false;
                     });
    QElapsedTimer clock;
    clock.start();
    good.Start(Row({{3, "1.9"}, {7, "B"}}), root.path());
    bad.Start(Row({{0, "COM5"}, {3, "1"}, {6, "10"}}), root.path());
    none.Start(Row({{0, "COM6"}, {3, "0.5"}}), root.path());
    ASSERT_TRUE(none.Finish());
    ASSERT_TRUE(good.Finish());
    ASSERT_TRUE(bad.Finish());
    // One hour of 1 ms seconds, the last cycle begun before its end.
    EXPECT_GE(clock.elapsed(), 3600);

    EXPECT_EQ(good.Events.value(0), QStringLiteral("log COM3_115200_1_ReacqTest_B_0hz_1.log"));
    EXPECT_EQ(good.Texts.value(0), QStringLiteral("set BREAKRF 0\r\n"));
    EXPECT_EQ(good.Texts.value(1), QStringLiteral("set BREAKRF 111111111\r\n"));
    const REGRESSION_RESULT_T g = good.Worker.GetSummary().Tests[REGRESSION_RECAQ];
    EXPECT_GE(g.Cycles, 2);
    EXPECT_EQ(g.Passed, g.Cycles);
    EXPECT_EQ(good.Worker.GetStatusTexts().value(REGRESSION_RECAQ), QStringLiteral("End of test"));

    EXPECT_EQ(bad.Texts.value(0),
              QStringLiteral("inscommand disable\r\nunlogall\r\nlog np10\r\nsaveconfig\r\nsaveconfig\r\n"));
    EXPECT_EQ(bad.Events.value(0), QStringLiteral("log COM5_ReacqTest__10hz_1.log"));
    const REGRESSION_RESULT_T b = bad.Worker.GetSummary().Tests[REGRESSION_RECAQ];
    EXPECT_GT(b.Cycles, 0);
    EXPECT_EQ(b.Passed, 0);
    ASSERT_EQ(b.Faults.size(), b.Cycles);
    EXPECT_EQ(b.Faults.at(0).Kind, REGRESSION_FAULT_NOT_REACQUIRED);

    // Half an hour runs no cycle, yet its log is opened and closed.
    EXPECT_EQ(none.Events, QStringList({"log COM6_ReacqTest__0hz_1.log", "close"}));
    EXPECT_TRUE(none.Texts.isEmpty());
}

TEST(RegressionMethod, FirmwareRunsTheSequenceAtEveryListedRateAndPowerCyclesAStuckBoard)
{
    QTemporaryDir root;
    // The image list in GBK, with a folder name in Chinese.
    QTextCodec* pGbk = QTextCodec::codecForName("GBK");
    ASSERT_NE(pGbk, nullptr);
    const QString sImage1 = QStringLiteral("/img/固件/a1,b.img");
    const QString sList =
        WriteFile(root, "list;1.txt", pGbk->fromUnicode(QStringLiteral("1,%1\r\n2,/img/b.img\r\n").arg(sImage1)));
    ASSERT_FALSE(sList.isEmpty());

    BoardDouble board;
    // Upgrade 3 fails; upgrade 5 never ends, and the board is power-cycled.
    board.UpgradeEnd = [](int n) {
        return n == 3 ? QStringLiteral("fail") : n == 5 ? QString() : QStringLiteral("ok");
    };
    board.State.RelayPortID = kRelayPort;
    board.Start(Row({{4, sList + ";9600\\115200\\"}, {10, "/dev/ttyUSB7"}, {11, "3"}, {12, "2"}}), root.path());
    ASSERT_TRUE(board.Finish(60000));

    const QString sA = QStringLiteral("upgrade ") + sImage1;
    const QString sB = QStringLiteral("upgrade /img/b.img");
    QStringList sequence;
    for (int n : {2, 1, 2, 1, 2, 1, 2, 1, 2, 2, 2, 2, 2, 2, 1})
        sequence << (n == 1 ? sA : sB);
    QStringList upgrades, bauds;
    for (const QString& e : board.Events)
    {
        if (e.startsWith(QLatin1String("upgrade")))
            upgrades << e;
        if (e.startsWith(QLatin1String("baud")))
            bauds << e;
    }
    EXPECT_EQ(upgrades, QStringList({sA}) + sequence + sequence);
    EXPECT_EQ(bauds, QStringList({"baud 115200", "baud 9600", "baud 115200"}));
    EXPECT_EQ(board.Events.first(), QStringLiteral("log COM3_115200_1_serialupdate__0hz_1.log"));
    EXPECT_EQ(board.Events.value(1), QStringLiteral("quiet 1"));
    EXPECT_EQ(board.Events.mid(board.Events.size() - 2), QStringList({"quiet 0", "close"}));
    EXPECT_EQ(board.Events.count(QStringLiteral("request 2")), 30);
    EXPECT_EQ(board.Events.count(QStringLiteral("relay off 2")), 1);
    EXPECT_EQ(board.Worker.GetStatusTexts().value(REGRESSION_SERIAL_UPDATE), QStringLiteral("End of test"));

    // The stuck board's power was cut on its own channel and restored.
    EXPECT_EQ(board.Relay, QList<QByteArray>({RelayFrame(3, 0x02), RelayFrame(3, 0x00)}));
    const REGRESSION_SUMMARY_T summary = board.Worker.GetSummary();
    const REGRESSION_RESULT_T& r = summary.Tests[REGRESSION_SERIAL_UPDATE];
    EXPECT_EQ(r.Cycles, 31);
    EXPECT_EQ(r.Passed, 29);
    ASSERT_EQ(r.Faults.size(), 2);
    EXPECT_EQ(r.Faults.at(0).Cycle, 3);
    EXPECT_EQ(r.Faults.at(0).Kind, REGRESSION_FAULT_UPGRADE_FAILED);
    EXPECT_EQ(r.Faults.at(1).Cycle, 5);
    EXPECT_EQ(r.Faults.at(1).Kind, REGRESSION_FAULT_UPGRADE_STUCK);
    EXPECT_EQ(summary.RelayRestarts, 1);
}

TEST(RegressionMethod, APowerCycleWithoutAnOpenRelayPortIsReportedAndSendsNothing)
{
    QTemporaryDir root;
    const QString sList = WriteFile(root, "list.txt", "1,/img/a.img\n2,/img/b.img\n");
    struct CASE_T
    {
        const char* Relay;
        uint RelayPortID;
        REGRESSION_FAULT_E Fault;
    } const cases[] = {
        {"/dev/ttyUSB7", 0, REGRESSION_FAULT_RELAY_NOT_OPEN},
        {"", kRelayPort, REGRESSION_FAULT_NO_RELAY},
    };
    for (const CASE_T& c : cases)
    {
        BoardDouble board;
        board.UpgradeEnd = [](int n) { return n == 1 ? QString() : QStringLiteral("ok"); };
        board.State.RelayPortID = c.RelayPortID;
        board.Start(Row({{4, sList + ";115200"}, {10, c.Relay}, {11, "1"}, {12, "1"}}), root.path());
        ASSERT_TRUE(WaitUntil([&] { return board.Events.count(QStringLiteral("baud 115200")) == 2; }, 30000));
        board.Worker.SetRunning(false);
        ASSERT_TRUE(board.Finish());
        EXPECT_TRUE(board.Relay.isEmpty()) << c.Relay;
        const REGRESSION_SUMMARY_T summary = board.Worker.GetSummary();
        ASSERT_EQ(summary.Tests[REGRESSION_SERIAL_UPDATE].Faults.size(), 2) << c.Relay;
        EXPECT_EQ(summary.Tests[REGRESSION_SERIAL_UPDATE].Faults.at(1).Kind, c.Fault);
        EXPECT_EQ(summary.RelayRestarts, 0);
        EXPECT_EQ(summary.End, REGRESSION_END_STOPPED);
    }
}

TEST(RegressionMethod, CommandsAreSentOneALineAsWritten)
{
    QTemporaryDir root;
    const QString sFile = WriteFile(root, "cmd.txt", "log versiona\n\n  log bestposa ontime 1\r\nunlogall\n");
    BoardDouble board;
    board.Start(Row({{5, sFile}}), root.path());
    ASSERT_TRUE(board.Finish());
    EXPECT_EQ(board.Texts, QStringList({"log versiona\r\n", "log bestposa ontime 1\r\n", "unlogall\r\n"}));
    EXPECT_EQ(board.Events, QStringList({"log COM3_115200_1_CommandTest__0hz_1.log", "close"}));
    EXPECT_EQ(board.Worker.GetSummary().Tests[REGRESSION_COMMAND].Passed, 3);

    // A file that cannot be read sends nothing and says so.
    BoardDouble missing;
    missing.Start(Row({{5, root.filePath("none.txt")}}), root.path());
    ASSERT_TRUE(missing.Finish());
    EXPECT_TRUE(missing.Texts.isEmpty());
    const REGRESSION_RESULT_T r = missing.Worker.GetSummary().Tests[REGRESSION_COMMAND];
    ASSERT_EQ(r.Faults.size(), 1);
    EXPECT_EQ(r.Faults.at(0).Kind, REGRESSION_FAULT_FILE_UNREADABLE);
}

TEST(RegressionMethod, AStopEndsEveryWaitAtOnceAndNeverLeavesABoardPoweredOff)
{
    QTemporaryDir root;
    const QString sList = WriteFile(root, "list.txt", "1,/img/a.img\n2,/img/b.img\n");
    // Seconds of a whole second: every wait would last minutes.
    struct CASE_T
    {
        const char* Name;
        QStringList Row;
        std::function<bool(const BoardDouble&)> InWait;
    } const cases[] = {
        {"reset", Row({{1, "5"}}), [](const BoardDouble& b) { return b.Events.contains("request 1024"); }},
        {"recaq", Row({{3, "4"}}), [](const BoardDouble& b) { return !b.Texts.isEmpty(); }},
        {"relay", Row({{4, sList + ";115200"}, {10, "/dev/ttyUSB7"}, {11, "1"}, {12, "4"}}),
         [](const BoardDouble& b) { return b.Events.contains("relay off 8"); }},
    };
    for (const CASE_T& c : cases)
    {
        BoardDouble board(1000);
        board.BannerDelayMs = 600000;
        board.UpgradeEnd = [](int) { return QString(); };
        board.State.RelayPortID = kRelayPort;
        if (QLatin1String(c.Name) == QLatin1String("relay"))
        {
            // The power stays off for 2 s unless a stop comes.
            REGRESSION_TIMING_T t;
            t.SecondMs = 400;
            t.UpgradeRestartSeconds = 0;
            t.Now = [] { return QDateTime(kToday, QTime(10, 0)); };
            board.Worker.SetTiming(t);
        }
        board.Start(c.Row, root.path());
        ASSERT_TRUE(WaitUntil([&] { return c.InWait(board); }, 30000)) << c.Name;
        QElapsedTimer clock;
        clock.start();
        board.Worker.SetRunning(false);
        ASSERT_TRUE(board.Worker.wait(5000)) << c.Name;
        EXPECT_LT(clock.elapsed(), 1000) << c.Name;
        ASSERT_TRUE(board.Finish()) << c.Name;
        EXPECT_EQ(board.Worker.GetSummary().End, REGRESSION_END_STOPPED) << c.Name;
        EXPECT_EQ(board.Events.last(), QStringLiteral("close")) << c.Name;
        if (QLatin1String(c.Name) == QLatin1String("relay"))
        {
            EXPECT_EQ(board.Relay, QList<QByteArray>({RelayFrame(1, 0x08), RelayFrame(1, 0x00)}));
        }
    }
    EXPECT_EQ(QRegressionMethod::LiveThreads(), 0);
}

TEST(RegressionMethod, ABoardWhosePortHasNoTabEndsAtOnce)
{
    QTemporaryDir root;
    BoardDouble board;
    board.Worker.SetBoard(Row({{1, "3"}}), kBoardPort, root.path());
    board.Worker.SetRunning(true);
    board.Worker.start();
    ASSERT_TRUE(board.Finish());
    EXPECT_EQ(board.Result, QStringLiteral("Not found Porttab"));
    EXPECT_TRUE(board.Texts.isEmpty());
    EXPECT_EQ(board.Worker.GetSummary().End, REGRESSION_END_NO_PORT_TAB);

    // A port closed during a test ends the run, with the log closed.
    BoardDouble closed;
    closed.BannerDelayMs = 600000;
    closed.Start(Row({{1, "3"}, {2, "2"}}), root.path());
    ASSERT_TRUE(WaitUntil([&] { return closed.Events.contains("request 1024"); }));
    closed.State.TabIndex = -1;
    closed.Push();
    ASSERT_TRUE(closed.Finish());
    EXPECT_EQ(closed.Worker.GetSummary().End, REGRESSION_END_PORT_CLOSED);
    EXPECT_FALSE(closed.Events.contains("request 256"));
}

TEST(RegressionMethod, LogNamesTakeTheFirstFreeNumberOfTheDayAndAPortTextFitForAFileName)
{
    QTemporaryDir root;
    QRegressionMethod worker;
    REGRESSION_TIMING_T t;
    t.Now = [] { return QDateTime(kToday, QTime(23, 59)); };
    worker.SetTiming(t);
    worker.SetBoard(Row({}), kBoardPort, root.path());
    const QString sFolder = Folder(root);
    struct CASE_T
    {
        const char* Port;
        const char* Name;
    } const cases[] = {
        {"COM3:115200.1", "COM3_115200_1_ResetTest_B_1hz_1.log"},
        {"/dev/ttyUSB0", "_dev_ttyUSB0_ResetTest_B_1hz_1.log"},
        {"a\\b", "a_b_ResetTest_B_1hz_1.log"},
    };
    for (const CASE_T& c : cases)
        EXPECT_EQ(worker.MakeLogFileName(QString::fromUtf8(c.Port), "ResetTest", "B", 1),
                  QDir(sFolder).filePath(QString::fromLatin1(c.Name)));
    for (int n = 1; n <= 4; ++n)
        ASSERT_FALSE(
            WriteFile(root, QStringLiteral("2024/202402/20240229/RegressionTest/P_ResetTest_B_1hz_%1.log").arg(n), "x")
                .isEmpty());
    EXPECT_EQ(QFileInfo(worker.MakeLogFileName("P", "ResetTest", "B", 1)).fileName(),
              QStringLiteral("P_ResetTest_B_1hz_5.log"));
    // A root that cannot hold the folder gives no name.
    const QString sFile = WriteFile(root, "plain", "x");
    worker.SetBoard(Row({}), kBoardPort, sFile);
    EXPECT_EQ(worker.MakeLogFileName("P", "ResetTest", "B", 1), QString());

    for (int i = 0; i < 200; ++i)
    {
        const int n = QRegressionMethod::RandomWait(60, 180);
        ASSERT_GE(n, 60);
        ASSERT_LT(n, 180);
    }
}

TEST(RegressionMethod, ResetProgressShowsTheCycleAgainstOneMoreThanTheCycles)
{
    QTemporaryDir root;
    BoardDouble board;
    board.Start(Row({{1, "3"}}), root.path());
    QStringList seen;
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            const QString s = board.Worker.GetStatusTexts().value(REGRESSION_RESET);
            if (!s.isEmpty() && (seen.isEmpty() || seen.last() != s))
                seen << s;
            return board.bFinished;
        },
        30000));
    // A Reset value of 3 shows 0//4, 1//4 and 2//4, then the end.
    EXPECT_EQ(seen, QStringList({"0//4", "1//4", "2//4", "End of test"}));
}

TEST(RegressionMethod, TheOtherBoardsChannelsAreKeptWithoutItsOwn)
{
    QTemporaryDir root;
    BoardDouble board;
    board.State.RelayPortID = kRelayPort;
    board.Start(Row({{10, "/dev/ttyUSB7"}, {11, "1"}, {12, "3"}}), root.path());
    ASSERT_TRUE(board.Finish());
    // Channel 3's bit is 0x04: the broadcast of every channel leaves the other seven.
    board.Worker.OnOpenAllRelayChannel(0xFF);
    EXPECT_EQ(board.Worker.OtherChannels(), 0xFB);
    board.Worker.OnOpenAllRelayChannel(0x06);
    EXPECT_EQ(board.Worker.OtherChannels(), 0x02);
    // No frame is written by a broadcast.
    EXPECT_TRUE(board.Relay.isEmpty());
}

// The image list and the command file are read up to their bounds: a file
// beyond its bound is refused as unreadable, and nothing of it is used.
TEST(RegressionMethod, AnImageListOrCommandFileBeyondItsBoundIsNotUsed)
{
    QTemporaryDir root;
    QByteArray list = "1,/img/a.img\r\n2,/img/b.img\r\n";
    list += QByteArray(static_cast<int>(REGRESSION_IMAGE_LIST_MAX_BYTES), '#');
    const QString sList = WriteFile(root, "list.txt", list);
    QByteArray commands;
    while (commands.size() <= REGRESSION_COMMAND_FILE_MAX_BYTES)
        commands += "log versiona\r\n";
    const QString sCommands = WriteFile(root, "cmd.txt", commands);
    ASSERT_FALSE(sList.isEmpty());
    ASSERT_FALSE(sCommands.isEmpty());

    BoardDouble board;
    board.Start(Row({{4, sList + ";115200"}, {5, sCommands}}), root.path());
    ASSERT_TRUE(board.Finish());
    for (const QString& e : board.Events)
        EXPECT_FALSE(e.startsWith(QLatin1String("upgrade"))) << e.toStdString();
    EXPECT_TRUE(board.Texts.isEmpty()) << board.Texts.size();
    const REGRESSION_SUMMARY_T summary = board.Worker.GetSummary();
    for (REGRESSION_TEST_E e : {REGRESSION_SERIAL_UPDATE, REGRESSION_COMMAND})
    {
        ASSERT_EQ(summary.Tests[e].Faults.size(), 1) << e;
        EXPECT_EQ(summary.Tests[e].Faults.at(0).Kind, REGRESSION_FAULT_FILE_UNREADABLE) << e;
    }
}

TEST(RegressionFiles, ImageListsAndCommandFilesReadAsTheirUsersWriteThem)
{
    QTextCodec* pGbk = QTextCodec::codecForName("GBK");
    ASSERT_NE(pGbk, nullptr);
    struct IMAGES_CASE_T
    {
        QByteArray Bytes;
        QString Image1, Image2;
    } const lists[] = {
        {"1,/img/a.img\r\n2,/img/b.img\r\n", "/img/a.img", "/img/b.img"},
        {"  1, /img/a.img \n2,/img/b.img", "/img/a.img", "/img/b.img"},
        {"/img/a.img\r/img/b.img\r", "/img/a.img", "/img/b.img"},
        // Only the leading number of its own line goes.
        {"2,/img/a.img\n1,/img/b.img\n", "2,/img/a.img", "1,/img/b.img"},
        {"1,/img/a.img\n", "/img/a.img", ""},
        {"", "", ""},
        {pGbk->fromUnicode(QStringLiteral("1,D:/固件/甲.img\r\n2,D:/固件/乙.img\r\n")),
         QStringLiteral("D:/固件/甲.img"), QStringLiteral("D:/固件/乙.img")},
    };
    for (const IMAGES_CASE_T& c : lists)
    {
        const REGRESSION_IMAGES_T images = ParseRegressionImageList(c.Bytes);
        EXPECT_EQ(images.Image[0], c.Image1) << c.Bytes.toStdString();
        EXPECT_EQ(images.Image[1], c.Image2) << c.Bytes.toStdString();
    }
    EXPECT_EQ(ParseRegressionCommands("log versiona\n\n  log bestposa ontime 1\r\nunlogall\rfreset\r\n\t\r\n"),
              QStringList({"log versiona", "log bestposa ontime 1", "unlogall", "freset"}));

    // The readers: a file at its bound is read, one byte more is refused, as is a folder.
    QTemporaryDir dir;
    QByteArray atBound = "1,/img/a.img\n2,/img/b.img\n";
    atBound += QByteArray(static_cast<int>(REGRESSION_IMAGE_LIST_MAX_BYTES) - atBound.size(), ' ');
    const QString sAtBound = WriteFile(dir, "at.txt", atBound);
    const QString sBeyond = WriteFile(dir, "beyond.txt", atBound + " ");
    REGRESSION_IMAGES_T images;
    EXPECT_EQ(ReadRegressionImageList(sAtBound, &images), CONFIG_FILE_OK);
    EXPECT_EQ(images.Image[1], QStringLiteral("/img/b.img"));
    EXPECT_EQ(ReadRegressionImageList(sBeyond, &images), CONFIG_FILE_TOO_LARGE);
    EXPECT_TRUE(images.Image[0].isEmpty());
    QStringList commands{"x"};
    EXPECT_EQ(ReadRegressionCommands(dir.path(), &commands), CONFIG_FILE_NOT_REGULAR);
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_EQ(ReadRegressionCommands(dir.filePath("none.txt"), &commands), CONFIG_FILE_MISSING);
}
