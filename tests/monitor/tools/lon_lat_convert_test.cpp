// The conversion tool's arithmetic against values published elsewhere: the
// geodetic points were converted with PROJ's cct (+proj=cart +ellps=WGS84,
// six decimals); GPS weeks and leap seconds are the published calendar (week
// 1024 and 2048 roll-overs, week 1930 starting 2017-01-01, the leap seconds of
// 2015-07-01 and 2017-01-01); angles are worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "monitor/tools/lon_lat_convert.h"

namespace
{
std::string F(const char* pFormat, double dValue)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, pFormat, dValue);
    return buf;
}

std::string Dms(const DMS_ANGLE_T& a)
{
    return (a.Negative ? "-" : "") + std::to_string(a.Degrees) + " " + std::to_string(a.Minutes) + "' " +
           F("%.4f", a.Seconds) + "''";
}

std::string Date(const CalendarTime& t)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u/%u/%u %u:%u:%u", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
    return buf;
}
} // namespace

TEST(LonLatConvert, AnglesInEveryFormRoundAndCarry)
{
    enum
    {
        IN_DEGREE,
        IN_NMEA,
    };
    struct
    {
        int Form;
        double Input;
        const char* Degree; // "%.6f"
        const char* Nmea;   // "%.6f"
        const char* Dms;
    } const cases[] = {
        {IN_NMEA, 3112.3456, "31.205760", "3112.345600", "31 12' 20.7360''"},
        // Minutes taken from the hundreds, not from a truncated quotient (29, not 28.99999).
        {IN_NMEA, 3129.0, "31.483333", "3129.000000", "31 29' 0.0000''"},
        {IN_NMEA, 3159.9999, "31.999998", "3159.999900", "31 59' 59.9940''"},
        {IN_NMEA, -3352.128, "-33.868800", "-3352.128000", "-33 52' 7.6800''"},
        {IN_NMEA, 30.0, "0.500000", "30.000000", "0 30' 0.0000''"},
        {IN_NMEA, -7500.0, "-75.000000", "-7500.000000", "-75 0' 0.0000''"},
        {IN_DEGREE, 10.1, "10.100000", "1006.000000", "10 6' 0.0000''"},
        {IN_DEGREE, 31.9999983333333, "31.999998", "3159.999900", "31 59' 59.9940''"},
        // Rounding the last digit shown carries up through minutes into degrees.
        {IN_DEGREE, 10.99999999999, "11.000000", "1100.000000", "11 0' 0.0000''"},
        {IN_DEGREE, -179.99999999999, "-180.000000", "-18000.000000", "-180 0' 0.0000''"},
        {IN_DEGREE, -0.5, "-0.500000", "-30.000000", "-0 30' 0.0000''"},
        {IN_DEGREE, -114.03832502118, "-114.038325", "-11402.299501", "-114 2' 17.9701''"},
        {IN_DEGREE, 0.0, "0.000000", "0.000000", "0 0' 0.0000''"},
    };
    for (const auto& c : cases)
    {
        double d = c.Input;
        if (c.Form == IN_NMEA)
        {
            ASSERT_TRUE(NmeaToDegrees(c.Input, &d)) << c.Input;
        }
        EXPECT_EQ(F("%.6f", d), c.Degree) << c.Input;
        EXPECT_EQ(F("%.6f", DegreesToNmea(d)), c.Nmea) << c.Input;
        const DMS_ANGLE_T a = DegreesToDms(d);
        EXPECT_EQ(Dms(a), c.Dms) << c.Input;
        // The split parts give the value back to the precision shown.
        double back = 0.0;
        ASSERT_TRUE(DmsToDegrees(a.Degrees, a.Minutes, a.Seconds, a.Negative, &back));
        EXPECT_NEAR(back, d, 0.5e-4 / 3600 + 1e-12) << c.Input;
    }

    double d = 0.0;
    EXPECT_FALSE(NmeaToDegrees(3160.0, &d));
    EXPECT_FALSE(DmsToDegrees(10, 60, 0, false, &d));
    EXPECT_FALSE(DmsToDegrees(10, 0, 60, false, &d));
    ASSERT_TRUE(DmsToDegrees(0, 30, 0, true, &d));
    EXPECT_EQ(d, -0.5);
}

