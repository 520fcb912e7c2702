// The receiver status, message output and factory reset windows in the
// monitor, against two fake receivers: opened from their menu entries on the
// current port, what they send goes to that receiver whatever tab is current
// when the user presses OK.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "monitor/config/freset_config.h"
#include "monitor/config/msg_config.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"

TEST_F(MonitorTest, TheMessageOutputAndTheFactoryResetSendToTheReceiverTheyWereOpenedOn)
{
    FakeReceiver rxA, rxB;
    ASSERT_TRUE(rxA.Plug() && rxB.Plug());
    QZvPortCtrlBase* pA = TypeOpen(rxA.Rx().Name());
    QZvPortCtrlBase* pB = TypeOpen(rxB.Rx().Name());
    ASSERT_TRUE(pA && pB);
    ASSERT_TRUE(WaitUntil([&] { return pA->IsPropertyValid() && pB->IsPropertyValid(); }));

    // The receiver status dock, opened, asks the current receiver for GGA.
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pA->UniquePortID));
    Form().actionRecvStatus->trigger();
    EXPECT_TRUE(rxA.Rx().WaitForText("log gpgga ontime 1\r\n", 10000)) << rxA.Rx().Received();

    QFMsgConfig* pMsgConfig = W().pMsgConfig;
    QSignalSpy filled(&Window(), &QZorvikMonitor::SignalUpdateMsgConfigDiag);
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pA->UniquePortID));
    Form().actionMessageView->trigger();
    ASSERT_TRUE(pMsgConfig->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return !filled.isEmpty(); }));
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pB->UniquePortID));
    auto* pRate = pMsgConfig->findChild<QComboBox*>(QStringLiteral("GGAFreq"));
    ASSERT_NE(pRate, nullptr);
    pRate->setCurrentText(QStringLiteral("1Hz"));
    rxB.Rx().ClearReceived();
    pMsgConfig->findChild<QPushButton*>(QStringLiteral("NMEAOKButton"))->click();
    EXPECT_TRUE(rxA.Rx().WaitForText("log GPGGA 1\r\nunlog GPGLL\r\n", 10000)) << rxA.Rx().Received();
    EXPECT_TRUE(WaitUntil([&] { return !rxA.Logging().empty(); }));

    // The factory reset, started on A, asks, resets and replays A while B is current.
    QFresetConfig* pFreset = W().pFreset;
    // A port that is not current hands its bytes over once a second.
    pFreset->SetWaits(50, 10000, 4000);
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pA->UniquePortID));
    Form().actionFreset->trigger();
    ASSERT_TRUE(pFreset->isVisible());
    pFreset->findChild<QCheckBox*>(QStringLiteral("pMsgConfigCheckBox"))->setChecked(true);
    rxA.Rx().ClearReceived();
    pFreset->findChild<QPushButton*>(QStringLiteral("pOkBtn"))->click();
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pB->UniquePortID));
    ASSERT_TRUE(WaitUntil([&] { return !pFreset->IsRunning(); }));
    EXPECT_TRUE(rxA.Rx().WaitForText("LOG LOGLISTA\r\nfreset\r\nlog COM2 GPGGA ONTIME 1\r\n", 10000))
        << rxA.Rx().Received();
    EXPECT_EQ(Prompt.Messages.value(0), QStringLiteral("Succeeded|Restore factory Settings successfully"));
    // A typed command to B afterwards arrives alone.
    Type(QStringLiteral("log version"));
    ASSERT_TRUE(rxB.Rx().WaitForText("log version\r\n", 10000));
    for (const char* pSent : {"GPGGA", "LOGLISTA", "freset"})
        EXPECT_EQ(rxB.Rx().Received().find(pSent), std::string::npos) << rxB.Rx().Received();
}
