#include "app/command_line.h"

#include "core/shared_state.h"
#include "history/shop_address.h"
#include "process/run_file.h"
#include "settings/own_settings.h"
#include "simulator/station_store.h"

#include <QFileInfo>

#include <cstdio>

namespace app {

namespace {
constexpr int kUsageError = 2;
constexpr const char* kDeviceIs = "--device=";
constexpr const char* kJudge = "--judge";
constexpr const char* kPaste = "--paste";
constexpr const char* kRunsDb = "--runs-db";

CommandLine failed(QString error) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = std::move(error);
    return line;
}

// "--option VALUE" or "--option=VALUE" at arguments[i]; i moves past the value. Empty when
// the argument is not that option; an empty value when it has none.
std::optional<QString> optionValue(const QStringList& arguments, qsizetype& i, const QString& option) {
    const QString& a = arguments[i];
    if (a.startsWith(option + "=")) return a.mid(option.size() + 1);
    if (a != option) return std::nullopt;
    return i + 1 < arguments.size() ? arguments[++i] : QString();
}

QString programName(const QStringList& arguments) {
    return arguments.isEmpty() ? QString("kr9300") : QFileInfo(arguments.first()).fileName();
}

void print(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}
}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "-h" || a == "--help") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (a == "-V" || a == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (a == "--demo") {
            line.demo = true;
        } else if (a == "--device" || a.startsWith(kDeviceIs)) {
            QString serial;
            if (a == "--device") {
                if (i + 1 >= arguments.size()) return failed("option '--device' needs a serial number");
                serial = arguments[++i];
            } else {
                serial = a.mid(QString(kDeviceIs).size());
            }
            if (serial.isEmpty()) return failed("option '--device' needs a serial number");
            line.deviceSerial = serial;
        } else if (const auto file = optionValue(arguments, i, kJudge)) {
            if (file->isEmpty()) return failed("option '--judge' needs a run record (.csv)");
            line.judgeFile = *file;
        } else if (const auto paste = optionValue(arguments, i, kPaste)) {
            if (paste->isEmpty()) return failed("option '--paste' needs the name of a paste");
            line.paste = *paste;
        } else if (const auto url = optionValue(arguments, i, kRunsDb)) {
            QString why;
            if (!history::parseShopAddress(*url, &why)) return failed("option '--runs-db': " + why);
            line.runsDb = url->trimmed();
        } else if (a.startsWith('-')) {
            return failed("unknown option '" + a + "'");
        } else {
            return failed("unexpected argument '" + a + "'");
        }
    }
    if (!line.judgeFile.isEmpty() && line.paste.isEmpty()) return failed("option '--judge' needs '--paste NAME'");
    if (line.judgeFile.isEmpty() && !line.paste.isEmpty()) return failed("option '--paste' goes with '--judge'");
    if (!line.judgeFile.isEmpty()) line.action = CommandLine::Action::Judge;
    return line;
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList l;
    for (int i = 0; i < argc; ++i) l << QString::fromLocal8Bit(argv[i]);
    return l;
}

QString helpText(const QString& program) {
    return "Usage: " + program + " [OPTION]...\n" +
           "The control program of the KR-9300 infrared rework station.\n"
           "\n"
           "  --demo           run against the built-in simulated station and connect to it\n"
           "                   at start, whatever RunDemoMode in Settings.ini says (the file\n"
           "                   is not changed)\n"
           "  --device SERIAL  use the FTDI USB bridge with this serial number, when several\n"
           "                   are plugged in\n"
           "  --judge RUN.csv --paste NAME\n"
           "                   judge a run record against a paste window (Sn63Pb37, SAC305,\n"
           "                   or one of your own), print the figures and the verdict and\n"
           "                   exit: 0 for PASS, 1 for FAIL, 2 when it cannot be judged\n"
           "  --runs-db postgresql://USER@HOST:PORT/DBNAME\n"
           "                   keep runs in the shop's shared database as well (the password\n"
           "                   comes from ~/.pgpass or PGPASSWORD, never from here)\n"
           "  -h, --help       show this help and exit\n"
           "  -V, --version    show the version and exit\n"
           "\n"
           "Without options the program uses the first FT232R bridge (0403:6001) it finds.\n"
           "Settings.ini is kept in the program's folder, or in the per-user configuration\n"
           "folder when the program is installed or its folder cannot be written. The\n"
           "simulated station keeps its settings and profile slots beside it, in\n"
           "\"" + QString(simulator::StationStore::kFileName) + "\".\n";
}

QString versionText(const QString& version) { return "kr9300 " + version + "\n"; }

std::optional<int> answerHelpOrVersion(int argc, char** argv, const QString& version) {
    const QStringList arguments = argumentsOf(argc, argv);
    const CommandLine line = parseCommandLine(arguments);
    if (line.action == CommandLine::Action::Help) print(stdout, helpText(programName(arguments)));
    else if (line.action == CommandLine::Action::Version) print(stdout, versionText(version));
    else return std::nullopt;
    return 0;
}

std::optional<int> answerJudge(int argc, char** argv, const QString& userFolder) {
    const QStringList arguments = argumentsOf(argc, argv);
    const CommandLine line = parseCommandLine(arguments);
    bool judging = false;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        judging = judging || arguments[i].startsWith(kJudge) || arguments[i].startsWith(kPaste);
    if (line.action == CommandLine::Action::Error && judging) return answerUsageError(line, arguments.value(0));
    if (line.action != CommandLine::Action::Judge) return std::nullopt;

    core::SharedState state;
    settings::OwnSettings own(state, userFolder);
    const QList<process::PasteWindow> user = process::loadUserWindows(own);
    for (const QString& d : state.Diagnostics.lines()) print(stderr, programName(arguments) + ": " + d + "\n");
    const process::JudgeAnswer answer = process::judgeRunFile(line.judgeFile, line.paste, user);
    print(stdout, answer.out);
    if (!answer.error.isEmpty()) print(stderr, programName(arguments) + ": " + answer.error + "\n");
    return answer.status;
}

std::optional<int> answerUsageError(const CommandLine& line, const QString& program) {
    if (line.action != CommandLine::Action::Error) return std::nullopt;
    const QString name = QFileInfo(program).fileName();
    print(stderr, name + ": " + line.error + "\nTry '" + name + " --help' for more information.\n");
    return kUsageError;
}

}  // namespace app
