// The configuration and tracking-quality check: the comparisons it is built
// of (command file, tracking quality against thresholds, hardware version,
// board record), and against fake receivers a whole check that finds the one
// command a receiver lacks, which ports a check reports, and the
// tracking-quality loop stopped mid-way.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <algorithm>
#include <ctime>
#include <limits>

#include "ins_bench.h"
#include "monitor/parsing/pos_data_parser.h"
#include "support/fifo_guard.h"
#include "support/scripted_prompt.h"

namespace
{
void WriteFile(const QString& sPath, const QByteArray& Text)
{
    QDir().mkpath(QFileInfo(sPath).path());
    QFile file(sPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Text);
}

int Count(const std::string& s, const std::string& what)
{
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}
} // namespace

TEST(ConfigCheck, TrackingQualityIsHeldToEachSignalsThresholds)
{
    QConfigCheck check;
    const QStringList codes = {"0", "c8", "7f", "18a/9ca", "13"};
    const QList<double> cn0 = {49, 47, 60, 48.25};
    const QList<double> svs = {8, 2, 9, 3};
    const QList<int> errors = {0, 100, 0, 99};
    // In the loop's file: plain cells, a failing one marked. An unknown code
    // gives no row; a value missing from its list counts as 0.
    check.OnCycleCheckTQOn(QString());
    EXPECT_EQ(check.OnCheckTQ(codes, cn0, svs, errors).toStdString(),
              "      GPS_L1_CA       49(Err)[50]              8[5]            0\n"
              "       GPS_L2_P            47[47]         2(Err)[3]     100(Err)\n"
              "        GAL_E5a         48.25[48]              3[3]           99\n"
              "         BDS_B2        0(Err)[48]         0(Err)[6]            0\n");
    check.OnCycleCheckTQOff();
    // In the report: failing cells in red.
    const QString sRows = check.OnCheckTQ({"c8"}, {46.5}, {3}, {7});
    EXPECT_EQ(sRows, QStringLiteral("       GPS_L2_P <font style = 'font-size:14px; color:red;'>        46.5</font>[47] "
                                    "<font style = 'font-size:14px;'>           3</font>[3] "
                                    "<font style = 'font-size:14px;'>         7</font>\n"));
}

