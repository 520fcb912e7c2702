// Received message 4089 frames: the decoder never reads past the given length
// nor writes past the text capacity, whatever the bytes claim.
#include <cstddef>
#include <cstdint>

#include "monitor/ports/remote_upgrade.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const uint8_t kIdentity[REMOTE_UPGRADE_IDENTITY_LEN] = {'0', '1', '2', '3', '4', '5', '6', '7'};
    REMOTE_UPGRADE_RESULT_T result{};
    char text[64];
    RemoteUpgradeDecodeMsg(&result, pData, nSize, nullptr, text, sizeof(text));
    RemoteUpgradeDecodeMsg(&result, pData, nSize, kIdentity, nullptr, 0);
    char small[1];
    RemoteUpgradeDecodeMsg(&result, pData, nSize, nullptr, small, sizeof(small));
    return 0;
}
