// The factory reset window: the stored user configuration rewritten as the
// commands that set it again; the sequence of requests, reset, rate and
// replay on the port where it started; and a whole reset of a fake receiver
// on a pseudo-terminal at another rate, whose logs and settings come back.
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "monitor/config/freset_config.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "status_road_fixture.h"

namespace
{
class FresetTest : public StatusRoadTest
{
public:
    FresetTest()
    {
        Dialog.m_pPortTab = &Shell.Tabs;
        Dialog.SetWaits(20, 2000, 50);
        QObject::connect(&Dialog, &QFresetConfig::SignalRequestItem, &Shell.Tabs, &CPortTab::OnRequestItem);
        QObject::connect(&Dialog, &QFresetConfig::SignalSetBaudrate, &Shell.Tabs, &CPortTab::OnSetBaudrateTab);
        QObject::connect(&Dialog, &QFresetConfig::SignalSendCMD, &Shell.Manager, &QZvPortManager::OnSendPortData1Port);
    }

    void Tick(bool bUser, bool bMsg)
    {
        Dialog.findChild<QCheckBox*>(QStringLiteral("pUserConfigCheckBox"))->setChecked(bUser);
        Dialog.findChild<QCheckBox*>(QStringLiteral("pMsgConfigCheckBox"))->setChecked(bMsg);
    }
    void PressOK()
    {
        Dialog.show();
        QTest::mouseClick(Dialog.findChild<QPushButton*>(QStringLiteral("pOkBtn")), Qt::LeftButton);
    }
    bool Done() { return WaitUntil([&] { return !Dialog.IsRunning(); }); }

    QFresetConfig Dialog;
};

const char kBanner[] = "Halvorne User command server\r\n";

QByteArray UserConfigReply(const QStringList& Lines)
{
    QString s = QStringLiteral("<USERCONFIG\r\n");
    for (const QString& sLine : Lines)
        s += sLine + QStringLiteral("\r\n");
    return (s + QStringLiteral("<USERCONFIG OK\r\n")).toUtf8();
}
} // namespace

