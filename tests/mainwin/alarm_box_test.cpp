// The alarm threshold box on the main window: "Accept" takes only a checked value.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {
struct AlarmBox : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};
    mainwin::Form1& form() { return *rig.form; }
    void SetUp() override {
        rig.start();
        ASSERT_TRUE(rig.runTicks(1));
        ASSERT_TRUE(rig.state.MachineOnline);
        QApplication::setActiveWindow(&form());
    }
    void startEditing(const QString& text) {
        if (!form().Check1->isChecked()) QTest::mouseClick(form().Check1, Qt::LeftButton);
        ASSERT_TRUE(form().Text1->isEnabled());
        form().Text1->setFocus();
        form().Text1->setText(text);
    }
};
}  // namespace

TEST_F(AlarmBox, AnEmptiedBoxIsRefusedAndTheAlarmStaysQuiet) {
    startEditing("");
    QTest::mouseClick(form().Command1, Qt::LeftButton);
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Data Error");
    EXPECT_TRUE(rig.dialogs.messages[0].text.contains("from 20 to 400 C")) << rig.dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(form().Text1->hasFocus());
    EXPECT_TRUE(form().Check1->isChecked());  // still editing
    rig.shell.beeps = 0;
    ASSERT_TRUE(rig.runTicks(5));
    EXPECT_EQ(rig.shell.beeps, 0);  // a threshold of 0 would beep every second
}

// Typed and accepted without leaving the box (Enter): the range check runs first, corrects
// the box to the limit it broke and takes nothing; the next Enter takes the correction.
TEST_F(AlarmBox, EnterRunsTheRangeCheckBeforeTakingTheValue) {
    struct Case {
        int unit;
        const char* typed;
        const char* corrected;
        int thresholdC;
    };
    const Case cases[] = {{0, "999", "400", 400}, {0, "5", "20", 20}, {1, "900", "752", 400}, {1, "50", "68", 20}};
    for (const Case& c : cases) {
        rig.state.Settings.TempUnit = std::int16_t(c.unit);
        rig.state.Settings.AlarmThreshold = 205;
        form().Slider1->setValue(205);
        startEditing(c.typed);
        QTest::keyClick(form().Text1, Qt::Key_Return);
        EXPECT_EQ(form().Text1->text(), c.corrected) << c.typed;
        EXPECT_EQ(form().Text1->selectedText(), c.corrected) << c.typed;
        EXPECT_TRUE(form().Text1->hasFocus()) << c.typed;
        EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205) << c.typed;
        EXPECT_EQ(form().Slider1->value(), 205) << c.typed;
        QTest::keyClick(form().Text1, Qt::Key_Return);
        EXPECT_EQ(rig.state.Settings.AlarmThreshold, c.thresholdC) << c.typed;
        EXPECT_FALSE(form().Check1->isChecked()) << c.typed;
    }
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

// With the mouse the same: the press that finds the box out of range corrects it and
// takes nothing, the next one takes it.
TEST_F(AlarmBox, ClickingAcceptOnAnOutOfRangeValueCorrectsFirst) {
    startEditing("450");
    QTest::mouseClick(form().Command1, Qt::LeftButton);
    EXPECT_EQ(form().Text1->text(), "400");
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205);
    EXPECT_TRUE(form().Check1->isChecked());
    QTest::mouseClick(form().Command1, Qt::LeftButton);
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 400);
    EXPECT_EQ(rig.state.Settings.AlarmMSD, 1);
    EXPECT_EQ(rig.state.Settings.AlarmLSD, 144);
    EXPECT_TRUE(rig.state.AlarmHandBackPending);
}

TEST_F(AlarmBox, LeavingTheBoxForAnotherControlCorrectsWithoutMovingTheSlider) {
    startEditing("10");
    form().Slider1->setValue(150);
    form().Slider1->setFocus();  // a real focus change, seen once
    EXPECT_EQ(form().Text1->text(), "20");
    EXPECT_EQ(form().Slider1->value(), 150);
    EXPECT_TRUE(form().Text1->hasFocus());
}

TEST_F(AlarmBox, UntickingEditPutsTheThresholdInForceBack) {
    startEditing("333");
    form().Slider1->setValue(333);
    QTest::mouseClick(form().Check1, Qt::LeftButton);
    EXPECT_FALSE(form().Text1->isEnabled());
    EXPECT_EQ(form().Text1->text(), "205");
    EXPECT_EQ(form().Slider1->value(), 205);
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205);
    EXPECT_FALSE(rig.state.AlarmHandBackPending);

    rig.state.Settings.TempUnit = 1;  // shown in the display unit
    startEditing("600");
    QTest::mouseClick(form().Check1, Qt::LeftButton);
    EXPECT_EQ(form().Text1->text(), "401");
}

TEST_F(AlarmBox, EnterTakesAValueInRangeAndTheBoxShowsIt) {
    startEditing("250");
    QTest::keyClick(form().Text1, Qt::Key_Return);
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 250);
    EXPECT_FALSE(form().Check1->isChecked());
    EXPECT_EQ(form().Text1->text(), "250");
    EXPECT_EQ(form().trendChart().alarmLabel(), "Alarm = 250");
    EXPECT_TRUE(rig.state.AlarmHandBackPending);
}
