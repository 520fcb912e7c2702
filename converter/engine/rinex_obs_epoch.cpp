#include "converter/engine/rinex_obs_epoch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/gnss_time.h"
#include "codec/range_logs.h"
#include "codec/signals.h"
#include "converter/engine/rinex_text.h"

namespace
{
bool LockRestarted(RinexLockHistory& locks, const ObsSatEntry& sat, const ObsSignalSlot& slot, int64_t nTimeMs)
{
    if (sat.nSystem >= OBS_SYSTEMS || sat.nSatNumber == 0 || sat.nSatNumber > OBS_SATS_PER_SYSTEM)
        return false;
    RinexLockHistory::Sat& h = locks.aSats[sat.nSystem * OBS_SATS_PER_SYSTEM + sat.nSatNumber - 1];
    const bool bLocked = !(slot.nFlags & OBS_FLAG_PHASE_UNLOCKED);
    for (uint32_t i = 0; i < h.nUsed; ++i)
        if (h.aCode[i] == slot.nObsCode)
        {
            const double dElapsed = double(nTimeMs - h.aTimeMs[i]) / 1000.0;
            const bool bRestarted = !h.aPhase[i] || !LockTimeContinues(h.aLock[i], slot.dLockTime, dElapsed);
            h.aLock[i] = slot.dLockTime;
            h.aTimeMs[i] = nTimeMs;
            h.aPhase[i] = bLocked;
            return bRestarted;
        }
    const uint32_t i = h.nUsed < 8 ? h.nUsed++ : (h.nNext++ & 7u);
    h.aCode[i] = slot.nObsCode;
    h.aLock[i] = slot.dLockTime;
    h.aTimeMs[i] = nTimeMs;
    h.aPhase[i] = bLocked;
    return false;
}

// Loss-of-lock indicator bits: 0 lock lost since the previous epoch, 1 half-cycle ambiguity.
uint8_t LossOfLock(RinexLockHistory& locks, const ObsSatEntry& sat, const ObsSignalSlot& slot, int64_t nTimeMs)
{
    uint8_t nLli = 0;
    if (slot.nFlags & OBS_FLAG_PHASE_UNLOCKED)
        nLli |= 1;
    if (LockRestarted(locks, sat, slot, nTimeMs))
        nLli |= 1;
    if (slot.nFlags & OBS_FLAG_HALF_CYCLE)
        nLli |= 2;
    return nLli;
}

uint32_t SignalStrengthIndicator(uint16_t nCn0)
{
    const uint32_t n = nCn0 / 600u;
    return n < 2 ? 1 : n >= 9 ? 9 : n;
}

bool FitsF143(double d) { return std::isfinite(d) && d > -1e9 && d < 1e10; }

// Stands in for the text where only the satellites that get a record are
// asked for: the record writers run unchanged and write nothing.
struct NoText
{
    void Char(char) {}
    void Unsigned(uint32_t, uint32_t, char = ' ') {}
    void Spaces(uint32_t) {}
    void Fixed(double, uint32_t, uint32_t) {}
    uint32_t Length() const { return 0; }
    void Truncate(uint32_t) {}
};

// One 16-column observation: F14.3, loss-of-lock and signal strength characters.
template <typename Out> void Observation(Out& out, double dValue, char cLli, char cSsi)
{
    if (!FitsF143(dValue))
        out.Spaces(16);
    else
    {
        out.Fixed(dValue, 14, 3);
        out.Char(cLli);
        out.Char(cSsi);
    }
}

char Digit(uint32_t n) { return n ? static_cast<char>('0' + n) : ' '; }

bool PseudorangeKnown(const ObsSignalSlot& slot) { return std::fabs(slot.dPseudorange) >= 0.001; }
bool PhaseKnown(const ObsSignalSlot& slot) { return slot.dCarrierPhase != 0.0; }
// Range logs hold a Doppler or a C/N0 they did not measure (a RINEX source
// without those columns) as exactly 0: written blank, never as a measurement.
bool DopplerKnown(const ObsSignalSlot& slot) { return slot.fDoppler != 0.0f; }
bool StrengthKnown(const ObsSignalSlot& slot) { return slot.nCn0 != 0; }

// The RINEX 3 codes of the header's columns as text, from the job's layout,
// and those of the signals an epoch's satellites have, each made once.
class HeaderCodes
{
public:
    explicit HeaderCodes(const RinexEpochLayout& layout) : m_Layout(layout) {}

