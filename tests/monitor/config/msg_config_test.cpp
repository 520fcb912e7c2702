// The message output window against fake receivers, driven as a user drives
// it: opened on the current port, its choices sent as exact LOG and UNLOG
// lines to that receiver, and the receiver's log list reply setting the boxes
// to what it outputs on the port the monitor talks through, from that port's
// reply only.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "monitor/config/msg_config.h"
#include "monitor/shell/monitor_translations.h"
#include "status_road_fixture.h"

namespace
{
class MsgConfigTest : public StatusRoadTest
{
public:
    MsgConfigTest()
    {
        OnReply = [this](uint Mask)
        {
            // The main window hands every log list reply to the window, shown or not.
            if ((Mask & STATUS_MSG_LOGLIST) != 0 && m_pDialog != nullptr)
                m_pDialog->OnUpdateDiag(&Shell.Tabs);
        };
        NewDialog();
    }

    QFMsgConfig& NewDialog()
    {
        m_pDialog = std::make_unique<QFMsgConfig>();
        m_pDialog->m_pPortTab = &Shell.Tabs;
        QObject::connect(m_pDialog.get(), &QFMsgConfig::SignalSendMsgToPort, &Shell.Manager,
                         &QZvPortManager::OnSendPortData1Port);
        return *m_pDialog;
    }
    QFMsgConfig& Dialog() { return *m_pDialog; }

    // The menu entry: the window opens on the current port, which is asked for its log list.
    void Menu()
    {
        Dialog().OnShowDialog();
        Shell.Tabs.OnRequestLoglistMsg();
    }

    template <typename T> T* W(const QString& sName)
    {
        T* p = Dialog().findChild<T*>(sName);
        EXPECT_NE(p, nullptr) << sName.toStdString();
        return p;
    }
    QString Rate(const char* pName) { return W<QComboBox>(QLatin1String(pName) + "Freq")->currentText(); }
    QString Type(const char* pName) { return W<QComboBox>(QLatin1String(pName) + "Type")->currentText(); }
    void SetRate(const char* pName, const char* pRate)
    {
        QComboBox* p = W<QComboBox>(QLatin1String(pName) + "Freq");
        p->setCurrentIndex(p->findText(QLatin1String(pRate)));
        ASSERT_GE(p->currentIndex(), 0) << pRate;
    }
    void SetType(const char* pName, const char* pType)
    {
        W<QComboBox>(QLatin1String(pName) + "Type")->setCurrentText(QLatin1String(pType));
    }
    // The RTCM box of a message in a version row (0 RTCM3.2, 1 RTCM3.0, 2 RTCM2.3).
    QCheckBox* Rtcm(const char* pName, int iRow)
    {
        const auto boxes = Dialog().findChildren<QCheckBox*>(QLatin1String(pName) + "Check");
        auto* pGrid = Dialog().findChild<QGridLayout*>(QStringLiteral("MsgRTCMGridLay"));
        for (QCheckBox* p : boxes)
        {
            int r = -1, c, rs, cs;
            pGrid->getItemPosition(pGrid->indexOf(p), &r, &c, &rs, &cs);
            if (r == iRow)
                return p;
        }
        ADD_FAILURE() << pName << " in row " << iRow;
        return boxes.value(0);
    }
    bool Version(const char* pVersion) { return W<QRadioButton>(QLatin1String(pVersion) + "Check")->isChecked(); }
    // Brings the button's tab forward and clicks it.
    void Press(const QString& sButton)
    {
        QPushButton* p = W<QPushButton>(sButton);
        auto* pTabs = W<QTabWidget>(QStringLiteral("MsgConfigNameTab"));
        pTabs->setCurrentWidget(p->parentWidget());
        QTest::mouseClick(p, Qt::LeftButton);
    }

private:
    std::unique_ptr<QFMsgConfig> m_pDialog;
};

std::string Lines(std::initializer_list<const char*> Lines)
{
    std::string s;
    for (const char* p : Lines)
        s += std::string(p) + "\r\n";
    return s;
}
} // namespace

