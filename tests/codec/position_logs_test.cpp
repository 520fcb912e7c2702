#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codec/crc.h"
#include "codec/position_logs.h"
#include "codec/utm_logs.h"
#include "golden_header.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
// Golden full-text lines. Header: COM1, sequence 0, idle byte 50, FINESTEERING,
// week 2295, 79218.000 s, status 0, reserved 0, version 0. Each CRC was checked
// apart from the codec, in python3, as the reflected CRC-32 without inversion:
// zlib.crc32(text[1:star], 0xFFFFFFFF) ^ 0xFFFFFFFF (cross-checked with a
// bitwise loop over the polynomial 0xEDB88320 from a zero register).
const char kBestPos[] =
    "#BESTPOSA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;SOL_COMPUTED,NARROW_INT,51.11643212345,"
    "-114.03822587654,1064.9521,-16.2713,WGS84,0.0123,0.0098,0.0231,\"AB\",1.500,0.250,31,24,22,20,1a,0b,3f,73"
    "*cb2402ba\r\n";
const char kTime[] = "#TIMEA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;VALID,-1.234567891e-08,"
                     "2.500000000e-10,-18.00000000000,2023,12,31,22,0,0,WARNING*8277f689\r\n";
const char kTimeSync[] = "#TIMESYNCA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;2295,79218000,FINESTEERING"
                         "*92b564ed\r\n";

// A full text line with the CRC recomputed over a changed body.
std::string WithCrc(const std::string& sLine) { return WithTextCrc(sLine.substr(0, sLine.find('*'))); }

template <typename Body> bool Decode(int (*pDecode)(const char*, int32_t, uint8_t*, int32_t*), const std::string& sText,
                                     BinaryLogHeader* pHeader, Body* pBody)
{
    uint8_t Out[512];
    int32_t n = 0;
    if (!pDecode(sText.data(), static_cast<int32_t>(sText.size()), Out, &n))
        return false;
    EXPECT_EQ(n, static_cast<int32_t>(28 + sizeof(Body)));
    std::memcpy(pHeader, Out, 28);
    std::memcpy(pBody, Out + 28, sizeof(Body));
    return true;
}

using PositionLogs = ProfileTest;

TEST_P(PositionLogs, GoldenBestPosReadsBackTheReservedByteInHex)
{
    BinaryLogHeader h;
    PositionBody b;
    ASSERT_TRUE(Decode(DecodePositionText, kBestPos, &h, &b));
    EXPECT_EQ(h.MessageId, MSG_ID_BESTPOS);
    EXPECT_EQ(h.MessageLength, 72);
    EXPECT_EQ(b.PosType, 50u);
    EXPECT_EQ(b.DatumId, 61u);
    EXPECT_EQ(0, std::memcmp(b.StationId, "AB\0\0", 4));
    // Written "1a": read as hexadecimal it is 26; read as decimal the line would not decode.
    EXPECT_EQ(b.Sats.Reserved, 0x1A);
    EXPECT_EQ(b.Sats.GpsGloSignalMask, 0x73);

    char Out[512];
    int32_t n = 0;
    const BinaryLogHeader Full = GoldenLogHeader(MSG_ID_BESTPOS, 72, LOG_FORM_ASCII);
    ASSERT_EQ(FormatPosition(3, &Full, &b, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, static_cast<size_t>(n)), kBestPos);
    // The abbreviated line prints the reserved byte in decimal and one mask as "%x".
    const BinaryLogHeader Abbrev = GoldenLogHeader(MSG_ID_BESTPOS, 72, AbbrevFormMarker());
    ASSERT_EQ(FormatPosition(3, &Abbrev, &b, Out, sizeof(Out), &n), 1);
    const std::string sAbbrev(Out, static_cast<size_t>(n));
    EXPECT_NE(sAbbrev.find("\r\n<\tSOL_COMPUTED NARROW_INT 51.11643212345 -114.03822587654 1064.9521 -16.2713 WGS84 "
                           "0.0123 0.0098 0.0231 \"AB\" 1.500 0.250 31 24 22 20 26 0b 3f 73\r\n"),
              std::string::npos)
        << sAbbrev;
}

TEST_P(PositionLogs, GoldenTimeKeepsTheLastStatusNameApartFromTheCrc)
{
    BinaryLogHeader h;
    TimeBody b;
    ASSERT_TRUE(Decode(DecodeTimeText, kTime, &h, &b));
    EXPECT_EQ(h.MessageId, MSG_ID_TIME);
    EXPECT_EQ(b.ClockStatus, 0u);
    EXPECT_EQ(b.UtcYear, 2023u);
    EXPECT_EQ(b.UtcMonth, 12);
    EXPECT_EQ(b.UtcMinute, 0);
    EXPECT_EQ(b.UtcStatus, 2u); // "WARNING", not "WARNING*8277f689"
    char Out[512];
    int32_t n = 0;
    const BinaryLogHeader Full = GoldenLogHeader(MSG_ID_TIME, 44, LOG_FORM_ASCII);
    ASSERT_EQ(FormatTime(&Full, &b, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, static_cast<size_t>(n)), kTime);
}

