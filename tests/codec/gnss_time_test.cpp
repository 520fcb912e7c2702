#include <cstdio>
#include <string>

#include "codec/gnss_time.h"
#include "support/profile_fixture.h"

namespace
{
CalendarTime Cal(uint32_t nYear, uint32_t nMonth, uint32_t nDay, uint32_t nHour = 0, uint32_t nMinute = 0,
                 uint32_t nSecond = 0, uint32_t nMs = 0)
{
    return CalendarTime{nYear, nMonth, nDay, nHour, nMinute, nSecond, nMs};
}

std::string Text(const CalendarTime& t)
{
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.Year, t.Month, t.Day, t.Hour, t.Minute,
                  t.Second, t.Millisecond);
    return buf;
}

enum LeapArg
{
    LEAP_NULL,
    LEAP_VALUE, // includes a pointed-to 0
};

const int32_t* LeapPtr(LeapArg eArg, const int32_t* pValue) { return eArg == LEAP_NULL ? nullptr : pValue; }

constexpr uint64_t kMsPerWeek = GNSS_MS_PER_WEEK;
} // namespace

using GpsToCalendarByProfile = ProfileTest;

TEST_P(GpsToCalendarByProfile, LeapOffsetsAcrossLeapSecondAndWeekRoll)
{
    struct Case
    {
        bool bUtc; // GpsTimeToUtc, else GpsTimeToCalendar
        uint32_t nWeek, nMs;
        LeapArg eLeap;
        int32_t nLeap;
        const char* pConverter;
        const char* pMonitor;
    };
    const Case cases[] = {
        {true, 1930, 0, LEAP_VALUE, 17000, "2016-12-31 23:59:43.000", "2016-12-31 23:59:43.000"},
        {true, 1930, 0, LEAP_NULL, 0, "2016-12-31 23:59:43.000", "2016-12-31 23:59:42.000"},
        {true, 1930, 0, LEAP_VALUE, 0, "2016-12-31 23:59:43.000", "2016-12-31 23:59:42.000"},
        {false, 1930, 0, LEAP_VALUE, 0, "2017-01-01 00:00:00.000", "2017-01-01 00:00:00.000"},
        {false, 1930, 0, LEAP_NULL, 0, "2016-12-31 23:59:43.000", "2016-12-31 23:59:42.000"},
        // The first second of 2017 in UTC before and after the leap second was inserted.
        {true, 1930, 17000, LEAP_VALUE, 17000, "2017-01-01 00:00:00.000", "2017-01-01 00:00:00.000"},
        {true, 1930, 17000, LEAP_VALUE, 18000, "2016-12-31 23:59:59.000", "2016-12-31 23:59:59.000"},
        // Sunday 00:00:08 GPS time is still Saturday in UTC; the offset takes the date back over the week roll.
        {true, 2295, 8000, LEAP_VALUE, 18000, "2023-12-30 23:59:50.000", "2023-12-30 23:59:50.000"},
        {true, 2294, 604799999, LEAP_VALUE, 18000, "2023-12-30 23:59:41.999", "2023-12-30 23:59:41.999"},
        {false, 2295, 0, LEAP_VALUE, 0, "2023-12-31 00:00:00.000", "2023-12-31 00:00:00.000"},
    };
    for (const Case& c : cases)
    {
        CalendarTime t{};
        const int32_t* pLeap = LeapPtr(c.eLeap, &c.nLeap);
        const int ok = c.bUtc ? GpsTimeToUtc(c.nWeek, c.nMs, pLeap, &t) : GpsTimeToCalendar(c.nWeek, c.nMs, pLeap, &t);
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(Text(t), Monitor() ? c.pMonitor : c.pConverter)
            << (c.bUtc ? "GpsTimeToUtc " : "GpsTimeToCalendar ") << c.nWeek << " " << c.nMs;
    }
}

