// The hardware test against fake receivers on pseudo-terminals: boards whose
// firmware passes, fails its check after an upgrade, or whose upgrade never
// answers; cancelling a test in the middle of its recording; and the rows
// the dialog lists.
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "monitor/tools/tool_paths.h"
#include "tools_shell.h"

namespace
{
// Waits of a second of 100 ms. What lands in a board's log file is decided
// by the steps: its replies to the commands before the file opens must come
// back within one (a serial port writes and reads in turns of up to 150 ms
// over a pseudo-terminal), and the version log asked for at the end before
// the file closes; 2 s leaves room for a loaded machine. The limits of the
// upgrade and the version reply end at the event they wait for, so they are
// generous; a test whose upgrade must time out sets a short one
// (SilentUpgradeTiming).
HARDWARE_TIMING_T FastTiming()
{
    HARDWARE_TIMING_T t;
    t.SecondMs = 100;
    t.StepSecs = 20;
    t.UpgradeTimeoutSecs = 600;
    t.RebootSecs = 20; // the upgraded board is talking again before it is asked its version
    t.VersionReplySecs = 300;
    return t;
}

// For a board whose upgrade never answers: its limit is waited out in full.
HARDWARE_TIMING_T SilentUpgradeTiming()
{
    HARDWARE_TIMING_T t = FastTiming();
    t.UpgradeTimeoutSecs = 30;
    return t;
}

// For tests that do not look at what the steps let into a file.
HARDWARE_TIMING_T ShortStepTiming()
{
    HARDWARE_TIMING_T t = FastTiming();
    t.StepSecs = 3;
    return t;
}

std::string VersionLine(const char* pModel, const char* pFirmware, const char* pId)
{
    return std::string(pModel) + "," + pFirmware + ",x,1A2B0001,ID:" + pId + ",SN:1,F:1F";
}

// The text of a column of the row whose port box reads sPort.
QString RowText(QTableWidget* pTable, const QString& sPort, int iColumn)
{
    for (int i = 0; i < pTable->rowCount(); ++i)
        if (qobject_cast<QCheckBox*>(pTable->cellWidget(i, QHardwareDiag::COL_PORT))->text() == sPort)
            return pTable->item(i, iColumn)->text();
    return QStringLiteral("<no row>");
}

void CheckAll(QTableWidget* pTable)
{
    for (int i = 0; i < pTable->rowCount(); ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QHardwareDiag::COL_PORT))->setChecked(true);
}

// Whether the texts arrived in this order.
bool InOrder(const std::string& sReceived, std::initializer_list<const char*> Texts)
{
    size_t at = 0;
    for (const char* p : Texts)
    {
        at = sReceived.find(p, at);
        if (at == std::string::npos)
            return false;
    }
    return true;
}

struct HardwareTest : ::testing::Test
{
    ToolsShell Shell;
    QTemporaryDir Tmp;
    QString Image, Root;

    void SetUp() override
    {
        Shell.Hardware.SetTiming(FastTiming());
        Root = Tmp.filePath(QStringLiteral("测试 logs"));
        ASSERT_TRUE(QDir().mkpath(Root));
        Image = Tmp.filePath(QStringLiteral("fw/ZV100_3.1.0.img"));
        ASSERT_TRUE(WriteAll(Image, QByteArray(6000, '\x5A') + QByteArray(1500, '\0')));
        const QString sList = Tmp.filePath(QStringLiteral("images.txt"));
        ASSERT_TRUE(WriteAll(sList, ("/fw/QT912_2.0.img\r\n" + Image + "\n").toUtf8()));
        ASSERT_TRUE(WritePathFile(QHardwareDiag::ImagePathFile(), sList));
        ASSERT_TRUE(WritePathFile(QHardwareDiag::LogPathFile(), Root));
    }
    void TearDown() override { Shell.Hardware.hide(); }

    QString TestFolder() const
    {
        return Root + QDateTime::currentDateTime().toString(QStringLiteral("/yyyy/yyyyMM/yyyyMMdd")) +
               QStringLiteral("/HardwareTest");
    }
};
} // namespace

