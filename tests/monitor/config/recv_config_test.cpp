// The receiver configuration dialog against fake receivers, driven as a user
// drives it: opened from the menu on the current port, filled from that
// port's user configuration reply (amid its stream of logs), each page's
// button sending exact command lines to the receiver it was opened on, and
// every malformed field refused with a message naming it and nothing sent.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "monitor/config/recv_config.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/port_records.h"
#include "monitor/shell/monitor_translations.h"
#include "support/frame_builders.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"

namespace
{
const std::vector<std::string> kPpsLine = {"PPSCONFIG GPS ENABLE POSITIVE 1000 1000 0 0"};

// Lock-out lines of one system as the Sat Enable page sends them: satellites
// in Locked locked out, the others in use.
std::string Lockouts(const std::string& Word, int nSatellites, const std::set<int>& Locked)
{
    std::string s;
    for (int k = 1; k <= nSatellites; ++k)
        s += (Locked.count(k) ? "LOCKOUT " : "UNLOCKOUT ") + Word + " " + std::to_string(k) + "\r\n";
    return s;
}

// The dialog beside a tab set, wired as the main window wires it: the menu
// entry opens it on the current port and asks that port for its user
// configuration, a parsed reply reaches it while it is visible, and its
// commands go to the port manager with their port ID.
class RecvConfigTest : public ::testing::Test
{
public:
    RecvConfigTest()
    {
        QObject::connect(&Shell.Tabs, &CPortTab::SignalStatusMsgParseFinished, &Shell.Tabs,
                         [this](uint Mask)
                         {
                             if ((Mask & STATUS_MSG_USERCONFIG) == 0)
                                 return;
                             ++m_nReplies;
                             if (m_pDialog != nullptr && m_pDialog->isVisible())
                                 m_pDialog->OnUpdateDiag(&Shell.Tabs);
                         });
        NewDialog();
    }
    ~RecvConfigTest() override { InstallMonitorTranslations(QStringLiteral("en")); }

    // A fresh dialog, as the program starts with.
    QZvRecvConfig& NewDialog()
    {
        m_pDialog = std::make_unique<QZvRecvConfig>();
        m_pDialog->m_pPortTab = &Shell.Tabs;
        QObject::connect(m_pDialog.get(), &QZvRecvConfig::SignalSendRecvConfigToPort, &Shell.Manager,
                         &QZvPortManager::OnSendPortData1Port);
        return *m_pDialog;
    }
    QZvRecvConfig& Dialog() { return *m_pDialog; }

    QZvPortCtrlBase* Open(FakeReceiver& Rx) { return Rx.Listen() != 0 ? Shell.OpenTcp(Rx) : nullptr; }

    // The menu entry: the dialog opens on the current port, which is asked
    // for its user configuration.
    void Menu()
    {
        Dialog().OnShowDialog();
        Ask();
    }
    // Asks the current port for its user configuration, as any window may.
    void Ask()
    {
        m_nCounted = m_nReplies;
        Shell.Tabs.OnRequestUserConfigMsg();
    }
    // Waits for a user configuration reply of any port since the last ask.
    bool Replies()
    {
        const bool bSeen = WaitUntil([&] { return m_nReplies > m_nCounted; });
        m_nCounted = m_nReplies;
        return bSeen;
    }

    template <typename T> T* W(const char* pName)
    {
        T* p = Dialog().findChild<T*>(QLatin1String(pName));
        EXPECT_NE(p, nullptr) << pName;
        return p;
    }
    void Set(const char* pEdit, const QString& sText) { W<QLineEdit>(pEdit)->setText(sText); }
    // The user picks a network mode (0 DHCP, 1 STATIC) from its box.
    void ChooseNetMode(int iMode)
    {
        QComboBox* pMode = W<QComboBox>("pNetMode");
        pMode->setCurrentIndex(iMode);
        emit pMode->activated(iMode);
    }
    QString Text(const char* pEdit) { return W<QLineEdit>(pEdit)->text(); }
    bool Checked(const char* pButton) { return W<QAbstractButton>(pButton)->isChecked(); }
    // Brings the button's page forward and clicks it.
    void Press(const char* pButton)
    {
        QAbstractButton* p = W<QAbstractButton>(pButton);
        for (QWidget* pPage = p; pPage != nullptr; pPage = pPage->parentWidget())
        {
            QWidget* pStack = pPage->parentWidget();
            auto* pTabs = qobject_cast<QTabWidget*>(pStack ? pStack->parentWidget() : nullptr);
            if (pTabs != nullptr && pTabs->indexOf(pPage) >= 0)
                pTabs->setCurrentWidget(pPage);
        }
        // Near the left edge: a radio button takes clicks on its mark and text only.
        QTest::mouseClick(p, Qt::LeftButton, Qt::NoModifier, QPoint(qMin(8, p->width() / 2), p->height() / 2));
    }

    // What the receiver received while Act ran: a marker sent to its port
    // afterwards, on the same road, ends the wait and shows nothing else came.
    std::string Received(FakeReceiver& Rx, QZvPortCtrlBase* pPort, const std::function<void()>& Act)
    {
        Rx.Net().ClearReceived();
        Act();
        const std::string sMark = "MARK\r\n";
        Shell.Manager.OnSendPortData1Port(pPort->UniquePortID, QByteArray::fromStdString(sMark));
        EXPECT_TRUE(WaitUntil(
            [&]
            {
                const std::string s = Rx.Net().Received();
                return s.size() >= sMark.size() && s.compare(s.size() - sMark.size(), sMark.size(), sMark) == 0;
            }));
        const std::string s = Rx.Net().Received();
        return s.substr(0, s.size() - std::min(s.size(), sMark.size()));
    }

    // A port without a device whose received bytes the test hands over.
    CMemoryPortCtrl& AddMemoryPort()
    {
        m_Ports.push_back(std::make_unique<CMemoryPortCtrl>());
        CMemoryPortCtrl& port = *m_Ports.back();
        Shell.Tabs.OnAddPort(port.UniquePortID, port.PortType, &port);
        Shell.Tabs.setCurrentIndex(Shell.Tabs.count() - 1);
        // The replies it is handed are text from the first byte on.
        Shell.Tabs.GetCurTxView()->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
        return port;
    }

private:
    // Destroyed after the tab set that shows them.
    std::vector<std::unique_ptr<CMemoryPortCtrl>> m_Ports;

public:
    ShellStandIn Shell;

private:
    std::unique_ptr<QZvRecvConfig> m_pDialog;
    int m_nReplies = 0;
    int m_nCounted = 0;
};
} // namespace