TEST_P(GpsToCalendarByProfile, UtcToGpsTimeCarriesDayAndWeek)
{
    struct Case
    {
        CalendarTime utc;
        LeapArg eLeap;
        int32_t nLeap;
        uint32_t nWeek, nConverterMs, nMonitorMs;
    };
    const Case cases[] = {
        {Cal(2023, 12, 31, 22), LEAP_VALUE, 18000, 2295, 79218000, 79218000},
        {Cal(2024, 1, 1), LEAP_VALUE, 18000, 2295, 86418000, 86418000},
        {Cal(2023, 12, 30, 23, 59, 50), LEAP_VALUE, 18000, 2295, 8000, 8000}, // Saturday into Sunday
        {Cal(2016, 12, 31, 23, 59, 43), LEAP_VALUE, 17000, 1930, 0, 0},
        {Cal(2024, 1, 1), LEAP_VALUE, 0, 2295, 86400000, 86418000},
        {Cal(2024, 1, 1), LEAP_NULL, 0, 2295, 86417000, 86418000},
    };
    for (const Case& c : cases)
    {
        uint32_t week = 0, ms = 0;
        const uint32_t ret = UtcToGpsTime(&c.utc, LeapPtr(c.eLeap, &c.nLeap), &week, &ms);
        EXPECT_EQ(week, c.nWeek) << Text(c.utc);
        EXPECT_EQ(ms, Monitor() ? c.nMonitorMs : c.nConverterMs) << Text(c.utc);
        EXPECT_EQ(ret, ms);
        // CalendarToGpsTime takes a pointed-to 0 as 0 in both programs, as the converter does.
        const uint32_t nCalendarMs = c.eLeap == LEAP_NULL && Monitor() ? c.nMonitorMs : c.nConverterMs;
        week = ms = 0;
        EXPECT_EQ(CalendarToGpsTime(&c.utc, LeapPtr(c.eLeap, &c.nLeap), &week, &ms), nCalendarMs) << Text(c.utc);
        EXPECT_EQ(week, c.nWeek);
    }
}

TEST_P(GpsToCalendarByProfile, GalileoAndBeidouDefaults)
{
    const CalendarTime newYear = Cal(2024, 1, 1);
    const int32_t zero = 0, leap = 18000;
    uint32_t week = 0, ms = 0;

    EXPECT_EQ(CalendarToGalTime(&newYear, &leap, &week, &ms), 86418000u);
    EXPECT_EQ(week, 1271u);
    EXPECT_EQ(CalendarToGalTime(&newYear, &zero, &week, &ms), Monitor() ? 86418000u : 86417000u);
    EXPECT_EQ(CalendarToGalTime(&newYear, nullptr, &week, &ms), Monitor() ? 86418000u : 86417000u);

    // BeiDou's own default (3 s) holds in both programs, for null and for a pointed-to 0.
    EXPECT_EQ(CalendarToBdsTime(&newYear, nullptr, &week, &ms), 86403000u);
    EXPECT_EQ(week, 939u);
    EXPECT_EQ(CalendarToBdsTime(&newYear, &zero, &week, &ms), 86403000u);
}
ZV_BOTH_PROFILES(GpsToCalendarByProfile);

// Every day from 1992 to 2099 at three times of day: UTC to GPS time and back,
// GLONASS time and back, and the Galileo and BeiDou scales against GPS time.
TEST(GnssTime, EveryDayRoundTripsThroughEveryScale)
{
    static const uint32_t s_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const uint32_t times[3][4] = {{0, 0, 0, 0}, {2, 59, 59, 999}, {21, 0, 0, 1}};
    const int32_t leap = 18000, bdsOffset = leap - 14000;
    uint64_t previousMidnight = 0;
    for (uint32_t year = 1992; year <= 2099; ++year)
    {
        const bool leapYear = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        for (uint32_t month = 1; month <= 12; ++month)
        {
            const uint32_t days = s_days[month - 1] + (month == 2 && leapYear);
            for (uint32_t day = 1; day <= days; ++day)
                for (const auto& tod : times)
                {
                    const CalendarTime utc = Cal(year, month, day, tod[0], tod[1], tod[2], tod[3]);
                    uint32_t week = 0, ms = 0;
                    ASSERT_NE(UtcToGpsTime(&utc, &leap, &week, &ms), GNSS_TIME_INVALID) << Text(utc);
                    const uint64_t gpsMs = week * kMsPerWeek + ms;
                    if (tod[0] == 0)
                    {
                        EXPECT_TRUE(previousMidnight == 0 || gpsMs - previousMidnight == GNSS_MS_PER_DAY) << Text(utc);
                        previousMidnight = gpsMs;
                    }

                    CalendarTime back{};
                    ASSERT_EQ(GpsTimeToUtc(week, ms, &leap, &back), 1);
                    ASSERT_EQ(Text(back), Text(utc));

                    uint32_t n4 = 0, dayOfInterval = 0, msOfDay = 0;
                    const bool moscowIn2100 = year == 2099 && month == 12 && day == 31 && tod[0] >= 21;
                    if (moscowIn2100)
                        ASSERT_EQ(CalendarToGloTime(&utc, &n4, &dayOfInterval, &msOfDay), GNSS_TIME_INVALID);
                    else
                    {
                        ASSERT_NE(CalendarToGloTime(&utc, &n4, &dayOfInterval, &msOfDay), GNSS_TIME_INVALID);
                        ASSERT_EQ(GloTimeToCalendar(n4, dayOfInterval, msOfDay, &back), 1) << Text(utc);
                        ASSERT_EQ(Text(back), Text(utc));
                    }

                    uint32_t galWeek = 0, galMs = 0;
                    if (year >= 2000)
                    {
                        ASSERT_EQ(CalendarToGalTime(&utc, &leap, &galWeek, &galMs), ms);
                        ASSERT_EQ(galWeek, week - 1024);
                    }

                    uint32_t bdsWeek = 0, bdsMs = 0;
                    if (year >= 2006)
                    {
                        ASSERT_NE(CalendarToBdsTime(&utc, &bdsOffset, &bdsWeek, &bdsMs), GNSS_TIME_INVALID);
                        ASSERT_EQ(bdsWeek * kMsPerWeek + bdsMs, gpsMs - 1356 * kMsPerWeek - 14000) << Text(utc);
                    }
                }
        }
    }
}

