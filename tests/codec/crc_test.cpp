#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/crc.h"

namespace
{
const char kDigits[] = "123456789";

std::string Hex(const uint8_t* p, size_t n)
{
    static const char* k = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i)
    {
        s += k[p[i] >> 4];
        s += k[p[i] & 15];
    }
    return s;
}
} // namespace

TEST(Checksums, CheckValuesOfTheNineDigits)
{
    EXPECT_EQ(Crc32Compute(kDigits, 9), 0x2DFD2D88u);
    EXPECT_EQ(Crc16Compute(kDigits, 9), 0x31C3);
    EXPECT_EQ(Crc24qCompute(kDigits, 9), 0xCDE703u);
    EXPECT_EQ(XorChecksum8(kDigits, 9), 0x31 ^ 0x32 ^ 0x33 ^ 0x34 ^ 0x35 ^ 0x36 ^ 0x37 ^ 0x38 ^ 0x39);
}

TEST(Checksums, EmptyAndNegativeLengthsGiveZero)
{
    EXPECT_EQ(Crc32Compute(kDigits, 0), 0u);
    EXPECT_EQ(Crc32Compute(kDigits, -5), 0u);
    EXPECT_EQ(Crc16Compute(kDigits, 0), 0);
    EXPECT_EQ(Crc24qCompute(kDigits, 0), 0u);
    EXPECT_EQ(XorChecksum8(kDigits, 0), 0);
}

namespace
{
// Bit-at-a-time forms of the two CRCs, against which the tables and zlib's
// crc32 (used on long buffers) are checked.
uint32_t Crc32Bitwise(const uint8_t* p, size_t n, uint32_t r = 0)
{
    for (size_t i = 0; i < n; ++i)
    {
        r ^= p[i];
        for (int k = 0; k < 8; ++k)
            r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    }
    return r;
}

uint32_t Crc24qBitwise(const uint8_t* p, size_t n)
{
    uint32_t r = 0;
    for (size_t i = 0; i < n; ++i)
        for (int k = 7; k >= 0; --k)
        {
            const uint32_t bit = (p[i] >> k) & 1u;
            const uint32_t top = (r >> 23) & 1u;
            r = (r << 1) & 0xFFFFFFu;
            if (bit != top)
                r ^= 0x864CFBu;
        }
    return r;
}
} // namespace

TEST(Checksums, CrcsMatchTheBitLoopOnEveryLengthAlignmentAndSplit)
{
    std::vector<uint8_t> data(70000);
    uint32_t x = 12345;
    for (uint8_t& b : data)
    {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 23);
    }
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 1100; ++n)
        lengths.push_back(n);
    for (size_t n : {4093u, 4096u, 65535u, 65536u, 69990u})
        lengths.push_back(n);
    for (size_t n : lengths)
        for (size_t at : {0u, 1u, 3u, 7u})
        {
            if (n + at > data.size() || (n > 1100 && at == 3))
                continue;
            const uint8_t* p = data.data() + at;
            const uint32_t r32 = Crc32Bitwise(p, n);
            ASSERT_EQ(Crc32Compute(p, static_cast<int32_t>(n)), r32) << n << " at " << at;
            // Continued across a split that leaves one side short and one long.
            const size_t nSplit = n / 3;
            ASSERT_EQ(Crc32Update(Crc32Update(0, p, static_cast<int32_t>(nSplit)), p + nSplit,
                                  static_cast<int32_t>(n - nSplit)),
                      r32)
                << n << " at " << at;
            ASSERT_EQ(Crc24qCompute(p, static_cast<uint32_t>(n)), Crc24qBitwise(p, n)) << n << " at " << at;
        }
}

TEST(Checksums, Crc32AppendedLittleEndianIsAcceptedWhole)
{
    // A receiver checks a log by recomputing over header and body and comparing
    // with the four bytes that follow, least significant first.
    std::vector<uint8_t> msg(kDigits, kDigits + 9);
    const uint32_t c = Crc32Compute(msg.data(), 9);
    for (int i = 0; i < 4; ++i)
        msg.push_back(static_cast<uint8_t>(c >> (8 * i)));
    uint32_t stored;
    std::memcpy(&stored, msg.data() + 9, 4);
    EXPECT_EQ(stored, 0x2DFD2D88u);
}

