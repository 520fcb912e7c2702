// The receive road from 32 ports' bytes to their data views' decoded text,
// in the GUI thread as the monitor runs it: each port streams 100 KB/s of
// binary logs, text logs, NMEA and RTCM3; the current port hands its bytes
// over every 200 ms, the others every 1000 ms, each on its own phase. A
// benchmark iteration is one 100 ms tick of the main window: the batches that
// are due, shown and parsed, and the window painted. Counters: the GUI
// thread's work per tick (mean, 95th percentile, worst, ticks over 20 ms),
// and the logs lost (stored logs against those sent).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <algorithm>
#include <memory>
#include <vector>

#include "codec/profile.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/port_view_host.h"
#include "monitor/shell/txt_browser.h"
#include "support/monitor/receiver_stream.h"

namespace
{
constexpr int kPorts = 32;
constexpr uint32_t kBytesPerSecond = 100000;
constexpr int kTickMs = 100;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_shell";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// The tab set as the views see it: tab 0 is current.
class Tabs : public QTabWidget, public CPortViewHost
{
public:
    QPosDataParser Parser;
    std::vector<CZvTxtBrowser*> Views;
    int GetTabCount() const override { return count(); }
    QString GetTabText(int i) const override { return tabText(i); }
    CZvTxtBrowser* GetTxView(int i) const override { return qobject_cast<CZvTxtBrowser*>(widget(i)); }
    CZvTxtBrowser* GetCurTxView() const override { return qobject_cast<CZvTxtBrowser*>(currentWidget()); }
    QPosDataParser* GetPosDataParser() const override { return const_cast<QPosDataParser*>(&Parser); }
    bool IsStableMode() const override { return false; }
    void OnTriggerCurTxViewStopShow() override {}
    void OnLockTabOne() override {}
    void OnRenameTabDiag() override {}
    void OnSetLogFilename() override {}
    void EmitCurPortConfig() override {}
};

// The bytes every port streams (each from its own offset), made before the
// clock runs, and where in them each BESTPOS log starts.
struct Recording
{
    std::string Bytes;
    std::vector<size_t> Bestpos;
    explicit Recording(size_t n)
    {
        ReceiverStream stream;
        while (Bytes.size() < n)
            for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_ALL))
            {
                if (it.MessageId == 42)
                    Bestpos.push_back(Bytes.size());
                Bytes += it.Wire;
            }
    }
    // BESTPOS logs that lie whole in [from, to).
    uint64_t LogsIn(size_t from, size_t to) const
    {
        uint64_t n = 0;
        for (size_t at : Bestpos)
            n += at >= from && at + 104 <= to;
        return n;
    }
};

void BM_DataView32PortsTick(benchmark::State& state)
{
    App();
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    Tabs tabs;
    tabs.resize(1200, 800);
    // Enough for 300 ticks of every port.
    static const Recording rec(kBytesPerSecond * 31);
    std::vector<size_t> at(kPorts);
    for (int i = 0; i < kPorts; ++i)
        at[static_cast<size_t>(i)] = static_cast<size_t>(i) * 997;
    const std::vector<size_t> start = at;
    for (int i = 0; i < kPorts; ++i)
    {
        auto* pView = new CZvTxtBrowser();
        pView->m_pPortTab = &tabs;
        tabs.addTab(pView, QStringLiteral("COM%1").arg(i + 1));
    }
    tabs.show();
    QApplication::processEvents();

    QElapsedTimer clock;
    std::vector<double> tickMs;
    double dTotalMs = 0, dWorstMs = 0;
    uint64_t nTicks = 0, nBytes = 0;
    for (auto _ : state)
    {
        clock.start();
        for (int i = 0; i < kPorts; ++i)
        {
            const int nInterval = i == 0 ? 2 : 10;
            if ((nTicks + static_cast<uint64_t>(i)) % static_cast<uint64_t>(nInterval) != 0)
                continue;
            const size_t n = kBytesPerSecond * kTickMs / 1000 * static_cast<size_t>(nInterval);
            size_t& pos = at[static_cast<size_t>(i)];
            if (pos + n > rec.Bytes.size())
                state.SkipWithError("recording too short");
            const QByteArray batch = QByteArray::fromRawData(rec.Bytes.data() + pos, static_cast<int>(n));
            pos += n;
            static_cast<CZvTxtBrowser*>(tabs.widget(i))
                ->OnUpdateData(static_cast<uint>(i + 1), QZvPortCtrlBase::PORT_TYPE_UART, batch);
            nBytes += n;
        }
        QApplication::processEvents();
        const double dMs = clock.nsecsElapsed() / 1e6;
        dTotalMs += dMs;
        dWorstMs = std::max(dWorstMs, dMs);
        tickMs.push_back(dMs);
        ++nTicks;
    }
    // Every BESTPOS handed over whole must be in its port's store (the first
    // bytes of a port may cut one).
    uint64_t nSent = 0, nStored = 0;
    const int nBestpos = CatalogueIndexOf(42);
    for (size_t i = 0; i < kPorts; ++i)
    {
        nSent += rec.LogsIn(start[i], at[i]);
        nStored += static_cast<CZvTxtBrowser*>(tabs.widget(static_cast<int>(i)))->m_pRangeData->Counts[nBestpos];
    }
    state.counters["tick_ms_mean"] = dTotalMs / static_cast<double>(nTicks);
    state.counters["tick_ms_worst"] = dWorstMs;
    std::sort(tickMs.begin(), tickMs.end());
    state.counters["tick_ms_p95"] = tickMs[tickMs.size() * 95 / 100];
    state.counters["ticks_over_20ms"] =
        static_cast<double>(tickMs.end() - std::upper_bound(tickMs.begin(), tickMs.end(), 20.0));
    state.counters["MB_per_s_handled"] = nBytes / (dTotalMs / 1000.0) / 1e6;
    state.counters["bestpos_sent"] = static_cast<double>(nSent);
    state.counters["bestpos_stored"] = static_cast<double>(nStored);
    SetCodecProfile(CODEC_PROFILE_CONVERTER);
}
BENCHMARK(BM_DataView32PortsTick)->Iterations(300)->Unit(benchmark::kMillisecond);
} // namespace