TEST_F(MsgConfigTest, TickedMessagesGoOutAsExactLinesAndShowTickedFromTheLogListOnReopening)
{
    RECEIVER_RULES_T rules;
    // What the fake cannot stream it still takes and lists, as a receiver does.
    rules.QuietLogs = {"KSXT", "RTCM1006", "RTCM1033", "RTCM1124", "INSPVAXB"};
    FakeReceiver rx(rules), other;
    QZvPortCtrlBase* pPort = Open(rx);
    QZvPortCtrlBase* pOther = Open(other);
    ASSERT_TRUE(pPort && pOther);
    rx.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 30000);
    Shell.Tabs.setCurrentIndex(Tab(*pPort));
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Rate("GGA"), QStringLiteral("Off"));

    // The user goes to the other port's tab; the window still talks to its own.
    Shell.Tabs.setCurrentIndex(Tab(*pOther));
    SetRate("GGA", "1Hz");
    SetRate("GSV", "ONCHANGED");
    SetRate("KSXT", "20Hz");
    W<QCheckBox>(QStringLiteral("NMEASaveconfig"))->setChecked(true);
    EXPECT_EQ(Received(rx.Net(), pPort, [&] { Press(QStringLiteral("NMEAOKButton")); }),
              Lines({"log GPGGA 1", "unlog GPGLL", "unlog GPGSA", "log GPGSV ONCHANGED", "unlog GPDHV", "unlog GPZDA",
                     "unlog GPRMC", "unlog GPHDT", "unlog GPGST", "unlog GPVTG", "log KSXT 0.05", "unlog GPYBM",
                     "unlog GPTRA", "unlog GPHPD", "unlog GPNTR", "saveconfig"}));
    EXPECT_FALSE(Dialog().isVisible());

    Dialog().OnShowDialog(); // on the other port now: a fresh start
    Shell.Tabs.setCurrentIndex(Tab(*pPort));
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    SetRate("BESTPOS", "5Hz");
    SetType("BESTPOS", "B");
    SetType("RANGE", "A");
    EXPECT_EQ(Received(rx.Net(), pPort, [&] { Press(QStringLiteral("PosMsgOKButton")); }),
              Lines({"unlog PSRPOSA",      "unlog PSRVELA",      "unlog PSRXYZA",      "unlog RTKPOSA",
                     "unlog RTKVELA",      "unlog RTKXYZA",      "log BESTPOSB 0.2",   "unlog BESTVELA",
                     "unlog BESTXYZA",     "unlog BESTGNSSPOSA", "unlog BESTGNSSVELA", "unlog BESTGNSSXYZA",
                     "unlog MATCHEDPOSA",  "unlog MATCHEDPOSHA", "unlog AVEPOSA",      "unlog HEADINGA",
                     "unlog HEADING2A",    "unlog TIMEA",        "unlog TIMESYNCA",    "unlog PSRDOPA",
                     "unlog RTKDOPA"}));
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    SetRate("INSPVAX", "1Min");
    SetType("INSPVAX", "B");
    const std::string sIns = Received(rx.Net(), pPort, [&] { Press(QStringLiteral("INSOKButton")); });
    EXPECT_NE(sIns.find("unlog INSPOSA\r\nlog INSPVAXB 60\r\nunlog INSPVAA\r\n"), std::string::npos) << sIns;
    EXPECT_EQ(std::count(sIns.begin(), sIns.end(), '\n'), 16);
    // The receiver outputs no RTCM yet: the RTCM3.2 row shows none ticked.
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_TRUE(Version("RTCM3.2"));
    W<QTabWidget>(QStringLiteral("MsgConfigNameTab"))->setCurrentIndex(1);
    for (const char* pName : {"RTCM1006", "RTCM1033", "RTCM1074", "RTCM1084", "RTCM1124"})
    {
        ASSERT_FALSE(Rtcm(pName, 0)->isChecked()) << pName;
        QTest::mouseClick(Rtcm(pName, 0), Qt::LeftButton, Qt::NoModifier, QPoint(8, Rtcm(pName, 0)->height() / 2));
    }
    EXPECT_EQ(Received(rx.Net(), pPort, [&] { Press(QStringLiteral("RTCMOKButton")); }),
              Lines({"unlog RTCM1004", "unlog RTCM1012", "unlog RTCM1104", "unlog RTCM1", "unlog RTCM3",
                     "unlog RTCM31", "unlog RTCM32", "unlog RTCM1819", "log RTCM1006 ontime 1",
                     "log RTCM1033 ontime 1", "log RTCM1074 ontime 1", "log RTCM1084 ontime 1",
                     "log RTCM1124 ontime 1"}));
    EXPECT_EQ(Received(other.Net(), pOther, [] {}), "");
    rx.StopStream();

    // Opened again as the program starts it, the receiver's log list shows what it outputs.
    NewDialog();
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Rate("GGA"), QStringLiteral("1Hz"));
    EXPECT_EQ(Rate("GSV"), QStringLiteral("ONCHANGED"));
    EXPECT_EQ(Rate("KSXT"), QStringLiteral("20Hz"));
    EXPECT_EQ(Rate("GLL"), QStringLiteral("Off"));
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("5Hz"));
    EXPECT_EQ(Type("BESTPOS"), QStringLiteral("B"));
    EXPECT_EQ(Rate("INSPVAX"), QStringLiteral("1Min"));
    EXPECT_EQ(Type("INSPVAX"), QStringLiteral("B"));
    EXPECT_EQ(Rate("INSPVA"), QStringLiteral("Off"));
    EXPECT_EQ(Rate("PSRPOS"), QStringLiteral("Off"));
    EXPECT_TRUE(Version("RTCM3.2"));
    for (const char* pName : {"RTCM1006", "RTCM1033", "RTCM1074", "RTCM1084", "RTCM1124"})
    {
        EXPECT_TRUE(Rtcm(pName, 0)->isChecked()) << pName;
        EXPECT_TRUE(Rtcm(pName, 0)->isEnabled()) << pName;
    }
    EXPECT_FALSE(Rtcm("RTCM1006", 1)->isChecked());
    EXPECT_FALSE(Rtcm("RTCM1006", 1)->isEnabled());
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();
}

