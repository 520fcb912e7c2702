// The receive road's cost of the range observations a busy installation
// sends: 64 ports, each a receiver tracking 60 satellites on 3 signals and
// sending RANGECMP4 at 20 Hz (a reference epoch each whole second, 19
// differential ones between), every log taken by its port's latest-log store
// as it arrives, which expands it. One iteration is one second of input of
// all 64 ports; "records/s" counts the observations expanded. For counts
// that a loaded machine does not sway:
//   valgrind --tool=callgrind --toggle-collect='*FeedOneSecond*'
//       bench_parsing --benchmark_filter=Rangecmp4 --benchmark_min_time=0
// gives the instructions of all calls (the first warms the ports up).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "codec/crc.h"
#include "codec/profile.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "monitor/parsing/latest_log_store.h"
#include "support/range_test_util.h"

using namespace range_test;

namespace
{
constexpr int kPorts = 64;
constexpr uint32_t kRateHz = 20;

// GPS L1 C/A, L2 P(Y), L5 and Galileo E1, E5a, E5b: 30 satellites each.
std::vector<RANGE_OBS_T> SixtySatellites(double t)
{
    const struct
    {
        uint8_t System;
        uint8_t Types[3];
    } systems[] = {{TRACK_SYS_GPS, {0, 9, 14}}, {TRACK_SYS_GALILEO, {2, 12, 17}}};
    std::vector<RANGE_OBS_T> obs;
    for (const auto& s : systems)
        for (uint16_t k = 0; k < 30; ++k)
        {
            const Satellite sat{uint16_t(1 + k), 0, 20e6 + k * 3.1e5, -700.0 + k * 41.0, 0.1};
            for (uint8_t type : s.Types)
                for (const Signal& sig : kSignals)
                    if (sig.System == s.System && sig.SignalType == type)
                        obs.push_back(Observe(sat, sig, t, uint32_t(obs.size())));
        }
    return obs;
}

// One second of a receiver's RANGECMP4 logs as they come off the line (with
// their CRC), and the observations they carry.
std::vector<std::vector<uint8_t>> OneSecond(size_t* pRecords)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    auto packer = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::vector<std::vector<uint8_t>> logs;
    *pRecords = 0;
    for (uint32_t e = 0; e < kRateHz; ++e)
    {
        const std::vector<RANGE_OBS_T> obs = SixtySatellites(e / double(kRateHz));
        const std::vector<uint8_t> range = MakeRangeLog(2295, 345600000 + e * (1000 / kRateHz), obs);
        std::vector<uint8_t> cmp(70000);
        int32_t n = 0;
        RangeToRangeCmp4(packer.get(), range.data(), int32_t(range.size()), cmp.data(), int32_t(cmp.size()), &n);
        cmp.resize(size_t(n) + 4);
        const uint32_t crc = Crc32Compute(cmp.data(), n);
        std::memcpy(cmp.data() + n, &crc, 4);
        logs.push_back(cmp);
        *pRecords += obs.size();
    }
    return logs;
}
// One second of input of every port, log by log as the ports' batches
// interleave them (its own symbol, for instruction counts by callgrind).
__attribute__((noinline)) void FeedOneSecond(const std::vector<std::vector<uint8_t>>& Second,
                                             std::vector<std::unique_ptr<QRangeData>>& Stores)
{
    for (const std::vector<uint8_t>& log : Second)
        for (auto& pStore : Stores)
            pStore->StoreBinaryLog(log.data(), uint32_t(log.size()));
}
} // namespace

static void BM_Rangecmp4At20HzOn64Ports(benchmark::State& state)
{
    size_t nRecords = 0;
    const std::vector<std::vector<uint8_t>> second = OneSecond(&nRecords);
    std::vector<std::unique_ptr<QRangeData>> stores;
    for (int p = 0; p < kPorts; ++p)
        stores.push_back(std::make_unique<QRangeData>());
    // The ports' chains are running when the measured seconds start.
    FeedOneSecond(second, stores);
    for (auto _ : state)
    {
        FeedOneSecond(second, stores);
        benchmark::ClobberMemory();
    }
    for (auto& pStore : stores)
    {
        const RANGE_OBS_SET_T* pLatest = pStore->RangeObservations().Latest(RANGE_ANTENNA_POSITION);
        if (pLatest == nullptr || pLatest->Obs.size() != 180 || pStore->RangeObservations().Refused(RANGE_REFUSED_NO_REFERENCE) != 0)
            state.SkipWithError("not every log expanded whole");
    }
    state.counters["records/s"] = benchmark::Counter(double(state.iterations()) * double(nRecords) * kPorts,
                                                     benchmark::Counter::kIsRate);
    state.counters["input s/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Rangecmp4At20HzOn64Ports)->Unit(benchmark::kMillisecond);
