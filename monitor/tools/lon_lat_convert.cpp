#include "monitor/tools/lon_lat_convert.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
// e'^2 b and e^2 a of Bowring's formula.
constexpr double kEp2B = 42841.31151331357;
constexpr double kE2A = 42697.67270717997;
// Display units: 1/10000 second of arc and 1/1000000 minute.
constexpr int64_t kTenThousandthsPerDegree = 3600 * 10000;
constexpr int64_t kMicroMinutesPerDegree = 60 * 1000000;

std::vector<std::string_view> Split(std::string_view sText, char cSeparator)
{
    std::vector<std::string_view> items;
    size_t nStart = 0;
    for (;;)
    {
        const size_t nAt = sText.find(cSeparator, nStart);
        items.push_back(sText.substr(nStart, nAt == std::string_view::npos ? std::string_view::npos : nAt - nStart));
        if (nAt == std::string_view::npos)
            return items;
        nStart = nAt + 1;
    }
}

// The NMEA angle at items[nAt] with its hemisphere letter after it.
bool NmeaAngle(const std::vector<std::string_view>& items, size_t nAt, char cNegative, double* pDegrees)
{
    double dValue = 0.0;
    if (nAt + 1 >= items.size() || !ReadNumber(items[nAt], &dValue) || !NmeaToDegrees(dValue, pDegrees))
        return false;
    const std::string_view sHemisphere = items[nAt + 1];
    if (!sHemisphere.empty() && sHemisphere.front() == cNegative)
        *pDegrees = -*pDegrees;
    return true;
}
} // namespace

bool ReadNumber(std::string_view sText, double* pValue)
{
    while (!sText.empty() && (sText.front() == ' ' || sText.front() == '\t'))
        sText.remove_prefix(1);
    while (!sText.empty() && (sText.back() == ' ' || sText.back() == '\t'))
        sText.remove_suffix(1);
    if (!sText.empty() && sText.front() == '+')
        sText.remove_prefix(1);
    double dValue = 0.0;
    const auto result = std::from_chars(sText.data(), sText.data() + sText.size(), dValue);
    if (sText.empty() || result.ec != std::errc() || result.ptr != sText.data() + sText.size() || !std::isfinite(dValue))
        return false;
    *pValue = dValue;
    return true;
}

bool PositionFromLog(std::string_view sLine, double* pLatDeg, double* pLonDeg)
{
    const size_t nSemicolon = sLine.find(';');
    if (nSemicolon == std::string_view::npos)
        return false;
    const std::vector<std::string_view> items = Split(sLine.substr(nSemicolon + 1), ',');
    double dLat = 0.0, dLon = 0.0;
    if (items.size() < 4 || !ReadNumber(items[2], &dLat) || !ReadNumber(items[3], &dLon) || std::fabs(dLat) > 90.0 ||
        std::fabs(dLon) > 180.0)
        return false;
    *pLatDeg = dLat;
    *pLonDeg = dLon;
    return true;
}

bool PositionFromNmea(std::string_view sSentence, double* pLatDeg, double* pLonDeg)
{
    sSentence = sSentence.substr(0, sSentence.find('*'));
    const std::vector<std::string_view> items = Split(sSentence, ',');
    // Where the latitude stands: after the time in GGA and GNS, after the
    // time and the status in RMC, first in GLL.
    const std::string_view sType = items[0].size() >= 3 ? items[0].substr(items[0].size() - 3) : std::string_view();
    const size_t nLat = sType == "RMC" ? 3 : sType == "GLL" ? 1 : 2;
    double dLat = 0.0, dLon = 0.0;
    if (!NmeaAngle(items, nLat, 'S', &dLat) || !NmeaAngle(items, nLat + 2, 'W', &dLon) || std::fabs(dLat) > 90.0 ||
        std::fabs(dLon) > 180.0)
        return false;
    *pLatDeg = dLat;
    *pLonDeg = dLon;
    return true;
}

DMS_ANGLE_T DegreesToDms(double dDegrees)
{
    // Whole units of the last digit shown, so that every carry happens in
    // integers and no part can show 60.
    const int64_t nTotal = std::llround(std::fabs(dDegrees) * kTenThousandthsPerDegree);
    DMS_ANGLE_T a;
    a.Negative = std::signbit(dDegrees) && nTotal != 0;
    a.Degrees = static_cast<uint32_t>(nTotal / kTenThousandthsPerDegree);
    const int64_t nRest = nTotal % kTenThousandthsPerDegree;
    a.Minutes = static_cast<uint32_t>(nRest / (60 * 10000));
    a.Seconds = static_cast<double>(nRest % (60 * 10000)) / 10000.0;
    return a;
}

