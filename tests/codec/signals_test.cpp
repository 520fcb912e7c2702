#include <cstring>
#include <string>

#include "codec/signals.h"
#include "support/profile_fixture.h"

namespace
{
constexpr double kC = 299792458.0;

struct NamedCase
{
    uint16_t nCode;
    uint32_t nSystem, nBand, nRinexBand;
    const char* pConverterName;
    const char* pMonitorName;
};

// Every named code; names follow the naming rules, which differ from the
// list names for GLONASS and for BeiDou B1C.
const NamedCase kNamed[] = {
    {GPSL1CA, 0, 0, 1, "GPSL1CA", "GPSL1CA"}, {GPSL1P, 0, 0, 1, "GPSL1P", "GPSL1P"},
    {GPSL1Y, 0, 0, 1, "GPSL1Y", "GPSL1Y"},    {GPSL1N, 0, 0, 1, "GPSL1N", "GPSL1N"},
    {GPSL1W, 0, 0, 1, "GPSL1W", "GPSL1W"},    {GPSL1CD, 0, 0, 1, "GPSL1CD", "GPSL1CD"},
    {GPSL1CP, 0, 0, 1, "GPSL1CP", "GPSL1CP"}, {GPSL1CX, 0, 0, 1, "GPSL1CX", "GPSL1CX"},
    {GPSL1M, 0, 0, 1, "GPSL1M", "GPSL1M"},    {GPSL2CM, 0, 1, 2, "GPSL2CM", "GPSL2CM"},
    {GPSL2CL, 0, 1, 2, "GPSL2CL", "GPSL2CL"}, {GPSL2CX, 0, 1, 2, "GPSL2CX", "GPSL2CX"},
    {GPSL2P, 0, 1, 2, "GPSL2P", "GPSL2P"},    {GPSL2Y, 0, 1, 2, "GPSL2Y", "GPSL2Y"},
    {GPSL2N, 0, 1, 2, "GPSL2N", "GPSL2N"},    {GPSL2W, 0, 1, 2, "GPSL2W", "GPSL2W"},
    {GPSL2M, 0, 1, 2, "GPSL2M", "GPSL2M"},    {GPSL5I, 0, 2, 5, "GPSL5I", "GPSL5I"},
    {GPSL5Q, 0, 2, 5, "GPSL5Q", "GPSL5Q"},    {GPSL5X, 0, 2, 5, "GPSL5X", "GPSL5X"},
    {GLOL1CA, 1, 0, 1, "GLOG1C", "GLOG1C"},   {GLOL1P, 1, 0, 1, "GLOG1P", "GLOG1P"},
    {GLOL2CA, 1, 1, 2, "GLOG2C", "GLOG2C"},   {GLOL2P, 1, 1, 2, "GLOG2P", "GLOG2P"},
    {GLOL3I, 1, 2, 3, "GLOG3C", "GLOG3C"},    {GLOL3Q, 1, 2, 3, "GLOG3P", "GLOG3P"},
    {GALE1A, 2, 0, 1, "GALE1A", "GALE1A"},    {GALE1B, 2, 0, 1, "GALE1B", "GALE1B"},
    {GALE1C, 2, 0, 1, "GALE1C", "GALE1C"},    {GALE1X, 2, 0, 1, "GALE1X", "GALE1X"},
    {GALE1Z, 2, 0, 1, "GALE1Z", "GALE1Z"},    {GALE5AI, 2, 1, 5, "GALE5AI", "GALE5AI"},
    {GALE5AQ, 2, 1, 5, "GALE5AQ", "GALE5AQ"}, {GALE5AX, 2, 1, 5, "GALE5AX", "GALE5AX"},
    {GALE5BI, 2, 2, 7, "GALE5BI", "GALE5BI"}, {GALE5BQ, 2, 2, 7, "GALE5BQ", "GALE5BQ"},
    {GALE5BX, 2, 2, 7, "GALE5BX", "GALE5BX"}, {GALE5I, 2, 3, 8, "GALE5I", "GALE5I"},
    {GALE5Q, 2, 3, 8, "GALE5Q", "GALE5Q"},    {GALE5X, 2, 3, 8, "GALE5X", "GALE5X"},
    {GALE6B, 2, 4, 6, "GALE6B", "GALE6B"},    {GALE6C, 2, 4, 6, "GALE6C", "GALE6C"},
    {BDSB1I, 3, 0, 2, "BDSB1I", "BDSB1I"},    {BDSB1P, 3, 0, 2, "BDSB1P", "BDSB1P"},
    {BDSB1X, 3, 0, 2, "BDSB1X", "BDSB1X"},    {BDSB2I, 3, 2, 7, "BDSB2I", "BDSB2I"},
    {BDSB2P, 3, 2, 7, "BDSB2P", "BDSB2P"},    {BDSB2X, 3, 2, 7, "BDSB2X", "BDSB2X"},
    {BDSB3I, 3, 1, 6, "BDSB3I", "BDSB3I"},    {BDSB3P, 3, 1, 6, "BDSB3P", "BDSB3P"},
    {BDSB3X, 3, 1, 6, "BDSB3X", "BDSB3X"},    {BDSB1CD, 3, 3, 1, "BDSL1I", "BDSB1cI"},
    {BDSB1CP, 3, 3, 1, "BDSL1P", "BDSB1cP"},  {BDSB1CX, 3, 3, 1, "BDSL1X", "BDSB1cX"},
    {BDSB2AD, 3, 4, 5, "BDSB2AD", "BDSB2aD"}, {BDSB2AP, 3, 4, 5, "BDSB2AP", "BDSB2aP"},
    {BDSB2AX, 3, 4, 5, "BDSB2AX", "BDSB2aX"},
};
static_assert(sizeof(kNamed) / sizeof(kNamed[0]) == SIGNAL_NAMED_CODE_COUNT, "every named code is listed");

uint32_t Code(uint32_t nSystem, uint32_t nBand, uint32_t nModule = 0) { return nSystem | nBand << 3 | nModule << 7; }

// Restores the process-wide GLONASS channel table after a test changes it.
class GloChannelTable : public ::testing::Test
{
protected:
    void SetUp() override { std::memcpy(m_saved, GloFreqChannelTable(), GLO_SLOT_COUNT); }
    void TearDown() override { SetGloFreqChannelTable(m_saved); }
    uint8_t m_saved[GLO_SLOT_COUNT];
};
} // namespace

