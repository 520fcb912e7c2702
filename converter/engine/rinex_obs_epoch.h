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

// What the writer takes from the header, the same for every epoch of a job:
// the columns of a RINEX 2 record, the RINEX 3 codes of each system's
// columns, and the longest record of one satellite. A job makes it once
// (PrepareRinexEpochLayout) and its threads share it; the header must keep
// what it was made from, but for the time system offset, which each epoch
// reads from the header. The calls that take the header make one on the spot.
struct RinexEpochLayout
{
    struct Rinex2Column
    {
        char szType[3];
        int nSystem; // the system whose group holds it in 2.12; -1 every system
    };
    enum : uint32_t
    {
        MAX_RINEX2_COLUMNS = 3 * RINEX_MAX_TYPES, // 2.12: the GPS, GLONASS and Galileo groups
    };

    const RinexObsHeader* pHeader = nullptr;
    int32_t nVersion = 0; // the version it was made for
    uint32_t nRinex2Columns = 0;
    Rinex2Column aRinex2Columns[MAX_RINEX2_COLUMNS];
    char aCodes[OBS_SYSTEMS][RINEX_MAX_CODES][3]; // RinexObsCode of each column's code
    uint32_t nLongestRecord = 0;                  // bytes
};

void PrepareRinexEpochLayout(const RinexObsHeader* pHeader, RinexEpochLayout* pLayout);

// Formats the epoch (nSatCount of the epoch header = entries of pIndex) into
// pBuffer; every line ends with one LF. Returns the number of bytes, 0 when
// no satellite has an observation the header announced, or -1 when the text
// does not fit. Updates the lock history with the epoch's lock times.
int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                       RinexLockHistory* pLocks, char* pBuffer, uint32_t nCapacity);
int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexEpochLayout& layout,
                       RinexLockHistory* pLocks, char* pBuffer, uint32_t nCapacity);

// The writer's three steps, for a job that formats epochs on several
// threads: the loss-of-lock indicators follow the lock history from epoch to
// epoch, so they are found in epoch order; which satellites get a record, and
// the text, depend on the epoch alone. WriteRinexObsEpoch is the three in a row.
// Each step that reads the header takes the job's layout in its place too.

// The loss-of-lock indicators of every signal of the epoch's satellites into
// pLli (OBS_SIGNALS_PER_SAT per index entry); updates the lock history.
void RinexEpochLossOfLock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, RinexLockHistory* pLocks,
                          uint8_t* pLli);

// The index entries of the satellites that have an observation the header
// announced, in index order, into pWritten (room for the epoch's satellites).
// Returns their count; 0 gives an empty epoch.
uint32_t ListRinexEpochSatellites(const ConvertState* pEpoch, const EpochIndexEntry* pIndex,
                                  const RinexObsHeader* pHeader, uint16_t* pWritten);
uint32_t ListRinexEpochSatellites(const ConvertState* pEpoch, const EpochIndexEntry* pIndex,
                                  const RinexEpochLayout& layout, uint16_t* pWritten);

// The most bytes FormatRinexObsEpoch writes for the epoch with nWritten
// satellites (its capacity must exceed them by the NUL), or -1 when it fails
// whatever the room: the epoch's time has no calendar in the header's time
// system (whose offset the header's text sets).
int RinexEpochTextBound(const ConvertState* pEpoch, const RinexObsHeader* pHeader, uint32_t nWritten);
int RinexEpochTextBound(const ConvertState* pEpoch, const RinexEpochLayout& layout, uint32_t nWritten);

// The epoch's text from the indicators and the list: the epoch line, then the
// records of the listed satellites. Returns the bytes, 0 for an empty list, or
// -1 when the text does not fit or the time cannot be converted.
int FormatRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                        const uint8_t* pLli, const uint16_t* pWritten, uint32_t nWritten, char* pBuffer,
                        uint32_t nCapacity);
int FormatRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexEpochLayout& layout,
                        const uint8_t* pLli, const uint16_t* pWritten, uint32_t nWritten, char* pBuffer,
                        uint32_t nCapacity);

// Formats the epoch and writes it to the open file. Returns 0, or -1 when the
// text could not be formatted or written.
int WriteRinexObsEpochBlock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                            RinexLockHistory* pLocks, FILE* pFile);
