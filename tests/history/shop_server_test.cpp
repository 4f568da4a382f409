// The shop database on a real PostgreSQL server of the test's own: two benches at once, a
// server that goes away in the middle of a run, a wrong password, an older schema.
#include "history/run_columns.h"
#include "history/run_list_query.h"
#include "history/shop_mirror.h"
#include "history/shop_probe.h"
#include "tests/history/pg_server.h"
#include "tests/history/shop_bench_rig.h"
#include "tests/support/qt_printers.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <thread>

using namespace history;
using namespace testing_pg;

namespace {

PgServer& server() {
    static PgServer s;
    return s;
}

// One server for all cases (initdb is the slow part); each case has its own role and
// database, and the password file PGPASSFILE names.
struct ShopServer : ::testing::Test {
    static void SetUpTestSuite() {
        if (!server().running() && server().folder().isEmpty()) server().start();
    }
    static void TearDownTestSuite() { server().stop(); }

    QTemporaryDir home;
    QString passFile;
    ShopAddress address;

    void SetUp() override {
        ASSERT_TRUE(server().running()) << "the test's PostgreSQL server did not start: " << server().why().toStdString();
        static int n = 0;
        const QString name = QString("bench%1").arg(++n);
        ASSERT_TRUE(server().addRoleAndDatabase(name, "pw-" + name, name)) << server().why().toStdString();
        address = {name, server().host(), server().port(), name};
        passFile = home.filePath("pgpass");
        ASSERT_TRUE(writePasswordFile(passFile, server(), name, "pw-" + name));
        qputenv("PGPASSFILE", QFile::encodeName(passFile));
        qunsetenv("PGPASSWORD");
    }
    long long count(const QString& sql) { return server().number(sql, address.database); }
};

TEST_F(ShopServer, TwoBenchesWritingAtOnceLandEachRunOnceWithTheirStation) {
    Bench a(address, "Bench A"), b(address, "Bench B");
    ASSERT_TRUE(a.forwarding->start());
    ASSERT_TRUE(b.forwarding->start());  // both meet an empty database at once
    std::vector<RunEntry> sent;
    for (int i = 0; i < 6; ++i) {
        for (Bench* bench : {&a, &b}) {
            RunEntry r = sampleRun(120, QString("B-%1").arg(i));
            ASSERT_TRUE(bench->local.writeRun(r));
            sent.push_back(r);
        }
    }
    ASSERT_TRUE(pumpUntil([&] { return count("SELECT COUNT(*) FROM runs") == 12 && a.forwarding->waiting() == 0 &&
                                       b.forwarding->waiting() == 0; },
                          20000));
    EXPECT_EQ(count("SELECT COUNT(*) FROM run_rows"), 12 * 120);
    EXPECT_EQ(count("SELECT COUNT(*) FROM runs WHERE station = 'Bench A'"), 6);
    EXPECT_EQ(count("SELECT COUNT(*) FROM schema_version"), newestSchemaVersion());
    EXPECT_EQ(a.saidWith("brought to schema version") + b.saidWith("brought to schema version"), 1);

    // A send whose answer was lost comes again: the server keeps the first.
    ShopConnection again(address);
    ASSERT_TRUE(again.open().ok());
    RunEntry changed = sent[3];
    changed.board = "other";
    EXPECT_EQ(again.send(changed, "Bench C"), ShopConnection::Sent::AlreadyThere);
    EXPECT_EQ(count("SELECT COUNT(*) FROM runs WHERE board = 'other' OR station = 'Bench C'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM run_rows WHERE run_id = '" + sent[3].runId + "'"), 120);

    // What the shop sees is what the bench kept, rows and gaps included.
    QSqlQuery q(again.connection());
    ASSERT_TRUE(q.exec("SELECT * FROM runs WHERE run_id = '" + sent[3].runId + "'") && q.next());
    const RunEntry back = runFromRecord(q.record());
    EXPECT_EQ(back.board, sent[3].board);
    EXPECT_EQ(back.started.toSecsSinceEpoch(), sent[3].started.toSecsSinceEpoch());
    EXPECT_EQ(back.pwi, sent[3].pwi);
    EXPECT_EQ(back.points[2].upperHeater, "FAST REFLOW");
    EXPECT_EQ(count("SELECT COUNT(*) FROM run_rows WHERE board_c IS NULL AND run_id = '" + sent[3].runId + "'"),
              3);  // the gaps in the readings stay gaps
}

TEST_F(ShopServer, AnOlderSchemaIsMigratedByTheFirstBenchOnly) {
    {
        ShopConnection old(address);
        ASSERT_TRUE(old.open().ok());
        ASSERT_EQ(old.ensureSchema(2), 2);
    }
    std::vector<int> applied(4, -2);
    std::vector<std::thread> benches;
    for (int& steps : applied)
        benches.emplace_back([&steps, this] {
            ShopConnection c(address);
            steps = c.open().ok() ? c.ensureSchema() : -3;
        });
    for (auto& t : benches) t.join();
    std::sort(applied.begin(), applied.end());
    EXPECT_EQ(applied, (std::vector<int>{0, 0, 0, newestSchemaVersion() - 2}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM schema_version"), newestSchemaVersion());
    EXPECT_EQ(count("SELECT COUNT(*) FROM information_schema.columns WHERE table_name = 'runs' AND column_name = "
                    "'station'"),
              1);
}

TEST_F(ShopServer, ServerAwayDuringARunGetsTheRunOnceAndTheUiThreadNeverWaits) {
    Bench bench(address, "Bench A", {{50, 100, 200, 400}});
    ASSERT_TRUE(bench.forwarding->start());
    RunEntry run = sampleRun(600, "4711");
    run.outcome = outcome::kRunning;
    ASSERT_TRUE(bench.local.writeRunLine(run));  // the run starts...
    ASSERT_TRUE(server().stop());                // ...the server goes away...
    run.outcome = outcome::kFinished;
    qint64 longest = 0;
    QElapsedTimer write;
    write.start();
    ASSERT_TRUE(bench.local.writeRun(run));  // ...and the run ends
    const qint64 writeNs = write.nsecsElapsed();
    EXPECT_EQ(bench.forwarding->waiting(), 0);  // counted on the next turn of the loop
    ASSERT_TRUE(pumpUntil([&] { return bench.saidWith("not reachable") == 1; }, 5000, &longest));
    EXPECT_EQ(bench.forwarding->waiting(), 1);
    EXPECT_TRUE(bench.said.last().endsWith("The run is kept on this PC and sent when it answers.")) << bench.said.last().toStdString();
    pumpUntil([] { return false; }, 2500, &longest);  // away for a while (30 s at the bench)
    ASSERT_TRUE(server().startAgain()) << server().why().toStdString();
    ASSERT_TRUE(pumpUntil([&] { return bench.forwarding->waiting() == 0; }, 15000, &longest));

    EXPECT_EQ(count("SELECT COUNT(*) FROM runs"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM run_rows"), 600);
    EXPECT_EQ(bench.saidWith("not reachable"), 1);
    EXPECT_EQ(bench.saidWith("runs that waited are being sent"), 1);
    EXPECT_LT(longest, 5'000'000) << "longest turn of the UI thread's loop, ns";
    std::cout << "longest turn of the loop " << longest / 1000 << " us, the local write " << writeNs / 1000
              << " us\n";
}

TEST_F(ShopServer, AWrongPasswordIsSaidOnceTheRunsWaitOverARestartAndGoUpOnceTheFileIsMended) {
    ASSERT_TRUE(writePasswordFile(passFile, server(), address.user, "wrong"));
    Bench bench(address, "Bench A");
    ASSERT_TRUE(bench.forwarding->start());
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(bench.local.writeRun(sampleRun(30, QString::number(i))));
    ASSERT_TRUE(pumpUntil([&] { return bench.saidWith("refused the password") > 0; }, 5000));
    pumpUntil([] { return false; }, 700);  // several more tries
    EXPECT_EQ(bench.saidWith("refused the password"), 1) << bench.said.join("\n").toStdString();
    EXPECT_EQ(bench.forwarding->waiting(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM pg_tables WHERE tablename = 'runs'"), 0);  // never got in

    // Leaving keeps them; the next start finds them waiting.
    bench.forwarding.reset();
    QStringList said;
    ShopForwarding next(bench.local, address, "Bench A", [&](const QString& line) { said << line; }, {{50}});
    ASSERT_TRUE(next.start());
    EXPECT_EQ(said.value(0), "2 runs wait for the shop database");

    ASSERT_TRUE(writePasswordFile(passFile, server(), address.user, "pw-" + address.user));
    ASSERT_TRUE(pumpUntil([&] { return next.waiting() == 0; }, 5000));
    EXPECT_EQ(count("SELECT COUNT(*) FROM runs"), 2);
    EXPECT_EQ(bench.local.runCount(), 2);
}

TEST_F(ShopServer, TheShopsRunsAreCopiedLinesFirstRowsWhenAskedAndAnAbsentServerIsSaid) {
    Bench a(address, "Bench A"), b(address, "Bench B");
    for (Bench* bench : {&a, &b}) {
        ASSERT_TRUE(bench->forwarding->start());
        for (const char* board : {"4711", "4712"}) ASSERT_TRUE(bench->local.writeRun(sampleRun(10, board)));
    }
    ASSERT_TRUE(pumpUntil([&] { return count("SELECT COUNT(*) FROM runs") == 4; }, 10000));

    ShopMirror mirror(address, a.dir.filePath(ShopMirror::kFileName));
    ASSERT_TRUE(mirror.open());
    int answers = 0;
    QObject::connect(&mirror, &ShopMirror::refreshed, [&] { ++answers; });
    mirror.refresh();
    qint64 longest = 0;
    ASSERT_TRUE(pumpUntil([&] { return answers == 1; }, 10000, &longest));
    ASSERT_TRUE(mirror.reached()) << mirror.notice().toStdString();
    EXPECT_TRUE(mirror.notice().isEmpty());
    std::vector<RunEntry> copied;
    ASSERT_TRUE(readRunList(mirror.database().connection(), {"", "Bench B"}, copied, nullptr));
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(mirror.database().runCount(), 4);
    EXPECT_TRUE(mirror.database().rows(copied[0].runId).empty()) << "rows are copied when a run is opened";

    std::optional<QString> fetched;
    mirror.fetchRows({copied[0].runId}, [&](const QString& error) { fetched = error; });
    ASSERT_TRUE(pumpUntil([&] { return fetched.has_value(); }, 10000, &longest));
    EXPECT_EQ(*fetched, "");
    EXPECT_EQ(mirror.database().rows(copied[0].runId).size(), 10u);
    EXPECT_LT(longest, 5'000'000) << "longest turn of the UI thread's loop, ns";

    // A new run elsewhere comes in with the next reading; the rows already copied stay.
    ASSERT_TRUE(b.local.writeRun(sampleRun(10, "4713")));
    ASSERT_TRUE(pumpUntil([&] { return count("SELECT COUNT(*) FROM runs") == 5; }, 10000));
    mirror.refresh();
    ASSERT_TRUE(pumpUntil([&] { return answers == 2; }, 10000));
    ASSERT_TRUE(mirror.reached()) << mirror.notice().toStdString();
    EXPECT_EQ(mirror.database().runCount(), 5);
    EXPECT_EQ(mirror.database().rows(copied[0].runId).size(), 10u);

    ShopMirror away({address.user, "127.0.0.1", 1, address.database}, b.dir.filePath(ShopMirror::kFileName));
    ASSERT_TRUE(away.open());
    bool answered = false;
    QObject::connect(&away, &ShopMirror::refreshed, [&] { answered = true; });
    away.refresh();
    ASSERT_TRUE(pumpUntil([&] { return answered; }, 10000));
    EXPECT_FALSE(away.reached());
    EXPECT_EQ(away.notice(), "The shop database on 127.0.0.1:1 was not reachable within 5 s. These are this PC's runs.");
}

TEST_F(ShopServer, EarlierRunsGoUpAndARunTheServerRefusesDoesNotHoldTheOthers) {
    Bench bench(address, "Bench A", {{20, 40}});
    ASSERT_TRUE(bench.local.writeRun(sampleRun(10, "kept before")));  // before any shop database was named
    ASSERT_TRUE(bench.forwarding->start());
    ASSERT_TRUE(pumpUntil([&] { return count("SELECT COUNT(*) FROM runs") == 1; }, 10000));
    ASSERT_TRUE(server().exec("ALTER TABLE runs ADD CONSTRAINT no_scrap CHECK (board <> 'scrap')", address.database));
    ASSERT_TRUE(bench.local.writeRun(sampleRun(10, "scrap")));
    ASSERT_TRUE(bench.local.writeRun(sampleRun(10, "4711")));
    ASSERT_TRUE(pumpUntil([&] { return count("SELECT COUNT(*) FROM runs WHERE board = '4711'") == 1 &&
                                       bench.saidWith("was refused by the shop database") == 1; },
                          15000));
    EXPECT_TRUE(bench.said.filter("was refused").first().contains("(board scrap)"));
    EXPECT_TRUE(pumpUntil([&] { return bench.forwarding->waiting() == 1; }, 5000));  // kept, offered again at the next start
    EXPECT_EQ(count("SELECT COUNT(*) FROM runs"), 2);
}

TEST_F(ShopServer, TestConnectionSaysWhatHappened) {
    auto ask = [](const QString& text) {
        QString words;
        QObject context;
        probeShop(text, &context, [&](const QString& w) { words = w; });
        pumpUntil([&] { return !words.isEmpty(); }, 10000);
        return words;
    };
    const QString at = QString("@%1:%2/").arg(server().host()).arg(server().port());
    EXPECT_EQ(ask("postgresql://" + address.user + at + address.database),
              plainWords(address, {}));
    EXPECT_TRUE(ask("postgresql://" + address.user + at + "nothere").contains("has no database named nothere"));
    EXPECT_TRUE(ask("postgresql://nobody_here" + at + address.database).contains("refused the password"));
    EXPECT_EQ(ask("postgresql://bench@127.0.0.1:1/runs"),
              "The shop database on 127.0.0.1:1 was not reachable within 5 s.");
    EXPECT_TRUE(ask("postgresql://bench:pw@127.0.0.1/runs").startsWith("Not tried: the address holds a password"));
}

}  // namespace
