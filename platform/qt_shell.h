#pragma once
#include "platform/shell.h"

#include <memory>

namespace platform {

class TonePlayer;

// Opens addresses through QDesktopServices; the beep is a generated tone on the
// default audio output, or the desktop bell when there is no audio device.
class QtShell final : public Shell {
public:
    QtShell();
    ~QtShell() override;
    bool openUrl(const QString& address) override;
    void beep() override;
    void copyText(const QString& text) override;

private:
    std::unique_ptr<TonePlayer> tone_;
};

}  // namespace platform