    // RinexObsCode of a signal of system s.
    void SignalCode(uint16_t nCode, uint32_t s, char szCode[3])
    {
        for (uint32_t i = 0; i < m_nSignals; ++i)
            if (m_aSignals[i].nCode == nCode && m_aSignals[i].nSystem == s)
            {
                std::memcpy(szCode, m_aSignals[i].szText, 3);
                return;
            }
        char szText[3] = {};
        RinexObsCode(nCode, s, m_Layout.nVersion, szText);
        std::memcpy(szCode, szText, 3);
        if (m_nSignals < MAX_SIGNALS)
        {
            Signal& sig = m_aSignals[m_nSignals++];
            sig.nCode = nCode;
            sig.nSystem = s;
            std::memcpy(sig.szText, szCode, 3);
        }
    }

    const char (*Of(uint32_t s) const)[3] { return m_Layout.aCodes[s]; }

private:
    enum : uint32_t
    {
        MAX_SIGNALS = 32,
    };
    struct Signal
    {
        uint16_t nCode;
        uint32_t nSystem;
        char szText[3];
    };
    const RinexEpochLayout& m_Layout;
    Signal m_aSignals[MAX_SIGNALS];
    uint32_t m_nSignals = 0;
};

// Codes as RinexObsCode gives them: two characters, or empty.
bool SameCode(const char* pA, const char* pB) { return pA[0] && pA[0] == pB[0] && pA[1] == pB[1]; }

// Writes one satellite's observations of the RINEX 3 record; false when none
// of them has a value.
template <typename Out>
bool Rinex3Satellite(Out& out, const EpochIndexEntry& entry, const uint8_t* pLli, const RinexObsHeader* pHeader,
                     HeaderCodes& codes)
{
    const uint32_t s = entry.Sat.nSystem;
    const RinexSystemBlock& block = pHeader->Systems[s];
    const uint32_t nMask = pHeader->nObsTypeMask & RINEX_OBS_WRITTEN;
    const uint32_t nStart = out.Length();
    bool bAny = false;
    char aSlotCodes[OBS_SIGNALS_PER_SAT][3];
    for (uint32_t j = 0; j < entry.nSlotCount; ++j)
        codes.SignalCode(entry.Slots[j].nObsCode, s, aSlotCodes[j]);
    const char(*pCodes)[3] = codes.Of(s);

    out.Char(RinexSystemLetter(s));
    out.Unsigned(entry.Sat.nSatNumber, 2, '0');
    for (uint32_t c = 0; c < block.nCodeCount && c < RINEX_MAX_CODES; ++c)
    {
        int j = -1;
        for (uint32_t k = 0; k < entry.nSlotCount && j < 0; ++k)
            if (SameCode(pCodes[c], aSlotCodes[k]))
                j = static_cast<int>(k);
        const ObsSignalSlot* pSlot = j >= 0 ? &entry.Slots[j] : nullptr;
        const char cSsi = pSlot && StrengthKnown(*pSlot) ? Digit(SignalStrengthIndicator(pSlot->nCn0)) : ' ';
        if (nMask & RINEX_OBS_C)
        {
            if (pSlot && PseudorangeKnown(*pSlot))
            {
                Observation(out, pSlot->dPseudorange, ' ', cSsi);
                bAny = true;
            }
            else
                out.Spaces(16);
        }
        if (nMask & RINEX_OBS_L)
        {
            if (pSlot && PhaseKnown(*pSlot))
            {
                Observation(out, pSlot->dCarrierPhase, Digit(pLli[j]), cSsi);
                bAny = true;
            }
            else
                out.Spaces(16);
        }
        if (nMask & RINEX_OBS_D)
        {
            if (pSlot && DopplerKnown(*pSlot))
            {
                Observation(out, pSlot->fDoppler, ' ', ' ');
                bAny = true;
            }
            else
                out.Spaces(16);
        }
        if (nMask & RINEX_OBS_S)
        {
            if (pSlot && StrengthKnown(*pSlot))
            {
                Observation(out, pSlot->nCn0 / 100.0, ' ', ' ');
                bAny = true;
            }
            else
                out.Spaces(16);
        }
    }
    out.Char('\n');
    if (!bAny)
        out.Truncate(nStart);
    return bAny;
}

// The columns of a RINEX 2 record: each type of the header's list, in 2.12
// with the system whose group it belongs to.
void ListRinex2Columns(const RinexObsHeader* pHeader, RinexEpochLayout* pLayout)
{
    pLayout->nRinex2Columns = 0;
    auto add = [pLayout](const char* pType, int nSystem)
    {
        if (pLayout->nRinex2Columns < RinexEpochLayout::MAX_RINEX2_COLUMNS)
            pLayout->aRinex2Columns[pLayout->nRinex2Columns++] = {{pType[0], pType[1], 0}, nSystem};
    };
    if (pHeader->nVersion == 212)
    {
        for (uint32_t s = GNSS_SYSTEM_GPS; s <= GNSS_SYSTEM_GALILEO; ++s)
            for (uint32_t i = 0; i < pHeader->Systems[s].nTypeCount && i < RINEX_MAX_TYPES; ++i)
                add(pHeader->Systems[s].szTypes[i], static_cast<int>(s));
        return;
    }
    for (uint32_t i = 0; i < pHeader->nRinex2TypeCount && i < RINEX2_MAX_TYPES; ++i)
        add(pHeader->szRinex2Types[i], -1);
}

template <typename Out>
bool Rinex2Satellite(Out& out, const EpochIndexEntry& entry, const uint8_t* pLli, const RinexEpochLayout& layout)
{
    const uint32_t s = entry.Sat.nSystem;
    const int32_t nVersion = layout.nVersion;
    const uint32_t nColumns = layout.nRinex2Columns;
    const uint32_t nStart = out.Length();
    Rinex2Signal aSignals[OBS_SIGNALS_PER_SAT];
    bool aKnown[OBS_SIGNALS_PER_SAT];
    for (uint32_t j = 0; j < entry.nSlotCount; ++j)
        aKnown[j] = SignalCodeToRinex2(entry.Slots[j].nObsCode, s, nVersion, &aSignals[j]) != 0;

    bool bAny = false;
    for (uint32_t i = 0; i < nColumns; ++i)
    {
        const RinexEpochLayout::Rinex2Column& col = layout.aRinex2Columns[i];
        const char cKind = col.szType[0];
        const bool bPseudorange = cKind == 'C' || cKind == 'P';
        // The slot whose signal this column holds; the lowest rank where two share it.
        int j = -1;
        if (col.nSystem < 0 || col.nSystem == static_cast<int>(s))
            for (uint32_t k = 0; k < entry.nSlotCount; ++k)
            {
                if (!aKnown[k])
                    continue;
                const bool bMatch = bPseudorange ? std::strcmp(aSignals[k].szPseudorange, col.szType) == 0
                                                 : aSignals[k].cBand == col.szType[1];
                if (bMatch && (j < 0 || aSignals[k].nRank < aSignals[j].nRank))
                    j = static_cast<int>(k);
            }
        const ObsSignalSlot* pSlot = j >= 0 ? &entry.Slots[j] : nullptr;
        bool bValue = false;
        if (pSlot && bPseudorange && PseudorangeKnown(*pSlot))
        {
            Observation(out, pSlot->dPseudorange, ' ', ' ');
            bValue = true;
        }
        else if (pSlot && cKind == 'L' && PhaseKnown(*pSlot))
        {
            uint32_t nLli = pLli[j];
            if (nVersion == 212 && s == GNSS_SYSTEM_GALILEO && SignalCodeBand(pSlot->nObsCode) == 0 && (nLli & 1))
                nLli |= 4;
            const char cSsi =
                nVersion == 212 || !StrengthKnown(*pSlot) ? ' ' : Digit(SignalStrengthIndicator(pSlot->nCn0));
            Observation(out, pSlot->dCarrierPhase, Digit(nLli), cSsi);
            bValue = true;
        }
        else if (pSlot && cKind == 'D' && DopplerKnown(*pSlot))
        {
            Observation(out, pSlot->fDoppler, ' ', ' ');
            bValue = true;
        }
        else if (pSlot && cKind == 'S' && StrengthKnown(*pSlot))
        {
            Observation(out, pSlot->nCn0 / 100.0, ' ', ' ');
            bValue = true;
        }
        else
            out.Spaces(16);
        bAny = bAny || bValue;
        if (i % 5 == 4 || i + 1 == nColumns)
            out.Char('\n');
    }
    if (!bAny)
        out.Truncate(nStart);
    return bAny;
}

// Working space of the writer, kept from one epoch to the next, with the
// layout that the calls given a header make.
struct EpochWork
{
    uint8_t aLli[OBS_MAX_SATS * OBS_SIGNALS_PER_SAT];
    uint16_t aWritten[OBS_MAX_SATS];
    RinexEpochLayout layout;
};
thread_local std::unique_ptr<EpochWork> t_pWork;

EpochWork& Work()
{
    if (!t_pWork)
        t_pWork = std::make_unique<EpochWork>();
    return *t_pWork;
}

// The layout of a header for a call given the header alone.
const RinexEpochLayout& LayoutOf(const RinexObsHeader* pHeader)
{
    RinexEpochLayout& layout = Work().layout;
    PrepareRinexEpochLayout(pHeader, &layout);
    return layout;
}

// Whether the satellite of the entry gets a record (the probe of the writers).
bool SatelliteWritten(const EpochIndexEntry& entry, const RinexEpochLayout& layout, HeaderCodes& codes)
{
    static const uint8_t kNoLli[OBS_SIGNALS_PER_SAT] = {};
    if (!RinexSystemWritten(layout.pHeader, entry.Sat.nSystem) || entry.nSlotCount > OBS_SIGNALS_PER_SAT)
        return false;
    NoText none;
    return layout.nVersion < 300 ? Rinex2Satellite(none, entry, kNoLli, layout)
                                 : Rinex3Satellite(none, entry, kNoLli, layout.pHeader, codes);
}
} // namespace

