// One turn of the serial port's read loop against a backlog in a
// pseudo-terminal: the bytes one read takes and the time it needs. The loop
// waits ReadTimeout / 2 (50 ms) between turns, so bytes per turn x 20 is the
// rate the port keeps up with; a receiver at 921600 baud sends 92,160 bytes a
// second, 4,608 a turn.
#include <benchmark/benchmark.h>

#include <vector>

#include "monitor/ports/serial_device.h"
#include "support/monitor/pty_receiver.h"

namespace
{
void BM_SerialTurnTakesTheBacklog(benchmark::State& state)
{
    PtyReceiver line;
    CUartProcess dev;
    // The backlog is there before each turn: the read need not wait, and the
    // check for what a turn left ends at once.
    UART_TIMING_T timing;
    timing.ReadTimeout = 1;
    dev.SetTiming(timing);
    if (!line.Plug() || dev.OpenPort(line.Name().c_str(), 921600) != 1)
    {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const size_t nBacklog = static_cast<size_t>(state.range(0));
    const std::vector<char> bytes(nBacklog, 'x');
    std::vector<uint8_t> buf(0x14000);
    uint64_t nTaken = 0;
    uint64_t nHeld = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        // As much of the backlog as the line holds.
        for (size_t n = 0, m = 1; n < nBacklog && m > 0; n += m)
        {
            m = line.SendNow(bytes.data() + n, nBacklog - n);
            nHeld += m;
        }
        state.ResumeTiming();
        uint32_t nRead = 0;
        dev.ReadData(buf.data(), static_cast<uint32_t>(buf.size()), &nRead);
        nTaken += nRead;
        state.PauseTiming();
        // What the turn left (nothing, when it took the backlog) goes before the next.
        for (uint32_t n = 0; dev.ReadData(buf.data(), static_cast<uint32_t>(buf.size()), &n) == 1 && n > 0;)
            ;
        state.ResumeTiming();
    }
    const double dPerTurn = static_cast<double>(nTaken) / static_cast<double>(state.iterations());
    state.counters["bytes_per_turn"] = dPerTurn;
    state.counters["bytes_held"] = static_cast<double>(nHeld) / static_cast<double>(state.iterations());
    state.counters["KB_per_s_at_20_turns"] = dPerTurn * 20 / 1000;
    state.SetBytesProcessed(static_cast<int64_t>(nTaken));
}
BENCHMARK(BM_SerialTurnTakesTheBacklog)->Arg(4608)->Arg(16384)->Arg(65536)->Iterations(500)->Unit(benchmark::kMicrosecond);
} // namespace
