// Every fixed-layout log of the position, INS/IMU and UTM families, through
// every form and both profiles: binary record -> full text -> binary record,
// binary record -> abbreviated text -> binary record, and binary record ->
// binary log -> binary record, always back to the same fields. Then each text
// is truncated and garbled, which must fail without touching the output.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/log_fields.h"
#include "codec/position_logs.h"
#include "codec/utm_logs.h"
#include "support/profile_fixture.h"

namespace
{
using Formatter = int (*)(const BinaryLogHeader*, const void*, char*, int32_t, int32_t*);
using Decoder = int (*)(const char*, int32_t, uint8_t*, int32_t*);

struct LogCase
{
    const char* pszName;
    const LOG_LAYOUT_T& (*Layout)();
    Formatter Format;
    Decoder Decode;      // the log's own decoder; null: the generic one
    uint16_t nMessageId; // of the header written
    bool bShortHeader;   // written with the short text header, decoded to a short binary record
    std::vector<uint8_t> (*Body)();
};

template <typename T> std::vector<uint8_t> Bytes(const T& Body)
{
    std::vector<uint8_t> v(sizeof(T));
    std::memcpy(v.data(), &Body, sizeof(T));
    return v;
}

// Values are chosen to be exact at the printed precision, names to exist in
// both profiles, and hexadecimal fields to hold digits above 9.
std::vector<uint8_t> PositionSample()
{
    PositionBody b{};
    b.SolStatus = 0;
    b.PosType = 50; // NARROW_INT
    b.Latitude = 51.11643212345;
    b.Longitude = -114.03822587654;
    b.Height = 1064.9521;
    b.Undulation = -16.2713f;
    b.DatumId = 61;
    b.LatitudeSd = 0.0123f;
    b.LongitudeSd = 0.0098f;
    b.HeightSd = 0.0231f;
    std::memcpy(b.StationId, "AB\0\0", 4);
    b.DiffAge = 1.5f;
    b.SolAge = 0.25f;
    b.Sats = {31, 24, 22, 20, 0x1A, 0x0B, 0x3F, 0x73};
    return Bytes(b);
}

std::vector<uint8_t> VelocitySample()
{
    VelocityBody b{};
    b.SolStatus = 1;
    b.VelType = 16; // SINGLE
    b.Latency = 0.25f;
    b.Age = 1.125f;
    b.HorSpeed = 12.3456;
    b.TrackOverGround = 271.123456;
    b.VertSpeed = -0.0123;
    b.Reserved = 0.5f;
    return Bytes(b);
}

std::vector<uint8_t> XyzSample()
{
    XyzBody b{};
    b.PosSolStatus = 0;
    b.PosType = 17;
    b.X = -1634531.5821;
    b.Y = -3664618.2147;
    b.Z = 4942496.3261;
    b.XSd = 0.0123f;
    b.YSd = 0.0234f;
    b.ZSd = 0.0345f;
    b.VelSolStatus = 2;
    b.VelType = 8;
    b.VX = 0.0011;
    b.VY = -0.0022;
    b.VZ = 0.0033;
    b.VXSd = 0.0044f;
    b.VYSd = 0.0055f;
    b.VZSd = 0.0066f;
    std::memcpy(b.StationId, "1234", 4);
    b.VelLatency = 0.15f;
    b.DiffAge = 2.5f;
    b.SolAge = 0.75f;
    b.Sats = {18, 16, 16, 12, 14, 0x2C, 0xAB, 0x0F};
    return Bytes(b);
}

std::vector<uint8_t> HeadingSample()
{
    HeadingBody b{};
    b.SolStatus = 0;
    b.PosType = 50;
    b.Length = 1.2345f;
    b.Heading = 123.4567f;
    b.Pitch = -1.2345f;
    b.Reserved = 0;
    b.HeadingSd = 0.1234f;
    b.PitchSd = 0.2345f;
    std::memcpy(b.StationId, "R1\0\0", 4);
    b.Sats = {20, 18, 17, 15, 0x0C, 0x1D, 0xEE, 0xFF};
    return Bytes(b);
}

std::vector<uint8_t> Heading2Sample()
{
    Heading2Body b{};
    b.SolStatus = 0;
    b.PosType = 48;
    b.Length = 2.5f;
    b.Heading = 45.125f;
    b.Pitch = 0.5f;
    b.HeadingSd = 0.25f;
    b.PitchSd = 0.125f;
    std::memcpy(b.RoverStationId, "ROV1", 4);
    std::memcpy(b.MasterStationId, "M\0\0\0", 4);
    b.Sats = {9, 8, 7, 6, 5, 0x0A, 0x0B, 0x0C};
    return Bytes(b);
}

std::vector<uint8_t> AvePosSample()
{
    AvePosBody b{};
    // Radians whose degrees print exactly: read back they are the same to the last digit of "%.11f".
    b.Latitude = 0.5;
    b.Longitude = -1.25;
    b.Height = 1055.1234;
    b.LatitudeSd = 0.5f;
    b.LongitudeSd = 0.25f;
    b.HeightSd = 1.125f;
    b.AveStatus = 1;
    b.AveTime = 3600;
    b.Samples = 3599;
    return Bytes(b);
}

std::vector<uint8_t> TimeSample()
{
    TimeBody b{};
    b.ClockStatus = 0;
    b.Offset = -1.234567891e-08;
    b.OffsetSd = 2.5e-10;
    b.UtcOffset = -18.00000000002;
    b.UtcYear = 2024;
    b.UtcMonth = 1;
    b.UtcDay = 2;
    b.UtcHour = 23;
    b.UtcMinute = 59;
    b.UtcMs = 59999;
    b.UtcStatus = 2; // WARNING, the last field: read before the CRC trailer is cut off it reads "WARNING*..."
    return Bytes(b);
}

std::vector<uint8_t> TimeSyncSample()
{
    TimeSyncBody b{2295, 79218000, 180};
    return Bytes(b);
}

std::vector<uint8_t> InsAttSample()
{
    InsAttBody b{2295, 79218.125, 1.123456789, -2.234567891, 359.123456789, 3};
    return Bytes(b);
}

std::vector<uint8_t> InsPvaSample()
{
    InsPvaBody b{2295, 79218.5, 51.123456789, -114.123456789, 1048.123456789, 0.1, -0.2, 0.3, 1.5, -2.5, 90.25, 7};
    return Bytes(b);
}

std::vector<uint8_t> InspvaxSample()
{
    InspvaxBody b{};
    b.InsStatus = 3;
    b.PosType = 56; // INS_RTKFIXED
    b.Latitude = 51.11643212345;
    b.Longitude = -114.03822587654;
    b.Height = 1064.9521;
    b.Undulation = -16.2713f;
    b.NorthVel = 0.0123;
    b.EastVel = -0.0456;
    b.UpVel = 0.0789;
    b.Roll = 1.123456789;
    b.Pitch = -0.987654321;
    b.Azimuth = 271.5;
    b.LatitudeSd = 0.0101f;
    b.LongitudeSd = 0.0102f;
    b.HeightSd = 0.0203f;
    b.NorthVelSd = 0.0011f;
    b.EastVelSd = 0.0012f;
    b.UpVelSd = 0.0013f;
    b.RollSd = 0.0214f;
    b.PitchSd = 0.0215f;
    b.AzimuthSd = 0.0516f;
    b.ExtSolStatus = 0x1F000A;
    b.TimeSinceUpdate = 65535;
    return Bytes(b);
}

std::vector<uint8_t> CorrImuSample()
{
    CorrImuBody b{2295, 79218.01, 0.000123456, -0.000234567, 0.000345678, 0.001, -0.002, 0.003};
    return Bytes(b);
}

std::vector<uint8_t> RawImuSample()
{
    RawImuBody b{2295, 79218.005, 0xA0000077u, {-2147483647 - 1, 2147483647, 0, -1, 123456, -654321}};
    return Bytes(b);
}

std::vector<uint8_t> RawImuXSample()
{
    RawImuXBody b{0xAB, 32, 2295, 79218.005, 0x0000BEEFu, {1, -2, 3, -4, 5, -6}};
    return Bytes(b);
}

std::vector<uint8_t> InsStatusSample()
{
    InsStatusBody b{};
    b.InsStatus = 11;
    b.StatusWord = 0xC0FFEE;
    for (int i = 0; i < 23; ++i)
        b.Values[i] = (i % 2 ? -1.0 : 1.0) * (i + 0.125);
    b.Words[0] = 7;
    b.Words[1] = 4000000000u;
    b.Words[2] = 0x10; // hexadecimal in the text: "00000010" must read back as 16, not 10
    return Bytes(b);
}

std::vector<uint8_t> TimedWheelSample()
{
    TimedWheelBody b{1024, 65535, 12.5f, 77, 4294967295u, -5}; // negative ticks are written through "%u"
    return Bytes(b);
}

std::vector<uint8_t> BestUtmSample()
{
    BestUtmBody b{};
    b.SolStatus = 0;
    b.PosType = 16;
    b.ZoneNumber = 11;
    b.ZoneLetter = 'U';
    b.Northing = 5666613.4215;
    b.Easting = 707448.7681;
    b.Height = 1064.9521;
    b.Undulation = -16.2713f;
    b.DatumId = 61;
    b.NorthingSd = 0.0123f;
    b.EastingSd = 0.0234f;
    b.HeightSd = 0.0345f;
    b.DiffAge = 0;
    b.SolAge = 0;
    b.Sats = {12, 10, 10, 9, 0x10, 0x06, 0xB0, 0x33};
    return Bytes(b);
}

std::vector<uint8_t> UavGpsSample()
{
    UavGpsBody b{};
    b.Time = 18446744073709551615ull;
    b.IntsA[0] = 511164321;
    b.IntsA[1] = -1140382258;
    b.IntsA[2] = 1064952;
    b.IntsA[3] = -7;
    for (int i = 0; i < 4; ++i)
        b.FloatsA[i] = 0.125f * (i + 1);
    b.FloatsA[4] = 1.25f;
    b.FloatsA[5] = -0.75f;
    b.IntsB[0] = 3;
    b.IntsB[1] = -2;
    for (int i = 0; i < 5; ++i)
        b.FloatsB[i] = -0.5f * (i + 1);
    b.IntC = 2147483647;
    b.FloatC = 9.875f;
    b.Bytes[0] = 200;
    b.Bytes[1] = 0;
    b.Bytes[2] = 255;
    return Bytes(b);
}

int FormatBestPos(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    return FormatPosition(3, h, b, o, c, n);
}
int FormatRtkVel(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    return FormatVelocity(2, h, b, o, c, n);
}
int FormatPsrXyz(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    return FormatXyz(0, h, b, o, c, n);
}

int FormatWheel(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    ShortBinaryLogHeader s;
    FillShortBinaryHeader(h->MessageId, static_cast<uint8_t>(h->MessageLength), h->Week, h->Milliseconds, &s);
    return FormatTimedWheelData(&s, h->MessageType, b, o, c, n);
}

// Logs without a receiver ID of their own carry the program's internal number.
const LogCase kCases[] = {
    {"BESTPOS", PositionLayout, FormatBestPos, DecodePositionText, MSG_ID_BESTPOS, false, PositionSample},
    {"RTKVEL", VelocityLayout, FormatRtkVel, DecodeVelocityText, MSG_ID_RTKVEL, false, VelocitySample},
    {"PSRXYZ", XyzLayout, FormatPsrXyz, DecodeXyzText, MSG_ID_PSRXYZ, false, XyzSample},
    {"HEADING", HeadingLayout, FormatHeading, DecodeHeadingText, MSG_ID_HEADING, false, HeadingSample},
    {"HEADING2", Heading2Layout, FormatHeading2, nullptr, MSG_ID_HEADING2, false, Heading2Sample},
    {"AVEPOS", AvePosLayout, FormatAvePos, nullptr, MSG_ID_AVEPOS, false, AvePosSample},
    {"TIME", TimeLayout, FormatTime, DecodeTimeText, MSG_ID_TIME, false, TimeSample},
    {"TIMESYNC", TimeSyncLayout, FormatTimeSync, nullptr, MSG_ID_TIMESYNC, false, TimeSyncSample},
    {"INSATT", InsAttLayout, FormatInsAtt, nullptr, MSG_ID_INSATT, false, InsAttSample},
    {"INSATTS", InsAttLayout, FormatInsAtt, nullptr, MSG_ID_INSATT, true, InsAttSample},
    {"INSPVA", InsPvaLayout, FormatInsPva, nullptr, MSG_ID_INSPVA, false, InsPvaSample},
    {"INSPVAX", InspvaxLayout, FormatInspvax, DecodeInspvaxText, MSG_ID_INSPVAX, false, InspvaxSample},
    {"CORRIMUDATA", CorrImuLayout, FormatCorrImuData, nullptr, 2404, false, CorrImuSample},
    {"RAWIMU", RawImuLayout, FormatRawImu, DecodeRawImuText, MSG_ID_RAWIMU, false, RawImuSample},
    {"RAWIMUX", RawImuXLayout, FormatRawImuX, DecodeRawImuXText, MSG_ID_RAWIMUX, false, RawImuXSample},
    {"RAWIMUSX", RawImuXLayout, FormatRawImuX, DecodeRawImuSxText, MSG_ID_RAWIMUSX, true, RawImuXSample},
    {"TIMEDWHEELDATA", TimedWheelLayout, FormatWheel, DecodeTimedWheelDataText, MSG_ID_TIMEDWHEELDATA, true,
     TimedWheelSample},
    {"INSSTATUS", InsStatusLayout, FormatInsStatus, DecodeInsStatusText, MSG_ID_INSSTATUS, false, InsStatusSample},
    {"BESTUTM", BestUtmLayout, FormatBestUtm, nullptr, 169, false, BestUtmSample},
    {"UAVGPS", UavGpsLayout, FormatUavGps, nullptr, 176, false, UavGpsSample},
};

BinaryLogHeader SampleHeader(const LogCase& c, uint8_t uType)
{
    BinaryLogHeader h{};
    h.Sync[0] = 0xAA;
    h.Sync[1] = 0x44;
    h.Sync[2] = 0x12;
    FillBinaryHeader(c.nMessageId, uType, c.Layout().nBodyLength, 0x02 /* COM2 */, 0x02040008, &h);
    h.Sequence = 3;
    h.IdleTime = 91;
    h.TimeStatus = 180;
    h.Week = 2295;
    h.Milliseconds = 79218125;
    h.Reserved = 0xBEEF;
    h.SoftwareVersion = 16809;
    return h;
}

struct Decoded
{
    int nResult = 0;
    std::vector<uint8_t> Out = std::vector<uint8_t>(512, 0xEE);
    int32_t nOutLen = -7;
};

Decoded DecodeText(const LogCase& c, const std::string& sText)
{
    // An exact-size heap copy without a NUL: a read past the given length is an ASan error.
    std::vector<char> Text(sText.begin(), sText.end());
    Decoded d;
    const int32_t n = static_cast<int32_t>(Text.size());
    const char* p = Text.empty() ? "" : Text.data();
    d.nResult =
        c.Decode ? c.Decode(p, n, d.Out.data(), &d.nOutLen)
                 : DecodeLayoutText(c.Layout(), c.nMessageId, c.bShortHeader ? DECODE_SHORT_HEADER : DECODE_LONG_HEADER,
                                    p, n, d.Out.data(), &d.nOutLen);
    return d;
}

std::string FormatText(const LogCase& c, uint8_t uType)
{
    const BinaryLogHeader h = SampleHeader(c, uType);
    const std::vector<uint8_t> Body = c.Body();
    char Text[2048];
    int32_t n = 0;
    EXPECT_EQ(c.Format(&h, Body.data(), Text, sizeof(Text), &n), 1);
    return std::string(Text, static_cast<size_t>(n));
}

void ExpectSameLog(const LogCase& c, const Decoded& d, bool bTextHeader)
{
    ASSERT_EQ(d.nResult, 1);
    const std::vector<uint8_t> Body = c.Body();
    const BinaryLogHeader Want = SampleHeader(c, 0);
    if (c.bShortHeader)
    {
        ASSERT_EQ(d.nOutLen, static_cast<int32_t>(sizeof(ShortBinaryLogHeader) + Body.size()));
        ShortBinaryLogHeader s;
        std::memcpy(&s, d.Out.data(), sizeof(s));
        EXPECT_EQ(s.Sync[2], 0x13);
        EXPECT_EQ(s.MessageLength, Body.size());
        EXPECT_EQ(s.Week, Want.Week);
        EXPECT_EQ(s.Milliseconds, Want.Milliseconds);
        EXPECT_EQ(0, std::memcmp(d.Out.data() + sizeof(s), Body.data(), Body.size()));
        return;
    }
    ASSERT_EQ(d.nOutLen, static_cast<int32_t>(sizeof(BinaryLogHeader) + Body.size()));
    BinaryLogHeader h;
    std::memcpy(&h, d.Out.data(), sizeof(h));
    EXPECT_EQ(h.Sync[2], 0x12);
    EXPECT_EQ(h.HeaderLength, 28);
    EXPECT_EQ(h.MessageLength, Body.size());
    EXPECT_EQ(h.Week, Want.Week);
    EXPECT_EQ(h.Milliseconds, Want.Milliseconds);
    if (bTextHeader)
    {
        EXPECT_EQ(h.MessageId, Want.MessageId);
        EXPECT_EQ(h.Port, Want.Port);
        EXPECT_EQ(h.Sequence, Want.Sequence);
        EXPECT_EQ(h.IdleTime, Want.IdleTime);
        EXPECT_EQ(h.TimeStatus, Want.TimeStatus);
        EXPECT_EQ(h.ReceiverStatus, Want.ReceiverStatus);
        EXPECT_EQ(h.Reserved, Want.Reserved);
        EXPECT_EQ(h.SoftwareVersion, Want.SoftwareVersion);
    }
    for (size_t i = 0; i < Body.size(); ++i)
        EXPECT_EQ(d.Out[sizeof(h) + i], Body[i]) << "body byte " << i;
}

class LogRoundTrip : public ProfileTest
{
protected:
    uint8_t FullType(const LogCase& c) const
    {
        return static_cast<uint8_t>(LOG_FORM_ASCII | (c.bShortHeader ? ShortHeaderFlag() : 0));
    }
    uint8_t AbbrevType(const LogCase& c) const
    {
        return static_cast<uint8_t>(AbbrevFormMarker() | (c.bShortHeader ? ShortHeaderFlag() : 0));
    }
};

TEST_P(LogRoundTrip, FullTextBackToTheSameFields)
{
    for (const LogCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string sText = FormatText(c, FullType(c));
        EXPECT_EQ(sText.substr(sText.size() - 2), "\r\n");
        ExpectSameLog(c, DecodeText(c, sText), !c.bShortHeader);
    }
}

TEST_P(LogRoundTrip, AbbreviatedTextBackToTheSameFields)
{
    for (const LogCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string sText = FormatText(c, AbbrevType(c));
        ASSERT_EQ(sText[0], '<');
        EXPECT_EQ(sText.find('*'), std::string::npos) << sText;
        ExpectSameLog(c, DecodeText(c, sText), !c.bShortHeader);
    }
}

TEST_P(LogRoundTrip, BinaryLogBackToTheSameRecord)
{
    for (const LogCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::vector<uint8_t> Body = c.Body();
        uint8_t Log[512];
        int32_t nLog = 0;
        uint8_t Record[512];
        uint32_t nRecord = 0;
        if (c.bShortHeader)
        {
            ShortBinaryLogHeader s;
            FillShortBinaryHeader(c.nMessageId, static_cast<uint8_t>(Body.size()), 2295, 79218125, &s);
            ASSERT_EQ(BuildShortBinaryLog(&s, Body.data(), Log, sizeof(Log), &nLog), 1);
            ASSERT_EQ(nLog, static_cast<int32_t>(12 + Body.size() + 4));
            ASSERT_EQ(CopyShortBinaryLog(Log, nLog, Record, sizeof(Record), &nRecord), 1);
            EXPECT_EQ(0, std::memcmp(Record, &s, sizeof(s)));
            EXPECT_EQ(0, std::memcmp(Record + 12, Body.data(), Body.size()));
            continue;
        }
        const BinaryLogHeader h = SampleHeader(c, 0);
        ASSERT_EQ(BuildBinaryLog(&h, Body.data(), Log, sizeof(Log), &nLog), 1);
        ASSERT_EQ(nLog, static_cast<int32_t>(28 + Body.size() + 4));
        ASSERT_EQ(CopyBinaryLog(Log, nLog, Record, sizeof(Record), &nRecord), 1);
        ASSERT_EQ(nRecord, 28 + Body.size());
        EXPECT_EQ(0, std::memcmp(Record, &h, sizeof(h)));
        EXPECT_EQ(0, std::memcmp(Record + 28, Body.data(), Body.size()));
        // One byte short of the whole log is no log.
        EXPECT_EQ(BuildBinaryLog(&h, Body.data(), Log, nLog - 1, &nLog), 0);
    }
}

TEST_P(LogRoundTrip, TruncatedTextFailsWithoutWriting)
{
    for (const LogCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        for (const uint8_t uType : {FullType(c), AbbrevType(c)})
        {
            const std::string sText = FormatText(c, uType);
            // A cut anywhere before the line end loses a field, a digit or the check: nothing may come out.
            const size_t nKeep = sText.size() - 2;
            for (size_t n = 0; n < nKeep; ++n)
            {
                const Decoded d = DecodeText(c, sText.substr(0, n));
                ASSERT_EQ(d.nResult, 0) << "cut at " << n << ": " << sText.substr(0, n);
                EXPECT_EQ(d.nOutLen, -7);
                EXPECT_EQ(d.Out[0], 0xEE);
            }
        }
    }
}

TEST_P(LogRoundTrip, GarbledTextFails)
{
    for (const LogCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string sFull = FormatText(c, FullType(c));
        // One digit changed in the body: the CRC no longer matches.
        std::string sBad = sFull;
        const size_t nDigit = sBad.find_first_of("123456789", sBad.find(';'));
        ASSERT_NE(nDigit, std::string::npos);
        sBad[nDigit] = sBad[nDigit] == '9' ? '8' : static_cast<char>(sBad[nDigit] + 1);
        EXPECT_EQ(DecodeText(c, sBad).nResult, 0);

        // A field dropped from an abbreviated body (no CRC to catch it) is a short count.
        std::string sAbbrev = FormatText(c, AbbrevType(c));
        const size_t nEnd = sAbbrev.rfind("\r\n");
        const size_t nSep = sAbbrev.find_last_of(" ,", nEnd);
        sAbbrev.erase(nSep, nEnd - nSep);
        EXPECT_EQ(DecodeText(c, sAbbrev).nResult, 0) << sAbbrev;

        // A letter in the first numeric field of an abbreviated body (an
        // unknown name is kept as "no name", but a number must read whole).
        std::string sLetter = FormatText(c, AbbrevType(c));
        size_t nNumber = sLetter.find("\n<") + 2;
        while (nNumber < sLetter.size() &&
               !(std::strchr(" ,\t", sLetter[nNumber - 1]) && std::strchr("-0123456789", sLetter[nNumber])))
            ++nNumber;
        ASSERT_LT(nNumber, sLetter.size());
        sLetter.insert(nNumber, "q");
        EXPECT_EQ(DecodeText(c, sLetter).nResult, 0) << sLetter;
    }
}

TEST_P(LogRoundTrip, FormattersHonourTheCapacity)
{
    for (const LogCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string sText = FormatText(c, FullType(c));
        const BinaryLogHeader h = SampleHeader(c, FullType(c));
        const std::vector<uint8_t> Body = c.Body();
        std::vector<char> Out(sText.size() + 8, 'Z');
        int32_t n = 0;
        // The text and its NUL need size + 1 bytes.
        EXPECT_EQ(c.Format(&h, Body.data(), Out.data(), static_cast<int32_t>(sText.size()), &n), 0);
        for (size_t i = sText.size(); i < Out.size(); ++i)
            ASSERT_EQ(Out[i], 'Z');
        EXPECT_EQ(c.Format(&h, Body.data(), Out.data(), static_cast<int32_t>(sText.size() + 1), &n), 1);
        EXPECT_EQ(std::string(Out.data(), static_cast<size_t>(n)), sText);
        // A header that declares a shorter body than the log's is refused.
        BinaryLogHeader Short = h;
        Short.MessageLength = static_cast<uint16_t>(Body.size() - 1);
        EXPECT_EQ(c.Format(&Short, Body.data(), Out.data(), static_cast<int32_t>(Out.size()), &n), 0);
    }
}

ZV_BOTH_PROFILES(LogRoundTrip);
}
