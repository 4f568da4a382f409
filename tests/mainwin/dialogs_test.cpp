// The options dialog.
#include "mainwin/options_form.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {
struct Options : ::testing::Test {
    ProgramRig rig;
    void SetUp() override { rig.start(); }
    // The dialog deletes nothing by itself here; each test owns one.
    std::unique_ptr<mainwin::OptionsForm> open() {
        return std::make_unique<mainwin::OptionsForm>(rig.state, *rig.file, *rig.form);
    }
    QByteArray fileBytes() {
        QFile f(rig.file->path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
}  // namespace

TEST_F(Options, AcceptWithoutChangesKeepsTheFile) {
    const QByteArray before = fileBytes();
    const core::SettingsRecord s = rig.state.Settings;
    auto dialog = open();
    EXPECT_EQ(dialog->Text1->text(), "205");
    EXPECT_EQ(dialog->Text2->text(), "220");
    EXPECT_TRUE(dialog->Option1->isChecked());
    EXPECT_TRUE(dialog->Check1->isChecked());
    EXPECT_TRUE(dialog->Check2->isChecked());
    EXPECT_FALSE(dialog->Check5->isChecked());
    dialog->Command1_Click();
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(rig.state.Settings.BeepWB, s.BeepWB);
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205);
    EXPECT_EQ(rig.form->Text1->text(), " 205");
    EXPECT_EQ(rig.form->Label2->text(), "C");
}

TEST_F(Options, OutOfRangeBoxesAreCorrectedInOrderAndTheDialogStays) {
    auto dialog = open();
    dialog->show();
    dialog->Text2->setText("50");
    dialog->Command1_Click();
    EXPECT_EQ(dialog->Text2->text(), "80");
    EXPECT_EQ(dialog->Text2->selectedText(), "80");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(rig.state.Settings.SafetySP, 220);
    dialog->Text1->setText("19");
    dialog->Text2->setText("999");
    dialog->Command1_Click();
    EXPECT_EQ(dialog->Text1->text(), "20");
    EXPECT_EQ(dialog->Text2->text(), "999");  // the first failure ends the check
    dialog->Command1_Click();
    EXPECT_EQ(dialog->Text2->text(), "400");
    dialog->Command1_Click();  // now everything is in range, the limits included
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 20);
    EXPECT_EQ(rig.state.Settings.SafetySP, 400);
    EXPECT_EQ(rig.state.Settings.SafetySP_MSD, 1);
    EXPECT_EQ(rig.state.Settings.SafetySP_LSD, 144);
    EXPECT_TRUE(fileBytes().contains("SafetySP_MSD=1\r\nSafetySP_LSD=144\r\n"));
}

TEST_F(Options, SwitchingUnitsConvertsBothBoxesAndCancelRestores) {
    auto dialog = open();
    dialog->Option2->click();
    testsupport::saveShot(*dialog, "options.png");
    EXPECT_EQ(dialog->Text1->text(), "401");
    EXPECT_EQ(dialog->Text2->text(), "428");
    EXPECT_EQ(dialog->Label1[2]->text(), "F");
    EXPECT_EQ(rig.state.Settings.TempUnit, 1);
    EXPECT_FALSE(dialog->Option2->isEnabled());
    dialog->Option1->click();
    EXPECT_EQ(dialog->Text1->text(), "205");
    EXPECT_EQ(dialog->Text2->text(), "220");
    dialog->Option2->click();
    dialog->Command2_Click();
    EXPECT_EQ(rig.state.Settings.TempUnit, 0);
}

TEST_F(Options, FahrenheitAcceptStoresCelsiusAndTheUnit) {
    auto dialog = open();
    dialog->Option2->click();
    dialog->Text1->setText("401");
    dialog->Check5->setChecked(true);
    dialog->Command1_Click();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 205);
    EXPECT_EQ(rig.state.Settings.AlarmMSD, 0);
    EXPECT_EQ(rig.state.Settings.AlarmLSD, 205);
    EXPECT_EQ(rig.state.Settings.TempUnit, 1);
    EXPECT_TRUE(rig.state.Settings.RunDemoMode);
    EXPECT_EQ(rig.state.MachineSettings[10], 1);
    const QList<QByteArray> lines = fileBytes().split('\n');
    EXPECT_EQ(lines[8], "TempUnit=1\r");
    EXPECT_EQ(lines[5], "RunDemoMode=1\r");
    EXPECT_EQ(rig.form->Text1->text(), " 401");
    EXPECT_EQ(rig.form->Slider1->maximum(), 752);
    EXPECT_EQ(rig.form->Label2->text(), "F");
    EXPECT_EQ(rig.form->trendChart().alarmLabel(), "Alarm = 401");

    auto again = open();  // opens in Fahrenheit
    EXPECT_TRUE(again->Option2->isChecked());
    EXPECT_EQ(again->Text1->text(), "401");
    EXPECT_EQ(again->Label1[3]->text(), "F");
}
