#include "converter/engine/rinex_obs_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/gnss_numbering.h"
#include "codec/gnss_time.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/signals.h"
#include "codec/text_helpers.h"
#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/epoch_store.h"
#include "converter/engine/range_encode.h"
#include "converter/engine/rinex_codes.h"
#include "converter/engine/rinex_lines.h"
#include "converter/engine/rinex_readers.h"

namespace
{
constexpr uint32_t kNoCode = 0xFFFFFFFFu;
constexpr uint8_t kRangePort = 34;
constexpr uint8_t kRangeCmpPort = 100;
constexpr uint32_t kMaxSignals = RINEX_MAX_CODES;

// Signal codes a RINEX observation code may name, per system index: the
// codes range logs use first, so that a RINEX code that several codes share
// reads as the one with a range-log signal type.
const uint16_t kGpsCodes[] = {GPSL1CA, GPSL2P, GPSL2W, GPSL5Q,  GPSL2CM, GPSL1CP, GPSL1P,
                              GPSL1Y,  GPSL1N, GPSL1W, GPSL1CD, GPSL1CX, GPSL1M,  GPSL2CL,
                              GPSL2CX, GPSL2Y, GPSL2N, GPSL2M,  GPSL5I,  GPSL5X,  8};
const uint16_t kGloCodes[] = {GLOL1CA, GLOL2CA, GLOL2P, GLOL3Q, GLOL1P, GLOL3I, 0x1151};
const uint16_t kGalCodes[] = {GALE1B,  GALE1C,  GALE5AQ, GALE5BQ, GALE5Q, GALE1A, GALE1X, GALE1Z, GALE5AI, GALE5AX,
                              GALE5BI, GALE5BX, GALE5I,  GALE5X,  GALE6B, GALE6C, 0x0022, 0x10A2, 0x2122};
const uint16_t kBdsCodes[] = {BDSB1I, BDSB2I, BDSB3I, BDSB1CP, BDSB1CD, BDSB2AP, BDSB2AD, BDSB2P, 0x0193,
                              BDSB1P, BDSB1X, BDSB2X, BDSB3P,  BDSB3X,  BDSB1CX, BDSB2AX, 0x11D3};
const uint16_t kQzssCodes[] = {5,       525,     2133,   GPSL1CP, 2917,   GPSL1CD, GPSL1CX,
                               GPSL2CL, GPSL2CX, GPSL5I, GPSL5X,  0x0325, 0x1365};

struct CodeList
{
    const uint16_t* p;
    uint32_t n;
};

CodeList CandidateCodes(uint32_t nSystem)
{
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
        return {kGpsCodes, sizeof(kGpsCodes) / sizeof(kGpsCodes[0])};
    case GNSS_SYSTEM_GLONASS:
        return {kGloCodes, sizeof(kGloCodes) / sizeof(kGloCodes[0])};
    case GNSS_SYSTEM_GALILEO:
        return {kGalCodes, sizeof(kGalCodes) / sizeof(kGalCodes[0])};
    case GNSS_SYSTEM_BDS:
        return {kBdsCodes, sizeof(kBdsCodes) / sizeof(kBdsCodes[0])};
    case GNSS_SYSTEM_QZSS:
        return {kQzssCodes, sizeof(kQzssCodes) / sizeof(kQzssCodes[0])};
    default:
        return {nullptr, 0};
    }
}

uint32_t FindCode(int32_t nVersion, const char* pCode, uint32_t nSystem)
{
    const CodeList list = CandidateCodes(nSystem);
    for (uint32_t i = 0; i < list.n; ++i)
    {
        char sz[3];
        if (RinexObsCode(list.p[i], nSystem, nVersion, sz) && sz[0] == pCode[0] && sz[1] == pCode[1])
            return list.p[i];
    }
    return kNoCode;
}

// ---- RINEX 2 observation types ----

enum OBS_KIND_E : uint8_t
{
    KIND_NONE = 0,
    KIND_CODE,
    KIND_PHASE,
    KIND_DOPPLER,
    KIND_SNR,
};

OBS_KIND_E KindOf(char cLetter)
{
    switch (cLetter)
    {
    case 'C':
    case 'P':
        return KIND_CODE;
    case 'L':
        return KIND_PHASE;
    case 'D':
        return KIND_DOPPLER;
    case 'S':
        return KIND_SNR;
    default:
        return KIND_NONE;
    }
}

// One pseudorange of the two-character codes of 2.10 and 2.11, with its
// band: the phase, Doppler and strength of a band belong to the pseudorange of
// lowest rank that the satellite has (the writer's order).
struct Rinex2Code
{
    uint8_t nSystem;
    char cLetter;
    char cBand;
    uint16_t nCode;
    uint8_t nRank;
};

const Rinex2Code kRinex2Codes[] = {
    {GNSS_SYSTEM_GPS, 'C', '1', GPSL1CA, 0},     {GNSS_SYSTEM_GPS, 'P', '1', GPSL1P, 1},
    {GNSS_SYSTEM_GPS, 'P', '2', GPSL2W, 0},      {GNSS_SYSTEM_GPS, 'C', '2', GPSL2CM, 2},
    {GNSS_SYSTEM_GPS, 'C', '5', GPSL5Q, 0},      {GNSS_SYSTEM_GLONASS, 'C', '1', GLOL1CA, 0},
    {GNSS_SYSTEM_GLONASS, 'P', '1', GLOL1P, 1},  {GNSS_SYSTEM_GLONASS, 'P', '2', GLOL2P, 0},
    {GNSS_SYSTEM_GLONASS, 'C', '2', GLOL2CA, 1}, {GNSS_SYSTEM_GALILEO, 'C', '1', GALE1C, 0},
    {GNSS_SYSTEM_GALILEO, 'C', '5', GALE5AQ, 0}, {GNSS_SYSTEM_GALILEO, 'C', '7', GALE5BQ, 0},
    {GNSS_SYSTEM_GALILEO, 'C', '8', GALE5Q, 0},  {GNSS_SYSTEM_GALILEO, 'C', '6', GALE6C, 0},
};

