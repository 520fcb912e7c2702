#include "codec/range_logs.h"

#include <cmath>
#include <cstring>

#include "codec/log_format.h"
#include "codec/profile.h"
#include "codec/range_internal.h"
#include "codec/signals.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"

namespace
{
constexpr float kPsrStdTable[16] = {0.050f, 0.075f, 0.113f, 0.169f, 0.253f,  0.380f,  0.570f,  0.854f,
                                    1.281f, 2.375f, 4.750f, 9.500f, 19.000f, 38.000f, 76.000f, 152.000f};

bool PrnInRange(uint32_t nSystem, uint16_t uPrn)
{
    switch (nSystem)
    {
    case TRACK_SYS_GPS:
        return uPrn >= 1 && uPrn <= GPS_PRN_LAST;
    case TRACK_SYS_GLONASS:
        return uPrn > GLO_PRN_OFFSET && uPrn <= GLO_PRN_LAST;
    case TRACK_SYS_GALILEO:
        return uPrn >= 1 && uPrn <= GAL_PRN_LAST;
    case TRACK_SYS_QZSS:
        return uPrn >= QZSS_PRN_FIRST && uPrn <= QZSS_PRN_LAST;
    default:
        return true;
    }
}

// round((pseudorange / wavelength + ADR) / 2^23), halves away from zero; 0
// when it does not fit 32 bits.
int32_t RollCount(double dLambda, double dPsr, double dAdr)
{
    const double r = std::round((dPsr / dLambda + dAdr) / RANGECMP_ADR_ROLL);
    return (r >= -2147483648.0 && r <= 2147483647.0) ? static_cast<int32_t>(r) : 0;
}

const char* RangeLogName(uint16_t nMessageId)
{
    switch (nMessageId)
    {
    case MSG_ID_RANGE:
        return "RANGE";
    case MSG_ID_RANGEH:
        return "RANGEH";
    case MSG_ID_BASERANGE:
        return "BASERANGE";
    default:
        return nullptr;
    }
}

bool TextStartsWith(const char* pText, int32_t nLength, const char* pPrefix)
{
    const size_t n = std::strlen(pPrefix);
    return nLength >= 0 && size_t(nLength) >= n && std::memcmp(pText, pPrefix, n) == 0;
}

bool NextU32(TextFieldCursor* pCursor, int nBase, uint32_t* pValue)
{
    const char* f = nullptr;
    int32_t n = 0;
    return NextTextField(pCursor, &f, &n) && ParseFieldU32(f, n, nBase, pValue);
}

bool NextF64(TextFieldCursor* pCursor, double* pValue)
{
    const char* f = nullptr;
    int32_t n = 0;
    return NextTextField(pCursor, &f, &n) && ParseFieldF64(f, n, pValue);
}

bool NextF32(TextFieldCursor* pCursor, float* pValue)
{
    double d = 0;
    if (!NextF64(pCursor, &d) || !(std::fabs(d) <= 3.4028234663852886e38))
        return false;
    *pValue = static_cast<float>(d);
    return true;
}

// A PRN or frequency field: "%d" stored in 16 bits.
bool NextU16(TextFieldCursor* pCursor, uint16_t* pValue)
{
    const char* f = nullptr;
    int32_t n = 0;
    int32_t v = 0;
    if (!NextTextField(pCursor, &f, &n) || !ParseFieldI32(f, n, &v) || v < 0 || v > 0xFFFF)
        return false;
    *pValue = static_cast<uint16_t>(v);
    return true;
}

// Fields are read into aligned locals: the record's own members are packed.
bool ReadRangeRecord(TextFieldCursor* pCursor, RANGE_OBS_T* pObs)
{
    uint16_t prn = 0, gloFreq = 0;
    double psr = 0, adr = 0;
    float psrStd = 0, adrStd = 0, doppler = 0, cno = 0, lock = 0;
    uint32_t status = 0;
    if (!NextU16(pCursor, &prn) || !NextU16(pCursor, &gloFreq) || !NextF64(pCursor, &psr) ||
        !NextF32(pCursor, &psrStd) || !NextF64(pCursor, &adr) || !NextF32(pCursor, &adrStd) ||
        !NextF32(pCursor, &doppler) || !NextF32(pCursor, &cno) || !NextF32(pCursor, &lock) ||
        !NextU32(pCursor, 16, &status))
        return false;
    RANGE_OBS_T o{};
    o.Prn = prn;
    o.GloFreq = gloFreq;
    o.Psr = psr;
    o.PsrStd = psrStd;
    o.Adr = adr;
    o.AdrStd = adrStd;
    o.Doppler = doppler;
    o.CNo = cno;
    o.LockTime = lock;
    o.TrackingStatus = status;
    *pObs = o;
    return true;
}

// Reads "count," and then count records of nRecordSize bytes written as hex
// digits, one comma-separated field each, behind the header of a full text log.
int DecodeHexRecordsText(const char* pText, int32_t nLength, uint16_t nMessageId, uint32_t nRecordSize, uint8_t* pOut,
                         int32_t* pOutLength)
{
    BinaryLogHeader h;
    uint32_t nOffset = 0, nBodyLength = 0;
    if (!pText || !pOut || !pOutLength || !OpenTextLog(pText, nLength, nMessageId, &h, &nOffset, &nBodyLength))
        return 0;
    TextFieldCursor cursor = MakeFieldCursor(pText + nOffset, pText + nOffset + nBodyLength);
    uint32_t n = 0;
    if (!NextU32(&cursor, 10, &n) || n > (0xFFFFu - 4u) / nRecordSize)
        return 0;
    for (uint32_t i = 0; i < n; ++i)
    {
        const char* f = nullptr;
        int32_t len = 0;
        if (!NextTextField(&cursor, &f, &len) || uint32_t(len) != 2 * nRecordSize ||
            HexToBytes(f, pOut + RANGE_BODY_OFFSET + i * nRecordSize, nRecordSize, len) != 0)
            return 0;
    }
    return CloseRangeLog(&h, n, n * nRecordSize, pOut, pOutLength);
}

// CR LF after an abbreviated body; the CRC trailer after a full one.
int FinishText(char* pOut, uint32_t nCapacity, uint32_t nLength, bool bAbbrev, bool bReplaceLastComma,
               int32_t* pOutLength)
{
    if (!bAbbrev && !AppendTextLogCrc(pOut, nCapacity, &nLength, bReplaceLastComma))
        return 0;
    *pOutLength = static_cast<int32_t>(nLength);
    return 1;
}

RANGE_OBS_T ExpandRecord(const RANGECMP_OBS_T& c)
{
    RANGE_OBS_T o{};
    o.TrackingStatus = c.TrackingStatus;
    int32_t doppler = static_cast<int32_t>(c.DopplerPsrLow << 4) >> 4; // 28 bits, sign-extended
    o.Doppler = static_cast<float>(doppler / 256.0);
    const uint64_t psr = uint64_t(c.PsrHigh) << 4 | c.DopplerPsrLow >> 28;
    o.Psr = double(psr) / 128.0;
    o.Prn = c.Prn;
    o.GloFreq = static_cast<uint16_t>(c.LockCnoGlo >> 26);
    const uint32_t system = TrackingStatusSystem(c.TrackingStatus);
    if (system == TRACK_SYS_GLONASS && o.GloFreq == 0 && o.Prn > GLO_PRN_OFFSET)
    {
        const uint8_t channel = GetGloFreqChannel(o.Prn - GLO_PRN_OFFSET);
        if (channel != GLO_CHANNEL_UNKNOWN)
            o.GloFreq = channel;
    }
    const double folded = c.FoldedAdr / 256.0;
    const double lambda = RangeCmpRollWavelength(o.TrackingStatus, o.Prn, o.GloFreq, true);
    if (lambda > 0 && (c.FoldedAdr != 0 || TrackingStatusPhaseLock(o.TrackingStatus)))
        o.Adr = folded - RollCount(lambda, o.Psr, folded) * RANGECMP_ADR_ROLL;
    else
    {
        // without its roll-over count the folded phase is no phase at all
        o.Adr = 0;
        o.TrackingStatus &= ~(1u << 10);
    }
    o.PsrStd = kPsrStdTable[c.StdDevIndex & 15];
    const uint32_t adrStdIdx = c.StdDevIndex >> 4;
    o.AdrStd = adrStdIdx ? static_cast<float>((adrStdIdx + 1) / 512.0) : 0.0f;
    o.CNo = static_cast<float>(((c.LockCnoGlo >> 21) & 31) + 20);
    o.LockTime = static_cast<float>((c.LockCnoGlo & 0x1FFFFF) / 32.0);
    return o;
}

// The phase as RANGECMP folds it: the receiver's fold, (pseudorange roll-overs
// x 2^23 + ADR) in 1/256 cycle, reduced by whole roll-overs where that does
// not fit 32 bits (a phase with an arbitrary offset from the code range). The
// expander unfolds against the pseudorange it reads, which undoes the fold
// but not the reduction: *pShift gets the whole roll-overs by which the
// expanded phase will differ from the ADR. False without a wavelength.
bool FoldPhase(const RANGE_OBS_T& o, uint32_t uStatus, uint64_t uPsrField, int32_t* pFolded, int64_t* pShift)
{
    const double lambda = RangeCmpRollWavelength(uStatus, o.Prn, o.GloFreq, false);
    const double lambdaOut = RangeCmpRollWavelength(uStatus, o.Prn, o.GloFreq, true);
    if (lambda <= 0 || lambdaOut <= 0 || !std::isfinite(o.Adr))
        return false;
    constexpr double kRollUnits = RANGECMP_ADR_ROLL * 256.0;
    double scaled = std::round((double(RollCount(lambda, o.Psr, 0.0)) * RANGECMP_ADR_ROLL + o.Adr) * 256.0);
    if (!(scaled >= -double(INT32_MAX) && scaled <= double(INT32_MAX)))
        scaled -= std::round(scaled / kRollUnits) * kRollUnits;
    if (!(scaled >= -double(INT32_MAX) && scaled <= double(INT32_MAX)))
        return false;
    *pFolded = static_cast<int32_t>(scaled);
    const double folded = *pFolded / 256.0;
    const double expanded = folded - RollCount(lambdaOut, double(uPsrField) / 128.0, folded) * RANGECMP_ADR_ROLL;
    *pShift = static_cast<int64_t>(std::llround((expanded - o.Adr) / RANGECMP_ADR_ROLL));
    return true;
}

RANGECMP_OBS_T CompressRecord(const RANGE_OBS_T& o, RANGE_PHASE_ARCS_T* pArcs, int64_t nTimeMs)
{
    RANGECMP_OBS_T c{};
    uint32_t status = o.TrackingStatus;
    const int64_t doppler = RoundClamp(double(o.Doppler) * 256.0, -(int64_t(1) << 27), (int64_t(1) << 27) - 1);
    int64_t psrField = 0;
    uint64_t psr = 0;
    if (o.Psr >= 0 && RoundFits(o.Psr * 128.0, 0, (int64_t(1) << 36) - 1, &psrField))
        psr = static_cast<uint64_t>(psrField);
    else
        status &= ~(1u << 12); // a pseudorange the field cannot hold is not sent as one
    c.DopplerPsrLow = (static_cast<uint32_t>(doppler) & 0x0FFFFFFFu) | static_cast<uint32_t>(psr & 15) << 28;
    c.PsrHigh = static_cast<uint32_t>(psr >> 4);

    int32_t folded = 0;
    int64_t shift = 0;
    const bool bPhase = TrackingStatusPhaseLock(status);
    if (bPhase && !FoldPhase(o, status, psr, &folded, &shift))
        status &= ~(1u << 10); // no roll-over count: no phase rather than a wrong one
    if (bPhase && pArcs)
    {
        if (RANGE_PHASE_ARC_T* pArc = FindPhaseArc(pArcs, o.TrackingStatus, o.Prn))
        {
            const bool bKept = TrackingStatusPhaseLock(status);
            const bool bSameArc = PhaseArcContinues(*pArc, o.LockTime, nTimeMs);
            if (bKept && bSameArc && shift != pArc->Shift)
            {
                // The pseudorange drifted across a half roll-over: this
                // phase would leave the arc's shift.
                status &= ~(1u << 10);
                ++pArcs->Dropped;
            }
            else if (bKept && shift != 0)
                ++pArcs->Shifted;
            UpdatePhaseArc(pArc, true, o.LockTime, nTimeMs, bSameArc ? pArc->Shift : shift);
        }
    }
    else if (pArcs)
    {
        if (RANGE_PHASE_ARC_T* pArc = FindPhaseArc(pArcs, o.TrackingStatus, o.Prn))
            UpdatePhaseArc(pArc, false, 0.0, nTimeMs, 0);
    }
    c.FoldedAdr = TrackingStatusPhaseLock(status) ? folded : 0;
    c.TrackingStatus = status;

    uint32_t psrStdIdx = 15;
    for (uint32_t i = 0; i < 16; ++i)
        if (kPsrStdTable[i] + 0.000001 > o.PsrStd)
        {
            psrStdIdx = i;
            break;
        }
    const uint32_t adrStdIdx = static_cast<uint32_t>(TruncClamp(double(o.AdrStd) * 512.0 - 1.0, 0, 15));
    c.StdDevIndex = static_cast<uint8_t>(psrStdIdx | adrStdIdx << 4);
    c.Prn = static_cast<uint8_t>(o.Prn);
    const uint32_t lock = static_cast<uint32_t>(TruncClamp(double(o.LockTime) * 32.0, 0, 0x1FFFFF));
    const uint32_t cno = static_cast<uint32_t>(TruncClamp(std::trunc(double(o.CNo)) - 20.0, 0, 31));
    c.LockCnoGlo = lock | cno << 21 | static_cast<uint32_t>(o.GloFreq & 63) << 26;
    c.Reserved = 0;
    return c;
}

// Converts each record of a counted RANGE or RANGECMP log (nLength bytes) into
// the other form; SetId gives the output its message ID.
template <typename In, typename Out, typename ConvertFn>
int ConvertRangeRecords(const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity, int32_t* pOutLength,
                        ConvertFn Convert, void (*SetId)(BinaryLogHeader*))
{
    BinaryLogHeader h;
    uint32_t n = 0;
    if (!pLog || !pOut || !pOutLength || nCapacity < 0 || !ReadRangeLog(pLog, nLength, &h, &n))
        return 0;
    // The output's message length is 16 bits as well.
    if (n > (uint32_t(h.MessageLength) - 4) / sizeof(In) || n > (0xFFFFu - 4u) / sizeof(Out) ||
        RANGE_BODY_OFFSET + uint64_t(n) * sizeof(Out) > uint64_t(nCapacity))
        return 0;
    const uint8_t* pIn = static_cast<const uint8_t*>(pLog) + RANGE_BODY_OFFSET;
    uint8_t* pDst = static_cast<uint8_t*>(pOut);
    for (uint32_t i = 0; i < n; ++i)
    {
        In in;
        std::memcpy(&in, pIn + i * sizeof(In), sizeof(In));
        const Out out = Convert(in, h);
        std::memcpy(pDst + RANGE_BODY_OFFSET + i * sizeof(Out), &out, sizeof(Out));
    }
    SetId(&h);
    return CloseRangeLog(&h, n, n * sizeof(Out), pDst, pOutLength);
}
} // namespace

