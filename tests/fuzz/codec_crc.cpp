// Checksums over arbitrary bytes: no read past the given length.
#include <cstddef>
#include <cstdint>

#include "codec/crc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const int32_t n = static_cast<int32_t>(nSize > 65536 ? 65536 : nSize);
    volatile uint32_t sink = Crc32Compute(pData, n) ^ Crc24qCompute(pData, static_cast<uint32_t>(n));
    sink ^= static_cast<uint32_t>(Crc24qCheck(pData, static_cast<uint32_t>(n)));
    uint8_t d[16];
    Md5Digest(pData, static_cast<uint32_t>(n), d, 0);
    (void)sink;
    return 0;
}
