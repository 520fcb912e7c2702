#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "monitor/parsing/ins_config.h"
#include "support/profile_fixture.h"

namespace
{
const char* kHead = "ADIS16488,5,20,300,LAND_BASIC,0000001F,STATIC,ROVER,FALSE,00000003,1,2,3,4,5,6,7,8,9,";
const char* kAnt1 = "ANT1,IMUBODY,0.1000,0.2000,0.3000,0.0100,0.0200,0.0300,FROM_NVM";
const char* kAnt2 = "ANT2,VEHICLE,1.0000,2.0000,3.0000,0.0500,0.0500,0.0500,CALIBRATED";
const char* kRbv = "RBV, IMUBODY, 0.0000, 0.0000, 90.0000, 1.0000, 1.0000, 1.0000, FROM_COMMAND";

std::string Body(int nTranslations, const std::string& sRotations = std::string("1,") + kRbv)
{
    std::string s = std::string(kHead) + std::to_string(nTranslations);
    for (int i = 0; i < nTranslations; ++i)
        s += std::string(",") + (i % 2 ? kAnt2 : kAnt1);
    return s + "," + sRotations + "*1a2b3c4d";
}

int Parse(const std::string& s, INS_CONFIG_T* p, bool* pComplete)
{
    return ParseInsConfig(s.data(), static_cast<int32_t>(s.size()), p, pComplete);
}
} // namespace

TEST(InsVocabulary, NamesBothWays)
{
    EXPECT_EQ(ImuTypeFromName("MICROIMU"), 52u);
    EXPECT_STREQ(ImuTypeName(52), "LITEF_MICROIMU");
    EXPECT_EQ(ImuTypeFromName("LITEF_MICROIMU"), 52u);
    EXPECT_EQ(ImuTypeFromName("T_BMX055"), 258u);
    EXPECT_STREQ(ImuTypeName(258), "BMX055");
    EXPECT_EQ(ImuTypeFromName("NOPE"), 0u);
    EXPECT_STREQ(ImuTypeName(518), "AI_OPEN500");
    EXPECT_EQ(ImuTypeName(2), nullptr);
    EXPECT_EQ(InsOffsetSourceName(8), nullptr);
    EXPECT_EQ(InsOffsetSourceFromName("DUALANT"), 13u);
    EXPECT_EQ(InsOffsetSourceFromName("ODO,", 3), 14u);
    EXPECT_STREQ(InsProfileName(33), "LAND_PLUS");
    EXPECT_EQ(InsProfileName(4), nullptr);
    EXPECT_STREQ(InsAlignModeName(5), "EX_HEADING");
    EXPECT_STREQ(InsSwitchName(2), "CLEAR");
    EXPECT_STREQ(InsFrameName(2), "GNSS");
    EXPECT_EQ(InsCalibrationStateFromName("high_rotation"), 9u);
    EXPECT_EQ(InsCalibrationStateFromName("CALIBRATE"), INS_NAME_UNKNOWN);
}

TEST(InsVocabulary, FieldOffset)
{
    uint32_t o = 99;
    EXPECT_EQ(FieldOffset(2, "a,b,c", 5, &o), 1);
    EXPECT_EQ(o, 4u);
    EXPECT_EQ(FieldOffset(5, "a,b", 3, &o), 0);
    EXPECT_EQ(o, 4u);
    // The length bounds the search even when the text goes on.
    EXPECT_EQ(FieldOffset(2, "a,b,c", 3, &o), 0);
}

TEST(InsConfigParser, ReadsHeadTranslationsAndRotations)
{
    INS_CONFIG_T c{};
    bool bComplete = false;
    const int n = Parse(Body(2), &c, &bComplete);
    EXPECT_TRUE(bComplete);
    EXPECT_EQ(n, 20 + 2 * 9 + 1 + 9);
    EXPECT_EQ(c.ImuType, 31u);
    EXPECT_EQ(c.Byte2, 5);
    EXPECT_EQ(c.AlignVelocity, 20);
    EXPECT_EQ(c.Word4, 300);
    EXPECT_EQ(c.Profile, 1u);
    EXPECT_EQ(c.EnabledUpdates, 0x1Fu);
    EXPECT_EQ(c.AlignMode, 2u);
    EXPECT_EQ(c.RelativeDirection, 0u);
    EXPECT_EQ(c.RelativeFlag, 0u);
    EXPECT_EQ(c.StatusWord, 3u);
    EXPECT_EQ(c.SeedMode, 1u);
    EXPECT_EQ(c.SeedValidation, 2u);
    EXPECT_EQ(std::string(c.Flags, 7), "3456789");
    ASSERT_EQ(c.TranslationCount, 2u);
    EXPECT_EQ(c.Translations[0].Source, 1u);
    EXPECT_FLOAT_EQ(c.Translations[0].Value[2], 0.3f);
    EXPECT_EQ(c.Translations[0].CalibrationState, 1u);
    EXPECT_EQ(c.Translations[1].Frame, 1u);
    EXPECT_FLOAT_EQ(c.Translations[1].StdDev[0], 0.05f);
    ASSERT_EQ(c.RotationCount, 1u);
    EXPECT_EQ(c.Rotations[0].Source, 11u);
    EXPECT_FLOAT_EQ(c.Rotations[0].Value[2], 90.0f);
    // The last entry ends at "*", not at the CRC behind it.
    EXPECT_EQ(c.Rotations[0].CalibrationState, 4u);
}