TEST(LonLatConvert, PositionsOfLogsAndSentencesKeepTheirHemisphere)
{
    struct
    {
        bool Nmea;
        const char* Line;
        bool Ok;
        double Lat, Lon;
    } const cases[] = {
        {false,
         "#BESTPOSA,COM1,0,55.0,FINESTEERING,1930,0.000,00000020,0000,16809;SOL_COMPUTED,SINGLE,51.11636418888,"
         "-114.03832502118,1064.9520,-16.2712,WGS84,1.6961,1.3636,3.6449,\"0\",0.000,0.000,19,19,19,19,00,06,00,33"
         "*2b4b4a2a",
         true, 51.11636418888, -114.03832502118},
        {false, "#BESTPOSA,COM1,0,55.0,FINESTEERING,1930,0.000,00000020,0000,16809;SOL_COMPUTED,SINGLE", false, 0, 0},
        {false, "SOL_COMPUTED,SINGLE,51.1,-114.0,1064.9", false, 0, 0},
        {false, "#BESTPOSA,COM1;SOL_COMPUTED,SINGLE,north,-114.0", false, 0, 0},
        {true, "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", true, 48.1173, 11.516666667},
        {true, "$GNGGA,081220.00,3352.12800,S,15112.55800,E,4,24,0.6,58.0,M,22.1,M,1.0,0001*5C", true, -33.8688,
         151.2093},
        {true, "$GNGGA,081220.00,3746.4940,N,12225.1640,W,1,12,0.8,-30.0,M,-32.1,M,,*6E", true, 37.7749, -122.4194},
        // RMC has its status before the latitude, GLL has no time before it.
        {true, "$GPRMC,123519,A,4807.038,N,01131.000,W,022.4,084.4,230394,003.1,W*6A", true, 48.1173, -11.516666667},
        {true, "$GPGLL,3352.1280,S,07500.0000,W,225444,A*1D", true, -33.8688, -75.0},
        {true, "$GPGGA,123519,,,,,0,00,,,M,,M,,*66", false, 0, 0},
        {true, "$GPGGA,123519,4807.038,N", false, 0, 0},
        {true, "$GPGGA,123519,4860.000,N,01131.000,E,1,08*47", false, 0, 0},
    };
    for (const auto& c : cases)
    {
        double lat = 0.0, lon = 0.0;
        const bool ok = c.Nmea ? PositionFromNmea(c.Line, &lat, &lon) : PositionFromLog(c.Line, &lat, &lon);
        ASSERT_EQ(ok, c.Ok) << c.Line;
        if (ok)
        {
            EXPECT_NEAR(lat, c.Lat, 1e-9) << c.Line;
            EXPECT_NEAR(lon, c.Lon, 1e-9) << c.Line;
        }
    }
    double v = 0.0;
    EXPECT_TRUE(ReadNumber(" -12.5 ", &v));
    EXPECT_EQ(v, -12.5);
    for (const char* bad : {"", "  ", "12,5", "1e", "abc", "12.5x", "nan", "inf"})
        EXPECT_FALSE(ReadNumber(bad, &v)) << bad;
}

