#include "app/program_log.h"

#include <cstdio>

namespace app {

namespace {
constexpr int kLinkWatchMs = 1000;
}

ProgramLog::ProgramLog(core::SharedState& state, platform::Clock& clock, Writer writer)
    : state_(state), writer_(std::move(writer)) {
    linkWatch_ = clock.createTimer(kLinkWatchMs, [this] { watchLink(); });
    linkWatch_->setLoose();
    linkWatch_->setEnabled(true);
}

void ProgramLog::writeToStderr(const QString& line) {
    std::fprintf(stderr, "kr9300: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void ProgramLog::bridgeNotice(const platform::BridgeNotice& notice) {
    writer_("USB: " + notice.text);
    if (notice.kind != platform::BridgeNotice::Kind::AccessDenied || accessDeniedShown_) return;
    accessDeniedShown_ = true;
    state_.Diagnostics.add(kAccessDeniedLine);
}

void ProgramLog::watchLink() {
    if (state_.MachineOnline == online_) return;
    online_ = state_.MachineOnline;
    if (online_)
        writer_("KR-9300 online: Machine ID " + state_.MachineId + ", F/W Ver. " +
                QString::number(state_.FirmwareVersion));
    else
        writer_("KR-9300 offline");
}

}  // namespace app
