// The editor asks before dropping changes, judges the order of the three temperatures once
// the operator leaves them, and refuses a station save out of order without locking.
#include "tests/profiles/editor_fixture.h"
#include "tests/support/qt_printers.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

using Answer = platform::Dialogs::Answer;

namespace {
struct EditorChanges : testsupport::Editor {
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
    void fill(const char* x1, const char* x2, const char* x3) {
        box("Text7")->setText("BGA-7");
        for (const char* m : {"Text2", "Text4", "Text6"}) box(m)->setText("GO");
        type("Text1", x1, "Text3");
        type("Text3", x2, "Text5");
        type("Text5", x3, "Text2");
    }
    QString file = rig.dir.filePath("bga7.znt");
};
}  // namespace

TEST_F(EditorChanges, CommandsAskOnlyAfterAChangeAndEachAnswerDoesWhatItSays) {
    editor->Command2_Click();
    EXPECT_TRUE(dialogs.questions.empty()) << "nothing changed: nothing to ask";
    fill("150", "200", "240");
    dialogs.questionAnswers = {Answer::Cancel, Answer::Yes};
    dialogs.answers = {file};
    editor->Command2_Click();
    EXPECT_EQ(box("Text7")->text(), "BGA-7") << "Cancel keeps the profile";
    editor->Command2_Click();
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[1].text, "Save the changes to BGA-7?");
    EXPECT_TRUE(QFile::exists(file)) << "Save writes the file first";
    EXPECT_EQ(box("Text7")->text(), "Untitled") << "then New goes on";

    // New after a loaded profile: no question, slot and alloy reset, the old curve kept.
    dialogs.answers = {file};
    editor->Command3_Click();
    find<QRadioButton>("Option3")->setChecked(true);
    find<QRadioButton>("Option5")->click();  // the curve moves at once
    EXPECT_NEAR(editor->chart().profileCurve()[200], 240, 1e-6);
    editor->Command2_Click();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_TRUE(find<QRadioButton>("Option1")->isChecked() && find<QRadioButton>("Option4")->isChecked());
    EXPECT_NEAR(editor->chart().profileCurve()[200], 240, 1e-6) << "the old curve stays";

    find<QCheckBox>("Check1")->setChecked(true);
    dialogs.questionAnswers = {Answer::Yes, Answer::No};
    dialogs.answers = {QString()};  // Save, its dialog cancelled: nothing is dropped
    editor->close();
    EXPECT_EQ(closed, 0);
    editor->close();  // Don't Save
    rig.clock.advance(1);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(mainEnabled);
}

TEST_F(EditorChanges, RaisingInNaturalOrderSaysNothingUntilTheGroupIsLeftAndAStationSaveOutOfOrderIsRefused) {
    fill("150", "200", "240");
    fill("210", "220", "260");  // X1 above the old X2 on the way
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(rig.state.X1SetPointC, 210);
    type("Text3", "301", "Text5");
    EXPECT_EQ(dialogs.messages.back().text, "X2 Temperature Must be Less than 300 C") << "its own range at once";
    type("Text3", "140", "Text1");
    EXPECT_EQ(dialogs.messages.size(), 1u) << "inside the group the order waits";
    type("Text1", "150", "Text2");
    EXPECT_EQ(dialogs.messages.back().text, "X2 Temperature Must be > X1 Value");
    EXPECT_EQ(QApplication::focusWidget(), box("Text3"));

    editor->Command7_Click();
    EXPECT_EQ(editor->panel(1), "ERROR: X2 must be greater than or equal X1 ... Please correct");
    EXPECT_FALSE(editor->locked());
    EXPECT_TRUE(box("Text1")->isEnabled());
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotProfileWrite]);
}
