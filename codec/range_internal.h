// Helpers shared by the range log family (range_logs.cpp, rangecmp4.cpp); not
// part of the codec's interface.
#pragma once

#include <cmath>
#include <cstdint>

#include "codec/gnss_time.h"
#include "codec/log_format.h"

// Every range log body opens with a u32 count: of records, or of data bytes in RANGECMP4.
inline constexpr uint32_t RANGE_BODY_OFFSET = sizeof(BinaryLogHeader) + 4;

// Truncates toward zero and limits to [nLo, nHi]; NaN gives 0.
inline int64_t TruncClamp(double dValue, int64_t nLo, int64_t nHi)
{
    if (std::isnan(dValue))
        return 0;
    if (dValue <= double(nLo))
        return nLo;
    if (dValue >= double(nHi))
        return nHi;
    return static_cast<int64_t>(dValue);
}

// double to integer without the undefined behaviour of an out-of-range cast:
// false when the value truncated toward zero lies outside [nLo, nHi].
inline bool TruncFits(double dValue, int64_t nLo, int64_t nHi, int64_t* pOut)
{
    if (!(dValue > double(nLo) - 1.0 && dValue < double(nHi) + 1.0)) // also rejects NaN
        return false;
    *pOut = static_cast<int64_t>(dValue);
    return *pOut >= nLo && *pOut <= nHi;
}

// Rounds half away from zero and limits to [nLo, nHi]; NaN gives 0.
inline int64_t RoundClamp(double dValue, int64_t nLo, int64_t nHi)
{
    if (std::isnan(dValue))
        return 0;
    const double r = std::round(dValue);
    if (r <= double(nLo))
        return nLo;
    if (r >= double(nHi))
        return nHi;
    return static_cast<int64_t>(r);
}

// As TruncFits, rounding half away from zero: false when the rounded value
// lies outside [nLo, nHi].
inline bool RoundFits(double dValue, int64_t nLo, int64_t nHi, int64_t* pOut)
{
    if (!(dValue > double(nLo) - 1.0 && dValue < double(nHi) + 1.0)) // also rejects NaN
        return false;
    const int64_t r = static_cast<int64_t>(std::round(dValue));
    if (r < nLo || r > nHi)
        return false;
    *pOut = r;
    return true;
}

// The arc record of one signal in a stream's phase arcs (null when the table
// is full), keyed by tracking-status system, signal type and PRN.
struct RANGE_PHASE_ARC_T;
struct RANGE_PHASE_ARCS_T;
RANGE_PHASE_ARC_T* FindPhaseArc(RANGE_PHASE_ARCS_T* pArcs, uint32_t uStatus, uint16_t uPrn);

// Whether the phase of a record continues the arc its record holds: the arc
// had a phase and the lock time grew by the time elapsed since.
bool PhaseArcContinues(const RANGE_PHASE_ARC_T& arc, double dLockTime, int64_t nTimeMs);

// Records the record's phase, lock time and time as the arc's latest.
void UpdatePhaseArc(RANGE_PHASE_ARC_T* pArc, bool bPhase, double dLockTime, int64_t nTimeMs, int64_t nShift);

// Milliseconds since GPS week 0 of a log header's time.
inline int64_t LogTimeMs(const BinaryLogHeader& h)
{
    return int64_t(h.Week) * GNSS_MS_PER_WEEK + int64_t(h.Milliseconds);
}

// Header and count of a log of nLength bytes whose message length holds at
// least the count and fits the given length.
bool ReadRangeLog(const void* pLog, int32_t nLength, BinaryLogHeader* pHeader, uint32_t* pCount);

// The header of a log held in memory (no length given) whose message length
// holds its count of nUnit-byte items; null otherwise.
const BinaryLogHeader* CountedRecordHeader(const void* pLog, uint32_t nUnit, uint32_t* pCount);

// Writes the header, its message length set to 4 + nBodyBytes, and the count in
// front of a body already at pOut + RANGE_BODY_OFFSET. Returns 1.
int CloseRangeLog(BinaryLogHeader* pHeader, uint32_t nCount, uint32_t nBodyBytes, void* pOut, int32_t* pOutLength);

// Packing gives the log the packed ID and keeps a RANGEH source in the
// LOG_TYPE_FROM_RANGEH flag; expanding gives RANGEH back to such a log (the
// monitor always expands to RANGE).
void SetPackedRangeId(BinaryLogHeader* pHeader, uint16_t nPackedId);
void SetExpandedRangeId(BinaryLogHeader* pHeader);

// A counted log as a wire log (CopyBinaryLogToWire), with the message ID given.
int CopyCountedRecord(const void* pLog, uint32_t nUnit, int32_t nMessageId, int32_t nCapacity, uint8_t* pOut,
                      int32_t* pOutLength);
