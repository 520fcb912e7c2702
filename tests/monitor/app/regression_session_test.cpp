// The regression bench in the monitor: closing the monitor while a board's
// power is cut for a restart gives the board its power back before the
// ports close; the relay board records the frame that clears its coil.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>

#include "monitor/ports/port_manager.h"
#include "monitor/tools/regression_diag.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/fake_relay_board.h"

TEST_F(MonitorTest, ClosingTheMonitorInTheMiddleOfARestartGivesTheBoardItsPowerBack)
{
    QTemporaryDir root;
    const QString sList = root.filePath("images.txt");
    {
        QFile f(sList);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1,/fw/ZV100_1.img\r\n2,/fw/ZV100_2.img\r\n");
    }
    // Its upgrades never end: the loader is not on a port the upgrade reaches.
    RECEIVER_RULES_T rules;
    rules.Port = "COM3";
    FakeReceiver board(rules);
    FakeRelayBoard relay(5);
    ASSERT_TRUE(board.Plug() && relay.Plug());
    QZvPortCtrlBase* pBoard = TypeOpen(board.Rx().Name());
    ASSERT_NE(pBoard, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return pBoard->IsPropertyValid(); }));
    // The relay module never answers the property query: professional mode.
    W().pPortManager->OnProfressionMode(true);
    QZvPortCtrlBase* pRelay = TypeOpen(relay.Name(), 9600);
    ASSERT_NE(pRelay, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return pRelay->isRunning(); }));

    QRegressionDiag* pBench = W().pRegression;
    REGRESSION_TIMING_T timing;
    timing.SecondMs = 800; // the power would stay off for 4 s
    timing.UpgradeRestartSeconds = 0;
    timing.StatePollMs = 5;
    pBench->SetTiming(timing);
    const QString sRootFile = QRegressionDiag::LogRootFile();
    QDir().mkpath(QFileInfo(sRootFile).path());
    {
        QFile f(sRootFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(root.path().toUtf8());
    }
    Form().actionRegression->trigger();
    ASSERT_TRUE(pBench->isVisible());
    QTableWidget* pTable = pBench->BoardTable();
    ASSERT_EQ(pTable->rowCount(), 1);
    pTable->item(0, QRegressionDiag::COL_SERIAL_UPDATE)->setText(sList + ";115200\\");
    pTable->item(0, QRegressionDiag::COL_RELAY_PORT)->setText(QString::fromStdString(relay.Name()));
    pTable->item(0, QRegressionDiag::COL_ADDRESS)->setText("5");
    pTable->item(0, QRegressionDiag::COL_AISLE)->setText("2");
    pBench->OnOKBtnClicked();
    ASSERT_EQ(pBench->RunningCount(), 1) << Prompt.Messages.join('\n').toStdString();
    ASSERT_TRUE(WaitUntil([&] { return relay.Coils() == 0x02; }, 30000));

    Prompt.Answers = {true};
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(QRegressionMethod::LiveThreads(), 0);
    EXPECT_TRUE(WaitUntil([&] { return relay.Coils() == 0x00; }, 5000));
    const std::vector<RELAY_FRAME_T> frames = relay.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].Address, 5);
    EXPECT_EQ(frames[0].Coils, 0x02);
    EXPECT_EQ(frames[1].Coils, 0x00);
    EXPECT_TRUE(frames[1].bCrcGood);
    EXPECT_LT(frames[1].At - frames[0].At, std::chrono::milliseconds(3000));
    W().pPortManager->OnProfressionMode(false);
}
