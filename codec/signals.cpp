#include "codec/signals.h"

#include <atomic>

#include "codec/profile.h"
#include "codec/text_helpers.h"

namespace
{
constexpr uint32_t kBandCount = 5;
constexpr double kGloBaseHz[2] = {1602000000.0, 1246000000.0};
constexpr double kGloSpacingHz[2] = {562500.0, 437500.0};

// Carrier per system and band index, Hz (converter's table; 0 = no carrier).
constexpr double kCarrierHz[GNSS_SYSTEM_COUNT][kBandCount] = {
    {1575420000.0, 1227600000.0, 1176450000.0, 0.0, 1278750000.0},
    {1602000000.0, 1246000000.0, 1202025000.0, 1600995000.0, 1248060000.0},
    {1575420000.0, 1176450000.0, 1207140000.0, 1191795000.0, 1278750000.0},
    {1561098000.0, 1268520000.0, 1207140000.0, 1575420000.0, 1176450000.0},
    {1575420000.0, 1227600000.0, 1176450000.0, 0.0, 0.0},
    {1575420000.0, 1227600000.0, 1176450000.0, 0.0, 1278750000.0},
};

// The monitor's carrier table differs in three cells.
double CarrierHz(uint32_t nSystem, uint32_t nBand)
{
    if (IsMonitorProfile())
    {
        if (nSystem == GNSS_SYSTEM_GLONASS && nBand == 2)
            return 1204704000.0;
        if (nSystem == GNSS_SYSTEM_SBAS && nBand == 4)
            return 1278750000.0;
        if (nSystem == GNSS_SYSTEM_QZSS && nBand == 4)
            return 0.0;
    }
    return kCarrierHz[nSystem][nBand];
}

constexpr const char* kBandNames[GNSS_SYSTEM_COUNT][kBandCount] = {
    {"L1", "L2", "L5", "NA", "L6"},  {"G1", "G2", "G3", "NA", "NA"}, {"E1", "E5A", "E5B", "E5", "E6"},
    {"B1", "B3", "B2", "L1", "B2A"}, {"L1", "NA", "L5", "NA", "NA"}, {"L1", "L2", "L5", "NA", "L6"},
};
constexpr const char* kMonitorGpsBandNames[kBandCount] = {"L1", "L2", "L5", "NA", "NA"};
constexpr const char* kMonitorBdsBandNames[kBandCount] = {"B1", "B3", "B2", "B1c", "B2a"};

const char* BandName(uint32_t nSystem, uint32_t nBand)
{
    if (IsMonitorProfile() && nSystem == GNSS_SYSTEM_GPS)
        return kMonitorGpsBandNames[nBand];
    if (IsMonitorProfile() && nSystem == GNSS_SYSTEM_BDS)
        return kMonitorBdsBandNames[nBand];
    return kBandNames[nSystem][nBand];
}

constexpr uint8_t kRinexBand[GNSS_SYSTEM_COUNT][kBandCount] = {
    {1, 2, 5, 0, 6}, {1, 2, 3, 0, 0}, {1, 5, 7, 8, 6}, {2, 6, 7, 1, 5}, {1, 0, 5, 0, 0}, {1, 2, 5, 0, 6},
};

constexpr const char* kSystemNames[GNSS_SYSTEM_COUNT] = {"GPS", "GLO", "GAL", "BDS", "SBAS", "QZSS"};

struct SystemWord
{
    const char* Text;
    uint32_t Length;
    uint32_t Index;
};
constexpr SystemWord kSystemWords[] = {
    {"GPS", 3, 0}, {"GLO", 3, 1}, {"GAL", 3, 2},     {"BDS", 3, 3},     {"SBA", 3, 4},  {"QZS", 3, 5},  {"ALL", 3, 255},
    {"BEI", 3, 3}, {"BD2", 3, 3}, {"GLONASS", 7, 1}, {"GALILEO", 7, 2}, {"SBAS", 4, 4}, {"QZSS", 4, 5},
};

struct NamedCode
{
    uint16_t Code;
    const char* Name;
};
constexpr NamedCode kNamedCodes[SIGNAL_NAMED_CODE_COUNT] = {
    {GPSL1CA, "GPSL1CA"}, {GPSL1P, "GPSL1P"},   {GPSL1Y, "GPSL1Y"},   {GPSL1N, "GPSL1N"},   {GPSL1W, "GPSL1W"},
    {GPSL1CD, "GPSL1CD"}, {GPSL1CP, "GPSL1CP"}, {GPSL1CX, "GPSL1CX"}, {GPSL1M, "GPSL1M"},   {GPSL2CM, "GPSL2CM"},
    {GPSL2CL, "GPSL2CL"}, {GPSL2CX, "GPSL2CX"}, {GPSL2P, "GPSL2P"},   {GPSL2Y, "GPSL2Y"},   {GPSL2N, "GPSL2N"},
    {GPSL2W, "GPSL2W"},   {GPSL2M, "GPSL2M"},   {GPSL5I, "GPSL5I"},   {GPSL5Q, "GPSL5Q"},   {GPSL5X, "GPSL5X"},
    {GLOL1CA, "GLOL1CA"}, {GLOL1P, "GLOL1P"},   {GLOL2CA, "GLOL2CA"}, {GLOL2P, "GLOL2P"},   {GLOL3I, "GLOL3I"},
    {GLOL3Q, "GLOL3Q"},   {GALE1A, "GALE1A"},   {GALE1B, "GALE1B"},   {GALE1C, "GALE1C"},   {GALE1X, "GALE1X"},
    {GALE1Z, "GALE1Z"},   {GALE5AI, "GALE5AI"}, {GALE5AQ, "GALE5AQ"}, {GALE5AX, "GALE5AX"}, {GALE5BI, "GALE5BI"},
    {GALE5BQ, "GALE5BQ"}, {GALE5BX, "GALE5BX"}, {GALE5I, "GALE5I"},   {GALE5Q, "GALE5Q"},   {GALE5X, "GALE5X"},
    {GALE6B, "GALE6B"},   {GALE6C, "GALE6C"},   {BDSB1I, "BDSB1I"},   {BDSB1P, "BDSB1P"},   {BDSB1X, "BDSB1X"},
    {BDSB2I, "BDSB2I"},   {BDSB2P, "BDSB2P"},   {BDSB2X, "BDSB2X"},   {BDSB3I, "BDSB3I"},   {BDSB3P, "BDSB3P"},
    {BDSB3X, "BDSB3X"},   {BDSB1CD, "BDSB1CD"}, {BDSB1CP, "BDSB1CP"}, {BDSB1CX, "BDSB1CX"}, {BDSB2AD, "BDSB2AD"},
    {BDSB2AP, "BDSB2AP"}, {BDSB2AX, "BDSB2AX"},
};

constexpr uint8_t kDefaultGloChannels[GLO_SLOT_COUNT] = {8, 3, 12, 13, 8,  3, 12, 13, 5,  0, 7,  6, 5,  0,
                                                         7, 6, 11, 4,  10, 9, 11, 4,  10, 9, 11, 2, 14, 0};

std::atomic<uint8_t> g_gloChannels[GLO_SLOT_COUNT] = {
    kDefaultGloChannels[0],  kDefaultGloChannels[1],  kDefaultGloChannels[2],  kDefaultGloChannels[3],
    kDefaultGloChannels[4],  kDefaultGloChannels[5],  kDefaultGloChannels[6],  kDefaultGloChannels[7],
    kDefaultGloChannels[8],  kDefaultGloChannels[9],  kDefaultGloChannels[10], kDefaultGloChannels[11],
    kDefaultGloChannels[12], kDefaultGloChannels[13], kDefaultGloChannels[14], kDefaultGloChannels[15],
    kDefaultGloChannels[16], kDefaultGloChannels[17], kDefaultGloChannels[18], kDefaultGloChannels[19],
    kDefaultGloChannels[20], kDefaultGloChannels[21], kDefaultGloChannels[22], kDefaultGloChannels[23],
    kDefaultGloChannels[24], kDefaultGloChannels[25], kDefaultGloChannels[26], kDefaultGloChannels[27],
};
static_assert(std::atomic<uint8_t>::is_always_lock_free, "channel table must not need a lock");

// Wavelength table: the converter's carriers for every program, with no
// wavelength for SBAS band 1 (no SBAS signal there).
double WavelengthCarrierHz(uint32_t nSystem, uint32_t nBand, uint32_t nChannelIndex)
{
    if (nSystem == GNSS_SYSTEM_GLONASS && nBand < 2)
    {
        if (nChannelIndex >= GLO_CHANNEL_INDEX_COUNT)
            return 0.0;
        return kGloBaseHz[nBand] + (static_cast<int32_t>(nChannelIndex) - 7) * kGloSpacingHz[nBand];
    }
    if (nSystem == GNSS_SYSTEM_SBAS && nBand == 1)
        return 0.0;
    return kCarrierHz[nSystem][nBand];
}

const char* IqLetter(uint32_t nCode)
{
    if (nCode & 0x1000)
        return "X";
    return (nCode & 0x800) ? "Q" : "I";
}

// Component letters of a code, or null for an unknown component.
const char* ComponentLetters(uint32_t nCode)
{
    const uint32_t system = SignalCodeSystem(nCode);
    const uint32_t band = SignalCodeBand(nCode);
    const uint32_t module = SignalCodeModule(nCode);
    switch (system)
    {
    case GNSS_SYSTEM_GLONASS:
        return (nCode & 0x40) ? "P" : "C";
    case GNSS_SYSTEM_GALILEO:
        if (module == 3)
            return IqLetter(nCode);
        if (module > 3)
            return nullptr;
        if (nCode & 0x1000)
            return "X";
        if (nCode & 0x2000)
            return "Z";
        return module == 0 ? "A" : module == 1 ? "B" : "C";
    case GNSS_SYSTEM_BDS:
        if (nCode & 0x1000)
            return "X";
        if (nCode & 0x40)
            return "P";
        return band == 4 ? "D" : "I";
    default: // GPS, SBAS, QZSS
        if ((nCode & 0xC000) == 0x8000)
            return "W";
        if ((nCode & 0xC000) == 0xC000)
            return "N";
        switch (module)
        {
        case 0:
            return band == 2 ? IqLetter(nCode) : "CA";
        case 1:
            return "P";
        case 2:
            return "Y";
        case 3:
            return (nCode & 0x1000) ? "CX" : (nCode & 0x800) ? "CP" : "CD";
        case 4:
            return (nCode & 0x1000) ? "CX" : (nCode & 0x800) ? "CL" : "CM";
        case 5:
            return "M";
        default:
            return nullptr;
        }
    }
}
} // namespace

