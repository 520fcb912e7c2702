// A day of 1 Hz RINEX 3.04 observations from a receiver of another make,
// through every range log form and back to RINEX: RINEX -> RANGE -> RANGECMP
// -> RANGE -> RANGECMP4 -> RANGE -> RINEX, compared value by value with the
// data it was made from. The day is generated as a receiver writes it: a
// clock that steps (epochs 0 to 5 ms after the second, pseudoranges and
// phases jumping by whole milliseconds), carrier phases with arbitrary
// offsets from the code range that change at every slip, slips at two epochs
// in a row, satellites that set and rise again, a phase lost for an hour, a
// BeiDou GEO tracked all day, Doppler the receiver did not measure, and a
// week boundary at midnight.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "converter/engine/engine_state.h"
#include "converter/engine/log_to_log.h"
#include "range_source_fixture.h"
#include "reader_streams.h"

namespace
{
constexpr double kC = 299792458.0;
constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kEpochs = 86400;
// From Saturday 2009-02-28 12:00:00 GPS time (week 1520); midnight starts week 1521.
constexpr uint32_t kSignals = 2;

struct SatDef
{
    char cSystem;
    int nPrn;
    double aFreq[kSignals];
    const char* apCodes[kSignals];                      // RINEX band and attribute
    double dRange, dSwing, dOmega, dPhase;              // geometric range: dRange + dSwing sin(dOmega t + dPhase)
    std::vector<std::pair<uint32_t, uint32_t>> visible; // epoch ranges [from, to)
};

const double kL1 = 1575.42e6, kL2 = 1227.60e6, kE5a = 1176.45e6, kB1 = 1561.098e6, kB2 = 1207.14e6;

const std::vector<SatDef>& Sats()
{
    static const std::vector<SatDef> sats = {
        {'G', 5, {kL1, kL2}, {"1C", "2W"}, 2.32e7, 2.5e6, 2 * kPi / 43082, 0.3, {{0, 25200}, {54000, 86400}}},
        {'G', 12, {kL1, kL2}, {"1C", "2W"}, 2.29e7, 2.4e6, 2 * kPi / 43082, 2.1, {{10800, 43200}}},
        // GLONASS channel +5, as the header's GLONASS SLOT / FRQ # says.
        {'R',
         3,
         {1602e6 + 5 * 0.5625e6, 1246e6 + 5 * 0.4375e6},
         {"1C", "2P"},
         2.15e7,
         2.2e6,
         2 * kPi / 40544,
         4.0,
         {{30000, 70000}}},
        {'E', 11, {kL1, kE5a}, {"1C", "5Q"}, 2.60e7, 2.6e6, 2 * kPi / 50680, 1.2, {{0, 36000}, {36600, 86400}}},
        {'C', 1, {kB1, kB2}, {"2I", "7I"}, 3.79e7, 3.0e3, 2 * kPi / 86164, 0.7, {{0, 86400}}},
        {'C', 30, {kB1, kB2}, {"2I", "7I"}, 2.25e7, 2.3e6, 2 * kPi / 46404, 5.5, {{5000, 50000}}},
    };
    return sats;
}

bool Visible(const SatDef& sat, uint32_t k)
{
    for (const auto& r : sat.visible)
        if (k >= r.first && k < r.second)
            return true;
    return false;
}

// Slips the receiver flags while it tracks (loss-of-lock indicator 1), by
// satellite index and signal; two epochs in a row on G05.
struct Slip
{
    uint32_t nSat, nSig, nEpoch;
};
const Slip kSlips[] = {{0, 0, 3000},  {0, 0, 3001},  {0, 0, 20000}, {0, 1, 20000}, {1, 1, 40000},
                       {2, 0, 60000}, {3, 0, 70000}, {3, 1, 70000}, {4, 1, 80000}, {5, 0, 10000}};

bool SlipAt(uint32_t nSat, uint32_t nSig, uint32_t k)
{
    for (const Slip& s : kSlips)
        if (s.nSat == nSat && s.nSig == nSig && s.nEpoch == k)
            return true;
    return false;
}

// GLONASS L2P loses its phase for an hour while its code stays.
bool PhaseMeasured(uint32_t nSat, uint32_t nSig, uint32_t k)
{
    return !(nSat == 2 && nSig == 1 && k >= 50000 && k < 53600);
}

// No Doppler on GPS L2W, BeiDou B2I of C30, and Galileo E5a before midnight.
bool DopplerMeasured(uint32_t nSat, uint32_t nSig, uint32_t k)
{
    if (nSig == 0)
        return true;
    const char c = Sats()[nSat].cSystem;
    return !(c == 'G' || (c == 'C' && Sats()[nSat].nPrn == 30) || (c == 'E' && k < 43200));
}

// Milliseconds the receiver's epoch tags lie after the second: its clock
// steps by 1 ms every half hour and back.
uint32_t TagOffsetMs(uint32_t k) { return (k / 1800) % 6; }

uint64_t Mix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The phase offset of an arc from the code range, in whole cycles: next to it
// on C01 B1I (as most receivers write), arbitrary elsewhere.
int64_t ArcOffset(uint32_t nSat, uint32_t nSig, uint32_t nArc)
{
    const uint64_t h = Mix(nSat * 97 + nSig * 13 + nArc * 1001);
    if (nSat == 4 && nSig == 0)
        return static_cast<int64_t>(h % 2001) - 1000;
    int64_t n = static_cast<int64_t>(h % 180000001ull) - 90000000;
    // Not next to a half roll-over of 2^23 cycles, which no real offset needs.
    const double dFrac = std::fabs(std::remainder(double(n) / 8388608.0, 1.0));
    if (dFrac > 0.45)
        n += 4194304;
    return n;
}

// One observation as the source writes it, in thousandths.
struct Obs
{
    bool bPresent = false;
    int64_t nPsr = 0, nPhase = 0, nDoppler = 0, nSnr = 0;
    bool bPhase = false, bDoppler = false, bSlip = false;
};

// Walks the day epoch by epoch; keeps each signal's arc.
class DayModel
{
public:
    DayModel() : m_Arc(Sats().size()) {}

