#include "codec/gnss_time.h"

#include "codec/gnss_numbering.h"
#include "codec/profile.h"

namespace
{
constexpr int64_t kMsPerDay = GNSS_MS_PER_DAY;
constexpr int64_t kMsPerWeek = GNSS_MS_PER_WEEK;
constexpr uint32_t kMinYear = 1980;
constexpr uint32_t kMaxYear = 2099;
constexpr uint32_t kGloFirstYear = 1992;
constexpr uint32_t kGloMaxN4 = 26; // interval 2096-2099; the year 2100 breaks the 1461-day rule
constexpr uint32_t kGloDaysPerInterval = 1461;

bool IsLeapYear(int64_t nYear) { return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0; }

uint32_t DaysInMonth(uint32_t nYear, uint32_t nMonth)
{
    static const uint8_t s_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : s_days[nMonth - 1];
}

// Days from 1970-01-01 to a Gregorian date (exact for every year).
int64_t DaysFromCivil(int64_t nYear, uint32_t nMonth, uint32_t nDay)
{
    nYear -= nMonth <= 2;
    const int64_t era = (nYear >= 0 ? nYear : nYear - 399) / 400;
    const int64_t yoe = nYear - era * 400;
    const int64_t doy = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t nDays, int64_t* pYear, uint32_t* pMonth, uint32_t* pDay)
{
    nDays += 719468;
    const int64_t era = (nDays >= 0 ? nDays : nDays - 146096) / 146097;
    const int64_t doe = nDays - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *pDay = static_cast<uint32_t>(doy - (153 * mp + 2) / 5 + 1);
    *pMonth = static_cast<uint32_t>(mp < 10 ? mp + 3 : mp - 9);
    *pYear = yoe + era * 400 + (*pMonth <= 2);
}

const int64_t kGpsEpochDays = DaysFromCivil(1980, 1, 6);
const int64_t kBdsEpochDays = DaysFromCivil(2006, 1, 1);

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

bool CalendarIsValid(const CalendarTime* pTime)
{
    return pTime != nullptr && pTime->Year >= kMinYear && pTime->Year <= kMaxYear && pTime->Month >= 1 &&
           pTime->Month <= 12 && pTime->Day >= 1 && pTime->Day <= DaysInMonth(pTime->Year, pTime->Month) &&
           pTime->Hour < 24 && pTime->Minute < 60 && pTime->Second <= 60 && pTime->Millisecond < 1000;
}

// Milliseconds from 1970-01-01 00:00 in the calendar's own time scale.
int64_t CalendarToMs(const CalendarTime* pTime)
{
    const int64_t tod = ((pTime->Hour * 60 + pTime->Minute) * 60 + int64_t{pTime->Second}) * 1000 + pTime->Millisecond;
    return DaysFromCivil(pTime->Year, pTime->Month, pTime->Day) * kMsPerDay + tod;
}

void MsToCalendar(int64_t nMs, CalendarTime* pTime)
{
    const int64_t days = FloorDiv(nMs, kMsPerDay);
    int64_t tod = nMs - days * kMsPerDay;
    int64_t year = 0;
    CivilFromDays(days, &year, &pTime->Month, &pTime->Day);
    pTime->Year = static_cast<uint32_t>(year);
    pTime->Millisecond = static_cast<uint32_t>(tod % 1000);
    tod /= 1000;
    pTime->Second = static_cast<uint32_t>(tod % 60);
    pTime->Minute = static_cast<uint32_t>(tod / 60 % 60);
    pTime->Hour = static_cast<uint32_t>(tod / 3600);
}

int64_t ResolveOffset(const int32_t* pOffsetMs, bool bZeroSelectsDefault, int32_t nDefault)
{
    if (pOffsetMs == nullptr || (bZeroSelectsDefault && *pOffsetMs == 0))
        return nDefault;
    return *pOffsetMs;
}

int GpsToCalendar(uint32_t nWeek, uint32_t nMsOfWeek, int64_t nOffsetMs, CalendarTime* pTime)
{
    if (pTime == nullptr || nMsOfWeek >= GNSS_MS_PER_WEEK)
        return 0;
    MsToCalendar(kGpsEpochDays * kMsPerDay + nWeek * kMsPerWeek + nMsOfWeek - nOffsetMs, pTime);
    return 1;
}

// GPS minus UTC from the first UTC day on which it holds. Only inserted
// seconds have occurred; the count grows by one per row.
struct LeapStep
{
    uint16_t nYear;
    uint8_t nMonth;
    uint8_t nSeconds;
};
constexpr LeapStep kLeapSteps[] = {
    {1981, 7, 1},  {1982, 7, 2},  {1983, 7, 3},  {1985, 7, 4},  {1988, 1, 5},  {1990, 1, 6},
    {1991, 1, 7},  {1992, 7, 8},  {1993, 7, 9},  {1994, 7, 10}, {1996, 1, 11}, {1997, 7, 12},
    {1999, 1, 13}, {2006, 1, 14}, {2009, 1, 15}, {2012, 7, 16}, {2015, 7, 17}, {2017, 1, 18},
};

// Offset at a time given as ms since 1970 in UTC (bGps false) or GPS time: a
// step on date D with count N starts at UTC midnight of D, which in GPS time
// is N seconds later.
int32_t LeapSecondsAtMs(int64_t nMs, bool bGps)
{
    int32_t seconds = 0;
    for (const LeapStep& step : kLeapSteps)
    {
        const int64_t start = DaysFromCivil(step.nYear, step.nMonth, 1) * kMsPerDay + (bGps ? step.nSeconds * 1000 : 0);
        if (nMs < start)
            break;
        seconds = step.nSeconds;
    }
    return seconds;
}

// Splits a non-negative count of ms since an epoch into week and ms of week.
uint32_t SplitWeek(int64_t nMsSinceEpoch, int64_t nWeekOffset, uint32_t* pWeek, uint32_t* pMsOfWeek)
{
    const int64_t week = nMsSinceEpoch / kMsPerWeek - nWeekOffset;
    if (nMsSinceEpoch < 0 || week < 0 || week > UINT32_MAX)
        return GNSS_TIME_INVALID;
    const uint32_t ms = static_cast<uint32_t>(nMsSinceEpoch % kMsPerWeek);
    if (pWeek != nullptr)
        *pWeek = static_cast<uint32_t>(week);
    if (pMsOfWeek != nullptr)
        *pMsOfWeek = ms;
    return ms;
}
} // namespace

