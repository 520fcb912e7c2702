#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <string>
#include <vector>

#include "codec/text_helpers.h"
#include "converter/engine/rinex_obs_epoch.h"
#include "rinex_check.h"
#include "rinex_fixture.h"

namespace
{
// The lock history the epochs of a test share, as the epochs of one job do.
RinexLockHistory g_Locks;

// One epoch of the store, built satellite by satellite.
class Epoch
{
public:
    explicit Epoch(uint32_t nMsOfWeek = 86418000, uint16_t nWeek = 2295)
    {
        m_State.nKind = 3;
        m_State.nWeek = nWeek;
        m_State.nMsOfWeek = nMsOfWeek;
    }

    ObsSignalSlot& Add(uint32_t nSystem, uint8_t nSat, uint16_t nCode, double dPsr = 21000000.123,
                       double dPhase = 110354880.456, float fDoppler = -1000.25f, uint16_t nCn0 = 4500,
                       uint32_t nLock = 100)
    {
        EpochIndexEntry* pEntry = nullptr;
        for (EpochIndexEntry& e : m_Index)
            if (e.Sat.nSystem == nSystem && e.Sat.nSatNumber == nSat)
                pEntry = &e;
        if (!pEntry)
        {
            m_Index.push_back(EpochIndexEntry{});
            pEntry = &m_Index.back();
            pEntry->Sat.nSystem = static_cast<uint8_t>(nSystem);
            pEntry->Sat.nSatNumber = nSat;
        }
        ObsSignalSlot& slot = pEntry->Slots[pEntry->nSlotCount++];
        pEntry->Sat.nSignalCount = pEntry->nSlotCount;
        slot = ObsSignalSlot{};
        slot.nSatNumber = nSat;
        slot.nObsCode = nCode;
        slot.dPseudorange = dPsr;
        slot.dCarrierPhase = dPhase;
        slot.fDoppler = fDoppler;
        slot.nCn0 = nCn0;
        slot.nLockTime = nLock;
        slot.dLockTime = nLock;
        return slot;
    }

    std::string Text(const RinexObsHeader& h)
    {
        m_State.nSatCount = static_cast<uint16_t>(m_Index.size());
        std::vector<char> buf(RINEX_EPOCH_TEXT_CAPACITY);
        const int n =
            WriteRinexObsEpoch(&m_State, m_Index.data(), &h, &g_Locks, buf.data(), static_cast<uint32_t>(buf.size()));
        EXPECT_GE(n, 0);
        return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
    }

    // The text through the writer's three steps, in exactly the room their
    // bound gives; *pBound gets the bound.
    std::string TextInSteps(const RinexObsHeader& h, int* pBound)
    {
        m_State.nSatCount = static_cast<uint16_t>(m_Index.size());
        std::vector<uint8_t> lli(m_Index.size() * OBS_SIGNALS_PER_SAT);
        std::vector<uint16_t> listed(m_Index.size());
        RinexEpochLossOfLock(&m_State, m_Index.data(), &g_Locks, lli.data());
        const uint32_t n = ListRinexEpochSatellites(&m_State, m_Index.data(), &h, listed.data());
        *pBound = RinexEpochTextBound(&m_State, &h, n);
        std::vector<char> buf(static_cast<size_t>(std::max(*pBound, 0)) + 1);
        const int nText = FormatRinexObsEpoch(&m_State, m_Index.data(), &h, lli.data(), listed.data(), n, buf.data(),
                                              static_cast<uint32_t>(buf.size()));
        EXPECT_GE(nText, 0);
        return nText > 0 ? std::string(buf.data(), static_cast<size_t>(nText)) : std::string();
    }

private:
    ConvertState m_State{};
    std::vector<EpochIndexEntry> m_Index;
};

RinexObsHeader Header(int32_t nVersion, std::initializer_list<std::pair<uint32_t, uint32_t>> codes,
                      uint8_t nSysMask = 63)
{
    ScanResult scan;
    for (const auto& s : codes)
        scan.Add(s.first, s.second, 0xFFFF);
    RinexObsHeader h = MakeObsHeader(nVersion, scan, nSysMask);
    std::vector<char> buf(RINEX_HEADER_TEXT_CAPACITY);
    EXPECT_GT(WriteRinexObsHeader(&h, 0, buf.data(), static_cast<uint32_t>(buf.size())), 0); // sets the time system
    return h;
}

std::string HeaderText(RinexObsHeader h)
{
    std::vector<char> buf(RINEX_HEADER_TEXT_CAPACITY);
    const int n = WriteRinexObsHeader(&h, 0, buf.data(), static_cast<uint32_t>(buf.size()));
    return std::string(buf.data(), static_cast<size_t>(n));
}

std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += x + "\n";
    return s;
}

