// Profile runs against the simulated station's thermal model, on virtual time.
#include "profiles/run_sequencer.h"
#include "tests/profiles/fake_run_editor.h"
#include "settings/units.h"
#include "tests/support/poller_rig.h"
#include "tests/support/qt_printers.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using profiles::RunEditor;
using profiles::RunSequencer;
using testsupport::FakeEditor;
using testsupport::northBridge;

namespace {

struct Run : ::testing::Test {
    testsupport::PollerRig rig;
    FakeEditor editor;
    ui::RunAlert alert{rig.state, rig.clock, QString(), [this](bool on) { editor.enabled = on; }};
    RunSequencer run{rig.state, rig.clock, editor, alert};
    QStringList events;
    QList<int> upperAtRequest;  // U.H. mode the poll showed when each U.H.-up was raised

    void SetUp() override {
        run.setEventSink([this](const QString& e) {
            events << e;
            if (e == "request U.H. up") upperAtRequest << rig.state.UpperHeaterMode;
        });
        rig.connect();
        editor.points = northBridge();
    }
    bool until(const std::function<bool()>& done, std::int64_t limitMs = 60 * 60 * 1000) {
        return rig.clock.runUntil(done, limitMs);
    }
    bool stateIs(std::int16_t s) const { return rig.state.EditorState == s; }
    void startAndConfirm() {
        run.Command5_Click();
        ASSERT_EQ(editor.caption, "Stop");
        ASSERT_TRUE(until([&] { return alert.loaded(); }));
        EXPECT_EQ(alert.form()->Label1->text(), "Run Current Profile?");
        EXPECT_EQ(alert.form()->Label2->text(), "Please CONFIRM");
        alert.form()->Command1->click();
    }
    int beepInterval() const {
        return alert.loaded() && alert.form()->Beeps_Timer().enabled() ? alert.form()->Beeps_Timer().interval() : 0;
    }
};

}  // namespace

TEST_F(Run, TheExampleProfileFromAColdBoardToTheCoolingTrace) {
    const std::int64_t t0 = rig.clock.nowMs();
    startAndConfirm();

    // X1 wants park; the station is in normal mode.
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX1Mode); }));
    EXPECT_EQ(editor.status(), "Process: Waiting for Machine to be PARK Mode");
    EXPECT_EQ(alert.form()->Label1->text(), "Set Machine to PARK Mode");
    EXPECT_EQ(alert.form()->Label2->text(), "Waiting ...");
    EXPECT_FALSE(alert.form()->Command1->isVisibleTo(alert.form()));
    rig.clock.advance(5000);
    EXPECT_TRUE(stateIs(profiles::RunX1Mode)) << "the run waits for the station";
    rig.station.setMachineMode(core::PositionPark);

    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX1Approach); }));
    EXPECT_EQ(rig.state.LowerHeaterMode, core::LhPreheat);
    EXPECT_TRUE(editor.status().startsWith("Process: Approaching X1: ")) << editor.status().toStdString();

    // X1 reached: X2 wants normal mode.
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX2Mode); }));
    EXPECT_GE(rig.state.PcbTemperature, 60);
    EXPECT_EQ(editor.status(), "Process: Waiting for Machine to be NORMAL Mode");
    rig.station.setMachineMode(core::PositionNormal);
    ASSERT_TRUE(until([&] { return alert.loaded() && alert.form()->Label1->text() == "Preheating Zone"; }));
    EXPECT_EQ(alert.form()->Label2->text(), "PREHEAT BOARD");
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX2Approach); }));
    EXPECT_EQ(alert.form()->Label1->text(), "Running...");
    EXPECT_EQ(rig.state.UpperHeaterMode, core::UhReflow);
    EXPECT_EQ(rig.state.LowerHeaterMode, core::LhReflow);

    // X2 reached: the soak alert beeps every 2 s while the lower heater steps down.
    ASSERT_TRUE(until([&] { return alert.loaded() && alert.form()->Label1->text() == "Soak Zone"; }));
    EXPECT_EQ(alert.form()->Label2->text(), "SOAK");
    EXPECT_EQ(beepInterval(), 2000);
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX3Approach); }));
    EXPECT_EQ(rig.state.LowerHeaterMode, core::LhPreheat);

    // X3 reached: finished alert beeping every 800 ms, heaters switched off.
    ASSERT_TRUE(until([&] { return alert.loaded() && alert.form()->Label1->text() == "Reflow Process Finished"; }));
    EXPECT_EQ(alert.form()->Label2->text(), "REFLOW NOW");
    EXPECT_EQ(beepInterval(), 800);
    EXPECT_TRUE(editor.statuses.contains("Process: Turning Heaters OFF"));
    ASSERT_TRUE(until([&] { return editor.caption == "Run"; }));

    EXPECT_EQ(editor.status(), "Process: Profile Finished Successfully");
    EXPECT_EQ(rig.station.upperLevel(), core::UhOff);
    EXPECT_EQ(rig.station.lowerLevel(), core::LhOff);
    EXPECT_FALSE(alert.loaded());
    EXPECT_TRUE(editor.enabled);
    EXPECT_FALSE(editor.locked);
    EXPECT_TRUE(editor.cooling);
    EXPECT_TRUE(rig.state.ProfileRunActive) << "a finished run keeps the alarm rules off while it cools";
    EXPECT_EQ(rig.state.EditorState, profiles::RunStart);
    EXPECT_GT(editor.samples, 100);
    EXPECT_EQ(editor.restarts, 1);
    rig.expectNoViolations();

    const QStringList alerts = events.filter("alert: ");
    EXPECT_EQ(alerts, (QStringList{"alert: Run Current Profile?", "alert: Set Machine to PARK Mode",
                                   "alert: Set Machine to NORMAL Mode", "alert: Preheating Zone", "alert: Running...",
                                   "alert: Soak Zone", "alert: Reflow Process Finished"}));
    std::printf("virtual run time: %lld s\n", static_cast<long long>((rig.clock.nowMs() - t0) / 1000));
}

