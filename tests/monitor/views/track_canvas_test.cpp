// The track plot's drawing surface on images of known size: scale limits and
// grid steps, the plane-to-pixel mapping and its frame test, lines clipped to
// the frame whatever their direction and however far their ends lie, the
// marker cache, and dots stamped straight into an image looking exactly as
// the painter draws them.
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

#include "monitor/views/track_canvas.h"

namespace
{
constexpr QRgb kWhite = 0xffffffffu;

// Pixels of an image that are not white, inside and outside a rectangle.
struct PAINTED_T
{
    int Inside = 0;
    int Outside = 0;
};
PAINTED_T Painted(const QImage& image, const QRect& frame)
{
    PAINTED_T n;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhite)
                (frame.contains(x, y) ? n.Inside : n.Outside)++;
    return n;
}

bool Lit(const QImage& image, int x, int y) { return image.pixel(x, y) != kWhite; }
} // namespace

TEST(TrackCanvas, ScaleStaysInItsLimitsAndGridStepsAreOneTwoOrFiveTimesAPowerOfTen)
{
    QImage device(101, 101, QImage::Format_RGB32);
    CTrackCanvas canvas(&device);
    double sx = 0, sy = 0;
    canvas.UnitsPerPixel(&sx, &sy);
    EXPECT_EQ(sx, 0.02);
    canvas.SetUnitsPerPixel(1e-6, 1e9);
    canvas.UnitsPerPixel(&sx, &sy);
    EXPECT_EQ(sx, 2e-5);
    EXPECT_EQ(sy, 1e7);
    canvas.SetUnitsPerPixel(std::nan(""), 0.5);
    canvas.UnitsPerPixel(&sx, &sy);
    EXPECT_EQ(sx, 2e-5) << "a scale that is not a number keeps the old one";

    const struct
    {
        double UnitsPerPixel, Step;
    } steps[] = {{0.02, 1.0}, {0.1, 5.0}, {1.0, 50.0}, {2e-5, 0.001}, {1e-4, 0.005}, {0.01, 0.5}, {50, 2000}};
    for (const auto& c : steps)
        EXPECT_NEAR(CTrackCanvas::NiceStep(c.UnitsPerPixel), c.Step, c.Step * 1e-12) << c.UnitsPerPixel;
}

TEST(TrackCanvas, PointsMapToPixelsAndCountAsOnTheFrameWithinATenthOfAPixel)
{
    QImage device(101, 101, QImage::Format_RGB32);
    CTrackCanvas canvas(&device);
    const struct
    {
        double X, Y;
        QPointF Pixel;
        bool Inside;
    } cases[] = {
        {0, 0, {50, 50}, true},     {1, 1, {100, 0}, true},      {-1, -1, {0, 100}, true},
        {-1.001, 0, {0, 50}, true}, {-1.004, 0, {0, 50}, false}, {0, 1.003, {50, 0}, false},
    };
    for (const auto& c : cases)
    {
        QPointF pixel;
        EXPECT_EQ(canvas.ToPixel(c.X, c.Y, &pixel), c.Inside) << c.X << "," << c.Y;
        EXPECT_EQ(pixel, c.Pixel) << c.X << "," << c.Y;
        double x = 0, y = 0;
        canvas.ToPlot(c.Pixel, &x, &y);
        EXPECT_NEAR(x, std::round(c.X * 50) / 50, 1e-12);
    }
    QPointF pixel;
    EXPECT_FALSE(canvas.ToPixel(std::nan(""), 0, &pixel));

    // A frame one pixel wide: fitting a range divides by nothing.
    QImage dot(1, 1, QImage::Format_RGB32);
    CTrackCanvas tiny(&dot);
    const double xr[2] = {0, 10}, yr[2] = {-4, 4};
    tiny.SetRange(xr, yr);
    double sx = 0, sy = 0, cx = 0, cy = 0;
    tiny.UnitsPerPixel(&sx, &sy);
    tiny.Centre(&cx, &cy);
    EXPECT_TRUE(std::isfinite(sx) && std::isfinite(sy));
    EXPECT_EQ(cx, 5.0);
    EXPECT_EQ(cy, 0.0);
}