const uint32_t G = GNSS_SYSTEM_GPS, R = GNSS_SYSTEM_GLONASS, E = GNSS_SYSTEM_GALILEO, C = GNSS_SYSTEM_BDS,
               J = GNSS_SYSTEM_QZSS;

class RinexObsEpoch : public ::testing::Test
{
protected:
    void SetUp() override { g_Locks = RinexLockHistory{}; }
};
} // namespace

TEST_F(RinexObsEpoch, Rinex3RecordGroupsTheFieldsByTheHeaderSignals)
{
    const RinexObsHeader h = Header(304, {{G, 0}, {G, 33096}});
    Epoch epoch;
    epoch.Add(G, 5, 0);
    epoch.Add(G, 5, 33096, 21000005.5, 86000000.25, -780.5f, 3900);
    epoch.Add(G, 12, 0, 22000000.0, 115000000.0, 250.0f, 1000); // no 2W: that group blank
    EXPECT_EQ(epoch.Text(h), "> 2024 01 01 00 00 18.0000000  0  2\n"
                             "G05  21000000.123 7 110354880.456 7     -1000.250          45.000  "
                             "  21000005.500 6  86000000.250 6      -780.500          39.000  \n"
                             "G12  22000000.000 1 115000000.000 1       250.000          10.000  "
                             "                                                                \n");
}

TEST_F(RinexObsEpoch, SignalStrengthIndicatorFollowsCarrierToNoise)
{
    const RinexObsHeader h = Header(304, {{G, 0}});
    const std::pair<uint16_t, char> cases[] = {{4500, '7'}, {1000, '1'}, {6000, '9'}, {1199, '1'},
                                               {1200, '2'}, {5399, '8'}, {5400, '9'}, {1, '1'}};
    for (const auto& c : cases)
    {
        Epoch epoch;
        epoch.Add(G, 5, 0, 21000000.0, 110000000.0, 0.0f, c.first);
        const std::string s = epoch.Text(h);
        const size_t nLine = s.find("G05");
        EXPECT_EQ(s[nLine + 3 + 15], c.second) << c.first;  // pseudorange SSI
        EXPECT_EQ(s[nLine + 19 + 15], c.second) << c.first; // phase SSI
    }
}