TEST_F(FresetTest, StoredUserConfigurationBecomesTheCommandsThatSetItAgain)
{
    const struct
    {
        const char* pLine;
        const char* pOut;
    } cases[] = {
        {"ECUTOFF USER GPS 5.0 GLO 10.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0",
         "ECUTOFF GPS 5.0\r\nECUTOFF GLO 10.0\r\nECUTOFF GAL 5.0\r\nECUTOFF BDS 5.0\r\nECUTOFF SBAS 5.0\r\n"
         "ECUTOFF QZSS 5.0\r\n"},
        {"ECUTOFF USER GPS 0.0 GLO 0.0 GAL 0.0 BDS 0.0 SBAS 0.0 QZSS 0.0", ""},
        // Not the default text, so not the default.
        {"ECUTOFF USER GPS 0.0 GLO 0.0 GAL 0.0 BDS 0.0 SBAS 0.0 QZSS 0.0 ",
         "ECUTOFF GPS 0.0\r\nECUTOFF GLO 0.0\r\nECUTOFF GAL 0.0\r\nECUTOFF BDS 0.0\r\nECUTOFF SBAS 0.0\r\n"
         "ECUTOFF QZSS 0.0\r\n"},
        {"ECUTOFF USER GPS 5.0 GLO 10.0", ""},
        {"RTKECUTOFF USER GPS 15.0 GLO 15.0 GAL 15.0 BDS 15.0 SBAS 15.0 QZSS 15.0", ""},
        {"RTKECUTOFF USER GPS 10.0 GLO 12.5 GAL 15.0 BDS 15.0 SBAS 15.0 QZSS 20.0",
         "RTKECUTOFF GPS 10.0\r\nRTKECUTOFF GLO 12.5\r\nRTKECUTOFF GAL 15.0\r\nRTKECUTOFF BDS 15.0\r\n"
         "RTKECUTOFF SBAS 15.0\r\nRTKECUTOFF QZSS 20.0\r\n"},
        {"LOCKOUT GPS 0X00000005", "LOCKOUT GPS 1\r\nLOCKOUT GPS 3\r\n"},
        {"LOCKOUT BDS 0X80000000", "LOCKOUT BDS 32\r\n"},
        {"LOCKOUT GAL 0X00000000", ""},
        {"LOCKOUT GLO 5", ""},
        {"NETCONFIG DHCP ZV100", ""},
        {"NETCONFIG STATIC 192.168.1.20 255.255.255.0 192.168.1.1 ZV100",
         "NETCONFIG STATIC 192.168.1.20 255.255.255.0 192.168.1.1 ZV100\r\n"},
        {"NETCONFIG is not Complete", ""},
        {"POSAVE OFF 1 2", "POSAVE OFF\r\n"},
        {"POSAVE ON 0.5 2 4", "POSAVE ON 0.5 2 4\r\n"},
        {"POSAVE", ""},
        {"SETINSTRANSLATION ANT1 0.1 0.2 0.3 IMUBODY", "SETINSTRANSLATION ANT1 0.1 0.2 0.3  \r\n"},
        {"ICOMCONFIG ICOM1 NONE", ""},
        {"ICOMCONFIG ICOM1,TCP,:3001", "ICOMCONFIG ICOM1 TCP  3001\r\n"},
        {"BASEID 7", ""},
        {"BASEANTENNAMODEL NONE", ""},
        {"NTRIPCONFIG NCOM1 CLIENT V2 caster.invalid:2101 MP1 u p", ""},
        {"COM COM1 115200", ""},
        {"PPS ENABLE GPS POSITIVE 0.5 1000 0 0", "PPS ENABLE GPS POSITIVE 0.5 1000 0 0\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dialog.Userconfig({QLatin1String(c.pLine)}), QLatin1String(c.pOut)) << c.pLine;
    // In the order stored.
    EXPECT_EQ(Dialog.Userconfig({QStringLiteral("POSAVE OFF"), QStringLiteral("FIX NONE"),
                                 QStringLiteral("LOCKOUT GPS 0X2")}),
              QStringLiteral("POSAVE OFF\r\nFIX NONE\r\nLOCKOUT GPS 2\r\n"));
}

TEST_F(FresetTest, ResetsAndReplaysOnThePortWhereItStarted)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    CMemoryPortCtrl& other = AddMemoryPort();
    QSignalSpy masks(&Dialog, &QFresetConfig::SignalFresetOkBtnClicked);
    QSignalSpy queries(&Shell.Tabs, &CPortTab::SignalSendCMD);
    QSignalSpy replays(&Dialog, &QFresetConfig::SignalSendCMD);
    const QByteArray logList = LogListReply({{"COM1", "GPGGA", "ONTIME", 0.05},
                                             {"COM2", "GPGSV", "ONCHANGED", 0},
                                             {"COM2", "FUTURELOG9B", "ONTIME", 1234567},
                                             {"COM3", "RTCM1074", "ONTIME", 1}});
    const QStringList userConfig = {"LOCKOUT GPS 0X00000005", "BASEID 7", "POSAVE ON 0.5 2 4"};
    // A long period goes back as its digits: "1.23457e+06" is no period a
    // receiver reads, and not the one it had.
    const std::string sLogs = "log COM1 GPGGA ONTIME 0.05\r\nlog COM2 GPGSV ONCHANGED\r\n"
                              "log COM2 FUTURELOG9B ONTIME 1234567\r\nlog COM3 RTCM1074 ONTIME 1\r\n";
    const std::string sUser = "LOCKOUT GPS 1\r\nLOCKOUT GPS 3\r\nPOSAVE ON 0.5 2 4\r\n";
    const struct
    {
        const char* pName;
        bool bUser, bMsg;
        bool bStoreEmpty;
        std::vector<uint> Masks;
        std::string Replay;
        QStringList Boxes;
    } cases[] = {
        {"the message output",
         false,
         true,
         false,
         {4, 0, 256},
         sLogs,
         {"Succeeded|Restore factory Settings successfully"}},
        {"the user configuration",
         true,
         false,
         false,
         {0, 1, 256},
         sUser,
         {"Succeeded|Restore factory Settings successfully"}},
        {"both: the logs first",
         true,
         true,
         false,
         {4, 1, 256},
         sLogs + sUser,
         {"Succeeded|Restore factory Settings successfully"}},
        {"no user configuration stored",
         true,
         true,
         true,
         {4, 1, 256},
         sLogs,
         {"Error|Userconfig List is empty", "Succeeded|Restore factory Settings successfully"}},
    };
    // The receiver shows its start-up banner once the reset has reached it.
    QObject::connect(&Dialog, &QFresetConfig::SignalRequestItem, &Shell.Tabs,
                     [&](int, uint Mask)
                     {
                         if (Mask == STATUS_MSG_FRESET)
                             port.Receive(kBanner);
                     });
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        masks.clear(), queries.clear(), replays.clear(), Shell.Prompt.Messages.clear();
        Shell.Tabs.setCurrentIndex(Tab(port));
        Tick(c.bUser, c.bMsg);
        PressOK();
        // The user goes to another tab while the receiver answers.
        Shell.Tabs.setCurrentIndex(Tab(other));
        PressOK(); // a second OK while it runs does nothing
        port.Receive((c.bMsg ? logList : QByteArray()) +
                     (c.bUser ? UserConfigReply(c.bStoreEmpty ? QStringList() : userConfig) : QByteArray()));
        ASSERT_TRUE(Done());
        std::vector<uint> emitted;
        for (const QList<QVariant>& m : masks)
            emitted.push_back(m.at(0).toUInt());
        EXPECT_EQ(emitted, c.Masks);
        // Every request, the reset with them, went to the port where it started.
        for (const QList<QVariant>& q : queries)
            EXPECT_EQ(q.at(0).toUInt(), port.UniquePortID);
        EXPECT_TRUE(queries.last().at(1).toByteArray().toLower().contains("freset"));
        ASSERT_EQ(replays.count(), 1);
        EXPECT_EQ(replays.at(0).at(0).toUInt(), port.UniquePortID);
        EXPECT_EQ(replays.at(0).at(1).toByteArray().toStdString(), c.Replay);
        EXPECT_EQ(Shell.Prompt.Messages, c.Boxes);
        EXPECT_FALSE(Dialog.isVisible());
    }
}