TEST(TrackCanvas, LinesAreClippedToTheFrameWhateverTheirDirectionAndHoweverFarTheirEnds)
{
    // The canvas's frame is a 101 x 101 device; it is painted into the middle
    // of a larger picture, so that anything drawn past the frame shows.
    QImage device(101, 101, QImage::Format_RGB32);
    const QRect frame(100, 100, 101, 101);
    const double far = 1e13;
    const struct
    {
        const char* Name;
        double UnitsPerPixel;
        std::vector<double> X, Y;
        std::vector<QPoint> MustBeLit; // frame pixels
        int AtLeast;
    } cases[] = {
        {"horizontal, leaving right", 0.02, {0, 5}, {0, 0}, {{50, 50}, {75, 50}, {100, 50}}, 51},
        {"vertical, leaving down", 0.02, {0, 0}, {0, -5}, {{50, 50}, {50, 100}}, 51},
        {"horizontal, both ends outside", 0.02, {-5, 5}, {0.5, 0.5}, {{0, 25}, {50, 25}, {100, 25}}, 101},
        {"diagonal, leaving up right", 0.02, {0, 5}, {0, 5}, {{50, 50}, {100, 0}}, 51},
        {"outside, not crossing", 0.02, {-5, 5}, {5, 5}, {}, 0},
        // 50 km east and 30 km north at 20 micrometres a pixel: ends billions
        // of pixels away; the line still leaves the frame on its own slope.
        {"finest zoom, far end", 1e-9, {0, 50000}, {0, 30000}, {{50, 50}, {100, 20}}, 51},
        {"ends beyond any pixel range", 0.02, {-far, far}, {0.2, 0.2}, {{0, 40}, {100, 40}}, 101},
    };
    for (const auto& c : cases)
    {
        CTrackCanvas canvas(&device);
        canvas.SetUnitsPerPixel(c.UnitsPerPixel, c.UnitsPerPixel);
        QImage picture(301, 301, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter p(&picture);
            p.translate(frame.topLeft());
            p.setPen(Qt::black);
            canvas.PaintTrace(&p, c.X.data(), c.Y.data(), static_cast<int>(c.X.size()), Qt::black, 0);
        }
        const PAINTED_T n = Painted(picture, frame);
        EXPECT_EQ(n.Outside, 0) << c.Name;
        EXPECT_GE(n.Inside, c.AtLeast) << c.Name;
        for (const QPoint& q : c.MustBeLit)
            EXPECT_TRUE(Lit(picture, frame.x() + q.x(), frame.y() + q.y())) << c.Name << " " << q.x() << "," << q.y();
    }
}

TEST(TrackCanvas, MarkersRepeatOnlyWithinOnePaintAndBadPointsAreSkipped)
{
    QImage image(101, 101, QImage::Format_ARGB32_Premultiplied);
    CTrackCanvas canvas(&image);
    const QColor half(255, 0, 0, 128); // a second draw over the first shows
    image.fill(Qt::white);
    QPainter p(&image);
    canvas.PaintMarker(&p, QPointF(50, 50), CTrackCanvas::MARKER_DOT, half, 2);
    const QRgb once = image.pixel(50, 50);
    canvas.PaintMarker(&p, QPointF(50, 50), CTrackCanvas::MARKER_DOT, half, 2);
    EXPECT_EQ(image.pixel(50, 50), once) << "an identical marker right after is not drawn again";
    canvas.ForgetLastMarker();
    canvas.PaintMarker(&p, QPointF(50, 50), CTrackCanvas::MARKER_DOT, half, 2);
    EXPECT_NE(image.pixel(50, 50), once) << "a new paint draws its first marker";

    // The point at pixel (0, 0) is drawn like any other; points that are no
    // number, or off any device, are skipped without harm.
    const double xs[] = {-1, std::nan(""), 1e300, 0.5}, ys[] = {1, 0, 1e300, 0};
    const QColor colours[] = {Qt::blue, Qt::blue, Qt::blue, Qt::green};
    canvas.ForgetLastMarker();
    canvas.PaintMarkers(&p, xs, ys, colours, 4, CTrackCanvas::MARKER_DOT, 2);
    canvas.PaintMarker(&p, QPointF(-3e9, 4e9), CTrackCanvas::MARKER_PLUS, Qt::blue, 20);
    p.end();
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(Qt::blue));
    EXPECT_EQ(QColor(image.pixel(75, 50)), QColor(Qt::green));
}

TEST(TrackCanvas, StampedDotsLookExactlyAsThePainterDrawsThem)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> where(-2.2, 2.2);
    const QColor palette[] = {Qt::red, QColor(0, 128, 64), Qt::cyan, QColor(Qt::transparent), QColor(20, 20, 200, 120)};
    std::vector<double> xs, ys;
    std::vector<QColor> colours;
    for (int i = 0; i < 3000; ++i)
    {
        xs.push_back(where(random));
        ys.push_back(where(random));
        colours.push_back(palette[i % 5]);
    }
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_ARGB32})
    {
        for (int size : {1, 2, 6})
        {
            QImage images[2];
            for (int k = 0; k < 2; ++k)
            {
                images[k] = QImage(201, 151, format);
                images[k].fill(Qt::white);
                CTrackCanvas canvas(&images[k]);
                QPainter p(&images[k]);
                p.setPen(QPen(Qt::white));
                // A clip makes the canvas draw every dot through the painter.
                if (k == 1)
                    p.setClipRect(images[k].rect());
                canvas.PaintMarkers(&p, xs.data(), ys.data(), colours.data(), static_cast<int>(xs.size()),
                                    CTrackCanvas::MARKER_DOT, size);
            }
            EXPECT_EQ(images[0], images[1]) << "format " << format << ", size " << size;
        }
    }
}
