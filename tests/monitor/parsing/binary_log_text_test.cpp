#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_fields.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/satvis_logs.h"
#include "monitor/parsing/binary_log_text.h"
#include "support/frame_builders.h"
#include "support/profile_fixture.h"

namespace
{

// Header, body and (for a wire log) the CRC-32: header fields as the codec's golden lines carry them.
Bytes Log(uint16_t nId, uint8_t uType, uint8_t uPort, const Bytes& body, bool bWire)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nId, uType, static_cast<uint16_t>(body.size()), uPort, 0x02000020, &h);
    h.Sequence = 7;
    h.TimeStatus = 180;
    h.Week = 2295;
    h.Milliseconds = 79218000;
    h.Reserved = 0xb1f6;
    h.SoftwareVersion = 16809;
    Bytes out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    return bWire ? WithCrc32(out + body) : out + body;
}

// A long-header log as a receiver sends it on COM1 (port address 32).
Bytes WireLog(uint16_t nId, uint8_t uType, const Bytes& body) { return Log(nId, uType, 32, body, true); }

Bytes ShortWireLog(uint16_t nId, const Bytes& body)
{
    ShortBinaryLogHeader h{};
    FillShortBinaryHeader(nId, static_cast<uint8_t>(body.size()), 2295, 79218000, &h);
    Bytes out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    return WithCrc32(out + body);
}

// The text the parser shows for one wire log.
std::string ShowLog(const Bytes& frame)
{
    std::vector<uint8_t> record(LOG_RECORD_MAX);
    uint32_t nRecord = 0;
    if (!BinaryLogToRecord(frame.data(), static_cast<uint32_t>(frame.size()), record.data(),
                           static_cast<uint32_t>(record.size()), &nRecord))
        return "(not a log)";
    std::string out(LOG_TEXT_MAX, '\0');
    const uint32_t n = BinaryRecordToText(record.data(), &out[0], static_cast<uint32_t>(out.size()));
    EXPECT_LT(n, uint32_t(LOG_TEXT_MAX));
    return out.substr(0, n);
}

// ---- bodies with values away from zero ----

PositionBody Position()
{
    return PositionBody{0,
                        16,
                        51.11636418888,
                        -114.03832502118,
                        1064.9520,
                        -16.2712f,
                        61,
                        1.6961f,
                        1.3636f,
                        3.6449f,
                        {'1', '2', '3', '4'},
                        1.5f,
                        2.5f,
                        {19, 18, 17, 16, 0, 6, 0x10, 0x33}};
}

VelocityBody Velocity() { return VelocityBody{0, 16, 0.25f, 1.0f, 0.0123, 227.5, -0.005, 0}; }

XyzBody Xyz()
{
    XyzBody b{};
    b.PosType = 50;
    b.X = -1634531.5683;
    b.Y = -3664618.0326;
    b.Z = 4942496.3270;
    b.XSd = 0.0099f;
    b.VelType = 50;
    b.VX = 0.0011;
    std::memcpy(b.StationId, "AAAA", 4);
    b.Sats = {12, 11, 11, 11, 0, 6, 0, 0x33};
    return b;
}

Bytes DopBody(uint32_t nCount, const std::vector<uint32_t>& sats)
{
    const float v[6] = {1.2f, 1.1f, 0.7f, 0.75f, 0.5f, 10.0f};
    Bytes b(sizeof v + 4 + 4 * sats.size());
    std::memcpy(b.data(), v, sizeof v);
    std::memcpy(b.data() + sizeof v, &nCount, 4);
    for (size_t i = 0; i < sats.size(); ++i)
        std::memcpy(b.data() + sizeof v + 4 + 4 * i, &sats[i], 4);
    return b;
}

Bytes RangeBody()
{
    RANGE_OBS_T o[2] = {
        {14, 0, 21399133.123, 0.011f, -112452521.123456, 0.005f, -885.123f, 49.0f, 1234.56f, 0x08109c04},
        {43, 6, 20399133.123, 0.011f, -109452521.123456, 0.005f, 1885.123f, 41.0f, 34.56f, 0x08119e24},
    };
    Bytes b(4 + sizeof o);
    const uint32_t n = 2;
    std::memcpy(b.data(), &n, 4);
    std::memcpy(b.data() + 4, o, sizeof o);
    return b;
}

