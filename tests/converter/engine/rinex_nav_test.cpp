#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "converter/engine/rinex_nav.h"
#include "ephem_samples.h"
#include "rinex_check.h"
#include "rinex_fixture.h"

namespace
{
// A binary ephemeris log: header, then body.
template <typename Body>
std::vector<uint8_t> Log(uint16_t nId, const Body& body, uint16_t nWeek = 2295, uint32_t nMs = 86500000)
{
    BinaryLogHeader hdr{};
    hdr.Sync[0] = 0xAA;
    hdr.Sync[1] = 0x44;
    hdr.Sync[2] = 0x12;
    hdr.HeaderLength = 28;
    hdr.MessageId = nId;
    hdr.MessageLength = sizeof(Body);
    hdr.Week = nWeek;
    hdr.Milliseconds = nMs;
    std::vector<uint8_t> log(sizeof(hdr) + sizeof(Body));
    std::memcpy(log.data(), &hdr, sizeof(hdr));
    std::memcpy(log.data() + sizeof(hdr), &body, sizeof(Body));
    return log;
}

GPSEPHEM_BODY_T GpsEphem(uint32_t nPrn)
{
    GPSEPHEM_BODY_T e = SampleGpsEphem(nPrn, 86400.0);
    e.Iodc = 45;
    e.UraVariance = 4.0;
    return e;
}

GLOEPHEMERIS_BODY_T GloEphem() { return SampleGloEphem(); }

GALEPHEMERIS_BODY_T GalEphem()
{
    GALEPHEMERIS_BODY_T e = SampleGalEphem(86400);
    e.INavAf1 = 1.2e-11;
    e.FNavToc = 99999; // must not be used
    e.BgdE1E5a = 2.3e-9;
    e.BgdE1E5b = 2.5e-9;
    return e;
}

BDSEPHEMERIS_BODY_T BdsEphem()
{
    BDSEPHEMERIS_BODY_T e{};
    e.SatId = 6;
    e.Week = 939; // GPS week 2295
    e.Ura = 2.4;
    e.Health1 = 0;
    e.Tgd1 = 1.5e-8;
    e.Tgd2 = -2.1e-9;
    e.Aodc = 1;
    e.Toc = 86400;
    e.A0 = 2.5e-4;
    e.A1 = 4.1e-11;
    e.Aode = 1;
    e.Toe = 86400;
    e.RootA = 6493.51234567;
    e.Ecc = 0.0034;
    e.Omega = -2.1;
    e.DeltaN = 1.1e-9;
    e.M0 = 0.3;
    e.Omega0 = -1.1;
    e.OmegaDot = -1.9e-9;
    e.I0 = 0.95;
    e.IDot = 1e-10;
    e.Cuc = 1e-6;
    e.Cus = 2e-6;
    e.Crc = 150.0;
    e.Crs = 20.0;
    e.Cic = 3e-8;
    e.Cis = 4e-8;
    return e;
}

struct SystemRecord
{
    char cSystem;
    std::vector<uint8_t> log;
    RinexNavFormatFn pFormat;
};

std::vector<SystemRecord> AllSystems()
{
    return {
        {'G', Log(MSG_ID_GPSEPHEM, GpsEphem(5)), FormatRinexGpsNav},
        {'R', Log(MSG_ID_GLOEPHEMERIS, GloEphem()), FormatRinexGloNav},
        {'E', Log(MSG_ID_GALEPHEMERIS, GalEphem()), FormatRinexGalNav},
        {'C', Log(MSG_ID_BDSEPHEMERIS, BdsEphem()), FormatRinexBdsNav},
        {'J', Log(MSG_ID_QZSSEPHEMERIS, GpsEphem(193)), FormatRinexQzssNav},
    };
}

std::string Record(const SystemRecord& r, int32_t nVersion)
{
    std::vector<char> buf(RINEX_NAV_TEXT_CAPACITY);
    const int n = r.pFormat(r.log.data(), static_cast<uint32_t>(r.log.size()), nVersion, buf.data(),
                            static_cast<uint32_t>(buf.size()));
    EXPECT_GT(n, 0) << r.cSystem;
    return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
}

// The values each record must carry, in RINEX order (spares left out), as the
// RINEX definitions list them for the system.
std::vector<double> ExpectedValues(char cSystem, int32_t nVersion)
{
    switch (cSystem)
    {
    case 'G':
    case 'J':
    {
        const GPSEPHEM_BODY_T e = GpsEphem(5);
        const bool bQ = cSystem == 'J';
        return {e.Af0,          e.Af1, e.Af2,          45,       e.Crs, e.DeltaN, e.M0,  e.Cuc,   e.Ecc,      e.Cus,
                std::sqrt(e.A), e.Toe, e.Cic,          e.Omega0, e.Cis, e.I0,     e.Crc, e.Omega, e.OmegaDot, e.IDot,
                bQ ? 2.0 : 1.0, 2295,  bQ ? 1.0 : 0.0, 2.0,      0,     e.Tgd,    45,    86370,   0};
    }
    case 'R':
    {
        const GLOEPHEMERIS_BODY_T e = GloEphem();
        // Message frame time 00:14:30 UTC: seconds of the day, or of the week (Monday).
        return {1.2e-5,
                e.GammaN,
                nVersion >= 300 ? 86400.0 + 870.0 : 870.0,
                e.PosX / 1000,
                e.VelX / 1000,
                e.AccX / 1000,
                0,
                e.PosY / 1000,
                e.VelY / 1000,
                e.AccY / 1000,
                5,
                e.PosZ / 1000,
                e.VelZ / 1000,
                e.AccZ / 1000,
                1};
    }
    case 'E':
    {
        const GALEPHEMERIS_BODY_T e = GalEphem();
        // Health: E1-B data valid bit 0, E5b health 2 in bits 7-8; SISA index 107 is 3.12 m.
        return {e.INavAf0,  e.INavAf1, e.INavAf2, 77,    e.Crs,    e.DeltaN,     e.M0,       e.Cuc,      e.Ecc,
                e.Cus,      e.RootA,   86400,     e.Cic, e.Omega0, e.Cis,        e.I0,       e.Crc,      e.Omega,
                e.OmegaDot, e.IDot,    517,       2295,  3.12,     1 + (2 << 7), e.BgdE1E5a, e.BgdE1E5b, 86400};
    }
    case 'C':
    {
        const BDSEPHEMERIS_BODY_T e = BdsEphem();
        return {e.A0,    e.A1,  e.A2,  1,        e.Crs, e.DeltaN, e.M0,   e.Cuc,   e.Ecc,      e.Cus,
                e.RootA, 86400, e.Cic, e.Omega0, e.Cis, e.I0,     e.Crc,  e.Omega, e.OmegaDot, e.IDot,
                0,       939,   0,     e.Ura,    0,     e.Tgd1,   e.Tgd2, 86400,   1};
    }
    default:
        return {};
    }
}

std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += x + "\n";
    return s;
}

