// Ephemeris, clock and ionosphere logs: text -> record -> text -> record per
// member, flag words, missing and out-of-range fields, abbreviated form,
// capacities and the binary copiers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "golden_bodies.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
using DecodeFn = int (*)(const char*, int32_t, uint8_t*, int32_t*);
using FormatFn = int (*)(const void*, int32_t, char*, int32_t*);

struct NavCase
{
    const char* pName;
    DecodeFn Decode;
    FormatFn Format;
    uint16_t nId;
    uint32_t nBodySize;
    const char* pBody;
};

const NavCase NAV_CASES[] = {
    {"GPSEPHEM", DecodeGpsEphemText, FormatGpsEphem, 7, 224, GoldenBody("GPSEPHEM")},
    {"QZSSEPHEMERIS", DecodeQzssEphemText, FormatQzssEphem, 1336, 224, GoldenBody("QZSSEPHEMERIS")},
    {"BD2EPHEM", DecodeBd2EphemText, FormatBd2Ephem, 1696, 232, GoldenBody("BD2EPHEM")},
    {"BDSEPHEMERIS", DecodeBdsEphemText, FormatBdsEphem, 1696, 196, GoldenBody("BDSEPHEMERIS")},
    {"GLOEPHEMERIS", DecodeGloEphemText, FormatGloEphem, 723, 144, GoldenBody("GLOEPHEMERIS")},
    {"GALEPHEMERIS", DecodeGalEphemText, FormatGalEphem, 1122, 220, GoldenBody("GALEPHEMERIS")},
    {"BDSCLOCK", DecodeBdsClockText, FormatBdsClock, 1607, 72, GoldenBody("BDSCLOCK")},
    {"GALCLOCK", DecodeGalClockText, FormatGalClock, 1121, 64, GoldenBody("GALCLOCK")},
    {"GLOCLOCK", DecodeGloClockText, FormatGloClock, 719, 76, GoldenBody("GLOCLOCK")},
    {"BDSIONO", DecodeBdsIonoText, FormatBdsIono, 1590, 68, GoldenBody("BDSIONO")},
    {"GALIONO", DecodeGalIonoText, FormatGalIono, 1127, 44, GoldenBody("GALIONO")},
    {"IONUTC", [](const char* t, int32_t n, uint8_t* o, int32_t* l) { return DecodeIonUtcText(t, n, 8, o, l); },
     FormatIonUtc, 8, 108, GoldenBody("IONUTC")},
    {"QZSSIONUTC", [](const char* t, int32_t n, uint8_t* o, int32_t* l) { return DecodeIonUtcText(t, n, 1347, o, l); },
     FormatIonUtc, 1347, 108, GoldenBody("QZSSIONUTC")},
};

constexpr uint8_t CANARY = 0xCD;

// Decodes a text given without a terminating NUL; the output starts filled with canaries.
int DecodeExact(const NavCase& c, const std::string& sText, std::vector<uint8_t>* pOut, int32_t* pLength)
{
    const std::vector<char> text(sText.begin(), sText.end());
    pOut->assign(512, CANARY);
    return c.Decode(text.data(), static_cast<int32_t>(text.size()), pOut->data(), pLength);
}

std::string Format(const NavCase& c, const std::vector<uint8_t>& record)
{
    std::vector<char> out(4096);
    int32_t n = 0;
    if (!c.Format(record.data(), static_cast<int32_t>(out.size()), out.data(), &n))
        return "(format failed)";
    return std::string(out.data(), n);
}

// The body with one field replaced (or removed when sField is null).
std::string WithField(const std::string& sBody, size_t nIndex, const char* pField)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = sBody.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(sBody.substr(start, comma - start));
    fields.push_back(sBody.substr(start));
    if (pField)
        fields.at(nIndex) = pField;
    else
        fields.erase(fields.begin() + static_cast<long>(nIndex));
    std::string s;
    for (size_t i = 0; i < fields.size(); ++i)
        s += (i ? "," : "") + fields[i];
    return s;
}

size_t FieldCount(const std::string& sBody) { return std::count(sBody.begin(), sBody.end(), ',') + 1u; }

const NavCase& Member(const char* pName)
{
    for (const NavCase& c : NAV_CASES)
        if (strcmp(c.pName, pName) == 0)
            return c;
    throw std::runtime_error(pName);
}

using NavRoundTrip = ProfileTest;

