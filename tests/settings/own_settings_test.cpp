// The program's own per-user settings file: the run guard's limits.
#include "settings/own_settings.h"
#include "tests/support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
struct OwnFile : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(settings::OwnSettings::kFileName); }
    void write(const QByteArray& data) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // A new start of the program: nothing of the state before may survive.
    core::SharedState loaded() {
        core::SharedState s;
        s.GuardLimits = {1, 2, 3, 4, 5};
        settings::OwnSettings(s, dir.path()).load();
        return s;
    }
    static std::vector<int> values(const core::RunGuardLimits& g) {
        return {g.noRiseS, g.approachS, g.waitS, g.overshootC, g.linkLostS};
    }
    const std::vector<int> defaults{90, 600, 120, 20, 30};
};
}  // namespace

// Missing (the first start: not said), not INI, not quite INI: the defaults, the file
// written anew and said once, so the next start says nothing.
TEST_F(OwnFile, MissingOrBrokenFilesGiveTheDefaultsAndAreRewritten) {
    const QByteArray broken[] = {{}, QByteArray("\x01\xff\xfe garbage\0\0", 13), "[RunGuard\nNoRiseLimit=91\n"};
    for (const QByteArray& data : broken) {
        SCOPED_TRACE(data.toHex().toStdString());
        QFile::remove(path());
        if (!data.isEmpty()) write(data);
        const core::SharedState first = loaded();
        EXPECT_EQ(values(first.GuardLimits), defaults);
        EXPECT_EQ(first.Diagnostics.lines().filter("ControlRoom.ini holds no settings").size(), data.isEmpty() ? 0 : 1);
        EXPECT_EQ(first.Diagnostics.size(), data.isEmpty() ? 0 : 1);
        const core::SharedState second = loaded();
        EXPECT_EQ(values(second.GuardLimits), defaults);
        EXPECT_EQ(second.Diagnostics.size(), 0);
    }
}

// Each kind of mended value is one line; good values stay, a missing key quietly gets its
// default; the mended file reads back without a word.
TEST_F(OwnFile, BadValuesGetTheirDefaultOrNearestLimitAndAreSaidOnce) {
    write("[RunGuard]\nNoRiseLimit=abc\nApproachLimit=3601\nWaitLimit=30\nOvershootMargin=60,5\nLinkLostLimit=-4\n");
    const core::SharedState s = loaded();
    EXPECT_EQ(values(s.GuardLimits), std::vector<int>({90, 3600, 30, 20, 10}));
    ASSERT_EQ(s.Diagnostics.size(), 2) << s.Diagnostics.lines().join("\n").toStdString();
    EXPECT_TRUE(s.Diagnostics.lines()[0].startsWith("ControlRoom.ini holds values that are not numbers: "
                                                    "RunGuard/NoRiseLimit=abc (the default 90 is used); "
                                                    "RunGuard/OvershootMargin=60,5 (the default 20 is used)."));
    EXPECT_TRUE(s.Diagnostics.lines()[1].startsWith("ControlRoom.ini holds values out of range: "
                                                    "RunGuard/ApproachLimit=3601 (60 to 3600: 3600 is used); "
                                                    "RunGuard/LinkLostLimit=-4 (10 to 120: 10 is used)."));
    const core::SharedState again = loaded();
    EXPECT_EQ(values(again.GuardLimits), values(s.GuardLimits));
    EXPECT_EQ(again.Diagnostics.size(), 0);

    write("[Operator]\nName=Kim\n[RunGuard]\nWaitLimit=300\n");
    const core::SharedState partial = loaded();
    EXPECT_EQ(values(partial.GuardLimits), std::vector<int>({90, 600, 300, 20, 30}));
    EXPECT_EQ(partial.Diagnostics.size(), 0);
}

TEST_F(OwnFile, AFileThatCannotBeReadOrWrittenGivesTheDefaultsAndSaysSo) {
    QDir().mkpath(path());  // a folder where the file should be
    const core::SharedState s = loaded();
    EXPECT_EQ(values(s.GuardLimits), defaults);
    ASSERT_EQ(s.Diagnostics.size(), 2);
    EXPECT_TRUE(s.Diagnostics.lines()[0].startsWith("ControlRoom.ini could not be read"));
    EXPECT_TRUE(s.Diagnostics.lines()[1].startsWith("ControlRoom.ini could not be written"));
}
