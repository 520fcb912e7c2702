// Readers of a RINEX-to-log job. Each reads the open source and writes
// receiver logs to the engine's current output stream (GetConvertOutputFile);
// a negative result is a failure.
#pragma once

#include <cstdint>
#include <cstdio>

// RINEX observation file to range logs; nOption is the job's option box state.
int ConvertRinexObsToRange(FILE* pSrc, uint32_t nOption);
// RINEX navigation file to ephemeris logs; cLetter is the last letter of the
// source name (C, G, L or N, either case).
int ConvertRinexNavToLog(FILE* pSrc, char cLetter);