bool ReadRangeLog(const void* pLog, int32_t nLength, BinaryLogHeader* pHeader, uint32_t* pCount)
{
    if (nLength < static_cast<int32_t>(RANGE_BODY_OFFSET))
        return false;
    std::memcpy(pHeader, pLog, sizeof(*pHeader));
    if (pHeader->MessageLength < 4 || sizeof(BinaryLogHeader) + uint32_t(pHeader->MessageLength) > uint32_t(nLength))
        return false;
    std::memcpy(pCount, static_cast<const uint8_t*>(pLog) + sizeof(BinaryLogHeader), 4);
    return true;
}

const BinaryLogHeader* CountedRecordHeader(const void* pLog, uint32_t nUnit, uint32_t* pCount)
{
    const BinaryLogHeader* pHeader = static_cast<const BinaryLogHeader*>(pLog);
    if (!pHeader || pHeader->HeaderLength != LOG_HEADER_LENGTH || pHeader->MessageLength < 4)
        return nullptr;
    uint32_t n = 0;
    std::memcpy(&n, static_cast<const uint8_t*>(pLog) + LOG_HEADER_LENGTH, 4);
    if (n > (pHeader->MessageLength - 4u) / nUnit)
        return nullptr;
    *pCount = n;
    return pHeader;
}

