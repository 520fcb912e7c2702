#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/range_logs.h"
#include "codec/signals.h"
#include "codec/text_helpers.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_obs_reader.h"
#include "converter/engine/rinex_readers.h"
#include "converter/engine/work_thread.h"
#include "reader_streams.h"
#include "rinex_check.h"

namespace
{
// One 16-column observation field; an empty text is a blank field.
std::string F(const char* pValue, char cLli = ' ', char cSsi = ' ')
{
    if (!*pValue)
        return std::string(16, ' ');
    char sz[20];
    std::snprintf(sz, sizeof sz, "%14s%c%c", pValue, cLli, cSsi);
    return sz;
}

std::string Trim(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s + "\n";
}

struct Epoch
{
    uint16_t nWeek;
    uint32_t nMs;
    std::vector<RANGE_OBS_T> Obs;

    const RANGE_OBS_T* Find(uint16_t nPrn, uint8_t nSystem, uint8_t nType) const
    {
        for (const RANGE_OBS_T& o : Obs)
            if (o.Prn == nPrn && TrackingStatusSystem(o.TrackingStatus) == nSystem &&
                TrackingStatusSignalType(o.TrackingStatus) == nType)
                return &o;
        return nullptr;
    }
};

std::vector<Epoch> DecodeLogs(const std::string& sLogs)
{
    std::vector<Epoch> epochs;
    size_t nPos = 0;
    while (nPos < sLogs.size())
    {
        const size_t nEnd = sLogs.find('\n', nPos);
        const std::string line = sLogs.substr(nPos, nEnd + 1 - nPos);
        nPos = nEnd + 1;
        std::vector<uint8_t> r(LOG_MAX_BINARY_LENGTH);
        int32_t n = 0;
        EXPECT_EQ(DecodeRangeText(line.data(), static_cast<int32_t>(line.size()), r.data(), &n), 1) << line;
        BinaryLogHeader h;
        std::memcpy(&h, r.data(), sizeof(h));
        uint32_t nObs = 0;
        std::memcpy(&nObs, r.data() + 28, 4);
        Epoch e{h.Week, h.Milliseconds, std::vector<RANGE_OBS_T>(nObs)};
        if (nObs)
            std::memcpy(e.Obs.data(), r.data() + 32, nObs * sizeof(RANGE_OBS_T));
        epochs.push_back(e);
    }
    return epochs;
}

class RinexObsReader : public ::testing::Test
{
protected:
    QTemporaryDir m_Dir;

    std::string Path(const char* pName) const { return m_Dir.path().toStdString() + "/" + pName; }

    // Reads RINEX text with the reader; the range logs it writes, decoded.
    // The context of the job; its leap value stands in for a header without one.
    CConvertContext m_Context;

