// The receive road from 32 ports' bytes to their data views' decoded text,
// each port streaming 100 KB/s of binary logs, text logs, NMEA and RTCM3; the
// current port hands its bytes over every 200 ms, the others every 1000 ms.
//
// BM_DataView32PortsTick: the GUI thread's part alone, from recorded bytes.
// A benchmark iteration is one 100 ms tick of the main window: the batches
// that are due (each port on its own phase), shown and parsed, and the window
// painted. Counters: the GUI thread's work per tick (mean, 95th percentile,
// worst, ticks over 20 ms) and the logs lost (stored logs against those sent).
//
// BM_Ports32FakeReceivers: the whole road, 32 fake receivers on loopback TCP
// into 32 port controllers (each in its thread) and the port tab set, for
// 10 s. The GUI thread's work is the time its event processing takes in each
// 100 ms of wall clock, as its own CPU time (tick_cpu_ms: what it computes)
// and as wall time (tick_ms: with what other processes of a shared machine
// take from it); the bytes each view was handed are compared with the bytes
// its receiver sent, and the BESTPOS logs in each port's store with those
// that should be there (binary ones of every port, text ones of the current
// port).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTabWidget>
#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include <QThread>

#include "codec/profile.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/port_receiver.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/ports/port_manager.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/port_view_host.h"
#include "monitor/shell/txt_browser.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/receiver_stream.h"
#include "support/scripted_prompt.h"

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
    // What the views still read over the next turns, read.
    const auto catchingUp = [&]
    {
        for (int i = 0; i < kPorts; ++i)
            if (static_cast<CZvTxtBrowser*>(tabs.widget(i))->IsCatchingUp())
                return true;
        return false;
    };
    while (catchingUp())
        QApplication::processEvents();
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

// Fills the counters of the GUI thread's work per tick, named after sName.
void TickCounters(benchmark::State& state, const std::string& sName, std::vector<double> tickMs)
{
    double dTotal = 0;
    for (double d : tickMs)
        dTotal += d;
    std::sort(tickMs.begin(), tickMs.end());
    state.counters[sName + "_mean"] = dTotal / static_cast<double>(tickMs.size());
    state.counters[sName + "_p95"] = tickMs[tickMs.size() * 95 / 100];
    state.counters[sName + "_worst"] = tickMs.back();
    state.counters[sName + "_over_20"] =
        static_cast<double>(tickMs.end() - std::upper_bound(tickMs.begin(), tickMs.end(), 20.0));
}

