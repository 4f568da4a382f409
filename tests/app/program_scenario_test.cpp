// The whole program against the simulated station: start, connect, follow the station,
// press a heater button, watch the trend fill.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

using testsupport::saveShot;

TEST(ProgramScenario, StartsOfflineConnectsByItselfAndFollowsTheStation) {
    ProgramRig rig(ProgramRig::settingsWith("AutoTCPlot", "1"));
    rig.start();
    EXPECT_EQ(rig.form->windowTitle(), "KR-9300 Control Room [Machine Offline]");
    EXPECT_EQ(rig.form->StatusBar1[0]->text(), "KR-9300 Status: Offline");
    EXPECT_FALSE(rig.form->Label3->isVisibleTo(rig.form));
    EXPECT_EQ(rig.form->Command12->text(), "Stop Plotting");
    EXPECT_EQ(rig.form->upperGauge().zonesShown(), 3);
    EXPECT_EQ(rig.form->upperGauge().litZone(), -1);
    saveShot(*rig.form, "main-offline.png");

    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(rig.form->windowTitle(), "KR-9300 Control Room [Machine Online]");
    EXPECT_EQ(rig.form->Text_LCD[0]->text(), " U.H.: OFF");
    EXPECT_EQ(rig.form->Text_LCD[3]->text(), " * * * * NORMAL MODE * * * *");
    EXPECT_EQ(rig.form->StatusBar1[2]->text(), "Machine ID: 06370742");
    EXPECT_FALSE(rig.form->Picture1->pixmap().isNull());

    rig.shell.beeps = 0;
    QTest::mouseClick(rig.form->cmdUhUp, Qt::LeftButton);
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(rig.station.upperLevel(), 2);
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.form->Text_LCD[0]->text(), " U.H.: REFLOW");
    EXPECT_EQ(rig.form->upperGauge().litZone(), 1);
    EXPECT_EQ(rig.form->upperGauge().pointer(), 35);
    EXPECT_EQ(rig.shell.beeps, 1);

    // Heat the board with both heaters and watch the trend.
    for (int i = 0; i < 3; ++i) QTest::mouseClick(rig.form->cmdLhUp, Qt::LeftButton), rig.runTicks(1);
    ASSERT_TRUE(rig.runTicks(60));
    EXPECT_GE(rig.state.PlottedSamples, 60);
    EXPECT_TRUE(rig.form->trendChart().legendText().startsWith("T/C Reading: "));
    const double t = rig.station.boardTemperature();
    EXPECT_GT(t, 60);
    EXPECT_EQ(rig.form->Label3->text(), QString::number(rig.state.PcbTemperature) + " C");
    for (const auto& v : rig.station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    EXPECT_EQ(rig.state.Diagnostics.lines(), QStringList{"Safety set point from the station: 270 C"});
}

TEST(ProgramScenario, AlarmExceededShowsTheBannerAndBeeps) {
    ProgramRig rig(ProgramRig::settingsWith("AutoTCPlot", "1"));
    rig.start();
    rig.station.setBoardTemperature(150);
    rig.station.setHeaters(3, 2);
    ASSERT_TRUE(rig.runTicks(120));
    ASSERT_GT(rig.state.PcbTemperature, 205);
    EXPECT_TRUE(rig.form->trendChart().bannerShown());
    EXPECT_GT(rig.shell.beeps, 0);
    saveShot(*rig.form, "main-online-alarm.png");
}