void PrepareRinexEpochLayout(const RinexObsHeader* pHeader, RinexEpochLayout* pLayout)
{
    RinexEpochLayout& layout = *pLayout;
    layout.pHeader = pHeader;
    layout.nVersion = pHeader->nVersion;
    layout.nRinex2Columns = 0;
    if (layout.nVersion < 300)
    {
        ListRinex2Columns(pHeader, pLayout);
        layout.nLongestRecord = 17 * layout.nRinex2Columns + 1; // 16 columns each and a line end every five
        return;
    }
    uint32_t nCodes = 0;
    for (uint32_t s = 0; s < OBS_SYSTEMS; ++s)
    {
        const RinexSystemBlock& block = pHeader->Systems[s];
        const uint32_t nCount = std::min<uint32_t>(block.nCodeCount, RINEX_MAX_CODES);
        for (uint32_t c = 0; c < nCount; ++c)
            RinexObsCode(block.aCodes[c], s, layout.nVersion, layout.aCodes[s][c]);
        nCodes = std::max(nCodes, nCount);
    }
    const uint32_t nTypes = static_cast<uint32_t>(__builtin_popcount(pHeader->nObsTypeMask & RINEX_OBS_WRITTEN));
    layout.nLongestRecord = 4 + 16 * nTypes * nCodes + 1; // letter, number (up to three digits), columns, line end
}

