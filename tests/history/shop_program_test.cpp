// The whole program with a shop database named in its own settings: a run on the simulated
// station goes to the local history and from there to the server, with the bench's name.
#include "tests/history/history_rig.h"
#include "tests/history/pg_server.h"
#include "tests/history/shop_bench_rig.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

TEST(ShopProgram, ARunOnTheSimulatedStationReachesTheShopDatabaseWithItsStation) {
    testing_pg::PgServer server;
    ASSERT_TRUE(server.start() && server.addRoleAndDatabase("bench", "pw", "shop")) << server.why().toStdString();
    QTemporaryDir home;
    ASSERT_TRUE(testing_pg::writePasswordFile(home.filePath("pgpass"), server, "bench", "pw"));
    qputenv("PGPASSFILE", QFile::encodeName(home.filePath("pgpass")));
    qunsetenv("PGPASSWORD");

    testsupport::HistoryRig h;
    settings::OwnSettings& own = h.rig->program->own;
    own.setShopDatabase(QString("postgresql://bench@%1:%2/shop").arg(server.host()).arg(server.port()));
    h.startProgram();
    ASSERT_NE(h.rig->program->runHistory().shop(), nullptr);
    h.openEditor();
    h.enterProfile("4711", "Ana");
    h.runToX1();
    ASSERT_TRUE(h.reached("finish"));
    // Handed to the history once judged, when the board has cooled.
    ASSERT_TRUE(h.rig->clock.runUntil([&] { return h.editor->panel(2).contains("PWI"); }, 15 * 60 * 1000));
    ASSERT_EQ(h.db().runCount(), 1);

    auto onServer = [&](const QString& sql) { return server.number(sql, "shop"); };
    ASSERT_TRUE(testing_pg::pumpUntil([&] { return onServer("SELECT COUNT(*) FROM runs") == 1; }, 10000));
    EXPECT_EQ(onServer("SELECT COUNT(*) FROM runs WHERE board = '4711' AND station = '" + own.stationName() + "'"), 1);
    QSqlQuery local(h.db().connection());
    ASSERT_TRUE(local.exec("SELECT COUNT(*) FROM run_rows") && local.next());
    EXPECT_EQ(onServer("SELECT COUNT(*) FROM run_rows"), local.value(0).toLongLong());
    EXPECT_TRUE(testing_pg::pumpUntil([&] { return h.rig->program->runHistory().shop()->waiting() == 0; }, 5000));
}