using SignalCodes = ProfileTest;

TEST_P(SignalCodes, EveryNamedCodeDecodesToSystemBandAndName)
{
    for (const NamedCase& c : kNamed)
    {
        char name[SIGNAL_NAME_SIZE];
        EXPECT_EQ(SignalCodeSystem(c.nCode), c.nSystem) << c.pConverterName;
        EXPECT_EQ(SignalCodeBand(c.nCode), c.nBand) << c.pConverterName;
        EXPECT_EQ(SignalRinexBand(c.nCode), c.nRinexBand) << c.pConverterName;
        EXPECT_EQ(SignalCodeName(c.nCode, name, sizeof(name)), 0);
        EXPECT_STREQ(name, Monitor() ? c.pMonitorName : c.pConverterName);
    }
}

TEST_P(SignalCodes, NamesOfUnnamedAndUnknownCodes)
{
    struct Case
    {
        uint32_t nCode;
        int nResult;
        const char* pConverter; // the monitor names no SBAS or QZSS signal
        const char* pMonitor;
    };
    const Case cases[] = {
        {Code(GNSS_SYSTEM_SBAS, 0), 0, "SBAL1CA", ""},
        {Code(GNSS_SYSTEM_QZSS, 1, 4) | 0x800, 0, "QZSL2CL", ""},
        {Code(GNSS_SYSTEM_GPS, 4, 1), 0, "GPSL6P", "GPSNAP"},
        {Code(GNSS_SYSTEM_GPS, 0, 6), 1, "", ""}, // no GPS component 6
        {Code(GNSS_SYSTEM_GALILEO, 0, 4), 1, "", ""},
        {Code(GNSS_SYSTEM_GLONASS, 5), 1, "", ""}, // no band 5
        {Code(6, 0), 0, "", ""},
        {Code(7, 2), 0, "", ""},
    };
    for (const Case& c : cases)
    {
        char name[SIGNAL_NAME_SIZE] = "garbage";
        EXPECT_EQ(SignalCodeName(c.nCode, name, sizeof(name)), c.nResult) << c.nCode;
        EXPECT_STREQ(name, Monitor() ? c.pMonitor : c.pConverter) << c.nCode;
    }
    char small[SIGNAL_NAME_SIZE - 1] = "x";
    EXPECT_EQ(SignalCodeName(GPSL1CA, small, sizeof(small)), -1);
    EXPECT_STREQ(small, "x");
}

