// A shop's benches in one history: the Station column and the filter by station.
#include "history/run_database.h"
#include "history/run_history_window.h"
#include "history/run_list_model.h"
#include "tests/history/history_samples.h"
#include "tests/support/screenshot.h"
#include "tests/support/scripted_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using history::RunListModel;

TEST(ShopStations, TheWindowListsEachBenchAndFiltersByIt) {
    QTemporaryDir dir;
    history::RunDatabase db;
    ASSERT_TRUE(db.open(dir.filePath(history::RunDatabase::kFileName)));
    const struct {
        const char* board;
        const char* station;
    } runs[] = {{"4711", "Bench B"}, {"4712", "Bench A"}, {"4713", "Bench B"}, {"4714", ""}};
    int day = 1;
    for (const auto& r : runs) {
        history::RunEntry run = testsupport::sampleRun(r.board, QDateTime(QDate(2026, 12, day++), QTime(9, 0)));
        run.station = r.station;
        ASSERT_TRUE(db.writeRun(run));
    }
    testsupport::ScriptedDialogs dialogs;
    history::RunHistoryWindow window(db, dialogs, dir.path(), process::builtInWindows());
    window.show();
    auto* stations = window.findChild<QComboBox*>("stationBox");
    ASSERT_TRUE(stations);
    ASSERT_EQ(stations->count(), 3);
    EXPECT_EQ(stations->itemText(0), "All stations");
    EXPECT_EQ(stations->itemText(1), "Bench A");
    testsupport::saveShot(window, "history_stations.png");

    stations->setCurrentIndex(2);
    emit stations->activated(2);
    QAbstractItemModel* table = window.runTable->model();
    ASSERT_EQ(table->rowCount(), 2);
    for (int row = 0; row < 2; ++row) EXPECT_EQ(table->index(row, RunListModel::Station).data().toString(), "Bench B");
    EXPECT_EQ(table->index(0, RunListModel::Board).data().toString(), "4713");

    window.refresh();  // a run ended: the choice stays
    EXPECT_EQ(stations->currentText(), "Bench B");
    EXPECT_EQ(table->rowCount(), 2);
    emit stations->activated(0);
    EXPECT_EQ(table->rowCount(), 4);
}