    std::vector<Epoch> Read(const std::string& sRinex, int* pStatus = nullptr)
    {
        std::string s;
        const int nStatus = RunRinexReader(
            OpenTextStream(sRinex), [](FILE* f, CConvertContext* c) { return ConvertRinexObsToRange(f, 0, c); }, &s,
            &m_Context);
        if (pStatus)
            *pStatus = nStatus;
        else
            EXPECT_EQ(nStatus, 0);
        EXPECT_EQ(m_Context.GetRinexBytesRead(), sRinex.size());
        return DecodeLogs(s);
    }
};

// A RINEX 3.04 file the way other software writes it: lines trimmed of
// trailing blanks, a long name, two codes on one band (C1C and C1L, C2W and
// C2L, E1B and E1C), an event with header lines, an epoch of an unknown flag,
// and a last epoch that no line end closes.
std::string ThirdPartyRinex3()
{
    std::string s;
    s += H("     3.04           OBSERVATION DATA    M", "RINEX VERSION / TYPE");
    s += H("obsconv-13.4.3      Other Agency        20240101 010203 UTC", "PGM / RUN BY / DATE");
    s += H("ABMF", "MARKER NAME");
    s += H("G   14 C1C L1C D1C S1C C1L L1L C2W L2W C2L L2L C5Q L5Q S5Q", "SYS / # / OBS TYPES");
    s += H("       D5Q", "SYS / # / OBS TYPES");
    s += H("E    8 C1B L1B C1C L1C C5Q L5Q C7Q L7Q", "SYS / # / OBS TYPES");
    s += H("R    4 C1C L1C C2C L2C", "SYS / # / OBS TYPES");
    s += H("C    4 C2I L2I C7I L7I", "SYS / # / OBS TYPES");
    s += H("J    4 C1C L1C C2L L2L", "SYS / # / OBS TYPES");
    s += H("S    2 C1C L1C", "SYS / # / OBS TYPES");
    s += H("    30.000", "INTERVAL");
    s += H("  2024     1     1     0     0    0.0000000     GPS", "TIME OF FIRST OBS");
    s += H("  2 R03  5 R10 -7", "GLONASS SLOT / FRQ #");
    s += H("    18", "LEAP SECONDS");
    s += H("", "END OF HEADER");

    s += "> 2024 01 01 00 00  0.0000000  0  5\n";
    s += Trim("G05" + F("21000000.100", ' ', '7') + F("110355200.100", ' ', '7') + F("-1200.500") + F("47.000") +
              F("21000000.400", ' ', '7') + F("110355200.400", ' ', '7') + F("21000003.200") + F("85990000.200") +
              F("21000003.300") + F("85990000.300") + F("21000004.500") + F("82410000.500") + F("44.500") +
              F("-900.500"));
    s += Trim("E11" + F("23000000.100") + F("120865700.100") + F("23000000.200") + F("120865700.200") +
              F("23000002.500") + F("90260000.500") + F("23000002.700"));
    s += Trim("R03" + F("20000000.100") + F("107000000.100") + F("20000002.200") + F("83300000.200"));
    s += Trim("C30" + F("24000000.100") + F("124970000.100") + F("24000001.700") + F("96700000.700"));
    s += Trim("S25" + F("38000000.100") + F("199700000.100"));

    // An event: two header lines, then the data go on.
    s += "> 2024 01 01 00 00 30.0000000  4  2\n";
    s += H("receiver reset", "COMMENT");
    s += H("ABMF", "MARKER NAME");

    s += "> 2024 01 01 00 00 30.0000000  0  2\n";
    s += Trim("G05" + F("21000010.100", ' ', '7') + F("110355252.600", '1', '7') + F("") + F("") + F("21000010.400") +
              F("110355252.900") + F("21000013.200") + F("85990041.200") + F("21000013.300") + F("85990041.300") +
              F("21000014.500") + F("82410039.500"));
    s += Trim("J02" + F("38000000.100") + F("199700000.100") + F("38000002.200") + F("148000000.200"));

    s += "> 2024 01 01 00 01  0.0000000  9  1\n";
    s += Trim("G05" + F("21000020.100"));

    s += "> 2024 01 01 00 01 30.0000000  0  1\n";
    s += "G05" + F("21000030.100") + F("110355305.100") + F("") + F("") + F("21000030.400") + F("110355305.400") +
         F("21000033.200") + F("85990082.200");
    return s;
}

constexpr uint32_t kMsJan1 = 86400000; // 2024-01-01 00:00:00 GPS time in week 2295

void ExpectThirdPartyEpochs(const std::vector<Epoch>& epochs)
{
    ASSERT_EQ(epochs.size(), 3u) << "the event and the epoch of flag 9 give no log, the last epoch does";
    EXPECT_EQ(epochs[0].nWeek, 2295);
    EXPECT_EQ(epochs[0].nMs, kMsJan1) << "GPS time: no leap seconds added";
    EXPECT_EQ(epochs[1].nMs, kMsJan1 + 30000);
    EXPECT_EQ(epochs[2].nMs, kMsJan1 + 90000);

    // Each code its own signal: no value overwrites another.
    const Epoch& e0 = epochs[0];
    ASSERT_EQ(e0.Obs.size(), 5u + 4u + 2u + 2u) << "SBAS is not converted";
    struct Want
    {
        uint16_t nPrn;
        uint8_t nSystem;
        uint8_t nType;
        double dPsr;
        double dPhase;
    };
    const Want want[] = {
        {5, TRACK_SYS_GPS, 0, 21000000.100, 110355200.100},
        {5, TRACK_SYS_GPS, 16, 21000000.400, 110355200.400},
        {5, TRACK_SYS_GPS, 9, 21000003.200, 85990000.200},
        {5, TRACK_SYS_GPS, 17, 21000003.300, 85990000.300},
        {5, TRACK_SYS_GPS, 14, 21000004.500, 82410000.500},
        {11, TRACK_SYS_GALILEO, 1, 23000000.100, 120865700.100},
        {11, TRACK_SYS_GALILEO, 2, 23000000.200, 120865700.200},
        {40, TRACK_SYS_GLONASS, 0, 20000000.100, 107000000.100},
        {40, TRACK_SYS_GLONASS, 1, 20000002.200, 83300000.200},
        {30, TRACK_SYS_BEIDOU, 0, 24000000.100, 124970000.100},
        {30, TRACK_SYS_BEIDOU, 1, 24000001.700, 96700000.700},
    };
    for (const Want& w : want)
    {
        const RANGE_OBS_T* o = e0.Find(w.nPrn, w.nSystem, w.nType);
        ASSERT_NE(o, nullptr) << w.nPrn << " type " << int(w.nType);
        EXPECT_NEAR(+o->Psr, w.dPsr, 1e-6);
        EXPECT_NEAR(+o->Adr, -w.dPhase, 1e-6);
        EXPECT_TRUE(TrackingStatusPhaseLock(o->TrackingStatus));
    }
    const RANGE_OBS_T* l1 = e0.Find(5, TRACK_SYS_GPS, 0);
    EXPECT_NEAR(+l1->Doppler, -1200.5, 1e-3);
    EXPECT_NEAR(+l1->CNo, 47.0, 1e-3);
    EXPECT_NEAR(e0.Find(5, TRACK_SYS_GPS, 14)->CNo, 44.5, 1e-3);
    EXPECT_NEAR(e0.Find(5, TRACK_SYS_GPS, 14)->Doppler, -900.5, 1e-3);
    EXPECT_NEAR(e0.Find(5, TRACK_SYS_GPS, 16)->CNo, 42.0, 1e-3) << "no strength column: from the indicator";
    EXPECT_FALSE(TrackingStatusPhaseLock(e0.Find(11, TRACK_SYS_GALILEO, 17)->TrackingStatus)) << "C7Q without L7Q";
    EXPECT_EQ(e0.Find(40, TRACK_SYS_GLONASS, 0)->GloFreq, 12) << "channel +5 from GLONASS SLOT / FRQ #";
    for (const RANGE_OBS_T& o : e0.Obs)
        EXPECT_EQ(+o.LockTime, 0.0f);

    // Lock time grows by the time between the signal's epochs; the slip on L1C restarts it.
    const Epoch& e1 = epochs[1];
    EXPECT_EQ(e1.Find(5, TRACK_SYS_GPS, 0)->LockTime, 0.0f);
    EXPECT_EQ(e1.Find(5, TRACK_SYS_GPS, 9)->LockTime, 30.0f);
    ASSERT_NE(e1.Find(194, TRACK_SYS_QZSS, 0), nullptr) << "QZSS J02 is PRN 194";
    ASSERT_NE(e1.Find(194, TRACK_SYS_QZSS, 17), nullptr);
    const Epoch& e2 = epochs[2];
    EXPECT_EQ(e2.Find(5, TRACK_SYS_GPS, 0)->LockTime, 60.0f);
    EXPECT_EQ(e2.Find(5, TRACK_SYS_GPS, 9)->LockTime, 90.0f);
    EXPECT_EQ(e2.Obs.size(), 3u);
}

TEST_F(RinexObsReader, ThirdPartyRinex3FileConvertsInFull)
{
    const std::string sTrimmed = ThirdPartyRinex3();
    ExpectThirdPartyEpochs(Read(sTrimmed));
    // The same file with its lines padded to 80 columns and CR LF ends reads alike.
    std::string sPadded;
    size_t nPos = 0;
    while (nPos < sTrimmed.size())
    {
        size_t nEnd = sTrimmed.find('\n', nPos);
        if (nEnd == std::string::npos)
            nEnd = sTrimmed.size();
        std::string line = sTrimmed.substr(nPos, nEnd - nPos);
        if (line.size() < 80)
            line.resize(80, ' ');
        sPadded += line + "\r\n";
        nPos = nEnd + 1;
    }
    ExpectThirdPartyEpochs(Read(sPadded));
}

// A RINEX 2.10 observation file as other software writes it, one epoch of
// two satellites.
std::string ThirdPartyRinex2()
{
    std::string s;
    s += H("     2.10           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE");
    s += H("rnxgen 2.4          Survey Office       24-MAR-05 13:21", "PGM / RUN BY / DATE");
    s += H("     4    C1    L1    L2    P2", "# / TYPES OF OBSERV");
    s += H("  2005     3    24    13    10   36.0000000     GPS", "TIME OF FIRST OBS");
    s += H("", "END OF HEADER");
    s += " 05  3 24 13 10 36.0000000  0  2G12G09\n";
    s += Trim(F("23629347.915") + F("124172144.358", ' ', '8') + F("96757519.212") + F("23629364.158"));
    s += Trim(F("20891534.648") + F("109783413.011", ' ', '9') + F("85545490.830") + F("20891541.292"));
    return s;
}

// A RINEX 2 navigation file of one GPS-shaped record under the given first line.
std::string Rinex2Nav(const char* pVersionLine)
{
    std::string s = H(pVersionLine, "RINEX VERSION / TYPE");
    s += H("", "END OF HEADER");
    s += "12 05  3 24 14  0  0.0 1.500000000000D-04-3.410605131648D-12 0.000000000000D+00\n";
    for (int i = 0; i < 7; ++i)
        s += "    4.500000000000D+01-5.215625000000D+01 4.512345678000D-09 1.234567890100D+00\n";
    return s;
}

std::string Rinex2GlonassNav()
{
    std::string s;
    s += "     2.11           G: GLONASS NAV DATA                     RINEX VERSION / TYPE\n";
    s += H("", "END OF HEADER");
    s += " 7 05  3 24 14 15  0.0 1.200000000000D-05 1.818989403546D-12 8.610000000000D+04\n";
    s += "    1.234567812500D+04 2.012345678900D+00 9.313225746150D-10 0.000000000000D+00\n";
    s += "   -1.876543250000D+04-1.234567890000D+00-1.862645149230D-09 5.000000000000D+00\n";
    s += "    9.876543250000D+03 3.001500000000D+00 0.000000000000D+00 1.000000000000D+00\n";
    return s;
}

// The log names of a job's output, one per line.
std::vector<std::string> LogNames(const std::string& sLogs)
{
    std::vector<std::string> names;
    for (size_t nPos = 0; nPos < sLogs.size();)
    {
        const size_t nEnd = sLogs.find('\n', nPos);
        names.push_back(sLogs.substr(nPos + 1, sLogs.find(',', nPos) - nPos - 1));
        nPos = nEnd == std::string::npos ? sLogs.size() : nEnd + 1;
    }
    return names;
}

// The job reads a RINEX file whatever it is named: where the name gives no
// RINEX type (".obs", ".nav", ".txt", ".rnx" without a long name), the first
// header line does; where the name and the header disagree, the header wins
// and the debug log says so. A file that is not RINEX, or is RINEX of a type
// no reader takes, is of an unknown type.
TEST_F(RinexObsReader, JobTakesTheFileTypeFromTheHeader)
{
    struct Driver : CWorkThread
    {
        using CWorkThread::RunRnx2Range;
    };
    const std::string kRangeLog = "#RANGEA,COM1,0,80.0,FINESTEERING,2295,86400.000,02000000,5103,16248;0*00000000\n";
    const std::string kCompact = H("1.0                 COMPACT RINEX FORMAT", "CRINEX VERS   / TYPE") +
                                 H("rnxcmp 4.0", "CRINEX PROG / DATE") + ThirdPartyRinex2();
    const std::string kClock = H("     3.00           C                   G", "RINEX VERSION / TYPE") +
                               H("", "END OF HEADER") + "AS G05 2024 01 01 00 00  0.000000  1    1.5E-04\n";
    struct Case
    {
        const char* pName;
        std::string sText;
        int nStatus;
        const char* pFirstLog; // null: no output
        bool bNoted;           // name and header disagree
    };
    const Case cases[] = {
        {"07590920.05o", ThirdPartyRinex2(), CONVERT_OK, "RANGEA", false},
        {"site.obs", ThirdPartyRinex2(), CONVERT_OK, "RANGEA", false},
        {"site.txt", ThirdPartyRinex2(), CONVERT_OK, "RANGEA", false},
        {"site.rnx", ThirdPartyRinex3(), CONVERT_OK, "RANGEA", false},
        {"ABMF00GLP_R_20240010000_01D_30S_MO.rnx", ThirdPartyRinex3(), CONVERT_OK, "RANGEA", false},
        {"brdc.nav", Rinex2Nav("     2.10           N: GPS NAV DATA"), CONVERT_OK, "GPSEPHEMA", false},
        {"brdc.nav", Rinex2GlonassNav(), CONVERT_OK, "GLOEPHEMERISA", false},
        {"gal.nav", Rinex2Nav("     2.12           N: GNSS NAV DATA    E: GALILEO"), CONVERT_OK, "GALEPHEMERISA",
         false},
        // A RINEX 2 "N" file leaves Galileo and BeiDou to the name.
        {"site.05l", Rinex2Nav("     2.10           N: GPS NAV DATA"), CONVERT_OK, "GALEPHEMERISA", false},
        // Name and header disagree: the header is followed.
        {"site.05n", ThirdPartyRinex2(), CONVERT_OK, "RANGEA", true},
        {"brdc.05o", Rinex2Nav("     2.10           N: GPS NAV DATA"), CONVERT_OK, "GPSEPHEMA", true},
        {"brdc.05n", Rinex2GlonassNav(), CONVERT_OK, "GLOEPHEMERISA", true},
        {"site.05g", Rinex2Nav("     2.10           N: GPS NAV DATA"), CONVERT_OK, "GPSEPHEMA", true},
        {"X_GN.rnx", ThirdPartyRinex3(), CONVERT_OK, "RANGEA", true},
        {"site.05c", kClock, CONVERT_ERR_RINEX_TYPE, nullptr, true},
        {"site.05o", kCompact, CONVERT_ERR_RINEX_TYPE, nullptr, true},
        // Neither tells: an unknown type. A name that tells still decides for
        // a file without a RINEX header, which then fails to read.
        {"site.obs", kRangeLog, CONVERT_ERR_RINEX_TYPE, nullptr, false},
        {"notes.txt", "a text of no kind\n", CONVERT_ERR_RINEX_TYPE, nullptr, false},
        {"site.obs", kClock, CONVERT_ERR_RINEX_TYPE, nullptr, false},
        {"site.05o", kRangeLog, CONVERT_ERR_RINEX_READ, nullptr, false},
    };
    ASSERT_TRUE(QDir(m_Dir.path()).mkpath("DebugOutput"));
    SetCodecConfigDir(m_Dir.path().toLocal8Bit().constData());
    ASSERT_EQ(OpenDebugLog(), 1);
    size_t nLogSeen = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.pName) + ": " + c.sText.substr(0, 80));
        const std::string sSrc = Path(c.pName);
        FILE* f = std::fopen(sSrc.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(c.sText.data(), 1, c.sText.size(), f);
        std::fclose(f);
        std::remove(Path("out.log").c_str());
        Driver driver;
        driver.m_sSrcFilePath = QString::fromStdString(sSrc);
        driver.m_sOutFilePath = QString::fromStdString(Path("out.log"));
        EXPECT_EQ(driver.RunRnx2Range(), c.nStatus);
        if (c.pFirstLog)
        {
            const std::vector<std::string> names = LogNames(ReadTextFile(Path("out.log")));
            ASSERT_FALSE(names.empty());
            EXPECT_EQ(names.front(), c.pFirstLog);
        }
        else
            EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("out.log"))));
        FlushDebugLog();
        const std::string sLog = ReadTextFile(Path("DebugOutput/MoxelinLog.log"));
        const std::string sNote = sLog.substr(nLogSeen);
        nLogSeen = sLog.size();
        EXPECT_EQ(sNote.find(sSrc + ": its name gives") == 0, c.bNoted) << sNote;
    }
    CloseDebugLog();
    SetCodecConfigDir(nullptr);
    // The header's first observations of the RINEX 3 file come through whole.
    Driver driver;
    driver.m_sSrcFilePath = QString::fromStdString(Path("site.rnx"));
    driver.m_sOutFilePath = QString::fromStdString(Path("ABMF.log"));
    ASSERT_EQ(driver.RunRnx2Range(), CONVERT_OK);
    ExpectThirdPartyEpochs(DecodeLogs(ReadTextFile(Path("ABMF.log"))));
}

