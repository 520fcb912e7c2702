#include "converter/engine/epoch_store.h"

#include "converter/engine/rinex_obs_epoch.h"

namespace
{
ConvertState g_State;
ObsSatEntry g_Sats[OBS_MAX_SATS];
ObsSignalSlot g_Slots[OBS_MAX_SLOTS];
} // namespace

ConvertState* GetConvertState() { return &g_State; }
ObsSatEntry* GetObsSatTable() { return g_Sats; }
ObsSignalSlot* GetObsSignalTable() { return g_Slots; }

void ResetConvertState(uint8_t nFlag)
{
    g_State.nKind = 3;
    g_State.nFlag = nFlag;
    for (ObsSignalSlot& slot : g_Slots)
        slot.nLockTime = 0;
    ResetRinexLockHistory();
}
