// The sky plot, CN0 and INS windows and their instruments, filled with a
// receiver's data and rendered at two sizes in both languages: every text
// shows uncut. The pictures are kept under the build folder (view_shots/) to
// be looked at.
#include <QDir>

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
    const QString sDir = QCoreApplication::applicationDirPath() + QStringLiteral("/view_shots");
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
    return ClippedTexts(pWindow).join('\n').toStdString();
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
    InspvaxBody ins = ReceiverStream::SiteInspvax();
    ins.Latitude = -33.8568;
    ins.Longitude = 151.2153;
    ins.Roll = 12.5;
    ins.Pitch = 8.0;
    ins.Azimuth = 63.0;
    ASSERT_TRUE(road.SendLog(loggen::Record(MSG_ID_INSPVAX, 2295, 79218000, ins)));

    QSkyplot sky;
    sky.OnLanguageUpdate();
    for (QSize size : {QSize(370, 368), QSize(700, 620)})
    {
        sky.resize(size);
        sky.OnUpdateSkyPlot(road.PositionPayload());
        EXPECT_EQ(Shot(&sky, size, "skyplot_" + sLang), "");
    }

    QCN0BarChart cn0;
    cn0.OnLanguageUpdate();
    for (QSize size : {QSize(400, 427), QSize(760, 520)})
    {
        cn0.resize(size);
        cn0.OnUpdateCN0BarChart(road.TabsPayload());
        EXPECT_EQ(Shot(&cn0, size, "cn0_nmea_" + sLang), "");
    }
    cn0.RangeButton()->setChecked(true);
    cn0.SignalBox()->setChecked(true);
    for (QSize size : {QSize(800, 600), QSize(800, 800), QSize(1000, 800)})
    {
        cn0.resize(size);
        cn0.OnUpdateCN0BarChart(road.TabsPayload());
        EXPECT_EQ(Shot(&cn0, size, "cn0_range_" + sLang), "");
    }

    QINStatus window;
    window.OnLanguageUpdate();
    for (QSize size : {QSize(400, 300), QSize(760, 560)})
    {
        window.resize(size);
        window.OnUpdateINSStatus(road.TabsPayload());
        EXPECT_EQ(Shot(&window, size, "ins_status_" + sLang), "");
    }

    QADI adi;
    QCompass compass;
    adi.m_pitch = 8.0;
    adi.m_roll = 12.5;
    compass.m_yaw = 63.0;
    compass.m_alt = 36.25;
    compass.m_h = 24.15;
    for (QSize size : {QSize(200, 200), QSize(400, 400)})
    {
        EXPECT_EQ(Shot(&adi, size, "adi_" + sLang), "");
        EXPECT_EQ(Shot(&compass, size, "compass_" + sLang), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ViewsLayout, ::testing::Values("en", "zh"));
