// Rebuilding, rendering and painting the trend chart and the heater gauges, as every poll does.
#include "core/shared_state.h"
#include "mainwin/heater_gauge.h"
#include "mainwin/trend_chart.h"
#include "mainwin/trend_model.h"

#include <QApplication>
#include <QPixmap>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
}  // namespace

// One redraw as the window sees it: the chart rebuilt from the store, replotted, and the
// widget painted, with the curve crossing the alarm line and the latest reading above it,
// so the shading and the over-threshold banner are drawn too.
static void BM_TrendRebuildReplotAndPaint(benchmark::State& state) {
    core::SharedState shared;
    shared.Settings.AlarmThreshold = 205;
    mainwin::TrendModel model(shared);
    QCustomPlot plot;
    mainwin::TrendChart chart(plot, model, QCoreApplication::applicationDirPath());
    chart.DrawTrendChart();
    for (int i = 0; i < 300; ++i) {  // a warming board: climbs through the alarm line, ends above it
        shared.PlottedSamples = std::int16_t(i);
        model.AppendTrendSample(std::int16_t(25 + 0.8 * i + 30 * std::sin(i / 10.0)));
    }
    shared.PlottedSamples = 299;
    plot.resize(mainwin::TrendChart::kWidth, mainwin::TrendChart::kHeight);
    plot.show();
    chart.DrawTrendChart();
    if (!chart.bannerShown()) {
        state.SkipWithError("the latest reading should be over the threshold and show the banner");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        chart.DrawTrendChart();  // builds and replots into the plot's buffer
        plot.repaint();          // the widget's own paint of that buffer
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    state.counters["median_ms"] = median(ms);
    state.counters["banner"] = chart.bannerShown() ? 1 : 0;
}
BENCHMARK(BM_TrendRebuildReplotAndPaint)->Unit(benchmark::kMillisecond);

static void BM_GaugeRebuildAndRender(benchmark::State& state) {
    QCustomPlot plot;
    mainwin::HeaterGauge gauge(plot, mainwin::GaugeSpec::lower());
    plot.show();
    int code = 1;
    for (auto _ : state) {
        gauge.draw(code, true);  // builds and renders (replot)
        plot.repaint();
        code = code % 4 + 1;
    }
}
BENCHMARK(BM_GaugeRebuildAndRender)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
