// What the main window says where it is seen: the diagnostic list from the View menu, a
// safety event or a guard stop in the status bar while plotting is off, an empty threshold
// box in Options, and the run records folder that could not be opened.
#include "mainwin/options_form.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using stationlink::SafetyNotice;

namespace {
struct Visible : ::testing::Test {
    testsupport::ProgramRig rig;
    mainwin::Form1& form() { return *rig.form; }
    void SetUp() override { rig.start(); }
};
}  // namespace

TEST_F(Visible, ViewDiagnosticLogShowsTheListAndAnEmptyOptionsBoxIsRefusedWithItsRange) {
    form().M_View_Diagnostic_Log->trigger();
    EXPECT_TRUE(form().List1->isVisibleTo(&form()));
    form().toggleDiagnostics();  // the key chord's way
    EXPECT_FALSE(form().M_View_Diagnostic_Log->isChecked());

    rig.program->openOptions();
    auto* dialog = form().findChildren<mainwin::OptionsForm*>().last();
    dialog->Text1->clear();
    dialog->Command1->click();
    dialog->Text1->setText("205");
    dialog->Option2->click();  // Fahrenheit
    dialog->Text2->clear();
    dialog->Command1->click();
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "The alarm threshold box is empty. Type a value from 20 to 400 C.");
    EXPECT_EQ(rig.dialogs.messages[1].text, "The safety threshold box is empty. Type a value from 176 to 752 F.");
    EXPECT_TRUE(dialog->Text2->text().isEmpty()) << "nothing put in its place";

    rig.shell.opens = false;
    form().M_Profile_Run_Records->trigger();
    EXPECT_FALSE(rig.shell.copied.isEmpty());
    EXPECT_TRUE(rig.dialogs.messages.back().text.contains(rig.shell.copied));
}

TEST_F(Visible, ASafetyNoticeStaysUntilTakenNoteOfOrOverAndAGuardStopUntilTakenNoteOf) {
    rig.state.Settings.AutoTCPlot = false;
    form().setSafetyNotice(SafetyNotice::SteppingDown);
    EXPECT_EQ(form().statusNotice(), "Safety set point reached: heaters going OFF");
    testsupport::saveShot(form(), "main-status-notice.png");
    form().SafetyNoticeOk->click();
    EXPECT_EQ(form().statusNotice(), "");
    form().showGuardStop("the thermocouple reads nothing");
    form().setSafetyNotice(SafetyNotice::ProbeErrorHeaterOn);  // the earlier event is over, a new one shows
    EXPECT_EQ(form().statusNotice(), "Probe error with a heater on: the safety set point cannot act");
    form().setSafetyNotice(SafetyNotice::None);
    EXPECT_EQ(form().statusNotice(), "Run stopped by the guard: the thermocouple reads nothing");
    form().SafetyNoticeOk->click();
    EXPECT_EQ(form().statusNotice(), "");

    rig.state.Settings.AutoTCPlot = rig.state.MachineOnline = true;
    form().setSafetyNotice(SafetyNotice::SteppingDown);
    EXPECT_EQ(form().statusNotice(), "") << "plotting: the chart's banner says it";
}
