// The pre-scan of a receiver log file before it is converted to RINEX: which
// range logs it holds, their first and last time and smallest interval, the
// signals of each system and the satellites that carried them, the GLONASS
// slots with their frequency numbers, an approximate position and the last
// ionosphere and UTC parameters. The window spreads the result over the RINEX
// header records and the sample extraction window.
//
// The scan reads only its stream and writes only the caller's record and its
// own context: it shares no state with a conversion job, so the two may run
// at the same time in different threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "converter/engine/convert_context.h"
#include "converter/engine/epoch_store.h"
#include "converter/engine/log_source.h"
#include "converter/engine/rinex_obs_header.h"

enum : uint32_t
{
    SCAN_SYSTEMS = 6,
    SCAN_MAX_GLO_SLOTS = 32,
    SCAN_RANGE_KINDS = 4,      // RANGE, RANGEH, BASERANGE, RANGECMP, in that order
    SCAN_MAX_POSITIONS = 1000, // position logs averaged per kind
    SCAN_IONUTC_SIZE = 136,    // binary IONUTC log, header and body
};

enum SCAN_STATUS_E : int
{
    SCAN_READ_FAILED = -4,  // a read error, not the end of the source, ended the scan
    SCAN_STOPPED = -3,      // the stop flag ended the scan before the end of the source
    SCAN_NO_RANGE_LOG = -2, // no usable range epoch: nothing to convert
    SCAN_NO_POSITION = -1,  // range epochs, but no usable RTKPOS or PSRPOS log
    SCAN_OK = 0,
};

struct ScanCalendar
{
    uint32_t nYear;
    uint32_t nMonth;
    uint32_t nDay;
    uint32_t nHour;
    uint32_t nMinute;
    double dSecond;
};

// Where the leap seconds of a scan come from.
enum SCAN_LEAP_SOURCE_E : uint32_t
{
    SCAN_LEAP_NONE = 0,    // no IONUTC log, GLONASS ephemeris or range epoch
    SCAN_LEAP_IONUTC = 1,  // the source's IONUTC log
    SCAN_LEAP_GLONASS = 2, // a GLONASS ephemeris' time offset (10800 s minus the leap seconds)
    SCAN_LEAP_DATE = 3,    // the table of leap seconds at the first range epoch
};

// Result of a scan. The caller clears it (value-initialise); ScanSourceLog
// fills it.
struct SourceScanInfo
{
    // Per system index and signal (in the order of aSignalCodes): bit n set
    // when satellite n + 1 carried the signal, and the number of bits set.
    uint64_t aSatMasks[SCAN_SYSTEMS][RINEX_SCAN_CODES];
    uint32_t aSatCounts[SCAN_SYSTEMS][RINEX_SCAN_CODES];
    // Per system the distinct observation codes, in order of first appearance.
    uint32_t aSignalCodes[SCAN_SYSTEMS][RINEX_SCAN_CODES];
    uint32_t aSignalCounts[SCAN_SYSTEMS];
    // GLONASS slots in order of first appearance, with frequency numbers (-7..+6).
    uint32_t nGloSlotCount;
    int32_t aGloSlots[SCAN_MAX_GLO_SLOTS];
    int32_t aGloFrequencies[SCAN_MAX_GLO_SLOTS];
    // The last usable range epoch.
    uint32_t nLastEpochWeek;
    uint32_t nLastEpochMs;
    // UTC calendar of the first and of the last usable range epoch.
    ScanCalendar FirstObs;
    ScanCalendar LastObs;
    uint32_t nLastObsWeek;
    uint32_t nLastObsMs;
    // Per range kind: first week, first ms, last week, last ms.
    uint32_t aMessageTimes[SCAN_RANGE_KINDS][4];
    // The last IONUTC log with time status 21 or above (nIonUtcLength 0: none).
    uint8_t aIonUtc[SCAN_IONUTC_SIZE];
    uint32_t nIonUtcLength;
    // ECEF X, Y, Z in metres.
    double aApproxPos[3];
    // Per range kind the interval of its epochs, s; 0 when none: the smallest
    // step between two epochs, taken as the common interval it lies next to
    // (NominalIntervalMs).
    double aMessageIntervals[SCAN_RANGE_KINDS];
    // The leap seconds (ms) of the data: the IONUTC log's when it gives them,
    // else a GLONASS ephemeris', else those of the first range epoch's date.
    // The calendar times above are made with it; the caller passes it on to
    // the job's context unless the user chose another value.
    int32_t nLeapMs;
    uint32_t nLeapSource; // SCAN_LEAP_SOURCE_E
    LogSourceCounts Source;
};

// Observation intervals receivers are commonly set to, ms, ascending.
inline constexpr uint32_t SCAN_COMMON_INTERVALS_MS[] = {10,     20,     50,     100,     200,    500,   1000,
                                                        2000,   5000,   10000,  15000,   30000,  60000, 120000,
                                                        300000, 600000, 900000, 1800000, 3600000};

// The interval of a source whose smallest step between epochs is nStepMs:
// the common interval it lies within SAMPLE_TOLERANCE_MS (and a tenth of
// that interval) of, as a receiver whose clock steps puts epochs a few ms off
// their marks (29.996 s is 30 s); else the step itself.
uint32_t NominalIntervalMs(uint32_t nStepMs);

// Index of a range message ID in the per-kind fields; -1 for other IDs.
int ScanRangeKind(uint16_t nMessageId);

// 1 when the source is binary, 0 when it is text: of the logs whose CRC holds
// in the first 64 KB, binary ones must be the more; a source without any
// counts as text (non-ASCII comments do not make text binary). The stream is
// rewound first and left behind the bytes read.
int DetectBinaryLog(FILE* pStream);

// Reads the whole stream (rewound first). Returns SCAN_NO_RANGE_LOG (the record
// keeps only its counts and the leap value), SCAN_NO_POSITION or SCAN_OK; the
// four file times (first week, first ms, last week, last ms of any range
// epoch) go to pFileTimes unless the result is SCAN_NO_RANGE_LOG. The stream
// stays open. Range logs of every kind and every system count.
// The scan's context, which the caller owns, takes the bytes read so far
// (from 0 at the start; its GetScanProgress, for a progress poller) and gives
// the BeiDou numbering and the stop request. The stop request is asked after
// every block: once it holds (set from any thread) the scan ends there with
// SCAN_STOPPED, its record incomplete and the file times untouched. A read
// error part-way gives SCAN_READ_FAILED the same way.
// The scan decodes on nThreads threads: 0 as many as the cores it may run on
// (8 at most), 1 the calling thread alone; the calling thread reads the
// source. The record is the same whatever the count.
int ScanSourceLog(FILE* pStream, SourceScanInfo* pScan, uint32_t pFileTimes[4], int nBinary, CConvertContext* pContext,
                  uint32_t nThreads = 0);

// Adds one epoch's satellites and signals to the record.
void CollectScanSignals(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, SourceScanInfo* pScan);
