#pragma once
#include <QString>
#include <QStringList>

#include <optional>

namespace app {

// The program's options. Without any, the program runs as it always has.
struct CommandLine {
    enum class Action { Run, Help, Version, Judge, Error };
    Action action = Action::Run;
    bool demo = false;     // the built-in simulated station, connected at start; Settings.ini untouched
    QString deviceSerial;  // the FTDI bridge to use when several are plugged in
    QString judgeFile;     // --judge: a run record to judge against the paste, then exit
    QString paste;
    QString runsDb;        // --runs-db: the shop's shared runs database for this start, over the own settings
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
// --judge RUN.csv --paste NAME answered on stdout (the table and the verdict) before any
// window system is needed, with the user's paste windows from the own settings in
// userFolder: 0 for PASS, 1 for FAIL, 2 when the run could not be judged. A wrong command
// line with --judge or --paste is answered here as well.
std::optional<int> answerJudge(int argc, char** argv, const QString& userFolder);
// A wrong command line reported on stderr: the exit status (2) when there was one.
std::optional<int> answerUsageError(const CommandLine& line, const QString& program);

}  // namespace app
