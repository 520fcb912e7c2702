// One call for every log the codec decodes: a line of each through the by-name
// dispatch in both profiles, the same log in its binary form and, where the
// log's decoder reads it, in abbreviated text; the ID table; refused input.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codec/crc.h"
#include "codec/ins_logs.h"
#include "codec/log_dispatch.h"
#include "codec/log_fields.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/satvis_logs.h"
#include "golden_bodies.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
// A line maker gets the message type to write (full text or the profile's abbreviated marker).
using LineMaker = std::function<std::string(uint8_t uType)>;

struct DispatchCase
{
    std::string sName;     // as the dispatch finds it
    uint16_t nConverterId; // ID of the decoded log; 0: the profile does not know the log
    uint16_t nMonitorId;
    bool bAbbrev; // the decoder also reads the abbreviated form
    LineMaker Make;
};

BinaryLogHeader TextHeader(uint16_t nMessageId, uint8_t uType, uint16_t nBodyLength)
{
    BinaryLogHeader header{};
    FillBinaryHeader(nMessageId, uType, nBodyLength, 1, 0x02000020, &header);
    header.Sequence = 7;
    header.TimeStatus = 180;
    header.Week = 2295;
    header.Milliseconds = 79218000;
    return header;
}

std::string Text(const std::vector<char>& buffer, int ok, int32_t n)
{
    return ok ? std::string(buffer.data(), static_cast<size_t>(n)) : "(format failed)";
}

// A layout log with a zeroed body, written by the generic layout formatter.
LineMaker LayoutLine(const char* pName, uint16_t nId, const LOG_LAYOUT_T& (*Layout)())
{
    return [=](uint8_t uType)
    {
        const BinaryLogHeader header = TextHeader(nId, uType, Layout().nBodyLength);
        const std::vector<uint8_t> body(Layout().nBodyLength, 0);
        std::vector<char> out(4096);
        int32_t n = 0;
        const int ok =
            FormatLayoutLog(Layout(), pName, &header, body.data(), out.data(), static_cast<int32_t>(out.size()), &n);
        return Text(out, ok, n);
    };
}

using RecordFormatter = int (*)(const void*, int32_t, char*, int32_t*);

// A record formatted by its family's formatter.
LineMaker RecordLine(RecordFormatter Format, uint16_t nId, uint8_t uFlags, std::vector<uint8_t> body)
{
    return [=](uint8_t uType)
    {
        const BinaryLogHeader header =
            TextHeader(nId, static_cast<uint8_t>(uType | uFlags), static_cast<uint16_t>(body.size()));
        std::vector<uint8_t> record(sizeof header);
        memcpy(record.data(), &header, sizeof header);
        record.insert(record.end(), body.begin(), body.end());
        std::vector<char> out(65536);
        int32_t n = 0;
        const int ok = Format(record.data(), static_cast<int32_t>(out.size()), out.data(), &n);
        return Text(out, ok, n);
    };
}

std::vector<uint8_t> Decode(const std::string& sText, int* pResult)
{
    const std::vector<uint8_t> bytes(sText.begin(), sText.end());
    std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH, 0);
    int32_t n = 0;
    *pResult = DecodeLog(bytes.data(), static_cast<int32_t>(bytes.size()), out.data(), &n);
    out.resize(*pResult ? static_cast<size_t>(n) : 0);
    return out;
}

// The golden line in full text; other forms from its record by the log's formatter.
LineMaker GoldenLine(const char* pName, RecordFormatter Format)
{
    return [=](uint8_t uType)
    {
        const std::string sLine = FullTextLog(pName, GoldenBody(pName));
        if (uType == LOG_FORM_ASCII)
            return sLine;
        int ok = 0;
        std::vector<uint8_t> record = Decode(sLine, &ok);
        if (!ok)
            return std::string("(decode failed)");
        record[offsetof(BinaryLogHeader, MessageType)] = uType;
        std::vector<char> out(4096);
        int32_t n = 0;
        ok = Format(record.data(), static_cast<int32_t>(out.size()), out.data(), &n);
        return Text(out, ok, n);
    };
}

