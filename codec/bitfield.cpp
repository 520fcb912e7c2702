#include "codec/bitfield.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "codec/text_helpers.h"

namespace
{
inline uint64_t LowMask(uint32_t nWidth) { return nWidth >= 64 ? ~0ull : (1ull << nWidth) - 1; }

// Field geometry: first byte, bit offset inside it, bytes spanned (1-9).
struct Span
{
    uint32_t nFirst, nShift, nBytes;
};

inline Span SpanOf(uint32_t nPos, uint32_t nWidth)
{
    const uint32_t s = nPos % 8;
    return {nPos / 8, s, (s + nWidth + 7) / 8};
}

uint64_t ReadMsb(const uint8_t* p, uint32_t nPos, uint32_t nWidth)
{
    const Span f = SpanOf(nPos, nWidth);
    const uint8_t* b = p + f.nFirst;
    const uint32_t k = f.nBytes < 8 ? f.nBytes : 8;
    uint64_t acc = 0;
    for (uint32_t i = 0; i < k; ++i)
        acc = (acc << 8) | b[i];
    uint64_t v;
    if (f.nBytes <= 8)
        v = acc >> (k * 8 - f.nShift - nWidth);
    else
    {
        const uint32_t r = f.nShift + nWidth - 64; // bits of the field in the ninth byte
        v = (acc << r) | (b[8] >> (8 - r));
    }
    return v & LowMask(nWidth);
}

uint64_t ReadLsb(const uint8_t* p, uint32_t nPos, uint32_t nWidth)
{
    const Span f = SpanOf(nPos, nWidth);
    const uint8_t* b = p + f.nFirst;
    const uint32_t k = f.nBytes < 8 ? f.nBytes : 8;
    uint64_t acc = 0;
    for (uint32_t i = 0; i < k; ++i)
        acc |= static_cast<uint64_t>(b[i]) << (8 * i);
    uint64_t v = acc >> f.nShift;
    if (f.nBytes == 9)
        v |= static_cast<uint64_t>(b[8]) << (64 - f.nShift);
    return v & LowMask(nWidth);
}

uint32_t Finish(uint64_t v, uint32_t nWidth, int bUnsigned, uint64_t* pOut)
{
    if (!bUnsigned && nWidth < 64 && ((v >> (nWidth - 1)) & 1))
        v |= ~LowMask(nWidth);
    if (pOut != nullptr)
        *pOut = v;
    return static_cast<uint32_t>(v);
}

uint64_t ValueBits(const void* pValue, uint32_t nWidth)
{
    uint64_t v = 0;
    std::memcpy(&v, pValue, (nWidth + 7) / 8);
    return v & LowMask(nWidth);
}

// Shared by ExtractInt1 and ExtractInt2: rounded magnitude of x * 2^s, or
// false when it exceeds nLimit (after printing the trace).
bool RoundedMagnitude(double x, uint32_t nWidth, int32_t nScale, double dLimit, const char* pTrace, uint64_t* pM)
{
    int nExp = 0;
    std::frexp(x, &nExp);
    // Halves away from zero; floor of twice the magnitude is exact.
    const double t = std::floor(std::ldexp(std::fabs(x), nScale + 1));
    double m = std::ceil(t / 2.0);
    if (std::isfinite(m) && m <= dLimit)
    {
        *pM = static_cast<uint64_t>(m);
        return true;
    }
    DebugPrintf(pTrace, nScale + nExp, nWidth, nScale, x);
    m = std::isfinite(m) ? std::fmod(m, std::ldexp(1.0, static_cast<int>(nWidth))) : 0.0;
    *pM = static_cast<uint64_t>(m);
    return false;
}
} // namespace

uint32_t ExtractBitsMsb(const void* pBuffer, uint32_t nPos, uint32_t nWidth, int bUnsigned, uint64_t* pOut)
{
    if (pBuffer == nullptr || nWidth < 1 || nWidth > 64)
        return 0;
    return Finish(ReadMsb(static_cast<const uint8_t*>(pBuffer), nPos, nWidth), nWidth, bUnsigned, pOut);
}

