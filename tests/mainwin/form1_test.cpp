#include "mainwin/log_file.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <qcustomplot.h>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {
struct MainWindow : ::testing::Test {
    ProgramRig rig;
    mainwin::Form1& form() { return *rig.form; }
    void SetUp() override { rig.start(); }
};
}  // namespace

TEST_F(MainWindow, ControlsCarryTheirNamesAndCaptions) {
    for (const char* name : {"cmdUhUp", "cmdUhDown", "cmdLhUp", "cmdLhDown", "CmdCancel", "cmdPump", "Command1",
                             "Command2", "Command3", "Command8", "Command10", "Command11", "Command12"})
        EXPECT_NE(form().findChild<QPushButton*>(name), nullptr) << name;
    for (const char* name : {"M_File_New_Profile", "M_File_Open_Profile", "M_File_Exit", "M_Profile_Editor",
                             "M_Tools_Connect", "M_Tools_Disconnect", "M_Tools_Defaults", "M_Tools_Options",
                             "M_Help_Support_Website", "M_Help_Support_Updates", "M_Help_About"})
        EXPECT_NE(form().findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(form().CmdCancel->text(), "FAN");
    EXPECT_EQ(form().cmdUhDown->text(), "Dn");
    EXPECT_EQ(form().Slider1->toolTip(), "Set Alarm Threshold");
    EXPECT_EQ(form().Command1->toolTip(), "Save to KR-9300");
    EXPECT_EQ(form().M_Help_Support_Website->text(), "Go to ZENT SYSTEMS website");
    EXPECT_EQ(form().StatusBar1[1]->text(), "F/W Ver.: N/A");
    EXPECT_EQ(form().Label1->text(), "Machine Status: N/A");
    EXPECT_FALSE(form().Picture1->pixmap().isNull());
    EXPECT_FALSE(form().List1->isVisibleTo(&form()));
}

TEST_F(MainWindow, CtrlShiftAltF2TogglesTheDiagnosticsAndNothingElseDoes) {
    const Qt::KeyboardModifiers all = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
    QTest::keyClick(form().Text1, Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&form(), Qt::Key_F2);
    EXPECT_FALSE(form().List1->isVisibleTo(&form()));
    QTest::keyClick(&form(), Qt::Key_F2, all);
    EXPECT_TRUE(form().List1->isVisibleTo(&form()));
    EXPECT_TRUE(form().Command2->isVisibleTo(&form()));
    EXPECT_TRUE(form().Command3->isVisibleTo(&form()));
    QTest::keyClick(form().Slider1, Qt::Key_F2, all);
    EXPECT_FALSE(form().List1->isVisibleTo(&form()));
    EXPECT_FALSE(form().Command3->isVisibleTo(&form()));
}

TEST_F(MainWindow, AcceptTakesTheBoxInTheDisplayUnit) {
    rig.state.Settings.TempUnit = 1;
    form().Text1->setText("401");
    form().Command1_Click();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205);
    EXPECT_EQ(rig.state.Settings.AlarmMSD, 0);
    EXPECT_EQ(rig.state.Settings.AlarmLSD, 205);

    rig.state.Settings.TempUnit = 0;
    form().Text1->setText("300");
    form().Command1_Click();
    EXPECT_EQ(rig.state.Settings.AlarmMSD, 1);
    EXPECT_EQ(rig.state.Settings.AlarmLSD, 44);
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 300);
    EXPECT_FALSE(form().Check1->isChecked());
    EXPECT_FALSE(form().Text1->isEnabled());
    EXPECT_EQ(form().trendChart().alarmLabel(), "Alarm = 300");

    rig.state.Settings.TempUnit = 1;
    form().Text1->setText("99999");  // out of range: corrected to the limit, nothing taken
    form().Command1_Click();
    EXPECT_EQ(form().Text1->text(), "752");
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 300);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(MainWindow, LeavingTheBoxCorrectsOutOfRangeValuesAndKeepsTheSlider) {
    rig.state.MachineOnline = true;
    form().setStationControlsEnabled(true);
    form().Check1->click();
    ASSERT_TRUE(form().Text1->isEnabled());
    form().Slider1->setValue(150);
    const std::pair<const char*, const char*> celsius[] = {{"10", "20"}, {"401", "400"}};
    for (const auto& [typed, corrected] : celsius) {
        form().Text1->setText(typed);
        form().Text1_LostFocus();
        EXPECT_EQ(form().Text1->text(), corrected);
        EXPECT_EQ(form().Text1->selectedText(), corrected);
        EXPECT_EQ(form().Slider1->value(), 150);
    }
    form().Text1->setText("250");
    form().Text1_LostFocus();
    EXPECT_EQ(form().Slider1->value(), 250);
    form().Text1->clear();
    form().Text1_LostFocus();
    EXPECT_TRUE(form().Text1->text().isEmpty());

    rig.state.Settings.TempUnit = 1;
    form().Slider1->setMaximum(752);
    form().Text1->setText("60");
    form().Text1_LostFocus();
    EXPECT_EQ(form().Text1->text(), "68");
    form().Text1->setText("800");
    form().Text1_LostFocus();
    EXPECT_EQ(form().Text1->text(), "752");

    form().Slider1->setValue(321);
    form().Slider1_MouseUp();
    EXPECT_EQ(form().Text1->text(), " 321");
}

