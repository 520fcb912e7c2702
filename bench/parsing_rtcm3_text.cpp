// RTCM3 to text on one core: a reference station's correction stream (station
// position and antenna, MSM7 observations of four systems, ephemerides) read
// as a port's data view reads it, in received batches through the framing,
// the CRC-24Q check and one line of text per frame; and the line writer alone.
// Reported as bytes of RTCM3 input per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "codec/profile.h"
#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/port_receiver.h"
#include "monitor/parsing/rtcm3_decode.h"
#include "support/rtcm3_builder.h"

namespace
{
// An MSM7 frame of nSats satellites on two signals, with the payload length
// the standard gives it (6 bytes of data per satellite, 10 per cell).
std::vector<uint8_t> Msm7(uint32_t nMsg, uint32_t nEpoch, int nSats, bool bLast)
{
    RtcmBuilder b = Msm(nMsg, nEpoch, bLast ? 0 : 1, TopSats(nSats), Sig(2) | Sig(15));
    b.Pad(static_cast<uint32_t>(nSats) * 36 + static_cast<uint32_t>(nSats) * 2 * 80);
    return b.Frame();
}

std::vector<uint8_t> Padded(uint32_t nMsg, uint32_t nId, uint32_t nIdBits, uint32_t nPayloadBits)
{
    RtcmBuilder b(nMsg);
    b.U(nIdBits, nId);
    b.Pad(nPayloadBits - 12 - nIdBits);
    return b.Frame();
}

// Ten seconds of a 1 Hz station: 1005 and 1033 every second, MSM7 of GPS (12
// satellites), GLONASS (8), Galileo (8) and BeiDou (10), and a few GPS,
// GLONASS, Galileo and BeiDou ephemerides.
std::vector<uint8_t> StationStream()
{
    std::vector<uint8_t> s;
    const auto add = [&s](const std::vector<uint8_t>& f) { s.insert(s.end(), f.begin(), f.end()); };
    for (uint32_t k = 0; k < 10; ++k)
    {
        const uint32_t nEpoch = 345600000 + 1000 * k;
        add(Padded(1005, 2003, 12, 152));
        add(Padded(1033, 2003, 12, 8 * 40));
        add(Msm7(1077, nEpoch, 12, false));
        add(Msm7(1087, nEpoch % 86400000, 8, false));
        add(Msm7(1097, nEpoch, 8, false));
        add(Msm7(1127, nEpoch - 14000, 10, true));
        add(Padded(1019, 1 + k % 32, 6, 488));
        add(Padded(1020, 1 + k % 24, 6, 360));
        add(Padded(1046, 1 + k % 36, 6, 504));
        add(Padded(1042, 1 + k % 37, 6, 511));
    }
    return s;
}
} // namespace

static void BM_Rtcm3StreamToText(benchmark::State& state)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const std::vector<uint8_t> stream = StationStream();
    const int nBatch = 4096;
    std::vector<QByteArray> batches;
    for (size_t i = 0; i < stream.size(); i += nBatch)
        batches.emplace_back(reinterpret_cast<const char*>(stream.data() + i),
                             int(std::min<size_t>(nBatch, stream.size() - i)));
    // A caster port's receive road, as its data view drives it.
    CPortReceiver road;
    size_t nText = 0;
    road.SetDisplay([&nText](const char*, int n) { nText += size_t(n); });
    CPortReceiver::BATCH_T how;
    how.Mode = CPortReceiver::READ_BIN_2_ASCII;
    for (auto _ : state)
        for (const QByteArray& batch : batches)
            road.Receive(batch, how);
    if (nText == 0)
        state.SkipWithError("no text");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
    state.counters["text/input"] = double(nText) / double(stream.size()) / double(state.iterations());
}
BENCHMARK(BM_Rtcm3StreamToText);

static void BM_Rtcm3FramesToLines(benchmark::State& state)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const std::vector<uint8_t> stream = StationStream();
    RTCM3_DECODE_STATE_T decoder;
    ResetRtcm3State(&decoder);
    std::vector<char> line(RTCM3_TEXT_MAX);
    for (auto _ : state)
        for (size_t at = 0; at + 3 <= stream.size();)
        {
            const uint32_t n = (((stream[at + 1] & 3u) << 8) | stream[at + 2]) + 6;
            uint32_t nLine = 0;
            RTCM3Decode(&decoder, stream.data() + at, n, line.data(), uint32_t(line.size()), &nLine);
            benchmark::DoNotOptimize(nLine);
            at += n;
        }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
}
BENCHMARK(BM_Rtcm3FramesToLines);
