// How satellites, weeks and tracked signals are numbered, kept in one place:
// the satellite IDs of receiver logs per system (PRN offsets and ranges), the
// satellite number within a system, the satellite table numbers of the
// monitor's position record, the week numbering of Galileo and BeiDou, and the
// signal code of each signal type a channel tracking status carries. No other
// file defines these numbers.
//
// Status convention: lookups return a number, with 0 (satellite numbers) or
// the NONE value of their table for what has no number.
#pragma once

#include <cstdint>

#include "codec/signals.h"

// ---- Satellite systems ----

// Satellite system field of the channel tracking status (bits 16-18).
enum TRACKING_SYSTEM_E : uint8_t
{
    TRACK_SYS_GPS = 0,
    TRACK_SYS_GLONASS = 1,
    TRACK_SYS_SBAS = 2,
    TRACK_SYS_GALILEO = 3,
    TRACK_SYS_BEIDOU = 4,
    TRACK_SYS_QZSS = 5,
    TRACK_SYS_COUNT = 6,
};

// The signal-code system (GNSS_SYSTEM_E) of a tracking-status system, or
// GNSS_SYSTEM_COUNT for the values 6 and 7, which name no system.
uint32_t GnssSystemOfTracking(uint32_t nTrackingSystem);

// ---- Satellite IDs of receiver logs ----

enum : uint32_t
{
    SATS_PER_SYSTEM = 64,                 // satellite numbers 1-64 within a system
    GPS_PRN_LAST = 32,                    // GPS PRNs 1-32
    GLO_PRN_OFFSET = 37,                  // GLONASS slot n is satellite ID n + 37 in range logs
    GLO_PRN_LAST = GLO_PRN_OFFSET + 32,   // slots 1-32
    GAL_PRN_LAST = 36,                    // Galileo PRNs 1-36
    SBAS_PRN_OFFSET = 119,                // SBAS PRN 120 is SBAS satellite 1
    SBAS_PRN_FIRST = SBAS_PRN_OFFSET + 1, // range logs of GPS codes belong to SBAS from this ID
    QZSS_PRN_OFFSET = 192,                // QZSS satellite n is PRN n + 192
    QZSS_PRN_FIRST = QZSS_PRN_OFFSET + 1, // range logs of GPS codes belong to QZSS from this ID
    QZSS_PRN_LAST = QZSS_PRN_OFFSET + 10, // QZSS satellites 1-10
    BD2_PRN_OFFSET = 190,                 // BD2EPHEM numbers BeiDou satellite n as n + 190
};

// Satellite number within its system (GNSS_SYSTEM_E) from a satellite ID: GPS,
// Galileo and BeiDou the ID, GLONASS ID - 37, QZSS ID - 192. Returns 1-64, or
// 0 when the satellite has no number: SBAS, an unknown system, or an ID
// outside the system's 64 numbers.
uint32_t SatIdToSlot(uint32_t nSystem, uint32_t nSatId);

// Satellite identifiers of the converter's RINEX readers: one number per
// satellite across systems, the PRN plus an offset per system (GPS 0, GLONASS
// 64, Galileo 100, BeiDou 190, QZSS none). SatIdToPrn takes the offset off
// again: GPS, GLONASS, Galileo and BeiDou the identifier minus their offset,
// QZSS unchanged, SBAS and anything else 0.
uint32_t PrnToSatId(uint32_t nSystem, uint32_t nPrn);
uint32_t SatIdToPrn(uint32_t nSystem, uint32_t nSatId);

// PRN of satellite number n of a system (GNSS_SYSTEM_E): GLONASS n + 37,
// SBAS n + 119 (PRN 120 is number 1), QZSS n + 192, the others n.
uint16_t SatNumberToPrn(uint32_t nSystem, uint32_t nSatNumber);

// ---- Weeks and time scales ----

enum : uint32_t
{
    GAL_WEEK_OFFSET = 1024,     // Galileo week 0 is GPS week 1024
    BDS_WEEK_OFFSET = 1356,     // BeiDou week 0 is GPS week 1356
    BDS_TIME_OFFSET_MS = 14000, // BeiDou time runs 14 s behind GPS time
};

// ---- The monitor's satellite table ----

