// The editor asks before dropping changes, judges the order of the three temperatures once
// the operator leaves them, and refuses a station save out of order without locking.
#include "tests/profiles/editor_fixture.h"
#include "tests/support/qt_printers.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using testsupport::Editor;
using Answer = platform::Dialogs::Answer;

namespace {

struct EditorChanges : Editor {
    void SetUp() override {
        open();
        QApplication::setActiveWindow(editor.get());  // real focus moves between the boxes
    }
    QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
    // Types into a box, then moves the focus on as the operator would.
    void type(const char* name, const QString& text, const char* next) {
        box(name)->setFocus();
        box(name)->setText(text);
        find<QWidget>(next)->setFocus();
    }
    QStringList messages() const {
        QStringList out;
        for (const auto& m : dialogs.messages) out << m.text;
        return out;
    }
    void fill(const QString& name) {
        box("Text7")->setText(name);
        type("Text1", "150", "Text3");
        type("Text3", "200", "Text5");
        type("Text5", "240", "Text2");
        for (const char* m : {"Text2", "Text4", "Text6"}) box(m)->setText("GO");
    }
};

}  // namespace

TEST_F(EditorChanges, NewOpenAndClosingAskOnlyAfterAChangeAndEachAnswerDoesWhatItSays) {
    editor->Command2_Click();
    EXPECT_TRUE(dialogs.questions.empty()) << "nothing changed: nothing to ask";
    fill("BGA-7");

    dialogs.questionAnswers = {Answer::Cancel};
    find<QPushButton>("Command2")->click();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, "Save the changes to BGA-7?");
    EXPECT_TRUE(dialogs.questions[0].saveChanges);
    EXPECT_EQ(box("Text7")->text(), "BGA-7") << "Cancel keeps the profile";

    const QString file = rig.dir.filePath("bga7.znt");
    dialogs.questionAnswers = {Answer::Yes};
    dialogs.answers = {file};
    find<QPushButton>("Command2")->click();
    EXPECT_TRUE(QFile::exists(file)) << "Save writes the file first";
    EXPECT_EQ(box("Text7")->text(), "Untitled") << "then New goes on";

    dialogs.answers = {file};
    find<QPushButton>("Command3")->click();  // the file just opened: no changes yet
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(box("Text7")->text(), "BGA-7");
    find<QCheckBox>("Check1")->setChecked(true);
    dialogs.questionAnswers = {Answer::Yes};
    dialogs.answers = {QString()};  // the save dialog cancelled: nothing is dropped
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(closed, 0);

    dialogs.questionAnswers = {Answer::No};
    editor->close();
    rig.clock.advance(1);
    EXPECT_EQ(dialogs.questions.size(), 4u);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(mainEnabled);
}

TEST_F(EditorChanges, NewAfterALoadedProfileResetsTheBoxesAndSlotButKeepsTheCurve) {
    fill("LOADED");
    const QString file = rig.dir.filePath("loaded.znt");
    dialogs.answers = {file};
    editor->Command4_Click();
    dialogs.answers = {file};
    editor->Command3_Click();
    find<QRadioButton>("Option3")->setChecked(true);
    find<QRadioButton>("Option5")->click();
    const double peak = editor->chart().profileCurve()[200];

    editor->Command2_Click();
    EXPECT_TRUE(dialogs.questions.empty()) << "slot and alloy are no changes to the profile";
    EXPECT_EQ(box("Text7")->text(), "Untitled");
    EXPECT_TRUE(box("Text1")->text().isEmpty());
    EXPECT_TRUE(find<QRadioButton>("Option1")->isChecked()) << "Profile 1";
    EXPECT_TRUE(find<QRadioButton>("Option4")->isChecked()) << "Leaded";
    EXPECT_DOUBLE_EQ(editor->chart().profileCurve()[200], peak) << "the old curve stays";
    EXPECT_NEAR(peak, 240, 1e-6);
}

TEST_F(EditorChanges, RaisingTheProfileInNaturalOrderSaysNothingUntilTheGroupIsLeft) {
    fill("RAISE");
    type("Text1", "210", "Text3");  // above the old X2 for now
    type("Text3", "220", "Text5");
    type("Text5", "260", "Text2");
    EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
    EXPECT_EQ(rig.state.X1SetPointC, 210);
    EXPECT_EQ(rig.state.X3SetPointC, 260);

    type("Text3", "301", "Text5");
    EXPECT_EQ(messages().value(0), "X2 Temperature Must be Less than 300 C") << "a box's own range on leaving it";
    type("Text3", "200", "Text1");
    EXPECT_EQ(messages().size(), 1) << "inside the group the order waits";
    find<QWidget>("Text2")->setFocus();
    EXPECT_EQ(messages().value(1), "X2 Temperature Must be > X1 Value");
    EXPECT_EQ(QApplication::focusWidget(), box("Text3"));
}

TEST_F(EditorChanges, AStationSaveOutOfOrderIsRefusedAndLeavesTheEditorUnlocked) {
    box("Text1")->setText("150");
    box("Text3")->setText("140");
    box("Text5")->setText("200");
    editor->Command7_Click();
    EXPECT_EQ(editor->panel(1), "ERROR: X2 must be greater than or equal X1 ... Please correct");
    EXPECT_FALSE(editor->locked());
    EXPECT_TRUE(box("Text1")->isEnabled());
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotProfileWrite]);
}