TEST_P(SignalCodes, CarrierFrequenciesFollowTheProfile)
{
    struct Case
    {
        uint32_t nCode;
        double dConverterHz, dMonitorHz; // 0 = no carrier
    };
    const Case cases[] = {
        {GPSL1CA, 1575420000.0, 1575420000.0},          {GLOL2CA, 1246000000.0, 1246000000.0},
        {GLOL3I, 1202025000.0, 1204704000.0},           {BDSB3I, 1268520000.0, 1268520000.0},
        {GALE5I, 1191795000.0, 1191795000.0},           {Code(GNSS_SYSTEM_SBAS, 4), 0.0, 1278750000.0},
        {Code(GNSS_SYSTEM_QZSS, 4), 1278750000.0, 0.0}, {Code(GNSS_SYSTEM_GPS, 3), 0.0, 0.0},
        {Code(GNSS_SYSTEM_GPS, 5), 0.0, 0.0},           {Code(6, 0), 0.0, 0.0},
    };
    for (const Case& c : cases)
    {
        const double expected = Monitor() ? c.dMonitorHz : c.dConverterHz;
        double hz = -1.0;
        EXPECT_EQ(SignalCarrierFrequency(c.nCode, &hz), expected > 0.0 ? 1 : 0) << c.nCode;
        EXPECT_EQ(hz, expected > 0.0 ? expected : -1.0) << c.nCode;
    }
}

// Wavelengths come from the same carriers in both programs, so data gives the
// same cycles whichever program converts it.
TEST_P(SignalCodes, WavelengthsAndUnknownSignals)
{
    struct Case
    {
        uint32_t nCode, nChannelIndex;
        double dMetres; // 0 = no wavelength
    };
    const Case cases[] = {
        {GPSL1CA, 0, 0.190293673},
        {GPSL1CP, 0, 0.190293673},
        {GLOL1CA, 0, 0.187597455}, // k = -7: 1598.0625 MHz
        {GLOL1CA, 7, kC / 1602e6},
        {GLOL1CA, 14, 0.186677538}, // k = +7, the default channel of slot 27
        {GLOL2P, 0, 0.241196728},
        {GLOL1CA, 15, 0.0},
        {GLOL1CA, GLO_CHANNEL_UNKNOWN, 0.0},
        {GLOL3Q, 200, kC / 1202.025e6}, // G3 is not channelised
        {Code(GNSS_SYSTEM_SBAS, 1), 0, 0.0},
        {Code(GNSS_SYSTEM_SBAS, 4), 0, 0.0},
        {Code(GNSS_SYSTEM_GPS, 3), 0, 0.0},
        {Code(7, 0), 0, 0.0},
    };
    for (const Case& c : cases)
    {
        double lambda = -1.0, k = -1.0, k2 = -1.0;
        const int known = c.dMetres > 0.0;
        EXPECT_EQ(SignalWavelength(c.nCode, c.nChannelIndex, &lambda), known) << c.nCode << "/" << c.nChannelIndex;
        EXPECT_EQ(SignalWaveNumber(c.nCode, c.nChannelIndex, &k), known);
        EXPECT_EQ(SignalWaveNumberSquared(c.nCode, c.nChannelIndex, &k2), known);
        if (known)
        {
            EXPECT_NEAR(lambda, c.dMetres, 5e-10) << c.nCode << "/" << c.nChannelIndex;
            EXPECT_DOUBLE_EQ(k, 1.0 / lambda);
            EXPECT_DOUBLE_EQ(k2, 1.0 / (lambda * lambda));
        }
        else
            EXPECT_EQ(lambda + k + k2, -3.0) << "outputs stay untouched";
    }
}
ZV_BOTH_PROFILES(SignalCodes);

