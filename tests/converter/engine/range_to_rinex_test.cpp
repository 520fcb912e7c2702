#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <regex>
#include <ostream>
#include <string>
#include <thread>

#include "codec/gnss_time.h"
#include "codec/catalogue.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/range_to_rinex.h"
#include "converter/engine/work_thread.h"
#include "range_source_fixture.h"

namespace
{
class RangeToRinex : public ::testing::Test
{
protected:
    QTemporaryDir m_Dir;
    std::string m_sDir;
    RinexObsHeader m_ObsHeader{};
    RinexNavHeader m_NavHeader{};
    SourceScanInfo m_Scan{};
    RangeToRinexCounts m_Counts{};
    std::string m_asNav[GNSS_SYSTEM_COUNT];
    std::string m_sObs, m_sSrc;

    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        m_sDir = m_Dir.path().toStdString() + "/";
        m_sObs = Path("out.obs");
        const char* apNames[GNSS_SYSTEM_COUNT] = {"out.nav", "out.glo", "out.gal", "out.bds", "", "out.qzs"};
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            m_asNav[s] = *apNames[s] ? Path(apNames[s]) : std::string();
    }

    std::string Path(const char* pName) const { return m_sDir + pName; }

    // Writes the source, scans it and prepares the header records as the window does.
    void Load(const SourceFile& src, int32_t nVersion, int nKind, uint8_t nSysMask = 1 | 2)
    {
        m_sSrc = Path("source.log");
        src.Write(m_sSrc);
        ASSERT_GE(ScanFile(m_sSrc, &m_Scan), SCAN_NO_POSITION);
        m_ObsHeader = HeaderFromScan(nVersion, m_Scan, nKind, nSysMask);
        m_NavHeader = NavHeaderFromScan(m_Scan);
    }

    RangeToRinexJob Job(uint16_t nMessageId, uint32_t nSysMask = 1 | 2) const
    {
        RangeToRinexJob job;
        job.pSrcPath = m_sSrc.c_str();
        job.pObsPath = m_sObs.c_str();
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            job.apNavPaths[s] = m_asNav[s].c_str();
        job.nObsMessageId = nMessageId;
        job.nSysMask = nSysMask;
        job.pObsHeader = const_cast<RinexObsHeader*>(&m_ObsHeader);
        job.pNavHeader = &m_NavHeader;
        return job;
    }

    int Run(const RangeToRinexJob& job) { return ConvertRangeLogToRinex(job, &m_Counts); }

    std::string Read(const std::string& sPath) const { return ReadTextFile(sPath); }
    bool Exists(const std::string& sPath) const { return QFile::exists(QString::fromStdString(sPath)); }
};

struct GoldenCase
{
    Form eForm;
    int32_t nVersion;
    bool bMixed;
    const char* pName;
};

void PrintTo(const GoldenCase& c, std::ostream* pOut) { *pOut << c.pName; }

class RangeToRinexGolden : public RangeToRinex, public ::testing::WithParamInterface<GoldenCase>
{
};

