#pragma once
#include "platform/shell.h"

#include <QString>

#include <memory>

class QObject;

namespace platform {

// Opens addresses through QDesktopServices; the beep is a generated tone on the
// default audio output, or the desktop bell when there is no audio device. The tone
// player is a module loaded at the first beep (kToneModule beside the executable, or in
// ../lib/kr9300 when installed).
class QtShell final : public Shell {
public:
    static constexpr const char* kToneModule = "kr9300_tone";

    QtShell();
    ~QtShell() override;
    bool openUrl(const QString& address) override;
    void beep() override;
    void copyText(const QString& text) override;
    // Loads the tone module and opens the audio output now, so the first beep is not late;
    // the program does this once it is up, not at start.
    void prepareBeep();

private:
    bool playTone();

    using PlayTone = bool (*)(QObject*);
    bool toneLoaded_ = false;
    PlayTone play_ = nullptr;
    std::unique_ptr<QObject> tone_;
};

}  // namespace platform
