// The regression bench on fake receivers as a user drives it: the boards it
// lists, the log root it asks for and keeps, a configuration applied to the
// rows chosen, rows it refuses to start and why; then a bench of three boards
// and a relay board running every test in seconds, one board that never
// fixes again after a reset and one whose upgrades never end; and stops in
// the middle that leave no thread running.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <gtest/gtest.h>

#include "monitor/tools/regression_config.h"
#include "monitor/tools/relay_board.h"
#include "regression_bench.h"
#include "support/fifo_guard.h"
#include "support/monitor/fake_relay_board.h"

namespace
{
QString ReadAll(const QString& sPath)
{
    QFile f(sPath);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = f.readAll();
    return QString::fromLatin1(bytes.constData(), bytes.size());
}

void Check(RegressionBench& b, int nRow, bool bChecked = true)
{
    QCheckBox* pBox = b.Bench.RowCheckBox(nRow);
    ASSERT_NE(pBox, nullptr);
    pBox->setChecked(bChecked);
}
} // namespace

TEST(RegressionDiag, ListsEachBoardOnASerialPortOnceAndKeepsTheLogRootItWasGiven)
{
    RegressionBench b;
    QTemporaryDir dir;
    const QString sRoot = QDir(dir.path()).filePath(QStringLiteral("回归日志"));
    ASSERT_TRUE(QDir().mkpath(sRoot));
    QFile::remove(QRegressionDiag::LogRootFile());

    // No log root yet: a file is no folder, a cancel keeps the bench closed.
    b.Shell.Prompt.Texts = {dir.filePath("none")};
    b.Bench.OnShowDialog();
    b.Bench.OnShowDialog();
    EXPECT_FALSE(b.Bench.isVisible());
    EXPECT_EQ(b.Shell.Prompt.Messages, QStringList({"Error|The input is not the path!"}));

    FakeReceiver a(BoardRules("A1")), twin(BoardRules("A1")), c(BoardRules("C3")), tcp(BoardRules("T9"));
    FakeRelayBoard relay;
    ASSERT_NE(b.OpenBoard(a), nullptr);
    ASSERT_NE(b.OpenBoard(twin), nullptr);
    ASSERT_NE(tcp.Listen(), 0);
    ASSERT_NE(b.Shell.OpenTcp(tcp), nullptr);
    ASSERT_NE(b.OpenBoard(c), nullptr);
    ASSERT_TRUE(relay.Plug());
    ASSERT_NE(b.OpenRelay(relay.Name()), nullptr);

    b.Shell.Prompt.Texts = {sRoot};
    b.Bench.OnShowDialog();
    ASSERT_TRUE(b.Bench.isVisible());
    EXPECT_EQ(b.Bench.LogRoot(), sRoot);
    QFile file(QRegressionDiag::LogRootFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), sRoot);

    // One row per board ID, serial ports only; the relay module tells no ID.
    QTableWidget* pTable = b.Bench.BoardTable();
    ASSERT_EQ(pTable->rowCount(), 2);
    EXPECT_EQ(pTable->item(0, QRegressionDiag::COL_BOARD_ID)->text(), QStringLiteral("A1"));
    EXPECT_EQ(pTable->item(1, QRegressionDiag::COL_BOARD_ID)->text(), QStringLiteral("C3"));
    EXPECT_EQ(b.Bench.RowCheckBox(0)->text(), QString::fromStdString(a.Rx().Name()));
    EXPECT_EQ(pTable->item(0, QRegressionDiag::COL_VERSION)->text(), QStringLiteral("R3.1.0"));
    EXPECT_EQ(pTable->horizontalHeaderItem(11)->text(), QStringLiteral("Address"));

    // The next opening reads the root without asking.
    b.Bench.hide();
    b.Shell.Prompt.Texts.clear();
    b.Bench.OnShowDialog();
    EXPECT_TRUE(b.Bench.isVisible());
    EXPECT_EQ(b.Shell.Prompt.Choosers.size(), 3);

    // A FIFO in the file's place is never waited on: the root is asked for,
    // used and said not to be kept, and the FIFO stays as it is.
    b.Bench.hide();
    const QString sFile = QRegressionDiag::LogRootFile();
    QFile::remove(sFile);
    CFifoGuard fifo(sFile.toStdString());
    ASSERT_TRUE(fifo.IsValid());
    b.Shell.Prompt.Messages.clear();
    b.Shell.Prompt.Texts = {sRoot};
    b.Bench.OnShowDialog();
    EXPECT_TRUE(b.Bench.isVisible());
    EXPECT_EQ(b.Bench.LogRoot(), sRoot);
    EXPECT_EQ(b.Shell.Prompt.Messages,
              QStringList("Error|The log path cannot be kept in " + sFile + ": it will be asked for again."));
    EXPECT_FALSE(QFileInfo(sFile).isFile());
    EXPECT_FALSE(fifo.Released());
}