TEST_P(NavRoundTrip, TextRecordTextRecordIsExact)
{
    for (const NavCase& c : NAV_CASES)
    {
        SCOPED_TRACE(c.pName);
        const std::string sLine = FullTextLog(c.pName, c.pBody);
        std::vector<uint8_t> record;
        int32_t n = 0;
        ASSERT_EQ(DecodeExact(c, sLine, &record, &n), 1);
        ASSERT_EQ(n, 28 + c.nBodySize);
        // Nothing is written beyond the header and the fields.
        EXPECT_TRUE(std::all_of(record.begin() + n, record.end(), [](uint8_t b) { return b == CANARY; }));
        BinaryLogHeader header;
        memcpy(&header, record.data(), sizeof header);
        EXPECT_EQ(header.MessageId, c.nId);
        EXPECT_EQ(header.MessageLength, c.nBodySize);
        record.resize(n);

        // The converter writes clock terms with more digits than the
        // receiver (ClockTermsKeepTheDigitsOfARinexField); the record is the same.
        const std::string sText = Format(c, record);
        if (Monitor())
        {
            EXPECT_EQ(sText, sLine);
        }
        std::vector<uint8_t> again;
        int32_t n2 = 0;
        ASSERT_EQ(DecodeExact(c, sText, &again, &n2), 1);
        again.resize(n2);
        EXPECT_EQ(again, record);
    }
}

TEST_P(NavRoundTrip, AbbreviatedFormIsOneBlankSeparatedLineWithoutCrcAndReadsBack)
{
    for (const NavCase& c : NAV_CASES)
    {
        SCOPED_TRACE(c.pName);
        std::vector<uint8_t> record;
        int32_t n = 0;
        ASSERT_EQ(DecodeExact(c, FullTextLog(c.pName, c.pBody), &record, &n), 1);
        record.resize(n);
        record[offsetof(BinaryLogHeader, MessageType)] = AbbrevFormMarker();
        const std::string sText = Format(c, record);
        const std::string sHead = std::string("<") + c.pName + " ";
        ASSERT_EQ(sText.compare(0, sHead.size(), sHead), 0) << sText;
        std::string sBody = c.pBody;
        std::replace(sBody.begin(), sBody.end(), ',', ' ');
        const size_t nBodyLine = sText.find("\r\n") + 2;
        if (Monitor())
        {
            EXPECT_EQ(sText.substr(nBodyLine), "<\t" + sBody + "\r\n");
        }
        EXPECT_EQ(FieldCount(sText.substr(nBodyLine)), FieldCount(sBody));
        EXPECT_EQ(sText.find('*'), std::string::npos);
        // The abbreviated text decodes to the same record.
        std::vector<uint8_t> back;
        int32_t nBack = 0;
        ASSERT_EQ(DecodeExact(c, sText, &back, &nBack), 1);
        back.resize(static_cast<size_t>(nBack));
        record[offsetof(BinaryLogHeader, MessageType)] = 0;
        EXPECT_EQ(back, record);
    }
}
ZV_BOTH_PROFILES(NavRoundTrip);

