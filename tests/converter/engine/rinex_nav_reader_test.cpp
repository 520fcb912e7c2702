#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/log_dispatch.h"
#include "codec/nav_logs.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_lines.h"
#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_nav_reader.h"
#include "converter/engine/rinex_readers.h"
#include "ephem_samples.h"
#include "reader_streams.h"

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr uint16_t kWeek = 2295;

template <typename Body> Bytes Log(uint16_t nId, const Body& body, uint16_t nWeek, uint32_t nMs)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nId, 0x20, sizeof(Body), 0x20, 0, &h);
    h.Week = nWeek;
    h.Milliseconds = nMs;
    Bytes log(sizeof(h) + sizeof(Body));
    std::memcpy(log.data(), &h, sizeof(h));
    std::memcpy(log.data() + sizeof(h), &body, sizeof(Body));
    return log;
}

GPSEPHEM_BODY_T Gps(uint32_t nPrn)
{
    GPSEPHEM_BODY_T e = SampleGpsEphem(nPrn, 93600.0);
    e.ZWeek = kWeek;
    e.Iodc = 301;
    e.UraVariance = 5.76;
    return e;
}

GLOEPHEMERIS_BODY_T Glo()
{
    GLOEPHEMERIS_BODY_T e = SampleGloEphem();
    e.AccX = 9.31322574617e-7; // one that the log's text form and RINEX round alike
    return e;
}

GALEPHEMERIS_BODY_T Gal()
{
    GALEPHEMERIS_BODY_T e = SampleGalEphem(93600);
    e.INavAf1 = -1.5e-12;
    e.BgdE1E5a = -2.3e-9;
    e.BgdE1E5b = -2.5e-9;
    return e;
}

BDSEPHEMERIS_BODY_T Bds()
{
    BDSEPHEMERIS_BODY_T e{};
    e.SatId = 30;
    e.Week = kWeek - 1356;
    e.Ura = 2.0;
    e.Tgd1 = 8.2e-9;
    e.Tgd2 = -2.4e-9;
    e.Aodc = 1;
    e.Toc = 93600;
    e.A0 = -2.76521873e-4;
    e.A1 = 2.1565015e-11;
    e.Aode = 1;
    e.Toe = 93600;
    e.RootA = 5282.61798;
    e.Ecc = 7.1254363e-4;
    e.Omega = -0.982341512;
    e.DeltaN = 3.9855946e-9;
    e.M0 = 1.234567891;
    e.Omega0 = 0.27456384;
    e.OmegaDot = -6.6862785e-9;
    e.I0 = 0.95516434;
    e.IDot = -1.285767e-10;
    e.Cuc = -4.5806542e-6;
    e.Cus = 9.7397715e-6;
    e.Crc = -21.25;
    e.Crs = 155.15625;
    e.Cic = 1.1175871e-8;
    e.Cis = -1.061707e-7;
    return e;
}

// An ephemeris as its text log gives it: the logs the reader writes carry
// the digits of that form.
template <typename Body>
Body AsText(uint16_t nId, const Body& body, int (*format)(const void*, int32_t, char*, int32_t*))
{
    const Bytes log = Log(nId, body, kWeek, 86400000);
    std::vector<char> text(65536);
    int32_t n = 0;
    EXPECT_EQ(format(log.data(), static_cast<int32_t>(text.size()), text.data(), &n), 1);
    Bytes back(LOG_MAX_BINARY_LENGTH);
    int32_t m = 0;
    EXPECT_EQ(DecodeLog(reinterpret_cast<const uint8_t*>(text.data()), n, back.data(), &m), 1);
    Body b;
    std::memcpy(&b, back.data() + sizeof(BinaryLogHeader), sizeof(b));
    return b;
}

// Relative agreement of a value printed with 12 mantissa digits.
void ExpectPrinted(double dOut, double dIn, const char* pName)
{
    EXPECT_NEAR(dOut, dIn, std::fabs(dIn) * 1e-11) << pName;
}

class RinexNavReader : public ::testing::Test
{
protected:
    // The context of the job: its BeiDou numbering.
    CConvertContext m_Context;