TEST(RegressionDiag, AConfigurationFillsTheChosenRowsAndOkStartsEveryRowWithoutAWorker)
{
    RegressionBench b;
    QTemporaryDir root;
    FakeReceiver a(BoardRules("A1")), c(BoardRules("C3"));
    ASSERT_NE(b.OpenBoard(a), nullptr);
    ASSERT_NE(b.OpenBoard(c), nullptr);
    b.Open(root.path());
    const int nA = b.RowOf("A1"), nC = b.RowOf("C3");
    b.SetCell(nA, QRegressionDiag::COL_RESET, "7");
    b.SetCell(nC, QRegressionDiag::COL_RESET, "5");
    b.SetCell(nC, QRegressionDiag::COL_BASE, "roof");

    // Config opens with the first row; Reset unchecked and Command checked.
    b.Bench.OnConfigBtnClicked();
    QRegressionConfig* pConfig = b.Bench.ConfigDiag();
    ASSERT_TRUE(pConfig->isVisible());
    EXPECT_EQ(pConfig->findChild<QLineEdit*>("m_pResetLineEdit")->text(), QStringLiteral("7"));
    Check(b, nC);
    pConfig->findChild<QCheckBox*>("m_pResetCheckBox")->setChecked(false);
    pConfig->findChild<QCheckBox*>("m_pCommandCheckBox")->setChecked(true);
    pConfig->findChild<QLineEdit*>("m_pCommandLineEdit")->setText(root.filePath("cmd.txt"));
    pConfig->findChild<QPushButton*>("m_pOkButton")->click();
    QTableWidget* pTable = b.Bench.BoardTable();
    EXPECT_EQ(pTable->item(nC, QRegressionDiag::COL_RESET)->text(), QString());
    EXPECT_EQ(pTable->item(nC, QRegressionDiag::COL_COMMAND)->text(), root.filePath("cmd.txt"));
    EXPECT_EQ(pTable->item(nA, QRegressionDiag::COL_RESET)->text(), QStringLiteral("7"));
    EXPECT_EQ(pTable->item(nA, QRegressionDiag::COL_COMMAND)->text(), QString());

    // The command file does not exist: that row is refused and says why. OK
    // starts every other row that has no worker, checked or not: A, whose
    // tests are all off, starts and finishes at once.
    b.SetCell(nA, QRegressionDiag::COL_RESET, QString());
    b.Bench.OnOKBtnClicked();
    EXPECT_EQ(b.Bench.RunningCount(), 1);
    ASSERT_EQ(b.Shell.Prompt.Messages.size(), 1);
    EXPECT_TRUE(b.Shell.Prompt.Messages.at(0).contains(root.filePath("cmd.txt")));
    EXPECT_FALSE(b.Shell.Prompt.Messages.at(0).contains(QString::fromStdString(a.Rx().Name())));
    ASSERT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 0; }));
    EXPECT_TRUE(b.Bench.SummaryText().contains(QStringLiteral("(A1): finished")))
        << b.Bench.SummaryText().toStdString();

    // With the file there, the row starts though its box is now unchecked; it
    // finishes, and the bench shows its summary without asking anything.
    QFile cmd(root.filePath("cmd.txt"));
    ASSERT_TRUE(cmd.open(QIODevice::WriteOnly));
    cmd.write("log versiona\n");
    cmd.close();
    Check(b, nC, false);
    a.Rx().ClearReceived();
    b.Bench.OnOKBtnClicked();
    EXPECT_EQ(b.Bench.RunningCount(), 2);
    ASSERT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 0; }));
    EXPECT_NE(c.Rx().Received().find("log versiona\r\n"), std::string::npos);
    EXPECT_EQ(a.Rx().Received().find("reset"), std::string::npos);
    EXPECT_EQ(a.Rx().Received().find("log versiona"), std::string::npos);
    EXPECT_TRUE(b.Bench.SummaryText().contains(QStringLiteral("Command: 1 of 1 commands sent")))
        << b.Bench.SummaryText().toStdString();
    EXPECT_EQ(b.Shell.Prompt.Messages.size(), 1);
    EXPECT_EQ(b.Shell.Prompt.Choosers.size(), 0);
    // The row keeps its values for the next run.
    EXPECT_EQ(b.Bench.BoardRow("C3").value(QRegressionDiag::COL_COMMAND), root.filePath("cmd.txt"));
}

