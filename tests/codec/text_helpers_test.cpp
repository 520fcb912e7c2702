#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "codec/text_helpers.h"
#include "support/fifo_guard.h"

namespace
{
std::string Hex(const uint8_t* p, size_t n)
{
    std::string s;
    char b[3];
    for (size_t i = 0; i < n; ++i)
    {
        std::snprintf(b, sizeof b, "%02X", p[i]);
        s += b;
    }
    return s;
}
} // namespace

TEST(TextHelpers, FormattingIsBoundedByTheCapacity)
{
    char out[9];
    EXPECT_EQ(FormatString(out, sizeof out, "%08x", 0xABu), 8);
    EXPECT_STREQ(out, "000000ab");
    EXPECT_EQ(FormatString(out, 8, "%08x", 0xABu), -1);
    EXPECT_STREQ(out, "");

    char buf[12] = "";
    uint32_t n = 0;
    EXPECT_EQ(AppendFormat(buf, sizeof buf, &n, "%s", "abc"), 1);
    EXPECT_EQ(AppendFormat(buf, sizeof buf, &n, ",%d", 12345), 1);
    EXPECT_EQ(AppendFormat(buf, sizeof buf, &n, ",%d", 12), 0); // would need 13 bytes
    EXPECT_EQ(n, 9u);
    EXPECT_STREQ(buf, "abc,12345");
}

namespace
{
std::string Printf(double d, uint32_t nWidth, uint32_t nDecimals)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "%*.*f", int(nWidth), int(nDecimals), d);
    return buf;
}

std::string Fixed(double d, uint32_t nWidth, uint32_t nDecimals)
{
    char buf[512];
    return FormatFixed(buf, sizeof buf, d, nWidth, nDecimals) < 0 ? "<fail>" : std::string(buf);
}
} // namespace

// The fast path must give printf's text byte for byte, ties and signs included.
TEST(TextHelpers, FixedPointIsPrintfsText)
{
    const double aEdges[] = {
        0.0,           -0.0,           0.0005,         -0.0005,        0.0015, 1.0625,         -0.0004, 0.9995,
        0.99949999,    999999999.9995, 9999999999.999, -999999999.999, 1e15,   -3e16,          NAN,     INFINITY,
        21000000.1235, 125616570.3305, -1781.477,      45.2f,          38.5,   123456.0004999, 0.5,     2.5,
        -INFINITY,     -NAN,           1e300,          5e-324,         0.05,   -0.05,          0.45,    999999999999999.9,
        1.5,           -2.5,           0.125,          0.375,          1e18,   9.2e18,         -1e-30,  4503599627370495.5};
    for (double d : aEdges)
        for (uint32_t nWidth : {0u, 14u, 70u})
            for (uint32_t nDecimals : {0u, 1u, 3u, 6u, 7u, 9u, 12u})
                EXPECT_EQ(Fixed(d, nWidth, nDecimals), Printf(d, nWidth, nDecimals))
                    << d << " " << nWidth << " " << nDecimals;

    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> range(-3e8, 3e8);
    std::uniform_real_distribution<double> exponent(-6, 18.9);
    std::uniform_int_distribution<int> milli(-2000000, 2000000);
    std::uniform_int_distribution<int64_t> steps(-(int64_t(1) << 40), int64_t(1) << 40);
    for (int i = 0; i < 400000; ++i)
    {
        // Random doubles of every size; values on or next to whole thousandths
        // (and their halves), as RINEX texts hold them; and multiples of the
        // steps of compressed range logs (1/128 m, 1/256 cycle), which fall on
        // exact ties of the third decimal.
        const uint32_t nDecimals = i % 3 == 0 ? 3 : i % 3 == 1 ? 6 : 1 + i % 9;
        const double d = i % 5 == 1   ? range(rng)
                         : i % 5 == 3 ? (i & 8 ? -1 : 1) * std::pow(10.0, exponent(rng))
                         : i % 5 == 4 ? static_cast<double>(steps(rng)) / (i & 16 ? 128.0 : 256.0)
                                      : milli(rng) / 2000.0 + (i % 10 == 0 ? 1e-12 : 0.0);
        ASSERT_EQ(Fixed(d, i % 5 == 0 ? 14 : 0, nDecimals), Printf(d, i % 5 == 0 ? 14 : 0, nDecimals))
            << d << " " << nDecimals;
    }
}

