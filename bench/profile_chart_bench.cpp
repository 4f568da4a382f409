// Rebuilding and rendering the profile curve chart, as every live sample does.
#include "core/shared_state.h"
#include "profiles/profile_chart.h"

#include <QApplication>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A chart with the 100/150/190 curve and a full trace that follows it 5 degrees below.
struct FullChart {
    core::SharedState shared;
    profiles::ProfileChart chart{shared, QCoreApplication::applicationDirPath()};
    FullChart() {
        shared.X1SetPointC = 100;
        shared.X2SetPointC = 150;
        shared.X3SetPointC = 190;
        shared.PcbTemperatureValid = true;
        chart.ComputeProfileCurve(profiles::Alloy::Leaded);
        chart.RequestChartRedraw();
        for (int i = 0; i < 300; ++i) {
            shared.PcbTemperature = std::int16_t(std::lround(chart.profileCurve()[std::size_t(i + 1)] - 5));
            chart.AppendTcSample();
        }
        chart.TcSampleCount = 299;
        chart.ChartViewer1->show();
    }
};

}  // namespace

static void BM_ProfileChartRebuildAndRender(benchmark::State& state) {
    FullChart c;
    for (auto _ : state) c.chart.DrawProfileChart();  // builds and renders into the plot's buffers
}
BENCHMARK(BM_ProfileChartRebuildAndRender)->Unit(benchmark::kMillisecond);

static void BM_ProfileChartRebuildRenderAndPaint(benchmark::State& state) {
    FullChart c;
    for (auto _ : state) {
        c.chart.DrawProfileChart();
        c.chart.ChartViewer1->repaint();  // and paints the widget at once
    }
}
BENCHMARK(BM_ProfileChartRebuildRenderAndPaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
