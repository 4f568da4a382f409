// The options dialog's run guard group and where its limits are kept.
#include "mainwin/options_form.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using mainwin::OptionsForm;
using testsupport::ProgramRig;

namespace {
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct GuardOptions : ::testing::Test {
    std::unique_ptr<ProgramRig> rig = std::make_unique<ProgramRig>(settings::SettingsFile::defaultLines());
    // Opened as Tools > Options opens it.
    OptionsForm* open() {
        rig->program->openOptions();
        const auto all = rig->form->findChildren<OptionsForm*>();  // the newest is the last
        return all.isEmpty() ? nullptr : all.last();
    }
    std::vector<int> limits() const {
        const core::RunGuardLimits& g = rig->state.GuardLimits;
        return {g.noRiseS, g.approachS, g.waitS, g.overshootC, g.linkLostS};
    }
};
}  // namespace

// Read at start; stored on Accept in the own file only: Settings.ini stays byte for byte.
TEST_F(GuardOptions, TheLimitsLiveInTheOwnFileAndSettingsIniStaysByteForByte) {
    QFile own(rig->program->own.path());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(own).path()) && own.open(QIODevice::WriteOnly));
    own.write("[RunGuard]\nNoRiseLimit=200\n");
    own.close();
    rig->start();
    const QByteArray ini = bytesOf(rig->file->path());
    OptionsForm* dialog = open();
    EXPECT_EQ(dialog->guardNoRise->text(), "200");
    EXPECT_EQ(dialog->guardOvershoot->text(), "20");
    testsupport::saveShot(*dialog, "options_run_guard.png");
    dialog->guardNoRise->setText("45");
    dialog->guardApproach->setText("3600");
    dialog->guardWait->setText(" 300 ");
    dialog->guardOvershoot->setText("5");
    dialog->guardLinkLost->setText("120");
    dialog->Command1->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(limits(), std::vector<int>({45, 3600, 300, 5, 120}));
    EXPECT_EQ(bytesOf(rig->file->path()), ini);

    core::SharedState next;
    settings::OwnSettings(next, QFileInfo(own).path()).load();
    EXPECT_EQ(next.GuardLimits.noRiseS, 45);
}

TEST_F(GuardOptions, AnEmptyOrOutOfRangeBoxIsRefusedWithItsRangeAndNothingIsStored) {
    rig->start();
    const std::pair<QLineEdit* OptionsForm::*, const char*> cases[] = {
        {&OptionsForm::guardNoRise, ""},
        {&OptionsForm::guardApproach, "59"},
        {&OptionsForm::guardLinkLost, "30s"},
    };
    const QByteArray ownBefore = bytesOf(rig->program->own.path());
    for (const auto& [member, typed] : cases) {
        OptionsForm* dialog = open();
        dialog->Text1->setText("300");  // a good alarm threshold is not taken either
        QLineEdit* box = dialog->*member;
        box->setText(typed);
        dialog->Command1->click();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->focusWidget(), box) << typed;
        EXPECT_EQ(box->selectedText(), typed);
        dialog->Command2->click();
    }
    ASSERT_EQ(rig->dialogs.messages.size(), 3u);
    EXPECT_EQ(rig->dialogs.messages[0].title, "Data Error");
    EXPECT_EQ(rig->dialogs.messages[0].text, "The no-rise limit box is empty. Type a value from 30 to 600 s.");
    EXPECT_EQ(rig->dialogs.messages[1].text,
              "The approach limit box holds 59, which is out of range. Type a value from 60 to 3600 s.");
    EXPECT_EQ(rig->dialogs.messages[2].text,
              "The link-lost limit box holds \"30s\", which is not a number. Type a value from 10 to 120 s.");
    EXPECT_EQ(rig->state.Settings.AlarmThreshold, 205);
    EXPECT_EQ(limits(), std::vector<int>({90, 600, 120, 20, 30}));
    EXPECT_EQ(bytesOf(rig->program->own.path()), ownBefore);
}

// A margin is a temperature difference: 20 C shows as 36 F, 5..60 C as 9..108 F, and every
// margin comes back from Fahrenheit as it went in.
TEST_F(GuardOptions, InFahrenheitTheMarginIsADifferenceAndRoundTrips) {
    rig = std::make_unique<ProgramRig>(ProgramRig::settingsWith("TempUnit", "1"));
    rig->start();
    OptionsForm* dialog = open();
    EXPECT_EQ(dialog->guardOvershoot->text(), "36");
    EXPECT_EQ(dialog->guardOvershootRange->text(), "9 to 108");
    EXPECT_EQ(dialog->guardNoRise->text(), "90");  // seconds stay seconds
    dialog->Option1->click();
    EXPECT_EQ(dialog->guardOvershoot->text(), "20");
    dialog->Option2->click();
    dialog->guardOvershoot->setText("109");
    dialog->Command1->click();
    ASSERT_EQ(rig->dialogs.messages.size(), 1u);
    EXPECT_EQ(rig->dialogs.messages[0].text,
              "The overshoot margin box holds 109, which is out of range. Type a value from 9 to 108 F.");
    dialog->Command2->click();

    for (int c = 5; c <= 60; ++c) {
        rig->state.GuardLimits.overshootC = c;
        open()->Command1->click();
        EXPECT_EQ(rig->state.GuardLimits.overshootC, c);
    }
    dialog = open();
    dialog->guardOvershoot->setText("108");
    dialog->Command1->click();
    EXPECT_EQ(rig->state.GuardLimits.overshootC, 60);
}