TEST_F(Run, SettingsThatAlreadyMatchGoStraightToTheApproach) {
    editor.points[0] = {"60", "GO", 0, 0, 0, false};  // OFF / OFF, normal mode: as the station is
    startAndConfirm();
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX1Approach); }, 5000));
    EXPECT_EQ(editor.status(), "Process: Approaching X1: 25");
    EXPECT_TRUE(events.filter("request").isEmpty()) << events.join(", ").toStdString();
}

TEST_F(Run, OffToFastReflowAsksTwiceTheSecondOnlyAfterTheChangeWasSeen) {
    editor.points[0] = {"60", "GO", 0, 2, 0, false};  // U.H. FAST REFLOW, normal mode
    startAndConfirm();
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX1Approach); }, 60000));
    EXPECT_EQ(upperAtRequest, (QList<int>{core::UhOff, core::UhReflow}));
    EXPECT_EQ(rig.station.upperLevel(), core::UhFastReflow);
}

TEST_F(Run, TheRunButtonRefusesWhatCannotBeRun) {
    struct Case {
        std::function<void(std::array<RunEditor::Point, 3>&)> change;
        const char* text;
    } cases[] = {
        {[](auto& p) { p[1].temperature = ""; }, "ERROR: Profile value missing ... Please correct"},
        {[](auto& p) { p[2].temperature = "abc"; }, "ERROR: Profile value missing ... Please correct"},
        {[](auto& p) { p[0].message = ""; }, "ERROR: Profile Message missing ... Please correct"},
        {[](auto& p) { p[2].temperature = "139"; }, "ERROR: X3 must be greater than or equal X2 ... Please correct"},
        {[](auto& p) { p[0].temperature = "141"; }, "ERROR: X2 must be greater than or equal X1 ... Please correct"},
    };
    for (const Case& c : cases) {
        editor.points = northBridge();
        c.change(editor.points);
        run.Command5_Click();
        EXPECT_EQ(editor.status(), QString(c.text));
        EXPECT_EQ(editor.caption, "Run");
        EXPECT_FALSE(editor.locked);
        EXPECT_FALSE(rig.state.ProfileRunActive);
    }
    // Equal neighbours are accepted.
    editor.points = northBridge();
    editor.points[1].temperature = "60";
    editor.points[2].temperature = "60";
    run.Command5_Click();
    EXPECT_EQ(editor.caption, "Stop");
    EXPECT_TRUE(editor.locked);
    EXPECT_TRUE(rig.state.ProfileRunActive);
}

TEST_F(Run, OfflineTheRunButtonSaysWhyAndDoesNothingMore) {
    rig.state.MachineOnline = false;
    run.Command5_Click();
    EXPECT_EQ(editor.caption, "Run");
    EXPECT_EQ(editor.statuses, QStringList{RunSequencer::kOffline});
    EXPECT_FALSE(run.MyDelayTimer().enabled());
}

