// The RINEX observation epoch writer: one epoch of the epoch store as RINEX 3
// (versions 300 to 304) or RINEX 2 (below 300) text, with the columns the
// observation header announced.
#pragma once

#include <cstdint>
#include <cstdio>

#include "converter/engine/epoch_store.h"
#include "converter/engine/rinex_obs_header.h"

enum : uint32_t
{
    // Room for the largest epoch: every satellite with every type of its system.
    RINEX_EPOCH_TEXT_CAPACITY = 1u << 20,
};

// Formats the epoch (nSatCount of the epoch header = entries of pIndex) into
// pBuffer; every line ends with one LF. Returns the number of bytes, 0 when
// no satellite has an observation the header announced, or -1 when the text
// does not fit. Keeps the lock history behind the loss-of-lock indicators.
int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                       char* pBuffer, uint32_t nCapacity);

// Formats the epoch and writes it to the open file. Returns 0, or -1 when the
// text could not be formatted or written.
int WriteRinexObsEpochBlock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                            FILE* pFile);

// Forgets the lock times seen so far; a job starts with it.
void ResetRinexLockHistory();
