// Ephemeris dumps of a range-log-to-RINEX job: every ephemeris log that is new
// for its satellite, as it stood in the source (text line or binary frame), in
// one file per system beside the job's outputs: "GPSEPHEM.log",
// "GLOEPHEM.log", "GALEPHEM.log", "BDSEPHEM.log", "QZSEPHEM.log". A job
// starts each file afresh when it first writes to it, so the files hold each
// distinct ephemeris of that job once; they are written beside what stands
// at their paths and take its place only when the job keeps them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "codec/signals.h"
#include "converter/engine/job_output.h"

struct EphemDump
{
    std::string sDirectory; // "" for the current directory
    CJobOutput aOutputs[GNSS_SYSTEM_COUNT];
    FILE* apFiles[GNSS_SYSTEM_COUNT] = {};
    uint32_t nFailures = 0; // records that could not be written
};

// File name of the dump of a system index; null for SBAS and unknown indexes.
const char* EphemDumpFileName(uint32_t nSystem);

// The folder of an output path ("" when it names no folder).
std::string EphemDumpDirectoryOf(const char* pOutputPath);

// Appends one raw log to the dump of a system. Returns 0, or -1 for a system
// without dump or when the file cannot be created or written (counted in
// nFailures).
int AppendEphemLogFile(EphemDump* pDump, uint32_t nSystem, const void* pBytes, uint32_t nLength);

// Closes the files: bKeep puts each in place of what stood at its path,
// otherwise they are discarded. Returns 0, or -1 when a kept one could not
// be completed (counted in nFailures; what stood there stays).
int CloseEphemDump(EphemDump* pDump, bool bKeep = true);
