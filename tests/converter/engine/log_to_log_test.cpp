#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "binex_builder.h"
#include "codec/ins_logs.h"
#include "codec/log_dispatch.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/rangecmp4.h"
#include "converter/engine/log_to_log.h"
#include "reader_streams.h"
#include "support/range_test_util.h"

using namespace range_test;

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kT0Ms = 345600000;

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
void Append(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

std::vector<RANGE_OBS_T> Cmp4Epoch(double t)
{
    return Epoch(t, [](const Signal& sig) { return sig.Cmp4 && CarriedInProfile(sig); });
}

std::string Text(int (*format)(const void*, int32_t, char*, int32_t*), Bytes record)
{
    record[6] = static_cast<uint8_t>((record[6] & ~0x60) | 0x20);
    std::vector<char> text(1 << 20);
    int32_t n = 0;
    EXPECT_EQ(format(record.data(), static_cast<int32_t>(text.size()), text.data(), &n), 1);
    return std::string(text.data(), static_cast<size_t>(n));
}

Bytes Wire(int (*copy)(const void*, int32_t, uint8_t*, int32_t*), const Bytes& record)
{
    Bytes out(LOG_MAX_BINARY_LENGTH);
    int32_t n = 0;
    EXPECT_EQ(copy(record.data(), static_cast<int32_t>(out.size()), out.data(), &n), 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

Bytes Packed(RANGECMP4_CONTEXT_T* pCtx, double t, uint32_t nMs)
{
    const Bytes range = MakeRangeLog(kWeek, nMs, Cmp4Epoch(t));
    Bytes out(65536);
    int32_t n = 0;
    EXPECT_EQ(RangeToRangeCmp4(pCtx, range.data(), static_cast<int32_t>(range.size()), out.data(),
                               static_cast<int32_t>(out.size()), &n),
              1);
    out.resize(static_cast<size_t>(n));
    return out;
}

Bytes RangeCmpOf(const Bytes& range)
{
    Bytes out(65536);
    int32_t n = 0;
    EXPECT_EQ(RangeToRangeCmp(range.data(), static_cast<int32_t>(range.size()), out.data(), 65536, &n), 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string BestPosText()
{
    PositionBody b{};
    b.PosType = 50;
    b.Latitude = 51.11643212345;
    b.Longitude = -114.03822587654;
    b.Height = 1064.9521;
    b.DatumId = 61;
    BinaryLogHeader h{};
    FillBinaryHeader(MSG_ID_BESTPOS, 0x20, sizeof(b), 1, 0, &h);
    h.Week = kWeek;
    h.Milliseconds = kT0Ms;
    std::vector<char> text(4096);
    int32_t n = 0;
    EXPECT_EQ(FormatPosition(3, &h, &b, text.data(), 4096, &n), 1);
    return std::string(text.data(), static_cast<size_t>(n));
}

std::string GpsEphemText()
{
    GPSEPHEM_BODY_T b{};
    b.Prn = 3;
    b.Tow = 79200.0;
    b.Week = kWeek;
    b.Toe = b.Toc = 86400.0;
    b.A = 2.656027539e7;
    b.Ecc = 0.0123;
    b.Af0 = -3.2135e-5;
    b.UraVariance = 4.0;
    BinaryLogHeader h{};
    FillBinaryHeader(MSG_ID_GPSEPHEM, 0x20, sizeof(b), 1, 0, &h);
    h.Week = kWeek;
    h.Milliseconds = kT0Ms;
    std::vector<uint8_t> record(sizeof(h) + sizeof(b));
    std::memcpy(record.data(), &h, sizeof(h));
    std::memcpy(record.data() + sizeof(h), &b, sizeof(b));
    return Text(FormatGpsEphem, record);
}

std::string RawImuSxText()
{
    RawImuXBody b{0xAB, 32, kWeek, 345600.005, 0xBEEFu, {1, -2, 3, -4, 5, -6}};
    BinaryLogHeader h{};
    FillBinaryHeader(MSG_ID_RAWIMUSX, LOG_TYPE_SHORT_HEADER | 0x20, sizeof(b), 0, 0, &h);
    h.Week = kWeek;
    h.Milliseconds = kT0Ms + 5;
    std::vector<char> text(4096);
    int32_t n = 0;
    EXPECT_EQ(FormatRawImuX(&h, &b, text.data(), 4096, &n), 1);
    return std::string(text.data(), static_cast<size_t>(n));
}

// The source every kind reads: ranges in binary and text form, their
// compressed forms, other logs, one text log with a bad CRC and some noise.
struct Fixture
{
    Bytes RangeA = MakeRangeLog(kWeek, kT0Ms, Cmp4Epoch(0));          // binary in the source
    Bytes RangeB = MakeRangeLog(kWeek, kT0Ms + 1000, Cmp4Epoch(1.0)); // text in the source
    Bytes Source;

    Fixture()
    {
        auto packer = std::make_unique<RANGECMP4_CONTEXT_T>();
        ResetRangeCmp4State(packer.get());
        const Bytes rangeH = MakeRangeLog(kWeek, kT0Ms + 1000, Cmp4Epoch(1.0), MSG_ID_RANGEH);
        std::string badCrc = Text(FormatRange, RangeB);
        badCrc[badCrc.size() - 4] = badCrc[badCrc.size() - 4] == '0' ? '1' : '0';

        Append(Source, std::string("noise\r\n#NOTALOG,1;2*00000000\r\n"));
        Append(Source, Wire(CopyBinaryRange, RangeA));
        Append(Source, Text(FormatRange, RangeB));
        Append(Source, badCrc);
        Append(Source, Bytes{0xAA, 0x44, 0x12, 0x1C, 0x00});
        Append(Source, Text(FormatRangeCmp, RangeCmpOf(RangeA)));
        Append(Source, Text(FormatRangeCmp, RangeCmpOf(rangeH)));
        Append(Source, Text(FormatRangeCmp4, Packed(packer.get(), 0, kT0Ms)));
        Append(Source, Text(FormatRangeCmp4, Packed(packer.get(), 0.5, kT0Ms + 500)));
        Append(Source, BestPosText());
        Append(Source, GpsEphemText());
        Append(Source, RawImuSxText());
    }
};

Bytes RunKind(const Bytes& source, LOG2LOG_KIND_E nKind, uint32_t bBinaryInput = 0, int* pStatus = nullptr,
              CompressedPhaseCounts* pPhases = nullptr)
{
    FILE* pSrc = std::tmpfile();
    FILE* pOut = std::tmpfile();
    if (!source.empty())
        std::fwrite(source.data(), 1, source.size(), pSrc);
    std::rewind(pSrc);
    uint64_t nLastProgress = 0;
    const int nStatus = ConvertLogToLog(
        pSrc, pOut, nKind, bBinaryInput,
        [](void* p, uint64_t n)
        {
            *static_cast<uint64_t*>(p) = n;
            return 0;
        },
        &nLastProgress, nullptr, pPhases);
    EXPECT_EQ(nStatus, 0);
    EXPECT_EQ(nLastProgress, source.size());
    if (pStatus)
        *pStatus = nStatus;
    Bytes out(static_cast<size_t>(std::ftell(pOut)));
    std::rewind(pOut);
    EXPECT_EQ(std::fread(out.data(), 1, out.size(), pOut), out.size());
    std::fclose(pSrc);
    std::fclose(pOut);
    return out;
}

// One output log: its name ("RANGECMPA_1", or the binary message ID) and its
// record.
struct OutLog
{
    std::string Name;
    uint16_t MessageId = 0;
    bool Binary = false;
    Bytes Record;
};

int DecodeText(const std::string& name, const char* p, int32_t n, uint8_t* pOut, int32_t* pLength)
{
    if (name.rfind("RANGECMP4", 0) == 0)
        return DecodeRangeCmp4Text(p, n, pOut, pLength);
    if (name.rfind("RANGECMP", 0) == 0)
        return DecodeRangeCmpText(p, n, pOut, pLength);
    if (name.rfind("RANGE", 0) == 0)
        return DecodeRangeText(p, n, pOut, pLength);
    if (name == "BESTPOSA")
        return DecodePositionText(p, n, pOut, pLength);
    if (name == "RAWIMUSXA")
        return DecodeRawImuSxText(p, n, pOut, pLength);
    return DecodeLog(reinterpret_cast<const uint8_t*>(p), n, pOut, pLength);
}

// Splits the output into logs; every one must decode with the codec.
std::vector<OutLog> Split(const Bytes& out)
{
    std::vector<OutLog> logs;
    size_t i = 0;
    while (i < out.size())
    {
        OutLog log;
        log.Record.resize(LOG_MAX_BINARY_LENGTH);
        if (out[i] == 0xAA)
        {
            const bool bShort = out[i + 2] == 0x13;
            const uint32_t n = bShort ? out[i + 3] + 16u : 28u + (out[i + 8] | out[i + 9] << 8) + 4u;
            uint32_t nCopied = 0;
            const int bOk = bShort ? CopyShortBinaryLog(out.data() + i, static_cast<int32_t>(n), log.Record.data(),
                                                        static_cast<int32_t>(log.Record.size()), &nCopied)
                                   : CopyBinaryLog(out.data() + i, static_cast<int32_t>(n), log.Record.data(),
                                                   static_cast<int32_t>(log.Record.size()), &nCopied);
            EXPECT_EQ(bOk, 1) << "binary log at " << i;
            log.Binary = true;
            log.MessageId = static_cast<uint16_t>(out[i + 4] | out[i + 5] << 8);
            log.Record.resize(nCopied);
            i += n;
        }
        else
        {
            const size_t nEnd = std::string(out.begin() + static_cast<long>(i), out.end()).find('\n');
            EXPECT_NE(nEnd, std::string::npos);
            const std::string line(out.begin() + static_cast<long>(i), out.begin() + static_cast<long>(i + nEnd + 1));
            log.Name = line.substr(1, line.find(',') - 1);
            int32_t n = 0;
            EXPECT_EQ(DecodeText(log.Name, line.data(), static_cast<int32_t>(line.size()), log.Record.data(), &n), 1)
                << line;
            log.Record.resize(static_cast<size_t>(n));
            log.MessageId = static_cast<uint16_t>(log.Record[4] | log.Record[5] << 8);
            i += line.size();
        }
        logs.push_back(log);
    }
    return logs;
}

std::vector<std::string> Names(const std::vector<OutLog>& logs)
{
    std::vector<std::string> v;
    for (const OutLog& l : logs)
        v.push_back(l.Binary ? std::to_string(l.MessageId) : l.Name);
    return v;
}

void ExpectSameObservations(const uint8_t* pRange, const std::vector<RANGE_OBS_T>& in, double dPsrTolerance)
{
    const std::vector<RANGE_OBS_T> out = RecordsOf(pRange);
    ASSERT_EQ(out.size(), in.size());
    for (const RANGE_OBS_T& o : in)
    {
        const RANGE_OBS_T* x = FindSame(out, o);
        ASSERT_NE(x, nullptr) << "PRN " << +o.Prn;
        EXPECT_NEAR(+x->Psr, +o.Psr, dPsrTolerance);
        EXPECT_NEAR(+x->Adr * Wavelength(o), +o.Adr * Wavelength(o), 0.01);
    }
}

TEST(LogToLog, EachKindConvertsWhatItTakesAndSkipsTheRest)
{
    const Fixture fx;
    const std::vector<RANGE_OBS_T> epochA = Cmp4Epoch(0), epochB = Cmp4Epoch(1.0), epochC = Cmp4Epoch(0.5);
    struct Case
    {
        LOG2LOG_KIND_E nKind;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {LOG2LOG_RANGE_TO_RANGECMP, {"RANGECMPA", "RANGECMPA"}},
        {LOG2LOG_RANGECMP_TO_RANGE, {"RANGEA", "RANGEHA"}},
        {LOG2LOG_TO_TEXT,
         {"RANGEA", "RANGEA", "RANGECMPA", "RANGECMPA_1", "RANGECMP4A", "RANGECMP4A", "BESTPOSA", "GPSEPHEMA",
          "RAWIMUSXA"}},
        {LOG2LOG_TO_BINARY, {"43", "43", "140", "140", "2050", "2050", "42", "7", "1462"}},
        {LOG2LOG_RANGE_TO_RANGECMP4, {"RANGECMP4A", "RANGECMP4A"}},
        {LOG2LOG_RANGECMP4_TO_RANGE, {"RANGEA", "RANGEA"}},
        {LOG2LOG_RANGE_TEXT_TO_BINARY, {"43"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nKind);
        const std::vector<OutLog> logs = Split(RunKind(fx.Source, c.nKind));
        ASSERT_EQ(Names(logs), c.names);
        switch (c.nKind)
        {
        case LOG2LOG_RANGE_TO_RANGECMP:
        {
            Bytes range(65536);
            int32_t n = 0;
            ASSERT_EQ(RangeCmpToRange(logs[1].Record.data(), static_cast<int32_t>(logs[1].Record.size()), range.data(),
                                      65536, &n),
                      1);
            ExpectSameObservations(range.data(), epochB, 1.0 / 128);
            break;
        }
        case LOG2LOG_RANGECMP_TO_RANGE:
            ExpectSameObservations(logs[0].Record.data(), epochA, 1.0 / 128);
            break;
        case LOG2LOG_TO_BINARY:
            // The binary RANGE log reads as the one given in text.
            ExpectSameObservations(logs[1].Record.data(), epochB, 0.001);
            break;
        case LOG2LOG_RANGE_TO_RANGECMP4:
        {
            auto expander = std::make_unique<RANGECMP4_CONTEXT_T>();
            ResetRangeCmp4State(expander.get());
            Bytes range(70000);
            int32_t n = 0;
            for (int k = 0; k < 2; ++k)
                ASSERT_EQ(RangeCmp4ToRange(expander.get(), logs[k].Record.data(),
                                           static_cast<int32_t>(logs[k].Record.size()), range.data(), 70000, &n),
                          1);
            ExpectSameObservations(range.data(), epochB, 0.001);
            break;
        }
        case LOG2LOG_RANGECMP4_TO_RANGE:
            ExpectSameObservations(logs[1].Record.data(), epochC, 0.001);
            break;
        case LOG2LOG_RANGE_TEXT_TO_BINARY:
            ExpectSameObservations(logs[0].Record.data(), epochB, 0.001);
            break;
        default:
            break;
        }
    }
    // A binary source gives kind 6 nothing to write.
    EXPECT_TRUE(RunKind(fx.Source, LOG2LOG_RANGE_TEXT_TO_BINARY, 1).empty());
}

TEST(LogToLog, BinexRecordsAreFoundAmongOtherBytes)
{
    Bytes source;
    Append(source, std::string("\xE2\x01 no record here #RANGEA,x*00000000\r\n"));
    for (int bBig = 0; bBig < 2; ++bBig)
    {
        BinexMessage obs(bBig);
        obs.U8(5).U32(20160001).U16(500).U8(0);
        obs.U8(7).U8((1 << 4) | 0).U8(1).U8(110).Unsigned(22000000000ull, 5);
        Append(source, BinexRecord(0x7F, obs.Bytes(), bBig));

        BinexMessage eph(bBig);
        eph.U8(1).U8(6).U16(2000).U32(302400).U32(302400).F32(0).U32(5);
        for (int i = 0; i < 5; ++i)
            eph.F32(0);
        eph.F64(0.1).F64(0.01).F64(5153.6).U32(302400);
        for (int i = 0; i < 6; ++i)
            eph.F32(0);
        eph.F64(0).F64(0).F64(0.95).F32(0).F32(0).F32(2.4f).U16(0).U16(4);
        Bytes rec = BinexRecord(1, eph.Bytes(), bBig);
        Bytes bad = rec;
        bad[20] ^= 0x40;
        Append(source, bad);
        Append(source, rec);
    }
    const std::vector<OutLog> logs = Split(RunKind(source, LOG2LOG_BINEX_TO_LOG));
    ASSERT_EQ(Names(logs), (std::vector<std::string>{"RANGEA", "GPSEPHEMA", "RANGEA", "GPSEPHEMA"}));
    for (int k = 0; k < 4; k += 2)
    {
        const std::vector<RANGE_OBS_T> obs = RecordsOf(logs[k].Record.data());
        ASSERT_EQ(obs.size(), 1u);
        EXPECT_EQ(+obs[0].Prn, 7);
        EXPECT_NEAR(+obs[0].Psr, 22000000.0, 1e-6);
        GPSEPHEM_BODY_T eph;
        std::memcpy(&eph, logs[k + 1].Record.data() + 28, sizeof(eph));
        EXPECT_EQ(+eph.Prn, 7u);
        EXPECT_DOUBLE_EQ(+eph.A, 5153.6 * 5153.6);
    }
}

// A BINEX stream's GLONASS ephemeris gives the frequency channel of its
// slot to the stream's later observations, and to nothing else: a conversion
// run after it (or beside it) sees the program's slot table as it was.
TEST(LogToLog, GlonassChannelsOfABinexStreamStayItsOwn)
{
    const uint32_t nSlot = 4;
    const uint8_t uDefault = GetGloFreqChannel(nSlot);
    const int nChannel = -3;
    ASSERT_NE(uDefault, nChannel + 7) << "the ephemeris must say something else than the table";
    auto observation = [nSlot]
    {
        BinexMessage obs(false);
        obs.U8(5).U32(20160001).U16(500).U8(0);
        obs.U8(nSlot).U8((1 << 4) | 1).U8(1).U8(110).Unsigned(20000000000ull, 5);
        return BinexRecord(0x7F, obs.Bytes(), false);
    };
    BinexMessage eph(false);
    eph.U8(2).U8(nSlot - 1).U16(1).U32(3600).F64(-1.5e-5).F64(9.1e-13).U32(3570);
    for (int i = 0; i < 3; ++i)
        eph.F64(10000.5 + i).F64(-1.25 + i).F64(1e-9 * (i + 1));
    eph.U8(0).U8(static_cast<uint8_t>(nChannel)).U8(2).U8(18).F64(1e-8).F64(-2.8e-9);

    auto channels = [](const Bytes& out)
    {
        std::vector<uint32_t> v;
        for (const OutLog& log : Split(out))
            if (log.Name == "RANGEA")
                v.push_back(RecordsOf(log.Record.data()).at(0).GloFreq);
        return v;
    };
    Bytes source = observation();
    Append(source, BinexRecord(1, eph.Bytes(), false));
    Append(source, observation());
    EXPECT_EQ(channels(RunKind(source, LOG2LOG_BINEX_TO_LOG)), (std::vector<uint32_t>{uDefault, nChannel + 7u}));
    EXPECT_EQ(GetGloFreqChannel(nSlot), uDefault);
    EXPECT_EQ(channels(RunKind(observation(), LOG2LOG_BINEX_TO_LOG)), std::vector<uint32_t>{uDefault});
}

// A RANGECMP4 log that fails half-way through must not leave its partial
// references behind: the next differential epoch expands against the epoch
// the stream really carried.
TEST(LogToLog, AFailedRangeCmp4LogLeavesTheExpanderUsable)
{
    auto packer = std::make_unique<RANGECMP4_CONTEXT_T>();
    auto other = std::make_unique<RANGECMP4_CONTEXT_T>();
    ResetRangeCmp4State(packer.get());
    ResetRangeCmp4State(other.get());
    Bytes broken = Packed(other.get(), 2.0, kT0Ms + 2000);
    // Cut the data short: the first satellites decode, the rest fails.
    uint32_t nData = 0;
    std::memcpy(&nData, broken.data() + 28, 4);
    nData -= 20;
    std::memcpy(broken.data() + 28, &nData, 4);
    const uint16_t nMessage = static_cast<uint16_t>(nData + 4);
    std::memcpy(broken.data() + 8, &nMessage, 2);
    broken.resize(32 + nData);

    Bytes source;
    Append(source, Text(FormatRangeCmp4, Packed(packer.get(), 0, kT0Ms)));
    Append(source, Text(FormatRangeCmp4, broken));
    Append(source, Text(FormatRangeCmp4, Packed(packer.get(), 0.5, kT0Ms + 500)));
    const std::vector<OutLog> logs = Split(RunKind(source, LOG2LOG_RANGECMP4_TO_RANGE));
    ASSERT_EQ(Names(logs), (std::vector<std::string>{"RANGEA", "RANGEA"}));
    ExpectSameObservations(logs[1].Record.data(), Cmp4Epoch(0.5), 0.001);
}

// Phases with an arbitrary offset from the code range (RINEX from other
// receivers) go through RANGECMP and RANGECMP4 and come back, each shifted by
// whole roll-overs or cycles, the same for the whole arc; the job counts them.
TEST(LogToLog, OffsetPhasesSurviveCompressionShiftedByWholeCycles)
{
    const Satellite gps{5, 0, 24738177.0, -512.25, 0.12}, glo{38, 8, 19.7e6, 401.0, 0.2};
    Bytes source;
    std::vector<std::vector<RANGE_OBS_T>> epochs;
    for (uint32_t e = 0; e < 20; ++e)
    {
        std::vector<RANGE_OBS_T> obs = {Observe(gps, kSignals[0], e, 0), Observe(gps, kSignals[1], e, 1),
                                        Observe(glo, kSignals[6], e, 2)};
        obs[0].Adr += 74076378.0; // L1 of 55.9 M cycles beside a code range of 130 M
        obs[1].Adr -= 33000000.0;
        obs[2].Adr += 25000000.0;
        Append(source, Text(FormatRange, MakeRangeLog(kWeek, kT0Ms + e * 1000, obs)));
        epochs.push_back(obs);
    }
    const struct
    {
        LOG2LOG_KIND_E nPack, nExpand;
        double dPsrStep;
    } kinds[] = {{LOG2LOG_RANGE_TO_RANGECMP, LOG2LOG_RANGECMP_TO_RANGE, 1.0 / 128},
                 {LOG2LOG_RANGE_TO_RANGECMP4, LOG2LOG_RANGECMP4_TO_RANGE, 0.0005}};
    for (const auto& k : kinds)
    {
        SCOPED_TRACE(k.nPack);
        CompressedPhaseCounts phases;
        const Bytes packed = RunKind(source, k.nPack, 0, nullptr, &phases);
        EXPECT_EQ(phases.nShifted, 60u);
        EXPECT_EQ(phases.nDropped, 0u);
        const std::vector<OutLog> logs = Split(RunKind(packed, k.nExpand));
        ASSERT_EQ(logs.size(), epochs.size());
        double aShift[3] = {};
        for (size_t e = 0; e < logs.size(); ++e)
        {
            const std::vector<RANGE_OBS_T> out = RecordsOf(logs[e].Record.data());
            ASSERT_EQ(out.size(), 3u);
            for (size_t i = 0; i < 3; ++i)
            {
                const RANGE_OBS_T& in = epochs[e][i];
                const RANGE_OBS_T* x = FindSame(out, in);
                ASSERT_NE(x, nullptr);
                ASSERT_TRUE(TrackingStatusPhaseLock(x->TrackingStatus)) << "epoch " << e << " signal " << i;
                const double dShift = std::round(x->Adr - in.Adr);
                EXPECT_NE(dShift, 0.0);
                EXPECT_NEAR(x->Adr - in.Adr, dShift, 0.005);
                if (e == 0)
                    aShift[i] = dShift;
                EXPECT_EQ(dShift, aShift[i]) << "epoch " << e << " signal " << i;
                EXPECT_LE(std::fabs(x->Psr - in.Psr), k.dPsrStep / 2 + 1e-3); // text prints 3 decimals
            }
        }
    }
}

// A read error is no end of the source: the logs read before it are
// converted and the job reports the failure.
TEST(LogToLog, ASourceThatFailsPartWayIsAnError)
{
    const Fixture fx;
    FILE* pSrc = OpenFailingStream(std::string(fx.Source.begin(), fx.Source.end()));
    FILE* pOut = std::tmpfile();
    ASSERT_NE(pSrc, nullptr);
    EXPECT_EQ(ConvertLogToLog(pSrc, pOut, LOG2LOG_TO_TEXT, 0, nullptr, nullptr), LOG2LOG_READ_FAILED);
    EXPECT_EQ(std::ftell(pOut), static_cast<long>(RunKind(fx.Source, LOG2LOG_TO_TEXT).size()));
    std::fclose(pSrc);
    std::fclose(pOut);
}

TEST(LogToLog, EmptySourceAndBadArguments)
{
    EXPECT_TRUE(RunKind(Bytes(), LOG2LOG_TO_TEXT).empty());
    FILE* f = std::tmpfile();
    EXPECT_EQ(ConvertLogToLog(f, f, LOG2LOG_KIND_COUNT, 0, nullptr, nullptr), -1);
    EXPECT_EQ(ConvertLogToLog(nullptr, f, LOG2LOG_RANGE_TO_RANGECMP, 0, nullptr, nullptr), -1);
    std::fclose(f);
}

// Logs that straddle the 64 KB reads are found whole.
TEST(LogToLog, LogsAcrossBlockBoundariesAndUpperCaseCrc)
{
    Bytes source;
    const std::string gps = GpsEphemText();
    std::string upper = gps;
    for (size_t i = upper.find('*') + 1; i < upper.size(); ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    uint32_t nLogs = 0;
    while (source.size() < 3 * 65536)
    {
        Append(source, nLogs % 2 ? upper : gps);
        Append(source, Wire(CopyBinaryRange, MakeRangeLog(kWeek, kT0Ms, Cmp4Epoch(0))));
        nLogs += 2;
    }
    const std::vector<OutLog> logs = Split(RunKind(source, LOG2LOG_TO_TEXT));
    EXPECT_EQ(logs.size(), nLogs);

    // A text log longer than a whole block is found too.
    std::vector<RANGE_OBS_T> many;
    while (many.size() < 1200)
        for (const RANGE_OBS_T& o : Cmp4Epoch(0))
            many.push_back(o);
    const std::string big = Text(FormatRange, MakeRangeLog(kWeek, kT0Ms, many));
    ASSERT_GT(big.size(), 65536u);
    Bytes bigSource;
    Append(bigSource, gps);
    Append(bigSource, big);
    Append(bigSource, gps);
    const std::vector<OutLog> out = Split(RunKind(bigSource, LOG2LOG_RANGE_TEXT_TO_BINARY));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(RecordsOf(out[0].Record.data()).size(), many.size());
}
} // namespace
