#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codec/ins_logs.h"
#include "golden_header.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
// Golden INSPVAX line (header as the golden lines of position_logs_test.cpp);
// CRC checked in python3: zlib.crc32(text[1:star], 0xFFFFFFFF) ^ 0xFFFFFFFF.
const char kInspvax[] =
    "#INSPVAXA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;INS_SOLUTION_GOOD,INS_RTKFIXED,51.11643212345,"
    "-114.03822587654,1064.9521,-16.2713,0.0123,-0.0456,0.0789,1.123456789,-0.987654321,271.500000000,0.0101,0.0102,"
    "0.0203,0.0011,0.0012,0.0013,0.0214,0.0215,0.0516,1f000a,0*34e498f0\r\n";

// The CRC trailer behind the first "*" is right and ends the line.
bool CrcMatches(const std::string& sLine) { return sLine == WithTextCrc(sLine.substr(0, sLine.find('*'))); }

using InsLogs = ProfileTest;

TEST_P(InsLogs, GoldenInspvax)
{
    uint8_t Out[256];
    int32_t n = 0;
    ASSERT_EQ(DecodeInspvaxText(kInspvax, sizeof(kInspvax) - 1, Out, &n), 1);
    ASSERT_EQ(n, 28 + 126);
    InspvaxBody b;
    std::memcpy(&b, Out + 28, sizeof(b));
    EXPECT_EQ(b.InsStatus, 3u);
    EXPECT_EQ(b.PosType, 56u);
    EXPECT_EQ(double{b.Azimuth}, 271.5);
    EXPECT_EQ(b.ExtSolStatus, 0x1F000Au);
    const BinaryLogHeader h = GoldenLogHeader(MSG_ID_INSPVAX, 126, LOG_FORM_ASCII);
    char Text[1024];
    ASSERT_EQ(FormatInspvax(&h, &b, Text, sizeof(Text), &n), 1);
    EXPECT_EQ(std::string(Text, static_cast<size_t>(n)), kInspvax);
    // The abbreviated line keeps the receiver's comma in front of the roll deviation.
    const BinaryLogHeader a = GoldenLogHeader(MSG_ID_INSPVAX, 126, AbbrevFormMarker());
    ASSERT_EQ(FormatInspvax(&a, &b, Text, sizeof(Text), &n), 1);
    EXPECT_NE(std::string(Text, static_cast<size_t>(n)).find(" 0.0013,0.0214 0.0215 0.0516 1f000a 0\r\n"),
              std::string::npos);
}

TEST_P(InsLogs, ImuLogNames)
{
    const uint8_t A = AbbrevFormMarker(), S = ShortHeaderFlag();
    const struct
    {
        const char* pszName;
        uint16_t nConverter, nMonitor;
        uint8_t uType;
    } kCases[] = {
        {"INSPVASA", 2440, 2440, static_cast<uint8_t>(0x20 | S)},
        {"INSPVAA", 2440, 2440, 0x20},
        {"INSPVA", 2440, 2440, A},
        {"INSPVAX", 2442, 2442, A},
        {"inspvaxb", 2442, 2442, 0x00},
        {"RAWIMUSXB", 2402, 2402, S},
        {"RAWIMUS", 2400, 2400, static_cast<uint8_t>(A | S)},
        {"CORRIMUDATASA", 2404, 0xFFFF, static_cast<uint8_t>(0x20 | S)},
        {"TIMEDWHEELDATA", 2407, 2405, A},
        {"INSPVAC", 0xFFFF, 0xFFFF, 0},
        {"INSSTATUSA", 2471, 0xFFFF, 0x20},
    };
    for (const auto& c : kCases)
    {
        uint8_t uType = 0xEE;
        const uint16_t nId = ImuLogNameToId(c.pszName, static_cast<uint32_t>(std::strlen(c.pszName)), &uType);
        EXPECT_EQ(nId, Monitor() ? c.nMonitor : c.nConverter) << c.pszName;
        if (nId != 0xFFFF)
        {
            EXPECT_EQ(uType, c.uType) << c.pszName;
        }
    }
    EXPECT_EQ(ImuLogNameToId("INSPVA", 0), 0xFFFF);
    EXPECT_STREQ(ImuLogName(2405), Monitor() ? "TIMEDWHEELDATA" : "CORRIMUDATAS");
    EXPECT_EQ(ImuLogNameLength(7002), Monitor() ? 0u : 9u);
    EXPECT_EQ(ImuLogName(1), nullptr);
}

