// Text header writing and parsing, the whole-line CRC check of a text log, and
// splitting a mixed stream into logs.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/crc.h"
#include "codec/log_format.h"
#include "codec/text_helpers.h"

namespace
{
BinaryLogHeader Header()
{
    BinaryLogHeader h{};
    FillBinaryHeader(42, 0x20, 72, 1, 0x02000020, &h);
    h.TimeStatus = 180;
    h.Week = 2295;
    h.Milliseconds = 79218000;
    h.SoftwareVersion = 16809;
    return h;
}

std::string FullLog()
{
    char out[512];
    uint32_t n = 0;
    const BinaryLogHeader h = Header();
    WriteAsciiHeader("BESTPOS", &h, out, sizeof out, &n);
    AppendFormat(out, sizeof out, &n,
                 "SOL_COMPUTED,NARROW_INT,51.15043711386,-114.03067767000,1063.8035,"
                 "-16.9000,WGS84,0.0099,0.0093,0.0192,\"AAAA\",1.000,0.000,35,30,30,30,00,21,3f,37,");
    AppendTextLogCrc(out, sizeof out, &n, 1);
    return std::string(out, n);
}
} // namespace

static void BM_ParseAsciiHeader(benchmark::State& state)
{
    const std::string log = FullLog();
    BinaryLogHeader h{};
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseAsciiHeader(log.data(), static_cast<int32_t>(log.size()), 42, &h));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ParseAsciiHeader);

static void BM_OpenTextLog(benchmark::State& state)
{
    const std::string log = FullLog();
    BinaryLogHeader h{};
    uint32_t off = 0, len = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(OpenTextLog(log.data(), static_cast<int32_t>(log.size()), 42, &h, &off, &len));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_OpenTextLog);

static void BM_WriteAsciiHeader(benchmark::State& state)
{
    const BinaryLogHeader h = Header();
    char out[256];
    uint32_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteAsciiHeader("BESTPOS", &h, out, sizeof out, &n));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_WriteAsciiHeader);

static void BM_SplitLogFrame(benchmark::State& state)
{
    std::vector<uint8_t> stream;
    const std::string text = FullLog();
    std::vector<uint8_t> bin(28 + 72 + 4);
    BinaryLogHeader h = Header();
    h.MessageType = 0;
    std::memcpy(bin.data(), &h, 28);
    const uint32_t crc = Crc32Compute(bin.data(), 100);
    std::memcpy(bin.data() + 100, &crc, 4);
    while (stream.size() < (1u << 20))
    {
        stream.insert(stream.end(), text.begin(), text.end());
        stream.insert(stream.end(), bin.begin(), bin.end());
    }
    std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH);
    for (auto _ : state)
    {
        const uint8_t* p = stream.data();
        int32_t remaining = static_cast<int32_t>(stream.size());
        int32_t n = 0, kind = 0;
        while (remaining > 0)
        {
            const uint8_t* next = nullptr;
            if (SplitLogFrame(p, &remaining, &next, out.data(), static_cast<int32_t>(out.size()), &n, &kind) == 0)
                break;
            p = next;
        }
        benchmark::DoNotOptimize(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_SplitLogFrame);