TEST(ConfigCheck, HardwareVersionFromTheProductID)
{
    const struct
    {
        const char *ID, *Version;
    } cases[] = {
        {"201801234B560042", "1.1"}, {"2017XXXXXD", "1.3"}, {"2018XXXXXE12", ""}, {"ABCDEF57XYZ", "5.7"},
        {"2018", ""},                {"ABCDEF5", ""},       {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QConfigCheck::HardwareVersion(QLatin1String(c.ID)), QLatin1String(c.Version)) << c.ID;
}

TEST(ConfigCheck, CommandFilesBoardsWithoutHeadingAndTheBoardRecord)
{
    QConfigCheck check;
    // The rate selects the file; a rate without one says so.
    EXPECT_TRUE(QConfigCheck::CmdFilePath(5.0, false).endsWith(QStringLiteral("/Configure/Cmd/Cmd_5HZ.txt")));
    EXPECT_TRUE(QConfigCheck::CmdFilePath(200, true).endsWith(QStringLiteral("/Configure/Cmd/InsCmd_10HZ.txt")));
    EXPECT_TRUE(QConfigCheck::CmdFilePath(1.9, false).endsWith(QStringLiteral("/Configure/Cmd/Cmd_1HZ.txt")));
    EXPECT_EQ(QConfigCheck::CmdFilePath(2, false), QString());
    // Rates no receiver has, beyond what a whole number holds, select no file.
    for (const double d : {1e10, 4294967297.0, -1.0, std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), 1e20})
        EXPECT_EQ(QConfigCheck::CmdFilePath(d, false), QString()) << d;
    EXPECT_EQ(check.OnCheckMsg({}, 2, QString(), QConfigCheck::CmdFilePath(2, false)), QStringLiteral("Open File fail!"));

    const QString sFile = QConfigCheck::CmdFilePath(10, false);
    WriteFile(sFile, "COM1 BESTPOSA ONTIME 0.1\nCOM1 HEADINGA ONCHANGED\nCOM1 GPHDT ONTIME 0.1\nCOM1 RANGEB ONTIME 1\n");
    const QStringList logged = {"COM1 BESTPOSA ONTIME 0.1", "COM1 RANGEB ONTIME 0.5"};
    EXPECT_EQ(check.OnCheckMsg(logged, 10, QStringLiteral("ZV904-A"), sFile),
              QStringLiteral("COM1 RANGEB ONTIME 1\n"));
    EXPECT_EQ(check.OnCheckMsg(logged, 10, QStringLiteral("ZV906-A"), sFile),
              QStringLiteral("COM1 HEADINGA ONCHANGED\nCOM1 GPHDT ONTIME 0.1\nCOM1 RANGEB ONTIME 1\n"));
    EXPECT_EQ(check.OnCheckMsg(logged + QStringList{"COM1 RANGEB ONTIME 1"}, 10, QStringLiteral("ZV912"), sFile),
              QStringLiteral("Msg ok!!!\n"));

    // A new batch starts from the template; a board already in it adds no line.
    const QDir dir(QConfigCheck::BoardRecordDir());
    WriteFile(dir.filePath("BoardRecord.csv"), "Board,ProductID,Version,SN");
    check.OnBoardRecord("ZV906-1.1,2018A,x,SN1", "ZV906-1.1", "2018A");
    check.OnBoardRecord("ZV906-1.1,2018B,x,SN2", "ZV906-1.1", "2018B");
    check.OnBoardRecord("ZV906-1.1,2018A,x,SN1", "ZV906-1.1", "2018A");
    EXPECT_EQ(FileBytes(dir.filePath("ZV906-1.1.csv")),
              QByteArray("Board,ProductID,Version,SN\nZV906-1.1,2018A,x,SN1\nZV906-1.1,2018B,x,SN2"));
    // A board type from the receiver names a file in the folder, never elsewhere.
    check.OnBoardRecord("../x,1,2,3", "../x", "1");
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(".._x.csv")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("../x.csv")));

    // FIFOs in place of a command file and of a batch file are never waited
    // on: the check says the file cannot be opened, and the record is refused.
    QFile::remove(sFile);
    CFifoGuard cmdFifo(sFile.toStdString());
    CFifoGuard recordFifo(dir.filePath("ZV906-FIFO.csv").toStdString());
    ASSERT_TRUE(cmdFifo.IsValid() && recordFifo.IsValid());
    EXPECT_EQ(check.OnCheckMsg(logged, 10, QStringLiteral("ZV906-A"), sFile), QStringLiteral("Open File fail!"));
    CScriptedPrompt prompt;
    check.OnBoardRecord("ZV906-FIFO,2018C,x,SN3", "ZV906-FIFO", "2018C");
    EXPECT_EQ(prompt.Messages, QStringList("Error|Open BoardRecord File fail!"));
    EXPECT_FALSE(cmdFifo.Released() || recordFifo.Released());
}

