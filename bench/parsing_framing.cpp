// A port's receive road for binary logs: the framer takes RANGE, RANGECMP,
// position, velocity, INS and DOP logs out of the received batches and the
// latest-log store keeps each one, as at 20 Hz on a busy receiver.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/crc.h"
#include "codec/log_format.h"
#include "codec/profile.h"
#include "monitor/parsing/frame_extractor.h"
#include "monitor/parsing/latest_log_store.h"

namespace
{
class StoreFeeder : public QRTCMParser
{
public:
    QRangeData Store;
    uint64_t nLogs = 0;

protected:
    void HandleBinaryLog(const uint8_t* p, uint32_t n) override
    {
        Store.StoreBinaryLog(p, n);
        ++nLogs;
    }
};

void AppendLog(std::vector<uint8_t>* pOut, uint16_t nId, uint32_t nBody, uint32_t nMs)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nId, 0, static_cast<uint16_t>(nBody), 0x20, 0, &h);
    h.Week = 2300;
    h.Milliseconds = nMs;
    const size_t nAt = pOut->size();
    pOut->resize(nAt + sizeof h + nBody + 4);
    uint8_t* p = pOut->data() + nAt;
    std::memcpy(p, &h, sizeof h);
    for (uint32_t i = 0; i < nBody; ++i)
        p[sizeof h + i] = static_cast<uint8_t>(i * 13 + nMs);
    // Counted bodies announce what they hold.
    const uint32_t nCount = nId == 43 ? (nBody - 4) / 44 : nId == 140 ? (nBody - 4) / 24 : nId == 174 ? 20 : 0;
    std::memcpy(p + sizeof h + (nId == 174 ? 24 : 0), &nCount, nId == 43 || nId == 140 || nId == 174 ? 4 : 0);
    const uint32_t uCrc = Crc32Compute(p, static_cast<int32_t>(sizeof h + nBody));
    std::memcpy(p + sizeof h + nBody, &uCrc, 4);
}

// One second of output at 20 Hz: every epoch a RANGE of 120 observations,
// a RANGECMP of the same, BESTPOS, BESTVEL, INSPVAX and PSRDOP.
std::vector<uint8_t> Stream()
{
    std::vector<uint8_t> s;
    for (uint32_t e = 0; e < 20; ++e)
    {
        const uint32_t nMs = 1000 * 100 + 50 * e;
        AppendLog(&s, 43, 4 + 120 * 44, nMs);
        AppendLog(&s, 140, 4 + 120 * 24, nMs);
        AppendLog(&s, 42, 72, nMs);
        AppendLog(&s, 99, 44, nMs);
        AppendLog(&s, 1465, 126, nMs);
        AppendLog(&s, 174, 28 + 20 * 4, nMs);
    }
    return s;
}
} // namespace

static void BM_FrameAndStoreBinaryLogs(benchmark::State& state)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const std::vector<uint8_t> s = Stream();
    const size_t nBatch = static_cast<size_t>(state.range(0));
    StoreFeeder f;
    for (auto _ : state)
        for (size_t i = 0; i < s.size(); i += nBatch)
            f.FeedData(s.data() + i, static_cast<uint32_t>(std::min(nBatch, s.size() - i)));
    if (f.nLogs != 120 * static_cast<uint64_t>(state.iterations()) || f.Store.Counts[37] == 0)
        state.SkipWithError("logs lost");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
// Batches of one port tick: 4 kB, 32 kB, and a batch larger than the ring.
BENCHMARK(BM_FrameAndStoreBinaryLogs)->Arg(4096)->Arg(32768)->Arg(200000);