// The loss-of-lock indicator is set wherever lock may have been lost since
// the signal's last epoch: the lock time fell, or grew less than the time
// elapsed (slips at two epochs in a row, lock lost within a 30 s interval, a
// signal back after a gap with a new arc), or the phase is not locked. A
// receiver's clock steps of a few milliseconds are no slip.
TEST_F(RinexObsEpoch, LossOfLockAndMissingValues)
{
    const RinexObsHeader h3 = Header(304, {{G, 0}});
    const RinexObsHeader h2 = Header(211, {{G, 0}});
    auto phaseField = [](const std::string& s, int32_t nVersion)
    {
        const size_t nAt = nVersion >= 300 ? s.find("G05") + 19 : s.find('\n') + 1 + 16;
        return s.substr(nAt, 16);
    };
    struct Step
    {
        uint32_t nMs; // since the first epoch
        double dLock; // s
        uint32_t nFlags;
        const char* pField; // the phase field written
    };
    const Step steps[] = {
        {0, 10.0, 0, " 110000000.125 7"},
        {1000, 11.0, 0, " 110000000.125 7"},
        {2000, 3.0, 0, " 110000000.12517"}, // the lock time started again
        {3000, 4.0, 0, " 110000000.125 7"},
        {4000, 0.0, 0, " 110000000.12517"}, // slips at two epochs in a row
        {5000, 0.0, 0, " 110000000.12517"},
        {6000, 1.0, 0, " 110000000.125 7"},
        {36004, 31.0, 0, " 110000000.125 7"},  // 30 s later with a 4 ms clock step
        {66001, 50.0, 0, " 110000000.12517"},  // lock lost within the 30 s
        {126001, 80.0, 0, " 110000000.12517"}, // back after a gap, on a new arc
        {127001, 0.0, OBS_FLAG_PHASE_UNLOCKED, " 110000000.12517"},
        {128001, 1.0, OBS_FLAG_HALF_CYCLE, " 110000000.12537"}, // a new arc, half-cycle ambiguous
        {129001, 2.0, OBS_FLAG_HALF_CYCLE, " 110000000.12527"},
    };
    for (const RinexObsHeader* pHeader : {&h3, &h2})
    {
        g_Locks = RinexLockHistory{};
        const int32_t v = pHeader->nVersion;
        for (const Step& step : steps)
        {
            Epoch epoch(86418000 + step.nMs);
            ObsSignalSlot& slot = epoch.Add(G, 5, 0, 21000000.0, 110000000.125, 0.0f, 4500, 0);
            slot.dLockTime = step.dLock;
            slot.nLockTime = static_cast<uint32_t>(step.dLock);
            slot.nFlags = step.nFlags;
            EXPECT_EQ(phaseField(epoch.Text(*pHeader), v), step.pField) << v << " at " << step.nMs << " ms";
        }
        // No code lock: the pseudorange is blank, the phase stays.
        Epoch epoch(86418000 + 130001);
        epoch.Add(G, 5, 0, 0.0, 110000000.125, 0.0f, 4500, 3);
        const std::string text = epoch.Text(*pHeader);
        EXPECT_EQ(text.substr(v >= 300 ? text.find("G05") + 3 : text.find('\n') + 1, 16), std::string(16, ' ')) << v;
        EXPECT_EQ(phaseField(text, v), " 110000000.125 7") << v;
    }
    // A satellite whose only signal has neither code nor phase is kept for its Doppler and strength.
    Epoch epoch;
    epoch.Add(G, 5, 0, 0.0, 0.0, 12.5f, 4500);
    EXPECT_EQ(epoch.Text(h3),
              "> 2024 01 01 00 00 18.0000000  0  1\nG05" + std::string(32, ' ') + "        12.500          45.000  \n");
}

// A RINEX source without Doppler or signal strength gives range logs that
// hold them as exactly 0: written blank (and no strength indicator), never as
// a 0.000 Hz Doppler or a 0 dB-Hz signal that an elevation or SNR mask would
// act on. A small measured Doppler stays.
TEST_F(RinexObsEpoch, DopplerAndStrengthTheLogDidNotMeasureAreBlank)
{
    {
        const RinexObsHeader h = Header(304, {{G, 0}});
        Epoch epoch;
        epoch.Add(G, 5, 0, 21000000.123, 110354880.456, 0.0f, 0);
        epoch.Add(G, 12, 0, 22000000.0, 115000000.0, -0.004f, 2050);
        EXPECT_EQ(epoch.Text(h), "> 2024 01 01 00 00 18.0000000  0  2\n"
                                 "G05  21000000.123   110354880.456" +
                                     std::string(34, ' ') +
                                     "\n"
                                     "G12  22000000.000 3 115000000.000 3        -0.004          20.500  \n");
    }
    {
        const RinexObsHeader h = Header(211, {{G, 0}});
        Epoch epoch;
        epoch.Add(G, 5, 0, 21000000.123, 110354880.456, 0.0f, 0);
        EXPECT_EQ(epoch.Text(h),
                  " 24  1  1  0  0 18.0000000  0  1G05\n  21000000.123   110354880.456" + std::string(34, ' ') + "\n");
    }
}