TEST_F(RecvConfigTest, FillsEveryPageFromItsReceiversUserConfigurationAmidItsLogs)
{
    RECEIVER_RULES_T rules;
    rules.UserConfig = {
        "NTRIPCONFIG NCOM1 CLIENT V2 caster.invalid:2101 MP1 user1 pw1",
        "NETCONFIG STATIC 10.1.2.30 255.255.0.0 10.1.0.1 BASE07",
        "PPSCONFIG BDS ENABLE NEGATIVE 500 2000 20 -5",
        // Lock-out lines in another order than the pages, GLONASS absent.
        "LOCKOUT BDS 0X80000001",
        "LOCKOUT GPS 0X00000005",
        "LOCKOUT GAL 0X00000000",
        "ECUTOFF USER GPS 5.0 GLO 10.0 GAL 7.5 BDS 12.0 SBAS 5.0 QZSS 5.0",
        "RTKECUTOFF USER GPS 15.0 GLO 15.0 GAL 15.0 BDS 20.0 SBAS 15.0 QZSS 15.0",
        "NTRIPCONFIG NCOM1 SERVER V1 caster2.invalid:2102 MP2 \"\" pw2",
        "FIX NONE",
    };
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = Open(rx);
    ASSERT_NE(pPort, nullptr);
    rx.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 50000);
    ASSERT_TRUE(WaitUntil([&] { return static_cast<int8_t>(Shell.Tabs.GetPosData()->FixQuality) > 0; }));

    Menu();
    EXPECT_EQ(Dialog().PortID(), pPort->UniquePortID);
    EXPECT_TRUE(Dialog().windowTitle().endsWith(Shell.Tabs.tabText(0))) << Dialog().windowTitle().toStdString();
    // The mode is the user's choice; a refresh leaves it.
    ChooseNetMode(1);
    Dialog().SetGLOCheckBoxEnable(0x00F0F0F0);
    ASSERT_TRUE(Replies());
    rx.StopStream();

    // The last NTRIP line, a server's: no user name row, its user name not shown.
    EXPECT_TRUE(Checked("pNtripSever"));
    EXPECT_FALSE(Checked("pNtripClient"));
    EXPECT_TRUE(Checked("pNtripEnable"));
    EXPECT_TRUE(W<QLineEdit>("pUsernameText")->isHidden());
    EXPECT_TRUE(W<QLabel>("pUsernamelabel")->isHidden());
    EXPECT_EQ(W<QComboBox>("pNtripFormat")->currentIndex(), 0);
    EXPECT_EQ(Text("pNtripNameText"), QStringLiteral("caster2.invalid"));
    EXPECT_EQ(Text("pPortText"), QStringLiteral("2102"));
    EXPECT_EQ(Text("pNtripMountPoint"), QStringLiteral("MP2"));
    EXPECT_EQ(Text("pPasswordText"), QStringLiteral("pw2"));
    EXPECT_EQ(Text("pUsernameText"), QString());

    const char* const octets[] = {"pNetIdAddress1", "pNetIdAddress2", "pNetIdAddress3", "pNetIdAddress4",
                                  "pNetMask1",      "pNetMask2",      "pNetMask3",      "pNetMask4",
                                  "pNetGatway1",    "pNetGatway2",    "pNetGatway3",    "pNetGatway4"};
    const char* const values[] = {"10", "1", "2", "30", "255", "255", "0", "0", "10", "1", "0", "1"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Text(octets[i]), QLatin1String(values[i])) << octets[i];
    EXPECT_EQ(Text("pNetHostname"), QStringLiteral("BASE07"));
    EXPECT_EQ(W<QComboBox>("pNetMode")->currentText(), QStringLiteral("STATIC"));

    EXPECT_EQ(W<QComboBox>("pPpsconfigTimeref")->currentText(), QStringLiteral("BDS"));
    EXPECT_EQ(W<QComboBox>("pPpsconfigSwitch")->currentText(), QStringLiteral("Enable"));
    EXPECT_EQ(W<QComboBox>("pPpsconfigPolarity")->currentText(), QStringLiteral("NEGATIVE"));
    EXPECT_EQ(Text("pPpsconfigWidth"), QStringLiteral("500"));
    EXPECT_EQ(W<QComboBox>("pPpsconfigPeriod")->currentText(), QStringLiteral("2000"));
    EXPECT_EQ(Text("pPpsconfigRfDelay"), QStringLiteral("20"));
    EXPECT_EQ(Text("pPpsconfigUserDelay"), QStringLiteral("-5"));

    // A checked box is a satellite in use; each mask went to its own system,
    // and GLONASS, which the receiver did not list, has nothing locked out
    // whatever its boxes showed before.
    const struct
    {
        const char* pPrefix;
        int nSatellites;
        std::set<int> Unchecked;
    } pages[] = {{"pGPSGEO", 32, {1, 3}}, {"pGLOGEO", 24, {}}, {"pGalGEO", 32, {}}, {"pBDSGEO", 32, {1, 32}}};
    for (const auto& page : pages)
        for (int n = 1; n <= page.nSatellites; ++n)
        {
            const QString sName = QLatin1String(page.pPrefix) + QString::number(n);
            EXPECT_EQ(Dialog().findChild<QCheckBox*>(sName)->isChecked(), page.Unchecked.count(n) == 0)
                << sName.toStdString();
        }
    // The cut-offs of the system page shown.
    EXPECT_EQ(Text("pElevMask"), QStringLiteral("5.0"));
    EXPECT_EQ(Text("pRTKElevMask"), QStringLiteral("15.0"));
    W<QTabWidget>("LockWindow")->setCurrentIndex(3);
    EXPECT_EQ(Text("pElevMask"), QStringLiteral("12.0"));
    EXPECT_EQ(Text("pRTKElevMask"), QStringLiteral("20.0"));
    W<QTabWidget>("LockWindow")->setCurrentIndex(1);
    EXPECT_EQ(Text("pElevMask"), QStringLiteral("10.0"));

    // The receiver has a fix: its position is shown.
    const POS_DATA_T* pPos = Shell.Tabs.GetPosData();
    EXPECT_EQ(W<QLabel>("pPosLatNorthSouth")->text(), pPos->Latitude < 0 ? QStringLiteral("S") : QStringLiteral("N"));
    EXPECT_FALSE(W<QLabel>("pPosLatSecond")->text().isEmpty());
    EXPECT_FALSE(W<QLabel>("pPosHeight")->text().isEmpty());
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();

    // A language change keeps what was read from the receiver.
    InstallMonitorTranslations(QStringLiteral("zh"));
    Dialog().OnLanguageUpdate();
    EXPECT_NE(W<QLabel>("label_31")->text(), QStringLiteral("Hostname"));
    EXPECT_EQ(Text("pNetHostname"), QStringLiteral("BASE07"));
    EXPECT_EQ(Text("pPpsconfigWidth"), QStringLiteral("500"));
    EXPECT_EQ(W<QComboBox>("pPpsconfigPeriod")->currentText(), QStringLiteral("2000"));
    EXPECT_EQ(Text("pElevMask"), QStringLiteral("10.0"));
    EXPECT_FALSE(W<QLabel>("pPosHeight")->text().isEmpty());
}

