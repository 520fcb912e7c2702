// The whole monitor under a production line's load: the main window as the
// program makes it, 64 fake receivers on loopback TCP streaming binary logs,
// text logs, NMEA and RTCM3 at 200 KB/s each into 64 port tabs.
//
// BM_Monitor64Ports: measured over ZV_LOAD_SECONDS (20 by default) after a
// warm-up of 3 s:
// - gui_ms: the GUI thread's work in each 100 ms of wall clock, as its own
//   CPU time (what it computes, whatever other threads take), with its 50th,
//   95th and 99th percentiles and worst;
// - switch_ms: switching to another port's tab, until the window has been
//   laid out and painted (median and worst of 16 switches);
// - rss_mb: the process's resident memory before the switches, after as long
//   again without visits, after every tab was visited once and after a
//   second round;
// - close_s: closing the window ("Yes" to the close question) with every
//   port streaming;
// - bytes_lost: bytes the receivers sent that never reached their port's
//   data view (counted as the ports hand them over).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "codec/profile.h"
#include "monitor/app/zorvik_monitor.h"
#include "monitor/ports/port_manager.h"
#include "monitor/shell/port_tab.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"

namespace
{
constexpr int kPorts = 64;
constexpr uint32_t kBytesPerSecond = 200000;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_app";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double RssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double Percentile(std::vector<double> v, int nPercent)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * static_cast<size_t>(nPercent) / 100)];
}

// Runs the event loop, as the program does, for nMs of wall clock; with
// pWindows, the GUI thread's CPU time in each 100 ms is appended to it.
void Run(int nMs, std::vector<double>* pWindows)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    QTimer window;
    window.setTimerType(Qt::PreciseTimer);
    double dCpu = ThreadCpuMs();
    QObject::connect(&window, &QTimer::timeout,
                     [&]
                     {
                         const double dNow = ThreadCpuMs();
                         if (pWindows != nullptr)
                             pWindows->push_back(dNow - dCpu);
                         dCpu = dNow;
                     });
    window.start(100);
    loop.exec();
}

void BM_Monitor64Ports(benchmark::State& state)
{
    App();
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const int nSeconds = qEnvironmentVariableIsSet("ZV_LOAD_SECONDS") ? qEnvironmentVariableIntValue("ZV_LOAD_SECONDS")
                                                                      : 20;
    CScriptedPrompt prompt;
    auto pWindow = std::make_unique<QZorvikMonitor>();
    PrepareMonitorApplication(*qApp, *pWindow);
    pWindow->show();
    pWindow->resize(1366, 768);
    QCoreApplication::processEvents();
    const MONITOR_WINDOWS_T& w = pWindow->Windows();
    CPortTab& tabs = *w.pPortTab;

    // What each view is handed, counted beside it in the GUI thread.
    QHash<uint, uint64_t> handed;
    QObject::connect(w.pPortManager, &QZvPortManager::SignalPostAddPort, &tabs,
                     [&](uint, QZvPortCtrlBase::PORT_TYPE_E, QZvPortCtrlBase* pCtrl)
                     {
                         QObject::connect(pCtrl, &QZvPortCtrlBase::SignalUpdateUI, &tabs,
                                          [&handed](uint uid, QZvPortCtrlBase::PORT_TYPE_E, QByteArray Data)
                                          { handed[uid] += static_cast<uint64_t>(Data.size()); });
                     });
    std::vector<std::unique_ptr<FakeReceiver>> receivers;
    for (int i = 0; i < kPorts; ++i)
    {
        // Only their byte counts are used: they keep nothing of what they
        // send, so that the process's memory is the monitor's.
        RECEIVER_RULES_T rules;
        rules.KeepSent = false;
        receivers.push_back(std::make_unique<FakeReceiver>(rules));
        TCP_CONFIG_T tcp;
        tcp.IPAddress = QStringLiteral("127.0.0.1");
        tcp.Port = receivers.back()->Listen();
        if (tcp.Port == 0 || w.pPortManager->AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp) != 0)
        {
            state.SkipWithError("a port did not open");
            return;
        }
    }
    std::vector<uint> ids;
    for (int i = 0; i < tabs.count(); ++i)
        ids.push_back(tabs.GetPortUniqueID(i));
    if (tabs.count() != kPorts || !WaitUntil([&] {
            for (int i = 0; i < kPorts; ++i)
                if (!tabs.GetPortCtrl(i)->IsPropertyValid())
                    return false;
            return true;
        }))
    {
        state.SkipWithError("the receivers did not answer");
        return;
    }
    tabs.setCurrentIndex(0);

    std::vector<double> gui, switches;
    double dRssBefore = 0, dRssStreaming = 0, dRssVisited = 0, dRssVisitedTwice = 0, dCloseS = 0;
    for (auto _ : state)
    {
        for (auto& pRx : receivers)
            pRx->StartStream(STREAM_ALL, kBytesPerSecond);
        Run(3000, nullptr);
        Run(nSeconds * 1000, &gui);

        dRssBefore = RssMb();
        // Tab switches, each followed by half a second of streaming.
        for (int k = 1; k <= 16; ++k)
        {
            QElapsedTimer t;
            t.start();
            tabs.setCurrentIndex((k * 37) % kPorts);
            QCoreApplication::processEvents();
            switches.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            Run(500, nullptr);
        }
        // As long as a round of visits takes, without visiting: what streaming alone adds.
        Run(64 * 60, nullptr);
        dRssStreaming = RssMb();
        for (int round = 0; round < 2; ++round)
        {
            for (int i = 0; i < kPorts; ++i)
            {
                tabs.setCurrentIndex(i);
                Run(50, nullptr);
            }
            (round == 0 ? dRssVisited : dRssVisitedTwice) = RssMb();
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
            const uint64_t got = handed.value(ids[static_cast<size_t>(i)]);
            n += sent > got ? sent - got : 0;
        }
        return n;
    };
    WaitUntil([&] { return lost() == 0; }, 15000);
    uint64_t nSent = 0;
    for (auto& pRx : receivers)
        nSent += pRx->SentBytes();
    state.counters["bytes_lost"] = static_cast<double>(lost());
    state.counters["MB_sent"] = static_cast<double>(nSent) / 1e6;

    // Closing with every port streaming.
    for (auto& pRx : receivers)
        pRx->StartStream(STREAM_ALL, kBytesPerSecond);
    Run(2000, nullptr);
    prompt.Answers = {true};
    QElapsedTimer closing;
    closing.start();
    pWindow->close();
    dCloseS = static_cast<double>(closing.nsecsElapsed()) / 1e9;
    pWindow.reset();
    for (auto& pRx : receivers)
        pRx->StopStream();

    state.counters["gui_ms_p50"] = Percentile(gui, 50);
    state.counters["gui_ms_p95"] = Percentile(gui, 95);
    state.counters["gui_ms_p99"] = Percentile(gui, 99);
    state.counters["gui_ms_max"] = Percentile(gui, 100);
    state.counters["switch_ms_median"] = Percentile(switches, 50);
    state.counters["switch_ms_max"] = Percentile(switches, 100);
    state.counters["rss_mb_before_visits"] = dRssBefore;
    state.counters["rss_mb_streaming_on"] = dRssStreaming;
    state.counters["rss_mb_visited_once"] = dRssVisited;
    state.counters["rss_mb_visited_twice"] = dRssVisitedTwice;
    state.counters["close_s"] = dCloseS;
    SetCodecProfile(CODEC_PROFILE_CONVERTER);
}
BENCHMARK(BM_Monitor64Ports)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace
