#include "monitor/parsing/rtcm3_decode.h"

#include <cstdarg>
#include <cstring>

#include "codec/bitfield.h"
#include "codec/crc.h"
#include "codec/signals.h"
#include "codec/text_helpers.h"
#include "monitor/parsing/parsing_log.h"

namespace
{

// MSB-first reader over one payload: a field that would reach past the end
// reads as 0 and marks the message short.
class PayloadReader
{
public:
    PayloadReader(const uint8_t* pPayload, uint32_t nBytes) : m_p(pPayload), m_nBits(nBytes * 8) {}

    uint32_t U(uint32_t nWidth)
    {
        if (!Take(nWidth))
            return 0;
        return ExtractBitsMsb32(m_p, m_nPos - nWidth, nWidth);
    }
    uint64_t U64(uint32_t nWidth)
    {
        uint64_t v = 0;
        if (Take(nWidth))
            ExtractBitsMsb(m_p, m_nPos - nWidth, nWidth, 1, &v);
        return v;
    }
    int64_t S64(uint32_t nWidth)
    {
        uint64_t v = 0;
        if (Take(nWidth))
            ExtractBitsMsb(m_p, m_nPos - nWidth, nWidth, 0, &v);
        return static_cast<int64_t>(v);
    }
    // Copies nCount bytes of text into pOut (room for nCapacity - 1 and a NUL);
    // bytes beyond that are skipped. Control characters become blanks so that
    // the line stays one line.
    void Text(uint32_t nCount, char* pOut, uint32_t nCapacity)
    {
        uint32_t n = 0;
        for (uint32_t i = 0; i < nCount && !m_bShort; ++i)
        {
            const uint32_t c = U(8);
            if (n + 1 < nCapacity)
                pOut[n++] = (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
        }
        pOut[m_bShort ? 0 : n] = '\0';
    }
    bool Short() const { return m_bShort; }

private:
    bool Take(uint32_t nWidth)
    {
        if (m_bShort || nWidth > m_nBits - m_nPos)
        {
            m_bShort = true;
            return false;
        }
        m_nPos += nWidth;
        return true;
    }

    const uint8_t* m_p;
    uint32_t m_nBits;
    uint32_t m_nPos = 12; // behind the message number
    bool m_bShort = false;
};

// printf appends to the line; what does not fit is left out (the caller's
// capacity covers the longest line).
struct LineWriter
{
    char* pOut;
    uint32_t nCapacity;
    uint32_t nLength;

