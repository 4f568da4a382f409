// Rebuilding and rendering the trend chart and the heater gauges, as every poll does.
#include "core/shared_state.h"
#include "mainwin/heater_gauge.h"
#include "mainwin/trend_chart.h"
#include "mainwin/trend_model.h"

#include <QApplication>
#include <QPixmap>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

static void BM_TrendRebuildAndRender(benchmark::State& state) {
    core::SharedState shared;
    shared.Settings.AlarmThreshold = 205;
    mainwin::TrendModel model(shared);
    QCustomPlot plot;
    mainwin::TrendChart chart(plot, model, QCoreApplication::applicationDirPath());
    chart.DrawTrendChart();
    for (int i = 0; i < 300; ++i) {  // a full curve that crosses the alarm line
        shared.PlottedSamples = std::int16_t(i);
        model.AppendTrendSample(std::int16_t(100 + 150 * std::sin(i / 30.0)));
    }
    shared.PlottedSamples = 299;
    plot.show();
    for (auto _ : state) chart.DrawTrendChart();  // builds and renders (replot)
}
BENCHMARK(BM_TrendRebuildAndRender)->Unit(benchmark::kMillisecond);

static void BM_GaugeRebuildAndRender(benchmark::State& state) {
    QCustomPlot plot;
    mainwin::HeaterGauge gauge(plot, mainwin::GaugeSpec::lower());
    plot.show();
    int code = 1;
    for (auto _ : state) {
        gauge.draw(code, true);  // builds and renders (replot)
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