// The letter-coded lists of 2.00 and 2.12: each band character names one signal.
struct Rinex2Band
{
    uint8_t nSystem;
    char cBand;
    uint16_t nCode;
};

const Rinex2Band kRinex2Bands[] = {
    {GNSS_SYSTEM_GPS, 'A', GPSL1CA},     {GNSS_SYSTEM_GPS, 'B', GPSL1CP},    {GNSS_SYSTEM_GPS, '1', GPSL1P},
    {GNSS_SYSTEM_GPS, 'C', GPSL2CM},     {GNSS_SYSTEM_GPS, '2', GPSL2W},     {GNSS_SYSTEM_GPS, '5', GPSL5Q},
    {GNSS_SYSTEM_GLONASS, 'A', GLOL1CA}, {GNSS_SYSTEM_GLONASS, '1', GLOL1P}, {GNSS_SYSTEM_GLONASS, 'D', GLOL2CA},
    {GNSS_SYSTEM_GLONASS, '2', GLOL2P},  {GNSS_SYSTEM_GALILEO, '1', GALE1C}, {GNSS_SYSTEM_GALILEO, '5', GALE5AQ},
    {GNSS_SYSTEM_GALILEO, '7', GALE5BQ}, {GNSS_SYSTEM_GALILEO, '8', GALE5Q}, {GNSS_SYSTEM_GALILEO, '6', GALE6C},
};

const Rinex2Code* FindRinex2Code(uint32_t nSystem, char cLetter, char cBand)
{
    for (const Rinex2Code& c : kRinex2Codes)
        if (c.nSystem == nSystem && c.cLetter == cLetter && c.cBand == cBand)
            return &c;
    return nullptr;
}

uint32_t Rinex2BandCode(uint32_t nSystem, char cBand)
{
    for (const Rinex2Band& b : kRinex2Bands)
        if (b.nSystem == nSystem && b.cBand == cBand)
            return b.nCode;
    return kNoCode;
}

// Whether a RINEX 2 type list uses the band letters (A, B, C, D) of 2.00 and 2.12.
bool LetterCoded(const RinexObsHeader& h)
{
    if (h.nVersion != 200 && h.nVersion != 212)
        return false;
    for (uint32_t i = 0; i < h.nRinex2TypeCount && i < RINEX2_MAX_TYPES; ++i)
        if (std::strchr("ABCD", h.szRinex2Types[i][1]))
            return true;
    return false;
}

// ---- Epoch contents ----

enum : uint8_t
{
    HAS_CODE = 1,
    HAS_PHASE = 2,
    HAS_DOPPLER = 4,
    HAS_SNR = 8,
};

struct SignalObs
{
    uint32_t nCode;
    uint8_t nHas;
    uint8_t nLli;
    uint8_t nSsi;
    double dPsr;
    double dPhase;
    double dDoppler;
    double dSnr;
};

struct SatObs
{
    uint32_t nSystem;
    uint32_t nSatId; // PrnToSatId of the system and PRN
    uint32_t nCount;
    SignalObs aSig[kMaxSignals];

    SignalObs* Signal(uint32_t nCode)
    {
        for (uint32_t i = 0; i < nCount; ++i)
            if (aSig[i].nCode == nCode)
                return &aSig[i];
        if (nCount >= kMaxSignals)
            return nullptr;
        SignalObs& s = aSig[nCount++];
        s = SignalObs{};
        s.nCode = nCode;
        return &s;
    }
};

// Lock time of one signal across epochs.
struct LockState
{
    uint32_t nCode;
    bool bPhase;
    int64_t nLastMs;
    double dLockMs;
};

struct SatLocks
{
    uint32_t nCount;
    LockState a[kMaxSignals];
};

// One RINEX 3 column: its kind and signal.
struct Column
{
    OBS_KIND_E eKind;
    uint32_t nCode;
};

} // namespace

struct RinexObsEpochReader
{
    CConvertContext* pContext = nullptr;
    RinexObsHeader Header{};
    RinexObsTimeInfo Time{};
    uint32_t nSignalMode = SIGNAL_MODE_DEFAULT;
    bool bLetterCoded = false;
    Column aColumns[GNSS_SYSTEM_COUNT][RINEX_MAX_TYPES];
    std::vector<SatObs> Sats = std::vector<SatObs>(OBS_MAX_SATS);
    uint32_t nSats = 0;
    std::vector<SatLocks> Locks = std::vector<SatLocks>(OBS_MAX_SATS);
    std::vector<uint8_t> Log = std::vector<uint8_t>(LOG_MAX_BINARY_LENGTH);
    std::vector<uint8_t> Packed = std::vector<uint8_t>(LOG_MAX_BINARY_LENGTH);
    std::vector<char> Text = std::vector<char>(1u << 20);
    std::vector<uint16_t> Codes = std::vector<uint16_t>(RANGE_MAX_OBS);
    std::unique_ptr<RANGE_PHASE_ARCS_T> Arcs = std::make_unique<RANGE_PHASE_ARCS_T>();
    bool bWriteFailed = false;
    uint32_t nUnknownFlags = 0;
    // The epoch last parsed: its GPS time, and whether it holds observations
    // to encode (flag 0 or 1 with a time that converts).
    bool bEpochReady = false;
    uint32_t nWeek = 0;
    uint32_t nMs = 0;