TEST(InsConfigParser, CountsAreBoundedAndChecked)
{
    // More entries than the record holds: all are read, the first ones kept,
    // and the rotations behind them are still found.
    INS_CONFIG_T c{};
    bool bComplete = false;
    Parse(Body(40), &c, &bComplete);
    EXPECT_TRUE(bComplete);
    EXPECT_EQ(c.TranslationCount, INS_CONFIG_MAX_OFFSETS);
    EXPECT_EQ(c.RotationCount, 1u);
    EXPECT_EQ(c.Rotations[0].Source, 11u);

    // A count the text does not hold, or fields that do not read, leave the
    // previous record as it was.
    const INS_CONFIG_T before = c;
    struct Bad
    {
        const char* Name;
        std::string Text;
    } bad[] = {
        {"count_beyond_text", std::string(kHead) + "1000," + kAnt1 + ",0*00000000"},
        {"bad_float", Body(1, std::string("1,RBV,IMUBODY,0.0,abc,0,0,0,0,FROM_NVM"))},
        // Beyond any lever arm or angle, and beyond what a float holds.
        {"float_out_of_range", Body(1, std::string("1,RBV,IMUBODY,0.0,1e300,0,0,0,0,FROM_NVM"))},
        {"infinite_float", Body(1, std::string("1,RBV,IMUBODY,inf,0,0,0,0,0,FROM_NVM"))},
        {"not_a_number", Body(1, std::string("1,RBV,IMUBODY,0,0,0,nan,0,0,FROM_NVM"))},
        {"unknown_frame", Body(1, std::string("1,RBV,BODY,0,0,0,0,0,0,FROM_NVM"))},
        {"rotation_count_missing", std::string(kHead) + "1," + kAnt1 + "*00000000"},
        {"trailing_field", Body(1, std::string("1,") + kRbv + ",x")},
        {"huge_count", std::string(kHead) + "4294967296,0*00000000"},
        {"empty", ""},
    };
    for (const Bad& b : bad)
    {
        bComplete = true;
        Parse(b.Text, &c, &bComplete);
        EXPECT_FALSE(bComplete) << b.Name;
        EXPECT_EQ(std::memcmp(&c, &before, sizeof c), 0) << b.Name;
    }
}

TEST(InsConfigParser, FieldsAreSplitAtCommasNotByWidth)
{
    // Wider single-character fields and a third relative-output word do not
    // shift the fields behind them.
    INS_CONFIG_T c{};
    bool bComplete = false;
    const std::string s = "ADIS16488,5,20,300,LAND_BASIC,1F,STATIC,MASTER,LOCALLEVEL,TRUE,A,7,0,"
                          "10,11,12,13,14,15,16,1," +
                          std::string(kAnt1) + ",0";
    Parse(s, &c, &bComplete);
    EXPECT_TRUE(bComplete);
    EXPECT_EQ(c.RelativeDirection, 1u);
    EXPECT_EQ(c.RelativeFrame, 1u);
    EXPECT_EQ(c.RelativeFlag, 1u);
    EXPECT_EQ(c.StatusWord, 0xAu);
    EXPECT_EQ(c.SeedMode, 0u); // only 0, 1 and 2 are seed modes
    EXPECT_EQ(std::string(c.Flags, 7), "1111111");
    EXPECT_EQ(c.TranslationCount, 1u);
    EXPECT_EQ(c.RotationCount, 0u);
}

TEST(InsConfigParser, ReadsWhatTheCodecWrites)
{
    ScopedProfile Profile(CODEC_PROFILE_MONITOR);
    std::vector<uint8_t> body(sizeof(InsConfigBody) + sizeof(InsOffsetRecord) + 4 + sizeof(InsOffsetRecord));
    InsConfigBody f{};
    f.ImuType = 32;
    f.Byte1 = 3;
    f.Word = 7;
    f.InsProfile = 2;
    f.AlignmentMode = 3;
    f.HexWord2 = 0x12;
    f.TranslationCount = 1;
    std::memcpy(body.data(), &f, sizeof f);
    InsOffsetRecord r{1, 0, 0.5f, -1.25f, 2.0f, 0.01f, 0.02f, 0.03f, 3};
    std::memcpy(body.data() + sizeof f, &r, sizeof r);
    const uint32_t nRot = 1;
    std::memcpy(body.data() + sizeof f + sizeof r, &nRot, 4);
    r.OffsetType = 11;
    std::memcpy(body.data() + sizeof f + sizeof r + 4, &r, sizeof r);
    BinaryLogHeader h{};
    FillBinaryHeader(1945, 0x20, static_cast<uint16_t>(body.size()), 1, 0, &h);
    char text[1024];
    int32_t n = 0;
    ASSERT_EQ(FormatInsConfig(&h, body.data(), text, sizeof text, &n), 1);
    const char* pBody = std::strchr(text, ';') + 1;
    INS_CONFIG_T c{};
    bool bComplete = false;
    ParseInsConfig(pBody, static_cast<int32_t>(text + n - pBody), &c, &bComplete);
    EXPECT_TRUE(bComplete) << text;
    EXPECT_EQ(c.ImuType, 32u);
    EXPECT_EQ(c.Byte2, 3);
    EXPECT_EQ(c.Word4, 7);
    EXPECT_EQ(c.Profile, 2u);
    EXPECT_EQ(c.AlignMode, 3u);
    EXPECT_EQ(c.StatusWord, 0x12u);
    ASSERT_EQ(c.TranslationCount, 1u);
    EXPECT_FLOAT_EQ(c.Translations[0].Value[1], -1.25f);
    EXPECT_EQ(c.Translations[0].CalibrationState, 3u);
    ASSERT_EQ(c.RotationCount, 1u);
    EXPECT_EQ(c.Rotations[0].Source, 11u);
}
