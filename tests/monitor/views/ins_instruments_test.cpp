// The instruments draw what they are given: the attitude indicator's sky and
// ground split at the horizon the pitch moves (held within 40 degrees) and
// turned by the roll; the compass's heading marker at the heading's bearing.
#include "monitor/views/ins_instruments.h"
#include "view_road.h"

#include <cmath>

namespace
{
const QColor kSky(55, 172, 253), kGround(131, 89, 56), kDial(71, 71, 71), kWhite(255, 255, 255);
} // namespace

TEST(InsInstruments, TheIndicatorSplitsSkyAndGroundAtThePitchAndTurnsWithTheRoll)
{
    QADI adi;
    adi.resize(200, 200);
    // The dial: the smaller side less the offset on both sides.
    EXPECT_EQ(Picture(&adi).size(), QSize(200, 200));
    EXPECT_EQ(adi.m_size, 196);

    // Pixels 30 above and below the centre, between the ladder's rungs.
    struct
    {
        double Pitch, Roll;
        QPoint At;
        QColor Want;
    } const cases[] = {
        {0, 0, {100, 70}, kSky},
        {0, 0, {100, 130}, kGround},
        {0, 180, {100, 70}, kGround},
        {0, 180, {100, 130}, kSky},
        {0, 90, {130, 100}, kSky},
        {0, 90, {70, 100}, kGround},
        // Nose up 60: the horizon stops at the 40-degree place, 87 below the
        // centre, while the ladder's -60 rung crosses the centre.
        {60, 0, {100, 172}, kSky},
        {60, 0, {110, 193}, kGround},
        {60, 0, {100, 100}, kWhite},
    };
    for (const auto& c : cases)
    {
        adi.m_pitch = c.Pitch;
        adi.m_roll = c.Roll;
        emit adi.canvasReplot();
        EXPECT_TRUE(Near(Picture(&adi).pixel(c.At), c.Want, 12))
            << "pitch " << c.Pitch << " roll " << c.Roll << " at " << c.At.x() << "," << c.At.y();
    }
}

TEST(InsInstruments, TheCompassMarksTheHeadingOnItsRim)
{
    QCompass compass;
    compass.resize(500, 300);
    EXPECT_EQ(Picture(&compass).size(), QSize(500, 300));
    EXPECT_EQ(compass.m_size, 296);

    compass.resize(200, 200);
    auto redAt = [&](QPoint p)
    {
        const QRgb c = Picture(&compass).pixel(p);
        return qRed(c) > 200 && qGreen(c) < 40;
    };
    compass.m_yaw = 90;
    emit compass.canvasReplot();
    EXPECT_TRUE(redAt({191, 100}));
    EXPECT_FALSE(redAt({100, 9}));
    compass.m_yaw = 0;
    emit compass.canvasReplot();
    EXPECT_FALSE(redAt({191, 100}));
    EXPECT_TRUE(redAt({100, 9}));
}

// Neither the compass's needle nor its rim marker covers the rose's labels,
// nor the attitude indicator's pitch ladder its roll scale: the band of
// labels inside the ticks (2 + 7 px from the rim of a 196 px dial) holds no
// red of the needle, no white of the ladder.
TEST(InsInstruments, NeedleAndLadderStayClearOfTheScaleLabels)
{
    QCompass compass;
    compass.resize(200, 200);
    QADI adi;
    adi.resize(200, 200);
    for (const double dAngle : {0.0, 30.0, 90.0, 200.0})
    {
        compass.m_yaw = dAngle;
        emit compass.canvasReplot();
        const QImage rose = Picture(&compass);
        adi.m_pitch = 35;
        adi.m_roll = dAngle;
        emit adi.canvasReplot();
        const QImage dial = Picture(&adi);
        int nRed = 0, nWhite = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
            {
                const double r = std::hypot(x + 0.5 - 100.0, y + 0.5 - 100.0);
                if (r < 98.0 - 2 - 7 - 14 || r > 98.0 - 2 - 7 - 2)
                    continue;
                const QRgb c = rose.pixel(x, y);
                nRed += qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
                nWhite += Near(dial.pixel(x, y), kWhite, 20);
            }
        EXPECT_EQ(nRed, 0) << "compass at " << dAngle;
        EXPECT_EQ(nWhite, 0) << "indicator rolled " << dAngle;
    }
}
