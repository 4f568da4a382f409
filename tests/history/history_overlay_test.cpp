// Earlier runs on the editor's chart: two ticked runs drawn in their colours behind the live
// trace, named in the legend, compared in the table beside, kept over redraws until "Clear
// overlay"; a run's profile opened in the editor.
#include "app/run_history_link.h"
#include "history/run_history_window.h"
#include "history/run_list_model.h"
#include "history/run_overlay.h"
#include "profiles/overlay_panel.h"
#include "tests/history/history_rig.h"
#include "tests/history/history_samples.h"
#include "tests/support/screenshot.h"

#include <QCheckBox>
#include <QTest>
#include <QTableWidget>
#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace {

// Pixels of the plot's left half (clear of the legends) in a shade of a colour: the traces
// are thin and antialiased against the black plot.
int pixelsNear(const QImage& image, const QColor& colour) {
    const int top = std::max({colour.red(), colour.green(), colour.blue()});
    int n = 0;
    for (int y = 62; y < 262; ++y)
        for (int x = 55; x < 380; ++x) {
            const QColor c = image.pixelColor(x, y);
            const double k = double(std::max({c.red(), c.green(), c.blue()})) / top;
            if (k >= 0.4 && std::abs(c.red() - k * colour.red()) + std::abs(c.green() - k * colour.green()) +
                                    std::abs(c.blue() - k * colour.blue()) < 40)
                ++n;
        }
    return n;
}

struct Overlay : ::testing::Test {
    testsupport::HistoryRig h;
    history::RunEntry first, second;
    void SetUp() override {
        h.startProgram();
        first = testsupport::sampleRun("4711", QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
        second = testsupport::sampleRun("0815", QDateTime(QDate(2026, 12, 3), QTime(11, 30)), 280);
        for (auto& row : second.rows)
            if (row.boardC) *row.boardC -= 30;
        ASSERT_TRUE(h.db().writeRun(first));
        ASSERT_TRUE(h.db().writeRun(second));
    }
};

TEST_F(Overlay, TwoRunsAreDrawnInTheirColoursUntilCleared) {
    h.rig->form->M_Profile_Run_History->trigger();
    history::RunHistoryWindow* window = h.rig->program->runHistory().window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->countText(), "2 runs");
    for (int row = 0; row < 2; ++row) window->model()->setData(window->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    // Shown from the history with no editor open: the editor opens for them.
    window->findChild<QPushButton*>("showOverlay")->click();
    profiles::Profile_Editor_Form* editor = h.rig->program->editor();
    ASSERT_NE(editor, nullptr);
    const auto& colours = history::overlayColours();
    QImage picture = editor->chart().picture();
    EXPECT_GT(pixelsNear(picture, colours[0]), 150);
    EXPECT_GT(pixelsNear(picture, colours[1]), 150);
    EXPECT_EQ(pixelsNear(picture, colours[2]), 0) << "no third run";

    editor->Text1->setText("100");  // a new curve: the chart is built anew
    editor->refreshCurveFromBoxes();
    picture = editor->chart().picture();
    EXPECT_GT(pixelsNear(picture, colours[1]), 150) << "the overlay survives a redraw";
    EXPECT_GT(pixelsNear(picture, colours[0]), 150);
    QCustomPlot* plot = editor->ChartViewer1;
    ASSERT_EQ(plot->graphCount(), 4);
    EXPECT_EQ(plot->graph(2)->name(), "2026-12-03 11:30  0815") << "in the list's order, the newest first";
    EXPECT_EQ(plot->graph(3)->name(), "2026-12-01 10:00  4711");
    ASSERT_NE(editor->chart().overlayLegend(), nullptr);
    EXPECT_TRUE(editor->chart().overlayLegend()->hasItemWithPlottable(plot->graph(2)));
    EXPECT_TRUE(editor->chart().overlayLegend()->hasItemWithPlottable(plot->graph(3)));

    auto* table = editor->findChild<QTableWidget*>("overlayTable");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(editor->overlayPanel->isVisible());
    testsupport::saveShot(*editor, "editor_overlay.png");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "2026-12-03 11:30  0815");
    EXPECT_EQ(table->item(1, 1)->text(), "40 s") << "time to X1";
    EXPECT_EQ(table->item(1, 4)->text(), "230 C") << "peak";

    editor->findChild<QPushButton*>("clearOverlay")->click();
    EXPECT_EQ(plot->graphCount(), 2);
    EXPECT_EQ(editor->chart().overlayLegend(), nullptr);
    EXPECT_EQ(pixelsNear(editor->chart().picture(), colours[0]), 0);
    EXPECT_FALSE(editor->overlayPanel->isVisible());
}

TEST_F(Overlay, ARunsProfileOpensInTheEditor) {
    h.openEditor();
    h.rig->program->runHistory().openProfile(second);
    EXPECT_EQ(h.editor->Text7->text(), "NORTH BRIDGE");
    EXPECT_EQ(h.editor->temperatureBox(0)->text(), "90");
    EXPECT_EQ(h.editor->temperatureBox(2)->text(), "230");
    EXPECT_EQ(h.editor->messageBox(1)->text(), "SOAK");
    EXPECT_EQ(h.editor->lowerList(0)->currentText(), "PERHEAT");
    EXPECT_EQ(h.editor->upperList(2)->currentText(), "FAST REFLOW");
    EXPECT_TRUE(h.editor->fanBox(2)->isChecked());
    EXPECT_EQ(h.editor->modeList(0)->currentText(), "Park Mode");
    EXPECT_EQ(h.rig->state.X3SetPointC, 230) << "the curve follows the boxes";
}

// The Board and Operator boxes: a scanner's code and Enter, control characters refused, the
// operator remembered for the next editor.
TEST_F(Overlay, TheBoardBoxTakesAScanAndTheOperatorIsRemembered) {
    h.openEditor();
    QTest::keyClicks(h.editor->boardBox, " SN-4711/07 ");
    QTest::keyClick(h.editor->boardBox, Qt::Key_Return);
    EXPECT_EQ(h.editor->boardBox->text(), "SN-4711/07");
    EXPECT_EQ(h.editor->boardBox->selectedText(), "SN-4711/07") << "the next scan replaces it";
    h.editor->boardBox->insert(QString("A") + QChar(0x07) + "B");  // refused whole: nothing goes in
    EXPECT_EQ(h.editor->boardBox->text(), "SN-4711/07");
    h.editor->boardBox->setText(QString(50, 'x'));
    EXPECT_EQ(h.editor->board().size(), 40);

    h.editor->operatorBox->setText("  Dina ");
    emit h.editor->operatorBox->editingFinished();
    h.editor->Command1->click();
    h.rig->program->openEditor(false, false);
    EXPECT_EQ(h.rig->program->editor()->operatorBox->text(), "Dina");
    EXPECT_EQ(h.rig->program->own.operatorName(), "Dina");
}

}  // namespace
