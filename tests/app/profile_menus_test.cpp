// The main window's profile menus open the editor; leaving it gives the main window back.
#include "profiles/paste_windows_form.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

TEST(ProfileMenus, EachOpensTheOneEditorAndLeavingItGivesTheMainWindowBack) {
    ProgramRig rig(ProgramRig::settingsWith("AutoTCPlot", "1"));
    rig.start();
    ASSERT_TRUE(rig.runTicks(1));
    for (QAction* a : {rig.form->M_File_New_Profile, rig.form->M_File_Open_Profile, rig.form->M_Profile_Editor,
                       rig.form->M_Profile_Run_Records})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();

    rig.form->M_Profile_Editor->trigger();
    profiles::Profile_Editor_Form* editor = rig.program->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(rig.form->isEnabled());
    EXPECT_FALSE(rig.state.Settings.AutoTCPlot);
    rig.form->M_Profile_Editor->trigger();  // a second request raises the same window
    EXPECT_EQ(rig.program->editor(), editor);

    editor->Command1->click();
    EXPECT_TRUE(rig.form->isEnabled());
    EXPECT_TRUE(rig.state.Settings.AutoTCPlot);
    rig.clock.advance(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(rig.program->editor(), nullptr) << "the editor is unloaded when it closes";

    // File > New > Profile runs New on the first paint.
    rig.form->M_File_New_Profile->trigger();
    editor = rig.program->editor();
    ASSERT_NE(editor, nullptr);
    editor->Text7->setText("OLD");
    rig.dialogs.questionAnswers = {platform::Dialogs::Answer::No};  // typed before New: dropped
    editor->grab();  // the first paint
    rig.clock.advance(1);
    EXPECT_EQ(editor->Text7->text(), "Untitled");
    EXPECT_FALSE(rig.state.NewProfileOnShow);
    editor->close();  // the close box, idle
    EXPECT_TRUE(rig.form->isEnabled());
    rig.clock.advance(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // File > Open > Profile shows the open dialog on the first paint; cancelled, the editor stays empty.
    rig.form->M_File_Open_Profile->trigger();
    editor = rig.program->editor();
    ASSERT_NE(editor, nullptr);
    editor->grab();
    rig.clock.advance(1);
    ASSERT_FALSE(rig.dialogs.requests.empty());
    EXPECT_EQ(rig.dialogs.requests.back().title, "Open");
    EXPECT_EQ(rig.dialogs.requests.back().filter, "ZENT Profiles (*.znt)|*.znt");
    EXPECT_EQ(editor->Text7->text(), "Untitled");
    EXPECT_TRUE(editor->Text1->text().isEmpty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(ProfileMenus, RunRecordsOpensTheRunsFolder) {
    ProgramRig rig;
    rig.start();
    rig.form->M_Profile_Run_Records->trigger();
    ASSERT_EQ(rig.shell.urls.size(), 1);
    EXPECT_EQ(QUrl(rig.shell.urls[0]).toLocalFile(), QDir(rig.folder).filePath("Runs"));
    EXPECT_TRUE(QDir(QDir(rig.folder).filePath("Runs")).exists());
}

TEST(ProfileMenus, PasteWindowsOpensOverTheMainWindowAndTheEditorListsWhatItKeeps) {
    ProgramRig rig;
    rig.start();
    rig.form->M_Profile_Paste_Windows->trigger();
    auto* windows = rig.form->findChild<profiles::PasteWindowsForm*>("PasteWindowsForm");
    ASSERT_NE(windows, nullptr);
    EXPECT_TRUE(windows->isVisible());
    windows->cmdCopy->click();  // Sn63Pb37, selected at first
    windows->close();
    rig.form->M_Profile_Editor->trigger();
    ASSERT_NE(rig.program->editor(), nullptr);
    EXPECT_EQ(rig.program->editor()->cboPaste->findText("Sn63Pb37 copy"), 2);
}