TEST_F(RecvConfigTest, EachPageSendsItsExactCommandLinesToTheReceiver)
{
    FakeReceiver rx;
    QZvPortCtrlBase* pPort = Open(rx);
    ASSERT_NE(pPort, nullptr);
    const struct
    {
        const char* pName;
        std::function<void(RecvConfigTest&)> Fill;
        const char* pButton;
        std::string Expected;
    } cases[] = {
        {"DHCP, a host name typed is not sent",
         [](RecvConfigTest& t) { t.ChooseNetMode(0), t.Set("pNetHostname", QStringLiteral("BASE07")); },
         "pChangeNetMode", "netconfig dhcp\r\nsaveconfig\r\n"},
        {"static address, no host name",
         [](RecvConfigTest& t)
         {
             t.ChooseNetMode(1);
             const char* const names[] = {"pNetIdAddress1", "pNetIdAddress2", "pNetIdAddress3", "pNetIdAddress4",
                                          "pNetMask1",      "pNetMask2",      "pNetMask3",      "pNetMask4",
                                          "pNetGatway1",    "pNetGatway2",    "pNetGatway3",    "pNetGatway4"};
             const char* const octets[] = {"192", "168", "1", "10", "255", "255", "255", "0", "192", "168", "1", "1"};
             for (int i = 0; i < 12; ++i)
                 t.Set(names[i], QLatin1String(octets[i]));
             t.Set("pNetHostname", QString());
         },
         "pChangeNetMode", "netconfig static 192.168.1.10 255.255.255.0 192.168.1.1 Cindrel\r\nsaveconfig\r\n"},
        {"fixed position south and east",
         [](RecvConfigTest& t)
         {
             t.Set("pRefLatDeg", QStringLiteral("31")), t.Set("pRefLatMinute", QStringLiteral("30"));
             t.Set("pRefLatSecond", QStringLiteral("0"));
             t.W<QRadioButton>("pRefLatSouth")->click();
             t.Set("pRefLonDeg", QStringLiteral("121")), t.Set("pRefLonMinute", QStringLiteral("0"));
             t.Set("pRefLonSecond", QStringLiteral("36"));
             t.Set("pRefHeight", QStringLiteral("12.5"));
         },
         "pRefOKButton", "fix position -31.500000000000 121.010000000000 12.5\r\nsaveconfig\r\n"},
        {"fixed position west, below the ellipsoid",
         [](RecvConfigTest& t)
         {
             t.Set("pRefLatDeg", QStringLiteral("0")), t.Set("pRefLatMinute", QStringLiteral("30"));
             t.Set("pRefLonDeg", QStringLiteral("75")), t.Set("pRefLonMinute", QStringLiteral("15"));
             t.Set("pRefLonSecond", QStringLiteral("0.00000"));
             t.W<QRadioButton>("pRefLonWest")->click();
             t.Set("pRefHeight", QStringLiteral("-20.25"));
         },
         "pRefOKButton", "fix position 0.500000000000 -75.250000000000 -20.25\r\nsaveconfig\r\n"},
        {"the shown position taken as the reference",
         [](RecvConfigTest& t)
         {
             t.Dialog().OnPosCurPos(-31.5, 121.01, 12.5);
             t.Press("pRefCurPosButton");
         },
         "pRefOKButton", "fix position -31.500000000000 121.010000000000 12.500\r\nsaveconfig\r\n"},
        {"PPS defaults", [](RecvConfigTest&) {}, "pPPSOK",
         "PPSCONFIG GPS Enable POSITIVE 1000 50 0 0\r\nsaveconfig\r\n"},
        {"PPS with a typed period",
         [](RecvConfigTest& t)
         {
             t.W<QComboBox>("pPpsconfigTimeref")->setCurrentIndex(1);
             t.W<QComboBox>("pPpsconfigSwitch")->setCurrentIndex(1);
             t.W<QComboBox>("pPpsconfigPolarity")->setCurrentIndex(1);
             QComboBox* pPeriod = t.W<QComboBox>("pPpsconfigPeriod");
             pPeriod->lineEdit()->clear();
             QTest::keyClicks(pPeriod->lineEdit(), QStringLiteral("5000"));
             t.Set("pPpsconfigWidth", QStringLiteral("1000"));
             t.Set("pPpsconfigRfDelay", QStringLiteral("-3"));
             t.Set("pPpsconfigUserDelay", QStringLiteral("12.5"));
         },
         "pPPSOK", "PPSCONFIG BDS Disable NEGATIVE 1000 5000 -3 12.5\r\nsaveconfig\r\n"},
        {"GPS all but satellite 3",
         [](RecvConfigTest& t)
         {
             t.Press("pGPSGEOEnableALL");
             t.W<QCheckBox>("pGPSGEO3")->click();
             t.Set("pElevMask", QStringLiteral("10"));
             t.Set("pRTKElevMask", QStringLiteral("15"));
         },
         "pGPSGEOK", Lockouts("GPS", 32, {3}) + "ECUTOFF gps 10\r\nRTKECUTOFF gps 15\r\n"},
        {"GLONASS all in use, a negative cut-off",
         [](RecvConfigTest& t)
         {
             t.Press("pGPSGLOEnableALL");
             t.Set("pElevMask", QStringLiteral("-5"));
             t.Set("pRTKElevMask", QStringLiteral("0"));
         },
         "pGLOGEOK", Lockouts("GLO", 24, {}) + "ECUTOFF GLO -5\r\nRTKECUTOFF GLO 0\r\n"},
        {"Galileo all locked out",
         [](RecvConfigTest& t)
         {
             t.Press("pGalGEOEnableAll");
             t.Press("pGalGEODisableAll");
             t.Set("pElevMask", QStringLiteral("7.5"));
             t.Set("pRTKElevMask", QStringLiteral("12.25"));
         },
         "pGalGEOK",
         Lockouts("GAL", 32, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                              17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}) +
             "ECUTOFF GAL 7.5\r\nRTKECUTOFF GAL 12.25\r\n"},
        {"BDS first and last in use",
         [](RecvConfigTest& t)
         {
             t.Dialog().SetBDSCheckBoxEnable(0x80000001u);
             t.Set("pElevMask", QStringLiteral("90"));
             t.Set("pRTKElevMask", QStringLiteral("0.00"));
         },
         "pBDSGEOK",
         []
             {
                 std::set<int> locked;
                 for (int k = 2; k <= 31; ++k)
                     locked.insert(k);
                 return Lockouts("BDS", 32, locked);
             }() +
             "ECUTOFF BDS 90\r\nRTKECUTOFF BDS 0.00\r\n"},
        {"NTRIP off, nothing else looked at", [](RecvConfigTest&) {}, "pNtripOK", "ntripconfig ncom1  disable\r\n"},
        {"NTRIP server",
         [](RecvConfigTest& t)
         {
             t.W<QCheckBox>("pNtripEnable")->setChecked(true);
             t.W<QRadioButton>("pNtripSever")->click();
             t.Set("pNtripNameText", QStringLiteral("caster.invalid"));
             t.Set("pPortText", QStringLiteral("2101"));
             t.Set("pNtripMountPoint", QStringLiteral("MP1"));
             t.Set("pPasswordText", QStringLiteral("pw"));
         },
         "pNtripOK", "NTRIPCONFIG ncom1 server v1 caster.invalid:2101 MP1 \"\" pw\r\n"},
        {"NTRIP client",
         [](RecvConfigTest& t)
         {
             t.W<QCheckBox>("pNtripEnable")->setChecked(true);
             t.W<QRadioButton>("pNtripClient")->click();
             t.W<QComboBox>("pNtripFormat")->setCurrentIndex(1);
             t.Set("pNtripNameText", QStringLiteral("caster.invalid"));
             t.Set("pPortText", QStringLiteral("2101"));
             t.Set("pNtripMountPoint", QStringLiteral("MP1"));
             t.Set("pUsernameText", QStringLiteral("u1"));
             t.Set("pPasswordText", QStringLiteral("pw"));
         },
         "pNtripOK", "NTRIPCONFIG ncom1 client v2 caster.invalid:2101 MP1 u1 pw\r\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        NewDialog().OnShowDialog();
        c.Fill(*this);
        EXPECT_EQ(Received(rx, pPort, [&] { Press(c.pButton); }), c.Expected);
        EXPECT_FALSE(Dialog().isVisible());
    }
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();
}