TEST(GnssTime, GlonassIntervalsAndMoscowDay)
{
    struct Case
    {
        uint32_t nN4, nDay, nMs;
        const char* pUtc;
    };
    const Case cases[] = {
        {8, 1, 5000000, "2023-12-31 22:23:20.000"}, // Moscow 01:23:20 on the interval's first day
        {8, 60, 54000000, "2024-02-29 12:00:00.000"},   {8, 61, 54000000, "2024-03-01 12:00:00.000"},
        {7, 1461, 86399999, "2023-12-31 20:59:59.999"}, {0, 1, 0, "1991-12-31 21:00:00.000"},
        {8, 1, 97199999, "2024-01-01 23:59:59.999"}, // up to 3 h past Moscow midnight
    };
    for (const Case& c : cases)
    {
        CalendarTime t{};
        ASSERT_EQ(GloTimeToCalendar(c.nN4, c.nDay, c.nMs, &t), 1);
        EXPECT_EQ(Text(t), c.pUtc);
    }

    const CalendarTime utc = Cal(2023, 12, 31, 22, 23, 20);
    uint32_t n4 = 0, day = 0, ms = 0;
    EXPECT_EQ(CalendarToGloTime(&utc, &n4, &day, &ms), 5000000u);
    EXPECT_EQ(n4, 8u);
    EXPECT_EQ(day, 1u);
}

TEST(GnssTime, BadInputFailsAndLeavesOutputs)
{
    const CalendarTime bad[] = {
        Cal(2024, 0, 1),        Cal(2024, 13, 1),          Cal(2024, 1, 0),
        Cal(2023, 2, 29),       Cal(2024, 4, 31),          Cal(2024, 1, 1, 24),
        Cal(2024, 1, 1, 0, 60), Cal(2024, 1, 1, 0, 0, 61), Cal(2024, 1, 1, 0, 0, 0, 1000),
        Cal(1979, 12, 31),      Cal(2100, 1, 1),
    };
    const int32_t leap = 18000;
    for (const CalendarTime& c : bad)
    {
        uint32_t a = 7, b = 7, d = 7;
        EXPECT_EQ(UtcToGpsTime(&c, &leap, &a, &b), GNSS_TIME_INVALID) << Text(c);
        EXPECT_EQ(CalendarToGalTime(&c, &leap, &a, &b), GNSS_TIME_INVALID) << Text(c);
        EXPECT_EQ(CalendarToBdsTime(&c, &leap, &a, &b), GNSS_TIME_INVALID) << Text(c);
        EXPECT_EQ(CalendarToGloTime(&c, &a, &b, &d), GNSS_TIME_INVALID) << Text(c);
        EXPECT_EQ(a + b + d, 21u) << Text(c);
    }
    EXPECT_EQ(UtcToGpsTime(nullptr, &leap, nullptr, nullptr), GNSS_TIME_INVALID);

    // Times before a scale's epoch.
    uint32_t week = 7, ms = 7;
    const CalendarTime beforeGal = Cal(1999, 8, 21, 23, 59, 0);
    EXPECT_EQ(CalendarToGalTime(&beforeGal, &leap, &week, &ms), GNSS_TIME_INVALID);
    const CalendarTime beforeBds = Cal(2005, 12, 31, 23, 59, 56);
    EXPECT_EQ(CalendarToBdsTime(&beforeBds, nullptr, &week, &ms), GNSS_TIME_INVALID);
    EXPECT_EQ(week + ms, 14u);
    const CalendarTime bdsStart = Cal(2005, 12, 31, 23, 59, 58);
    EXPECT_EQ(CalendarToBdsTime(&bdsStart, nullptr, &week, &ms), 1000u);
    EXPECT_EQ(week, 0u);

    CalendarTime t = Cal(2001, 2, 3);
    EXPECT_EQ(GpsTimeToUtc(2000, GNSS_MS_PER_WEEK, &leap, &t), 0);
    EXPECT_EQ(GpsTimeToCalendar(2000, 0, &leap, nullptr), 0);
    EXPECT_EQ(GloTimeToCalendar(8, 0, 0, &t), 0);
    EXPECT_EQ(GloTimeToCalendar(8, 1462, 0, &t), 0);
    EXPECT_EQ(GloTimeToCalendar(27, 1, 0, &t), 0);
    EXPECT_EQ(GloTimeToCalendar(8, 1, GNSS_MS_PER_DAY + GLO_MOSCOW_OFFSET_MS, &t), 0);
    EXPECT_EQ(Text(t), "2001-02-03 00:00:00.000");
}