TEST_P(InsLogs, ShortHeaderForms)
{
    const InsAttBody b{2295, 79218.125, 1.5, -2.5, 359.25, 5}; // INS status 5 has no name
    const uint8_t S = ShortHeaderFlag();
    char Out[512];
    int32_t n = 0;

    BinaryLogHeader h = GoldenLogHeader(MSG_ID_INSATT, 40, static_cast<uint8_t>(LOG_FORM_ASCII | S));
    ASSERT_EQ(FormatInsAtt(&h, &b, Out, sizeof(Out), &n), 1);
    std::string s(Out, static_cast<size_t>(n));
    EXPECT_EQ(s.substr(0, 42), "%INSATTSA,2295,79218.000;2295,79218.125000");
    EXPECT_NE(s.find(",359.250000000,*"), std::string::npos) << s;
    EXPECT_TRUE(CrcMatches(s)) << s;

    h.MessageType = static_cast<uint8_t>(AbbrevFormMarker() | S);
    ASSERT_EQ(FormatInsAtt(&h, &b, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, static_cast<size_t>(n)),
              "<INSATTS 2295 79218.000000\r\n<\t2295 79218.125000000 1.500000000 -2.500000000 359.250000000 \r\n");

    // The other program's short-header flag means nothing here: the long header.
    h.MessageType = static_cast<uint8_t>(LOG_FORM_ASCII | (Monitor() ? 0x10 : 0x01));
    ASSERT_EQ(FormatInsAtt(&h, &b, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, 8), "#INSATTA");

    const RawImuXBody x{0xAB, 32, 2295, 79218.005, 0xBEEF, {1, -2, 3, -4, 5, -6}};
    h = GoldenLogHeader(MSG_ID_RAWIMUX, 40, static_cast<uint8_t>(LOG_FORM_ASCII | S));
    ASSERT_EQ(FormatRawImuX(&h, &x, Out, sizeof(Out), &n), 1);
    s.assign(Out, static_cast<size_t>(n));
    EXPECT_EQ(s.substr(0, 26), "%RAWIMUSXA,2295,79218.000;");
    EXPECT_NE(s.find(";AB,32,2295,79218.005000000,0000beef,1,-2,3,-4,5,-6*"), std::string::npos) << s;
    EXPECT_TRUE(CrcMatches(s));
    h.MessageType = static_cast<uint8_t>(AbbrevFormMarker() | S);
    ASSERT_EQ(FormatRawImuX(&h, &x, Out, sizeof(Out), &n), 1);
    EXPECT_EQ(std::string(Out, 29), "<RAWIMUSX 2295 79218.000000\r\n");
}

TEST_P(InsLogs, TimedWheelDataDecodesToAShortRecord)
{
    const std::string s = WithTextCrc("%TIMEDWHEELDATAA,2295,79218.250;1024,65535,12.500,77,4294967295,4294967291");
    uint8_t Out[64];
    int32_t n = 0;
    ASSERT_EQ(DecodeTimedWheelDataText(s.data(), static_cast<int32_t>(s.size()), Out, &n), 1);
    ASSERT_EQ(n, 32);
    ShortBinaryLogHeader h;
    TimedWheelBody b;
    std::memcpy(&h, Out, 12);
    std::memcpy(&b, Out + 12, 20);
    EXPECT_EQ(h.MessageId, MSG_ID_TIMEDWHEELDATA);
    EXPECT_EQ(h.MessageLength, 20);
    EXPECT_EQ(h.Milliseconds, 79218250u);
    EXPECT_EQ(b.TicksPerRev, 1024);
    EXPECT_EQ(b.WheelVel, 65535);
    EXPECT_EQ(b.CumulativeTicks, -5);

    BinaryLogHeader Long{};
    Long.Sequence = 77;
    ShortToLongHeader(&h, &Long);
    EXPECT_EQ(Long.Sync[2], 0x13);
    EXPECT_EQ(Long.HeaderLength, 28);
    EXPECT_EQ(Long.MessageLength, 20);
    EXPECT_EQ(Long.Week, 2295);
    EXPECT_EQ(Long.Sequence, 77);
}

TEST_P(InsLogs, InsStatusWritesItsLastWordInHex)
{
    InsStatusBody b{};
    b.Words[2] = 0x10;
    const BinaryLogHeader h = GoldenLogHeader(MSG_ID_INSSTATUS, 204, LOG_FORM_ASCII);
    char Out[1024];
    int32_t n = 0;
    ASSERT_EQ(FormatInsStatus(&h, &b, Out, sizeof(Out), &n), 1);
    const std::string s(Out, static_cast<size_t>(n));
    EXPECT_NE(s.find(";INS_INACTIVE,0,0.000000,"), std::string::npos);
    EXPECT_NE(s.find(",0.000,0,0,00000010*"), std::string::npos) << s;
    uint8_t Rec[256];
    ASSERT_EQ(DecodeInsStatusText(s.data(), n, Rec, &n), 1);
    InsStatusBody Back;
    std::memcpy(&Back, Rec + 28, sizeof(Back));
    EXPECT_EQ(Back.Words[2], 0x10u);
}