TEST_F(RinexObsEpoch, OnlySatellitesWithColumnsAreListedAndCounted)
{
    // 3.01 knows no QZSS; BeiDou is outside this job's systems; SBAS is never written.
    const RinexObsHeader h = Header(301, {{G, 0}, {J, 5}, {C, 3}}, 1 | 32);
    Epoch epoch;
    epoch.Add(J, 1, 5);
    epoch.Add(G, 7, 0);
    epoch.Add(C, 6, 3);
    epoch.Add(GNSS_SYSTEM_SBAS, 3, 0);
    const std::string s = epoch.Text(h);
    EXPECT_EQ(s.substr(0, 36), "> 2024 01 01 00 00 18.0000000  0  1\n");
    EXPECT_EQ(s.find("J01"), std::string::npos);
    EXPECT_EQ(s.find("C06"), std::string::npos);

    // A signal the header has no column for contributes nothing; alone it leaves no epoch.
    Epoch other;
    other.Add(G, 7, 2128);
    EXPECT_EQ(other.Text(h), "");
}

TEST_F(RinexObsEpoch, Rinex2EpochLineAndObservationLines)
{
    // 13 satellites: twelve on the epoch line, the thirteenth on a continuation.
    RinexObsHeader h = Header(211, {{G, 0}});
    Epoch epoch(86418500);
    for (uint8_t prn = 1; prn <= 13; ++prn)
        epoch.Add(G, prn, 0);
    const std::string s = epoch.Text(h);
    EXPECT_EQ(s.substr(0, s.find('\n', 70) + 1),
              " 24  1  1  0  0 18.5000000  0 13G01G02G03G04G05G06G07G08G09G10G11G12\n"
              "                                G13\n");
    // Four types (C1 L1 D1 S1): one line per satellite.
    EXPECT_EQ(s.substr(s.find("G13\n") + 4, 65), "  21000000.123   110354880.456 7     -1000.250          45.000  \n");
    EXPECT_TRUE(CheckObsEpochs(s, 211, ObsTypesOf(HeaderText(h))).empty());

    // Exactly twelve: no continuation line.
    Epoch twelve;
    for (uint8_t prn = 1; prn <= 12; ++prn)
        twelve.Add(G, prn, 0);
    const std::string s12 = twelve.Text(h);
    EXPECT_EQ(s12.find("\n                                "), std::string::npos);

    // Exactly five types: one full line per satellite and no empty one; eight: five and three.
    h = Header(211, {{G, 0}, {G, 2128}});
    h.nRinex2TypeCount = 5;
    Epoch five;
    five.Add(G, 5, 0);
    five.Add(G, 5, 2128);
    std::string s5 = five.Text(h);
    EXPECT_EQ(std::count(s5.begin(), s5.end(), '\n'), 2);
    h.nRinex2TypeCount = 8;
    s5 = five.Text(h);
    EXPECT_EQ(std::count(s5.begin(), s5.end(), '\n'), 3);
    EXPECT_EQ(s5.find("\n\n"), std::string::npos);
}

