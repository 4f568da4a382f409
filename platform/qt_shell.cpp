#include "platform/qt_shell.h"

#include "platform/tone_player.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QUrl>

namespace platform {

QtShell::QtShell() = default;
QtShell::~QtShell() = default;

bool QtShell::openUrl(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }

void QtShell::copyText(const QString& text) { QApplication::clipboard()->setText(text); }

void QtShell::beep() {
    if (!tone_) tone_ = std::make_unique<TonePlayer>();
    if (!tone_->play()) QApplication::beep();
}

}  // namespace platform
