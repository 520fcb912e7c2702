// The coordinate and time conversion's typed input, read as the window reads
// it: lines of text for an angle in degrees, one in NMEA form, degrees,
// minutes and seconds, GPS week, seconds and leap seconds, and X, Y, Z. What
// is taken lies in its range, and every form it is shown in lies in its own:
// degrees-minutes-seconds and NMEA give the same angle back with its sign,
// GPS time to UTC and back gives the same week and seconds, and the date
// lies between the GPS epoch and the end of 2099 exactly when the leap
// seconds put it there.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "monitor/tools/lon_lat_convert.h"

namespace
{
std::vector<std::string_view> Lines(std::string_view s)
{
    std::vector<std::string_view> lines;
    for (size_t at = 0;;)
    {
        const size_t end = s.find('\n', at);
        lines.push_back(s.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos)
            return lines;
        at = end + 1;
    }
}

void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

// An angle taken within its limit, through both display forms.
void CheckAngle(double dDegrees, double dLimit)
{
    const DMS_ANGLE_T a = DegreesToDms(dDegrees);
    Check(a.Degrees <= dLimit && a.Minutes < 60 && a.Seconds >= 0.0 && a.Seconds < 60.0);
    const double dBack = a.Degrees + a.Minutes / 60.0 + a.Seconds / 3600.0;
    // Seconds are rounded to 1/10000.
    Check(std::fabs(dBack - std::fabs(dDegrees)) <= 0.5 / 10000 / 3600 + 1e-12 * dLimit);
    Check(!a.Negative || dDegrees < 0.0);
    Check(a.Negative || dDegrees >= 0.0 || dBack == 0.0);

    const double dNmea = DegreesToNmea(dDegrees);
    Check(std::fabs(dNmea) <= dLimit * 100.0);
    Check(!(dNmea < 0.0) || dDegrees < 0.0);
    Check(!(dNmea > 0.0) || dDegrees > 0.0);
    double dFromNmea = 0.0;
    Check(NmeaToDegrees(dNmea, &dFromNmea));
    // Minutes are rounded to 1e-6.
    Check(std::fabs(dFromNmea - dDegrees) <= 0.5e-6 / 60.0 + 1e-12 * dLimit);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 4096)
        return 0;
    const std::vector<std::string_view> f = Lines(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    const auto field = [&f](size_t i) { return i < f.size() ? f[i] : std::string_view(); };
    const double limits[2] = {LATITUDE_LIMIT_DEG, LONGITUDE_LIMIT_DEG};

    // Lines 0 and 1: latitude and longitude in degrees; lines 2 and 3 the same in NMEA form.
    for (int i = 0; i < 4; ++i)
    {
        double d = 0.0;
        if (!ReadNumber(field(i), &d))
            continue;
        Check(std::isfinite(d));
        if (i >= 2 && !NmeaToDegrees(d, &d))
            continue;
        if (std::fabs(d) <= limits[i % 2])
            CheckAngle(d, limits[i % 2]);
    }
    // Lines 4 to 6: degrees, minutes and seconds of a longitude.
    double dms[3] = {0.0, 0.0, 0.0}, d = 0.0;
    if (ReadNumber(field(4), &dms[0]) && ReadNumber(field(5), &dms[1]) && ReadNumber(field(6), &dms[2]) &&
        DmsToDegrees(dms[0], dms[1], dms[2], field(4).find('-') != std::string_view::npos, &d))
    {
        Check(std::fabs(dms[1]) < 60.0 && std::fabs(dms[2]) < 60.0);
        if (std::fabs(d) <= LONGITUDE_LIMIT_DEG)
            CheckAngle(d, LONGITUDE_LIMIT_DEG);
    }

    // Lines 7 to 9: GPS week, seconds of week and leap seconds (empty: those in force).
    int64_t week = 0, seconds = 0, leap = 0;
    if (ReadWholeNumber(field(7), 0, GPS_WEEK_MAX, &week) == WHOLE_NUMBER_OK &&
        ReadWholeNumber(field(8), 0, GNSS_MS_PER_WEEK / 1000 - 1, &seconds) == WHOLE_NUMBER_OK)
    {
        const bool bLeap =
            ReadWholeNumber(field(9), -LEAP_SECONDS_LIMIT, LEAP_SECONDS_LIMIT, &leap) == WHOLE_NUMBER_OK;
        CalendarTime utc{};
        const bool bOk = GpsWeekSecondsToUtc(static_cast<uint32_t>(week), static_cast<uint32_t>(seconds),
                                             bLeap ? &leap : nullptr, &utc);
        if (bLeap)
        {
            const int64_t nUtc = week * 604800 + seconds - leap;
            Check(bOk == (nUtc >= 0 && nUtc < LEAP_SECONDS_LIMIT));
        }
        if (bOk)
        {
            Check(utc.Year >= 1980 && utc.Year <= 2099 && utc.Month >= 1 && utc.Month <= 12 && utc.Day >= 1 &&
                  utc.Day <= 31 && utc.Hour < 24 && utc.Minute < 60 && utc.Second < 60 && utc.Millisecond == 0);
            uint32_t nWeek = 0, nSeconds = 0;
            if (bLeap)
            {
                Check(UtcToGpsWeekSeconds(utc, &leap, &nWeek, &nSeconds));
                Check(nWeek == week && nSeconds == seconds);
            }
        }
    }

    // Lines 10 to 12: X, Y and Z.
    double xyz[3] = {0.0, 0.0, 0.0};
    if (ReadNumber(field(10), &xyz[0]) && ReadNumber(field(11), &xyz[1]) && ReadNumber(field(12), &xyz[2]) &&
        std::fabs(xyz[0]) <= CARTESIAN_LIMIT_M && std::fabs(xyz[1]) <= CARTESIAN_LIMIT_M &&
        std::fabs(xyz[2]) <= CARTESIAN_LIMIT_M)
    {
        double lon = 0.0, lat = 0.0, height = 0.0;
        EcefToGeodetic(xyz[0], xyz[1], xyz[2], &lon, &lat, &height);
        Check(std::isfinite(height) && std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0);
        // Near the ground the closed form is exact to well below a millimetre.
        if (std::fabs(height) <= 10000.0)
        {
            double x = 0.0, y = 0.0, z = 0.0;
            GeodeticToEcef(lon, lat, height, &x, &y, &z);
            Check(std::hypot(x - xyz[0], y - xyz[1], z - xyz[2]) < 1e-3);
        }
    }
    return 0;
}