int CloseRangeLog(BinaryLogHeader* pHeader, uint32_t nCount, uint32_t nBodyBytes, void* pOut, int32_t* pOutLength)
{
    pHeader->MessageLength = static_cast<uint16_t>(nBodyBytes + 4);
    uint8_t* pDst = static_cast<uint8_t*>(pOut);
    std::memcpy(pDst, pHeader, sizeof(*pHeader));
    std::memcpy(pDst + sizeof(*pHeader), &nCount, 4);
    *pOutLength = static_cast<int32_t>(sizeof(*pHeader) + pHeader->MessageLength);
    return 1;
}

void SetPackedRangeId(BinaryLogHeader* pHeader, uint16_t nPackedId)
{
    pHeader->MessageType = static_cast<uint8_t>((pHeader->MessageType & ~LOG_TYPE_FROM_RANGEH) |
                                                (pHeader->MessageId == MSG_ID_RANGEH ? LOG_TYPE_FROM_RANGEH : 0));
    pHeader->MessageId = nPackedId;
}

void SetExpandedRangeId(BinaryLogHeader* pHeader)
{
    const bool bFromRangeH = (pHeader->MessageType & LOG_TYPE_FROM_RANGEH) && !IsMonitorProfile();
    pHeader->MessageId = bFromRangeH ? MSG_ID_RANGEH : MSG_ID_RANGE;
}

