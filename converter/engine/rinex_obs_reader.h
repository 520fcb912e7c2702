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
#include <memory>

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

class CConvertContext;

// The reading state of one observation file: its header record, the epoch
// last parsed (its GPS time, satellites and observations) and the lock times
// that run on from epoch to epoch. ConvertRinexObsToRange keeps one for the
// file it reads; the entry points below take one made from header text.
struct RinexObsEpochReader;
struct RinexObsEpochReaderDeleter
{
    void operator()(RinexObsEpochReader* p) const;
};
using RinexObsEpochReaderPtr = std::unique_ptr<RinexObsEpochReader, RinexObsEpochReaderDeleter>;

// A reader for the file whose header is pHeader (its lines up to END OF
// HEADER). The context gives the BeiDou numbering and the output stream of
// EncodeRangeEpoch. Null, with *pStatus a RINEX_READ_E (rinex_readers.h),
// when the text holds no header or names no types of observation.
RinexObsEpochReaderPtr NewRinexObsEpochReader(const char* pHeader, uint32_t nLength, CConvertContext* pContext,
                                              int* pStatus = nullptr);
// The header record as the file and its event records have made it.
const RinexObsHeader* RinexObsReaderHeader(const RinexObsEpochReader* pReader);

enum : uint32_t
{
    RINEX_EPOCH_UNKNOWN_FLAG = 0xFFFFFFFFu,
};

// Parse one epoch of a RINEX 2 (ParseRinexObsEpoch2) or RINEX 3
// (ParseRinexObsEpoch3) file that starts at pEpochText: its epoch line and
// the lines that belong to it. Flags 0 and 1 leave the epoch's time and
// observations in the reader for the encoders; flags 2 to 5 apply the header
// lines that follow to the reader's header record and leave no epoch; flag 6
// (cycle slips) leaves none either. Returns 0, or RINEX_EPOCH_UNKNOWN_FLAG
// for a flag above 6, whose epoch is dropped with a trace.
uint32_t ParseRinexObsEpoch2(const char* pEpochText, uint32_t nLength, RinexObsEpochReader* pReader);
uint32_t ParseRinexObsEpoch3(const char* pEpochText, uint32_t nLength, RinexObsEpochReader* pReader);

// The epoch last parsed as one full-text RANGE log (message 43,
// EncodeRangeLog) or RANGECMP log (message 140, EncodeRangeCmpLog) in
// pBuffer: every signal with a pseudorange, one observation each. Returns the
// length of the text, or 0 when no observation epoch was parsed or the log
// does not fit.
int32_t EncodeRangeLog(RinexObsEpochReader* pReader, char* pBuffer, uint32_t nCapacity);
int32_t EncodeRangeCmpLog(RinexObsEpochReader* pReader, char* pBuffer, uint32_t nCapacity);
// The epoch last parsed encoded by the job's option (0 RANGE, else RANGECMP)
// and written to the context's output stream (GetRinexToLogFile). Returns 0,
// or -1 once a write has failed.
int EncodeRangeEpoch(RinexObsEpochReader* pReader, uint32_t nOption);
