// The instruments draw what they are given: the attitude indicator's sky and
// ground split at the horizon the pitch moves (held within 40 degrees) and
// turned by the roll; the compass's heading marker at the heading's bearing.
#include "monitor/views/ins_instruments.h"
#include "view_road.h"

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
    EXPECT_TRUE(redAt({186, 100}));
    EXPECT_FALSE(redAt({100, 14}));
    compass.m_yaw = 0;
    emit compass.canvasReplot();
    EXPECT_TRUE(Near(Picture(&compass).pixel(186, 100), kDial, 12));
    EXPECT_TRUE(redAt({100, 14}));
}
