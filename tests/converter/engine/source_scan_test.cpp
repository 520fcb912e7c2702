#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "converter/engine/engine_state.h"
#include "converter/engine/source_scan.h"
#include "range_source_fixture.h"
#include "reader_streams.h"

namespace
{
class SourceScan : public ::testing::Test
{
protected:
    QTemporaryDir m_Dir;
    std::string Path(const char* pName) const { return m_Dir.path().toStdString() + "/" + pName; }

    int Scan(const SourceFile& src, SourceScanInfo* pScan, uint32_t aFileTimes[4] = nullptr)
    {
        const std::string sPath = Path("scan.log");
        src.Write(sPath);
        return ScanFile(sPath, pScan, aFileTimes);
    }
};

TEST_F(SourceScan, FindsTimesSignalsSlotsAndPositionOfTheFixtures)
{
    for (Form eForm : {Form::RangeText, Form::RangeCmpBinary, Form::RangeBinary, Form::RangeCmpText})
    {
        SourceScanInfo scan;
        uint32_t aFileTimes[4] = {};
        ASSERT_EQ(Scan(GoldenSource(eForm), &scan, aFileTimes), SCAN_OK);
        const int k = eForm == Form::RangeText || eForm == Form::RangeBinary ? 0 : 3;
        const uint32_t aTimes[4] = {kWeek, kDayMs, kWeek, kDayMs + 4000};
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(scan.aMessageTimes[k][i], aTimes[i]);
            EXPECT_EQ(scan.aMessageTimes[3 - k][i], 0u);
            EXPECT_EQ(aFileTimes[i], aTimes[i]);
        }
        EXPECT_EQ(scan.aMessageIntervals[k], 1.0);
        EXPECT_EQ(scan.aMessageIntervals[3 - k], 0.0);
        EXPECT_EQ(scan.nLastEpochWeek, kWeek);
        EXPECT_EQ(scan.nLastEpochMs, kDayMs + 4000);

        // The IONUTC log's 18 leap seconds put the first epoch at midnight UTC.
        EXPECT_EQ(scan.nLeapMs, 18000);
        EXPECT_EQ(scan.nIonUtcLength, uint32_t(SCAN_IONUTC_SIZE));
        EXPECT_EQ(scan.FirstObs.nYear, 2024u);
        EXPECT_EQ(scan.FirstObs.nMonth, 1u);
        EXPECT_EQ(scan.FirstObs.nDay, 1u);
        EXPECT_EQ(scan.FirstObs.nHour + scan.FirstObs.nMinute, 0u);
        EXPECT_EQ(scan.FirstObs.dSecond, 0.0);
        EXPECT_EQ(scan.LastObs.dSecond, 4.0);

        EXPECT_EQ(scan.aSignalCounts[GNSS_SYSTEM_GPS], 2u);
        EXPECT_EQ(scan.aSignalCodes[GNSS_SYSTEM_GPS][0], 0u);
        EXPECT_EQ(scan.aSignalCodes[GNSS_SYSTEM_GPS][1], 33096u);
        EXPECT_EQ(scan.aSatMasks[GNSS_SYSTEM_GPS][1], (1u << 0) | (1u << 7)); // G01 and G08
        EXPECT_EQ(scan.aSatCounts[GNSS_SYSTEM_GPS][1], 2u);
        EXPECT_EQ(scan.aSignalCounts[GNSS_SYSTEM_GLONASS], 2u);
        EXPECT_EQ(scan.aSignalCodes[GNSS_SYSTEM_GLONASS][1], 201u);
        EXPECT_EQ(scan.nGloSlotCount, 1u);
        EXPECT_EQ(scan.aGloSlots[0], 1);
        EXPECT_EQ(scan.aGloFrequencies[0], 1);

        // RTKPOS at 40 N 116 E, 50 m above the geoid, undulation -10 m.
        const double r = std::sqrt(scan.aApproxPos[0] * scan.aApproxPos[0] + scan.aApproxPos[1] * scan.aApproxPos[1]);
        EXPECT_NEAR(std::atan2(scan.aApproxPos[1], scan.aApproxPos[0]) * 57.295779513, 116.0, 1e-9);
        EXPECT_NEAR(r, 4892738.24, 0.01);
        EXPECT_NEAR(scan.aApproxPos[2], 4078011.28, 0.01);
        EXPECT_EQ(scan.Source.nBadCrcLogs + scan.Source.nTruncatedLogs, 0u);
    }
}