TEST(RegressionDiag, RowsWithSettingsThatCannotWorkAreRefusedOneLineEach)
{
    RegressionBench b;
    QTemporaryDir root;
    FakeReceiver a(BoardRules("A1"));
    FakeRelayBoard relay;
    ASSERT_NE(b.OpenBoard(a), nullptr);
    ASSERT_TRUE(relay.Plug());
    ASSERT_NE(b.OpenRelay(relay.Name()), nullptr);
    // A relay module that cannot be opened (a silent device outside
    // professional mode): its tab stays, its port does not run.
    FakeRelayBoard unopened;
    ASSERT_TRUE(unopened.Plug());
    b.Shell.Manager.OnProfressionMode(false);
    QZvPortCtrlBase* pUnopened = b.Shell.Open(unopened.Name(), 9600);
    ASSERT_NE(pUnopened, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&]
        { return !pUnopened->isRunning() && !b.Shell.Prompt.Messages.filter("Port connection failed").isEmpty(); }));
    b.Open(root.path());
    const QString sRelay = QString::fromStdString(relay.Name());
    const QString sUnopened = QString::fromStdString(unopened.Name());
    struct CASE_T
    {
        std::vector<std::pair<int, QString>> Cells;
        QString Why;
    } const cases[] = {
        {{{QRegressionDiag::COL_RELAY_PORT, sRelay}, {QRegressionDiag::COL_ADDRESS, "256"}},
         "the relay address \"256\" is not a whole number from 1 to 247"},
        {{{QRegressionDiag::COL_RELAY_PORT, sRelay}, {QRegressionDiag::COL_ADDRESS, "0"}},
         "the relay address \"0\" is not a whole number from 1 to 247"},
        {{{QRegressionDiag::COL_RELAY_PORT, sRelay}, {QRegressionDiag::COL_AISLE, "9"}},
         "the relay channel \"9\" is not a whole number from 1 to 8"},
        {{{QRegressionDiag::COL_RELAY_PORT, "/dev/ttyUSB99"}}, "the relay port /dev/ttyUSB99 is not open"},
        {{{QRegressionDiag::COL_RELAY_PORT, sUnopened}},
         QStringLiteral("the relay port %1 is not open").arg(sUnopened)},
        {{{QRegressionDiag::COL_RESET, "abc"}}, "Reset \"abc\" is not a whole number of cycles"},
        {{{QRegressionDiag::COL_RECAQ, "1,5"}}, "Reacq \"1,5\" is not a number of hours"},
        {{{QRegressionDiag::COL_SERIAL_UPDATE, root.filePath("list.txt")}}, "is not an image list and baud rates"},
    };
    for (const CASE_T& c : cases)
    {
        for (int col = QRegressionDiag::COL_RESET; col < QRegressionDiag::COLUMNS; ++col)
            if (col != QRegressionDiag::COL_BOARD_ID && col != QRegressionDiag::COL_VERSION)
                b.SetCell(0, col, QString());
        b.SetCell(0, QRegressionDiag::COL_ADDRESS, "1");
        b.SetCell(0, QRegressionDiag::COL_AISLE, "1");
        for (const auto& [col, s] : c.Cells)
            b.SetCell(0, col, s);
        b.Shell.Prompt.Messages.clear();
        Check(b, 0);
        b.Bench.OnOKBtnClicked();
        EXPECT_EQ(b.Bench.WorkerCount(), 0) << c.Why.toStdString();
        ASSERT_EQ(b.Shell.Prompt.Messages.size(), 1) << c.Why.toStdString();
        EXPECT_TRUE(b.Shell.Prompt.Messages.at(0).contains(c.Why)) << b.Shell.Prompt.Messages.at(0).toStdString();
    }
    EXPECT_TRUE(relay.Frames().empty());
}

