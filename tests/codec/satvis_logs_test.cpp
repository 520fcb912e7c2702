// SATVIS, REFSTATION and REFSTATIONINFO: round trips, the satellite count
// against the text, quoted texts, datum names per profile and the older packed
// layout of binary reference-station records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/log_format.h"
#include "codec/satvis_logs.h"
#include "golden_bodies.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
const char* const SATVIS_TWO = GoldenBody("SATVIS");

std::vector<uint8_t> Decode(int (*decode)(const char*, int32_t, uint8_t*, int32_t*), const std::string& sLine,
                            int* pResult)
{
    const std::vector<char> text(sLine.begin(), sLine.end());
    std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH);
    int32_t n = 0;
    *pResult = decode(text.data(), static_cast<int32_t>(text.size()), out.data(), &n);
    out.resize(*pResult ? static_cast<size_t>(n) : 0);
    return out;
}

std::string Format(int (*format)(const void*, int32_t, char*, int32_t*), const std::vector<uint8_t>& record)
{
    std::vector<char> out(8192);
    int32_t n = 0;
    if (!format(record.data(), static_cast<int32_t>(out.size()), out.data(), &n))
        return "(format failed)";
    return std::string(out.data(), n);
}

std::string FormatRef(int (*format)(const void*, int32_t, int32_t, char*, int32_t*), const std::vector<uint8_t>& record,
                      int32_t nMode = 1)
{
    std::vector<char> out(1024);
    int32_t n = 0;
    if (!format(record.data(), static_cast<int32_t>(out.size()), nMode, out.data(), &n))
        return "(format failed)";
    return std::string(out.data(), n);
}

BinaryLogHeader HeaderOf(const std::vector<uint8_t>& record)
{
    BinaryLogHeader h;
    memcpy(&h, record.data(), sizeof h);
    return h;
}

TEST(SatVis, RoundTripKeepsFlagsAndRecords)
{
    for (const char* pFlags : {"FALSE,FALSE", "TRUE,FALSE", "TRUE,TRUE"})
    {
        SCOPED_TRACE(pFlags);
        const std::string sLine = FullTextLog("SATVIS", pFlags + std::string(SATVIS_TWO).substr(11));
        int ok = 0;
        const std::vector<uint8_t> record = Decode(DecodeSatVisText, sLine, &ok);
        ASSERT_EQ(ok, 1);
        ASSERT_EQ(record.size(), 28u + 12 + 2 * 40);
        EXPECT_EQ(HeaderOf(record).MessageLength, 12 + 2 * 40);
        SATVIS_BODY_T fixed;
        SATVIS_SAT_T sat[2];
        memcpy(&fixed, record.data() + 28, sizeof fixed);
        memcpy(sat, record.data() + 40, sizeof sat);
        EXPECT_EQ(fixed.VisibilityValid, pFlags[0] == 'T' ? 1u : 0u);
        EXPECT_EQ(fixed.CompleteAlmanac, strcmp(pFlags, "TRUE,TRUE") == 0 ? 1u : 0u);
        EXPECT_EQ(fixed.Count, 2u);
        EXPECT_EQ(sat[1].Prn, 42);
        EXPECT_EQ(sat[1].GloFreq, 13);
        EXPECT_EQ(sat[0].ApparentDoppler, -1233.75);

        const std::string sText = Format(FormatSatVis, record);
        EXPECT_EQ(sText, sLine);
        int ok2 = 0;
        EXPECT_EQ(Decode(DecodeSatVisText, sText, &ok2), record);
        // SATVIS has no abbreviated form: the full text comes out whatever the type asks.
        std::vector<uint8_t> abbrev = record;
        abbrev[offsetof(BinaryLogHeader, MessageType)] = AbbrevFormMarker();
        EXPECT_EQ(Format(FormatSatVis, abbrev), sLine);
    }
}

