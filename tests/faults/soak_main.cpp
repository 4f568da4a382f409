// Soak: the whole program against the simulated station with faults for many virtual
// hours, the operator pressing main-window buttons at random and, on the clock, saving a
// profile to a station slot every ten minutes and running one every hour. The diagnostic list
// is kept as the program keeps it (bounded, every line also in the log file). Reports heap and
// resident memory, open handles, list size, ticks, runs and saves every hour, and the growth
// after the warm-up.
// Usage: kr_soak [hours=24] [seed=1]; KR_SOAK_NO_HAND=1 leaves the profile half alone, to
// compare the growth with and without it; KR_SOAK_CLEAR_LIST=1 clears the diagnostic list
// every hour, as an operator pressing "Clear" would.
#include "app/diagnostic_log.h"
#include "platform/heap_trim.h"
#include "tests/support/fault_simulation.h"
#include "tests/support/profile_hand.h"
#include "tests/support/program_rig.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include <cstdio>
#include <malloc.h>
#include <cstdlib>

namespace {
long statusKb(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}
// Bytes the program holds on the heap now: steadier than RSS, which follows the allocator's
// trimming.
long heapKb() { return long(mallinfo2().uordblks / 1024); }
int openHandles() { return int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size()); }
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int hours = argc > 1 ? std::max(1, std::atoi(argv[1])) : 24;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;

    testsupport::ProgramRig rig(testsupport::ProgramRig::settingsWith("AutoTCPlot", "1"), 7, seed);
    app::DiagnosticLog diagnosticLog(rig.state.Diagnostics, *rig.form, rig.dir.filePath("userdata"));
    rig.start();
    mainwin::Form1& f = *rig.form;
    QPushButton* buttons[] = {f.cmdUhUp, f.cmdUhDown, f.cmdLhUp, f.cmdLhDown, f.CmdCancel, f.Command3, f.Command10,
                              f.Command12};
    testsupport::RunView view{rig.state, rig.clock, rig.station, rig.program->link, *rig.poller,
                              [&buttons](int k) { buttons[k]->click(); }, 8};
    // The profile half too: the editor (retrieve, save, runs, Stop) and the defaults tool.
    testsupport::ProfileHand hand(*rig.program, rig.clock, rig.station, seed);
    hand.setDialogs(&rig.dialogs);
    hand.keepSchedule(10 * 60000, 60 * 60000, 5 * 60000);
    // The windows the hand closes are deleted right after, as the event loop would once the
    // handler that closed them has returned.
    if (!std::getenv("KR_SOAK_NO_HAND"))
        view.hand = [&hand](const testsupport::RunView::Trace& t) {
            hand.act(t);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
    // The rig's own log of bridge calls is not the program's memory: it is emptied every tick.
    view.handCheck = [&hand, &rig] {
        rig.bridgeCalls.calls.clear();
        return hand.check();
    };
    view.windDown = [&hand](const testsupport::RunView::Trace& t) { hand.windDown(t); };

    // anon_kB: the resident memory that is the program's own; the rest of rss_kB is library
    // code and data read in from files as more of it is used. large_kB: blocks the allocator
    // maps on their own (large images), held now but not counted in heap_kB.
    std::printf("hour  ticks    list_lines  heap_kB   rss_kB  anon_kB  large_kB  peak_rss_kB  open_fds  faults  "
                "runs (finished)  saves (verified)\n");
    long rssHour2 = 0, anonHour2 = 0, heapHour2 = 0;
    int fdsHour2 = 0, listHour2 = 0;
    std::uint64_t faults = 0;
    for (int h = 1; h <= hours; ++h) {
        const auto r = testsupport::runFaultSimulation(view, {seed * 1000 + std::uint64_t(h), 60, 0.02});
        faults = 0;  // the station counts from its start
        for (const auto& [k, n] : r.faults) faults += n;
        if (!r.ok) {
            std::printf("FAILED: %s\n%s", r.failure.c_str(), r.lastEvents.c_str());
            return 1;
        }
        // What the event loop does between events: what the window system and the program
        // posted this hour is delivered and the windows closed this hour are deleted.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig.clock.runPending();  // and what their going scheduled at once
        const int listLines = rig.state.Diagnostics.size();
        if (std::getenv("KR_SOAK_CLEAR_LIST")) f.Command11->click();
        // Resident memory as it is right after the program's hourly return of free heap pages,
        // so that every hour is read in the same state, whatever the allocator held just then.
        platform::returnFreeHeap();
        const long rss = statusKb("VmRSS:");
        const long anon = statusKb("RssAnon:");
        const long heap = heapKb();
        if (h <= 2) {
            rssHour2 = rss;
            anonHour2 = anon;
            heapHour2 = heap;
            listHour2 = rig.state.Diagnostics.size();
            fdsHour2 = openHandles();
        }
        const auto count = [&hand](const char* what) {
            const auto it = hand.actions().find(what);
            return static_cast<unsigned long long>(it == hand.actions().end() ? 0 : it->second);
        };
        const long large = long(mallinfo2().hblkhd / 1024);
        std::printf("%4d  %7llu  %10d  %7ld  %7ld  %7ld  %8ld  %11ld  %8d  %6llu  %4llu (%4llu)     %5llu (%5llu)\n", h,
                    static_cast<unsigned long long>(r.ticks), listLines, heap, rss, anon, large, statusKb("VmHWM:"),
                    openHandles(), static_cast<unsigned long long>(faults), count("Run"), count("run finished"),
                    count("Save to the station"), count("saved and verified"));
        std::fflush(stdout);
    }
    std::printf("operator actions and run outcomes:");
    for (const auto& [what, n] : hand.actions()) std::printf(" %s %llu;", what.c_str(), static_cast<unsigned long long>(n));
    std::printf("\n");
    // The first two hours are the warm-up: windows built once, the station's history filled.
    platform::returnFreeHeap();
    std::printf("growth from hour 2 to hour %d: heap %ld kB, RSS %ld kB (anonymous %ld kB), open handles %d", hours,
                heapKb() - heapHour2, statusKb("VmRSS:") - rssHour2, statusKb("RssAnon:") - anonHour2,
                openHandles() - fdsHour2);
    if (!std::getenv("KR_SOAK_CLEAR_LIST"))
        std::printf(", with %d more diagnostic lines shown (%lld removed to keep the bound)",
                    rig.state.Diagnostics.size() - listHour2, static_cast<long long>(rig.state.Diagnostics.dropped()));
    std::printf("\n");
    if (std::getenv("KR_SOAK_QUICK_EXIT")) std::_Exit(0);  // leaves what is live for a heap profiler to list
    return 0;
}
