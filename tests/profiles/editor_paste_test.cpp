// The editor's Paste list: what it offers, how the alloy picks from it, what it remembers
// per profile name, and the designed curve checked against the paste chosen.
#include "process/paste_window.h"
#include "tests/profiles/editor_fixture.h"
#include "tests/support/qt_printers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using testsupport::Editor;

TEST_F(Editor, ThePasteListFollowsTheAlloyUnlessChosenRemembersPerNameAndChecksTheCurve) {
    settings::OwnSettings settings(rig.state, rig.dir.filePath("user"));
    process::PasteWindow indium = process::builtInWindows()[1];
    indium.name = "Indium 8.9";
    ASSERT_TRUE(process::saveUserWindows(settings, {indium}));
    own = &settings;
    open();
    auto* list = find<QComboBox>("cboPaste");
    auto choose = [list](const QString& paste) {
        list->setCurrentIndex(list->findText(paste));
        emit list->activated(list->currentIndex());
    };
    auto name = [this](const QString& text) {
        editor->Text7->setText(text);
        emit editor->Text7->editingFinished();
    };
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(2), "Indium 8.9");
    EXPECT_EQ(list->itemText(3), "None");
    EXPECT_EQ(list->currentText(), "Sn63Pb37");
    find<QRadioButton>("Option5")->click();
    EXPECT_EQ(list->currentText(), "SAC305");

    name("BGA A");
    choose("Indium 8.9");
    find<QRadioButton>("Option4")->click();
    EXPECT_EQ(list->currentText(), "Indium 8.9") << "the operator's choice outlasts an alloy click";
    dialogs.questionAnswers = {platform::Dialogs::Answer::No};  // don't save the changes
    find<QPushButton>("Command2")->click();  // New: "Untitled", leaded
    EXPECT_EQ(list->currentText(), "Sn63Pb37");
    name("BGA A");
    EXPECT_EQ(list->currentText(), "Indium 8.9") << "the name brings its paste back";

    // A curve peaking at 190 C, against the paste chosen; none checks nothing.
    for (auto [box, value] : {std::pair{"Text1", "100"}, {"Text3", "150"}, {"Text5", "190"}})
        find<QLineEdit>(box)->setText(value);
    choose("Sn63Pb37");
    editor->refreshCurveFromBoxes();
    EXPECT_TRUE(editor->panel(2).contains("Curve: peak 190 C below 205-235 C")) << editor->panel(2).toStdString();
    choose("None");
    EXPECT_EQ(editor->panel(2), "");
    EXPECT_EQ(settings.lastPaste("BGA A"), "None");
    editor.reset();  // before the settings it was given
}