TEST(SatVis, CountMustMatchTheRecordsInTheText)
{
    const struct
    {
        const char* pBody;
        int nExpected;
    } cases[] = {
        {SATVIS_TWO, 1},
        {"TRUE,TRUE, 0", 1},
        {"TRUE,TRUE, 3,3,0,0,45.5,120.25,-1234.5,-1233.75,42,13,1,12,301,2500,2499.5", 0},
        {"TRUE,TRUE, 1,3,0,0,45.5,120.25,-1234.5,-1233.75,42,13,1,12,301,2500,2499.5", 0},
        {"TRUE,TRUE, 4294967295,3,0,0,45.5,120.25,-1234.5,-1233.75", 0},
        {"TRUE,TRUE, 1,3,0,0,45.5,120.25,-1234.5", 0},              // six fields
        {"TRUE,TRUE, 1,65536,0,0,45.5,120.25,-1234.5,-1233.75", 0}, // PRN beyond 16 bits
        {"TRUE,TRUE, 1,3,0,0,45.5,120.25,-1234.5,-1233.75,", 0},    // a further, empty field
        {"TRUE,TRUE", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pBody);
        int ok = 0;
        Decode(DecodeSatVisText, FullTextLog("SATVIS", c.pBody), &ok);
        EXPECT_EQ(ok, c.nExpected);
    }
}

TEST(SatVis, RecordCountBeyondTheMessageLengthIsRefused)
{
    int ok = 0;
    std::vector<uint8_t> record = Decode(DecodeSatVisText, FullTextLog("SATVIS", SATVIS_TWO), &ok);
    ASSERT_EQ(ok, 1);
    const uint32_t nThree = 3;
    memcpy(record.data() + 28 + offsetof(SATVIS_BODY_T, Count), &nThree, 4);
    EXPECT_EQ(Format(FormatSatVis, record), "(format failed)");
    std::vector<uint8_t> wire(record.size() + 64);
    int32_t n = 0;
    EXPECT_EQ(CopyBinarySatVis(record.data(), static_cast<int32_t>(wire.size()), wire.data(), &n), 0);
}

TEST(SatVis, CopyMapsThePortAndAddsTheCrc)
{
    int ok = 0;
    const std::vector<uint8_t> record = Decode(DecodeSatVisText, FullTextLog("SATVIS", SATVIS_TWO), &ok);
    ASSERT_EQ(ok, 1);
    std::vector<uint8_t> wire(record.size() + 4);
    int32_t n = 0;
    ASSERT_EQ(CopyBinarySatVis(record.data(), static_cast<int32_t>(wire.size()), wire.data(), &n), 1);
    EXPECT_EQ(n, static_cast<int32_t>(wire.size()));
    EXPECT_EQ(wire[offsetof(BinaryLogHeader, Port)], 32);
    std::vector<uint8_t> back(record.size());
    uint32_t nBack = 0;
    ASSERT_EQ(CopyBinaryLog(wire.data(), n, back.data(), static_cast<int32_t>(back.size()), &nBack), 1);
    EXPECT_EQ(record[offsetof(BinaryLogHeader, Port)], 1);
}

const char* const REFSTATION_BODY = GoldenBody("REFSTATION");
const std::string MODEL32 = "LEIAR25.R3      LEIT012345678901";
const std::string REFINFO_BODY = GoldenBody("REFSTATIONINFO");

TEST(RefStation, RoundTripAndStationTypeName)
{
    int ok = 0;
    const std::string sLine = FullTextLog("REFSTATION", REFSTATION_BODY);
    const std::vector<uint8_t> record = Decode(DecodeRefStationText, sLine, &ok);
    ASSERT_EQ(ok, 1);
    ASSERT_EQ(record.size(), 28u + 44);
    EXPECT_EQ(HeaderOf(record).MessageId, MSG_ID_REFSTATION);
    REFSTATION_BODY_T body;
    memcpy(&body, record.data() + 28, sizeof body);
    EXPECT_EQ(body.StationType, 4u);
    EXPECT_STREQ(body.StationId, "A123");
    EXPECT_EQ(FormatRef(FormatRefStation, record), sLine);
}

TEST(RefStation, InfoRoundTripWithFullWidthTexts)
{
    int ok = 0;
    const std::string sLine = FullTextLog("REFSTATIONINFO", REFINFO_BODY);
    const std::vector<uint8_t> record = Decode(DecodeRefStationText, sLine, &ok);
    ASSERT_EQ(ok, 1);
    ASSERT_EQ(record.size(), 28u + 112);
    EXPECT_EQ(HeaderOf(record).MessageId, MSG_ID_REFSTATIONINFO);
    REFSTATIONINFO_BODY_T body;
    memcpy(&body, record.data() + 28, sizeof body);
    EXPECT_EQ(body.DatumId, 61u);
    EXPECT_EQ(body.StationType, 3u);
    EXPECT_EQ(std::string(body.AntennaModel, 32), MODEL32);
    EXPECT_EQ(FormatRef(FormatRefStationInfo, record), sLine);
}