// The calling thread's CPU time in milliseconds.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_Ports32FakeReceivers(benchmark::State& state)
{
    constexpr int kRunMs = 10000;
    App();
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    CScriptedPrompt prompt;
    QZvPortManager manager;
    CPortTab tabs;
    tabs.SetPortManager(&manager);
    tabs.resize(1200, 800);
    tabs.show();
    QObject::connect(&manager, &QZvPortManager::SignalPostAddPort, &tabs, &CPortTab::OnAddPort);
    QObject::connect(&tabs, &QTabWidget::currentChanged, &tabs, &CPortTab::OnPortTabChange);
    QObject::connect(&tabs, &CPortTab::SignalSetBaseCtrlTimeInterval, &manager, &QZvPortManager::SetActivePortID);
    QObject::connect(&tabs, &CPortTab::SignalSendCMD, &manager, &QZvPortManager::OnSendPortData1Port);
    QObject::connect(&tabs, &CPortTab::SignalRefreshPortProperty, &manager, &QZvPortManager::RefreshProperty);
    // What each view is handed, counted beside it in the GUI thread.
    QHash<uint, uint64_t> shown;
    QObject::connect(&manager, &QZvPortManager::SignalPostAddPort, &tabs,
                     [&](uint, QZvPortCtrlBase::PORT_TYPE_E, QZvPortCtrlBase* pCtrl)
                     {
                         QObject::connect(pCtrl, &QZvPortCtrlBase::SignalUpdateUI, &tabs,
                                          [&shown](uint uid, QZvPortCtrlBase::PORT_TYPE_E, QByteArray Data)
                                          { shown[uid] += static_cast<uint64_t>(Data.size()); });
                     });

    std::vector<std::unique_ptr<FakeReceiver>> receivers;
    for (int i = 0; i < kPorts; ++i)
    {
        receivers.push_back(std::make_unique<FakeReceiver>());
        TCP_CONFIG_T tcp;
        tcp.IPAddress = QStringLiteral("127.0.0.1");
        tcp.Port = receivers.back()->Listen();
        if (tcp.Port == 0 || manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp) != 0)
        {
            state.SkipWithError("a port did not open");
            return;
        }
    }
    std::vector<uint> ids;
    for (int i = 0; i < tabs.count(); ++i)
        ids.push_back(tabs.GetPortUniqueID(i));
    if (tabs.count() != kPorts ||
        !WaitUntil([&] {
            for (int i = 0; i < kPorts; ++i)
                if (!tabs.GetPortCtrl(i)->IsPropertyValid())
                    return false;
            return true;
        }))
    {
        state.SkipWithError("the receivers did not answer");
        return;
    }
    // The first tab is current: its port hands over every 200 ms, the others every 1000 ms.
    tabs.OnPortTabChange(0);

    std::vector<double> tickMs, tickCpuMs;
    for (auto _ : state)
    {
        for (auto& pRx : receivers)
            pRx->StartStream(STREAM_ALL, kBytesPerSecond);
        QElapsedTimer wall, busy;
        wall.start();
        double dTickBusy = 0, dTickCpu = 0;
        qint64 nTickEnd = kTickMs;
        while (wall.elapsed() < kRunMs)
        {
            busy.start();
            const double dCpu = ThreadCpuMs();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            dTickCpu += ThreadCpuMs() - dCpu;
            const double dMs = busy.nsecsElapsed() / 1e6;
            dTickBusy += dMs;
            if (wall.elapsed() >= nTickEnd)
            {
                tickMs.push_back(dTickBusy);
                tickCpuMs.push_back(dTickCpu);
                dTickBusy = dTickCpu = 0;
                nTickEnd += kTickMs;
            }
            if (dMs < 1.0)
                QThread::msleep(1);
        }
        for (auto& pRx : receivers)
            pRx->StopStream();
    }
    // Whatever was sent reaches its view once the ports hand it over.
    auto lost = [&]
    {
        uint64_t n = 0;
        for (int i = 0; i < kPorts; ++i)
        {
            const uint64_t sent = receivers[static_cast<size_t>(i)]->SentBytes();
            const uint64_t got = shown.value(ids[static_cast<size_t>(i)]);
            n += sent > got ? sent - got : 0;
        }
        return n;
    };
    WaitUntil([&] { return lost() == 0; }, 10000);
    uint64_t nSent = 0, nShown = 0, nUnsent = 0, nBestposSent = 0, nBestposStored = 0;
    const int nBestpos = CatalogueIndexOf(42);
    for (int i = 0; i < kPorts; ++i)
    {
        const FakeReceiver& rx = *receivers[static_cast<size_t>(i)];
        nSent += rx.SentBytes();
        nUnsent += rx.UnsentBytes();
        nShown += shown.value(ids[static_cast<size_t>(i)]);
        // Binary logs go to every port's store, text logs only to the current
        // port's (through its position parser).
        for (const STREAM_ITEM_T& item : rx.Sent())
            nBestposSent += item.MessageId == 42 || (i == 0 && item.Name == "BESTPOSA");
        nBestposStored += tabs.GetTxView(i)->m_pRangeData->Counts[nBestpos];
    }
    state.counters["ticks"] = static_cast<double>(tickMs.size());
    TickCounters(state, "tick_ms", tickMs);
    TickCounters(state, "tick_cpu_ms", tickCpuMs);
    state.counters["MB_sent"] = static_cast<double>(nSent) / 1e6;
    state.counters["MB_per_s_sent"] = static_cast<double>(nSent) / 1e6 / (kRunMs / 1000.0);
    state.counters["bytes_lost"] = static_cast<double>(lost());
    state.counters["bytes_unsent"] = static_cast<double>(nUnsent);
    state.counters["bytes_shown"] = static_cast<double>(nShown);
    state.counters["bestpos_sent"] = static_cast<double>(nBestposSent);
    state.counters["bestpos_stored"] = static_cast<double>(nBestposStored);
    // The ports end before their receivers.
    for (uint id : ids)
        manager.DeletePortCtrl(id);
    SetCodecProfile(CODEC_PROFILE_CONVERTER);
}
BENCHMARK(BM_Ports32FakeReceivers)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

namespace
{
// One port's receive road as a hidden tab drives it: the stream read into the
// store and the replies, nothing turned into text; and the same for the
// current tab, whose text is shown. Batches of 200 KB and 40 KB, as ports at
// 200 KB/s hand them over behind the current tab and in it.
void ReadRecording(benchmark::State& state, bool bFormat, size_t nBatch)
{
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    static const Recording rec(kBytesPerSecond * 40);
    CPortReceiver road;
    size_t nShown = 0;
    road.SetDisplay([&nShown](const char*, int n) { nShown += static_cast<size_t>(n); });
    CPortReceiver::BATCH_T how;
    how.Mode = CPortReceiver::READ_AUTO;
    how.bFormat = bFormat;
    size_t at = 0;
    for (auto _ : state)
    {
        if (at + nBatch > rec.Bytes.size())
            at = 0;
        road.Receive(QByteArray::fromRawData(rec.Bytes.data() + at, static_cast<int>(nBatch)), how);
        at += nBatch;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * nBatch));
    state.counters["text/input"] = static_cast<double>(nShown) / static_cast<double>(state.iterations() * nBatch);
    SetCodecProfile(CODEC_PROFILE_CONVERTER);
}
void BM_HiddenPortRoad(benchmark::State& state) { ReadRecording(state, false, 200000); }
void BM_CurrentPortRoad(benchmark::State& state) { ReadRecording(state, true, 40000); }
BENCHMARK(BM_HiddenPortRoad);
BENCHMARK(BM_CurrentPortRoad);
} // namespace
