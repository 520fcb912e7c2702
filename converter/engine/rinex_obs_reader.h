// RINEX observation files (versions 2.10 to 3.05) back to receiver range
// logs: one RANGE (or RANGECMP) log in full text form per epoch, written to
// the engine's current output stream. The entry point of the job,
// ConvertRinexObsToRange, is declared in rinex_readers.h.
//
// Epochs are read in the file's own time system (TIME OF FIRST OBS): GPS,
// Galileo and QZSS time as they stand, BeiDou time plus 14 s, GLONASS time
// (UTC) plus the leap seconds. Every observation code has its own signal;
// event records (flags 2 to 5) carry their own line count and header lines
// that may change the observation types; epochs of an unknown flag are
// skipped with a trace.
#pragma once

#include <cstdint>

#include "codec/gnss_time.h"
#include "codec/signals.h"

#include "converter/engine/rinex_obs_header.h"

// What the reader takes from an observation header beyond the shared record.
struct RinexObsTimeInfo
{
    char szTimeSystem[4]; // of TIME OF FIRST OBS; empty when the header names none
    int32_t nLeapSeconds; // LEAP SECONDS; 0 when absent
    double dInterval;     // INTERVAL; 0 when absent
    uint32_t nGloSlots;
    int8_t aGloChannel[GLO_SLOT_COUNT + 1]; // frequency number by slot 1-28 (GLONASS SLOT / FRQ #); -128 unknown
};

// Reads those records from header text (lines ended by LF). The structure is
// cleared first only when bReset is set, so event records can add to it.
void ReadRinexObsTimeInfo(const char* pText, uint32_t nLength, bool bReset, RinexObsTimeInfo* pInfo);

// Milliseconds to add to an epoch read in the named time system to get GPS
// time: "BDT" 14000, "GLO" and "UTC" the leap seconds (the header's, else
// those of the epoch's own date), the others 0. An empty name means GPS, or
// GLONASS time in a RINEX 2 GLONASS-only file (cSystem R).
int32_t RinexTimeSystemOffsetMs(const char* pTimeSystem, char cFileSystem, int32_t nHeaderLeapSeconds,
                                const CalendarTime& epoch);

// The signal code of a RINEX 3 observation code's band digit and attribute
// ("1C", "2W", ...) for a system index, as this version writes it; files of
// 3.02 that number BeiDou B1 as band 2 are read too. 0xFFFFFFFF when the code
// names no signal the converter knows.
uint32_t ObsCodeToSignalCode(int32_t nVersion, const char* pCode, uint32_t nSystem);