int CopyCountedRecord(const void* pLog, uint32_t nUnit, int32_t nMessageId, int32_t nCapacity, uint8_t* pOut,
                      int32_t* pOutLength)
{
    uint32_t nCount = 0, n = 0;
    if (!CountedRecordHeader(pLog, nUnit, &nCount) || !pOutLength ||
        !CopyBinaryLogToWire(pLog, nCapacity, pOut, &n, nMessageId))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

uint32_t PackTrackingStatus(const TRACKING_FIELDS_T* pFields)
{
    if (!pFields)
        return 0;
    const TRACKING_FIELDS_T& f = *pFields;
    return (f.TrackingState & 0x1Fu) | (f.ChannelNumber & 0x1Fu) << 5 | (f.PhaseLock & 1u) << 10 |
           (f.ParityKnown & 1u) << 11 | (f.CodeLocked & 1u) << 12 | (f.CorrelatorType & 7u) << 13 |
           (f.SatelliteSystem & 7u) << 16 | (f.Grouping & 1u) << 20 | (f.SignalType & 0x1Fu) << 21 |
           (f.PrimarySignal & 1u) << 27 | (f.HalfCycleAdded & 1u) << 28 | (f.PrnLock & 1u) << 30 |
           static_cast<uint32_t>(f.ChannelAssignment & 1u) << 31;
}

double RangeCmpRollWavelength(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, bool bExpansionSide)
{
    const uint32_t system = TrackingStatusSystem(uStatus);
    const uint32_t type = TrackingStatusSignalType(uStatus);
    if (!PrnInRange(system, uPrn))
        return 0;
    const uint16_t code = TrackSignalCarrierCode(system, type);
    if (code == SIGNAL_CODE_NONE)
        return 0;
    double f = 0;
    if (!SignalCarrierFrequency(code, &f))
        return 0;
    if (system == TRACK_SYS_GLONASS)
    {
        if (uGloFreq >= GLO_CHANNEL_INDEX_COUNT)
            return 0;
        const double k = double(uGloFreq) - 7.0;
        if (SignalCodeBand(code) < 2)
            f += k * GloChannelSpacing(SignalCodeBand(code));
        else if (IsMonitorProfile() && bExpansionSide)
            f = 1204.704e6 + k * 0.423e6; // the monitor's own rule for GLONASS L3
    }
    return f > 0 ? SPEED_OF_LIGHT / f : 0.0;
}

int32_t AdrRollCount(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, double dPsr, double dAdr)
{
    const double lambda = RangeCmpRollWavelength(uStatus, uPrn, uGloFreq, true);
    return lambda > 0 ? RollCount(lambda, dPsr, dAdr) : 0;
}

double PsrRollCount(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, double dPsr)
{
    const double lambda = RangeCmpRollWavelength(uStatus, uPrn, uGloFreq, false);
    return lambda > 0 ? double(RollCount(lambda, dPsr, 0.0)) : 0.0;
}

int RangeCmpToRange(const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return ConvertRangeRecords<RANGECMP_OBS_T, RANGE_OBS_T>(
        pLog, nLength, pOut, nCapacity, pOutLength,
        [](const RANGECMP_OBS_T& c, const BinaryLogHeader&) { return ExpandRecord(c); }, SetExpandedRangeId);
}

int RangeToRangeCmp(const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return RangeToRangeCmpArcs(nullptr, pLog, nLength, pOut, nCapacity, pOutLength);
}

int RangeToRangeCmpArcs(RANGE_PHASE_ARCS_T* pArcs, const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity,
                        int32_t* pOutLength)
{
    return ConvertRangeRecords<RANGE_OBS_T, RANGECMP_OBS_T>(
        pLog, nLength, pOut, nCapacity, pOutLength,
        [pArcs](const RANGE_OBS_T& o, const BinaryLogHeader& h) { return CompressRecord(o, pArcs, LogTimeMs(h)); },
        [](BinaryLogHeader* pHeader) { SetPackedRangeId(pHeader, MSG_ID_RANGECMP); });
}

bool LockTimeContinues(double dLockBefore, double dLockNow, double dElapsed)
{
    // Time running backwards starts a new arc; the same time again (a log
    // repeated) keeps it while the lock time does not fall.
    if (!(dElapsed >= 0.0) || !std::isfinite(dLockBefore) || !std::isfinite(dLockNow))
        return false;
    // RANGECMP's lock field stops at 65535.97 s; a lock held that long stays there.
    constexpr double kCeiling = 65535.0;
    if (dLockBefore >= kCeiling && dLockNow >= dLockBefore)
        return true;
    return dLockNow + LOCK_TIME_TOLERANCE >= dLockBefore + dElapsed;
}

RANGE_PHASE_ARC_T* FindPhaseArc(RANGE_PHASE_ARCS_T* pArcs, uint32_t uStatus, uint16_t uPrn)
{
    const uint32_t key = 1u + ((uint32_t(TrackingStatusSystem(uStatus)) << 21) |
                               (uint32_t(TrackingStatusSignalType(uStatus)) << 16) | uPrn);
    constexpr uint32_t kMask = RANGE_PHASE_ARC_CAPACITY - 1;
    static_assert((RANGE_PHASE_ARC_CAPACITY & kMask) == 0, "capacity is a power of two");
    uint32_t i = (key * 2654435761u) >> 20 & kMask;
    for (uint32_t n = 0; n < RANGE_PHASE_ARC_CAPACITY; ++n, i = (i + 1) & kMask)
    {
        RANGE_PHASE_ARC_T& a = pArcs->Arc[i];
        if (a.Key == key)
            return &a;
        if (a.Key == 0)
        {
            // Keep a free entry, so that a lookup always ends.
            if (pArcs->Count + 1 >= RANGE_PHASE_ARC_CAPACITY)
                return nullptr;
            ++pArcs->Count;
            a = RANGE_PHASE_ARC_T{};
            a.Key = key;
            return &a;
        }
    }
    return nullptr;
}

bool PhaseArcContinues(const RANGE_PHASE_ARC_T& arc, double dLockTime, int64_t nTimeMs)
{
    return arc.HasPhase && LockTimeContinues(arc.LockTime, dLockTime, double(nTimeMs - arc.TimeMs) / 1000.0);
}

void UpdatePhaseArc(RANGE_PHASE_ARC_T* pArc, bool bPhase, double dLockTime, int64_t nTimeMs, int64_t nShift)
{
    pArc->HasPhase = bPhase ? 1 : 0;
    pArc->LockTime = dLockTime;
    pArc->TimeMs = nTimeMs;
    pArc->Shift = nShift;
}

bool IsRangeHTextName(const char* pText, int32_t nLength)
{
    if (!pText || nLength < 2)
        return false;
    const char* pComma = static_cast<const char*>(std::memchr(pText, ',', size_t(nLength)));
    const char* pEnd = pComma ? pComma : pText + nLength;
    return pEnd - pText >= 3 && pEnd[-2] == '_' && pEnd[-1] == '1';
}

int AppendLowerHex(char* pOut, uint32_t nCapacity, uint32_t* pLength, const uint8_t* pBytes, uint32_t nCount)
{
    static const char kDigits[] = "0123456789abcdef";
    if (!pOut || !pLength || *pLength > nCapacity || uint64_t(nCapacity - *pLength) < 2ull * nCount + 1)
        return 0;
    char* p = pOut + *pLength;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        *p++ = kDigits[pBytes[i] >> 4];
        *p++ = kDigits[pBytes[i] & 15];
    }
    *p = '\0';
    *pLength += 2 * nCount;
    return 1;
}

