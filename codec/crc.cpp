#include "codec/crc.h"

#include <array>
#include <cstring>
#include <zlib.h>

namespace
{
constexpr std::array<uint32_t, 256> MakeCrc32Table()
{
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i)
    {
        uint32_t r = i;
        for (int k = 0; k < 8; ++k)
            r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        t[i] = r;
    }
    return t;
}

// Byte table of a CRC register of nWidth bits (16 to 32) that shifts left, most
// significant bit first; uPoly without its x^nWidth term.
constexpr std::array<uint32_t, 256> MakeMsbFirstTable(uint32_t nWidth, uint32_t uPoly)
{
    const uint32_t uTop = 1u << (nWidth - 1);
    const uint32_t uMask = uTop | (uTop - 1);
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i)
    {
        uint32_t r = i << (nWidth - 8);
        for (int k = 0; k < 8; ++k)
            r = ((r & uTop) ? (r << 1) ^ uPoly : r << 1) & uMask;
        t[i] = r;
    }
    return t;
}

constexpr auto kCrc32Table = MakeCrc32Table();
constexpr auto kCrc24qTable = MakeMsbFirstTable(24, 0x864CFBu);
constexpr auto kCrc16Table = MakeMsbFirstTable(16, 0x1021u);

static_assert(kCrc32Table[1] == 0x77073096u && kCrc32Table[128] == 0xEDB88320u, "CRC-32 table");
static_assert(kCrc16Table[1] == 0x1021u && kCrc16Table[128] == 0x9188u, "CRC-16 table");
static_assert(kCrc24qTable[1] == 0x864CFBu && kCrc24qTable[255] == 0xDD8538u, "CRC-24Q table");

// Slicing-by-8 tables: eight bytes per step, the register result of the byte
// loop. CRC-32 shifts right and takes the bytes least significant first;
// CRC-24Q is run as a 32-bit register holding the CRC in its top 24 bits, so
// that it shifts left a byte at a time like CRC-32 does right.
struct SliceTables
{
    uint32_t t[8][256];
};

constexpr SliceTables MakeCrc32Slices()
{
    SliceTables s{};
    for (int i = 0; i < 256; ++i)
        s.t[0][i] = kCrc32Table[i];
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i)
            s.t[k][i] = (s.t[k - 1][i] >> 8) ^ s.t[0][s.t[k - 1][i] & 0xFF];
    return s;
}

constexpr SliceTables MakeCrc24qSlices()
{
    SliceTables s{};
    for (int i = 0; i < 256; ++i)
        s.t[0][i] = kCrc24qTable[i] << 8;
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i)
            s.t[k][i] = (s.t[k - 1][i] << 8) ^ s.t[0][s.t[k - 1][i] >> 24];
    return s;
}

constexpr SliceTables kCrc32Slices = MakeCrc32Slices();
constexpr SliceTables kCrc24qSlices = MakeCrc24qSlices();

inline uint32_t LoadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

inline uint32_t LoadBe32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// From this length on zlib's crc32 is faster than the tables here (it also
// takes whole machine words, in several lanes at once).
constexpr int32_t kZlibFrom = 512;
} // namespace

uint32_t Crc32Update(uint32_t uCrc, const void* pData, int32_t nLength)
{
    if (pData == nullptr || nLength < 1)
        return uCrc;
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    if (nLength >= kZlibFrom)
    {
        // zlib inverts the register on the way in and out; this CRC does not.
        return ~static_cast<uint32_t>(crc32(~uCrc & 0xFFFFFFFFu, p, static_cast<uInt>(nLength)));
    }
    uint32_t r = uCrc;
    int32_t n = nLength;
    const auto& t = kCrc32Slices.t;
    while (n >= 8)
    {
        const uint32_t a = r ^ LoadLe32(p);
        const uint32_t b = LoadLe32(p + 4);
        r = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^ t[3][b & 0xFF] ^
            t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0)
        r = (r >> 8) ^ kCrc32Table[(r ^ *p++) & 0xFF];
    return r;
}