    void Prepare()
    {
        bLetterCoded = Header.nVersion < 300 && LetterCoded(Header);
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        {
            const RinexSystemBlock& b = Header.Systems[s];
            for (uint32_t k = 0; k < b.nTypeCount && k < RINEX_MAX_TYPES; ++k)
            {
                aColumns[s][k].eKind = KindOf(b.szTypes[k][0]);
                aColumns[s][k].nCode = ObsCodeToSignalCode(Header.nVersion, b.szTypes[k] + 1, s);
            }
        }
    }

    // Offset of an epoch of this file to GPS time.
    int32_t OffsetMs(const CalendarTime& epoch) const
    {
        return RinexTimeSystemOffsetMs(Time.szTimeSystem, Header.cSystem, Time.nLeapSeconds, epoch);
    }

    SatObs* Satellite(uint32_t nSystem, uint32_t nPrn)
    {
        if (nSats >= Sats.size())
            return nullptr;
        SatObs& sat = Sats[nSats++];
        sat.nSystem = nSystem;
        sat.nSatId = PrnToSatId(nSystem, nPrn);
        sat.nCount = 0;
        return &sat;
    }
};

namespace
{
using ObsReader = RinexObsEpochReader;

int SystemOfLetter(char c)
{
    const int s = SystemLetterToIndex(c);
    return s == GNSS_SYSTEM_SBAS ? -1 : s;
}

// One 16-column observation field starting at nColumn: value (F14.3), loss
// of lock and signal strength. False when the value is blank or no number.
bool ReadField(const RinexLine& line, uint32_t nColumn, double* pValue, uint8_t* pLli, uint8_t* pSsi)
{
    if (line.Blank(nColumn, nColumn + 13) || !RinexNumber(line, nColumn, nColumn + 13, pValue))
        return false;
    const char cLli = line.At(nColumn + 14);
    const char cSsi = line.At(nColumn + 15);
    *pLli = cLli >= '0' && cLli <= '9' ? static_cast<uint8_t>(cLli - '0') : 0;
    *pSsi = cSsi >= '0' && cSsi <= '9' ? static_cast<uint8_t>(cSsi - '0') : 0;
    return true;
}

void StoreValue(SignalObs* pSig, OBS_KIND_E eKind, double dValue, uint8_t nLli, uint8_t nSsi)
{
    if (!pSig)
        return;
    switch (eKind)
    {
    case KIND_CODE:
        // A pseudorange of (nearly) zero is no measurement.
        if (std::fabs(dValue) >= 0.001)
        {
            pSig->dPsr = dValue;
            pSig->nHas |= HAS_CODE;
            if (nSsi && !pSig->nSsi)
                pSig->nSsi = nSsi;
        }
        break;
    case KIND_PHASE:
        if (dValue != 0.0)
        {
            pSig->dPhase = dValue;
            pSig->nLli = nLli;
            pSig->nHas |= HAS_PHASE;
            if (nSsi)
                pSig->nSsi = nSsi;
        }
        break;
    case KIND_DOPPLER:
        pSig->dDoppler = dValue;
        pSig->nHas |= HAS_DOPPLER;
        break;
    case KIND_SNR:
        pSig->dSnr = dValue;
        pSig->nHas |= HAS_SNR;
        break;
    default:
        break;
    }
}

// ---- Time ----

// GPS week and ms of week of a calendar read in a time system nOffsetMs
// behind GPS time.
bool EpochToGps(const CalendarTime& cal, int32_t nOffsetMs, uint32_t* pWeek, uint32_t* pMs)
{
    // UtcToGpsTime adds the offset it is given; a whole week on top of it
    // keeps the offset from ever being 0, which one profile reads as its
    // default, and is taken off again.
    const int32_t nShift = nOffsetMs + static_cast<int32_t>(GNSS_MS_PER_WEEK);
    uint32_t nWeek = 0, nMs = 0;
    if (UtcToGpsTime(&cal, &nShift, &nWeek, &nMs) == GNSS_TIME_INVALID || nWeek == 0)
        return false;
    *pWeek = nWeek - 1;
    *pMs = nMs;
    return true;
}

bool MakeCalendar(long nYear, long nMonth, long nDay, long nHour, long nMinute, double dSeconds, CalendarTime* pCal)
{
    if (nYear < 1980 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 || nHour > 23 || nMinute < 0 ||
        nMinute > 59 || !(dSeconds >= 0.0) || dSeconds >= 61.0)
        return false;
    const long nMs = std::lround(dSeconds * 1000.0);
    pCal->Year = static_cast<uint32_t>(nYear);
    pCal->Month = static_cast<uint32_t>(nMonth);
    pCal->Day = static_cast<uint32_t>(nDay);
    pCal->Hour = static_cast<uint32_t>(nHour);
    pCal->Minute = static_cast<uint32_t>(nMinute);
    pCal->Second = static_cast<uint32_t>(nMs / 1000);
    pCal->Millisecond = static_cast<uint32_t>(nMs % 1000);
    return true;
}

// ---- Range logs ----

uint16_t RangePrn(const ObsReader& r, uint32_t nSystem, uint32_t nPrn)
{
    switch (nSystem)
    {
    case GNSS_SYSTEM_GLONASS:
        return static_cast<uint16_t>(nPrn + GLO_PRN_OFFSET);
    case GNSS_SYSTEM_QZSS:
        return static_cast<uint16_t>(nPrn < QZSS_PRN_OFFSET ? nPrn + QZSS_PRN_OFFSET : nPrn);
    case GNSS_SYSTEM_BDS:
        return static_cast<uint16_t>(r.nSignalMode == SIGNAL_MODE_LEGACY ? nPrn + BD2_PRN_OFFSET : nPrn);
    default:
        return static_cast<uint16_t>(nPrn);
    }
}

// Frequency number + 7 of a GLONASS slot: the header's table, else the slot table.
uint16_t GloChannelIndex(const ObsReader& r, uint32_t nSlot)
{
    if (nSlot >= 1 && nSlot <= GLO_SLOT_COUNT && r.Time.aGloChannel[nSlot] != -128)
        return static_cast<uint16_t>(r.Time.aGloChannel[nSlot] + 7);
    const uint8_t u = GetGloFreqChannel(nSlot);
    return u == GLO_CHANNEL_UNKNOWN ? 0 : u;
}

// Lock time of a signal at this epoch: it grows by the time since the
// signal's last epoch while the phase stays locked, and restarts at 0 when
// the phase is missing or the loss-of-lock indicator says lock was lost.
double LockTimeMs(ObsReader& r, uint32_t nEntry, const SignalObs& sig, int64_t nEpochMs)
{
    SatLocks& locks = r.Locks[nEntry];
    LockState* p = nullptr;
    for (uint32_t i = 0; i < locks.nCount && !p; ++i)
        if (locks.a[i].nCode == sig.nCode)
            p = &locks.a[i];
    if (!p)
    {
        if (locks.nCount >= kMaxSignals)
            return 0.0;
        p = &locks.a[locks.nCount++];
        *p = LockState{sig.nCode, false, nEpochMs, 0.0};
    }
    const bool bPhase = (sig.nHas & HAS_PHASE) != 0;
    if (bPhase && p->bPhase && !(sig.nLli & 1) && nEpochMs > p->nLastMs)
        p->dLockMs += static_cast<double>(nEpochMs - p->nLastMs);
    else if (nEpochMs != p->nLastMs || !bPhase)
        p->dLockMs = 0.0;
    p->bPhase = bPhase;
    p->nLastMs = nEpochMs;
    return p->dLockMs;
}

uint32_t SystemOrder(uint32_t nSystem)
{
    static const uint32_t kOrder[GNSS_SYSTEM_COUNT] = {0, 1, 2, 3, 5, 4};
    return nSystem < GNSS_SYSTEM_COUNT ? kOrder[nSystem] : 9;
}

// The last parsed epoch as a binary RANGE log in r.Log (header and body);
// returns the body length. Moves the lock times on to this epoch.
uint16_t BuildRangeRecord(ObsReader& r)
{
    const int64_t nEpochMs = int64_t(r.nWeek) * GNSS_MS_PER_WEEK + r.nMs;
    // Satellites in table order: GPS, GLONASS, Galileo, BeiDou, QZSS; by number.
    std::vector<uint32_t> keys(r.nSats);
    std::vector<uint32_t> order(r.nSats);
    for (uint32_t i = 0; i < r.nSats; ++i)
        keys[i] = SystemOrder(r.Sats[i].nSystem) * 256 + SatIdToPrn(r.Sats[i].nSystem, r.Sats[i].nSatId);
    SortByKey(keys.data(), r.nSats, order.data());

    RANGE_OBS_T* pObs = reinterpret_cast<RANGE_OBS_T*>(r.Log.data() + LOG_HEADER_LENGTH + 4);
    uint32_t n = 0;
    for (uint32_t i : order)
    {
        const SatObs& sat = r.Sats[i];
        const uint32_t nSatPrn = SatIdToPrn(sat.nSystem, sat.nSatId);
        const uint32_t nEntry = sat.nSystem * OBS_SATS_PER_SYSTEM + nSatPrn - 1;
        const uint16_t nPrn = RangePrn(r, sat.nSystem, nSatPrn);
        const uint16_t nGloFreq = sat.nSystem == GNSS_SYSTEM_GLONASS ? GloChannelIndex(r, nSatPrn) : 0;
        for (uint32_t k = 0; k < sat.nCount; ++k)
        {
            const SignalObs& sig = sat.aSig[k];
            const double dLockMs = LockTimeMs(r, nEntry, sig, nEpochMs);
            uint32_t uStatus = 0;
            const bool bPhase = (sig.nHas & HAS_PHASE) != 0;
            if (!(sig.nHas & HAS_CODE) || sig.dPsr <= 0.0 || n >= RANGE_MAX_OBS ||
                !ConvertedTrackingStatus(sig.nCode, nPrn, r.nSignalMode, bPhase, 1, !(sig.nLli & 2), &uStatus))
                continue;
            RANGE_OBS_T& o = pObs[n];
            o = RANGE_OBS_T{};
            o.Prn = nPrn;
            o.GloFreq = nGloFreq;
            o.Psr = sig.dPsr;
            o.Adr = bPhase ? -sig.dPhase : 0.0;
            o.Doppler = static_cast<float>(sig.dDoppler);
            // Without a strength column the indicator gives a rough C/N0.
            o.CNo = static_cast<float>((sig.nHas & HAS_SNR) ? sig.dSnr : sig.nSsi * 6.0);
            o.LockTime = static_cast<float>(dLockMs / 1000.0);
            o.TrackingStatus = uStatus;
            r.Codes[n++] = static_cast<uint16_t>(sig.nCode);
        }
    }
    n = DropDuplicateSignals(pObs, r.Codes.data(), n, r.nSignalMode);

    BinaryLogHeader h{};
    const uint16_t nBody = static_cast<uint16_t>(4 + n * sizeof(RANGE_OBS_T));
    FillBinaryHeader(MSG_ID_RANGE, LOG_FORM_ASCII, nBody, kRangePort, 0, &h);
    h.TimeStatus = r.nWeek ? 160 : 120;
    h.Week = static_cast<uint16_t>(r.nWeek);
    h.Milliseconds = r.nMs;
    std::memcpy(r.Log.data(), &h, sizeof(h));
    std::memcpy(r.Log.data() + sizeof(h), &n, 4);
    return nBody;
}

// ---- Epochs ----

// Reads n lines (an event's header lines) and applies them to the header.
void ReadEventLines(ObsReader& r, RinexLineReader& lines, long nCount)
{
    std::string text;
    RinexLine line;
    for (long i = 0; i < nCount && lines.Next(&line); ++i)
    {
        if (r.Header.nVersion >= 300 && line.n > 0 && line.p[0] == '>')
        {
            lines.PushBack();
            break;
        }
        text.append(line.p, line.n);
        text.push_back('\n');
    }
    if (text.empty())
        return;
    const int32_t nVersion = r.Header.nVersion;
    ParseRinexHeaderText(text.data(), static_cast<uint32_t>(text.size()), &r.Header);
    r.Header.nVersion = nVersion;
    ReadRinexObsTimeInfo(text.data(), static_cast<uint32_t>(text.size()), false, &r.Time);
    r.Prepare();
}

void TraceUnknownFlag(ObsReader& r, long nFlag)
{
    ++r.nUnknownFlags;
    DebugPrintf("Unknown EpochFlag %u.\n", static_cast<unsigned>(nFlag));
}

// The RINEX 3 satellite record of one line.
void ReadRinex3Satellite(ObsReader& r, const RinexLine& line)
{
    const int nSystem = SystemOfLetter(line.At(1));
    long nPrn = 0;
    if (nSystem < 0 || !RinexInteger(line, 2, 3, &nPrn) || nPrn < 1 || nPrn > 64)
        return;
    SatObs* pSat = r.Satellite(static_cast<uint32_t>(nSystem), static_cast<uint32_t>(nPrn));
    if (!pSat)
        return;
    const RinexSystemBlock& block = r.Header.Systems[nSystem];
    for (uint32_t k = 0; k < block.nTypeCount && k < RINEX_MAX_TYPES; ++k)
    {
        const Column& col = r.aColumns[nSystem][k];
        double d = 0;
        uint8_t nLli = 0, nSsi = 0;
        if (col.eKind == KIND_NONE || col.nCode == kNoCode || !ReadField(line, 4 + 16 * k, &d, &nLli, &nSsi))
            continue;
        StoreValue(pSat->Signal(col.nCode), col.eKind, d, nLli, nSsi);
    }
}

uint32_t ReadRinex3Epoch(ObsReader& r, RinexLineReader& lines, const RinexLine& epochLine)
{
    r.bEpochReady = false;
    long nFlag = 0, nCount = 0;
    if (!RinexInteger(epochLine, 32, 32, &nFlag) || !RinexInteger(epochLine, 33, 35, &nCount) || nCount < 0)
        return 0;
    if (nFlag >= 2 && nFlag <= 5)
    {
        ReadEventLines(r, lines, nCount);
        return 0;
    }
    if (nFlag > 6)
    {
        TraceUnknownFlag(r, nFlag);
        return RINEX_EPOCH_UNKNOWN_FLAG; // its lines are passed over up to the next epoch
    }
    long y = 0, mo = 0, d = 0, hh = 0, mi = 0;
    double s = 0;
    CalendarTime cal{};
    uint32_t nWeek = 0, nMs = 0;
    const bool bTime = RinexInteger(epochLine, 3, 6, &y) && RinexInteger(epochLine, 8, 9, &mo) &&
                       RinexInteger(epochLine, 11, 12, &d) && RinexInteger(epochLine, 14, 15, &hh) &&
                       RinexInteger(epochLine, 17, 18, &mi) && RinexNumber(epochLine, 19, 29, &s) &&
                       MakeCalendar(y, mo, d, hh, mi, s, &cal) && EpochToGps(cal, r.OffsetMs(cal), &nWeek, &nMs);
    r.nSats = 0;
    RinexLine line;
    for (long i = 0; i < nCount && lines.Next(&line); ++i)
    {
        if (line.n > 0 && line.p[0] == '>')
        {
            lines.PushBack(); // the epoch ends early: its next line opens another
            break;
        }
        ReadRinex3Satellite(r, line);
    }
    // Cycle-slip records (flag 6) carry no observation to convert.
    r.bEpochReady = bTime && nFlag <= 1;
    r.nWeek = nWeek;
    r.nMs = nMs;
    return 0;
}

// ---- RINEX 2 ----

bool DigitsOrBlank(const RinexLine& line, uint32_t nFirst, uint32_t nLast)
{
    for (uint32_t c = nFirst; c <= nLast; ++c)
    {
        const char ch = line.At(c);
        if (ch != ' ' && (ch < '0' || ch > '9'))
            return false;
    }
    return true;
}

// Whether a line has the shape of a RINEX 2 epoch line (an observation line
// never has).
bool LooksLikeEpoch2(const RinexLine& line)
{
    if (line.n < 29 || line.At(1) != ' ' || line.At(4) != ' ' || line.At(7) != ' ' || line.At(10) != ' ' ||
        line.At(13) != ' ' || line.At(29) < '0' || line.At(29) > '9' || !DigitsOrBlank(line, 30, 32))
        return false;
    if (line.At(29) >= '2' && line.At(29) <= '5' && line.Blank(2, 28))
        return true; // an event may leave its time blank
    return DigitsOrBlank(line, 2, 3) && DigitsOrBlank(line, 5, 6) && DigitsOrBlank(line, 8, 9) &&
           DigitsOrBlank(line, 11, 12) && DigitsOrBlank(line, 14, 15) && line.At(19) == '.';
}

void ReadRinex2Satellite(ObsReader& r, RinexLineReader& lines, int nSystem, uint32_t nPrn)
{
    const uint32_t nTypes = r.Header.nRinex2TypeCount < RINEX2_MAX_TYPES ? r.Header.nRinex2TypeCount : RINEX2_MAX_TYPES;
    const uint32_t nLines = (nTypes + 4) / 5;
    SatObs* pSat = nSystem >= 0 ? r.Satellite(static_cast<uint32_t>(nSystem), nPrn) : nullptr;
    // Pseudoranges first: the phase of a band belongs to the pseudorange the
    // satellite has.
    struct Pending
    {
        OBS_KIND_E eKind;
        char cBand;
        double d;
        uint8_t nLli, nSsi;
    };
    Pending pending[RINEX2_MAX_TYPES];
    uint32_t nPending = 0;
    RinexLine line;
    for (uint32_t l = 0; l < nLines; ++l)
    {
        if (!lines.Next(&line))
            return;
        if (!pSat)
            continue;
        for (uint32_t f = 0; f < 5 && l * 5 + f < nTypes; ++f)
        {
            const char* pType = r.Header.szRinex2Types[l * 5 + f];
            double d = 0;
            uint8_t nLli = 0, nSsi = 0;
            const OBS_KIND_E eKind = KindOf(pType[0]);
            if (eKind == KIND_NONE || !ReadField(line, 1 + 16 * f, &d, &nLli, &nSsi))
                continue;
            if (r.bLetterCoded)
            {
                const uint32_t nCode = Rinex2BandCode(pSat->nSystem, pType[1]);
                if (nCode != kNoCode)
                    StoreValue(pSat->Signal(nCode), eKind, d, nLli, nSsi);
                continue;
            }
            const Rinex2Code* pCode = eKind == KIND_CODE ? FindRinex2Code(pSat->nSystem, pType[0], pType[1]) : nullptr;
            if (pCode)
                StoreValue(pSat->Signal(pCode->nCode), eKind, d, nLli, nSsi);
            else if (eKind != KIND_CODE)
                pending[nPending++] = Pending{eKind, pType[1], d, nLli, nSsi};
        }
    }
    for (uint32_t i = 0; pSat && i < nPending; ++i)
    {
        const Pending& p = pending[i];
        // The band's pseudorange of lowest rank that this satellite has, else
        // that of lowest rank at all.
        const Rinex2Code* pBest = nullptr;
        const Rinex2Code* pAny = nullptr;
        for (const Rinex2Code& c : kRinex2Codes)
        {
            if (c.nSystem != pSat->nSystem || c.cBand != p.cBand)
                continue;
            if (!pAny || c.nRank < pAny->nRank)
                pAny = &c;
            bool bHas = false;
            for (uint32_t k = 0; k < pSat->nCount; ++k)
                bHas = bHas || (pSat->aSig[k].nCode == c.nCode && (pSat->aSig[k].nHas & HAS_CODE));
            if (bHas && (!pBest || c.nRank < pBest->nRank))
                pBest = &c;
        }
        if (!pBest)
            pBest = pAny;
        if (pBest)
            StoreValue(pSat->Signal(pBest->nCode), p.eKind, p.d, p.nLli, p.nSsi);
    }
}

uint32_t ReadRinex2Epoch(ObsReader& r, RinexLineReader& lines, const RinexLine& epochLine)
{
    r.bEpochReady = false;
    long nFlag = 0, nCount = 0;
    RinexInteger(epochLine, 29, 29, &nFlag);
    RinexInteger(epochLine, 30, 32, &nCount);
    if (nFlag >= 2 && nFlag <= 5)
    {
        ReadEventLines(r, lines, nCount);
        return 0;
    }
    if (nFlag > 6)
    {
        TraceUnknownFlag(r, nFlag);
        return RINEX_EPOCH_UNKNOWN_FLAG; // the lines behind it are passed over up to the next epoch line
    }
    long yy = 0, mo = 0, d = 0, hh = 0, mi = 0;
    double s = 0;
    CalendarTime cal{};
    uint32_t nWeek = 0, nMs = 0;
    bool bTime = RinexInteger(epochLine, 2, 3, &yy) && RinexInteger(epochLine, 5, 6, &mo) &&
                 RinexInteger(epochLine, 8, 9, &d) && RinexInteger(epochLine, 11, 12, &hh) &&
                 RinexInteger(epochLine, 14, 15, &mi) && RinexNumber(epochLine, 16, 26, &s);
    // Two-digit years: 80 to 99 are 1980 to 1999.
    const long nYear = yy >= 80 ? 1900 + yy : 2000 + yy;
    bTime = bTime && MakeCalendar(nYear, mo, d, hh, mi, s, &cal) && EpochToGps(cal, r.OffsetMs(cal), &nWeek, &nMs);

    // The satellite list: twelve per line, continued on lines of their own.
    std::vector<std::pair<int, uint32_t>> sats;
    RinexLine line = epochLine;
    std::string held(epochLine.p, epochLine.n);
    line.p = held.data();
    for (long i = 0; i < nCount; ++i)
    {
        if (i > 0 && i % 12 == 0)
        {
            if (!lines.Next(&line))
                return 0;
            held.assign(line.p, line.n);
            line.p = held.data();
        }
        const uint32_t c = 33 + 3 * static_cast<uint32_t>(i % 12);
        const char cLetter = line.At(c) == ' ' ? 'G' : line.At(c);
        long nPrn = 0;
        const int nSystem = SystemOfLetter(cLetter);
        const bool bOk = RinexInteger(line, c + 1, c + 2, &nPrn) && nPrn >= 1 && nPrn <= 64;
        sats.emplace_back(bOk ? nSystem : -1, static_cast<uint32_t>(nPrn));
    }
    r.nSats = 0;
    for (const auto& sat : sats)
        ReadRinex2Satellite(r, lines, sat.first, sat.second);
    r.bEpochReady = bTime && nFlag <= 1;
    r.nWeek = nWeek;
    r.nMs = nMs;
    return 0;
}

// The reader of a file from its header text (lines to END OF HEADER).
int SetUpReader(ObsReader& r, const char* pHeader, uint32_t nLength, CConvertContext* pContext)
{
    r.pContext = pContext;
    r.nSignalMode = pContext && pContext->GetBdsEphemStyle() == SIGNAL_MODE_LEGACY ? SIGNAL_MODE_LEGACY
                                                                                    : SIGNAL_MODE_DEFAULT;
    ParseRinexHeaderText(pHeader, nLength, &r.Header);
    if (r.Header.nVersion < 200)
        return RINEX_READ_NO_HEADER;
    ReadRinexObsTimeInfo(pHeader, nLength, true, &r.Time);
    r.Prepare();
    // Without types no observation can be read: every epoch would be empty.
    bool bTypes = r.Header.nVersion < 300 && r.Header.nRinex2TypeCount > 0;
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT && r.Header.nVersion >= 300; ++s)
        bTypes = bTypes || r.Header.Systems[s].nTypeCount > 0;
    if (!bTypes)
    {
        DebugPrintf("RINEX observation header without types of observation.\n");
        return RINEX_READ_NO_TYPES;
    }
    return 0;
}

