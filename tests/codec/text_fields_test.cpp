#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "codec/text_fields.h"

namespace
{
struct IntegerCase
{
    const char* pszText;
    int nBase;
    bool bSigned;
    int64_t nMin;
    uint64_t uMax;
    bool bOk;
    uint64_t uBits;
};

constexpr uint64_t kU32Max = 0xFFFFFFFFu;
constexpr uint64_t kU64Max = ~0ull;

const IntegerCase kIntegers[] = {
    {"42", 10, false, 0, kU32Max, true, 42},
    {"+42", 10, false, 0, kU32Max, true, 42},
    {"-42", 10, true, INT32_MIN, INT32_MAX, true, uint64_t{0} - 42},
    {"-42", 10, false, 0, kU32Max, false, 0}, // a sign on an unsigned value
    {"-0", 10, false, 0, kU32Max, false, 0},
    {"-0", 10, true, 0, kU32Max, true, 0}, // "%d" of an unsigned field
    {"-1", 10, true, 0, kU32Max, false, 0},
    {"4294967295", 10, false, 0, kU32Max, true, kU32Max},
    {"4294967296", 10, false, 0, kU32Max, false, 0}, // range
    {"-2147483648", 10, true, INT32_MIN, INT32_MAX, true, uint64_t{0} - 2147483648u},
    {"-2147483649", 10, true, INT32_MIN, INT32_MAX, false, 0},
    {"2147483648", 10, true, INT32_MIN, INT32_MAX, false, 0},
    {"18446744073709551615", 10, false, 0, kU64Max, true, kU64Max},
    {"18446744073709551616", 10, false, 0, kU64Max, false, 0}, // ERANGE
    {"1f", 16, false, 0, kU32Max, true, 31},
    {"0x1F", 16, false, 0, kU32Max, true, 31},
    {"1f", 10, false, 0, kU32Max, false, 0},
    {"", 10, false, 0, kU32Max, false, 0},
    {"+", 10, false, 0, kU32Max, false, 0},
    {" 5", 10, false, 0, kU32Max, false, 0}, // the whole field, not a prefix or suffix
    {"\r5", 10, false, 0, kU32Max, false, 0},
    {"5 ", 10, false, 0, kU32Max, false, 0},
    {"5,", 10, false, 0, kU32Max, false, 0},
    {"1e3", 10, false, 0, kU32Max, false, 0},
    {"+-5", 10, true, INT32_MIN, INT32_MAX, false, 0},
    {"- 5", 10, true, INT32_MIN, INT32_MAX, false, 0},
    {"7", 1, false, 0, kU32Max, false, 0}, // no such base
};

struct RealCase
{
    const char* pszText;
    bool bOk;
    double dValue;
};

const RealCase kReals[] = {
    {"1.5", true, 1.5}, {"-2.5e-3", true, -2.5e-3}, {"+7", true, 7.0},  {"", false, 0},    {".", false, 0},
    {" 1", false, 0},   {"1.5 ", false, 0},         {"1.5x", false, 0}, {"1,5", false, 0},
};
} // namespace

TEST(TextFields, IntegersReadWholeWithinTheirRange)
{
    for (const IntegerCase& c : kIntegers)
    {
        SCOPED_TRACE(c.pszText);
        uint64_t uBits = 0xDEAD;
        const int32_t n = static_cast<int32_t>(std::string(c.pszText).size());
        ASSERT_EQ(ParseIntegerText(c.pszText, n, c.nBase, c.bSigned, c.nMin, c.uMax, &uBits), c.bOk);
        EXPECT_EQ(uBits, c.bOk ? c.uBits : 0xDEAD) << "a refused text leaves the value alone";
    }
}

TEST(TextFields, RealsReadWhole)
{
    for (const RealCase& c : kReals)
    {
        SCOPED_TRACE(c.pszText);
        double d = -99;
        ASSERT_EQ(ParseRealText(c.pszText, static_cast<int32_t>(std::string(c.pszText).size()), &d), c.bOk);
        EXPECT_EQ(d, c.bOk ? c.dValue : -99);
    }
}