uint32_t Crc32Compute(const void* pData, int32_t nLength) { return nLength < 1 ? 0 : Crc32Update(0, pData, nLength); }

int32_t Crc16Compute(const void* pData, int32_t nLength)
{
    if (pData == nullptr || nLength < 1)
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    uint32_t r = 0;
    for (int32_t i = 0; i < nLength; ++i)
        r = ((r << 8) & 0xFFFFu) ^ kCrc16Table[(p[i] ^ (r >> 8)) & 0xFF];
    return static_cast<int32_t>(r);
}

uint8_t XorChecksum8(const void* pData, uint8_t nLength)
{
    if (pData == nullptr)
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    uint8_t x = 0;
    for (unsigned i = 0; i < nLength; ++i)
        x ^= p[i];
    return x;
}

uint32_t Crc24qCompute(const void* pData, uint32_t nLength)
{
    if (pData == nullptr)
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    // The register in the top 24 bits (see the slice tables).
    uint32_t r = 0;
    uint32_t n = nLength;
    const auto& t = kCrc24qSlices.t;
    while (n >= 8)
    {
        const uint32_t a = r ^ LoadBe32(p);
        const uint32_t b = LoadBe32(p + 4);
        r = t[7][a >> 24] ^ t[6][(a >> 16) & 0xFF] ^ t[5][(a >> 8) & 0xFF] ^ t[4][a & 0xFF] ^ t[3][b >> 24] ^
            t[2][(b >> 16) & 0xFF] ^ t[1][(b >> 8) & 0xFF] ^ t[0][b & 0xFF];
        p += 8;
        n -= 8;
    }
    while (n-- > 0)
        r = t[0][(r >> 24) ^ *p++] ^ (r << 8);
    return r >> 8;
}

bool Crc24qCheck(const void* pFrame, uint32_t nLength)
{
    if (pFrame == nullptr || nLength < 6)
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(pFrame);
    const uint32_t uStored =
        (static_cast<uint32_t>(p[nLength - 3]) << 16) | (static_cast<uint32_t>(p[nLength - 2]) << 8) | p[nLength - 1];
    return Crc24qCompute(p, nLength - 3) == uStored;
}

namespace
{
// Bits held in 32-bit little-endian words, first bit in each word's top bit.
uint32_t Crc24qBitsRegister(const void* pWords, uint32_t nBits)
{
    const uint8_t* p = static_cast<const uint8_t*>(pWords);
    uint32_t r = 0;
    const uint32_t nBytes = nBits / 8;
    for (uint32_t i = 0; i < nBytes; ++i)
        r = kCrc24qTable[((r >> 16) & 0xFF) ^ p[i ^ 3]] ^ (r << 8);
    const uint32_t nRest = nBits % 8;
    if (nRest != 0)
    {
        const uint8_t b = p[nBytes ^ 3];
        for (uint32_t k = 0; k < nRest; ++k)
        {
            const uint32_t bit = (b >> (7 - k)) & 1u;
            const uint32_t top = (r >> 23) & 1u;
            r <<= 1;
            if (bit != top)
                r ^= 0x864CFBu;
        }
    }
    return r & 0xFFFFFFu;
}
} // namespace

uint32_t Crc24qComputeBits(const void* pWords, uint32_t nBits)
{
    return pWords == nullptr ? 0 : Crc24qBitsRegister(pWords, nBits);
}

bool Crc24qCheckBits(const void* pWords, uint32_t nBits)
{
    return pWords != nullptr && Crc24qBitsRegister(pWords, nBits) == 0;
}

