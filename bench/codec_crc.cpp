// CRC-32 of receiver logs over buffers of log-like sizes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "codec/crc.h"

static void BM_Crc32(benchmark::State& state)
{
    std::vector<uint8_t> data(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 131 + 7);
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc32Compute(data.data(), static_cast<int32_t>(data.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc32)->Arg(104)->Arg(4096)->Arg(65536);
