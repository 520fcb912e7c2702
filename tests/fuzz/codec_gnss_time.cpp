// Time conversions and signal lookups on arbitrary values: no overflow, no
// read outside a table, and every accepted calendar converts back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codec/gnss_time.h"
#include "codec/signal_map.h"
#include "codec/signals.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    uint32_t v[12] = {};
    std::memcpy(v, pData, nSize < sizeof(v) ? nSize : sizeof(v));
    const int32_t leap = static_cast<int32_t>(v[7]);

    CalendarTime t{v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
    uint32_t week = 0, ms = 0;
    if (t.Second < 60 && UtcToGpsTime(&t, &leap, &week, &ms) != GNSS_TIME_INVALID)
    {
        CalendarTime back{};
        if (!GpsTimeToCalendar(week, ms, &leap, &back) || std::memcmp(&back, &t, sizeof(t)) != 0)
            std::abort();
    }
    uint32_t n4 = 0, day = 0;
    CalendarToBdsTime(&t, &leap, &week, &ms);
    CalendarToGalTime(&t, &leap, &week, &ms);
    if (t.Second < 60 && CalendarToGloTime(&t, &n4, &day, &ms) != GNSS_TIME_INVALID)
    {
        CalendarTime back{};
        if (!GloTimeToCalendar(n4, day, ms, &back) || std::memcmp(&back, &t, sizeof(t)) != 0)
            std::abort();
    }
    GpsTimeToCalendar(v[8], v[9], &leap, &t);
    GloTimeToCalendar(v[8], v[9], v[10], &t);

    const uint32_t code = v[11] & 0xFFFF;
    double x = 0.0;
    char name[SIGNAL_NAME_SIZE];
    SignalCarrierFrequency(code, &x);
    SignalWaveNumberSquared(code, v[10], &x);
    MetresToCycles(code, static_cast<int32_t>(v[10]), 1.0, &x);
    SignalCodeName(code, name, sizeof(name));
    SignalRinexBand(code);
    GetGloFreqChannel(v[9]);
    TRACKING_FIELDS_T fields = {};
    SignalCodeToObsType(code, v[9], &fields, v[8] & 3);
    SignalTypeToObsIndex(v[10], v[11] >> 16, v[8] & 3);
    SatIdToSlot(v[11] >> 16, v[9]);
    SatelliteSystemIndex(reinterpret_cast<const char*>(pData), static_cast<uint32_t>(nSize < 8 ? nSize : 8));
    return 0;
}
