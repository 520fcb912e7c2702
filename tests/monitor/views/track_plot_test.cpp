// The track plot driven as the main window's tick and a user drive it: the
// local plane around the centre (across the date line, near the poles, in
// the south), the bounded track and its fixed ratio, records that are no
// point, the scale bar under zoom and pan, the typed centre and its mean
// distance, ranging, the solution filters, the clipboard, and the window
// with a few thousand positions and its centre dialog in both languages.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QWheelEvent>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

#include "monitor/shell/monitor_translations.h"
#include "monitor/views/track_plot.h"
#include "monitor/views/track_plot_center_diag.h"
#include "plot_records.h"
#include "support/context_menu.h"
#include "support/scripted_prompt.h"
#include "support/window_layout.h"

namespace
{
constexpr double kPi = 3.141592653589793;
constexpr double kStart = 345600.0; // GPS seconds of week of the first record

double Rad(double deg) { return deg * kPi / 180.0; }

class TrackPlotTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Plot.resize(1049, 465);
        m_Plot.show();
        QCoreApplication::processEvents();
    }
    void Feed(POS_DATA_T r) { m_Plot.OnUpdateTrackPlotWindow(&r); }
    template <class T> T* Child(const char* pName) { return m_Plot.findChild<T*>(QLatin1String(pName)); }
    void AutoScale(bool bOn) { Child<QToolButton>("BtnAutoScale")->setChecked(bOn); }
    QLabel* FixLabel() { return Child<QLabel>("m_pFixLabel"); }
    // The colour drawn at a point of the plane.
    QColor DrawnAt(double East, double North)
    {
        m_Plot.RenderPlot();
        QPointF pixel;
        EXPECT_TRUE(m_Plot.Canvas().ToPixel(East, North, &pixel));
        return m_Plot.Pixmap().toImage().pixelColor(pixel.toPoint());
    }
    void Mouse(QEvent::Type Type, QPoint At)
    {
        QMouseEvent e(Type, At, m_Plot.mapToGlobal(At), Qt::LeftButton,
                      Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&m_Plot, &e);
    }
    void Wheel(int Delta)
    {
        const QPoint at(400, 300);
        QWheelEvent e(at, m_Plot.mapToGlobal(at), QPoint(), QPoint(0, Delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_Plot, &e);
    }
    double UnitsPerPixel()
    {
        double sx = 0, sy = 0;
        m_Plot.Canvas().UnitsPerPixel(&sx, &sy);
        EXPECT_EQ(sx, sy);
        return sx;
    }

    CScriptedPrompt m_Prompt;
    QTrackPlot m_Plot;
};
} // namespace

TEST_F(TrackPlotTest, ProjectsThroughEarthCentredCoordinatesOntoThePlaneAtTheCentre)
{
    const struct
    {
        double Lat, Lon, H, X, Y, Z;
    } ecef[] = {{0, 0, 0, 6378137.0, 0, 0}, {90, 0, 0, 0, 0, 6356752.314245}, {0, 90, 100, 0, 6378237.0, 0}};
    for (const auto& c : ecef)
    {
        double xyz[3];
        QTrackPlot::ToEcef(Rad(c.Lat), Rad(c.Lon), c.H, xyz);
        EXPECT_NEAR(xyz[0], c.X, 1e-6);
        EXPECT_NEAR(xyz[1], c.Y, 1e-6);
        EXPECT_NEAR(xyz[2], c.Z, 1e-6);
    }
    // Around 30 N 120 E: a thousandth of a degree north and east.
    const struct
    {
        double Lat, Lon, East, North;
    } plane[] = {{30.001, 120, 0, 110.852451}, {30, 120.001, 96.486280, 0.000421}};
    double centre[3];
    QTrackPlot::ToEcef(Rad(30), Rad(120), 0, centre);
    for (const auto& c : plane)
    {
        double xyz[3], e = 0, n = 0;
        QTrackPlot::ToEcef(Rad(c.Lat), Rad(c.Lon), 0, xyz);
        QTrackPlot::ToLocalPlane(xyz, centre, Rad(30), Rad(120), &e, &n);
        EXPECT_NEAR(e, c.East, 1e-6);
        EXPECT_NEAR(n, c.North, 1e-6);
    }

    // The first point is the centre; the next plot around it.
    Feed(PlotRecord(30, 120, 10, kStart, 4));
    Feed(PlotRecord(30.001, 120, 10, kStart + 1, 4));
    ASSERT_EQ(m_Plot.PointCount(), 2);
    EXPECT_EQ(m_Plot.Point(0).East, 0.0);
    EXPECT_EQ(m_Plot.Point(0).North, 0.0);
    EXPECT_NEAR(m_Plot.Point(1).North, 110.852451 * (1 + 10 / 6.38e6), 1e-3);
}

