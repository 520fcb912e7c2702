// The height plot fed as the main window's tick feeds it: axes fitted to
// each new point, the newest 10000 points kept, heights at and below zero,
// orthometric heights from each point's own undulation, the line drawn with
// far fewer points than it stands for, hovering, the week's end, the user's
// zoom kept, the date of a record without GPS time, and the window in both
// languages.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "codec/gnss_time.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/views/height_plot.h"
#include "plot_records.h"
#include "support/profile_fixture.h"
#include "support/window_layout.h"

namespace
{
constexpr double kStart = 345600.0;

class HeightPlotTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Plot.resize(700, 400);
        m_Plot.show();
        QCoreApplication::processEvents();
    }
    void Feed(double Seconds, double Height, double Undulation = 0, int Fix = 4)
    {
        POS_DATA_T r = PlotRecord(30.5, 114.3, Height, Seconds, Fix, Undulation);
        m_Plot.OnUpdateHeightPlotWindow(&r);
    }
    // The chart follows the points once the tick is over.
    void ExpectAxes(double X0, double X1, double Y0, double Y1)
    {
        QCoreApplication::processEvents();
        EXPECT_NEAR(m_Plot.AxisX()->min(), X0, 1e-9);
        EXPECT_NEAR(m_Plot.AxisX()->max(), X1, 1e-9);
        EXPECT_NEAR(m_Plot.AxisY()->min(), Y0, 1e-9);
        EXPECT_NEAR(m_Plot.AxisY()->max(), Y1, 1e-9);
    }
    template <class T> T* Child(const char* pName) { return m_Plot.findChild<T*>(QLatin1String(pName)); }

    QHeightPlot m_Plot;
};
} // namespace

TEST_F(HeightPlotTest, FitsItsAxesToEachPointAndKeepsTheNewest10000)
{
    Feed(kStart, 50.0);
    ExpectAxes(kStart, kStart + 5, 49.99, 50.01);
    Feed(kStart, 70.0);
    EXPECT_EQ(m_Plot.PointCount(), 1) << "an epoch is taken once";
    Feed(kStart + 1, 70.0, 0, 0);
    EXPECT_EQ(m_Plot.PointCount(), 1) << "a record without a fix is no point";

    // A day at one second, heights wandering by a few centimetres.
    for (int i = 1; i <= QHeightPlot::HEIGHT_MAX_POINTS; ++i)
        Feed(kStart + i, 50.0 + 0.03 * std::sin(i / 37.0) + 0.002 * (i % 7));
    ASSERT_EQ(m_Plot.PointCount(), QHeightPlot::HEIGHT_MAX_POINTS);
    EXPECT_EQ(m_Plot.Point(0).x(), kStart + 1);
    EXPECT_EQ(m_Plot.Point(QHeightPlot::HEIGHT_MAX_POINTS - 1).x(), kStart + QHeightPlot::HEIGHT_MAX_POINTS);
    QCoreApplication::processEvents();
    EXPECT_NEAR(m_Plot.AxisX()->min(), kStart + 1, 1e-9);
    EXPECT_NEAR(m_Plot.AxisX()->max(), kStart + QHeightPlot::HEIGHT_MAX_POINTS + 5, 1e-9);

    // The line holds at most the lowest and highest point of each pixel
    // column, with the first and last point, and so reaches exactly as low
    // and as high.
    QCoreApplication::processEvents();
    const QVector<QPointF> line = m_Plot.LineSeries()->pointsVector();
    const double width = m_Plot.Chart()->plotArea().width();
    EXPECT_LE(line.size(), 2 * (width + 1) + 2);
    EXPECT_GT(line.size(), width);
    double low = 1e9, high = -1e9, lineLow = 1e9, lineHigh = -1e9;
    for (int i = 0; i < m_Plot.PointCount(); ++i)
        low = std::min(low, m_Plot.Point(i).y()), high = std::max(high, m_Plot.Point(i).y());
    for (const QPointF& p : line)
        lineLow = std::min(lineLow, p.y()), lineHigh = std::max(lineHigh, p.y());
    EXPECT_EQ(lineLow, low);
    EXPECT_EQ(lineHigh, high);
    EXPECT_EQ(line.front(), m_Plot.Point(0));
    EXPECT_EQ(line.back(), m_Plot.Point(m_Plot.PointCount() - 1));
}

TEST_F(HeightPlotTest, HeightsAtAndBelowSeaLevelKeepTheirRange)
{
    const struct
    {
        std::vector<double> Heights;
        double Low, High;
    } cases[] = {{{0.0, 2.0}, 0.0, 2.0}, {{-3.0}, -3.0, -3.0}, {{2.0, 0.0, -0.5}, -0.5, 2.0}};
    double t = kStart;
    for (const auto& c : cases)
    {
        m_Plot.OnClearGraph();
        for (double h : c.Heights)
            Feed(t += 1, h);
        QCoreApplication::processEvents();
        EXPECT_NEAR(m_Plot.AxisY()->min(), c.Low - 0.01, 1e-12) << c.Heights.size();
        EXPECT_NEAR(m_Plot.AxisY()->max(), c.High + 0.01, 1e-12) << c.Heights.size();
    }
}