TEST(Signals, MetresAndCyclesUseTheChannelNumber)
{
    double cycles = 0.0, metres = 0.0;
    ASSERT_EQ(MetresToCycles(GPSL1CA, 0, 20000000.0, &cycles), 1);
    EXPECT_NEAR(cycles, 20000000.0 * 1575.42e6 / kC, 1e-6);
    ASSERT_EQ(CyclesToMetres(GPSL1CA, 0, cycles, &metres), 1);
    EXPECT_NEAR(metres, 20000000.0, 1e-6);

    ASSERT_EQ(MetresToCycles(GLOL1CA, -7, 1.0, &cycles), 1);
    EXPECT_NEAR(cycles, 1598.0625e6 / kC, 1e-9);
    ASSERT_EQ(CyclesToMetres(GLOL2CA, 6, 1.0, &metres), 1);
    EXPECT_NEAR(metres, kC / (1246e6 + 6 * 437500.0), 1e-12);

    const struct
    {
        uint32_t nCode;
        int32_t nChannel;
    } unknown[] = {{Code(GNSS_SYSTEM_SBAS, 1), 0}, {GLOL1CA, 8}, {GLOL1CA, -8}, {GLOL1CA, INT32_MAX}, {Code(6, 0), 0}};
    for (const auto& u : unknown)
    {
        cycles = metres = 42.0;
        EXPECT_EQ(MetresToCycles(u.nCode, u.nChannel, 1.0, &cycles), 0);
        EXPECT_EQ(CyclesToMetres(u.nCode, u.nChannel, 1.0, &metres), 0);
        EXPECT_EQ(cycles + metres, 84.0);
    }
    EXPECT_EQ(GloChannelSpacing(0), 562500.0);
    EXPECT_EQ(GloChannelSpacing(1), 437500.0);
    EXPECT_EQ(GloChannelSpacing(2), 0.0);
}

