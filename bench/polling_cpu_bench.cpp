// CPU use of the whole program while it polls the simulated station in real time.
#include "core/shared_state.h"
#include "link/link.h"
#include "link/poller.h"
#include "mainwin/form1.h"
#include "settings/settings_file.h"
#include "platform/qt_dialogs.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {
class QuietShell final : public platform::Shell {
public:
    bool openUrl(const QString&) override { return true; }
    void beep() override {}
};
}  // namespace

static void BM_PollSimulatedStationRealTime(benchmark::State& state) {
    const int seconds = int(state.range(0));
    QTemporaryDir dir;
    core::SharedState shared;
    platform::RealClock clock;
    simulator::SimStation station(clock, 7);
    simulator::SimBridge bridge(station);
    QuietShell shell;
    platform::QtDialogs dialogs;
    settings::SettingsFile file(shared, dir.path(), dir.filePath("user"));
    stationlink::Link link(shared, bridge, clock);
    mainwin::Form1 form(shared, dialogs, shell, file, QCoreApplication::applicationDirPath());
    stationlink::Poller poller(shared, link, shell, form, file);
    form.attach(poller);
    form.Form_Load();
    shared.Settings.AutoTCPlot = true;
    shared.ConnectRequested = true;
    form.show();
    for (auto _ : state) {
        const std::clock_t c0 = std::clock();
        const auto t0 = clock.nowMs();
        while (clock.nowMs() - t0 < seconds * 1000) clock.waitNext(1000);
        const double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / seconds;
        state.counters["ticks"] = double(poller.ticksRun());
    }
}
BENCHMARK(BM_PollSimulatedStationRealTime)->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
