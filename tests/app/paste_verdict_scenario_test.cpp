// A whole run through reflow against the simulated station on virtual time, judged against
// the editor's paste once the board has cooled through the liquidus: the verdict the editor
// and the summary file show is the one the same code gives on the record read back, and its
// figures are the summary's own.
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

#include <array>
#include <map>

using process::Statistic;
using testsupport::ProgramRig;

namespace {

// The "key: value" lines of a summary file.
std::map<QString, QString> summaryValues(const QString& path) {
    QFile f(path);
    std::map<QString, QString> values;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (const int colon = line.indexOf(": "); colon > 0)
                values.emplace(QString::fromLatin1(line.left(colon)), QString::fromLatin1(line.mid(colon + 2)).trimmed());
    return values;
}

}  // namespace

TEST(PasteVerdictScenario, AFinishedRunIsJudgedOnceCooledAndItsFiguresAreTheSummarys) {
    ProgramRig rig{ProgramRig::settingsWith("AutoUSB", "1")};
    rig.start();
    ASSERT_TRUE(rig.runTicks(1));
    rig.program->openEditor(false, false);
    profiles::Profile_Editor_Form* editor = rig.program->editor();
    QStringList events;
    editor->setRunObserver([&events](const QString& e) { events << e; });
    auto reached = [&](const QString& e) { return rig.clock.runUntil([&] { return events.contains(e); }, 1800000); };

    // X1 100 C in park on the lower heater, X2 170 C and X3 215 C in normal mode on both.
    for (int p = 0; p < 3; ++p) {
        editor->temperatureBox(p)->setText(QString::number(std::array{100, 170, 215}[std::size_t(p)]));
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
    EXPECT_TRUE(editor->panel(2).endsWith("verdict once below 183 C")) << editor->panel(2).toStdString();
    ASSERT_TRUE(rig.clock.runUntil([&] { return editor->panel(2).contains("PWI"); }, 600000));
    EXPECT_LT(rig.station.thermocoupleReading(), 183.0);

    const process::RunFile run = process::readRunRecord(editor->record().csvPath());
    const process::Judgement j =
        process::judgeRun(run.rows, process::findWindow(process::builtInWindows(), "Sn63Pb37"), run.stopped);
    EXPECT_TRUE(editor->panel(2).startsWith(j.line() + "  |  Finished after ")) << editor->panel(2).toStdString();
    auto summary = summaryValues(editor->record().basePath() + ".txt");
    EXPECT_EQ(summary["verdict"], j.line());
    EXPECT_EQ(summary["PWI"], j.tableLines().last().mid(5));
    EXPECT_EQ(summary["peak_C"].toDouble(), *j.figures.value(Statistic::Peak));
    EXPECT_GE(*j.figures.value(Statistic::Peak), 205) << "the run reached reflow";
    EXPECT_EQ(summary["time_above_liquidus_s"].toDouble(), *j.figures.value(Statistic::TimeAboveLiquidus));
    EXPECT_NEAR(summary["steepest_rise_C_per_s"].toDouble(), *j.figures.value(Statistic::HeatingSlope), 0.005);
    EXPECT_NEAR(-summary["steepest_fall_C_per_s"].toDouble(), *j.figures.value(Statistic::CoolingSlope), 0.005);
    EXPECT_GT(*j.figures.value(Statistic::CoolingSlope), 0) << "measured after the peak";
    testsupport::saveShot(*editor, "editor-verdict.png");
    rig.expectNoViolations();
}