std::string NavHeader(RinexObsHeader* pObs, const RinexNavHeader& nav, uint32_t nUse, char cSystem)
{
    std::vector<char> buf(RINEX_NAV_TEXT_CAPACITY);
    const int n = FormatRinexNavHeader(pObs, &nav, nUse, cSystem, buf.data(), static_cast<uint32_t>(buf.size()));
    EXPECT_GT(n, 0);
    return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
}

std::string LineOf(const std::string& sText, const std::string& sLabel)
{
    const size_t nAt = sText.find(sLabel);
    if (nAt == std::string::npos)
        return std::string();
    const size_t nStart = sText.rfind('\n', nAt);
    return sText.substr(nStart == std::string::npos ? 0 : nStart + 1, 80);
}

RinexNavHeader SourceNavHeader()
{
    RinexNavHeader nav{};
    const double alpha[] = {1.1176e-8, 7.4506e-9, -5.9605e-8, -5.9605e-8};
    const double beta[] = {90112.0, 0.0, -196608.0, -65536.0};
    for (int i = 0; i < 4; ++i)
    {
        nav.aIonAlpha[i] = alpha[i];
        nav.aIonBeta[i] = beta[i];
    }
    nav.dA0 = -9.3132257462e-10;
    nav.dA1 = -1.776356839e-15;
    nav.nRefTime = 405504;
    nav.nRefWeek = 2294;
    nav.nLeapSeconds = 18;
    nav.nFutureLeapSeconds = 18;
    nav.nLeapWeek = 1929;
    nav.nLeapDay = 7;
    std::strcpy(nav.szProgram, "NavWindow");
    std::strcpy(nav.szAgency, "NavAgency");
    return nav;
}
} // namespace