// Clock terms read from RINEX navigation files carry 12 or 13 significant
// digits. The converter writes them with all of them, so that a parser of the receiver's
// own text gets them back unchanged (six digits move a satellite clock by up
// to 0.15 m); the monitor keeps the receiver's own text.
TEST(NavText, ClockTermsKeepTheDigitsOfARinexField)
{
    const double af0 = -1.937150955200e-04, af1 = -3.410605131648e-12, af2 = 1.234567890123e-19;
    struct Member
    {
        const char* pName;
        uint16_t nId;
        std::vector<uint8_t> body;
        std::vector<size_t> offsets;
        FormatFn Format;
        DecodeFn Decode;
    };
    GPSEPHEM_BODY_T gps{};
    BD2EPHEM_BODY_T bd2{};
    BDSEPHEMERIS_BODY_T bds{};
    GALEPHEMERIS_BODY_T gal{};
    gal.FNavReceived = gal.INavReceived = 1;
    auto bytes = [](const auto& b) {
        return std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&b),
                                    reinterpret_cast<const uint8_t*>(&b) + sizeof b);
    };
    const Member members[] = {
        {"GPSEPHEM",
         7,
         bytes(gps),
         {offsetof(GPSEPHEM_BODY_T, Af0), offsetof(GPSEPHEM_BODY_T, Af1), offsetof(GPSEPHEM_BODY_T, Af2)},
         FormatGpsEphem,
         DecodeGpsEphemText},
        {"BD2EPHEM",
         1696,
         bytes(bd2),
         {offsetof(BD2EPHEM_BODY_T, Af0), offsetof(BD2EPHEM_BODY_T, Af1), offsetof(BD2EPHEM_BODY_T, Af2)},
         FormatBd2Ephem,
         DecodeBd2EphemText},
        {"BDSEPHEMERIS",
         1696,
         bytes(bds),
         {offsetof(BDSEPHEMERIS_BODY_T, A0), offsetof(BDSEPHEMERIS_BODY_T, A1), offsetof(BDSEPHEMERIS_BODY_T, A2)},
         FormatBdsEphem,
         DecodeBdsEphemText},
        {"GALEPHEMERIS",
         1122,
         bytes(gal),
         {offsetof(GALEPHEMERIS_BODY_T, FNavAf0), offsetof(GALEPHEMERIS_BODY_T, FNavAf1),
          offsetof(GALEPHEMERIS_BODY_T, FNavAf2), offsetof(GALEPHEMERIS_BODY_T, INavAf0),
          offsetof(GALEPHEMERIS_BODY_T, INavAf1), offsetof(GALEPHEMERIS_BODY_T, INavAf2)},
         FormatGalEphem,
         DecodeGalEphemText},
    };
    for (const Member& m : members)
        for (const CODEC_PROFILE_E eProfile : {CODEC_PROFILE_CONVERTER, CODEC_PROFILE_MONITOR})
        {
            SCOPED_TRACE(testing::Message()
                         << m.pName << (eProfile == CODEC_PROFILE_MONITOR ? " monitor" : " converter"));
            ScopedProfile profile(eProfile);
            std::vector<uint8_t> record(sizeof(BinaryLogHeader) + m.body.size());
            BinaryLogHeader h{};
            FillBinaryHeader(m.nId, 0x20, static_cast<uint16_t>(m.body.size()), 1, 0, &h);
            std::memcpy(record.data(), &h, sizeof h);
            std::vector<uint8_t> body = m.body;
            const double terms[3] = {af0, af1, af2};
            for (size_t i = 0; i < m.offsets.size(); ++i)
                std::memcpy(body.data() + m.offsets[i], &terms[i % 3], 8);
            std::memcpy(record.data() + sizeof h, body.data(), body.size());
            std::vector<char> text(4096);
            int32_t n = 0;
            ASSERT_EQ(m.Format(record.data(), static_cast<int32_t>(text.size()), text.data(), &n), 1);
            std::vector<uint8_t> back(512);
            int32_t nBack = 0;
            ASSERT_EQ(m.Decode(text.data(), n, back.data(), &nBack), 1) << std::string(text.data(), n);
            for (size_t i = 0; i < m.offsets.size(); ++i)
            {
                double d = 0;
                std::memcpy(&d, back.data() + sizeof h + m.offsets[i], 8);
                if (eProfile == CODEC_PROFILE_CONVERTER)
                {
                    EXPECT_EQ(d, terms[i % 3]) << "term " << i;
                }
                else
                {
                    EXPECT_NE(d, terms[i % 3]) << "term " << i << ": the receiver's text has fewer digits";
                }
            }
        }
}

TEST(NavDecode, MissingOrMalformedFieldFailsEveryMember)
{
    for (const NavCase& c : NAV_CASES)
    {
        SCOPED_TRACE(c.pName);
        std::vector<uint8_t> record;
        int32_t n = 0;
        const size_t nLast = FieldCount(c.pBody) - 1;
        EXPECT_EQ(DecodeExact(c, FullTextLog(c.pName, WithField(c.pBody, nLast, nullptr)), &record, &n), 0);
        EXPECT_EQ(DecodeExact(c, FullTextLog(c.pName, WithField(c.pBody, 0, nullptr)), &record, &n), 0);
        EXPECT_EQ(DecodeExact(c, FullTextLog(c.pName, WithField(c.pBody, nLast, "")), &record, &n), 0);
        EXPECT_EQ(DecodeExact(c, FullTextLog(c.pName, WithField(c.pBody, 0, "1x")), &record, &n), 0);
        // The output stays untouched when the decode fails.
        EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](uint8_t b) { return b == CANARY; }));
    }
}