TEST_F(HardwareTest, ThreeBoardsPassFailTheirCheckOrNeverAnswerTheirUpgrade)
{
    RECEIVER_RULES_T passes, failsCheck, silent;
    passes.VersionLine = VersionLine("ZV100-A1", "RN3.1.0", "201801234B560001");
    failsCheck.VersionLine = VersionLine("ZV100-A1", "RN3.0.9", "201801234B560002");
    // The board restarts from the image it was given but still runs another version.
    failsCheck.VersionAfterUpgrade = VersionLine("ZV100-A1", "RN3.0.8", "201801234B560002");
    silent.VersionLine = VersionLine("ZV100-A1", "RN3.0.9", "201801234B560003");
    silent.LoaderStarts = false;
    FakeReceiver rxPass(passes), rxFail(failsCheck), rxSilent(silent);
    std::vector<FakeReceiver*> rx = {&rxPass, &rxFail, &rxSilent};
    std::vector<QZvPortCtrlBase*> ports;
    for (FakeReceiver* r : rx)
    {
        ASSERT_TRUE(r->Plug());
        ports.push_back(Shell.Open(r->Rx().Name()));
        ASSERT_NE(ports.back(), nullptr);
    }
    for (QZvPortCtrlBase* p : ports)
        ASSERT_TRUE(WaitUntil([p] { return p->IsPropertyValid(); }));

    Shell.Hardware.OnShowDialog();
    ASSERT_TRUE(Shell.Hardware.isVisible());
    QTableWidget* pTable = Shell.Hardware.Table();
    ASSERT_EQ(pTable->rowCount(), 3);
    std::vector<QString> tabs;
    for (int i = 0; i < 3; ++i)
    {
        tabs.push_back(Shell.Tabs.GetTabText(i));
        EXPECT_EQ(pTable->item(i, QHardwareDiag::COL_IMAGE)->text(), Image) << "the list's line for the board ZV100";
        EXPECT_EQ(pTable->item(i, QHardwareDiag::COL_WAIT)->text(), QStringLiteral("2000"));
        pTable->item(i, QHardwareDiag::COL_WAIT)->setText(QStringLiteral("5"));
    }
    // The board that upgrades has room to end its upgrade; the silent one
    // starts beside it with a short limit.
    for (int i = 0; i < 2; ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QHardwareDiag::COL_PORT))->setChecked(true);
    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    EXPECT_EQ(Shell.Hardware.RunningCount(), 2);
    Shell.Hardware.SetTiming(SilentUpgradeTiming());
    CheckAll(pTable);
    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    EXPECT_EQ(Shell.Hardware.RunningCount(), 3);
    // A further OK starts nothing more.
    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    EXPECT_EQ(Shell.Hardware.RunningCount(), 3);
    ASSERT_TRUE(WaitUntil([&] { return Shell.Hardware.RunningCount() == 0; }, 120000));

    EXPECT_EQ(RowText(pTable, tabs[0], QHardwareDiag::COL_RESULT), QStringLiteral("Passed"));
    EXPECT_EQ(RowText(pTable, tabs[1], QHardwareDiag::COL_RESULT), QStringLiteral("Firmware check failed"));
    EXPECT_EQ(RowText(pTable, tabs[2], QHardwareDiag::COL_RESULT), QStringLiteral("Firmware upgrade timed out"));

    // The passing board: its commands in order, and its recording in the dated folder.
    EXPECT_TRUE(InOrder(rxPass.Rx().Received(),
                        {"COM 460800", "unlogall\r\nsaveconfig\r\n", "unlogall\r\nsaveconfig\r\n",
                         "log tq 1\r\nlog np\r\ninscommand enable\r\nlog rawimua 1\r\n", "log version 1\r\n"}))
        << rxPass.Rx().Received();
    EXPECT_EQ(rxPass.Rx().Received().find("UPGRADEPORT"), std::string::npos) << "its firmware was the image's";
    const QString sPassLog = TestFolder() + QLatin1Char('/') + LogBaseName(tabs[0]) + QStringLiteral("_1.log");
    ASSERT_TRUE(WaitUntil([&] { return !ports[0]->IsLogging(); }));
    const QByteArray logged = ReadAll(sPassLog);
    EXPECT_TRUE(logged.contains("log version 1")) << sPassLog.toStdString() << ": " << logged.toStdString() << " "
                                                  << QDir(TestFolder()).entryList().join(' ').toStdString();
    EXPECT_FALSE(logged.contains("rawimua")) << "the file begins after the logs were switched on";

    // The board that failed its check took the image, restarted and was asked its version.
    EXPECT_TRUE(rxFail.Loader().Done());
    EXPECT_TRUE(InOrder(rxFail.Rx().Received(), {"SET UPGRADEPORT 1", "RESET", "VERSION\r\n"}));
    EXPECT_EQ(rxFail.Rx().Received().find("log tq"), std::string::npos) << "its test ended at the check";
    // The silent one's upgrade was cancelled, and nothing more was sent to it.
    EXPECT_TRUE(WaitUntil([&] { return !ports[2]->IsUpgrading(); }));
    EXPECT_EQ(rxSilent.Rx().Received().find("log tq"), std::string::npos);
    for (int i = 1; i < 3; ++i)
        EXPECT_FALSE(
            QFileInfo::exists(TestFolder() + QLatin1Char('/') + LogBaseName(tabs[i]) + QStringLiteral("_1.log")));

    // No tab keeps its upgrade mark, no upgrade box was shown, and the end names the failures.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Shell.Tabs.GetTabText(i), tabs[i]);
    const QString sAll = Shell.Prompt.Messages.join(QLatin1Char('\n'));
    EXPECT_FALSE(sAll.contains(QStringLiteral("Firmware Upgrade complete"))) << sAll.toStdString();
    ASSERT_EQ(Shell.Prompt.Messages.filter(QStringLiteral("Complete|")).size(), 1) << sAll.toStdString();
    const QString sDone = Shell.Prompt.Messages.filter(QStringLiteral("Complete|")).at(0);
    EXPECT_TRUE(sDone.startsWith(QStringLiteral("Complete|Board card recording data is completed")));
    EXPECT_TRUE(sDone.contains(tabs[1] + QStringLiteral(": Firmware check failed"))) << sDone.toStdString();
    EXPECT_TRUE(sDone.contains(tabs[2] + QStringLiteral(": Firmware upgrade timed out"))) << sDone.toStdString();
    EXPECT_FALSE(sDone.contains(tabs[0]));

    // One line per board in the day's results file.
    const QStringList lines = QString::fromUtf8(ReadAll(TestFolder() + QStringLiteral("/HardwareTestResults.txt")))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter(tabs[0] + QStringLiteral("\tPassed\t") + sPassLog).size(), 1);
    EXPECT_EQ(lines.filter(tabs[1] + QStringLiteral("\tFirmware check failed\t")).size(), 1);
    EXPECT_EQ(lines.filter(tabs[2] + QStringLiteral("\tUpgrade timed out\t")).size(), 1);
}

