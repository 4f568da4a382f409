#pragma once
#include <QObject>
#include <QString>

#include <csignal>
#include <memory>

class QSocketNotifier;

namespace app {

class Program;

// SIGTERM and SIGINT as ways out of the program. The first one enters the orderly exit,
// as File > Exit does; a second one, or one while the exit already runs, ends the program
// at once, as "Manual Disconnect" does, but with the USB bridge closed. The handler only
// writes the signal's number into a pipe; the event loop reads it on the UI thread, so
// the exit also starts while a transaction waits. One at a time per process; the
// destructor puts the previous handlers back.
class SignalExit : public QObject {
    Q_OBJECT
public:
    explicit SignalExit(Program& program);
    ~SignalExit() override;

    // False when the handlers could not be installed; `error` then says why.
    bool installed() const { return installed_; }
    const QString& error() const { return error_; }
    // Termination signals received so far.
    int signalsSeen() const { return seen_; }

private:
    void readPipe();
    void onSignal();

    Program& program_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
    bool installed_ = false;
    QString error_;
    int seen_ = 0;
};

}  // namespace app
