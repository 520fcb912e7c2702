// RTCM3 frames to text: the input becomes the payload of a frame with a valid
// CRC-24Q (so that every decoder is reached, with payloads shorter than what
// their fields announce), and is also decoded as it stands. Each frame sits in
// an exact-size heap block; the line must end with CR LF and hold no other
// line end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/crc.h"
#include "codec/profile.h"
#include "monitor/parsing/rtcm3_decode.h"

namespace
{
RTCM3_DECODE_STATE_T g_state;
char g_text[RTCM3_TEXT_MAX];

void Check(const std::vector<uint8_t>& frame)
{
    uint32_t n = 0;
    if (!RTCM3Decode(&g_state, frame.data(), static_cast<uint32_t>(frame.size()), g_text, sizeof g_text, &n))
        return;
    if (n < 2 || n >= sizeof g_text || g_text[n] != '\0' || g_text[n - 2] != '\r' || g_text[n - 1] != '\n')
        std::abort();
    if (std::memchr(g_text, '\n', n - 1) || std::memchr(g_text, '\r', n - 2))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const bool bInit = []
    {
        SetCodecProfile(CODEC_PROFILE_MONITOR);
        ResetRtcm3State(&g_state);
        return true;
    }();
    (void)bInit;

    Check(std::vector<uint8_t>(pData, pData + nSize));

    const uint32_t nPayload = static_cast<uint32_t>(nSize > RTCM3_MAX_PAYLOAD ? RTCM3_MAX_PAYLOAD : nSize);
    std::vector<uint8_t> frame(nPayload + 6);
    frame[0] = 0xD3;
    frame[1] = static_cast<uint8_t>(nPayload >> 8);
    frame[2] = static_cast<uint8_t>(nPayload);
    std::memcpy(frame.data() + 3, pData, nPayload);
    const uint32_t uCrc = Crc24qCompute(frame.data(), nPayload + 3);
    frame[nPayload + 3] = static_cast<uint8_t>(uCrc >> 16);
    frame[nPayload + 4] = static_cast<uint8_t>(uCrc >> 8);
    frame[nPayload + 5] = static_cast<uint8_t>(uCrc);
    Check(frame);
    return 0;
}
