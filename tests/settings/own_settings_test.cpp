// The program's own per-user settings file: the run guard's limits, the paste windows.
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

// --- the user's paste windows and the paste last chosen per profile ---

namespace {
settings::PasteWindow pasteWindow(const char* name) {
    settings::PasteWindow w;
    w.name = name;
    w.liquidusC = 221;
    w.heatingSlopeMax = 2.5;
    w.soakLowC = 150;
    w.soakHighC = 190;
    w.soakMinS = 70;
    w.soakMaxS = 110;
    w.aboveLiquidusMinS = 40;
    w.aboveLiquidusMaxS = 80;
    w.peakLowC = 238;
    w.peakHighC = 248.5;
    w.nearPeakMaxS = 35;
    w.coolingSlopeMax = 4;
    w.toPeakMaxS = 420;
    return w;
}
const QStringList kReserved{"Sn63Pb37", "SAC305", "None"};
}  // namespace

// Saved and read back as they were, beside the run guard's group, which keeps its values.
TEST_F(OwnFile, PasteWindowsAndTheLastPasteOfEachProfileReadBackAsSaved) {
    core::SharedState s;
    settings::OwnSettings own(s, dir.path());
    own.load();
    s.GuardLimits.waitS = 300;
    ASSERT_TRUE(own.save());
    const QList<settings::PasteWindow> windows{pasteWindow("Low-Ag"), pasteWindow("Ours, with \"quotes\"")};
    ASSERT_TRUE(own.savePasteWindows(windows));
    ASSERT_TRUE(own.rememberPaste("BGA 1/2", "Low-Ag"));
    ASSERT_TRUE(own.rememberPaste("North", "None"));
    ASSERT_TRUE(own.rememberPaste("BGA 1/2", "SAC305"));

    const core::SharedState again = loaded();
    settings::OwnSettings reread(const_cast<core::SharedState&>(again), dir.path());
    EXPECT_EQ(reread.loadPasteWindows(kReserved), windows);
    EXPECT_EQ(again.GuardLimits.waitS, 300);
    EXPECT_EQ(reread.lastPaste("BGA 1/2"), "SAC305");
    EXPECT_EQ(reread.lastPaste("North"), "None");
    EXPECT_EQ(reread.lastPaste("bga 1/2"), "");
    EXPECT_EQ(again.Diagnostics.size(), 0);

    // Only the most recent profile names are kept.
    for (int i = 0; i <= settings::OwnSettings::kLastPastesKept; ++i) own.rememberPaste(QString("P%1").arg(i), "SAC305");
    EXPECT_EQ(own.lastPaste("North"), "");
    EXPECT_EQ(own.lastPaste("P1"), "SAC305");
}

// A window that cannot be used is left out, one out of range is mended; said once, and the
// windows written anew read back without a word.
TEST_F(OwnFile, BrokenPasteWindowsAreLeftOutOrMendedAndSaidOnce) {
    const QByteArray good = "LiquidusC=221\nHeatingSlopeMax=2.5\nSoakLowC=150\nSoakHighC=190\nSoakMinS=70\n"
                            "SoakMaxS=110\nAboveLiquidusMinS=40\nAboveLiquidusMaxS=80\nPeakLowC=238\nPeakHighC=248.5\n"
                            "NearPeakMaxS=35\nCoolingSlopeMax=4\nToPeakMaxS=420\n";
    auto entry = [&good](int i, const QByteArray& name, QByteArray values) {
        QByteArray e = QByteArray::number(i) + "\\Name=" + name + "\n";
        for (const QByteArray& line : values.split('\n'))
            if (!line.isEmpty()) e += QByteArray::number(i) + "\\" + line + "\n";
        return e;
    };
    QByteArray high = good;
    high.replace("PeakHighC=248.5", "PeakHighC=900").replace("SoakMinS=70\nSoakMaxS=110", "SoakMinS=110\nSoakMaxS=70");
    write("[RunGuard]\nWaitLimit=300\n[PasteWindows]\nsize=6\n" + entry(1, "Kept", good) + entry(2, "sac305", good) +
          entry(3, "Kept", good) + entry(4, "No peak", QByteArray(good).replace("PeakLowC=238\n", "")) +
          entry(5, "Hot", QByteArray(good).replace("LiquidusC=221", "LiquidusC=warm")) + entry(6, "Mended", high));
    core::SharedState s;
    settings::OwnSettings own(s, dir.path());
    const QList<settings::PasteWindow> windows = own.loadPasteWindows(kReserved);
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0], pasteWindow("Kept"));
    EXPECT_EQ(windows[1].peakHighC, 450);
    EXPECT_EQ(windows[1].soakMinS, 70);
    EXPECT_EQ(windows[1].soakMaxS, 110);
    EXPECT_EQ(s.Diagnostics.lines(),
              QStringList({"ControlRoom.ini holds a value that is not a number: PasteWindows/5/LiquidusC=warm (the "
                           "paste window is left out). The paste windows are written anew: " + path(),
                           "ControlRoom.ini holds paste window values out of range: PasteWindows/6/PeakHighC=900 (0 "
                           "to 450: 450 is used); PasteWindows/6 \"Mended\" (a range given high to low is turned "
                           "round). The paste windows are written anew: " + path(),
                           "ControlRoom.ini holds paste windows that cannot be used: PasteWindows/2 \"sac305\" (a "
                           "name already used); PasteWindows/3 \"Kept\" (a name already used); PasteWindows/4 \"No "
                           "peak\" (PeakLowC is missing): left out. The paste windows are written anew: " + path()}));
    core::SharedState again;
    EXPECT_EQ(settings::OwnSettings(again, dir.path()).loadPasteWindows(kReserved), windows);
    EXPECT_EQ(again.Diagnostics.size(), 0);
    EXPECT_EQ(loaded().GuardLimits.waitS, 300);
}
