// The profile editor window, driven offscreen by object name against the simulated station.
#include "profiles/profile_editor_form.h"
#include "tests/profiles/editor_fixture.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"
#include "tests/support/scripted_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QFileInfo>
#include <QFile>
#include <QImage>

#include <cmath>

#include <gtest/gtest.h>

using profiles::Profile_Editor_Form;
using testsupport::Editor;


TEST_F(Editor, OpensWithTheDefaultsAndTurnsPlottingOffUntilItCloses) {
    rig.connect();
    rig.state.Settings.AutoTCPlot = true;
    open();
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(rig.state.Settings.AutoTCPlot);
    EXPECT_TRUE(editor->PlotWasOn());
    EXPECT_EQ(editor->windowTitle(), "KR-9300 Profile Editor");
    EXPECT_EQ(find<QLineEdit>("Text7")->text(), "Untitled");
    EXPECT_TRUE(find<QRadioButton>("Option4")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("Option1")->isChecked());
    EXPECT_EQ(find<QComboBox>("Combo7")->currentText(), "Park Mode");
    EXPECT_EQ(find<QComboBox>("Combo8")->currentText(), "Normal Mode");
    EXPECT_EQ(find<QComboBox>("Combo1")->itemText(1), "PERHEAT");
    EXPECT_FALSE(find<QComboBox>("Combo1")->isEditable());
    EXPECT_EQ(find<QLabel>("Label2_0")->text(), " C");
    EXPECT_TRUE(find<QPushButton>("Command6")->isEnabled());
    EXPECT_EQ(rig.state.EditorState, 0);
    testsupport::saveShot(*editor, "profile_editor.png");

    find<QPushButton>("Command1")->click();
    EXPECT_TRUE(mainEnabled);
    EXPECT_TRUE(rig.state.Settings.AutoTCPlot);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(Editor, TheStationCommandsFollowTheLinkAndSayWhyTheyAreOff) {
    rig.state.Settings.TempUnit = 1;
    open();
    rig.clock.advance(600);
    for (const char* name : {"Command5", "Command6", "Command7", "Command9", "Option1", "Option2", "Option3"})
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(editor->panel(2), profiles::Profile_Editor_Form::kOfflineNote);
    EXPECT_EQ(find<QLabel>("Label2_2")->text(), " F");
    rig.connect();
    rig.clock.advance(3000);
    for (const char* name : {"Command5", "Command6", "Command7", "Command9", "Option1", "Option2", "Option3"})
        EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(editor->panel(2).isEmpty());
    EXPECT_FALSE(rig.state.Settings.AutoTCPlot) << "plotting was off and stays off";
    rig.station.unplug();
    rig.clock.advance(15000);
    EXPECT_FALSE(find<QWidget>("Command7")->isEnabled()) << "offline again";
    find<QPushButton>("Command1")->click();
    EXPECT_FALSE(rig.state.Settings.AutoTCPlot);
}

TEST_F(Editor, NewKeepsFourAndThreeListEntriesAndResetsTheProfile) {
    open();
    find<QLineEdit>("Text1")->setText("100");
    find<QLineEdit>("Text7")->setText("BGA");
    find<QComboBox>("Combo7")->setCurrentIndex(0);
    find<QRadioButton>("Option5")->setChecked(true);
    find<QCheckBox>("Check2")->setChecked(true);
    for (int i = 0; i < 5; ++i) editor->appendSample();
    dialogs.questionAnswers = {platform::Dialogs::Answer::No};  // the changes dropped, once
    for (int i = 0; i < 3; ++i) find<QPushButton>("Command2")->click();
    EXPECT_EQ(dialogs.questions.size(), 1u);
    for (const char* l : {"Combo1", "Combo3", "Combo5"}) EXPECT_EQ(find<QComboBox>(l)->count(), 4) << l;
    for (const char* u : {"Combo2", "Combo4", "Combo6"}) EXPECT_EQ(find<QComboBox>(u)->count(), 3) << u;
    EXPECT_TRUE(find<QLineEdit>("Text1")->text().isEmpty());
    EXPECT_EQ(find<QLineEdit>("Text7")->text(), "Untitled");
    EXPECT_EQ(find<QComboBox>("Combo7")->currentText(), "Park Mode");
    EXPECT_TRUE(find<QRadioButton>("Option4")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("Check2")->isChecked());
    EXPECT_EQ(editor->chart().TcSampleCount, 0) << "the live trace starts afresh";
    for (int i = 1; i < 5; ++i) EXPECT_TRUE(std::isnan(editor->chart().TcTrace.at(i))) << i;
}

TEST_F(Editor, TheLockCoversExactlyTheThirtyThreeControls) {
    rig.connect();
    open();
    ASSERT_EQ(editor->lockableControls().size(), 33);
    editor->LockEditor();
    for (QWidget* w : editor->lockableControls()) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
    editor->UnlockEditor();
    for (QWidget* w : editor->lockableControls()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
}

TEST_F(Editor, TheCloseBoxLeavesWhenIdleAndRefusesWhileLocked) {
    rig.connect();
    rig.state.Settings.AutoTCPlot = true;
    open();
    editor->LockEditor();
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->panel(2), Profile_Editor_Form::kBusyClosing);
    EXPECT_FALSE(mainEnabled);
    editor->UnlockEditor();
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(mainEnabled);
    EXPECT_TRUE(rig.state.Settings.AutoTCPlot);
    EXPECT_EQ(closed, 1);
}

TEST_F(Editor, ARunFromTheWindowLocksItAndLeavesARecord) {
    rig.connect();
    rig.station.setMachineMode(core::PositionPark);
    open();
    find<QLineEdit>("Text1")->setText("60");
    find<QLineEdit>("Text2")->setText("PREHEAT");
    find<QLineEdit>("Text3")->setText("100");
    find<QLineEdit>("Text4")->setText("SOAK");
    find<QLineEdit>("Text5")->setText("120");
    find<QLineEdit>("Text6")->setText("REFLOW");
    find<QLineEdit>("Text7")->setText("SMALL BGA");
    for (const char* c : {"Combo8", "Combo9"}) find<QComboBox>(c)->setCurrentIndex(1);  // park throughout
    find<QComboBox>("Combo1")->setCurrentIndex(1);
    find<QComboBox>("Combo3")->setCurrentIndex(1);
    find<QComboBox>("Combo5")->setCurrentIndex(1);
    find<QPushButton>("Command5")->click();
    EXPECT_EQ(find<QPushButton>("Command5")->text(), "Stop");
    EXPECT_FALSE(find<QWidget>("Command1")->isEnabled());
    ASSERT_TRUE(rig.clock.runUntil([&] { return editor->alert().loaded(); }, 5000));
    EXPECT_FALSE(editor->isEnabled()) << "the alert disables the editor";
    testsupport::saveShot(*editor, "editor-run-under-way.png");
    testsupport::saveShot(*editor->alert().form(), "editor-run-alert.png");
    editor->alert().form()->Command1->click();
    EXPECT_TRUE(editor->isEnabled());
    ASSERT_TRUE(rig.clock.runUntil([&] { return editor->runCaption() == "Run"; }, 60 * 60 * 1000));
    EXPECT_EQ(editor->panel(1), "Process: Profile Finished Successfully");
    // The figures, and the verdict against the alloy's paste once the board has cooled: 120 C
    // is far below a leaded paste's peak window.
    EXPECT_TRUE(editor->panel(2).startsWith("Finished after ")) << editor->panel(2).toStdString();
    EXPECT_TRUE(editor->Cooling_Graph_Timer().enabled());
    EXPECT_TRUE(editor->record().recording()) << "the cooling trace goes on into the record";
    ASSERT_TRUE(rig.clock.runUntil([&] { return editor->panel(2).startsWith("FAIL  PWI "); }, 5 * 60 * 1000))
        << editor->panel(2).toStdString();
    EXPECT_TRUE(editor->panel(2).contains("|  Finished after ")) << editor->panel(2).toStdString();
    dialogs.questionAnswers = {platform::Dialogs::Answer::No};
    find<QPushButton>("Command2")->click();  // New stops the cooling trace and its record
    EXPECT_FALSE(editor->record().recording());
    EXPECT_TRUE(editor->panel(2).startsWith("FAIL  PWI ")) << "the verdict stays";
    QFile summary(editor->record().basePath() + ".txt");
    ASSERT_TRUE(summary.open(QIODevice::ReadOnly));
    const QByteArray text = summary.readAll();
    EXPECT_TRUE(text.contains("PWI: ")) << "the verdict's table follows the summary";
    const QImage picture(editor->record().basePath() + ".png");
    EXPECT_EQ(picture.width(), 750) << "the run picture beside the record";
    EXPECT_GT(picture.height(), 310) << "its figures in a band below the chart";
    if (!qgetenv("KR_SCREENSHOT_DIR").isEmpty())
        picture.save(QString::fromLocal8Bit(qgetenv("KR_SCREENSHOT_DIR")) + "/run-picture.png");
    QFile csv(editor->record().csvPath());
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_GT(lines.size(), 20);
    EXPECT_FALSE(lines[11].split(',').value(2).isEmpty()) << "the profile column follows the curve: " << lines[11].toStdString();
}