    // Reads RINEX navigation text; the ephemeris logs it writes, decoded.
    std::vector<Bytes> Read(const std::string& sText, char cLetter, int* pStatus = nullptr)
    {
        std::string s;
        const int nStatus = RunRinexReader(
            OpenTextStream(sText),
            [cLetter](FILE* f, CConvertContext* c) { return ConvertRinexNavToLog(f, cLetter, c); }, &s, &m_Context);
        if (pStatus)
            *pStatus = nStatus;
        else
            EXPECT_EQ(nStatus, 0);
        std::vector<Bytes> logs;
        for (size_t nPos = 0; nPos < s.size();)
        {
            const size_t nEnd = s.find('\n', nPos);
            const std::string line = s.substr(nPos, nEnd + 1 - nPos);
            nPos = nEnd + 1;
            Bytes r(LOG_MAX_BINARY_LENGTH);
            int32_t m = 0;
            EXPECT_EQ(DecodeLog(reinterpret_cast<const uint8_t*>(line.data()), static_cast<int32_t>(line.size()),
                                r.data(), &m),
                      1)
                << line;
            r.resize(static_cast<size_t>(m));
            logs.push_back(r);
        }
        return logs;
    }
};

template <typename Body> Body BodyOf(const Bytes& log)
{
    Body b;
    std::memcpy(&b, log.data() + sizeof(BinaryLogHeader), sizeof(b));
    return b;
}

BinaryLogHeader HeaderOf(const Bytes& log)
{
    BinaryLogHeader h;
    std::memcpy(&h, log.data(), sizeof(h));
    return h;
}

void ExpectGps(const Bytes& log, const GPSEPHEM_BODY_T& in, uint16_t nMessageId)
{
    ASSERT_EQ(HeaderOf(log).MessageId, nMessageId);
    const GPSEPHEM_BODY_T b = BodyOf<GPSEPHEM_BODY_T>(log);
    EXPECT_EQ(+b.Prn, +in.Prn);
    EXPECT_EQ(+b.Week, +in.Week);
    EXPECT_EQ(+b.Iode1, +in.Iode1);
    EXPECT_EQ(+b.Iode2, +in.Iode1);
    EXPECT_EQ(+b.Iodc, +in.Iodc);
    EXPECT_EQ(+b.Health, +in.Health);
    EXPECT_EQ(+b.Toc, +in.Toc) << "toc comes from the epoch";
    EXPECT_EQ(+b.Toe, +in.Toe);
    EXPECT_EQ(+b.Tow, +in.Tow);
    ExpectPrinted(+b.A, +in.A, "A");
    ExpectPrinted(+b.DeltaN, +in.DeltaN, "DeltaN");
    ExpectPrinted(+b.M0, +in.M0, "M0");
    ExpectPrinted(+b.Ecc, +in.Ecc, "Ecc");
    ExpectPrinted(+b.Omega, +in.Omega, "Omega");
    ExpectPrinted(+b.Cuc, +in.Cuc, "Cuc");
    ExpectPrinted(+b.Crs, +in.Crs, "Crs");
    ExpectPrinted(+b.Cis, +in.Cis, "Cis");
    ExpectPrinted(+b.I0, +in.I0, "I0");
    ExpectPrinted(+b.IDot, +in.IDot, "IDot");
    ExpectPrinted(+b.Omega0, +in.Omega0, "Omega0");
    ExpectPrinted(+b.OmegaDot, +in.OmegaDot, "OmegaDot");
    ExpectPrinted(+b.Tgd, +in.Tgd, "Tgd");
    ExpectPrinted(+b.Af0, +in.Af0, "Af0");
    ExpectPrinted(+b.Af1, +in.Af1, "Af1");
    ExpectPrinted(+b.UraVariance, +in.UraVariance, "URA");
    EXPECT_NEAR(+b.CorrectedMeanMotion, std::sqrt(3.986005e14 / (+in.A * +in.A * +in.A)) + +in.DeltaN, 1e-11);
    EXPECT_EQ(HeaderOf(log).Week, +in.Week);
    EXPECT_EQ(HeaderOf(log).Milliseconds, static_cast<uint32_t>(+in.Toc * 1000));
}