TEST(LonLatConvert, GeodeticAndXyzAgreeWithAnIndependentConverter)
{
    struct
    {
        double Lon, Lat, Height, X, Y, Z;
    } const forward[] = {
        {0, 0, 0, 6378137.000000, 0.000000, 0.000000},
        {121.5, 31.20576, 10, -2852954.569302, 4655598.727218, 3285432.000466},
        {-75, -33, 100, 1385861.757759, -5172106.492223, -3454013.105081},
        {151.2093, -33.8688, 58, -4646093.477288, 2553229.535817, -3534404.710910},
        {-122.4194, 37.7749, -30, -2706162.133931, -4261039.472302, 3885707.113198},
        {0, 90, 0, 0.000000, 0.000000, 6356752.314245},
        {-0.0005, 51.4779, 45.5, 3980600.845239, -34.737295, 4966867.049039},
        {10, -89.9999, 2800, 11.004522, 1.940394, -6359552.314235},
        {179.9999, 0.0001, 8848, -6386984.999981, 11.147392, 11.072870},
        {-45, 45, 20000, 3204419.145061, -3204419.145061, 4501490.544490},
    };
    for (const auto& c : forward)
    {
        double x = 0, y = 0, z = 0;
        GeodeticToEcef(c.Lon, c.Lat, c.Height, &x, &y, &z);
        EXPECT_NEAR(x, c.X, 1e-6) << c.Lon << " " << c.Lat;
        EXPECT_NEAR(y, c.Y, 1e-6) << c.Lon << " " << c.Lat;
        EXPECT_NEAR(z, c.Z, 1e-6) << c.Lon << " " << c.Lat;
        // And back, on the ground, in the air and next to the poles.
        double lon = 0, lat = 0, h = 0;
        EcefToGeodetic(c.X, c.Y, c.Z, &lon, &lat, &h);
        if (std::fabs(c.Lat) < 90)
        {
            EXPECT_NEAR(lon, c.Lon, 1e-6) << c.Lon << " " << c.Lat;
        }
        EXPECT_NEAR(lat, c.Lat, 1e-8) << c.Lon << " " << c.Lat;
        EXPECT_NEAR(h, c.Height, 1e-5) << c.Lon << " " << c.Lat;
    }

    struct
    {
        double X, Y, Z, Lon, Lat, Height;
        double HeightTolerance;
    } const inverse[] = {
        {6378137, 0, 0, 0.000000, 0.000000, 0.000000, 1e-6},
        {4510731, 4510731, 0, 45.000000, 0.000000, 999.956417, 1e-6},
        {-1, -1, -6400000, -135.000000, -89.999987, 43247.685755, 1e-5},
        // The single closed-form step drifts by some 10 micrometres this far up.
        {1113194.907933, -1113194.907933, 6219000, -45.000000, 75.884880, 57132.798592, 5e-5},
        // On the axis the longitude is not defined; the pole is taken at longitude 0.
        {0, 0, 6356752.314245, 0.000000, 90.000000, 0.000000, 1e-6},
        {0, 0, -6356752.314245, 0.000000, -90.000000, 0.000000, 1e-6},
    };
    for (const auto& c : inverse)
    {
        double lon = 0, lat = 0, h = 0;
        EcefToGeodetic(c.X, c.Y, c.Z, &lon, &lat, &h);
        EXPECT_NEAR(lon, c.Lon, 1e-6) << c.X << " " << c.Y << " " << c.Z;
        EXPECT_NEAR(lat, c.Lat, 1e-6) << c.X << " " << c.Y << " " << c.Z;
        EXPECT_NEAR(h, c.Height, c.HeightTolerance) << c.X << " " << c.Y << " " << c.Z;
    }
    double lon = 0, lat = 0, h = 0;
    EcefToGeodetic(0, 0, 0, &lon, &lat, &h);
    EXPECT_TRUE(std::isfinite(lon) && std::isfinite(lat) && std::isfinite(h));
}

TEST(LonLatConvert, GpsTimeAndUtcTakeTheLeapSecondsOfTheDate)
{
    const int64_t k18 = 18, k0 = 0, kLarge = 2147484;
    struct
    {
        uint32_t Week, Seconds;
        const int64_t* Leap; // null: those in force
        const char* Utc;
    } const cases[] = {
        {0, 0, nullptr, "1980/1/6 0:0:0"},
        {1024, 0, nullptr, "1999/8/21 23:59:47"},
        {2048, 0, nullptr, "2019/4/6 23:59:42"},
        {1851, 259215, nullptr, "2015/6/30 23:59:59"},
        {1851, 259217, nullptr, "2015/7/1 0:0:0"},
        {1930, 16, nullptr, "2016/12/31 23:59:59"},
        {1930, 18, nullptr, "2017/1/1 0:0:0"},
        {2100, 345600, &k18, "2020/4/8 23:59:42"},
        // A leap value given as 0 keeps GPS time.
        {1930, 0, &k0, "2017/1/1 0:0:0"},
        // Leap seconds whose milliseconds pass 32 bits: 24 d 20:31:24 before 2020/4/9.
        {2100, 345600, &kLarge, "2020/3/15 3:28:36"},
    };
    for (const auto& c : cases)
    {
        CalendarTime utc{};
        ASSERT_TRUE(GpsWeekSecondsToUtc(c.Week, c.Seconds, c.Leap, &utc)) << c.Week << " " << c.Seconds;
        EXPECT_EQ(Date(utc), c.Utc) << c.Week << " " << c.Seconds;
        uint32_t week = 0, seconds = 0;
        ASSERT_TRUE(UtcToGpsWeekSeconds(utc, c.Leap, &week, &seconds)) << c.Utc;
        EXPECT_EQ(week, c.Week) << c.Utc;
        EXPECT_EQ(seconds, c.Seconds) << c.Utc;
    }
    CalendarTime utc{};
    EXPECT_FALSE(GpsWeekSecondsToUtc(2100, 604800, nullptr, &utc));
    uint32_t week = 0, seconds = 0;
    EXPECT_FALSE(UtcToGpsWeekSeconds(CalendarTime{1980, 1, 5, 23, 59, 59, 0}, nullptr, &week, &seconds));
    EXPECT_FALSE(UtcToGpsWeekSeconds(CalendarTime{2021, 2, 29, 0, 0, 0, 0}, nullptr, &week, &seconds));
}

