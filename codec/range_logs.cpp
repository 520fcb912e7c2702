#include "codec/range_logs.h"

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