TEST(RefStation, DecodeRejectsWhatItCannotHold)
{
    const struct
    {
        std::string sLine;
        int nExpected;
    } cases[] = {
        {FullTextLog("BESTPOS", REFSTATION_BODY), 0},
        {FullTextLog("REFSTATION", "00000000,1,2,3,0,RTCMV3,\"ABCDEFGH\""), 1},
        {FullTextLog("REFSTATION", "00000000,1,2,3,0,RTCMV3,\"ABCDEFGHI\""), 0}, // ID beyond 8 bytes
        {FullTextLog("REFSTATION", "00000000,1,2,3,0,RTCMV3,\"A123"), 0},        // missing quote
        {FullTextLog("REFSTATION", "00000000,1,2,3,RTCMV3,\"A123\""), 0},        // health missing
        {FullTextLog("REFSTATIONINFO", REFINFO_BODY.substr(0, REFINFO_BODY.find(",\"SN"))), 0},
        {FullTextLog("REFSTATIONINFO", "1,2,3,WGS84,0.5,0,CMR,\"A\",\"" + MODEL32 + "X\",\"S\""), 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.sLine);
        int ok = 0;
        Decode(DecodeRefStationText, c.sLine, &ok);
        EXPECT_EQ(ok, c.nExpected);
    }
}

TEST(RefStation, UnknownStationTypeWordIsNone)
{
    int ok = 0;
    const std::vector<uint8_t> record =
        Decode(DecodeRefStationText, FullTextLog("REFSTATIONINFO", "1,2,3,WGS84,0.5,0,DGPS9,\"A\",\"M\",\"S\""), &ok);
    ASSERT_EQ(ok, 1);
    REFSTATIONINFO_BODY_T body;
    memcpy(&body, record.data() + 28, sizeof body);
    EXPECT_EQ(body.StationType, 0u);
    EXPECT_NE(FormatRef(FormatRefStationInfo, record).find(",NONE,\"A\""), std::string::npos);
}

TEST(RefStation, StationTypeWithoutANameIsNotPrinted)
{
    int ok = 0;
    std::vector<uint8_t> record = Decode(DecodeRefStationText, FullTextLog("REFSTATION", REFSTATION_BODY), &ok);
    ASSERT_EQ(ok, 1);
    const uint32_t nType = 5;
    memcpy(record.data() + 28 + offsetof(REFSTATION_BODY_T, StationType), &nType, 4);
    EXPECT_EQ(FormatRef(FormatRefStation, record), "(format failed)");
}

using RefStationDatum = ProfileTest;

// The monitor names only WGS84, USER and CGCS2000.
TEST_P(RefStationDatum, DatumNameFollowsTheProfile)
{
    const std::string sBody = "1.000000000,2.000000000,3.000000000,ED50,0.500,0,RTCM,\"A\",\"M\",\"S\"";
    int ok = 0;
    const std::vector<uint8_t> record = Decode(DecodeRefStationText, FullTextLog("REFSTATIONINFO", sBody), &ok);
    ASSERT_EQ(ok, 1);
    const std::string sText = FormatRef(FormatRefStationInfo, record);
    EXPECT_NE(sText.find(Monitor() ? ",ERROR," : ",ED50,"), std::string::npos) << sText;
    // A datum ID without a name prints as ERROR in both programs.
    std::vector<uint8_t> unknown = record;
    const uint32_t nDatum = 0xFFFFFFFF;
    memcpy(unknown.data() + 28 + offsetof(REFSTATIONINFO_BODY_T, DatumId), &nDatum, 4);
    EXPECT_NE(FormatRef(FormatRefStationInfo, unknown).find(",ERROR,"), std::string::npos);
}
ZV_BOTH_PROFILES(RefStationDatum);