TEST_F(RinexObsEpoch, Rinex2ColumnsTakeTheSignalOfTheirCode)
{
    // GPS with C/A, P(Y) and L2C, and Galileo: P2 holds the P(Y) pseudorange,
    // C2 the L2C one, L2 the P(Y) phase; Galileo fills C1 but never P2.
    const RinexObsHeader h = Header(211, {{G, 0}, {G, 520}, {G, 33096}, {E, 130}});
    ASSERT_EQ(Joined(ObsTypesOf(HeaderText(h)).at(' ')), "C1\nL1\nD1\nS1\nC2\nP2\nL2\nD2\nS2\n");
    Epoch epoch;
    epoch.Add(G, 5, 0, 20000000.001, 100000000.001);
    epoch.Add(G, 5, 520, 20000000.002, 100000000.002);
    epoch.Add(G, 5, 33096, 20000000.003, 100000000.003);
    epoch.Add(E, 11, 130, 24000000.004, 126000000.004);
    const std::string s = epoch.Text(h);
    EXPECT_EQ(s, " 24  1  1  0  0 18.0000000  0  2G05E11\n"
                 "  20000000.001   100000000.001 7     -1000.250          45.000    20000000.002  \n"
                 "  20000000.003   100000000.003 7     -1000.250          45.000  \n"
                 "  24000000.004   126000000.004 7     -1000.250          45.000                  \n"
                 "                                                                \n");
    EXPECT_TRUE(CheckObsEpochs(s, 211, ObsTypesOf(HeaderText(h))).empty());

    // An L2C-only receiver: C2 and the L2 phase from L2C, P2 blank.
    Epoch l2c;
    l2c.Add(G, 5, 520, 20000000.002, 100000000.002);
    EXPECT_EQ(l2c.Text(h), " 24  1  1  0  0 18.0000000  0  1G05\n"
                           "                                                                  20000000.002  \n"
                           "                 100000000.002 7     -1000.250          45.000  \n");
}

TEST_F(RinexObsEpoch, EpochTimeInTheHeadersTimeSystem)
{
    const RinexObsHeader glo = Header(304, {{R, 1}}, 2);
    Epoch epoch(86418000);
    epoch.Add(R, 7, 1);
    EXPECT_EQ(epoch.Text(glo).substr(0, 36), "> 2024 01 01 00 00  0.0000000  0  1\n");
    // A GPS time just after the week started lies in the week before in UTC.
    Epoch early(5000, 2295);
    early.Add(R, 7, 1);
    EXPECT_EQ(early.Text(glo).substr(0, 36), "> 2023 12 30 23 59 47.0000000  0  1\n");
}

TEST_F(RinexObsEpoch, EpochsOfEveryVersionConformToTheirHeader)
{
    for (int32_t v : {210, 211, 302, 303, 304})
    {
        g_Locks = RinexLockHistory{};
        RinexObsHeader h = MakeObsHeader(v);
        const std::string sHeader = HeaderText(h);
        std::vector<char> buf(RINEX_HEADER_TEXT_CAPACITY);
        WriteRinexObsHeader(&h, 0, buf.data(), static_cast<uint32_t>(buf.size()));
        std::string sEpochs;
        for (uint32_t k = 0; k < 3; ++k)
        {
            Epoch epoch(86418000 + 1000 * k);
            epoch.Add(G, 5, 0).nLockTime = k == 2 ? 0 : 10 + k;
            epoch.Add(G, 5, 33096);
            epoch.Add(G, 5, 520, 0.0);
            epoch.Add(G, 9, 2128, 22000000.5, -1.5e8);
            epoch.Add(R, 7, 1);
            epoch.Add(R, 7, 201);
            epoch.Add(R, 7, 2385);
            epoch.Add(E, 11, 130);
            epoch.Add(E, 11, 2514);
            epoch.Add(C, 6, 3);
            epoch.Add(C, 6, 2395);
            epoch.Add(J, 1, 5);
            epoch.Add(J, 1, 525);
            sEpochs += epoch.Text(h);
        }
        const std::vector<std::string> errors = CheckObsEpochs(sEpochs, v, ObsTypesOf(sHeader));
        EXPECT_TRUE(errors.empty()) << v << "\n" << Joined(errors) << sEpochs;
    }
}

TEST_F(RinexObsEpoch, WritesTheEpochToTheFile)
{
    const RinexObsHeader h = Header(304, {{G, 0}});
    ConvertState state{};
    state.nWeek = 2295;
    state.nMsOfWeek = 86418000;
    state.nSatCount = 1;
    EpochIndexEntry entry{};
    entry.Sat.nSystem = 0;
    entry.Sat.nSatNumber = 5;
    entry.nSlotCount = 1;
    entry.Slots[0].nObsCode = 0;
    entry.Slots[0].dPseudorange = 21000000.0;
    FILE* pFile = std::tmpfile();
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(WriteRinexObsEpochBlock(&state, &entry, &h, &g_Locks, pFile), 0);
    EXPECT_EQ(std::ftell(pFile), 36 + 3 + 16 * 4 + 1);
    std::fclose(pFile);
    EXPECT_EQ(WriteRinexObsEpochBlock(&state, &entry, &h, &g_Locks, nullptr), -1);
    char small[40];
    EXPECT_EQ(WriteRinexObsEpoch(&state, &entry, &h, &g_Locks, small, sizeof(small)), -1);
}

