// The XMODEM-1K sender fed arbitrary loader replies: it never queues anything
// but a whole frame, one EOT or one CAN, and every queued frame is well formed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "monitor/ports/xmodem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    // Two bytes give the image size (1..65536); then chunks, each led by its length.
    const uint32_t imageSize = 1u + (uint32_t{pData[0]} | uint32_t{pData[1]} << 8);
    std::vector<uint8_t> image(imageSize);
    for (uint32_t i = 0; i < imageSize; ++i)
        image[i] = static_cast<uint8_t>(i);
    CUartProcessEx dev; // never opened: writes fail, queued bytes stay visible
    if (!dev.LoadImageData(image.data(), imageSize))
        __builtin_trap();
    size_t at = 2;
    std::vector<uint8_t> chunk;
    while (at < nSize && dev.IsActive())
    {
        const size_t len = pData[at++];
        const size_t take = len < nSize - at ? len : nSize - at;
        chunk.assign(pData + at, pData + at + take);
        at += take;
        uint32_t n = static_cast<uint32_t>(chunk.size());
        const int r = dev.TransmitImage(chunk.data(), &n);
        if (r == 0 && n != 0)
            __builtin_trap();
        const uint32_t queued = dev.GetTransmitLength();
        if (queued != 0 && queued != 1 && queued != XMODEM_FRAME_SIZE)
            __builtin_trap();
        dev.TakeProgressText();
        dev.DiscardTransmit();
    }
    return 0;
}
