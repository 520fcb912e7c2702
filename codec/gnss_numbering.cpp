#include "codec/gnss_numbering.h"

namespace
{
constexpr uint16_t NONE = SIGNAL_CODE_NONE;
constexpr uint8_t GPS = GNSS_SYSTEM_GPS;
constexpr uint8_t GLO = GNSS_SYSTEM_GLONASS;
constexpr uint8_t GAL = GNSS_SYSTEM_GALILEO;
constexpr uint8_t BDS = GNSS_SYSTEM_BDS;
constexpr uint8_t SBAS = GNSS_SYSTEM_SBAS;
constexpr uint8_t QZSS = GNSS_SYSTEM_QZSS;

// A signal type whose code every use shares.
constexpr TRACK_SIGNAL_T All(uint8_t nSystem, uint8_t nType, uint16_t nCode)
{
    return {nSystem, nType, nCode, nCode, nCode};
}

// Per system in the converter's observation order; each system's types are
// distinct, so the order decides nothing else. A code of one carrier serves
// the roll-over as well as another (GPS L1C pilot for L1C data, for example).
constexpr TRACK_SIGNAL_T kTrackSignals[] = {
    All(GPS, 0, GPSL1CA),
    All(GPS, 5, GPSL2P),
    All(GPS, 9, GPSL2W),
    All(GPS, 14, GPSL5Q),
    All(GPS, 17, GPSL2CM),
    // L1C: the monitor's views have no name for it.
    {GPS, 16, GPSL1CP, NONE, GPSL1CP},
    // L2C (L) only in the monitor's views: the converter writes no observation
    // of it and the roll-over of its phase is not known.
    {GPS, 31, NONE, GPSL2CL, NONE},
    All(GLO, 0, GLOL1CA),
    All(GLO, 1, GLOL2CA),
    All(GLO, 5, GLOL2P),
    // L3: the monitor's views list no GLONASS L3 signal.
    {GLO, 6, GLOL3Q, NONE, GLOL3Q},
    // L3 of the other component: only its phase roll-over is known.
    {GLO, 2, NONE, NONE, GLOL3I},
    All(GAL, 1, GALE1B),
    All(GAL, 2, GALE1C),
    All(GAL, 12, GALE5AQ),
    All(GAL, 17, GALE5BQ),
    All(GAL, 20, GALE5Q),
    All(BDS, 0, BDSB1I),
    All(BDS, 1, BDSB2I),
    All(BDS, 2, BDSB3I),
    All(BDS, 4, BDSB1I),
    All(BDS, 5, BDSB2I),
    All(BDS, 6, BDSB3I),
    All(BDS, 7, BDSB1CP),
    All(BDS, 8, BDSB1CD),
    All(BDS, 9, BDSB2AP),
    All(BDS, 10, BDSB2AD),
    All(BDS, 11, 2515),
    All(BDS, 12, 403),
    All(SBAS, 0, GPSL1CA),
    All(SBAS, 6, GPSL5I),
    // QZSS: the monitor's views name QZSS signals by the GPS codes of their
    // carriers (they have no QZSS names) and list only L1C, L5 and L2C; the
    // converter numbers them with QZSS codes, except L1C, which it writes as
    // GPS L1C pilot.
    {QZSS, 0, QZSL1CA, NONE, QZSL1CA},
    {QZSS, 17, QZSL2CM, GPSL2CA, QZSL2CM}, // L2C: the views show GPS L2
    {QZSS, 14, QZSL5Q, GPSL5Q, QZSL5Q},
    {QZSS, 16, GPSL1CP, GPSL1CA, GPSL1CP},
    {QZSS, 27, 2917, NONE, 2917}, // L6
};

struct OBS_INDEX_T
{
    SIGNAL_OBS_PAIR_T Pairs[GNSS_SYSTEM_COUNT][SIGNAL_OBS_PAIRS_PER_SYSTEM];
};

// One use of the table as 12 (type, code) pairs per system, unused pairs empty.
template <uint16_t TRACK_SIGNAL_T::*Use> constexpr OBS_INDEX_T PairsOf()
{
    OBS_INDEX_T t{};
    uint32_t nUsed[GNSS_SYSTEM_COUNT] = {};
    for (auto& row : t.Pairs)
        for (auto& pair : row)
            pair = {SIGNAL_OBS_EMPTY, SIGNAL_OBS_EMPTY};
    for (const TRACK_SIGNAL_T& s : kTrackSignals)
        if (s.*Use != NONE)
            t.Pairs[s.System][nUsed[s.System]++] = {s.SignalType, s.*Use};
    return t;
}

constexpr OBS_INDEX_T kObsIndex = PairsOf<&TRACK_SIGNAL_T::ObsCode>();
constexpr OBS_INDEX_T kViewIndex = PairsOf<&TRACK_SIGNAL_T::ViewCode>();

struct CARRIER_INDEX_T
{
    uint16_t Code[TRACK_SYS_COUNT][32];
};

constexpr uint32_t kGnssOfTracking[8] = {GNSS_SYSTEM_GPS, GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_SBAS,  GNSS_SYSTEM_GALILEO,
                                         GNSS_SYSTEM_BDS, GNSS_SYSTEM_QZSS,    GNSS_SYSTEM_COUNT, GNSS_SYSTEM_COUNT};

constexpr CARRIER_INDEX_T MakeCarrierIndex()
{
    CARRIER_INDEX_T t{};
    for (uint32_t nTrack = 0; nTrack < TRACK_SYS_COUNT; ++nTrack)
    {
        for (uint16_t& c : t.Code[nTrack])
            c = NONE;
        for (const TRACK_SIGNAL_T& s : kTrackSignals)
            if (s.System == kGnssOfTracking[nTrack])
                t.Code[nTrack][s.SignalType] = s.CarrierCode;
    }
    return t;
}

constexpr CARRIER_INDEX_T kCarrierIndex = MakeCarrierIndex();

bool In(uint32_t n, uint32_t nFirst, uint32_t nLast) { return n >= nFirst && n <= nLast; }
} // namespace