Bytes CountedBytes(uint32_t nRecordSize, uint32_t nCount)
{
    Bytes b(4 + nRecordSize * nCount);
    std::memcpy(b.data(), &nCount, 4);
    for (size_t i = 4; i < b.size(); ++i)
        b[i] = static_cast<uint8_t>(i * 37 + 11);
    return b;
}

GPSEPHEM_BODY_T GpsEphem()
{
    GPSEPHEM_BODY_T b{};
    b.Prn = 12;
    b.Tow = 345600;
    b.Week = 2295;
    b.Toe = 352800;
    b.A = 26560512.25;
    b.Ecc = 0.0123;
    return b;
}

Bytes SatVis()
{
    SATVIS_BODY_T fixed{1, 1, 2};
    SATVIS_SAT_T sats[2] = {{12, 0, 0, 45.5, 120.25, 1234.5, 1230.0}, {44, 13, 0, 10.0, 300.0, -250.0, -251.5}};
    Bytes b(sizeof fixed + sizeof sats);
    std::memcpy(b.data(), &fixed, sizeof fixed);
    std::memcpy(b.data() + sizeof fixed, sats, sizeof sats);
    return b;
}

using Formatter = std::function<int(const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)>;

template <typename F> Formatter HeaderBodyFormatter(F f)
{
    return [f](const uint8_t* p, char* pOut, int32_t nCap, int32_t* pLen)
    { return f(reinterpret_cast<const BinaryLogHeader*>(p), p + LOG_HEADER_LENGTH, pOut, nCap, pLen); };
}

Formatter RecordFormatter(int (*f)(const void*, int32_t, char*, int32_t*))
{
    return [f](const uint8_t* p, char* pOut, int32_t nCap, int32_t* pLen) { return f(p, nCap, pOut, pLen); };
}

struct FamilyCase
{
    const char* Name; // the log name the text must carry
    uint16_t Id;
    Bytes Body;
    Formatter Format; // the codec's own formatter of the family
};

