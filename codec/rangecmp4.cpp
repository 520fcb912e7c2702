#include "codec/rangecmp4.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "codec/bitfield.h"
#include "codec/gnss_time.h"
#include "codec/log_format.h"
#include "codec/profile.h"
#include "codec/range_internal.h"
#include "codec/signal_map.h"
#include "codec/signals.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"

namespace
{
constexpr double kPsrUnit = 0.0005;     // m
constexpr double kPhaseUnit = 0.0001;   // m
constexpr double kDopplerUnit = 0.0001; // m/s
constexpr double kCNoUnit = 0.05;       // dB-Hz
// A differential record needs a reference of its stream that is no older than
// this; block IDs repeat every eight references, so a reference older than a
// short gap may carry a matching ID by chance.
constexpr int64_t kMaxDifferentialAgeMs = 60000;

// Lock time in ms per index; the receiver's table has 156 and 32769 where a
// power of two would be expected, and both are kept as the receiver sends them.
constexpr uint32_t kLockTimeMs[16] = {0,    16,   32,   64,    128,   156,   512,    1024,
                                      2048, 4096, 8192, 16384, 32769, 65536, 131072, 262144};
constexpr double kPsrStdM[16] = {0.020, 0.030, 0.045, 0.066, 0.099, 0.148, 0.220, 0.329,
                                 0.491, 0.732, 1.092, 1.629, 2.430, 3.625, 5.409, 5.409};
constexpr double kPhaseStdCycles[16] = {0.0039, 0.0052, 0.0070, 0.0093, 0.0124, 0.0165, 0.0221, 0.0295,
                                        0.0393, 0.0525, 0.0701, 0.0935, 0.1248, 0.1666, 0.2223, 0.2223};

constexpr uint16_t kNone = 0xFFFF;
// Signal code of each signal-mask bit per row. QZSS bit 8 is QZSS L1C (389);
// the GPS code 384 would give a QZSS satellite a GPS signal.
constexpr uint16_t kSignalTable[CMP4_ROWS][CMP4_MAX_SIGNALS] = {
    // GPS
    {kNone, 0, kNone, kNone, 33096, 520, 200, 2128, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 384},
    // GLONASS
    {kNone, 1, kNone, 9, 201, kNone, 17, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
    // SBAS
    {kNone, 0, 16, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
    // Galileo
    {kNone, 2306, 2506, 2514, 2522, 2338, kNone, kNone, kNone, kNone, kNone, kNone, 162, kNone, kNone, kNone},
    // BeiDou: bits 1/2, 3/4 and 5/6 carry one signal each, the lower bit for
    // satellites 6 to 58 and the higher for the others. Bit 9 is B2a, taken as
    // its pilot like B1C in bit 7: a bare band-4 code has no signal type.
    {kNone, 3, 3, 19, 19, 11, 11, BDSB1CP, kNone, BDSB2AP, kNone, kNone, kNone, kNone, kNone, kNone},
    // QZSS
    {kNone, 5, kNone, 525, 2133, kNone, kNone, kNone, 389, kNone, kNone, 2917, kNone, kNone, kNone, kNone},
};
constexpr uint32_t kRowMaskBit[CMP4_ROWS] = {0, 1, 2, 5, 6, 7};
constexpr GNSS_SYSTEM_E kRowKind[CMP4_ROWS] = {GNSS_SYSTEM_GPS,     GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_SBAS,
                                               GNSS_SYSTEM_GALILEO, GNSS_SYSTEM_BDS,     GNSS_SYSTEM_QZSS};
constexpr uint32_t kRowBeiDou = TRACK_SYS_BEIDOU;

struct FieldWidths
{
    uint32_t Psr, Phase, Doppler;
};
// [differential][secondary]
constexpr FieldWidths kWidths[2][2] = {{{37, 23, 26}, {20, 23, 14}}, {{19, 16, 18}, {19, 16, 14}}};
constexpr int64_t kRefPrimaryPsrInvalid = 0x1FFFFFFFFFll;

int64_t MinSigned(uint32_t nWidth) { return -(int64_t(1) << (nWidth - 1)); }
int64_t MaxSigned(uint32_t nWidth) { return (int64_t(1) << (nWidth - 1)) - 1; }

int64_t ElapsedMs(uint16_t uWeek, uint32_t uMs, uint16_t uFromWeek, uint32_t uFromMs)
{
    return (int64_t(uWeek) - int64_t(uFromWeek)) * int64_t{GNSS_MS_PER_WEEK} + int64_t(uMs) - int64_t(uFromMs);
}

uint32_t Key(uint32_t nRow, uint32_t nSat, uint32_t nBit)
{
    return (nRow * CMP4_MAX_SATS + (nSat - 1)) * CMP4_MAX_SIGNALS + nBit;
}

bool IsBeiDouGeoNumber(uint32_t nSat) { return nSat < 6 || nSat > 58; }

// Whether bit nBit of a BeiDou row is the one meant for satellite nSat.
bool BeiDouBitFitsSatellite(uint32_t nBit, uint32_t nSat)
{
    if (nBit < 1 || nBit > 6)
        return true;
    const bool bHigher = (nBit % 2) == 0;
    return bHigher == IsBeiDouGeoNumber(nSat);
}

// Carrier of a signal code in Hz, GLONASS FDMA signals shifted by channel;
// 0 when the profile's table has none.
double CarrierHz(uint16_t uCode, uint32_t nGloFreq)
{
    double f = 0;
    if (!SignalCarrierFrequency(uCode, &f))
        return 0;
    if (SignalCodeSystem(uCode) == GNSS_SYSTEM_GLONASS && SignalCodeBand(uCode) < 2)
        f += (double(nGloFreq) - 7.0) * GloChannelSpacing(SignalCodeBand(uCode));
    return f;
}

// ---------------------------------------------------------------------------
// Bit cursors bounded by the data they cover.

struct BitReader
{
    const uint8_t* pData;
    uint32_t nBits;
    uint32_t nPos;
    bool bOk;

    uint64_t Unsigned(uint32_t nWidth)
    {
        if (!bOk || nPos > nBits || nWidth > nBits - nPos)
        {
            bOk = false;
            return 0;
        }
        uint64_t v = 0;
        if (nWidth > 32)
            ExtractBitsLsb(pData, nPos, nWidth, 1, &v);
        else
            v = ExtractBitsLsb(pData, nPos, nWidth, 1, nullptr);
        nPos += nWidth;
        return v;
    }
    int64_t Signed(uint32_t nWidth)
    {
        const uint64_t v = Unsigned(nWidth);
        const uint64_t sign = uint64_t(1) << (nWidth - 1);
        return static_cast<int64_t>((v ^ sign) - sign);
    }
};

struct BitWriter
{
    uint8_t* pData;
    uint32_t nBits; // capacity
    uint32_t nPos;

    // The caller has checked the capacity for the whole stream beforehand.
    void Put(uint32_t nWidth, uint64_t uValue)
    {
        const uint32_t nFirstNew = (nPos + 7) / 8;
        const uint32_t nEnd = (nPos + nWidth + 7) / 8;
        if (nEnd > nFirstNew)
            std::memset(pData + nFirstNew, 0, nEnd - nFirstNew);
        WriteBitsLsb(pData, nPos, nWidth, &uValue);
        nPos += nWidth;
    }
};

// ---------------------------------------------------------------------------
// Signal records and their values.

struct SignalFields
{
    uint8_t Parity;
    uint8_t HalfCycle;
    uint16_t CNo;
    uint8_t LockIdx;
    uint8_t PsrStdIdx;
    uint8_t PhaseStdIdx;
    int64_t Psr;
    int64_t Phase;
    int64_t Doppler;
};

struct SignalValues
{
    double Psr;
    double PhaseRange;
    double Doppler;
    bool PsrValid;
    bool PhaseValid;
};

// The values a reference record stands for; packer and expander both use it,
// so the packer predicts from exactly what the expander will hold.
SignalValues ReferenceValues(bool bPrimary, const SignalFields& s, const SignalValues& primary)
{
    SignalValues v;
    if (bPrimary)
    {
        v.PsrValid = s.Psr != kRefPrimaryPsrInvalid;
        v.Psr = double(s.Psr) * kPsrUnit;
        v.Doppler = double(s.Doppler) * kDopplerUnit;
    }
    else
    {
        v.PsrValid = primary.PsrValid && s.Psr != MinSigned(kWidths[0][1].Psr);
        v.Psr = primary.Psr + double(s.Psr) * kPsrUnit;
        // The marker: no Doppler (the log held none, or one the field cannot hold).
        v.Doppler =
            s.Doppler == MinSigned(kWidths[0][1].Doppler) ? 0.0 : primary.Doppler + double(s.Doppler) * kDopplerUnit;
    }
    v.PhaseValid = v.PsrValid && s.Phase != MinSigned(kWidths[0][0].Phase);
    v.PhaseRange = v.Psr + double(s.Phase) * kPhaseUnit;
    return v;
}

SignalValues DifferentialValues(const SignalFields& s, const RANGECMP4_REF_T& ref, double dDt)
{
    const double dPredicted = ref.Doppler * dDt;
    SignalValues v;
    v.PsrValid = ref.PsrValid && s.Psr != MinSigned(kWidths[1][0].Psr);
    v.Psr = ref.Psr + dPredicted + double(s.Psr) * kPsrUnit;
    v.PhaseValid = ref.PhaseValid && s.Phase != MinSigned(kWidths[1][0].Phase);
    v.PhaseRange = ref.PhaseRange + dPredicted + double(s.Phase) * kPhaseUnit;
    v.Doppler = ref.Doppler + double(s.Doppler) * kDopplerUnit;
    return v;
}

bool ReadSignal(BitReader& r, bool bDifferential, bool bSecondary, SignalFields* pOut)
{
    const FieldWidths& w = kWidths[bDifferential][bSecondary];
    pOut->Parity = static_cast<uint8_t>(r.Unsigned(1));
    pOut->HalfCycle = static_cast<uint8_t>(r.Unsigned(1));
    pOut->CNo = static_cast<uint16_t>(r.Unsigned(11));
    pOut->LockIdx = static_cast<uint8_t>(r.Unsigned(4));
    pOut->PsrStdIdx = static_cast<uint8_t>(r.Unsigned(4));
    pOut->PhaseStdIdx = static_cast<uint8_t>(r.Unsigned(4));
    pOut->Psr = (!bDifferential && !bSecondary) ? static_cast<int64_t>(r.Unsigned(w.Psr)) : r.Signed(w.Psr);
    pOut->Phase = r.Signed(w.Phase);
    pOut->Doppler = r.Signed(w.Doppler);
    return r.bOk;
}

void WriteSignal(BitWriter& w, bool bDifferential, bool bSecondary, const SignalFields& s)
{
    const FieldWidths& fw = kWidths[bDifferential][bSecondary];
    w.Put(1, s.Parity);
    w.Put(1, s.HalfCycle);
    w.Put(11, s.CNo);
    w.Put(4, s.LockIdx);
    w.Put(4, s.PsrStdIdx);
    w.Put(4, s.PhaseStdIdx);
    w.Put(fw.Psr, static_cast<uint64_t>(s.Psr));
    w.Put(fw.Phase, static_cast<uint64_t>(s.Phase));
    w.Put(fw.Doppler, static_cast<uint64_t>(s.Doppler));
}

// ---------------------------------------------------------------------------
// Stores.

const RANGECMP4_REF_T* FindRef(const RANGECMP4_CONTEXT_T* pCtx, uint32_t nKey)
{
    const uint16_t slot = pCtx->RefSlot[nKey];
    return slot ? &pCtx->Ref[slot - 1] : nullptr;
}

void StoreRef(RANGECMP4_CONTEXT_T* pCtx, uint32_t nKey, const SignalValues& v, uint16_t uWeek, uint32_t uMs,
              uint8_t uGloFreq, uint8_t uBlockId)
{
    uint16_t slot = pCtx->RefSlot[nKey];
    if (!slot)
    {
        if (pCtx->RefCount >= RangeCmp4RefCapacity())
            return;
        slot = static_cast<uint16_t>(++pCtx->RefCount);
        pCtx->RefSlot[nKey] = slot;
    }
    RANGECMP4_REF_T& e = pCtx->Ref[slot - 1];
    e.Psr = v.Psr;
    e.PhaseRange = v.PhaseRange;
    e.Doppler = v.Doppler;
    e.Ms = uMs;
    e.Week = uWeek;
    e.GloFreq = uGloFreq;
    e.BlockId = uBlockId;
    e.PsrValid = v.PsrValid;
    e.PhaseValid = v.PhaseValid;
}

// Lock time in seconds of a record. The index only bounds the lock time (its
// table value up to the next); the stream's history narrows it: while lock
// holds, the lock time grows by the time elapsed since the signal's last
// record, and it starts at the index's whole seconds. A lower index than
// before, or a lock time that the index no longer admits after the elapsed
// time, means lock was lost in between: the count starts again. So a held
// lock never reads as lost across a change of index, and the lock time never
// claims more than the receiver reported.
double LockTimeSeconds(RANGECMP4_CONTEXT_T* pCtx, uint32_t nKey, uint32_t nIdx, uint16_t uWeek, uint32_t uMs)
{
    nIdx &= 15;
    const uint32_t value = kLockTimeMs[nIdx];
    const double base = double(value / 1000);
    uint16_t slot = pCtx->LockSlot[nKey];
    if (!slot)
    {
        if (pCtx->LockCount < CMP4_LOCK_CAPACITY)
        {
            slot = static_cast<uint16_t>(++pCtx->LockCount);
            pCtx->LockSlot[nKey] = slot;
            pCtx->Lock[slot - 1] = {value, uMs, uWeek, base};
        }
        return base;
    }
    RANGECMP4_LOCK_T& e = pCtx->Lock[slot - 1];
    const int64_t elapsed = ElapsedMs(uWeek, uMs, e.Week, e.Ms);
    double lock = base;
    if (elapsed > 0 && value >= e.ValueMs)
    {
        const double held = e.LockSeconds + double(elapsed) / 1000.0;
        if (nIdx == 15 || held < kLockTimeMs[nIdx + 1] / 1000.0)
            lock = held > base ? held : base;
    }
    e = {value, uMs, uWeek, lock};
    return lock;
}

uint8_t FirstIndexNotBelow(const double* pTable, double dValue)
{
    for (uint8_t i = 0; i < 15; ++i)
        if (pTable[i] >= dValue)
            return i;
    return 15;
}

// The largest index whose lock time does not exceed the given one, so that
// the expanded lock time never claims more than the receiver reported.
uint8_t LockIndex(double dLockSeconds)
{
    const double ms = dLockSeconds * 1000.0;
    uint8_t idx = 0;
    for (uint8_t i = 1; i < 16; ++i)
        if (double(kLockTimeMs[i]) <= ms)
            idx = i;
    return idx;
}

// ---------------------------------------------------------------------------
// Expansion.

struct ExpandTarget
{
    RANGE_OBS_T* pObs;
    uint32_t nCount;
    uint32_t nMax;
    uint16_t uWeek;
    uint32_t uMs;
    RANGECMP4_EXPAND_NOTES_T Notes;
};

// One system block; false when the block runs past the data or the output is full.
bool DecodeRangeCmp4Body(RANGECMP4_CONTEXT_T* pCtx, BitReader& r, uint32_t nRow, ExpandTarget& t)
{
    const GNSS_SYSTEM_E kind = kRowKind[nRow];
    const uint64_t satMask = r.Unsigned(64);
    const uint16_t sigMask = static_cast<uint16_t>(r.Unsigned(16));
    if (!r.bOk)
        return false;

    uint8_t sats[CMP4_MAX_SATS];
    const uint32_t nSat = SatMaskToList(satMask, sats);
    uint8_t bits[CMP4_MAX_SIGNALS];
    uint32_t nSig = 0;
    for (uint32_t b = 0; b < CMP4_MAX_SIGNALS; ++b)
        if (sigMask & (1u << b))
            bits[nSig++] = static_cast<uint8_t>(b);

    // Included-signal mask, nSat x nSig bits (at most 1024).
    uint64_t included[CMP4_MAX_SATS * CMP4_MAX_SIGNALS / 64] = {};
    const uint32_t nInc = nSat * nSig;
    for (uint32_t done = 0; done < nInc;)
    {
        const uint32_t n = nInc - done < 64 ? nInc - done : 64;
        const uint64_t piece = r.Unsigned(n);
        for (uint32_t k = 0; k < n; ++k)
            if (piece >> k & 1)
                included[(done + k) / 64] |= uint64_t(1) << ((done + k) % 64);
        done += n;
    }
    if (!r.bOk)
        return false;

    // Tracking fields and carrier of each signal column. The fields of a GPS
    // code depend on the PRN range (GPS, SBAS, QZSS), which the row fixes.
    // A signal the tracking status cannot name (Galileo E6) is read and left
    // out; a bit of the mask that names no signal at all is unknown.
    TRACKING_FIELDS_T columnFields[CMP4_MAX_SIGNALS] = {};
    double columnCarrier[CMP4_MAX_SIGNALS] = {};
    bool columnKnown[CMP4_MAX_SIGNALS] = {};
    bool columnNamed[CMP4_MAX_SIGNALS] = {};
    for (uint32_t j = 0; j < nSig; ++j)
    {
        const uint16_t code = kSignalTable[nRow][bits[j]];
        columnNamed[j] = code != kNone;
        columnKnown[j] =
            code != kNone && SignalCodeToTrackingFields(code, SatNumberToPrn(kind, 1), &columnFields[j]) == 0;
        columnCarrier[j] = columnKnown[j] ? CarrierHz(code, 7) : 0;
    }

    for (uint32_t i = 0; i < nSat; ++i)
    {
        const uint32_t sat = sats[i];
        const uint16_t prn = SatNumberToPrn(kind, sat);
        bool bFirst = true;
        bool bDifferential = false;
        uint8_t blockId = 0;
        uint8_t gloFreq = 0;
        SignalValues primary{};
        for (uint32_t j = 0; j < nSig; ++j)
        {
            const uint32_t flat = i * nSig + j;
            if (!(included[flat / 64] >> (flat % 64) & 1))
                continue;
            if (bFirst)
            {
                bDifferential = r.Unsigned(1) != 0;
                blockId = static_cast<uint8_t>(r.Unsigned(3));
                if (kind == GNSS_SYSTEM_GLONASS && !bDifferential)
                    gloFreq = static_cast<uint8_t>(r.Unsigned(5));
            }
            SignalFields s;
            if (!ReadSignal(r, bDifferential, !bFirst, &s))
                return false;
            const bool bPrimary = bFirst;
            bFirst = false;
            ++(bDifferential ? t.Notes.DifferentialRecords : t.Notes.ReferenceRecords);

            const uint16_t code = kSignalTable[nRow][bits[j]];
            const uint32_t key = Key(nRow, sat, bits[j]);
            SignalValues v;
            uint8_t sigGloFreq = gloFreq;
            if (!bDifferential)
            {
                v = ReferenceValues(bPrimary, s, primary);
                if (bPrimary)
                    primary = v;
                if (!columnKnown[j])
                {
                    ++(columnNamed[j] ? t.Notes.NoRangeSignal : t.Notes.UnknownSignal);
                    continue;
                }
                StoreRef(pCtx, key, v, t.uWeek, t.uMs, gloFreq, blockId);
            }
            else
            {
                if (!columnKnown[j])
                {
                    ++(columnNamed[j] ? t.Notes.NoRangeSignal : t.Notes.UnknownSignal);
                    continue;
                }
                // Without the reference this record was made against there is
                // nothing to add it to: leave it out rather than guess.
                const RANGECMP4_REF_T* ref = FindRef(pCtx, key);
                const int64_t age = ref ? ElapsedMs(t.uWeek, t.uMs, ref->Week, ref->Ms) : -1;
                if (!ref || ref->BlockId != blockId || age < 0 || age > kMaxDifferentialAgeMs)
                {
                    ++t.Notes.NoReference;
                    continue;
                }
                v = DifferentialValues(s, *ref, double(age) / 1000.0);
                sigGloFreq = ref->GloFreq;
            }

            if (t.nCount >= t.nMax)
            {
                t.Notes.OutputFull = 1;
                return false;
            }
            double f = columnCarrier[j];
            if (kind == GNSS_SYSTEM_GLONASS)
                f = CarrierHz(code, sigGloFreq);
            TRACKING_FIELDS_T tf = columnFields[j];
            tf.TrackingState = 4;
            tf.ChannelNumber = static_cast<uint8_t>(t.nCount);
            tf.PhaseLock = v.PhaseValid && f > 0; // no carrier, no phase in cycles
            tf.ParityKnown = s.Parity;
            tf.CodeLocked = v.PsrValid;
            tf.CorrelatorType = 2;
            tf.Grouping = 1;
            tf.HalfCycleAdded = s.HalfCycle;
            tf.PrnLock = 0;
            tf.ChannelAssignment = 0;

            RANGE_OBS_T& o = t.pObs[t.nCount++];
            o.Prn = prn;
            o.GloFreq = kind == GNSS_SYSTEM_GLONASS ? sigGloFreq : 0;
            o.Psr = v.PsrValid ? v.Psr : 0.0;
            o.PsrStd = static_cast<float>(kPsrStdM[s.PsrStdIdx & 15]);
            o.Adr = v.PhaseValid && f > 0 ? -(v.PhaseRange * f) / SPEED_OF_LIGHT : 0.0;
            o.AdrStd = static_cast<float>(kPhaseStdCycles[s.PhaseStdIdx & 15]);
            o.Doppler = f > 0 ? static_cast<float>(-(v.Doppler * f) / SPEED_OF_LIGHT) : 0.0f;
            o.CNo = static_cast<float>(s.CNo * kCNoUnit);
            o.LockTime = static_cast<float>(LockTimeSeconds(pCtx, key, s.LockIdx, t.uWeek, t.uMs));
            o.TrackingStatus = PackTrackingStatus(&tf);
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Packing.

struct RowColumns
{
    // signal-mask bit chosen for each (signal type, BeiDou geostationary class)
    int8_t BitOfType[32][2];
};

void BuildRowColumns(RowColumns cols[CMP4_ROWS])
{
    for (uint32_t row = 0; row < CMP4_ROWS; ++row)
    {
        std::memset(cols[row].BitOfType, -1, sizeof(cols[row].BitOfType));
        const GNSS_SYSTEM_E kind = kRowKind[row];
        for (uint32_t geo = 0; geo < 2; ++geo)
        {
            const uint32_t sat = (row == kRowBeiDou && geo) ? 1 : 6;
            const uint16_t prn = SatNumberToPrn(kind, sat);
            for (uint32_t b = 0; b < CMP4_MAX_SIGNALS; ++b)
            {
                const uint16_t code = kSignalTable[row][b];
                if (code == kNone || (row == kRowBeiDou && !BeiDouBitFitsSatellite(b, sat)))
                    continue;
                TRACKING_FIELDS_T tf{};
                if (SignalCodeToTrackingFields(code, prn, &tf) != 0 || tf.SatelliteSystem != row)
                    continue;
                int8_t& slot = cols[row].BitOfType[tf.SignalType & 31][geo];
                if (slot < 0)
                    slot = static_cast<int8_t>(b);
            }
        }
    }
}

struct PackSignal
{
    uint8_t Bit;
    uint16_t Code;
    const RANGE_OBS_T* pObs;
    double Carrier;
    double Shift; // whole cycles the phase is written shifted by (its arc's)
    RANGE_PHASE_ARC_T* pArc;
    SignalFields Fields;
    SignalValues Values;
};

void CommonFields(const RANGE_OBS_T& o, SignalFields* s)
{
    s->Parity = TrackingStatusParityKnown(o.TrackingStatus);
    s->HalfCycle = TrackingStatusHalfCycle(o.TrackingStatus);
    s->CNo = static_cast<uint16_t>(TruncClamp(double(o.CNo) / kCNoUnit, 0, 2047));
    s->LockIdx = LockIndex(o.LockTime);
    s->PsrStdIdx = FirstIndexNotBelow(kPsrStdM, o.PsrStd);
    s->PhaseStdIdx = FirstIndexNotBelow(kPhaseStdCycles, o.AdrStd);
}

double PhaseRangeOf(const PackSignal& p) { return -(p.pObs->Adr - p.Shift) * SPEED_OF_LIGHT / p.Carrier; }

// A phase further than this from its pseudorange at the start of an arc is
// shifted by whole cycles to lie next to it: the reference field reaches
// 419 m, and the rest is room for the code and carrier to drift apart.
constexpr double kShiftBeyondM = 100.0;

// The shift of a signal's phase: its arc's while lock holds; at a new arc
// whole cycles to the pseudorange when the phase lies far from it.
void ChoosePhaseShift(RANGE_PHASE_ARCS_T* pArcs, int64_t nTimeMs, PackSignal* p)
{
    p->Shift = 0;
    p->pArc = nullptr;
    const RANGE_OBS_T& o = *p->pObs;
    if (!pArcs || !(p->Carrier > 0) || !TrackingStatusPhaseLock(o.TrackingStatus))
        return;
    p->pArc = FindPhaseArc(pArcs, o.TrackingStatus, o.Prn);
    if (!p->pArc)
        return;
    if (PhaseArcContinues(*p->pArc, o.LockTime, nTimeMs))
    {
        p->Shift = double(p->pArc->Shift);
        return;
    }
    const double lambda = SPEED_OF_LIGHT / p->Carrier;
    const double offset = o.Adr + o.Psr / lambda; // cycles between phase and code range
    if (std::isfinite(offset) && std::fabs(offset * lambda) > kShiftBeyondM && std::fabs(offset) < 1e15)
        p->Shift = double(std::llround(offset));
}

// Counts what became of each phase and records it in its arc.
void NotePhases(RANGE_PHASE_ARCS_T* pArcs, const PackSignal* sigs, uint32_t n, int64_t nTimeMs)
{
    for (uint32_t k = 0; pArcs && k < n; ++k)
    {
        const PackSignal& p = sigs[k];
        const bool bLocked = TrackingStatusPhaseLock(p.pObs->TrackingStatus);
        if (bLocked && !p.Values.PhaseValid)
            ++pArcs->Dropped;
        else if (bLocked && p.Shift != 0)
            ++pArcs->Shifted;
        RANGE_PHASE_ARC_T* pArc = p.pArc ? p.pArc : FindPhaseArc(pArcs, p.pObs->TrackingStatus, p.pObs->Prn);
        if (pArc)
            UpdatePhaseArc(pArc, bLocked, p.pObs->LockTime, nTimeMs, static_cast<int64_t>(p.Shift));
    }
}
double DopplerOf(const PackSignal& p) { return -double(p.pObs->Doppler) * SPEED_OF_LIGHT / p.Carrier; }

// Reference fields of one satellite's signals; fields that cannot hold their
// value carry the invalid marker instead of a wrapped number.
void PlanReference(PackSignal* sigs, uint32_t n)
{
    SignalValues primary{};
    for (uint32_t k = 0; k < n; ++k)
    {
        PackSignal& p = sigs[k];
        const bool bSecondary = k > 0;
        const FieldWidths& w = kWidths[0][bSecondary];
        SignalFields& s = p.Fields;
        CommonFields(*p.pObs, &s);
        const bool bCode = TrackingStatusCodeLocked(p.pObs->TrackingStatus);
        const bool bPhase = TrackingStatusPhaseLock(p.pObs->TrackingStatus);
        if (!bSecondary)
        {
            if (!bCode || !RoundFits(p.pObs->Psr / kPsrUnit, 0, kRefPrimaryPsrInvalid - 1, &s.Psr))
                s.Psr = kRefPrimaryPsrInvalid;
            s.Doppler = RoundClamp(DopplerOf(p) / kDopplerUnit, MinSigned(w.Doppler), MaxSigned(w.Doppler));
        }
        else
        {
            if (!bCode || !primary.PsrValid ||
                !RoundFits((p.pObs->Psr - primary.Psr) / kPsrUnit, MinSigned(w.Psr) + 1, MaxSigned(w.Psr), &s.Psr))
                s.Psr = MinSigned(w.Psr);
            // A Doppler the field cannot hold (one the log does not hold, 0,
            // beside a primary that has one) is none rather than a clamped number.
            if (!RoundFits((DopplerOf(p) - primary.Doppler) / kDopplerUnit, MinSigned(w.Doppler) + 1,
                           MaxSigned(w.Doppler), &s.Doppler))
                s.Doppler = MinSigned(w.Doppler);
        }
        // The phase is carried relative to the pseudorange the expander rebuilds.
        const double ownPsr = bSecondary ? primary.Psr + double(s.Psr) * kPsrUnit : double(s.Psr) * kPsrUnit;
        const bool ownPsrValid = bSecondary ? s.Psr != MinSigned(w.Psr) : s.Psr != kRefPrimaryPsrInvalid;
        if (!bPhase || !ownPsrValid ||
            !RoundFits((PhaseRangeOf(p) - ownPsr) / kPhaseUnit, MinSigned(w.Phase) + 1, MaxSigned(w.Phase), &s.Phase))
            s.Phase = MinSigned(w.Phase);
        p.Values = ReferenceValues(!bSecondary, s, primary);
        if (!bSecondary)
            primary = p.Values;
    }
}

// Differential fields against the stream's references; false when a signal
// lacks a usable reference or a field would overflow, and the satellite must
// then be written as a reference.
bool PlanDifferential(const RANGECMP4_CONTEXT_T* pCtx, uint32_t nRow, uint32_t nSat, PackSignal* sigs, uint32_t n,
                      uint16_t uWeek, uint32_t uMs, uint8_t uGloFreq, uint8_t* pBlockId)
{
    const RANGECMP4_REF_T* primaryRef = FindRef(pCtx, Key(nRow, nSat, sigs[0].Bit));
    if (!primaryRef)
        return false;
    *pBlockId = primaryRef->BlockId;
    for (uint32_t k = 0; k < n; ++k)
    {
        PackSignal& p = sigs[k];
        const RANGECMP4_REF_T* ref = FindRef(pCtx, Key(nRow, nSat, p.Bit));
        if (!ref || ref->BlockId != *pBlockId || ref->GloFreq != uGloFreq)
            return false;
        const int64_t age = ElapsedMs(uWeek, uMs, ref->Week, ref->Ms);
        if (age < 0 || age > kMaxDifferentialAgeMs)
            return false;
        const double dt = double(age) / 1000.0;
        const double predicted = ref->Doppler * dt;
        const FieldWidths& w = kWidths[1][k > 0];
        SignalFields& s = p.Fields;
        CommonFields(*p.pObs, &s);
        if (TrackingStatusCodeLocked(p.pObs->TrackingStatus))
        {
            if (!ref->PsrValid || !RoundFits((p.pObs->Psr - (ref->Psr + predicted)) / kPsrUnit, MinSigned(w.Psr) + 1,
                                             MaxSigned(w.Psr), &s.Psr))
                return false;
        }
        else
            s.Psr = MinSigned(w.Psr);
        if (TrackingStatusPhaseLock(p.pObs->TrackingStatus))
        {
            if (!ref->PhaseValid || !RoundFits((PhaseRangeOf(p) - (ref->PhaseRange + predicted)) / kPhaseUnit,
                                               MinSigned(w.Phase) + 1, MaxSigned(w.Phase), &s.Phase))
                return false;
        }
        else
            s.Phase = MinSigned(w.Phase);
        if (!RoundFits((DopplerOf(p) - ref->Doppler) / kDopplerUnit, MinSigned(w.Doppler), MaxSigned(w.Doppler),
                       &s.Doppler))
            return false;
        p.Values = DifferentialValues(s, *ref, dt);
    }
    return true;
}

} // namespace

uint32_t RangeCmp4RefCapacity() { return IsMonitorProfile() ? CMP4_REF_CAPACITY_MONITOR : CMP4_REF_CAPACITY_CONVERTER; }

void ForgetRangeCmp4References(RANGECMP4_CONTEXT_T* pCtx)
{
    if (!pCtx)
        return;
    std::memset(pCtx->RefSlot, 0, sizeof(pCtx->RefSlot));
    pCtx->RefCount = 0;
}

void ResetRangeCmp4State(RANGECMP4_CONTEXT_T* pCtx)
{
    if (!pCtx)
        return;
    ForgetRangeCmp4References(pCtx);
    std::memset(pCtx->LockSlot, 0, sizeof(pCtx->LockSlot));
    pCtx->LockCount = 0;
}

uint32_t Cmp4SignalMaskToList(uint32_t nRow, uint16_t uSignalMask, uint16_t Codes[CMP4_MAX_SIGNALS])
{
    uint32_t n = 0;
    for (uint32_t b = 0; b < CMP4_MAX_SIGNALS; ++b)
        Codes[b] = kNone;
    if (nRow >= CMP4_ROWS)
        return 0;
    for (uint32_t b = 0; b < CMP4_MAX_SIGNALS; ++b)
        if ((uSignalMask >> b & 1) && kSignalTable[nRow][b] != kNone)
            Codes[n++] = kSignalTable[nRow][b];
    return n;
}

uint32_t SatMaskToList(uint64_t uSatMask, uint8_t SatNumbers[CMP4_MAX_SATS])
{
    uint32_t n = 0;
    for (uint32_t k = 0; k < CMP4_MAX_SATS; ++k)
        if (uSatMask >> k & 1)
            SatNumbers[n++] = static_cast<uint8_t>(k + 1);
    return n;
}

void SortByKey(const uint32_t* pKeys, uint32_t nCount, uint32_t* pIndex)
{
    if (!pKeys || !pIndex)
        return;
    for (uint32_t i = 0; i < nCount; ++i)
        pIndex[i] = i;
    std::stable_sort(pIndex, pIndex + nCount, [pKeys](uint32_t a, uint32_t b) { return pKeys[a] < pKeys[b]; });
}

uint32_t SignalCodeToCmp4Band(uint16_t uSignalCode)
{
    const uint32_t system = uSignalCode & 7;
    const uint32_t band = (uSignalCode >> 3) & 7;
    switch (system)
    {
    case 1:
    case 3:
        return band + ((uSignalCode & 0x40) ? 3 : 0);
    case 2:
        return band <= 2 ? band : 3;
    case 0:
        switch (uSignalCode)
        {
        case GPSL1CA:
            return 0;
        case GPSL2P:
        case GPSL2Y:
        case GPSL2W:
        case GPSL2N:
            return 1;
        case GPSL2CA:
        case GPSL2CM:
        case GPSL2CL:
        case GPSL2CX:
            return 3;
        default:
            return band == 2 ? 2 : 4;
        }
    default:
        return 0;
    }
}

int RangeCmp4ToRange(RANGECMP4_CONTEXT_T* pCtx, const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity,
                     int32_t* pOutLength)
{
    RANGECMP4_EXPAND_NOTES_T notes;
    return RangeCmp4ToRangeNotes(pCtx, pLog, nLength, pOut, nCapacity, pOutLength, &notes);
}

int RangeCmp4ToRangeNotes(RANGECMP4_CONTEXT_T* pCtx, const void* pLog, int32_t nLength, void* pOut,
                          int32_t nCapacity, int32_t* pOutLength, RANGECMP4_EXPAND_NOTES_T* pNotes)
{
    if (pNotes)
        *pNotes = RANGECMP4_EXPAND_NOTES_T{};
    BinaryLogHeader h;
    uint32_t nData = 0;
    if (!pCtx || !pLog || !pOut || !pOutLength || nCapacity < 0 || !ReadRangeLog(pLog, nLength, &h, &nData))
        return 0;
    if (nCapacity < static_cast<int32_t>(RANGE_BODY_OFFSET) || nData > uint32_t(h.MessageLength) - 4)
        return 0;
    const uint8_t* pIn = static_cast<const uint8_t*>(pLog);
    uint8_t* pDst = static_cast<uint8_t*>(pOut);
    ExpandTarget t;
    t.pObs = reinterpret_cast<RANGE_OBS_T*>(pDst + RANGE_BODY_OFFSET);
    t.nCount = 0;
    t.nMax = (uint32_t(nCapacity) - RANGE_BODY_OFFSET) / sizeof(RANGE_OBS_T);
    if (t.nMax > RANGE_MAX_OBS)
        t.nMax = RANGE_MAX_OBS;
    t.uWeek = h.Week;
    t.uMs = h.Milliseconds;
    t.Notes = RANGECMP4_EXPAND_NOTES_T{};
    // The notes of a log stopped part-way count what was read up to there.
    struct NotesOut
    {
        const ExpandTarget& Target;
        RANGECMP4_EXPAND_NOTES_T* pNotes;
        ~NotesOut()
        {
            if (pNotes)
                *pNotes = Target.Notes;
        }
    } notesOut{t, pNotes};

    BitReader r{pIn + RANGE_BODY_OFFSET, nData * 8, 0, true};
    const uint16_t sysMask = static_cast<uint16_t>(r.Unsigned(16));
    if (!r.bOk)
        return 0;
    // Blocks follow in mask-bit order; the block of an unknown system cannot be
    // stepped over, so one in front of a known system makes the log unreadable.
    uint32_t knownBits = 0;
    for (uint32_t row = 0; row < CMP4_ROWS; ++row)
        knownBits |= 1u << kRowMaskBit[row];
    for (uint32_t bit = 0; bit < 16; ++bit)
    {
        if (!(sysMask >> bit & 1))
            continue;
        if (!(knownBits >> bit & 1))
        {
            if (sysMask & knownBits & ~((2u << bit) - 1))
                return 0;
            ++t.Notes.UnknownSignal; // the blocks of a system it cannot read, left out
            break;
        }
        uint32_t row = 0;
        while (kRowMaskBit[row] != bit)
            ++row;
        if (!DecodeRangeCmp4Body(pCtx, r, row, t))
            return 0;
    }

    SetExpandedRangeId(&h);
    return CloseRangeLog(&h, t.nCount, t.nCount * sizeof(RANGE_OBS_T), pDst, pOutLength);
}

int RangeToRangeCmp4(RANGECMP4_CONTEXT_T* pCtx, const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity,
                     int32_t* pOutLength)
{
    return RangeToRangeCmp4Arcs(pCtx, nullptr, pLog, nLength, pOut, nCapacity, pOutLength);
}

int RangeToRangeCmp4Arcs(RANGECMP4_CONTEXT_T* pCtx, RANGE_PHASE_ARCS_T* pArcs, const void* pLog, int32_t nLength,
                         void* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    BinaryLogHeader h;
    uint32_t nObs = 0;
    if (!pCtx || !pLog || !pOut || !pOutLength || nCapacity < 0 || !ReadRangeLog(pLog, nLength, &h, &nObs))
        return 0;
    if (nObs > (uint32_t(h.MessageLength) - 4) / sizeof(RANGE_OBS_T))
        return 0;
    const uint8_t* pIn = static_cast<const uint8_t*>(pLog);
    const RANGE_OBS_T* obs = reinterpret_cast<const RANGE_OBS_T*>(pIn + RANGE_BODY_OFFSET);

    RowColumns cols[CMP4_ROWS];
    BuildRowColumns(cols);

    // Which record fills each (row, satellite, signal); the first of duplicates wins.
    static_assert(RANGE_MAX_OBS < 0x7FFF, "record index fits 16 bits");
    int16_t recordOf[CMP4_KEYS];
    std::memset(recordOf, -1, sizeof(recordOf));
    uint64_t satMask[CMP4_ROWS] = {};
    uint16_t sigMask[CMP4_ROWS] = {};
    uint32_t nRecords = 0;
    for (uint32_t i = 0; i < nObs; ++i)
    {
        const RANGE_OBS_T& o = obs[i];
        const uint32_t row = TrackingStatusSystem(o.TrackingStatus);
        if (row >= CMP4_ROWS)
            continue;
        const GNSS_SYSTEM_E kind = kRowKind[row];
        uint32_t sat = SatIdToSlot(kind, o.Prn);
        if (kind == GNSS_SYSTEM_SBAS)
            sat = o.Prn > SBAS_PRN_OFFSET ? o.Prn - SBAS_PRN_OFFSET : 0u;
        if (sat < 1 || sat > CMP4_MAX_SATS || (kind == GNSS_SYSTEM_GLONASS && o.GloFreq > 31))
            continue;
        const int bit =
            cols[row]
                .BitOfType[TrackingStatusSignalType(o.TrackingStatus)][row == kRowBeiDou && IsBeiDouGeoNumber(sat)];
        if (bit < 0 || !(CarrierHz(kSignalTable[row][bit], o.GloFreq) > 0))
            continue;
        const uint32_t key = Key(row, sat, uint32_t(bit));
        if (recordOf[key] >= 0)
            continue;
        recordOf[key] = static_cast<int16_t>(i);
        satMask[row] |= uint64_t(1) << (sat - 1);
        sigMask[row] |= static_cast<uint16_t>(1u << bit);
        ++nRecords;
    }

    // Room for the longest stream these records can make, checked before any
    // store changes so that a refused log leaves the stream's state alone.
    uint64_t maxBits = 16;
    uint32_t sysMask = 0;
    for (uint32_t row = 0; row < CMP4_ROWS; ++row)
    {
        if (!satMask[row])
            continue;
        sysMask |= 1u << kRowMaskBit[row];
        const uint64_t nSat = PopCount64(satMask[row]);
        maxBits += 80 + nSat * PopCount32(sigMask[row]) + nSat * 9;
    }
    maxBits += uint64_t(nRecords) * (25 + 37 + 23 + 26);
    const uint64_t maxBytes = (maxBits + 7) / 8;
    if (maxBytes + 4 > 65535 || RANGE_BODY_OFFSET + maxBytes > uint64_t(nCapacity))
        return 0;

    uint8_t* pDst = static_cast<uint8_t*>(pOut);
    BitWriter w{pDst + RANGE_BODY_OFFSET, static_cast<uint32_t>(maxBytes * 8), 0};
    w.Put(16, sysMask);

    const bool bDifferentialEpoch = (h.Milliseconds % (pCtx->ReferenceEveryMs ? pCtx->ReferenceEveryMs : 1000)) != 0;
    for (uint32_t row = 0; row < CMP4_ROWS; ++row)
    {
        if (!satMask[row])
            continue;
        const GNSS_SYSTEM_E kind = kRowKind[row];
        w.Put(64, satMask[row]);
        w.Put(16, sigMask[row]);
        uint8_t sats[CMP4_MAX_SATS];
        const uint32_t nSat = SatMaskToList(satMask[row], sats);
        uint8_t bits[CMP4_MAX_SIGNALS];
        uint32_t nSig = 0;
        for (uint32_t b = 0; b < CMP4_MAX_SIGNALS; ++b)
            if (sigMask[row] >> b & 1)
                bits[nSig++] = static_cast<uint8_t>(b);
        for (uint32_t i = 0; i < nSat; ++i)
            for (uint32_t j = 0; j < nSig; ++j)
                w.Put(1, recordOf[Key(row, sats[i], bits[j])] >= 0);

        for (uint32_t i = 0; i < nSat; ++i)
        {
            const uint32_t sat = sats[i];
            PackSignal sigs[CMP4_MAX_SIGNALS];
            uint32_t n = 0;
            for (uint32_t j = 0; j < nSig; ++j)
            {
                const int16_t rec = recordOf[Key(row, sat, bits[j])];
                if (rec < 0)
                    continue;
                PackSignal& p = sigs[n++];
                p.Bit = bits[j];
                p.Code = kSignalTable[row][bits[j]];
                p.pObs = &obs[rec];
            }
            // One frequency channel per satellite: the primary signal's.
            const uint8_t gloFreq = kind == GNSS_SYSTEM_GLONASS ? static_cast<uint8_t>(sigs[0].pObs->GloFreq) : 0;
            for (uint32_t k = 0; k < n; ++k)
            {
                sigs[k].Carrier = CarrierHz(sigs[k].Code, gloFreq);
                ChoosePhaseShift(pArcs, LogTimeMs(h), &sigs[k]);
            }

            uint8_t blockId = 0;
            bool bDifferential = bDifferentialEpoch &&
                                 PlanDifferential(pCtx, row, sat, sigs, n, h.Week, h.Milliseconds, gloFreq, &blockId);
            if (!bDifferential)
            {
                const RANGECMP4_REF_T* prev = FindRef(pCtx, Key(row, sat, sigs[0].Bit));
                blockId = prev ? static_cast<uint8_t>((prev->BlockId + 1) % 8) : 0;
                PlanReference(sigs, n);
            }

            w.Put(1, bDifferential);
            w.Put(3, blockId);
            if (kind == GNSS_SYSTEM_GLONASS && !bDifferential)
                w.Put(5, gloFreq);
            for (uint32_t k = 0; k < n; ++k)
            {
                WriteSignal(w, bDifferential, k > 0, sigs[k].Fields);
                if (!bDifferential)
                    StoreRef(pCtx, Key(row, sat, sigs[k].Bit), sigs[k].Values, h.Week, h.Milliseconds, gloFreq,
                             blockId);
            }
            NotePhases(pArcs, sigs, n, LogTimeMs(h));
        }
    }

    const uint32_t nData = (w.nPos + 7) / 8;
    SetPackedRangeId(&h, MSG_ID_RANGECMP4);
    return CloseRangeLog(&h, nData, nData, pDst, pOutLength);
}

int DecodeRangeCmp4Text(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    BinaryLogHeader h;
    uint32_t nOffset = 0, nBodyLength = 0;
    if (!pText || !pOut || !pOutLength || !OpenTextLog(pText, nLength, MSG_ID_RANGECMP4, &h, &nOffset, &nBodyLength))
        return 0;
    TextFieldCursor cursor = MakeFieldCursor(pText + nOffset, pText + nOffset + nBodyLength);
    const char* f = nullptr;
    int32_t n = 0;
    uint32_t nData = 0;
    if (!NextTextField(&cursor, &f, &n) || !ParseFieldU32(f, n, 10, &nData) || nData > 0xFFFFu - 4u)
        return 0;
    if (!NextTextField(&cursor, &f, &n) || uint32_t(n) != 2 * nData ||
        HexToBytes(f, pOut + RANGE_BODY_OFFSET, nData, n) != 0)
        return 0;
    if (IsRangeHTextName(pText, nLength))
        h.MessageType |= LOG_TYPE_FROM_RANGEH;
    return CloseRangeLog(&h, nData, nData, pOut, pOutLength);
}

int FormatRangeCmp4(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    uint32_t nData = 0;
    const BinaryLogHeader* h = CountedRecordHeader(pLog, 1, &nData);
    if (!h || !pOut || !pOutLength || nCapacity <= 0)
        return 0;
    uint32_t n = 0;
    const uint32_t cap = uint32_t(nCapacity);
    if (!WriteAsciiHeaderEx("RANGECMP4", h, (h->MessageType & LOG_TYPE_FROM_RANGEH) ? 1 : 0, pOut, cap, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(h->MessageType);
    const uint8_t* pData = static_cast<const uint8_t*>(pLog) + RANGE_BODY_OFFSET;
    if (!AppendFormat(pOut, cap, &n, bAbbrev ? "<\t%u\r\n<\t\t" : "%u,", nData) ||
        !AppendLowerHex(pOut, cap, &n, pData, nData))
        return 0;
    if (bAbbrev ? !AppendFormat(pOut, cap, &n, "\r\n") : !AppendTextLogCrc(pOut, cap, &n, 0))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

int CopyBinaryRangeCmp4(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyCountedRecord(pLog, 1, MSG_ID_RANGECMP4, nCapacity, pOut, pOutLength);
}