template <typename T> std::vector<uint8_t> CountAndRecord(const T& rec)
{
    std::vector<uint8_t> body(4 + sizeof rec);
    const uint32_t nCount = 1;
    memcpy(body.data(), &nCount, 4);
    memcpy(body.data() + 4, &rec, sizeof rec);
    return body;
}

std::vector<DispatchCase> EveryLog()
{
    std::vector<DispatchCase> cases;
    // Navigation data, SATVIS and reference stations: the golden lines.
    const struct
    {
        const char* pName;
        RecordFormatter Format;
    } golden[] = {
        {"GPSEPHEM", FormatGpsEphem},     {"QZSSEPHEMERIS", FormatQzssEphem}, {"BD2EPHEM", FormatBd2Ephem},
        {"BDSEPHEMERIS", FormatBdsEphem}, {"GLOEPHEMERIS", FormatGloEphem},   {"GALEPHEMERIS", FormatGalEphem},
        {"BDSCLOCK", FormatBdsClock},     {"GALCLOCK", FormatGalClock},       {"GLOCLOCK", FormatGloClock},
        {"BDSIONO", FormatBdsIono},       {"GALIONO", FormatGalIono},         {"IONUTC", FormatIonUtc},
        {"QZSSIONUTC", FormatIonUtc},     {"SATVIS", FormatSatVis},
    };
    for (const auto& g : golden)
    {
        const uint16_t nId = GoldenId(g.pName);
        cases.push_back({g.pName, nId, nId, g.Format != FormatSatVis, GoldenLine(g.pName, g.Format)});
    }
    for (const char* pName : {"REFSTATION", "REFSTATIONINFO"})
        cases.push_back({pName, GoldenId(pName), GoldenId(pName), false, GoldenLine(pName, nullptr)});

    // Position, velocity, time and INS/IMU logs (the monitor's catalogue lacks
    // PPPPOS and BESTGNSSXYZ, and numbers the mark logs its own way).
    const struct
    {
        const char* pName;
        uint16_t nConverterId;
        uint16_t nMonitorId;
        const LOG_LAYOUT_T& (*Layout)();
    } layouts[] = {
        {"PSRPOS", 47, 47, PositionLayout},
        {"PPPPOS", 1538, 0, PositionLayout},
        {"RTKPOS", 141, 141, PositionLayout},
        {"BESTPOS", 42, 42, PositionLayout},
        {"BESTGNSSPOS", 1429, 1429, PositionLayout},
        {"MATCHEDPOS", 96, 96, PositionLayout},
        {"MATCHEDPOSH", 6006, 6006, PositionLayout},
        {"MARKPOS", 615, 181, PositionLayout},
        {"MARK2POS", 616, 615, PositionLayout},
        {"PSRVEL", 100, 100, VelocityLayout},
        {"RTKVEL", 216, 216, VelocityLayout},
        {"BESTVEL", 99, 99, VelocityLayout},
        {"BESTGNSSVEL", 1430, 1430, VelocityLayout},
        {"PSRXYZ", 243, 243, XyzLayout},
        {"RTKXYZ", 244, 244, XyzLayout},
        {"BESTXYZ", 241, 241, XyzLayout},
        {"BESTGNSSXYZ", 1431, 0, XyzLayout},
        {"TIME", 101, 101, TimeLayout},
        {"HEADING", 971, 971, HeadingLayout},
        {"RAWIMU", 268, 268, RawImuLayout},
        {"RAWIMUX", 1461, 1461, RawImuXLayout},
        {"INSPVAX", 1465, 1465, InspvaxLayout},
        {"INSSTATUS", 8006, 8006, InsStatusLayout},
    };
    for (const auto& l : layouts)
        cases.push_back({l.pName, l.nConverterId, l.nMonitorId, true,
                         LayoutLine(l.pName, l.nConverterId ? l.nConverterId : l.nMonitorId, l.Layout)});
    // The short-header logs, in their short text form.
    cases.push_back({"RAWIMUSX", MSG_ID_RAWIMUSX, MSG_ID_RAWIMUSX, true,
                     [](uint8_t uType)
                     {
                         const BinaryLogHeader header =
                             TextHeader(MSG_ID_RAWIMUX, static_cast<uint8_t>(uType | ShortHeaderFlag()),
                                        RawImuXLayout().nBodyLength);
                         const std::vector<uint8_t> body(RawImuXLayout().nBodyLength, 0);
                         std::vector<char> out(4096);
                         int32_t n = 0;
                         const int ok = FormatRawImuX(&header, body.data(), out.data(), 4096, &n);
                         return Text(out, ok, n);
                     }});
    cases.push_back({"TIMEDWHEELDATA", MSG_ID_TIMEDWHEELDATA, MSG_ID_TIMEDWHEELDATA, true,
                     [](uint8_t uType)
                     {
                         ShortBinaryLogHeader header{};
                         FillShortBinaryHeader(MSG_ID_TIMEDWHEELDATA,
                                               static_cast<uint8_t>(TimedWheelLayout().nBodyLength), 2295, 79218000,
                                               &header);
                         const std::vector<uint8_t> body(TimedWheelLayout().nBodyLength, 0);
                         std::vector<char> out(4096);
                         int32_t n = 0;
                         const int ok = FormatTimedWheelData(&header, uType, body.data(), out.data(), 4096, &n);
                         return Text(out, ok, n);
                     }});

    // Range logs.
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
    cases.push_back({"RANGE", 43, 43, false, RecordLine(FormatRange, MSG_ID_RANGE, 0, CountAndRecord(obs))});
    cases.push_back({"RANGEH", 6005, 6005, false, RecordLine(FormatRange, MSG_ID_RANGEH, 0, CountAndRecord(obs))});
    cases.push_back({"BASERANGE", 283, 283, false, RecordLine(FormatRange, MSG_ID_BASERANGE, 0, CountAndRecord(obs))});
    cases.push_back({"RANGECMP", 140, 140, false, RecordLine(FormatRangeCmp, MSG_ID_RANGECMP, 0, CountAndRecord(cmp))});
    cases.push_back({"RANGECMP", 140, 140, false,
                     RecordLine(FormatRangeCmp, MSG_ID_RANGECMP, LOG_TYPE_FROM_RANGEH, CountAndRecord(cmp))});
    cases.push_back(
        {"RANGECMP4", 2050, 2050, false, RecordLine(FormatRangeCmp4, MSG_ID_RANGECMP4, 0, std::vector<uint8_t>(4, 0))});
    return cases;
}

