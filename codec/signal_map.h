// Signal codes and satellite IDs of range observations mapped to the fields of
// a tracking status and back, as the RINEX engine and the compressed range
// logs need them. Two numberings of signal types exist, chosen by the
// converter's signal mode (its BeiDou style): SIGNAL_MODE_DEFAULT (2) and
// SIGNAL_MODE_LEGACY (1). The codec's own packing and expansion always use the
// default mode.
#pragma once

#include <cstdint>

#include "codec/range_logs.h"
#include "codec/signals.h"

// Tracking-status system of codes that belong to no known system.
enum : uint8_t
{
    TRACK_SYS_OTHER = 7,
};

enum SIGNAL_MODE_E : uint32_t
{
    SIGNAL_MODE_LEGACY = 1,
    SIGNAL_MODE_DEFAULT = 2,
};

struct SIGNAL_OBS_PAIR_T
{
    uint32_t SignalType; // tracking-status bits 21-25; SIGNAL_OBS_EMPTY for an unused pair
    uint32_t ObsCode;    // signal code of the observation
};

enum : uint32_t
{
    SIGNAL_OBS_PAIRS_PER_SYSTEM = 12,
    SIGNAL_OBS_EMPTY = 0xFFFFFFFFu,
    OBS_CODE_NONE = 0xFFFF,
};

// Per GNSS_SYSTEM_E, the observation code of each signal type (default mode).
extern const SIGNAL_OBS_PAIR_T SignalObsIndexTable[GNSS_SYSTEM_COUNT][SIGNAL_OBS_PAIRS_PER_SYSTEM];

// Fills SatelliteSystem (TRACKING_SYSTEM_E), SignalType and PrimarySignal of the
// record for a signal code and satellite ID; other fields are left alone. GPS
// codes belong to SBAS for IDs 120-192 and to QZSS from 193 on. Returns 0 when
// all three are set; 1 when the signal has no type in this mode (SignalType
// left as it was; for example Galileo E6, or a system 6 or 7 code, which gets
// TRACK_SYS_OTHER); -1 for a null record.
int SignalCodeToObsType(uint32_t nCode, uint32_t nSatId, TRACKING_FIELDS_T* pFields, uint32_t nSignalMode);

// The default-mode mapping under the name the range-log codecs use.
inline int SignalCodeToTrackingFields(uint32_t nCode, uint32_t nSatId, TRACKING_FIELDS_T* pFields)
{
    return SignalCodeToObsType(nCode, nSatId, pFields, SIGNAL_MODE_DEFAULT);
}

// Satellite number within its system (GNSS_SYSTEM_E) from a satellite ID: GPS,
// Galileo and BeiDou the ID, GLONASS ID - 37, QZSS ID - 192. Returns 1-64, or
// 0 when the satellite has no number: SBAS, an unknown system, or an ID
// outside the system's 64 numbers.
uint32_t SatIdToSlot(uint32_t nSystem, uint32_t nSatId);

// The observation code of the signal type in bits 21-25 of a tracking status,
// from SignalObsIndexTable; OBS_CODE_NONE when the type is not listed, the
// system unknown, or the mode is not SIGNAL_MODE_DEFAULT.
uint16_t SignalTypeToObsIndex(uint32_t nTrackingStatus, uint32_t nSystem, uint32_t nSignalMode);