int DecodeRangeText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    if (!pText || !pOut || !pOutLength)
        return 0;
    uint16_t id = MSG_ID_RANGE;
    if (TextStartsWith(pText, nLength, "#RANGEHA"))
        id = MSG_ID_RANGEH;
    else if (TextStartsWith(pText, nLength, "#BASERANGEA"))
        id = MSG_ID_BASERANGE;
    BinaryLogHeader h;
    uint32_t nOffset = 0, nBodyLength = 0;
    if (!OpenTextLog(pText, nLength, id, &h, &nOffset, &nBodyLength))
        return 0;
    TextFieldCursor cursor = MakeFieldCursor(pText + nOffset, pText + nOffset + nBodyLength);
    uint32_t n = 0;
    if (!NextU32(&cursor, 10, &n) || n > RANGE_MAX_OBS)
        return 0;
    for (uint32_t i = 0; i < n; ++i)
    {
        RANGE_OBS_T o;
        if (!ReadRangeRecord(&cursor, &o))
            return 0;
        std::memcpy(pOut + RANGE_BODY_OFFSET + i * sizeof(o), &o, sizeof(o));
    }
    return CloseRangeLog(&h, n, n * sizeof(RANGE_OBS_T), pOut, pOutLength);
}

int FormatRange(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    uint32_t count = 0;
    const BinaryLogHeader* h = CountedRecordHeader(pLog, sizeof(RANGE_OBS_T), &count);
    if (!h || !pOut || !pOutLength || nCapacity <= 0)
        return 0;
    const char* pName = RangeLogName(h->MessageId);
    uint32_t n = 0;
    const uint32_t cap = uint32_t(nCapacity);
    if (!pName || !WriteAsciiHeader(pName, h, pOut, cap, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(h->MessageType);
    if (!AppendFormat(pOut, cap, &n, bAbbrev ? "<\t%u\r\n" : "%u,", count))
        return 0;
    const uint8_t* pBody = static_cast<const uint8_t*>(pLog) + RANGE_BODY_OFFSET;
    // Each observation as printf's "%u,%u,%.3f,%.3f,%.6f,%.3f,%.3f,%.1f,%.3f,%08x,"
    // (abbreviated: "<\t\t" and blanks, then CR LF), field by field without printf.
    const char cSep = bAbbrev ? ' ' : ',';
    for (uint32_t i = 0; i < count; ++i)
    {
        RANGE_OBS_T o;
        std::memcpy(&o, pBody + i * sizeof(o), sizeof(o));
        const bool bOk = (!bAbbrev || AppendChars(pOut, cap, &n, "<\t\t", 3)) && AppendUnsigned(pOut, cap, &n, o.Prn) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendUnsigned(pOut, cap, &n, o.GloFreq) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.Psr, 0, 3) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.PsrStd, 0, 3) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.Adr, 0, 6) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.AdrStd, 0, 3) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.Doppler, 0, 3) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.CNo, 0, 1) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendFixed(pOut, cap, &n, o.LockTime, 0, 3) &&
                         AppendChars(pOut, cap, &n, &cSep, 1) && AppendHex8(pOut, cap, &n, o.TrackingStatus) &&
                         (bAbbrev ? AppendChars(pOut, cap, &n, "\r\n", 2) : AppendChars(pOut, cap, &n, ",", 1));
        if (!bOk)
            return 0;
    }
    return FinishText(pOut, cap, n, bAbbrev, true, pOutLength);
}