class NavRecordLayouts : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(NavRecordLayouts, EverySystemFieldByFieldAndGolden)
{
    const int32_t nVersion = GetParam();
    std::string sAll;
    for (const SystemRecord& r : AllSystems())
    {
        SCOPED_TRACE(std::string(1, r.cSystem));
        const std::string s = Record(r, nVersion);
        std::vector<std::vector<double>> values;
        const std::vector<std::string> errors = CheckNavRecords(s, nVersion, r.cSystem, &values);
        EXPECT_TRUE(errors.empty()) << Joined(errors) << s;
        ASSERT_EQ(values.size(), 1u) << s;
        const std::vector<double> expected = ExpectedValues(r.cSystem, nVersion);
        ASSERT_EQ(values[0].size(), expected.size()) << s;
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_NEAR(values[0][i], expected[i], std::fabs(expected[i]) * 1e-12) << "value " << i + 1 << "\n" << s;
        sAll += s;
    }
    ExpectGolden("nav_records_" + std::to_string(nVersion) + ".rnx", sAll);
}

INSTANTIATE_TEST_SUITE_P(Versions, NavRecordLayouts, ::testing::Values(211, 304));

TEST(NavRecord, EpochLinesOfBothLayouts)
{
    const std::vector<SystemRecord> all = AllSystems();
    struct Case
    {
        size_t nSystem;
        int32_t nVersion;
        const char* pEpoch;
    };
    const Case cases[] = {
        {0, 211, " 5 24  1  1  0  0  0.0"},  {0, 302, "G05 2024 01 01 00 00 00"}, {1, 211, " 7 24  1  1  0 15  0.0"},
        {1, 302, "R07 2024 01 01 00 15 00"}, {2, 304, "E11 2024 01 01 00 00 00"}, {3, 304, "C06 2024 01 01 00 00 00"},
        {4, 304, "J01 2024 01 01 00 00 00"}, {4, 211, " 1 24  1  1  0  0  0.0"},
    };
    for (const Case& c : cases)
    {
        const std::string s = Record(all[c.nSystem], c.nVersion);
        EXPECT_EQ(s.substr(0, std::strlen(c.pEpoch)), c.pEpoch) << c.nVersion;
        // Orbit lines: 3X (RINEX 2) or 4X (RINEX 3), then the D19.12 fields.
        const size_t nOrbit = s.find('\n') + 1;
        const std::string sOrbit = s.substr(nOrbit, s.find('\n', nOrbit) - nOrbit);
        EXPECT_TRUE(std::regex_match(sOrbit, std::regex(c.nVersion >= 300 ? "    (  ?-?\\.[0-9]{12}D[-+][0-9]{2}){4}"
                                                                          : "   (  ?-?\\.[0-9]{12}D[-+][0-9]{2}){4}")))
            << sOrbit;
    }
}

