#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_registry.h"
#include "support/profile_fixture.h"

namespace
{
constexpr uint32_t kBad = PORT_CODE_INVALID;
constexpr uint16_t kNoId = LOG_ID_UNKNOWN;
constexpr uint8_t kAbbrev = 0xAB; // stands for the profile's abbreviated marker in the tables below

uint8_t Expected(uint8_t t) { return t == kAbbrev ? AbbrevFormMarker() : t; }
std::string Str(const char* p) { return p == nullptr ? "(null)" : p; }
} // namespace

using LogNames = ProfileTest;

TEST_P(LogNames, LookupByNameWithAndWithoutSuffix)
{
    struct Case
    {
        const char* name;
        uint32_t length; // 0: prefix search
        uint16_t converterId, monitorId;
        uint8_t type;
    } const cases[] = {
        {"RANGECMPA", 9, 140, 140, 0x20},
        {"RANGEHB", 7, 6005, 6005, 0x00},
        {"RANGE", 5, 43, 43, kAbbrev},
        {"RANGEX", 6, kNoId, kNoId, 0xFF},
        {"RANGECMP4A", 10, 2050, 2050, 0x20},
        {"TIMESYNCA", 0, 492, 492, kAbbrev},
        {"bestposa", 8, 42, 42, 0x20},
        {"BESTPOSb", 8, 42, 42, 0x00},
        {"HEADINGA", 8, 971, 971, 0x20},
        {"HEADING2B", 9, 1335, 1335, 0x00},
        {"TIMEA", 5, 101, 101, 0x20},
        {"MARKTIMEA", 9, 181, 231, 0x20},
        {"MARK2POS", 8, 616, 615, kAbbrev},
        {"PPPPOSA", 7, 1538, kNoId, 0x20},
        {"BD2EPHEMA", 9, kNoId, 1696, 0x20},
        {"GPGGA", 5, kNoId, 218, kAbbrev},
        {"WHEELVELA", 9, 622, kNoId, 0x20},
        {"BESTPOSAX", 9, kNoId, kNoId, 0xFF}, // too long for BESTPOS with a suffix
        {"NOSUCHLOGA", 10, kNoId, kNoId, 0xFF},
    };
    for (const Case& c : cases)
    {
        uint8_t type = 0x77;
        const uint16_t id = LogNameToId(c.name, 1, c.length, &type);
        const uint16_t want = Monitor() ? c.monitorId : c.converterId;
        EXPECT_EQ(id, want) << c.name;
        if (want != kNoId)
        {
            EXPECT_EQ(type, Expected(c.type)) << c.name;
        }
    }
    EXPECT_EQ(LogNameToId(nullptr, 1, 0), 0);
    // Without the out byte a bad suffix does not matter.
    EXPECT_EQ(LogNameToId("RANGEX", 1, 6), 43);
}

TEST_P(LogNames, EveryRowIsFoundWithEachSuffixUnlessShadowedByAnEarlierRow)
{
    for (LOG_TABLE_E table : {LOG_TABLE_RECEIVER, LOG_TABLE_INTERNAL, LOG_TABLE_MONITOR_SECOND})
    {
        const LOG_NAME_TABLE_T t = GetLogNameTable(table);
        ASSERT_GT(t.Count, 0u);
        for (uint32_t i = 0; i < t.Count; ++i)
        {
            const LOG_NAME_ROW_T& row = t.Rows[i];
            ASSERT_EQ(row.NameLength, std::strlen(row.Name));
            uint32_t first = 0; // a repeated name finds its first row (BDSEPHEMERIS 1700 is never reached)
            while (std::strcmp(t.Rows[first].Name, row.Name) != 0)
                ++first;
            const uint16_t want = static_cast<uint16_t>(t.Rows[first].Id);
            for (const char* suffix : {"A", "b", ""})
            {
                const std::string name = std::string(row.Name) + suffix;
                uint8_t type = 0;
                EXPECT_EQ(LookupLogName(t, name.c_str(), static_cast<uint32_t>(name.size()), &type), want) << name;
                EXPECT_EQ(type, *suffix == 'A' ? 0x20 : *suffix == 'b' ? 0x00 : AbbrevFormMarker()) << name;
            }
        }
    }
}