int CopyBinaryRange(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyCountedRecord(pLog, sizeof(RANGE_OBS_T), LOG_KEEP_MESSAGE_ID, nCapacity, pOut, pOutLength);
}

int DecodeRangeCmpText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    if (!DecodeHexRecordsText(pText, nLength, MSG_ID_RANGECMP, sizeof(RANGECMP_OBS_T), pOut, pOutLength))
        return 0;
    if (IsRangeHTextName(pText, nLength))
        reinterpret_cast<BinaryLogHeader*>(pOut)->MessageType |= LOG_TYPE_FROM_RANGEH;
    return 1;
}

int FormatRangeCmp(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    uint32_t count = 0;
    const BinaryLogHeader* h = CountedRecordHeader(pLog, sizeof(RANGECMP_OBS_T), &count);
    if (!h || !pOut || !pOutLength || nCapacity <= 0)
        return 0;
    uint32_t n = 0;
    const uint32_t cap = uint32_t(nCapacity);
    if (!WriteAsciiHeaderEx("RANGECMP", h, (h->MessageType & LOG_TYPE_FROM_RANGEH) ? 1 : 0, pOut, cap, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(h->MessageType);
    if (!AppendFormat(pOut, cap, &n, bAbbrev ? "<\t%u\r\n" : "%u,", count))
        return 0;
    const uint8_t* pBody = static_cast<const uint8_t*>(pLog) + RANGE_BODY_OFFSET;
    for (uint32_t i = 0; i < count; ++i)
    {
        if ((bAbbrev && !AppendFormat(pOut, cap, &n, "<\t\t")) ||
            !AppendLowerHex(pOut, cap, &n, pBody + i * sizeof(RANGECMP_OBS_T), sizeof(RANGECMP_OBS_T)) ||
            !AppendFormat(pOut, cap, &n, bAbbrev ? "\r\n" : ","))
            return 0;
    }
    // the full form keeps the comma behind the last record inside the CRC
    return FinishText(pOut, cap, n, bAbbrev, false, pOutLength);
}

int CopyBinaryRangeCmp(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyCountedRecord(pLog, sizeof(RANGECMP_OBS_T), MSG_ID_RANGECMP, nCapacity, pOut, pOutLength);
}

int32_t EmitRangeLog(void* pLog, uint8_t uPort, uint16_t nMessageId, uint8_t uMessageType, uint8_t* pOut,
                     int32_t nCapacity, int32_t* pUsed)
{
    uint32_t count = 0;
    if (!pLog || !pOut || !pUsed || *pUsed < 0 || nCapacity < *pUsed)
        return -1;
    std::memcpy(&count, static_cast<const uint8_t*>(pLog) + LOG_HEADER_LENGTH, 4);
    if (count > RANGE_MAX_OBS)
        return -1;
    BinaryLogHeader* h = static_cast<BinaryLogHeader*>(pLog);
    FillBinaryHeader(nMessageId, uMessageType, static_cast<uint16_t>(count * sizeof(RANGE_OBS_T) + 4), uPort, 0, h);
    const int32_t nFree = nCapacity - *pUsed;
    int32_t n = 0;
    const int ok = LogTextForm(uMessageType) == LOG_TEXT_BINARY
                       ? CopyBinaryRange(pLog, nFree, pOut + *pUsed, &n)
                       : FormatRange(pLog, nFree, reinterpret_cast<char*>(pOut + *pUsed), &n);
    if (!ok)
        return -1;
    *pUsed += n;
    return n;
}