TEST(LonLatConvert, TimesOutsideTheDatesTakenAreRefused)
{
    const int64_t kBeyond = LEAP_SECONDS_LIMIT + 1, kMinus = -LEAP_SECONDS_LIMIT - 1, k18 = 18, k0 = 0,
                  kMinus1 = -1;
    CalendarTime utc{};
    // The last week of the dates taken, the one after it, leap seconds
    // beyond the span of those dates, and results on either side of them.
    EXPECT_TRUE(GpsWeekSecondsToUtc(GPS_WEEK_MAX, 0, &k0, &utc));
    EXPECT_EQ(Date(utc), "2099/12/27 0:0:0");
    EXPECT_FALSE(GpsWeekSecondsToUtc(GPS_WEEK_MAX + 1, 0, &k0, &utc));
    EXPECT_FALSE(GpsWeekSecondsToUtc(4294967295u, 0, nullptr, &utc));
    EXPECT_FALSE(GpsWeekSecondsToUtc(2100, 0, &kBeyond, &utc));
    EXPECT_FALSE(GpsWeekSecondsToUtc(2100, 0, &kMinus, &utc));
    EXPECT_FALSE(GpsWeekSecondsToUtc(0, 17, &k18, &utc));
    EXPECT_FALSE(GpsWeekSecondsToUtc(GPS_WEEK_MAX, 432000, &k0, &utc)); // 2100/1/1
    EXPECT_TRUE(GpsWeekSecondsToUtc(GPS_WEEK_MAX, 431999, &k0, &utc));
    EXPECT_EQ(Date(utc), "2099/12/31 23:59:59");

    uint32_t week = 0, seconds = 0;
    EXPECT_FALSE(UtcToGpsWeekSeconds(CalendarTime{2020, 4, 8, 0, 0, 0, 0}, &kBeyond, &week, &seconds));
    EXPECT_FALSE(UtcToGpsWeekSeconds(CalendarTime{1980, 1, 6, 0, 0, 0, 0}, &kMinus1, &week, &seconds));
    const int64_t kToNextWeek = 604800;
    EXPECT_FALSE(UtcToGpsWeekSeconds(CalendarTime{2099, 12, 31, 0, 0, 0, 0}, &kToNextWeek, &week, &seconds));
    ASSERT_TRUE(UtcToGpsWeekSeconds(CalendarTime{2099, 12, 31, 23, 59, 59, 0}, nullptr, &week, &seconds));
    EXPECT_EQ(week, GPS_WEEK_MAX);
    EXPECT_EQ(seconds, 432017u);
}

TEST(LonLatConvert, TypedNumbersReadWithTheirRange)
{
    // Numbers beyond a double are numbers out of every range, not text.
    double v = 0.0;
    const struct
    {
        const char* Text;
        double Value;
    } reals[] = {
        {"1e309", std::numeric_limits<double>::max()},
        {"-1e309", -std::numeric_limits<double>::max()},
        {"99999999999999999999", 1e20},
        {"1e-400", 0.0},
        {"+5", 5.0},
    };
    for (const auto& c : reals)
    {
        ASSERT_TRUE(ReadNumber(c.Text, &v)) << c.Text;
        EXPECT_EQ(v, c.Value) << c.Text;
    }
    EXPECT_FALSE(ReadNumber("+-5", &v));

    const struct
    {
        const char* Text;
        int Result;
        int64_t Value;
    } wholes[] = {
        {"18", WHOLE_NUMBER_OK, 18},
        {" -18 ", WHOLE_NUMBER_OK, -18},
        {"+604799", WHOLE_NUMBER_OK, 604799},
        {"604800", WHOLE_NUMBER_OUT_OF_RANGE, 0},
        {"-604801", WHOLE_NUMBER_OUT_OF_RANGE, 0},
        {"99999999999999999999", WHOLE_NUMBER_OUT_OF_RANGE, 0},
        {"12.5", WHOLE_NUMBER_INVALID, 0},
        {"eighteen", WHOLE_NUMBER_INVALID, 0},
        {"", WHOLE_NUMBER_INVALID, 0},
        {"+-1", WHOLE_NUMBER_INVALID, 0},
    };
    for (const auto& c : wholes)
    {
        int64_t n = 0;
        EXPECT_EQ(ReadWholeNumber(c.Text, -604800, 604799, &n), c.Result) << c.Text;
        EXPECT_EQ(n, c.Value) << c.Text;
    }
}
