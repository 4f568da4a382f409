#pragma once
#include "core/shared_state.h"

#include <QString>

namespace settings {

// The program's own per-user settings: what it keeps beyond Settings.ini, in one INI file
// of its own in the per-user configuration folder. Today that is the run guard's limits
// (group "RunGuard", seconds and Celsius); each group is read into the shared state and
// written back from it. Settings.ini is never touched.
//
// A file that is missing, cannot be read or holds no settings gives the defaults; a value
// that is not a number gets its default and one out of range the nearest limit. In each
// case the file is written anew, so the diagnostic list says it once. A missing file (the
// first start) or key (a group added since the file was written) is no fault and is not
// said.
class OwnSettings {
public:
    static constexpr const char* kFileName = "ControlRoom.ini";

    // folder: the per-user configuration folder; tests pass a temporary one.
    OwnSettings(core::SharedState& state, QString folder);

    // Reads every group into the shared state.
    void load();
    // Writes every group from the shared state. False, said in the diagnostic list, when
    // the file cannot be written: the values then hold until the program ends.
    bool save();

    QString path() const;

private:
    core::SharedState& state_;
    QString folder_;
};

}  // namespace settings