bool IsShort(const std::vector<uint8_t>& record) { return record.size() > 3 && record[2] == LOG_SYNC_SHORT; }

uint16_t IdOf(const std::vector<uint8_t>& record)
{
    uint16_t nId;
    memcpy(&nId, record.data() + 4, 2); // in both headers
    return nId;
}

// The record as it goes over the wire: CRC appended, a long header's port code mapped to its address.
std::vector<uint8_t> Wire(const std::vector<uint8_t>& record)
{
    std::vector<uint8_t> wire(record.size() + 4);
    if (IsShort(record))
    {
        memcpy(wire.data(), record.data(), record.size());
        const uint32_t uCrc = Crc32Compute(record.data(), static_cast<int32_t>(record.size()));
        memcpy(wire.data() + record.size(), &uCrc, 4);
        return wire;
    }
    uint32_t n = 0;
    EXPECT_EQ(CopyBinaryLogToWire(record.data(), static_cast<int32_t>(wire.size()), wire.data(), &n), 1);
    return wire;
}

using DispatchEveryLog = ProfileTest;

TEST_P(DispatchEveryLog, OneLineOfEachLogDecodesThroughOneCall)
{
    for (const DispatchCase& c : EveryLog())
    {
        const std::string sLine = c.Make(LOG_FORM_ASCII);
        SCOPED_TRACE(sLine);
        const uint16_t nId = Monitor() ? c.nMonitorId : c.nConverterId;
        int ok = 0;
        const std::vector<uint8_t> record = Decode(sLine, &ok);
        if (nId == 0)
        {
            EXPECT_EQ(ok, 0) << "a log the profile's catalogue does not name";
            continue;
        }
        ASSERT_EQ(ok, 1);
        EXPECT_EQ(IdOf(record), nId);

        // The decoder found by name and by ID gives the same record.
        const TextDecoderFn ByName = TextDecoderForName(c.sName.data(), static_cast<int32_t>(c.sName.size()));
        ASSERT_NE(ByName, nullptr);
        if (c.sName != "BD2EPHEM") // its ID gives BDSEPHEMERIS
        {
            EXPECT_EQ(TextDecoderForId(nId), ByName);
        }
        std::vector<uint8_t> direct(LOG_MAX_BINARY_LENGTH);
        int32_t n = 0;
        ASSERT_EQ(ByName(sLine.data(), static_cast<int32_t>(sLine.size()), direct.data(), &n), 1);
        direct.resize(static_cast<size_t>(n));
        EXPECT_EQ(direct, record);

        // The binary form gives the same record.
        const std::vector<uint8_t> wire = Wire(record);
        std::vector<uint8_t> fromWire(LOG_MAX_BINARY_LENGTH);
        ASSERT_EQ(DecodeLog(wire.data(), static_cast<int32_t>(wire.size()), fromWire.data(), &n), 1);
        fromWire.resize(static_cast<size_t>(n));
        EXPECT_EQ(fromWire, record);

        if (!c.bAbbrev)
            continue;
        // So does the abbreviated text form.
        const std::string sAbbrev = c.Make(AbbrevFormMarker());
        SCOPED_TRACE(sAbbrev);
        ASSERT_EQ(sAbbrev[0], '<');
        int okAbbrev = 0;
        EXPECT_EQ(Decode(sAbbrev, &okAbbrev), record);
    }
}