std::vector<FamilyCase> FamilyCases()
{
    auto pos = [](uint32_t nKind)
    {
        return HeaderBodyFormatter([nKind](const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* l)
                                   { return FormatPosition(nKind, h, b, o, c, l); });
    };
    auto vel = [](uint32_t nPrefix)
    {
        return HeaderBodyFormatter([nPrefix](const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* l)
                                   { return FormatVelocity(nPrefix, h, b, o, c, l); });
    };
    auto xyz = [](uint32_t nPrefix)
    {
        return HeaderBodyFormatter([nPrefix](const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* l)
                                   { return FormatXyz(nPrefix, h, b, o, c, l); });
    };
    const Formatter dop = [](const uint8_t* p, char* pOut, int32_t nCap, int32_t* pLen)
    {
        uint32_t n = 0;
        const int r = FormatDopLog(p, pOut, static_cast<uint32_t>(nCap), &n);
        *pLen = static_cast<int32_t>(n);
        return r;
    };
    // Monitor kinds: 0 PSRPOS, 2 RTKPOS, 3 BESTPOS, 4 BESTGNSSPOS, 5 MATCHEDPOS, 6 MATCHEDPOSH.
    InsPvaBody pva{2295, 79218.0, 51.1, -114.0, 1064.9, 0.1, 0.2, 0.3, 1.5, -0.5, 271.5, 3};
    InsAttBody att{2295, 79218.0, 1.5, -0.5, 271.5, 3};
    InsSpdBody spd{2295, 79218.0, 90.0, 12.5, -0.1, 3};
    InsVelBody insVel{2295, 79218.0, 0.1, 0.2, 0.3, 3};
    InspvaxBody pvax{};
    pvax.InsStatus = 3;
    pvax.PosType = 56;
    pvax.Azimuth = 271.5;
    InsStatusBody insStatus{};
    insStatus.InsStatus = 3;
    insStatus.Values[0] = 1.25;
    RawImuBody imu{2295, 79218.0, 0x77, {1, -2, 3, -4, 5, -6}};
    RawImuXBody imux{1, 13, 2295, 79218.0, 0x77, {1, -2, 3, -4, 5, -6}};
    HeadingBody heading{0, 50, 1.5f, 271.25f, -0.5f, 0, 0.1f, 0.2f, {'0', 0, 0, 0}, {20, 18, 18, 18, 0, 1, 0, 0x33}};
    Heading2Body heading2{
        0, 50, 1.5f, 271.25f, -0.5f, 0, 0.1f, 0.2f, {'R', 0, 0, 0}, {'M', 0, 0, 0}, {20, 18, 18, 18, 0, 1, 0, 0x33}};
    AvePosBody avePos{0.892, -1.99, 1064.9, 0.5f, 0.6f, 0.7f, 1, 3600, 3600};
    TimeBody time{0, 1.5e-9, 2.5e-9, -18.0, 2024, 3, 23, 12, 35, 19500, 1};
    TimeSyncBody timeSync{2295, 79218000, 180};
    return {
        {"PSRPOS", MSG_ID_PSRPOS, BodyBytes(Position()), pos(0)},
        {"RTKPOS", MSG_ID_RTKPOS, BodyBytes(Position()), pos(2)},
        {"BESTPOS", MSG_ID_BESTPOS, BodyBytes(Position()), pos(3)},
        {"BESTGNSSPOS", MSG_ID_BESTGNSSPOS, BodyBytes(Position()), pos(4)},
        {"MATCHEDPOS", MSG_ID_MATCHEDPOS, BodyBytes(Position()), pos(5)},
        {"MATCHEDPOSH", MSG_ID_MATCHEDPOSH, BodyBytes(Position()), pos(6)},
        {"PSRVEL", MSG_ID_PSRVEL, BodyBytes(Velocity()), vel(0)},
        {"RTKVEL", MSG_ID_RTKVEL, BodyBytes(Velocity()), vel(2)},
        {"BESTVEL", MSG_ID_BESTVEL, BodyBytes(Velocity()), vel(3)},
        {"BESTGNSSVEL", MSG_ID_BESTGNSSVEL, BodyBytes(Velocity()), vel(4)},
        {"PSRXYZ", MSG_ID_PSRXYZ, BodyBytes(Xyz()), xyz(0)},
        {"RTKXYZ", MSG_ID_RTKXYZ, BodyBytes(Xyz()), xyz(2)},
        {"BESTXYZ", MSG_ID_BESTXYZ, BodyBytes(Xyz()), xyz(3)},
        {"BESTGNSSXYZ", MSG_ID_BESTGNSSXYZ, BodyBytes(Xyz()), xyz(4)},
        {"HEADING", MSG_ID_HEADING, BodyBytes(heading), HeaderBodyFormatter(FormatHeading)},
        {"HEADING2", MSG_ID_HEADING2, BodyBytes(heading2), HeaderBodyFormatter(FormatHeading2)},
        {"AVEPOS", MSG_ID_AVEPOS, BodyBytes(avePos), HeaderBodyFormatter(FormatAvePos)},
        {"TIME", MSG_ID_TIME, BodyBytes(time), HeaderBodyFormatter(FormatTime)},
        {"TIMESYNC", MSG_ID_TIMESYNC, BodyBytes(timeSync), HeaderBodyFormatter(FormatTimeSync)},
        {"PSRDOP", 174, DopBody(3, {5, 12, 30}), dop},
        {"RTKDOP", 952, DopBody(0, {}), dop},
        {"INSATT", MSG_ID_INSATT, BodyBytes(att), HeaderBodyFormatter(FormatInsAtt)},
        {"INSSPD", MSG_ID_INSSPD, BodyBytes(spd), HeaderBodyFormatter(FormatInsSpd)},
        {"INSVEL", MSG_ID_INSVEL, BodyBytes(insVel), HeaderBodyFormatter(FormatInsVel)},
        {"INSPVA", MSG_ID_INSPVA, BodyBytes(pva), HeaderBodyFormatter(FormatInsPva)},
        {"INSPVAX", MSG_ID_INSPVAX, BodyBytes(pvax), HeaderBodyFormatter(FormatInspvax)},
        {"INSSTATUS", MSG_ID_INSSTATUS, BodyBytes(insStatus), HeaderBodyFormatter(FormatInsStatus)},
        {"RAWIMU", MSG_ID_RAWIMU, BodyBytes(imu), HeaderBodyFormatter(FormatRawImu)},
        {"RAWIMUX", MSG_ID_RAWIMUX, BodyBytes(imux), HeaderBodyFormatter(FormatRawImuX)},
        {"RANGE", MSG_ID_RANGE, RangeBody(), RecordFormatter(FormatRange)},
        {"RANGEH", MSG_ID_RANGEH, RangeBody(), RecordFormatter(FormatRange)},
        {"BASERANGE", MSG_ID_BASERANGE, RangeBody(), RecordFormatter(FormatRange)},
        {"RANGECMP", MSG_ID_RANGECMP, CountedBytes(sizeof(RANGECMP_OBS_T), 3), RecordFormatter(FormatRangeCmp)},
        {"RANGECMP4", MSG_ID_RANGECMP4, CountedBytes(1, 57), RecordFormatter(FormatRangeCmp4)},
    };
}