// A check of every port against fake receivers: the one line the receiver's
// log list lacks is reported, with its INS settings, firmware, and tracking
// quality against the thresholds; its identity goes into its batch file.
TEST(ConfigCheck, FindsTheOneCommandAReceiverLacks)
{
    InsBench bench;
    RECEIVER_RULES_T rules;
    rules.VersionLine = "ZV906-B2,R3.1.0Build1,x,1A2B0001,ID:201801234B560042,SN:77,F:1F";
    rules.UserConfig = {"INSCOMMAND ENABLE", "SETINSROTATION RBV 0 0 90 1 1 1",
                        "SETINSTRANSLATION ANT1 0.1 0.2 0.3 0.01 0.01 0.01", "ALIGNMODE DUALANT",
                        "NTRIPCONFIG NCOM1 CLIENT V2 caster.invalid:2101 MP1 user1 pw1"};
    rules.PosFreq = 5;
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    for (const char* pLog : {"LOG COM2 BESTPOSA ONTIME 0.2\r\n", "LOG COM2 GPGSV ONCHANGED\r\n",
                             "LOG COM2 RANGEB ONTIME 0.5\r\n"})
        bench.Shell.Manager.OnSendPortData1Port(pPort->UniquePortID, QByteArray(pLog));
    ASSERT_TRUE(WaitUntil([&] { return rx.Logging().size() == 3; }));
    WriteFile(QConfigCheck::CmdFilePath(5, false),
              "COM2 BESTPOSA ONTIME 0.2\nCOM2 GPGSV ONCHANGED\nCOM2 RANGEB ONTIME 1\n");
    WriteFile(QConfigCheck::CmdFilePath(5, true), "COM2 BESTPOSA ONTIME 0.2\n");
    WriteFile(QDir(QConfigCheck::BoardRecordDir()).filePath("BoardRecord.csv"), "Board,ProductID,Version,SN");

    QConfigCheck& check = bench.ConfigCheck;
    check.SetCollectMs(600000);
    for (const char* pBox : {"CheckINSBox", "CheckTQBox", "CheckRecordBox"})
        check.findChild<QAbstractButton*>(QLatin1String(pBox))->setChecked(true);
    check.OnShowConfigCheckWindow();
    auto* pButton = check.findChild<QPushButton*>(QStringLiteral("ConfigCheckButton"));
    QTest::mouseClick(pButton, Qt::LeftButton);
    EXPECT_FALSE(pButton->isEnabled());
    for (const char* pQuery : {"USERCONFIG\r\n", "VERSION\r\n", "LOG LOGLISTA\r\n", "posfreq\r\n", "log tq 1\r\n"})
        EXPECT_TRUE(WaitUntil([&] { return rx.Net().Received().find(pQuery) != std::string::npos; })) << pQuery;
    ASSERT_TRUE(WaitUntil([&] { return bench.Answered(pPort); }));
    check.OnConfigCheckTimerout();
    EXPECT_TRUE(pButton->isEnabled());

    const std::string sReport = check.findChild<QTextEdit*>(QStringLiteral("ConfigCheckLable"))->toPlainText().toStdString();
    const std::string sExpectedStart = bench.Shell.Tabs.tabText(0).toStdString() + "\n";
    EXPECT_EQ(sReport.compare(0, sExpectedStart.size(), sExpectedStart), 0) << sReport;
    EXPECT_EQ(Count(sReport, "COM2 "), 1) << "one missing line, and it alone (the INS file's line is there)\n"
                                          << sReport;
    EXPECT_NE(sReport.find("\nCOM2 RANGEB ONTIME 1\n"), std::string::npos) << sReport;
    EXPECT_NE(sReport.find("INS Msg ok!!!"), std::string::npos);
    EXPECT_NE(sReport.find("SETINSROTATION RBV 0 0 90 1 1 1\nINSCOMMAND ENABLE\n"
                           "SETINSTRANSLATION ANT1 0.1 0.2 0.3 0.01 0.01 0.01\nALIGNMODE DUALANT\n"),
              std::string::npos)
        << sReport;
    EXPECT_NE(sReport.find("NTRIPCONFIG NCOM1 CLIENT"), std::string::npos);
    EXPECT_NE(sReport.find("\nR3.1.0\n"), std::string::npos) << "the firmware's first six characters";
    for (const char* pError : {"Not found", "not id", "Fail", "fail", "Enable"})
        EXPECT_EQ(sReport.find(pError), std::string::npos) << pError << "\n" << sReport;
    // Tracking quality: master and slave, each value against its threshold.
    EXPECT_NE(sReport.find("Master\n      GPS_L1_CA         51.2[50]            9[5]          0\n"), std::string::npos)
        << sReport;
    EXPECT_NE(sReport.find("Slave\n"), std::string::npos);
    // The board's identity in the file of its batch.
    EXPECT_EQ(FileBytes(QDir(QConfigCheck::BoardRecordDir()).filePath("ZV906-B2-1.1.csv")),
              QByteArray("Board,ProductID,Version,SN\nZV906-B2-1.1,201801234B560042,ID:201801234B560042,77"));
}