// The type letter of a RINEX name: the last letter of a short name, the
// letters before ".rnx" of a long one.
TEST(RinexSourceType, ShortAndLongNames)
{
    struct Case
    {
        const char* pName;
        char cType;
    };
    const Case cases[] = {
        {"site2440.24o", 'O'}, {"SITE2440.24O", 'O'}, {"site2440.24n", 'n'}, {"site2440.24G", 'G'},
        {"X_MO.rnx", 'O'},     {"X_GN.RNX", 'N'},     {"X_RN.rnx", 'N'},     {"X_MN.rnx", 'N'},
        {"X_MO.crx", 0},       {"X_MM.rnx", 0},       {"obs.rnx", 0},        {"site2440.24p", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RinexSourceType(c.pName, std::strlen(c.pName)), c.cType) << c.pName;
}

// A RINEX 2.11 file: 14 satellites with 7 types (a continued satellite list
// and two lines per satellite), C1 and P1 of one band, an event whose header
// lines change the types, cycle-slip records, an epoch of an unknown flag,
// and years of the 1990s.
TEST_F(RinexObsReader, Rinex2EventsAndFlagsKeepTheirEpochs)
{
    std::string s;
    s += H("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE");
    s += H("     7    C1    P1    L1    L2    P2    D1    S1", "# / TYPES OF OBSERV");
    s += H("  1999    12    31    23    59   30.0000000     GPS", "TIME OF FIRST OBS");
    s += H("", "END OF HEADER");
    s += " 99 12 31 23 59 30.0000000  0 14G01G02G03G04G05G06G07G08G09G10G11G12\n";
    s += "                                G13G14\n";
    for (int k = 1; k <= 14; ++k)
    {
        char c1[20], p1[20], l1[20];
        std::snprintf(c1, sizeof c1, "%.3f", 20000000.0 + 1000.0 * k);
        std::snprintf(p1, sizeof p1, "%.3f", 20000000.0 + 1000.0 * k + 0.75);
        std::snprintf(l1, sizeof l1, "%.3f", 105000000.0 + 5000.0 * k);
        s += Trim(F(c1) + F(p1) + F(l1) + F("81000000.250") + F("20000002.500"));
        s += Trim(F("-1500.250") + F("45.000"));
    }
    // The event changes the types; its three lines are no epoch.
    s += "                            4  3\n";
    s += H("     3    C1    L1    S1", "# / TYPES OF OBSERV");
    s += H("new types", "COMMENT");
    s += H("", "COMMENT");
    s += " 99 12 31 23 59 31.0000000  0  2G01 05\n";
    s += Trim(F("20001001.000") + F("105005001.000") + F("44.000"));
    s += Trim(F("20005001.000") + F("105025001.000") + F("43.000"));
    // Cycle-slip records have the shape of observations and convert to nothing.
    s += " 99 12 31 23 59 31.0000000  6  1G01\n";
    s += Trim(F("") + F("105005001.000", '1'));
    s += " 99 12 31 23 59 32.0000000  8  1G01\n";
    s += Trim(F("20002001.000"));
    s += " 00  1  1  0  0  0.0000000  0  1G01\n";
    s += Trim(F("20003001.000") + F("105015001.000") + F("42.000"));

    const std::vector<Epoch> epochs = Read(s);
    ASSERT_EQ(epochs.size(), 3u);
    EXPECT_EQ(epochs[0].nWeek, 1042);
    EXPECT_EQ(epochs[0].nMs, 518370000u) << "1999-12-31 23:59:30 GPS time";
    EXPECT_EQ(epochs[1].nMs, 518371000u);
    EXPECT_EQ(epochs[2].nWeek, 1042);
    EXPECT_EQ(epochs[2].nMs, 518400000u) << "2000-01-01 00:00:00";

    // Every satellite with L1 C/A from C1 (P1 has no range-log signal and
    // never takes C1's place) and L2 P(Y).
    ASSERT_EQ(epochs[0].Obs.size(), 28u);
    for (uint16_t k = 1; k <= 14; ++k)
    {
        const RANGE_OBS_T* l1 = epochs[0].Find(k, TRACK_SYS_GPS, 0);
        ASSERT_NE(l1, nullptr) << k;
        EXPECT_NEAR(+l1->Psr, 20000000.0 + 1000.0 * k, 1e-6);
        EXPECT_NEAR(+l1->Adr, -(105000000.0 + 5000.0 * k), 1e-6);
        EXPECT_NEAR(+l1->Doppler, -1500.25, 1e-3);
        EXPECT_NEAR(+l1->CNo, 45.0, 1e-3);
        const RANGE_OBS_T* l2 = epochs[0].Find(k, TRACK_SYS_GPS, 9);
        ASSERT_NE(l2, nullptr) << k;
        EXPECT_NEAR(+l2->Psr, 20000002.5, 1e-6);
        EXPECT_NEAR(+l2->Adr, -81000000.25, 1e-6);
    }
    // After the event the three new types hold.
    ASSERT_EQ(epochs[1].Obs.size(), 2u);
    EXPECT_NEAR(epochs[1].Find(5, TRACK_SYS_GPS, 0)->CNo, 43.0, 1e-3);
    EXPECT_EQ(epochs[1].Find(1, TRACK_SYS_GPS, 0)->LockTime, 1.0f);
    EXPECT_EQ(epochs[2].Find(1, TRACK_SYS_GPS, 0)->LockTime, 30.0f);
}

TEST_F(RinexObsReader, EpochTimesFollowTheFileTimeSystem)
{
    struct Case
    {
        const char* pVersionLine;
        const char* pTimeSystem;
        const char* pLeap; // LEAP SECONDS record, or null
        int32_t nEngineLeapMs;
        uint32_t nExpectedMs; // of 2024-01-01 00:00:00 in that time system
    };
    const Case cases[] = {
        {"     3.04           OBSERVATION DATA    G", "GPS", nullptr, 0, kMsJan1},
        {"     3.04           OBSERVATION DATA    E", "GAL", nullptr, 0, kMsJan1},
        {"     3.04           OBSERVATION DATA    C", "BDT", nullptr, 0, kMsJan1 + 14000},
        {"     3.04           OBSERVATION DATA    R", "GLO", "    18", 0, kMsJan1 + 18000},
        {"     3.04           OBSERVATION DATA    R", "UTC", nullptr, 18000, kMsJan1 + 18000},
        // RINEX 2 GLONASS files without a time system run on UTC.
        {"     2.11           OBSERVATION DATA    R", "", nullptr, 18000, kMsJan1 + 18000},
        {"     2.11           OBSERVATION DATA    G", "", nullptr, 18000, kMsJan1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.pVersionLine) + " " + c.pTimeSystem);
        const bool b3 = c.pVersionLine[5] == '3';
        const char cSys = c.pVersionLine[40];
        const std::string sSat = std::string(1, cSys) + "07";
        std::string s = H(c.pVersionLine, "RINEX VERSION / TYPE");
        if (b3)
            s += H(std::string(1, cSys) + (cSys == 'C' ? "    1 C2I" : "    1 C1C"), "SYS / # / OBS TYPES");
        else
            s += H("     1    C1", "# / TYPES OF OBSERV");
        s += H(std::string("  2024     1     1     0     0    0.0000000     ") + c.pTimeSystem, "TIME OF FIRST OBS");
        if (c.pLeap)
            s += H(c.pLeap, "LEAP SECONDS");
        s += H("", "END OF HEADER");
        if (b3)
            s += "> 2024 01 01 00 00  0.0000000  0  1\n" + sSat + F("22000000.000") + "\n";
        else
            s += " 24  1  1  0  0  0.0000000  0  1" + sSat + "\n" + F("22000000.000") + "\n";
        m_Context.SetLeapMs(c.nEngineLeapMs);
        const std::vector<Epoch> epochs = Read(s);
        ASSERT_EQ(epochs.size(), 1u);
        EXPECT_EQ(epochs[0].nWeek, 2295);
        EXPECT_EQ(epochs[0].nMs, c.nExpectedMs);
        EXPECT_EQ(epochs[0].Obs.size(), 1u);
    }
}