void RinexEpochLossOfLock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, RinexLockHistory* pLocks,
                          uint8_t* pLli)
{
    const int64_t nTimeMs = int64_t(pEpoch->nWeek) * GNSS_MS_PER_WEEK + pEpoch->nMsOfWeek;
    for (uint32_t e = 0; e < pEpoch->nSatCount; ++e)
        for (uint32_t j = 0; j < pIndex[e].nSlotCount && j < OBS_SIGNALS_PER_SAT; ++j)
            pLli[e * OBS_SIGNALS_PER_SAT + j] = LossOfLock(*pLocks, pIndex[e].Sat, pIndex[e].Slots[j], nTimeMs);
}

uint32_t ListRinexEpochSatellites(const ConvertState* pEpoch, const EpochIndexEntry* pIndex,
                                  const RinexObsHeader* pHeader, uint16_t* pWritten)
{
    return pHeader ? ListRinexEpochSatellites(pEpoch, pIndex, LayoutOf(pHeader), pWritten) : 0;
}

uint32_t ListRinexEpochSatellites(const ConvertState* pEpoch, const EpochIndexEntry* pIndex,
                                  const RinexEpochLayout& layout, uint16_t* pWritten)
{
    HeaderCodes codes(layout);
    uint32_t nWritten = 0;
    for (uint32_t e = 0; e < pEpoch->nSatCount && e < OBS_MAX_SATS; ++e)
        if (SatelliteWritten(pIndex[e], layout, codes))
            pWritten[nWritten++] = static_cast<uint16_t>(e);
    return nWritten;
}

