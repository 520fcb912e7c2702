// Range observations that the converter makes from other formats (RINEX
// observation files, BINEX records): which tracking status an observation
// of a signal code gets, and the RANGE log that holds an epoch of them.
#pragma once

#include <cstdint>

#include "codec/range_logs.h"

// The tracking status of a converted observation: tracking state 4, channel
// 0 (DropDuplicateSignals numbers the channels), phase lock and code lock,
// parity known, correlator 2, grouping, and system, signal type and
// primary-signal bit of the code for the range-log PRN (GLONASS slot + 37,
// QZSS PRN + 192) in the signal mode (1 or 2). Returns 1, or 0 when range logs
// have no signal type for the code: the type it maps to must name the same
// signal (same system, band and component) as the code range logs use for
// that type, so that no signal is written under the name of another.
int ConvertedTrackingStatus(uint32_t nCode, uint16_t nPrn, uint32_t nSignalMode, int bPhaseLock, int bCodeLock,
                            int bHalfCycleAdded, uint32_t* pStatus);

// Keeps one observation of each satellite and signal type: the first, or a
// later one whose code is the one range logs use for that type (an exact
// match replaces a near one). The records of one satellite must stand
// together. Returns the number kept; the kept records close up in their order,
// and pCodes (the signal code of each record) alike, and each record's place
// becomes its channel number.
uint32_t DropDuplicateSignals(RANGE_OBS_T* pObs, uint16_t* pCodes, uint32_t nCount, uint32_t nSignalMode);