TEST_P(LogNames, InternalNumbersToNames)
{
    struct Case
    {
        uint32_t id;
        const char* converterName;
        const char* monitorName;
    } const cases[] = {
        {43, "RANGEH", "RANGE"},       {140, "TIME", "TIME"},
        {630, "GALIONO", "GALIONUTC"}, {13, "REFSTATIONINFO", "REFSTATIONINFO"},
        {174, "BESTPOS2", "PX4GPS"},   {8003, nullptr, "TQ"},
        {9999, nullptr, nullptr},
    };
    for (const Case& c : cases)
    {
        const char* want = Monitor() ? c.monitorName : c.converterName;
        EXPECT_EQ(Str(LogIdToName(c.id)), Str(want)) << c.id;
        EXPECT_EQ(LogIdToNameLength(c.id), want ? std::strlen(want) : 0u) << c.id;
    }
}

TEST_P(LogNames, RangeFamilyByName)
{
    struct Case
    {
        const char* name;
        uint16_t kind;
        uint8_t type;
    } const cases[] = {
        {"RANGE", 40, kAbbrev},    {"RANGEA", 40, 0x20},    {"RANGEB", 40, 0x00},  {"RANGECMP", 41, kAbbrev},
        {"RANGECMPA", 41, 0x20},   {"RANGEH", 43, kAbbrev}, {"RANGEHB", 43, 0x00}, {"RANGE_1", 43, kAbbrev},
        {"RANGEA_1", 43, 0x20},    {"RANGECMP4", kNoId, 0}, {"RANGEX", kNoId, 0},  {"RANG", kNoId, 0},
        {"RANGECMPA_1", kNoId, 0}, {"BESTPOS", kNoId, 0},
    };
    for (const Case& c : cases)
    {
        uint8_t type = 0x77;
        EXPECT_EQ(RangeLogNameToKind(c.name, static_cast<uint32_t>(std::strlen(c.name)), &type), c.kind) << c.name;
        if (c.kind != kNoId)
        {
            EXPECT_EQ(type, Expected(c.type)) << c.name;
        }
    }
}

TEST_P(LogNames, StoreSlotListHasItsOwnOrderAndSlots)
{
    uint32_t n = 0;
    const LOG_SLOT_ROW_T* rows = GetStoreSlotList(&n);
    ASSERT_EQ(n, 59u);
    EXPECT_EQ(Str(rows[18].Name), "TIME");
    EXPECT_EQ(rows[18].Slot, 18u);
    EXPECT_EQ(rows[19].Slot, 63u);
    EXPECT_EQ(rows[58].Id, 8006u);
    EXPECT_EQ(GetLogNameTable(LOG_TABLE_MONITOR_SECOND).Count, 57u);
}

ZV_BOTH_PROFILES(LogNames);

using FieldNames = ProfileTest;

TEST_P(FieldNames, EnumeratedFieldsBothWays)
{
    EXPECT_EQ(Str(TimeStatusName(180)), "FINESTEERING");
    EXPECT_EQ(TimeStatusName(170), nullptr);
    EXPECT_EQ(TimeStatusValue("FINESTEERING"), 180);
    EXPECT_EQ(TimeStatusValue("finesteering"), 0);
    EXPECT_EQ(TimeStatusValue("SATTIME"), 200);
    for (uint32_t v = 0; v < 256; ++v)
        if (const char* p = TimeStatusName(static_cast<uint8_t>(v)))
        {
            EXPECT_EQ(TimeStatusValue(p), v);
        }

    struct Case
    {
        uint32_t value;
        const char* converterName;
        const char* monitorName;
    } const positionTypes[] = {
        {16, "SINGLE", "SINGLE"}, {50, "NARROW_INT", "NARROW_INT"}, {66, "CDGPS", nullptr},
        {69, nullptr, "PPP"},     {80, nullptr, "INS_PPP_BASIC"},   {3, nullptr, nullptr},
    };
    for (const Case& c : positionTypes)
        EXPECT_EQ(Str(PositionTypeName(c.value)), Str(Monitor() ? c.monitorName : c.converterName)) << c.value;
    EXPECT_EQ(GetPositionTypeTable().Count, Monitor() ? 32u : 24u);

    EXPECT_EQ(Str(SolutionStatusName(0)), "SOL_COMPUTED");
    EXPECT_EQ(Str(SolutionStatusName(13)), "INTEGRITY_WARNING");
    EXPECT_EQ(Str(SolutionStatusName(22)), Monitor() ? "(null)" : "INVALID_RATE");
    EXPECT_EQ(SolutionStatusName(12), nullptr);

    EXPECT_EQ(DiffTypeIndex("RTCMV3,\"AB\""), 4u);
    EXPECT_EQ(DiffTypeIndex("CMR,"), 3u);
    EXPECT_EQ(DiffTypeIndex("RTC,"), 0u);
    EXPECT_EQ(DiffTypeIndex("RTCA"), 0u);       // no comma
    EXPECT_EQ(DiffTypeIndex("RTCA,xx", 3), 0u); // the comma lies beyond the given length
}