TEST_F(TrackPlotTest, KeepsTheNewestPointsAndShowsTheFixedRatio)
{
    AutoScale(false);
    for (int i = 0; i < 200; ++i)
        Feed(PlotRecord(30 + i * 1e-7, 120, 10, kStart + i, i < 3 ? 1 : 4));
    EXPECT_EQ(FixLabel()->text(), QStringLiteral("98.50% /200"));

    const int nFed = QTrackPlot::TRACK_MAX_POINTS + 1;
    int nFixed = 197 - 1; // the first point (type 1) goes
    for (int i = 200; i < nFed; ++i)
    {
        Feed(PlotRecord(30 + i * 1e-7, 120, 10, kStart + i, i % 4 == 0 ? 5 : 4));
        nFixed += i % 4 != 0;
    }
    ASSERT_EQ(m_Plot.PointCount(), QTrackPlot::TRACK_MAX_POINTS);
    double second[3];
    QTrackPlot::ToEcef(Rad(30 + 1e-7), Rad(120), 10, second);
    EXPECT_EQ(m_Plot.Point(0).Z, second[2]) << "the oldest point went";
    EXPECT_EQ(FixLabel()->text(), QString::asprintf("%.2f%% /%d", 100.0 * nFixed / QTrackPlot::TRACK_MAX_POINTS,
                                                    QTrackPlot::TRACK_MAX_POINTS));
}

TEST_F(TrackPlotTest, RepeatedEpochsAndRecordsWithoutASolutionAreNoPoints)
{
    Feed(PlotRecord(30, 120, 10, kStart, 4));
    const struct
    {
        const char* Name;
        POS_DATA_T Record;
    } none[] = {
        {"the same epoch again", PlotRecord(30.01, 120, 10, kStart, 4)},
        {"no fix", PlotRecord(30.01, 120, 10, kStart + 1, 0)},
        {"fix unknown", PlotRecord(30.01, 120, 10, kStart + 2, FIX_QUALITY_UNKNOWN)},
        {"no position yet", PlotRecord(0, 0, 0, kStart + 3, 1)},
        {"position not a number", PlotRecord(std::nan(""), 120, 10, kStart + 4, 1)},
    };
    for (const auto& c : none)
    {
        Feed(c.Record);
        EXPECT_EQ(m_Plot.PointCount(), 1) << c.Name;
    }
    // A record without GPS time has its epoch from its time of day.
    POS_DATA_T r = PlotRecord(30.01, 120, 10, POS_GPS_SECONDS_NONE, 2);
    r.Utc = CalendarTime{2000, 1, 1, 10, 20, 30, 0};
    Feed(r);
    EXPECT_EQ(m_Plot.PointCount(), 2);
    Feed(r);
    EXPECT_EQ(m_Plot.PointCount(), 2);
}

