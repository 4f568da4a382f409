// A run record read back, and a run judged from its file as the command line does.
#include "process/run_file.h"
#include "tests/support/qt_printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = QByteArray(process::kRunRecordHeader) + "\r\n";

// A record as the program writes it: event rows among the once-a-second rows.
QByteArray record(const QByteArray& rows) { return kHeader + rows; }

// A run a second: 25 C up to 245 C and back, so that SAC305 passes.
QByteArray sac305Run(const QByteArray& lastEvent = "finish") {
    QByteArray csv = kHeader + "0.0,25,,OFF,OFF,OFF,NORMAL,90,start\r\n";
    const double knots[][2] = {{0, 25}, {50, 150}, {130, 190}, {140, 215}, {170, 245}, {200, 215}, {276, 25}};
    for (int k = 1; k < 7; ++k)
        for (int t = int(knots[k - 1][0]) + 1; t <= int(knots[k][0]); ++t) {
            const double c = knots[k - 1][1] + (knots[k][1] - knots[k - 1][1]) * (t - knots[k - 1][0]) /
                                                   (knots[k][0] - knots[k - 1][0]);
            csv += QByteArray::number(t) + ".0," + QByteArray::number(c, 'f', 1) + ",,REFLOW,REFLOW,OFF,PARK,6,\r\n";
        }
    return csv + "276.0,25,,OFF,OFF,ON,PARK,90," + lastEvent + "\r\n";
}

}  // namespace

TEST(RunFile, OnceASecondRowsAreReadAndEventRowsTellHowTheRunEnded) {
    const process::RunFile f = process::parseRunRecord(
        record("0.0,25,,OFF,OFF,OFF,NORMAL,90,start\r\n"
               "1.0,26,25.7,OFF,OFF,OFF,NORMAL,88,\r\n"
               "2.0,,26.4,OFF,OFF,OFF,NORMAL,88,no reply\r\n"
               "2.0,,26.4,OFF,OFF,OFF,NORMAL,88,\"alert: Set, \"\"PARK\"\"\"\r\n"
               "3.0,28,27.1,OFF,OFF,OFF,NORMAL,88,\r\n"));
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    ASSERT_EQ(f.rows.size(), 3u);
    EXPECT_DOUBLE_EQ(*f.rows[0].boardC, 26);
    EXPECT_FALSE(f.rows[1].boardC);
    EXPECT_DOUBLE_EQ(f.rows[2].timeS, 3);
    EXPECT_FALSE(f.stopped);
    for (const char* end : {"stop", "cancelled", "guarded: no rise"})
        EXPECT_TRUE(process::parseRunRecord(record(QByteArray("1.0,26,,OFF,OFF,OFF,NORMAL,88,\n2.0,26,,OFF,OFF,OFF,NORMAL,"
                                                              "88,") + end + "\n"))
                        .stopped)
            << end;
}

TEST(RunFile, TextThatIsNotARunRecordIsRefusedWithAPlainReason) {
    const struct {
        QByteArray text;
        const char* error;
    } cases[] = {
        {"", "is empty"},
        {"\x89PNG\r\n\x1a\n\0\0", "is not a run record: its first line is not"},
        {"time,temp\n1,25\n", "is not a run record: its first line is not"},
        {record("1.0,25,,OFF,OFF\r\n"), "line 2: 5 fields, a run record has 9"},
        {record("1.0,25,,OFF,OFF,OFF,NORMAL,88,\"open\r\n"), "line 2: a quote is not closed"},
        {record("one,25,,OFF,OFF,OFF,NORMAL,88,\r\n"), "line 2: elapsed_s \"one\" is not a time"},
        {record("1.0,hot,,OFF,OFF,OFF,NORMAL,88,\r\n"), "line 2: board_C \"hot\" is not a temperature"},
        {record("2.0,25,,OFF,OFF,OFF,NORMAL,88,\r\n1.0,25,,OFF,OFF,OFF,NORMAL,88,\r\n"),
         "line 3: the time goes backwards"},
        {record("0.0,25,,OFF,OFF,OFF,NORMAL,90,start\r\n"), "holds no once-a-second rows"},
    };
    for (const auto& c : cases) {
        const process::RunFile f = process::parseRunRecord(c.text);
        EXPECT_FALSE(f.ok());
        EXPECT_TRUE(f.error.startsWith(c.error)) << f.error.toStdString();
        EXPECT_TRUE(f.rows.empty());
    }
}

TEST(RunFile, ARecordIsJudgedAsTheCommandLineAsks) {
    QTemporaryDir dir;
    auto file = [&dir](const QString& name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return f.fileName();
    };
    const QString good = file("good.csv", sac305Run());
    process::PasteWindow tight = process::builtInWindows()[1];
    tight.name = "Tight";
    tight.peakHighC = 240;  // 245 C: (245 - 237.5) / 2.5 = 300 %

    const struct {
        QString path;
        QString paste;
        int status;
        QString lastLine;  // of the output, or the error
    } cases[] = {
        {good, "SAC305", process::kJudgedPass, "PASS  PWI 67%  (SAC305)"},
        {good, "sac305", process::kJudgedPass, "PASS  PWI 67%  (SAC305)"},
        {good, "Tight", process::kJudgedFail, "FAIL  PWI 300%: peak 245 C (235-240 C)"},
        {good, "None", process::kNotJudged, "no verdict (no paste)"},
        {file("stopped.csv", sac305Run("stop")), "SAC305", process::kNotJudged, "no verdict (run stopped)"},
        {good, "SAC306", process::kNotJudged,
         "unknown paste 'SAC306' (the pastes are: Sn63Pb37, SAC305, Tight, None)"},
        {file("junk.csv", "junk"), "SAC305", process::kNotJudged, dir.filePath("junk.csv") + " is not a run record"},
        {dir.filePath("missing.csv"), "SAC305", process::kNotJudged, dir.filePath("missing.csv") + " cannot be read"},
    };
    for (const auto& c : cases) {
        const process::JudgeAnswer a = process::judgeRunFile(c.path, c.paste, {tight});
        EXPECT_EQ(a.status, c.status) << c.paste.toStdString();
        const QString shown = a.error.isEmpty() ? a.out.trimmed().split('\n').last() : a.error;
        EXPECT_TRUE(shown.startsWith(c.lastLine)) << shown.toStdString();
        EXPECT_EQ(a.out.isEmpty(), !a.error.isEmpty());
    }
}