TEST_F(HardwareTest, CancelEndsARecordingAtOnceAndSendsNothingMore)
{
    RECEIVER_RULES_T rules;
    rules.VersionLine = VersionLine("ZV100-A1", "RN3.1.0", "201801234B560001");
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = Shell.Open(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    Shell.Hardware.SetTiming(ShortStepTiming());
    Shell.Hardware.OnShowDialog();
    QTableWidget* pTable = Shell.Hardware.Table();
    ASSERT_EQ(pTable->rowCount(), 1);
    pTable->item(0, QHardwareDiag::COL_WAIT)->setText(QStringLiteral("100000"));
    CheckAll(pTable);
    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsLogging(); }));

    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    EXPECT_EQ(Shell.Hardware.RunningCount(), 0);
    EXPECT_EQ(pTable->item(0, QHardwareDiag::COL_RESULT)->text(), QStringLiteral("Cancelled"));
    EXPECT_TRUE(WaitUntil([pPort] { return !pPort->IsLogging(); })) << "the test's file is closed";
    QTest::qWait(300);
    EXPECT_EQ(rx.Rx().Received().find("log version"), std::string::npos);
    EXPECT_TRUE(Shell.Prompt.Messages.filter(QStringLiteral("Complete|")).isEmpty());
}

// A board's tab closed in the middle of its test, while it records or while
// its upgrade runs, ends that test at once: its row and the results file say
// that its tab is gone, nothing more is asked of the tab set or the port
// manager for it, and the completion box names both boards.
TEST_F(HardwareTest, ATabClosedInTheMiddleEndsItsTestAndNothingMoreIsSent)
{
    RECEIVER_RULES_T records, upgrading;
    records.VersionLine = VersionLine("ZV100-A1", "RN3.1.0", "201801234B560001");
    upgrading.VersionLine = VersionLine("ZV100-A1", "RN3.0.9", "201801234B560002");
    upgrading.LoaderStarts = false; // its upgrade never answers
    FakeReceiver rxRecords(records), rxUpgrades(upgrading);
    std::vector<QZvPortCtrlBase*> ports;
    for (FakeReceiver* r : {&rxRecords, &rxUpgrades})
    {
        ASSERT_TRUE(r->Plug());
        ports.push_back(Shell.Open(r->Rx().Name()));
        ASSERT_NE(ports.back(), nullptr);
        QZvPortCtrlBase* p = ports.back();
        ASSERT_TRUE(WaitUntil([p] { return p->IsPropertyValid(); }));
    }
    const std::vector<QString> tabs = {Shell.Tabs.GetTabText(0), Shell.Tabs.GetTabText(1)};
    const uint uids[] = {ports[0]->UniquePortID, ports[1]->UniquePortID};
    Shell.Hardware.SetTiming(ShortStepTiming());
    Shell.Hardware.OnShowDialog();
    QTableWidget* pTable = Shell.Hardware.Table();
    ASSERT_EQ(pTable->rowCount(), 2);
    // A recording of a second, which would end soon after the tab is closed.
    for (int i = 0; i < 2; ++i)
        pTable->item(i, QHardwareDiag::COL_WAIT)->setText(QStringLiteral("10"));
    CheckAll(pTable);
    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    ASSERT_EQ(Shell.Hardware.RunningCount(), 2);
    ASSERT_TRUE(WaitUntil([&] { return ports[0]->IsLogging() && ports[1]->IsUpgrading(); }));
    EXPECT_EQ(Shell.Tabs.GetTabText(1), tabs[1] + QStringLiteral("-Upgrading"));

    QSignalSpy rates(&Shell.Hardware, &QHardwareDiag::SignalHardwareChangeBuadRate);
    QSignalSpy commands(&Shell.Hardware, &QHardwareDiag::SignalHardwareSendCmd);
    QSignalSpy opens(&Shell.Hardware, &QHardwareDiag::SignalHardwareSetFileName);
    QSignalSpy closes(&Shell.Hardware, &QHardwareDiag::SignalHardwareCloseFile);
    QSignalSpy configs(&Shell.Hardware, &QHardwareDiag::SignalHardWareLogConfig);
    QSignalSpy versions(&Shell.Hardware, &QHardwareDiag::SignalSendHardwareVersionMask);
    QSignalSpy upgrades(&Shell.Hardware, &QHardwareDiag::SignalHardwareUpgradeFW);
    QSignalSpy cancels(&Shell.Hardware, &QHardwareDiag::SignalHardwareCancelUpgradeFW);
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(RowText(pTable, tabs[i], QHardwareDiag::COL_RESULT), QStringLiteral("Running"));
        Shell.Tabs.OnClosePort(Shell.Tabs.GetTabIndexByPortID(uids[i]));
        EXPECT_EQ(Shell.Hardware.RunningCount(), 1 - i);
        EXPECT_FALSE(Shell.Hardware.IsTesting(uids[i]));
        EXPECT_EQ(RowText(pTable, tabs[i], QHardwareDiag::COL_RESULT), QStringLiteral("Not found Porttab"));
    }
    ASSERT_EQ(Shell.Tabs.count(), 0);
    const QStringList done = Shell.Prompt.Messages.filter(QStringLiteral("Complete|"));
    ASSERT_EQ(done.size(), 1) << Shell.Prompt.Messages.join('\n').toStdString();
    for (const QString& sTab : tabs)
        EXPECT_TRUE(done[0].contains(sTab + QStringLiteral(": Not found Porttab"))) << done[0].toStdString();
    const QStringList lines = QString::fromUtf8(ReadAll(TestFolder() + QStringLiteral("/HardwareTestResults.txt")))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(lines
                      .filter(QLatin1Char('\t') + tabs[i] + QStringLiteral("\tNot found Porttab\t") + TestFolder() +
                              QLatin1Char('/') + LogBaseName(tabs[i]) + QStringLiteral("_1.log"))
                      .size(),
                  1)
            << lines.join('\n').toStdString();

    // Past the end the recording would have had, its version request and
    // close included: neither worker asked for anything more.
    QTest::qWait(2500);
    for (const QSignalSpy* pSpy : std::initializer_list<const QSignalSpy*>{&rates, &commands, &opens, &closes, &configs,
                                                                           &versions, &upgrades, &cancels})
        EXPECT_EQ(pSpy->count(), 0) << pSpy->signal().toStdString();
    EXPECT_EQ(rxRecords.Rx().Received().find("log version"), std::string::npos) << rxRecords.Rx().Received();
    EXPECT_EQ(Shell.Prompt.Messages.filter(QStringLiteral("Complete|")).size(), 1);
}