TEST_P(RangeToRinexGolden, MatchesTheGoldenFilesAndItsVersion)
{
    const GoldenCase& c = GetParam();
    const bool bCmp = c.eForm == Form::RangeCmpText || c.eForm == Form::RangeCmpBinary;
    Load(GoldenSource(c.eForm), c.nVersion, bCmp ? 3 : 0);
    RangeToRinexJob job = Job(bCmp ? MSG_ID_RANGECMP : MSG_ID_RANGE);
    job.bMixedNav = c.bMixed;
    ASSERT_EQ(Run(job), CONVERT_OK);
    EXPECT_EQ(m_Counts.nEpochsWritten, 5u);
    EXPECT_EQ(m_Counts.nEphemerides, 3u);
    EXPECT_EQ(m_Counts.nEphemeridesRepeated, 9u);

    const std::string sObs = Read(m_sObs);
    const size_t nEnd = sObs.find("END OF HEADER");
    ASSERT_NE(nEnd, std::string::npos);
    const size_t nBody = sObs.find('\n', nEnd) + 1;
    EXPECT_TRUE(CheckObsHeader(sObs.substr(0, nBody), c.nVersion).empty());
    const auto types = ObsTypesOf(sObs.substr(0, nBody));
    for (const std::string& s : CheckObsEpochs(sObs.substr(nBody), c.nVersion, types))
        ADD_FAILURE() << s;
    ExpectGolden(std::string(c.pName) + "_obs.rnx", MaskDate(sObs));

    if (c.bMixed)
        ExpectGolden(std::string(c.pName) + "_mixed_nav.rnx", MaskDate(Read(m_asNav[GNSS_SYSTEM_GPS])));
    else
    {
        const std::string sGps = Read(m_asNav[GNSS_SYSTEM_GPS]);
        const std::string sGlo = Read(m_asNav[GNSS_SYSTEM_GLONASS]);
        const size_t nGps = sGps.find('\n', sGps.find("END OF HEADER")) + 1;
        const size_t nGlo = sGlo.find('\n', sGlo.find("END OF HEADER")) + 1;
        EXPECT_TRUE(CheckNavHeader(sGps.substr(0, nGps), c.nVersion, 'G').empty());
        EXPECT_TRUE(CheckNavHeader(sGlo.substr(0, nGlo), c.nVersion, 'R').empty());
        std::vector<std::vector<double>> values;
        EXPECT_TRUE(CheckNavRecords(sGps.substr(nGps), c.nVersion, 'G', &values).empty());
        EXPECT_EQ(values.size(), 2u);
        EXPECT_TRUE(CheckNavRecords(sGlo.substr(nGlo), c.nVersion, 'R', &values).empty());
        ExpectGolden(std::string(c.pName) + "_gps_nav.rnx", MaskDate(sGps));
        ExpectGolden(std::string(c.pName) + "_glo_nav.rnx", MaskDate(sGlo));
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RangeToRinexGolden,
                         ::testing::Values(GoldenCase{Form::RangeText, 211, false, "range_text_211"},
                                           GoldenCase{Form::RangeText, 304, false, "range_text_304"},
                                           GoldenCase{Form::RangeCmpBinary, 211, false, "rangecmp_bin_211"},
                                           GoldenCase{Form::RangeCmpBinary, 304, true, "rangecmp_bin_304"}),
                         [](const ::testing::TestParamInfo<GoldenCase>& info)
                         { return std::string(info.param.pName); });

TEST(SampleFilter, PassesTheWindowEndsAndEpochsNextToMultiplesOfTheRate)
{
    RangeToRinexJob job;
    job.bExtract = true;
    job.nStartWeek = 2000;
    job.nStartMs = 500000;
    job.nEndWeek = 2001;
    job.nEndMs = 100000;
    struct Case
    {
        uint32_t nWeek, nMs;
        bool bPass;
    };
    const Case window[] = {{2000, 500000, true},  {2000, 499999, false}, {2001, 100000, true},   {2001, 100001, false},
                           {1999, 600000, false}, {2002, 0, false},      {2000, 604799999, true}};
    for (const Case& c : window)
        EXPECT_EQ(SampleFilterPasses(job, c.nWeek, c.nMs), c.bPass) << c.nWeek << " " << c.nMs;

    job.nEndWeek = 2000;
    job.nEndMs = 600000;
    job.bDecimate = true;
    job.dInterval = 1.0;
    // A receiver's clock steps put epochs up to 5 ms off the mark.
    const Case rate[] = {{2000, 501000, true}, {2000, 501500, false}, {2000, 600000, true}, {2000, 601000, false},
                         {2000, 502005, true}, {2000, 502006, false}, {2000, 502995, true}, {2000, 502994, false}};
    for (const Case& c : rate)
        EXPECT_EQ(SampleFilterPasses(job, c.nWeek, c.nMs), c.bPass) << c.nMs;
    // An interval that is not a whole number of ms in binary still means its ms.
    job.dInterval = 0.29;
    EXPECT_TRUE(SampleFilterPasses(job, 2000, 580000));
    // Short intervals take less than half of it either side: 10 ms takes 4.
    job.dInterval = 0.01;
    EXPECT_TRUE(SampleFilterPasses(job, 2000, 510004));
    EXPECT_FALSE(SampleFilterPasses(job, 2000, 510005));
    job.dInterval = 0.001;
    EXPECT_TRUE(SampleFilterPasses(job, 2000, 510005));

    // Epochs either side of one mark, a week boundary too, share it.
    job.nEndWeek = 2001;
    job.dInterval = 30.0;
    const int64_t W = GNSS_MS_PER_WEEK;
    const struct
    {
        uint32_t nWeek, nMs;
        int64_t nMark;
    } marks[] = {{2000, 510003, 2000 * W + 510000},
                 {2000, 509996, 2000 * W + 510000},
                 {2000, 604799998, 2001 * W},
                 {2001, 2, 2001 * W}};
    for (const auto& m : marks)
    {
        int64_t nMark = 0;
        EXPECT_TRUE(SampleFilterPasses(job, m.nWeek, m.nMs, &nMark));
        EXPECT_EQ(nMark, m.nMark) << m.nWeek << " " << m.nMs;
    }
    job.bExtract = false;
    int64_t nMark = 0;
    EXPECT_TRUE(SampleFilterPasses(job, 1, 1, &nMark));
    EXPECT_EQ(nMark, -1);
}

// A receiver whose clock steps put its 30 s epochs 0 to 5 ms after the mark:
// at its own rate every epoch is kept, at 60 s every second one; a second
// epoch next to a mark already written is not. The header's first and last
// observation are the first and last epoch written, also when the last logs
// lie outside the window or hold nothing the file takes.
TEST_F(RangeToRinex, ClockStepsKeepTheirEpochsAndTheHeaderNamesTheEpochsWritten)
{
    constexpr uint32_t kMidnight = 86400000; // GPS time, week 2295
    const auto sigs = loggen::Constellation(2, 1);
    SourceFile src;
    for (uint32_t k = 0; k < 120; ++k)
    {
        AddEpoch(src, Form::RangeText, sigs, kWeek, kMidnight + k * 30000 + (k * 7) % 6, k * 30.0);
        if (k == 50)
            AddEpoch(src, Form::RangeText, sigs, kWeek, kMidnight + k * 30000 + 4, k * 30.0 + 0.004);
    }
    // Last: a log of GLONASS alone, for a GPS-only file.
    AddEpoch(src, Form::RangeText, loggen::Constellation(0, 1), kWeek, kMidnight + 120 * 30000, 3600.0);
    Load(src, 304, 0, 1);

    struct Case
    {
        bool bDecimate;
        double dInterval;
        uint32_t nEndMs;
        uint32_t nWritten;
        uint32_t nFirst, nLast; // source epochs k
    };
    const Case cases[] = {
        {true, 30.0, kMidnight + 200 * 30000, 120, 0, 119},
        {true, 60.0, kMidnight + 200 * 30000, 60, 0, 118},
        {false, 30.0, kMidnight + 200 * 30000, 121, 0, 119},
        {true, 30.0, kMidnight + 99 * 30000 + 3, 99, 1, 99},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.dInterval << " s to " << c.nEndMs);
        RangeToRinexJob job = Job(MSG_ID_RANGE, 1);
        job.bExtract = true;
        job.bDecimate = c.bDecimate;
        job.dInterval = c.dInterval;
        job.nStartWeek = job.nEndWeek = kWeek;
        job.nStartMs = c.nFirst ? kMidnight + c.nFirst * 30000 - 1 : kMidnight;
        job.nEndMs = c.nEndMs;
        ASSERT_EQ(Run(job), CONVERT_OK);
        EXPECT_EQ(m_Counts.nEpochsWritten, c.nWritten);
        const std::string sText = Read(m_sObs);
        const std::vector<std::string> times = EpochTimes(sText);
        ASSERT_EQ(times.size(), c.nWritten);
        EXPECT_EQ(RinexCalendarText(times.front()), RinexCalendarText(HeaderLineText(sText, "TIME OF FIRST OBS")));
        EXPECT_EQ(RinexCalendarText(times.back()), RinexCalendarText(HeaderLineText(sText, "TIME OF LAST OBS")));
        char szLast[40];
        const uint32_t nLastOffset = (c.nLast * 7) % 6;
        std::snprintf(szLast, sizeof szLast, "> 2024 01 01 00 %02u %2u.%03u0000", c.nLast / 2, c.nLast % 2 * 30,
                      nLastOffset);
        EXPECT_EQ(times.back(), szLast);
    }
}

