#pragma once
#include "core/shared_state.h"
#include "platform/bridge_notice.h"
#include "platform/clock.h"

#include <QString>

#include <functional>
#include <memory>

namespace app {

// The program's log on stderr, for whoever started it from a terminal: what the USB bridge
// has to say (the device it opened, why an open failed) and each time the station comes
// online or goes offline. The first time USB access to the bridge is denied it also puts
// one line in the diagnostic list that points to the udev rule.
class ProgramLog {
public:
    using Writer = std::function<void(const QString& line)>;
    static constexpr const char* kAccessDeniedLine =
        "USB access to the station's bridge was denied: install the udev rule 70-kr9300-ftdi.rules "
        "(see the README, Troubleshooting) and plug the station in again";

    ProgramLog(core::SharedState& state, platform::Clock& clock, Writer writer = writeToStderr);

    void bridgeNotice(const platform::BridgeNotice& notice);
    static void writeToStderr(const QString& line);

private:
    void watchLink();

    core::SharedState& state_;
    Writer writer_;
    std::unique_ptr<platform::Timer> linkWatch_;
    bool online_ = false;
    bool accessDeniedShown_ = false;
};

}  // namespace app