// Table numbers of the monitor's position record: GPS 1-32, SBAS 33-64,
// GLONASS 65-96, Galileo 101-150, QZSS 193-202 (the PRNs), BeiDou 401-463.
enum : uint32_t
{
    SAT_TABLE_SBAS_BASE = 32, // SBAS satellite n is entry 32 + n
    SAT_TABLE_GLO_BASE = 64,  // GLONASS slot n is entry 64 + n
    SAT_TABLE_GAL_BASE = 100, // Galileo PRN n is entry 100 + n
    SAT_TABLE_QZSS_BASE = QZSS_PRN_OFFSET,
    SAT_TABLE_BDS_BASE = 400, // BeiDou PRN n is entry 400 + n
    NMEA_GAL_BASE = 300,      // NMEA numbers Galileo 301-350
    NMEA_BDS_BASE = 160,      // and BeiDou 161-223
};

// The satellite table's number of a satellite that a source numbers nNumber
// within nSystem (GNSS_SYSTEM_E; SATELLITE_SYSTEM_UNKNOWN for a combined "GN"
// list without a system): GPS 1-32, SBAS 33-64 (NMEA numbers or PRNs
// 120-151), GLONASS 65-96 (NMEA numbers, slots 1-32 or range-log PRNs 38-61),
// Galileo 101-150 (1-50, 101-150 or 301-350), QZSS 193-202 (PRNs or 1-10),
// BeiDou 401-463 (1-63, 161-223 or 401-463). 0 when the number does not fit
// its system. *pSystem (when given) receives the satellite's system, or
// SATELLITE_SYSTEM_UNKNOWN. Every path into the table numbers satellites this
// way, so that no two systems share an entry.
uint32_t SatTableNumber(uint32_t nSystem, uint32_t nNumber, uint32_t* pSystem = nullptr);

// ---- Signal types of the channel tracking status ----

// One signal type (tracking-status bits 21-25) of a system and the signal
// code of each use of it; SIGNAL_CODE_NONE where that use has none. The three
// uses agree except where a row says why.
struct TRACK_SIGNAL_T
{
    uint8_t System;       // GNSS_SYSTEM_E
    uint8_t SignalType;   // tracking-status bits 21-25
    uint16_t ObsCode;     // the converter's observation code (SignalObsIndexTable)
    uint16_t ViewCode;    // the code the monitor's views name it by (TrackStatusToSignalType)
    uint16_t CarrierCode; // a code on its carrier: the wavelength of the RANGECMP phase roll-over
};

inline constexpr uint16_t SIGNAL_CODE_NONE = 0xFFFF;

// The table, and its length.
const TRACK_SIGNAL_T* TrackSignals(uint32_t* pCount);

struct SIGNAL_OBS_PAIR_T
{
    uint32_t SignalType; // tracking-status bits 21-25; SIGNAL_OBS_EMPTY for an unused pair
    uint32_t ObsCode;    // signal code of the observation
};

enum : uint32_t
{
    SIGNAL_OBS_PAIRS_PER_SYSTEM = 12,
    SIGNAL_OBS_EMPTY = 0xFFFFFFFFu,
};

// Per GNSS_SYSTEM_E, the observation code of each signal type (the converter's
// default signal mode), in table order.
extern const SIGNAL_OBS_PAIR_T (&SignalObsIndexTable)[GNSS_SYSTEM_COUNT][SIGNAL_OBS_PAIRS_PER_SYSTEM];

// Satellite system of a channel tracking status for the monitor's views: 0
// GPS (also SBAS and the values 6 and 7), 1 GLONASS, 2 Galileo, 3 BeiDou,
// 5 QZSS.
uint32_t TrackStatusToSystem(uint32_t uStatus);
// The views' signal code of the status's signal type within a system row (as
// TrackStatusToSystem gives it); 65535 when the row does not list the type.
uint32_t TrackStatusToSignalType(uint32_t uStatus, uint32_t nSystem);

// A signal code on the carrier of a tracking-status system (TRACKING_SYSTEM_E)
// and signal type, for the RANGECMP roll-over; SIGNAL_CODE_NONE when unknown.
uint16_t TrackSignalCarrierCode(uint32_t nTrackingSystem, uint32_t nSignalType);
