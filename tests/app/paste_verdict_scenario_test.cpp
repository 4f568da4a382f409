// A whole run through reflow against the simulated station, on virtual time, judged against
// the paste chosen in the editor: the verdict waits for the board to cool through the
// liquidus, and its figures are the summary's own.
#include "process/judgement.h"
#include "process/run_file.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>

using testsupport::ProgramRig;

namespace {

// "key: value" lines of the summary file.
std::map<QString, QString> summaryValues(const QString& path) {
    QFile f(path);
    std::map<QString, QString> values;
    if (!f.open(QIODevice::ReadOnly)) return values;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        const int colon = text.indexOf(": ");
        if (colon > 0) values.emplace(text.left(colon), text.mid(colon + 2));
    }
    return values;
}

}  // namespace

TEST(PasteVerdictScenario, AFinishedRunIsJudgedOnceCooledAndItsFiguresAreTheSummarys) {
    ProgramRig rig{ProgramRig::settingsWith("AutoUSB", "1")};
    rig.start();
    ASSERT_TRUE(rig.runTicks(1));
    rig.program->openEditor(false, false);
    profiles::Profile_Editor_Form* editor = rig.program->editor();
    ASSERT_NE(editor, nullptr);
    QStringList events;
    editor->setRunObserver([&events](const QString& e) { events << e; });
    auto reached = [&](const QString& e) { return rig.clock.runUntil([&] { return events.contains(e); }, 30 * 60000); };

    // X1 100 C in park on the lower heater, X2 170 C and X3 215 C in normal mode on both.
    const int temps[] = {100, 170, 215};
    for (int p = 0; p < 3; ++p) {
        editor->temperatureBox(p)->setText(QString::number(temps[p]));
        editor->messageBox(p)->setText(QString("POINT %1").arg(p + 1));
        editor->lowerList(p)->setCurrentIndex(p == 0 ? 1 : 2);
        editor->upperList(p)->setCurrentIndex(p == 0 ? 0 : 1);
    }
    editor->Text7->setText("REFLOW 215");
    ASSERT_EQ(editor->cboPaste->currentText(), "Sn63Pb37");
    rig.station.setMachineMode(core::PositionPark);
    editor->Command5->click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return editor->alert().loaded(); }, 5000));
    editor->alert().form()->Command1->click();
    ASSERT_TRUE(reached("reached X1"));
    rig.station.setMachineMode(core::PositionNormal);
    ASSERT_TRUE(reached("finish"));
    EXPECT_EQ(rig.program->own.lastPaste("REFLOW 215"), "Sn63Pb37") << "the paste a run went with is remembered";

    // Until the board is below 183 C, panel 2 says when the verdict comes.
    EXPECT_TRUE(editor->panel(2).endsWith("verdict once below 183 C")) << editor->panel(2).toStdString();
    auto judged = [&] { return editor->panel(2).startsWith("PASS") || editor->panel(2).startsWith("FAIL"); };
    ASSERT_TRUE(rig.clock.runUntil(judged, 10 * 60000)) << editor->panel(2).toStdString();
    EXPECT_LT(rig.station.thermocoupleReading(), 183.0);
    EXPECT_TRUE(editor->record().recording()) << "the cooling trace goes on into the record";

    // The same code on the record read back gives the verdict the editor and the file show.
    const process::RunFile run = process::readRunRecord(editor->record().csvPath());
    ASSERT_TRUE(run.ok()) << run.error.toStdString();
    const process::Judgement j =
        process::judgeRun(run.rows, process::findWindow(process::builtInWindows(), "Sn63Pb37"), run.stopped);
    EXPECT_TRUE(editor->panel(2).startsWith(j.line() + "  |  Finished after ")) << editor->panel(2).toStdString();
    auto summary = summaryValues(editor->record().basePath() + ".txt");
    EXPECT_EQ(summary["verdict"], j.line());
    EXPECT_EQ(summary["PWI"], j.tableLines().last().mid(5));

    // The summary's own figures, from the same rows.
    using process::Statistic;
    EXPECT_EQ(summary["peak_C"].toDouble(), *j.figures.value(Statistic::Peak));
    EXPECT_EQ(summary["time_above_liquidus_s"].toDouble(), *j.figures.value(Statistic::TimeAboveLiquidus));
    EXPECT_NEAR(summary["steepest_rise_C_per_s"].toDouble(), *j.figures.value(Statistic::HeatingSlope), 0.005);
    EXPECT_NEAR(-summary["steepest_fall_C_per_s"].toDouble(), *j.figures.value(Statistic::CoolingSlope), 0.005);
    EXPECT_GT(*j.figures.value(Statistic::CoolingSlope), 0) << "measured after the peak";
    EXPECT_GE(*j.figures.value(Statistic::Peak), 205) << "the run reached reflow";

    const QImage picture(editor->record().basePath() + ".png");
    EXPECT_FALSE(picture.isNull());
    testsupport::saveShot(*editor, "editor-verdict.png");
    if (!qgetenv("KR_SCREENSHOT_DIR").isEmpty())
        picture.save(QString::fromLocal8Bit(qgetenv("KR_SCREENSHOT_DIR")) + "/run-picture-verdict.png");

    // Leaving the cooling trace ends the record and judges nothing twice.
    editor->Command2->click();
    EXPECT_FALSE(editor->record().recording());
    EXPECT_EQ(summaryValues(editor->record().basePath() + ".txt")["verdict"], j.line());
    rig.expectNoViolations();
}
