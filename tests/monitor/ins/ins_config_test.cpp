// The INS configuration dialog against fake receivers, driven as a user drives
// it: opened on the current port, each page's OK sending the receiver's exact
// command bytes for an installation to the port it was opened on, every field
// out of the receiver's range (or no plain number) refused with its message
// and nothing sent, and the pages filled from the receiver's stored
// configuration by the board-model rule.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <map>
#include <memory>

#include "ins_bench.h"
#include "monitor/shell/monitor_translations.h"

namespace
{
class InsConfigTest : public ::testing::Test
{
protected:
    ~InsConfigTest() override { InstallMonitorTranslations(QStringLiteral("en")); }

    QZvINSConfig& Dialog() { return Bench.InsConfig; }
    template <typename T> T* W(const char* pName)
    {
        T* p = Dialog().findChild<T*>(QLatin1String(pName));
        EXPECT_NE(p, nullptr) << pName;
        return p;
    }
    void Set(const char* pEdit, const QString& sText) { W<QLineEdit>(pEdit)->setText(sText); }
    QString Text(const char* pEdit) { return W<QLineEdit>(pEdit)->text(); }
    // Brings the button's page forward and clicks it.
    void Press(const char* pButton)
    {
        QAbstractButton* p = W<QAbstractButton>(pButton);
        auto* pTabs = W<QTabWidget>("pINSWindow");
        for (int i = 0; i < pTabs->count(); ++i)
            if (pTabs->widget(i)->isAncestorOf(p))
                pTabs->setCurrentIndex(i);
        QTest::mouseClick(p, Qt::LeftButton, Qt::NoModifier, QPoint(qMin(6, p->width() / 2), p->height() / 2));
    }
    // Opens the dialog on the port, as the menu entry does, and waits for the
    // port's user configuration to fill it.
    void Open(const QZvPortCtrlBase* pPort)
    {
        Bench.MakeCurrent(pPort);
        Dialog().OnShowDialog();
        Bench.Shell.Tabs.OnRequestUserConfigMsg();
        ASSERT_TRUE(WaitUntil([&] { return Bench.Answered(pPort); }));
    }

    InsBench Bench;
};

struct FIELD_T
{
    const char* pName;
    const char* pText;
};
} // namespace