int GpsTimeToUtc(uint32_t nWeek, uint32_t nMsOfWeek, const int32_t* pLeapMs, CalendarTime* pTime)
{
    return GpsToCalendar(nWeek, nMsOfWeek, ResolveOffset(pLeapMs, true, DefaultLeapMs()), pTime);
}

int GpsTimeToCalendar(uint32_t nWeek, uint32_t nMsOfWeek, const int32_t* pLeapMs, CalendarTime* pTime)
{
    return GpsToCalendar(nWeek, nMsOfWeek, ResolveOffset(pLeapMs, false, DefaultLeapMs()), pTime);
}

namespace
{
uint32_t CalendarToGps(const CalendarTime* pTime, int64_t nOffsetMs, uint32_t* pWeek, uint32_t* pMsOfWeek)
{
    if (!CalendarIsValid(pTime))
        return GNSS_TIME_INVALID;
    return SplitWeek(CalendarToMs(pTime) - kGpsEpochDays * kMsPerDay + nOffsetMs, 0, pWeek, pMsOfWeek);
}
} // namespace

uint32_t UtcToGpsTime(const CalendarTime* pUtc, const int32_t* pLeapMs, uint32_t* pWeek, uint32_t* pMsOfWeek)
{
    return CalendarToGps(pUtc, ResolveOffset(pLeapMs, IsMonitorProfile(), DefaultLeapMs()), pWeek, pMsOfWeek);
}