TEST_F(RangeToRinex, WindowAndRateKeepTheEpochsAtTheirBoundaries)
{
    SourceFile src;
    for (uint32_t k = 0; k < 10; ++k)
        AddEpoch(src, Form::RangeBinary, loggen::Constellation(2, 0), kWeek, kDayMs + k * 1000, k);
    Load(src, 304, 0, 1);
    RangeToRinexJob job = Job(MSG_ID_RANGE, 1);
    job.bExtract = true;
    job.nStartWeek = job.nEndWeek = kWeek;
    job.nStartMs = kDayMs + 2000;
    job.nEndMs = kDayMs + 6000;
    job.bDecimate = true;
    job.dInterval = 2.0;
    ASSERT_EQ(Run(job), CONVERT_OK);
    EXPECT_EQ(EpochTimes(Read(m_sObs)),
              (std::vector<std::string>{"> 2024 01 01 00 00 20.0000000", "> 2024 01 01 00 00 22.0000000",
                                        "> 2024 01 01 00 00 24.0000000"}));
    EXPECT_EQ(m_Counts.nEpochsFiltered, 7u);

    // Nothing inside the window: no observation file, but the status says so.
    job.nStartMs = kDayMs + 20000;
    job.nEndMs = kDayMs + 30000;
    QFile::remove(QString::fromStdString(m_sObs));
    EXPECT_EQ(Run(job), CONVERT_NO_EPOCH);
    EXPECT_FALSE(Exists(m_sObs));
}

// A week crossing, a gap, a damaged log, garbage and a last log cut short:
// every good epoch is converted, the rest is counted.
TEST_F(RangeToRinex, ConvertsEveryGoodEpochAroundDamage)
{
    const uint32_t W = 604800000;
    const std::pair<uint16_t, uint32_t> good[] = {{2294, W - 3000}, {2294, W - 2000}, {2294, W - 1000}, {2295, 0},
                                                  {2295, 1000},     {2295, 7000},     {2295, 8000}};
    for (Form eForm : {Form::RangeText, Form::RangeCmpBinary})
    {
        const auto sigs = loggen::Constellation(2, 1);
        SourceFile src;
        double t = 0;
        for (const auto& e : good)
        {
            AddEpoch(src, eForm, sigs, e.first, e.second, t++);
            if (e.second == 1000)
            {
                SourceFile bad;
                AddEpoch(bad, eForm, sigs, 2295, 2000, t);
                bad.Bytes()[bad.Bytes().size() / 2] ^= 0x04;
                src.Add(bad.Bytes());
                src.Add("\x01\x02 noise \xAA\x44\x12\x05 #");
            }
        }
        SourceFile cut;
        AddEpoch(cut, eForm, sigs, 2295, 9000, t);
        cut.Bytes().resize(cut.Bytes().size() - 7);
        src.Add(cut.Bytes());

        const bool bCmp = eForm == Form::RangeCmpBinary;
        Load(src, 304, bCmp ? 3 : 0);
        EXPECT_EQ(m_Scan.aMessageIntervals[bCmp ? 3 : 0], 1.0);
        ASSERT_EQ(Run(Job(bCmp ? MSG_ID_RANGECMP : MSG_ID_RANGE)), CONVERT_OK);
        EXPECT_EQ(EpochTimes(Read(m_sObs)),
                  (std::vector<std::string>{"> 2023 12 30 23 59 57.0000000", "> 2023 12 30 23 59 58.0000000",
                                            "> 2023 12 30 23 59 59.0000000", "> 2023 12 31 00 00  0.0000000",
                                            "> 2023 12 31 00 00  1.0000000", "> 2023 12 31 00 00  7.0000000",
                                            "> 2023 12 31 00 00  8.0000000"}));
        EXPECT_EQ(m_Counts.nEpochsWritten, 7u);
        EXPECT_EQ(m_Counts.Source.nBadCrcLogs, 1u);
        EXPECT_EQ(m_Counts.Source.nTruncatedLogs, 1u);
        EXPECT_GT(m_Counts.Source.SkippedBytes(), cut.Bytes().size());
    }
}