TEST_F(TrackPlotTest, TheScaleBarNamesItsStepAndWheelAndDragZoomAndPan)
{
    const struct
    {
        double UnitsPerPixel;
        const char* Text;
    } scales[] = {{1e-4, "5 mm"}, {0.01, "50 cm"}, {0.1, "5 m"}, {50, "2 km"}, {2e-5, "1 mm"}};
    for (const auto& c : scales)
    {
        m_Plot.Canvas().SetUnitsPerPixel(c.UnitsPerPixel, c.UnitsPerPixel);
        EXPECT_EQ(m_Plot.ScaleText(), QLatin1String(c.Text));
    }

    AutoScale(false);
    m_Plot.Canvas().SetUnitsPerPixel(0.1, 0.1);
    m_Plot.Canvas().SetCentre(0, 0);
    Wheel(120);
    EXPECT_NEAR(UnitsPerPixel(), 0.1 * std::pow(2.0, -0.1), 1e-15);
    Wheel(-360);
    EXPECT_NEAR(UnitsPerPixel(), 0.1 * std::pow(2.0, 0.2), 1e-15);
    for (int i = 0; i < 400; ++i)
        Wheel(120);
    EXPECT_EQ(UnitsPerPixel(), CTrackCanvas::MIN_UNITS_PER_PIXEL);
    EXPECT_EQ(m_Plot.ScaleText(), QStringLiteral("1 mm"));

    // Dragging 100 pixels right and 50 up moves the view 100 and 50 pixels' worth the other way.
    m_Plot.Canvas().SetUnitsPerPixel(0.1, 0.1);
    Mouse(QEvent::MouseButtonPress, QPoint(500, 300));
    Mouse(QEvent::MouseMove, QPoint(600, 250));
    Mouse(QEvent::MouseButtonRelease, QPoint(600, 250));
    double cx = 0, cy = 0;
    m_Plot.Canvas().Centre(&cx, &cy);
    EXPECT_NEAR(cx, -10.0, 1e-12);
    EXPECT_NEAR(cy, -5.0, 1e-12);
}

TEST_F(TrackPlotTest, TracksAcrossTheDateLineNearThePolesAndInTheSouthStayContinuous)
{
    const struct
    {
        const char* Name;
        double Lat, Lon, StepLat, StepLon;
        int Count;
    } tracks[] = {
        {"across the date line, south", -17.5, 179.9991, 0.00001, 0.0001, 19},
        {"across the date line, north", 65.2, -179.9995, 0.0, -0.0001, 11},
        {"round the north pole", 89.9995, 0, 0.0, 18, 21},
        {"round the south pole", -89.9995, 0, 0.0, -18, 21},
        {"over the north pole", 89.9998, 30, 0.00005, 0, 9},
        {"south-western", -33.9, -70.6, -0.0001, -0.0001, 20},
    };
    for (const auto& c : tracks)
    {
        m_Plot.OnClearGraph();
        AutoScale(true);
        std::vector<std::array<double, 3>> xyz;
        for (int i = 0; i < c.Count; ++i)
        {
            double lat = c.Lat + i * c.StepLat, lon = c.Lon + i * c.StepLon;
            // Over the pole the latitude turns back on the far meridian.
            if (lat > 90)
                lat = 180 - lat, lon += 180;
            lon = std::remainder(lon, 360.0);
            Feed(PlotRecord(lat, lon, 50, kStart + 1000 * xyz.size() + i, 4));
            std::array<double, 3> p;
            QTrackPlot::ToEcef(Rad(lat), Rad(lon), 50, p.data());
            xyz.push_back(p);
        }
        ASSERT_EQ(m_Plot.PointCount(), c.Count) << c.Name;
        for (int i = 1; i < c.Count; ++i)
        {
            const auto& a = m_Plot.Point(i - 1);
            const auto& b = m_Plot.Point(i);
            const double plane = std::hypot(b.East - a.East, b.North - a.North);
            const double chord =
                std::hypot(xyz[i][0] - xyz[i - 1][0], xyz[i][1] - xyz[i - 1][1], xyz[i][2] - xyz[i - 1][2]);
            EXPECT_NEAR(plane, chord, 1e-3 * chord + 1e-6) << c.Name << " step " << i;
        }
        // Every point is drawn on the fitted picture, the newest in red.
        m_Plot.RenderPlot();
        for (int i = 0; i < c.Count; ++i)
        {
            QPointF pixel;
            EXPECT_TRUE(m_Plot.Canvas().ToPixel(m_Plot.Point(i).East, m_Plot.Point(i).North, &pixel))
                << c.Name << " point " << i;
        }
        const auto& last = m_Plot.Point(c.Count - 1);
        EXPECT_EQ(DrawnAt(last.East, last.North), QColor(Qt::red)) << c.Name;
    }
}

