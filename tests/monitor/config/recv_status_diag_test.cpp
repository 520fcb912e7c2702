// The receiver status window: what it shows for a known set of replies of the
// current receiver (its version reply and its GGA and RMC sentences), what
// stops a refresh, and the GGA request it sends when it is shown.
#include <QLabel>
#include <QSignalSpy>

#include "monitor/config/recv_status_diag.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/monitor_translations.h"
#include "status_road_fixture.h"
#include "support/frame_builders.h"

namespace
{
class RecvStatusTest : public StatusRoadTest
{
public:
    RecvStatusTest() { Dialog.m_pPortTab = &Shell.Tabs; }
    ~RecvStatusTest() override { InstallMonitorTranslations(QStringLiteral("en")); }

    QStringList Values() const
    {
        QStringList values;
        for (int i = 0; i < 12; ++i)
            values << Dialog.findChild<QLabel*>(QStringLiteral("StatusValue%1").arg(i))->text();
        return values;
    }
    // The current port's position record, as the tick finds it.
    POS_DATA_T& Position() { return Shell.Tabs.GetPosDataParser()->m_PosData; }

    QZvRecvStatusDiag Dialog;
};
} // namespace

TEST_F(RecvStatusTest, ShowsTheCurrentReceiversStateFromItsReplies)
{
    CMemoryPortCtrl& port = AddMemoryPort();
    // 31 deg 30' S, 121 deg 0.6' E; RTK fixed, 12 satellites, 12.5 m above
    // the geoid, which lies 2.5 m above the ellipsoid; corrections 3 s old
    // from station 7; 10 knots over ground. The next second's GGA ends the epoch.
    port.Receive(QByteArray::fromStdString(
        Nmea("GPGGA,012345.00,3130.0000,S,12100.6000,E,4,12,0.8,12.500,M,2.500,M,3,0007") +
        Nmea("GPRMC,012345.00,A,3130.0000,S,12100.6000,E,10.0,45.0,150623,,,D") +
        Nmea("GPGGA,012346.00,3130.0000,S,12100.6000,E,4,12,0.8,12.500,M,2.500,M,4,0007")));
    ASSERT_TRUE(WaitUntil([&] { return Position().FixQuality == 4; }));
    Dialog.OnUpdateRecvStatus(&Shell.Tabs);
    EXPECT_EQ(Values(), (QStringList{"NARROW_INT", "121Degree 0' 36.0000'' E", "31Degree 30' 0.0000'' S",
                                     "15.000 [m]", "12.500 [m]", "3", "7", "5.144 [m/s]", "12", "ZV100", "R3.1.0",
                                     "01:23:45"}));

    // What stops a refresh leaves every value as it was.
    const QStringList shown = Values();
    const POS_DATA_T kept = Position();
    const struct
    {
        const char* pName;
        std::function<void(POS_DATA_T&)> Change;
    } stops[] = {
        {"an invalid RMC status", [](POS_DATA_T& p) { p.FixQuality = 255; }},
        {"a quality beyond the table", [](POS_DATA_T& p) { p.FixQuality = 8; }},
        {"no position yet", [](POS_DATA_T& p) { p.Latitude = 0; }},
    };
    for (const auto& c : stops)
    {
        SCOPED_TRACE(c.pName);
        Position() = kept;
        c.Change(Position());
        Position().Height = 999.0;
        Dialog.OnUpdateRecvStatus(&Shell.Tabs);
        EXPECT_EQ(Values(), shown);
    }

    // Quality 3 has no name; the rest is shown. Seconds that round up carry
    // into the minute instead of showing 60.
    Position() = kept;
    Position().FixQuality = 3;
    Position().Latitude = 10.99999999 * 3.141592653589793 / 180.0;
    Position().Longitude = -(75.0 + 59.0 / 60.0 + 59.99996 / 3600.0) * 3.141592653589793 / 180.0;
    Dialog.OnUpdateRecvStatus(&Shell.Tabs);
    EXPECT_EQ(Values().value(0), QString());
    EXPECT_EQ(Values().value(2), QStringLiteral("11Degree 0' 0.0000'' N"));
    EXPECT_EQ(Values().value(1), QStringLiteral("76Degree 0' 0.0000'' W"));

    // Another tab: every value blank until a refresh.
    Dialog.OnPortTabChange(0);
    EXPECT_EQ(Values(), QStringList(QVector<QString>(12, QStringLiteral(" ")).toList()));
    Shell.Tabs.OnClosePort(Tab(port));
    Dialog.OnUpdateRecvStatus(&Shell.Tabs);
    EXPECT_EQ(Values().value(0), QStringLiteral(" "));
}

TEST_F(RecvStatusTest, ShownItAsksTheCurrentReceiverForGgaAndTitlesFollowTheLanguage)
{
    QSignalSpy sent(&Dialog, &QZvRecvStatusDiag::SignalSendNMEAMsg);
    Dialog.OnShowDiag();
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(sent.count(), 0); // no port
    Dialog.hide();

    CMemoryPortCtrl& port = AddMemoryPort();
    Dialog.OnShowDiag();
    Dialog.OnShowDiag(); // asked again while shown
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), port.UniquePortID);
    EXPECT_EQ(sent.at(0).at(1).toByteArray(), QByteArray("log gpgga ontime 1\r\n"));

    auto* pCaption = Dialog.findChild<QLabel*>(QStringLiteral("StatusTitle0"));
    EXPECT_EQ(pCaption->text(), QStringLiteral("Solution:"));
    ASSERT_GT(InstallMonitorTranslations(QStringLiteral("zh")), 0);
    Dialog.OnLanguageUpdate();
    EXPECT_NE(pCaption->text(), QStringLiteral("Solution:"));
    EXPECT_NE(Dialog.windowTitle(), QStringLiteral("Receiver Status"));
    // The UTC caption reads Chinese too, its receiver word kept.
    bool bUtc = false;
    for (QLabel* pLabel : Dialog.findChildren<QLabel*>())
        bUtc = bUtc || pLabel->text() == QString::fromUtf8("UTC 时间");
    EXPECT_TRUE(bUtc);
}