// INSCONFIG: one translation and one rotation behind the fixed part.
#pragma pack(push, 1)
struct InsConfigLog
{
    InsConfigBody Fixed;
    InsOffsetRecord Translation;
    uint32_t RotationCount;
    InsOffsetRecord Rotation;
};
#pragma pack(pop)
static_assert(sizeof(InsConfigLog) == 63 + 36 + 4 + 36, "INSCONFIG with one offset each");

TEST_P(InsLogs, InsConfig)
{
    InsConfigLog c{};
    c.Fixed.ImuType = 32;
    c.Fixed.InsProfile = 33;
    c.Fixed.HexWord1 = 0xAB;
    c.Fixed.AlignmentMode = 4;
    c.Fixed.Unprinted[0] = 7; // whatever these hold, "ROVER" and "FALSE" are written
    c.Fixed.TranslationCount = 1;
    c.Translation = {1, 0, 0.1f, 0.2f, 0.3f, 0.01f, 0.02f, 0.03f, 3};
    c.RotationCount = 1;
    c.Rotation = {8, 1, 0, 0, 90.0f, 1, 1, 1, 12};
    BinaryLogHeader h = GoldenLogHeader(7002, sizeof(c), LOG_FORM_ASCII);
    char Out[1024];
    int32_t n = 0;
    ASSERT_EQ(FormatInsConfig(&h, &c, Out, sizeof(Out), &n), 1);
    const std::string s(Out, static_cast<size_t>(n));
    EXPECT_NE(s.find(";STIM300,0,0,0,LAND_PLUS,000000AB,DUALANT,ROVER,FALSE,00000000,0,0,0,0,0,0,0,0,0,1,ANT1,IMUBODY,"
                     "0.1000,0.2000,0.3000,0.0100,0.0200,0.0300,CALIBRATED,1,ALIGN,VEHICLE,0.0000,0.0000,90.0000,"
                     "1.0000,1.0000,1.0000,UNKNOWN*"),
              std::string::npos)
        << s;
    EXPECT_TRUE(CrcMatches(s));

    h.MessageType = AbbrevFormMarker();
    ASSERT_EQ(FormatInsConfig(&h, &c, Out, sizeof(Out), &n), 1);
    const std::string a(Out, static_cast<size_t>(n));
    EXPECT_NE(a.find("\r\n<\tSTIM300 0 0 0 LAND_PLUS 000000AB DUALANT ROVER FALSE "), std::string::npos) << a;
    EXPECT_EQ(a.substr(a.size() - 16), "1.0000 UNKNOWN\r\n") << a;

    // Counts that reach past the declared body are refused, not read.
    c.RotationCount = 2;
    EXPECT_EQ(FormatInsConfig(&h, &c, Out, sizeof(Out), &n), 0);
    c.RotationCount = 1;
    c.Fixed.TranslationCount = 0x7FFFFFFF;
    EXPECT_EQ(FormatInsConfig(&h, &c, Out, sizeof(Out), &n), 0);
}

TEST_P(InsLogs, Vocabulary)
{
    EXPECT_STREQ(InsStatusName(3), "INS_SOLUTION_GOOD");
    EXPECT_EQ(InsStatusName(5), nullptr);
    EXPECT_EQ(InsStatusFromName("WAITING_AZIMUTH"), 10u);
    EXPECT_EQ(InsStatusFromName(""), 0xFFFFFFFFu); // not INS_INACTIVE
    EXPECT_EQ(InsProfileFromName("land_plus", 9), 33u);
    EXPECT_EQ(InsProfileFromName("RESERVED", 8), 4u);
    EXPECT_EQ(InsProfileFromName("LAND_PLUSX", 10), 0xFFFFFFFFu);
    EXPECT_STREQ(LogImuTypeName(999), "UNKNOWN");
    EXPECT_STREQ(LogImuTypeName(114), "AI_OPEN400");
    EXPECT_STREQ(OffsetTypeName(0), "");
    EXPECT_STREQ(OffsetTypeName(15), "AUTO");
    EXPECT_STREQ(OffsetSourceName(10), "UNKNOWN");
    EXPECT_STREQ(AlignmentModeName(4), "DUALANT");
    EXPECT_EQ(FrameName(3), nullptr);
}

ZV_BOTH_PROFILES(InsLogs);
}