// An epoch given as text: the same routine as for a file, over lines of memory.
uint32_t ParseEpochText(const char* pText, uint32_t nLength, ObsReader* pReader,
                        uint32_t (*read)(ObsReader&, RinexLineReader&, const RinexLine&))
{
    if (!pText || !pReader)
        return 0;
    pReader->bEpochReady = false;
    RinexLineReader lines(pText, nLength);
    RinexLine line;
    if (!lines.Next(&line))
        return 0;
    const std::string held(line.p, line.n);
    return read(*pReader, lines, RinexLine{held.data(), static_cast<uint32_t>(held.size())});
}


} // namespace

void ReadRinexObsTimeInfo(const char* pText, uint32_t nLength, bool bReset, RinexObsTimeInfo* pInfo)
{
    if (bReset)
    {
        *pInfo = RinexObsTimeInfo{};
        std::memset(pInfo->aGloChannel, -128, sizeof(pInfo->aGloChannel));
    }
    uint32_t nPos = 0;
    while (nPos < nLength)
    {
        const char* pEnd = static_cast<const char*>(std::memchr(pText + nPos, '\n', nLength - nPos));
        const uint32_t nEnd = pEnd ? static_cast<uint32_t>(pEnd - pText) : nLength;
        RinexLine line{pText + nPos, nEnd - nPos};
        if (line.n && line.p[line.n - 1] == '\r')
            --line.n;
        nPos = nEnd + 1;
        if (line.HasLabel("TIME OF FIRST OBS"))
        {
            const std::string s = line.Cols(49, 51);
            const size_t nFirst = s.find_first_not_of(' ');
            const size_t nLast = s.find_last_not_of(' ');
            const std::string sSystem =
                nFirst == std::string::npos ? std::string() : s.substr(nFirst, nLast - nFirst + 1);
            FormatString(pInfo->szTimeSystem, sizeof(pInfo->szTimeSystem), "%s", sSystem.c_str());
        }
        else if (line.HasLabel("LEAP SECONDS"))
        {
            long n = 0;
            if (RinexInteger(line, 1, 6, &n))
                pInfo->nLeapSeconds = static_cast<int32_t>(n);
        }
        else if (line.HasLabel("INTERVAL"))
            RinexNumber(line, 1, 10, &pInfo->dInterval);
        else if (line.HasLabel("GLONASS SLOT / FRQ #"))
        {
            for (uint32_t k = 0; k < 8; ++k)
            {
                const uint32_t c = 5 + 7 * k;
                long nSlot = 0, nFreq = 0;
                if (line.At(c) != 'R' || !RinexInteger(line, c + 1, c + 2, &nSlot) ||
                    !RinexInteger(line, c + 3, c + 5, &nFreq) || nSlot < 1 || nSlot > GLO_SLOT_COUNT || nFreq < -7 ||
                    nFreq > 7)
                    continue;
                pInfo->aGloChannel[nSlot] = static_cast<int8_t>(nFreq);
                ++pInfo->nGloSlots;
            }
        }
    }
}