// RINEX 2 has no mixed navigation file: asked for one, a 2.11 job writes
// the files it writes without it, GPS typed "N" and GLONASS "G".
TEST_F(RangeToRinex, Rinex2WritesEachSystemItsOwnNavigationFile)
{
    Load(GoldenSource(Form::RangeText), 211, 0);
    std::string asText[2][2];
    for (int bMixed = 0; bMixed < 2; ++bMixed)
    {
        RangeToRinexJob job = Job(MSG_ID_RANGE);
        job.bMixedNav = bMixed != 0;
        ASSERT_EQ(Run(job), CONVERT_OK);
        asText[bMixed][0] = MaskDate(Read(m_asNav[GNSS_SYSTEM_GPS]));
        asText[bMixed][1] = MaskDate(Read(m_asNav[GNSS_SYSTEM_GLONASS]));
        QFile::remove(QString::fromStdString(m_asNav[GNSS_SYSTEM_GLONASS]));
    }
    EXPECT_EQ(asText[1][0], asText[0][0]);
    EXPECT_EQ(asText[1][1], asText[0][1]);
    EXPECT_EQ(asText[1][0].substr(0, 21), "     2.11           N");
    EXPECT_EQ(asText[1][1].substr(0, 21), "     2.11           G");
}

TEST_F(RangeToRinex, MixedNavigationKeepsEphemeridesBeforeTheFirstGpsOne)
{
    using namespace loggen;
    SourceFile src;
    src.Add(Binary(Record(MSG_ID_GLOEPHEMERIS, kWeek, kDayMs, GloEphemeris(2, -4, kWeek, kDayMs - 900000, 1))));
    AddEpoch(src, Form::RangeBinary, Constellation(1, 1), kWeek, kDayMs, 0);
    src.Add(Binary(Record(MSG_ID_GLOEPHEMERIS, kWeek, kDayMs, GloEphemeris(2, -4, kWeek, kDayMs - 900000, 1))));
    src.Add(Binary(Record(MSG_ID_GPSEPHEM, kWeek, kDayMs + 1000, GpsEphemeris(1, kWeek, 93600.0, 3))));
    AddEpoch(src, Form::RangeBinary, Constellation(1, 1), kWeek, kDayMs + 1000, 1);
    Load(src, 304, 0);
    RangeToRinexJob job = Job(MSG_ID_RANGE);
    job.bMixedNav = true;
    ASSERT_EQ(Run(job), CONVERT_OK);
    const std::string sMixed = Read(m_asNav[GNSS_SYSTEM_GPS]);
    EXPECT_NE(sMixed.find("N                   M"), std::string::npos);
    const size_t nGlo = sMixed.find("\nR02 ");
    const size_t nGps = sMixed.find("\nG01 ");
    EXPECT_NE(nGlo, std::string::npos);
    EXPECT_NE(nGps, std::string::npos);
    EXPECT_LT(nGlo, nGps);
    EXPECT_EQ(sMixed.find("\nR02 ", nGlo + 1), std::string::npos);
    EXPECT_FALSE(Exists(m_asNav[GNSS_SYSTEM_GLONASS]));
    EXPECT_EQ(m_Counts.nEphemerides, 2u);
}

TEST_F(RangeToRinex, SatelliteWithoutKnownSignalGetsNoLine)
{
    using namespace loggen;
    const Signal g05a{TRACK_SYS_GPS, 0, 5, 0}, g05b{TRACK_SYS_GPS, 9, 5, 0}, g09{TRACK_SYS_GPS, 3, 9, 0};
    SourceFile src;
    src.Add(Binary(
        RangeRecord(kWeek, kDayMs,
                    {Observation(g05a, 0, 2.1e7, 1.0f, 45.0f, 10.0f), Observation(g05b, 1, 2.1e7, 1.0f, 40.0f, 10.0f),
                     Observation(g09, 2, 2.2e7, 1.0f, 45.0f, 10.0f)})));
    Load(src, 304, 0, 1);
    ASSERT_EQ(Run(Job(MSG_ID_RANGE, 1)), CONVERT_OK);
    const std::string sObs = Read(m_sObs);
    EXPECT_NE(sObs.find("> 2024 01 01 00 00 18.0000000  0  1\nG05 "), std::string::npos);
    EXPECT_EQ(sObs.find("G09"), std::string::npos);
}

