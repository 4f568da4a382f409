// What start-up leaves to first use, timed at that first use: the first beep against a
// later one, and the readying the program does 2 s after its start (the tone module loaded,
// the audio output looked up), the first attempt to open
// the USB bridge (libusb set up, the bus listed) against a later one, and, in demo mode,
// the program's start to its first answered poll, and when the runs database, left until the
// window has been painted, was open. Usage: bench_first_use
#include "bench/demo_program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {
template <class F>
double timeMs(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    bench::DemoProgram::layOutDemoFolder(QCoreApplication::applicationDirPath(), dir.path());
    bench::DemoProgram demo(dir.path());
    QElapsedTimer sinceStart;
    double historyOpenAt = -1;  // when the runs database had been opened, after the first paint
    const double toOnline = timeMs([&] {
        sinceStart.start();
        demo.start();
        demo.clock.runUntil(
            [&] {
                if (historyOpenAt < 0 && demo.program->runHistory().opened())
                    historyOpenAt = double(sinceStart.nsecsElapsed()) / 1e6;
                return demo.program->poller.lastPollSucceeded() && historyOpenAt >= 0;
            },
            10000);
    });
    std::printf("demo: start to the first answered poll %.1f ms (%s)\n", toOnline,
                demo.program->poller.lastPollSucceeded() ? "online" : "NOT online");
    std::printf("runs database opened and its records brought in by %.1f ms after the start (once the window "
                "was painted)\n",
                historyOpenAt);

    // What the program does 2 s after its start, timed here (it is then done once only).
    const double ready = timeMs([&] { demo.shell.prepareBeep(); });
    demo.clock.runUntil([] { return false; }, 1000);
    const double beep1 = timeMs([&] { demo.shell.beep(); });
    const double beep2 = timeMs([&] { demo.shell.beep(); });
    std::printf("first beep %.1f ms, a later beep %.1f ms (readied 2 s after the start)\n", beep1, beep2);
    std::printf("readying the beep (tone module, audio output) %.1f ms, off the start\n", ready);

    platform::BridgeHandle handle{};
    const double open1 = timeMs([&] {
        if (demo.usb.open(0, handle) == 0) demo.usb.close(handle);
    });
    const double open2 = timeMs([&] {
        if (demo.usb.open(0, handle) == 0) demo.usb.close(handle);
    });
    std::printf("first USB bridge open attempt %.1f ms, a later one %.1f ms\n", open1, open2);
    std::fflush(stdout);
    std::_Exit(0);
}