TEST_F(HeightPlotTest, OrthometricHeightsUseEachPointsOwnUndulation)
{
    // Chosen while the plot is empty, the choice holds for the points that follow.
    Child<QRadioButton>("OrthometricRadio")->click();
    EXPECT_EQ(m_Plot.HeightType(), QHeightPlot::HEIGHT_ORTHOMETRIC);
    Feed(kStart, 50.0, 10.0);
    Feed(kStart + 1, 60.0, 12.0);
    EXPECT_EQ(m_Plot.Point(0).y(), 40.0);
    EXPECT_EQ(m_Plot.Point(1).y(), 48.0);
    ExpectAxes(kStart, kStart + 6, 39.99, 48.01);

    Child<QRadioButton>("HeightRadio")->click();
    EXPECT_EQ(m_Plot.HeightType(), QHeightPlot::HEIGHT_ELLIPSOIDAL);
    EXPECT_EQ(m_Plot.Point(0).y(), 50.0);
    EXPECT_EQ(m_Plot.Point(1).y(), 60.0);
    ExpectAxes(kStart, kStart + 6, 49.99, 60.01);
}

TEST_F(HeightPlotTest, HoveringAMarkerShowsItsTimeAndHeight)
{
    m_Plot.OnSlotPointHoverd(QPointF(345600.5, 50.1234567), true);
    EXPECT_EQ(m_Plot.HoverLabel()->text(), QStringLiteral("345600.500\r\n50.123457"));
    EXPECT_TRUE(m_Plot.HoverLabel()->isVisible());
    m_Plot.OnSlotPointHoverd(QPointF(), false);
    EXPECT_FALSE(m_Plot.HoverLabel()->isVisible());

    // Two points 10 s apart: the cursor over a marker hovers it, the line
    // between them does not.
    Feed(kStart, 50.0);
    Feed(kStart + 10, 51.0);
    QCoreApplication::processEvents();
    QSignalSpy hovered(m_Plot.Markers(), &CHeightMarkers::hovered);
    QWidget* pViewport = m_Plot.ChartView()->viewport();
    const auto move = [&](const QPointF& ChartPos)
    {
        const QPoint at = m_Plot.ChartView()->mapFromScene(m_Plot.Chart()->mapToScene(ChartPos));
        QMouseEvent e(QEvent::MouseMove, at, pViewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pViewport, &e);
    };
    const QPointF second = m_Plot.Markers()->Position(QPointF(kStart + 10, 51.0));
    const QPointF middle = m_Plot.Markers()->Position(QPointF(kStart + 5, 50.5));
    EXPECT_EQ(m_Plot.Markers()->PointAt(second), 1);
    EXPECT_EQ(m_Plot.Markers()->PointAt(middle), -1);
    // The markers are drawn where they are hovered.
    const QImage shown = m_Plot.ChartView()->grab().toImage();
    for (const QPointF& at : {m_Plot.Markers()->Position(QPointF(kStart, 50.0)), second})
        EXPECT_EQ(shown.pixelColor(m_Plot.ChartView()->mapFromScene(m_Plot.Chart()->mapToScene(at))), QColor(Qt::blue));
    move(middle);
    EXPECT_EQ(hovered.count(), 0);
    move(second);
    ASSERT_EQ(hovered.count(), 1);
    EXPECT_EQ(hovered.at(0).at(0).toPointF(), QPointF(kStart + 10, 51.0));
    EXPECT_TRUE(hovered.at(0).at(1).toBool());
    EXPECT_EQ(m_Plot.HoverLabel()->text(), QStringLiteral("345610.000\r\n51.000000"));
    move(middle);
    ASSERT_EQ(hovered.count(), 2);
    EXPECT_FALSE(hovered.at(1).at(1).toBool());
    EXPECT_FALSE(m_Plot.HoverLabel()->isVisible());
}

TEST_F(HeightPlotTest, TimeRunsOnPastTheWeeksEndAndAStepBackStartsAgain)
{
    Feed(604798.0, 10.0);
    Feed(604799.5, 10.1);
    Feed(0.5, 10.2);
    ASSERT_EQ(m_Plot.PointCount(), 3);
    EXPECT_EQ(m_Plot.Point(2).x(), 604800.5);
    ExpectAxes(604798.0, 604805.5, 9.99, 10.21);

    // A replay started again: a new plot.
    Feed(0.2, 11.0);
    ASSERT_EQ(m_Plot.PointCount(), 1);
    EXPECT_EQ(m_Plot.Point(0).x(), 0.2);
    ExpectAxes(0.2, 5.2, 10.99, 11.01);
}

