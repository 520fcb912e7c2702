// The INS configuration dialog in the monitor, against two fake receivers:
// opened from its menu entry on the current port, it is filled by that
// receiver's stored configuration, and what it sends goes to that receiver
// whatever tab is current when the user presses the button.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "monitor/ins/ins_config_diag.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"

TEST_F(MonitorTest, TheInsConfigurationSendsToTheReceiverItWasOpenedOn)
{
    RECEIVER_RULES_T rulesA;
    rulesA.UserConfig = {"SETINSROTATION RBV 0 0 -90 1 1 2"};
    FakeReceiver rxA(rulesA), rxB;
    ASSERT_TRUE(rxA.Plug() && rxB.Plug());
    QZvPortCtrlBase* pA = TypeOpen(rxA.Rx().Name());
    QZvPortCtrlBase* pB = TypeOpen(rxB.Rx().Name());
    ASSERT_TRUE(pA && pB);
    ASSERT_TRUE(WaitUntil([&] { return pA->IsPropertyValid() && pB->IsPropertyValid(); }));

    QZvINSConfig* pDialog = W().pINSConfig;
    auto* pZ = pDialog->findChild<QLineEdit*>(QStringLiteral("pMountingZ"));
    auto* pOK = pDialog->findChild<QPushButton*>(QStringLiteral("pMountingOKButton"));
    ASSERT_TRUE(pZ && pOK);
    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pA->UniquePortID));
    Form().m_actionINSConfig->trigger();
    ASSERT_TRUE(pDialog->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return pZ->text() == QStringLiteral("-90"); }));

    Tabs().setCurrentIndex(Tabs().GetTabIndexByPortID(pB->UniquePortID));
    rxB.Rx().ClearReceived();
    pDialog->findChild<QTabWidget*>(QStringLiteral("pINSWindow"))->setCurrentIndex(1);
    pOK->click();
    EXPECT_TRUE(rxA.Rx().WaitForText("SETINSROTATION RBV 0 0 -90 1 1 2\r\n", 10000)) << rxA.Rx().Received();
    // A command typed to B afterwards arrives alone.
    Type(QStringLiteral("log version"));
    ASSERT_TRUE(rxB.Rx().WaitForText("log version\r\n", 10000));
    EXPECT_EQ(rxB.Rx().Received().find("SETINSROTATION"), std::string::npos) << rxB.Rx().Received();
}