// The published leap-second steps: GPS minus UTC becomes N at 00:00:00 UTC of
// each date, after a second 23:59:60 inserted at the end of the day before.
TEST(GnssTime, LeapSecondsFollowThePublishedSteps)
{
    struct Step
    {
        uint32_t nYear, nMonth;
        int32_t nSeconds;
    };
    const Step steps[] = {
        {1981, 7, 1},  {1982, 7, 2},  {1983, 7, 3},  {1985, 7, 4},  {1988, 1, 5},  {1990, 1, 6},
        {1991, 1, 7},  {1992, 7, 8},  {1993, 7, 9},  {1994, 7, 10}, {1996, 1, 11}, {1997, 7, 12},
        {1999, 1, 13}, {2006, 1, 14}, {2009, 1, 15}, {2012, 7, 16}, {2015, 7, 17}, {2017, 1, 18},
    };
    for (const Step& s : steps)
    {
        const CalendarTime midnight = Cal(s.nYear, s.nMonth, 1);
        const CalendarTime lastDay = s.nMonth == 1 ? Cal(s.nYear - 1, 12, 31) : Cal(s.nYear, 6, 30);
        CalendarTime before = lastDay, inserted = lastDay;
        before.Hour = inserted.Hour = 23;
        before.Minute = inserted.Minute = 59;
        before.Second = 59;
        inserted.Second = 60;
        inserted.Millisecond = 999;

        int32_t n = -1;
        ASSERT_EQ(UtcLeapSeconds(&midnight, &n), 1) << Text(midnight);
        EXPECT_EQ(n, s.nSeconds) << Text(midnight);
        ASSERT_EQ(UtcLeapSeconds(&before, &n), 1);
        EXPECT_EQ(n, s.nSeconds - 1) << Text(before);
        ASSERT_EQ(UtcLeapSeconds(&inserted, &n), 1);
        EXPECT_EQ(n, s.nSeconds - 1) << Text(inserted);

        // In GPS time the step falls N seconds after UTC midnight; the inserted
        // second, the GPS second before it, still has the old offset.
        const int32_t leapMs = s.nSeconds * 1000;
        uint32_t week = 0, ms = 0;
        ASSERT_NE(UtcToGpsTime(&midnight, &leapMs, &week, &ms), GNSS_TIME_INVALID);
        EXPECT_EQ(GpsLeapMs(week, ms), leapMs) << Text(midnight);
        const uint64_t prev = week * kMsPerWeek + ms - 1;
        EXPECT_EQ(GpsLeapMs(static_cast<uint32_t>(prev / kMsPerWeek), static_cast<uint32_t>(prev % kMsPerWeek)),
                  leapMs - 1000)
            << Text(midnight);
    }

    // Dates inside the periods, the start of GPS time and dates after the last step.
    struct Spot
    {
        CalendarTime utc;
        int32_t nSeconds;
    };
    const Spot spots[] = {
        {Cal(1980, 1, 6), 0},
        {Cal(1981, 6, 30, 12), 0},
        {Cal(2005, 6, 15, 8, 30), 13},
        {Cal(2009, 3, 1, 0, 0, 0), 15},
        {Cal(2016, 12, 31, 12), 17},
        {Cal(2024, 5, 1), 18},
        {Cal(2099, 12, 31, 23, 59, 59), 18},
    };
    for (const Spot& s : spots)
    {
        int32_t n = -1;
        ASSERT_EQ(UtcLeapSeconds(&s.utc, &n), 1);
        EXPECT_EQ(n, s.nSeconds) << Text(s.utc);
        uint32_t week = 0, ms = 0;
        const int32_t leapMs = s.nSeconds * 1000;
        ASSERT_NE(UtcToGpsTime(&s.utc, &leapMs, &week, &ms), GNSS_TIME_INVALID);
        EXPECT_EQ(GpsLeapMs(week, ms), leapMs) << Text(s.utc);
    }
    EXPECT_EQ(GpsLeapMs(0, 0), 0);
    EXPECT_EQ(GpsLeapMs(5000, 0), 18000);

    int32_t untouched = 7;
    const CalendarTime bad = Cal(2024, 2, 30);
    EXPECT_EQ(UtcLeapSeconds(&bad, &untouched), 0);
    EXPECT_EQ(UtcLeapSeconds(nullptr, &untouched), 0);
    const CalendarTime good = Cal(2024, 2, 29);
    EXPECT_EQ(UtcLeapSeconds(&good, nullptr), 0);
    EXPECT_EQ(untouched, 7);
}
