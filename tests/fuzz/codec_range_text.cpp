// RANGE, RANGECMP and RANGECMP4 text decoders on arbitrary text (exact-size
// heap block, no NUL behind it), and the formatters on what they decode.
// Byte 0: bit 0 profile, bits 1-2 which decoder (3: all).
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
uint8_t g_log[LOG_HEADER_LENGTH + 0xFFFF];
char g_text[1 << 20];

using Decoder = int (*)(const char*, int32_t, uint8_t*, int32_t*);
using Formatter = int (*)(const void*, int32_t, char*, int32_t*);

void Run(Decoder decode, Formatter format, const char* pText, int32_t n)
{
    int32_t m = 0;
    if (decode(pText, n, g_log, &m) != 1)
        return;
    BinaryLogHeader h;
    std::memcpy(&h, g_log, sizeof h);
    if (m > int32_t(sizeof g_log) || uint32_t(m) != LOG_HEADER_LENGTH + h.MessageLength)
        std::abort();
    int32_t t = 0;
    if (format(g_log, sizeof g_text, g_text, &t) == 1 && t >= int32_t(sizeof g_text))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    SetCodecProfile((pData[0] & 1) ? CODEC_PROFILE_MONITOR : CODEC_PROFILE_CONVERTER);
    const std::vector<char> text(pData + 1, pData + nSize);
    const int32_t n = int32_t(text.size());
    const int which = (pData[0] >> 1) & 3;
    if (which == 0 || which == 3)
        Run(DecodeRangeText, FormatRange, text.data(), n);
    if (which == 1 || which == 3)
        Run(DecodeRangeCmpText, FormatRangeCmp, text.data(), n);
    if (which == 2 || which == 3)
        Run(DecodeRangeCmp4Text, FormatRangeCmp4, text.data(), n);
    return 0;
}