TEST(NavDecode, FieldsOutOfTheirBinaryRangeFail)
{
    const struct
    {
        const char* pMember;
        size_t nField;
        const char* pValue;
        int nExpected;
    } cases[] = {
        {"GLOEPHEMERIS", 1, "-7", 0}, // narrowed to u16: a negative would wrap
        {"GLOEPHEMERIS", 1, "65535", 1},  {"GLOEPHEMERIS", 1, "65536", 0}, {"GLOEPHEMERIS", 2, "255", 1}, // u8
        {"GLOEPHEMERIS", 2, "256", 0},    {"GALEPHEMERIS", 3, "256", 0},                                  // health byte
        {"BDSCLOCK", 2, "-32768", 1},                                                                     // i16
        {"BDSCLOCK", 2, "-32769", 0},     {"BDSCLOCK", 3, "65536", 0},                                    // u16
        {"GPSEPHEM", 0, "4294967295", 1},                                                                 // u32
        {"GPSEPHEM", 0, "4294967296", 0}, {"GPSEPHEM", 0, "-1", 0},        {"IONUTC", 14, "-18", 1},      // i32
        {"GLOCLOCK", 3, "0x1F", 1}, // hexadecimal word
        {"GLOCLOCK", 3, "1g", 0},
    };
    for (const auto& t : cases)
    {
        SCOPED_TRACE(std::string(t.pMember) + " field " + std::to_string(t.nField) + " = " + t.pValue);
        const NavCase& c = Member(t.pMember);
        std::vector<uint8_t> record;
        int32_t n = 0;
        EXPECT_EQ(DecodeExact(c, FullTextLog(c.pName, WithField(c.pBody, t.nField, t.pValue)), &record, &n),
                  t.nExpected);
    }
}

TEST(NavDecode, FlagWordsReadTrueOnlyAndPrintBack)
{
    const NavCase& c = Member("GPSEPHEM");
    const size_t nFlag = 29;
    const struct
    {
        const char* pWord;
        int nResult;
        uint32_t nFlag;
    } cases[] = {
        {"TRUE", 1, 1}, {"FALSE", 1, 0}, {"true", 1, 0}, {"YES", 1, 0}, {"TRUEST", 1, 0}, {"", 1, 0},
    };
    for (const auto& t : cases)
    {
        SCOPED_TRACE(t.pWord);
        std::vector<uint8_t> record;
        int32_t n = 0;
        ASSERT_EQ(DecodeExact(c, FullTextLog(c.pName, WithField(c.pBody, nFlag, t.pWord)), &record, &n), t.nResult);
        if (!t.nResult)
            continue;
        GPSEPHEM_BODY_T body;
        memcpy(&body, record.data() + 28, sizeof body);
        EXPECT_EQ(body.AntiSpoofing, t.nFlag);
        record.resize(n);
        EXPECT_NE(Format(c, record).find(t.nFlag ? ",TRUE," : ",FALSE,"), std::string::npos);
    }
}

TEST(NavDecode, TextIsCheckedWithinItsLength)
{
    const NavCase& c = Member("GPSEPHEM");
    const std::string sLine = FullTextLog(c.pName, c.pBody);
    std::vector<uint8_t> record(512);
    int32_t n = 0;
    std::string sBadCrc = sLine;
    sBadCrc[sBadCrc.size() - 3] ^= 1;
    EXPECT_EQ(c.Decode(sBadCrc.data(), static_cast<int32_t>(sBadCrc.size()), record.data(), &n), 0);
    // The line cut before its last CRC digit.
    EXPECT_EQ(c.Decode(sLine.data(), static_cast<int32_t>(sLine.size() - 3), record.data(), &n), 0);
    EXPECT_EQ(c.Decode(sLine.data(), -1, record.data(), &n), 0);
    EXPECT_EQ(c.Decode(nullptr, 10, record.data(), &n), 0);
    EXPECT_EQ(c.Decode(sLine.data(), static_cast<int32_t>(sLine.size()), nullptr, &n), 0);
}