void ExpectGlo(const Bytes& log, const GLOEPHEMERIS_BODY_T& in)
{
    ASSERT_EQ(HeaderOf(log).MessageId, MSG_ID_GLOEPHEMERIS);
    const GLOEPHEMERIS_BODY_T b = BodyOf<GLOEPHEMERIS_BODY_T>(log);
    EXPECT_EQ(+b.SlotOffset, +in.SlotOffset);
    EXPECT_EQ(+b.FreqOffset, +in.FreqOffset);
    EXPECT_EQ(+b.Week, +in.Week);
    EXPECT_EQ(+b.EphTime, +in.EphTime) << "UTC epoch plus the header's leap seconds";
    EXPECT_EQ(+b.TimeOffset, +in.TimeOffset);
    EXPECT_EQ(+b.Tk, +in.Tk);
    EXPECT_EQ(+b.Age, +in.Age);
    EXPECT_EQ(+b.Health, +in.Health);
    ExpectPrinted(+b.PosX, +in.PosX, "X");
    ExpectPrinted(+b.VelY, +in.VelY, "Vy");
    ExpectPrinted(+b.AccX, +in.AccX, "Ax");
    ExpectPrinted(+b.PosZ, +in.PosZ, "Z");
    ExpectPrinted(+b.TauN, +in.TauN, "TauN");
    ExpectPrinted(+b.GammaN, +in.GammaN, "GammaN");
    EXPECT_EQ(+b.Nt, 1u) << "2024-01-01 is day 1 of its four-year interval";
}

void ExpectGal(const Bytes& log, const GALEPHEMERIS_BODY_T& in)
{
    ASSERT_EQ(HeaderOf(log).MessageId, MSG_ID_GALEPHEMERIS);
    const GALEPHEMERIS_BODY_T b = BodyOf<GALEPHEMERIS_BODY_T>(log);
    EXPECT_EQ(+b.SatId, +in.SatId);
    EXPECT_EQ(+b.INavReceived, +in.INavReceived);
    EXPECT_EQ(+b.FNavReceived, +in.FNavReceived);
    EXPECT_EQ(+b.Sisa, +in.Sisa);
    EXPECT_EQ(+b.E1bDvs, +in.E1bDvs);
    EXPECT_EQ(+b.E5bHealth, +in.E5bHealth);
    EXPECT_EQ(+b.IodNav, +in.IodNav);
    EXPECT_EQ(+b.Toe, +in.Toe);
    EXPECT_EQ(+b.INavToc, +in.INavToc);
    ExpectPrinted(+b.RootA, +in.RootA, "RootA");
    ExpectPrinted(+b.INavAf0, +in.INavAf0, "Af0");
    ExpectPrinted(+b.Omega0, +in.Omega0, "Omega0");
    ExpectPrinted(+b.BgdE1E5b, +in.BgdE1E5b, "BGD");
    EXPECT_EQ(HeaderOf(log).Week, kWeek);
}

void ExpectBds(const Bytes& log, const BDSEPHEMERIS_BODY_T& in)
{
    ASSERT_EQ(HeaderOf(log).MessageId, MSG_ID_BDSEPHEMERIS);
    const BDSEPHEMERIS_BODY_T b = BodyOf<BDSEPHEMERIS_BODY_T>(log);
    EXPECT_EQ(+b.SatId, +in.SatId);
    EXPECT_EQ(+b.Week, +in.Week);
    EXPECT_EQ(+b.Toc, +in.Toc) << "toc comes from the epoch";
    EXPECT_EQ(+b.Toe, +in.Toe);
    EXPECT_EQ(+b.Aode, +in.Aode);
    EXPECT_EQ(+b.Aodc, +in.Aodc);
    ExpectPrinted(+b.Ura, +in.Ura, "URA");
    ExpectPrinted(+b.RootA, +in.RootA, "RootA");
    ExpectPrinted(+b.Tgd1, +in.Tgd1, "Tgd1");
    ExpectPrinted(+b.Tgd2, +in.Tgd2, "Tgd2");
    ExpectPrinted(+b.A0, +in.A0, "A0");
    ExpectPrinted(+b.M0, +in.M0, "M0");
    // BeiDou time is 14 s behind the GPS time of the log header.
    EXPECT_EQ(HeaderOf(log).Week, +in.Week + 1356);
    EXPECT_EQ(HeaderOf(log).Milliseconds, +in.Toc * 1000 + 14000);
}

std::string NavHeader(int32_t nVersion, char cSystem)
{
    RinexObsHeader obs{};
    obs.nVersion = nVersion;
    RinexNavHeader nav{};
    nav.nLeapSeconds = 18;
    std::vector<char> buf(8192);
    const int n = FormatRinexNavHeader(&obs, &nav, 0, cSystem, buf.data(), static_cast<uint32_t>(buf.size()));
    EXPECT_GT(n, 0);
    return std::string(buf.data(), static_cast<size_t>(n));
}