TEST_F(TrackPlotTest, TheMeanDistanceFromATypedCentreIsMeasuredOnTheLocalPlane)
{
    Feed(PlotRecord(60.0001, 10.0001, 0, kStart, 4));
    Feed(PlotRecord(60.0002, 10.0001, 0, kStart + 1, 4));
    m_Plot.OnSetCenterValue(QStringLiteral("10"), QStringLiteral("60"), QStringLiteral("0"));
    ASSERT_TRUE(m_Plot.HasUserCentre());
    EXPECT_TRUE(Child<QLabel>("StdShowLabel")->isVisible());
    // The centre earth-centred: 60 N 10 E on the WGS-84 ellipsoid, worked out apart.
    EXPECT_NEAR(m_Plot.X0(), 3148533.3844, 1e-3);
    EXPECT_NEAR(m_Plot.Y0(), 555171.3853, 1e-3);
    EXPECT_NEAR(m_Plot.Z0(), 5500477.1339, 1e-3);
    // The stored track is drawn around the new centre.
    double centre[3], xyz[3], e = 0, n = 0;
    QTrackPlot::ToEcef(Rad(60), Rad(10), 0, centre);
    QTrackPlot::ToEcef(Rad(60.0001), Rad(10.0001), 0, xyz);
    QTrackPlot::ToLocalPlane(xyz, centre, Rad(60), Rad(10), &e, &n);
    EXPECT_NEAR(m_Plot.Point(0).East, e, 1e-9);
    EXPECT_NEAR(m_Plot.Point(0).North, n, 1e-9);

    // Ten metres due north reads ten metres (not its 8.66 m in the earth's
    // equatorial plane); straight above the centre reads nothing.
    m_Plot.OnClearGraph();
    const double a = 6378137.0, e2 = 0.006694379990197585, s = std::sin(Rad(60));
    const double meridian = a * (1 - e2) / std::pow(1 - e2 * s * s, 1.5);
    Feed(PlotRecord(60 + 10 / meridian * 180 / kPi, 10, 0, kStart + 2, 4));
    EXPECT_NEAR(m_Plot.MeanDistance(), 10.0, 1e-6);
    Feed(PlotRecord(60, 10, 100, kStart + 3, 4));
    EXPECT_NEAR(m_Plot.MeanDistance(), 5.0, 1e-6);
    EXPECT_EQ(Child<QLabel>("StdShowLabel")->text(), QStringLiteral("5.0000"));

    // Giving the centre up hides the mean and centres on the next point.
    Child<QToolButton>("pSetCenterBtn")->click();
    EXPECT_FALSE(m_Plot.HasUserCentre());
    EXPECT_FALSE(Child<QLabel>("StdShowLabel")->isVisible());
    Feed(PlotRecord(60.001, 10.001, 0, kStart + 4, 4));
    EXPECT_EQ(m_Plot.Point(m_Plot.PointCount() - 1).East, 0.0);
    EXPECT_EQ(m_Plot.Point(m_Plot.PointCount() - 1).North, 0.0);
    EXPECT_NE(m_Plot.Point(0).North, 0.0);
}

