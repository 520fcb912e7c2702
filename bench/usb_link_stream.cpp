// The USB link's receive path against the in-memory receiver: channel data
// in packets as full as the protocol allows (476 bytes inline and 32 KiB
// extended), one in every turn, read and released as the port controller
// does. Bytes per second through the whole link (receiver, link thread,
// channel, reader), and whether any buffer was dropped.
#include <benchmark/benchmark.h>

#include <string>

#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb/usb_link_session.h"
#include "support/usb/usb_sim_receiver.h"

namespace
{
void BM_UsbLinkFullRateStream(benchmark::State& State)
{
    auto backend = std::make_shared<CUsbMemBackend>();
    auto rx = backend->Add(std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", "ZR4800117"));
    rx->SetTiming({0, 50});
    UsbLinkSetBackend(backend);
    UsbLinkGetDeviceCount();
    UsbLinkHandle* pHandle = UsbLinkOpen(UsbLinkGetDevice(0), 0);
    if (pHandle == nullptr)
    {
        State.SkipWithError("cannot open the in-memory receiver");
        return;
    }
    const std::string data(8u << 20, 'r');
    uint64_t bytes = 0;
    for (auto _ : State)
    {
        rx->StreamChannelData(0, data, USB_LINK_INLINE_MAX, USB_LINK_MAX_TRANSFER);
        size_t got = 0;
        while (got < data.size())
        {
            uint32_t n = 0;
            if (UsbLinkRead(pHandle, &n, 10) != nullptr)
            {
                got += n;
                UsbLinkRelease(pHandle);
            }
        }
        bytes += got;
    }
    State.SetBytesProcessed(static_cast<int64_t>(bytes));
    State.counters["dropped"] = UsbLinkGetDropped(pHandle);
    UsbLinkClose(pHandle);
}
BENCHMARK(BM_UsbLinkFullRateStream)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