int RinexEpochTextBound(const ConvertState* pEpoch, const RinexObsHeader* pHeader, uint32_t nWritten)
{
    return pHeader ? RinexEpochTextBound(pEpoch, LayoutOf(pHeader), nWritten) : -1;
}

int RinexEpochTextBound(const ConvertState* pEpoch, const RinexEpochLayout& layout, uint32_t nWritten)
{
    CalendarTime cal{};
    if (!GpsTimeToShiftedCalendar(pEpoch->nWeek, pEpoch->nMsOfWeek, layout.pHeader->nTimeSystemOffsetMs, &cal))
        return -1;
    // The epoch line: 36 characters with a four-digit year, the year as
    // wide as it may be, and in RINEX 2 the satellites, 12 a line.
    const uint64_t nLine = 48 + (layout.nVersion < 300 ? 6ull * nWritten : 0);
    const uint64_t nBound = nLine + uint64_t(nWritten) * layout.nLongestRecord;
    return nBound < 0x7FFFFFFF ? static_cast<int>(nBound) : 0x7FFFFFFF;
}

int FormatRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                        const uint8_t* pLli, const uint16_t* pWritten, uint32_t nWritten, char* pBuffer,
                        uint32_t nCapacity)
{
    if (!pHeader)
        return -1;
    return FormatRinexObsEpoch(pEpoch, pIndex, LayoutOf(pHeader), pLli, pWritten, nWritten, pBuffer, nCapacity);
}

int FormatRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexEpochLayout& layout,
                        const uint8_t* pLli, const uint16_t* pWritten, uint32_t nWritten, char* pBuffer,
                        uint32_t nCapacity)
{
    const RinexObsHeader* pHeader = layout.pHeader;
    if (!pEpoch || !pHeader || !pBuffer || nCapacity == 0 || (nWritten && (!pIndex || !pLli || !pWritten)))
        return -1;
    pBuffer[0] = 0;
    if (nWritten == 0)
        return 0;
    const bool bRinex3 = layout.nVersion >= 300;
    CalendarTime cal{};
    if (!GpsTimeToShiftedCalendar(pEpoch->nWeek, pEpoch->nMsOfWeek, pHeader->nTimeSystemOffsetMs, &cal))
        return -1;
    const double dSeconds = cal.Second + cal.Millisecond / 1000.0;
    RinexText out(pBuffer, nCapacity);
    // RINEX 3 "> %4u %02u %02u %02u %02u%11.7f  %1u%3u", RINEX 2
    // " %02u %2u %2u %2u %2u%11.7f  %1u%3u" and the satellites.
    const char cPad = bRinex3 ? '0' : ' ';
    if (bRinex3)
    {
        out.Char('>');
        out.Char(' ');
        out.Unsigned(cal.Year, 4);
    }
    else
    {
        out.Char(' ');
        out.Unsigned(cal.Year % 100, 2, '0');
    }
    for (const uint32_t nField : {cal.Month, cal.Day, cal.Hour, cal.Minute})
    {
        out.Char(' ');
        out.Unsigned(nField, 2, cPad);
    }
    out.Fixed(dSeconds, 11, 7);
    out.Spaces(2);
    out.Unsigned(0, 1);
    out.Unsigned(nWritten, 3);
    if (!bRinex3)
        for (uint32_t i = 0; i < nWritten; ++i)
        {
            if (i > 0 && i % 12 == 0)
            {
                out.Char('\n');
                out.Spaces(32);
            }
            const ObsSatEntry& sat = pIndex[pWritten[i]].Sat;
            out.Char(RinexSystemLetter(sat.nSystem));
            out.Unsigned(sat.nSatNumber, 2, '0');
        }
    out.Char('\n');
    // The records of the satellites listed, in index order.
    HeaderCodes codes(layout);
    for (uint32_t i = 0; i < nWritten; ++i)
    {
        const uint32_t e = pWritten[i];
        const uint8_t* pSatLli = pLli + e * OBS_SIGNALS_PER_SAT;
        if (bRinex3)
            Rinex3Satellite(out, pIndex[e], pSatLli, pHeader, codes);
        else
            Rinex2Satellite(out, pIndex[e], pSatLli, layout);
    }
    return out.Result();
}

int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                       RinexLockHistory* pLocks, char* pBuffer, uint32_t nCapacity)
{
    if (!pHeader)
        return -1;
    return WriteRinexObsEpoch(pEpoch, pIndex, LayoutOf(pHeader), pLocks, pBuffer, nCapacity);
}

int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexEpochLayout& layout,
                       RinexLockHistory* pLocks, char* pBuffer, uint32_t nCapacity)
{
    if (!pEpoch || !layout.pHeader || !pLocks || !pBuffer || nCapacity == 0 || (pEpoch->nSatCount && !pIndex))
        return -1;
    pBuffer[0] = 0;
    if (pEpoch->nSatCount > OBS_MAX_SATS)
        return -1;
    EpochWork& work = Work();
    // Lock history first, once per signal, for every satellite of the epoch;
    // the epoch line counts and lists only the satellites that have observations.
    RinexEpochLossOfLock(pEpoch, pIndex, pLocks, work.aLli);
    const uint32_t nWritten = ListRinexEpochSatellites(pEpoch, pIndex, layout, work.aWritten);
    return FormatRinexObsEpoch(pEpoch, pIndex, layout, work.aLli, work.aWritten, nWritten, pBuffer, nCapacity);
}

int WriteRinexObsEpochBlock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                            RinexLockHistory* pLocks, FILE* pFile)
{
    thread_local std::vector<char> text(RINEX_EPOCH_TEXT_CAPACITY);
    const int n = WriteRinexObsEpoch(pEpoch, pIndex, pHeader, pLocks, text.data(), static_cast<uint32_t>(text.size()));
    if (n < 0 || !pFile)
        return -1;
    if (n > 0 && std::fwrite(text.data(), 1, static_cast<size_t>(n), pFile) != static_cast<size_t>(n))
        return -1;
    return 0;
}