TEST(NavIonUtc, NameFollowsTheMessageId)
{
    const char* pBody = GoldenBody("IONUTC");
    std::vector<uint8_t> record(512);
    int32_t n = 0;
    char text[1024];
    int32_t nText = 0;
    for (const auto& c : {std::make_pair("IONUTC", uint16_t{8}), std::make_pair("QZSSIONUTC", uint16_t{1347})})
    {
        const std::string sLine = FullTextLog(c.first, pBody);
        ASSERT_EQ(DecodeIonUtcText(sLine.data(), static_cast<int32_t>(sLine.size()), c.second, record.data(), &n), 1);
        ASSERT_EQ(FormatIonUtc(record.data(), sizeof text, text, &nText), 1);
        EXPECT_EQ(std::string(text, static_cast<size_t>(nText)), sLine);
    }
    // A line whose name the catalogue gives another ID is another log.
    const std::string sIonUtc = FullTextLog("IONUTC", pBody);
    EXPECT_EQ(DecodeIonUtcText(sIonUtc.data(), static_cast<int32_t>(sIonUtc.size()), 1347, record.data(), &n), 0);
    // Another log sharing the body is not given a wrong name.
    EXPECT_EQ(DecodeIonUtcText(sIonUtc.data(), static_cast<int32_t>(sIonUtc.size()), 2031, record.data(), &n), 0);
    const uint16_t nOther = 2031;
    memcpy(record.data() + offsetof(BinaryLogHeader, MessageId), &nOther, 2);
    EXPECT_EQ(FormatIonUtc(record.data(), sizeof text, text, &nText), 0);
}

TEST(NavFormat, NeverWritesPastItsCapacity)
{
    const NavCase& c = Member("GLOEPHEMERIS");
    std::vector<uint8_t> record;
    int32_t n = 0;
    ASSERT_EQ(DecodeExact(c, FullTextLog(c.pName, c.pBody), &record, &n), 1);
    record.resize(n);
    const uint32_t nFull = static_cast<uint32_t>(FullTextLog(c.pName, c.pBody).size());
    std::vector<char> out(nFull + 16);
    for (uint32_t nCap = 0; nCap <= nFull + 1; ++nCap)
    {
        std::fill(out.begin(), out.end(), '\x7f');
        int32_t nText = 0;
        // Room for the text and its terminating NUL is needed.
        EXPECT_EQ(c.Format(record.data(), static_cast<int32_t>(nCap), out.data(), &nText), nCap > nFull ? 1 : 0)
            << nCap;
        EXPECT_TRUE(std::all_of(out.begin() + nCap, out.end(), [](char b) { return b == '\x7f'; })) << nCap;
    }
}

TEST(NavFormat, RecordShorterThanItsBodyFails)
{
    for (const NavCase& c : NAV_CASES)
    {
        SCOPED_TRACE(c.pName);
        std::vector<uint8_t> record;
        int32_t n = 0;
        ASSERT_EQ(DecodeExact(c, FullTextLog(c.pName, c.pBody), &record, &n), 1);
        const uint16_t nShort = static_cast<uint16_t>(c.nBodySize - 1);
        memcpy(record.data() + offsetof(BinaryLogHeader, MessageLength), &nShort, 2);
        char text[4096];
        int32_t nText = 0;
        EXPECT_EQ(c.Format(record.data(), sizeof text, text, &nText), 0);
    }
}

TEST(NavCopy, CopiersMapThePortInTheCopyOnly)
{
    using CopyFn = int (*)(const void*, int32_t, uint8_t*, int32_t*);
    const struct
    {
        const char* pMember;
        CopyFn Copy;
    } cases[] = {
        {"GPSEPHEM", CopyBinaryGpsEphem}, {"QZSSEPHEMERIS", CopyBinaryQzssEphem}, {"BDSEPHEMERIS", CopyBinaryBdsEphem},
        {"BD2EPHEM", CopyBinaryBd2Ephem}, {"GLOEPHEMERIS", CopyBinaryGloEphem},   {"GALEPHEMERIS", CopyBinaryGalEphem},
        {"IONUTC", CopyBinaryIonUtc},
    };
    for (const auto& t : cases)
    {
        SCOPED_TRACE(t.pMember);
        const NavCase& c = Member(t.pMember);
        std::vector<uint8_t> record;
        int32_t n = 0;
        ASSERT_EQ(DecodeExact(c, FullTextLog(c.pName, c.pBody), &record, &n), 1);
        record.resize(n);
        const std::vector<uint8_t> before = record;
        ASSERT_EQ(record[offsetof(BinaryLogHeader, Port)], 1); // COM1

        std::vector<uint8_t> wire(n + 4), wire2(n + 4);
        int32_t nWire = 0;
        ASSERT_EQ(t.Copy(record.data(), static_cast<int32_t>(wire.size()), wire.data(), &nWire), 1);
        EXPECT_EQ(nWire, n + 4);
        EXPECT_EQ(wire[offsetof(BinaryLogHeader, Port)], 32); // COM1's wire address
        EXPECT_EQ(record, before);
        ASSERT_EQ(t.Copy(record.data(), static_cast<int32_t>(wire2.size()), wire2.data(), &nWire), 1);
        EXPECT_EQ(wire2, wire);

        std::vector<uint8_t> back(n);
        uint32_t nBack = 0;
        ASSERT_EQ(CopyBinaryLog(wire.data(), static_cast<int32_t>(wire.size()), back.data(),
                                static_cast<int32_t>(back.size()), &nBack),
                  1);
        EXPECT_EQ(nBack, n);
        EXPECT_EQ(t.Copy(record.data(), static_cast<int32_t>(n + 3), wire.data(), &nWire), 0);
    }
}