TEST_P(DispatchEveryLog, BrokenInputIsRefused)
{
    const std::string sLine = FullTextLog("GPSEPHEM", GoldenBody("GPSEPHEM"));
    std::string sBadCrc = sLine;
    sBadCrc[sBadCrc.size() - 3] ^= 1;
    std::string sBinarySuffix = sLine;
    sBinarySuffix[9] = 'B';
    const std::string cases[] = {
        sBadCrc,
        sBinarySuffix,
        FullTextLog("NOSUCHLOG", GoldenBody("GPSEPHEM")),
        FullTextLog("GPSEPHEM", GoldenBody("GLOEPHEMERIS")),
        FullTextLog("HEADING2", "1,2,3"), // written only, never read
        "#",
        "#A,",
        "#GPSEPHEMA",
        "<GPSEPHEM COM1 7 63.5 SATTIME 2295 79218.000000 02000020 b1f6 16809\r\n",
        std::string("\xAA\x44\x12", 3),
        std::string("\xAA\x44\x13\x00\x01\x00", 6),
        "$GPGGA,1*00\r\n",
    };
    for (const std::string& s : cases)
    {
        int ok = 0;
        Decode(s, &ok);
        EXPECT_EQ(ok, 0) << s;
    }
    // A binary log whose CRC does not match.
    int ok = 0;
    const std::vector<uint8_t> record = Decode(sLine, &ok);
    ASSERT_EQ(ok, 1);
    std::vector<uint8_t> wire = Wire(record);
    wire[40] ^= 1;
    std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH);
    int32_t n = 0;
    EXPECT_EQ(DecodeLog(wire.data(), static_cast<int32_t>(wire.size()), out.data(), &n), 0);
}
TEST_P(DispatchEveryLog, EveryFormCutShortIsRefused)
{
    // Each cut sits in a buffer of its own size, so a read past the given length shows under the sanitizers.
    const auto Refused = [](const uint8_t* pData, size_t nLength)
    {
        const std::vector<uint8_t> cut(pData, pData + nLength);
        std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH);
        int32_t n = 0;
        return DecodeLog(cut.data(), static_cast<int32_t>(cut.size()), out.data(), &n) == 0;
    };
    for (const DispatchCase& c : EveryLog())
    {
        if ((Monitor() ? c.nMonitorId : c.nConverterId) == 0)
            continue;
        for (const uint8_t uType : {static_cast<uint8_t>(LOG_FORM_ASCII), AbbrevFormMarker()})
        {
            if (uType != LOG_FORM_ASCII && !c.bAbbrev)
                continue;
            const std::string sLine = c.Make(uType);
            SCOPED_TRACE(sLine);
            // A full line needs its CRC digits, an abbreviated one its last line feed.
            const size_t nNeeded = sLine[0] == '<' ? sLine.size() : sLine.find('*') + 9;
            const uint8_t* pLine = reinterpret_cast<const uint8_t*>(sLine.data());
            for (size_t n = 0; n < nNeeded; ++n)
                ASSERT_TRUE(Refused(pLine, n)) << "text cut at " << n;
            if (uType != LOG_FORM_ASCII)
                continue;
            int ok = 0;
            const std::vector<uint8_t> wire = Wire(Decode(sLine, &ok));
            ASSERT_EQ(ok, 1);
            for (size_t n = 0; n < wire.size(); ++n)
                ASSERT_TRUE(Refused(wire.data(), n)) << "binary log cut at " << n;
        }
    }
}
ZV_BOTH_PROFILES(DispatchEveryLog);