int SignalCarrierFrequency(uint32_t nCode, double* pHz)
{
    const uint32_t system = SignalCodeSystem(nCode);
    const uint32_t band = SignalCodeBand(nCode);
    if (pHz == nullptr || system >= GNSS_SYSTEM_COUNT || band >= kBandCount)
        return 0;
    const double hz = CarrierHz(system, band);
    if (hz <= 0.0)
        return 0;
    *pHz = hz;
    return 1;
}

int SignalWavelength(uint32_t nCode, uint32_t nChannelIndex, double* pMetres)
{
    const uint32_t system = SignalCodeSystem(nCode);
    const uint32_t band = SignalCodeBand(nCode);
    if (pMetres == nullptr || system >= GNSS_SYSTEM_COUNT || band >= kBandCount)
        return 0;
    const double hz = WavelengthCarrierHz(system, band, nChannelIndex);
    if (hz <= 0.0)
        return 0;
    *pMetres = SPEED_OF_LIGHT / hz;
    return 1;
}

int SignalWaveNumber(uint32_t nCode, uint32_t nChannelIndex, double* pPerMetre)
{
    double lambda = 0.0;
    if (pPerMetre == nullptr || !SignalWavelength(nCode, nChannelIndex, &lambda))
        return 0;
    *pPerMetre = 1.0 / lambda;
    return 1;
}

