// The track and height plots on the main window's tick with a day of
// positions behind them (86 400 at one a second; the plots keep their newest
// 40 960 and 10 000). One iteration is one tick: a new position appended and
// the plot drawn anew, as the window shows it.
//
// BM_TrackPlotTick/0: a survey vehicle's day, laps of a few blocks with
//   centimetres of noise. /1: a day in one spot with metres of scatter, so
//   that every point falls on a pixel of its own.
// BM_HeightPlotTick: the day's heights, the chart refreshed and rendered
//   (counters: the refresh with the window's paint, and a second full render).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QtCharts/QChartView>
#include <algorithm>
#include <cmath>
#include <random>

#include "bench/views_app.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/plot_records.h"
#include "monitor/views/track_plot.h"

namespace
{
constexpr int kDay = 86400;

// The i-th second of the day, for the vehicle (laps of a 600 m by 400 m
// block and its neighbour) or for the scattered spot.
POS_DATA_T Position(int i, bool bScatter, std::mt19937& random)
{
    std::normal_distribution<double> noise(0.0, bScatter ? 3.0 : 0.02);
    double e = 0, n = 0;
    if (!bScatter)
    {
        AlongBlock(i * 8.0, 600, 400, &e, &n);
        e += (i / 250) % 2 == 0 ? 0.0 : 600.0;
    }
    e += noise(random);
    n += noise(random);
    return PlotRecord(30.5283 + n / 110850.0, 114.3558 + e / 95980.0,
                      36.2 + 0.5 * std::sin(i / 3000.0) + noise(random) * 0.5, 345600.0 + i, i % 50 < 45 ? 4 : 5,
                      -12.1);
}

void BM_TrackPlotTick(benchmark::State& state)
{
    ViewsBenchApp();
    const bool bScatter = state.range(0) == 1;
    QTrackPlot plot;
    plot.resize(1049, 465);
    plot.show();
    QCoreApplication::processEvents();
    std::mt19937 random(3);
    int i = 0;
    for (; i < kDay; ++i)
    {
        POS_DATA_T r = Position(i, bScatter, random);
        plot.OnUpdateTrackPlotWindow(&r);
    }
    plot.RenderPlot();
    for (auto _ : state)
    {
        POS_DATA_T r = Position(i++, bScatter, random);
        plot.OnUpdateTrackPlotWindow(&r);
        plot.RenderPlot();
        benchmark::DoNotOptimize(plot.Pixmap().cacheKey());
    }
    state.counters["points"] = plot.PointCount();
}
BENCHMARK(BM_TrackPlotTick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_HeightPlotTick(benchmark::State& state)
{
    ViewsBenchApp();
    QHeightPlot plot;
    plot.resize(700, 400);
    plot.show();
    QCoreApplication::processEvents();
    std::mt19937 random(5);
    int i = 0;
    for (; i < kDay; ++i)
    {
        POS_DATA_T r = Position(i, false, random);
        plot.OnUpdateHeightPlotWindow(&r);
    }
    QCoreApplication::processEvents();
    QImage picture(plot.ChartView()->size(), QImage::Format_ARGB32_Premultiplied);
    qint64 nRefresh = 0, nRender = 0;
    for (auto _ : state)
    {
        POS_DATA_T r = Position(i++, false, random);
        plot.OnUpdateHeightPlotWindow(&r);
        // The refresh that follows the tick (with the window's own paint),
        // then the whole chart drawn once more.
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::processEvents();
        const qint64 nRefreshed = clock.nsecsElapsed();
        QPainter painter(&picture);
        plot.ChartView()->render(&painter);
        nRefresh += nRefreshed;
        nRender += clock.nsecsElapsed() - nRefreshed;
    }
    const double n = std::max<double>(static_cast<double>(state.iterations()), 1.0);
    state.counters["points"] = plot.PointCount();
    state.counters["refresh_ms"] = nRefresh / 1e6 / n;
    state.counters["render_ms"] = nRender / 1e6 / n;
}
BENCHMARK(BM_HeightPlotTick)->Unit(benchmark::kMillisecond);
} // namespace