TEST(RegressionDiag, ABenchOfThreeBoardsRunsEveryTestAndReportsEachBoard)
{
    RegressionBench b;
    QTemporaryDir root;
    // Two firmware images and their list (GBK, one folder in Chinese), a command file.
    const QString sImages = QDir(root.path()).filePath(QStringLiteral("固件"));
    ASSERT_TRUE(QDir().mkpath(sImages));
    QByteArray images[2];
    for (int i = 0; i < 2; ++i)
    {
        images[i] = QByteArray(1500 + 700 * i, static_cast<char>('a' + i));
        QFile f(QDir(sImages).filePath(QStringLiteral("fw%1.img").arg(i + 1)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(images[i]);
    }
    const QString sList = root.filePath("images.txt");
    {
        QFile f(sList);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QTextCodec::codecForName("GBK")->fromUnicode(
            QStringLiteral("1,%1/fw1.img\r\n2,%1/fw2.img\r\n").arg(sImages)));
    }
    const QString sCommands = root.filePath("cmd.txt");
    {
        QFile f(sCommands);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("log versiona\nlog bestposa once\n");
    }

    // A is sound; B's upgrades never end (its loader is not on a port the
    // upgrade reaches); C never fixes again after a reset.
    RECEIVER_RULES_T rulesB = BoardRules("B2"), rulesC = BoardRules("C3");
    rulesB.Port = "COM3";
    rulesC.FixAfterReset = false;
    FakeReceiver a(BoardRules("A1")), boardB(rulesB), c(rulesC);
    FakeRelayBoard relay(1);
    FakeReceiver* boards[] = {&a, &boardB, &c};
    QZvPortCtrlBase* ports[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        ports[i] = b.OpenBoard(*boards[i]);
        ASSERT_NE(ports[i], nullptr);
        boards[i]->StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 40000, 100);
    }
    ASSERT_TRUE(relay.Plug());
    ASSERT_NE(b.OpenRelay(relay.Name()), nullptr);
    // The current tab is A's, which has a fix: C must be judged by its own port.
    b.Shell.Tabs.setCurrentIndex(b.Shell.Tabs.GetTabIndexByPortID(ports[0]->UniquePortID));

    REGRESSION_TIMING_T timing;
    timing.SecondMs = 3;
    timing.StatePollMs = 5;
    timing.StatusCopyMs = 50;
    b.Bench.SetTiming(timing);
    b.Open(root.path());
    const char* ids[] = {"A1", "B2", "C3"};
    for (int i = 0; i < 3; ++i)
    {
        const int n = b.RowOf(ids[i]);
        ASSERT_GE(n, 0);
        const std::pair<int, QString> cells[] = {
            {QRegressionDiag::COL_RESET, "2"},
            {QRegressionDiag::COL_FRESET, "2"},
            {QRegressionDiag::COL_RECAQ, "1"},
            // B, whose upgrades wait out the limit, runs the sequence at one rate.
            {QRegressionDiag::COL_SERIAL_UPDATE, sList + (i == 1 ? ";115200\\" : ";115200\\230400\\")},
            {QRegressionDiag::COL_COMMAND, sCommands},
            {QRegressionDiag::COL_RELAY_PORT, QString::fromStdString(relay.Name())},
            {QRegressionDiag::COL_ADDRESS, "1"},
            {QRegressionDiag::COL_AISLE, QString::number(i + 1)},
            // OK starts every row without a worker: a row is held back by a
            // cell that cannot be used until its turn.
            {QRegressionDiag::COL_HZ, "x"},
        };
        for (const auto& [col, s] : cells)
            b.SetCell(n, col, s);
    }
    // The limits on what a board answers end at the answer: each board is
    // given room for its banners, fixes and upgrades on a loaded machine
    // (a real upgrade goes through the pseudo-terminal), except where its
    // answer never comes and the limit is waited out: B's upgrades, C's
    // fixes. So each starts with its own timing, all three side by side.
    const auto start = [&](const char* pId, int nUpgradeLimit, int nFixSecondMs)
    {
        timing.ReplySecondMs = 30;
        timing.UpgradeRestartSeconds = nUpgradeLimit;
        timing.FixSecondMs = nFixSecondMs;
        b.Bench.SetTiming(timing);
        b.SetCell(b.RowOf(pId), QRegressionDiag::COL_HZ, QString());
        b.Bench.OnOKBtnClicked();
    };
    start("B2", 150, 20);
    start("C3", 10000, timing.SecondMs);
    start("A1", 10000, 20);
    ASSERT_EQ(b.Bench.RunningCount(), 3) << b.Shell.Prompt.Messages.join("\n").toStdString();
    // Progress reaches the table while the boards run.
    ASSERT_TRUE(WaitUntil(
        [&] { return b.Bench.BoardTable()->item(b.RowOf("A1"), QRegressionDiag::COL_RESET)->text().contains("//"); },
        60000));
    // 62 upgrades through pseudo-terminals: minutes under a thread checker.
    ASSERT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 0; }, 900000)) << b.Bench.SummaryText().toStdString();
    EXPECT_EQ(QRegressionMethod::LiveThreads(), 0);

    const QString sSummary = b.Bench.SummaryText();
    const QStringList blocks = sSummary.split(QRegularExpression("\n(?! )"));
    ASSERT_GE(blocks.size(), 3) << sSummary.toStdString();
    const QString sA = blocks.at(b.RowOf("A1")), sB = blocks.at(b.RowOf("B2")), sC = blocks.at(b.RowOf("C3"));
    for (const QString& s : {sA, sB, sC})
    {
        EXPECT_TRUE(s.contains(": finished")) << s.toStdString();
        EXPECT_TRUE(s.contains("Freset: 2 of 2 cycles passed")) << s.toStdString();
        EXPECT_TRUE(s.contains("Command: 2 of 2 commands sent")) << s.toStdString();
    }
    EXPECT_TRUE(sA.contains("Reset: 2 of 2 cycles passed")) << sA.toStdString();
    EXPECT_TRUE(sA.contains("SerialUpdate: 31 of 31 upgrades completed")) << sA.toStdString();
    EXPECT_FALSE(sA.contains("cycle ")) << sA.toStdString();
    QRegularExpressionMatch m = QRegularExpression("Reacq: (\\d+) of (\\d+) cycles reacquired").match(sA);
    ASSERT_TRUE(m.hasMatch()) << sA.toStdString();
    EXPECT_EQ(m.captured(1), m.captured(2));
    // C: no fix after its resets, none after the RF came back.
    EXPECT_TRUE(sC.contains("Reset: 0 of 2 cycles passed; cycle 1: no RTK fixed position after the reset; cycle 2: "
                            "no RTK fixed position after the reset"))
        << sC.toStdString();
    m = QRegularExpression("Reacq: 0 of (\\d+) cycles reacquired; cycle 1: no RTK fixed position after the RF came "
                           "back")
            .match(sC);
    EXPECT_TRUE(m.hasMatch()) << sC.toStdString();
    EXPECT_GT(m.captured(1).toInt(), 0);
    // B: every upgrade stuck and the board power-cycled on its own channel.
    EXPECT_TRUE(sB.contains("SerialUpdate: 0 of 16 upgrades completed; cycle 1: the upgrade did not end in time"))
        << sB.toStdString();
    EXPECT_TRUE(sB.contains(
        QStringLiteral("power-cycled through relay port %1 16 times").arg(QString::fromStdString(relay.Name()))))
        << sB.toStdString();
    EXPECT_TRUE(sSummary.endsWith("Relay channels power-cycled: 2")) << sSummary.toStdString();

    // The relay board took every frame: channel 2 off, then on again, 16 times.
    const std::vector<RELAY_FRAME_T> frames = relay.Frames();
    ASSERT_EQ(frames.size(), 32u);
    for (size_t i = 0; i < frames.size(); ++i)
    {
        EXPECT_TRUE(frames[i].bCrcGood);
        EXPECT_EQ(frames[i].Address, 1);
        EXPECT_EQ(frames[i].Coils, i % 2 == 0 ? 0x02 : 0x00) << i;
    }
    EXPECT_EQ(relay.Coils(), 0x00);

    // A took image 1, then the sequence at both rates.
    const std::vector<std::string> loaded = a.LoadedImages();
    ASSERT_EQ(loaded.size(), 31u);
    std::vector<int> order;
    for (const std::string& s : loaded)
        order.push_back(s.compare(0, images[0].size(), images[0].constData(), images[0].size()) == 0 ? 1 : 2);
    const std::vector<int> sequence = {2, 1, 2, 1, 2, 1, 2, 1, 2, 2, 2, 2, 2, 2, 1};
    std::vector<int> expected = {1};
    expected.insert(expected.end(), sequence.begin(), sequence.end());
    expected.insert(expected.end(), sequence.begin(), sequence.end());
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(boardB.LoadedImages().empty());

    // Each board logged each test into a file of its own, with its own data;
    // the ports open and close the last ones in their own threads.
    const QDir logs(QDir(root.path()).filePath(QDate::currentDate().toString("yyyy/yyyyMM/yyyyMMdd/RegressionTest")));
    QStringList expectedLogs;
    for (FakeReceiver* pBoard : boards)
        for (const char* pName :
             {"ResetTest__1hz_1", "FresetTest__1hz_1", "ReacqTest__0hz_1", "serialupdate__0hz_1", "CommandTest__0hz_1"})
            expectedLogs << QString::fromStdString(pBoard->Rx().Name()).replace('/', '_') + "_" + pName + ".log";
    EXPECT_TRUE(WaitUntil(
        [&]
        {
            for (const QString& s : expectedLogs)
                if (!logs.exists(s))
                    return false;
            return !ports[0]->IsLogging() && !ports[1]->IsLogging() && !ports[2]->IsLogging();
        },
        10000))
        << logs.entryList().join("\n").toStdString() << b.Shell.Prompt.Messages.join("\n").toStdString();
    for (int i = 0; i < 3; ++i)
    {
        const QString sPort = QString::fromStdString(boards[i]->Rx().Name()).replace('/', '_');
        const QString sUpdateLog = ReadAll(logs.filePath(sPort + "_serialupdate__0hz_1.log"));
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(sUpdateLog.contains(QStringLiteral("ID:") + ids[j]), i == j) << ids[i] << " log, ID " << ids[j];
        EXPECT_TRUE(ReadAll(logs.filePath(sPort + "_ResetTest__1hz_1.log")).contains("reset\r\n<OK"));
    }
    EXPECT_NE(c.Rx().Received().find("set BREAKRF 0\r\n"), std::string::npos);
    EXPECT_NE(a.Rx().Received().find("log bestposa once\r\n"), std::string::npos);
}