// Which ports a check reports: under "CheckAll" every port once per board (two
// tabs whose receivers give one product ID are one receiver reached through two
// ports), under "CheckOne" the current port alone; the fix is known for the
// current port only.
TEST(ConfigCheck, OneReportPerBoardAndTheCurrentPortAlone)
{
    InsBench bench;
    RECEIVER_RULES_T other;
    other.VersionLine = "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234C560099,SN:124,F:1F";
    FakeReceiver rxA, rxB, rxC(other); // A and B: one product ID
    FakeReceiver* receivers[] = {&rxA, &rxB, &rxC};
    QZvPortCtrlBase* ports[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        ports[i] = bench.OpenTcp(*receivers[i]);
        ASSERT_NE(ports[i], nullptr) << i;
    }
    QConfigCheck& check = bench.ConfigCheck;
    check.SetCollectMs(600000);
    auto* pButton = check.findChild<QPushButton*>(QStringLiteral("ConfigCheckButton"));
    auto* pView = check.findChild<QTextEdit*>(QStringLiteral("ConfigCheckLable"));
    // Runs a check and gives its report, once every port asked has answered.
    auto run = [&](const std::vector<int>& Asked)
    {
        for (FakeReceiver* pRx : receivers)
            pRx->Net().ClearReceived();
        QTest::mouseClick(pButton, Qt::LeftButton);
        for (const int i : Asked)
        {
            EXPECT_TRUE(receivers[i]->Net().WaitForText("USERCONFIG\r\n", 20000)) << i;
            EXPECT_TRUE(WaitUntil([&] { return bench.Answered(ports[i]); })) << i;
        }
        // The position record is the current port's: it has an RTK fix.
        bench.Shell.Tabs.GetPosDataParser()->m_PosData.FixQuality = 4;
        check.OnConfigCheckTimerout();
        for (int i = 0; i < 3; ++i)
        {
            if (std::find(Asked.begin(), Asked.end(), i) == Asked.end())
            {
                // A mark sent after the check arrives after anything the check sent.
                bench.Shell.Manager.OnSendPortData1Port(ports[i]->UniquePortID, "MARK\r\n");
                EXPECT_TRUE(receivers[i]->Net().WaitForText("MARK\r\n", 20000));
                EXPECT_EQ(receivers[i]->Net().Received(), "MARK\r\n") << i << " was not asked";
            }
        }
        return pView->toPlainText().toStdString();
    };
    auto reported = [&](const std::string& sReport, int i)
    { return Count(sReport, bench.Shell.Tabs.tabText(i).toStdString() + "\n"); };

    bench.MakeCurrent(ports[0]);
    std::string sReport = run({0, 1, 2});
    EXPECT_EQ(reported(sReport, 0), 1) << sReport;
    EXPECT_EQ(reported(sReport, 1), 0) << "B is A's board\n" << sReport;
    EXPECT_EQ(reported(sReport, 2), 1) << sReport;
    EXPECT_EQ(Count(sReport, "RTK: NARROW_INT\n"), 1) << sReport;
    EXPECT_EQ(Count(sReport, "Pos: not the current port\n"), 1) << sReport;
    EXPECT_LT(sReport.find("RTK: NARROW_INT"), sReport.find("Pos: not the current port")) << "A first, then C";

    // Each check counts its boards anew: the same boards are reported again.
    EXPECT_EQ(reported(run({0, 1, 2}), 0), 1);

    check.findChild<QRadioButton*>(QStringLiteral("CheckOneRadio"))->click();
    bench.MakeCurrent(ports[1]);
    sReport = run({1});
    EXPECT_EQ(reported(sReport, 1), 1) << sReport;
    EXPECT_EQ(reported(sReport, 0) + reported(sReport, 2), 0) << sReport;
    EXPECT_EQ(Count(sReport, "RTK: NARROW_INT\n"), 1) << sReport;
    EXPECT_EQ(Count(sReport, "not the current port"), 0) << sReport;
}

