// Helpers shared by the range log family (range_logs.cpp, rangecmp4.cpp); not
// part of the codec's interface.
#pragma once

#include <cmath>
#include <cstdint>

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
