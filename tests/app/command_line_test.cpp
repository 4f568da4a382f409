// The program's options, and what the help says about them.
#include "app/command_line.h"

#include <gtest/gtest.h>

using app::CommandLine;
using Action = CommandLine::Action;

TEST(CommandLine, OptionsAndMistakes) {
    struct Case {
        QStringList args;  // after the program's name
        Action action;
        bool demo;
        QString serial;
        QString error;
    };
    const std::vector<Case> cases = {
        {{}, Action::Run, false, {}, {}},
        {{"--demo"}, Action::Run, true, {}, {}},
        {{"--device", "A9300KR1"}, Action::Run, false, "A9300KR1", {}},
        {{"--device=FT4X2Y", "--demo"}, Action::Run, true, "FT4X2Y", {}},
        {{"--device", "ONE", "--device", "TWO"}, Action::Run, false, "TWO", {}},
        {{"--help"}, Action::Help, false, {}, {}},
        {{"-h", "--bogus"}, Action::Help, false, {}, {}},
        {{"--demo", "-V"}, Action::Version, true, {}, {}},
        {{"--version"}, Action::Version, false, {}, {}},
        {{"--device"}, Action::Error, false, {}, "option '--device' needs a serial number"},
        {{"--device="}, Action::Error, false, {}, "option '--device' needs a serial number"},
        {{"--bogus", "--help"}, Action::Error, false, {}, "unknown option '--bogus'"},
        {{"-d"}, Action::Error, false, {}, "unknown option '-d'"},
        {{"profile.znt"}, Action::Error, false, {}, "unexpected argument 'profile.znt'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CommandLine line = app::parseCommandLine(QStringList{"/usr/bin/kr9300"} + c.args);
        EXPECT_EQ(line.action, c.action);
        if (c.action == Action::Run || c.action == Action::Error) {
            EXPECT_EQ(line.demo, c.demo);
            EXPECT_EQ(line.deviceSerial.toStdString(), c.serial.toStdString());
        }
        EXPECT_EQ(line.error.toStdString(), c.error.toStdString());
    }
}

TEST(CommandLine, HelpNamesEveryOptionAndVersionIsOneLine) {
    const QString help = app::helpText("kr9300");
    EXPECT_TRUE(help.startsWith("Usage: kr9300 [OPTION]...\n"));
    for (const char* option : {"--demo", "--device SERIAL", "-h, --help", "-V, --version"})
        EXPECT_TRUE(help.contains(option)) << option;
    EXPECT_EQ(app::versionText("0.1.0"), "kr9300 0.1.0\n");
    EXPECT_EQ(app::answerUsageError(app::parseCommandLine({"kr9300", "--demo"}), "kr9300"), std::nullopt);
}

TEST(CommandLine, RunsDbTakesAShopAddressButNoPassword) {
    const CommandLine ok = app::parseCommandLine({"kr9300", "--runs-db", "postgresql://bench@shop:5432/runs"});
    EXPECT_EQ(ok.action, Action::Run);
    EXPECT_EQ(ok.runsDb, "postgresql://bench@shop:5432/runs");
    EXPECT_EQ(app::parseCommandLine({"kr9300", "--runs-db=postgresql://b@s/r"}).runsDb, "postgresql://b@s/r");
    const CommandLine secret = app::parseCommandLine({"kr9300", "--runs-db", "postgresql://bench:pw@shop/runs"});
    EXPECT_EQ(secret.action, Action::Error);
    EXPECT_TRUE(secret.error.startsWith("option '--runs-db': the address holds a password")) << secret.error.toStdString();
    EXPECT_EQ(app::parseCommandLine({"kr9300", "--runs-db"}).action, Action::Error);
}
