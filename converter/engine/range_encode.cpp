#include "converter/engine/range_encode.h"

#include "codec/signal_map.h"
#include "codec/signals.h"
#include "converter/engine/range_epoch.h"

namespace
{
bool SameSignal(uint32_t nCodeA, uint32_t nCodeB)
{
    return SignalCodeBand(nCodeA) == SignalCodeBand(nCodeB) && SignalCodeModule(nCodeA) == SignalCodeModule(nCodeB);
}

// The code range logs use for the signal type of a tracking status, or
// OBS_CODE_NONE.
uint32_t TableCode(uint32_t uStatus)
{
    const int nSystem = TrackingSystemToIndex(uStatus);
    return nSystem < 0 ? uint32_t(OBS_CODE_NONE)
                       : SignalTypeToObsIndex(uStatus, static_cast<uint32_t>(nSystem), SIGNAL_MODE_DEFAULT);
}

uint32_t SatKey(const RANGE_OBS_T& o) { return (uint32_t(TrackingStatusSystem(o.TrackingStatus)) << 16) | o.Prn; }
} // namespace

int ConvertedTrackingStatus(uint32_t nCode, uint16_t nPrn, uint32_t nSignalMode, int bPhaseLock, int bCodeLock,
                            int bHalfCycleAdded, uint32_t* pStatus)
{
    TRACKING_FIELDS_T f{};
    if (SignalCodeToObsType(nCode, nPrn, &f, nSignalMode) != 0)
        return 0;
    f.TrackingState = 4;
    f.PhaseLock = bPhaseLock ? 1 : 0;
    f.ParityKnown = 1;
    f.CodeLocked = bCodeLock ? 1 : 0;
    f.CorrelatorType = 2;
    f.Grouping = 1;
    f.HalfCycleAdded = bHalfCycleAdded ? 1 : 0;
    const uint32_t uStatus = PackTrackingStatus(&f);
    if (nSignalMode == SIGNAL_MODE_DEFAULT)
    {
        const uint32_t nTable = TableCode(uStatus);
        if (nTable == OBS_CODE_NONE || !SameSignal(nCode, nTable))
            return 0;
    }
    *pStatus = uStatus;
    return 1;
}

uint32_t DropDuplicateSignals(RANGE_OBS_T* pObs, uint16_t* pCodes, uint32_t nCount, uint32_t nSignalMode)
{
    uint32_t nKept = 0;
    uint32_t nRunStart = 0; // first kept record of the current satellite
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const RANGE_OBS_T o = pObs[i];
        const uint32_t nType = TrackingStatusSignalType(o.TrackingStatus);
        if (nKept > 0 && SatKey(pObs[nKept - 1]) != SatKey(o))
            nRunStart = nKept;
        uint32_t k = nRunStart;
        while (k < nKept && TrackingStatusSignalType(pObs[k].TrackingStatus) != nType)
            ++k;
        if (k == nKept)
        {
            pObs[nKept] = o;
            pCodes[nKept++] = pCodes[i];
            continue;
        }
        const bool bExact = nSignalMode == SIGNAL_MODE_DEFAULT && TableCode(o.TrackingStatus) == pCodes[i];
        const bool bKeptExact = nSignalMode == SIGNAL_MODE_DEFAULT && TableCode(pObs[k].TrackingStatus) == pCodes[k];
        if (bExact && !bKeptExact)
        {
            pObs[k] = o;
            pCodes[k] = pCodes[i];
        }
    }
    for (uint32_t i = 0; i < nKept; ++i)
        pObs[i].TrackingStatus = (pObs[i].TrackingStatus & ~(0x1Fu << 5)) | ((i & 0x1Fu) << 5);
    return nKept;
}