TEST(RegressionDiag, StoppingInTheMiddleOrClosingLeavesNoThreadRunning)
{
    QTemporaryDir root;
    for (bool bClose : {false, true})
    {
        FakeReceiver a(BoardRules("A1")), c(BoardRules("C3"));
        auto pBench = std::make_unique<RegressionBench>();
        RegressionBench& b = *pBench;
        ASSERT_NE(b.OpenBoard(a), nullptr);
        ASSERT_NE(b.OpenBoard(c), nullptr);
        REGRESSION_TIMING_T timing;
        timing.SecondMs = 1000;
        timing.StatePollMs = 5;
        b.Bench.SetTiming(timing);
        b.Open(root.path());
        for (int i = 0; i < 2; ++i)
        {
            b.SetCell(i, QRegressionDiag::COL_RESET, "1000");
            b.SetCell(i, QRegressionDiag::COL_RECAQ, "10");
        }
        b.Bench.OnOKBtnClicked();
        ASSERT_EQ(b.Bench.RunningCount(), 2);
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                return a.Rx().Received().find("reset\r\n") != std::string::npos &&
                       c.Rx().Received().find("reset\r\n") != std::string::npos;
            }));
        ASSERT_EQ(QRegressionMethod::LiveThreads(), 2);
        if (bClose)
        {
            pBench.reset();
            EXPECT_EQ(QRegressionMethod::LiveThreads(), 0);
            continue;
        }
        // Cancel stops the checked rows only.
        Check(b, 1);
        b.Bench.OnStopTimer();
        EXPECT_EQ(b.Bench.RunningCount(), 1);
        EXPECT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 1; }, 5000));
        b.Bench.findChild<QCheckBox*>("m_pSelectAllCheckBox")->click();
        b.Bench.OnStopTimer();
        EXPECT_EQ(b.Bench.RunningCount(), 0);
        ASSERT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 0; }, 5000));
        EXPECT_EQ(QRegressionMethod::LiveThreads(), 0);
        EXPECT_EQ(b.Bench.SummaryText().count(": stopped"), 2) << b.Bench.SummaryText().toStdString();
        // Neither board's log is left open.
        for (QZvPortCtrlBase* p : {b.Shell.Tabs.GetPortCtrl(0), b.Shell.Tabs.GetPortCtrl(1)})
            EXPECT_TRUE(WaitUntil([p] { return !p->IsLogging(); }, 5000));
    }
}

