#include "converter/engine/range_epoch.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "codec/log_format.h"
#include "codec/range_logs.h"
#include "codec/signal_map.h"

namespace
{
// Forgets the satellites of the previous epoch; only the entries it filled are visited.
void ClearEpoch(EpochStore* pStore)
{
    for (uint32_t s = 0; s < OBS_SYSTEMS; ++s)
    {
        for (uint64_t nBits = pStore->aUsed[s]; nBits; nBits &= nBits - 1)
        {
            const uint32_t e = s * OBS_SATS_PER_SYSTEM + static_cast<uint32_t>(__builtin_ctzll(nBits));
            pStore->aSats[e].nSatNumber = 0;
            pStore->aSats[e].nSignalCount = 0;
            for (uint32_t j = 0; j < OBS_SIGNALS_PER_SAT; ++j)
                pStore->aSlots[e * OBS_SIGNALS_PER_SAT + j].nSatNumber = 0;
        }
        pStore->aUsed[s] = 0;
    }
}

uint32_t TruncToU32(double d, double dMax)
{
    // Also 0 for NaN: every comparison with it fails.
    return d > 0.0 ? static_cast<uint32_t>(d < dMax ? d : dMax) : 0u;
}

void AddObservation(const RANGE_OBS_T& obs, uint32_t nSysMask, uint32_t nSignalMode, EpochStore* pStore)
{
    const uint32_t nStatus = obs.TrackingStatus;
    const int nSystem = TrackingSystemToIndex(nStatus);
    if (nSystem < 0 || !(nSysMask & (1u << nSystem)))
        return;
    const uint32_t s = static_cast<uint32_t>(nSystem);
    const uint16_t nCode = SignalTypeToObsIndex(nStatus, s, nSignalMode);
    const uint32_t nSat = SatIdToSlot(s, obs.Prn);
    if (nCode == OBS_CODE_NONE || nSat == 0)
        return;
    const uint32_t e = s * OBS_SATS_PER_SYSTEM + nSat - 1;
    ObsSatEntry& sat = pStore->aSats[e];
    const uint64_t nBit = uint64_t(1) << (nSat - 1);
    if (!(pStore->aUsed[s] & nBit))
    {
        pStore->aUsed[s] |= nBit;
        sat.nSatNumber = static_cast<uint8_t>(nSat);
        sat.nGloFreq = static_cast<uint8_t>(obs.GloFreq & 0xFF);
        sat.nSystem = static_cast<uint8_t>(s);
        sat.nSignalCount = 0;
    }
    if (sat.nSignalCount >= OBS_SIGNALS_PER_SAT)
        return;
    ObsSignalSlot& slot = pStore->aSlots[e * OBS_SIGNALS_PER_SAT + sat.nSignalCount++];
    slot.nSatNumber = sat.nSatNumber;
    slot.nGloFreq = sat.nGloFreq;
    slot.nObsCode = nCode;
    slot.dPseudorange = TrackingStatusCodeLocked(nStatus) ? obs.Psr : 0.0;
    slot.dCarrierPhase = -obs.Adr;
    slot.fPhaseStd = obs.AdrStd;
    slot.fPsrStd = obs.PsrStd;
    slot.fDoppler = obs.Doppler;
    slot.nFlags = 0;
    if (TrackingStatusPhaseLock(nStatus))
    {
        slot.nLockTime = TruncToU32(obs.LockTime, 4294967295.0);
        slot.dLockTime = std::isfinite(obs.LockTime) && obs.LockTime > 0 ? double(obs.LockTime) : 0.0;
    }
    else
    {
        slot.nLockTime = 0;
        slot.dLockTime = 0.0;
        slot.nFlags |= OBS_FLAG_PHASE_UNLOCKED;
    }
    slot.nCn0 = static_cast<uint16_t>(TruncToU32(double(obs.CNo) * 100.0, 65535.0));
}

// RANGECMP logs expand into this buffer, one per thread: the scan and a job
// never share it.
std::vector<uint8_t>& ExpansionBuffer()
{
    thread_local std::vector<uint8_t> buffer(LOG_HEADER_LENGTH + 0xFFFF);
    return buffer;
}
} // namespace