    void Add(const char* pFormat, ...) ZV_PRINTF_LIKE(2, 3)
    {
        va_list args;
        va_start(args, pFormat);
        const int32_t n = FormatStringV(pOut + nLength, nCapacity - nLength, pFormat, args);
        va_end(args);
        if (n > 0)
            nLength += static_cast<uint32_t>(n);
        else
            pOut[nLength] = '\0';
    }
    void Truncate(uint32_t nLength_)
    {
        nLength = nLength_;
        pOut[nLength] = '\0';
    }
};

// ---- Observations ----

void DecodeLegacyObs(RTCM3_DECODE_STATE_T* pState, uint32_t nMsg, PayloadReader& r, LineWriter& w)
{
    const bool bGlo = nMsg >= 1009;
    const uint32_t station = r.U(12);
    const uint32_t epoch = r.U(bGlo ? 27 : 30);
    const uint32_t sync = r.U(1);
    const uint32_t nsat = r.U(5);
    r.U(4); // smoothing indicator and interval
    if (r.Short())
        return;
    // 1001/1002 and 1009/1010 carry L1 only; the others L1 and L2.
    const uint32_t nSignals = (nMsg - (bGlo ? 1009 : 1001)) < 2 ? 1 : 2;
    w.Add("%s Obs :Epoch %10d,SatNum:%2u, Signal:%u, BaseID %04d, Sync %d", bGlo ? "GLO" : "GPS",
          static_cast<int>(epoch), nsat, nSignals, static_cast<int>(station), static_cast<int>(sync));
    pState->EpochComplete = sync == 0;
}

// MSM signal IDs (1-32) to signal codes, per table: GPS (also SBAS),
// GLONASS, Galileo, BeiDou; IDs not listed carry no signal.

struct MSM_SIGNAL_T
{
    uint8_t Id;
    uint16_t Code;
};

constexpr MSM_SIGNAL_T kGpsMsmSignals[] = {
    {2, GPSL1CA},  {3, GPSL1P},  {4, GPSL1W},  {8, GPSL2CA}, {9, GPSL2P},   {10, GPSL2W},  {15, GPSL2CM}, {16, GPSL2CL},
    {17, GPSL2CX}, {22, GPSL5I}, {23, GPSL5Q}, {24, GPSL5X}, {30, GPSL1CD}, {31, GPSL1CP}, {32, GPSL1CX},
};
constexpr MSM_SIGNAL_T kGloMsmSignals[] = {{2, GLOL1CA}, {3, GLOL1P}, {8, GLOL2CA}, {9, GLOL2P}};
constexpr MSM_SIGNAL_T kGalMsmSignals[] = {
    {2, GALE1C},  {3, GALE1A},  {4, GALE1B},   {5, GALE1X},   {6, GALE1Z},   {8, GALE6C},   {9, GALE6A},
    {10, GALE6B}, {11, GALE6X}, {12, GALE6Z},  {14, GALE5BI}, {15, GALE5BQ}, {16, GALE5BX}, {18, GALE5I},
    {19, GALE5Q}, {20, GALE5X}, {22, GALE5AI}, {23, GALE5AQ}, {24, GALE5AX},
};
constexpr MSM_SIGNAL_T kBdsMsmSignals[] = {
    {2, BDSB1I},   {3, BDSB1P},   {4, BDSB1X},   {8, BDSB3I},   {9, BDSB3P},
    {10, BDSB3X},  {14, BDSB2I},  {15, BDSB2P},  {16, BDSB2X},  {22, BDSB2AD},
    {23, BDSB2AP}, {24, BDSB2AX}, {30, BDSB1CD}, {31, BDSB1CP}, {32, BDSB1CX},
};

// QZSS signals by their own MSM signal IDs, which differ from the GPS ones
// (ID 6 is L1S, 9-11 are L6). The codec gives QZSS signal codes no names in
// the monitor, so the names are written here, in the form of the others.
struct MSM_NAME_T
{
    uint8_t Id;
    const char* Name;
};
constexpr MSM_NAME_T kQzssMsmNames[] = {
    {2, "QZSL1CA"},  {6, "QZSL1S"},  {9, "QZSL6D"},  {10, "QZSL6P"}, {11, "QZSL6X"},  {15, "QZSL2CM"}, {16, "QZSL2CL"},
    {17, "QZSL2CX"}, {22, "QZSL5I"}, {23, "QZSL5Q"}, {24, "QZSL5X"}, {30, "QZSL1CD"}, {31, "QZSL1CP"}, {32, "QZSL1CX"},
};

struct MSM_SYSTEM_T
{
    const char* Name;
    const MSM_SIGNAL_T* Signals; // signal codes, named by the codec
    uint32_t SignalCount;
    const MSM_NAME_T* Names; // or the names themselves
    uint32_t NameCount;
    bool bGloEpoch; // epoch is day of week (3 bits) and time of day (27 bits)
};

#define SIGNALS(t) t, sizeof(t) / sizeof(t[0])
// By the tens digit of the message number: 107x GPS ... 112x BeiDou.
constexpr MSM_SYSTEM_T kMsmSystems[] = {
    {"GPS", SIGNALS(kGpsMsmSignals), nullptr, 0, false}, {"GLO", SIGNALS(kGloMsmSignals), nullptr, 0, true},
    {"GAL", SIGNALS(kGalMsmSignals), nullptr, 0, false}, {"SBAS", SIGNALS(kGpsMsmSignals), nullptr, 0, false},
    {"QZSS", nullptr, 0, SIGNALS(kQzssMsmNames), false}, {"BDS", SIGNALS(kBdsMsmSignals), nullptr, 0, false},
};
#undef SIGNALS

// The name of a signal ID of the system; empty for an ID it does not use.
void MsmSignalName(const MSM_SYSTEM_T& sys, uint32_t nId, char* pName, uint32_t nCapacity)
{
    pName[0] = '\0';
    for (uint32_t i = 0; i < sys.NameCount; ++i)
        if (sys.Names[i].Id == nId)
            FormatString(pName, nCapacity, "%s", sys.Names[i].Name);
    for (uint32_t i = 0; i < sys.SignalCount; ++i)
        if (sys.Signals[i].Id == nId)
            SignalCodeName(sys.Signals[i].Code, pName, nCapacity);
}

constexpr uint32_t MSM_MAX_SATS = 32;
constexpr uint32_t MSM_MAX_SIGNALS = 8;
constexpr uint32_t MSM_MAX_CELLS = 64;

void DecodeMsm(RTCM3_DECODE_STATE_T* pState, uint32_t nMsg, PayloadReader& r, LineWriter& w)
{
    const MSM_SYSTEM_T& sys = kMsmSystems[(nMsg - 1071) / 10];
    const uint32_t station = r.U(12);
    if (sys.bGloEpoch)
        r.U(3);
    const uint32_t epoch = r.U(sys.bGloEpoch ? 27 : 30);
    const uint32_t sync = r.U(1);
    r.U(3 + 7 + 2 + 2 + 1 + 3); // IODS, reserved, clock steering, external clock, smoothing
    const uint64_t satMask = r.U64(64);
    const uint32_t sigMask = r.U(32);
    if (r.Short())
        return;
    const uint32_t nsat = PopCount64(satMask);
    const uint32_t nsig = PopCount32(sigMask);
    const uint32_t cells = nsat * nsig;
    qCDebug(lcRtcm3, "Signal Mask: %x", sigMask);
    if (nsat > MSM_MAX_SATS || nsig > MSM_MAX_SIGNALS || cells > MSM_MAX_CELLS)
    {
        qCDebug(lcRtcm3, "Err! RTCM3Decode MSM Cell Num %u %u %u", nsat, nsig, cells);
        w.Add("MSM %4s:Epoch %10u,Sat:%2u, Signal:%u, BaseID %04d, Sync %d, Abnormal Err Cell", sys.Name, epoch, nsat,
              nsig, static_cast<int>(station), static_cast<int>(sync));
        return;
    }
    r.U64(cells); // the cell mask must be there; its cells are not shown
    if (r.Short())
        return;
    w.Add("MSM %4s:Epoch %10d,Sat:%2u, Signal:%u, BaseID %04d, Sync %d,", sys.Name, static_cast<int>(epoch), nsat, nsig,
          static_cast<int>(station), static_cast<int>(sync));
    for (uint32_t id = 1; id <= 32; ++id)
    {
        if (!(sigMask & (0x80000000u >> (id - 1))))
            continue;
        char name[SIGNAL_NAME_SIZE];
        MsmSignalName(sys, id, name, sizeof name);
        w.Add("%-7s ", name);
    }
    pState->EpochComplete = sync == 0;
}

// ---- Station data ----

void DecodeArp(uint32_t nMsg, PayloadReader& r, LineWriter& w)
{
    const uint32_t station = r.U(12);
    r.U(6);                          // ITRF realisation year
    const uint32_t systems = r.U(3); // GPS, GLONASS, Galileo
    const uint32_t vrs = r.U(1);
    const int64_t x = r.S64(38);
    const uint32_t singleClock = r.U(1);
    r.U(1);
    const int64_t y = r.S64(38);
    const uint32_t quarter = r.U(2);
    const int64_t z = r.S64(38);
    const double height = nMsg == 1006 ? r.U(16) * 0.0001 : -1.0;
    if (r.Short())
        return;
    w.Add("ARP     :RefS %d %s F%d Sys %u SingleClock:%d 1/4Cycle:%d %lf %lf %lf %lf", static_cast<int>(station),
          vrs ? "VRS" : "Physical", static_cast<int>(vrs), systems, static_cast<int>(singleClock),
          static_cast<int>(quarter), x * 0.0001, y * 0.0001, z * 0.0001, height);
}

constexpr uint32_t RECEIVER_TEXT_MAX = 127;

// A receiver text of 1033, cut to RECEIVER_TEXT_MAX characters.
uint32_t ReceiverText(PayloadReader& r, char (&text)[RECEIVER_TEXT_MAX + 1], const char* pWhat)
{
    uint32_t n = r.U(8);
    r.Text(n, text, sizeof text);
    if (n > RECEIVER_TEXT_MAX)
    {
        qCDebug(lcRtcm3, "RTCM3 1033 Char num too long %s %u", pWhat, n);
        n = RECEIVER_TEXT_MAX;
    }
    return n;
}

void DecodeDescriptor(uint32_t nMsg, PayloadReader& r, LineWriter& w)
{
    char antenna[256], antennaSn[256];
    char type[RECEIVER_TEXT_MAX + 1] = "", firmware[RECEIVER_TEXT_MAX + 1] = "", serial[RECEIVER_TEXT_MAX + 1] = "";
    uint32_t nSn = 0, nType = 0, nFirmware = 0, nSerial = 0;
    antennaSn[0] = '\0';
    const uint32_t station = r.U(12);
    const uint32_t nAntenna = r.U(8);
    r.Text(nAntenna, antenna, sizeof antenna);
    const uint32_t setup = r.U(8);
    if (nMsg != 1007)
    {
        nSn = r.U(8);
        r.Text(nSn, antennaSn, sizeof antennaSn);
    }
    if (nMsg == 1033)
    {
        nType = ReceiverText(r, type, "RevTypeCharNum");
        nFirmware = ReceiverText(r, firmware, "RevFWVersion");
        nSerial = ReceiverText(r, serial, "RevSerialCharNum");
    }
    if (r.Short())
        return;
    w.Add("Receiver:RefS %d SetupID:%3d, |A %u %s SN %u %s| R Type %d %s FW %d %s SN %d %s", static_cast<int>(station),
          static_cast<int>(setup), nAntenna, antenna, nSn, antennaSn, static_cast<int>(nType), type,
          static_cast<int>(nFirmware), firmware, static_cast<int>(nSerial), serial);
}

void DecodeSystemParameters(PayloadReader& r, LineWriter& w)
{
    r.U(12 + 16 + 17); // station, day, seconds
    const uint32_t count = r.U(5);
    const uint32_t leap = r.U(8);
    if (r.Short())
        return;
    w.Add("Sys Para:Leap %d, MsgNum %d:", static_cast<int>(leap), static_cast<int>(count));
    for (uint32_t i = 0; i < count; ++i)
    {
        const uint32_t id = r.U(12);
        r.U(1);
        const uint32_t interval = r.U(16); // 0.1 s
        if (r.Short())
            return;
        if (interval == 10)
            w.Add("%4d 1;", static_cast<int>(id));
        else
            w.Add("%4d %.1f;", static_cast<int>(id), interval / 10.0);
    }
}

void DecodeTextMessage(RTCM3_DECODE_STATE_T* pState, PayloadReader& r, LineWriter& w)
{
    r.U(12); // station
    const uint32_t day = r.U(16);
    const uint32_t seconds = r.U(17);
    const uint32_t chars = r.U(7);
    const uint32_t units = r.U(8);
    r.Text(units, pState->MessageText, sizeof pState->MessageText);
    if (r.Short())
        return;
    w.Add("TXT STR :Day %d, sec %d, CharN %d,Unit %d:%s", static_cast<int>(day), static_cast<int>(seconds),
          static_cast<int>(chars), static_cast<int>(units), pState->MessageText);
}

// ---- Ephemerides ----

struct EPHEMERIS_T
{
    uint32_t Message;
    const char* Label;
    uint32_t SatBits;
    uint32_t FirstSat;
    uint32_t LastSat;
    const char* Suffix;
};

constexpr EPHEMERIS_T kEphemerides[] = {
    {1019, "GPS", 6, 1, 32, nullptr}, {1020, "GLO", 6, 1, 32, nullptr}, {1043, "SBA", 6, 0, 27, nullptr},
    {1044, "QZS", 4, 1, 15, nullptr}, {1045, "GAL", 6, 1, 36, "FNav"},  {1046, "GAL", 6, 1, 36, "INav"},
    {63, "BDS", 6, 1, 37, nullptr},   {1042, "BDS", 6, 1, 37, nullptr}, {1339, "BDS", 6, 1, 37, nullptr},
};

const EPHEMERIS_T* FindEphemeris(uint32_t nMsg)
{
    for (const EPHEMERIS_T& e : kEphemerides)
        if (e.Message == nMsg)
            return &e;
    return nullptr;
}

void DecodeEphemeris(const EPHEMERIS_T& e, uint32_t nMsg, PayloadReader& r, LineWriter& w)
{
    const uint32_t sat = r.U(e.SatBits);
    if (r.Short() || sat < e.FirstSat || sat > e.LastSat)
        return;
    qCDebug(lcRtcm3, "MsgID:%4u %s Eph Sat:%u", nMsg, e.Label, sat);
    w.Add("%s Ephm:Sat:%2u", e.Label, sat);
    if (e.Suffix)
        w.Add(" %s", e.Suffix);
}

void DecodeGloBiases(PayloadReader& r, LineWriter& w)
{
    r.U(12); // station
    const uint32_t indicator = r.U(1);
    r.U(3);
    const uint32_t mask = r.U(4);
    double bias[4] = {0, 0, 0, 0};
    for (uint32_t i = 0; i < 4; ++i)
        if (mask & (8u >> i))
            bias[i] = static_cast<double>(r.S64(16)) * 0.02;
    if (r.Short())
        return;
    w.Add("Glo Bias:BiasF %d Mask 0X%X: %.4f, %.4f, %.4f, %.4f", static_cast<int>(indicator), mask, bias[0], bias[1],
          bias[2], bias[3]);
}

// ---- State space representation ----

enum SSR_KIND_E : uint32_t
{
    SSR_ORBIT,
    SSR_CLOCK,
    SSR_CODE_BIAS,
    SSR_COMBINED,
    SSR_URA,
    SSR_HR_CLOCK,
    SSR_PHASE_BIAS,
};

struct SSR_BLOCK_T
{
    uint32_t First; // orbit message; the five other kinds follow
    GNSS_SYSTEM_E System;
};

constexpr SSR_BLOCK_T kSsrBlocks[] = {
    {1057, GNSS_SYSTEM_GPS},  {1063, GNSS_SYSTEM_GLONASS}, {1240, GNSS_SYSTEM_GALILEO},
    {1246, GNSS_SYSTEM_QZSS}, {1252, GNSS_SYSTEM_SBAS},    {1258, GNSS_SYSTEM_BDS},
};
// Phase biases 1265-1270.
constexpr GNSS_SYSTEM_E kPhaseBiasSystems[] = {GNSS_SYSTEM_GPS,  GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_GALILEO,
                                               GNSS_SYSTEM_QZSS, GNSS_SYSTEM_SBAS,    GNSS_SYSTEM_BDS};

bool FindSsr(uint32_t nMsg, SSR_KIND_E* pKind, GNSS_SYSTEM_E* pSystem)
{
    for (const SSR_BLOCK_T& b : kSsrBlocks)
        if (nMsg >= b.First && nMsg < b.First + 6)
        {
            *pKind = static_cast<SSR_KIND_E>(nMsg - b.First);
            *pSystem = b.System;
            return true;
        }
    if (nMsg >= 1265 && nMsg <= 1270)
    {
        *pKind = SSR_PHASE_BIAS;
        *pSystem = kPhaseBiasSystems[nMsg - 1265];
        return true;
    }
    return false;
}

void DecodeSsr(SSR_KIND_E eKind, GNSS_SYSTEM_E eSystem, PayloadReader& r, LineWriter& w)
{
    static const char* const kLabels[] = {"SSROrClk", "SSROrClk", "SSRCodeB", "SSROrClk",
                                          "SSR URA",  "SSRFaClk", "SSRPhasB"};
    const uint32_t epoch = r.U(eSystem == GNSS_SYSTEM_GLONASS ? 17 : 20);
    const uint32_t interval = r.U(4);
    const uint32_t sync = r.U(1);
    if (eKind == SSR_ORBIT || eKind == SSR_COMBINED)
        r.U(1); // satellite reference datum
    const uint32_t iod = r.U(4);
    const uint32_t provider = r.U(16);
    const uint32_t solution = r.U(4);
    if (eKind == SSR_PHASE_BIAS)
        r.U(2); // dispersive bias and MW consistency indicators
    const uint32_t nsat = r.U(6);
    if (r.Short())
        return;
    w.Add("%s:%s:Epoch %10u,SatNum:%2u, UpInterval:%u, IOD %04d, Provider %d, Solution %d, Sync %d", kLabels[eKind],
          SatelliteSystemName(eSystem), epoch, nsat, interval, static_cast<int>(iod), static_cast<int>(provider),
          static_cast<int>(solution), static_cast<int>(sync));
}

void DecodeVtec(PayloadReader& r, LineWriter& w)
{
    const uint32_t epoch = r.U(20);
    const uint32_t interval = r.U(4);
    const uint32_t sync = r.U(1);
    const uint32_t iod = r.U(4);
    const uint32_t provider = r.U(16);
    const uint32_t solution = r.U(4);
    const uint32_t quality = r.U(9);
    const uint32_t layers = r.U(2) + 1;
    const uint32_t height = r.U(8) * 10; // km
    const uint32_t degree = r.U(4) + 1;
    const uint32_t order = r.U(4) + 1;
    if (r.Short())
        return;
    w.Add("SSRVTEC :   :Epoch %10u,UpInterval:%u, IOD %04d, Provider %d, Solution %d Sync %d Quality %u Layer %u, "
          "Layer 0 - %u, %u  %u",
          epoch, interval, static_cast<int>(iod), static_cast<int>(provider), static_cast<int>(solution),
          static_cast<int>(sync), quality, layers, height, degree, order);
}

// 4089 frames of a remote firmware upgrade, explained by the upgrade decoder
// and kept on one line; other uses of the number are unknown here.
void DecodeRemoteUpgrade(RTCM3_DECODE_STATE_T* pState, const uint8_t* pFrame, uint32_t nFrameLength, LineWriter& w)
{
    char text[RTCM3_TEXT_MAX - 64];
    const int n = RemoteUpgradeDecodeMsg(&pState->Upgrade, pFrame, nFrameLength, nullptr, text, sizeof text);
    if (n < 0)
    {
        w.Add("unknown type");
        return;
    }
    int32_t nEnd = 0;
    for (int32_t i = 0; i < n; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            text[i] = ' ';
        else
            nEnd = i + 1;
    }
    text[nEnd] = '\0';
    w.Add("%s", text);
}

bool IsMsm(uint32_t nMsg)
{
    const uint32_t digit = nMsg % 10;
    return nMsg >= 1071 && nMsg <= 1127 && digit >= 4;
}

// The body of the line behind its prefix. Unknown numbers say so.
void DecodeBody(RTCM3_DECODE_STATE_T* pState, uint32_t nMsg, PayloadReader& r, LineWriter& w)
{
    if (nMsg >= 1001 && nMsg <= 1004)
        return DecodeLegacyObs(pState, nMsg, r, w);
    if (nMsg >= 1009 && nMsg <= 1012)
        return DecodeLegacyObs(pState, nMsg, r, w);
    if (nMsg == 1005 || nMsg == 1006)
        return DecodeArp(nMsg, r, w);
    if (nMsg == 1007 || nMsg == 1008 || nMsg == 1033)
        return DecodeDescriptor(nMsg, r, w);
    if (nMsg == 1013)
        return DecodeSystemParameters(r, w);
    if (nMsg == 1029)
        return DecodeTextMessage(pState, r, w);
    if (nMsg == 1230)
        return DecodeGloBiases(r, w);
    if (const EPHEMERIS_T* pEph = FindEphemeris(nMsg))
        return DecodeEphemeris(*pEph, nMsg, r, w);
    if (nMsg >= 1071 && nMsg <= 1127)
    {
        // MSM1-3 carry no more than the header would show; only the prefix.
        if (IsMsm(nMsg))
            DecodeMsm(pState, nMsg, r, w);
        return;
    }
    SSR_KIND_E eKind;
    GNSS_SYSTEM_E eSystem;
    if (FindSsr(nMsg, &eKind, &eSystem))
        return DecodeSsr(eKind, eSystem, r, w);
    if (nMsg == 1264)
        return DecodeVtec(r, w);
    w.Add("unknown type");
}

} // namespace

void ResetRtcm3State(RTCM3_DECODE_STATE_T* pState)
{
    std::memset(pState, 0, sizeof *pState);
    pState->LastMessage = 0xFFFFFFFFu;
}

int RTCM3Decode(RTCM3_DECODE_STATE_T* pState, const uint8_t* pFrame, uint32_t nFrameLength, char* pOut,
                uint32_t nCapacity, uint32_t* pLength, bool bCrcHeld)
{
    if (pLength)
        *pLength = 0;
    if (!pState || !pFrame || !pOut || !pLength || nCapacity < RTCM3_TEXT_MAX)
        return 0;
    if (nFrameLength < RTCM3_HEADER_LENGTH + 2 + RTCM3_CRC_LENGTH || pFrame[0] != 0xD3)
        return 0;
    const uint32_t nPayload = ((pFrame[1] & 3u) << 8) | pFrame[2];
    const uint32_t nTotal = nPayload + RTCM3_HEADER_LENGTH + RTCM3_CRC_LENGTH;
    if (nPayload < 2 || nTotal > nFrameLength || (!bCrcHeld && !Crc24qCheck(pFrame, nTotal)))
        return 0;

    const uint8_t* pPayload = pFrame + RTCM3_HEADER_LENGTH;
    const uint32_t nMsg = ExtractBitsMsb32(pPayload, 0, 12);
    pState->LastMessage = nMsg;
    LineWriter w{pOut, nCapacity, 0};
    w.Add("Msg %4d: Size: %3d ", static_cast<int>(nMsg), static_cast<int>(nPayload));
    const uint32_t nPrefix = w.nLength;
    PayloadReader r(pPayload, nPayload);
    if (nMsg == 4089)
        DecodeRemoteUpgrade(pState, pFrame, nTotal, w);
    else
        DecodeBody(pState, nMsg, r, w);
    if (r.Short())
    {
        w.Truncate(nPrefix);
        w.Add("Frame too short");
    }
    w.Add("\r\n");
    *pLength = w.nLength;
    return 1;
}