uint32_t ExtractBitsLsb(const void* pBuffer, uint32_t nPos, uint32_t nWidth, int bUnsigned, uint64_t* pOut)
{
    if (pBuffer == nullptr || nWidth < 1 || nWidth > 64)
        return 0;
    return Finish(ReadLsb(static_cast<const uint8_t*>(pBuffer), nPos, nWidth), nWidth, bUnsigned, pOut);
}

uint32_t ExtractBitsMsb32(const void* pBuffer, uint32_t nPos, uint32_t nWidth)
{
    return ExtractBitsMsb(pBuffer, nPos, nWidth, 1);
}

void WriteBitsMsb(void* pBuffer, uint32_t nPos, uint32_t nWidth, const void* pValue)
{
    if (pBuffer == nullptr || pValue == nullptr || nWidth < 1 || nWidth > 64)
        return;
    const uint64_t v = ValueBits(pValue, nWidth);
    const Span f = SpanOf(nPos, nWidth);
    uint8_t* b = static_cast<uint8_t*>(pBuffer) + f.nFirst;
    const uint32_t k = f.nBytes < 8 ? f.nBytes : 8;
    uint64_t acc = 0;
    for (uint32_t i = 0; i < k; ++i)
        acc = (acc << 8) | b[i];
    if (f.nBytes <= 8)
    {
        const uint32_t nShift = k * 8 - f.nShift - nWidth;
        acc = (acc & ~(LowMask(nWidth) << nShift)) | (v << nShift);
    }
    else
    {
        const uint32_t r = f.nShift + nWidth - 64;
        acc = (acc & ~LowMask(64 - f.nShift)) | (v >> r);
        const uint8_t low = static_cast<uint8_t>(v & LowMask(r));
        b[8] = static_cast<uint8_t>((b[8] & (0xFFu >> r)) | (low << (8 - r)));
    }
    for (uint32_t i = k; i-- > 0;)
    {
        b[i] = static_cast<uint8_t>(acc);
        acc >>= 8;
    }
}

void WriteBitsLsb(void* pBuffer, uint32_t nPos, uint32_t nWidth, const void* pValue)
{
    if (pBuffer == nullptr || pValue == nullptr || nWidth < 1 || nWidth > 64)
        return;
    const uint64_t v = ValueBits(pValue, nWidth);
    const Span f = SpanOf(nPos, nWidth);
    uint8_t* b = static_cast<uint8_t*>(pBuffer) + f.nFirst;
    const uint32_t k = f.nBytes < 8 ? f.nBytes : 8;
    uint64_t acc = 0;
    for (uint32_t i = 0; i < k; ++i)
        acc |= static_cast<uint64_t>(b[i]) << (8 * i);
    if (f.nBytes <= 8)
        acc = (acc & ~(LowMask(nWidth) << f.nShift)) | (v << f.nShift);
    else
    {
        const uint32_t r = f.nShift + nWidth - 64;
        acc = (acc & LowMask(f.nShift)) | (v << f.nShift);
        b[8] = static_cast<uint8_t>((b[8] & ~LowMask(r)) | (v >> (64 - f.nShift)));
    }
    for (uint32_t i = 0; i < k; ++i)
        b[i] = static_cast<uint8_t>(acc >> (8 * i));
}

void SignExtend32(uint32_t* pValue, uint32_t nWidth)
{
    if (pValue == nullptr || nWidth == 0 || nWidth >= 32)
        return;
    const uint32_t nUp = 32 - nWidth;
    *pValue = static_cast<uint32_t>(static_cast<int32_t>(*pValue << nUp) >> nUp);
}