ZV_BOTH_PROFILES(FieldNames);

using Ports = ProfileTest;

TEST_P(Ports, NamesToCodes)
{
    struct Case
    {
        const char* text;
        uint32_t converterCode, monitorCode;
    } const cases[] = {
        {"com2", 0x02, 0x02},    {"COM", 0x01, 0x01},     {"COM 7", 0x01, 0x01}, {"COM32", kBad, kBad},
        {"COM16", kBad, kBad},   {"COM15", 0x0F, 0x0F},   {"COM0", 0x00, 0x00},  {"ICOM3", 0x43, 0x43},
        {"XYZ1", kBad, kBad},    {"USB2", 0x12, 0x12},    {"FILE0", 0x20, 0x20}, {"FILE3", 0x23, 0x23},
        {"COM01", 0x01, 0x01},   {"TELNET1", 0x31, 0x31}, {"NCOM2", 0x52, 0x52}, {"DTU1", kBad, 0x61},
        {"SPECIAL", 0xA0, 0xA0}, {"CO", kBad, kBad},      {"COMX", kBad, kBad},  {"COM1_30", 0x01, 0x01},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortNameToCode(c.text), Monitor() ? c.monitorCode : c.converterCode) << c.text;
    // Only the given length is read.
    EXPECT_EQ(PortNameToCode("COM23", 4), 0x02u);
}

TEST_P(Ports, CodesToNamesAndBack)
{
    struct Case
    {
        uint32_t code;
        const char* converterName;
        const char* monitorName;
    } const cases[] = {
        {0x20, "FILE0", "FILE0"}, {0xA0, "SPECIAL", "SPECIAL"}, {0xA7, "SPECIAL", "SPECIAL"},
        {0x43, "ICOM3", "ICOM3"}, {0x61, "NCOM1", "DTU1"},      {0x70, "", ""},
        {224, "", "FILE"},
    };
    char text[16];
    for (const Case& c : cases)
    {
        const char* want = Monitor() ? c.monitorName : c.converterName;
        EXPECT_EQ(PortCodeToName(c.code, text, sizeof text), static_cast<int32_t>(std::strlen(want))) << c.code;
        EXPECT_STREQ(text, want);
    }
    EXPECT_EQ(PortCodeToName(0x43, text, 5), -1); // "ICOM3" needs 6 bytes
    for (uint32_t kind = 0; kind < 6; ++kind)
        for (uint32_t number = 1; number < 16; ++number)
        {
            const uint32_t code = kind * 16 + number;
            ASSERT_GT(PortCodeToName(code, text, sizeof text), 0);
            EXPECT_EQ(PortNameToCode(text), code) << text;
        }
    PortCodeToName(PORT_CODE_SPECIAL, text, sizeof text);
    EXPECT_EQ(PortNameToCode(text), PORT_CODE_SPECIAL);
}