int SignalWaveNumberSquared(uint32_t nCode, uint32_t nChannelIndex, double* pPerMetre2)
{
    double lambda = 0.0;
    if (pPerMetre2 == nullptr || !SignalWavelength(nCode, nChannelIndex, &lambda))
        return 0;
    *pPerMetre2 = 1.0 / (lambda * lambda);
    return 1;
}

namespace
{
// Channel number k to the table's channel index; k outside -7..+7 maps to an unknown index.
uint32_t ChannelIndexOf(int32_t nChannel)
{
    if (nChannel < -7 || nChannel > 7)
        return GLO_CHANNEL_INDEX_COUNT;
    return static_cast<uint32_t>(nChannel + 7);
}
} // namespace

int MetresToCycles(uint32_t nCode, int32_t nChannel, double dMetres, double* pCycles)
{
    double lambda = 0.0;
    if (pCycles == nullptr || !SignalWavelength(nCode, ChannelIndexOf(nChannel), &lambda))
        return 0;
    *pCycles = dMetres / lambda;
    return 1;
}

int CyclesToMetres(uint32_t nCode, int32_t nChannel, double dCycles, double* pMetres)
{
    double lambda = 0.0;
    if (pMetres == nullptr || !SignalWavelength(nCode, ChannelIndexOf(nChannel), &lambda))
        return 0;
    *pMetres = dCycles * lambda;
    return 1;
}

