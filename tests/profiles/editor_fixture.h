#pragma once
// An editor window on its own, against the simulated station on the virtual clock.
#include "profiles/profile_editor_form.h"
#include "settings/own_settings.h"
#include "tests/support/poller_rig.h"
#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

struct Editor : ::testing::Test {
    testsupport::PollerRig rig;
    testsupport::ScriptedDialogs dialogs;
    bool mainEnabled = true;
    int closed = 0;
    std::unique_ptr<profiles::Profile_Editor_Form> editor;
    settings::OwnSettings* own = nullptr;  // the paste windows and choices, when a test gives them

    void open() {
        editor = std::make_unique<profiles::Profile_Editor_Form>(
            rig.state, rig.clock, dialogs,
            profiles::EditorFolders{rig.dir.filePath("program"), rig.dir.filePath("user")},
            [this](bool on) { mainEnabled = on; });
        editor->setClosedHandler([this] { ++closed; });
        editor->setOwnSettings(own);
        editor->Form_Load();
        editor->show();
    }
    template <typename W>
    W* find(const char* name) {
        auto* w = editor->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

}  // namespace testsupport