TEST(NavRecord, TimeFieldsCrossWeekBoundaries)
{
    // A GLONASS ephemeris just after the GPS week began lies in the week before in UTC.
    GLOEPHEMERIS_BODY_T glo = GloEphem();
    glo.EphTime = 5000;
    glo.Tk = 10800 + 86400 - 60; // 23:59:00 UTC
    const std::vector<uint8_t> log = Log(MSG_ID_GLOEPHEMERIS, glo);
    char buf[2048];
    ASSERT_GT(FormatRinexGloNav(log.data(), static_cast<uint32_t>(log.size()), 304, buf, sizeof(buf)), 0);
    EXPECT_EQ(std::string(buf, 23), "R07 2023 12 30 23 59 47");
    std::vector<std::vector<double>> values;
    CheckNavRecords(buf, 304, 'R', &values);
    EXPECT_DOUBLE_EQ(values.at(0).at(2), 604800.0 - 60.0); // frame time: Saturday 23:59:00 UTC

    // A BeiDou toc in the next week than its toe is counted in that week.
    BDSEPHEMERIS_BODY_T bds = BdsEphem();
    bds.Toe = 604500;
    bds.Toc = 300;
    const std::vector<uint8_t> bdsLog = Log(MSG_ID_BDSEPHEMERIS, bds);
    ASSERT_GT(FormatRinexBdsNav(bdsLog.data(), static_cast<uint32_t>(bdsLog.size()), 304, buf, sizeof(buf)), 0);
    EXPECT_EQ(std::string(buf, 23), "C06 2024 01 07 00 05 00");

    // Galileo takes the week from the log's own time.
    GALEPHEMERIS_BODY_T gal = GalEphem();
    gal.INavToc = 604200;
    const std::vector<uint8_t> galLog = Log(MSG_ID_GALEPHEMERIS, gal, 2296, 1000);
    ASSERT_GT(FormatRinexGalNav(galLog.data(), static_cast<uint32_t>(galLog.size()), 304, buf, sizeof(buf)), 0);
    EXPECT_EQ(std::string(buf, 23), "E11 2024 01 06 23 50 00");
}

TEST(NavRecord, LogsThatCannotMakeARecord)
{
    char buf[2048];
    std::vector<uint8_t> gps = Log(MSG_ID_GPSEPHEM, GpsEphem(5));
    EXPECT_EQ(FormatRinexGpsNav(gps.data(), static_cast<uint32_t>(gps.size() - 1), 304, buf, sizeof(buf)), -1);
    EXPECT_EQ(FormatRinexGpsNav(nullptr, 0, 304, buf, sizeof(buf)), -1);
    EXPECT_EQ(FormatRinexGpsNav(gps.data(), static_cast<uint32_t>(gps.size()), 304, buf, 100), -1);
    // A Galileo ephemeris without either clock set has no record to give.
    GALEPHEMERIS_BODY_T gal = GalEphem();
    gal.INavReceived = 0;
    const std::vector<uint8_t> galLog = Log(MSG_ID_GALEPHEMERIS, gal);
    EXPECT_EQ(FormatRinexGalNav(galLog.data(), static_cast<uint32_t>(galLog.size()), 304, buf, sizeof(buf)), 0);
    FILE* pFile = std::tmpfile();
    EXPECT_EQ(WriteRinexGalNav(galLog.data(), static_cast<uint32_t>(galLog.size()), 304, pFile), 0);
    EXPECT_EQ(std::ftell(pFile), 0);
    EXPECT_EQ(WriteRinexGpsNav(gps.data(), static_cast<uint32_t>(gps.size()), 304, pFile), 0);
    EXPECT_EQ(std::ftell(pFile), 8 * 81); // eight lines of 80 columns
    std::fclose(pFile);
}