// GLONASS-only files run on UTC; without LEAP SECONDS the epochs take those of
// their own date (13 in 2005, 15 in 2009), not today's.
TEST_F(RinexObsReader, UtcEpochsWithoutLeapSecondsTakeThoseOfTheirDate)
{
    struct Case
    {
        const char* pVersionLine;
        const char* pFirstObs;
        const char* pEpoch;
        uint16_t nWeek;
        uint32_t nMs;
    };
    const Case cases[] = {
        {"     3.04           OBSERVATION DATA    R", "  2009     3     1     0     0    0.0000000     GLO",
         "> 2009 03 01 00 00  0.0000000  0  1\nR07", 1521, 15000},
        {"     2.11           OBSERVATION DATA    R", "  2005     6    15     8    30    0.0000000",
         " 05  6 15  8 30  0.0000000  0  1R07\n", 1327, 289813000},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pVersionLine);
        const bool b3 = c.pVersionLine[5] == '3';
        std::string s = H(c.pVersionLine, "RINEX VERSION / TYPE");
        s += b3 ? H("R    1 C1C", "SYS / # / OBS TYPES") : H("     1    C1", "# / TYPES OF OBSERV");
        s += H(c.pFirstObs, "TIME OF FIRST OBS");
        s += H("", "END OF HEADER");
        s += std::string(c.pEpoch) + F("22000000.000") + "\n";
        m_Context.SetLeapMs(18000); // an earlier job's value does not count
        const std::vector<Epoch> epochs = Read(s);
        m_Context.SetLeapMs(0);
        ASSERT_EQ(epochs.size(), 1u);
        EXPECT_EQ(epochs[0].nWeek, c.nWeek);
        EXPECT_EQ(epochs[0].nMs, c.nMs);
    }
}