TEST(TextFields, NumbersAreReadWithinTheirSpanUpToTheLengthBound)
{
    // The span ends before the text does, and nothing behind it is read.
    const char szText[] = "12345";
    uint32_t u = 0;
    ASSERT_TRUE(ParseFieldU32(szText, 3, 10, &u));
    EXPECT_EQ(u, 123u);
    double d = 0;
    ASSERT_TRUE(ParseFieldF64("2.50x", 4, &d));
    EXPECT_EQ(d, 2.5);
    EXPECT_FALSE(ParseFieldU32("1\0"
                               "2",
                               3, 10, &u))
        << "a NUL inside the field";

    // The longest number accepted: what "%.11f" writes of the largest double fits.
    std::string sLong(TEXT_NUMBER_MAX - 1, '0');
    sLong += '7';
    uint64_t uBits = 0;
    EXPECT_TRUE(ParseIntegerText(sLong.data(), TEXT_NUMBER_MAX, 10, false, 0, kU32Max, &uBits));
    EXPECT_EQ(uBits, 7u);
    sLong.insert(0, "0");
    EXPECT_FALSE(ParseIntegerText(sLong.data(), TEXT_NUMBER_MAX + 1, 10, false, 0, kU32Max, &uBits));
    char szMax[TEXT_NUMBER_MAX];
    ASSERT_GT(std::snprintf(szMax, sizeof szMax, "%.11f", -1.7976931348623157e308), 300);
    EXPECT_TRUE(ParseRealText(szMax, static_cast<int32_t>(std::string(szMax).size()), &d));
    EXPECT_EQ(d, -1.7976931348623157e308);
}

TEST(TextFields, FieldParsersSkipLeadingBlanksOnly)
{
    uint32_t u = 0;
    int32_t i = 0;
    double d = 0;
    EXPECT_TRUE(ParseFieldU32(" \t17", 4, 10, &u));
    EXPECT_EQ(u, 17u);
    EXPECT_TRUE(ParseFieldU32(" 0a", 3, 16, &u));
    EXPECT_EQ(u, 10u);
    EXPECT_TRUE(ParseFieldI32("  -5", 4, &i));
    EXPECT_EQ(i, -5);
    EXPECT_TRUE(ParseFieldF64("\t-0.25", 6, &d));
    EXPECT_EQ(d, -0.25);

    EXPECT_FALSE(ParseFieldU32(" -1", 3, 10, &u));
    EXPECT_FALSE(ParseFieldU32("17 ", 3, 10, &u));
    EXPECT_FALSE(ParseFieldU32("   ", 3, 10, &u));
    EXPECT_FALSE(ParseFieldI32(" 2147483648", 11, &i));
    EXPECT_FALSE(ParseFieldF64(" 1.0;", 5, &d));
}

TEST(TextFields, CursorYieldsEveryFieldOfTheSpanOnce)
{
    const char szText[] = "1,,22,3,ignored";
    TextFieldCursor c = MakeFieldCursor(szText, szText + 7); // "1,,22,3"
    const char* pField = nullptr;
    int32_t n = 0;
    std::string sSeen;
    while (NextTextField(&c, &pField, &n))
        sSeen += "[" + std::string(pField, static_cast<size_t>(n)) + "]";
    EXPECT_EQ(sSeen, "[1][][22][3]");
    EXPECT_FALSE(NextTextField(&c, &pField, &n));

    // A comma at the end of the span leaves one empty field behind it.
    c = MakeFieldCursor(szText, szText + 2);
    sSeen.clear();
    while (NextTextField(&c, &pField, &n))
        sSeen += "[" + std::string(pField, static_cast<size_t>(n)) + "]";
    EXPECT_EQ(sSeen, "[1][]");
}