TEST(NavHeader, EachSystemAndLayout)
{
    RinexObsHeader obs = MakeObsHeader(304);
    const RinexNavHeader nav = SourceNavHeader();
    struct Case
    {
        int32_t nVersion;
        char cSystem;
        const char* pFirstLine;
        bool bIono;
    };
    const Case cases[] = {
        {302, 'M', "     3.02           N                   M                   RINEX VERSION / TYPE", true},
        {304, 'G', "     3.04           N                   G                   RINEX VERSION / TYPE", true},
        {304, 'R', "     3.04           N                   R                   RINEX VERSION / TYPE", false},
        {303, 'E', "     3.03           N                   E                   RINEX VERSION / TYPE", false},
        {304, 'C', "     3.04           N                   C                   RINEX VERSION / TYPE", false},
        {304, 'J', "     3.04           N                   J                   RINEX VERSION / TYPE", false},
        {211, 'G', "     2.11           N                                       RINEX VERSION / TYPE", true},
        {211, 'R', "     2.11           G                                       RINEX VERSION / TYPE", false},
        {210, 'R', "     2.10           G                                       RINEX VERSION / TYPE", false},
    };
    for (const Case& c : cases)
    {
        obs.nVersion = c.nVersion;
        const std::string s = NavHeader(&obs, nav, 1, c.cSystem);
        SCOPED_TRACE(s);
        EXPECT_EQ(s.substr(0, 80), c.pFirstLine);
        EXPECT_TRUE(CheckNavHeader(s, c.nVersion, c.cSystem).empty())
            << Joined(CheckNavHeader(s, c.nVersion, c.cSystem));
        EXPECT_TRUE(std::regex_search(
            s, std::regex("\nNavWindow {11}NavAgency {11}[0-9]{8} [0-9]{6} UTC PGM / RUN BY / DATE")));
        EXPECT_EQ(!LineOf(s, c.nVersion >= 300 ? "IONOSPHERIC CORR" : "ION ALPHA").empty(), c.bIono);
        EXPECT_EQ(!LineOf(s, c.nVersion >= 300 ? "TIME SYSTEM CORR" : "DELTA-UTC").empty(), c.bIono);
        EXPECT_FALSE(LineOf(s, "LEAP SECONDS").empty());
    }
    obs.nVersion = 304;
    std::string s = NavHeader(&obs, nav, 1, 'G');
    EXPECT_EQ(LineOf(s, "GPSA"), "GPSA    .1118D-07   .7451D-08  -.5960D-07  -.5960D-07       IONOSPHERIC CORR    ");
    EXPECT_EQ(LineOf(s, "GPSB"), "GPSB    .9011D+05   .0000D+00  -.1966D+06  -.6554D+05       IONOSPHERIC CORR    ");
    EXPECT_EQ(LineOf(s, "GPUT"), "GPUT  -.9313225746D-09 -.177635684D-14 405504 2294          TIME SYSTEM CORR    ");
    EXPECT_EQ(LineOf(s, "LEAP"), "    18    18  1929     7                                    LEAP SECONDS        ");
    obs.nVersion = 211;
    s = NavHeader(&obs, nav, 1, 'G');
    EXPECT_EQ(LineOf(s, "ION ALPHA"),
              "     .1118D-07   .7451D-08  -.5960D-07  -.5960D-07          ION ALPHA           ");
    EXPECT_EQ(LineOf(s, "DELTA-UTC"),
              "    -.931322574620D-09 -.177635683900D-14   405504     2294 DELTA-UTC: A0,A1,T,W");
    EXPECT_EQ(LineOf(s, "LEAP"), "    18                                                      LEAP SECONDS        ");

    // Without ionosphere and UTC values there is nothing to announce.
    RinexNavHeader empty{};
    obs.nVersion = 304;
    s = NavHeader(&obs, empty, 0, 'G');
    EXPECT_EQ(LineOf(s, "IONOSPHERIC CORR"), "");
    EXPECT_EQ(LineOf(s, "TIME SYSTEM CORR"), "");
    EXPECT_EQ(LineOf(s, "LEAP SECONDS"), "");
}