TEST_F(HardwareTest, RowsFollowTheBoardsAndBadRowsAreRefused)
{
    RECEIVER_RULES_T a, b;
    a.VersionLine = VersionLine("ZV100-A1", "RN3.1.0", "201801234B560001");
    b.VersionLine = VersionLine("ZV9C2INS-A1", "RN2.0", "201801234B560002");
    FakeReceiver rxA(a), rxA2(a), rxB(b);
    for (FakeReceiver* r : {&rxA, &rxA2, &rxB})
    {
        ASSERT_NE(r->Listen(), 0);
        ASSERT_NE(Shell.OpenTcp(*r), nullptr);
    }
    Shell.Hardware.OnShowDialog();
    QTableWidget* pTable = Shell.Hardware.Table();
    // Two tabs of one board give one row, named after the first.
    ASSERT_EQ(pTable->rowCount(), 2);
    EXPECT_EQ(RowText(pTable, Shell.Tabs.GetTabText(0), QHardwareDiag::COL_IMAGE), Image);
    EXPECT_EQ(RowText(pTable, Shell.Tabs.GetTabText(1), QHardwareDiag::COL_IMAGE), QStringLiteral("<no row>"));
    // A 9C2 board is given the image of the QT912.
    EXPECT_EQ(RowText(pTable, Shell.Tabs.GetTabText(2), QHardwareDiag::COL_IMAGE), QStringLiteral("/fw/QT912_2.0.img"));

    struct CASE_T
    {
        const char* Image;
        const char* Wait;
        const char* Message;
    };
    const CASE_T cases[] = {
        {"", "5", " Please input the board image path"},
        {nullptr, "", " Please input the board log time"},
        {nullptr, "ten", " Please input the board log time"},
        {"/no/such/image.img", "5", " The image file does not exist: /no/such/image.img"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Message);
        pTable->item(0, QHardwareDiag::COL_IMAGE)->setText(c.Image != nullptr ? QString::fromUtf8(c.Image) : Image);
        pTable->item(0, QHardwareDiag::COL_WAIT)->setText(QString::fromUtf8(c.Wait));
        qobject_cast<QCheckBox*>(pTable->cellWidget(0, QHardwareDiag::COL_PORT))->setChecked(true);
        Shell.Prompt.Messages.clear();
        Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
        EXPECT_EQ(Shell.Hardware.RunningCount(), 0);
        EXPECT_EQ(Shell.Prompt.Messages,
                  QStringList(QStringLiteral("Error|") + Shell.Tabs.GetTabText(0) + QString::fromUtf8(c.Message)));
    }
    // What was typed in a row stays with its board when the table is rebuilt.
    Shell.Hardware.OnUpdateConfigTabl();
    EXPECT_EQ(pTable->item(0, QHardwareDiag::COL_IMAGE)->text(), QStringLiteral("/no/such/image.img"));
}

