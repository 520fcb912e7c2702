// CRC-32 of receiver logs over buffers of log-like sizes and a 64 KiB block,
// beside zlib's own crc32 over the same bytes (the figure to match); CRC-24Q
// over RTCM3 frame sizes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>
#include <zlib.h>

#include "codec/crc.h"

namespace
{
std::vector<uint8_t> Data(int64_t n)
{
    std::vector<uint8_t> data(static_cast<size_t>(n));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 131 + 7);
    return data;
}
} // namespace

static void BM_Crc32(benchmark::State& state)
{
    const std::vector<uint8_t> data = Data(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc32Compute(data.data(), static_cast<int32_t>(data.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc32)->Arg(28)->Arg(104)->Arg(4096)->Arg(65536);

static void BM_ZlibCrc32(benchmark::State& state)
{
    const std::vector<uint8_t> data = Data(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0, data.data(), static_cast<uInt>(data.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ZlibCrc32)->Arg(104)->Arg(65536);

static void BM_Crc24q(benchmark::State& state)
{
    const std::vector<uint8_t> data = Data(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc24qCompute(data.data(), static_cast<uint32_t>(data.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc24q)->Arg(22)->Arg(320)->Arg(1029);