// A board whose power is cut for a restart gets it back when the bench goes
// in the middle of the restart: the frame that clears its coil reaches the
// relay board before the ports close. The channel cut is broadcast to the
// bench's workers as it happens.
TEST(RegressionDiag, ClosingTheBenchInTheMiddleOfARestartGivesTheBoardItsPowerBack)
{
    QTemporaryDir root;
    const QString sList = root.filePath("images.txt");
    {
        QFile f(sList);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1,/fw/ZV100_1.img\r\n2,/fw/ZV100_2.img\r\n");
    }
    // Its upgrade never ends: the loader is not on a port the upgrade reaches.
    RECEIVER_RULES_T rules = BoardRules("B2");
    rules.Port = "COM3";
    FakeReceiver board(rules);
    FakeRelayBoard relay(1);
    auto pBench = std::make_unique<RegressionBench>();
    RegressionBench& b = *pBench;
    ASSERT_NE(b.OpenBoard(board), nullptr);
    ASSERT_TRUE(relay.Plug());
    ASSERT_NE(b.OpenRelay(relay.Name()), nullptr);
    // The upgrade is given up at once; the power stays off for 4 s.
    REGRESSION_TIMING_T timing;
    timing.SecondMs = 800;
    timing.UpgradeRestartSeconds = 0;
    timing.StatePollMs = 5;
    b.Bench.SetTiming(timing);
    b.Open(root.path());
    QSignalSpy broadcast(&b.Bench, &QRegressionDiag::SignalOpenAllRelayChannel);
    b.SetCell(0, QRegressionDiag::COL_SERIAL_UPDATE, sList + ";115200\\");
    b.SetCell(0, QRegressionDiag::COL_RELAY_PORT, QString::fromStdString(relay.Name()));
    b.SetCell(0, QRegressionDiag::COL_ADDRESS, "1");
    b.SetCell(0, QRegressionDiag::COL_AISLE, "3");
    b.Bench.OnOKBtnClicked();
    ASSERT_EQ(b.Bench.RunningCount(), 1) << b.Shell.Prompt.Messages.join('\n').toStdString();
    ASSERT_TRUE(WaitUntil([&] { return relay.Coils() == 0x04; }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return broadcast.count() == 1; }, 5000));
    EXPECT_EQ(broadcast.at(0).at(0).value<uchar>(), 0x04);

    pBench.reset();
    EXPECT_EQ(QRegressionMethod::LiveThreads(), 0);
    EXPECT_TRUE(WaitUntil([&] { return relay.Coils() == 0x00; }, 5000));
    const std::vector<RELAY_FRAME_T> frames = relay.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].Coils, 0x04);
    EXPECT_EQ(frames[1].Coils, 0x00);
    EXPECT_TRUE(frames[1].bCrcGood);
    // Well before the restart would have ended.
    EXPECT_LT(frames[1].At - frames[0].At, std::chrono::milliseconds(3000));
}

