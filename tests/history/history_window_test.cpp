// The Run History window over a real database: the count, the filter by board, operator and
// profile, the date range and the sort, all driven by the controls' object names; a run
// opened with its chart and figures, exported as CSV and picture; no database: the notice.
#include "history/run_database.h"
#include "history/run_history_window.h"
#include "history/run_import.h"
#include "history/run_list_model.h"
#include "history/run_view_window.h"
#include "tests/history/history_samples.h"
#include "tests/support/screenshot.h"
#include "tests/support/scripted_dialogs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <qcustomplot.h>

#include <gtest/gtest.h>

using history::RunListModel;

namespace {

struct HistoryWindow : ::testing::Test {
    QTemporaryDir dir;
    history::RunDatabase db;
    testsupport::ScriptedDialogs dialogs;
    std::unique_ptr<history::RunHistoryWindow> window;

    void SetUp() override {
        ASSERT_TRUE(db.open(dir.filePath(history::RunDatabase::kFileName)));
        const struct {
            const char* board;
            const char* who;
            int day;
            double pwi;
        } runs[] = {{"4711-A", "Ana", 1, 80}, {"0815", "Bo", 5, 40}, {"4711-B", "Cem", 9, 120}};
        for (const auto& r : runs) {
            history::RunEntry run = testsupport::sampleRun(r.board, QDateTime(QDate(2026, 12, r.day), QTime(10, 0)));
            run.operatorName = r.who;
            run.pwi = r.pwi;
            ASSERT_TRUE(db.writeRun(run));
        }
        window = std::make_unique<history::RunHistoryWindow>(db, dialogs, dir.path(), process::builtInWindows());
        window->show();
    }
    template <class W>
    W* child(const char* name) {
        W* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString count() { return child<QLabel>("countLabel")->text(); }
    QString cell(int row, int column) {
        auto* table = child<QTableView>("runTable");
        return table->model()->index(row, column).data().toString();
    }
};

TEST_F(HistoryWindow, TheFilterFindsByBoardOperatorOrProfileAndTheDatesNarrowIt) {
    EXPECT_EQ(count(), "3 runs");
    EXPECT_EQ(cell(0, RunListModel::Board), "4711-B") << "the newest first";
    testsupport::saveShot(*window, "run_history.png");
    auto* filter = child<QLineEdit>("filterBox");
    QTest::keyClicks(filter, "4711");
    EXPECT_EQ(count(), "2 of 3 runs");
    filter->clear();
    QTest::keyClicks(filter, "bo");
    EXPECT_EQ(count(), "1 of 3 runs");
    EXPECT_EQ(cell(0, RunListModel::Board), "0815");
    filter->setText("north");  // the profile name, in any case
    EXPECT_EQ(count(), "3 runs");
    filter->setText("50%");  // a wildcard is a character like any other
    EXPECT_EQ(count(), "0 of 3 runs");

    filter->clear();
    child<QDateEdit>("fromDate")->setDate(QDate(2026, 12, 2));
    child<QDateEdit>("toDate")->setDate(QDate(2026, 12, 5));
    EXPECT_EQ(count(), "3 runs") << "the dates count once ticked";
    child<QCheckBox>("datesBox")->setChecked(true);
    EXPECT_EQ(count(), "1 of 3 runs");
    EXPECT_EQ(cell(0, RunListModel::Board), "0815") << "the last day counts whole";
}

TEST_F(HistoryWindow, EveryColumnSortsBothWays) {
    auto* table = child<QTableView>("runTable");
    table->horizontalHeader()->setSortIndicator(RunListModel::Pwi, Qt::AscendingOrder);
    EXPECT_EQ((QStringList{cell(0, RunListModel::Pwi), cell(1, RunListModel::Pwi), cell(2, RunListModel::Pwi)}),
              (QStringList{"40%", "80%", "120%"}));
    table->horizontalHeader()->setSortIndicator(RunListModel::Operator, Qt::DescendingOrder);
    EXPECT_EQ(cell(0, RunListModel::Operator), "Cem");
    for (int column = 0; column < RunListModel::RunId; ++column) {
        table->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
        EXPECT_EQ(table->model()->rowCount(), 3) << "column " << column;
        EXPECT_TRUE(window->model()->lastError().isEmpty()) << window->model()->lastError().toStdString();
    }
    table->horizontalHeader()->setSortIndicator(RunListModel::Date, Qt::AscendingOrder);
    EXPECT_EQ(cell(0, RunListModel::Board), "4711-A");
}

TEST_F(HistoryWindow, ARunOpensWithItsChartAndFiguresAndExportsAsCsvAndPicture) {
    child<QTableView>("runTable")->selectRow(1);
    child<QPushButton>("openRun")->click();
    history::RunViewWindow* view = window->runWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->run().board, "0815");
    auto* figures = view->findChild<QTableWidget*>("figuresTable");
    ASSERT_NE(figures, nullptr);
    QStringList shown;
    for (int r = 0; r < figures->rowCount(); ++r) shown << figures->item(r, 0)->text() + "=" + figures->item(r, 1)->text();
    EXPECT_TRUE(shown.contains("Board=0815"));
    EXPECT_TRUE(shown.contains("Operator=Bo"));
    EXPECT_TRUE(shown.contains("PWI=40%"));
    EXPECT_EQ(view->chart().plot()->graphCount(), 2);
    testsupport::saveShot(*view, "run_view.png");
    EXPECT_EQ(view->chart().plot()->graph(0)->dataCount(), 239) << "the once-a-second rows";

    dialogs.answers << dir.filePath("exported") << dir.filePath("exported.gif");
    dialogs.chosenFilters << 0 << 0;
    view->findChild<QPushButton*>("exportRun")->click();
    QFile csv(dir.filePath("exported.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << "the first entry's extension completes the name";
    EXPECT_EQ(QString::fromLatin1(csv.readAll()), history::recordLines(view->run().rows).join("\r\n") + "\r\n");
    view->findChild<QPushButton*>("exportRun")->click();
    QImage gif(dir.filePath("exported.gif"));
    EXPECT_EQ(gif.size(), QSize(750, 310));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HistoryWindow, AtMostFiveTicksAndNoHistoryIsSaid) {
    QStringList shown;
    window->setOverlayHandler([&](const history::RunDatabase&, const QStringList& ids) { shown = ids; });
    child<QPushButton>("showOverlay")->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, history::RunHistoryWindow::kNoneTicked);
    for (int i = 0; i < 4; ++i) db.writeRun(testsupport::sampleRun("more", QDateTime(QDate(2026, 11, 1 + i), QTime(8, 0))));
    window->refresh();
    EXPECT_EQ(count(), "7 runs");
    auto* model = window->model();
    for (int row = 0; row < 6; ++row) model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(model->tickedRuns().size(), 5);
    EXPECT_EQ(dialogs.messages.back().text, history::RunHistoryWindow::kTooMany);
    EXPECT_EQ(model->index(5, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    child<QPushButton>("showOverlay")->click();
    EXPECT_EQ(shown, model->tickedRuns());

    history::RunDatabase none;
    testsupport::writeBytes(dir.filePath("file"), "x");
    none.open(dir.filePath("file/sub/x.sqlite"));
    history::RunHistoryWindow empty(none, dialogs, dir.path(), {});
    empty.show();
    EXPECT_TRUE(empty.findChild<QLabel*>("noticeLabel")->isVisible());
    EXPECT_EQ(empty.findChild<QLabel*>("noticeLabel")->text(), none.problem());
    EXPECT_FALSE(empty.findChild<QLineEdit*>("filterBox")->isEnabled());
}

}  // namespace
