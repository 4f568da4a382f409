// The Paste Windows window, driven by object name: copying a built-in window, the refusals
// of a change, and removing the user's window; every change in the own settings file.
#include "profiles/paste_windows_form.h"
#include "settings/own_settings.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/screenshot.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct PasteWindows : ::testing::Test {
    QTemporaryDir dir;
    core::SharedState state;
    settings::OwnSettings own{state, dir.path()};
    testsupport::ScriptedDialogs dialogs;
    QWidget opener;
    std::unique_ptr<profiles::PasteWindowsForm> form;
    int changes = 0;

    void SetUp() override {
        form = std::make_unique<profiles::PasteWindowsForm>(own, dialogs, &opener);
        form->setChangedHandler([this] { ++changes; });
        form->show();
    }
    template <typename W>
    W* find(const char* name) {
        auto* w = form->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QList<process::PasteWindow> kept() {
        settings::OwnSettings fresh(state, dir.path());
        return process::loadUserWindows(fresh);
    }
};

}  // namespace

TEST_F(PasteWindows, ABuiltInWindowIsCopiedNotChangedAndTheCopyIsChangedWithChecksAndRemoved) {
    EXPECT_EQ(form->windowModality(), Qt::WindowModal);
    ASSERT_TRUE(form->select("SAC305"));
    EXPECT_TRUE(find<QLineEdit>("txtName")->isReadOnly());
    EXPECT_FALSE(find<QPushButton>("cmdSave")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("cmdRemove")->isEnabled());
    EXPECT_EQ(find<QLineEdit>("txtLiquidusC")->text(), "217");
    testsupport::saveShot(*form, "paste-windows-built-in.png");

    click("cmdCopy");
    ASSERT_EQ(kept().size(), 1);
    EXPECT_EQ(kept()[0].name, "SAC305 copy");
    EXPECT_EQ(find<QListWidget>("lstWindows")->currentItem()->text(), "SAC305 copy");
    EXPECT_FALSE(find<QLineEdit>("txtName")->isReadOnly());
    click("cmdCopy");  // a copy of the copy gets a name of its own
    EXPECT_EQ(kept().value(1).name, "SAC305 copy copy");
    EXPECT_EQ(changes, 2);
    testsupport::saveShot(*form, "paste-windows.png");

    // Each refusal is said over the window and keeps the file as it was.
    const struct {
        const char* box;
        const char* text;
        const char* said;
    } refusals[] = {
        {"txtName", "  ", "The paste window needs a name."},
        {"txtName", "sn63pb37", "\"sn63pb37\" is a built-in name: give the copy a name of its own."},
        {"txtName", "SAC305 copy", "There is already a paste window \"SAC305 copy\"."},
        {"txtPeakLowC", "2x0", "The lowest peak must be a number."},
        {"txtLiquidusC", "500", "The liquidus must lie between 50 and 450 C."},
        {"txtSoakHighC", "140", "The soak band needs a range: 150-140 C."},
    };
    const QList<process::PasteWindow> before = kept();
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.box);
        ASSERT_TRUE(form->select("SAC305 copy copy"));  // the boxes shown anew
        find<QLineEdit>(r.box)->setText(r.text);
        click("cmdSave");
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages.back().text, r.said);
        EXPECT_EQ(dialogs.messages.back().owner, form.get());
        EXPECT_EQ(kept(), before);
        dialogs.messages.clear();
    }

    ASSERT_TRUE(form->select("SAC305 copy copy"));
    find<QLineEdit>("txtName")->setText("Low-silver");
    find<QLineEdit>("txtPeakHighC")->setText("245.5");
    click("cmdSave");
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(kept().size(), 2);
    EXPECT_EQ(kept()[1].name, "Low-silver");
    EXPECT_EQ(kept()[1].peakHighC, 245.5);

    dialogs.questionAnswers = {platform::Dialogs::Answer::No, platform::Dialogs::Answer::Yes};
    click("cmdRemove");
    EXPECT_EQ(kept().size(), 2) << "No keeps it";
    click("cmdRemove");
    ASSERT_EQ(kept().size(), 1);
    EXPECT_EQ(find<QListWidget>("lstWindows")->currentItem()->text(), "SAC305 copy") << "the one before selected";
}