TEST_F(MainWindow, EditUnchecksItselfOffline) {
    form().Check1->click();
    EXPECT_FALSE(form().Check1->isChecked());
    EXPECT_FALSE(form().Text1->isEnabled());
    EXPECT_FALSE(form().Command1->isEnabled());
}

TEST_F(MainWindow, HeaterButtonsOfflineSetNothingClearLogAlwaysDoes) {
    for (QPushButton* b : {form().cmdUhUp, form().cmdUhDown, form().cmdLhUp, form().cmdLhDown, form().CmdCancel})
        QTest::mouseClick(b, Qt::LeftButton);
    for (bool slot : rig.state.RequestFlags) EXPECT_FALSE(slot);
    EXPECT_FALSE(rig.state.OperatorRequestPending);
    form().Command3_Click();
    EXPECT_TRUE(rig.state.RequestFlags[core::SlotClearLog]);
    EXPECT_FALSE(rig.state.OperatorRequestPending);

    rig.state.MachineOnline = true;
    form().setStationControlsEnabled(true);
    const std::pair<QPushButton*, int> buttons[] = {{form().cmdUhUp, 11}, {form().cmdUhDown, 12},
                                                    {form().cmdLhUp, 13}, {form().cmdLhDown, 14},
                                                    {form().CmdCancel, 16}};
    for (auto [b, slot] : buttons) {
        rig.state.OperatorRequestPending = false;
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_TRUE(rig.state.RequestFlags[std::size_t(slot)]) << slot;
        EXPECT_TRUE(rig.state.OperatorRequestPending);
    }
}