int32_t RinexTimeSystemOffsetMs(const char* pTimeSystem, char cFileSystem, int32_t nHeaderLeapSeconds,
                                const CalendarTime& epoch)
{
    const bool bEmpty = !pTimeSystem || !pTimeSystem[0];
    if (!bEmpty && std::strcmp(pTimeSystem, "BDT") == 0)
        return BDS_TIME_OFFSET_MS;
    const bool bUtc =
        bEmpty ? cFileSystem == 'R' : std::strcmp(pTimeSystem, "GLO") == 0 || std::strcmp(pTimeSystem, "UTC") == 0;
    if (!bUtc)
        return 0;
    if (nHeaderLeapSeconds != 0)
        return nHeaderLeapSeconds * 1000;
    int32_t nLeap = 0;
    return UtcLeapSeconds(&epoch, &nLeap) ? nLeap * 1000 : 0;
}

uint32_t ObsCodeToSignalCode(int32_t nVersion, const char* pCode, uint32_t nSystem)
{
    if (!pCode || !pCode[0] || !pCode[1])
        return kNoCode;
    uint32_t nCode = FindCode(nVersion, pCode, nSystem);
    // BeiDou B1 as band 2, as 3.01 and 3.03 number it, in files of other versions.
    if (nCode == kNoCode && nSystem == GNSS_SYSTEM_BDS)
        nCode = FindCode(304, pCode, nSystem);
    return nCode;
}