TEST(TextHelpers, NumberAppendsAreBoundedAndPrintfsText)
{
    char buf[32];
    uint32_t n = 0;
    EXPECT_EQ(AppendUnsigned(buf, sizeof buf, &n, 0), 1);
    EXPECT_EQ(AppendChars(buf, sizeof buf, &n, ",", 1), 1);
    EXPECT_EQ(AppendUnsigned(buf, sizeof buf, &n, 4294967295u), 1);
    EXPECT_EQ(AppendChars(buf, sizeof buf, &n, ",", 1), 1);
    EXPECT_EQ(AppendHex8(buf, sizeof buf, &n, 0x0810BC04u), 1);
    EXPECT_EQ(AppendFixed(buf, sizeof buf, &n, -0.0, 0, 3), 1);
    EXPECT_EQ(std::string(buf), "0,4294967295,0810bc04-0.000");
    EXPECT_EQ(n, 27u);
    // Whatever does not fit with its NUL is not appended.
    EXPECT_EQ(AppendFixed(buf, sizeof buf, &n, 1.25, 4, 2), 1);
    EXPECT_EQ(AppendUnsigned(buf, sizeof buf, &n, 7), 0);
    EXPECT_EQ(AppendHex8(buf, sizeof buf, &n, 7), 0);
    EXPECT_EQ(AppendFixed(buf, sizeof buf, &n, 1e300, 0, 3), 0);
    EXPECT_EQ(n, 31u);
    EXPECT_EQ(std::string(buf), "0,4294967295,0810bc04-0.0001.25");
    char tiny[4];
    EXPECT_EQ(FormatFixed(tiny, sizeof tiny, 1.5, 0, 2), -1);
    EXPECT_EQ(tiny[0], '\0');
    EXPECT_EQ(FormatUnsigned(tiny, sizeof tiny, 2024, 0, ' '), -1);

    for (uint32_t v : {0u, 7u, 59u, 2024u, 4294967295u})
        for (uint32_t nWidth : {0u, 1u, 2u, 4u, 12u})
            for (char cPad : {' ', '0'})
            {
                char want[32], got[32];
                std::snprintf(want, sizeof want, cPad == '0' ? "%0*u" : "%*u", int(nWidth), v);
                EXPECT_EQ(FormatUnsigned(got, sizeof got, v, nWidth, cPad), int32_t(std::strlen(want)));
                EXPECT_STREQ(got, want);
            }
}

TEST(TextHelpers, ScanReadsOnlyTheGivenLength)
{
    const char text[] = "12,34567";
    int a = 0, b = 0;
    EXPECT_EQ(ScanString(text, 5, "%d,%d", &a, &b), 2);
    EXPECT_EQ(b, 34);
    EXPECT_EQ(ScanString(text, 0, "%d", &a), -1);
    EXPECT_EQ(ScanString(nullptr, 4, "%d", &a), -1);
}

TEST(TextHelpers, HexToBytesReportsEveryBadCharacter)
{
    struct Case
    {
        const char* text;
        int32_t n;
        int32_t result;
        const char* bytes; // hex of what was written
    } const cases[] = {
        {"0A1b", 4, 0, "0A1B"},
        {"0A*1", 4, HEX_TO_BYTES_BAD_CHAR - 2, "0A00"},
        {"*A", 2, HEX_TO_BYTES_BAD_CHAR - 0, "00"}, // an error at offset 0 is not success
        {"0*", 2, HEX_TO_BYTES_BAD_CHAR - 1, "00"},
        {"ZZ", 2, HEX_TO_BYTES_BAD_CHAR - 0, "00"}, // letters beyond F are not digits
        {"0A1", 3, HEX_TO_BYTES_ODD_LENGTH, ""},
        {"0A1B2C", 6, HEX_TO_BYTES_NO_ROOM, ""},
    };
    for (const Case& c : cases)
    {
        uint8_t out[2] = {0xEE, 0xEE};
        EXPECT_EQ(HexToBytes(c.text, out, sizeof out, c.n), c.result) << c.text;
        EXPECT_EQ(Hex(out, std::strlen(c.bytes) / 2), c.bytes) << c.text;
        if (c.result <= HEX_TO_BYTES_BAD_CHAR)
        {
            EXPECT_EQ(HexToBytesBadOffset(c.result), static_cast<int32_t>(std::strcspn(c.text, "*Z"))) << c.text;
        }
    }
    EXPECT_EQ(HexToBytes(nullptr, nullptr, 0, 2), HEX_TO_BYTES_NULL);
}