// A position rate out of range in the receiver's reply is reported as such,
// and selects no command file.
TEST(ConfigCheck, AReplyOutOfRangeIsReported)
{
    InsBench bench;
    RECEIVER_RULES_T rules;
    rules.PosFreq = 1e10;
    rules.RepliesOnPromptLine = true;
    FakeReceiver rx(rules);
    rx.StartStream(STREAM_ALL, 50000);
    QZvPortCtrlBase* pPort = bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    QConfigCheck& check = bench.ConfigCheck;
    check.SetCollectMs(600000);
    check.findChild<QRadioButton*>(QStringLiteral("CheckOneRadio"))->click();
    bench.MakeCurrent(pPort);
    check.OnSignalConfigCheckBtnClickd();
    ASSERT_TRUE(WaitUntil([&] { return bench.Answered(pPort); }));
    check.OnConfigCheckTimerout();
    const std::string sReport =
        check.findChild<QTextEdit*>(QStringLiteral("ConfigCheckLable"))->toPlainText().toStdString();
    EXPECT_NE(sReport.find("The reply to posfreq holds a value out of range!!\n"), std::string::npos) << sReport;
    EXPECT_NE(sReport.find("Open File fail!"), std::string::npos) << sReport;
    EXPECT_EQ(sReport.find("POS_FREQ Enable"), std::string::npos) << "answered, not pending\n" << sReport;
}

// The tracking-quality loop asks each receiver once per run ("log tq 1", which
// a receiver answers every second) and writes every port's newest table each
// period; stopping it takes effect at once, mid-way, and it starts again
// with one more request.
TEST(ConfigCheck, TheTrackingQualityLoopAsksOncePerRunAndStopsAtOnce)
{
    InsBench bench;
    RECEIVER_RULES_T rules;
    rules.TqRepeats = true;
    rules.RepliesOnPromptLine = true;
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    QTemporaryDir dir;
    const QString sRecord = dir.filePath("tq.txt");
    QConfigCheck& check = bench.ConfigCheck;
    check.SetTqPeriodMs(50);
    check.OnCycleCheckTQOn(sRecord);
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(sRecord).contains("Slave"); }));
    const QByteArray record = FileBytes(sRecord);
    EXPECT_TRUE(record.startsWith(pPort->GetPortName().toLatin1() + "\n" +
                                  "         Signal    Max CN0[Thr cn0]    Sv Num[Thr SvNum]    Err(>100)\nMaster\n"
                                  "      GPS_L1_CA          51.2[50]              9[5]            0\n"))
        << record.toStdString();
    EXPECT_TRUE(record.contains("         BDS_B1            49[48]              8[6]            0\n")) << record.toStdString();
    EXPECT_TRUE(record.endsWith("\n\n\n"));
    // What the receiver outputs next reaches the record without another request.
    rx.SetTq({"TQR,0,45.5,4,0", "TQH,0,50.0,9,0"});
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(sRecord).contains("45.5(Err)"); }))
        << FileBytes(sRecord).toStdString();
    EXPECT_EQ(Count(rx.Net().Received(), "log tq 1\r\n"), 1);

    // The stop's own work on the GUI thread, whatever else the machine runs.
    const auto cpuMs = []
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    };
    const double dStart = cpuMs();
    check.OnCycleCheckTQOff();
    EXPECT_LT(cpuMs() - dStart, 100.0);
    EXPECT_FALSE(check.IsTqLoopRunning());
    QFile::remove(sRecord);
    QTest::qWait(400);
    EXPECT_FALSE(QFileInfo::exists(sRecord)) << "no period after the stop";
    EXPECT_EQ(Count(rx.Net().Received(), "log tq 1\r\n"), 1);

    // The "Check" button asks before it ends a running loop.
    check.OnCycleCheckTQOn(sRecord);
    EXPECT_TRUE(WaitUntil([&] { return Count(rx.Net().Received(), "log tq 1\r\n") == 2; }));
    bench.Shell.Prompt.Answers = {false};
    check.OnSignalConfigCheckBtnClickd();
    EXPECT_TRUE(check.IsTqLoopRunning());
    bench.Shell.Prompt.Answers = {true};
    check.OnSignalConfigCheckBtnClickd();
    EXPECT_FALSE(check.IsTqLoopRunning());
    EXPECT_EQ(bench.Shell.Prompt.Questions.last(),
              QStringLiteral("Running a loop to detect tq|Are tq values determined for stop loop detection?"));

    // A record that cannot be written is said once.
    bench.Shell.Prompt.Messages.clear();
    check.OnCycleCheckTQOn(dir.filePath("no/such/folder/tq.txt"));
    QTest::qWait(400);
    check.OnCycleCheckTQOff();
    EXPECT_EQ(bench.Shell.Prompt.Messages.size(), 1) << bench.Shell.Prompt.Messages.join('\n').toStdString();
}
