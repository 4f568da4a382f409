// What the heaters are doing is plain in the main window: the safety rule stepping them
// down, a probe that cannot guard them, the fan, and a question before leaving with a
// heater on.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::ProgramRig;
using Answer = platform::Dialogs::Answer;

namespace {

constexpr const char* kExitQuestion = "A heater is still on. Switch the heaters off before leaving?";

struct Safety : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};  // AutoUSB=1: connects by itself

    void SetUp() override {
        rig.start();
        ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.MachineOnline && !rig.state.PollerBusy; }, 60000));
    }
    QString notice() { return rig.form->trendChart().notice(); }
    int linesSaying(const QString& text) { return int(rig.state.Diagnostics.lines().count(text)); }
    // Heaters on, as set on the station's own panel, and seen by the program.
    void heatersOn(int lower, int upper) {
        rig.station.setHeaters(lower, upper);
        ASSERT_TRUE(rig.clock.runUntil(
            [&] { return rig.state.LowerHeaterMode == lower && rig.state.UpperHeaterMode == upper; }, 30000));
    }
    bool ended() { return rig.form->programEnded(); }
};

}  // namespace

TEST_F(Safety, ReachingTheSetPointIsSaidOnceAndShownUntilBothHeatersAreOff) {
    heatersOn(3, 2);
    EXPECT_EQ(notice(), "");
    rig.station.setBoardTemperature(275);  // above the station's 270 C
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.SafetyTripped; }, 30000));
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(notice(), "Safety set point reached: heaters going OFF");
    testsupport::saveShot(*rig.form, "main-safety.png");

    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.station.upperLevel() == 1 && rig.station.lowerLevel() == 1; },
                                   60000));
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(notice(), "");
    EXPECT_EQ(linesSaying("Safety set point reached: heaters going OFF"), 1);

    // A second time is said again.
    heatersOn(2, 1);
    rig.station.setBoardTemperature(280);
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.station.lowerLevel() == 1; }, 60000));
    EXPECT_EQ(linesSaying("Safety set point reached: heaters going OFF"), 2);
    rig.expectNoViolations();
}

TEST_F(Safety, AProbeErrorWithAHeaterOnWarnsThatTheSetPointCannotAct) {
    rig.station.setProbeError(true);
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(notice(), "");  // heaters off: nothing to guard
    heatersOn(1, 2);
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(notice(), "Probe error with a heater on: the safety set point cannot act");
    rig.station.setProbeError(false);
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(notice(), "");
}

TEST_F(Safety, TheFansStateIsShown) {
    EXPECT_EQ(rig.form->LabelFan->text(), "Fan: OFF");
    rig.form->CmdCancel->click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.station.fanOn(); }, 30000));
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.form->LabelFan->text(), "Fan: ON");
    rig.program->departure.M_Tools_Disconnect_Click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.ExitStage == core::ExitIdle; }, 60000));
    EXPECT_EQ(rig.form->LabelFan->text(), "Fan: N/A");
}

TEST_F(Safety, ExitWithTheHeatersOffAsksNothing) {
    rig.form->M_File_Exit->trigger();
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    EXPECT_TRUE(rig.dialogs.questions.empty());
    EXPECT_TRUE(rig.station.signedOff());
}

TEST_F(Safety, ExitWithAHeaterOnAsksAndYesSwitchesThemOffBeforeLeaving) {
    heatersOn(3, 2);
    rig.form->M_File_Exit->trigger();
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].text, kExitQuestion);
    ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    EXPECT_EQ(rig.station.upperLevel(), 1);
    EXPECT_EQ(rig.station.lowerLevel(), 1);
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_EQ(rig.dialogs.questions.size(), 1u);
    rig.expectNoViolations();
}

TEST_F(Safety, NoLeavesWithTheHeatersAsTheyAre) {
    heatersOn(3, 2);
    rig.form->M_File_Exit->trigger();
    ASSERT_TRUE(rig.dialogs.answer(Answer::No));
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    EXPECT_EQ(rig.station.upperLevel(), 2);
    EXPECT_EQ(rig.station.lowerLevel(), 3);
    EXPECT_TRUE(rig.station.signedOff());
}

TEST_F(Safety, CancelStaysAndTheCloseBoxAsksAsWell) {
    heatersOn(1, 3);
    rig.form->close();
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    ASSERT_TRUE(rig.dialogs.answer(Answer::Cancel));
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_FALSE(ended());
    EXPECT_TRUE(rig.form->isVisible());
    EXPECT_TRUE(rig.form->isEnabled());
    EXPECT_EQ(rig.station.upperLevel(), 3);
    EXPECT_FALSE(rig.station.signedOff());
    EXPECT_TRUE(rig.state.MachineOnline);

    // Asked again, a second exit works as the first.
    rig.form->M_File_Exit->trigger();
    ASSERT_EQ(rig.dialogs.questions.size(), 2u);
    ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    EXPECT_EQ(rig.station.upperLevel(), 1);
}

TEST_F(Safety, AStationGoneBeforeTheHeatersReportOffKeepsTheProgramOpenAndSaysSo) {
    heatersOn(3, 2);
    rig.form->M_File_Exit->trigger();
    rig.station.setSilent(true);  // the steps down are never answered
    ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    ASSERT_TRUE(rig.clock.runUntil([&] { return !rig.dialogs.messages.empty(); }, 120000));
    EXPECT_FALSE(ended());
    EXPECT_TRUE(rig.form->isEnabled());
    EXPECT_EQ(rig.dialogs.messages.back().title, "Exit");
    EXPECT_TRUE(rig.dialogs.messages.back().text.contains("program stays open"))
        << rig.dialogs.messages.back().text.toStdString();
}

TEST_F(Safety, ASignalWhileTheHeatersGoOffLeavesInTheOrderlyWay) {
    heatersOn(4, 3);
    rig.form->M_File_Exit->trigger();
    ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    rig.program->requestExit();  // what SIGTERM does: no question, the orderly exit
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(rig.state.HeaterSwitchOffRequested);
    EXPECT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    rig.expectNoViolations();
}
