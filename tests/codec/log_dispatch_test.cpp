// One call for every log the codec knows: by name for text lines, by ID, and
// for the binary form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/log_dispatch.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "golden_nav_bodies.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
struct DispatchLine
{
    std::string sName;
    uint16_t nMessageId;
    std::string sLine;
};

using FormatFn = int (*)(const void*, int32_t, char*, int32_t*);

// A full text line made by a family's formatter from a record with this body.
std::string FormattedLine(FormatFn Format, uint16_t nMessageId, uint8_t uTypeFlags, const std::vector<uint8_t>& body)
{
    BinaryLogHeader header{};
    FillBinaryHeader(nMessageId, static_cast<uint8_t>(LOG_FORM_ASCII | uTypeFlags),
                     static_cast<uint16_t>(body.size()), 1, 0, &header);
    header.TimeStatus = 180;
    header.Week = 2295;
    header.Milliseconds = 79218000;
    std::vector<uint8_t> record(sizeof header);
    memcpy(record.data(), &header, sizeof header);
    record.insert(record.end(), body.begin(), body.end());
    std::vector<char> text(65536);
    int32_t n = 0;
    if (!Format(record.data(), static_cast<int32_t>(text.size()), text.data(), &n))
        return "(format failed)";
    return std::string(text.data(), n);
}

template <typename T>
std::vector<uint8_t> CountAndRecord(const T& rec)
{
    std::vector<uint8_t> body(4 + sizeof rec);
    const uint32_t nCount = 1;
    memcpy(body.data(), &nCount, 4);
    memcpy(body.data() + 4, &rec, sizeof rec);
    return body;
}

// One full text line of every log with a text decoder.
std::vector<DispatchLine> EveryLogLine()
{
    std::vector<DispatchLine> lines;
    for (const GOLDEN_BODY_T& g : NAV_GOLDEN_BODIES)
        lines.push_back({g.pName, g.nMessageId, FullTextLog(g.pName, g.pBody)});

    RANGE_OBS_T obs{};
    obs.Prn = 5;
    obs.Psr = 21234567.125;
    obs.Adr = -111588012.5;
    obs.CNo = 45.5f;
    obs.TrackingStatus = 0x08109C04;
    RANGECMP_OBS_T cmp{};
    cmp.TrackingStatus = 0x08109C04;
    cmp.Prn = 5;
    cmp.PsrHigh = 0x12345678;
    const struct
    {
        const char* pName;
        uint16_t nId;
        uint8_t uFlags;
        FormatFn Format;
        std::vector<uint8_t> body;
    } formatted[] = {
        {"RANGE", MSG_ID_RANGE, 0, FormatRange, CountAndRecord(obs)},
        {"RANGEH", MSG_ID_RANGEH, 0, FormatRange, CountAndRecord(obs)},
        {"BASERANGE", MSG_ID_BASERANGE, 0, FormatRange, CountAndRecord(obs)},
        {"RANGECMP", MSG_ID_RANGECMP, 0, FormatRangeCmp, CountAndRecord(cmp)},
        {"RANGECMP_1", MSG_ID_RANGECMP, LOG_TYPE_FROM_RANGEH, FormatRangeCmp, CountAndRecord(cmp)},
        {"RANGECMP4", MSG_ID_RANGECMP4, 0, FormatRangeCmp4, std::vector<uint8_t>(4, 0)},
    };
    for (const auto& f : formatted)
        lines.push_back({f.pName, f.nId, FormattedLine(f.Format, f.nId, f.uFlags, f.body)});
    return lines;
}

int DecodeText(const std::string& sLine, std::vector<uint8_t>* pOut)
{
    const std::vector<uint8_t> bytes(sLine.begin(), sLine.end());
    pOut->assign(LOG_MAX_BINARY_LENGTH, 0);
    int32_t n = 0;
    const int ok = DecodeLog(bytes.data(), static_cast<int32_t>(bytes.size()), pOut->data(), &n);
    pOut->resize(ok ? static_cast<size_t>(n) : 0);
    return ok;
}

using DispatchByName = ProfileTest;

TEST_P(DispatchByName, EveryKnownLogDecodesThroughOneCall)
{
    for (const DispatchLine& l : EveryLogLine())
    {
        SCOPED_TRACE(l.sName);
        std::vector<uint8_t> record;
        ASSERT_EQ(DecodeText(l.sLine, &record), 1);
        BinaryLogHeader header;
        memcpy(&header, record.data(), sizeof header);
        EXPECT_EQ(header.MessageId, l.nMessageId);
        EXPECT_EQ(record.size(), 28u + header.MessageLength);
        // The decoder of the name gives the same record.
        const std::string sBase = l.sName.substr(0, l.sName.find('_'));
        const TextDecoderFn Decode = TextDecoderForName(sBase.data(), static_cast<int32_t>(sBase.size()));
        ASSERT_NE(Decode, nullptr);
        std::vector<uint8_t> direct(LOG_MAX_BINARY_LENGTH);
        int32_t n = 0;
        ASSERT_EQ(Decode(l.sLine.data(), static_cast<int32_t>(l.sLine.size()), direct.data(), &n), 1);
        direct.resize(static_cast<size_t>(n));
        EXPECT_EQ(direct, record);
    }
}