TEST(TextHelpers, DigitTextsToNumbersAndBack)
{
    struct Case
    {
        const char* text;
        int hex; // 1 hex, 0 binary
        int result;
        const char* bytes;
    } const cases[] = {
        {"  0x0001F", 1, 1, "1F000000"}, {"000", 1, 1, "00000000"},      {"123456789", 1, 0, "00000000"},
        {"12345678", 1, 1, "78563412"},  {"\t0XaBc;", 1, 1, "BC0A0000"}, {"  ", 1, 0, "00000000"},
        {"0x", 1, 0, "00000000"},        {"101", 0, 1, "05000000"},      {"1111111100000001", 0, 1, "01FF0000"},
        {"2", 0, 0, "00000000"},
    };
    for (const Case& c : cases)
    {
        uint8_t out[4];
        const int32_t n = static_cast<int32_t>(std::strlen(c.text));
        EXPECT_EQ(c.hex ? HexTextToBytes(c.text, n, out, 4) : BinaryTextToBytes(c.text, n, out, 4), c.result) << c.text;
        EXPECT_EQ(Hex(out, 4), c.bytes) << c.text;
    }

    char text[40];
    const uint8_t v[4] = {0x1F, 0, 0, 0}, zero[4] = {0, 0, 0, 0}, w[2] = {0x05, 0x01};
    EXPECT_EQ(BytesToHexText(v, 4, text, sizeof text), 2);
    EXPECT_STREQ(text, "1F");
    EXPECT_EQ(BytesToHexText(zero, 4, text, sizeof text), 1);
    EXPECT_STREQ(text, "0");
    EXPECT_EQ(BytesToHexText(w, 2, text, sizeof text), 4);
    EXPECT_STREQ(text, "0105");
    EXPECT_EQ(BytesToBinaryText(w, 2, text, sizeof text), 16);
    EXPECT_STREQ(text, "0000000100000101");
    EXPECT_EQ(BytesToHexText(w, 2, text, 4), -1);
    EXPECT_EQ(BytesToHex(w, text, sizeof text, 2), 0);
    EXPECT_STREQ(text, "0501");
    EXPECT_EQ(BytesToHex(w, text, 4, 2), -2);
}

TEST(TextHelpers, Classification)
{
    EXPECT_EQ(IsHexText("0x1F", 4), 1);
    EXPECT_EQ(IsHexText("1x1F", 4), 0);
    EXPECT_EQ(IsHexText("0x", 2), 0);
    EXPECT_EQ(IsHexText("", 0), 1);
    EXPECT_EQ(IsBinaryText("0110", 4), 1);
    EXPECT_EQ(IsBinaryText("012", 3), 0);
    EXPECT_EQ(IsDecimalText("-12", 3, 0), 1);
    EXPECT_EQ(IsDecimalText("+1.5", 4, 1), 1);
    EXPECT_EQ(IsDecimalText("1.5", 3, 0), 0);
    EXPECT_EQ(IsDecimalText("-", 1, 0), 0); // a sign alone is no number
    EXPECT_EQ(IsDecimalText(".", 1, 1), 0);
    EXPECT_EQ(IsDecimalText("12a", 2, 0), 1); // only n characters count
    EXPECT_EQ(HexDigitValue('f'), 15);
    EXPECT_EQ(HexDigitValue('Z'), 35);
    EXPECT_EQ(HexDigitValue('*'), -1);
    EXPECT_EQ(HexDigitChar(11), 'B');
    EXPECT_EQ(IsInfinite(-INFINITY), -1);
    EXPECT_EQ(IsInfinite(1e308), 0);
    EXPECT_EQ(IsNaN(std::nan("")), 1);
    EXPECT_EQ(StrEqualNoCase("RangeA", "RANGEB", 5), 1);
    EXPECT_EQ(StrEqualNoCase("Ran", "RANGE", 5), 0);
    EXPECT_EQ(StrEqualNoCase("ran", "RAN", 9), 1); // stops at the common end
    EXPECT_EQ(StrStartsWithNoCase("bestposa", "BESTPOS"), 1);
    EXPECT_EQ(StrStartsWithNoCase("best", "BESTPOS"), 0);
    EXPECT_EQ(StrEqualLenNoCase("com1", "COM1", 4, 4), 1);
    EXPECT_EQ(StrEqualLenNoCase("com1", "COM12", 4, 5), 0);
}

