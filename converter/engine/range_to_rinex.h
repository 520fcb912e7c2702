// Receiver range logs to RINEX: one pass over a log file (text, binary or
// both) that writes the range logs of one kind as a RINEX observation file,
// the ephemeris logs as RINEX navigation files (one per system, or one mixed
// file) and each new ephemeris into the dumps beside the outputs.
#pragma once

#include <cstdint>

#include "codec/signals.h"
#include "converter/engine/log_source.h"
#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_obs_header.h"

struct RangeToRinexJob
{
    const char* pSrcPath = nullptr;
    const char* pObsPath = nullptr;
    // Navigation outputs by system index; with bMixedNav the one mixed file is
    // apNavPaths[GNSS_SYSTEM_GPS]. RINEX 2 has no mixed navigation file: below
    // version 3.00 bMixedNav is not taken and each system gets its own.
    const char* apNavPaths[GNSS_SYSTEM_COUNT] = {};
    bool bMixedNav = false;
    uint16_t nObsMessageId = 0xFFFF; // RANGE 43, RANGEH 6005, BASERANGE 283, RANGECMP 140; 0xFFFF any of them
    uint32_t nSysMask = 0;           // 1 GPS, 2 GLONASS, 4 Galileo, 8 BeiDou, 32 QZSS
    uint32_t nSignalMode = 2;        // BeiDou numbering of the signal types
    uint32_t nNavHeaderEdit = 0;     // non-zero: program and agency from the navigation header record

    // Time window (GPS week and ms of week, both ends included) and sample rate.
    bool bExtract = false;
    uint32_t nStartWeek = 0;
    uint32_t nStartMs = 0;
    uint32_t nEndWeek = 0;
    uint32_t nEndMs = 0;
    bool bDecimate = false;
    double dInterval = 0.0; // s

    RinexObsHeader* pObsHeader = nullptr; // the header is written from it; the writer completes it
    const RinexNavHeader* pNavHeader = nullptr;
    int32_t nLeapMs = 0; // the job's leap value, for a GLONASS file whose header record gives none

    // Threads that decode and format the epochs: 0 as many as the cores the
    // job may run on, 1 the calling thread alone; 8 at most. The files are
    // the same byte for byte whatever the count.
    uint32_t nThreads = 0;

    // After every block read; a non-zero result ends the job early.
    LogSourceProgressFn pProgress = nullptr;
    void* pProgressContext = nullptr;
};

struct RangeToRinexCounts
{
    LogSourceCounts Source;
    uint32_t nRangeLogs; // range logs of the wanted kind that decoded, time status 21 or above
    uint32_t nEpochsWritten;
    uint32_t nEpochsFiltered; // outside the time window or the sample rate
    uint32_t nEpochsRepeated; // same time as the epoch written before
    uint32_t nEpochsEmpty;    // no observation of a system the file holds
    uint32_t nEphemerides;    // navigation records written
    uint32_t nEphemeridesRepeated;
    uint32_t nUndecodable;  // logs of a wanted kind whose body did not decode
    uint32_t nDumpFailures; // ephemerides that could not be dumped
};

// How far an epoch may lie from a multiple of the sample interval and still
// be kept for it: receivers whose clock steps put epochs a few milliseconds
// after the mark. Less than half the interval, so that the epochs of two
// marks never meet.
enum : uint32_t
{
    SAMPLE_TOLERANCE_MS = 5,
};

// Whether an epoch passes the job's time window and sample rate. The rate is
// the interval rounded to whole milliseconds (below 1 ms it keeps every
// epoch); an epoch passes it when it lies within the tolerance of a multiple
// of the interval, counted from the start of its GPS week. pMark, when given,
// receives that multiple in ms since GPS week 0 (-1 without a rate): of the
// epochs of one mark only the first is written.
bool SampleFilterPasses(const RangeToRinexJob& job, uint32_t nWeek, uint32_t nMsOfWeek, int64_t* pMark = nullptr);

// Runs the job. The header's first and last observation are those of the
// epochs written: the header is written with the first epoch and its TIME OF
// LAST OBS completed when the file is closed (not in an output that cannot
// seek, such as a pipe). The files are written beside what stands at their
// paths and take its place only when the job succeeds (CJobOutput): a job
// that fails leaves earlier files, dumps too, as they were. Returns 0;
// CONVERT_ERR_SOURCE, CONVERT_ERR_OBS_OUTPUT or a navigation code when a file
// cannot be opened or created, and the file's "could not be written" status
// (CONVERT_ERR_OBS_WRITE ...) when it was created but could not be written
// whole; CONVERT_STOPPED when the progress report stopped it;
// CONVERT_NO_EPOCH when no observation epoch was written (then none of its
// files is kept); CONVERT_EPHEM_DUMP_FAILED when everything else succeeded
// but an ephemeris could not be dumped.
int ConvertRangeLogToRinex(const RangeToRinexJob& job, RangeToRinexCounts* pCounts = nullptr);
