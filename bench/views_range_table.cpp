// The range observation table's refresh on the main window's tick when a new
// RANGECMP4 log of 64 satellites on three signals each (32 GPS on L1 C/A,
// L2 P(Y) and L5, 32 Galileo on E1, E5a and E5b: 192 observations) is in the
// port's store: the 192 rows filled from the observations the port's receive
// road expanded. The log arrives, and is expanded, outside the timing, as the
// port's batch does (bench_parsing measures that).
//
// BM_RangeTableRefresh: the refresh alone.
// BM_RangeTableRefreshAndPaint: the refresh and the table drawn as shown.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QTableView>
#include <memory>
#include <vector>

#include "bench/views_app.h"
#include "codec/rangecmp4.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/txt_browser.h"
#include "monitor/views/range_view.h"
#include "support/log_generator.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/profile_fixture.h"

namespace
{
// A minute of whole-second RANGECMP4 logs as they come off the line.
std::vector<QByteArray> Logs()
{
    std::vector<loggen::Signal> sky;
    for (uint16_t n = 1; n <= 32; ++n)
    {
        for (uint8_t t : {0, 9, 14})
            sky.push_back({TRACK_SYS_GPS, t, n, 0});
        for (uint8_t t : {2, 12, 17})
            sky.push_back({TRACK_SYS_GALILEO, t, n, 0});
    }
    std::vector<QByteArray> logs;
    auto pContext = std::make_unique<RANGECMP4_CONTEXT_T>();
    for (int i = 0; i < 60; ++i)
    {
        const loggen::Bytes range = loggen::RangeRecord(2295, 300000 + 1000 * i, loggen::Epoch(sky, 300.0 + i));
        loggen::Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
        int32_t n = 0;
        RangeToRangeCmp4(pContext.get(), range.data(), static_cast<int32_t>(range.size()), out.data(),
                         static_cast<int32_t>(out.size()), &n);
        out.resize(static_cast<size_t>(n));
        const loggen::Bytes wire = loggen::Binary(out);
        logs.emplace_back(reinterpret_cast<const char*>(wire.data()), static_cast<int>(wire.size()));
    }
    return logs;
}

void Refresh(benchmark::State& state, bool bPaint)
{
    ViewsBenchApp();
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    CMemoryPortCtrl port;
    CPortTab tabs;
    tabs.OnAddPort(port.UniquePortID, port.PortType, &port);
    tabs.GetTxView(0)->m_DisplayMode = CZvTxtBrowser::DISPLAY_BIN_2_ASCII;
    tabs.show();
    QRangeView view;
    view.m_pPortTab = &tabs;
    view.resize(1011, 600);
    view.LogCombo()->setCurrentText(QStringLiteral("RANGECMP4"));
    view.show();
    QCoreApplication::processEvents();
    const std::vector<QByteArray> logs = Logs();
    size_t i = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        port.Receive(logs[i++ % logs.size()]);
        state.ResumeTiming();
        view.OnUpdateData(&tabs);
        if (bPaint)
            benchmark::DoNotOptimize(view.Table()->viewport()->grab().cacheKey());
    }
    if (view.Rows()->rowCount() != 192)
        state.SkipWithError("the table does not show the log's 192 observations");
    state.counters["rows"] = view.Rows()->rowCount();
}

void BM_RangeTableRefresh(benchmark::State& state) { Refresh(state, false); }
void BM_RangeTableRefreshAndPaint(benchmark::State& state) { Refresh(state, true); }
BENCHMARK(BM_RangeTableRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RangeTableRefreshAndPaint)->Unit(benchmark::kMillisecond);
} // namespace
