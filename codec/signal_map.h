// Signal codes and satellite IDs of range observations mapped to the fields of
// a tracking status and back, as the RINEX engine and the compressed range
// logs need them. Two numberings of signal types exist, chosen by the
// converter's signal mode (its BeiDou style): SIGNAL_MODE_DEFAULT (2) and
// SIGNAL_MODE_LEGACY (1). The codec's own packing and expansion always use the
// default mode.
#pragma once

#include <cstdint>

#include "codec/gnss_numbering.h"
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

enum : uint32_t
{
    OBS_CODE_NONE = SIGNAL_CODE_NONE,
};

// SignalObsIndexTable, the observation code of each signal type in the default
// mode, and SatIdToSlot are in codec/gnss_numbering.h.

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

// The observation code of the signal type in bits 21-25 of a tracking status,
// from SignalObsIndexTable; OBS_CODE_NONE when the type is not listed, the
// system unknown, or the mode is not SIGNAL_MODE_DEFAULT.
uint16_t SignalTypeToObsIndex(uint32_t nTrackingStatus, uint32_t nSystem, uint32_t nSignalMode);