bool NmeaToDegrees(double dNmea, double* pDegrees)
{
    const double p = std::fabs(dNmea);
    const double d = std::floor(p / 100.0);
    const double m = p - d * 100.0;
    if (!(m < 60.0))
        return false;
    *pDegrees = std::copysign(d + m / 60.0, dNmea);
    return true;
}

double DegreesToNmea(double dDegrees)
{
    const int64_t nTotal = std::llround(std::fabs(dDegrees) * kMicroMinutesPerDegree);
    const double dValue = static_cast<double>(nTotal / kMicroMinutesPerDegree) * 100.0 +
                          static_cast<double>(nTotal % kMicroMinutesPerDegree) / 1e6;
    return std::signbit(dDegrees) && nTotal != 0 ? -dValue : dValue;
}

bool DmsToDegrees(double dDegrees, double dMinutes, double dSeconds, bool bNegative, double* pDegrees)
{
    if (!(std::fabs(dMinutes) < 60.0) || !(std::fabs(dSeconds) < 60.0))
        return false;
    const double d = std::fabs(dDegrees) + std::fabs(dMinutes) / 60.0 + std::fabs(dSeconds) / 3600.0;
    *pDegrees = bNegative ? -d : d;
    return true;
}

void GeodeticToEcef(double dLonDeg, double dLatDeg, double dHeight, double* pX, double* pY, double* pZ)
{
    const double lat = dLatDeg * kDegToRad, lon = dLonDeg * kDegToRad;
    const double sinLat = std::sin(lat);
    const double n = WGS84_A / std::sqrt(1.0 - WGS84_E2 * sinLat * sinLat);
    *pX = (n + dHeight) * std::cos(lat) * std::cos(lon);
    *pY = (n + dHeight) * std::cos(lat) * std::sin(lon);
    *pZ = (n * (1.0 - WGS84_E2) + dHeight) * sinLat;
}

void EcefToGeodetic(double dX, double dY, double dZ, double* pLonDeg, double* pLatDeg, double* pHeight)
{
    const double p = std::hypot(dX, dY);
    if (p < 1e-10)
    {
        *pLonDeg = 0.0;
        *pLatDeg = dZ < 0 ? -90.0 : 90.0;
        *pHeight = std::fabs(dZ) - WGS84_B;
        return;
    }
    const double theta = std::atan(dZ * WGS84_A / (p * WGS84_B));
    const double s = std::sin(theta), c = std::cos(theta);
    const double lat = std::atan((dZ + kEp2B * s * s * s) / (p - kE2A * c * c * c));
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double n = WGS84_A / std::sqrt(1.0 - WGS84_E2 * sinLat * sinLat);
    *pLonDeg = std::atan2(dY, dX) / kDegToRad;
    *pLatDeg = lat / kDegToRad;
    // p / cos(lat) - N, written so that it holds near the poles too, where cos(lat) vanishes.
    *pHeight = p * cosLat + dZ * sinLat - n * (1.0 - WGS84_E2 * sinLat * sinLat);
}

bool GpsWeekSecondsToUtc(uint32_t nWeek, uint32_t nSeconds, const int32_t* pLeapSeconds, CalendarTime* pUtc)
{
    if (nSeconds >= GNSS_MS_PER_WEEK / 1000)
        return false;
    const uint32_t nMs = nSeconds * 1000;
    const int32_t nLeapMs = pLeapSeconds != nullptr ? *pLeapSeconds * 1000 : GpsLeapMs(nWeek, nMs);
    return GpsTimeToCalendar(nWeek, nMs, &nLeapMs, pUtc) == 1;
}

bool UtcToGpsWeekSeconds(const CalendarTime& Utc, const int32_t* pLeapSeconds, uint32_t* pWeek, uint32_t* pSeconds)
{
    int32_t nLeap = 0;
    if (pLeapSeconds != nullptr)
        nLeap = *pLeapSeconds;
    else if (!UtcLeapSeconds(&Utc, &nLeap))
        return false;
    const int32_t nLeapMs = nLeap * 1000;
    uint32_t nMs = 0;
    if (CalendarToGpsTime(&Utc, &nLeapMs, pWeek, &nMs) == GNSS_TIME_INVALID)
        return false;
    *pSeconds = nMs / 1000;
    return true;
}
