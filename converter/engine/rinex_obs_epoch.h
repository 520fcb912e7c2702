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

// The lock time and time each signal of each satellite had when last
// written, behind the loss-of-lock indicators: a lock time that grew less
// than the time elapsed since (or fell) means the receiver lost and regained
// lock in between, also when it happened again at once or the signal comes
// back after a gap. A job keeps one from its first epoch to its last;
// value-initialised it holds none.
struct RinexLockHistory
{
    struct Sat
    {
        uint16_t aCode[8];
        double aLock[8];    // s
        int64_t aTimeMs[8]; // since GPS week 0
        bool aPhase[8];     // the phase was locked
        uint8_t nUsed;
        uint8_t nNext;
    };
    Sat aSats[OBS_MAX_SATS]; // by satellite entry, as in the epoch store
};

// Formats the epoch (nSatCount of the epoch header = entries of pIndex) into
// pBuffer; every line ends with one LF. Returns the number of bytes, 0 when
// no satellite has an observation the header announced, or -1 when the text
// does not fit. Updates the lock history with the epoch's lock times.
int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                       RinexLockHistory* pLocks, char* pBuffer, uint32_t nCapacity);

// Formats the epoch and writes it to the open file. Returns 0, or -1 when the
// text could not be formatted or written.
int WriteRinexObsEpochBlock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                            RinexLockHistory* pLocks, FILE* pFile);
