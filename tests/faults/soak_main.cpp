// Soak: the whole program against the simulated station with faults for many virtual
// hours. Reports memory, open handles, diagnostic-list growth and ticks every hour.
// Usage: kr_soak [hours=24] [seed=1]; KR_SOAK_NO_HAND=1 leaves the profile half alone, to
// compare the growth with and without it.
#include "tests/support/fault_simulation.h"
#include "tests/support/profile_hand.h"
#include "tests/support/program_rig.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

namespace {
long statusKb(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}
int openHandles() { return int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size()); }
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int hours = argc > 1 ? std::max(1, std::atoi(argv[1])) : 24;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;

    testsupport::ProgramRig rig(testsupport::ProgramRig::settingsWith("AutoTCPlot", "1"), 7, seed);
    rig.start();
    mainwin::Form1& f = *rig.form;
    QPushButton* buttons[] = {f.cmdUhUp, f.cmdUhDown, f.cmdLhUp, f.cmdLhDown, f.CmdCancel, f.Command3, f.Command10,
                              f.Command12};
    testsupport::RunView view{rig.state, rig.clock, rig.station, rig.program->link, *rig.poller,
                              [&buttons](int k) { buttons[k]->click(); }, 8};
    // The profile half too: the editor (retrieve, save, runs, Stop) and the defaults tool.
    testsupport::ProfileHand hand(*rig.program, rig.clock, rig.station, seed);
    if (!std::getenv("KR_SOAK_NO_HAND")) view.hand = [&hand](const testsupport::RunView::Trace& t) { hand.act(t); };
    view.handCheck = [&hand] { return hand.check(); };
    view.windDown = [&hand](const testsupport::RunView::Trace& t) { hand.windDown(t); };

    std::printf("hour  ticks    list_lines  rss_kB   peak_rss_kB  open_fds  faults  runs  saves\n");
    long rssHour1 = 0, listHour1 = 0;
    std::uint64_t faults = 0;
    for (int h = 1; h <= hours; ++h) {
        const auto r = testsupport::runFaultSimulation(view, {seed * 1000 + std::uint64_t(h), 60, 0.02});
        faults = 0;  // the station counts from its start
        for (const auto& [k, n] : r.faults) faults += n;
        if (!r.ok) {
            std::printf("FAILED: %s\n%s", r.failure.c_str(), r.lastEvents.c_str());
            return 1;
        }
        // What the event loop does between events: windows closed this hour are deleted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const long rss = statusKb("VmRSS:");
        if (h == 1) {
            rssHour1 = rss;
            listHour1 = rig.state.Diagnostics.size();
        }
        const auto count = [&hand](const char* what) {
            const auto it = hand.actions().find(what);
            return static_cast<unsigned long long>(it == hand.actions().end() ? 0 : it->second);
        };
        std::printf("%4d  %7llu  %10d  %7ld  %11ld  %8d  %6llu  %4llu  %5llu\n", h,
                    static_cast<unsigned long long>(r.ticks), rig.state.Diagnostics.size(), rss, statusKb("VmHWM:"),
                    openHandles(), static_cast<unsigned long long>(faults), count("Run"), count("Save to the station"));
        std::fflush(stdout);
    }
    const long rss = statusKb("VmRSS:");
    const long lines = rig.state.Diagnostics.size() - listHour1;
    std::printf("growth after hour 1: %ld kB of memory with %ld more diagnostic lines (%.0f bytes a line)\n",
                rss - rssHour1, lines, lines > 0 ? 1024.0 * double(rss - rssHour1) / double(lines) : 0.0);
    return 0;
}