// ---- MD5 (RFC 1321) ----
namespace
{
constexpr uint32_t kMd5K[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr uint8_t kMd5S[64] = {7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
                               14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
                               4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

inline uint32_t Rotl(uint32_t x, uint32_t c) { return (x << c) | (x >> (32 - c)); }

void Md5Transform(uint32_t State[4], const uint8_t Block[64])
{
    uint32_t M[16];
    for (int i = 0; i < 16; ++i)
        M[i] = static_cast<uint32_t>(Block[i * 4]) | (static_cast<uint32_t>(Block[i * 4 + 1]) << 8) |
               (static_cast<uint32_t>(Block[i * 4 + 2]) << 16) | (static_cast<uint32_t>(Block[i * 4 + 3]) << 24);
    uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    for (uint32_t i = 0; i < 64; ++i)
    {
        uint32_t f, g;
        if (i < 16)
        {
            f = (b & c) | (~b & d);
            g = i;
        }
        else if (i < 32)
        {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        }
        else if (i < 48)
        {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        }
        else
        {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t t = d;
        d = c;
        c = b;
        b = b + Rotl(a + f + kMd5K[i] + M[g], kMd5S[i]);
        a = t;
    }
    State[0] += a;
    State[1] += b;
    State[2] += c;
    State[3] += d;
}

void Md5UpdateRaw(MD5_CONTEXT_T* pCtx, const uint8_t* p, uint32_t n)
{
    uint32_t uIndex = (pCtx->Count[0] >> 3) & 0x3F;
    const uint32_t uBitsLow = pCtx->Count[0] + (n << 3);
    if (uBitsLow < pCtx->Count[0])
        pCtx->Count[1]++;
    pCtx->Count[1] += n >> 29;
    pCtx->Count[0] = uBitsLow;
    while (n > 0)
    {
        const uint32_t uTake = (64 - uIndex) < n ? (64 - uIndex) : n;
        std::memcpy(pCtx->Buffer + uIndex, p, uTake);
        uIndex += uTake;
        p += uTake;
        n -= uTake;
        if (uIndex == 64)
        {
            Md5Transform(pCtx->State, pCtx->Buffer);
            uIndex = 0;
        }
    }
}
} // namespace

void Md5Init(MD5_CONTEXT_T* pCtx)
{
    pCtx->State[0] = 0x67452301u;
    pCtx->State[1] = 0xEFCDAB89u;
    pCtx->State[2] = 0x98BADCFEu;
    pCtx->State[3] = 0x10325476u;
    pCtx->Count[0] = pCtx->Count[1] = 0;
    std::memset(pCtx->Buffer, 0, sizeof pCtx->Buffer);
}

int Md5Update(MD5_CONTEXT_T* pCtx, const void* pData, uint32_t nLength, uint8_t bWordSwap)
{
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    if (!bWordSwap)
    {
        Md5UpdateRaw(pCtx, p, nLength);
        return 0;
    }
    if (nLength % 4 != 0)
        return -1;
    for (uint32_t i = 0; i < nLength; i += 4)
    {
        const uint8_t w[4] = {p[i + 3], p[i + 2], p[i + 1], p[i]};
        Md5UpdateRaw(pCtx, w, 4);
    }
    return 0;
}

void Md5Final(MD5_CONTEXT_T* pCtx, uint8_t Digest[16], uint8_t bWordSwap)
{
    uint8_t Bits[8];
    for (int i = 0; i < 4; ++i)
    {
        Bits[i] = static_cast<uint8_t>(pCtx->Count[0] >> (8 * i));
        Bits[4 + i] = static_cast<uint8_t>(pCtx->Count[1] >> (8 * i));
    }
    const uint32_t uIndex = (pCtx->Count[0] >> 3) & 0x3F;
    const uint32_t uPad = uIndex < 56 ? 56 - uIndex : 120 - uIndex;
    static const uint8_t kPadding[64] = {0x80};
    Md5UpdateRaw(pCtx, kPadding, uPad);
    Md5UpdateRaw(pCtx, Bits, 8);
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
        {
            const int nShift = bWordSwap ? 8 * (3 - k) : 8 * k;
            Digest[i * 4 + k] = static_cast<uint8_t>(pCtx->State[i] >> nShift);
        }
}

int Md5Digest(const void* pData, uint32_t nLength, uint8_t Digest[16], uint8_t bWordSwap)
{
    if (bWordSwap && nLength % 4 != 0)
        return -1;
    MD5_CONTEXT_T ctx;
    Md5Init(&ctx);
    Md5Update(&ctx, pData, nLength, bWordSwap);
    Md5Final(&ctx, Digest, bWordSwap);
    return 0;
}
