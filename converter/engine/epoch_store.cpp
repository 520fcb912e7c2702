#include "converter/engine/epoch_store.h"

#include <cstring>

#include "converter/engine/rinex_obs_epoch.h"

namespace
{
EpochStore g_Store;
} // namespace

EpochStore* GetEpochStore() { return &g_Store; }
ConvertState* GetConvertState() { return &g_Store.State; }
ObsSatEntry* GetObsSatTable() { return g_Store.aSats; }
ObsSignalSlot* GetObsSignalTable() { return g_Store.aSlots; }

void ResetEpochStore(EpochStore* pStore, uint8_t nFlag)
{
    std::memset(pStore, 0, sizeof(*pStore));
    pStore->State.nKind = 3;
    pStore->State.nFlag = nFlag;
}

void ResetConvertState(uint8_t nFlag)
{
    ResetEpochStore(&g_Store, nFlag);
    ResetRinexLockHistory();
}
