// Log to log conversion: the logs of a source file re-encoded into an
// output file. The source is read in 64 KB blocks; receiver logs are found
// by their first bytes ("#" and "%" text logs with a matching CRC, AA 44 12
// and AA 44 13 binary logs with a matching CRC-32), BINEX records by their
// sync byte and checksum. A log that fails a check is skipped and the search
// goes on at its next byte; a checked log that the kind does not convert is
// passed over whole.
#pragma once

#include <cstdint>
#include <cstdio>

#include "codec/log_registry.h"
#include "converter/engine/engine_state.h"

enum LOG2LOG_KIND_E : uint32_t
{
    LOG2LOG_RANGE_TO_RANGECMP = 0,
    LOG2LOG_RANGECMP_TO_RANGE = 1,
    LOG2LOG_TO_TEXT = 2,
    LOG2LOG_TO_BINARY = 3,
    LOG2LOG_RANGE_TO_RANGECMP4 = 4,
    LOG2LOG_RANGECMP4_TO_RANGE = 5,
    LOG2LOG_RANGE_TEXT_TO_BINARY = 6,
    LOG2LOG_BINEX_TO_LOG = 7,
    LOG2LOG_KIND_COUNT = 8,
};

// The log type that kinds 2 and 3 write, by message ID: its text formatter
// (Format) and its binary re-encoder (Copy), from the rows of the registry
// (the codec's own when null) that log-to-log conversion takes: the range
// logs, ephemerides, positions, velocities, XYZ, TIME, HEADING, IMU and INS
// logs, IONUTC and the reference stations. Null for other IDs.
const LOG_TYPE_T* GetLogFormatter(uint16_t nMessageId, const LOG_REGISTRY_T* pRegistry = nullptr);

// Progress report: the source bytes read so far, after each block. A
// non-zero result stops the conversion there.
using LogProgressFn = int (*)(void* pContext, uint64_t nBytesRead);

enum LOG2LOG_STATUS_E : int
{
    LOG2LOG_OK = 0,
    LOG2LOG_FAILED = -1,       // a kind outside 0-7 or a null file
    LOG2LOG_READ_FAILED = -2,  // the source could not be read to its end (what was read is converted)
    LOG2LOG_WRITE_FAILED = -3, // the output could not be written whole
    LOG2LOG_STOPPED = -4,      // the progress report stopped it before the end of the source
};

// Converts the whole source into the output by kind. bBinaryInput: the job's
// source was found to be binary (kind 6 then writes nothing). The logs are
// those of the registry (the codec's own when null). Returns a
// LOG2LOG_STATUS_E. pPhases, when given, receives what compression (kinds 0
// and 4) did to carrier phases.
int ConvertLogToLog(FILE* pSrc, FILE* pOut, LOG2LOG_KIND_E eKind, uint32_t bBinaryInput, LogProgressFn pfnProgress,
                    void* pContext, const LOG_REGISTRY_T* pRegistry = nullptr,
                    CompressedPhaseCounts* pPhases = nullptr);
