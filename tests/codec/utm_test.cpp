#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "codec/utm.h"

namespace
{
constexpr double kDeg = 3.141592653589793 / 180.0;

struct UtmPoint
{
    double dLat, dLon;
    int32_t nZone;
    char cBand;
    double dEasting, dNorthing;
};

// Reference values from an independent projection (the Krueger series in the
// third flattening to order n^6, WGS-84), computed in python3 with
// tests/data/utm_reference.py. Pairs straddle the zone edges at 12 E, at the
// Greenwich meridian and at 6 W; the rest cover both hemispheres and both signs
// of longitude.
const UtmPoint kPoints[] = {
    {0, 3, 31, 'N', 500000.0000, 0.0000},
    {45, 9, 32, 'T', 500000.0000, 4982950.4002},
    {45, 10, 32, 'T', 578815.3029, 4983436.7683},
    {45, 11.999, 32, 'T', 736367.2107, 4987326.5844},
    {45, 12.001, 33, 'T', 263632.7893, 4987326.5844},
    {-33.8568, 151.2153, 56, 'H', 334900.5697, 6252288.7529},
    {-22.9068, -43.1729, 23, 'K', 687394.5933, 7465634.1277},
    {38.8895, -77.0353, 18, 'S', 323478.0634, 4306483.2418},
    {51.4779, -0.0015, 30, 'U', 708213.4950, 5707235.6605},
    {51.4779, 0.0015, 31, 'U', 291786.5050, 5707235.6605},
    {40.0, -6.0005, 29, 'T', 756056.9579, 4432067.6189},
    {40.0, -5.9995, 30, 'T', 243943.0421, 4432067.6189},
    {-0.0001, 3, 31, 'M', 500000.0000, 9999988.9470},
    {-45, -3.0005, 30, 'G', 499960.5924, 5017049.5997},
    {78.2232, 15.6267, 33, 'X', 514278.7151, 8683355.4695},
    {-79.9, -179.9, 1, 'C', 443247.8718, 1128161.3729},
};

TEST(Utm, ProjectsReferencePoints)
{
    for (const UtmPoint& p : kPoints)
    {
        SCOPED_TRACE(testing::Message() << p.dLat << "," << p.dLon);
        EXPECT_EQ(UtmZone(p.dLon), p.nZone);
        EXPECT_EQ(UtmLatitudeBand(p.dLat), p.cBand);
        double dE = 0, dN = 0;
        LatLonToUtm(p.dLat * kDeg, p.dLon * kDeg, p.nZone, &dE, &dN);
        // The eighth-order series agrees with the reference to well below a millimetre inside a zone.
        EXPECT_NEAR(dE, p.dEasting, 1e-3);
        EXPECT_NEAR(dN, p.dNorthing, 1e-3);
    }
}

TEST(Utm, ZoneUsesFloorForWesternLongitudes)
{
    const struct
    {
        double dLon;
        int32_t nZone;
    } kCases[] = {{-180.0, 1}, {-179.999, 1}, {-174.0, 2}, {-6.5, 29},  {-6.0, 30}, {-0.5, 30},
                  {-1e-9, 30}, {0.0, 31},     {5.999, 31}, {179.9, 60}, {180.0, 1}, {186.0, 2}};
    for (const auto& c : kCases)
        EXPECT_EQ(UtmZone(c.dLon), c.nZone) << c.dLon;
    EXPECT_EQ(UtmZone(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Utm, LatitudeBandEdges)
{
    const struct
    {
        double dLat;
        char cBand;
    } kCases[] = {{0.0, 'N'},  {-0.5, 'M'}, {-80.0, 'C'}, {-72.0, 'D'}, {71.999, 'W'}, {72.0, 'X'},
                  {80.0, 'X'}, {83.0, 'X'}, {84.0, 'X'},  {84.01, 0},   {-80.01, 0},   {90.0, 0}};
    for (const auto& c : kCases)
        EXPECT_EQ(UtmLatitudeBand(c.dLat), c.cBand) << c.dLat;
    EXPECT_EQ(UtmLatitudeBand(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Utm, NorthingJustSouthOfEquatorIsJustBelowFalseNorthing)
{
    double dE = 0, dN = 0;
    LatLonToUtm(-1e-7 * kDeg, 3 * kDeg, 31, &dE, &dN);
    EXPECT_LT(dN, 10000000.0);
    EXPECT_GT(dN, 9999999.9);
    EXPECT_NEAR(MeridianArc(0.0), 0.0, 1e-9);
}
}
