#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/catalogue.h"
#include "codec/crc.h"
#include "codec/log_format.h"
#include "codec/text_helpers.h"
#include "golden_header.h"
#include "support/profile_fixture.h"

namespace
{
// The TIMESYNC header used throughout: COM1, sequence 0, idle 25 %, FINESTEERING,
// week 2295, 79218.000 s.
BinaryLogHeader TimeSyncHeader(uint8_t uType) { return GoldenLogHeader(492, 12, uType); }

std::string Header(const BinaryLogHeader& h, const char* name = "TIMESYNC", int32_t suffix = -1)
{
    char out[256];
    uint32_t n = 0;
    const int ok = suffix < 0 ? WriteAsciiHeader(name, &h, out, sizeof out, &n)
                              : WriteAsciiHeaderEx(name, &h, suffix, out, sizeof out, &n);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(n, std::strlen(out));
    return std::string(out, n);
}

bool SameHeader(const BinaryLogHeader& a, const BinaryLogHeader& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A full text log built the way every formatter builds one.
std::string FullLog(const BinaryLogHeader& h, const char* name, const char* body)
{
    char out[512];
    uint32_t n = 0;
    EXPECT_EQ(WriteAsciiHeader(name, &h, out, sizeof out, &n), 1);
    EXPECT_EQ(AppendFormat(out, sizeof out, &n, "%s,", body), 1);
    EXPECT_EQ(AppendTextLogCrc(out, sizeof out, &n, 1), 1);
    return std::string(out, n);
}

std::vector<uint8_t> BinaryLog(uint16_t id, const std::vector<uint8_t>& body, uint8_t port = 0x20)
{
    std::vector<uint8_t> rec(LOG_HEADER_LENGTH + body.size());
    BinaryLogHeader h{};
    FillBinaryHeader(id, 0, static_cast<uint16_t>(body.size()), port, 0x12345678, &h);
    h.Week = 2300;
    h.Milliseconds = 345600000;
    std::memcpy(rec.data(), &h, sizeof h);
    std::memcpy(rec.data() + LOG_HEADER_LENGTH, body.data(), body.size());
    std::vector<uint8_t> log(rec.size() + 4);
    uint32_t n = 0;
    EXPECT_EQ(AppendLogCrc(rec.data(), static_cast<int32_t>(log.size()), log.data(), &n), 1);
    EXPECT_EQ(n, log.size());
    return log;
}
} // namespace

using TextHeaders = ProfileTest;

TEST_P(TextHeaders, FullAndAbbreviatedLinesByMessageType)
{
    const std::string full = "#TIMESYNCA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;";
    const std::string abbrev = Monitor() ? "<TIMESYNC COM1 0 25.000000 FINESTEERING 2295 79218.000000 00000000 0 0\r\n"
                                         : "<TIMESYNC COM1 0 25.0 FINESTEERING 2295 79218.000000 00000000 0000 0\r\n";
    const uint8_t marker = AbbrevFormMarker();
    const uint8_t other = marker ^ LOG_FORM_ASCII; // the marker of the other program
    struct Case
    {
        uint8_t type;
        const std::string& want;
    } const cases[] = {
        {0x20, full}, {0x00, full},  {marker, abbrev}, {static_cast<uint8_t>(marker | 0x11), abbrev},
        {0x31, full}, {other, full},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Header(TimeSyncHeader(c.type)), c.want) << int(c.type);

    EXPECT_EQ(Header(TimeSyncHeader(0x21), "RANGECMP", 1).substr(0, 16), "#RANGECMPA_1,COM");
    EXPECT_EQ(Header(TimeSyncHeader(marker), "RANGECMP", 1).substr(0, 16), "<RANGECMP_1 COM1");
    EXPECT_EQ(Header(TimeSyncHeader(0x20), "RANGECMP", 0).substr(0, 14), "#RANGECMPA,COM");
}

TEST_P(TextHeaders, FullHeadersParseBackToTheSameRecord)
{
    struct Case
    {
        uint8_t port, idle, timeStatus;
        uint16_t seq, week, reserved, version;
        uint32_t ms, status;
    } const cases[] = {
        {0x01, 50, 180, 0, 2295, 0, 0, 79218000, 0},
        {0x43, 91, 160, 65535, 1, 0xABCD, 65535, 604799999, 0xFFFFFFFF},
        {0x20, 0, 20, 7, 0, 0x00FF, 12, 0, 0x02000020},
        {0xA0, 255, 200, 1, 65535, 1, 1, 1, 1},
        {0x62, 1, 170, 2, 2, 2, 2, 2, 2}, // a time status without a name travels as its number
    };
    for (const Case& c : cases)
    {
        BinaryLogHeader h{};
        FillBinaryHeader(971, 0x20, 44, c.port, c.status, &h);
        h.IdleTime = c.idle;
        h.TimeStatus = c.timeStatus;
        h.Sequence = c.seq;
        h.Week = c.week;
        h.Reserved = c.reserved;
        h.SoftwareVersion = c.version;
        h.Milliseconds = c.ms;
        const std::string text = Header(h, "HEADING");
        BinaryLogHeader back{};
        back.MessageLength = 44; // left to the caller
        ASSERT_EQ(ParseAsciiHeader(text.data(), static_cast<int32_t>(text.size()), 971, &back), 1) << text;
        h.MessageType = 0;
        if (!Monitor() && c.port == 0x62)
            h.Port = 0x52; // both last kinds are named NCOM in the converter: the first one is found
        EXPECT_TRUE(SameHeader(h, back)) << text;
    }
}

TEST_P(TextHeaders, AbbreviatedHeadersReadBackFieldByField)
{
    BinaryLogHeader h = TimeSyncHeader(AbbrevFormMarker());
    h.Port = 0x42;
    h.IdleTime = 91;
    h.Sequence = 3;
    h.Reserved = 0x1234;
    h.SoftwareVersion = 17;
    h.ReceiverStatus = 0x00A0B0C0;
    h.Milliseconds = 123456789;
    const std::string text = Header(h);
    char name[31], port[31], status[31];
    unsigned seq, week, recv, reserved, version;
    float idle;
    double seconds;
    // The monitor prints the reserved field in decimal, the converter in hex.
    const char* format = Monitor() ? "<%30s %30s %u %f %30s %u %lf %x %u %u" : "<%30s %30s %u %f %30s %u %lf %x %x %u";
    ASSERT_EQ(
        std::sscanf(text.c_str(), format, name, port, &seq, &idle, status, &week, &seconds, &recv, &reserved, &version),
        10)
        << text;
    EXPECT_STREQ(name, "TIMESYNC");
    EXPECT_EQ(PortNameToCode(port), 0x42u);
    EXPECT_EQ(seq, 3u);
    EXPECT_EQ(idle, 45.5f);
    EXPECT_EQ(TimeStatusValue(status), 180);
    EXPECT_EQ(week, 2295u);
    EXPECT_DOUBLE_EQ(seconds, 123456.789);
    EXPECT_EQ(recv, 0x00A0B0C0u);
    EXPECT_EQ(reserved, 0x1234u);
    EXPECT_EQ(version, 17u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_P(TextHeaders, IdleTimeRoundTripsThroughTheText)
{
    BinaryLogHeader h = TimeSyncHeader(0x20);
    h.IdleTime = 91;
    const std::string text = Header(h);
    EXPECT_NE(text.find(",45.5,"), std::string::npos) << text;
    BinaryLogHeader back{};
    ASSERT_EQ(ParseAsciiHeader(text.data(), static_cast<int32_t>(text.size()), 492, &back), 1);
    EXPECT_EQ(back.IdleTime, 91);
    EXPECT_EQ(Header(back).find(",45.5,"), text.find(",45.5,"));
}

ZV_BOTH_PROFILES(TextHeaders);

TEST(HeaderParse, OtherFieldFormsAndRejects)
{
    struct Case
    {
        const char* text;
        int ok;
        uint32_t status;
        uint16_t reserved, version;
    } const cases[] = {
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,2295,1.000,0000000a,00ff,7;1,2", 1, 0xA, 0xFF, 7},
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,2295,1.000,0000000A,12345,7;", 1, 0xA, 12345, 7},
        {"  #BESTPOSA,COM1,0,0.0,FINE,2295,1.000,00000000,0,7;", 1, 0, 0, 7},
        {"#BESTPOSA,COM1,0,0.0,FINE,2295,1.000,123456789,5,7;", 1, 123456789, 5, 7},
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,2295,1.000,00000000,0000;", 0, 0, 0, 0},
        {"#BESTPOSA,,0,0.0,FINESTEERING,2295,1.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,70000,1.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,2295,-1.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,2295,5000000.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,0,200.0,FINESTEERING,2295,1.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,-1,0.0,FINESTEERING,2295,1.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,0,nan,FINESTEERING,2295,1.000,00000000,0000,0;", 0, 0, 0, 0},
        {"#BESTPOSA,COM1,0,0.0,FINESTEERING,2295,1.000,00000000,0000,70000;", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        BinaryLogHeader h{};
        ASSERT_EQ(ParseAsciiHeader(c.text, static_cast<int32_t>(std::strlen(c.text)), 42, &h), c.ok) << c.text;
        if (!c.ok)
            continue;
        EXPECT_EQ(h.ReceiverStatus, c.status) << c.text;
        EXPECT_EQ(h.Reserved, c.reserved) << c.text;
        EXPECT_EQ(h.SoftwareVersion, c.version) << c.text;
        EXPECT_EQ(h.MessageId, 42);
        EXPECT_EQ(h.HeaderLength, 28);
        EXPECT_EQ(h.Milliseconds, 1000u);
    }
}

TEST(HeaderParse, ReadsOnlyTheGivenLength)
{
    const char text[] = "#TIMEA,COM1,0,0.0,FINE,2295,1.000,00000000,0000,12345;";
    BinaryLogHeader h{};
    // The length ends inside the version field: "123" is all there is.
    const int32_t n = static_cast<int32_t>(std::strlen(text)) - 3;
    ASSERT_EQ(ParseAsciiHeader(text, n, 101, &h), 1);
    EXPECT_EQ(h.SoftwareVersion, 123);
    EXPECT_EQ(ParseAsciiHeader(text, 20, 101, &h), 0);
}

TEST(ShortTextHeader, WrittenAndReadBack)
{
    ShortBinaryLogHeader h{};
    FillShortBinaryHeader(325, 40, 2295, 79218125, &h);
    char out[64];
    uint32_t n = 0;
    ASSERT_EQ(WriteShortAsciiHeader("RAWIMU", &h, out, sizeof out, &n), 1);
    EXPECT_STREQ(out, "%RAWIMUSA,2295,79218.125;");
    ShortBinaryLogHeader back{};
    back.MessageLength = 40;
    ASSERT_EQ(ParseShortAsciiHeader(out, static_cast<int32_t>(n), 325, &back), 1);
    EXPECT_EQ(std::memcmp(&h, &back, sizeof h), 0);
    EXPECT_EQ(WriteShortAsciiHeader("RAWIMU", &h, out, 10, &n), 0);
    EXPECT_EQ(ParseShortAsciiHeader("%RAWIMUSA;", 10, 325, &back), 0);
}

// The whole TIMESYNC log of the golden line, built and opened again.
TEST(TextLog, FullLogCrcAndBody)
{
    const std::string golden = "#TIMESYNCA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;"
                               "2295,79218000,FINESTEERING*92b564ed\r\n";
    const std::string log = FullLog(TimeSyncHeader(0x20), "TIMESYNC", "2295,79218000,FINESTEERING");
    ASSERT_EQ(log, golden);

    BinaryLogHeader h{};
    uint32_t off = 0, len = 0;
    ASSERT_EQ(OpenTextLog(log.data(), static_cast<int32_t>(log.size()), 492, &h, &off, &len), 1);
    EXPECT_EQ(log.substr(off, len), "2295,79218000,FINESTEERING");
    BinaryLogHeader want = TimeSyncHeader(0);
    want.MessageLength = h.MessageLength;
    EXPECT_TRUE(SameHeader(h, want));
}

TEST(TextLog, CrcCheckRejects)
{
    const std::string good = FullLog(TimeSyncHeader(0x20), "TIMESYNC", "2295,79218000,FINESTEERING");
    const int32_t n = static_cast<int32_t>(good.size());
    uint32_t star = 0;
    ASSERT_EQ(CheckTextLogCrc(good.data(), n, &star), 1);
    EXPECT_EQ(good[star], '*');

    std::string upper = good;
    for (size_t i = star + 1; i < star + 9; ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    EXPECT_EQ(CheckTextLogCrc(upper.data(), n), 1);

    std::string flipped = good;
    flipped[20] ^= 1;
    EXPECT_EQ(CheckTextLogCrc(flipped.data(), n), 0);
    std::string noStar = good;
    noStar[star] = ',';
    EXPECT_EQ(CheckTextLogCrc(noStar.data(), n), 0);
    std::string badDigit = good;
    badDigit[star + 8] = 'g';
    EXPECT_EQ(CheckTextLogCrc(badDigit.data(), n), 0);
    // The eight digits must lie within the given length, even when the bytes follow in memory.
    for (int32_t cut = static_cast<int32_t>(star) + 1; cut < static_cast<int32_t>(star) + 9; ++cut)
        EXPECT_EQ(CheckTextLogCrc(good.data(), cut), 0) << cut;
    EXPECT_EQ(CheckTextLogCrc(good.data(), static_cast<int32_t>(star) + 9), 1);

    BinaryLogHeader h{};
    uint32_t off = 0, len = 0;
    EXPECT_EQ(OpenTextLog(flipped.data(), n, 492, &h, &off, &len), 0);
    // A header that does not parse fails even with a matching CRC.
    char broken[64];
    uint32_t bn = static_cast<uint32_t>(std::snprintf(broken, sizeof broken, "#TIMESYNCA,COM1;1,2,"));
    ASSERT_EQ(AppendTextLogCrc(broken, sizeof broken, &bn, 1), 1);
    EXPECT_EQ(CheckTextLogCrc(broken, static_cast<int32_t>(bn)), 1);
    EXPECT_EQ(OpenTextLog(broken, static_cast<int32_t>(bn), 492, &h, &off, &len), 0);
}

TEST(TextLog, TrailerNeedsRoom)
{
    char text[24] = "#X,1,";
    uint32_t n = 5;
    // "*", eight digits, CR LF and a NUL behind the text.
    EXPECT_EQ(AppendTextLogCrc(text, 15, &n, 1), 0);
    EXPECT_EQ(n, 5u);
    EXPECT_STREQ(text, "#X,1,");
    EXPECT_EQ(AppendTextLogCrc(text, 16, &n, 0), 0);
    ASSERT_EQ(AppendTextLogCrc(text, 17, &n, 0), 1);
    EXPECT_EQ(n, 16u);
    EXPECT_EQ(CheckTextLogCrc(text, static_cast<int32_t>(n)), 1);
}

// Receivers' numbers always use ".", whatever the desktop's locale.
TEST(TextLog, CommaDecimalLocaleDoesNotLeakIntoLogs)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (Debian package locales-all)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5"); // the trap this test guards against
    UseCNumericLocale();
    const std::string log = FullLog(TimeSyncHeader(0x20), "TIMESYNC", "2295,79218000,FINESTEERING");
    BinaryLogHeader h{};
    uint32_t off = 0, len = 0;
    const int ok = OpenTextLog(log.data(), static_cast<int32_t>(log.size()), 492, &h, &off, &len);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(log.find(",25.0,FINESTEERING,2295,79218.000,"), std::string::npos) << log;
    ASSERT_EQ(ok, 1);
    EXPECT_EQ(h.Milliseconds, 79218000u);
    EXPECT_EQ(h.IdleTime, 50);
}

TEST(BinaryLog, BuiltFramedAndChecked)
{
    const std::vector<uint8_t> body = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::vector<uint8_t> log = BinaryLog(492, body);
    ASSERT_EQ(log.size(), 28u + 12 + 4);
    EXPECT_EQ(Crc32Compute(log.data(), 40),
              static_cast<uint32_t>(log[40] | log[41] << 8 | log[42] << 16 | log[43] << 24));

    std::vector<uint8_t> out(64);
    uint32_t n = 0;
    ASSERT_EQ(CopyBinaryLog(log.data(), static_cast<int32_t>(log.size()), out.data(), 64, &n), 1);
    EXPECT_EQ(n, 40u);
    EXPECT_EQ(0, std::memcmp(out.data(), log.data(), 40));

    // Header and body present but the CRC cut off: an exact-size copy makes any read beyond it visible to ASan.
    std::vector<uint8_t> cut(log.begin(), log.begin() + 40);
    for (int32_t avail = 0; avail <= 43; ++avail)
    {
        std::vector<uint8_t> part(log.begin(), log.begin() + avail);
        EXPECT_EQ(CopyBinaryLog(part.data(), avail, out.data(), 64, &n), 0) << avail;
    }
    EXPECT_EQ(CopyBinaryLog(cut.data(), 40, out.data(), 64, &n), 0);
    EXPECT_EQ(CopyBinaryLog(log.data(), 44, out.data(), 39, &n), 0); // no room
    EXPECT_EQ(CopyBinaryLog(log.data(), -1, out.data(), 64, &n), 0);
    for (size_t i : {size_t{3}, size_t{9}, size_t{30}, size_t{42}})
    {
        std::vector<uint8_t> bad = log;
        bad[i] ^= 0x10;
        EXPECT_EQ(CopyBinaryLog(bad.data(), 44, out.data(), 64, &n), 0) << i;
    }
}

TEST(BinaryLog, ShortHeaderLogs)
{
    std::vector<uint8_t> log(12 + 3 + 4);
    ShortBinaryLogHeader h{};
    FillShortBinaryHeader(325, 3, 2295, 1000, &h);
    std::memcpy(log.data(), &h, 12);
    log[12] = 7;
    log[13] = 8;
    log[14] = 9;
    const uint32_t crc = Crc32Compute(log.data(), 15);
    std::memcpy(log.data() + 15, &crc, 4);
    uint8_t out[32];
    uint32_t n = 0;
    ASSERT_EQ(CopyShortBinaryLog(log.data(), 19, out, sizeof out, &n), 1);
    EXPECT_EQ(n, 15u);
    std::vector<uint8_t> part(log.begin(), log.begin() + 18);
    EXPECT_EQ(CopyShortBinaryLog(part.data(), 18, out, sizeof out, &n), 0);
    log[2] = 0x12;
    EXPECT_EQ(CopyShortBinaryLog(log.data(), 19, out, sizeof out, &n), 0);
}

TEST(BinaryLog, FillKeepsOtherFieldsButAlwaysSetsSync)
{
    BinaryLogHeader h;
    std::memset(&h, 0x5A, sizeof h);
    EXPECT_EQ(FillBinaryHeader(43, 0x20, 4 + 44, 0x20, 7, &h), 0);
    EXPECT_EQ(h.Sync[0], 0xAA);
    EXPECT_EQ(h.Sync[1], 0x44);
    EXPECT_EQ(h.Sync[2], 0x12);
    EXPECT_EQ(h.HeaderLength, 28);
    EXPECT_EQ(h.IdleTime, 0x32);
    EXPECT_EQ(h.Week, 0x5A5A);
    EXPECT_EQ(FillBinaryHeader(43, 0, 0, 0, 0, nullptr), -1);
}

TEST(BinaryLog, ReemitMapsThePortInTheCopyOnly)
{
    std::vector<uint8_t> rec(28 + 8, 0);
    BinaryLogHeader h{};
    FillBinaryHeader(140, 0, 8, 0x01, 0, &h);
    std::memcpy(rec.data(), &h, 28);
    const std::vector<uint8_t> before = rec;
    uint8_t out[64], again[64];
    uint32_t n = 0, n2 = 0;
    ASSERT_EQ(CopyBinaryLogToWire(rec.data(), sizeof out, out, &n), 1);
    ASSERT_EQ(CopyBinaryLogToWire(rec.data(), sizeof again, again, &n2, 2050), 1);
    EXPECT_EQ(rec, before);
    EXPECT_EQ(n, 40u);
    EXPECT_EQ(out[7], 32); // COM1 on the wire
    EXPECT_EQ(again[7], 32);
    EXPECT_EQ(again[4] | again[5] << 8, 2050);
    uint8_t copy[64];
    uint32_t nc = 0;
    EXPECT_EQ(CopyBinaryLog(out, static_cast<int32_t>(n), copy, sizeof copy, &nc), 1);
    EXPECT_EQ(CopyBinaryLog(again, static_cast<int32_t>(n2), copy, sizeof copy, &nc), 1);
    EXPECT_EQ(CopyBinaryLogToWire(rec.data(), 39, out, &n), 0);
    EXPECT_EQ(AppendLogCrc(rec.data(), 39, out, &n), 0);
    ASSERT_EQ(AppendLogCrc(rec.data(), 40, out, &n), 1);
    EXPECT_EQ(out[7], 1); // copied as it stands
}