TEST_F(MainWindow, ClearEmptiesTheListAndTheListFollowsTheDiagnostics) {
    rig.state.Diagnostics.add("Timeout 808");
    EXPECT_EQ(form().List1->count(), 0);  // hidden, the box holds no rows
    QTest::keyClick(&form(), Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    rig.state.Diagnostics.add("Queue Error");
    ASSERT_EQ(form().List1->count(), 2);
    EXPECT_EQ(form().List1->item(1)->text(), "Queue Error");
    form().Command11_Click();
    EXPECT_EQ(form().List1->count(), 0);
    EXPECT_EQ(rig.state.Diagnostics.size(), 0);
}

TEST_F(MainWindow, PlottingTogglesOnlyOnline) {
    form().Command12_Click();
    EXPECT_EQ(form().Command12->text(), "Start Plotting");
    EXPECT_FALSE(rig.state.Settings.AutoTCPlot);
    rig.state.MachineOnline = true;
    form().Command12_Click();
    EXPECT_EQ(form().Command12->text(), "Stop Plotting");
    EXPECT_TRUE(rig.state.Settings.AutoTCPlot);
    form().Command12_Click();
    EXPECT_EQ(form().Command12->text(), "Start Plotting");
    EXPECT_FALSE(rig.state.Settings.AutoTCPlot);
}

TEST_F(MainWindow, ResetGraphRestartsWithOnePointAtZero) {
    rig.state.PlottedSamples = 0;
    for (int i = 0; i < 20; ++i) {
        form().addTrendSample(std::int16_t(100 + i));
        form().redrawTrend();
        ++rig.state.PlottedSamples;
    }
    form().Command10_Click();
    EXPECT_EQ(rig.state.PlottedSamples, 0);
    EXPECT_EQ(form().trendChart().legendText(), "T/C Reading: 0 C");
    QCustomPlot* plot = form().ChartViewer1;
    QCPGraph* line = plot->graph(plot->graphCount() - 1);
    int points = 0;
    for (auto it = line->data()->constBegin(); it != line->data()->constEnd(); ++it)
        if (!std::isnan(it->value)) ++points;
    EXPECT_EQ(points, 1);
}

TEST_F(MainWindow, BannerOnlyAboveTheAlarmValue) {
    rig.state.PlottedSamples = 0;
    form().redrawTrend();  // consumes the start-up reset
    form().addTrendSample(205);
    form().redrawTrend();
    EXPECT_FALSE(form().trendChart().bannerShown());
    form().addTrendSample(206);
    form().redrawTrend();
    EXPECT_TRUE(form().trendChart().bannerShown());
}

TEST_F(MainWindow, TheKeptBannerAndLegendFollowEveryRedraw) {
    rig.state.PlottedSamples = 0;
    form().redrawTrend();
    auto bannerDrawn = [&] { return form().trendChart().picture().pixel(703, 63) == qRgb(0xDD, 0x00, 0x00); };
    form().addTrendSample(230);
    form().redrawTrend();
    EXPECT_TRUE(bannerDrawn());
    ++rig.state.PlottedSamples;
    form().addTrendSample(150);
    form().redrawTrend();
    EXPECT_FALSE(bannerDrawn());
    EXPECT_EQ(form().trendChart().legendText(), "T/C Reading: 150 C");
}

TEST_F(MainWindow, FahrenheitChartShowsTheAlarmAndScaleInFahrenheit) {
    rig.state.Settings.TempUnit = 1;
    form().redrawTrend();
    EXPECT_EQ(form().trendChart().alarmLabel(), "Alarm = 401");
    EXPECT_EQ(form().trendChart().yMax(), 572);
    EXPECT_EQ(form().trendChart().yTitle(), "Temperature ( F)");
    rig.state.Settings.TempUnit = 0;
    form().redrawTrend();
    EXPECT_EQ(form().trendChart().yTitle(), "Temperature ( C)");
    EXPECT_EQ(form().trendChart().yMax(), 300);
}

TEST_F(MainWindow, SaveGraphWritesEveryFormatByItsExtension) {
    for (const char* ext : {"jpg", "png", "gif", "bmp"}) {
        const QString path = rig.dir.filePath(QString("trend.") + ext);
        rig.dialogs.answers = {path};
        form().Command8_Click();
        QImageReader reader(path);
        EXPECT_EQ(reader.size(), QSize(750, 310)) << ext;
    }
    const auto& req = rig.dialogs.requests.back();
    EXPECT_EQ(req.title, "Save As");
    EXPECT_EQ(req.filter,
              "JPG Picture (*.jpg)|*.jpg|PNG Picture (*.png)|*.png|GIF Picture (*.gif)|*.gif|BMP Picture (*.bmp)|*.bmp");
    EXPECT_EQ(req.folder, rig.folder);
    EXPECT_TRUE(req.initialName.isEmpty());
    rig.dialogs.answers.clear();  // cancelled
    form().Command8_Click();
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(MainWindow, SaveLogWithoutAStationWritesTheTwoHeaderLines) {
    const QString path = rig.dir.filePath("log.zlg");
    rig.dialogs.answers = {path};
    form().Command2_Click();
    EXPECT_EQ(rig.dialogs.requests.back().initialName, "KR-9300_Log");
    EXPECT_EQ(rig.dialogs.requests.back().filter, "KR-9300 Log File (*.zlg)|*.zlg|All Files (*.*)|*.*");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Serial No.: N/A\r\nFirmware Version: N/A\r\n"));

    EXPECT_EQ(mainwin::logLines("06370742", 7, {"Timeout 808"}),
              (QStringList{"Serial No.: 06370742", "Firmware Version: 7", "Timeout 808"}));
}

TEST_F(MainWindow, GaugesFollowTheirCodes) {
    EXPECT_EQ(form().lowerGauge().zonesShown(), 4);
    EXPECT_EQ(form().lowerGauge().litZone(), -1);
    EXPECT_TRUE(std::isnan(form().lowerGauge().pointer()));
    rig.state.MachineOnline = true;
    form().setLowerGauge(2);
    EXPECT_EQ(form().lowerGauge().litZone(), 1);
    EXPECT_EQ(form().lowerGauge().pointer(), 25);
    form().setUpperGauge(4);
    EXPECT_EQ(form().upperGauge().zonesShown(), 0);
    EXPECT_TRUE(std::isnan(form().upperGauge().pointer()));
    form().setUpperGauge(3);
    EXPECT_EQ(form().upperGauge().pointer(), 75);
    rig.state.MachineOnline = false;
    form().setUpperGauge(1);
    EXPECT_EQ(form().upperGauge().zonesShown(), 3);
    EXPECT_EQ(form().upperGauge().litZone(), -1);
}

TEST_F(MainWindow, HelpEntriesOpenTheirPages) {
    form().M_Help_Support_Website->trigger();
    form().M_Help_Support_Updates->trigger();
    EXPECT_EQ(rig.shell.urls, (QStringList{mainwin::Form1::kWebsite, mainwin::Form1::kUpdates}));
}

TEST_F(MainWindow, MissingPictureLeavesAnEmptyBox) {
    QFile::remove(QDir(rig.folder).filePath("parkmode-1.jpg"));
    form().showModePicture("parkmode-1.jpg", "Machine Status: PARK");
    EXPECT_TRUE(form().Picture1->pixmap().isNull());
    EXPECT_EQ(form().Label1->text(), "Machine Status: PARK");
}

TEST(MainWindowLoad, ALoadErrorStopsTheSetUpAndSaysSo) {
    ProgramRig rig(settings::SettingsFile::defaultLines().mid(0, 4));
    rig.start();
    EXPECT_EQ(rig.state.Diagnostics.lines(), QStringList{"Error Code:  62"});
    EXPECT_EQ(rig.form->windowTitle(), "KR-9300 Control Room  [Machine Offline]");  // as designed
}

TEST(MainWindowLoad, FahrenheitUnitFromTheFileLabelsTheAlarmGroup) {
    ProgramRig rig(ProgramRig::settingsWith("TempUnit", "1"));
    rig.start();
    EXPECT_EQ(rig.form->Label2->text(), "F");
    EXPECT_TRUE(rig.form->Text1->text().isEmpty());
    EXPECT_FALSE(rig.form->Slider1->isEnabled());
    EXPECT_EQ(rig.form->windowTitle(), "KR-9300 Control Room [Machine Offline]");
}
