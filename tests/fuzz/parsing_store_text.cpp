// The latest-log store on arbitrary text logs and binary logs. Each input is
// fed as it is and once more with its checksum made to hold, so that the body
// decoders are reached: nothing may be read or written out of bounds, and
// every kept copy must hold what its header and its counts say.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/crc.h"
#include "codec/log_format.h"
#include "codec/profile.h"
#include "monitor/parsing/latest_log_store.h"

namespace
{
QRangeData* Store()
{
    static QRangeData* const pStore = new QRangeData;
    return pStore;
}

void FixTextCrc(std::vector<char>* pLine)
{
    std::vector<char>& s = *pLine;
    const auto it = std::find(s.begin(), s.end(), '*');
    if (s.empty() || it == s.end() || s.end() - it < 9)
        return;
    const size_t nStar = static_cast<size_t>(it - s.begin());
    char hex[9];
    snprintf(hex, sizeof hex, "%08x", Crc32Compute(s.data() + 1, static_cast<int32_t>(nStar - 1)));
    std::memcpy(s.data() + nStar + 1, hex, 8);
}

void CheckCopies()
{
    static const uint16_t kIds[] = {42, 43, 140, 174, 1465, 2050, 6005, 283, 8006, 492, 1462};
    for (uint16_t nId : kIds)
    {
        uint32_t n = 0;
        const uint8_t* p = Store()->LogCopy(nId, &n);
        if (p == nullptr || n == 0)
            continue;
        BinaryLogHeader h;
        std::memcpy(&h, p, sizeof h);
        uint32_t nCount = 0;
        std::memcpy(&nCount, p + 28, 4);
        const uint64_t nRecord = nId == 43 || nId == 6005 || nId == 283 ? 44 : nId == 140 ? 24 : nId == 2050 ? 1 : 0;
        if (h.MessageId != nId || n != 28u + h.MessageLength || (nRecord && 4 + nRecord * nCount > h.MessageLength))
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    SetCodecProfile((pData[0] & 1) ? CODEC_PROFILE_MONITOR : CODEC_PROFILE_CONVERTER);
    ++pData;
    --nSize;
    std::vector<char> line(pData, pData + nSize);
    Store()->StoreTextLog(line.data(), static_cast<uint32_t>(line.size()));
    FixTextCrc(&line);
    Store()->StoreTextLog(line.data(), static_cast<uint32_t>(line.size()));

    std::vector<uint8_t> bin(pData, pData + nSize);
    Store()->StoreBinaryLog(bin.data(), static_cast<uint32_t>(bin.size()));
    CheckCopies();
    return 0;
}
