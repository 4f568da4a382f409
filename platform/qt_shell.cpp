#include "platform/qt_shell.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QLibrary>
#include <QUrl>

#include <cstdio>

namespace platform {

QtShell::QtShell() = default;
QtShell::~QtShell() = default;

bool QtShell::openUrl(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }

void QtShell::copyText(const QString& text) { QApplication::clipboard()->setText(text); }

void QtShell::prepareBeep() {
    if (toneLoaded_) return;
    toneLoaded_ = true;
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& path : {here.filePath(kToneModule), here.filePath(QString("../lib/kr9300/") + kToneModule)}) {
        QLibrary module(path);
        if (!module.load()) continue;
        using Create = QObject* (*)();
        const auto create = reinterpret_cast<Create>(module.resolve("krCreateTonePlayer"));
        play_ = reinterpret_cast<PlayTone>(module.resolve("krPlayTone"));
        if (create && play_) tone_.reset(create());
        break;
    }
    if (!tone_) std::fprintf(stderr, "kr9300: no tone module (%s): the beep is the desktop bell\n", kToneModule);
}

// False when the tone module is missing or has no audio output.
bool QtShell::playTone() {
    prepareBeep();
    return tone_ && play_(tone_.get());
}

void QtShell::beep() {
    if (!playTone()) QApplication::beep();
}

}  // namespace platform