TEST_F(HeightPlotTest, WithRescalingOffNewPointsKeepTheUsersZoom)
{
    for (int i = 0; i < 100; ++i)
        Feed(kStart + i, 20.0 + i * 0.01);
    QToolButton* pScaling = Child<QToolButton>("ScalingButton");
    pScaling->click();
    EXPECT_TRUE(pScaling->isCheckable() && pScaling->isChecked());
    m_Plot.AxisX()->setRange(kStart + 10, kStart + 20);
    m_Plot.AxisY()->setRange(20.05, 20.25);
    for (int i = 100; i < 110; ++i)
        Feed(kStart + i, 25.0);
    ExpectAxes(kStart + 10, kStart + 20, 20.05, 20.25);
    EXPECT_EQ(m_Plot.PointCount(), 110);
    // The line shows the points within the zoom and one on each side.
    QCoreApplication::processEvents();
    const QVector<QPointF> line = m_Plot.LineSeries()->pointsVector();
    EXPECT_EQ(line.front().x(), kStart + 9);
    EXPECT_EQ(line.back().x(), kStart + 20);

    pScaling->click();
    EXPECT_FALSE(pScaling->isChecked());
    Feed(kStart + 110, 25.0);
    ExpectAxes(kStart, kStart + 115, 19.99, 25.01);
}

TEST(HeightPlotTime, ARecordWithoutGpsTimeTakesTheUtcDayNearestNow)
{
    const auto utc = [](const char* p) { return QDateTime::fromString(QLatin1String(p), Qt::ISODate); };
    const struct
    {
        const char* Now;
        uint32_t H, M, S;
        const char* Date;
    } cases[] = {
        {"2024-01-07T00:00:10Z", 23, 59, 59, "2024-01-06"}, {"2024-01-07T00:00:10Z", 0, 0, 5, "2024-01-07"},
        {"2024-01-06T23:59:55Z", 0, 0, 2, "2024-01-07"},    {"2024-03-01T12:00:00Z", 3, 0, 0, "2024-03-01"},
        {"2024-02-29T23:00:00Z", 22, 0, 0, "2024-02-29"},
    };
    for (const auto& c : cases)
    {
        CalendarTime r{1980, 1, 6, c.H, c.M, c.S, 250};
        QHeightPlot::ToDateTime(&r, utc(c.Now));
        EXPECT_EQ(QDate(int(r.Year), int(r.Month), int(r.Day)).toString(Qt::ISODate), QLatin1String(c.Date)) << c.Now;
        EXPECT_EQ(r.Hour * 10000 + r.Minute * 100 + r.Second, c.H * 10000 + c.M * 100 + c.S);
    }

    // Whatever the computer's time zone, the date is the UTC one, and the
    // epoch is the time of day in GPS time (18 s ahead of UTC).
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    const QByteArray tz = qgetenv("TZ");
    for (const char* zone : {"Pacific/Kiritimati", "America/Los_Angeles", "Asia/Shanghai"})
    {
        qputenv("TZ", zone);
        tzset();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        CalendarTime r{
            1980, 1, 6, uint32_t(now.time().hour()), uint32_t(now.time().minute()), uint32_t(now.time().second()), 0};
        QHeightPlot::ToDateTime(&r);
        EXPECT_EQ(QDate(int(r.Year), int(r.Month), int(r.Day)), now.date()) << zone;
        POS_DATA_T record = PlotRecord(30, 114, 10, POS_GPS_SECONDS_NONE, 1);
        record.Utc = CalendarTime{2000, 1, 1, 10, 20, 30, 500};
        double t = 0;
        ASSERT_TRUE(QHeightPlot::EpochSeconds(record, &t));
        EXPECT_EQ(std::fmod(t, 86400.0), 10 * 3600 + 20 * 60 + 30.5 + 18) << zone;
    }
    tz.isNull() ? qunsetenv("TZ") : qputenv("TZ", tz);
    tzset();
}

class HeightPlotLanguages : public HeightPlotTest, public ::testing::WithParamInterface<const char*>
{
protected:
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};

TEST_P(HeightPlotLanguages, TheLastTenThousandPointsAreDrawnInBothLanguages)
{
    const QString sLanguage = QLatin1String(GetParam());
    InstallMonitorTranslations(sLanguage);
    m_Plot.OnLanguageUpdate();
    // Three hours of a rover: a slow climb with a few centimetres of noise
    // and a dip where the fix was lost for a while.
    for (int i = 0; i < 12000; ++i)
    {
        const double noise = 0.01 * std::sin(i * 1.7) + 0.006 * std::cos(i * 0.31);
        Feed(kStart + i, 36.2 + i * 2e-5 + noise - (i > 7000 && i < 7300 ? 0.12 : 0.0), -12.1);
    }
    EXPECT_EQ(m_Plot.PointCount(), QHeightPlot::HEIGHT_MAX_POINTS);
    EXPECT_EQ(RenderAndCheck(&m_Plot, "views_QHeightPlot_" + sLanguage), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, HeightPlotLanguages, ::testing::Values("en", "zh"));
