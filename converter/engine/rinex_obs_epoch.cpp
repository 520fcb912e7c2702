#include "converter/engine/rinex_obs_epoch.h"

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

// One 16-column observation: F14.3, loss-of-lock and signal strength characters.
void Observation(RinexText& out, double dValue, char cLli, char cSsi)
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

// Writes one satellite's observations of the RINEX 3 record; false when none
// of them has a value.
bool Rinex3Satellite(RinexText& out, const EpochIndexEntry& entry, const uint8_t* pLli, const RinexObsHeader* pHeader)
{
    const uint32_t s = entry.Sat.nSystem;
    const RinexSystemBlock& block = pHeader->Systems[s];
    const uint32_t nMask = pHeader->nObsTypeMask & RINEX_OBS_WRITTEN;
    const uint32_t nStart = out.Length();
    bool bAny = false;
    char aSlotCodes[OBS_SIGNALS_PER_SAT][3];
    for (uint32_t j = 0; j < entry.nSlotCount; ++j)
        RinexObsCode(entry.Slots[j].nObsCode, s, pHeader->nVersion, aSlotCodes[j]);

    out.Char(RinexSystemLetter(s));
    out.Unsigned(entry.Sat.nSatNumber, 2, '0');
    for (uint32_t c = 0; c < block.nCodeCount && c < RINEX_MAX_CODES; ++c)
    {
        char szCode[3];
        RinexObsCode(block.aCodes[c], s, pHeader->nVersion, szCode);
        int j = -1;
        for (uint32_t k = 0; k < entry.nSlotCount && j < 0; ++k)
            if (szCode[0] && std::strcmp(aSlotCodes[k], szCode) == 0)
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

// One column of a RINEX 2 record: its type and, in 2.12, the system whose
// group it belongs to (-1: every system).
struct Rinex2Column
{
    char szType[3];
    int nSystem;
};

enum : uint32_t
{
    RINEX2_MAX_COLUMNS = 3 * RINEX_MAX_TYPES, // 2.12: the GPS, GLONASS and Galileo groups
};

struct Rinex2Columns
{
    uint32_t nCount = 0;
    Rinex2Column aColumns[RINEX2_MAX_COLUMNS];
};

void ListRinex2Columns(const RinexObsHeader* pHeader, Rinex2Columns* pColumns)
{
    pColumns->nCount = 0;
    auto add = [pColumns](const char* pType, int nSystem)
    {
        if (pColumns->nCount < RINEX2_MAX_COLUMNS)
            pColumns->aColumns[pColumns->nCount++] = Rinex2Column{{pType[0], pType[1], 0}, nSystem};
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

bool Rinex2Satellite(RinexText& out, const EpochIndexEntry& entry, const uint8_t* pLli, const RinexObsHeader* pHeader,
                     const Rinex2Columns& columns)
{
    const uint32_t s = entry.Sat.nSystem;
    const int32_t nVersion = pHeader->nVersion;
    const uint32_t nStart = out.Length();
    Rinex2Signal aSignals[OBS_SIGNALS_PER_SAT];
    bool aKnown[OBS_SIGNALS_PER_SAT];
    for (uint32_t j = 0; j < entry.nSlotCount; ++j)
        aKnown[j] = SignalCodeToRinex2(entry.Slots[j].nObsCode, s, nVersion, &aSignals[j]) != 0;

    bool bAny = false;
    for (uint32_t i = 0; i < columns.nCount; ++i)
    {
        const Rinex2Column& col = columns.aColumns[i];
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
        if (i % 5 == 4 || i + 1 == columns.nCount)
            out.Char('\n');
    }
    if (!bAny)
        out.Truncate(nStart);
    return bAny;
}

// Working space of the writer, kept from one epoch to the next.
struct EpochWork
{
    std::vector<char> records = std::vector<char>(RINEX_EPOCH_TEXT_CAPACITY);
    std::vector<char> text = std::vector<char>(RINEX_EPOCH_TEXT_CAPACITY + 4096);
    uint8_t aLli[OBS_MAX_SATS * OBS_SIGNALS_PER_SAT];
    const ObsSatEntry* aWritten[OBS_MAX_SATS];
    Rinex2Columns columns;
};
thread_local std::unique_ptr<EpochWork> t_pWork;

EpochWork& Work()
{
    if (!t_pWork)
        t_pWork = std::make_unique<EpochWork>();
    return *t_pWork;
}
} // namespace

int WriteRinexObsEpoch(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                       RinexLockHistory* pLocks, char* pBuffer, uint32_t nCapacity)
{
    if (!pEpoch || !pHeader || !pLocks || !pBuffer || nCapacity == 0 || (pEpoch->nSatCount && !pIndex))
        return -1;
    pBuffer[0] = 0;
    const int32_t nVersion = pHeader->nVersion;
    const bool bRinex3 = nVersion >= 300;

    if (pEpoch->nSatCount > OBS_MAX_SATS)
        return -1;
    EpochWork& work = Work();

    // Lock history first, once per signal, for every satellite of the epoch.
    const int64_t nTimeMs = int64_t(pEpoch->nWeek) * GNSS_MS_PER_WEEK + pEpoch->nMsOfWeek;
    for (uint32_t e = 0; e < pEpoch->nSatCount; ++e)
        for (uint32_t j = 0; j < pIndex[e].nSlotCount && j < OBS_SIGNALS_PER_SAT; ++j)
            work.aLli[e * OBS_SIGNALS_PER_SAT + j] = LossOfLock(*pLocks, pIndex[e].Sat, pIndex[e].Slots[j], nTimeMs);

    // Satellite records go to a scratch area first: the epoch line counts and
    // lists only the satellites that have observations.
    RinexText records(work.records.data(), static_cast<uint32_t>(work.records.size()));
    uint32_t nWritten = 0;
    if (!bRinex3)
        ListRinex2Columns(pHeader, &work.columns);
    for (uint32_t e = 0; e < pEpoch->nSatCount; ++e)
    {
        const EpochIndexEntry& entry = pIndex[e];
        if (!RinexSystemWritten(pHeader, entry.Sat.nSystem) || entry.nSlotCount > OBS_SIGNALS_PER_SAT)
            continue;
        const uint8_t* pLli = &work.aLli[e * OBS_SIGNALS_PER_SAT];
        const bool bWritten = bRinex3 ? Rinex3Satellite(records, entry, pLli, pHeader)
                                      : Rinex2Satellite(records, entry, pLli, pHeader, work.columns);
        if (bWritten)
            work.aWritten[nWritten++] = &entry.Sat;
    }
    if (records.Full())
        return -1;
    if (nWritten == 0)
        return 0;

    CalendarTime cal{};
    if (!GpsTimeToShiftedCalendar(pEpoch->nWeek, pEpoch->nMsOfWeek, pHeader->nTimeSystemOffsetMs, &cal))
        return -1;
    const double dSeconds = cal.Second + cal.Millisecond / 1000.0;
    const unsigned nCount = nWritten;
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
    out.Unsigned(nCount, 3);
    if (!bRinex3)
        for (uint32_t i = 0; i < nWritten; ++i)
        {
            if (i > 0 && i % 12 == 0)
            {
                out.Char('\n');
                out.Spaces(32);
            }
            out.Char(RinexSystemLetter(work.aWritten[i]->nSystem));
            out.Unsigned(work.aWritten[i]->nSatNumber, 2, '0');
        }
    out.Char('\n');
    if (out.Full() || out.Length() + records.Length() >= nCapacity)
        return -1;
    std::memcpy(pBuffer + out.Length(), records.Data(), records.Length() + 1);
    return static_cast<int>(out.Length() + records.Length());
}

int WriteRinexObsEpochBlock(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, const RinexObsHeader* pHeader,
                            RinexLockHistory* pLocks, FILE* pFile)
{
    std::vector<char>& text = Work().text;
    const int n = WriteRinexObsEpoch(pEpoch, pIndex, pHeader, pLocks, text.data(), static_cast<uint32_t>(text.size()));
    if (n < 0 || !pFile)
        return -1;
    if (n > 0 && std::fwrite(text.data(), 1, static_cast<size_t>(n), pFile) != static_cast<size_t>(n))
        return -1;
    return 0;
}
