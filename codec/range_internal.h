// Helpers shared by the range log family (range_logs.cpp, rangecmp4.cpp); not
// part of the codec's interface.
#pragma once

#include <cmath>
#include <cstdint>

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
