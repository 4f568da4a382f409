#include "settings/settings_file.h"
#include "tests/support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

#include <gtest/gtest.h>

using settings::SettingsFile;

namespace {
struct IniFile : ::testing::Test {
    QTemporaryDir dir;
    core::SharedState state;
    QString program() const { return dir.filePath("program"); }
    QString user() const { return dir.filePath("user"); }
    void SetUp() override { QDir().mkpath(program()); }

    QString iniPath() const { return QDir(program()).filePath("Settings.ini"); }
    void writeRaw(const QByteArray& data, const QString& path = {}) {
        QFile f(path.isEmpty() ? iniPath() : path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    void writeLines(const QStringList& lines) {
        QByteArray data;
        for (const QString& l : lines) data += l.toLatin1() + "\r\n";
        writeRaw(data);
    }
    QByteArray raw(const QString& path = {}) const {
        QFile f(path.isEmpty() ? iniPath() : path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray defaultBytes() {
        return "[ZENT_INI_file]\r\nBeepWB=1\r\nAutoUSB=1\r\nAutoTCPlot=0\r\nSwSleepMode=0\r\nRunDemoMode=0\r\n"
               "AlarmMSD=0\r\nAlarmLSD=205\r\nTempUnit=0\r\nSafetySP_MSD=0\r\nSafetySP_LSD=220\r\n";
    }
    QStringList withLine(int index, const QString& line) const {
        QStringList l = SettingsFile::defaultLines();
        l[index] = line;
        return l;
    }
    SettingsFile::ReadResult read() {
        SettingsFile file(state, program(), user());
        return file.Read_INI();
    }
};
}  // namespace

TEST_F(IniFile, MissingFileCreatesTheDefaultFileExactly) {
    const auto result = read();
    EXPECT_EQ(result.outcome, SettingsFile::ReadResult::Created);
    EXPECT_EQ(raw(), defaultBytes());
    EXPECT_EQ(state.Settings.AlarmThreshold, 205);
    EXPECT_EQ(state.Settings.SafetySP, 220);
    EXPECT_EQ(state.Settings.TempUnit, 0);
    EXPECT_TRUE(state.Settings.BeepWB);
    EXPECT_TRUE(state.Settings.AutoUSB);
    EXPECT_FALSE(state.ConnectRequested);  // only a read AutoUSB line asks to connect
    EXPECT_TRUE(state.Diagnostics.lines().isEmpty());
}

TEST_F(IniFile, WrittenFileReadsBackTheSameRecord) {
    state.Settings = {true, false, true, false, true, 0, 0, 300, 1, 0, 0, 300};
    SettingsFile file(state, program(), user());
    ASSERT_TRUE(file.Write_INI());
    EXPECT_TRUE(raw().contains("\r\nAlarmMSD=1\r\nAlarmLSD=44\r\n"));
    EXPECT_TRUE(raw().contains("\r\nSafetySP_MSD=1\r\nSafetySP_LSD=44\r\n"));
    EXPECT_TRUE(raw().contains("TempUnit=1\r\n"));
    core::SharedState fresh;
    SettingsFile again(fresh, program(), user());
    EXPECT_EQ(again.Read_INI().outcome, SettingsFile::ReadResult::Read);
    EXPECT_EQ(fresh.Settings.SafetySP, 300);
    EXPECT_EQ(fresh.Settings.AlarmThreshold, 300);
    EXPECT_EQ(fresh.Settings.SafetySP_MSD, 0);  // the load fills the combined value only
    EXPECT_TRUE(fresh.Settings.AutoTCPlot);
    EXPECT_TRUE(fresh.Settings.RunDemoMode);
    EXPECT_FALSE(fresh.Settings.AutoUSB);
}

TEST_F(IniFile, BooleanValuesReadAsTheNumberTheyBeginWith) {
    const std::pair<const char*, bool> cases[] = {
        {"BeepWB=0", false}, {"BeepWB=2", true},   {"BeepWB=1abc", true}, {"BeepWB=", false},
        {"BeepWB=a1", false}, {"BeepWB=  1", true}, {"BeepWB=0 0", false}, {"BeepWB=-1", true},
        {"BeepWB=0.4", true},
    };
    for (const auto& [line, expected] : cases) {
        writeLines(withLine(1, line));
        state.Settings.BeepWB = !expected;
        EXPECT_EQ(read().outcome, SettingsFile::ReadResult::Read) << line;
        EXPECT_EQ(state.Settings.BeepWB, expected) << line;
    }
}

TEST_F(IniFile, MisspeltOrMisplacedKeysAndShortFilesAreReplacedByDefaults) {
    const QStringList bad[] = {
        withLine(1, "beepwb=1"),
        withLine(0, "[zent_ini_file]"),
        withLine(7, "AlarmLsd=300"),
        SettingsFile::defaultLines().mid(0, 9),   // ends after TempUnit
        SettingsFile::defaultLines().mid(0, 10),  // ends after SafetySP_MSD
    };
    for (const QStringList& lines : bad) {
        QStringList changed = lines;
        if (changed.size() > 2) changed[2] = "AutoUSB=1";
        if (changed.size() > 6) changed[6] = "AlarmMSD=1";  // would be 461 if it were taken
        writeLines(changed);
        EXPECT_EQ(read().outcome, SettingsFile::ReadResult::Replaced) << lines.join('|').toStdString();
        EXPECT_EQ(raw(), defaultBytes());
        EXPECT_EQ(state.Settings.AlarmThreshold, 205);
    }
}

TEST_F(IniFile, LinesAfterTheEleventhAreIgnored) {
    QStringList lines = SettingsFile::defaultLines();
    lines << "Extra=1" << "garbage";
    writeLines(lines);
    EXPECT_EQ(read().outcome, SettingsFile::ReadResult::Read);
}

TEST_F(IniFile, ReadAutoUsbAndPlotLinesSurviveALaterMismatch) {
    QStringList lines = withLine(3, "AutoTCPlot=1");
    lines[8] = "Tempunit=1";
    writeLines(lines);
    const auto result = read();
    EXPECT_EQ(result.outcome, SettingsFile::ReadResult::Replaced);
    EXPECT_TRUE(state.ConnectRequested);
    ASSERT_TRUE(result.plotCaptionStop.has_value());
    EXPECT_TRUE(*result.plotCaptionStop);
    EXPECT_FALSE(state.Settings.AutoTCPlot);  // the record has the defaults
}

TEST_F(IniFile, LoadErrorsKeepWhatWasReadAndReportTheCode) {
    writeLines(SettingsFile::defaultLines().mid(0, 5));  // ends before TempUnit
    auto r = read();
    EXPECT_EQ(r.outcome, SettingsFile::ReadResult::LoadError);
    EXPECT_EQ(r.errorCode, 62);
    EXPECT_EQ(state.Diagnostics.lines(), QStringList{"Error Code:  62"});
    EXPECT_EQ(raw().count("\r\n"), 5);  // the file is left alone

    state.Diagnostics.clear();
    writeLines(withLine(6, "AlarmMSD=40000"));
    r = read();
    EXPECT_EQ(r.errorCode, 6);
    EXPECT_EQ(state.Diagnostics.lines(), QStringList{"Error Code:  6"});

    writeLines(withLine(6, "AlarmMSD=200"));  // 200 * 256 + 205 leaves 16 bits
    EXPECT_EQ(read().errorCode, 6);
    writeLines(withLine(1, "BeepWB=1e999"));
    EXPECT_EQ(read().errorCode, 6);
    writeRaw("");
    EXPECT_EQ(read().errorCode, 62);
}

TEST_F(IniFile, ValuesRoundHalvesToEven) {
    QStringList lines = withLine(7, "AlarmLSD=204.5");
    writeLines(lines);
    read();
    EXPECT_EQ(state.Settings.AlarmLSD, 204);
    writeLines(withLine(7, "AlarmLSD=205.5"));
    read();
    EXPECT_EQ(state.Settings.AlarmLSD, 206);
    writeLines(withLine(10, "SafetySP_LSD=0.5"));
    read();
    EXPECT_EQ(state.Settings.SafetySP, 0);
}

TEST_F(IniFile, AlarmUpdateChangesOnlyItsThreeLines) {
    QStringList lines = SettingsFile::defaultLines();
    lines[1] = "BeepWB=1abc";
    lines[5] = "RunDemoMode=0  ";
    lines[10] = "SafetySP_LSD=221";
    writeLines(lines);
    SettingsFile file(state, program(), user());
    file.Read_INI();
    state.Settings.AlarmMSD = 0;
    state.Settings.AlarmLSD = 230;
    state.Settings.TempUnit = 1;
    ASSERT_TRUE(file.Update_INI_Alarm());
    const QList<QByteArray> after = raw().split('\n');
    ASSERT_EQ(after.size(), 12);
    for (int i : {0, 1, 2, 3, 4, 5, 9, 10}) EXPECT_EQ(after[i], lines[i].toLatin1() + "\r") << i;
    EXPECT_EQ(after[6], "AlarmMSD=0\r");
    EXPECT_EQ(after[7], "AlarmLSD=230\r");
    EXPECT_EQ(after[8], "TempUnit=1\r");
}

TEST_F(IniFile, AlarmUpdateOfAShortenedFileFillsTheRestFromTheRecord) {
    SettingsFile file(state, program(), user());
    file.Read_INI();
    writeLines(SettingsFile::defaultLines().mid(0, 4));
    state.Settings.AlarmLSD = 199;
    ASSERT_TRUE(file.Update_INI_Alarm());
    EXPECT_EQ(raw().count("\r\n"), 11);
    core::SharedState fresh;
    SettingsFile again(fresh, program(), user());
    EXPECT_EQ(again.Read_INI().outcome, SettingsFile::ReadResult::Read);
    EXPECT_EQ(fresh.Settings.AlarmLSD, 199);
}

TEST_F(IniFile, UnwritableProgramFolderMovesTheFileToTheUserFolderOnce) {
    // A program "folder" that is a plain file: nothing can be created in it, even by root.
    const QString blocked = dir.filePath("blocked");
    writeRaw("x", blocked);
    SettingsFile file(state, blocked, user());
    EXPECT_EQ(file.Read_INI().outcome, SettingsFile::ReadResult::Created);
    ASSERT_EQ(state.Diagnostics.size(), 1);
    EXPECT_TRUE(state.Diagnostics.lines()[0].contains(user()));
    EXPECT_EQ(raw(QDir(user()).filePath("Settings.ini")), defaultBytes());

    // The next start finds the settings there, and says where they are.
    core::SharedState next;
    writeRaw(defaultBytes().replace("AlarmLSD=205", "AlarmLSD=210"), QDir(user()).filePath("Settings.ini"));
    SettingsFile again(next, blocked, user());
    EXPECT_EQ(again.Read_INI().outcome, SettingsFile::ReadResult::Read);
    EXPECT_EQ(next.Settings.AlarmThreshold, 210);
    EXPECT_EQ(next.Diagnostics.size(), 1);
}

TEST_F(IniFile, AnInstalledProgramKeepsItsSettingsInTheUserFolderEvenAsRoot) {
    // The package's layout: the executable in bin/, its pictures in share/kr9300/.
    const QString bin = dir.filePath("usr/bin");
    QDir().mkpath(bin);
    QDir().mkpath(dir.filePath("usr/share/kr9300"));
    SettingsFile file(state, bin, user());
    EXPECT_EQ(file.Read_INI().outcome, SettingsFile::ReadResult::Created);
    EXPECT_FALSE(QFileInfo::exists(QDir(bin).filePath("Settings.ini")));
    EXPECT_EQ(raw(QDir(user()).filePath("Settings.ini")), defaultBytes());
    EXPECT_EQ(file.path(), QDir(user()).filePath("Settings.ini"));
    state.Settings.AlarmThreshold = 250;
    EXPECT_TRUE(file.Write_INI());
    EXPECT_FALSE(QFileInfo::exists(QDir(bin).filePath("Settings.ini")));
}

TEST_F(IniFile, AFailedWriteLeavesTheOldFileWhole) {
    writeLines(SettingsFile::defaultLines());
    const QByteArray before = raw();
    SettingsFile file(state, program(), user());
    file.Read_INI();
    state.Settings.AlarmThreshold = 300;

    // The disk "fills up" after a few bytes: every longer write fails, even for root.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 40;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool written = file.Write_INI();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(raw(), before);
    ASSERT_EQ(state.Diagnostics.size(), 1);
    EXPECT_TRUE(state.Diagnostics.lines()[0].startsWith("Settings.ini could not be written"));
    EXPECT_EQ(file.path(), iniPath());  // a full disk is no reason to move the file
    EXPECT_EQ(QDir(program()).entryList(QDir::Files), QStringList{"Settings.ini"});  // no temporary left
}