TEST(NavHeader, ProgramAndAgencyByTheEditChoice)
{
    RinexObsHeader obs{};
    RinexNavHeader nav = SourceNavHeader();
    // Not edited, no observation header yet: the built-in names and version 3.02.
    std::string s = NavHeader(&obs, nav, 0, 'G');
    EXPECT_EQ(s.substr(0, 9), "     3.02");
    EXPECT_EQ(LineOf(s, "PGM / RUN BY").substr(0, 40), "Moxelin             Halvorne            ");
    EXPECT_EQ(obs.nVersion, 302);
    // The source's ionosphere values stay whoever names the program.
    EXPECT_FALSE(LineOf(s, "GPSA").empty());
    // Not edited: the observation header's program and run-by; edited (any
    // check state): the window's values, cut to their columns.
    obs = MakeObsHeader(304);
    s = NavHeader(&obs, nav, 0, 'G');
    EXPECT_EQ(LineOf(s, "PGM / RUN BY").substr(0, 40), "Moxelin             Halvorne            ");
    std::strcpy(nav.szProgram, "A very long program n");
    s = NavHeader(&obs, nav, 2, 'G');
    EXPECT_EQ(LineOf(s, "PGM / RUN BY").substr(0, 40), "A very long program NavAgency           ");
    EXPECT_EQ(LineOf(s, "PGM / RUN BY").substr(60), "PGM / RUN BY / DATE ");
}

TEST(NavHeader, WritesToTheFile)
{
    RinexObsHeader obs = MakeObsHeader(304);
    const RinexNavHeader nav = SourceNavHeader();
    FILE* pFile = std::tmpfile();
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(WriteRinexNavHeader(&obs, &nav, 1, 'G', pFile), 0);
    EXPECT_EQ(std::ftell(pFile), 7 * 81);
    std::fclose(pFile);
    EXPECT_EQ(WriteRinexNavHeader(&obs, &nav, 1, 'G', nullptr), -1);
}

TEST(CompareEphemeris, TellsANewGlonassEphemerisFromARepeat)
{
    const GLOEPHEMERIS_BODY_T base = GloEphem();
    const std::vector<uint8_t> a = Log(MSG_ID_GLOEPHEMERIS, base);
    struct Case
    {
        const char* pWhat;
        void (*change)(GLOEPHEMERIS_BODY_T&);
        int nResult;
    };
    const Case cases[] = {
        {"identical", [](GLOEPHEMERIS_BODY_T&) {}, 0},
        {"tk", [](GLOEPHEMERIS_BODY_T& e) { e.Tk += 30; }, 0},
        {"flags", [](GLOEPHEMERIS_BODY_T& e) { e.Flags = 3; }, 0},
        {"position within 1e-5", [](GLOEPHEMERIS_BODY_T& e) { e.PosX += 5e-6; }, 0},
        {"position beyond 1e-5", [](GLOEPHEMERIS_BODY_T& e) { e.PosX += 2e-5; }, 1},
        {"gamma", [](GLOEPHEMERIS_BODY_T& e) { e.GammaN += 1e-4; }, 1},
        {"issue", [](GLOEPHEMERIS_BODY_T& e) { e.Issue += 1; }, 1},
        {"ephemeris time", [](GLOEPHEMERIS_BODY_T& e) { e.EphTime += 1800000; }, 1},
        {"slot", [](GLOEPHEMERIS_BODY_T& e) { e.SlotOffset += 1; }, 1},
        {"age", [](GLOEPHEMERIS_BODY_T& e) { e.Age += 1; }, 1},
    };
    for (const Case& c : cases)
    {
        GLOEPHEMERIS_BODY_T changed = base;
        c.change(changed);
        const std::vector<uint8_t> b = Log(MSG_ID_GLOEPHEMERIS, changed);
        EXPECT_EQ(CompareEphemeris(a.data(), b.data()), c.nResult) << c.pWhat;
    }
    EXPECT_EQ(CompareEphemeris(a.data(), nullptr), 1);
}
