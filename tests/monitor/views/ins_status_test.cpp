// The INS window asks the receiver for its solution when shown, and shows the
// port's latest INSPVAX as the receiver sent it: degrees, minutes and seconds
// with the hemisphere, the downward velocity under "Down", and the attitude on
// the instruments, passed on only when it moved by a degree or more.
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "codec/ins_logs.h"
#include "monitor/views/ins_instruments.h"
#include "monitor/views/ins_status.h"
#include "view_road.h"

namespace
{
QStringList Values(const QINStatus& w, int nColumn)
{
    QStringList out;
    for (int i = 0; i < QINStatus::VALUE_ROWS; ++i)
        out << w.ValueLabel(nColumn, i)->text();
    return out;
}

QStringList Blank()
{
    QStringList out;
    for (int i = 0; i < QINStatus::VALUE_ROWS; ++i)
        out << QStringLiteral(" ");
    return out;
}

loggen::Bytes InspvaxRecord(const InspvaxBody& b) { return loggen::Record(MSG_ID_INSPVAX, 2295, 79218000, b); }
} // namespace

TEST(InsStatus, AsksForTheSolutionWhenShownAndShowsWhatTheReceiverLogs)
{
    ViewRoad road(RECEIVER_RULES_T{});
    QINStatus ins;
    ins.m_pPortTab = road.Tabs();
    QObject::connect(&ins, &QINStatus::SignalSendInspvaxMsg, &road.Shell.Manager, &QZvPortManager::OnSendPortData1Port);
    QSignalSpy requests(&ins, &QINStatus::SignalSendInspvaxMsg);
    ASSERT_TRUE(road.Open());
    // Before the first INSPVAX the window shows no solution.
    ins.OnUpdateINSStatus(road.TabsPayload());
    EXPECT_EQ(ins.StatusLabel()->text(), QString());
    EXPECT_EQ(Values(ins, 0), Blank());

    ins.show();
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests[0][0].toUInt(), road.PortID());
    EXPECT_EQ(requests[0][1].toByteArray(), QByteArray("inscommand enable\r\nlog inspvaxa ontime 0.05 \r\n"));
    ASSERT_TRUE(WaitUntil([&] { return road.Store()->BodyUpdates(MSG_ID_INSPVAX) >= 2; }));
    const std::vector<RECEIVER_LOG_T> logging = road.Rx.Logging();
    ASSERT_EQ(logging.size(), 1u);
    EXPECT_EQ(logging[0].Name, "INSPVAXA");
    EXPECT_EQ(logging[0].Period, 0.05);

    ins.OnUpdateINSStatus(road.TabsPayload());
    // The receiver's solution: 30.5283 N, 114.3558 E, 36.25 m; up at 0.005 m/s.
    const InspvaxBody sent = ReceiverStream::SiteInspvax();
    EXPECT_EQ(ins.StatusLabel()->text(), QStringLiteral("SOLUTION_GOOD"));
    EXPECT_EQ(Values(ins, 0),
              QStringList({"30Degree 31' 41.8800'' N", "114Degree 21' 20.8800'' E", "36.250 [m]", "0.012 [m/s]",
                           "-0.034 [m/s]", "-0.005 [m/s]", "1.250 Degree", "-2.500 Degree", "123.456 Degree"}));
    EXPECT_EQ(Values(ins, 1), QStringList({"0.0123 [m]", "0.0145 [m]", "0.0321 [m]", "0.002 [m/s]", "0.003 [m/s]",
                                           "0.004 [m/s]", "0.015 Degree", "0.016 Degree", "0.125 Degree"}));
    EXPECT_EQ(ins.RowLabel(8)->text(), QStringLiteral("Down :"));
    EXPECT_NEAR(ins.Adi()->m_pitch, sent.Pitch, 1e-9);
    EXPECT_NEAR(ins.Adi()->m_roll, sent.Roll, 1e-9);
    EXPECT_NEAR(ins.Compass()->m_yaw, sent.Azimuth, 1e-9);
    EXPECT_NEAR(ins.Compass()->m_alt, sent.Height, 1e-9);
    EXPECT_NEAR(ins.Compass()->m_h, sent.Height + sent.Undulation, 1e-6);

    // Another tab blanks the values until the next refresh.
    ins.OnPortTabChange(0);
    EXPECT_EQ(Values(ins, 0), Blank());
    EXPECT_EQ(Values(ins, 1), Blank());
}

TEST(InsStatus, ShowsEachHemisphereAndNeverSixtySeconds)
{
    struct
    {
        double Lat, Lon;
        const char* LatText;
        const char* LonText;
    } const cases[] = {
        {-33.5, -70.25, "33Degree 30' 0.0000'' S", "70Degree 15' 0.0000'' W"},
        {33.5, 70.25, "33Degree 30' 0.0000'' N", "70Degree 15' 0.0000'' E"},
        {51.4778, -0.0015, "51Degree 28' 40.0800'' N", "0Degree 0' 5.4000'' W"},
        {10.99999999, -179.99999999, "11Degree 0' 0.0000'' N", "180Degree 0' 0.0000'' W"},
    };
    ViewRoad road;
    ASSERT_TRUE(road.Open());
    QINStatus ins;
    InspvaxBody b = ReceiverStream::SiteInspvax();
    for (const auto& c : cases)
    {
        b.Latitude = c.Lat;
        b.Longitude = c.Lon;
        ASSERT_TRUE(road.SendLog(InspvaxRecord(b)));
        ins.OnUpdateINSStatus(road.TabsPayload());
        EXPECT_EQ(ins.ValueLabel(0, 0)->text(), QString::fromLatin1(c.LatText));
        EXPECT_EQ(ins.ValueLabel(0, 1)->text(), QString::fromLatin1(c.LonText));
    }

    // Degrees, minutes and seconds of the absolute value, nothing rounded.
    const QList<double> half = QINStatus::OnFormatDeg(-0.5);
    EXPECT_EQ(half, QList<double>({0, 30, 0}));
    const QList<double> almost = QINStatus::OnFormatDeg(10.999999);
    ASSERT_EQ(almost.size(), 3);
    EXPECT_EQ(almost[0], 10);
    EXPECT_EQ(almost[1], 59);
    EXPECT_NEAR(almost[2], 59.9964, 1e-6);
    EXPECT_LT(almost[2], 60.0);
    EXPECT_TRUE(QINStatus::OnFormatDeg(std::nan("")).isEmpty());
    EXPECT_TRUE(QINStatus::OnFormatDeg(1e12).isEmpty());
}

