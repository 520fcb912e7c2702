// Process-wide values of the conversion engine that outlive one function call:
// the status codes a job reports, the RINEX reader's byte counter that the
// window polls, the leap-second value of the time conversions, the output
// stream the record writers of a RINEX-to-log job write to and its stop
// request. One job runs at a time; the worker owns these while it runs.
#pragma once

#include <cstdint>
#include <cstdio>

enum CONVERT_STATUS_E : int
{
    CONVERT_OK = 0,
    CONVERT_ERR_SOURCE = -100,    // source cannot be opened for reading
    CONVERT_ERR_OBS_OUTPUT = -99, // RINEX observation output cannot be created
    CONVERT_ERR_GPS_NAV = -98,    // GPS (or mixed) or QZSS navigation output
    CONVERT_ERR_GLO_NAV = -97,
    CONVERT_ERR_GAL_NAV = -96,
    CONVERT_ERR_BDS_NAV = -95,
    CONVERT_ERR_OUTPUT = -94,     // output of a RINEX-to-log or log-to-log job
    CONVERT_ERR_RINEX_TYPE = -90, // source name does not end in a RINEX type letter
    CONVERT_ERR_RINEX_READ = -89, // the RINEX reader failed
    // Range log to RINEX: no observation epoch was written (the source holds
    // none, or none passed the time window and sample rate); no observation file.
    CONVERT_NO_EPOCH = -93,
    // Range log to RINEX: the outputs are complete, but an ephemeris could not
    // be dumped beside them.
    CONVERT_EPHEM_DUMP_FAILED = -92,
};

// What a job's compression did to carrier phases whose offset from the code
// range the compressed fields cannot hold (RANGECMP, RANGECMP4): written
// shifted by whole roll-overs or cycles, constant per lock arc, or dropped
// where even that could not hold.
struct CompressedPhaseCounts
{
    uint32_t nShifted = 0;
    uint32_t nDropped = 0;
};

// Writes both counts to the trace when either is not 0.
void TracePhaseCounts(const CompressedPhaseCounts& counts);

// Source bytes the RINEX readers have consumed in the running job. A single
// word: the progress poller reads it without a lock.
uint32_t GetRinexBytesRead();
void SetRinexBytesRead(uint32_t nBytes);
void AddRinexBytesRead(uint32_t nBytes);

// Leap seconds (GPS minus UTC) in milliseconds for the engine's time
// conversions; 0 stands for the time routines' default.
void SetLeapMs(int32_t nLeapMs);
const int32_t* GetLeapMs();

// The converter's BeiDou numbering (1 or 2, 2 at start): 2 reads BeiDou
// ephemerides as BDSEPHEMERIS with PRNs 1-63, 1 as BD2EPHEM with PRNs + 190;
// it also selects the signal-type numbering of the codec's signal maps.
void SetBdsEphemStyle(uint32_t nStyle);
uint32_t GetBdsEphemStyle();

// The stream the log writers of a RINEX-to-log job write to (null when none).
void SetConvertOutputFile(FILE* pFile);
FILE* GetConvertOutputFile();

// The stop request of a RINEX-to-log job: the RINEX readers ask it before
// each block they read and, once it holds, read no more and fail as on a read
// error. Null (the default) never stops.
using RinexStopFn = bool (*)(const void* pContext);
void SetRinexReadStop(RinexStopFn pfnStop, const void* pContext);
bool RinexReadStopRequested();
