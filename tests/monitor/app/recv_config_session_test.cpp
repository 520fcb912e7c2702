// The receiver configuration dialog in the monitor, against two fake
// receivers: opened from its menu entry on the current port, it is filled by
// that receiver's reply, and what it sends goes to that receiver whatever tab
// is current when the user presses the button.
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "monitor/config/recv_config.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"

TEST_F(MonitorTest, TheReceiverConfigurationSendsToTheReceiverItWasOpenedOn)
{
    RECEIVER_RULES_T rulesA;
    rulesA.UserConfig = {"PPSCONFIG GPS ENABLE POSITIVE 250 1000 0 0"};
    FakeReceiver rxA(rulesA), rxB;
    ASSERT_TRUE(rxA.Plug() && rxB.Plug());
    QZvPortCtrlBase* pA = TypeOpen(rxA.Rx().Name());
    QZvPortCtrlBase* pB = TypeOpen(rxB.Rx().Name());
    ASSERT_TRUE(pA && pB);
    ASSERT_TRUE(WaitUntil([&] { return pA->IsPropertyValid() && pB->IsPropertyValid(); }));

    QZvRecvConfig* pDialog = W().pRecvConfig;
    auto* pWidth = pDialog->findChild<QLineEdit*>(QStringLiteral("pPpsconfigWidth"));
    auto* pOK = pDialog->findChild<QPushButton*>(QStringLiteral("pPPSOK"));
    ASSERT_TRUE(pWidth && pOK);
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pA->UniquePortID));
    Form().actionConfigDiag->trigger();
    ASSERT_TRUE(pDialog->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return pWidth->text() == QStringLiteral("250"); }));

    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pB->UniquePortID));
    rxB.Rx().ClearReceived();
    pDialog->findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(2);
    pOK->click();
    const std::string sSent = "PPSCONFIG GPS Enable POSITIVE 250 1000 0 0\r\nsaveconfig\r\n";
    EXPECT_TRUE(rxA.Rx().WaitForText(sSent, 10000)) << rxA.Rx().Received();
    // A command typed to B afterwards arrives alone.
    Type(QStringLiteral("log version"));
    ASSERT_TRUE(rxB.Rx().WaitForText("log version\r\n", 10000));
    EXPECT_EQ(rxB.Rx().Received().find("PPSCONFIG"), std::string::npos) << rxB.Rx().Received();
}