// One GPS satellite per epoch, epochs given as (week, ms).
SourceFile Epochs(const std::vector<std::pair<uint16_t, uint32_t>>& times, uint16_t nId = MSG_ID_RANGE,
                  uint8_t nTimeStatus = loggen::kFineSteering)
{
    SourceFile src;
    const auto sigs = loggen::Constellation(1, 0);
    double t = 0;
    for (const auto& e : times)
        src.Add(loggen::Binary(loggen::RangeRecord(e.first, e.second, loggen::Epoch(sigs, t++), nId, nTimeStatus)));
    return src;
}

// The leap seconds come from the data where it holds them: the IONUTC log,
// else a GLONASS ephemeris (its time offset is 10800 s minus the leap
// seconds), else the table at the first epoch's date. Data from 2005 and 2009
// have 13 and 15, not today's 18.
TEST_F(SourceScan, LeapSecondsFromTheDataElseFromTheDateOfTheFirstEpoch)
{
    using namespace loggen;
    struct Case
    {
        const char* pName;
        uint16_t nWeek;
        uint32_t nMs;
        int32_t nIonUtc;     // IONUTC leap seconds, 0 for no log
        uint32_t nGloOffset; // GLONASS ephemeris time offset, 0 for none
        int32_t nLeapMs;
        uint32_t nSource;
        ScanCalendar first; // UTC of the first epoch
    };
    const Case cases[] = {
        {"2009, ranges only", 1521, 15000, 0, 0, 15000, SCAN_LEAP_DATE, {2009, 3, 1, 0, 0, 0.0}},
        {"2005, ranges only", 1327, 289813000, 0, 0, 13000, SCAN_LEAP_DATE, {2005, 6, 15, 8, 30, 0.0}},
        {"2005 with a GLONASS ephemeris",
         1327,
         289813000,
         0,
         10787,
         13000,
         SCAN_LEAP_GLONASS,
         {2005, 6, 15, 8, 30, 0.0}},
        // Both in the data, disagreeing: the IONUTC log, which states them, wins.
        {"2009 with IONUTC and GLONASS", 1521, 15000, 15, 10786, 15000, SCAN_LEAP_IONUTC, {2009, 3, 1, 0, 0, 0.0}},
        {"an implausible GLONASS offset", 1521, 15000, 0, 0xFFFF, 15000, SCAN_LEAP_DATE, {2009, 3, 1, 0, 0, 0.0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pName);
        SourceFile src;
        if (c.nIonUtc)
            src.Add(Text(Record(MSG_ID_IONUTC, c.nWeek, c.nMs, IonUtc(c.nIonUtc)), FormatIonUtc));
        if (c.nGloOffset)
        {
            GLOEPHEMERIS_BODY_T eph = GloEphemeris(1, 1, c.nWeek, c.nMs, 1);
            eph.TimeOffset = c.nGloOffset;
            src.Add(Text(Record(MSG_ID_GLOEPHEMERIS, c.nWeek, c.nMs, eph), FormatGloEphem));
        }
        for (uint32_t k = 0; k < 3; ++k)
            AddEpoch(src, Form::RangeText, Constellation(2, 1), c.nWeek, c.nMs + k * 30000, k);
        SourceScanInfo scan;
        ASSERT_EQ(Scan(src, &scan), SCAN_NO_POSITION);
        EXPECT_EQ(scan.nLeapMs, c.nLeapMs);
        EXPECT_EQ(scan.nLeapSource, c.nSource);
        EXPECT_EQ(scan.FirstObs.nYear, c.first.nYear);
        EXPECT_EQ(scan.FirstObs.nMonth, c.first.nMonth);
        EXPECT_EQ(scan.FirstObs.nDay, c.first.nDay);
        EXPECT_EQ(scan.FirstObs.nHour, c.first.nHour);
        EXPECT_EQ(scan.FirstObs.nMinute, c.first.nMinute);
        EXPECT_EQ(scan.FirstObs.dSecond, c.first.dSecond);
    }
}

// The smallest step, taken as the common interval next to it: a receiver
// whose clock steps puts its epochs a few ms off their marks.
TEST_F(SourceScan, IntervalIsTheSmallestStepAcrossGapsWeeksAndRepeats)
{
    struct Case
    {
        const char* pName;
        std::vector<std::pair<uint16_t, uint32_t>> times;
        double dInterval;
    };
    const uint32_t W = 604800000;
    const Case cases[] = {
        {"gap of 5 s", {{2295, 1000}, {2295, 2000}, {2295, 7000}, {2295, 8000}}, 1.0},
        {"week crossing", {{2294, W - 2000}, {2294, W - 1000}, {2295, 0}, {2295, 1000}}, 1.0},
        {"crossing 2 s apart", {{2294, W - 1000}, {2295, 1000}}, 2.0},
        {"epoch at ms 0", {{2295, 0}, {2295, 30000}}, 30.0},
        {"repeated epoch", {{2295, 1000}, {2295, 1000}, {2295, 3000}}, 2.0},
        {"one epoch", {{2295, 5000}}, 0.0},
        {"clock steps at 30 s", {{2295, 30001}, {2295, 60005}, {2295, 90001}, {2295, 120003}}, 30.0},
        {"clock steps at 1 s", {{2295, 1000}, {2295, 1999}, {2295, 3001}}, 1.0},
        {"40 Hz is not 50 Hz", {{2295, 1000}, {2295, 1025}, {2295, 1050}}, 0.025},
        {"an odd interval", {{2295, 1000}, {2295, 8000}}, 7.0},
    };
    for (const Case& c : cases)
    {
        SourceScanInfo scan;
        uint32_t aFileTimes[4] = {};
        ASSERT_EQ(Scan(Epochs(c.times), &scan, aFileTimes), SCAN_NO_POSITION) << c.pName;
        EXPECT_EQ(scan.aMessageIntervals[0], c.dInterval) << c.pName;
        EXPECT_EQ(aFileTimes[0], c.times.front().first) << c.pName;
        EXPECT_EQ(aFileTimes[1], c.times.front().second) << c.pName;
        EXPECT_EQ(aFileTimes[2], c.times.back().first) << c.pName;
        EXPECT_EQ(aFileTimes[3], c.times.back().second) << c.pName;
    }
}

TEST_F(SourceScan, KeepsKindsApartAndSkipsEpochsWithoutTime)
{
    SourceFile src = Epochs({{2295, 10000}, {2295, 20000}}, MSG_ID_RANGEH);
    SourceFile base = Epochs({{2295, 1000}, {2295, 3000}}, MSG_ID_BASERANGE);
    SourceFile coarse = Epochs({{2295, 500}, {2295, 600}}, MSG_ID_RANGE, 20);
    src.Add(base.Bytes());
    src.Add(coarse.Bytes());
    SourceScanInfo scan;
    uint32_t aFileTimes[4] = {};
    ASSERT_EQ(Scan(src, &scan, aFileTimes), SCAN_NO_POSITION);
    EXPECT_EQ(scan.aMessageIntervals[0], 0.0);
    EXPECT_EQ(scan.aMessageIntervals[1], 10.0);
    EXPECT_EQ(scan.aMessageIntervals[2], 2.0);
    EXPECT_EQ(scan.aMessageTimes[2][1], 1000u);
    // File times: the first and the last epoch in source order.
    EXPECT_EQ(aFileTimes[1], 10000u);
    EXPECT_EQ(aFileTimes[3], 3000u);

    uint32_t aUntouched[4] = {7, 7, 7, 7};
    ASSERT_EQ(Scan(coarse, &scan, aUntouched), SCAN_NO_RANGE_LOG);
    EXPECT_EQ(aUntouched[0], 7u);
}

TEST_F(SourceScan, PositionIsTheMeanOfTheFirstComputedSolutions)
{
    using namespace loggen;
    struct Case
    {
        const char* pName;
        std::vector<std::pair<uint16_t, PositionBody>> logs;
        int nStatus;
        double aXyz[3];
    };
    const PositionBody equator = Position(0.0, 0.0, 0.0, 0.0f);
    const PositionBody pole = Position(90.0, 0.0, 0.0, 0.0f);
    const PositionBody bad = Position(0.0, 0.0, 0.0, 0.0f, 1); // insufficient observations
    std::vector<std::pair<uint16_t, PositionBody>> many(1000, {MSG_ID_RTKPOS, equator});
    many.insert(many.end(), 500, {MSG_ID_RTKPOS, pole});
    const Case cases[] = {
        {"equator", {{MSG_ID_RTKPOS, equator}}, SCAN_OK, {6378137.0, 0.0, 0.0}},
        {"pole", {{MSG_ID_PSRPOS, pole}}, SCAN_OK, {0.0, 0.0, 6356752.314}},
        {"RTKPOS before PSRPOS", {{MSG_ID_PSRPOS, pole}, {MSG_ID_RTKPOS, equator}}, SCAN_OK, {6378137.0, 0.0, 0.0}},
        {"first 1000 only", many, SCAN_OK, {6378137.0, 0.0, 0.0}},
        {"no computed solution", {{MSG_ID_PSRPOS, bad}}, SCAN_NO_POSITION, {0.0, 0.0, 0.0}},
    };
    for (const Case& c : cases)
    {
        SourceFile src = Epochs({{2295, 1000}});
        for (const auto& log : c.logs)
            src.Add(Binary(Record(log.first, 2295, 1000, log.second)));
        SourceScanInfo scan;
        ASSERT_EQ(Scan(src, &scan), c.nStatus) << c.pName;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(scan.aApproxPos[i], c.aXyz[i], 1e-3) << c.pName << " " << i;
    }
}

TEST_F(SourceScan, DetectsBinaryByLogsWhoseCrcHolds)
{
    using namespace loggen;
    const Bytes bin = Binary(RangeCmpRecord(RangeRecord(kWeek, kDayMs, Epoch(Constellation(2, 1), 0))));
    const std::string text = Text(RangeRecord(kWeek, kDayMs, Epoch(Constellation(2, 1), 0)), FormatRange);
    struct Case
    {
        const char* pName;
        SourceFile src;
        int nBinary;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", SourceFile(), 0});
    cases.push_back({"binary", SourceFile(), 1});
    cases.back().src.Add(bin);
    cases.back().src.Add(bin);
    cases.push_back({"text with comments of high bytes", SourceFile(), 0});
    cases.back().src.Add(std::string(4000, '\xC8'));
    cases.back().src.Add(text);
    cases.push_back({"binary behind a text reply", SourceFile(), 1});
    cases.back().src.Add(text);
    cases.back().src.Add(bin);
    cases.back().src.Add(bin);
    cases.push_back({"plain ASCII without logs", SourceFile(), 0});
    cases.back().src.Add("hello\r\n");
    for (Case& c : cases)
    {
        const std::string sPath = Path("detect.log");
        c.src.Write(sPath);
        FILE* f = std::fopen(sPath.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        std::fseek(f, 0, SEEK_END);
        EXPECT_EQ(DetectBinaryLog(f), c.nBinary) << c.pName;
        EXPECT_EQ(std::ftell(f), static_cast<long>(std::min<size_t>(c.src.Bytes().size(), 65536))) << c.pName;
        std::fclose(f);
    }
}

// A stop request ends the scan after the block being read, with a status of
// its own; without one the same source scans to its end.
TEST_F(SourceScan, AStopRequestEndsTheScanAtItsNextBlock)
{
    SourceFile src;
    const auto sigs = loggen::Constellation(8, 4);
    for (uint32_t k = 0; k < 600; ++k)
        AddEpoch(src, Form::RangeBinary, sigs, kWeek, kDayMs + k * 1000, k);
    ASSERT_GT(src.Bytes().size(), 4u * LogSourceReader::BLOCK_SIZE);
    const std::string sPath = Path("stop.log");
    src.Write(sPath);
    for (bool bStop : {false, true})
    {
        const std::atomic<bool> stop{bStop};
        CConvertContext context;
        context.SetStopRequest([](const void* p) { return static_cast<const std::atomic<bool>*>(p)->load(); }, &stop);
        FILE* f = std::fopen(sPath.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        SourceScanInfo scan{};
        uint32_t aFileTimes[4] = {7, 7, 7, 7};
        const int nStatus = ScanSourceLog(f, &scan, aFileTimes, 1, &context);
        std::fclose(f);
        if (!bStop)
        {
            EXPECT_EQ(nStatus, SCAN_NO_POSITION);
            EXPECT_EQ(scan.Source.nBytesRead, src.Bytes().size());
            EXPECT_EQ(aFileTimes[3], kDayMs + 599000);
            continue;
        }
        EXPECT_EQ(nStatus, SCAN_STOPPED);
        EXPECT_EQ(scan.Source.nBytesRead, uint64_t(LogSourceReader::BLOCK_SIZE));
        EXPECT_EQ(context.GetScanProgress(), uint32_t(LogSourceReader::BLOCK_SIZE));
        EXPECT_EQ(aFileTimes[0], 7u);
        EXPECT_EQ(aFileTimes[3], 7u);
    }
}

// A source that fails part-way is reported as such, not scanned as a shorter file.
TEST_F(SourceScan, AReadErrorPartWayIsNotTheEndOfTheSource)
{
    SourceFile src;
    const auto sigs = loggen::Constellation(8, 4);
    for (uint32_t k = 0; k < 600; ++k)
        AddEpoch(src, Form::RangeBinary, sigs, kWeek, kDayMs + k * 1000, k);
    const std::string bytes(src.Bytes().begin(), src.Bytes().end());
    FILE* f = OpenFailingStream(bytes.substr(0, 2 * LogSourceReader::BLOCK_SIZE + 100));
    ASSERT_NE(f, nullptr);
    SourceScanInfo scan{};
    uint32_t aFileTimes[4] = {7, 7, 7, 7};
    CConvertContext context;
    EXPECT_EQ(ScanSourceLog(f, &scan, aFileTimes, 1, &context), SCAN_READ_FAILED);
    std::fclose(f);
    EXPECT_EQ(aFileTimes[0], 7u);
    EXPECT_EQ(aFileTimes[3], 7u);
}

// The record is the same, to the last bit, whether one thread reads and
// decodes the source log by log or the source goes in blocks to several:
// what the blocks find adds up across their boundaries in source order. The
// source has what a block boundary can split: signals, satellites and GLONASS
// slots that first come late, steps that are repeats, out of order or across
// a week, the 1000th position, IONUTC logs and GLONASS leap seconds that
// change, epochs without time, text and binary logs of three range kinds.
TEST_F(SourceScan, TheRecordIsTheSameOnOneThreadAndOnMany)
{
    using namespace loggen;
    SourceFile src;
    uint32_t nMs = 604800000 - 600000; // the week changes at epoch 600
    uint16_t nWeek = kWeek;
    for (uint32_t k = 0; k < 1200; ++k)
    {
        EveryGnssCounts n;
        n.nGps = 4 + k / 300;
        n.nGlo = 1 + 2 * (k / 220);
        n.nGal = k >= 700 ? 2 : 0;
        n.nBds = k >= 900 ? 3 : 0;
        n.nQzss = k >= 1100 ? 1 : 0;
        const std::vector<Signal> sigs = EveryGnssConstellation(n);
        // IONUTC logs without leap seconds: those of the last GLONASS ephemeris hold.
        if (k == 100 || k == 1000)
            src.Add(Text(Record(MSG_ID_IONUTC, nWeek, nMs, IonUtc(0)), FormatIonUtc));
        if (k == 300 || k == 900)
        {
            GLOEPHEMERIS_BODY_T eph = GloEphemeris(1, 1, nWeek, nMs, k);
            eph.TimeOffset = k == 300 ? 10786 : 10782;
            src.Add(Binary(Record(MSG_ID_GLOEPHEMERIS, nWeek, nMs, eph)));
        }
        const PositionBody pos = Position(40.0 + 1e-4 * k, 116.0 - 3e-4 * k, 50.0 + 0.37 * k, -10.0f);
        src.Add(Binary(Record(k % 3 ? MSG_ID_RTKPOS : MSG_ID_PSRPOS, nWeek, nMs, pos)));
        const uint8_t nTimeStatus = k % 97 == 5 ? uint8_t(20) : kFineSteering;
        if (k % 5 == 4)
            src.Add(Binary(RangeRecord(nWeek, nMs, Epoch(sigs, k), MSG_ID_RANGEH, nTimeStatus)));
        else if (k == 200 || k == 1010) // two epochs blocks apart
            src.Add(Binary(RangeRecord(nWeek, nMs, Epoch(sigs, k), MSG_ID_BASERANGE)));
        else
            AddEpoch(src, static_cast<Form>(k % 4), sigs, nWeek, nMs, k, nTimeStatus);
        // Steps of 1 s; a repeat, a step back, and the one 500 ms step late.
        const int32_t nStep = k == 450 ? 0 : k == 800 ? -3000 : k == 1150 ? 500 : 1000;
        nMs += nStep;
        if (nMs >= 604800000)
        {
            nMs -= 604800000;
            ++nWeek;
        }
    }
    const std::string sPath = Path("blocks.log");
    src.Write(sPath);
    ASSERT_GT(src.Bytes().size(), 20u * LogSourceReader::BLOCK_SIZE);

    auto scan = [&](uint32_t nThreads, SourceScanInfo* pScan, uint32_t aFileTimes[4])
    {
        std::memset(pScan, 0, sizeof(*pScan));
        FILE* f = std::fopen(sPath.c_str(), "rb");
        CConvertContext context;
        const int nStatus = ScanSourceLog(f, pScan, aFileTimes, 0, &context, nThreads);
        std::fclose(f);
        return nStatus;
    };
    SourceScanInfo one;
    uint32_t aOneTimes[4] = {};
    ASSERT_EQ(scan(1, &one, aOneTimes), SCAN_OK);
    // The source holds what it should for the comparison to mean something.
    EXPECT_EQ(one.nGloSlotCount, 11u);
    EXPECT_EQ(one.aSignalCounts[GNSS_SYSTEM_QZSS], 2u);
    EXPECT_EQ(one.aMessageIntervals[3], 0.5);
    EXPECT_EQ(one.aMessageIntervals[2], 805.0);
    EXPECT_EQ(one.aMessageTimes[1][2], uint32_t(kWeek + 1));
    EXPECT_EQ(one.nLeapSource, uint32_t(SCAN_LEAP_GLONASS));
    EXPECT_EQ(one.nLeapMs, 18000);
    for (uint32_t nThreads : {2u, 3u, 8u})
    {
        SourceScanInfo many;
        uint32_t aManyTimes[4] = {};
        EXPECT_EQ(scan(nThreads, &many, aManyTimes), SCAN_OK) << nThreads;
        EXPECT_EQ(std::memcmp(&one, &many, sizeof(one)), 0) << nThreads;
        EXPECT_EQ(std::memcmp(aOneTimes, aManyTimes, sizeof(aOneTimes)), 0) << nThreads;
    }
}

void ExpectSameScan(const SourceScanInfo& a, const SourceScanInfo& b)
{
    EXPECT_EQ(std::memcmp(a.aSatMasks, b.aSatMasks, sizeof(a.aSatMasks)), 0);
    EXPECT_EQ(std::memcmp(a.aSatCounts, b.aSatCounts, sizeof(a.aSatCounts)), 0);
    EXPECT_EQ(std::memcmp(a.aSignalCodes, b.aSignalCodes, sizeof(a.aSignalCodes)), 0);
    EXPECT_EQ(std::memcmp(a.aSignalCounts, b.aSignalCounts, sizeof(a.aSignalCounts)), 0);
    EXPECT_EQ(a.nGloSlotCount, b.nGloSlotCount);
    EXPECT_EQ(std::memcmp(a.aGloSlots, b.aGloSlots, sizeof(a.aGloSlots)), 0);
    EXPECT_EQ(std::memcmp(a.aGloFrequencies, b.aGloFrequencies, sizeof(a.aGloFrequencies)), 0);
    EXPECT_EQ(std::memcmp(a.aMessageTimes, b.aMessageTimes, sizeof(a.aMessageTimes)), 0);
    EXPECT_EQ(std::memcmp(a.aMessageIntervals, b.aMessageIntervals, sizeof(a.aMessageIntervals)), 0);
    EXPECT_EQ(a.FirstObs.dSecond, b.FirstObs.dSecond);
    EXPECT_EQ(a.LastObs.dSecond, b.LastObs.dSecond);
    EXPECT_EQ(a.Source.nLogs, b.Source.nLogs);
}

// The scan owns every record it fills: a scan and a job over the same source
// at the same time give what each gives alone.
TEST_F(SourceScan, RunsBesideAJobWithoutSharingState)
{
    SourceFile src;
    const auto sigs = loggen::Constellation(8, 4);
    for (uint32_t k = 0; k < 600; ++k)
        AddEpoch(src, Form::RangeCmpBinary, sigs, kWeek, kDayMs + k * 1000, k);
    const std::string sSrc = Path("both.log");
    src.Write(sSrc);

    SourceScanInfo alone;
    ASSERT_EQ(ScanFile(sSrc, &alone), SCAN_NO_POSITION);
    RinexObsHeader header = HeaderFromScan(304, alone, 3);
    RinexNavHeader nav{};
    const std::string sObsAlone = Path("alone.obs"), sObsBeside = Path("beside.obs");
    RangeToRinexJob job;
    job.pSrcPath = sSrc.c_str();
    job.nObsMessageId = MSG_ID_RANGECMP;
    job.nSysMask = 1 | 2;
    job.pObsHeader = &header;
    job.pNavHeader = &nav;
    job.pObsPath = sObsAlone.c_str();
    ASSERT_EQ(ConvertRangeLogToRinex(job), CONVERT_OK);

    for (int nRound = 0; nRound < 3; ++nRound)
    {
        SourceScanInfo beside;
        int nScan = 0;
        std::thread scan([&] { nScan = ScanFile(sSrc, &beside); });
        job.pObsPath = sObsBeside.c_str();
        EXPECT_EQ(ConvertRangeLogToRinex(job), CONVERT_OK);
        scan.join();
        EXPECT_EQ(nScan, SCAN_NO_POSITION);
        ExpectSameScan(beside, alone);
        EXPECT_EQ(ReadTextFile(sObsBeside), ReadTextFile(sObsAlone));
    }
}
} // namespace