TEST_F(TrackPlotTest, TheCentreDialogRefusesWhatIsNoPositionAndOffersTheLastAccepted)
{
    QTrackPlotSetCenterDiag* pDiag = m_Plot.CenterDiag();
    auto* pLon = pDiag->findChild<QLineEdit*>(QStringLiteral("QLonLineEdit"));
    auto* pLat = pDiag->findChild<QLineEdit*>(QStringLiteral("QLatLineEdit"));
    auto* pHeight = pDiag->findChild<QLineEdit*>(QStringLiteral("QHeightLineEdit"));
    auto* pOk = pDiag->findChild<QPushButton*>(QStringLiteral("OkpushButton"));
    ASSERT_TRUE(pLon && pLat && pHeight && pOk && pDiag->findChild<QPushButton*>(QStringLiteral("CancelpushButton")));
    QSignalSpy accepted(pDiag, &QTrackPlotSetCenterDiag::SignalSetCenterValue);

    // The latest position is offered.
    Feed(PlotRecord(-33.86, 151.21, 58.5, kStart, 4));
    Child<QToolButton>("pSetCenterBtn")->click();
    EXPECT_TRUE(pDiag->isVisible());
    EXPECT_EQ(pLon->text(), QStringLiteral("151.21000000"));
    EXPECT_EQ(pLat->text(), QStringLiteral("-33.86000000"));
    EXPECT_EQ(pHeight->text(), QStringLiteral("58.5000"));

    const struct
    {
        const char *Lon, *Lat, *Height, *Warning;
    } refused[] = {
        {"", "30", "", "Err|Please enter the value of longitude"},
        {"120", " ", "", "Err|Please enter the value of latitude"},
        {"abc", "30", "", "Err|The longitude must be a number from -180 to 180 degrees"},
        {"180.5", "30", "", "Err|The longitude must be a number from -180 to 180 degrees"},
        {"120", "-90.01", "", "Err|The latitude must be a number from -90 to 90 degrees"},
        {"120", "30", "1,5", "Err|The height must be a number of metres"},
    };
    for (const auto& c : refused)
    {
        m_Prompt.Messages.clear();
        pLon->setText(QLatin1String(c.Lon));
        pLat->setText(QLatin1String(c.Lat));
        pHeight->setText(QLatin1String(c.Height));
        pOk->click();
        EXPECT_EQ(m_Prompt.Messages.value(0), QLatin1String(c.Warning)) << c.Lon << " " << c.Lat << " " << c.Height;
        EXPECT_EQ(accepted.count(), 0);
        EXPECT_TRUE(pDiag->isVisible());
        EXPECT_FALSE(m_Plot.HasUserCentre());
    }

    pLon->setText(QStringLiteral("-180"));
    pLat->setText(QStringLiteral("-89.5"));
    pHeight->setText(QString());
    pOk->click();
    ASSERT_EQ(accepted.count(), 1);
    EXPECT_EQ(accepted.at(0).at(0).toString(), QStringLiteral("-180"));
    EXPECT_FALSE(pDiag->isVisible());
    EXPECT_TRUE(m_Plot.HasUserCentre());

    // Given up and asked again: the texts last accepted come back, the
    // latest height where none was typed.
    Child<QToolButton>("pSetCenterBtn")->click();
    Child<QToolButton>("pSetCenterBtn")->click();
    EXPECT_EQ(pLon->text(), QStringLiteral("-180"));
    EXPECT_EQ(pLat->text(), QStringLiteral("-89.5"));
    EXPECT_EQ(pHeight->text(), QStringLiteral("58.5000"));
}

TEST_F(TrackPlotTest, RangingMeasuresOnThePlaneInTheScaleBarsUnit)
{
    AutoScale(false);
    m_Plot.Canvas().SetCentre(0, 0);
    m_Plot.Canvas().SetUnitsPerPixel(0.01, 0.01); // a 50 cm grid
    Child<QToolButton>("pRangingBtn")->click();
    const QPoint label = Child<QLabel>("TrackPlotLabel")->pos();
    for (QPoint at : {QPoint(100, 100), QPoint(200, 100), QPoint(200, 130)})
    {
        Mouse(QEvent::MouseButtonPress, label + at);
        Mouse(QEvent::MouseButtonRelease, label + at);
    }
    EXPECT_EQ(m_Prompt.Messages,
              QStringList({"Distance|Distance: 100.00000000 cm", "Distance|Distance: 30.00000000 cm"}));
    EXPECT_EQ(m_Plot.cursor().shape(), Qt::CrossCursor);

    // The picture's context menu turns ranging off and forgets its points.
    ChooseFromContextMenu(&m_Plot, QStringLiteral("Ranging"), label + QPoint(50, 50));
    EXPECT_FALSE(Child<QToolButton>("pRangingBtn")->isChecked());
    m_Prompt.Messages.clear();
    Mouse(QEvent::MouseButtonPress, label + QPoint(10, 10));
    Mouse(QEvent::MouseButtonRelease, label + QPoint(10, 10));
    EXPECT_TRUE(m_Prompt.Messages.isEmpty());
}