TEST_F(MsgConfigTest, OnlyItsPortsLogListOnTheReceiverPortItTalksThroughSetsTheBoxes)
{
    CMemoryPortCtrl& other = AddMemoryPort(QStringLiteral("COM1"));
    CMemoryPortCtrl& port = AddMemoryPort(QStringLiteral("COM2"));
    using E = LOG_ENTRY_T;
    const struct
    {
        const char* pName;
        std::vector<E> Entries;
        std::function<void(MsgConfigTest&)> Check;
    } cases[] = {
        {"a binary log at a rate of the table",
         {{"COM2", "BESTPOSB", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_EQ(t.Rate("BESTPOS"), QStringLiteral("1Hz"));
             EXPECT_EQ(t.Type("BESTPOS"), QStringLiteral("B"));
         }},
        {"another receiver port's log",
         {{"COM1", "BESTPOSB", "ONTIME", 1}, {"COM1", "GPGGA", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_EQ(t.Rate("BESTPOS"), QStringLiteral("Off"));
             EXPECT_EQ(t.Rate("GGA"), QStringLiteral("Off"));
         }},
        {"a period or trigger the table lacks: an item of its own",
         {{"COM2", "BESTPOSB", "ONTIME", 0.5}, {"COM2", "HEADINGA", "ONNEW", 0}, {"COM2", "GPGGA", "ONTIME", 0.25}},
         [](MsgConfigTest& t)
         {
             EXPECT_EQ(t.Rate("BESTPOS"), QStringLiteral("0.5 s"));
             EXPECT_EQ(t.Type("BESTPOS"), QStringLiteral("B"));
             EXPECT_EQ(t.Rate("HEADING"), QStringLiteral("ONNEW"));
             EXPECT_EQ(t.Rate("GGA"), QStringLiteral("0.25 s"));
             // One such item per box, gone once the receiver outputs no more of it.
             EXPECT_EQ(t.W<QComboBox>(QStringLiteral("BESTPOSFreq"))->count(), 17);
             EXPECT_EQ(t.W<QComboBox>(QStringLiteral("PSRPOSFreq"))->count(), 16);
         }},
        {"on change and on mark, whatever the period",
         {{"COM2", "PSRPOSA", "ONCHANGED", 3}, {"COM2", "MARK1PVAB", "ONMARK", 0}, {"COM2", "GPGSV", "ONCHANGED", 0}},
         [](MsgConfigTest& t)
         {
             EXPECT_EQ(t.Rate("PSRPOS"), QStringLiteral("ONCHANGED"));
             EXPECT_EQ(t.Rate("MARK1PVA"), QStringLiteral("ONMARK"));
             EXPECT_EQ(t.Type("MARK1PVA"), QStringLiteral("B"));
             EXPECT_EQ(t.Rate("GSV"), QStringLiteral("ONCHANGED"));
         }},
        {"names that only begin or end like a message's",
         {{"COM2", "INSPVAXA", "ONTIME", 1}, {"COM2", "GPGGALONG", "ONTIME", 1}, {"COM2", "TIMESYNCA", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_EQ(t.Rate("INSPVAX"), QStringLiteral("1Hz"));
             EXPECT_EQ(t.Rate("INSPVA"), QStringLiteral("Off"));
             EXPECT_EQ(t.Rate("GGA"), QStringLiteral("Off"));
             EXPECT_EQ(t.Rate("TIMESYNC"), QStringLiteral("1Hz"));
             EXPECT_EQ(t.Rate("TIME"), QStringLiteral("Off"));
         }},
        {"RTCM 3.0 by its own messages",
         {{"COM2", "RTCM1006", "ONTIME", 1}, {"COM2", "RTCM1012", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_TRUE(t.Version("RTCM3.0"));
             EXPECT_TRUE(t.Rtcm("RTCM1006", 1)->isChecked());
             EXPECT_TRUE(t.Rtcm("RTCM1012", 1)->isChecked());
             EXPECT_FALSE(t.Rtcm("RTCM1004", 1)->isChecked());
             EXPECT_FALSE(t.Rtcm("RTCM1006", 0)->isChecked());
             EXPECT_FALSE(t.Rtcm("RTCM1006", 0)->isEnabled());
         }},
        {"RTCM 3.2 when only shared messages are output",
         {{"COM2", "RTCM1006", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_TRUE(t.Version("RTCM3.2"));
             EXPECT_TRUE(t.Rtcm("RTCM1006", 0)->isChecked());
             EXPECT_FALSE(t.Rtcm("RTCM1074", 0)->isChecked());
         }},
        {"RTCM 2.3: each message by its whole name",
         {{"COM2", "RTCM31", "ONTIME", 1}, {"COM2", "RTCM1819", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_TRUE(t.Version("RTCM2.3"));
             EXPECT_TRUE(t.Rtcm("RTCM31", 2)->isChecked());
             EXPECT_TRUE(t.Rtcm("RTCM1819", 2)->isChecked());
             EXPECT_FALSE(t.Rtcm("RTCM3", 2)->isChecked());
             EXPECT_FALSE(t.Rtcm("RTCM1", 2)->isChecked());
         }},
        {"RTCM messages of another receiver port choose no version",
         {{"COM1", "RTCM1004", "ONTIME", 1}, {"COM2", "RTCM1074", "ONTIME", 1}},
         [](MsgConfigTest& t)
         {
             EXPECT_TRUE(t.Version("RTCM3.2"));
             EXPECT_TRUE(t.Rtcm("RTCM1074", 0)->isChecked());
         }},
        {"an empty log list: everything off",
         {},
         [](MsgConfigTest& t)
         {
             EXPECT_EQ(t.Rate("GGA"), QStringLiteral("Off"));
             EXPECT_TRUE(t.Version("RTCM3.2"));
             EXPECT_FALSE(t.Rtcm("RTCM1006", 0)->isChecked());
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        NewDialog();
        // Chosen before the reply: the reply decides.
        SetRate("GGA", "10Hz");
        Shell.Tabs.setCurrentIndex(Tab(port));
        Menu();
        port.Receive(LogListReply(c.Entries));
        ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
        c.Check(*this);

        // The other port's reply, asked by another window, changes nothing.
        SetRate("AVEPOS", "3Min");
        Shell.Tabs.OnRequestItem(Tab(other), STATUS_MSG_LOGLIST);
        other.Receive(LogListReply({{"COM1", "AVEPOSA", "ONTIME", 1}, {"COM2", "AVEPOSA", "ONTIME", 1}}));
        ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
        EXPECT_EQ(Rate("AVEPOS"), QStringLiteral("3Min"));
        c.Check(*this);
    }

    // A long period of the receiver's own goes back as the digits it is, never
    // in exponent form (which a receiver does not read).
    NewDialog();
    Shell.Tabs.setCurrentIndex(Tab(port));
    Menu();
    port.Receive(LogListReply({{"COM2", "BESTPOSB", "ONTIME", 1234567}, {"COM2", "PSRPOSA", "ONTIME", 0.25}}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    const QString sLong = Dialog().OnPosMsgOK();
    EXPECT_TRUE(sLong.contains(QStringLiteral("log BESTPOSB 1234567\r\n"))) << sLong.toStdString();
    EXPECT_TRUE(sLong.contains(QStringLiteral("log PSRPOSA 0.25\r\n"))) << sLong.toStdString();

    // A list with a period out of range is no list: the choices stay, and OK sends nothing.
    NewDialog();
    Shell.Tabs.setCurrentIndex(Tab(port));
    Menu();
    port.Receive(LogListReply({{"COM2", "BESTPOSB", "ONTIME", 1}}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    Menu();
    port.Receive(LogListReply({{"COM2", "BESTPOSB", "ONTIME", 1e300}}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("1Hz"));
    Shell.Prompt.Messages.clear();
    EXPECT_EQ(Dialog().OnPosMsgOK(), QString());
    EXPECT_EQ(Shell.Prompt.Messages.size(), 1);

    // A receiver whose prompt did not name its port: the port its log list
    // came out of is the one; with neither, nothing can be told apart, and
    // the choices stay rather than all turning off.
    CMemoryPortCtrl& unnamed = AddMemoryPort(QString());
    NewDialog();
    Menu();
    unnamed.Receive(LogListReply({{"COM1", "BESTPOSA", "ONTIME", 1}, {"COM3", "HEADINGA", "ONTIME", 1}}, "COM3"));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Rate("HEADING"), QStringLiteral("1Hz"));
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("Off"));
    SetRate("BESTPOS", "2Sec");
    Menu();
    unnamed.Receive(LogListReply({{"COM1", "BESTPOSA", "ONTIME", 1}}, ""));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Rate("HEADING"), QStringLiteral("1Hz"));
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("2Sec"));
}

TEST_F(MsgConfigTest, RatesSelectAllAndRtcmVersionsChooseWhatIsSent)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    Menu();
    port.Receive(LogListReply({}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    const struct
    {
        const char* pLabel;
        const char* pPeriod;
    } rates[] = {{"Off", "0"},     {"20Hz", "0.05"},   {"10Hz", "0.1"},      {"5Hz", "0.2"},    {"1Hz", "1"},
                 {"2Sec", "2"},    {"5Sec", "5"},      {"10Sec", "10"},      {"15Sec", "15"},   {"30Sec", "30"},
                 {"1Min", "60"},   {"3Min", "180"},    {"5Min", "300"},      {"10Min", "600"},  {"ONCHANGED", "ONCHANGED"},
                 {"ONMARK", "ONMARK"}, {"x", "NULL"}};
    for (const auto& r : rates)
        EXPECT_EQ(Dialog().OnMsgFreq(QLatin1String(r.pLabel)), QLatin1String(r.pPeriod)) << r.pLabel;

    // Select-all sets every message of the tab only while it is ticked.
    SetRate("PosMsgSelectAll", "10Sec");
    EXPECT_EQ(Rate("HEADING2"), QStringLiteral("Off"));
    W<QCheckBox>(QStringLiteral("PosMsgSelectAllCheck"))->click();
    SetType("PosMsgSelectAll", "B");
    EXPECT_EQ(Rate("HEADING2"), QStringLiteral("10Sec"));
    EXPECT_EQ(Type("RTKDOP"), QStringLiteral("B"));
    QSignalSpy sent(&Dialog(), &QFMsgConfig::SignalSendMsgToPort);
    Press(QStringLiteral("PosMsgOKButton"));
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), port.UniquePortID);
    const QByteArray text = sent.at(0).at(1).toByteArray();
    EXPECT_TRUE(text.startsWith("log PSRPOSB 10\r\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("log RTKDOPB 10\r\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("unlog"));

    // RTCM2.3 with select-all: its row ticked, the others off and disabled.
    Menu();
    port.Receive(LogListReply({}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    W<QCheckBox>(QStringLiteral("RTCMSelectAllCheck"))->setChecked(true);
    W<QRadioButton>(QStringLiteral("RTCM2.3Check"))->click();
    for (const char* pName : {"RTCM1", "RTCM3", "RTCM31", "RTCM32", "RTCM1819"})
        EXPECT_TRUE(Rtcm(pName, 2)->isChecked() && Rtcm(pName, 2)->isEnabled()) << pName;
    EXPECT_FALSE(Rtcm("RTCM1074", 0)->isChecked() || Rtcm("RTCM1074", 0)->isEnabled());
    // Nothing ticked: every message but the two shared ones is stopped.
    W<QCheckBox>(QStringLiteral("RTCMSelectAllCheck"))->setChecked(false);
    W<QRadioButton>(QStringLiteral("RTCM3.0Check"))->click();
    EXPECT_EQ(Dialog().OnRtcmOk().toStdString(),
              Lines({"unlog RTCM1074", "unlog RTCM1084", "unlog RTCM1124", "unlog RTCM1004", "unlog RTCM1012",
                     "unlog RTCM1104", "unlog RTCM1", "unlog RTCM3", "unlog RTCM31", "unlog RTCM32",
                     "unlog RTCM1819"}));

    // Its port closed, the window sends nowhere and says so.
    Dialog().OnShowDialog();
    Shell.Tabs.OnClosePort(Tab(port));
    sent.clear();
    EXPECT_EQ(Dialog().OnNmeaOK(), QString());
    EXPECT_EQ(Shell.Prompt.Messages,
              QStringList(QStringLiteral("Warning|The port of this receiver is not open: nothing was sent.")));
    EXPECT_EQ(sent.count(), 0);
    EXPECT_TRUE(Dialog().isVisible());
}

// A receiver set up by its user outputs logs at periods and on triggers of its
// own and answers on its prompt's line; OK on a tab the user did not touch
// sends every log back as the receiver has it and stops none of them. Before
// the log list is read, OK sends nothing and says why.
TEST_F(MsgConfigTest, OkOnAnUntouchedTabKeepsWhatTheReceiverOutputs)
{
    RECEIVER_RULES_T rules;
    rules.RepliesOnPromptLine = true;
    rules.QuietLogs = {"HEADINGA", "PSRPOSB", "RTCM1074"};
    rules.Logging = {{"", "BESTPOSA", "ONTIME", 0.5, {}},
                     {"", "HEADINGA", "ONNEW", 1.0, {}},
                     {"", "PSRPOSB", "ONTIME", 1.0, {}},
                     {"", "GPGGA", "ONCHANGED", 1.0, {}},
                     {"", "RTCM1074", "ONTIME", 2.0, {}}};
    FakeReceiver rx(rules);
    // It streams from before the port opens; its replies come amid its logs.
    rx.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 30000);
    QZvPortCtrlBase* pPort = Open(rx);
    ASSERT_NE(pPort, nullptr);
    Shell.Tabs.setCurrentIndex(Tab(*pPort));
    const auto logging = [&]
    {
        std::vector<std::string> out;
        for (const RECEIVER_LOG_T& l : rx.Logging())
            out.push_back(l.Port + " " + l.Name + " " + l.Trigger + " " + std::to_string(l.Period));
        std::sort(out.begin(), out.end());
        return out;
    };
    const std::vector<std::string> before = logging();

    // Not yet read: nothing is sent.
    Dialog().OnShowDialog();
    EXPECT_EQ(Received(rx.Net(), pPort, [&] { Press(QStringLiteral("PosMsgOKButton")); }), "");
    EXPECT_EQ(Shell.Prompt.Messages.value(0),
              QStringLiteral("Warning|The receiver's list of logs has not been read yet: nothing was sent. Open the "
                             "window again to ask the receiver for it."));
    EXPECT_TRUE(Dialog().isVisible());

    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("0.5 s"));
    EXPECT_EQ(Rate("HEADING"), QStringLiteral("ONNEW"));
    EXPECT_EQ(Type("PSRPOS"), QStringLiteral("B"));
    const std::string sPos = Received(rx.Net(), pPort, [&] { Press(QStringLiteral("PosMsgOKButton")); });
    for (const char* pLine : {"log PSRPOSB 1\r\n", "log BESTPOSA 0.5\r\n", "log HEADINGA ONNEW\r\n"})
        EXPECT_NE(sPos.find(pLine), std::string::npos) << pLine << sPos;
    for (const char* pLog : {"unlog PSRPOS", "unlog BESTPOS", "unlog HEADINGA"})
        EXPECT_EQ(sPos.find(pLog), std::string::npos) << pLog << sPos;
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    const std::string sNmea = Received(rx.Net(), pPort, [&] { Press(QStringLiteral("NMEAOKButton")); });
    EXPECT_NE(sNmea.find("log GPGGA ONCHANGED\r\n"), std::string::npos) << sNmea;
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    const std::string sRtcm = Received(rx.Net(), pPort, [&] { Press(QStringLiteral("RTCMOKButton")); });
    EXPECT_NE(sRtcm.find("log RTCM1074 ontime 2\r\n"), std::string::npos) << sRtcm;
    EXPECT_EQ(logging(), before);

    // The receiver's own items in Chinese: a period in seconds is translated, a trigger is not.
    Menu();
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    ASSERT_GT(InstallMonitorTranslations(QStringLiteral("zh")), 0);
    Dialog().OnLanguageUpdate();
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("0.5 秒"));
    EXPECT_EQ(Rate("HEADING"), QStringLiteral("ONNEW"));
    const std::string sZh = Received(rx.Net(), pPort, [&] { Press(QStringLiteral("PosMsgOKButton")); });
    EXPECT_NE(sZh.find("log BESTPOSA 0.5\r\n"), std::string::npos) << sZh;
    InstallMonitorTranslations(QStringLiteral("en"));
    Dialog().OnLanguageUpdate();
    EXPECT_EQ(Rate("BESTPOS"), QStringLiteral("0.5 s"));
    rx.StopStream();
}

// In Chinese the rates and tab names read Chinese, while the commands keep
// the receiver's words and periods.
TEST_F(MsgConfigTest, ChineseRatesSendTheReceiversPeriods)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    Menu();
    port.Receive(LogListReply({}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    ASSERT_GT(InstallMonitorTranslations(QStringLiteral("zh")), 0);
    Dialog().OnLanguageUpdate();
    auto* pTabs = W<QTabWidget>(QStringLiteral("MsgConfigNameTab"));
    EXPECT_EQ(pTabs->tabText(2), QString::fromUtf8("定位消息"));
    EXPECT_EQ(pTabs->tabText(0), QStringLiteral("NMEA"));
    EXPECT_EQ(Rate("HEADING2"), QString::fromUtf8("关闭"));
    QComboBox* pAll = W<QComboBox>(QStringLiteral("PosMsgSelectAllFreq"));
    const int i10 = pAll->findText(QString::fromUtf8("10秒"));
    ASSERT_GE(i10, 0);
    pAll->setCurrentIndex(i10);
    W<QCheckBox>(QStringLiteral("PosMsgSelectAllCheck"))->click();
    SetRate("GGA", "ONMARK");
    QSignalSpy sent(&Dialog(), &QFMsgConfig::SignalSendMsgToPort);
    Press(QStringLiteral("PosMsgOKButton"));
    Press(QStringLiteral("NMEAOKButton"));
    ASSERT_EQ(sent.count(), 2);
    EXPECT_TRUE(sent.at(0).at(1).toByteArray().startsWith("log PSRPOSA 10\r\n"))
        << sent.at(0).at(1).toByteArray().toStdString();
    EXPECT_TRUE(sent.at(1).at(1).toByteArray().startsWith("log GPGGA ONMARK\r\n"))
        << sent.at(1).at(1).toByteArray().toStdString();

    ASSERT_GT(InstallMonitorTranslations(QStringLiteral("en")), 0);
    Dialog().OnLanguageUpdate();
    EXPECT_EQ(pTabs->tabText(2), QStringLiteral("PosMsg"));
    EXPECT_EQ(Rate("HEADING2"), QStringLiteral("10Sec"));
}