TEST_F(RecvConfigTest, AFieldThatWouldMakeAMalformedCommandIsRefusedByNameAndNothingIsSent)
{
    FakeReceiver rx;
    QZvPortCtrlBase* pPort = Open(rx);
    ASSERT_NE(pPort, nullptr);
    auto ntrip = [](RecvConfigTest& t, const char* pRole)
    {
        t.W<QCheckBox>("pNtripEnable")->setChecked(true);
        if (pRole != nullptr)
            t.W<QRadioButton>(pRole)->click();
        t.Set("pNtripNameText", QStringLiteral("caster.invalid"));
        t.Set("pPortText", QStringLiteral("2101"));
        t.Set("pNtripMountPoint", QStringLiteral("MP1"));
        t.Set("pUsernameText", QStringLiteral("u1"));
        t.Set("pPasswordText", QStringLiteral("pw"));
    };
    auto staticNet = [](RecvConfigTest& t)
    {
        t.ChooseNetMode(1);
        for (const char* p :
             {"pNetIdAddress1", "pNetIdAddress2", "pNetIdAddress3", "pNetIdAddress4", "pNetMask1", "pNetMask2",
              "pNetMask3", "pNetMask4", "pNetGatway1", "pNetGatway2", "pNetGatway3", "pNetGatway4"})
            t.Set(p, QStringLiteral("10"));
    };
    const struct
    {
        const char* pName;
        std::function<void(RecvConfigTest&)> Fill;
        const char* pButton;
        const char* pMessage;
    } cases[] = {
        {"an empty octet", [&](RecvConfigTest& t) { staticNet(t), t.Set("pNetIdAddress3", QString()); },
         "pChangeNetMode", "Warning|IP Address needs four numbers from 0 to 255."},
        {"an octet above 255", [&](RecvConfigTest& t) { staticNet(t), t.Set("pNetMask4", QStringLiteral("256")); },
         "pChangeNetMode", "Warning|Net Mask needs four numbers from 0 to 255."},
        {"an octet with a sign", [&](RecvConfigTest& t) { staticNet(t), t.Set("pNetGatway1", QStringLiteral("-1")); },
         "pChangeNetMode", "Warning|Gateway needs four numbers from 0 to 255."},
        {"a host name with a blank",
         [&](RecvConfigTest& t) { staticNet(t), t.Set("pNetHostname", QStringLiteral("base 7")); }, "pChangeNetMode",
         "Warning|Hostname must be one word, without blanks."},
        {"a host name of blanks", [&](RecvConfigTest& t) { staticNet(t), t.Set("pNetHostname", QStringLiteral("  ")); },
         "pChangeNetMode", "Warning|Hostname must be one word, without blanks."},
        {"a signed latitude, which would send \"--\"",
         [](RecvConfigTest& t)
         {
             t.Set("pRefLatDeg", QStringLiteral("-31"));
             t.W<QRadioButton>("pRefLatSouth")->click();
         },
         "pRefOKButton",
         "Warning|Reference Latitude needs degrees from 0 to 90, and minutes and seconds from 0 to below 60, without "
         "a sign (N/S and E/W give the hemisphere)."},
        {"a latitude that is no number", [](RecvConfigTest& t) { t.Set("pRefLatMinute", QStringLiteral("3O")); },
         "pRefOKButton",
         "Warning|Reference Latitude needs degrees from 0 to 90, and minutes and seconds from 0 to below 60, without "
         "a sign (N/S and E/W give the hemisphere)."},
        {"sixty minutes of longitude", [](RecvConfigTest& t) { t.Set("pRefLonMinute", QStringLiteral("60")); },
         "pRefOKButton",
         "Warning|Reference Longitude needs degrees from 0 to 180, and minutes and seconds from 0 to below 60, "
         "without a sign (N/S and E/W give the hemisphere)."},
        {"a longitude beyond 180", [](RecvConfigTest& t) { t.Set("pRefLonDeg", QStringLiteral("180.5")); },
         "pRefOKButton",
         "Warning|Reference Longitude needs degrees from 0 to 180, and minutes and seconds from 0 to below 60, "
         "without a sign (N/S and E/W give the hemisphere)."},
        {"an empty height", [](RecvConfigTest& t) { t.Set("pRefHeight", QString()); }, "pRefOKButton",
         "Warning|Reference Height must be a number."},
        {"a height with a blank", [](RecvConfigTest& t) { t.Set("pRefHeight", QStringLiteral("12 5")); },
         "pRefOKButton", "Warning|Reference Height must be a number."},
        {"an empty PPS width", [](RecvConfigTest& t) { t.Set("pPpsconfigWidth", QString()); }, "pPPSOK",
         "Warning|Please input PPSconfig Width!"},
        {"a PPS width above 1000", [](RecvConfigTest& t) { t.Set("pPpsconfigWidth", QStringLiteral("1000.5")); },
         "pPPSOK", "Warning|PPSconfig Width is More than 1000 us!"},
        {"a PPS width that is no number", [](RecvConfigTest& t) { t.Set("pPpsconfigWidth", QStringLiteral("abc")); },
         "pPPSOK", "Warning|PPSconfig Width must be a number from 0 to 1000."},
        {"an empty PPS period", [](RecvConfigTest& t) { t.W<QComboBox>("pPpsconfigPeriod")->setEditText(QString()); },
         "pPPSOK", "Warning|PPSconfig Period must be a number."},
        {"an empty PPS delay", [](RecvConfigTest& t) { t.Set("pPpsconfigUserDelay", QString()); }, "pPPSOK",
         "Warning|PPSconfig User Delay must be a number."},
        {"an empty cut-off", [](RecvConfigTest& t) { t.Set("pElevMask", QString()); }, "pGPSGEOK",
         "Warning|Elevation Mask must be a number from -90 to 90."},
        {"a cut-off above 90", [](RecvConfigTest& t) { t.Set("pElevMask", QStringLiteral("95")); }, "pBDSGEOK",
         "Warning|Elevation Mask must be a number from -90 to 90."},
        {"an RTK cut-off above 90", [](RecvConfigTest& t) { t.Set("pRTKElevMask", QStringLiteral("99")); }, "pGLOGEOK",
         "Warning|RTK Elevation Mask must be a number from 0 to 90."},
        {"an empty RTK cut-off", [](RecvConfigTest& t) { t.Set("pRTKElevMask", QString()); }, "pGalGEOK",
         "Warning|RTK Elevation Mask must be a number from 0 to 90."},
        {"NTRIP port and password empty: the port first",
         [&](RecvConfigTest& t)
         {
             ntrip(t, "pNtripClient");
             t.Set("pPortText", QString()), t.Set("pPasswordText", QString());
         },
         "pNtripOK", "Warning|Please input Port"},
        {"NTRIP mount point empty",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pNtripMountPoint", QString()); }, "pNtripOK",
         "Warning|Please input Mount Point"},
        {"NTRIP caster empty", [&](RecvConfigTest& t) { ntrip(t, "pNtripSever"), t.Set("pNtripNameText", QString()); },
         "pNtripOK", "Warning|Please input Server Name"},
        {"NTRIP client without a user name",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pUsernameText", QString()); }, "pNtripOK",
         "Warning|Please input Username "},
        {"NTRIP without a role", [&](RecvConfigTest& t) { ntrip(t, nullptr); }, "pNtripOK",
         "Warning|Please choose Server or Client."},
        {"a mount point with a space",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripSever"), t.Set("pNtripMountPoint", QStringLiteral("MP 1")); },
         "pNtripOK", "Warning|Mount Point must be one word, without blanks."},
        {"a password with a blank",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pPasswordText", QStringLiteral("p w")); },
         "pNtripOK", "Warning|Password must be one word, without blanks."},
        {"a user name with a line end",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pUsernameText", QStringLiteral("u\r\nfreset")); },
         "pNtripOK", "Warning|Username must be one word, without blanks."},
        {"a caster with its port in it",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pNtripNameText", QStringLiteral("c.invalid:1")); },
         "pNtripOK", "Warning|Server Name must not contain \":\"."},
        {"a port that is no number",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pPortText", QStringLiteral("21o1")); }, "pNtripOK",
         "Warning|Port must be a number from 1 to 65535."},
        {"a port out of range",
         [&](RecvConfigTest& t) { ntrip(t, "pNtripClient"), t.Set("pPortText", QStringLiteral("70000")); }, "pNtripOK",
         "Warning|Port must be a number from 1 to 65535."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        NewDialog().OnShowDialog();
        c.Fill(*this);
        Shell.Prompt.Messages.clear();
        EXPECT_EQ(Received(rx, pPort, [&] { Press(c.pButton); }), "");
        EXPECT_EQ(Shell.Prompt.Messages, QStringList(QLatin1String(c.pMessage)));
        EXPECT_TRUE(Dialog().isVisible());
    }
    // A refused PPS width is put back to 1000.
    NewDialog().OnShowDialog();
    Set("pPpsconfigWidth", QStringLiteral("1000.5"));
    Press("pPPSOK");
    EXPECT_EQ(Text("pPpsconfigWidth"), QStringLiteral("1000"));
}

TEST_F(RecvConfigTest, ATabSwitchNeverSendsOneReceiversSettingsToAnother)
{
    RECEIVER_RULES_T rulesA, rulesB;
    rulesA.UserConfig = {"NETCONFIG STATIC 10.0.0.2 255.0.0.0 10.0.0.1 RX-A",
                         "PPSCONFIG GPS ENABLE POSITIVE 200 1000 0 0"};
    rulesB.UserConfig = {"NETCONFIG STATIC 10.0.0.3 255.0.0.0 10.0.0.1 RX-B",
                         "PPSCONFIG BDS DISABLE NEGATIVE 800 500 5 5"};
    FakeReceiver rxA(rulesA), rxB(rulesB);
    QZvPortCtrlBase* pA = Open(rxA);
    QZvPortCtrlBase* pB = Open(rxB);
    ASSERT_TRUE(pA && pB);

    // Opened on A, and the user goes to B's tab before A has answered.
    Shell.Tabs.setCurrentIndex(0);
    Menu();
    Shell.Tabs.setCurrentIndex(1);
    ASSERT_TRUE(Replies());
    EXPECT_EQ(Text("pNetHostname"), QStringLiteral("RX-A"));
    EXPECT_EQ(Text("pPpsconfigWidth"), QStringLiteral("200"));

    // B's reply, asked by another window, does not fill the dialog; B's
    // position is not shown as A's.
    Ask();
    ASSERT_TRUE(Replies());
    EXPECT_EQ(Text("pNetHostname"), QStringLiteral("RX-A"));
    EXPECT_EQ(W<QComboBox>("pPpsconfigTimeref")->currentText(), QStringLiteral("GPS"));
    Dialog().OnPosCurPos(31.5, 121.0, 10.0);
    POS_DATA_T positionOfB{};
    positionOfB.Latitude = -0.5;
    Dialog().OnUpdateRefCurPos(&positionOfB);
    EXPECT_EQ(W<QLabel>("pPosLatDeg")->text(), QString());

    // Pressing OK with B current sends A's page to A, nothing to B.
    rxB.Net().ClearReceived();
    EXPECT_EQ(Received(rxA, pA, [&] { Press("pPPSOK"); }),
              "PPSCONFIG GPS Enable POSITIVE 200 1000 0 0\r\nsaveconfig\r\n");
    EXPECT_EQ(Received(rxB, pB, [] {}), "");

    // Opened on B, it starts blank rather than from A, then shows B.
    Menu();
    EXPECT_EQ(Dialog().PortID(), pB->UniquePortID);
    EXPECT_EQ(Text("pNetHostname"), QStringLiteral("Cindrel"));
    EXPECT_EQ(Text("pPpsconfigWidth"), QStringLiteral("1000"));
    ASSERT_TRUE(Replies());
    EXPECT_EQ(Text("pNetHostname"), QStringLiteral("RX-B"));
    Shell.Tabs.setCurrentIndex(0);
    // B reported a static address: OK keeps it static.
    EXPECT_EQ(Received(rxB, pB, [&] { Press("pChangeNetMode"); }),
              "netconfig static 10.0.0.3 255.0.0.0 10.0.0.1 RX-B\r\nsaveconfig\r\n");
    EXPECT_EQ(Received(rxA, pA, [] {}), "");

    // Its port closed, the dialog sends nowhere and says so.
    Shell.Tabs.setCurrentIndex(1);
    Menu();
    ASSERT_TRUE(Replies());
    Shell.Tabs.OnClosePort(1);
    Shell.Prompt.Messages.clear();
    EXPECT_EQ(Received(rxA, pA, [&] { Press("pPPSOK"); }), "");
    EXPECT_EQ(Shell.Prompt.Messages,
              QStringList(QStringLiteral("Warning|The port of this receiver is not open: nothing was sent.")));
    EXPECT_TRUE(Dialog().isVisible());
}

namespace
{
// A prompt that tells the boxes that wait for the user from those that do not.
class CRoadPrompt : public CScriptedPrompt
{
public:
    QStringList Waiting;
    void Message(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText) override
    {
        Waiting << sTitle + "|" + sText;
        CScriptedPrompt::Message(pParent, eIcon, sTitle, sText);
    }
};
} // namespace

TEST_F(RecvConfigTest, AReplyWithoutPpsSettingsIsReportedWithoutWaitingAndFillsTheOtherPages)
{
    RECEIVER_RULES_T rules;
    rules.UserConfig = {"LOCKOUT GPS 0X00000002", "ECUTOFF USER GPS 5.0 GLO 10.0 GAL 7.5 BDS 12.0 SBAS 5.0 QZSS 5.0",
                        "RTKECUTOFF USER GPS 15.0 GLO 15.0 GAL 15.0 BDS 20.0 SBAS 15.0 QZSS 15.0"};
    FakeReceiver rx(rules);
    ASSERT_NE(Open(rx), nullptr);
    CRoadPrompt prompt;
    Menu();
    ASSERT_TRUE(Replies());
    EXPECT_EQ(prompt.Messages, QStringList(QStringLiteral("Error|Get PPSConfigList Fail!!")));
    EXPECT_TRUE(prompt.Waiting.isEmpty());
    EXPECT_FALSE(Checked("pGPSGEO2"));
    EXPECT_TRUE(Checked("pGPSGEO1"));
    EXPECT_EQ(Text("pElevMask"), QStringLiteral("5.0"));
}

TEST_F(RecvConfigTest, ASystemTheReplyDoesNotListHasNothingLockedOut)
{
    // The fake receiver's stored configuration has a LOCKOUT line for GPS only.
    RECEIVER_RULES_T rules;
    ASSERT_EQ(std::count_if(rules.UserConfig.begin(), rules.UserConfig.end(),
                            [](const std::string& s) { return s.rfind("LOCKOUT", 0) == 0; }),
              1);
    ASSERT_EQ(rules.UserConfig[2], "LOCKOUT GPS 0X00000000");
    rules.UserConfig[2] = "LOCKOUT GPS 0X00000004";
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = Open(rx);
    ASSERT_NE(pPort, nullptr);
    Menu();
    ASSERT_TRUE(Replies());
    EXPECT_FALSE(Checked("pGPSGEO3"));
    EXPECT_TRUE(Checked("pGPSGEO4"));
    EXPECT_EQ(Received(rx, pPort, [&] { Press("pBDSGEOK"); }),
              Lockouts("BDS", 32, {}) + "ECUTOFF BDS 5.0\r\nRTKECUTOFF BDS 10.0\r\n");
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();
}

TEST_F(RecvConfigTest, ASatellitePageNoReplyHasFilledRefusesOkAndSendsNothing)
{
    RECEIVER_RULES_T silent;
    silent.AnswersUserConfig = false;
    FakeReceiver rxA, rxB(silent);
    QZvPortCtrlBase* pA = Open(rxA);
    QZvPortCtrlBase* pB = Open(rxB);
    ASSERT_TRUE(pA && pB);
    const auto refusal = [](const char* pPage)
    {
        return QStringLiteral("Warning|The satellites in use on the %1 page have not been read from the receiver "
                              "yet: nothing was sent. Wait for its reply, or choose Enable All or Disable All first.")
            .arg(QLatin1String(pPage));
    };

    // A asked, and OK pressed before the event loop has run, so before its reply can have been read.
    Shell.Tabs.setCurrentIndex(0);
    const std::string sEarly = Received(rxA, pA,
                                        [&]
                                        {
                                            Menu();
                                            Press("pGPSGEOK");
                                        });
    EXPECT_EQ(sEarly.find("LOCKOUT"), std::string::npos) << sEarly;
    EXPECT_EQ(sEarly.find("ECUTOFF"), std::string::npos) << sEarly;
    EXPECT_EQ(Shell.Prompt.Messages, QStringList(refusal("GPS")));
    EXPECT_TRUE(Dialog().isVisible());
    // Once the reply has filled the page, the same OK sends it.
    ASSERT_TRUE(Replies());
    Shell.Prompt.Messages.clear();
    EXPECT_EQ(Received(rxA, pA, [&] { Press("pGPSGEOK"); }),
              Lockouts("GPS", 32, {}) + "ECUTOFF gps 5.0\r\nRTKECUTOFF gps 10.0\r\n");
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();

    // B never answers: opened on it, the dialog forgets A's boxes and no page sends.
    Shell.Tabs.setCurrentIndex(1);
    Menu();
    ASSERT_TRUE(WaitUntil([&] { return rxB.Net().Received().find("USERCONFIG") != std::string::npos; }));
    EXPECT_EQ(Received(rxB, pB,
                       [&]
                       {
                           for (const char* p : {"pGPSGEOK", "pGLOGEOK", "pGalGEOK", "pBDSGEOK"})
                               Press(p);
                       }),
              "");
    EXPECT_EQ(Shell.Prompt.Messages,
              QStringList({refusal("GPS"), refusal("GLONASS"), refusal("Galileo"), refusal("BDS")}));
    EXPECT_TRUE(Dialog().isVisible());
    // Enable All and Disable All set a page as a whole: the user's choice is sent, the pages left alone still refuse.
    Shell.Prompt.Messages.clear();
    const auto choose = [&](const char* pAll, const char* pOK)
    {
        Dialog().OnShowDialog();
        return Received(rxB, pB,
                        [&]
                        {
                            Press(pAll);
                            Press(pOK);
                        });
    };
    EXPECT_EQ(choose("pBDSGEOEnableAll", "pBDSGEOK"),
              Lockouts("BDS", 32, {}) + "ECUTOFF BDS 0.00\r\nRTKECUTOFF BDS 0.00\r\n");
    std::set<int> all;
    for (int k = 1; k <= 24; ++k)
        all.insert(k);
    EXPECT_EQ(choose("pGPSGLODisableAll", "pGLOGEOK"),
              Lockouts("GLO", 24, all) + "ECUTOFF GLO 0.00\r\nRTKECUTOFF GLO 0.00\r\n");
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();
    Dialog().OnShowDialog();
    EXPECT_EQ(Received(rxB, pB, [&] { Press("pGalGEOK"); }), "");
    EXPECT_EQ(Shell.Prompt.Messages, QStringList(refusal("Galileo")));
}

TEST_F(RecvConfigTest, AStoredFixedPositionTakesTheShownPositionOnlyWhileTheReceiverHasAFix)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    // 31 deg 30' S, 121 deg 0.6' E, RTK fixed; the next second's GGA ends the epoch.
    port.Receive(
        QByteArray::fromStdString(Nmea("GPGGA,012345.00,3130.0000,S,12100.6000,E,4,12,0.8,12.500,M,2.500,M,3,0007") +
                                  Nmea("GPGGA,012346.00,3130.0000,S,12100.6000,E,4,12,0.8,12.500,M,2.500,M,4,0007")));
    POS_DATA_T& position = Shell.Tabs.GetPosDataParser()->m_PosData;
    ASSERT_TRUE(WaitUntil([&] { return position.FixQuality == 4; }));
    const char* const refs[] = {"pRefLatDeg",    "pRefLatMinute", "pRefLatSecond", "pRefLonDeg",
                                "pRefLonMinute", "pRefLonSecond", "pRefHeight"};
    const char* const kReceiverPosition[] = {"31", "30", "0.00000", "121", "0", "36.00000", nullptr};
    const char* const kBlankForm[] = {"0", "0", "0.00000", "0", "0", "0.00000", "0.000"};
    const struct
    {
        const char* pName;
        const char* pFixLine;
        uint8_t FixQuality;
        bool bTaken;
    } cases[] = {
        {"a fixed position and a fix", "FIX POSITION 31.5 121.01 12.5", 4, true},
        {"a fixed position without a fix", "FIX POSITION 31.5 121.01 12.5", 0, false},
        {"a fix and no fixed position", "FIX NONE", 4, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        position.FixQuality = c.FixQuality;
        NewDialog();
        Menu();
        // A position shown before the reply, the 800 ms update's.
        Dialog().OnPosCurPos(10.5, -20.25, 30.0);
        port.Receive(QByteArrayLiteral("<USERCONFIG\r\n") + kPpsLine[0].c_str() + "\r\n" + c.pFixLine +
                     "\r\n<USERCONFIG OK\r\n");
        ASSERT_TRUE(Replies());
        for (int i = 0; i < 7; ++i)
        {
            const char* pExpected = c.bTaken ? kReceiverPosition[i] : kBlankForm[i];
            EXPECT_EQ(Text(refs[i]), pExpected ? QLatin1String(pExpected) : W<QLabel>("pPosHeight")->text()) << refs[i];
        }
        EXPECT_EQ(Checked("pRefLatSouth"), c.bTaken);
        EXPECT_TRUE(Checked("pRefLonEast"));
    }
}

TEST_F(RecvConfigTest, TheStoredNtripAndPpsLinesFillTheirPagesWhateverTheirLength)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    const QString sPps = QStringLiteral("PPSCONFIG GPS ENABLE POSITIVE 1000 1000 0 0");
    const struct
    {
        const char* pName;
        QStringList Lines;
        std::function<void(RecvConfigTest&)> Check;
    } cases[] = {
        {"six fields: no user name, no password",
         {sPps, "NTRIPCONFIG NCOM1 CLIENT V2 caster.invalid:2101 MP1"},
         [](RecvConfigTest& t)
         {
             EXPECT_TRUE(t.Checked("pNtripClient"));
             EXPECT_EQ(t.W<QComboBox>("pNtripFormat")->currentIndex(), 1);
             EXPECT_EQ(t.Text("pUsernameText"), QString());
             EXPECT_EQ(t.Text("pPasswordText"), QString());
             EXPECT_EQ(t.Text("pNtripMountPoint"), QStringLiteral("MP1"));
         }},
        {"seven fields: no user name, no password",
         {sPps, "NTRIPCONFIG NCOM1 CLIENT V2 caster.invalid:2101 MP1 u1"},
         [](RecvConfigTest& t)
         {
             EXPECT_EQ(t.Text("pUsernameText"), QString());
             EXPECT_EQ(t.Text("pPasswordText"), QString());
         }},
        {"disabled: the empty user name shown as stored",
         {sPps, "NTRIPCONFIG NCOM1 DISABLED V1 caster.invalid:2101 MP1 \"\" pw"},
         [](RecvConfigTest& t)
         {
             EXPECT_EQ(t.Text("pUsernameText"), QStringLiteral("\"\""));
             EXPECT_TRUE(t.Checked("pNtripClient"));
             EXPECT_FALSE(t.Checked("pNtripEnable"));
             EXPECT_FALSE(t.W<QLineEdit>("pUsernameText")->isHidden());
         }},
        {"a caster without a port",
         {sPps, "NTRIPCONFIG NCOM1 SERVER V2 caster.invalid MP9 \"\" pw"},
         [](RecvConfigTest& t)
         {
             EXPECT_EQ(t.Text("pNtripNameText"), QStringLiteral("caster.invalid"));
             EXPECT_EQ(t.Text("pPortText"), QString());
             EXPECT_TRUE(t.Checked("pNtripSever"));
         }},
        {"only the mode",
         {sPps, "NTRIPCONFIG NCOM1 CLIENT"},
         [](RecvConfigTest& t)
         {
             EXPECT_TRUE(t.Checked("pNtripClient"));
             EXPECT_EQ(t.Text("pNtripNameText"), QString());
         }},
        {"too short to read",
         {sPps, "NTRIPCONFIG NCOM1"},
         [](RecvConfigTest& t) { EXPECT_FALSE(t.Checked("pNtripClient") || t.Checked("pNtripSever")); }},
        {"a switch word in lower case is the same word",
         {"PPSCONFIG BDS enable NEGATIVE 1000 1000 0 0"},
         [](RecvConfigTest& t)
         {
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigSwitch")->currentText(), QStringLiteral("Enable"));
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigTimeref")->currentText(), QStringLiteral("BDS"));
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigPeriod")->currentText(), QStringLiteral("1000"));
         }},
        {"words the lists lack, shown and sent as the receiver has them",
         {"PPSCONFIG GAL ENABLE_FIX_ONLY RISING 1000 1000 0 0"},
         [](RecvConfigTest& t)
         {
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigTimeref")->currentText(), QStringLiteral("GAL"));
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigSwitch")->currentText(), QStringLiteral("ENABLE_FIX_ONLY"));
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigPolarity")->currentText(), QStringLiteral("RISING"));
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigTimeref")->count(), 3);
             EXPECT_EQ(t.Dialog().OnPPSOK(),
                       QStringLiteral("PPSCONFIG GAL ENABLE_FIX_ONLY RISING 1000 1000 0 0\r\nsaveconfig\r\n"));
         }},
        {"PPS too short to read",
         {"PPSCONFIG BDS ENABLE NEGATIVE 300"},
         [](RecvConfigTest& t)
         {
             EXPECT_EQ(t.Text("pPpsconfigWidth"), QStringLiteral("1000"));
             EXPECT_EQ(t.W<QComboBox>("pPpsconfigTimeref")->currentText(), QStringLiteral("GPS"));
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        NewDialog();
        Menu();
        port.Receive(("<USERCONFIG\r\n" + c.Lines.join(QStringLiteral("\r\n")) + "\r\n<USERCONFIG OK\r\n").toUtf8());
        ASSERT_TRUE(Replies());
        c.Check(*this);
    }
    EXPECT_TRUE(Shell.Prompt.Messages.isEmpty()) << Shell.Prompt.Messages.join('\n').toStdString();
}

TEST_F(RecvConfigTest, APositionShowsInDegreesMinutesAndSecondsOfItsHemisphere)
{
    const struct
    {
        double dLat, dLon, dHeight;
        const char* Shown[9]; // N/S, deg, min, sec, E/W, deg, min, sec, height
    } cases[] = {
        {-31.5, 121.01, 12.5, {"S", "31", "30", "0.00000", "E", "121", "0", "36.00000", "12.500"}},
        // Just below a whole degree: the next degree, not "60.00000" seconds.
        {10.99999999999, -0.0000001, -3.25, {"N", "11", "0", "0.00000", "W", "0", "0", "0.00036", "-3.250"}},
        {0.0, -179.75, 8848.125, {"N", "0", "0", "0.00000", "W", "179", "45", "0.00000", "8848.125"}},
    };
    const char* const labels[] = {"pPosLatNorthSouth", "pPosLatDeg",      "pPosLatMinute",
                                  "pPosLatSecond",     "pPosLonEastWest", "pPosLonDeg",
                                  "pPosLonMinute",     "pPosLonSecond",   "pPosHeight"};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.dLat);
        EXPECT_EQ(Dialog().OnPosCurPos(c.dLat, c.dLon, c.dHeight), 0.0);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(W<QLabel>(labels[i])->text(), QLatin1String(c.Shown[i])) << labels[i];
    }
    // The 800 ms update converts the record's radians.
    POS_DATA_T pos{};
    pos.Latitude = -31.5 / 180.0 * 3.141592653589793;
    pos.Longitude = 121.01 / 180.0 * 3.141592653589793;
    pos.Height = 12.5;
    Dialog().OnUpdateRefCurPos(&pos);
    EXPECT_EQ(W<QLabel>("pPosLatMinute")->text(), QStringLiteral("30"));
    EXPECT_EQ(W<QLabel>("pPosLonSecond")->text(), QStringLiteral("36.00000"));
    EXPECT_EQ(W<QLabel>("pPosLatNorthSouth")->text(), QStringLiteral("S"));
    // Degrees, minutes and seconds to decimal degrees, minutes not range-checked.
    EXPECT_EQ(Dialog().OnRefGetLat("31", "30", "0"), QStringLiteral("31.500000000000"));
    EXPECT_EQ(Dialog().OnRefGetLat("10", "60", "0"), QStringLiteral("11.000000000000"));
}