TEST_F(TrackPlotTest, PointsTakeTheirSolutionsColourUnlessFilteredAndTheNewestIsRed)
{
    // Three points 20 m apart on a line east, then a fourth.
    const int types[] = {1, 4, 5, 6};
    for (int i = 0; i < 4; ++i)
        Feed(PlotRecord(0.5, 10 + i * 0.0002, 0, kStart + i, types[i]));
    const auto at = [&](int i) { return DrawnAt(m_Plot.Point(i).East, m_Plot.Point(i).North); };
    EXPECT_EQ(at(0), QColor(121, 121, 189));
    EXPECT_EQ(at(1), QColor(0, 128, 64));
    EXPECT_EQ(at(2), QColor(0, 150, 255));
    EXPECT_EQ(at(3), QColor(Qt::red));

    Child<QCheckBox>("pRtkIntCheckbox")->click();
    const QColor under = at(1); // the background, or a grid line through the point
    EXPECT_TRUE(under == QColor(Qt::white) || under == QColor(Qt::gray)) << "a filtered type is not drawn";
    Child<QCheckBox>("pSelectAllCheckBox")->click();
    EXPECT_FALSE(Child<QCheckBox>("pSingleCheckbox")->isChecked());
    EXPECT_EQ(at(0), QColor(Qt::cyan));
    EXPECT_EQ(at(1), QColor(Qt::cyan));
    EXPECT_EQ(at(3), QColor(Qt::red));

    m_Plot.OnCopyGraphPixmapToClipboard();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              m_Plot.Pixmap().toImage().convertToFormat(QImage::Format_RGB32));
}

class TrackPlotLanguages : public TrackPlotTest, public ::testing::WithParamInterface<const char*>
{
protected:
    void TearDown() override
    {
        InstallMonitorTranslations(QStringLiteral("en"));
        TrackPlotTest::TearDown();
    }
};

TEST_P(TrackPlotLanguages, AFewThousandPositionsAreDrawnWithTheirScaleBarAndFixedRatio)
{
    const QString sLanguage = QLatin1String(GetParam());
    InstallMonitorTranslations(sLanguage);
    m_Plot.OnLanguageUpdate();
    // A vehicle driving laps of a 300 m by 120 m block near Wuhan, one fix a
    // second: fixed RTK mostly, floating under the trees on the north side.
    const int nPoints = 3000;
    int nFixed = 0;
    for (int i = 0; i < nPoints; ++i)
    {
        double e = 0, n = 0;
        AlongBlock(i * 4.0, 300, 120, &e, &n);
        const int type = n > 100 ? 5 : 4;
        nFixed += type == 4;
        Feed(PlotRecord(30.5283 + n / 110850.0, 114.3558 + e / 95980.0, 36.2, kStart + i, type));
    }
    EXPECT_EQ(FixLabel()->text(), QString::asprintf("%.2f%% /%d", 100.0 * nFixed / nPoints, nPoints));
    // The scale bar stands 70 pixels left of the picture's right edge, 25 above its foot.
    m_Plot.RenderPlot();
    const QImage picture = m_Plot.Pixmap().toImage();
    EXPECT_EQ(picture.pixelColor(picture.width() - 1 - 70, picture.height() - 1 - 25), QColor(Qt::black));
    EXPECT_EQ(RenderAndCheck(&m_Plot, "views_QTrackPlot_" + sLanguage), "");

    m_Plot.OnSetCenterValue(QStringLiteral("114.3558"), QStringLiteral("30.5283"), QString());
    m_Plot.show();
    EXPECT_EQ(RenderAndCheck(&m_Plot, "views_QTrackPlot_centre_" + sLanguage), "");
    m_Plot.CenterDiag()->SetPosition(30.52830419, 114.35580212, 36.2);
    m_Plot.CenterDiag()->OnShowDiag();
    EXPECT_EQ(RenderAndCheck(m_Plot.CenterDiag(), "views_QSetCenterDialog_" + sLanguage), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, TrackPlotLanguages, ::testing::Values("en", "zh"));