TEST(Checksums, XorCoversAll255Bytes)
{
    std::vector<uint8_t> data(255, 0);
    data[254] = 0x5A;
    EXPECT_EQ(XorChecksum8(data.data(), 255), 0x5A);
}

TEST(Checksums, Crc24qFrameCheck)
{
    uint8_t frame[12];
    std::memcpy(frame, kDigits, 9);
    frame[9] = 0xCD;
    frame[10] = 0xE7;
    frame[11] = 0x03;
    EXPECT_TRUE(Crc24qCheck(frame, 12));
    frame[11] ^= 1;
    EXPECT_FALSE(Crc24qCheck(frame, 12));
    // Fewer than six bytes is never a frame, even when the bytes would match.
    const uint8_t tiny[5] = {0, 0, 0, 0, 0};
    EXPECT_EQ(Crc24qCompute(tiny, 2), 0u);
    EXPECT_FALSE(Crc24qCheck(tiny, 5));
}

TEST(Checksums, Crc24qOverBitWordsMatchesByteFormAndChecksWithParity)
{
    // "123456789" laid into 32-bit little-endian words, first bit at the top of each word.
    uint8_t words[16] = {};
    for (int i = 0; i < 9; ++i)
        words[i ^ 3] = static_cast<uint8_t>(kDigits[i]);
    EXPECT_EQ(Crc24qComputeBits(words, 72), 0xCDE703u);
    // Appending the 24 parity bits makes the whole string's remainder 0.
    words[9 ^ 3] = 0xCD;
    words[10 ^ 3] = 0xE7;
    words[11 ^ 3] = 0x03;
    EXPECT_TRUE(Crc24qCheckBits(words, 96));
    words[11 ^ 3] = 0x02;
    EXPECT_FALSE(Crc24qCheckBits(words, 96));
    // A bit string that is not a whole number of bytes: 4 bits of 0xF0.
    uint8_t w2[4] = {};
    w2[0 ^ 3] = 0xF0;
    uint32_t r = 0;
    for (int k = 0; k < 4; ++k)
    {
        const uint32_t top = (r >> 23) & 1;
        r <<= 1;
        if (1u != top)
            r ^= 0x864CFB;
    }
    EXPECT_EQ(Crc24qComputeBits(w2, 4), r & 0xFFFFFF);
}

TEST(Checksums, Md5KnownDigestsBothWordOrders)
{
    struct Case
    {
        const char* text;
        const char* digest;
    } const cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases)
    {
        uint8_t d[16];
        ASSERT_EQ(Md5Digest(c.text, static_cast<uint32_t>(std::strlen(c.text)), d, 0), 0);
        EXPECT_EQ(Hex(d, 16), c.digest) << c.text;
    }
    uint8_t d[16];
    ASSERT_EQ(Md5Digest("", 0, d, 1), 0);
    // Word order on: each of A, B, C, D written most significant byte first.
    EXPECT_EQ(Hex(d, 16), "d98c1dd404b2008f980980e97e42f8ec");
    EXPECT_EQ(Md5Digest("abc", 3, d, 1), -1);
}

TEST(Checksums, Md5WordSwapReversesEachInputWord)
{
    const uint8_t in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t swapped[8] = {4, 3, 2, 1, 8, 7, 6, 5};
    uint8_t a[16], b[16];
    Md5Digest(in, 8, a, 1);
    Md5Digest(swapped, 8, b, 0);
    for (int w = 0; w < 4; ++w)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(a[w * 4 + k], b[w * 4 + 3 - k]);
}

TEST(Checksums, Md5IncrementalEqualsOneShot)
{
    std::vector<uint8_t> data(1000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    uint8_t whole[16], parts[16];
    Md5Digest(data.data(), 1000, whole, 0);
    MD5_CONTEXT_T ctx;
    Md5Init(&ctx);
    Md5Update(&ctx, data.data(), 63, 0);
    Md5Update(&ctx, data.data() + 63, 1, 0);
    Md5Update(&ctx, data.data() + 64, 936, 0);
    Md5Final(&ctx, parts, 0);
    EXPECT_EQ(0, std::memcmp(whole, parts, 16));
}
