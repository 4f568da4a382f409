#pragma once
#include "core/shared_state.h"
#include "link/link.h"
#include "link/poller.h"
#include "mainwin/form1.h"
#include "app/program.h"
#include "settings/settings_file.h"
#include "platform/virtual_clock.h"
#include "simulator/sim_bridge.h"
#include "tests/support/counting_bridge.h"
#include "tests/support/recording_display.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

// The whole program, main window included, against a simulated station on virtual
// time. The program folder is a temporary copy holding the program's pictures.
struct ProgramRig {
    explicit ProgramRig(const QStringList& settingsLines = {}, int firmware = 7, std::uint64_t seed = 1)
        : station(clock, firmware, seed), bridge(station) {
        folder = dir.filePath("program");
        QDir().mkpath(folder);
        const QDir assets(KR_ASSET_DIR);
        for (const QString& f : assets.entryList({"*.jpg", "*.png"}, QDir::Files))
            QFile::copy(assets.filePath(f), QDir(folder).filePath(f));
        if (!settingsLines.isEmpty()) {
            QFile ini(QDir(folder).filePath("Settings.ini"));
            if (ini.open(QIODevice::WriteOnly))
                for (const QString& l : settingsLines) ini.write(l.toLatin1() + "\r\n");
        }
        program = std::make_unique<app::Program>(state, bridgeCalls, clock, dialogs, shell, folder, dir.filePath("user"));
        program->userDataFolder = dir.filePath("userdata");
        form = &program->form;
        poller = &program->poller;
        file = &program->file;
    }
    void start() { program->start(); }
    bool runTicks(int n) {
        const auto target = poller->ticksRun() + std::uint64_t(n);
        return clock.runUntil([&] { return poller->ticksRun() >= target && !state.PollerBusy; },
                              std::int64_t(n) * 30000);
    }
    void expectNoViolations() {
        for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    }
    static QStringList settingsWith(const QString& key, const QString& value) {
        QStringList l = settings::SettingsFile::defaultLines();
        for (QString& line : l)
            if (line.startsWith(key + "=")) line = key + "=" + value;
        return l;
    }

    QTemporaryDir dir;
    QString folder;
    platform::VirtualClock clock;
    simulator::SimStation station;
    simulator::SimBridge bridge;
    CountingBridge bridgeCalls{bridge};  // what the program sees: every call recorded
    core::SharedState state;
    ScriptedDialogs dialogs;
    CountingShell shell;
    std::unique_ptr<app::Program> program;
    mainwin::Form1* form = nullptr;
    stationlink::Poller* poller = nullptr;
    settings::SettingsFile* file = nullptr;
};

}  // namespace testsupport