TEST(HardwareFirmware, TheVersionMustNameTheImage)
{
    struct CASE_T
    {
        const char* Version;
        const char* Image;
        bool Matches;
    };
    const CASE_T cases[] = {
        {"RN1.2.3", "/img/1.2.3_x.img", true},
        {"RN1.2.3", "/img/1.2.4_x.img", false},
        {"", "/img/1.2.3_x.img", false},
        {"RN", "/img/RN.img", false},
        {"1.2.3", "/fw/1.2.3/ZV_1.2.4.img", false},
        {"R3.1.0", "/fw/ZV100_R3.1.0.img", true},
    };
    for (const CASE_T& c : cases)
        EXPECT_EQ(FirmwareMatchesImage(QString::fromUtf8(c.Version), QString::fromUtf8(c.Image)), c.Matches)
            << c.Version << " " << c.Image;
}

// A board that never answers its version query (opened in professional mode,
// as a port whose receiver stays silent is) is asked once more when its test
// begins; without an answer its test fails with that reason and nothing is
// sent to upgrade it.
TEST_F(HardwareTest, ABoardThatNeverTellsItsVersionIsNotUpgraded)
{
    RECEIVER_RULES_T rules;
    rules.AnswersVersion = false;
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    // Silent to the query, not on the line: its logs never pass for an answer.
    rx.StartStream(STREAM_ALL, 50000);
    Shell.Manager.OnProfressionMode(true);
    QZvPortCtrlBase* pPort = Shell.Open(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->isRunning(); }));
    HARDWARE_TIMING_T timing = ShortStepTiming();
    timing.VersionReplySecs = 20;
    Shell.Hardware.SetTiming(timing);
    Shell.Hardware.OnShowDialog();
    QTableWidget* pTable = Shell.Hardware.Table();
    ASSERT_EQ(pTable->rowCount(), 1);
    // Its model is not known: the image is chosen by hand.
    pTable->item(0, QHardwareDiag::COL_IMAGE)->setText(Image);
    pTable->item(0, QHardwareDiag::COL_WAIT)->setText(QStringLiteral("5"));
    CheckAll(pTable);
    Shell.Hardware.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    ASSERT_EQ(Shell.Hardware.RunningCount(), 1) << Shell.Prompt.Messages.join('\n').toStdString();
    ASSERT_TRUE(WaitUntil([&] { return Shell.Hardware.RunningCount() == 0; }, 60000));
    Shell.Manager.OnProfressionMode(false);

    const QString sTab = Shell.Tabs.GetTabText(0);
    EXPECT_EQ(RowText(pTable, sTab, QHardwareDiag::COL_RESULT),
              QStringLiteral("No answer to the version query: not upgraded"));
    const std::string sent = rx.Rx().Received();
    EXPECT_EQ(sent.find("UPGRADEPORT"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("RESET"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("log tq"), std::string::npos) << sent;
    EXPECT_FALSE(pPort->IsUpgrading());
    const QString sDone = Shell.Prompt.Messages.filter(QStringLiteral("Complete|")).value(0);
    EXPECT_TRUE(sDone.contains(sTab + QStringLiteral(": No answer to the version query: not upgraded")))
        << Shell.Prompt.Messages.join('\n').toStdString();
}