// The dumps stand beside the outputs and hold each distinct ephemeris of the
// job once, as it stood in the source.
TEST_F(RangeToRinex, DumpsEachDistinctEphemerisOnceBesideTheOutputs)
{
    using namespace loggen;
    ASSERT_TRUE(QDir(m_Dir.path()).mkdir("out"));
    m_sObs = Path("out/site.obs");
    m_asNav[GNSS_SYSTEM_GPS] = Path("out/site.nav");
    m_asNav[GNSS_SYSTEM_GLONASS] = Path("out/site.glo");
    for (Form eForm : {Form::RangeText, Form::RangeBinary})
    {
        const bool bText = eForm == Form::RangeText;
        SourceFile src = GoldenSource(eForm);
        // Issue 3 of PRN 1, then issue 4, then issue 3 again: two records.
        const Bytes a = Record(MSG_ID_GPSEPHEM, kWeek, kDayMs + 5000, GpsEphemeris(1, kWeek, 93600.0, 4));
        const Bytes b = Record(MSG_ID_GPSEPHEM, kWeek, kDayMs + 6000, GpsEphemeris(1, kWeek, 93600.0, 3));
        bText ? src.Add(Text(a, FormatGpsEphem)) : src.Add(Binary(a));
        bText ? src.Add(Text(b, FormatGpsEphem)) : src.Add(Binary(b));
        Load(src, 304, 0);
        for (int nJob = 0; nJob < 2; ++nJob)
        {
            ASSERT_EQ(Run(Job(MSG_ID_RANGE)), CONVERT_OK);
            EXPECT_EQ(m_Counts.nEphemerides, 4u);
            const std::string sGps = Read(Path("out/GPSEPHEM.log"));
            const std::string sGlo = Read(Path("out/GLOEPHEM.log"));
            if (bText)
            {
                const Bytes first = Record(MSG_ID_GPSEPHEM, kWeek, kDayMs, GpsEphemeris(1, kWeek, 93600.0, 3));
                const Bytes g8 = Record(MSG_ID_GPSEPHEM, kWeek, kDayMs + 2000, GpsEphemeris(8, kWeek, 93600.0, 5));
                EXPECT_EQ(sGps, Text(first, FormatGpsEphem) + Text(g8, FormatGpsEphem) + Text(a, FormatGpsEphem));
                EXPECT_EQ(std::count(sGlo.begin(), sGlo.end(), '\n'), 1);
            }
            else
            {
                const Bytes wire = Binary(a);
                ASSERT_EQ(sGps.size(), 3 * wire.size());
                EXPECT_EQ(sGps.substr(2 * wire.size()), std::string(wire.begin(), wire.end()));
            }
            EXPECT_FALSE(Exists(Path("GPSEPHEM.log")));
        }
    }
}

TEST_F(RangeToRinex, DumpThatCannotBeWrittenGivesAStatus)
{
    ASSERT_TRUE(QDir(m_Dir.path()).mkdir("GPSEPHEM.log")); // a folder where the dump should go
    Load(GoldenSource(Form::RangeBinary), 304, 0);
    EXPECT_EQ(Run(Job(MSG_ID_RANGE)), CONVERT_EPHEM_DUMP_FAILED);
    EXPECT_EQ(m_Counts.nDumpFailures, 2u);
    // Everything else is written in full.
    EXPECT_EQ(m_Counts.nEpochsWritten, 5u);
    EXPECT_EQ(m_Counts.nEphemerides, 3u);
    EXPECT_EQ(CountRinex3Epochs(Read(m_sObs)), 5);
    EXPECT_TRUE(Exists(Path("GLOEPHEM.log")));
}

TEST_F(RangeToRinex, OutputThatCannotBeCreatedGivesItsStatus)
{
    Load(GoldenSource(Form::RangeBinary), 304, 0);
    struct Case
    {
        const char* pName;
        int nIndex; // -1 observation file, -2 source, else navigation system
        bool bMixed;
        int nStatus;
    };
    const Case cases[] = {
        {"source", -2, false, CONVERT_ERR_SOURCE},
        {"observation", -1, false, CONVERT_ERR_OBS_OUTPUT},
        {"GPS", GNSS_SYSTEM_GPS, false, CONVERT_ERR_GPS_NAV},
        {"GLONASS", GNSS_SYSTEM_GLONASS, false, CONVERT_ERR_GLO_NAV},
        {"mixed", GNSS_SYSTEM_GPS, true, CONVERT_ERR_GPS_NAV},
    };
    const std::string sMissing = Path("no-such-folder/file");
    for (const Case& c : cases)
    {
        RangeToRinexJob job = Job(MSG_ID_RANGE);
        job.bMixedNav = c.bMixed;
        if (c.nIndex == -2)
            job.pSrcPath = sMissing.c_str();
        else if (c.nIndex == -1)
            job.pObsPath = sMissing.c_str();
        else
            job.apNavPaths[c.nIndex] = sMissing.c_str();
        EXPECT_EQ(Run(job), c.nStatus) << c.pName;
    }
}

