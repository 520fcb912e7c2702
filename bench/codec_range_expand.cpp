// Expansion of RANGECMP and RANGECMP4 logs into RANGE records: a receiver
// tracking some 270 signals, RANGECMP4 as a 10 Hz stream (one reference epoch,
// then nine differential ones). Reported as observation records per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "support/range_test_util.h"

using namespace range_test;

namespace
{
std::vector<RANGE_OBS_T> BigEpoch(double t)
{
    struct Block
    {
        uint8_t System;
        uint16_t FirstPrn;
        uint16_t Count;
    };
    const Block blocks[] = {{TRACK_SYS_GPS, 1, 31},    {TRACK_SYS_GLONASS, 38, 24}, {TRACK_SYS_GALILEO, 1, 30},
                            {TRACK_SYS_BEIDOU, 1, 45}, {TRACK_SYS_QZSS, 193, 7},    {TRACK_SYS_SBAS, 120, 4}};
    std::vector<RANGE_OBS_T> obs;
    for (const Block& b : blocks)
        for (uint16_t k = 0; k < b.Count; ++k)
        {
            const Satellite sat{uint16_t(b.FirstPrn + k), uint16_t(k % 14), 20e6 + k * 3.1e5, -700.0 + k * 41.0, 0.1};
            for (const Signal& sig : kSignals)
                if (sig.System == b.System && sig.Cmp4 && CarriedInProfile(sig) && obs.size() < 1400)
                    obs.push_back(Observe(sat, sig, t, uint32_t(obs.size())));
        }
    return obs;
}

void SetRate(benchmark::State& state, size_t nRecordsPerIteration)
{
    state.counters["records/s"] =
        benchmark::Counter(double(state.iterations()) * double(nRecordsPerIteration), benchmark::Counter::kIsRate);
}
} // namespace

static void BM_RangeCmpToRange(benchmark::State& state)
{
    const std::vector<RANGE_OBS_T> obs = BigEpoch(0);
    const std::vector<uint8_t> range = MakeRangeLog(2295, 345600000, obs);
    std::vector<uint8_t> cmp(70000), out(70000);
    int32_t nCmp = 0, n = 0;
    RangeToRangeCmp(range.data(), int32_t(range.size()), cmp.data(), int32_t(cmp.size()), &nCmp);
    for (auto _ : state)
    {
        RangeCmpToRange(cmp.data(), nCmp, out.data(), int32_t(out.size()), &n);
        benchmark::DoNotOptimize(out.data());
    }
    SetRate(state, obs.size());
}
BENCHMARK(BM_RangeCmpToRange);

static void BM_RangeCmp4ToRange(benchmark::State& state)
{
    auto packer = std::make_unique<RANGECMP4_CONTEXT_T>();
    auto expander = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::vector<std::vector<uint8_t>> epochs;
    size_t records = 0;
    for (uint32_t e = 0; e < 10; ++e)
    {
        const std::vector<RANGE_OBS_T> obs = BigEpoch(e / 10.0);
        const std::vector<uint8_t> range = MakeRangeLog(2295, 345600000 + e * 100, obs);
        std::vector<uint8_t> cmp(70000);
        int32_t n = 0;
        RangeToRangeCmp4(packer.get(), range.data(), int32_t(range.size()), cmp.data(), int32_t(cmp.size()), &n);
        cmp.resize(size_t(n));
        epochs.push_back(cmp);
        records += obs.size();
    }
    std::vector<uint8_t> out(70000);
    size_t expanded = 0;
    for (auto _ : state)
    {
        expanded = 0;
        for (const std::vector<uint8_t>& cmp : epochs)
        {
            int32_t n = 0;
            RangeCmp4ToRange(expander.get(), cmp.data(), int32_t(cmp.size()), out.data(), int32_t(out.size()), &n);
            expanded += (size_t(n) - 32) / sizeof(RANGE_OBS_T);
            benchmark::DoNotOptimize(out.data());
        }
    }
    if (expanded != records)
        state.SkipWithError("not every record expanded");
    SetRate(state, records);
}
BENCHMARK(BM_RangeCmp4ToRange);