const SIGNAL_OBS_PAIR_T (&SignalObsIndexTable)[GNSS_SYSTEM_COUNT][SIGNAL_OBS_PAIRS_PER_SYSTEM] = kObsIndex.Pairs;

const TRACK_SIGNAL_T* TrackSignals(uint32_t* pCount)
{
    if (pCount != nullptr)
        *pCount = static_cast<uint32_t>(sizeof kTrackSignals / sizeof kTrackSignals[0]);
    return kTrackSignals;
}

uint32_t GnssSystemOfTracking(uint32_t nTrackingSystem) { return kGnssOfTracking[nTrackingSystem & 7u]; }

uint32_t SatIdToSlot(uint32_t nSystem, uint32_t nSatId)
{
    uint32_t slot = 0;
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
    case GNSS_SYSTEM_GALILEO:
    case GNSS_SYSTEM_BDS:
        slot = nSatId;
        break;
    case GNSS_SYSTEM_GLONASS:
        slot = nSatId > GLO_PRN_OFFSET ? nSatId - GLO_PRN_OFFSET : 0;
        break;
    case GNSS_SYSTEM_QZSS:
        slot = nSatId > QZSS_PRN_OFFSET ? nSatId - QZSS_PRN_OFFSET : 0;
        break;
    default:
        return 0;
    }
    return slot <= SATS_PER_SYSTEM ? slot : 0;
}

uint16_t SatNumberToPrn(uint32_t nSystem, uint32_t nSatNumber)
{
    switch (nSystem)
    {
    case GNSS_SYSTEM_GLONASS:
        return static_cast<uint16_t>(nSatNumber + GLO_PRN_OFFSET);
    case GNSS_SYSTEM_SBAS:
        return static_cast<uint16_t>(nSatNumber + SBAS_PRN_OFFSET);
    case GNSS_SYSTEM_QZSS:
        return static_cast<uint16_t>(nSatNumber + QZSS_PRN_OFFSET);
    default:
        return static_cast<uint16_t>(nSatNumber);
    }
}

