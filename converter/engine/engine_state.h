// What a conversion job reports: its status codes, and the count of carrier
// phases its compression had to shift or drop. The state a job or a scan
// works on is in a context its caller owns (converter/engine/convert_context.h).
//
// Status convention of the engine: a job returns a CONVERT_STATUS_E, which the
// window turns into its message (0 success, negative failures); the routines
// under a job return their own named results (RINEX_READ_E of the RINEX
// readers, LOG2LOG_STATUS_E, SCAN_STATUS_E of the source scan); text writers
// return the length written, or -1 when it does not fit.
#pragma once

#include <cstdint>

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
    CONVERT_ERR_RINEX_TYPE = -90, // neither the source's header nor its name gives a RINEX type that is read
    CONVERT_ERR_RINEX_READ = -89, // the RINEX reader failed
    // Range log to RINEX: no observation epoch was written (the source holds
    // none, or none passed the time window and sample rate); no observation file.
    CONVERT_NO_EPOCH = -93,
    // Range log to RINEX: the outputs are complete, but an ephemeris could not
    // be dumped beside them.
    CONVERT_EPHEM_DUMP_FAILED = -92,
    // The job was stopped before the end of its source (the program closes):
    // none of its outputs takes the place of what stood at its paths.
    CONVERT_STOPPED = -91,
    // An output was created but could not be written whole (disk full, I/O
    // error): each names the file its "cannot be created" status names.
    CONVERT_ERR_OBS_WRITE = -79,
    CONVERT_ERR_GPS_NAV_WRITE = -78, // GPS (or mixed) or QZSS navigation output
    CONVERT_ERR_GLO_NAV_WRITE = -77,
    CONVERT_ERR_GAL_NAV_WRITE = -76,
    CONVERT_ERR_BDS_NAV_WRITE = -75,
    CONVERT_ERR_OUTPUT_WRITE = -74, // output of a RINEX-to-log or log-to-log job
};

// The "could not be written" status of an output whose "cannot be created"
// status is nOpenStatus (CONVERT_ERR_OBS_OUTPUT to CONVERT_ERR_OUTPUT); 0 for
// any other status.
constexpr int WriteFailureStatus(int nOpenStatus)
{
    return nOpenStatus >= CONVERT_ERR_OBS_OUTPUT && nOpenStatus <= CONVERT_ERR_OUTPUT
               ? nOpenStatus - CONVERT_ERR_OBS_OUTPUT + CONVERT_ERR_OBS_WRITE
               : 0;
}
static_assert(WriteFailureStatus(CONVERT_ERR_GLO_NAV) == CONVERT_ERR_GLO_NAV_WRITE &&
                  WriteFailureStatus(CONVERT_ERR_OUTPUT) == CONVERT_ERR_OUTPUT_WRITE,
              "write statuses follow the open statuses");

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