template <typename Body> std::string Record(int (*format)(const void*, uint32_t, int32_t, char*, uint32_t),
                                            uint16_t nId, const Body& body, int32_t nVersion)
{
    const Bytes log = Log(nId, body, kWeek, 86400000);
    std::vector<char> buf(8192);
    const int n =
        format(log.data(), static_cast<uint32_t>(log.size()), nVersion, buf.data(), static_cast<uint32_t>(buf.size()));
    EXPECT_GT(n, 0);
    return std::string(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

class NavRoundTrip : public RinexNavReader, public ::testing::WithParamInterface<int32_t>
{
};

// Ephemeris logs to RINEX navigation files and back, each system in a file
// of its own (RINEX 2 names the system by the file letter) and, from 3.02,
// all in one mixed file.
TEST_P(NavRoundTrip, EphemeridesComeBackWithinPrintedResolution)
{
    const int32_t nVersion = GetParam();
    const GPSEPHEM_BODY_T gps = Gps(12);
    GPSEPHEM_BODY_T qzss = Gps(195);
    qzss.AntiSpoofing = 0;
    const GLOEPHEMERIS_BODY_T glo = Glo();
    const GALEPHEMERIS_BODY_T gal = Gal();
    const BDSEPHEMERIS_BODY_T bds = Bds();
    const std::string sGps = Record(FormatRinexGpsNav, MSG_ID_GPSEPHEM, gps, nVersion);
    const std::string sGlo = Record(FormatRinexGloNav, MSG_ID_GLOEPHEMERIS, glo, nVersion);
    const std::string sGal = Record(FormatRinexGalNav, MSG_ID_GALEPHEMERIS, gal, nVersion);
    const std::string sBds = Record(FormatRinexBdsNav, MSG_ID_BDSEPHEMERIS, bds, nVersion);
    // What comes back is compared with the logs' own text form of what went in.
    const GPSEPHEM_BODY_T gpsText = AsText(MSG_ID_GPSEPHEM, gps, FormatGpsEphem);
    const GLOEPHEMERIS_BODY_T gloText = AsText(MSG_ID_GLOEPHEMERIS, glo, FormatGloEphem);
    const GALEPHEMERIS_BODY_T galText = AsText(MSG_ID_GALEPHEMERIS, gal, FormatGalEphem);
    const BDSEPHEMERIS_BODY_T bdsText = AsText(MSG_ID_BDSEPHEMERIS, bds, FormatBdsEphem);

    std::vector<Bytes> logs = Read(NavHeader(nVersion, 'G') + sGps + sGps, 'N');
    ASSERT_EQ(logs.size(), 2u);
    ExpectGps(logs[0], gpsText, MSG_ID_GPSEPHEM);
    EXPECT_EQ(BodyOf<GPSEPHEM_BODY_T>(logs[0]).AntiSpoofing, 1u);
    logs = Read(NavHeader(nVersion, 'R') + sGlo, 'G');
    ASSERT_EQ(logs.size(), 1u);
    ExpectGlo(logs[0], gloText);
    logs = Read(NavHeader(nVersion, 'E') + sGal, 'L');
    ASSERT_EQ(logs.size(), 1u);
    ExpectGal(logs[0], galText);
    logs = Read(NavHeader(nVersion, 'C') + sBds, 'C');
    ASSERT_EQ(logs.size(), 1u);
    ExpectBds(logs[0], bdsText);

    if (nVersion >= 302)
    {
        const std::string sQzss = Record(FormatRinexQzssNav, MSG_ID_QZSSEPHEMERIS, qzss, nVersion);
        logs = Read(NavHeader(nVersion, 'M') + sGps + sGlo + sGal + sBds + sQzss, 'N');
        ASSERT_EQ(logs.size(), 5u);
        ExpectGps(logs[0], gpsText, MSG_ID_GPSEPHEM);
        ExpectGlo(logs[1], gloText);
        ExpectGal(logs[2], galText);
        ExpectBds(logs[3], bdsText);
        ExpectGps(logs[4], AsText(MSG_ID_QZSSEPHEMERIS, qzss, FormatQzssEphem), MSG_ID_QZSSEPHEMERIS);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, NavRoundTrip, ::testing::Values(211, 302, 304));

// One record at a time: each system's writer gives the record, and the
// reader of that system takes it back; a reader takes no record of another
// system and none whose lines run out.
// A value field of a broadcast-orbit line: copied whole, the field a line
// one column short holds without its last character, and an empty field
// (0) from a line that ends sooner.
TEST(RinexFields, CopyFieldTakesWhatTheLineHoldsOfTheField)
{
    // A broadcast-orbit line of a version 3 file: 4 blanks, then 4 fields of 19.
    const char kOrbit[] = "     1.000000000000D+00 1.640625000000D+01 4.760198269529D-09 2.933227903110D+00";
    const struct
    {
        uint32_t nLineLength, nStart;
        int nResult;
        const char* pField;
    } cases[] = {
        {80, 4, 1, " 1.000000000000D+00"},
        {80, 61, 1, " 2.933227903110D+00"},
        {79, 61, 1, " 2.933227903110D+0"},
        {78, 61, 0, ""},
        {20, 61, 0, ""},
    };
    for (const auto& c : cases)
    {
        const RinexLine line{kOrbit, c.nLineLength};
        char field[20];
        std::memset(field, 'x', sizeof field);
        EXPECT_EQ(CopyField(field, line, c.nStart, 19), c.nResult) << c.nLineLength << " " << c.nStart;
        EXPECT_STREQ(field, c.pField) << c.nLineLength << " " << c.nStart;
    }
}

TEST(RinexNavRecordReaders, EachReaderTakesTheRecordOfItsSystem)
{
    const auto written = [](int (*write)(const void*, uint32_t, int32_t, FILE*), uint16_t nId, const auto& body,
                            int32_t nVersion)
    {
        const Bytes log = Log(nId, body, kWeek, 86400000);
        FILE* f = std::tmpfile();
        EXPECT_EQ(write(log.data(), static_cast<uint32_t>(log.size()), nVersion, f), 0);
        std::string text(static_cast<size_t>(std::ftell(f)), '\0');
        std::rewind(f);
        EXPECT_EQ(std::fread(&text[0], 1, text.size(), f), text.size());
        std::fclose(f);
        return text;
    };
    const auto logOf = [](uint32_t n, const Bytes& buf) { return Bytes(buf.begin(), buf.begin() + n); };
    for (int32_t nVersion : {211, 304})
    {
        SCOPED_TRACE(nVersion);
        Bytes out(LOG_MAX_BINARY_LENGTH);
        const uint32_t nCap = static_cast<uint32_t>(out.size());
        const std::string sGps = written(WriteRinexGpsNav, MSG_ID_GPSEPHEM, Gps(12), nVersion);
        uint32_t n = ReadRinexGpsNav(sGps.data(), uint32_t(sGps.size()), nVersion, out.data(), nCap);
        ASSERT_GT(n, 0u);
        ExpectGps(logOf(n, out), Gps(12), MSG_ID_GPSEPHEM);

        const std::string sGlo = written(WriteRinexGloNav, MSG_ID_GLOEPHEMERIS, Glo(), nVersion);
        n = ReadRinexGloNav(sGlo.data(), uint32_t(sGlo.size()), nVersion, 18000, out.data(), nCap);
        ASSERT_GT(n, 0u);
        ExpectGlo(logOf(n, out), Glo());

        const std::string sBds = written(WriteRinexBdsNav, MSG_ID_BDSEPHEMERIS, Bds(), nVersion);
        n = ReadRinexBdsNav(sBds.data(), uint32_t(sBds.size()), nVersion, out.data(), nCap);
        ASSERT_GT(n, 0u);
        ExpectBds(logOf(n, out), Bds());
        n = ReadRinexBd2Nav(sBds.data(), uint32_t(sBds.size()), nVersion, out.data(), nCap);
        ASSERT_EQ(n, LOG_HEADER_LENGTH + sizeof(BD2EPHEM_BODY_T));
        EXPECT_EQ(+BodyOf<BD2EPHEM_BODY_T>(logOf(n, out)).Prn, Bds().SatId + 190u);

        // A record without its last line gives nothing.
        const std::string sCut = sGps.substr(0, sGps.rfind('\n', sGps.size() - 2) + 1);
        EXPECT_EQ(ReadRinexGpsNav(sCut.data(), uint32_t(sCut.size()), nVersion, out.data(), nCap), 0u);
    }
    // QZSS and BD2EPHEM records carry their own letters and numbering.
    EXPECT_EQ(written(WriteRinexQzssNav, MSG_ID_QZSSEPHEMERIS, Gps(195), 304).substr(0, 3), "J03");
    BD2EPHEM_BODY_T bd2{};
    bd2.Prn = 197;
    bd2.Week = bd2.ZWeek = kWeek;
    bd2.Toe = bd2.Toc = 93600.0;
    bd2.A = 27906100.0 * 27906100.0 / 1e6;
    for (int32_t nVersion : {211, 304})
    {
        const std::string sBd2 = written(WriteRinexBd2Nav, MSG_ID_BDSEPHEMERIS, bd2, nVersion);
        EXPECT_EQ(sBd2.substr(0, 3), nVersion >= 300 ? "C07" : " 7 ") << sBd2;
        Bytes out(LOG_MAX_BINARY_LENGTH);
        const uint32_t n = ReadRinexBd2Nav(sBd2.data(), uint32_t(sBd2.size()), nVersion, out.data(), uint32_t(out.size()));
        ASSERT_GT(n, 0u);
        EXPECT_EQ(+BodyOf<BD2EPHEM_BODY_T>(logOf(n, out)).Prn, 197u);
    }
    const std::string sGlo = written(WriteRinexGloNav, MSG_ID_GLOEPHEMERIS, Glo(), 304);
    Bytes out(LOG_MAX_BINARY_LENGTH);
    EXPECT_EQ(ReadRinexGpsNav(sGlo.data(), uint32_t(sGlo.size()), 304, out.data(), uint32_t(out.size())), 0u)
        << "a GLONASS record is no GPS record";
}

// A RINEX 3 file as other software writes it: trimmed lines, numbers with a
// leading digit and E or d exponents, a record of a system without a reader
// (SBAS), and a last record cut short.
TEST_F(RinexNavReader, ThirdPartyMixedFile)
{
    std::string s;
    s += "     3.04           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE\n";
    s += "GPSA   1.1176E-08  7.4506E-09 -5.9605E-08 -5.9605E-08       IONOSPHERIC CORR\n";
    s += "    18    18  2185     7                                    LEAP SECONDS\n";
    s += "                                                            END OF HEADER\n";
    s += "G05 2024 01 01 02 00 00 1.500000000000E-04-3.410605131648E-12 0.000000000000E+00\n";
    s += "     4.500000000000E+01-5.215625000000E+01 4.512345678000E-09 1.234567890100E+00\n";
    s += "    -2.707377076149E-06 1.234567890000E-02 8.124858140945E-06 5.153660507202E+03\n";
    s += "     9.360000000000E+04 1.117587089539E-07-2.412345678910E+00-5.215406417847E-08\n";
    s += "     9.612345678910E-01 2.153437500000E+02-1.987654321000E+00-8.100000000000E-09\n";
    s += "     3.200000000000E-10 1.000000000000E+00 2.295000000000E+03 0.000000000000E+00\n";
    s += "     2.400000000000E+00 0.000000000000E+00-1.117587089539E-08 3.010000000000E+02\n";
    s += "     8.637000000000E+04 4.000000000000E+00\n";
    s += "S20 2024 01 01 00 01 04 0.000000000000E+00 0.000000000000E+00 8.640000000000E+04\n";
    s += "     4.063672000000E+04 0.000000000000E+00 0.000000000000E+00 6.300000000000E+01\n";
    s += "    -1.130000000000E+04 0.000000000000E+00 0.000000000000E+00 3.276700000000E+04\n";
    s += "     0.000000000000E+00 0.000000000000E+00 0.000000000000E+00 6.000000000000E+00\n";
    s += "R07 2024 01 01 00 15 00 1.200000000000d-05 1.818989403546d-12 8.610000000000d+04\n";
    s += "     1.234567812500D+04 2.012345678900D+00 9.313225746150D-10 0.000000000000D+00\n";
    s += "    -1.876543250000D+04-1.234567890000D+00-1.862645149230D-09 5.000000000000D+00\n";
    s += "     9.876543250000D+03 3.001500000000D+00 0.000000000000D+00 1.000000000000D+00\n";
    s += "G07 2024 01 01 04 00 00 1.500000000000E-04-3.410605131648E-12 0.000000000000E+00\n";
    s += "     4.500000000000E+01-5.215625000000E+01 4.512345678000E-09 1.234567890100E+00\n";
    const std::vector<Bytes> logs = Read(s, 'N');
    ASSERT_EQ(logs.size(), 2u) << "SBAS has no reader and the last record is cut short";
    const GPSEPHEM_BODY_T g = BodyOf<GPSEPHEM_BODY_T>(logs[0]);
    EXPECT_EQ(+g.Prn, 5u);
    EXPECT_EQ(+g.Toc, 7200.0 + 86400.0);
    EXPECT_EQ(+g.Week, 2295u);
    EXPECT_NEAR(+g.A, 5153.660507202 * 5153.660507202, 0.01) << "as the log's text form prints it";
    EXPECT_DOUBLE_EQ(+g.UraVariance, 2.4 * 2.4);
    EXPECT_EQ(+g.Iodc, 301u);
    // The clock terms keep every digit of their RINEX fields through the log's text.
    EXPECT_EQ(+g.Af0, 1.5e-4);
    EXPECT_EQ(+g.Af1, -3.410605131648e-12);
    EXPECT_EQ(HeaderOf(logs[0]).Milliseconds, 93600000u) << "GPS time: no leap seconds added";
    const GLOEPHEMERIS_BODY_T r = BodyOf<GLOEPHEMERIS_BODY_T>(logs[1]);
    EXPECT_EQ(+r.SlotOffset, 44);
    EXPECT_EQ(+r.FreqOffset, 12);
    EXPECT_DOUBLE_EQ(+r.TauN, -1.2e-5);
    EXPECT_DOUBLE_EQ(+r.PosX, 12345678.125);
    EXPECT_EQ(+r.EphTime, 87318000u) << "00:15:00 UTC and 18 leap seconds";
    EXPECT_EQ(+r.Tk, (86100u % 86400u + 10800u) % 86400u);
}

TEST_F(RinexNavReader, Rinex2FilesByTheirLetterAndYearsOfTheNineties)
{
    std::string s;
    s += "     2.10           N: GPS NAV DATA                         RINEX VERSION / TYPE\n";
    s += "                                                            END OF HEADER\n";
    s += "12 99  8 22  0  0  0.0 1.500000000000D-04-3.410605131648D-12 0.000000000000D+00\n";
    for (int i = 0; i < 7; ++i)
        s += "    4.500000000000D+01-5.215625000000D+01 4.512345678000D-09 1.234567890100D+00\n";
    std::vector<Bytes> logs = Read(s, 'n');
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(BodyOf<GPSEPHEM_BODY_T>(logs[0]).Prn, 12u);
    EXPECT_EQ(HeaderOf(logs[0]).Week, 1024) << "1999-08-22";
    EXPECT_EQ(HeaderOf(logs[0]).Milliseconds, 0u);
    // The same records in a file named for Galileo are Galileo records.
    logs = Read(s, 'L');
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(HeaderOf(logs[0]).MessageId, MSG_ID_GALEPHEMERIS);
}

// GLONASS epochs are UTC. A file without LEAP SECONDS (usual in RINEX 2
// GLONASS files) takes those of the record's date: 13 in 2005 and 15 in 2009,
// both for the GPS time of the ephemeris and for its time offset.
TEST_F(RinexNavReader, GlonassRecordsWithoutLeapSecondsTakeThoseOfTheirDate)
{
    struct Case
    {
        const char* pEpoch; // the record's epoch line up to its clock values
        uint16_t nWeek;
        uint32_t nEphTime;
        uint32_t nTimeOffset;
    };
    const Case cases[] = {
        {" 7 05  6 15  8 30  0.0", 1327, 289813000, 10787},
        {" 7 09  3  1  0 15  0.0", 1521, 915000, 10785},
        {" 7 24  1  1  0 15  0.0", 2295, 87318000, 10782},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pEpoch);
        std::string s;
        s += "     2.11           G: GLONASS NAV DATA                     RINEX VERSION / TYPE\n";
        s += "                                                            END OF HEADER\n";
        s += std::string(c.pEpoch) + " 1.200000000000D-05 1.818989403546D-12 8.610000000000D+04\n";
        s += "    1.234567812500D+04 2.012345678900D+00 9.313225746150D-10 0.000000000000D+00\n";
        s += "   -1.876543250000D+04-1.234567890000D+00-1.862645149230D-09 5.000000000000D+00\n";
        s += "    9.876543250000D+03 3.001500000000D+00 0.000000000000D+00 1.000000000000D+00\n";
        const std::vector<Bytes> logs = Read(s, 'G');
        ASSERT_EQ(logs.size(), 1u);
        const GLOEPHEMERIS_BODY_T r = BodyOf<GLOEPHEMERIS_BODY_T>(logs[0]);
        EXPECT_EQ(+r.Week, c.nWeek);
        EXPECT_EQ(+r.EphTime, c.nEphTime);
        EXPECT_EQ(+r.TimeOffset, c.nTimeOffset);
    }
}

// In the legacy BeiDou numbering records become BD2EPHEM logs of their full
// length, with PRNs from 191 and GPS weeks.
TEST_F(RinexNavReader, LegacyBeiDouNumbering)
{
    const BDSEPHEMERIS_BODY_T bds = Bds();
    const std::string sRecord = Record(FormatRinexBdsNav, MSG_ID_BDSEPHEMERIS, bds, 304);
    m_Context.SetBdsEphemStyle(1);
    const std::vector<Bytes> logs = Read(NavHeader(304, 'C') + sRecord, 'C');
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(HeaderOf(logs[0]).MessageLength, sizeof(BD2EPHEM_BODY_T));
    const BD2EPHEM_BODY_T b = BodyOf<BD2EPHEM_BODY_T>(logs[0]);
    EXPECT_EQ(+b.Prn, 220u);
    EXPECT_EQ(+b.Week, 2295u);
    EXPECT_EQ(+b.Toc, 93600.0);
    EXPECT_NEAR(+b.A, bds.RootA * bds.RootA, 0.01) << "as the log's text form prints it";
}

TEST_F(RinexNavReader, ASourceThatFailsPartWayIsAFailure)
{
    const std::string sGps = Record(FormatRinexGpsNav, MSG_ID_GPSEPHEM, Gps(12), 304);
    const auto read = [](FILE* f, CConvertContext* c) { return ConvertRinexNavToLog(f, 'N', c); };
    std::string s;
    EXPECT_EQ(RunRinexReader(OpenFailingStream(NavHeader(304, 'G') + sGps + sGps), read, &s), RINEX_READ_SOURCE_FAILED);
}

TEST_F(RinexNavReader, FailuresAndFields)
{
    int nStatus = 0;
    EXPECT_TRUE(Read("", 'N', &nStatus).empty());
    EXPECT_EQ(nStatus, RINEX_READ_NO_HEADER);
    EXPECT_TRUE(Read("     3.04           OBSERVATION DATA    G                   RINEX VERSION / TYPE\n"
                     "                                                            END OF HEADER\n",
                     'N', &nStatus)
                    .empty());
    EXPECT_EQ(nStatus, RINEX_READ_NO_HEADER);
    EXPECT_TRUE(Read(NavHeader(304, 'G'), 'N', &nStatus).empty());
    EXPECT_EQ(nStatus, RINEX_READ_NO_RECORD);

    struct Case
    {
        const char* pField;
        bool bOk;
        double dValue;
    };
    const Case cases[] = {
        {"  .150000000000D+01", true, 1.5},
        {" -.150000000000d+01", true, -1.5},
        {"  1.50000000000E-02", true, 0.015},
        {"                   ", true, 0.0},
        {"  1.5", true, 1.5},
        {"  1.5x", false, 0.0},
        {"  .150000000000D+1x", false, 0.0},
        {"                nan", false, 0.0},
        {"           Infinity", false, 0.0},
    };
    for (const Case& c : cases)
    {
        double d = -1;
        EXPECT_EQ(ReadRinexDouble(c.pField, static_cast<uint32_t>(std::strlen(c.pField)), &d), c.bOk) << c.pField;
        EXPECT_DOUBLE_EQ(d, c.dValue) << c.pField;
    }
    // Integer fields: truncated toward zero, nothing below 0.
    for (const auto& c : {std::pair<const char*, uint32_t>{"  .120000000000D+02", 12u},
                          {"  .479000000000D+01", 4u},
                          {" -.100000000000D+01", 0u},
                          {"                   ", 0u}})
    {
        uint32_t n = 99;
        EXPECT_TRUE(ReadRinexInt(c.first, static_cast<uint32_t>(std::strlen(c.first)), &n)) << c.first;
        EXPECT_EQ(n, c.second) << c.first;
    }
    for (uint32_t nIndex : {0u, 17u, 49u, 50u, 74u, 75u, 99u, 100u, 125u})
    {
        const double dMetres = nIndex < 50    ? nIndex * 0.01
                               : nIndex < 75  ? 0.5 + (nIndex - 50) * 0.02
                               : nIndex < 100 ? 1.0 + (nIndex - 75) * 0.04
                                              : 2.0 + (nIndex - 100) * 0.16;
        EXPECT_EQ(GalileoSisaIndex(dMetres), nIndex);
    }
    EXPECT_EQ(GalileoSisaIndex(-1.0), 255);
}
} // namespace
