// The sky plot, CN0 and INS windows and their instruments, filled with a
// receiver's data and rendered at two sizes in both languages: every text
// shows uncut. The pictures are kept to be looked at, under ZV_UI_SHOTS when
// that is set, else under the build folder (view_shots/).
#include <QDir>
#include <functional>

#include "monitor/shell/monitor_translations.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/ins_instruments.h"
#include "monitor/views/ins_status.h"
#include "monitor/views/sky_plot.h"
#include "support/window_layout.h"
#include "view_road.h"

#include <QCheckBox>
#include <QRadioButton>

namespace
{
const std::vector<TEST_SAT_T> kSky = {
    {"GP", 5, 45, 45, 44, true},    {"GP", 12, 20, 200, 38, true},  {"GP", 40, 30, 170, 33, false},
    {"GP", 18, 65, 300, 47, true},  {"GL", 70, 60, 300, 41, true},  {"GL", 80, 15, 100, 28, false},
    {"GA", 11, 50, 135, 43, true},  {"GA", 24, 25, 225, 36, false}, {"GB", 23, 70, 10, 45, true},
    {"GB", 37, 35, 260, 31, false}, {"GQ", 195, 75, 160, 46, true}, {"GQ", 3, 10, 80, 25, false},
};

std::vector<RANGE_OBS_T> RangeObservations()
{
    std::vector<RANGE_OBS_T> obs;
    uint8_t ch = 0;
    auto add = [&](uint8_t sys, uint8_t type, uint16_t prn, float cn0)
    {
        obs.push_back(loggen::Observation({sys, type, prn, sys == TRACK_SYS_GLONASS ? uint16_t(8) : uint16_t(0)}, ch++,
                                          2.2e7, -900.0f, cn0, 100.0f));
    };
    for (uint16_t prn : {3, 9, 14, 22})
    {
        add(TRACK_SYS_GPS, 0, prn, 38.0f + prn % 7);
        add(TRACK_SYS_GPS, 9, prn, 33.0f + prn % 5);
        if (prn % 2 == 0)
            add(TRACK_SYS_GPS, 14, prn, 45.0f);
    }
    add(TRACK_SYS_GLONASS, 0, 38, 41.0f);
    add(TRACK_SYS_GLONASS, 5, 38, 36.0f);
    add(TRACK_SYS_GALILEO, 2, 19, 42.0f);
    add(TRACK_SYS_GALILEO, 12, 19, 44.0f);
    add(TRACK_SYS_GALILEO, 17, 19, 43.0f);
    add(TRACK_SYS_BEIDOU, 0, 30, 39.0f);
    add(TRACK_SYS_BEIDOU, 2, 30, 37.0f);
    add(TRACK_SYS_QZSS, 16, 194, 41.0f);
    return obs;
}

QString ShotDir()
{
    const QString sShots = qEnvironmentVariable("ZV_UI_SHOTS");
    const QString sDir = sShots.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/view_shots") : sShots;
    QDir().mkpath(sDir);
    return sDir;
}

// Renders the window at a size, keeps the picture, and returns what is cut.
std::string Shot(QWidget* pWindow, QSize Size, const QString& sName)
{
    pWindow->resize(Size);
    pWindow->show();
    QCoreApplication::processEvents();
    pWindow->grab().save(QStringLiteral("%1/%2_%3x%4.png").arg(ShotDir(), sName).arg(Size.width()).arg(Size.height()));
    return ClippedOrEnglish(pWindow, sName).join('\n').toStdString();
}

class ViewsLayout : public ::testing::TestWithParam<const char*>
{
protected:
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};
} // namespace

TEST_P(ViewsLayout, EveryViewShowsItsTextsUncutAtTwoSizes)
{
    const QString sLang = QString::fromLatin1(GetParam());
    InstallMonitorTranslations(sLang);
    ViewRoad road;
    ASSERT_TRUE(road.Open());
    ASSERT_TRUE(road.SendUntil(Joined(Epoch(1, kSky)) + Epoch(2, {}).front(),
                               [&] { return road.Position()->Utc.Second == 1; }));
    ASSERT_TRUE(road.SendLog(loggen::RangeRecord(2295, 79218000, RangeObservations())));
    InspvaxBody solution = ReceiverStream::SiteInspvax();
    solution.Latitude = -33.8568;
    solution.Longitude = 151.2153;
    solution.Roll = 12.5;
    solution.Pitch = 8.0;
    solution.Azimuth = 63.0;
    ASSERT_TRUE(road.SendLog(loggen::Record(MSG_ID_INSPVAX, 2295, 79218000, solution)));

    QSkyplot sky;
    QCN0BarChart nmea, range;
    range.RangeButton()->setChecked(true);
    range.SignalBox()->setChecked(true);
    QINStatus ins;
    QADI adi;
    QCompass compass;
    adi.m_pitch = 8.0;
    adi.m_roll = 12.5;
    compass.m_yaw = 63.0;
    compass.m_alt = 36.25;
    compass.m_h = 24.15;
    // Each window, its sizes (the CN0 ranges in each of its layouts), and what
    // the main window's tick would call.
    const struct
    {
        QWidget* Window;
        const char* Name;
        std::vector<QSize> Sizes;
        std::function<void()> Tick;
    } shots[] = {
        {&sky, "skyplot", {{370, 368}, {700, 620}}, [&] { sky.OnUpdateSkyPlot(road.PositionPayload()); }},
        {&nmea, "cn0_nmea", {{400, 427}, {760, 520}}, [&] { nmea.OnUpdateCN0BarChart(road.TabsPayload()); }},
        {&range,
         "cn0_range",
         {{800, 600}, {800, 800}, {1000, 800}},
         [&] { range.OnUpdateCN0BarChart(road.TabsPayload()); }},
        {&ins, "ins_status", {{400, 300}, {760, 560}}, [&] { ins.OnUpdateINSStatus(road.TabsPayload()); }},
        {&adi, "adi", {{200, 200}, {400, 400}}, [] {}},
        {&compass, "compass", {{200, 200}, {400, 400}}, [] {}},
    };
    sky.OnLanguageUpdate();
    nmea.OnLanguageUpdate();
    range.OnLanguageUpdate();
    ins.OnLanguageUpdate();
    for (const auto& shot : shots)
        for (const QSize& size : shot.Sizes)
        {
            shot.Window->resize(size);
            shot.Tick();
            EXPECT_EQ(Shot(shot.Window, size, shot.Name + ("_" + sLang)), "") << shot.Name;
        }
}

INSTANTIATE_TEST_SUITE_P(Languages, ViewsLayout, ::testing::Values("en", "zh"));