TEST(TextHelpers, Numbers)
{
    const struct
    {
        uint32_t part, whole;
        int32_t percent, hundredths;
    } percents[] = {{1, 3, 33, 33},
                    {3, 3, 100, 0},
                    {2, 3, 66, 66},
                    {0, 5, 0, 0},
                    {5, 0, 0, 0},
                    {1, 1000000, 0, 0},
                    {123456, 1000000, 12, 34},
                    {999999, 1000000, 99, 99},
                    {7, 3, 100, 0}};
    for (const auto& c : percents)
    {
        int32_t p = -1, h = -1;
        EXPECT_EQ(PercentWithHundredths(c.part, c.whole, &p, &h), c.hundredths) << c.part << "/" << c.whole;
        EXPECT_EQ(p, c.percent) << c.part << "/" << c.whole;
    }

    char sign[2];
    int64_t whole = 0, fraction = 0;
    EXPECT_EQ(SplitSignedFraction(-12.345, 1000, sign, &whole, &fraction), 345);
    EXPECT_STREQ(sign, "-");
    EXPECT_EQ(whole, 12);
    EXPECT_EQ(SplitSignedFraction(0.5, 10, sign, &whole, &fraction), 5);
    EXPECT_STREQ(sign, "");
    EXPECT_EQ(SplitSignedFraction(NAN, 10, sign, &whole, &fraction), 0);
}

TEST(TextHelpers, FindBytesFindsOverlappingMatches)
{
    const struct
    {
        const char* buffer;
        const char* pattern;
        int32_t behind; // -1: not found
    } cases[] = {{"AAAB", "AAB", 4},  {"ABABAC", "ABAC", 6}, {"xAAxAAB", "AAB", 7}, {"AAB", "AAB", 3},
                 {"AAAA", "AAB", -1}, {"AB", "ABC", -1},     {"", "A", -1}};
    for (const auto& c : cases)
    {
        const int32_t n = static_cast<int32_t>(std::strlen(c.buffer));
        const uint8_t* p = FindBytes(c.buffer, n, c.pattern, static_cast<int32_t>(std::strlen(c.pattern)));
        EXPECT_EQ(p ? static_cast<int32_t>(p - reinterpret_cast<const uint8_t*>(c.buffer)) : -1, c.behind) << c.buffer;
    }
    EXPECT_EQ(FindBytes("AAB", -1, "A", 1), nullptr);
}

TEST(TextHelpers, GuardFillStaysInsideTheBuffer)
{
    uint8_t buf[12];
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(FillWithGuard(buf + 1, 0x11, 10), buf + 1 + 8);
    EXPECT_EQ(0, std::memcmp(buf + 5, "ZZZZ", 4));
    EXPECT_EQ(buf[0], 0xEE);
    EXPECT_EQ(buf[4], 0x11);
    EXPECT_EQ(buf[10], 0x11);
    EXPECT_EQ(buf[11], 0xEE);
    EXPECT_EQ(FillWithGuard(buf, 0x22, 3), buf); // too short for a guard
    EXPECT_EQ(buf[3], 0x11);
}

