// The program in demo mode with plotting on, as the executable puts it together: waits until
// it is online with the simulated station, then runs for the given seconds and prints the
// CPU seconds of the whole process over them and the wall seconds.
// Usage: idle_demo [seconds=60]
#include "bench/demo_program.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    QTemporaryDir dir;
    bench::DemoProgram::layOutDemoFolder(QCoreApplication::applicationDirPath(), dir.path());
    bench::DemoProgram demo(dir.path());
    demo.start();
    if (!demo.clock.runUntil([&] { return demo.program->poller.lastPollSucceeded(); }, 10000)) {
        std::fprintf(stderr, "the program did not come online with the simulated station\n");
        return 1;
    }
    demo.clock.runUntil([] { return false; }, 1000);  // the simulated station's window shown
    const double cpu0 = cpuSeconds();
    const auto t0 = demo.clock.nowMs();
    const auto samples0 = demo.state.PlottedSamples;
    demo.clock.runUntil([] { return false; }, seconds * 1000);
    std::printf("%.4f %.3f\n", cpuSeconds() - cpu0, double(demo.clock.nowMs() - t0) / 1000.0);
    std::fprintf(stderr, "plotted %d samples, %d diagnostic lines\n", int(demo.state.PlottedSamples - samples0),
                 demo.state.Diagnostics.size());
    std::fflush(stdout);
    std::_Exit(0);
}