// A binary record shorter than the body: the station ID (up to five
// characters) and the antenna texts packed, each text zero-terminated and
// padded to four bytes.
std::vector<uint8_t> PackedRecord(const std::vector<uint8_t>& fixedRecord, size_t nFixedPart,
                                  const std::vector<uint8_t>& packed)
{
    std::vector<uint8_t> r(fixedRecord.begin(), fixedRecord.begin() + 28 + nFixedPart);
    r.insert(r.end(), packed.begin(), packed.end());
    const uint16_t nLength = static_cast<uint16_t>(r.size() - 28);
    memcpy(r.data() + offsetof(BinaryLogHeader, MessageLength), &nLength, 2);
    return r;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(RefStation, OlderPackedLayoutComesOutInTheCurrentOne)
{
    int ok = 0;
    const std::vector<uint8_t> fixed =
        Decode(DecodeRefStationText, FullTextLog("REFSTATION", "00000000,1.000,2.000,3.000,0,RTCM,\"ABCDE\""), &ok);
    ASSERT_EQ(ok, 1);
    const size_t nPart = offsetof(REFSTATION_BODY_T, StationId);
    const std::vector<uint8_t> packed = PackedRecord(fixed, nPart, Bytes("ABCDE"));
    ASSERT_EQ(HeaderOf(packed).MessageLength, 41);
    EXPECT_EQ(FormatRef(FormatRefStation, packed), FormatRef(FormatRefStation, fixed));
    EXPECT_EQ(FormatRef(FormatRefStation, packed, 0), FormatRef(FormatRefStation, fixed, 0));
    const std::string sWire = FormatRef(FormatRefStation, packed, 0);
    ASSERT_EQ(sWire.size(), 28u + 44 + 4);
    EXPECT_EQ(static_cast<uint8_t>(sWire[offsetof(BinaryLogHeader, Port)]), 32); // COM1's wire address
    uint8_t back[72];
    uint32_t nBack = 0;
    EXPECT_EQ(CopyBinaryLog(sWire.data(), static_cast<int32_t>(sWire.size()), back, sizeof back, &nBack), 1);
    // Six characters cannot be packed.
    EXPECT_EQ(FormatRef(FormatRefStation, PackedRecord(fixed, nPart, Bytes("ABCDEF"))), "(format failed)");

    // A current-layout record is never read as packed: an eight-character ID stays whole.
    const std::vector<uint8_t> eight =
        Decode(DecodeRefStationText, FullTextLog("REFSTATION", "00000000,1.000,2.000,3.000,0,RTCM,\"ABCDEFGH\""), &ok);
    EXPECT_NE(FormatRef(FormatRefStation, eight).find("\"ABCDEFGH\""), std::string::npos);
}

TEST(RefStation, InfoOlderPackedLayoutComesOutInTheCurrentOne)
{
    const size_t nPart = offsetof(REFSTATIONINFO_BODY_T, StationId);
    const struct
    {
        const char* pId;
        std::string sModel;
        const char* pSerial;
        std::string sPacked;
    } cases[] = {
        {"AB", "LEIAR25", "S1", std::string("AB\0\0", 4) + std::string("LEIAR25\0", 8) + std::string("S1\0\0", 4)},
        {"ABCD", "LEIAR", "", std::string("ABCD\0", 5) + std::string("LEIAR\0\0\0", 8) + std::string("\0\0\0\0", 4)},
        {"ABCDE", MODEL32, "SN123", "ABCDE" + MODEL32 + std::string("SN123\0\0\0", 8)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pId);
        int ok = 0;
        const std::string sBody = std::string("1.000000000,2.000000000,3.000000000,WGS84,0.500,0,RTCM,\"") + c.pId +
                                  "\",\"" + c.sModel + "\",\"" + c.pSerial + "\"";
        const std::vector<uint8_t> fixed = Decode(DecodeRefStationText, FullTextLog("REFSTATIONINFO", sBody), &ok);
        ASSERT_EQ(ok, 1);
        const std::vector<uint8_t> packed = PackedRecord(fixed, nPart, Bytes(c.sPacked));
        ASSERT_LT(HeaderOf(packed).MessageLength, 112);
        EXPECT_EQ(FormatRef(FormatRefStationInfo, packed), FullTextLog("REFSTATIONINFO", sBody));
        EXPECT_EQ(FormatRef(FormatRefStationInfo, packed, 0), FormatRef(FormatRefStationInfo, fixed, 0));
        // Cut short, the record is refused.
        const std::vector<uint8_t> cut = PackedRecord(fixed, nPart, Bytes(c.sPacked.substr(0, c.sPacked.size() - 6)));
        EXPECT_EQ(FormatRef(FormatRefStationInfo, cut), "(format failed)");
    }
}
} // namespace