TEST_P(Ports, CodesAndWireAddresses)
{
    const struct
    {
        uint32_t code;
        uint8_t address;
    } toAddress[] = {{0, 0},      {1, 32},     {2, 64},    {3, 96},     {4, 160},
                     {0x20, 224}, {0x2F, 224}, {224, 224}, {0x11, 160}, {0xA0, 160}};
    for (const auto& c : toAddress)
        EXPECT_EQ(PortCodeToAddress(c.code), c.address) << c.code;

    const struct
    {
        uint32_t address, converterCode, monitorCode;
    } toCode[] = {{32, 1, 1},     {64, 2, 2},      {96, 3, 3},    {63, 1, 1},     {224, 32, 224}, {230, 160, 38},
                  {255, 160, 63}, {160, 160, 160}, {0, 160, 160}, {31, 160, 160}, {97, 160, 160}};
    for (const auto& c : toCode)
        EXPECT_EQ(PortAddressToCode(c.address), Monitor() ? c.monitorCode : c.converterCode) << c.address;

    // A file port survives code -> address -> code -> address in both programs
    // (the monitor's own name for it is code 224).
    EXPECT_EQ(PortCodeToAddress(PortAddressToCode(PortCodeToAddress(0x20))), 224);
}

TEST_P(Ports, NumericPortField)
{
    const struct
    {
        const char* text;
        uint32_t code;
    } cases[] = {{"COM1", 1},    {"COM3", 3},    {"COM4", kBad},  {"ICOM2", 0x42}, {"ICOM3", kBad},
                 {"USB1", 0x11}, {"USB2", kBad}, {"FILE1", kBad}, {"1", 1},        {"3", 3},
                 {"0", kBad},    {"17", 0x11},   {"18", kBad},    {"x", kBad},     {"SPECIAL", kBad}};
    for (const auto& c : cases)
        EXPECT_EQ(ParsePortField(c.text, static_cast<int32_t>(std::strlen(c.text))), c.code) << c.text;
    EXPECT_EQ(PortKindLimit(0), 3u);
    EXPECT_EQ(PortKindLimit(7), 0u);
}

ZV_BOTH_PROFILES(Ports);

// Each message the monitor offers to LOG is one the codec knows by that very
// name, so that a receiver's log list and the codec name it alike; RTCM
// messages are "RTCM" and a message number.
TEST(OutputMessages, EveryMessageIsNamedAsTheCodecKnowsIt)
{
    int nMessages = 0;
    for (uint32_t g = 0; g < OUTPUT_GROUP_COUNT; ++g)
    {
        const OUTPUT_GROUP_T group = GetOutputGroup(g);
        ASSERT_GT(group.SetCount, 0u) << g;
        for (uint32_t s = 0; s < group.SetCount; ++s)
        {
            const OUTPUT_MESSAGE_SET_T& set = group.Sets[s];
            for (uint32_t m = 0; m < set.Count; ++m)
            {
                const char* pName = set.Messages[m].Name;
                const auto n = static_cast<uint32_t>(std::strlen(pName));
                ++nMessages;
                if (g == OUTPUT_GROUP_RTCM)
                {
                    EXPECT_TRUE(n > 4 && std::strncmp(pName, "RTCM", 4) == 0 &&
                                std::strspn(pName + 4, "0123456789") == n - 4)
                        << pName;
                    continue;
                }
                // Known to the codec in either program's tables.
                bool bKnown = FindLogTypeByName(CodecLogRegistry(), pName, static_cast<int32_t>(n), 0) != nullptr;
                for (CODEC_PROFILE_E eProfile : {CODEC_PROFILE_MONITOR, CODEC_PROFILE_CONVERTER})
                {
                    ScopedProfile profile(eProfile);
                    bKnown = bKnown || LogNameToId(pName, 0, n) != LOG_ID_UNKNOWN ||
                             LogNameToId(pName, 1, n) != LOG_ID_UNKNOWN || ImuLogNameToId(pName, n) != LOG_ID_UNKNOWN;
                }
                EXPECT_TRUE(bKnown) << pName;
            }
        }
    }
    EXPECT_GT(nMessages, 0);
    EXPECT_EQ(GetOutputGroup(OUTPUT_GROUP_COUNT).SetCount, 0u);
}
