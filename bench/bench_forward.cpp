// Forwarding to the shop database: 1,000 queued runs of 600 rows each sent to a PostgreSQL
// server of its own on this machine (durable settings: each commit flushed), runs per
// second, and the UI thread's longest turn of its loop meanwhile. A small program rather
// than a Google Benchmark: the figure is one long run, not a repeated short one.
//   build/bin/bench_forward [runs] [rows]
#include "history/forward_queue.h"
#include "tests/history/pg_server.h"
#include "tests/history/shop_bench_rig.h"

#include <QCoreApplication>
#include <QSqlDatabase>

#include <cstdio>

using namespace history;
using namespace testing_pg;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 600;
    PgServer server;
    if (!server.start(true) || !server.addRoleAndDatabase("bench", "bench-pw", "shop")) {
        std::fprintf(stderr, "no server: %s\n", qPrintable(server.why()));
        return 1;
    }
    QTemporaryDir home;
    writePasswordFile(home.filePath("pgpass"), server, "bench", "bench-pw");
    qputenv("PGPASSFILE", QFile::encodeName(home.filePath("pgpass")));
    qunsetenv("PGPASSWORD");

    const ShopAddress address{"bench", server.host(), server.port(), "shop"};
    Bench bench(address, "Bench A");
    ForwardQueue queue(bench.local);
    queue.ensureTable();
    QSqlDatabase db = bench.local.connection();
    for (int i = 0; i < runs; ++i) {
        const RunEntry run = sampleRun(rows, QString::number(i));
        if (!bench.local.writeRun(run) || !ForwardQueue::add(db, run.runId)) return std::fprintf(stderr, "local\n"), 1;
    }
    std::printf("%d runs of %d rows queued\n", queue.count(), rows);

    QElapsedTimer all;
    all.start();
    qint64 longest = 0;
    bench.forwarding->start();
    if (!pumpUntil([&] { return bench.forwarding->waiting() == 0; }, 600000, &longest)) {
        std::fprintf(stderr, "not all sent: %s\n", qPrintable(bench.said.join(" | ")));
        return 1;
    }
    const double s = all.nsecsElapsed() / 1e9;
    std::printf("forwarded %d runs in %.2f s: %.1f runs/s (%.0f rows/s); longest UI-thread turn %.3f ms\n", runs, s,
                runs / s, runs * double(rows) / s, longest / 1e6);
    std::printf("on the server: %lld runs, %lld rows\n", server.number("SELECT COUNT(*) FROM runs", "shop"),
                server.number("SELECT COUNT(*) FROM run_rows", "shop"));
    return 0;
}