TEST(Dispatch, IdsFollowTheListOfDecoders)
{
    const struct
    {
        uint16_t nId;
        TextDecoderFn Decode;
    } cases[] = {
        {7, DecodeGpsEphemText},
        {42, DecodePositionText},
        {43, DecodeRangeText},
        {47, DecodePositionText},
        {96, DecodePositionText},
        {99, DecodeVelocityText},
        {100, DecodeVelocityText},
        {101, DecodeTimeText},
        {140, DecodeRangeCmpText},
        {141, DecodePositionText},
        {175, DecodeRefStationText},
        {216, DecodeVelocityText},
        {241, DecodeXyzText},
        {242, DecodeXyzText},
        {243, DecodeXyzText},
        {244, DecodeXyzText},
        {268, DecodeRawImuText},
        {283, DecodeRangeText},
        {622, DecodeTimedWheelDataText},
        {723, DecodeGloEphemText},
        {971, DecodeHeadingText},
        {1122, DecodeGalEphemText},
        {1325, DecodeRefStationText},
        {1336, DecodeQzssEphemText},
        {1461, DecodeRawImuXText},
        {1462, DecodeRawImuSxText},
        {1465, DecodeInspvaxText},
        {1696, DecodeBdsEphemText},
        {2050, DecodeRangeCmp4Text},
        {6005, DecodeRangeText},
        {6006, DecodePositionText},
        {8006, DecodeInsStatusText},
        {48, DecodeSatVisText},
        {1607, DecodeBdsClockText},
        {1121, DecodeGalClockText},
        {719, DecodeGloClockText},
        {1590, DecodeBdsIonoText},
        {1127, DecodeGalIonoText},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextDecoderForId(c.nId), c.Decode) << c.nId;
    EXPECT_EQ(TextDecoderForId(0xFFFF), nullptr);
    EXPECT_EQ(TextDecoderForId(1335), nullptr); // HEADING2 is written only
}

TEST(Dispatch, NamesTellLogsOfOneIdApart)
{
    EXPECT_EQ(TextDecoderForName("BDSEPHEMERIS", 12), &DecodeBdsEphemText);
    EXPECT_EQ(TextDecoderForName("bd2ephem", 8), &DecodeBd2EphemText);
    EXPECT_EQ(TextDecoderForName("BD2EPHEMX", 8), &DecodeBd2EphemText); // only the given length counts
    EXPECT_EQ(TextDecoderForName("BD2EPHEM", 7), nullptr);
    EXPECT_EQ(TextDecoderForName("GPSEPHEMA", 9), nullptr);
    int ok = 0;
    EXPECT_EQ(Decode(FullTextLog("BD2EPHEM", GoldenBody("BD2EPHEM")), &ok).size(), 28u + sizeof(BD2EPHEM_BODY_T));
    EXPECT_EQ(Decode(FullTextLog("BDSEPHEMERIS", GoldenBody("BDSEPHEMERIS")), &ok).size(),
              28u + sizeof(BDSEPHEMERIS_BODY_T));
}

// The mark logs carry other IDs in the monitor's catalogue.
TEST(Dispatch, IdOfACatalogueNameFollowsTheProfile)
{
    {
        ScopedProfile profile(CODEC_PROFILE_CONVERTER);
        EXPECT_EQ(TextDecoderForId(615), &DecodePositionText);
        EXPECT_EQ(TextDecoderForId(1538), &DecodePositionText);
    }
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    EXPECT_EQ(TextDecoderForId(181), &DecodePositionText);
    EXPECT_EQ(TextDecoderForId(1538), nullptr);
}
} // namespace