TEST_P(DispatchByName, BinaryFormGivesTheRecordOfTheTextForm)
{
    std::vector<uint8_t> record;
    ASSERT_EQ(DecodeText(FullTextLog("GPSEPHEM", GoldenBody("GPSEPHEM")), &record), 1);
    std::vector<uint8_t> wire(record.size() + 4);
    int32_t n = 0;
    ASSERT_EQ(CopyBinaryGpsEphem(record.data(), static_cast<int32_t>(wire.size()), wire.data(), &n), 1);
    std::vector<uint8_t> back(LOG_MAX_BINARY_LENGTH);
    ASSERT_EQ(DecodeLog(wire.data(), n, back.data(), &n), 1);
    back.resize(static_cast<size_t>(n));
    EXPECT_EQ(back, record);
    wire[40] ^= 1; // body byte: the CRC no longer matches
    EXPECT_EQ(DecodeLog(wire.data(), static_cast<int32_t>(wire.size()), back.data(), &n), 0);
}
ZV_BOTH_PROFILES(DispatchByName);

TEST(Dispatch, NamesTellLogsOfOneIdApart)
{
    EXPECT_EQ(TextDecoderForId(1696), &DecodeBdsEphemText);
    EXPECT_EQ(TextDecoderForName("BDSEPHEMERIS", 12), &DecodeBdsEphemText);
    EXPECT_EQ(TextDecoderForName("bd2ephem", 8), &DecodeBd2EphemText);
    EXPECT_EQ(TextDecoderForName("BD2EPHEMX", 8), &DecodeBd2EphemText); // only the given length counts
    EXPECT_EQ(TextDecoderForName("BD2EPHEM", 7), nullptr);
    EXPECT_EQ(TextDecoderForName("GPSEPHEMA", 9), nullptr);
    EXPECT_EQ(TextDecoderForId(0xFFFF), nullptr);

    std::vector<uint8_t> record;
    ASSERT_EQ(DecodeText(FullTextLog("BD2EPHEM", GoldenBody("BD2EPHEM")), &record), 1);
    EXPECT_EQ(record.size(), 28u + sizeof(BD2EPHEM_BODY_T));
}

TEST(Dispatch, IdTableFindsEveryFamily)
{
    const struct
    {
        uint16_t nId;
        TextDecoderFn Decode;
    } cases[] = {
        {7, DecodeGpsEphemText},      {723, DecodeGloEphemText},   {1122, DecodeGalEphemText},
        {1336, DecodeQzssEphemText},  {1696, DecodeBdsEphemText},  {1607, DecodeBdsClockText},
        {1121, DecodeGalClockText},   {719, DecodeGloClockText},   {1590, DecodeBdsIonoText},
        {1127, DecodeGalIonoText},    {43, DecodeRangeText},       {283, DecodeRangeText},
        {6005, DecodeRangeText},      {140, DecodeRangeCmpText},   {2050, DecodeRangeCmp4Text},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextDecoderForId(c.nId), c.Decode) << c.nId;
    EXPECT_NE(TextDecoderForId(8), nullptr);
    EXPECT_NE(TextDecoderForId(1347), nullptr);
}

TEST(Dispatch, OtherFormsAndBrokenNamesAreRefused)
{
    const std::string sLine = FullTextLog("GPSEPHEM", GoldenBody("GPSEPHEM"));
    std::string sAbbrev = sLine;
    sAbbrev[0] = '<';
    std::string sBinarySuffix = sLine;
    sBinarySuffix[9] = 'B';
    const std::string cases[] = {
        sAbbrev,
        sBinarySuffix,
        FullTextLog("NOSUCHLOG", GoldenBody("GPSEPHEM")),
        FullTextLog("GPSEPHEM", GoldenBody("GLOEPHEMERIS")),
        "#",
        "#A,",
        "#GPSEPHEMA",
        std::string("\xAA\x44\x12", 3),
    };
    for (const std::string& s : cases)
    {
        std::vector<uint8_t> record;
        EXPECT_EQ(DecodeText(s, &record), 0) << s;
    }
}
} // namespace
