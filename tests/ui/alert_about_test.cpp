// The alert window, the run's way of showing it, and the about box.
#include "core/shared_state.h"
#include "platform/virtual_clock.h"
#include "tests/support/screenshot.h"
#include "ui/about_form.h"
#include "ui/alert_form.h"
#include "ui/run_alert.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(Alert, BlinksEveryHalfSecondAndRaisesBeepsAtItsInterval) {
    platform::VirtualClock clock;
    core::SharedState state;
    bool editorEnabled = true;
    ui::frmAlert alert(state, clock, QString(), [&](bool on) { editorEnabled = on; });
    EXPECT_FALSE(editorEnabled);
    EXPECT_EQ(alert.windowTitle(), "Information ...");
    EXPECT_FALSE(alert.Label1->isVisibleTo(&alert));
    clock.advance(500);
    EXPECT_TRUE(alert.Label1->isVisibleTo(&alert));
    testsupport::saveShot(alert, "alert.png");
    clock.advance(500);
    EXPECT_FALSE(alert.Label1->isVisibleTo(&alert));
    clock.advance(500);
    EXPECT_TRUE(alert.Label1->isVisibleTo(&alert));

    alert.Beeps_Timer().setInterval(2000);
    alert.Beeps_Timer().setEnabled(true);
    int raised = 0;
    for (int s = 0; s < 10; ++s) {
        clock.advance(1000);
        if (state.RequestFlags[core::SlotBeep]) {
            ++raised;
            state.RequestFlags[core::SlotBeep] = false;
        }
    }
    EXPECT_EQ(raised, 5);

    alert.Command1->click();
    alert.Command1->click();
    EXPECT_TRUE(alert.Command1Tag);
    EXPECT_FALSE(alert.Command2Tag);
    EXPECT_TRUE(editorEnabled);
    alert.Command2->click();
    EXPECT_TRUE(alert.Command2Tag);
}

TEST(About, BeforeAnyConnection) {
    core::SharedState state;
    ui::frmAbout about(state, QString());
    EXPECT_EQ(about.windowTitle(), "About KR-9300 Control Room");
    EXPECT_EQ(about.lblTitle->text(), "KR-9300 Control Room (ML)");
    EXPECT_TRUE(about.lblVersion->text().startsWith("Software Version "));
    EXPECT_EQ(about.lblVersion->text().count('.'), 2);
    EXPECT_EQ(about.Label1->text(), "Firmware Version:  0");
    EXPECT_EQ(about.Label2->text(), "Machine ID: ");
    state.FirmwareVersion = 7;
    state.MachineId = "06370742";
    about.Form_Load();
    testsupport::saveShot(about, "about.png");
    EXPECT_EQ(about.Label1->text(), "Firmware Version:  7");
    EXPECT_EQ(about.Label2->text(), "Machine ID: 06370742");
}

TEST(RunAlert, LoadsOnceAndKeepsTheAnswerUntilUnloaded) {
    platform::VirtualClock clock;
    core::SharedState state;
    int disables = 0;
    bool editorEnabled = true;
    ui::RunAlert alert(state, clock, QString(), [&](bool on) {
        editorEnabled = on;
        if (!on) ++disables;
    });
    EXPECT_FALSE(alert.loaded());
    alert.ShowRunAlert("Preheating Zone", "Press OK to go on", 2000, false);
    ASSERT_TRUE(alert.loaded());
    EXPECT_EQ(disables, 1);
    EXPECT_FALSE(editorEnabled);
    EXPECT_EQ(alert.form()->Label1->text(), "Preheating Zone");
    EXPECT_EQ(alert.form()->Label2->text(), "Press OK to go on");
    EXPECT_TRUE(alert.form()->Beeps_Timer().enabled());
    EXPECT_EQ(alert.form()->Beeps_Timer().interval(), 2000);
    EXPECT_TRUE(alert.form()->Command1->isVisibleTo(alert.form()));

    QStringList answers;
    alert.setAnswerSink([&](const QString& a) { answers << a; });
    alert.form()->Command2->click();
    EXPECT_TRUE(alert.cancelPressed());
    EXPECT_TRUE(editorEnabled);
    EXPECT_EQ(answers, QStringList{"Cancel"});
    // A second showing while loaded changes the texts but not the answer, and does not
    // disable the editor again.
    alert.ShowRunAlert("Soak Zone", "Wait", 0, true);
    EXPECT_EQ(disables, 1);
    EXPECT_TRUE(alert.cancelPressed());
    EXPECT_FALSE(alert.form()->Beeps_Timer().enabled());
    EXPECT_FALSE(alert.form()->Command1->isVisibleTo(alert.form()));
    EXPECT_EQ(alert.form()->Label1->text(), "Soak Zone");

    alert.unload();
    EXPECT_FALSE(alert.loaded());
    EXPECT_FALSE(alert.cancelPressed());
    // Its timers went with it: no beep is raised any more.
    state.RequestFlags[core::SlotBeep] = false;
    clock.advance(5000);
    EXPECT_FALSE(state.RequestFlags[core::SlotBeep]);

    alert.ShowRunAlert("Reflow Process Finished", "Done", 800, true);
    EXPECT_EQ(disables, 2);
    EXPECT_FALSE(alert.okPressed());
    EXPECT_FALSE(alert.cancelPressed());
}