uint32_t EncodeBinexUbnxi(uint32_t v, uint8_t* pOut)
{
    if (pOut == nullptr || v > 0x1FFFFFFFu)
        return 0;
    if (v <= 0x7F)
    {
        pOut[0] = static_cast<uint8_t>(v);
        return 1;
    }
    if (v <= 0x3FFF)
    {
        pOut[0] = static_cast<uint8_t>((v & 0x7F) | 0x80);
        pOut[1] = static_cast<uint8_t>((v >> 7) & 0x7F);
        return 2;
    }
    if (v <= 0x1FFFFF)
    {
        pOut[0] = static_cast<uint8_t>((v & 0x7F) | 0x80);
        pOut[1] = static_cast<uint8_t>(((v >> 7) & 0x7F) | 0x80);
        pOut[2] = static_cast<uint8_t>((v >> 14) & 0x7F);
        return 3;
    }
    pOut[0] = static_cast<uint8_t>((v & 0x7F) | 0x80);
    pOut[1] = static_cast<uint8_t>(((v >> 7) & 0x7F) | 0x80);
    pOut[2] = static_cast<uint8_t>(((v >> 14) & 0x7F) | 0x80);
    pOut[3] = static_cast<uint8_t>((v >> 21) & 0xFF);
    return 4;
}

double ScaleByPow2(int32_t i, uint32_t n) { return std::ldexp(static_cast<double>(i), -static_cast<int>(n)); }

double ScaleByPow2Unsigned(uint32_t u, uint32_t n) { return std::ldexp(static_cast<double>(u), -static_cast<int>(n)); }

double MultiplyByPow2(double x, uint32_t n) { return std::ldexp(x, static_cast<int>(n)); }

float ScaleByPow2FloatSigned(int32_t i, uint32_t n) { return std::ldexp(static_cast<float>(i), -static_cast<int>(n)); }

float ScaleByPow2Float(uint32_t u, uint32_t n) { return std::ldexp(static_cast<float>(u), -static_cast<int>(n)); }

int32_t ExtractInt1(double x, uint32_t nWidth, int32_t nScale)
{
    if (x == 0.0 || nWidth < 1 || nWidth > 32)
        return 0;
    const bool bNegative = x < 0;
    // Two's complement holds one more negative value than positive ones.
    const double dLimit = std::ldexp(1.0, static_cast<int>(nWidth) - 1) - (bNegative ? 0.0 : 1.0);
    uint64_t m = 0;
    RoundedMagnitude(x, nWidth, nScale, dLimit, "Err ExtractInt1 Overflow %d %u %d %f\n", &m);
    const uint32_t u = static_cast<uint32_t>(m);
    return static_cast<int32_t>(bNegative ? 0u - u : u);
}

uint32_t ExtractInt2(double x, uint32_t nWidth, int32_t nScale)
{
    if (x == 0.0 || nWidth < 1 || nWidth > 32)
        return 0;
    const double dLimit = std::ldexp(1.0, static_cast<int>(nWidth) - 1) - 1.0;
    uint64_t m = 0;
    RoundedMagnitude(x, nWidth, nScale, dLimit, "Err ExtractInt2 Overflow %d %u %d %f\n", &m);
    uint32_t u = static_cast<uint32_t>(m);
    if (x < 0)
        u |= 1u << (nWidth - 1);
    return u;
}

uint32_t PopCount32(uint32_t v) { return static_cast<uint32_t>(__builtin_popcount(v)); }

uint32_t PopCount64(uint64_t v) { return static_cast<uint32_t>(__builtin_popcountll(v)); }

uint32_t DecimalDigitsToBits(uint32_t v)
{
    uint32_t nBits = 0;
    for (uint32_t k = 0; v != 0; ++k, v /= 10)
        if (v % 10 != 0)
            nBits |= 1u << k;
    return nBits;
}

uint16_t IntSqrt(uint32_t v)
{
    uint32_t nRest = v, nRoot = 0, nBit = 1u << 30;
    while (nBit > nRest)
        nBit >>= 2;
    while (nBit != 0)
    {
        if (nRest >= nRoot + nBit)
        {
            nRest -= nRoot + nBit;
            nRoot = (nRoot >> 1) + nBit;
        }
        else
            nRoot >>= 1;
        nBit >>= 2;
    }
    return static_cast<uint16_t>(nRoot);
}

int32_t Log10Times100(uint32_t v)
{
    return v == 0 ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(std::lround(100.0 * std::log10(v)));
}

int32_t Log10Times1000(uint32_t v)
{
    return v == 0 ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(std::lround(1000.0 * std::log10(v)));
}
