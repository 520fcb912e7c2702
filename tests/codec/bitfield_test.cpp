#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "codec/bitfield.h"

namespace
{
// Reference bit access, one bit at a time, for the property tests.
int BitAt(const std::vector<uint8_t>& b, uint32_t p, bool msb) { return (b[p / 8] >> (msb ? 7 - p % 8 : p % 8)) & 1; }

uint64_t SlowRead(const std::vector<uint8_t>& b, uint32_t pos, uint32_t width, bool msb)
{
    uint64_t v = 0;
    for (uint32_t i = 0; i < width; ++i)
        v |= static_cast<uint64_t>(BitAt(b, pos + (msb ? width - 1 - i : i), msb)) << i;
    return v;
}
} // namespace

TEST(BitFields, KnownFields)
{
    const uint8_t two[2] = {0x0A, 0xBC};
    EXPECT_EQ(ExtractBitsMsb(two, 4, 12, 1), 0xABCu);
    EXPECT_EQ(static_cast<int32_t>(ExtractBitsMsb(two, 4, 12, 0)), -1348);
    EXPECT_EQ(ExtractBitsMsb32(two, 0, 8), 0x0Au);
    // LSB first: bit 4 of byte 0 up into byte 1.
    EXPECT_EQ(ExtractBitsLsb(two, 4, 12, 1), 0xBC0u);
    EXPECT_EQ(ExtractBitsLsb(two, 1, 3, 1), 5u);

    // A signed 33-bit field with its top bit set fills all higher bits of the 64-bit value.
    uint8_t wide[8] = {0x80, 0, 0, 0, 0x80, 0, 0, 0};
    uint64_t out = 0;
    EXPECT_EQ(ExtractBitsMsb(wide, 0, 33, 0, &out), 1u); // bits 1, 31 zeros, 1
    EXPECT_EQ(out, 0xFFFFFFFF00000001ull);

    out = 0x1234;
    EXPECT_EQ(ExtractBitsMsb(wide, 0, 0, 1, &out), 0u);
    EXPECT_EQ(ExtractBitsLsb(wide, 0, 65, 1, &out), 0u);
    EXPECT_EQ(out, 0x1234u);
    const uint64_t v = ~0ull;
    uint8_t untouched[4] = {1, 2, 3, 4};
    WriteBitsMsb(untouched, 0, 65, &v);
    WriteBitsLsb(untouched, 0, 0, &v);
    EXPECT_EQ(untouched[0], 1);
    EXPECT_EQ(untouched[3], 4);
}

TEST(BitFields, WriteThenReadEveryWidthAndOffsetBothOrders)
{
    std::mt19937_64 rng(12345);
    for (bool msb : {true, false})
        for (uint32_t width = 1; width <= 64; ++width)
            for (uint32_t pos = 0; pos < 24; ++pos)
            {
                std::vector<uint8_t> buf(16);
                for (auto& b : buf)
                    b = static_cast<uint8_t>(rng());
                const std::vector<uint8_t> before = buf;
                const uint64_t value = rng();
                if (msb)
                    WriteBitsMsb(buf.data(), pos, width, &value);
                else
                    WriteBitsLsb(buf.data(), pos, width, &value);
                const uint64_t mask = width == 64 ? ~0ull : (1ull << width) - 1;
                ASSERT_EQ(SlowRead(buf, pos, width, msb), value & mask) << msb << " " << width << " " << pos;
                for (uint32_t p = 0; p < 128; ++p)
                {
                    const bool bOutside = p < pos || p >= pos + width;
                    ASSERT_TRUE(!bOutside || BitAt(buf, p, msb) == BitAt(before, p, msb)) << "bit " << p;
                }
                uint64_t got = 0;
                const uint32_t low = msb ? ExtractBitsMsb(buf.data(), pos, width, 1, &got)
                                         : ExtractBitsLsb(buf.data(), pos, width, 1, &got);
                ASSERT_EQ(got, value & mask);
                ASSERT_EQ(low, static_cast<uint32_t>(value & mask));
                // Signed: the same bits, sign-extended to 64.
                const bool bTop = ((value & mask) >> (width - 1)) & 1;
                const int64_t want = static_cast<int64_t>(bTop ? (value | ~mask) : (value & mask));
                msb ? ExtractBitsMsb(buf.data(), pos, width, 0, &got) : ExtractBitsLsb(buf.data(), pos, width, 0, &got);
                ASSERT_EQ(static_cast<int64_t>(got), want);
            }
}

TEST(BitFields, ReadsOnlyTheFieldsBytes)
{
    // The field ends in the last byte of an exact-size buffer (ASan catches more).
    std::vector<uint8_t> buf(9, 0xFF);
    uint64_t out = 0;
    ExtractBitsMsb(buf.data(), 8, 64, 1, &out);
    EXPECT_EQ(out, ~0ull);
    ExtractBitsLsb(buf.data(), 7, 64, 1, &out);
    EXPECT_EQ(out, ~0ull);
    std::vector<uint8_t> one(1, 0);
    const uint8_t v = 0x5;
    WriteBitsLsb(one.data(), 5, 3, &v);
    EXPECT_EQ(one[0], 0xA0);
}

