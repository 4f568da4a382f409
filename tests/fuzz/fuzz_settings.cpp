// libFuzzer target: whatever Settings.ini holds, reading it must not crash or misbehave.
#include "settings/settings_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    core::SharedState state;
    settings::SettingsFile file(state, "/nonexistent-kr9300-fuzz", "/nonexistent-kr9300-fuzz-user");
    const auto result =
        file.parseContents(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // A file that reads must give back lines that read the same.
    if (result.outcome == settings::SettingsFile::ReadResult::Read) {
        core::SharedState again;
        settings::SettingsFile copy(again, "/nonexistent-kr9300-fuzz", "/nonexistent-kr9300-fuzz-user");
        again.Settings = state.Settings;
        const QByteArray rewritten = copy.linesFromRecord().join("\r\n").toLatin1() + "\r\n";
        core::SharedState third;
        settings::SettingsFile reread(third, "/nonexistent-kr9300-fuzz", "/nonexistent-kr9300-fuzz-user");
        if (reread.parseContents(rewritten).outcome != settings::SettingsFile::ReadResult::Read) __builtin_trap();
        if (third.Settings.AlarmThreshold != state.Settings.AlarmThreshold) __builtin_trap();
    }
    return 0;
}