// The writer's steps as a job on several threads takes them give the text of
// the whole writer, within the bound that job reserves for it: on the fullest
// epochs, every satellite of every system with five signals, each slot's
// lock restarting every other epoch.
TEST_F(RinexObsEpoch, StepsGiveTheWritersTextWithinTheirBound)
{
    const std::pair<uint32_t, std::vector<uint16_t>> systems[] = {{G, {0, 33096, 2128, 520, 384}},
                                                                  {R, {1, 201, 9, 17, 2385}},
                                                                  {E, {2306, 2506, 2514, 2522, 130}},
                                                                  {C, {3, 19, 11, 2395, 2531}},
                                                                  {J, {5, 525, 2133, 389, 2917}}};
    for (int32_t v : {211, 212, 304})
    {
        ScanResult scan;
        for (const auto& sys : systems)
            for (uint16_t nCode : sys.second)
                scan.Add(sys.first, nCode, 0xFFFF);
        RinexObsHeader h = MakeObsHeader(v, scan, 63);
        std::vector<char> buf(RINEX_HEADER_TEXT_CAPACITY);
        ASSERT_GT(WriteRinexObsHeader(&h, 0, buf.data(), static_cast<uint32_t>(buf.size())), 0);
        std::string asText[2];
        for (int nWay = 0; nWay < 2; ++nWay)
        {
            g_Locks = RinexLockHistory{};
            for (uint32_t k = 0; k < 2; ++k)
            {
                Epoch epoch(86418000 + 1000 * k);
                for (const auto& sys : systems)
                    for (uint8_t nSat = 1; nSat <= (sys.first == J ? 10 : 64); ++nSat)
                        for (uint16_t nCode : sys.second)
                            epoch.Add(sys.first, nSat, nCode, 21000000.123 + nSat, -123456789.875 - nCode)
                                .dLockTime = (k + nSat) % 2 ? 3.0 : 100.0;
                int nBound = 0;
                const std::string sText = nWay ? epoch.TextInSteps(h, &nBound) : epoch.Text(h);
                EXPECT_LE(sText.size(), nWay ? static_cast<size_t>(nBound) : sText.size()) << v;
                asText[nWay] += sText;
            }
        }
        EXPECT_GT(asText[0].size(), 100000u) << v;
        EXPECT_TRUE(asText[0] == asText[1]) << v;
    }
}

// A signal RINEX 2.12 cannot name (the GPS M code) is noted in the debug log
// once, when the header is made from the source's signals, not again for
// each epoch that holds it.
TEST_F(RinexObsEpoch, ASignalRinex2CannotNameIsNotedOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("DebugOutput"));
    SetCodecConfigDir(dir.path().toLocal8Bit().constData());
    ASSERT_EQ(OpenDebugLog(), 1);
    const RinexObsHeader h = Header(212, {{G, GPSL1CA}, {G, GPSL1M}}, 1);
    for (uint32_t k = 0; k < 5; ++k)
    {
        Epoch e(86418000 + k * 1000);
        e.Add(G, 1, GPSL1CA);
        e.Add(G, 1, GPSL1M);
        EXPECT_NE(e.Text(h), "");
        int nBound = 0;
        EXPECT_NE(e.TextInSteps(h, &nBound), "");
    }
    CloseDebugLog();
    SetCodecConfigDir(nullptr);
    QFile log(dir.filePath("DebugOutput/MoxelinLog.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().toStdString(), "GPS Signal GPS_M do not support.\n");
}
