#include "monitor/tools/lon_lat_convert.h"

#include <charconv>
#include <cmath>
#include <limits>
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
constexpr uint32_t kSecondsPerWeek = GNSS_MS_PER_WEEK / 1000;

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

// A typed number without the blanks around it and a "+" before it (a "+"
// before a "-" stays, and the number is refused).
std::string_view NumberText(std::string_view sText)
{
    while (!sText.empty() && (sText.front() == ' ' || sText.front() == '\t'))
        sText.remove_prefix(1);
    while (!sText.empty() && (sText.back() == ' ' || sText.back() == '\t'))
        sText.remove_suffix(1);
    if (sText.size() > 1 && sText.front() == '+' && sText[1] != '-')
        sText.remove_prefix(1);
    return sText;
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
    sText = NumberText(sText);
    const char* const pEnd = sText.data() + sText.size();
    double dValue = 0.0;
    auto result = std::from_chars(sText.data(), pEnd, dValue);
    if (result.ec == std::errc::result_out_of_range && result.ptr == pEnd)
    {
        // A number too large for a double ("1e309") is still a number, only
        // out of every range: it reads as the largest double of its sign,
        // which any range check refuses; one too small reads as zero.
        long double dWide = 0.0L;
        result = std::from_chars(sText.data(), pEnd, dWide);
        const bool bNegative = !sText.empty() && sText.front() == '-';
        const bool bLarge = result.ec == std::errc() ? std::fabs(dWide) >= 1.0L
                                                     : sText.find("e-") == std::string_view::npos &&
                                                           sText.find("E-") == std::string_view::npos;
        dValue = std::copysign(bLarge ? std::numeric_limits<double>::max() : 0.0, bNegative ? -1.0 : 1.0);
        result.ec = std::errc();
    }
    if (sText.empty() || result.ec != std::errc() || result.ptr != pEnd || !std::isfinite(dValue))
        return false;
    *pValue = dValue;
    return true;
}

int ReadWholeNumber(std::string_view sText, int64_t nMin, int64_t nMax, int64_t* pValue)
{
    sText = NumberText(sText);
    int64_t nValue = 0;
    const auto result = std::from_chars(sText.data(), sText.data() + sText.size(), nValue);
    if (sText.empty() || result.ptr != sText.data() + sText.size() ||
        (result.ec != std::errc() && result.ec != std::errc::result_out_of_range))
        return WHOLE_NUMBER_INVALID;
    // Digits beyond 64 bits are out of range as well.
    if (result.ec == std::errc::result_out_of_range || nValue < nMin || nValue > nMax)
        return WHOLE_NUMBER_OUT_OF_RANGE;
    *pValue = nValue;
    return WHOLE_NUMBER_OK;
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

bool GpsWeekSecondsToUtc(uint32_t nWeek, uint32_t nSeconds, const int64_t* pLeapSeconds, CalendarTime* pUtc)
{
    if (nSeconds >= kSecondsPerWeek || nWeek > GPS_WEEK_MAX)
        return false;
    const int64_t nLeap = pLeapSeconds != nullptr ? *pLeapSeconds : GpsLeapMs(nWeek, nSeconds * 1000) / 1000;
    if (nLeap < -LEAP_SECONDS_LIMIT || nLeap > LEAP_SECONDS_LIMIT)
        return false;
    // Seconds of UTC since the GPS epoch, in 64 bits: leap seconds of any
    // size in range cannot wrap.
    const int64_t nUtc = int64_t{nWeek} * kSecondsPerWeek + nSeconds - nLeap;
    if (nUtc < 0 || nUtc >= LEAP_SECONDS_LIMIT)
        return false;
    const int32_t nNoOffset = 0;
    return GpsTimeToCalendar(static_cast<uint32_t>(nUtc / kSecondsPerWeek),
                             static_cast<uint32_t>(nUtc % kSecondsPerWeek) * 1000, &nNoOffset, pUtc) == 1;
}

bool UtcToGpsWeekSeconds(const CalendarTime& Utc, const int64_t* pLeapSeconds, uint32_t* pWeek, uint32_t* pSeconds)
{
    int64_t nLeap = 0;
    if (pLeapSeconds != nullptr)
        nLeap = *pLeapSeconds;
    else
    {
        int32_t nInForce = 0;
        if (!UtcLeapSeconds(&Utc, &nInForce))
            return false;
        nLeap = nInForce;
    }
    if (nLeap < -LEAP_SECONDS_LIMIT || nLeap > LEAP_SECONDS_LIMIT)
        return false;
    // The date counted from the GPS epoch as it stands, the leap seconds then
    // added in 64 bits.
    const int32_t nNoOffset = 0;
    uint32_t nWeek = 0, nMs = 0;
    if (CalendarToGpsTime(&Utc, &nNoOffset, &nWeek, &nMs) == GNSS_TIME_INVALID)
        return false;
    const int64_t nGps = int64_t{nWeek} * kSecondsPerWeek + nMs / 1000 + nLeap;
    if (nGps < 0 || nGps / kSecondsPerWeek > GPS_WEEK_MAX)
        return false;
    *pWeek = static_cast<uint32_t>(nGps / kSecondsPerWeek);
    *pSeconds = static_cast<uint32_t>(nGps % kSecondsPerWeek);
    return true;
}