TEST_P(PositionLogs, GoldenTimeSync)
{
    const TimeSyncBody b{2295, 79218000, 180};
    const BinaryLogHeader h = GoldenLogHeader(MSG_ID_TIMESYNC, 12, LOG_FORM_ASCII);
    char Out[256];
    int32_t n = 0;
    ASSERT_EQ(FormatTimeSync(&h, &b, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, static_cast<size_t>(n)), kTimeSync);
}

TEST_P(PositionLogs, TimeWritesUnsigned32BitFieldsWhole)
{
    // Year and milliseconds are u32: beyond the range of a 32-bit "%ld"/"%d" they still print and read back.
    TimeBody b{};
    b.UtcYear = 4000000000u;
    b.UtcMs = 3000000000u;
    b.UtcStatus = 1;
    const BinaryLogHeader h = GoldenLogHeader(MSG_ID_TIME, 44, LOG_FORM_ASCII);
    char Out[512];
    int32_t n = 0;
    ASSERT_EQ(FormatTime(&h, &b, Out, sizeof(Out), &n), 1);
    const std::string sText(Out, static_cast<size_t>(n));
    EXPECT_NE(sText.find(",4000000000,0,0,0,0,3000000000,VALID*"), std::string::npos) << sText;
    BinaryLogHeader h2;
    TimeBody b2;
    ASSERT_TRUE(Decode(DecodeTimeText, sText, &h2, &b2));
    EXPECT_EQ(0, std::memcmp(&b, &b2, sizeof(b)));
}

TEST_P(PositionLogs, RejectsLinesWithTooFewValuesOrBadTrailers)
{
    BinaryLogHeader h;
    PositionBody b;
    std::string s = kBestPos;
    // 16 numeric values instead of 17: the last mask dropped, CRC made right again.
    EXPECT_FALSE(Decode(DecodePositionText, WithCrc(s.replace(s.find(",73*"), 3, "")), &h, &b));
    std::string sBadCrc = kBestPos;
    sBadCrc[sBadCrc.find('*') + 1] = '0';
    EXPECT_FALSE(Decode(DecodePositionText, sBadCrc, &h, &b));
    const std::string sNoStar = std::string(kBestPos).substr(0, std::string(kBestPos).find('*'));
    EXPECT_FALSE(Decode(DecodePositionText, sNoStar, &h, &b));
    // A "*" within the last five characters leaves no room for the eight CRC digits.
    const std::string sLateStar = std::string(kBestPos).substr(0, std::string(kBestPos).find('*') + 5);
    EXPECT_FALSE(Decode(DecodePositionText, sLateStar, &h, &b));
    // An unknown log name has no message ID.
    std::string sName = kBestPos;
    EXPECT_FALSE(Decode(DecodePositionText, WithCrc(sName.replace(1, 7, "NOSUCHL")), &h, &b));
}

TEST_P(PositionLogs, NamesReadBackExactlyAndUnknownNamesStayUnknown)
{
    BinaryLogHeader h;
    PositionBody b;
    struct
    {
        const char* pszFrom;
        const char* pszTo;
        uint32_t PositionBody::*pField;
        uint32_t nWant;
    } const kCases[] = {
        {"WGS84", "WGS84X", &PositionBody::DatumId, 0xFFFFFFFFu}, // a longer word is another name
        {"WGS84", "NOSUCH", &PositionBody::DatumId, 0xFFFFFFFFu},
        {"NARROW_INT", "NARROW", &PositionBody::PosType, 0xFFFFFFFFu},
        {"SOL_COMPUTED", "COLD_START", &PositionBody::SolStatus, 6},
        {"SOL_COMPUTED", "SOL_COMPUTEDX", &PositionBody::SolStatus, 0xFFFFFFFFu},
    };
    for (const auto& c : kCases)
    {
        std::string s = kBestPos;
        s.replace(s.find(c.pszFrom), std::strlen(c.pszFrom), c.pszTo);
        ASSERT_TRUE(Decode(DecodePositionText, WithCrc(s), &h, &b)) << c.pszTo;
        EXPECT_EQ(b.*(c.pField), c.nWant) << c.pszTo;
    }
    // Clock and UTC status: an unknown name is not "VALID" or "INVALID".
    EXPECT_EQ(ClockStatusFromName("BOGUS"), 0xFFFFFFFFu);
    EXPECT_EQ(ClockStatusFromName("INVALID"), 3u);
    EXPECT_EQ(UtcStatusFromName("VALID*1234abcd"), 1u);
    EXPECT_EQ(UtcStatusFromName("VALIDATED"), 0xFFFFFFFFu);
    EXPECT_EQ(PosTypeFromName("BOGUS"), 0u);
}