class BinaryLogFamilyTest : public ::testing::TestWithParam<FamilyCase>
{
protected:
    ScopedProfile m_profile{CODEC_PROFILE_MONITOR};
};

// Every family: the wire log in binary form gives full text, one marked for
// the abbreviated form gives the abbreviated text, each exactly as the codec's
// formatter writes the record (port code, not port address).
TEST_P(BinaryLogFamilyTest, MatchesTheCodecFormatter)
{
    const FamilyCase& c = GetParam();
    const uint16_t nId = c.Id;
    for (const uint8_t uWireType : {uint8_t(0x00), uint8_t(0x40)})
    {
        const uint8_t uTextType = uWireType == 0 ? uint8_t(LOG_FORM_ASCII) : AbbrevFormMarker();
        const Bytes record = Log(nId, uTextType, static_cast<uint8_t>(PortNameToCode("COM1")), c.Body, false);
        std::string expected(LOG_TEXT_MAX, '\0');
        int32_t n = 0;
        ASSERT_EQ(c.Format(record.data(), &expected[0], LOG_TEXT_MAX, &n), 1) << c.Name;
        expected.resize(static_cast<size_t>(n));

        const std::string text = ShowLog(WireLog(nId, uWireType, c.Body));
        EXPECT_EQ(text, expected) << c.Name;
        const bool bFull = uWireType == 0;
        const std::string opening = (bFull ? "#" : "<") + std::string(c.Name) + (bFull ? "A," : " ");
        EXPECT_EQ(text.compare(0, opening.size(), opening), 0) << text.substr(0, 40);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Families, BinaryLogFamilyTest, ::testing::ValuesIn(FamilyCases()),
                         [](const ::testing::TestParamInfo<FamilyCase>& info) { return std::string(info.param.Name); });

class BinaryLogTextTest : public ::testing::Test
{
protected:
    ScopedProfile m_profile{CODEC_PROFILE_MONITOR};
};

TEST_F(BinaryLogTextTest, BestposGoldenLine)
{
    EXPECT_EQ(ShowLog(WireLog(MSG_ID_BESTPOS, 0, BodyBytes(Position()))),
              "#BESTPOSA,COM1,7,25.0,FINESTEERING,2295,79218.000,02000020,b1f6,16809;SOL_COMPUTED,SINGLE,"
              "51.11636418888,-114.03832502118,1064.9520,-16.2712,WGS84,1.6961,1.3636,3.6449,\"1234\",1.500,2.500,19,"
              "18,17,16,00,06,10,33*ab010199\r\n");
}

// PSRDOP and RTKDOP text is written here; both forms end their body line
// with CR LF, and the full form carries its CRC.
TEST_F(BinaryLogTextTest, DopLines)
{
    const std::string full = ShowLog(WireLog(174, 0, DopBody(3, {5, 12, 30})));
    EXPECT_EQ(full.substr(full.find(';')),
              ";1.2000,1.1000,0.7000,0.7500,0.5000,10.0,3,5,12,30*" + full.substr(full.find('*') + 1));
    EXPECT_EQ(CheckTextLogCrc(full.data(), static_cast<int32_t>(full.size())), 1);
    EXPECT_EQ(full.substr(full.size() - 2), "\r\n");

    const std::string abbrev = ShowLog(WireLog(952, 0x40, DopBody(2, {7, 9})));
    const size_t nBody = abbrev.find("\r\n") + 2;
    EXPECT_EQ(abbrev.compare(0, 8, "<RTKDOP "), 0);
    EXPECT_EQ(abbrev.substr(nBody), "<\t1.2000 1.1000 0.7000 0.7500 0.5000 10.0  7 9\r\n");
}

// Short-header logs get the short text form, their body read after the
// 12-byte header; RAWIMUSX takes that form whatever its header.
TEST_F(BinaryLogTextTest, ShortHeaderLogs)
{
    RawImuXBody imux{1, 13, 2295, 79218.0, 0x77, {1, -2, 3, -4, 5, -6}};
    const std::string sx = ShowLog(ShortWireLog(MSG_ID_RAWIMUSX, BodyBytes(imux)));
    EXPECT_EQ(sx.compare(0, 32, "%RAWIMUSXA,2295,79218.000;01,13,"), 0) << sx;
    EXPECT_EQ(ShowLog(WireLog(MSG_ID_RAWIMUSX, 0, BodyBytes(imux))), sx) << "long header";
}

// Only the logs with a text form are shown: the rest of the catalogue and
// logs outside it give no text at all. A log with a text form whose body its
// formatter refuses still shows one line.
TEST_F(BinaryLogTextTest, LogsWithoutTextFormShowNothing)
{
    Bytes huge = CountedBytes(sizeof(RANGE_OBS_T), RANGE_MAX_OBS);
    for (uint32_t i = 0; i < RANGE_MAX_OBS; ++i)
    {
        const double big = 1e300;
        std::memcpy(huge.data() + 4 + i * sizeof(RANGE_OBS_T) + 4, &big, sizeof big);
        std::memcpy(huge.data() + 4 + i * sizeof(RANGE_OBS_T) + 16, &big, sizeof big);
    }
    Bytes rangeShort = CountedBytes(sizeof(RANGE_OBS_T), 1);
    rangeShort[0] = 2;
    InsPosBody insPos{2295, 79218.0, 51.1, -114.0, 1064.9, 3};
    RawImuBody imu{2295, 79218.0, 0x77, {1, -2, 3, -4, 5, -6}};
    TimedWheelBody wheel{1000, 2, 0.5f, 0, 0, 123456};
    const struct
    {
        const char* What;
        Bytes Frame;
        const char* Line;
    } cases[] = {
        {"outside the catalogue", WireLog(9999, 0, Bytes(7, 0x5A)), ""},
        {"SATVIS", WireLog(MSG_ID_SATVIS, 0, SatVis()), ""},
        {"GPSEPHEM", WireLog(MSG_ID_GPSEPHEM, 0, BodyBytes(GpsEphem())), ""},
        {"MARKTIME", WireLog(LogNameToId("MARKTIME", 1, 8), 0, Bytes(32, 0)), ""},
        {"INSPOS", WireLog(MSG_ID_INSPOS, 0, BodyBytes(insPos)), ""},
        {"short RAWIMUS", ShortWireLog(MSG_ID_RAWIMUS, BodyBytes(imu)), ""},
        {"short TIMEDWHEELDATA", ShortWireLog(MSG_ID_TIMEDWHEELDATA, BodyBytes(wheel)), ""},
        {"body shorter than the log's", WireLog(MSG_ID_BESTPOS, 0, Bytes(10, 1)), "Binary Log: ID 42, Length 10\r\n"},
        {"DOP count past the body", WireLog(174, 0, DopBody(100, {5, 12, 30})), "Binary Log: ID 174, Length 40\r\n"},
        {"RANGE count past the body", WireLog(MSG_ID_RANGE, 0, rangeShort), "Binary Log: ID 43, Length 48\r\n"},
        {"text longer than one log may make", WireLog(MSG_ID_RANGE, 0, huge), "Binary Log: ID 43, Length 65520\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowLog(c.Frame), c.Line) << c.What;
}

TEST_F(BinaryLogTextTest, RecordNeedsAWholeLog)
{
    const Bytes good = WireLog(MSG_ID_BESTPOS, 0, BodyBytes(Position()));
    Bytes record(LOG_RECORD_MAX);
    uint32_t n = 0;
    Bytes badSync = good;
    badSync[2] = 0x14;
    const Bytes cut(good.begin(), good.end() - 1);
    EXPECT_EQ(BinaryLogToRecord(good.data(), uint32_t(good.size()), record.data(), uint32_t(record.size()), &n), 1);
    EXPECT_EQ(n, 28u + 72u);
    EXPECT_EQ(BinaryLogToRecord(badSync.data(), uint32_t(badSync.size()), record.data(), uint32_t(record.size()), &n),
              0);
    EXPECT_EQ(BinaryLogToRecord(cut.data(), uint32_t(cut.size()), record.data(), uint32_t(record.size()), &n), 0);
    EXPECT_EQ(BinaryLogToRecord(good.data(), uint32_t(good.size()), record.data(), 99, &n), 0);
}

} // namespace