TEST(TextHelpers, GeoidGrid)
{
    std::vector<int16_t> grid(GEOID_GRID_ROWS * GEOID_GRID_COLUMNS);
    for (size_t i = 0; i < grid.size(); ++i)
        grid[i] = static_cast<int16_t>(i % 1000);
    // Latitude 40 is row 50; longitude 10 column 10.
    EXPECT_DOUBLE_EQ(GeoidGridInterpolate(40.0, 10.0, grid.data()), grid[50 * 361 + 10] / 300.0);
    EXPECT_DOUBLE_EQ(GeoidGridInterpolate(40.0, -350.0, grid.data()), grid[50 * 361 + 10] / 300.0);
    const double mid = GeoidGridInterpolate(39.5, 10.5, grid.data());
    EXPECT_DOUBLE_EQ(mid, (grid[50 * 361 + 10] + grid[51 * 361 + 10] + grid[51 * 361 + 11] + grid[50 * 361 + 11]) /
                              4.0 / 300.0);
    EXPECT_DOUBLE_EQ(GeoidGridInterpolate(-90.0, 359.99999999, grid.data()), grid[180 * 361 + 360] / 300.0);
    EXPECT_TRUE(std::isfinite(GeoidGridInterpolate(95.0, 720.0, grid.data())));
    EXPECT_TRUE(std::isnan(GeoidGridValue(181, 0, grid.data())));
}

TEST(TextHelpers, DebugLogFollowsTheConfigurationFolder)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("zv_debuglog_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    SetCodecConfigDir(dir.c_str());
    EXPECT_EQ(OpenDebugLog(), 0); // no DebugOutput folder yet
    EXPECT_EQ(DebugLogFile(), nullptr);
    fs::create_directories(dir / "DebugOutput");
    {
        FILE* f = std::fopen((dir / "DebugOutput" / "MoxelinLog.log").c_str(), "w");
        std::fputs("old run", f);
        std::fclose(f);
    }
    EXPECT_EQ(OpenDebugLog(), 1);
    ASSERT_NE(DebugLogFile(), nullptr);
    CloseDebugLog();
    EXPECT_EQ(fs::file_size(dir / "DebugOutput" / "MoxelinLog.log"), 0u);

    // Traces go to the program's sink while it has one; the log file still
    // gets its notes.
    static std::string traced;
    traced.clear();
    SetDebugPrintSink([](const char* pText) { traced += pText; });
    ASSERT_EQ(OpenDebugLog(), 1);
    DebugPrintf("trace %d\n", 1);
    DebugLogPrintf("note %s\n", "two");
    CloseDebugLog();
    SetDebugPrintSink(nullptr);
    EXPECT_EQ(traced, "trace 1\nnote two\n");
    EXPECT_EQ(fs::file_size(dir / "DebugOutput" / "MoxelinLog.log"), std::string("note two\n").size());

    // A FIFO in the log's place is never waited on nor written to: no log this run.
    fs::remove(dir / "DebugOutput" / "MoxelinLog.log");
    {
        CFifoGuard fifo((dir / "DebugOutput" / "MoxelinLog.log").string());
        ASSERT_TRUE(fifo.IsValid());
        EXPECT_EQ(OpenDebugLog(), 0);
        EXPECT_EQ(DebugLogFile(), nullptr);
        EXPECT_EQ(OpenRegularFileForReading((dir / "DebugOutput" / "MoxelinLog.log").c_str()), nullptr);
        EXPECT_FALSE(fifo.Released());
    }

    LOG_FILE_T log{};
    std::snprintf(log.Path, sizeof log.Path, "%s", (dir / "port.log").c_str());
    std::snprintf(log.Prefix, sizeof log.Prefix, "COM1");
    ASSERT_EQ(OpenLogFile(&log), 1);
    EXPECT_EQ(log.PrefixLength, 4u);
    ASSERT_NE(log.pFile, nullptr);
    std::fclose(log.pFile);
    LOG_FILE_T bad{};
    std::snprintf(bad.Path, sizeof bad.Path, "%s", (dir / "missing" / "x.log").c_str());
    EXPECT_EQ(OpenLogFile(&bad), 0);
    SetCodecConfigDir("");
    fs::remove_all(dir);
}
