// Conversions between GPS week and milliseconds, UTC calendar time, and the
// BeiDou, Galileo and GLONASS time scales. Everything is in whole milliseconds;
// no C library time function is used.
//
// Leap-second offsets (GPS time minus UTC, in ms) are passed by pointer. A null
// pointer selects the profile's DefaultLeapMs(); whether a pointed-to 0 also
// selects it is said per function. Callers that know the log's own offset
// should always pass it: the converter's default of 17 s is stale for data
// recorded since 2017.
//
// Calendar inputs are checked (month, day of month, time of day, years 1980
// to 2099); a bad calendar, a time before the scale's epoch or a null pointer
// fails and leaves every output as it was.
#pragma once

#include <cstdint>

// A calendar date and time of day. The same seven fields in both programs:
// the converter's older layout carried an unused leading word, which would
// give one name two layouts inside one library.
struct CalendarTime
{
    uint32_t Year;        // four digits
    uint32_t Month;       // 1-12
    uint32_t Day;         // 1-31
    uint32_t Hour;        // 0-23
    uint32_t Minute;      // 0-59
    uint32_t Second;      // 0-59, 60 during a leap second
    uint32_t Millisecond; // 0-999
};
static_assert(sizeof(CalendarTime) == 28, "CalendarTime is seven 32-bit fields");

enum : uint32_t
{
    GNSS_MS_PER_DAY = 86400000u,
    GNSS_MS_PER_WEEK = 604800000u,
    GLO_MOSCOW_OFFSET_MS = 10800000u, // GLONASS time of day is UTC + 3 h
    BDS_DEFAULT_OFFSET_MS = 3000u,
    GNSS_TIME_INVALID = 0xFFFFFFFFu, // failure value of the routines that return milliseconds
};

// GPS week and ms of week to UTC: the offset is subtracted. A null pointer or a
// pointed-to 0 selects the default offset. Returns 1, or 0 for a ms of week
// outside 0..604799999 or a null output.
int GpsTimeToUtc(uint32_t nWeek, uint32_t nMsOfWeek, const int32_t* pLeapMs, CalendarTime* pTime);

// As GpsTimeToUtc, but a pointed-to 0 is used as 0, which gives the calendar
// in GPS time (RINEX observation epochs); only a null pointer selects the default.
int GpsTimeToCalendar(uint32_t nWeek, uint32_t nMsOfWeek, const int32_t* pLeapMs, CalendarTime* pTime);

// UTC calendar to GPS week and ms of week: the offset is added, carrying into
// the next or previous day and week. In the converter a pointed-to 0 is used
// as 0; in the monitor it selects the default, as a null pointer does in both.
// Returns the ms of week, or GNSS_TIME_INVALID.
uint32_t UtcToGpsTime(const CalendarTime* pUtc, const int32_t* pLeapMs, uint32_t* pWeek, uint32_t* pMsOfWeek);

// As UtcToGpsTime, but a pointed-to 0 is used as 0 in both programs (a date
// before the first leap second, or a calendar already in GPS time); only a
// null pointer selects the default.
uint32_t CalendarToGpsTime(const CalendarTime* pTime, const int32_t* pLeapMs, uint32_t* pWeek, uint32_t* pMsOfWeek);

// Calendar to BeiDou week (from 2006-01-01) and ms of week with the offset
// added; a null pointer or a pointed-to 0 selects BDS_DEFAULT_OFFSET_MS.
// Returns the ms of week, or GNSS_TIME_INVALID (also before the BeiDou epoch).
uint32_t CalendarToBdsTime(const CalendarTime* pTime, const int32_t* pOffsetMs, uint32_t* pWeek, uint32_t* pMsOfWeek);

// UTC calendar to Galileo week (GPS week - 1024) and ms of week; a null pointer
// or a pointed-to 0 selects the default offset. Returns the ms of week, or
// GNSS_TIME_INVALID (also before Galileo week 0).
uint32_t CalendarToGalTime(const CalendarTime* pUtc, const int32_t* pLeapMs, uint32_t* pWeek, uint32_t* pMsOfWeek);

// UTC calendar to GLONASS time: four-year interval N4 (interval 0 begins
// 1992-01-01), day in the interval (1-1461) and ms of the day in Moscow time.
// Returns the ms of day, or GNSS_TIME_INVALID (Moscow dates outside 1992-2099).
uint32_t CalendarToGloTime(const CalendarTime* pUtc, uint32_t* pN4, uint32_t* pDayOfInterval, uint32_t* pMsOfDay);

// Leap seconds (GPS time minus UTC) of a date, from the published table of
// steps from 1980 to the step of 2017-01-01; later dates get the last value
// until the table gains a row. Data that carry their own offset (an IONUTC
// log, a GLONASS ephemeris) should be preferred over the table.
//
// UtcLeapSeconds: the offset in whole seconds in force at a UTC calendar time
// (a step takes effect at 00:00:00 of its date; 23:59:60 still has the old
// value). Returns 1, or 0 for a calendar the routines reject (see above) or a
// null pointer, leaving *pSeconds as it was.
int UtcLeapSeconds(const CalendarTime* pUtc, int32_t* pSeconds);

// GpsLeapMs: the offset in ms in force at a GPS time. Each step takes effect at
// the GPS instant of 00:00:00 UTC of its date, so the inserted second itself
// keeps the old value. Every week and ms of week is accepted.
int32_t GpsLeapMs(uint32_t nWeek, uint32_t nMsOfWeek);

// GLONASS time to a UTC calendar. The ms of day may run up to 3 h past
// midnight (below 97200000), as the GPS conversions hand it over. Returns 1,
// or 0 for N4 above 26, a day outside 1-1461 or a null output.
int GloTimeToCalendar(uint32_t nN4, uint32_t nDayOfInterval, uint32_t nMsOfDay, CalendarTime* pUtc);
