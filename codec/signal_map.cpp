#include "codec/signal_map.h"

namespace
{
constexpr uint32_t kUnknownType = 0xFFFFFFFFu;

bool IsPCode(uint32_t nCode) { return (nCode & 0x40) != 0; }

// Tracking-status system of a code and satellite ID.
uint32_t TrackingSystemOf(uint32_t nCode, uint32_t nSatId)
{
    switch (SignalCodeSystem(nCode))
    {
    case GNSS_SYSTEM_GPS:
        if (nSatId < SBAS_PRN_FIRST)
            return TRACK_SYS_GPS;
        return nSatId < QZSS_PRN_FIRST ? TRACK_SYS_SBAS : TRACK_SYS_QZSS;
    case GNSS_SYSTEM_QZSS:
        return TRACK_SYS_QZSS;
    case GNSS_SYSTEM_GLONASS:
        return TRACK_SYS_GLONASS;
    case GNSS_SYSTEM_GALILEO:
        return TRACK_SYS_GALILEO;
    case GNSS_SYSTEM_BDS:
        return TRACK_SYS_BEIDOU;
    default:
        return TRACK_SYS_OTHER;
    }
}

// GPS signals outside band 0, the same in both modes.
uint32_t GpsType(uint32_t nCode)
{
    if (SignalCodeBand(nCode) == 2)
        return 14;
    if (!IsPCode(nCode))
        return 17;
    return (nCode == GPSL2W || nCode == GPSL2N) ? 9 : 5;
}

uint32_t SbasType(uint32_t nBand) { return nBand == 0 ? 0 : nBand == 2 ? 6 : kUnknownType; }

// Band and component rules of the default mode, for codes that the system's
// observation table does not list. A code is never given the type of a signal
// on another carrier: SBAS L5 is type 6 as in the table, and GLONASS codes
// other than the listed ones are typed only on G3.
uint32_t DefaultRuleType(uint32_t nTrackingSystem, uint32_t nCode)
{
    const uint32_t band = SignalCodeBand(nCode);
    switch (nTrackingSystem)
    {
    case TRACK_SYS_GPS:
        return band == 0 ? (nCode == GPSL1CA ? 0 : 16) : GpsType(nCode);
    case TRACK_SYS_SBAS:
        return SbasType(band);
    case TRACK_SYS_QZSS:
        if (band == 0)
            return nCode == 5 ? 0 : 16;
        return band == 1 ? 17 : band == 2 ? 14 : 27;
    case TRACK_SYS_GLONASS:
        return band == 2 ? 6 : kUnknownType; // L1 C/A, L2 C/A and L2 P come from the table
    case TRACK_SYS_GALILEO:
        if (band == 1)
            return 12;
        if (band == 2)
            return 17;
        if (band == 3)
            return 20;
        return SignalCodeModule(nCode) == 1 ? 1 : 2;
    case TRACK_SYS_BEIDOU:
        if (nCode == BDSB1P)
            return 4;
        return band == 0 ? 0 : band == 2 ? 1 : band == 1 ? 2 : kUnknownType;
    default:
        return kUnknownType;
    }
}

uint32_t DefaultType(uint32_t nTrackingSystem, uint32_t nCode)
{
    for (const SIGNAL_OBS_PAIR_T& pair : SignalObsIndexTable[GnssSystemOfTracking(nTrackingSystem)])
        if (pair.SignalType != SIGNAL_OBS_EMPTY && pair.ObsCode == nCode)
            return pair.SignalType;
    return DefaultRuleType(nTrackingSystem, nCode);
}

uint32_t LegacyType(uint32_t nTrackingSystem, uint32_t nCode)
{
    const uint32_t band = SignalCodeBand(nCode);
    switch (nTrackingSystem)
    {
    case TRACK_SYS_GPS:
        return band == 0 ? 0 : GpsType(nCode);
    case TRACK_SYS_SBAS:
        return SbasType(band);
    case TRACK_SYS_QZSS:
        return band == 0 ? 0 : band == 1 ? 17 : band == 2 ? 14 : kUnknownType;
    case TRACK_SYS_GLONASS:
        return nCode == GLOL1CA ? 0 : 5;
    case TRACK_SYS_GALILEO:
        if (band == 1)
            return 12;
        if (band == 2)
            return 17;
        return SignalCodeModule(nCode) == 1 ? 1 : 2;
    case TRACK_SYS_BEIDOU:
    {
        const uint32_t type = band == 0 ? 0 : band == 2 ? 17 : band == 1 ? 21 : kUnknownType;
        return (type != kUnknownType && IsPCode(nCode)) ? type + 3 : type;
    }
    default:
        return kUnknownType;
    }
}
} // namespace

int SignalCodeToObsType(uint32_t nCode, uint32_t nSatId, TRACKING_FIELDS_T* pFields, uint32_t nSignalMode)
{
    if (pFields == nullptr)
        return -1;
    const uint32_t system = TrackingSystemOf(nCode, nSatId);
    const uint32_t band = SignalCodeBand(nCode);
    pFields->SatelliteSystem = static_cast<uint8_t>(system);
    pFields->PrimarySignal = band == 0;
    // No signal sits above band 4, and no signal type of either numbering is an E6 one.
    if (system == TRACK_SYS_OTHER || band > 4 || (system == TRACK_SYS_GALILEO && band == 4))
        return 1;
    const uint32_t type = nSignalMode == SIGNAL_MODE_LEGACY ? LegacyType(system, nCode) : DefaultType(system, nCode);
    if (type == kUnknownType)
        return 1;
    pFields->SignalType = static_cast<uint8_t>(type);
    return 0;
}

uint16_t SignalTypeToObsIndex(uint32_t nTrackingStatus, uint32_t nSystem, uint32_t nSignalMode)
{
    if (nSignalMode != SIGNAL_MODE_DEFAULT || nSystem >= GNSS_SYSTEM_COUNT)
        return OBS_CODE_NONE;
    const uint32_t type = TrackingStatusSignalType(nTrackingStatus);
    for (const SIGNAL_OBS_PAIR_T& pair : SignalObsIndexTable[nSystem])
        if (pair.SignalType == type)
            return static_cast<uint16_t>(pair.ObsCode);
    return OBS_CODE_NONE;
}