TEST_F(RecvConfigTest, TheModeEnablesTheAddressFieldsAndTheRoleTheUserNameRow)
{
    Dialog().OnShowDialog();
    QComboBox* pMode = W<QComboBox>("pNetMode");
    const char* const octets[] = {"pNetIdAddress1", "pNetMask3", "pNetGatway4"};
    pMode->setCurrentIndex(0);
    for (const char* p : octets)
        EXPECT_FALSE(W<QLineEdit>(p)->isEnabled()) << p;
    EXPECT_TRUE(W<QLineEdit>("pNetHostname")->isEnabled());
    pMode->setCurrentIndex(1);
    for (const char* p : octets)
        EXPECT_TRUE(W<QLineEdit>(p)->isEnabled()) << p;
    Press("pNtripSever");
    EXPECT_FALSE(W<QLineEdit>("pUsernameText")->isVisible());
    EXPECT_FALSE(W<QLabel>("pUsernamelabel")->isVisible());
    Press("pNtripClient");
    EXPECT_TRUE(W<QLineEdit>("pUsernameText")->isVisible());
    // Every Cancel closes the dialog.
    for (const char* pCancel : {"pRefCancelButton", "pPPSCancel", "pGPSGEOCancel", "pGLOGEOCancel", "pGalGEOCancel",
                                "pBDSGEOCancel", "pNtripCancel"})
    {
        Dialog().show();
        Press(pCancel);
        EXPECT_FALSE(Dialog().isVisible()) << pCancel;
    }
}