int TrackingSystemToIndex(uint32_t nTrackingStatus)
{
    switch (TrackingStatusSystem(nTrackingStatus))
    {
    case TRACK_SYS_GPS:
        return GNSS_SYSTEM_GPS;
    case TRACK_SYS_GLONASS:
        return GNSS_SYSTEM_GLONASS;
    case TRACK_SYS_GALILEO:
        return GNSS_SYSTEM_GALILEO;
    case TRACK_SYS_BEIDOU:
        return GNSS_SYSTEM_BDS;
    case TRACK_SYS_QZSS:
        return GNSS_SYSTEM_QZSS;
    default:
        return -1;
    }
}

int RangeToObsEpoch(const void* pLog, uint32_t nLength, uint32_t nSysMask, uint32_t nSignalMode, EpochStore* pStore,
                    EpochIndexEntry* pIndex)
{
    const uint32_t nBody = LOG_HEADER_LENGTH + 4;
    if (!pLog || !pStore || !pIndex || nLength < nBody)
        return -1;
    const uint8_t* p = static_cast<const uint8_t*>(pLog);
    BinaryLogHeader h;
    uint32_t nCount = 0;
    std::memcpy(&h, p, sizeof(h));
    std::memcpy(&nCount, p + LOG_HEADER_LENGTH, 4);
    if (nCount > (nLength - nBody) / sizeof(RANGE_OBS_T))
        return -1;

    ConvertState& state = pStore->State;
    state.nKind = 3;
    state.nTimeStatus = h.TimeStatus;
    state.nWeek = h.Week;
    state.nMsOfWeek = h.Milliseconds;
    state.nFlag = 1;
    ClearEpoch(pStore);
    for (uint32_t i = 0; i < nCount; ++i)
    {
        RANGE_OBS_T obs;
        std::memcpy(&obs, p + nBody + i * sizeof(RANGE_OBS_T), sizeof(obs));
        AddObservation(obs, nSysMask, nSignalMode, pStore);
    }
    return BuildEpochIndex(pStore, pIndex);
}

int RangeCmpToObsEpoch(const void* pLog, uint32_t nLength, uint32_t nSysMask, uint32_t nSignalMode, EpochStore* pStore,
                       EpochIndexEntry* pIndex)
{
    if (!pLog || nLength > 0x7FFFFFFFu)
        return -1;
    std::vector<uint8_t>& buffer = ExpansionBuffer();
    int32_t nExpanded = 0;
    if (!RangeCmpToRange(pLog, static_cast<int32_t>(nLength), buffer.data(), static_cast<int32_t>(buffer.size()),
                         &nExpanded))
        return -1;
    return RangeToObsEpoch(buffer.data(), static_cast<uint32_t>(nExpanded), nSysMask, nSignalMode, pStore, pIndex);
}

int BuildEpochIndex(EpochStore* pStore, EpochIndexEntry* pIndex)
{
    ConvertState& state = pStore->State;
    uint32_t nSats = 0, nSignals = 0;
    std::memset(state.aSatsPerSystem, 0, sizeof(state.aSatsPerSystem));
    for (uint32_t e = 0; e < OBS_MAX_SATS; ++e)
    {
        const ObsSatEntry& sat = pStore->aSats[e];
        if (sat.nSatNumber == 0)
            continue;
        EpochIndexEntry& entry = pIndex[nSats];
        entry.nSlotCount = 0;
        for (uint32_t j = 0; j < OBS_SIGNALS_PER_SAT; ++j)
        {
            const ObsSignalSlot& slot = pStore->aSlots[e * OBS_SIGNALS_PER_SAT + j];
            if (slot.nSatNumber == 0 || slot.nObsCode == OBS_CODE_NONE || (slot.nFlags & 3u) == 3u)
                continue;
            entry.Slots[entry.nSlotCount++] = slot;
        }
        if (entry.nSlotCount == 0)
            continue;
        entry.Sat = sat;
        nSignals += entry.nSlotCount;
        const uint32_t s = e / OBS_SATS_PER_SYSTEM;
        ++state.aSatsPerSystem[s];
        ++nSats;
    }
    state.nSatCount = static_cast<uint16_t>(nSats);
    state.nSignalCount = static_cast<uint16_t>(nSignals);
    ++state.nEpochCount;
    state.nFlag = 0;
    return static_cast<int>(nSats);
}