// An installation per row: what the user enters on a page and the bytes the
// receiver gets for it.
TEST_F(InsConfigTest, EachInstallationReachesTheReceiverByteForByte)
{
    struct CASE_T
    {
        const char* Name;
        std::vector<FIELD_T> Fields;
        int AlignMode = -1; // index in the box, -1: as it is
        int Profile = -1;
        int MountingAuto = -1; // 0 manual, 1 automatic
        const char* Button;
        std::string Sent;
        const char* Board = nullptr; // model of the receiver, read by the dialog first; null: no model rule
    };
    const CASE_T cases[] = {
        {"static alignment, land vehicle",
         {{"qSpeedThreshold", "0.5"}},
         2,
         1,
         -1,
         "pGeneralOKButton",
         "set dynalign  0.5\r\nSETINSPROFILE LAND_BASIC\r\nALIGNMODE STATIC\r\n"},
        {"no speed threshold: its line is left out, the rest is sent",
         {{"qSpeedThreshold", ""}},
         2,
         1,
         -1,
         "pGeneralOKButton",
         "SETINSPROFILE LAND_BASIC\r\nALIGNMODE STATIC\r\n"},
        {"heading just below 360, low speed",
         {{"qSpeedThreshold", "1"}, {"pHeadingLineEdit", "359.9"}},
         4,
         6,
         -1,
         "pGeneralOKButton",
         "set dynalign  1\r\nSETINSPROFILE LOWSPEED\r\nalignmode azi 359.9\r\n"},
        {"heading just above 0, marine",
         {{"qSpeedThreshold", ".8"}, {"pHeadingLineEdit", "0.5"}},
         4,
         2,
         -1,
         "pGeneralOKButton",
         "set dynalign  .8\r\nSETINSPROFILE MARINE_BASIC\r\nalignmode azi 0.5\r\n"},
        {"rotated IMU, the ends of the ranges",
         {{"pMountingX", "-180"},
          {"pMountingXstd", "45"},
          {"pMountingY", "0.25"},
          {"pMountingYstd", "0"},
          {"pMountingZ", "180"},
          {"pMountingZstd", "2.5"}},
         -1,
         -1,
         0,
         "pMountingOKButton",
         "SETINSROTATION RBV -180 0.25 180 45 0 2.5\r\n"},
        {"automatic mounting estimate",
         {{"pMountingX", "12"}},
         -1,
         -1,
         1,
         "pMountingOKButton",
         "SETINSROTATION Auto\r\n"},
        {"dual antennas on a van",
         {{"pGNSSLeverArmX", "0.12"},
          {"pGNSSLeverArmY", "-0.455"},
          {"pGNSSLeverArmZ", "1.2"},
          {"pGNSSLeverArmXStd", "0.01"},
          {"pGNSSLeverArmYStd", "0.01"},
          {"pGNSSLeverArmZStd", "0.02"},
          {"pGNSSBaselineVeX", "1.5"},
          {"pGNSSBaselineVeY", "0"},
          {"pGNSSBaselineVeZ", "-0.010"},
          {"pGNSSBaselineVeXstd", "0.05"},
          {"pGNSSBaselineVeYstd", "0.05"},
          {"pGNSSBaselineVeZstd", "10"},
          {"pVehicleLeverArmX", "-100"},
          {"pVehicleLeverArmY", "100"},
          {"pVehicleLeverArmZ", "0.3"},
          {"pVehicleLeverArmXstd", "0.1"},
          {"pVehicleLeverArmYstd", "0.1"},
          {"pVehicleLeverArmZstd", "0.1"}},
         -1,
         -1,
         -1,
         "pGNSSLAOKButton",
         "SETINSTRANSLATION  ANT1 0.12 -0.455 1.2 0.01 0.01 0.02\n"
         "SETINSTRANSLATION  ANT2 1.5 0 -0.010 0.05 0.05 10\n"
         "SETINSTRANSLATION  RBV -100 100 0.3 0.1 0.1 0.1\r\n"},
        {"lever arms left at their defaults",
         {},
         -1,
         -1,
         -1,
         "pGNSSLAOKButton",
         "SETINSTRANSLATION  ANT1 0.000 0.000 0.000 0.000 0.000 0.000\n"
         "SETINSTRANSLATION  ANT2 0.000 0.000 0.000 0.000 0.000 0.000\n"
         "SETINSTRANSLATION  RBV 0.000 0.000 0.000 0.000 0.000 0.000\r\n"},
        {"dual-antenna alignment, sent as the receiver's word",
         {{"qSpeedThreshold", "0.5"}},
         4,
         1,
         -1,
         "pGeneralOKButton",
         "set dynalign  0.5\r\nSETINSPROFILE LAND_BASIC\r\nALIGNMODE DUALANT\r\n",
         "ZV906-B2"},
        {"a single-antenna board: its baseline is neither checked nor sent",
         {{"pGNSSLeverArmX", "0.12"}, {"pGNSSBaselineVeX", "500"}, {"pVehicleLeverArmZ", "0.3"}},
         -1,
         -1,
         -1,
         "pGNSSLAOKButton",
         "SETINSTRANSLATION  ANT1 0.12 0.000 0.000 0.000 0.000 0.000\n"
         "SETINSTRANSLATION  RBV 0.000 0.000 0.3 0.000 0.000 0.000\r\n",
         "ZV912-A1"},
    };
    FakeReceiver rxPlain;
    QZvPortCtrlBase* pPlain = Bench.OpenTcp(rxPlain);
    ASSERT_NE(pPlain, nullptr);
    std::map<std::string, std::pair<std::unique_ptr<FakeReceiver>, QZvPortCtrlBase*>> boards;
    for (const CASE_T& c : cases)
        if (c.Board != nullptr && boards.count(c.Board) == 0)
        {
            RECEIVER_RULES_T rules;
            rules.VersionLine = std::string(c.Board) + ",R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F";
            auto pRx = std::make_unique<FakeReceiver>(rules);
            QZvPortCtrlBase* pBoardPort = Bench.OpenTcp(*pRx);
            ASSERT_NE(pBoardPort, nullptr) << c.Board;
            boards[c.Board] = {std::move(pRx), pBoardPort};
        }
    // A language whose numbers have a decimal comma changes nothing the receiver reads.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        FakeReceiver& rx = c.Board != nullptr ? *boards[c.Board].first : rxPlain;
        QZvPortCtrlBase* pPort = c.Board != nullptr ? boards[c.Board].second : pPlain;
        if (c.Board != nullptr)
            Open(pPort);
        else
        {
            Bench.MakeCurrent(pPort);
            Dialog().OnShowDialog();
        }
        for (const FIELD_T& f : c.Fields)
            Set(f.pName, QString::fromUtf8(f.pText));
        if (c.AlignMode >= 0)
            W<QComboBox>("qAlignmentModeBox")->setCurrentIndex(c.AlignMode);
        if (c.Profile >= 0)
            W<QComboBox>("pReceiverDyM")->setCurrentIndex(c.Profile);
        if (c.MountingAuto >= 0 && W<QCheckBox>("pMountingType")->isChecked() != (c.MountingAuto == 1))
            Press("pMountingType");
        const std::string sGot = Bench.Received(rx.Net(), pPort, [&] { Press(c.Button); });
        EXPECT_EQ(sGot, c.Sent);
        EXPECT_TRUE(Bench.Shell.Prompt.Messages.isEmpty()) << Bench.Shell.Prompt.Messages.join('\n').toStdString();
        EXPECT_FALSE(Dialog().isVisible()) << "an OK closes the dialog";
        for (const FIELD_T& f : c.Fields)
            Set(f.pName, QStringLiteral("0.000"));
    }
    QLocale::setDefault(before);

    // In Chinese the modes read Chinese, and the receiver still gets its own word.
    {
        ASSERT_GT(InstallMonitorTranslations(QStringLiteral("zh")), 0);
        Dialog().OnLanguageUpdate();
        auto& board = boards["ZV906-B2"];
        Open(board.second);
        Set("qSpeedThreshold", QStringLiteral("0.5"));
        W<QComboBox>("qAlignmentModeBox")->setCurrentIndex(4);
        W<QComboBox>("pReceiverDyM")->setCurrentIndex(1);
        EXPECT_NE(W<QComboBox>("qAlignmentModeBox")->currentText(), QStringLiteral("DUAL ANTENNA"));
        EXPECT_EQ(Bench.Received(board.first->Net(), board.second, [&] { Press("pGeneralOKButton"); }),
                  "set dynalign  0.5\r\nSETINSPROFILE LAND_BASIC\r\nALIGNMODE DUALANT\r\n");
        Set("qSpeedThreshold", QStringLiteral("0.000"));
        InstallMonitorTranslations(QStringLiteral("en"));
        Dialog().OnLanguageUpdate();
    }

    // The switch: off sends "disable" and disables every page, on the reverse; the dialog stays.
    FakeReceiver& rx = rxPlain;
    QZvPortCtrlBase* pPort = pPlain;
    Bench.MakeCurrent(pPort);
    Dialog().OnShowDialog();
    auto* pSwitch = W<QCheckBox>("pINSEnCheck");
    EXPECT_TRUE(pSwitch->isChecked());
    EXPECT_TRUE(W<QWidget>("pGeneralPage")->isEnabled()) << "the checked switch's pages are usable";
    EXPECT_EQ(Bench.Received(rx.Net(), pPort, [&] { QTest::mouseClick(pSwitch, Qt::LeftButton, {}, QPoint(6, 6)); }),
              "inscommand disable\r\n");
    EXPECT_FALSE(W<QWidget>("pMountingPage")->isEnabled());
    EXPECT_EQ(Bench.Received(rx.Net(), pPort, [&] { QTest::mouseClick(pSwitch, Qt::LeftButton, {}, QPoint(6, 6)); }),
              "inscommand enable\r\n");
    EXPECT_TRUE(W<QWidget>("pGeneralPage")->isEnabled());
    EXPECT_TRUE(Dialog().isVisible());
}

