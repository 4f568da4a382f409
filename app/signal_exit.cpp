#include "app/signal_exit.h"

#include "app/program.h"
#include "core/named_values.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

// The write end of the pipe, for the handler; -1 while no SignalExit is installed.
volatile std::sig_atomic_t pipeWriteEnd = -1;

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Async-signal-safe; a full pipe already holds a signal that has not been read.
    [[maybe_unused]] const ssize_t n = ::write(pipeWriteEnd, &byte, 1);
    errno = savedErrno;
}

QString systemError(const char* what) { return QString("%1: %2").arg(what, std::strerror(errno)); }

}  // namespace

SignalExit::SignalExit(Program& program) : program_(program) {
    if (pipeWriteEnd != -1) {
        error_ = "termination signals are already handled by another part of the program";
        return;
    }
    if (::pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0) {
        error_ = systemError("cannot make the pipe for termination signals");
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readPipe(); });
    pipeWriteEnd = pipe_[1];

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &previousTerm_) != 0) {
        error_ = systemError("cannot handle SIGTERM");
        return;
    }
    if (::sigaction(SIGINT, &action, &previousInt_) != 0) {
        error_ = systemError("cannot handle SIGINT");
        ::sigaction(SIGTERM, &previousTerm_, nullptr);
        return;
    }
    installed_ = true;
}

SignalExit::~SignalExit() {
    if (installed_) {
        ::sigaction(SIGTERM, &previousTerm_, nullptr);
        ::sigaction(SIGINT, &previousInt_, nullptr);
    }
    notifier_.reset();
    if (pipe_[1] != -1 && pipeWriteEnd == pipe_[1]) pipeWriteEnd = -1;
    for (int fd : pipe_)
        if (fd != -1) ::close(fd);
}

void SignalExit::readPipe() {
    unsigned char bytes[16];
    ssize_t n = 0;
    while ((n = ::read(pipe_[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i) onSignal();
}

void SignalExit::onSignal() {
    ++seen_;
    if (program_.clock.ending()) {  // already on its way out: a second signal ends it again
        if (seen_ > 1) program_.form.endProgram();
        return;
    }
    // The exit runs once it hands the settings back or waits for work under way to finish;
    // a switch-off before leaving gives way to the orderly exit.
    const bool exitRunning = program_.leaving() && !program_.exitQuestion.switchingOff();
    if (seen_ == 1 && !exitRunning) program_.requestExit();
    else program_.departure.EndAtOnce(true);
}

}  // namespace app
