// The editor's Paste list: what it offers, how the alloy picks from it, what it remembers
// per profile name, and the designed curve checked against the paste chosen.
#include "process/paste_window.h"
#include "tests/profiles/editor_fixture.h"
#include "tests/support/qt_printers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct EditorPaste : testsupport::Editor {
    settings::OwnSettings settings{rig.state, rig.dir.filePath("user")};

    void SetUp() override {
        process::PasteWindow indium = process::builtInWindows()[1];
        indium.name = "Indium 8.9";
        ASSERT_TRUE(process::saveUserWindows(settings, {indium}));
        own = &settings;
        open();
    }
    QComboBox* list() { return find<QComboBox>("cboPaste"); }
    void choose(const QString& paste) {
        list()->setCurrentIndex(list()->findText(paste));
        emit list()->activated(list()->currentIndex());
    }
    void name(const QString& text) {
        find<QLineEdit>("Text7")->setText(text);
        emit find<QLineEdit>("Text7")->editingFinished();
    }
};

}  // namespace

TEST_F(EditorPaste, TheAlloyPicksItsPasteUnlessTheOperatorChoseAnotherAndTheChoiceIsRememberedPerName) {
    ASSERT_EQ(list()->count(), 4);
    EXPECT_EQ(list()->itemText(2), "Indium 8.9");
    EXPECT_EQ(list()->itemText(3), "None");
    EXPECT_EQ(list()->currentText(), "Sn63Pb37");
    find<QRadioButton>("Option5")->click();
    EXPECT_EQ(list()->currentText(), "SAC305");

    name("BGA A");
    choose("Indium 8.9");
    find<QRadioButton>("Option4")->click();
    EXPECT_EQ(list()->currentText(), "Indium 8.9") << "the operator's choice outlasts an alloy click";
    EXPECT_EQ(settings.lastPaste("BGA A"), "Indium 8.9");

    find<QPushButton>("Command2")->click();  // New: "Untitled", leaded
    EXPECT_EQ(list()->currentText(), "Sn63Pb37");
    name("BGA A");
    EXPECT_EQ(list()->currentText(), "Indium 8.9") << "the name brings its paste back";
    name("BGA B");
    EXPECT_EQ(list()->currentText(), "Indium 8.9") << "a name without a choice changes nothing";

    // The window a run is judged against goes with the list; a run locks the list.
    editor->LockEditor();
    EXPECT_FALSE(list()->isEnabled());
    EXPECT_FALSE(find<QToolButton>("cmdPasteWindows")->isEnabled());
    editor->UnlockEditor();
    EXPECT_TRUE(list()->isEnabled());
}

TEST_F(EditorPaste, TheCurveIsCheckedAgainstThePasteChosenAndNotAtAllWithoutOne) {
    // Peaks at 190 C: below both built-in peak bands, inside the low one of a user's window.
    for (auto [box, value] : {std::pair{"Text1", "100"}, {"Text3", "150"}, {"Text5", "190"}})
        find<QLineEdit>(box)->setText(value);
    editor->refreshCurveFromBoxes();
    EXPECT_TRUE(editor->panel(2).contains("Curve: peak 190 C below 205-235 C")) << editor->panel(2).toStdString();
    choose("SAC305");
    EXPECT_TRUE(editor->panel(2).contains("Curve: peak 190 C below 235-250 C")) << editor->panel(2).toStdString();
    choose("None");
    EXPECT_EQ(editor->panel(2), "");
}