TEST(Signals, SystemNamesAndWords)
{
    const char* names[] = {"GPS", "GLO", "GAL", "BDS", "SBAS", "QZSS", "?", "?"};
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_STREQ(SatelliteSystemName(i), names[i]);

    struct Case
    {
        const char* pText;
        uint32_t nLength, nIndex;
    };
    const Case cases[] = {
        {"GPS", 3, 0},
        {"glonass", 7, 1},
        {"GLO", 3, 1},
        {"Galileo", 7, 2},
        {"bei", 3, 3},
        {"BD2", 3, 3},
        {"SBAS", 4, 4},
        {"sba", 3, 4},
        {"QZSS", 4, 5},
        {"all", 3, SATELLITE_SYSTEM_ALL},
        {"GPSX", 4, SATELLITE_SYSTEM_UNKNOWN},
        {"GLO", 7, SATELLITE_SYSTEM_UNKNOWN}, // stops at the NUL, never reads past it
        {"GLONASS", 3, 1},
        {"GP", 2, SATELLITE_SYSTEM_UNKNOWN},
        {nullptr, 3, SATELLITE_SYSTEM_UNKNOWN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SatelliteSystemIndex(c.pText, c.nLength), c.nIndex) << (c.pText ? c.pText : "null") << c.nLength;
}

TEST(Signals, DumpListsEveryNamedCode)
{
    ScopedProfile profile(CODEC_PROFILE_CONVERTER);
    ::testing::internal::CaptureStdout();
    DumpSignalCodes();
    const std::string out = ::testing::internal::GetCapturedStdout();
    size_t lines = 0;
    for (char ch : out)
        lines += ch == '\n';
    EXPECT_EQ(lines, SIGNAL_NAMED_CODE_COUNT);
    EXPECT_EQ(
        out.rfind("GPSL1CA\tGPSL1CA\t     0,0X   0 System:0,FreqInSys:0, FreqID:   0|0X 0 IQ:0 Module:0 MODE0x     0\n",
                  0),
        0u);
    EXPECT_NE(
        out.find(
            "\nBDSB1CD\tBDSL1I\t   283,0X 11B System:3,FreqInSys:3, FreqID:  27|0X1B IQ:0 Module:2 MODE0x     0\n"),
        std::string::npos);
    EXPECT_NE(
        out.find("\nGPSL2N\tGPSL2N\t 49480,0XC148 System:0,FreqInSys:1, FreqID:   8|0X 8 IQ:1 Module:2 MODE0x    30\n"),
        std::string::npos);
}

TEST_F(GloChannelTable, DefaultsAndUnknownSlots)
{
    const uint8_t defaults[GLO_SLOT_COUNT] = {8, 3, 12, 13, 8,  3, 12, 13, 5,  0, 7,  6, 5,  0,
                                              7, 6, 11, 4,  10, 9, 11, 4,  10, 9, 11, 2, 14, 0};
    ASSERT_EQ(SetGloFreqChannelTable(defaults), 1);
    EXPECT_EQ(GetGloFreqChannel(10), 0);  // k = -7
    EXPECT_EQ(GetGloFreqChannel(27), 14); // k = +7
    EXPECT_EQ(GetGloFreqChannel(0), GLO_CHANNEL_UNKNOWN);
    EXPECT_EQ(GetGloFreqChannel(29), GLO_CHANNEL_UNKNOWN);
    double lambda = 0.0;
    EXPECT_EQ(SignalWavelength(GLOL1CA, GetGloFreqChannel(29), &lambda), 0);
}

// A received range log reports each GLONASS satellite as (slot + 37, channel + 7).
TEST_F(GloChannelTable, SetFromAReceivedLog)
{
    const struct
    {
        uint32_t nPrn, nFrequency;
    } observations[] = {{47, 2}, {38, 9}, {65, 13}, {70, 3}, {40, 15}, {37, 4}};
    for (const auto& o : observations)
        SetGloFreqChannel(o.nPrn - 37, o.nFrequency);

    uint8_t expected[GLO_SLOT_COUNT];
    std::memcpy(expected, m_saved, GLO_SLOT_COUNT);
    expected[9] = 2;   // slot 10, k = -5
    expected[0] = 9;   // slot 1
    expected[27] = 13; // slot 28; slot 33, slot 3 with index 15 and slot 0 are ignored
    const uint8_t* table = GloFreqChannelTable();
    EXPECT_EQ(std::memcmp(table, expected, GLO_SLOT_COUNT), 0);

    double lambda = 0.0;
    ASSERT_EQ(SignalWavelength(GLOL1CA, GetGloFreqChannel(10), &lambda), 1);
    EXPECT_NEAR(lambda, kC / (1602e6 - 5 * 562500.0), 1e-12);

    // The returned table is a copy: later changes do not move under the caller.
    SetGloFreqChannel(10, 7);
    EXPECT_EQ(table[9], 2);
    EXPECT_EQ(GetGloFreqChannel(10), 7);

    uint8_t bad[GLO_SLOT_COUNT] = {};
    bad[5] = GLO_CHANNEL_INDEX_COUNT;
    EXPECT_EQ(SetGloFreqChannelTable(bad), 0);
    EXPECT_EQ(SetGloFreqChannelTable(nullptr), 0);
    EXPECT_EQ(GetGloFreqChannel(1), 9);
}