// The network page shows the mode the receiver reports, from its user
// configuration or else from its reply to "netconfig" when the port opened, so
// that OK keeps a static receiver static (and one on DHCP on DHCP); with the
// mode neither reported nor chosen, OK sends nothing and says why.
TEST_F(RecvConfigTest, TheNetworkPageKeepsTheModeTheReceiverReports)
{
    const struct
    {
        const char* pName;
        std::vector<std::string> UserConfig;
        std::string NetConfigReply;
        std::string Expected;
    } cases[] = {
        {"static in the user configuration, on the prompt's line",
         {"NETCONFIG STATIC 192.168.7.20 255.255.255.0 192.168.7.1 BASE07",
          "PPSCONFIG GPS ENABLE POSITIVE 1000 1000 0 0"},
         "NETCONFIG DHCP",
         "netconfig static 192.168.7.20 255.255.255.0 192.168.7.1 BASE07\r\nsaveconfig\r\n"},
        {"static in the netconfig reply alone",
         {"PPSCONFIG GPS ENABLE POSITIVE 1000 1000 0 0"},
         "NETCONFIG STATIC 10.8.0.5 255.255.0.0 10.8.0.1 RX9",
         "netconfig static 10.8.0.5 255.255.0.0 10.8.0.1 RX9\r\nsaveconfig\r\n"},
        {"DHCP in the user configuration",
         {"NETCONFIG DHCP 10.8.0.5 255.255.0.0 10.8.0.1 RX9", "PPSCONFIG GPS ENABLE POSITIVE 1000 1000 0 0"},
         "NETCONFIG STATIC 10.8.0.5 255.255.0.0 10.8.0.1 RX9",
         "netconfig dhcp\r\nsaveconfig\r\n"},
        {"no mode reported", {"PPSCONFIG GPS ENABLE POSITIVE 1000 1000 0 0"}, "", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        RECEIVER_RULES_T rules;
        rules.RepliesOnPromptLine = true;
        rules.UserConfig = c.UserConfig;
        rules.NetConfig = c.NetConfigReply;
        FakeReceiver rx(rules);
        QZvPortCtrlBase* pPort = Open(rx);
        ASSERT_NE(pPort, nullptr);
        Shell.Tabs.setCurrentIndex(Shell.Tabs.GetTabIndexByPortID(pPort->UniquePortID));
        NewDialog();
        Menu();
        ASSERT_TRUE(Replies());
        Shell.Prompt.Messages.clear();
        EXPECT_EQ(Received(rx, pPort, [&] { Press("pChangeNetMode"); }), c.Expected);
        const QStringList said =
            c.Expected.empty() ? QStringList("Warning|The receiver's network mode is not known: choose DHCP or STATIC.")
                               : QStringList();
        EXPECT_EQ(Shell.Prompt.Messages, said);
        Shell.Tabs.OnClosePort(Shell.Tabs.GetTabIndexByPortID(pPort->UniquePortID));
    }
}