TEST(BitFields, SignExtend)
{
    uint32_t v = 0x0F;
    SignExtend32(&v, 4);
    EXPECT_EQ(v, 0xFFFFFFFFu);
    v = 0xF7;
    SignExtend32(&v, 4);
    EXPECT_EQ(v, 7u);
    v = 0x80;
    SignExtend32(&v, 0);
    EXPECT_EQ(v, 0x80u);
}

TEST(Ubnxi, Encodings)
{
    const struct
    {
        uint32_t value;
        std::vector<uint8_t> bytes;
    } cases[] = {{0, {0}},
                 {127, {0x7F}},
                 {128, {0x80, 0x01}},
                 {16383, {0xFF, 0x7F}},
                 {16384, {0x80, 0x80, 0x01}},
                 {1u << 21, {0x80, 0x80, 0x80, 0x01}},
                 {536870911, {0xFF, 0xFF, 0xFF, 0xFF}},
                 {536870912, {}}}; // does not fit the form
    for (const auto& c : cases)
    {
        uint8_t out[4] = {};
        const uint32_t n = EncodeBinexUbnxi(c.value, out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.bytes) << c.value;
    }
}

TEST(ScaledIntegers, PowersOfTwo)
{
    for (uint32_t n : {0u, 1u, 5u, 31u, 40u})
        EXPECT_EQ(ScaleByPow2(0, n), 0.0);
    EXPECT_EQ(ScaleByPow2(-3, 1), -1.5);
    EXPECT_EQ(ScaleByPow2Unsigned(0xFFFFFFFFu, 32), 0xFFFFFFFFu / 4294967296.0);
    EXPECT_EQ(MultiplyByPow2(1.5, 3), 12.0);
    EXPECT_EQ(MultiplyByPow2(0.0, 3), 0.0);
    EXPECT_EQ(ScaleByPow2FloatSigned(-5, 2), -1.25f);
    EXPECT_EQ(ScaleByPow2Float(3, 1), 1.5f);
}

TEST(ScaledIntegers, RoundingAndOverflow)
{
    const struct
    {
        double x;
        uint32_t width;
        int32_t scale;
        int32_t int1;
        uint32_t int2;
    } cases[] = {
        {2.5, 8, 0, 3, 3},          {-2.5, 8, 0, -3, 0x83},
        {2.4999, 8, 0, 2, 2},       {0.75, 8, 2, 3, 3},
        {-0.0, 8, 0, 0, 0},         {127.4, 8, 0, 127, 127},
        {-128.0, 8, 0, -128, 0x80}, // fits two's complement only; sign-magnitude keeps the low 8 bits of 128
        {200.0, 8, 0, 200, 200},    // overflow: reported, low 8 bits kept
        {1.0, 8, 40, 0, 0},         {-1.0, 32, 31, INT32_MIN, 0x80000000u},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(ExtractInt1(c.x, c.width, c.scale), c.int1) << c.x;
        EXPECT_EQ(ExtractInt2(c.x, c.width, c.scale), c.int2) << c.x;
    }
    testing::internal::CaptureStdout();
    ExtractInt1(200.0, 8, 0);
    ExtractInt1(127.0, 8, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Err ExtractInt1 Overflow 8 8 0 200.000000\n");
}

TEST(IntegerHelpers, SquareRootCountsAndLogs)
{
    EXPECT_EQ(IntSqrt(123456789), 11111);
    EXPECT_EQ(IntSqrt(0), 0);
    EXPECT_EQ(IntSqrt(15), 3);
    EXPECT_EQ(IntSqrt(16), 4);
    EXPECT_EQ(IntSqrt(0xFFFFFFFFu), 65535);
    EXPECT_EQ(IntSqrt(1u << 30), 32768);
    for (uint32_t v = 1; v < 5000000; v += 997)
    {
        const uint32_t r = IntSqrt(v);
        ASSERT_LE(static_cast<uint64_t>(r) * r, v);
        ASSERT_GT(static_cast<uint64_t>(r + 1) * (r + 1), v);
    }
    EXPECT_EQ(PopCount32(0xF0F0F0F1u), 17u);
    EXPECT_EQ(PopCount64(~0ull), 64u);
    EXPECT_EQ(DecimalDigitsToBits(1020304), 0x55u);
    EXPECT_EQ(DecimalDigitsToBits(4000000000u), 0x200u);
    EXPECT_EQ(Log10Times100(1), 0);
    EXPECT_EQ(Log10Times100(1000), 300);
    EXPECT_EQ(Log10Times1000(2), 301);
    EXPECT_EQ(Log10Times1000(0xFFFFFFFFu), 9633);
    EXPECT_EQ(Log10Times100(0), INT32_MIN);
}
