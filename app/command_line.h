#pragma once
#include <QString>
#include <QStringList>

#include <optional>

namespace app {

// The program's options. Without any, the program runs as it always has.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool demo = false;     // the built-in simulated station, connected at start; Settings.ini untouched
    QString deviceSerial;  // the FTDI bridge to use when several are plugged in
    QString error;         // what was wrong, for Action::Error
};

// Reads the arguments; the first one is the program itself.
CommandLine parseCommandLine(const QStringList& arguments);
QStringList argumentsOf(int argc, char** argv);

QString helpText(const QString& program);
QString versionText(const QString& version);

// --help and --version answered on stdout before any window system is needed: the exit
// status when that was asked for. Other mistakes wait until Qt has taken its own options.
std::optional<int> answerHelpOrVersion(int argc, char** argv, const QString& version);
// A wrong command line reported on stderr: the exit status (2) when there was one.
std::optional<int> answerUsageError(const CommandLine& line, const QString& program);

}  // namespace app