// Another receiver's RINEX 2.10 file whose L1 and L2 phases have an arbitrary
// offset from the code range (L1 of 55 923 622 cycles beside a pseudorange of
// 130 M cycles) becomes RANGECMP logs with every phase, each shifted by whole
// 2^23-cycle roll-overs, the same for the whole arc.
TEST_F(RinexObsReader, OffsetPhasesBecomeRangeCmpShiftedByWholeRollOvers)
{
    const double kL1 = 299792458.0 / 1575.42e6, kL2 = 299792458.0 / 1227.60e6;
    std::string s;
    s += H("     2.10           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE");
    s += H("rnxq  2019Feb25     Other Agency        20090301 00:00:00UTC", "PGM / RUN BY / DATE");
    s += H("     5    C1    L1    L2    P2    S1", "# / TYPES OF OBSERV");
    s += H("    30.0000", "INTERVAL");
    s += H("  2009     3     1     0     0    0.0000000     GPS", "TIME OF FIRST OBS");
    s += H("", "END OF HEADER");
    std::vector<double> psr, l1, l2;
    for (int e = 0; e < 10; ++e)
    {
        const double range = 24738177.123 - 512.25 * 30.0 * e;
        psr.push_back(range);
        l1.push_back(55923622.456 - 512.25 * 30.0 * e / kL1);
        l2.push_back(-12345678.901 - 512.25 * 30.0 * e / kL2);
        char sz[3][20], line[40];
        std::snprintf(sz[0], sizeof sz[0], "%.3f", psr.back());
        std::snprintf(sz[1], sizeof sz[1], "%.3f", l1.back());
        std::snprintf(sz[2], sizeof sz[2], "%.3f", l2.back());
        std::snprintf(line, sizeof line, " 09  3  1  0 %2d %10.7f  0  1G05\n", e / 2, e % 2 ? 30.0 : 0.0);
        s += line;
        s += Trim(F(sz[0]) + F(sz[1], ' ', '7') + F(sz[2], ' ', '5') + F(sz[0]) + F("45.000"));
    }
    std::string sLogs;
    CompressedPhaseCounts phases;
    ASSERT_EQ(RunRinexReader(
                  OpenTextStream(s),
                  [&phases](FILE* f, CConvertContext* c) { return ConvertRinexObsToRange(f, 1, c, &phases); }, &sLogs),
              0);
    EXPECT_EQ(phases.nShifted, 20u);
    EXPECT_EQ(phases.nDropped, 0u);

    int64_t aShift[2] = {};
    size_t nPos = 0;
    for (int e = 0; e < 10; ++e)
    {
        const size_t nEnd = sLogs.find('\n', nPos);
        ASSERT_NE(nEnd, std::string::npos);
        const std::string line = sLogs.substr(nPos, nEnd + 1 - nPos);
        nPos = nEnd + 1;
        std::vector<uint8_t> cmp(LOG_MAX_BINARY_LENGTH), range(LOG_MAX_BINARY_LENGTH);
        int32_t nCmp = 0, nRange = 0;
        ASSERT_EQ(DecodeRangeCmpText(line.data(), static_cast<int32_t>(line.size()), cmp.data(), &nCmp), 1) << line;
        ASSERT_EQ(RangeCmpToRange(cmp.data(), nCmp, range.data(), static_cast<int32_t>(range.size()), &nRange), 1);
        uint32_t nObs = 0;
        std::memcpy(&nObs, range.data() + 28, 4);
        ASSERT_EQ(nObs, 2u);
        for (uint32_t k = 0; k < 2; ++k)
        {
            RANGE_OBS_T o;
            std::memcpy(&o, range.data() + 32 + k * sizeof(o), sizeof(o));
            SCOPED_TRACE(testing::Message() << "epoch " << e << " signal " << k);
            ASSERT_TRUE(TrackingStatusPhaseLock(o.TrackingStatus));
            const double dPhase = k == 0 ? l1[e] : l2[e];
            const double dRolls = (-o.Adr - dPhase) / RANGECMP_ADR_ROLL;
            const int64_t nRolls = std::llround(dRolls);
            EXPECT_NEAR(-o.Adr - dPhase, double(nRolls) * RANGECMP_ADR_ROLL, 0.5 / 256 + 1e-6);
            if (e == 0)
                aShift[k] = nRolls;
            EXPECT_EQ(nRolls, aShift[k]);
            EXPECT_NE(nRolls, 0);
            EXPECT_NEAR(+o.Psr, psr[e], 0.5 / 128 + 1e-6);
        }
    }
}