TEST_P(PositionLogs, ProfileNameTables)
{
    // Datums: 87 names in the converter; WGS84, USER, CGCS2000 and "ERROR" otherwise in the monitor.
    EXPECT_STREQ(DatumName(61), "WGS84");
    EXPECT_STREQ(DatumName(63), "USER");
    EXPECT_EQ(DatumFromName("WGS84"), 61u);
    EXPECT_EQ(DatumFromName("INDI"), Monitor() ? 0xFFFFFFFFu : 70u);
    EXPECT_EQ(DatumFromName("INDIA"), Monitor() ? 0xFFFFFFFFu : 27u);
    EXPECT_STREQ(DatumName(13), Monitor() ? "ERROR" : "ED50");
    EXPECT_STREQ(DatumName(100), Monitor() ? "CGCS2000" : nullptr);
    EXPECT_EQ(DatumFromName("CGCS2000"), Monitor() ? 100u : 0xFFFFFFFFu);
    EXPECT_STREQ(DatumName(86), Monitor() ? "ERROR" : "TOYM");
    EXPECT_STREQ(DatumName(87), Monitor() ? "ERROR" : nullptr);

    // Position types and solution status read back through the profile's own names.
    EXPECT_EQ(PosTypeFromTableName("PPP"), Monitor() ? 69u : 0xFFFFFFFFu);
    EXPECT_EQ(PosTypeFromTableName("OMNISTAR_HP"), Monitor() ? 0xFFFFFFFFu : 64u);
    EXPECT_EQ(SolutionStatusFromName("INVALID_RATE"), Monitor() ? 0xFFFFFFFFu : 22u);

    // Log names by kind: the monitor has no BESTPOS2.
    EXPECT_STREQ(PositionLogName(5), Monitor() ? "MATCHEDPOS" : "BESTPOS2");
    EXPECT_STREQ(PositionLogName(8), Monitor() ? "MARK2POS" : "MARKPOS");
    EXPECT_EQ(PositionLogName(Monitor() ? 9 : 10), nullptr);
}

TEST_P(PositionLogs, FormatterNamesAndEnumerations)
{
    const BinaryLogHeader h = GoldenLogHeader(MSG_ID_BESTXYZ, 112, LOG_FORM_ASCII);
    const XyzBody Xyz{};
    char Out[1024];
    int32_t n = 0;
    ASSERT_EQ(FormatXyz(5, &h, &Xyz, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, 10), "#BESTXYZ2A");
    EXPECT_EQ(FormatXyz(6, &h, &Xyz, Out, sizeof(Out), &n), 0);
    const VelocityBody Vel{};
    EXPECT_EQ(FormatVelocity(5, &h, &Vel, Out, sizeof(Out), &n), 0);
    ASSERT_EQ(FormatVelocity(4, &h, &Vel, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, 13), "#BESTGNSSVELA");

    // AVEPOS: only 1 and 2 have names of their own.
    for (const uint32_t nStatus : {0u, 3u, 1u, 2u})
    {
        AvePosBody a{};
        a.AveStatus = nStatus;
        ASSERT_EQ(FormatAvePos(&h, &a, Out, sizeof(Out), &n), 1);
        const char* pszWant = nStatus == 1 ? ",INPROGRESS," : nStatus == 2 ? ",COMPLETE," : ",OFF,";
        EXPECT_NE(std::string(Out, static_cast<size_t>(n)).find(pszWant), std::string::npos) << nStatus;
    }
    // A record that asks for binary form still gets whole text lines, with CRC.
    const BinaryLogHeader Binary = GoldenLogHeader(MSG_ID_TIMESYNC, 12, LOG_FORM_BINARY);
    const TimeSyncBody Sync{2295, 79218000, 180};
    ASSERT_EQ(FormatTimeSync(&Binary, &Sync, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, static_cast<size_t>(n)), kTimeSync);
}

