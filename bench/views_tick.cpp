// The main window's heaviest tick for the sky plot, the CN0 view and the INS
// window (with its attitude indicator and compass): 64 satellites of every
// constellation in the position record, each on 3 signals in the stored RANGE
// log (192 observations), and an INSPVAX, all come from a fake receiver
// through the port, the data view and the parsers. One iteration calls the
// three views' tick slots as the main window does on a tick where all of them
// are due. Between iterations (not timed) every satellite's CN0 moves by a
// dB-Hz and the INS window's 18 values are blanked, so that each view shows
// new values as after a new epoch. The time of an iteration is the slots and
// the repaint of the three windows that follows them (the events the slots
// posted, processed as the event loop does after a tick); the counters
// slots_ms and repaint_ms split it.
//
// BM_ViewsTick/0: the CN0 view in NMEA mode (its chart rebuilt);
// BM_ViewsTick/1: in Range mode with the signal filters shown (its picture
// painted: 178 bars, GLONASS signals having no third bar in the view).
// BM_ViewsPaint: the three windows grabbed whole once after such a tick.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <algorithm>
#include <memory>

#include "bench/views_app.h"

#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/ins_status.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/skyplot_widget.h"
#include "monitor/views/view_road.h"

namespace
{
// 64 satellites: 20 GPS, 14 GLONASS, 14 Galileo, 14 BeiDou, 2 QZSS.
std::vector<TEST_SAT_T> SixtyFourSatellites()
{
    std::vector<TEST_SAT_T> sats;
    auto add = [&](const char* pTalker, int nFirst, int nCount)
    {
        for (int i = 0; i < nCount; ++i)
        {
            const int n = static_cast<int>(sats.size());
            sats.push_back({pTalker, nFirst + i, 5 + (n * 37) % 85, (n * 97) % 360, 25 + n % 25, n % 3 != 0});
        }
    };
    add("GP", 1, 20);
    add("GL", 65, 14);
    add("GA", 1, 14);
    add("GB", 1, 14);
    add("GQ", 193, 2);
    return sats;
}

std::vector<RANGE_OBS_T> ThreeSignalsEach()
{
    struct
    {
        uint8_t Sys;
        uint16_t First;
        int Count;
        uint8_t Types[3];
    } const systems[] = {{TRACK_SYS_GPS, 1, 20, {0, 9, 14}},
                         {TRACK_SYS_GLONASS, 38, 14, {0, 5, 1}},
                         {TRACK_SYS_GALILEO, 1, 14, {2, 12, 17}},
                         {TRACK_SYS_BEIDOU, 1, 14, {0, 2, 1}},
                         {TRACK_SYS_QZSS, 193, 2, {16, 17, 14}}};
    std::vector<RANGE_OBS_T> obs;
    uint8_t nChannel = 0;
    for (const auto& s : systems)
        for (int i = 0; i < s.Count; ++i)
            for (uint8_t nType : s.Types)
                obs.push_back(loggen::Observation({s.Sys, nType, static_cast<uint16_t>(s.First + i),
                                                   s.Sys == TRACK_SYS_GLONASS ? uint16_t(8) : uint16_t(0)},
                                                  nChannel++, 2.2e7 + i * 1000.0, -1000.0f, 30.0f + (i * 7) % 20,
                                                  200.0f));
    return obs;
}

struct Views
{
    ViewRoad Road;
    QSkyplot Sky;
    QCN0BarChart Cn0;
    QINStatus Ins;
    bool Ready = false;

    Views()
    {
        if (!Road.Open())
            return;
        for (QWidget* p : {static_cast<QWidget*>(&Sky), static_cast<QWidget*>(&Cn0), static_cast<QWidget*>(&Ins)})
            p->show();
        Sky.resize(600, 640);
        Cn0.resize(1000, 800);
        Ins.resize(760, 560);
        Ready = Road.SendUntil(Joined(Epoch(1, SixtyFourSatellites())) + Epoch(2, {}).front(),
                               [this] { return Road.Position()->Utc.Second == 1; }) &&
                Road.SendLog(loggen::RangeRecord(2295, 79218000, ThreeSignalsEach())) &&
                Road.SendLog(loggen::Record(MSG_ID_INSPVAX, 2295, 79218000, ReceiverStream::SiteInspvax()));
    }

    // What a new epoch changes: every satellite's CN0 moves by a dB-Hz, and
    // the INS window's values are blanked so that each is set again.
    void NextEpoch(int nEpoch)
    {
        auto* pPos = static_cast<POS_DATA_T*>(Road.PositionPayload());
        for (SAT_INFO_T& s : pPos->SatInfo)
            if (s.SatNumber != 0 && s.CN0 < 99)
                s.CN0 = static_cast<uint8_t>(s.CN0 + ((nEpoch & 1) ? 1 : -1));
        Ins.OnPortTabChange(0);
    }

    void Tick()
    {
        Ins.OnUpdateINSStatus(Road.TabsPayload());
        Sky.OnUpdateSkyPlot(Road.PositionPayload());
        Cn0.OnUpdateCN0BarChart(Road.TabsPayload());
    }
};

Views& TheViews()
{
    ViewsBenchApp();
    // Made after the application, so it goes before it at exit.
    static Views views;
    return views;
}

void BM_ViewsTick(benchmark::State& state)
{
    Views& v = TheViews();
    if (!v.Ready)
    {
        state.SkipWithError("the receiver's data did not reach the views");
        return;
    }
    const bool bRange = state.range(0) == 1;
    (bRange ? v.Cn0.RangeButton() : v.Cn0.NmeaButton())->setChecked(true);
    v.Cn0.SignalBox()->setChecked(bRange);
    v.Tick();
    QCoreApplication::processEvents();
    int nEpoch = 0;
    qint64 nSlots = 0, nRepaint = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        v.NextEpoch(++nEpoch);
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        v.Tick();
        const qint64 nTicked = clock.nsecsElapsed();
        QCoreApplication::processEvents();
        nSlots += nTicked;
        nRepaint += clock.nsecsElapsed() - nTicked;
    }
    const double n = std::max<double>(static_cast<double>(state.iterations()), 1.0);
    state.counters["satellites"] = static_cast<double>(v.Sky.Plot()->satellites().size());
    state.counters["bars"] = bRange ? static_cast<double>(v.Cn0.PaintedBars().size()) : 0.0;
    state.counters["slots_ms"] = nSlots / 1e6 / n;
    state.counters["repaint_ms"] = nRepaint / 1e6 / n;
}
BENCHMARK(BM_ViewsTick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ViewsPaint(benchmark::State& state)
{
    Views& v = TheViews();
    if (!v.Ready)
    {
        state.SkipWithError("the receiver's data did not reach the views");
        return;
    }
    v.Cn0.RangeButton()->setChecked(true);
    v.Tick();
    QCoreApplication::processEvents();
    for (auto _ : state)
    {
        for (QWidget* p : {static_cast<QWidget*>(&v.Sky), static_cast<QWidget*>(&v.Cn0), static_cast<QWidget*>(&v.Ins)})
            benchmark::DoNotOptimize(p->grab());
    }
}
BENCHMARK(BM_ViewsPaint)->Unit(benchmark::kMillisecond);

} // namespace