// A field out of the receiver's range, or no plain number, is refused with
// the message of the first failing check; that field is reset and nothing is sent.
TEST_F(InsConfigTest, FieldsOutOfRangeAreRefusedAndNothingIsSent)
{
    struct CASE_T
    {
        const char* Field;
        const char* Text;
        const char* Button;
        const char* Message;
        const char* ResetTo;
    };
    const CASE_T cases[] = {
        {"pMountingYstd", "45.01", "pMountingOKButton", "y 1-sigma range is  0~45 degree", "0.000"},
        {"pMountingX", "180.5", "pMountingOKButton", "X range is -180~180 degree", "0.000"},
        {"pMountingZ", "-181", "pMountingOKButton", "z range is -180~180 degree", "0.000"},
        {"pMountingXstd", "-0.1", "pMountingOKButton", "X 1-sigma range is 0~45 degree", "0.000"},
        {"pGNSSLeverArmX", "100.01", "pGNSSLAOKButton", "IMU to Primary GNSS Lever Arm X range is -100-100 m", "0.000"},
        {"pGNSSLeverArmZStd", "10.5", "pGNSSLAOKButton", "IMU to Primary GNSS Lever Arm z 1-sigma range is 0~10m",
         "0.000"},
        {"pGNSSBaselineVeY", "abc", "pGNSSLAOKButton",
         "Primary to Secondary GNSS Baseline Vector Y range is -100~100 m", "0.000"},
        {"pVehicleLeverArmX", "1e1", "pGNSSLAOKButton", "IMU to Vehicle Lever Arm X range is -100~100 m", "0.000"},
        {"pVehicleLeverArmYstd", "0,5", "pGNSSLAOKButton", "IMU to Vehicle Lever Arm y 1-sigma range is 0~10m",
         "0.000"},
        {"pVehicleLeverArmZ", "", "pGNSSLAOKButton", "IMU to Vehicle Lever Arm z range is -100~100 m", "0.000"},
        {"pHeadingLineEdit", "360", "pGeneralOKButton", "Heading range is 0~360", ""},
        {"pHeadingLineEdit", "0", "pGeneralOKButton", "Heading range is 0~360", ""},
        {"pHeadingLineEdit", "north", "pGeneralOKButton", "Heading range is 0~360", ""},
        {"qSpeedThreshold", "fast", "pGeneralOKButton",
         "The alignment speed threshold must be a number of m/s, such as 0.5.", "fast"},
    };
    FakeReceiver rx;
    QZvPortCtrlBase* pPort = Bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    Bench.MakeCurrent(pPort);
    Dialog().OnShowDialog();
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(std::string(c.Field) + " = " + c.Text);
        Dialog().OnShowDialog();
        Set("qSpeedThreshold", QStringLiteral("0.5"));
        W<QComboBox>("qAlignmentModeBox")->setCurrentIndex(4); // the heading mode
        Set("pHeadingLineEdit", QStringLiteral("90"));
        // The manual angles, so that the angle fields are enabled.
        if (W<QCheckBox>("pMountingType")->isChecked())
            Press("pMountingType");
        Set(c.Field, QString::fromUtf8(c.Text));
        Bench.Shell.Prompt.Messages.clear();
        EXPECT_EQ(Bench.Received(rx.Net(), pPort, [&] { Press(c.Button); }), "");
        EXPECT_EQ(Bench.Shell.Prompt.Messages, QStringList{QStringLiteral("Warning|") + c.Message});
        EXPECT_EQ(Text(c.Field), QString::fromUtf8(c.ResetTo));
        EXPECT_TRUE(Dialog().isVisible()) << "a refusal leaves the dialog open";
        Set(c.Field, QStringLiteral("0.000"));
    }
    // Nothing goes out when the dialog's port has gone.
    Bench.Shell.Tabs.OnClosePort(0);
    Bench.Shell.Prompt.Messages.clear();
    Press("pMountingOKButton");
    EXPECT_EQ(Bench.Shell.Prompt.Messages,
              QStringList{QStringLiteral("Warning|The port of this receiver is not open: nothing was sent.")});
}