TEST_F(Run, FahrenheitShowsFahrenheitAndComparesCelsius) {
    rig.state.Settings.TempUnit = 1;
    editor.points[0] = {"140", "GO", 1, 0, 0, false};  // 60 °C, PERHEAT, normal mode
    startAndConfirm();
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX1Approach); }, 60000));
    const int f = settings::ToFahr(rig.state.PcbTemperature).value_or(0);
    EXPECT_GT(f, 70);
    EXPECT_EQ(editor.status(), "Process: Approaching X1: " + QString::number(f));
    ASSERT_TRUE(until([&] { return !stateIs(profiles::RunX1Approach); }));
    EXPECT_GE(rig.state.PcbTemperature, 60);
    EXPECT_LT(rig.state.PcbTemperature, 70) << "reached at 60 °C, not at 140 °C";
}

TEST_F(Run, CancelDuringTheX2ApproachEndsTheRunAndLeavesTheHeatersOn) {
    rig.station.setMachineMode(core::PositionPark);
    startAndConfirm();
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX2Mode); }));
    rig.station.setMachineMode(core::PositionNormal);
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX2Approach); }));
    alert.form()->Command2->click();
    ASSERT_TRUE(until([&] { return editor.caption == "Run"; }, 2000));
    EXPECT_EQ(editor.status(), "Process: Profile Terminated by User");
    EXPECT_FALSE(rig.state.ProfileRunActive);
    EXPECT_FALSE(alert.loaded());
    EXPECT_EQ(rig.station.upperLevel(), core::UhReflow);
    EXPECT_EQ(rig.station.lowerLevel(), core::LhReflow);
}

TEST_F(Run, CancelDuringTheX2SteppingEndsTheRunAtTheNextTickAndAsksAboutTheHeaters) {
    rig.station.setMachineMode(core::PositionPark);
    startAndConfirm();
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX2Mode); }));
    rig.station.setMachineMode(core::PositionNormal);
    ASSERT_TRUE(until([&] { return rig.state.EditorState >= profiles::RunX2UhUp &&
                                   rig.state.EditorState <= profiles::RunX2LhDown; }));
    ASSERT_EQ(alert.form()->Label1->text(), "Preheating Zone");
    alert.form()->Command2->click();
    rig.clock.advance(1100);
    EXPECT_EQ(editor.caption, "Run");
    EXPECT_FALSE(events.contains("state 12")) << events.join(", ").toStdString();
    EXPECT_EQ(editor.questions, QStringList{"Switch the heaters off now?"});
    editor.pendingAnswer(true);
    ASSERT_TRUE(until([&] { return rig.station.upperLevel() == core::UhOff && rig.station.lowerLevel() == core::LhOff; },
                      10000));
    EXPECT_EQ(editor.status(), "Process: Profile Terminated by User: heaters going OFF");
}

TEST_F(Run, StopWithdrawsStepsUpAndLetsTheSafetyRuleTurnTheHeatersOff) {
    rig.station.setMachineMode(core::PositionPark);
    editor.points[0] = {"200", "HOT", 3, 2, 1, false};  // both heaters to FAST REFLOW
    editor.points[1].temperature = editor.points[2].temperature = "200";
    startAndConfirm();
    ASSERT_TRUE(until([&] { return stateIs(profiles::RunX1Approach); }, 120000));
    ASSERT_TRUE(until([&] { return rig.state.PcbTemperature >= 120; }));
    rig.state.Settings.SafetySP = 100;  // the board is above it; the run has kept the rule off

    // Stop right after the run asked for a step up that the poller has not sent yet.
    rig.state.RequestFlags[core::SlotUpperHeaterUp] = true;
    rig.state.RequestFlags[core::SlotLowerHeaterUp] = true;
    editor.enabled = true;  // the alert is not up during the X1 approach
    run.Command5_Click();
    EXPECT_EQ(editor.caption, "Run");
    EXPECT_EQ(editor.status(), "Process: Profile Terminated by User");
    EXPECT_FALSE(rig.state.ProfileRunActive);
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotUpperHeaterUp]);
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotLowerHeaterUp]);
    EXPECT_FALSE(run.MyDelayTimer().enabled());

    ASSERT_TRUE(until([&] {
        return rig.station.upperLevel() == core::UhOff && rig.station.lowerLevel() == core::LhOff;
    }, 30000)) << "the safety rule must step both heaters off after Stop";
    rig.expectNoViolations();
}
