// The message output, receiver status, log list, factory reset and user
// configuration windows, each page of them, rendered in each language with
// what a receiver's replies put in them, show their texts uncut (images kept
// under ZV_UI_SHOTS when that is set).
#include <QFile>
#include <QTabWidget>

#include "monitor/config/freset_config.h"
#include "monitor/config/loglist_diag.h"
#include "monitor/config/msg_config.h"
#include "monitor/config/recv_status_diag.h"
#include "monitor/config/userconfig_diag.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/monitor_translations.h"
#include "status_road_fixture.h"
#include "support/frame_builders.h"
#include "support/window_layout.h"

namespace
{
class ConfigOutputLayoutTest : public StatusRoadTest, public ::testing::WithParamInterface<const char*>
{
protected:
    void SetUp() override { ASSERT_GT(InstallMonitorTranslations(Language()), 0); }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
    QString Language() const { return QString::fromLatin1(GetParam()); }
    QString Shot(const QString& sName) const { return sName + QLatin1Char('_') + Language(); }
};
} // namespace

TEST_P(ConfigOutputLayoutTest, EveryPageShowsItsTextsUncut)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    // A position far from zero, heights of four digits.
    port.Receive(QByteArray::fromStdString(
        Nmea("GPGGA,235959.00,3158.9876,S,12100.6543,W,5,24,0.8,-1234.567,M,-12.345,M,15,1023") +
        Nmea("GPRMC,235959.00,A,3158.9876,S,12100.6543,W,123.4,45.0,150623,,,D") +
        Nmea("GPGGA,000000.00,3158.9876,S,12100.6543,W,5,24,0.8,-1234.567,M,-12.345,M,15,1023")));
    ASSERT_TRUE(WaitUntil([&] { return Shell.Tabs.GetPosData()->FixQuality == 5; }));

    QFMsgConfig msgConfig;
    msgConfig.m_pPortTab = &Shell.Tabs;
    msgConfig.OnLanguageUpdate();
    msgConfig.OnShowDialog();
    auto* pTabs = msgConfig.findChild<QTabWidget*>(QStringLiteral("MsgConfigNameTab"));
    ASSERT_NE(pTabs, nullptr);
    for (int i = 0; i < pTabs->count(); ++i)
    {
        pTabs->setCurrentIndex(i);
        EXPECT_EQ(RenderAndCheck(&msgConfig, Shot("msg_config_" + pTabs->tabText(i))), "") << i;
    }

    QZvRecvStatusDiag status;
    status.m_pPortTab = &Shell.Tabs;
    status.OnLanguageUpdate();
    status.OnUpdateRecvStatus(&Shell.Tabs);
    EXPECT_EQ(RenderAndCheck(&status, Shot("recv_status")), "");

    QLoglistDiag loglist;
    QUserconfigDiag userconfig;
    // The main window's fan-out of the replies.
    OnReply = [&](uint Mask)
    {
        if (Mask & STATUS_MSG_LOGLIST)
            loglist.OnUpdateDiag();
        if (Mask & STATUS_MSG_USERCONFIG)
            userconfig.OnUpdateDiag();
    };
    loglist.m_pPortTab = &Shell.Tabs;
    QObject::connect(&loglist, &QLoglistDiag::SignalSendLoglistMask, &Shell.Tabs, &CPortTab::OnRequestItem);
    loglist.OnLanguageUpdate();
    loglist.OnShowDialog();
    port.Receive(LogListReply({{"COM1", "GPGGA", "ONTIME", 0.05},
                               {"COM2", "BESTPOSB", "ONTIME", 1},
                               {"ICOM1", "INSPVAXB", "ONCHANGED", 0},
                               {"COM2", "RTCM1074", "ONTIME", 1234567}}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(RenderAndCheck(&loglist, Shot("loglist")), "");

    QFresetConfig freset;
    freset.OnLanguageUpdate();
    EXPECT_EQ(RenderAndCheck(&freset, Shot("freset")), "");

    // No reference file: the page says so under the table.
    QFile::remove(UserconfigFilePath());
    userconfig.m_pPortTab = &Shell.Tabs;
    QObject::connect(&userconfig, &QUserconfigDiag::SignalSendUserconfig, &Shell.Tabs,
                     [&](uint UniquePortID, uint Mask)
                     { Shell.Tabs.OnRequestItem(Shell.Tabs.GetTabIndexByPortID(UniquePortID), Mask); });
    userconfig.OnLanguageUpdate();
    userconfig.OnShowDialog();
    port.Receive("<USERCONFIG\r\nFIX POSITION -31.98309333 -121.01090500 -1234.5678\r\nBASEID 1023\r\n"
                 "POSAVE ON 0.01 2 4\r\nICOMCONFIG ICOM1,TCP,:3001\r\n"
                 "ECUTOFF USER GPS 5.0 GLO 10.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0\r\n<USERCONFIG OK\r\n");
    ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
    auto* pPages = userconfig.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    ASSERT_NE(pPages, nullptr);
    for (int i = 0; i < pPages->count(); ++i)
    {
        pPages->setCurrentIndex(i);
        EXPECT_EQ(RenderAndCheck(&userconfig, Shot("userconfig_" + pPages->widget(i)->objectName())), "") << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ConfigOutputLayoutTest, ::testing::Values("en", "zh"));