// The pages are filled from the stored configuration of the receiver the
// dialog was opened on; the board model decides the alignment modes offered
// and whether the baseline can be entered.
TEST_F(InsConfigTest, FillsItsPagesFromTheReceiversConfigurationByBoardModel)
{
    struct CASE_T
    {
        const char* Name;
        const char* Model;
        std::vector<std::string> UserConfig;
        QStringList Modes;   // offered
        QString Selected;    // alignment mode selected
        bool BaselineEnabled;
        bool HeadingShown;
        QString Heading;
    };
    const std::vector<std::string> common = {
        "SETINSTRANSLATION ANT1 0.1 0.2 0.3 0.01 0.02 0.03",
        "SETINSTRANSLATION DUALANT 1.1 0 -0.2 0.05 0.05 0.1",
        "SETINSROTATION RBV 0 0 -90 1 1 2",
        "DYNALIGN 0.7",
        "SETINSPROFILE MARINE_BASIC",
    };
    const QStringList single = {"NONE", "AUTO", "STATIC", "DYNAMIC", "EXTERNAL HEADING"};
    const QStringList dual = {"NONE", "AUTO", "STATIC", "DYNAMIC", "DUAL ANTENNA", "EXTERNAL HEADING"};
    const CASE_T cases[] = {
        {"dual-antenna board", "ZV906-B2", {"ALIGNMODE DUALANT"}, dual, "DUAL ANTENNA", true, false, ""},
        {"single-antenna board with a heading", "ZV912-A1", {"ALIGNMODE AZI 123.5"}, single, "EXTERNAL HEADING",
         false, true, "123.5"},
        {"two-word mode without AZI", "ZV9C2-A1", {"ALIGNMODE EXTERNAL HEADING"}, single, "EXTERNAL HEADING", false,
         true, ""},
        {"unknown board: nothing to look the mode up in", "ZV100-A1", {"ALIGNMODE STATIC"}, single, "", true, false,
         ""},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        RECEIVER_RULES_T rules;
        rules.VersionLine = std::string(c.Model) + ",R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F";
        rules.UserConfig = common;
        rules.UserConfig.insert(rules.UserConfig.end(), c.UserConfig.begin(), c.UserConfig.end());
        FakeReceiver rx(rules);
        QZvPortCtrlBase* pPort = Bench.OpenTcp(rx);
        ASSERT_NE(pPort, nullptr);
        Open(pPort);
        auto* pModes = W<QComboBox>("qAlignmentModeBox");
        QStringList offered;
        for (int i = 0; i < pModes->count(); ++i)
            offered << pModes->itemText(i);
        EXPECT_EQ(offered, c.Modes);
        EXPECT_EQ(pModes->currentText(), c.Selected);
        EXPECT_EQ(W<QLineEdit>("pGNSSBaselineVeX")->isEnabled(), c.BaselineEnabled);
        EXPECT_EQ(W<QWidget>("pGNSSBaselinehint")->isEnabled(), c.BaselineEnabled);
        EXPECT_EQ(W<QLineEdit>("pHeadingLineEdit")->isVisibleTo(&Dialog()), c.HeadingShown);
        EXPECT_EQ(Text("pHeadingLineEdit"), c.Heading);
        EXPECT_EQ(Text("pGNSSLeverArmX") + " " + Text("pGNSSLeverArmZStd"), QStringLiteral("0.1 0.03"));
        EXPECT_EQ(Text("pGNSSBaselineVeZ"), QStringLiteral("-0.2"));
        EXPECT_EQ(Text("pMountingZ") + " " + Text("pMountingZstd"), QStringLiteral("-90 2"));
        EXPECT_FALSE(W<QCheckBox>("pMountingType")->isChecked());
        EXPECT_TRUE(W<QLineEdit>("pMountingZ")->isEnabled());
        EXPECT_EQ(Text("qSpeedThreshold"), QStringLiteral("0.7"));
        EXPECT_EQ(W<QComboBox>("pReceiverDyM")->currentIndex(), 2);
        EXPECT_EQ(Text("pVehicleLeverArmX"), QStringLiteral("0.000")) << "the receiver does not report it";
        Bench.Shell.Tabs.OnClosePort(Bench.Shell.Tabs.GetTabIndexByPortID(pPort->UniquePortID));
    }
}