void RinexObsEpochReaderDeleter::operator()(RinexObsEpochReader* p) const { delete p; }

RinexObsEpochReaderPtr NewRinexObsEpochReader(const char* pHeader, uint32_t nLength, CConvertContext* pContext,
                                              int* pStatus)
{
    RinexObsEpochReaderPtr pReader(new RinexObsEpochReader);
    const int nStatus = pHeader ? SetUpReader(*pReader, pHeader, nLength, pContext) : RINEX_READ_NO_HEADER;
    if (pStatus)
        *pStatus = nStatus;
    if (nStatus < 0)
        pReader.reset();
    return pReader;
}

const RinexObsHeader* RinexObsReaderHeader(const RinexObsEpochReader* pReader)
{
    return pReader ? &pReader->Header : nullptr;
}

uint32_t ParseRinexObsEpoch2(const char* pEpochText, uint32_t nLength, RinexObsEpochReader* pReader)
{
    return ParseEpochText(pEpochText, nLength, pReader, ReadRinex2Epoch);
}

uint32_t ParseRinexObsEpoch3(const char* pEpochText, uint32_t nLength, RinexObsEpochReader* pReader)
{
    return ParseEpochText(pEpochText, nLength, pReader, ReadRinex3Epoch);
}

int32_t EncodeRangeLog(RinexObsEpochReader* pReader, char* pBuffer, uint32_t nCapacity)
{
    if (!pReader || !pReader->bEpochReady || !pBuffer)
        return 0;
    BuildRangeRecord(*pReader);
    int32_t nText = 0;
    return FormatRange(pReader->Log.data(), static_cast<int32_t>(nCapacity), pBuffer, &nText) ? nText : 0;
}

