#pragma once
// The whole program on virtual time against the simulated station, with an editor to run a
// profile in, for the history's scenarios.
#include "app/program.h"
#include "history/run_database.h"
#include "tests/support/program_rig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace testsupport {

struct HistoryRig {
    std::unique_ptr<ProgramRig> rig = std::make_unique<ProgramRig>(ProgramRig::settingsWith("AutoUSB", "1"));
    profiles::Profile_Editor_Form* editor = nullptr;
    QStringList events;

    void startProgram() {
        rig->start();
        ASSERT_TRUE(rig->runTicks(1));
    }
    void openEditor() {
        rig->program->openEditor(false, false);
        editor = rig->program->editor();
        ASSERT_NE(editor, nullptr);
        editor->setRunObserver([this](const QString& e) { events << e; });
    }
    // X1 80 C in park, X2 150 C and X3 215 C in normal mode, on board `board`.
    void enterProfile(const QString& board, const QString& who) {
        const int temps[] = {80, 150, 215};
        for (int p = 0; p < 3; ++p) {
            editor->temperatureBox(p)->setText(QString::number(temps[p]));
            editor->messageBox(p)->setText(QString("POINT %1").arg(p + 1));
            editor->lowerList(p)->setCurrentIndex(p == 0 ? 1 : 2);
            editor->upperList(p)->setCurrentIndex(p == 0 ? 0 : 1);
        }
        editor->Text7->setText("NORTH BRIDGE");
        editor->boardBox->setText(board);
        editor->operatorBox->setText(who);
    }
    // Confirmed, X1 reached in park, then normal mode for X2 and X3.
    void runToX1() {
        rig->station.setMachineMode(core::PositionPark);
        editor->Command5->click();
        ASSERT_TRUE(rig->clock.runUntil([&] { return editor->alert().loaded(); }, 5000));
        editor->alert().form()->Command1->click();
        ASSERT_TRUE(reached("reached X1"));
        rig->station.setMachineMode(core::PositionNormal);
    }
    bool reached(const QString& e, std::int64_t withinMs = 30 * 60 * 1000) {
        return rig->clock.runUntil([&] { return events.contains(e); }, withinMs);
    }
    history::RunDatabase& db() { return rig->program->runHistory().database(); }
};

}  // namespace testsupport