TEST_P(PositionLogs, StationIds)
{
    char Id[4];
    const struct
    {
        uint32_t nNumber;
        const char Want[4];
    } kCases[] = {{0, {0, 0, 0, 0}},
                  {7, {'7', 0, 0, 0}},
                  {9999, {'9', '9', '9', '9'}},
                  {10000, {'2', '7', '1', '0'}},
                  {0x12345, {'1', '2', '3', '4'}}};
    for (const auto& c : kCases)
    {
        StationIdText(c.nNumber, Id);
        EXPECT_EQ(0, std::memcmp(Id, c.Want, 4)) << c.nNumber;
    }
    // A quoted ID longer than four characters keeps its first four.
    std::string s = kBestPos;
    s.replace(s.find("\"AB\""), 4, "\"ABCDEF\"");
    BinaryLogHeader h;
    PositionBody b;
    ASSERT_TRUE(Decode(DecodePositionText, WithCrc(s), &h, &b));
    EXPECT_EQ(0, std::memcmp(b.StationId, "ABCD", 4));
}

TEST_P(PositionLogs, CsvExport)
{
    char Out[512];
    int32_t n = 0;
    EXPECT_EQ(SolutionTextToCsv(43, kBestPos, sizeof(kBestPos) - 1, Out, sizeof(Out), &n), -1);
    std::string sBad = kBestPos;
    sBad[sBad.find('*') + 1] ^= 1;
    n = 99;
    EXPECT_EQ(SolutionTextToCsv(42, sBad.data(), static_cast<int32_t>(sBad.size()), Out, sizeof(Out), &n), 0);
    EXPECT_EQ(n, 0);
    ASSERT_EQ(SolutionTextToCsv(42, kBestPos, sizeof(kBestPos) - 1, Out, sizeof(Out), &n), 0);
    // Station "AB" as one little-endian number: 0x4241.
    EXPECT_EQ(std::string(Out, static_cast<size_t>(n)),
              "2295,79218.000,00000000,0,50,51.11643212345,-114.03822587654,1064.9521,-16.2713,61,0.0123,0.0098,"
              "0.0231,16961,1.500,0.250,31,24,22,20,26,11,63,115\r\n");
    EXPECT_EQ(CsvLogIndex(971), 12u);
    EXPECT_EQ(CsvLogIndex(101), 0xFFFFFFFFu);
}

TEST_P(PositionLogs, BuildBinaryLogAppendsTheCrcOfHeaderAndBody)
{
    const BinaryLogHeader h = GoldenLogHeader(MSG_ID_BESTPOS, 72, 0);
    PositionBody b{};
    b.Latitude = 1.0;
    uint8_t Log[104];
    int32_t n = 0;
    ASSERT_EQ(BuildBinaryLog(&h, &b, Log, sizeof(Log), &n), 1);
    ASSERT_EQ(n, 104);
    const uint32_t uCrc = Crc32Compute(Log, 100);
    EXPECT_EQ(Log[100], uCrc & 0xFF);
    EXPECT_EQ(Log[103], uCrc >> 24);
    BinaryLogHeader Bad = h;
    Bad.HeaderLength = 27;
    EXPECT_EQ(BuildBinaryLog(&Bad, &b, Log, sizeof(Log), &n), 0);
}

TEST_P(PositionLogs, BestUtmAndUavGps)
{
    char Out[1024];
    int32_t n = 0;
    BestUtmBody u{};
    u.ZoneNumber = 32;
    u.ZoneLetter = 'U';
    u.DatumId = 61;
    const BinaryLogHeader h = GoldenLogHeader(169, 80, LOG_FORM_ASCII);
    ASSERT_EQ(FormatBestUtm(&h, &u, Out, sizeof(Out), &n), 1);
    const std::string sUtm(Out, static_cast<size_t>(n));
    EXPECT_NE(sUtm.find(";SOL_COMPUTED,NONE,32,U,0.0000,"), std::string::npos) << sUtm;
    EXPECT_NE(sUtm.find(",WGS84,0.0000,0.0000,0.0000,\"\",0.000,"), std::string::npos) << sUtm;

    UavGpsBody g{};
    g.Bytes[0] = 255;
    g.Bytes[2] = 128;
    BinaryLogHeader Abbrev = GoldenLogHeader(176, 87, AbbrevFormMarker());
    ASSERT_EQ(FormatUavGps(&Abbrev, &g, Out, sizeof(Out), &n), 1);
    const std::string sUav(Out, static_cast<size_t>(n));
    const std::string sBody = Monitor() ? "\r\n<\t\t0 0 0 0 0 " : "\r\n<\t0 0 0 0 0 ";
    EXPECT_EQ(sUav.rfind(Monitor() ? "<PX4GPS " : "<UAVGPS ", 0), 0u) << sUav;
    EXPECT_NE(sUav.find(sBody), std::string::npos) << sUav;
    // Unsigned trailing bytes, and a line end in both programs.
    EXPECT_EQ(sUav.substr(sUav.size() - 12), " 255 0 128\r\n");
}

ZV_BOTH_PROFILES(PositionLogs);
}