TEST_F(FresetTest, AResetIsAskedForAndWithoutTheSettingsToSaveNotDone)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    QSignalSpy masks(&Dialog, &QFresetConfig::SignalFresetOkBtnClicked);
    QSignalSpy replays(&Dialog, &QFresetConfig::SignalSendCMD);

    // Nothing ticked: a question; "No" sends nothing, "Yes" resets and sends an empty replay.
    Tick(false, false);
    Shell.Prompt.Answers = {false};
    PressOK();
    ASSERT_TRUE(Done());
    EXPECT_EQ(masks.count(), 0);
    EXPECT_EQ(Shell.Prompt.Questions.value(0),
              QStringLiteral("warning|Are you sure to restore factory Settings?\nThe configuration will be cleared "
                             "when the factory Settings are restored"));
    EXPECT_TRUE(Dialog.isVisible());
    Shell.Prompt.Answers = {true};
    PressOK();
    ASSERT_TRUE(Done());
    ASSERT_EQ(masks.count(), 1);
    EXPECT_EQ(masks.at(0).at(0).toUInt(), 256u);
    ASSERT_EQ(replays.count(), 1);
    EXPECT_TRUE(replays.at(0).at(1).toByteArray().isEmpty());
    // The receiver never showed its start-up banner: not reported as done.
    EXPECT_EQ(Shell.Prompt.Messages, QStringList(QStringLiteral("Error|The receiver did not confirm the factory reset.")));

    // The receiver does not send what is to be saved: no reset.
    masks.clear(), replays.clear(), Shell.Prompt.Messages.clear();
    Dialog.SetWaits(20, 200, 50);
    Tick(true, true);
    PressOK();
    ASSERT_TRUE(Done());
    ASSERT_EQ(masks.count(), 2);
    EXPECT_EQ(replays.count(), 0);
    EXPECT_EQ(Shell.Prompt.Messages, QStringList(QStringLiteral("Error|The receiver did not send the settings to "
                                                                "save: the factory reset was not done, and its "
                                                                "settings are kept.")));

    // The port goes while the window waits: nothing more is sent.
    masks.clear(), Shell.Prompt.Messages.clear();
    Dialog.SetWaits(100, 2000, 50);
    PressOK();
    Shell.Tabs.OnClosePort(Tab(port));
    ASSERT_TRUE(Done());
    EXPECT_EQ(masks.count(), 2);
    EXPECT_EQ(replays.count(), 0);
    EXPECT_EQ(Shell.Prompt.Messages.size(), 1);

    // No port at all.
    Shell.Prompt.Messages.clear();
    PressOK();
    EXPECT_EQ(Shell.Prompt.Messages,
              QStringList(QStringLiteral("Warning|No receiver port is open: nothing was sent.")));
    EXPECT_FALSE(Dialog.IsRunning());
}