// One receiver at a time: another port's reply does not fill the dialog, and
// what it sends goes to the port it was opened on whatever tab is current; a
// language change keeps what was read or chosen.
TEST_F(InsConfigTest, ServesTheReceiverItWasOpenedOnInEitherLanguage)
{
    RECEIVER_RULES_T rulesA, rulesB;
    rulesA.UserConfig = {"SETINSROTATION AUTO 0 0 0 5 5 5", "SETINSPROFILE RAIL_BASIC"};
    rulesB.UserConfig = {"SETINSROTATION RBV 1 2 3 4 5 6", "SETINSPROFILE VTOL_BASIC"};
    FakeReceiver rxA(rulesA), rxB(rulesB);
    QZvPortCtrlBase* pA = Bench.OpenTcp(rxA);
    QZvPortCtrlBase* pB = Bench.OpenTcp(rxB);
    ASSERT_TRUE(pA && pB);
    Open(pA);
    EXPECT_EQ(Dialog().PortID(), pA->UniquePortID);
    EXPECT_EQ(W<QComboBox>("pReceiverDyM")->currentIndex(), 5);
    EXPECT_TRUE(W<QCheckBox>("pMountingType")->isChecked());
    EXPECT_FALSE(W<QLineEdit>("pMountingX")->isEnabled());

    // B's reply, asked by another window, is not A's.
    Bench.MakeCurrent(pB);
    Bench.Shell.Tabs.OnRequestUserConfigMsg();
    ASSERT_TRUE(WaitUntil([&] { return Bench.Answered(pB); }));
    EXPECT_EQ(W<QComboBox>("pReceiverDyM")->currentIndex(), 5);
    EXPECT_EQ(Text("pMountingX"), QStringLiteral("0.000"));

    ASSERT_GT(InstallMonitorTranslations(QStringLiteral("zh")), 0);
    Dialog().OnLanguageUpdate();
    Set("pGNSSLeverArmY", QStringLiteral("0.75"));
    Dialog().OnLanguageUpdate();
    EXPECT_EQ(W<QComboBox>("pReceiverDyM")->currentIndex(), 5) << "a language change keeps the profile";
    EXPECT_EQ(Text("pGNSSLeverArmY"), QStringLiteral("0.75"));
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("组合导航 - ") + Bench.Shell.Tabs.tabText(0));

    rxB.Net().ClearReceived();
    const std::string sGot = Bench.Received(rxA.Net(), pA, [&] { Press("pMountingOKButton"); });
    EXPECT_EQ(sGot, "SETINSROTATION Auto\r\n");
    EXPECT_EQ(rxB.Net().Received().find("SETINSROTATION"), std::string::npos);
}