// Headers as other programs leave them: a stray short line without a label
// ("abc"), labels this reader does not know, several of them. The header runs
// to END OF HEADER and every observation of every epoch is read; a header
// without types of observation fails instead of giving empty logs.
TEST_F(RinexObsReader, StrayHeaderLinesArePassedOverAndMissingTypesFail)
{
    const std::string sUnknown = H("some value", "SOME OTHER RECORD") + H("x", "ANOTHER ONE") +
                                 H("y", "OBSERVER NOTE") + H("z", "EXTRA INFO") + "abc\n";
    std::string s2 = H("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE");
    s2 += "abc\n";
    s2 += H("     3    C1    L1    S1", "# / TYPES OF OBSERV");
    s2 += sUnknown;
    s2 += H("  2024     1     1     0     0    0.0000000     GPS", "TIME OF FIRST OBS");
    s2 += H("", "END OF HEADER");
    std::string s3 = H("     3.04           OBSERVATION DATA    G", "RINEX VERSION / TYPE");
    s3 += "abc\n";
    s3 += H("G    3 C1C L1C S1C", "SYS / # / OBS TYPES");
    s3 += sUnknown;
    s3 += H("", "END OF HEADER");
    for (int k = 0; k < 3; ++k)
    {
        char sz[64];
        std::snprintf(sz, sizeof sz, " 24  1  1  0  0 %2d.0000000  0  1G05\n", k);
        s2 += sz;
        s2 += Trim(F("21000000.125") + F("110355200.250") + F("45.000"));
        std::snprintf(sz, sizeof sz, "> 2024 01 01 00 00 %2d.0000000  0  1\n", k);
        s3 += sz;
        s3 += Trim("G05" + F("21000000.125") + F("110355200.250") + F("45.000"));
    }
    for (const std::string* pText : {&s2, &s3})
    {
        const std::vector<Epoch> epochs = Read(*pText);
        ASSERT_EQ(epochs.size(), 3u);
        for (const Epoch& e : epochs)
        {
            ASSERT_EQ(e.Obs.size(), 1u);
            EXPECT_NEAR(+e.Obs[0].Psr, 21000000.125, 1e-6);
            EXPECT_NEAR(+e.Obs[0].Adr, -110355200.25, 1e-6);
            EXPECT_NEAR(+e.Obs[0].CNo, 45.0, 1e-3);
        }
    }

    for (const char* pVersion :
         {"     2.11           OBSERVATION DATA    G (GPS)", "     3.04           OBSERVATION DATA    G"})
    {
        std::string s = H(pVersion, "RINEX VERSION / TYPE") + "abc\n" + H("", "END OF HEADER");
        s += "> 2024 01 01 00 00  0.0000000  0  1\n" + Trim("G05" + F("21000000.125"));
        int nStatus = 0;
        EXPECT_TRUE(Read(s, &nStatus).empty()) << pVersion;
        EXPECT_EQ(nStatus, RINEX_READ_NO_TYPES) << pVersion;
    }
}