TEST_F(FresetTest, AWholeResetOfASerialReceiverAtAnotherRateBringsItsLogsAndSettingsBack)
{
    RECEIVER_RULES_T rules;
    rules.Rate = 9600;
    rules.QuietLogs = {"GPGLL"};
    rules.UserConfig = {"ECUTOFF USER GPS 5.0 GLO 10.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0", "LOCKOUT GPS 0X00000005",
                        "BASEID 7", "NTRIPCONFIG NCOM1 CLIENT V2 caster.invalid:2101 MP1 u p"};
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = Shell.Open(rx.Rx().Name(), 9600);
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return pPort->IsPropertyValid(); }));
    Shell.Manager.OnSendPortData1Port(pPort->UniquePortID, "log bestposb ontime 1\r\nlog gpgll ontime 0.5\r\n");
    ASSERT_TRUE(WaitUntil([&] { return rx.Logging().size() == 2; }));
    // The receiver acts on a line before it is counted as received: clear
    // only once the whole line is there.
    ASSERT_TRUE(rx.Rx().WaitForText("log gpgll ontime 0.5\r\n", 5000));
    rx.Rx().ClearReceived();

    Dialog.SetWaits(200, 20000, 3000);
    Tick(true, true);
    PressOK();
    ASSERT_TRUE(WaitUntil([&] { return !Dialog.IsRunning(); }, 60000));
    EXPECT_EQ(Shell.Prompt.Messages, QStringList(QStringLiteral("Succeeded|Restore factory Settings successfully")));
    // The queries, the reset and the rate change at 9600 baud, then the
    // replay at 115200, in that order.
    const std::string sReplay = "log COM2 BESTPOSB ONTIME 1\r\nlog COM2 GPGLL ONTIME 0.5\r\n"
                                "ECUTOFF GPS 5.0\r\nECUTOFF GLO 10.0\r\nECUTOFF GAL 5.0\r\nECUTOFF BDS 5.0\r\n"
                                "ECUTOFF SBAS 5.0\r\nECUTOFF QZSS 5.0\r\nLOCKOUT GPS 1\r\nLOCKOUT GPS 3\r\n";
    EXPECT_TRUE(rx.Rx().WaitForText(sReplay, 20000));
    EXPECT_EQ(rx.Rx().Received(), "LOG LOGLISTA\r\nUSERCONFIG\r\nfreset\r\n\r\nCOM 115200\r\n" + sReplay);
    EXPECT_EQ(static_cast<QZvUartPortCtrl*>(pPort)->GetBaudRate(), 115200u);
    EXPECT_EQ(rx.Rate(), 115200u);
    // The receiver took the replay: its logs run again.
    ASSERT_TRUE(WaitUntil([&] { return rx.Logging().size() == 2; }));
    EXPECT_EQ(rx.Logging()[0].Name, "BESTPOSB");
    EXPECT_EQ(rx.Logging()[1].Period, 0.5);
}

TEST_F(FresetTest, AResetOverTcpChangesNoRate)
{
    RECEIVER_RULES_T rules;
    rules.UserConfig = {"LOCKOUT GPS 0X00000005"};
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = Open(rx);
    ASSERT_NE(pPort, nullptr);
    Shell.Manager.OnSendPortData1Port(pPort->UniquePortID, "log bestposb ontime 1\r\n");
    ASSERT_TRUE(WaitUntil([&] { return rx.Logging().size() == 1; }));
    ASSERT_TRUE(rx.Net().WaitForText("log bestposb ontime 1\r\n", 5000));
    rx.Net().ClearReceived();
    QSignalSpy rates(&Dialog, &QFresetConfig::SignalSetBaudrate);

    Dialog.SetWaits(200, 20000, 3000);
    Tick(true, true);
    PressOK();
    ASSERT_TRUE(WaitUntil([&] { return !Dialog.IsRunning(); }, 60000));
    EXPECT_EQ(Shell.Prompt.Messages, QStringList(QStringLiteral("Succeeded|Restore factory Settings successfully")));
    // The queries and the reset, then the replay: no rate change between them.
    const std::string sReplay = "log COM2 BESTPOSB ONTIME 1\r\nLOCKOUT GPS 1\r\nLOCKOUT GPS 3\r\n";
    EXPECT_TRUE(rx.Net().WaitForText(sReplay, 20000));
    EXPECT_EQ(rx.Net().Received(), "LOG LOGLISTA\r\nUSERCONFIG\r\nfreset\r\n" + sReplay);
    EXPECT_EQ(rates.count(), 0);
    ASSERT_TRUE(WaitUntil([&] { return rx.Logging().size() == 1; }));
}