    // The observations of epoch k; call with k = 0, 1, 2, ...
    void Advance(uint32_t k)
    {
        const double t = k + TagOffsetMs(k) / 1000.0;
        const double dClock = kC * 0.001 * ((k / 5400) % 3); // receiver clock steps of whole ms
        for (uint32_t i = 0; i < Sats().size(); ++i)
        {
            const SatDef& sat = Sats()[i];
            const bool bVisible = Visible(sat, k);
            for (uint32_t j = 0; j < kSignals; ++j)
            {
                ArcState& a = m_Arc[i][j];
                Obs& o = m_Obs[i][j];
                o = Obs{};
                o.bPresent = bVisible;
                if (!bVisible)
                {
                    a.bHadPhase = false;
                    continue;
                }
                const double f = sat.aFreq[j];
                const double lambda = kC / f;
                const double arg = sat.dOmega * t + sat.dPhase;
                const double rho = sat.dRange + sat.dSwing * std::sin(arg);
                const double rate = sat.dSwing * sat.dOmega * std::cos(arg);
                const double iono = (4.0 + 2.0 * std::sin(2 * kPi * t / 86400 + sat.dPhase)) * (kL1 / f) * (kL1 / f);
                o.nPsr = std::llround((rho + dClock + iono + 0.35 * j) * 1000.0);
                o.bPhase = PhaseMeasured(i, j, k);
                if (o.bPhase)
                {
                    // A new arc at a slip, and where the phase comes back after
                    // a gap; not at a signal's first epoch in the file.
                    o.bSlip = SlipAt(i, j, k) || (a.bSeen && !a.bHadPhase);
                    if (o.bSlip)
                        ++a.nArc;
                    a.bSeen = true;
                    const double cycles = (rho + dClock - iono) / lambda + double(ArcOffset(i, j, a.nArc));
                    o.nPhase = std::llround(cycles * 1000.0);
                }
                a.bHadPhase = o.bPhase;
                o.bDoppler = DopplerMeasured(i, j, k);
                if (o.bDoppler)
                    o.nDoppler = std::llround(-rate / lambda * 1000.0);
                o.nSnr = std::llround(std::round((38.0 + 8.0 * std::sin(arg) - 5.0 * j) * 4.0) * 250.0);
            }
        }
    }
    const Obs& At(uint32_t nSat, uint32_t nSig) const { return m_Obs[nSat][nSig]; }
    uint32_t Arc(uint32_t nSat, uint32_t nSig) const { return m_Arc[nSat][nSig].nArc; }

private:
    struct ArcState
    {
        uint32_t nArc = 0;
        bool bSeen = false;
        bool bHadPhase = false;
    };
    std::vector<std::array<ArcState, kSignals>> m_Arc;
    std::array<std::array<Obs, kSignals>, 6> m_Obs;
};

// "> 2009 02 28 12 00  0.0010000" of epoch k, GPS time.
std::string EpochText(uint32_t k)
{
    const uint64_t nMs = 43200000ull + k * 1000ull + TagOffsetMs(k); // since 2009-02-28 00:00
    const uint32_t nDay = static_cast<uint32_t>(nMs / 86400000), nOfDay = static_cast<uint32_t>(nMs % 86400000);
    char sz[40];
    std::snprintf(sz, sizeof sz, "> 2009 %02u %02u %02u %02u %2u.%03u0000", nDay ? 3u : 2u, nDay ? 1u : 28u,
                  nOfDay / 3600000, nOfDay / 60000 % 60, nOfDay / 1000 % 60, nOfDay % 1000);
    return sz;
}

// F14.3 of a value in thousandths, then the loss-of-lock and strength digits.
void PutField(std::string& s, int64_t nMilli, char cLli, char cSsi)
{
    char buf[14];
    const bool bNegative = nMilli < 0;
    uint64_t v = bNegative ? uint64_t(-nMilli) : uint64_t(nMilli);
    char* p = buf + 14;
    for (int i = 0; i < 3; ++i, v /= 10)
        *--p = char('0' + v % 10);
    *--p = '.';
    do
        *--p = char('0' + v % 10);
    while (v /= 10);
    if (bNegative)
        *--p = '-';
    while (p > buf)
        *--p = ' ';
    s.append(buf, 14);
    s.push_back(cLli);
    s.push_back(cSsi);
}

// The source as another program writes it: its own header records, trailing
// blanks cut, blank fields for what was not measured.
void WriteSourceRinex(const std::string& sPath)
{
    std::string s;
    s += H("     3.04           OBSERVATION DATA    M", "RINEX VERSION / TYPE");
    s += H("RXCONV 2.1          field               20090301 120512 UTC", "PGM / RUN BY / DATE");
    s += H("SITE", "MARKER NAME");
    s += H("GEODETIC", "MARKER TYPE");
    s += H("operator            agency", "OBSERVER / AGENCY");
    s += H("3001234             GEODETIC RX         4.3.2", "REC # / TYPE / VERS");
    s += H("5200                CHOKE RING      NONE", "ANT # / TYPE");
    s += H("  -2148744.3966  4426641.2104  4044655.8587", "APPROX POSITION XYZ");
    s += H("        0.0800        0.0000        0.0000", "ANTENNA: DELTA H/E/N");
    const char* apTypes[] = {"G    8 C1C L1C D1C S1C C2W L2W D2W S2W", "R    8 C1C L1C D1C S1C C2P L2P D2P S2P",
                             "E    8 C1C L1C D1C S1C C5Q L5Q D5Q S5Q", "C    8 C2I L2I D2I S2I C7I L7I D7I S7I"};
    for (const char* p : apTypes)
        s += H(p, "SYS / # / OBS TYPES");
    s += H("DBHZ", "SIGNAL STRENGTH UNIT");
    s += H("     1.000", "INTERVAL");
    s += H("  2009     2    28    12     0    0.0000000     GPS", "TIME OF FIRST OBS");
    s += H("  2009     3     1    11    59   59.0050000     GPS", "TIME OF LAST OBS");
    s += H("G L2W  0.00000", "SYS / PHASE SHIFT");
    s += H("  1 R03  5", "GLONASS SLOT / FRQ #");
    s += H(" C1C    0.000 C1P    0.000 C2C    0.000 C2P    0.000", "GLONASS COD/PHS/BIS");
    s += H("    15", "LEAP SECONDS");
    s += H("", "END OF HEADER");

    FILE* pFile = std::fopen(sPath.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    DayModel model;
    for (uint32_t k = 0; k < kEpochs; ++k)
    {
        model.Advance(k);
        std::string sats;
        uint32_t nSats = 0;
        for (uint32_t i = 0; i < Sats().size(); ++i)
        {
            if (!model.At(i, 0).bPresent)
                continue;
            ++nSats;
            char szSat[4];
            std::snprintf(szSat, sizeof szSat, "%c%02d", Sats()[i].cSystem, Sats()[i].nPrn);
            sats += szSat;
            for (uint32_t j = 0; j < kSignals; ++j)
            {
                const Obs& o = model.At(i, j);
                const char cSsi = char('0' + std::min<int64_t>(9, o.nSnr / 6000));
                PutField(sats, o.nPsr, ' ', cSsi);
                if (o.bPhase)
                    PutField(sats, o.nPhase, o.bSlip ? '1' : ' ', cSsi);
                else
                    sats.append(16, ' ');
                if (o.bDoppler)
                    PutField(sats, o.nDoppler, ' ', ' ');
                else
                    sats.append(16, ' ');
                PutField(sats, o.nSnr, ' ', ' ');
            }
            while (sats.back() == ' ')
                sats.pop_back();
            sats += '\n';
        }
        char szCount[16];
        std::snprintf(szCount, sizeof szCount, "  0%3u\n", nSats);
        s += EpochText(k) + szCount + sats;
        if (s.size() > (1u << 20))
        {
            std::fwrite(s.data(), 1, s.size(), pFile);
            s.clear();
        }
    }
    std::fwrite(s.data(), 1, s.size(), pFile);
    std::fclose(pFile);
}

// A field of the output in thousandths; false when blank.
bool ReadField(const std::string& line, size_t nCol, int64_t* pValue, char* pLli)
{
    *pLli = line.size() > nCol + 14 ? line[nCol + 14] : ' ';
    int64_t v = 0;
    bool bDigits = false, bNegative = false;
    for (size_t c = nCol; c < nCol + 14 && c < line.size(); ++c)
    {
        const char ch = line[c];
        if (ch == '-')
            bNegative = true;
        else if (ch >= '0' && ch <= '9')
        {
            v = v * 10 + (ch - '0');
            bDigits = true;
        }
    }
    *pValue = bNegative ? -v : v;
    return bDigits;
}

class RinexDayRoundTrip : public ::testing::Test
{
protected:
    QTemporaryDir m_Dir;
    std::string Path(const char* pName) const { return m_Dir.path().toStdString() + "/" + pName; }

    CompressedPhaseCounts LogToLog(const std::string& sIn, const std::string& sOut, LOG2LOG_KIND_E eKind)
    {
        FILE* pIn = std::fopen(sIn.c_str(), "rb");
        FILE* pOut = std::fopen(sOut.c_str(), "wb");
        CompressedPhaseCounts phases;
        EXPECT_TRUE(pIn && pOut);
        if (pIn && pOut)
        {
            EXPECT_EQ(ConvertLogToLog(pIn, pOut, eKind, 0, nullptr, nullptr, nullptr, &phases), LOG2LOG_OK);
        }
        if (pIn)
            std::fclose(pIn);
        if (pOut)
            std::fclose(pOut);
        return phases;
    }
    void RangeToRinex(const std::string& sIn, const std::string& sOut)
    {
        SourceScanInfo scan{};
        ASSERT_GE(ScanFile(sIn, &scan), SCAN_NO_POSITION);
        const uint8_t nSystems = 1 | 2 | 4 | 8;
        RinexObsHeader obs = HeaderFromScan(304, scan, 0, nSystems);
        RinexNavHeader nav{};
        RangeToRinexJob job;
        job.pSrcPath = sIn.c_str();
        job.pObsPath = sOut.c_str();
        job.nObsMessageId = MSG_ID_RANGE;
        job.nSysMask = nSystems;
        job.pObsHeader = &obs;
        job.pNavHeader = &nav;
        RangeToRinexCounts counts{};
        ASSERT_EQ(ConvertRangeLogToRinex(job, &counts), CONVERT_OK);
        EXPECT_EQ(counts.nEpochsWritten, kEpochs);
    }
};
} // namespace

TEST_F(RinexDayRoundTrip, EveryValueComesBackThroughEveryRangeLogForm)
{
    const std::string sSource = Path("day.09o");
    WriteSourceRinex(sSource);
    ASSERT_EQ(RinexObsFileToLogs(sSource, Path("range.log")), 0);
    const CompressedPhaseCounts cmp = LogToLog(Path("range.log"), Path("cmp.log"), LOG2LOG_RANGE_TO_RANGECMP);
    LogToLog(Path("cmp.log"), Path("range2.log"), LOG2LOG_RANGECMP_TO_RANGE);
    const CompressedPhaseCounts cmp4 = LogToLog(Path("range2.log"), Path("cmp4.log"), LOG2LOG_RANGE_TO_RANGECMP4);
    LogToLog(Path("cmp4.log"), Path("range3.log"), LOG2LOG_RANGECMP4_TO_RANGE);
    RangeToRinex(Path("range3.log"), Path("back.09O"));
    // Offsets from the code range that the compressed fields cannot hold are
    // shifted, never dropped.
    EXPECT_GT(cmp.nShifted, 0u);
    EXPECT_EQ(cmp.nDropped, 0u);
    EXPECT_GT(cmp4.nShifted, 0u);
    EXPECT_EQ(cmp4.nDropped, 0u);

    const std::string sText = ReadTextFile(Path("back.09O"));
    const size_t nBody = sText.find('\n', sText.find("END OF HEADER")) + 1;
    ASSERT_GT(nBody, 0u);
    const auto types = ObsTypesOf(sText.substr(0, nBody));
    EXPECT_EQ(RinexCalendarText(HeaderLineText(sText, "TIME OF FIRST OBS")), RinexCalendarText(EpochText(0)));
    EXPECT_EQ(RinexCalendarText(HeaderLineText(sText, "TIME OF LAST OBS")), RinexCalendarText(EpochText(kEpochs - 1)));

    // Column of each source signal's four types in the output's records.
    struct Columns
    {
        int c = -1, l = -1, d = -1, s = -1;
    };
    std::vector<std::array<Columns, kSignals>> columns(Sats().size());
    for (uint32_t i = 0; i < Sats().size(); ++i)
    {
        const auto it = types.find(Sats()[i].cSystem);
        ASSERT_NE(it, types.end()) << Sats()[i].cSystem;
        for (uint32_t j = 0; j < kSignals; ++j)
            for (size_t n = 0; n < it->second.size(); ++n)
            {
                const std::string& t = it->second[n];
                if (t.substr(1) != Sats()[i].apCodes[j])
                    continue;
                int* p = t[0] == 'C'   ? &columns[i][j].c
                         : t[0] == 'L' ? &columns[i][j].l
                         : t[0] == 'D' ? &columns[i][j].d
                                       : &columns[i][j].s;
                *p = 3 + 16 * static_cast<int>(n);
            }
    }

    // Whole cycles by which each arc's phases came back, set at its first epoch.
    std::map<std::pair<uint32_t, uint32_t>, std::pair<uint32_t, int64_t>> shifts; // (sat, sig) -> (arc, cycles)
    uint32_t nShiftedArcs = 0, nSlips = 0, nBlankDoppler = 0, nFailures = 0;
    std::map<std::string, uint32_t> failures; // by signal and kind
    auto fail = [&](uint32_t k, const std::string& sWhat)
    {
        if (++nFailures <= 10)
            ADD_FAILURE() << EpochText(k) << ": " << sWhat;
        ++failures[sWhat.substr(0, sWhat.find_first_of("0123456789-", 8))];
    };

    DayModel model;
    size_t nPos = nBody;
    uint32_t k = 0;
    for (; k < kEpochs && nPos < sText.size(); ++k)
    {
        model.Advance(k);
        size_t nEnd = sText.find('\n', nPos);
        const std::string epoch = sText.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (epoch.compare(0, 29, EpochText(k)) != 0)
        {
            fail(k, "epoch line " + epoch);
            break;
        }
        for (uint32_t i = 0; i < Sats().size(); ++i)
        {
            if (!model.At(i, 0).bPresent)
                continue;
            nEnd = sText.find('\n', nPos);
            const std::string line = sText.substr(nPos, nEnd - nPos);
            char szSat[4];
            std::snprintf(szSat, sizeof szSat, "%c%02d", Sats()[i].cSystem, Sats()[i].nPrn);
            if (line.compare(0, 3, szSat) != 0)
            {
                fail(k, std::string("satellite ") + szSat + " missing: " + line);
                continue;
            }
            nPos = nEnd + 1;
            for (uint32_t j = 0; j < kSignals; ++j)
            {
                const Obs& o = model.At(i, j);
                const Columns& col = columns[i][j];
                const std::string sSig = std::string(szSat) + " " + Sats()[i].apCodes[j];
                int64_t v = 0;
                char cLli = ' ';
                // Pseudoranges within the compressed forms' resolution, rounded:
                // half of RANGECMP's 1/128 m and of RANGECMP4's 0.5 mm.
                if (!ReadField(line, col.c, &v, &cLli) || std::llabs(v - o.nPsr) > 4)
                    fail(k, sSig + " pseudorange " + std::to_string(v) + " for " + std::to_string(o.nPsr));
                // Phases equal up to whole cycles that stay the same for the arc.
                const bool bPhase = ReadField(line, col.l, &v, &cLli);
                if (bPhase != o.bPhase)
                    fail(k, sSig + (o.bPhase ? " phase lost" : " phase where the source has none"));
                else if (bPhase)
                {
                    const int64_t nCycles = static_cast<int64_t>(std::llround(double(v - o.nPhase) / 1000.0));
                    auto& shift = shifts[{i, j}];
                    if (o.bSlip || shift.first != model.Arc(i, j) + 1)
                    {
                        shift = {model.Arc(i, j) + 1, nCycles};
                        nShiftedArcs += nCycles != 0;
                    }
                    if (nCycles != shift.second || std::llabs(v - o.nPhase - nCycles * 1000) > 2)
                        fail(k, sSig + " phase " + std::to_string(v) + " for " + std::to_string(o.nPhase) +
                                    ", arc shifted by " + std::to_string(shift.second) + " cycles");
                    if ((cLli == '1') != o.bSlip)
                        fail(k, sSig + (o.bSlip ? " slip lost" : " slip where the source has none"));
                    nSlips += o.bSlip;
                }
                // Blanks stay blank; Doppler within 1/512 Hz and RANGECMP4's
                // step. Range logs hold a Doppler they do not have as 0: one
                // that RANGECMP rounds to 0 (a GEO's, below 1/512 Hz) reads as none.
                const bool bDoppler = ReadField(line, col.d, &v, &cLli);
                if (bDoppler != (o.bDoppler && std::llabs(o.nDoppler) >= 2))
                    fail(k, sSig + (o.bDoppler ? " Doppler lost" : " Doppler where the source has none"));
                else if (bDoppler && std::llabs(v - o.nDoppler) > 3)
                    fail(k, sSig + " Doppler " + std::to_string(v) + " for " + std::to_string(o.nDoppler));
                nBlankDoppler += !o.bDoppler;
                // RANGECMP carries whole dB-Hz.
                if (!ReadField(line, col.s, &v, &cLli) || v != o.nSnr / 1000 * 1000)
                    fail(k, sSig + " C/N0 " + std::to_string(v) + " for " + std::to_string(o.nSnr));
            }
        }
    }
    EXPECT_EQ(k, kEpochs);
    EXPECT_EQ(nPos, sText.size()) << "more epochs than the source has";
    EXPECT_EQ(nFailures, 0u);
    for (const auto& f : failures)
        ADD_FAILURE() << f.second << " x " << f.first;
    uint32_t nSourceSlips = 0;
    {
        DayModel m;
        for (uint32_t e = 0; e < kEpochs; ++e)
        {
            m.Advance(e);
            for (uint32_t i = 0; i < Sats().size(); ++i)
                for (uint32_t j = 0; j < kSignals; ++j)
                    nSourceSlips += m.At(i, j).bSlip;
        }
    }
    EXPECT_EQ(nSlips, nSourceSlips);
    EXPECT_GT(nShiftedArcs, 5u);
    EXPECT_GT(nBlankDoppler, 0u);
}