TEST_F(RinexObsReader, NoHeaderIsAFailure)
{
    int nStatus = 0;
    EXPECT_TRUE(Read("", &nStatus).empty());
    EXPECT_EQ(nStatus, RINEX_READ_NO_HEADER);
    EXPECT_TRUE(
        Read(H("     3.04           NAVIGATION DATA     G", "RINEX VERSION / TYPE") + H("", "END OF HEADER"), &nStatus)
            .empty());
    EXPECT_EQ(nStatus, RINEX_READ_NO_HEADER);
}

TEST_F(RinexObsReader, ASourceThatFailsPartWayIsAFailure)
{
    const auto read = [](FILE* f, CConvertContext* c) { return ConvertRinexObsToRange(f, 0, c); };
    std::string s;
    EXPECT_EQ(RunRinexReader(OpenFailingStream(ThirdPartyRinex3()), read, &s), RINEX_READ_SOURCE_FAILED);
}

// One epoch at a time through the reader's entry points, as the file loop
// drives them: parse, then encode, then write to the job's stream.
TEST(RinexObsEpochEntryPoints, ParseThenEncodeEachEpoch)
{
    std::string h;
    h += H("     3.04           OBSERVATION DATA    M", "RINEX VERSION / TYPE");
    h += H("G    2 C1C L1C", "SYS / # / OBS TYPES");
    h += H("R    2 C1C L1C", "SYS / # / OBS TYPES");
    h += H("C    2 C2I L2I", "SYS / # / OBS TYPES");
    h += H("  2024     1     1     0     0    0.0000000     GPS", "TIME OF FIRST OBS");
    h += H("", "END OF HEADER");
    const std::string sEpoch = "> 2024 01 01 00 00  0.0000000  0  3\n" +
                               Trim("G05" + F("21000000.100") + F("110355200.100")) +
                               Trim("R05" + F("20000000.100") + F("107000000.100")) +
                               Trim("C01" + F("24000000.100") + F("")) + "> 2024 01 01 00 00 30.0000000  0  1\n";

    for (uint32_t nStyle : {2u, 1u})
    {
        SCOPED_TRACE(nStyle);
        CConvertContext context;
        context.SetBdsEphemStyle(nStyle);
        RinexObsEpochReaderPtr pReader = NewRinexObsEpochReader(h.data(), uint32_t(h.size()), &context);
        ASSERT_NE(pReader, nullptr);
        ASSERT_EQ(ParseRinexObsEpoch3(sEpoch.data(), uint32_t(sEpoch.size()), pReader.get()), 0u);
        std::vector<char> text(65536);
        const int32_t n = EncodeRangeLog(pReader.get(), text.data(), uint32_t(text.size()));
        ASSERT_GT(n, 0);
        const std::vector<Epoch> epochs = DecodeLogs(std::string(text.data(), size_t(n)));
        ASSERT_EQ(epochs.size(), 1u);
        EXPECT_EQ(epochs[0].nMs, kMsJan1);
        ASSERT_EQ(epochs[0].Obs.size(), 3u) << "the next epoch line ends the epoch";
        EXPECT_NE(epochs[0].Find(5, TRACK_SYS_GPS, 0), nullptr);
        EXPECT_NE(epochs[0].Find(42, TRACK_SYS_GLONASS, 0), nullptr) << "R05 is satellite ID 42";
        const RANGE_OBS_T* b1 = nullptr;
        for (const RANGE_OBS_T& o : epochs[0].Obs)
            if (TrackingStatusSystem(o.TrackingStatus) == TRACK_SYS_BEIDOU)
                b1 = &o;
        ASSERT_NE(b1, nullptr);
        EXPECT_EQ(b1->Prn, nStyle == 2 ? 1 : 191) << "C01 is PRN 1, or 191 in the legacy numbering";
        // A blank carrier phase: no phase lock and no lock time.
        EXPECT_FALSE(TrackingStatusPhaseLock(b1->TrackingStatus));
        EXPECT_EQ(b1->LockTime, 0.0f);
        EXPECT_TRUE(TrackingStatusPhaseLock(epochs[0].Find(5, TRACK_SYS_GPS, 0)->TrackingStatus));

        const int32_t nCmp = EncodeRangeCmpLog(pReader.get(), text.data(), uint32_t(text.size()));
        ASSERT_GT(nCmp, 0);
        std::vector<uint8_t> log(LOG_MAX_BINARY_LENGTH);
        int32_t nLog = 0;
        ASSERT_EQ(DecodeRangeCmpText(text.data(), nCmp, log.data(), &nLog), 1);
        uint32_t nCmpObs = 0;
        std::memcpy(&nCmpObs, log.data() + LOG_HEADER_LENGTH, 4);
        EXPECT_EQ(nCmpObs, 3u);
        // The folded phase is the carrier phase plus the pseudorange's whole
        // roll-overs, in 1/256 cycle.
        RANGECMP_OBS_T cmp;
        std::memcpy(&cmp, log.data() + LOG_HEADER_LENGTH + 4, sizeof cmp);
        const RANGE_OBS_T& g05 = *epochs[0].Find(5, TRACK_SYS_GPS, 0);
        ASSERT_EQ(cmp.Prn, 5);
        const double dRolls = PhaseMetresFromCycles(g05.TrackingStatus, g05.Prn, g05.GloFreq, g05.Psr);
        EXPECT_NEAR(cmp.FoldedAdr / 256.0, dRolls * RANGECMP_ADR_ROLL + g05.Adr, 1.0 / 256);
    }

    // An event with two header lines changes the header and gives no log; an
    // unknown flag is refused; a RINEX 2 epoch goes to the job's stream.
    CConvertContext context;
    RinexObsEpochReaderPtr pReader = NewRinexObsEpochReader(h.data(), uint32_t(h.size()), &context);
    ASSERT_NE(pReader, nullptr);
    const std::string sEvent = "> 2024 01 01 00 00 30.0000000  4  2\n" +
                               H("G    3 C1C L1C S1C", "SYS / # / OBS TYPES") + H("after reset", "COMMENT");
    EXPECT_EQ(ParseRinexObsEpoch3(sEvent.data(), uint32_t(sEvent.size()), pReader.get()), 0u);
    EXPECT_EQ(RinexObsReaderHeader(pReader.get())->Systems[GNSS_SYSTEM_GPS].nTypeCount, 3u);
    char buf[4096];
    EXPECT_EQ(EncodeRangeLog(pReader.get(), buf, sizeof buf), 0);
    const std::string sUnknown = "> 2024 01 01 00 01  0.0000000  8  1\n" + Trim("G05" + F("21000020.100"));
    EXPECT_EQ(ParseRinexObsEpoch3(sUnknown.data(), uint32_t(sUnknown.size()), pReader.get()), RINEX_EPOCH_UNKNOWN_FLAG);

    std::string h2;
    h2 += H("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE");
    h2 += H("     2    C1    L1", "# / TYPES OF OBSERV");
    h2 += H("", "END OF HEADER");
    FILE* pOut = std::tmpfile();
    context.SetRinexToLogFile(pOut);
    RinexObsEpochReaderPtr p2 = NewRinexObsEpochReader(h2.data(), uint32_t(h2.size()), &context);
    ASSERT_NE(p2, nullptr);
    const std::string sEpoch2 = " 24  1  1  0  0  0.0000000  0  1G05\n" + Trim(F("21000000.100") + F(""));
    ASSERT_EQ(ParseRinexObsEpoch2(sEpoch2.data(), uint32_t(sEpoch2.size()), p2.get()), 0u);
    ASSERT_EQ(EncodeRangeEpoch(p2.get(), 0), 0);
    ASSERT_EQ(context.GetRinexToLogFile(), pOut);
    std::string written(size_t(std::ftell(pOut)), '\0');
    std::rewind(pOut);
    ASSERT_EQ(std::fread(&written[0], 1, written.size(), pOut), written.size());
    std::fclose(pOut);
    const std::vector<Epoch> e2 = DecodeLogs(written);
    ASSERT_EQ(e2.size(), 1u);
    ASSERT_EQ(e2[0].Obs.size(), 1u);
    EXPECT_FALSE(TrackingStatusPhaseLock(e2[0].Obs[0].TrackingStatus));
    EXPECT_EQ(e2[0].Obs[0].LockTime, 0.0f);
    EXPECT_EQ(NewRinexObsEpochReader(h.data(), 20, &context), nullptr) << "no header in the text";
}

