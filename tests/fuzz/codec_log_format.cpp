// Log splitting, text header parsing, CRC checks and catalogue lookups on
// arbitrary bytes: nothing read past the given length (the input sits in an
// exact-size heap block), nothing written past a capacity, and the splitter
// always makes progress. Byte 0 picks the profile and the output capacity.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/catalogue.h"
#include "codec/log_format.h"
#include "codec/profile.h"

namespace
{
uint8_t g_out[LOG_MAX_BINARY_LENGTH];
uint8_t g_copy[LOG_MAX_BINARY_LENGTH];

void CheckText(const char* p, int32_t n)
{
    BinaryLogHeader h{};
    uint32_t off = 0, len = 0;
    if (OpenTextLog(p, n, 42, &h, &off, &len) && (off + len > static_cast<uint32_t>(n) || h.HeaderLength != 28))
        std::abort();
    ParseAsciiHeader(p, n, 42, &h);
    ShortBinaryLogHeader s{};
    ParseShortAsciiHeader(p, n, 325, &s);
    char text[256];
    uint32_t tn = 0;
    if (WriteAsciiHeader("FUZZ", &h, text, sizeof text, &tn) && tn >= sizeof text)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    SetCodecProfile((pData[0] & 1) ? CODEC_PROFILE_MONITOR : CODEC_PROFILE_CONVERTER);
    const int32_t nCapacity = (pData[0] & 2) ? 48 : static_cast<int32_t>(sizeof g_out);
    const std::vector<uint8_t> in(pData + 1, pData + nSize);
    const int32_t n = static_cast<int32_t>(in.size() > (1u << 20) ? (1u << 20) : in.size());
    const char* text = reinterpret_cast<const char*>(in.data());

    const uint8_t* pCur = in.data();
    int32_t nRemaining = n;
    while (nRemaining > 0)
    {
        const uint8_t* pNext = nullptr;
        int32_t nOut = -1, nKind = -1;
        const int32_t r = SplitLogFrame(pCur, &nRemaining, &pNext, g_out, nCapacity, &nOut, &nKind);
        if (r == SPLIT_NEED_MORE)
            break;
        if (r < SPLIT_DISCARDED || pNext <= pCur || nOut > nCapacity || (r > 0 && r != nOut))
            std::abort();
        pCur = pNext;
        if (r > 0 && nKind == LOG_FRAME_BINARY)
        {
            uint32_t nCopied = 0;
            CopyBinaryLog(g_out, r, g_copy, sizeof g_copy, &nCopied);
        }
        else if (r > 0)
            CheckText(reinterpret_cast<const char*>(g_out), r);
    }

    CheckText(text, n);
    CheckTextLogCrc(text, n);
    uint32_t nCopied = 0;
    CopyBinaryLog(in.data(), n, g_copy, nCapacity, &nCopied);
    CopyShortBinaryLog(in.data(), n, g_copy, nCapacity, &nCopied);

    uint8_t uType = 0;
    const uint32_t nName = static_cast<uint32_t>(n > 40 ? 40 : n);
    if (nName > 0)
    {
        LogNameToId(text, 1, nName, &uType);
        LogNameToId(text, 0, nName, &uType);
        RangeLogNameToKind(text, nName, &uType);
    }
    PortNameToCode(text, n);
    ParsePortField(text, n);
    DiffTypeIndex(text, n);
    return 0;
}
