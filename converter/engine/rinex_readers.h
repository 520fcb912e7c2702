// Readers of a RINEX-to-log job. Each reads the open source and writes
// receiver logs to the stream the job's context gives (GetRinexToLogFile),
// counts the bytes it reads there, stops at its stop request and takes the
// leap value and BeiDou numbering from it; a negative result is a failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "converter/engine/engine_state.h"

class CConvertContext;

// Failures of the readers.
enum RINEX_READ_E : int
{
    RINEX_READ_NO_HEADER = -1,     // no header of the file's kind
    RINEX_READ_NO_RECORD = -2,     // a navigation file without a record of its system
    RINEX_READ_WRITE_FAILED = -3,  // the output stream could not be written
    RINEX_READ_SOURCE_FAILED = -4, // the source could not be read to its end
    RINEX_READ_NO_TYPES = -5,      // an observation header without types of observation
};

// RINEX observation file to range logs; nOption is the job's option box state
// (non-zero: RANGECMP). pPhases, when given, receives what RANGECMP's
// compression did to carrier phases.
int ConvertRinexObsToRange(FILE* pSrc, uint32_t nOption, CConvertContext* pContext,
                           CompressedPhaseCounts* pPhases = nullptr);
// RINEX navigation file to ephemeris logs; cLetter is the file's type letter
// (C, G, L or N, either case, as RinexSourceType and RinexFileType give it).
int ConvertRinexNavToLog(FILE* pSrc, char cLetter, CConvertContext* pContext);

// The reader a source path asks for: 'O' observation file; 'N', 'G', 'L' or
// 'C' a navigation file (GPS, GLONASS, Galileo, BeiDou in RINEX 2; any in
// RINEX 3). Short names end in the type letter ("....21O", "....21n"); RINEX 3
// long names in the system and type letters before ".rnx" ("..._MO.rnx",
// "..._GN.rnx"), any navigation file of them given as 'N'. 0 for anything else.
char RinexSourceType(const char* pPath, size_t nLength);

// The reader a RINEX file asks for, by its name and by the start of its text
// (pHead, nHeadLength bytes): as RinexSourceType, except that a file whose
// first line is a "RINEX VERSION / TYPE" line of version 2 or above is read
// as that line says. Type "O" is an observation file; a navigation file is
// 'N', or in RINEX 2, where the file holds one system, 'G' for type "G" or
// system "R" in column 41, 'L' for type "L" or system "E", 'C' for system
// "C"; a RINEX 2 "N" file that names no other system keeps the letter of a
// name that gives GPS, Galileo or BeiDou, else is GPS. A RINEX file of
// another type (meteorological, clock, SBAS navigation) or in compact RINEX
// gives 0. When the name gives a type and the header another, *pNote (when given)
// receives a line saying so; otherwise it is emptied.
char RinexFileType(const char* pPath, size_t nPathLength, const char* pHead, size_t nHeadLength,
                   std::string* pNote = nullptr);

// RinexFileType of an open source, whose start it reads and then rewinds; a
// source that cannot go back to its start (a pipe) is judged by its name
// alone. A name and a header that disagree are noted in the debug log.
char RinexSourceFileType(FILE* pSrc, const char* pPath, size_t nPathLength);