// A board's fix is read from its own port, whatever log tells it: a board
// that outputs GGA alone passes its resets, one whose GGA says it has no fix
// after a reset fails them, whichever tab is current.
TEST(RegressionDiag, ABoardIsJudgedByItsOwnFixWhateverLogTellsIt)
{
    RegressionBench b;
    QTemporaryDir root;
    RECEIVER_RULES_T rulesC = BoardRules("C3");
    rulesC.FixAfterReset = false;
    FakeReceiver a(BoardRules("A1")), c(rulesC);
    QZvPortCtrlBase* pA = b.OpenBoard(a);
    ASSERT_NE(pA, nullptr);
    ASSERT_NE(b.OpenBoard(c), nullptr);
    a.StartStream(STREAM_NMEA, 40000, 100);
    c.StartStream(STREAM_NMEA, 40000, 100);
    b.Shell.Tabs.setCurrentIndex(b.Shell.Tabs.GetTabIndexByPortID(pA->UniquePortID));
    REGRESSION_TIMING_T timing;
    timing.SecondMs = 3;
    timing.ReplySecondMs = 30;
    timing.FixSecondMs = 20;
    timing.StatePollMs = 5;
    b.Bench.SetTiming(timing);
    b.Open(root.path());
    for (const char* pId : {"A1", "C3"})
        b.SetCell(b.RowOf(pId), QRegressionDiag::COL_RESET, "1");
    b.Bench.OnOKBtnClicked();
    ASSERT_EQ(b.Bench.RunningCount(), 2) << b.Shell.Prompt.Messages.join('\n').toStdString();
    ASSERT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 0; }, 60000));
    const QString sSummary = b.Bench.SummaryText();
    const QStringList blocks = sSummary.split(QRegularExpression("\n(?! )"));
    ASSERT_GE(blocks.size(), 2) << sSummary.toStdString();
    EXPECT_TRUE(blocks.at(b.RowOf("A1")).contains("Reset: 1 of 1 cycles passed")) << sSummary.toStdString();
    EXPECT_TRUE(blocks.at(b.RowOf("C3")).contains("Reset: 0 of 1 cycles passed; cycle 1: no RTK fixed position"))
        << sSummary.toStdString();
}
