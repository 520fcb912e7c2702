// The framer on arbitrary bytes fed in arbitrary batches: what it hands out
// (text and frames, in order) followed by what it still holds must be exactly
// the input, every frame it hands out must carry a valid checksum, no byte may
// be dropped, and what it still holds must be less than the frame it waits
// for. Byte 0 sets the batch length pattern.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/crc.h"
#include "monitor/parsing/frame_extractor.h"

namespace
{
class Checker : public QRTCMParser
{
public:
    std::vector<uint8_t> Out;
    const RING_BUFFER_T& RingState() const { return m_Ring; }

protected:
    void Add(const uint8_t* p, uint32_t n) { Out.insert(Out.end(), p, p + n); }
    void HandleText(const uint8_t* p, uint32_t n) override { Add(p, n); }
    void HandleBinaryLog(const uint8_t* p, uint32_t n) override
    {
        uint32_t uCrc;
        std::memcpy(&uCrc, p + n - 4, 4);
        if (n < 16 || Crc32Compute(p, static_cast<int32_t>(n - 4)) != uCrc)
            std::abort();
        Add(p, n);
    }
    void HandleRtcmFrame(const uint8_t* p, uint32_t n) override
    {
        if (n < 8 || !Crc24qCheck(p, n))
            std::abort();
        Add(p, n);
    }
};

// What the framer may still hold after a parse: nothing, or one candidate
// shorter than its header or than the frame its header announces. More would
// mean the stream is held back longer than the frame's own length.
bool HeldBackWithinItsLength(const std::vector<uint8_t>& r)
{
    if (r.empty())
        return true;
    size_t nNeed;
    if (r[0] == 0xD3)
        nNeed = r.size() < 5 ? 5 : (((r[1] & 3u) << 8) | r[2]) + 6u;
    else if (r[0] != 0xAA)
        return false;
    else if (r.size() < 3)
        nNeed = 3;
    else if (r[2] == 0x12)
        nNeed = r.size() < 10 ? 10 : (r[8] | (r[9] << 8)) + 32u;
    else if (r[2] == 0x13)
        nNeed = r.size() < 4 ? 4 : r[3] + 16u;
    else
        return false;
    return r.size() < nNeed;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    const uint32_t nStep = 1u + pData[0] * 37u;
    ++pData;
    --nSize;
    Checker c;
    for (size_t i = 0; i < nSize;)
    {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(nStep + (i % 5), nSize - i));
        c.FeedData(pData + i, n);
        i += n;
    }
    if (c.Unparsed() != RingUnread(&c.RingState()))
        std::abort(); // a parse takes in everything that waited behind the ring
    std::vector<uint8_t> rest(RingUnread(&c.RingState()));
    PeekRing(&c.RingState(), 0, rest.data(), static_cast<uint32_t>(rest.size()));
    if (!HeldBackWithinItsLength(rest))
        std::abort();
    c.Out.insert(c.Out.end(), rest.begin(), rest.end());
    if (c.Out.size() != nSize || std::memcmp(c.Out.data(), pData, nSize) != 0)
        std::abort();
    return 0;
}
