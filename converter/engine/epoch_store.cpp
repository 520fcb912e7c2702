#include "converter/engine/epoch_store.h"

#include <cstring>

void ResetConvertState(EpochStore* pStore, uint8_t nFlag)
{
    std::memset(pStore, 0, sizeof(*pStore));
    pStore->State.nKind = 3;
    pStore->State.nFlag = nFlag;
}