int32_t EncodeRangeCmpLog(RinexObsEpochReader* pReader, char* pBuffer, uint32_t nCapacity)
{
    if (!pReader || !pReader->bEpochReady || !pBuffer)
        return 0;
    ObsReader& r = *pReader;
    const uint16_t nBody = BuildRangeRecord(r);
    BinaryLogHeader* pHeader = reinterpret_cast<BinaryLogHeader*>(r.Log.data());
    pHeader->Port = kRangeCmpPort;
    int32_t nPacked = 0;
    int32_t nText = 0;
    if (!RangeToRangeCmpArcs(r.Arcs.get(), r.Log.data(), static_cast<int32_t>(LOG_HEADER_LENGTH + nBody),
                             r.Packed.data(), static_cast<int32_t>(r.Packed.size()), &nPacked) ||
        !FormatRangeCmp(r.Packed.data(), static_cast<int32_t>(nCapacity), pBuffer, &nText))
        return 0;
    return nText;
}

int EncodeRangeEpoch(RinexObsEpochReader* pReader, uint32_t nOption)
{
    if (!pReader || !pReader->bEpochReady)
        return 0;
    ObsReader& r = *pReader;
    const uint32_t nCapacity = static_cast<uint32_t>(r.Text.size());
    const int32_t nText = nOption == 0 ? EncodeRangeLog(pReader, r.Text.data(), nCapacity)
                                       : EncodeRangeCmpLog(pReader, r.Text.data(), nCapacity);
    FILE* pOut = r.pContext ? r.pContext->GetRinexToLogFile() : nullptr;
    if (nText > 0 && (!pOut || std::fwrite(r.Text.data(), 1, static_cast<size_t>(nText), pOut) !=
                                   static_cast<size_t>(nText)))
        r.bWriteFailed = true;
    return r.bWriteFailed ? -1 : 0;
}