TEST(InsStatus, PassesTheAttitudeToTheInstrumentsWhenItMovesByADegree)
{
    ViewRoad road;
    ASSERT_TRUE(road.Open());
    QINStatus ins;
    InspvaxBody b = ReceiverStream::SiteInspvax();
    auto send = [&]
    {
        ASSERT_TRUE(road.SendLog(InspvaxRecord(b)));
        ins.OnUpdateINSStatus(road.TabsPayload());
    };
    // Each step: pitch, roll, azimuth sent; what the instruments show.
    struct
    {
        double Pitch, Roll, Azimuth;
        double AdiPitch, AdiRoll, Heading;
    } const steps[] = {
        {95.0, 190.0, -10.0, 90.0, 180.0, 350.0}, // clamped, wrapped
        {94.5, 189.5, -10.5, 90.0, 180.0, 350.0}, // within a degree of the last: not passed
        {93.9, 10.0, 370.0, 90.0, 10.0, 10.0},    // 93.9 is 1.1 from 95: passed, clamped
        {-45.0, -200.0, 360.5, -45.0, -180.0, 0.5},
    };
    for (const auto& s : steps)
    {
        b.Pitch = s.Pitch;
        b.Roll = s.Roll;
        b.Azimuth = s.Azimuth;
        send();
        EXPECT_DOUBLE_EQ(ins.Adi()->m_pitch, s.AdiPitch) << s.Pitch;
        EXPECT_DOUBLE_EQ(ins.Adi()->m_roll, s.AdiRoll) << s.Roll;
        EXPECT_DOUBLE_EQ(ins.Compass()->m_yaw, s.Heading) << s.Azimuth;
    }
    EXPECT_EQ(ins.ValueLabel(0, 7)->text(), QStringLiteral("-45.000 Degree"));

    // A status the window does not know leaves every text as it was.
    const QStringList before = Values(ins, 0);
    b.InsStatus = 4;
    b.Roll = 77.0;
    send();
    EXPECT_EQ(ins.StatusLabel()->text(), QStringLiteral("SOLUTION_GOOD"));
    EXPECT_EQ(Values(ins, 0), before);

    // Each instrument's room follows the window: half its smaller side less 50.
    ins.show();
    ins.resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(ins.Adi()->minimumSize(), QSize(325, 325));
    EXPECT_EQ(ins.Compass()->minimumSize(), QSize(325, 325));
}

// The main window replots the instruments on every tick: ticks without a
// solution, or with one that moved nothing, paint neither instrument, and the
// instruments show the same picture as a fresh pair given the same values.
TEST(InsStatus, TicksThatMoveNothingPaintNoInstrument)
{
    ViewRoad road;
    ASSERT_TRUE(road.Open());
    QINStatus ins;
    ins.resize(900, 700);
    ins.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ins));
    PaintCounter counter{ins.Adi(), ins.Compass()};
    const auto tick = [&] { return counter.During([&] { ins.OnUpdateINSStatus(road.TabsPayload()); }); };
    // No INSPVAX yet: the first tick shows the level attitude, the next ones nothing new.
    tick();
    EXPECT_EQ(tick(), 0);
    EXPECT_EQ(tick(), 0);

    InspvaxBody b = ReceiverStream::SiteInspvax();
    b.Pitch = 12.0;
    b.Roll = -30.0;
    b.Azimuth = 200.0;
    ASSERT_TRUE(road.SendLog(InspvaxRecord(b)));
    EXPECT_EQ(tick(), 2) << "both instruments show the new attitude";
    EXPECT_EQ(tick(), 0);
    b.Roll = -29.5; // within a degree: not passed on
    ASSERT_TRUE(road.SendLog(InspvaxRecord(b)));
    EXPECT_EQ(tick(), 0);
    b.Azimuth = 210.0;
    ASSERT_TRUE(road.SendLog(InspvaxRecord(b)));
    EXPECT_EQ(tick(), 1) << "only the compass moves";

    QADI adi;
    QCompass compass;
    adi.resize(ins.Adi()->size());
    compass.resize(ins.Compass()->size());
    adi.m_pitch = 12.0;
    adi.m_roll = -30.0;
    compass.m_yaw = 210.0;
    compass.m_alt = ins.Compass()->m_alt;
    compass.m_h = ins.Compass()->m_h;
    EXPECT_EQ(Picture(ins.Adi()), Picture(&adi));
    EXPECT_EQ(Picture(ins.Compass()), Picture(&compass));
}
