// RANGECMP and RANGECMP4 expansion on arbitrary bytes, then packing of what
// came out: nothing read past the given length (the log sits in an exact-size
// heap block), nothing written past the output capacity, no undefined
// behaviour for any field value. The RANGECMP4 contexts live across inputs, so
// differential records meet whatever references earlier inputs left.
// Byte 0: bit 0 profile, bit 1 the bytes are a whole log (else a body behind a
// made header), bit 2 reset the contexts, bit 3 RANGECMP4 header (else
// RANGECMP), bit 4 a small output.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/log_format.h"
#include "codec/profile.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"

namespace
{
RANGECMP4_CONTEXT_T g_expander;
RANGECMP4_CONTEXT_T g_packer;
uint8_t g_range[LOG_MAX_BINARY_LENGTH];
uint8_t g_packed[LOG_MAX_BINARY_LENGTH];
char g_text[1 << 20];

void CheckRange(const uint8_t* pLog, int32_t n, int32_t nCapacity)
{
    BinaryLogHeader h;
    std::memcpy(&h, pLog, sizeof h);
    uint32_t count = 0;
    std::memcpy(&count, pLog + LOG_HEADER_LENGTH, 4);
    if (n > nCapacity || uint32_t(n) != LOG_HEADER_LENGTH + h.MessageLength ||
        h.MessageLength != 4 + count * sizeof(RANGE_OBS_T))
        std::abort();
    int32_t m = 0;
    if (RangeToRangeCmp(pLog, n, g_packed, sizeof g_packed, &m) == 1 && m > int32_t(sizeof g_packed))
        std::abort();
    if (RangeToRangeCmp4(&g_packer, pLog, n, g_packed, sizeof g_packed, &m) == 1 && m > int32_t(sizeof g_packed))
        std::abort();
    if (FormatRange(pLog, sizeof g_text, g_text, &m) == 1 && m >= int32_t(sizeof g_text))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0 || nSize > 70000)
        return 0;
    const uint8_t flags = pData[0];
    SetCodecProfile((flags & 1) ? CODEC_PROFILE_MONITOR : CODEC_PROFILE_CONVERTER);
    if (flags & 4)
    {
        ResetRangeCmp4State(&g_expander);
        ResetRangeCmp4State(&g_packer);
    }
    std::vector<uint8_t> log;
    if (flags & 2)
        log.assign(pData + 1, pData + nSize);
    else
    {
        const size_t nBody = nSize - 1 > 0xFFFF ? 0xFFFF : nSize - 1;
        BinaryLogHeader h{};
        FillBinaryHeader((flags & 8) ? MSG_ID_RANGECMP4 : MSG_ID_RANGECMP, flags & 0x61, uint16_t(nBody), 1, 0, &h);
        h.Week = 2295;
        h.Milliseconds = 345600000u + (flags >> 5) * 100u; // whole and part seconds
        log.resize(sizeof h + nBody);
        std::memcpy(log.data(), &h, sizeof h);
        std::memcpy(log.data() + sizeof h, pData + 1, nBody);
    }
    const int32_t nLength = int32_t(log.size());
    const int32_t nCapacity =
        (flags & 16) ? int32_t(LOG_HEADER_LENGTH + 4 + 3 * sizeof(RANGE_OBS_T)) : int32_t(sizeof g_range);

    int32_t n = 0;
    if (RangeCmpToRange(log.data(), nLength, g_range, nCapacity, &n) == 1)
        CheckRange(g_range, n, nCapacity);
    if (RangeCmp4ToRange(&g_expander, log.data(), nLength, g_range, nCapacity, &n) == 1)
        CheckRange(g_range, n, nCapacity);
    return 0;
}