int ConvertRinexObsToRange(FILE* pSrc, uint32_t nOption, CConvertContext* pContext, CompressedPhaseCounts* pPhases)
{
    if (!pSrc || !pContext)
        return RINEX_READ_NO_HEADER;
    pContext->SetRinexBytesRead(0);
    RinexLineReader lines(pSrc, pContext);
    std::string header;
    // A file type of another kind (navigation, meteorological) is no
    // observation file; a blank one is taken as one.
    char cType = 0;
    if (!ReadRinexHeaderLines(lines, &header, &cType) || (cType != 'O' && cType != 'o' && cType != ' '))
        return RINEX_READ_NO_HEADER;
    int nStatus = 0;
    RinexObsEpochReaderPtr pReader =
        NewRinexObsEpochReader(header.data(), static_cast<uint32_t>(header.size()), pContext, &nStatus);
    if (!pReader)
        return nStatus;
    ObsReader& r = *pReader;

    const bool bRinex3 = r.Header.nVersion >= 300;
    RinexLine line;
    while (lines.Next(&line) && !r.bWriteFailed)
    {
        // Lines where an epoch should start but that open none are passed over.
        const bool bEpoch = bRinex3 ? line.n > 0 && line.p[0] == '>' : LooksLikeEpoch2(line);
        if (!bEpoch)
            continue;
        const std::string held(line.p, line.n);
        const RinexLine epochLine{held.data(), static_cast<uint32_t>(held.size())};
        if (bRinex3)
            ReadRinex3Epoch(r, lines, epochLine);
        else
            ReadRinex2Epoch(r, lines, epochLine);
        EncodeRangeEpoch(pReader.get(), nOption);
    }
    if (pPhases)
    {
        pPhases->nShifted = r.Arcs->Shifted;
        pPhases->nDropped = r.Arcs->Dropped;
    }
    if (r.bWriteFailed)
        return RINEX_READ_WRITE_FAILED;
    return lines.ReadFailed() ? RINEX_READ_SOURCE_FAILED : 0;
}
