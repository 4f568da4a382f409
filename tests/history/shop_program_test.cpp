// The whole program with a shop database named in its own settings: a run on the simulated
// station goes to the local history and from there to the server, with the bench's name;
// Run History shows the shop's runs while the server answers.
#include "app/run_history_link.h"
#include "history/run_history_window.h"
#include "history/run_list_model.h"
#include "history/run_view_window.h"
#include "tests/history/history_rig.h"
#include "tests/history/pg_server.h"
#include "tests/history/shop_bench_rig.h"

#include <QLabel>
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

    // Another bench on the same server: Run History lists the shop's runs with their benches
    // and opens the other bench's run with its readings.
    const history::ShopAddress address = *history::parseShopAddress(own.shopDatabase());
    testing_pg::Bench other(address, "Bench B");
    ASSERT_TRUE(other.forwarding->start());
    ASSERT_TRUE(other.local.writeRun(testing_pg::sampleRun(30, "4712")));
    ASSERT_TRUE(testing_pg::pumpUntil([&] { return onServer("SELECT COUNT(*) FROM runs") == 2; }, 10000));
    h.rig->program->openRunHistory();
    history::RunHistoryWindow* w = h.rig->program->runHistory().window();
    ASSERT_TRUE(testing_pg::pumpUntil([&] { return w->showingShop() && w->countText() == "2 runs"; }, 10000));
    EXPECT_FALSE(w->noticeLabel->isVisible());
    EXPECT_EQ(w->stationBox->count(), 3);  // all, this bench and Bench B
    const int row = w->model()->index(0, history::RunListModel::Board).data().toString() == "4712" ? 0 : 1;
    w->openRun(row);
    ASSERT_TRUE(testing_pg::pumpUntil([&] { return w->runWindow() != nullptr; }, 10000));
    EXPECT_EQ(w->runWindow()->run().station, "Bench B");
    EXPECT_EQ(w->runWindow()->run().rows.size(), 30u);

    // The server goes away: this PC's runs with a notice; it comes back by itself.
    ASSERT_TRUE(server.stop());
    h.rig->program->runHistory().shopRuns()->refresh();
    ASSERT_TRUE(testing_pg::pumpUntil([&] { return !w->showingShop(); }, 10000));
    EXPECT_EQ(w->countText(), "1 run");
    EXPECT_TRUE(w->noticeLabel->text().contains("not reachable")) << w->noticeLabel->text().toStdString();
    ASSERT_TRUE(server.startAgain()) << server.why().toStdString();
    h.rig->clock.runUntil([] { return false; }, app::RunHistoryLink::kShopReadingMs + 1000);
    ASSERT_TRUE(testing_pg::pumpUntil([&] { return w->showingShop(); }, 10000));
    EXPECT_EQ(w->countText(), "2 runs");
}