uint32_t CalendarToGpsTime(const CalendarTime* pTime, const int32_t* pLeapMs, uint32_t* pWeek, uint32_t* pMsOfWeek)
{
    return CalendarToGps(pTime, ResolveOffset(pLeapMs, false, DefaultLeapMs()), pWeek, pMsOfWeek);
}

int UtcLeapSeconds(const CalendarTime* pUtc, int32_t* pSeconds)
{
    if (!CalendarIsValid(pUtc) || pSeconds == nullptr)
        return 0;
    // 23:59:60 counts as the last second of its day, before the step.
    const int64_t ms = CalendarToMs(pUtc) - (pUtc->Second == 60 ? 1000 : 0);
    *pSeconds = LeapSecondsAtMs(ms, false);
    return 1;
}

int32_t GpsLeapMs(uint32_t nWeek, uint32_t nMsOfWeek)
{
    return LeapSecondsAtMs(kGpsEpochDays * kMsPerDay + int64_t{nWeek} * kMsPerWeek + nMsOfWeek, true) * 1000;
}

uint32_t CalendarToBdsTime(const CalendarTime* pTime, const int32_t* pOffsetMs, uint32_t* pWeek, uint32_t* pMsOfWeek)
{
    if (!CalendarIsValid(pTime))
        return GNSS_TIME_INVALID;
    const int64_t offset = ResolveOffset(pOffsetMs, true, BDS_DEFAULT_OFFSET_MS);
    return SplitWeek(CalendarToMs(pTime) - kBdsEpochDays * kMsPerDay + offset, 0, pWeek, pMsOfWeek);
}

uint32_t CalendarToGalTime(const CalendarTime* pUtc, const int32_t* pLeapMs, uint32_t* pWeek, uint32_t* pMsOfWeek)
{
    if (!CalendarIsValid(pUtc))
        return GNSS_TIME_INVALID;
    const int64_t offset = ResolveOffset(pLeapMs, true, DefaultLeapMs());
    return SplitWeek(CalendarToMs(pUtc) - kGpsEpochDays * kMsPerDay + offset, GAL_WEEK_OFFSET, pWeek, pMsOfWeek);
}

uint32_t CalendarToGloTime(const CalendarTime* pUtc, uint32_t* pN4, uint32_t* pDayOfInterval, uint32_t* pMsOfDay)
{
    if (!CalendarIsValid(pUtc))
        return GNSS_TIME_INVALID;
    const int64_t moscow = CalendarToMs(pUtc) + GLO_MOSCOW_OFFSET_MS;
    const int64_t days = FloorDiv(moscow, kMsPerDay);
    int64_t year = 0;
    uint32_t month = 0, day = 0;
    CivilFromDays(days, &year, &month, &day);
    if (year < kGloFirstYear || year > kMaxYear)
        return GNSS_TIME_INVALID;
    const uint32_t n4 = static_cast<uint32_t>((year - kGloFirstYear) / 4);
    const uint32_t ms = static_cast<uint32_t>(moscow - days * kMsPerDay);
    if (pN4 != nullptr)
        *pN4 = n4;
    if (pDayOfInterval != nullptr)
        *pDayOfInterval = static_cast<uint32_t>(days - DaysFromCivil(kGloFirstYear + 4 * n4, 1, 1) + 1);
    if (pMsOfDay != nullptr)
        *pMsOfDay = ms;
    return ms;
}

int GloTimeToCalendar(uint32_t nN4, uint32_t nDayOfInterval, uint32_t nMsOfDay, CalendarTime* pUtc)
{
    if (pUtc == nullptr || nN4 > kGloMaxN4 || nDayOfInterval < 1 || nDayOfInterval > kGloDaysPerInterval ||
        nMsOfDay >= GNSS_MS_PER_DAY + GLO_MOSCOW_OFFSET_MS)
        return 0;
    const int64_t days = DaysFromCivil(kGloFirstYear + 4 * nN4, 1, 1) + nDayOfInterval - 1;
    MsToCalendar(days * kMsPerDay + nMsOfDay - GLO_MOSCOW_OFFSET_MS, pUtc);
    return 1;
}