uint32_t SatTableNumber(uint32_t nSystem, uint32_t nNumber, uint32_t* pSystem)
{
    // How many satellites of each system the table takes (of GLONASS, 24 slots by range-log ID).
    constexpr uint32_t kSbasCount = 32, kGloSlots = 32, kGloLogSlots = 24, kGalCount = 50, kBdsCount = 63;
    constexpr uint32_t kQzssCount = QZSS_PRN_LAST - QZSS_PRN_OFFSET;
    // A combined list numbers BeiDou 161-197 and QZSS 198-202.
    constexpr uint32_t kCombinedBdsLast = 197;
    uint32_t nTable = 0, nOut = nSystem;
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
    case GNSS_SYSTEM_SBAS:
        if (In(nNumber, 1, GPS_PRN_LAST) && nSystem == GNSS_SYSTEM_GPS)
            nTable = nNumber;
        else if (In(nNumber, SAT_TABLE_SBAS_BASE + 1, SAT_TABLE_SBAS_BASE + kSbasCount))
            nTable = nNumber, nOut = GNSS_SYSTEM_SBAS;
        else if (In(nNumber, SBAS_PRN_FIRST, SBAS_PRN_OFFSET + kSbasCount))
            nTable = nNumber - SBAS_PRN_OFFSET + SAT_TABLE_SBAS_BASE, nOut = GNSS_SYSTEM_SBAS;
        break;
    case GNSS_SYSTEM_GLONASS:
        if (In(nNumber, SAT_TABLE_GLO_BASE + 1, SAT_TABLE_GLO_BASE + kGloSlots))
            nTable = nNumber;
        else if (In(nNumber, 1, kGloSlots))
            nTable = nNumber + SAT_TABLE_GLO_BASE;
        else if (In(nNumber, GLO_PRN_OFFSET + 1, GLO_PRN_OFFSET + kGloLogSlots))
            nTable = nNumber - GLO_PRN_OFFSET + SAT_TABLE_GLO_BASE;
        break;
    case GNSS_SYSTEM_GALILEO:
        if (In(nNumber, 1, kGalCount))
            nTable = nNumber + SAT_TABLE_GAL_BASE;
        else if (In(nNumber, SAT_TABLE_GAL_BASE + 1, SAT_TABLE_GAL_BASE + kGalCount))
            nTable = nNumber;
        else if (In(nNumber, NMEA_GAL_BASE + 1, NMEA_GAL_BASE + kGalCount))
            nTable = nNumber - NMEA_GAL_BASE + SAT_TABLE_GAL_BASE;
        break;
    case GNSS_SYSTEM_BDS:
        if (In(nNumber, 1, kBdsCount))
            nTable = nNumber + SAT_TABLE_BDS_BASE;
        else if (In(nNumber, NMEA_BDS_BASE + 1, NMEA_BDS_BASE + kBdsCount))
            nTable = nNumber - NMEA_BDS_BASE + SAT_TABLE_BDS_BASE;
        else if (In(nNumber, SAT_TABLE_BDS_BASE + 1, SAT_TABLE_BDS_BASE + kBdsCount))
            nTable = nNumber;
        break;
    case GNSS_SYSTEM_QZSS:
        if (In(nNumber, QZSS_PRN_FIRST, QZSS_PRN_LAST))
            nTable = nNumber;
        else if (In(nNumber, 1, kQzssCount))
            nTable = nNumber + SAT_TABLE_QZSS_BASE;
        break;
    case SATELLITE_SYSTEM_UNKNOWN:
        // One list of every system, numbered as the receivers number a combined list.
        if (nNumber <= SAT_TABLE_GLO_BASE)
            return SatTableNumber(GNSS_SYSTEM_GPS, nNumber, pSystem);
        if (nNumber <= SAT_TABLE_GLO_BASE + kGloSlots)
            return SatTableNumber(GNSS_SYSTEM_GLONASS, nNumber, pSystem);
        if (In(nNumber, SAT_TABLE_GAL_BASE + 1, SAT_TABLE_GAL_BASE + kGalCount))
            return SatTableNumber(GNSS_SYSTEM_GALILEO, nNumber, pSystem);
        if (In(nNumber, NMEA_BDS_BASE + 1, kCombinedBdsLast))
            return SatTableNumber(GNSS_SYSTEM_BDS, nNumber, pSystem);
        if (In(nNumber, kCombinedBdsLast + 1, QZSS_PRN_LAST))
            return SatTableNumber(GNSS_SYSTEM_QZSS, nNumber, pSystem);
        if (In(nNumber, SAT_TABLE_BDS_BASE + 1, SAT_TABLE_BDS_BASE + kBdsCount))
            return SatTableNumber(GNSS_SYSTEM_BDS, nNumber, pSystem);
        break;
    default:
        break;
    }
    if (nTable == 0)
        nOut = SATELLITE_SYSTEM_UNKNOWN;
    if (pSystem != nullptr)
        *pSystem = nOut;
    return nTable;
}

uint32_t TrackStatusToSystem(uint32_t uStatus)
{
    // The views show SBAS satellites in the GPS row, and the values 6 and 7 there too.
    static constexpr uint32_t kSystems[8] = {GNSS_SYSTEM_GPS, GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_GPS, GNSS_SYSTEM_GALILEO,
                                             GNSS_SYSTEM_BDS, GNSS_SYSTEM_QZSS,    GNSS_SYSTEM_GPS, GNSS_SYSTEM_GPS};
    return kSystems[(uStatus >> 16) & 7u];
}

uint32_t TrackStatusToSignalType(uint32_t uStatus, uint32_t nSystem)
{
    if (nSystem >= GNSS_SYSTEM_COUNT)
        return 65535;
    const uint32_t nType = (uStatus >> 21) & 31u;
    for (const SIGNAL_OBS_PAIR_T& Pair : kViewIndex.Pairs[nSystem])
        if (Pair.SignalType == nType)
            return Pair.ObsCode;
    return 65535;
}

uint16_t TrackSignalCarrierCode(uint32_t nTrackingSystem, uint32_t nSignalType)
{
    if (nTrackingSystem >= TRACK_SYS_COUNT || nSignalType >= 32)
        return NONE;
    return kCarrierIndex.Code[nTrackingSystem][nSignalType];
}

namespace
{
// The converter's identifier offsets: GLONASS and Galileo as the satellite
// table, BeiDou as BD2EPHEM numbers it; SBAS has none.
const uint32_t kSatIdOffset[GNSS_SYSTEM_COUNT] = {0, SAT_TABLE_GLO_BASE, SAT_TABLE_GAL_BASE, BD2_PRN_OFFSET, 0, 0};
} // namespace

uint32_t PrnToSatId(uint32_t nSystem, uint32_t nPrn)
{
    return nSystem < GNSS_SYSTEM_COUNT && nSystem != GNSS_SYSTEM_SBAS ? nPrn + kSatIdOffset[nSystem] : 0;
}

uint32_t SatIdToPrn(uint32_t nSystem, uint32_t nSatId)
{
    if (nSystem >= GNSS_SYSTEM_COUNT || nSystem == GNSS_SYSTEM_SBAS || nSatId < kSatIdOffset[nSystem])
        return 0;
    return nSatId - kSatIdOffset[nSystem];
}