// A job that fails after it has written most of its files (the GLONASS
// navigation file cannot be created when its ephemeris comes, after every
// epoch), or that is stopped part-way, leaves the files of an earlier
// conversion at its paths as they were: observation, navigation and dump;
// nothing of its own stays beside them.
TEST_F(RangeToRinex, AFailedJobLeavesEarlierFilesAsTheyWere)
{
    using namespace loggen;
    SourceFile src;
    const uint32_t nEpochs = 600; // some blocks of the reader
    for (uint32_t k = 0; k < nEpochs; ++k)
    {
        if (k < 5)
            src.Add(Binary(Record(MSG_ID_GPSEPHEM, kWeek, kDayMs + k * 1000, GpsEphemeris(1, kWeek, 93600.0, 3 + k))));
        AddEpoch(src, Form::RangeBinary, Constellation(2, 1), kWeek, kDayMs + k * 1000, k);
    }
    src.Add(Binary(Record(MSG_ID_GLOEPHEMERIS, kWeek, kDayMs + 5000, GloEphemeris(1, 1, kWeek, kDayMs, 1))));
    Load(src, 304, 0);
    m_sObs = Path("site.24O");
    m_asNav[GNSS_SYSTEM_GPS] = Path("site.24N");
    const std::string asEarlier[] = {m_sObs, m_asNav[GNSS_SYSTEM_GPS], Path("GPSEPHEM.log")};
    for (const std::string& sPath : asEarlier)
    {
        SourceFile earlier;
        earlier.Add("from an earlier conversion\n");
        earlier.Write(sPath);
    }
    ASSERT_GT(src.Bytes().size(), 2u * LogSourceReader::BLOCK_SIZE);
    const std::string sMissing = Path("no-such-folder/site.24G");
    const std::string sGlo = Path("site.24G");
    struct Stop
    {
        int nReports = 0;
        static int AtTheSecondBlock(void* p, uint64_t) { return ++static_cast<Stop*>(p)->nReports == 2 ? 1 : 0; }
    };
    for (uint32_t nThreads : {1u, 4u})
    {
        SCOPED_TRACE(nThreads);
        RangeToRinexJob job = Job(MSG_ID_RANGE);
        job.apNavPaths[GNSS_SYSTEM_GLONASS] = sMissing.c_str();
        job.nThreads = nThreads;
        EXPECT_EQ(Run(job), CONVERT_ERR_GLO_NAV);
        EXPECT_EQ(m_Counts.nEpochsWritten, nEpochs);

        Stop stop;
        job.apNavPaths[GNSS_SYSTEM_GLONASS] = sGlo.c_str();
        job.pProgress = &Stop::AtTheSecondBlock;
        job.pProgressContext = &stop;
        EXPECT_EQ(Run(job), CONVERT_STOPPED);
        EXPECT_GT(m_Counts.nEpochsWritten, 0u);
        EXPECT_LT(m_Counts.nEpochsWritten, nEpochs);
        for (const std::string& sPath : asEarlier)
            EXPECT_EQ(Read(sPath), "from an earlier conversion\n") << sPath;
        EXPECT_EQ(QDir(m_Dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(' ').toStdString(),
                  "GPSEPHEM.log site.24N site.24O source.log");
    }
}

// An observation output that cannot go back (a pipe) gets the whole file,
// its header as written with the first epoch: the job does not fail on it
// once everything is written.
TEST_F(RangeToRinex, PipeOutputGetsTheWholeFile)
{
    Load(GoldenSource(Form::RangeBinary), 304, 0);
    ASSERT_EQ(Run(Job(MSG_ID_RANGE)), CONVERT_OK);
    const std::string sFile = Read(m_sObs);
    const std::string sPipe = Path("obs.pipe");
    ASSERT_EQ(::mkfifo(sPipe.c_str(), 0600), 0);
    std::string sPiped;
    std::thread reader([&] { sPiped = Read(sPipe); });
    RangeToRinexJob job = Job(MSG_ID_RANGE);
    job.pObsPath = sPipe.c_str();
    const int nStatus = Run(job);
    // A job that never opened the pipe must not leave the reader waiting.
    const int nFd = ::open(sPipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (nFd >= 0)
        ::close(nFd);
    reader.join();
    EXPECT_EQ(nStatus, CONVERT_OK);
    // The two differ in the last observation's time alone.
    auto lastObs = [](const std::string& s) { return s.substr(s.find("TIME OF LAST OBS") - 60, 77); };
    auto firstObs = [](const std::string& s) { return s.substr(s.find("TIME OF FIRST OBS") - 60, 43); };
    ASSERT_EQ(sPiped.size(), sFile.size());
    EXPECT_EQ(lastObs(sPiped).substr(0, 43), firstObs(sFile));
    EXPECT_NE(lastObs(sPiped), lastObs(sFile));
    std::string sRest = sPiped;
    sRest.replace(sRest.find("TIME OF LAST OBS") - 60, 77, lastObs(sFile));
    EXPECT_EQ(sRest, sFile);
}

TEST_F(RangeToRinex, WorkerRunsTheJobFromItsFields)
{
    Load(GoldenSource(Form::RangeCmpText), 211, 3);
    CWorkThread worker;
    *worker.Context().GetRinexObsHeader() = m_ObsHeader;
    *worker.Context().GetRinexNavHeader() = m_NavHeader;
    std::atomic<int> nStatus{1}, nReturns{0};
    std::atomic<qulonglong> nLastBytes{0};
    QObject::connect(
        &worker, &CWorkThread::Range2RnxReadDataLog, &worker, [&](qulonglong n) { nLastBytes = n; }, Qt::DirectConnection);
    QObject::connect(
        &worker, &CWorkThread::Range2RnxReturn, &worker,
        [&](int n)
        {
            nStatus = n;
            ++nReturns;
        },
        Qt::DirectConnection);
    worker.m_sSrcFilePath = QString::fromStdString(m_sSrc);
    worker.m_sObsFilePath = QString::fromStdString(m_sObs);
    worker.m_sGpsNavFilePath = QString::fromStdString(m_asNav[GNSS_SYSTEM_GPS]);
    worker.m_sGloNavFilePath = QString::fromStdString(m_asNav[GNSS_SYSTEM_GLONASS]);
    worker.m_sObsMsgName = "RANGECMP_1";
    worker.m_nSysMask = 1 | 2;
    worker.StartRange2Rnx();
    worker.start();
    for (int i = 0; i < 5000 && nReturns == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.RequestStop();
    worker.wait();
    EXPECT_EQ(nReturns.load(), 1);
    EXPECT_EQ(nStatus.load(), CONVERT_OK);
    EXPECT_EQ(nLastBytes.load(), QFileInfo(QString::fromStdString(m_sSrc)).size());
    EXPECT_EQ(worker.m_Range2RnxCounts.nEpochsWritten, 5u);
    EXPECT_EQ(worker.m_Range2RnxCounts.nRangeLogs, 5u);
    EXPECT_EQ(ReadTextFile(m_sObs).substr(0, 9), "     2.11");
    EXPECT_TRUE(Exists(m_asNav[GNSS_SYSTEM_GLONASS]));
}

// Only the wanted range kind gives epochs, and an epoch never appears twice.
TEST_F(RangeToRinex, WantedKindOnlyAndEachEpochOnce)
{
    SourceFile src;
    const auto sigs = loggen::Constellation(2, 0);
    for (uint32_t k = 0; k < 3; ++k)
    {
        AddEpoch(src, Form::RangeCmpBinary, sigs, kWeek, kDayMs + k * 1000, k);
        AddEpoch(src, Form::RangeText, sigs, kWeek, kDayMs + k * 1000, k);
        if (k == 1)
            AddEpoch(src, Form::RangeText, sigs, kWeek, kDayMs + k * 1000, k);
    }
    Load(src, 304, 0, 1);
    struct Case
    {
        uint16_t nId;
        uint32_t nRepeated;
    };
    for (const Case& c : {Case{MSG_ID_RANGE, 1}, Case{MSG_ID_RANGECMP, 0}, Case{0xFFFF, 4}})
    {
        ASSERT_EQ(Run(Job(c.nId, 1)), CONVERT_OK) << c.nId;
        EXPECT_EQ(m_Counts.nEpochsWritten, 3u) << c.nId;
        EXPECT_EQ(m_Counts.nEpochsRepeated, c.nRepeated) << c.nId;
        // RANGE keeps the millimetres that RANGECMP rounds to 1/128 m; with
        // any kind wanted, the first log of an epoch (here RANGECMP) holds.
        const std::string sObs = Read(m_sObs);
        EXPECT_EQ(sObs.find("23904038.580") != std::string::npos, c.nId == MSG_ID_RANGE) << c.nId;
    }
}

// A source that opens but cannot be read (here a folder) fails the job; it
// does not pass for a source without epochs.
TEST_F(RangeToRinex, SourceThatCannotBeReadGivesTheSourceStatus)
{
    Load(GoldenSource(Form::RangeBinary), 304, 0);
    RangeToRinexJob job = Job(MSG_ID_RANGE);
    job.pSrcPath = m_sDir.c_str();
    EXPECT_EQ(Run(job), CONVERT_ERR_SOURCE);
    EXPECT_FALSE(Exists(m_sObs));
}

// An output that opens but cannot be written (a full disk) gives the file's
// "could not be written" status, not the one of a path that cannot be opened.
TEST_F(RangeToRinex, OutputThatCannotBeWrittenGivesItsStatus)
{
    if (!Exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    Load(GoldenSource(Form::RangeBinary), 304, 0);
    RangeToRinexJob job = Job(MSG_ID_RANGE);
    job.pObsPath = "/dev/full";
    job.bMixedNav = false;
    SourceFile noEphemerides;
    for (uint32_t k = 0; k < 3; ++k)
        AddEpoch(noEphemerides, Form::RangeBinary, loggen::Constellation(2, 1), kWeek, kDayMs + k * 1000, k);
    noEphemerides.Write(m_sSrc);
    EXPECT_EQ(Run(job), CONVERT_ERR_OBS_WRITE);

    Load(GoldenSource(Form::RangeBinary), 304, 0);
    job = Job(MSG_ID_RANGE);
    job.apNavPaths[GNSS_SYSTEM_GLONASS] = "/dev/full";
    EXPECT_EQ(Run(job), CONVERT_ERR_GLO_NAV_WRITE);
}

// An epoch without a satellite of the chosen systems writes nothing, not
// even the header; the header then waits for the first epoch that has one.
TEST_F(RangeToRinex, ObservationHeaderWaitsForAnEpochWithObservations)
{
    using namespace loggen;
    SourceFile src;
    AddEpoch(src, Form::RangeBinary, Constellation(0, 2), kWeek, kDayMs, 0);
    src.Add(Binary(Record(MSG_ID_GPSEPHEM, kWeek, kDayMs, GpsEphemeris(1, kWeek, 93600.0, 3))));
    AddEpoch(src, Form::RangeBinary, Constellation(1, 2), kWeek, kDayMs + 1000, 1);
    Load(src, 304, 0, 1);
    ASSERT_EQ(Run(Job(MSG_ID_RANGE, 1)), CONVERT_OK);
    EXPECT_EQ(m_Counts.nEpochsEmpty, 1u);
    const std::string sObs = Read(m_sObs);
    EXPECT_EQ(sObs.substr(0, 80), "     3.04           OBSERVATION DATA    G                   RINEX VERSION / TYPE");
    EXPECT_EQ(EpochTimes(sObs), std::vector<std::string>{"> 2024 01 01 00 00 19.0000000"});
    EXPECT_EQ(Read(m_asNav[GNSS_SYSTEM_GPS]).substr(0, 80),
              "     3.04           N                   G                   RINEX VERSION / TYPE");
}
// A day at 10 s of every system as a receiver logs it: binary RANGECMP with
// RANGE and RANGECMP text among it, each ephemeris every 5 minutes, and the
// things that take the job's state from epoch to epoch: repeated epochs,
// coarse-time epochs, epochs of no system the file holds, slips (a lock time
// that starts again), a gap, an epoch a clock step puts 3 ms late, logs
// with a bad CRC and garbage.
SourceFile EveryGnssDay()
{
    using namespace loggen;
    const std::vector<Signal> sigs = EveryGnssConstellation();
    const std::vector<Signal> sbasOnly = {{TRACK_SYS_SBAS, 0, 133, 0}};
    SourceFile src;
    for (uint32_t k = 0; k < 8640; ++k)
    {
        // Logged on the receiver's 10 s marks of GPS time.
        const double dT = 10.0 * k;
        const uint32_t nMs = 86400000 + 10000 * k + (k % 409 == 7 ? 3 : 0);
        if (k % 30 == 0)
            AddEphemerides(sigs, kWeek, nMs, k / 720 + 1, [&src](const Bytes& b) { src.Add(b); });
        if (k >= 5000 && k < 5090)
            continue; // a gap of 15 minutes
        std::vector<RANGE_OBS_T> obs = Epoch(sigs, dT);
        if (k % 53 == 0)
            obs[(k / 53) % obs.size()].LockTime = 0.25f;
        const Bytes range = RangeRecord(kWeek, nMs, obs, MSG_ID_RANGE, k % 131 == 5 ? 20 : kFineSteering);
        if (k % 211 == 3)
            src.Add(Binary(RangeRecord(kWeek, nMs, Epoch(sbasOnly, dT))));
        else if (k % 5 == 1)
            src.Add(Text(range, FormatRange));
        else if (k % 11 == 2)
            src.Add(Text(RangeCmpRecord(range), FormatRangeCmp));
        else
        {
            Bytes cmp = Binary(RangeCmpRecord(range));
            if (k % 173 == 9)
                cmp[cmp.size() / 3] ^= 0x10;
            src.Add(cmp);
            if (k % 97 == 4)
                src.Add(cmp);
        }
        if (k % 401 == 11)
            src.Add("\x01\x02 noise \xAA\x44\x12\x1C #RANGEA,");
    }
    return src;
}

// The job on several threads writes the files of the job on one, byte for
// byte, and counts the same: on a day of every system, in RINEX 3.04 and
// 2.11, whole and sampled.
TEST_F(RangeToRinex, ParallelJobWritesWhatOneThreadWrites)
{
    Load(EveryGnssDay(), 304, 3, 1 | 2 | 4 | 8 | 32);
    const RinexObsHeader scanned304 = m_ObsHeader;
    m_ObsHeader = HeaderFromScan(211, m_Scan, 3, 1 | 2 | 4 | 8 | 32);
    const RinexObsHeader scanned211 = m_ObsHeader;
    struct Case
    {
        const RinexObsHeader* pHeader;
        bool bMixed;
        bool bSampled;
    };
    for (const Case& c : {Case{&scanned304, true, false}, Case{&scanned211, false, false}, Case{&scanned304, false, true}})
    {
        std::string asFiles[2];
        RangeToRinexCounts aCounts[2];
        for (uint32_t nRun = 0; nRun < 2; ++nRun)
        {
            // Each run beside its own ephemeris dumps.
            const std::string sDir = m_sDir + (nRun ? "threads/" : "one/");
            QDir().mkpath(QString::fromStdString(sDir));
            const std::string sObs = sDir + "out.obs";
            const char* apNames[GNSS_SYSTEM_COUNT] = {"out.nav", "out.glo", "out.gal", "out.bds", "", "out.qzs"};
            std::string asNav[GNSS_SYSTEM_COUNT];
            m_ObsHeader = *c.pHeader;
            RangeToRinexJob job = Job(LOG_ID_UNKNOWN, 1 | 2 | 4 | 8 | 32);
            job.pObsPath = sObs.c_str();
            for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            {
                asNav[s] = *apNames[s] ? sDir + apNames[s] : std::string();
                job.apNavPaths[s] = asNav[s].c_str();
            }
            job.bMixedNav = c.bMixed;
            if (c.bSampled)
            {
                job.bExtract = job.bDecimate = true;
                job.nStartWeek = job.nEndWeek = kWeek;
                job.nStartMs = kDayMs + 3 * 3600000;
                job.nEndMs = kDayMs + 20 * 3600000;
                job.dInterval = 30.0;
            }
            job.nThreads = nRun ? 4 : 1;
            ASSERT_EQ(Run(job), CONVERT_OK);
            aCounts[nRun] = m_Counts;
            for (const std::string& sPath : asNav)
                asFiles[nRun] += sPath.empty() ? "" : MaskDate(Read(sPath));
            for (const char* pDump : {"GPSEPHEM.log", "GLOEPHEM.log", "GALEPHEM.log", "BDSEPHEM.log", "QZSEPHEM.log"})
                asFiles[nRun] += Read(sDir + pDump);
            asFiles[nRun] = MaskDate(Read(sObs)) + asFiles[nRun];
        }
        EXPECT_TRUE(asFiles[0] == asFiles[1]) << "version " << c.pHeader->nVersion << (c.bSampled ? " sampled" : "");
        EXPECT_EQ(std::memcmp(&aCounts[0], &aCounts[1], sizeof aCounts[0]), 0);
        // The day holds what the job takes its state from.
        const RangeToRinexCounts& n = aCounts[0];
        EXPECT_GT(n.nEpochsWritten, c.bSampled ? 1900u : 8000u);
        EXPECT_GT(n.nEpochsRepeated + n.nEpochsFiltered, 0u);
        EXPECT_GT(n.nEpochsEmpty, 0u);
        EXPECT_GT(n.nEphemerides, 100u);
        EXPECT_GT(n.Source.nBadCrcLogs, 0u);
        EXPECT_TRUE(std::regex_search(asFiles[0], std::regex(R"(\.\d{3}1\d)"))) << "a loss of lock flagged";
    }
}
} // namespace