TEST(ObsCodeToSignalCode, ReadsEachCodeAsTheSignalTheWriterWritesForIt)
{
    struct Case
    {
        int32_t nVersion;
        const char* pCode;
        uint32_t nSystem;
        uint32_t nSignal;
    };
    const Case cases[] = {
        {304, "1C", GNSS_SYSTEM_GPS, GPSL1CA},     {304, "1L", GNSS_SYSTEM_GPS, GPSL1CP},
        {304, "1X", GNSS_SYSTEM_GPS, GPSL1CX},     {304, "2W", GNSS_SYSTEM_GPS, GPSL2W},
        {304, "2L", GNSS_SYSTEM_GPS, GPSL2CL},     {304, "2S", GNSS_SYSTEM_GPS, GPSL2CM},
        {304, "5X", GNSS_SYSTEM_GPS, GPSL5X},      {304, "1C", GNSS_SYSTEM_GLONASS, GLOL1CA},
        {304, "3Q", GNSS_SYSTEM_GLONASS, GLOL3Q},  {304, "1B", GNSS_SYSTEM_GALILEO, GALE1B},
        {304, "1C", GNSS_SYSTEM_GALILEO, GALE1C},  {304, "7Q", GNSS_SYSTEM_GALILEO, GALE5BQ},
        {304, "2I", GNSS_SYSTEM_BDS, BDSB1I},      {302, "1I", GNSS_SYSTEM_BDS, BDSB1I},
        {302, "2I", GNSS_SYSTEM_BDS, BDSB1I},      {304, "1P", GNSS_SYSTEM_BDS, BDSB1CP},
        {304, "1C", GNSS_SYSTEM_QZSS, 5},          {304, "2S", GNSS_SYSTEM_QZSS, 525},
        {304, "9Z", GNSS_SYSTEM_GPS, 0xFFFFFFFFu}, {304, "1C", GNSS_SYSTEM_SBAS, 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ObsCodeToSignalCode(c.nVersion, c.pCode, c.nSystem), c.nSignal)
            << c.nVersion << " " << c.pCode << " " << c.nSystem;
}
} // namespace
