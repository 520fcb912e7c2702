#include "codec/utm.h"

#include <cmath>

namespace
{
constexpr double kA2 = 40680631590769.0;         // a^2, a = 6378137 m
constexpr double kB = 6356752.314245179;         // semi-minor axis, m
constexpr double kEp2 = 0.006739496742276434;    // second eccentricity squared
constexpr double kN = 0.0016792203863837205;     // third flattening
constexpr double kRectifying = 6367444.65712259; // a / (1 + n)
constexpr double kK0 = 0.9996;
constexpr double kFalseEasting = 500000.0;
constexpr double kFalseNorthing = 10000000.0;
constexpr double kPi = 3.141592653589793;

const char kBands[] = "CDEFGHJKLMNPQRSTUVWX";
}

int32_t UtmZone(double dLonDeg)
{
    if (!std::isfinite(dLonDeg))
        return 0;
    // floor, not truncation: -0.5 degrees lies in zone 30, not 31.
    double dWrapped = std::fmod(dLonDeg + 180.0, 360.0);
    if (dWrapped < 0)
        dWrapped += 360.0;
    const int32_t nZone = static_cast<int32_t>(std::floor(dWrapped / 6.0)) + 1;
    return nZone > 60 ? 60 : nZone;
}

char UtmLatitudeBand(double dLatDeg)
{
    if (!(dLatDeg >= -80.0 && dLatDeg <= 84.0))
        return 0;
    int nIndex = 10 + static_cast<int>(std::floor(dLatDeg / 8.0));
    // Band X covers 72 to 84 degrees: 80 and above would index past the table.
    if (nIndex > 19)
        nIndex = 19;
    return kBands[nIndex];
}

double MeridianArc(double dLat)
{
    const double n = kN, n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
    return kRectifying * (1.0 + n2 / 4.0 + n4 / 64.0) *
           (dLat + (-3.0 * n / 2.0 + 9.0 * n3 / 16.0 - 3.0 * n5 / 32.0) * std::sin(2.0 * dLat) +
            (15.0 * n2 / 16.0 - 15.0 * n4 / 32.0) * std::sin(4.0 * dLat) +
            (-35.0 * n3 / 48.0 + 105.0 * n5 / 256.0) * std::sin(6.0 * dLat) +
            (315.0 * n4 / 512.0) * std::sin(8.0 * dLat));
}

void TransverseMercator(double dLat, double dLon, double dLon0, double* pX, double* pY)
{
    const double c = std::cos(dLat), t = std::tan(dLat);
    const double t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const double eta2 = kEp2 * c * c;
    const double N = kA2 / (kB * std::sqrt(1.0 + eta2));
    const double l = dLon - dLon0;
    const double c2 = c * c, c3 = c2 * c, c4 = c2 * c2, c5 = c4 * c, c6 = c4 * c2, c7 = c6 * c, c8 = c4 * c4;
    const double l2 = l * l, l3 = l2 * l, l4 = l2 * l2, l5 = l4 * l, l6 = l4 * l2, l7 = l6 * l, l8 = l4 * l4;

    if (pX)
        *pX = N * c * l + (N / 6.0) * c3 * (1.0 - t2 + eta2) * l3 +
              (N / 120.0) * c5 * (5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2) * l5 +
              (N / 5040.0) * c7 * (61.0 - 479.0 * t2 + 179.0 * t4 - t6) * l7;
    if (pY)
        *pY = MeridianArc(dLat) + (t / 2.0) * N * c2 * l2 +
              (t / 24.0) * N * c4 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta2 * eta2) * l4 +
              (t / 720.0) * N * c6 * (61.0 - 58.0 * t2 + t4 + 270.0 * eta2 - 330.0 * t2 * eta2) * l6 +
              (t / 40320.0) * N * c8 * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6) * l8;
}

void LatLonToUtm(double dLat, double dLon, int32_t nZone, double* pEasting, double* pNorthing)
{
    const double dLon0 = ((6.0 * nZone - 183.0) / 180.0) * kPi;
    double x = 0, y = 0;
    TransverseMercator(dLat, dLon, dLon0, &x, &y);
    if (pEasting)
        *pEasting = kK0 * x + kFalseEasting;
    if (pNorthing)
    {
        const double dNorthing = kK0 * y;
        *pNorthing = dNorthing < 0 ? dNorthing + kFalseNorthing : dNorthing;
    }
}
