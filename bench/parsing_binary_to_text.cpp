// Binary logs to text on one core: a receiver's RANGE logs (some 150 signals
// per epoch) converted to full text, log by log and as a received stream
// through the port's parser (framing, CRC checks, the store, text areas taken
// whenever they fill). Reported as bytes of binary input per second.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "codec/profile.h"
#include "codec/range_logs.h"
#include "monitor/parsing/binary_log_text.h"
#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/port_receiver.h"
#include "support/range_test_util.h"

using namespace range_test;

namespace
{
// Wire RANGE logs of consecutive 10 Hz epochs, back to back.
std::vector<uint8_t> RangeStream(uint32_t nEpochs)
{
    std::vector<uint8_t> stream;
    std::vector<uint8_t> wire(LOG_MAX_BINARY_LENGTH);
    for (uint32_t k = 0; k < nEpochs; ++k)
    {
        const std::vector<RANGE_OBS_T> obs = Epoch(k * 0.1, [](const Signal& sig) { return CarriedInProfile(sig); });
        const std::vector<uint8_t> record = MakeRangeLog(2295, 345600000 + k * 100, obs);
        int32_t n = 0;
        CopyBinaryRange(record.data(), int32_t(wire.size()), wire.data(), &n);
        stream.insert(stream.end(), wire.begin(), wire.begin() + n);
    }
    return stream;
}

// The length of the wire log at p (long header).
uint32_t WireLength(const uint8_t* p)
{
    uint16_t nBody;
    std::memcpy(&nBody, p + 8, 2);
    return LOG_HEADER_LENGTH + nBody + LOG_CRC_LENGTH;
}
} // namespace

static void BM_RangeLogToText(benchmark::State& state)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const std::vector<uint8_t> stream = RangeStream(20);
    std::vector<uint8_t> record(LOG_RECORD_MAX);
    std::vector<char> text(LOG_TEXT_MAX);
    size_t nText = 0;
    for (auto _ : state)
    {
        for (size_t at = 0; at < stream.size();)
        {
            const uint32_t n = WireLength(stream.data() + at);
            uint32_t nRecord = 0;
            BinaryLogToRecord(stream.data() + at, n, record.data(), uint32_t(record.size()), &nRecord);
            nText += BinaryRecordToText(record.data(), text.data(), uint32_t(text.size()));
            at += n;
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
    state.counters["text/input"] = double(nText) / double(stream.size()) / double(state.iterations());
}
BENCHMARK(BM_RangeLogToText);

static void BM_RangeStreamThroughParser(benchmark::State& state)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const std::vector<uint8_t> stream = RangeStream(20);
    const QByteArray batch(reinterpret_cast<const char*>(stream.data()), int(stream.size()));
    // A port's receive road reading binary logs to text, as its data view drives it.
    CPortReceiver road;
    size_t nText = 0;
    road.SetDisplay([&nText](const char*, int n) { nText += size_t(n); });
    CPortReceiver::BATCH_T how;
    how.Mode = CPortReceiver::READ_BIN_2_ASCII;
    for (auto _ : state)
        road.Receive(batch, how);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
    state.counters["text/input"] = double(nText) / double(stream.size()) / double(state.iterations());
}
BENCHMARK(BM_RangeStreamThroughParser);
