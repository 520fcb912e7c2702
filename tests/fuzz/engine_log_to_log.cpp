// The log-to-log driver on arbitrary sources: byte 0 picks the kind (0-7),
// the rest is the source file. Every kind must come to the end of any source
// without a crash, a hang or a read past the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "converter/engine/log_to_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    FILE* pSrc = fmemopen(const_cast<uint8_t*>(pData + 1), nSize - 1, "rb");
    FILE* pOut = std::fopen("/dev/null", "wb");
    if (!pSrc || !pOut)
        std::abort();
    if (ConvertLogToLog(pSrc, pOut, static_cast<LOG2LOG_KIND_E>(pData[0] % LOG2LOG_KIND_COUNT), pData[0] >> 7, nullptr,
                        nullptr) != 0)
        std::abort();
    std::fclose(pSrc);
    std::fclose(pOut);
    return 0;
}