uint8_t SignalRinexBand(uint32_t nCode)
{
    const uint32_t system = SignalCodeSystem(nCode);
    const uint32_t band = SignalCodeBand(nCode);
    if (system >= GNSS_SYSTEM_COUNT || band >= kBandCount)
        return 0;
    return kRinexBand[system][band];
}

int SignalCodeName(uint32_t nCode, char* pText, uint32_t nCapacity)
{
    if (pText == nullptr || nCapacity < SIGNAL_NAME_SIZE)
        return -1;
    pText[0] = '\0';
    const uint32_t system = SignalCodeSystem(nCode);
    const uint32_t band = SignalCodeBand(nCode);
    if (system >= GNSS_SYSTEM_COUNT ||
        (IsMonitorProfile() && (system == GNSS_SYSTEM_SBAS || system == GNSS_SYSTEM_QZSS)))
        return 0;
    const char* letters = ComponentLetters(nCode);
    if (band >= kBandCount || letters == nullptr)
        return 1;
    FormatString(pText, nCapacity, "%.3s%s%s", kSystemNames[system], BandName(system, band), letters);
    return 0;
}

void DumpSignalCodes()
{
    for (const NamedCode& named : kNamedCodes)
    {
        char text[SIGNAL_NAME_SIZE];
        SignalCodeName(named.Code, text, sizeof(text));
        const uint32_t code = named.Code;
        DebugPrintf("%s\t%s\t %5d,0X%4X System:%d,FreqInSys:%d, FreqID:%4d|0X%2X IQ:%d Module:%d MODE0x%6X\n",
                    named.Name, text, static_cast<int>(code), code, static_cast<int>(SignalCodeSystem(code)),
                    static_cast<int>(SignalCodeBand(code)), static_cast<int>(SignalFreqId(code)), SignalFreqId(code),
                    static_cast<int>(SignalCodeIq(code)), static_cast<int>(SignalCodeModule(code)), code >> 10);
    }
}

const char* SatelliteSystemName(uint32_t nIndex) { return nIndex < GNSS_SYSTEM_COUNT ? kSystemNames[nIndex] : "?"; }

uint32_t SatelliteSystemIndex(const char* pText, uint32_t nLength)
{
    if (pText == nullptr)
        return SATELLITE_SYSTEM_UNKNOWN;
    for (const SystemWord& word : kSystemWords)
    {
        if (word.Length == nLength && StrEqualNoCase(pText, word.Text, nLength))
            return word.Index;
    }
    return SATELLITE_SYSTEM_UNKNOWN;
}

uint8_t GetGloFreqChannel(uint32_t nSlot)
{
    if (nSlot < 1 || nSlot > GLO_SLOT_COUNT)
        return GLO_CHANNEL_UNKNOWN;
    return g_gloChannels[nSlot - 1].load(std::memory_order_relaxed);
}

const uint8_t* GloFreqChannelTable()
{
    thread_local uint8_t t_copy[GLO_SLOT_COUNT];
    for (uint32_t i = 0; i < GLO_SLOT_COUNT; ++i)
        t_copy[i] = g_gloChannels[i].load(std::memory_order_relaxed);
    return t_copy;
}

int SetGloFreqChannelTable(const uint8_t* pTable)
{
    if (pTable == nullptr)
        return 0;
    for (uint32_t i = 0; i < GLO_SLOT_COUNT; ++i)
        if (pTable[i] >= GLO_CHANNEL_INDEX_COUNT)
            return 0;
    for (uint32_t i = 0; i < GLO_SLOT_COUNT; ++i)
        g_gloChannels[i].store(pTable[i], std::memory_order_relaxed);
    return 1;
}

void SetGloFreqChannel(uint32_t nSlot, uint32_t nChannelIndex)
{
    if (nSlot < 1 || nSlot > GLO_SLOT_COUNT || nChannelIndex >= GLO_CHANNEL_INDEX_COUNT)
        return;
    g_gloChannels[nSlot - 1].store(static_cast<uint8_t>(nChannelIndex), std::memory_order_relaxed);
}

double GloChannelSpacing(uint32_t nBand) { return nBand < 2 ? kGloSpacingHz[nBand] : 0.0; }
