#pragma once
// One bench as the shop database sees it: its own local runs database in a temporary
// folder and its store-and-forward, with what it said to the diagnostic list.
#include "history/run_database.h"
#include "history/shop_forwarding.h"
#include "tests/history/history_samples.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include <sys/resource.h>
#include <time.h>
#include <memory>

namespace testing_pg {

// A finished run of `rows` once-a-second rows, started now.
inline history::RunEntry sampleRun(int rows, const QString& board) {
    return testsupport::sampleRun(board, QDateTime::currentDateTime(), rows);
}

struct Bench {
    QTemporaryDir dir;
    history::RunDatabase local;
    QStringList said;
    std::unique_ptr<history::ShopForwarding> forwarding;

    Bench(const history::ShopAddress& address, const QString& station, history::RetryPauses pauses = {{50, 100, 200}}) {
        local.open(dir.filePath(history::RunDatabase::kFileName));
        forwarding = std::make_unique<history::ShopForwarding>(
            local, address, station, [this](const QString& line) { said << line; }, pauses);
    }
    int saidWith(const QString& words) const { return int(said.filter(words).size()); }
};

// How long one turn of the loop kept this thread: its wall time, or only its CPU time when
// the system took the processor away in the middle of it (involuntary switches: the
// machine was busy with other work, which is no wait of ours). A blocking wait for the
// server shows as wall time without those switches.
class TurnTimer {
public:
    TurnTimer() : cpu_(cpuNs()), switches_(involuntarySwitches()) { wall_.start(); }
    qint64 ns() const {
        return involuntarySwitches() == switches_ ? wall_.nsecsElapsed() : cpuNs() - cpu_;
    }

private:
    static qint64 cpuNs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    }
    static long involuntarySwitches() {
        rusage u{};
        getrusage(RUSAGE_THREAD, &u);
        return u.ru_nivcsw;
    }
    QElapsedTimer wall_;
    qint64 cpu_;
    long switches_;
};

// Lets the event loop run until `done` or the deadline, like the program's UI thread; the
// longest turn of the loop (where everything the forwarding does on this thread happens)
// is kept in `longestNs`.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs, qint64* longestNs = nullptr) {
    QElapsedTimer all;
    all.start();
    while (!done()) {
        if (all.elapsed() > timeoutMs) return false;
        const TurnTimer turn;
        QCoreApplication::processEvents();
        if (longestNs) *longestNs = std::max(*longestNs, turn.ns());
        QThread::msleep(1);
    }
    return true;
}

}  // namespace testing_pg
