#pragma once
#include <QString>

namespace platform {

// The desktop around the program: web pages, the PC beep and the clipboard.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens the address with the desktop's default handler; false when no handler took it.
    virtual bool openUrl(const QString& address) = 0;
    // 500 Hz for 100 ms; returns at once.
    virtual void beep() = 0;
    // Puts the text on the desktop's clipboard.
    virtual void copyText(const QString& text) = 0;
};

}  // namespace platform
