// The tracking-quality loop in the monitor: the main window's TQ On and Off
// and the check window's Check button drive one loop with one state; each
// start asks for the record file, offering the last one, and a folder is
// refused when it is chosen.
#include <QFile>
#include <QTemporaryDir>

#include "monitor/ins/config_check.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/tools/product_mode_diag.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"

namespace
{
QByteArray Bytes(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST_F(MonitorTest, TheTrackingQualityLoopHasOneStateAndAPathPerRun)
{
    RECEIVER_RULES_T rules;
    rules.TqRepeats = true;
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = TypeOpen(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    QConfigCheck* pCheck = W().pConfigCheck;
    pCheck->SetTqPeriodMs(50);
    QTemporaryDir dir;
    const QString sFirst = dir.filePath("first.txt"), sSecond = dir.filePath("second.txt");
    for (const QString& s : {sFirst, sSecond})
    {
        QFile file(s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    // A folder is no record file.
    Prompt.Texts = {dir.path()};
    Form().actionTqReportOn->trigger();
    EXPECT_EQ(Prompt.Messages.value(0), QStringLiteral("Error|The input is not the path!"));
    EXPECT_FALSE(pCheck->IsTqLoopRunning());

    Prompt.Texts = {sFirst};
    Form().actionTqReportOn->trigger();
    EXPECT_TRUE(pCheck->IsTqLoopRunning());
    ASSERT_TRUE(WaitUntil([&] { return Bytes(sFirst).contains("Master"); }));

    // Stopped from the Check button, the loop starts again from TQ On, into another file.
    Prompt.Answers = {true};
    pCheck->OnSignalConfigCheckBtnClickd();
    EXPECT_FALSE(pCheck->IsTqLoopRunning());
    Prompt.Texts = {sSecond};
    Form().actionTqReportOn->trigger();
    EXPECT_TRUE(pCheck->IsTqLoopRunning());
    ASSERT_TRUE(WaitUntil([&] { return Bytes(sSecond).contains("Master"); }));
    EXPECT_EQ(Prompt.Choosers, QStringList({"Path Input", "Path Input", "Path Input"}));

    // TQ On while it runs changes nothing; TQ Off stops it.
    Form().actionTqReportOn->trigger();
    EXPECT_EQ(Prompt.Choosers.size(), 3);
    Form().actionTqReportOff->trigger();
    EXPECT_FALSE(pCheck->IsTqLoopRunning());
}

// The status requests of the check window and of production mode reach the
// tab set as the main window wires them: the check's for the current tab, the
// production mode's for the tab it names.
TEST_F(MonitorTest, TheCheckAndProductionModeRequestsReachTheirReceivers)
{
    FakeReceiver rxA, rxB;
    ASSERT_TRUE(rxA.Plug() && rxB.Plug());
    QZvPortCtrlBase* pA = TypeOpen(rxA.Rx().Name());
    QZvPortCtrlBase* pB = TypeOpen(rxB.Rx().Name());
    ASSERT_TRUE(pA && pB);
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pA->UniquePortID));
    emit W().pConfigCheck->SignalConfigCheckBtnClickd(STATUS_MSG_POSFREQ);
    EXPECT_TRUE(rxA.Rx().WaitForText("posfreq\r\n", 10000)) << rxA.Rx().Received();
    emit W().pProductMode->SignalProductModeSendMask(Tabs().GetTabIndexByPortID(pB->UniquePortID), STATUS_MSG_HWINFO);
    EXPECT_TRUE(rxB.Rx().WaitForText("hwinfo\r\n", 10000)) << rxB.Rx().Received();
    EXPECT_EQ(rxA.Rx().Received().find("hwinfo"), std::string::npos);
}