// RAWEPHEM and RAWALM are written only; their texts are fixed here by hand.
TEST(NavRaw, RawEphemerisAndAlmanacText)
{
    struct
    {
        BinaryLogHeader Header;
        RAWEPHEM_BODY_T Body;
    } eph{};
    eph.Header.HeaderLength = 28;
    eph.Header.MessageType = 0x20;
    eph.Header.Port = 1;
    eph.Header.TimeStatus = 180;
    eph.Header.Week = 2295;
    eph.Header.Milliseconds = 79218000;
    eph.Header.MessageLength = sizeof(RAWEPHEM_BODY_T);
    eph.Body.Prn = 3;
    eph.Body.RefWeek = 2295;
    eph.Body.RefSeconds = 79200;
    for (int s = 0; s < 3; ++s)
        for (int i = 0; i < 30; ++i)
            eph.Body.Subframe[s][i] = static_cast<uint8_t>(s * 30 + i);
    std::string sHex[3];
    for (int s = 0; s < 3; ++s)
        for (int i = 0; i < 30; ++i)
        {
            char b[3];
            snprintf(b, sizeof b, "%02X", s * 30 + i);
            sHex[s] += b;
        }
    char text[1024];
    int32_t n = 0;
    ASSERT_EQ(FormatRawEphem(&eph, sizeof text, text, &n), 1);
    EXPECT_EQ(std::string(text, n),
              WithTextCrc("#RAWEPHEMA,COM1,0,0.0,FINESTEERING,2295,79218.000,00000000,0000,0;3,2295,79200," + sHex[0] +
                          "," + sHex[1] + "," + sHex[2]));
    eph.Header.MessageType = AbbrevFormMarker();
    ASSERT_EQ(FormatRawEphem(&eph, sizeof text, text, &n), 1);
    const std::string sAbbrev(text, n);
    EXPECT_EQ(sAbbrev.substr(sAbbrev.find("\r\n") + 2),
              "<\t3 2295 79200 " + sHex[0] + " " + sHex[1] + " " + sHex[2] + "\r\n");

    struct
    {
        BinaryLogHeader Header;
        RAWALM_BODY_T Fixed;
        RAWALM_SUBFRAME_T Sub[2];
    } alm{};
    alm.Header = eph.Header;
    alm.Header.MessageType = 0x20;
    alm.Header.MessageLength = sizeof alm - 28;
    alm.Fixed = RAWALM_BODY_T{2295, 79200.5, 2};
    alm.Sub[0].SvId = 25;
    alm.Sub[1].SvId = 26;
    alm.Sub[1].Data[29] = 0xAB;
    const std::string sZero(60, '0');
    ASSERT_EQ(FormatRawAlm(&alm, sizeof text, text, &n), 1);
    EXPECT_EQ(std::string(text, n),
              WithTextCrc("#RAWALMA,COM1,0,0.0,FINESTEERING,2295,79218.000,00000000,0000,0;2295,79200.500,2,25," +
                          sZero + ",26," + sZero.substr(2) + "AB"));
    alm.Header.MessageType = AbbrevFormMarker();
    ASSERT_EQ(FormatRawAlm(&alm, sizeof text, text, &n), 1);
    const std::string sAlm(text, n);
    EXPECT_EQ(sAlm.substr(sAlm.find("\r\n") + 2),
              "<\t2295 79200.500 2\r\n<\t\t25 " + sZero + "\r\n<\t\t26 " + sZero.substr(2) + "AB\r\n");
    // A count beyond the message length is refused.
    alm.Fixed.Count = 3;
    EXPECT_EQ(FormatRawAlm(&alm, sizeof text, text, &n), 0);
}
} // namespace
