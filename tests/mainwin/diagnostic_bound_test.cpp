// Left on for weeks: the diagnostic list stops at its bound and says how many lines went,
// the list box and "Save Log" follow it, and the log file keeps every line in two rotating
// files.
#include "app/diagnostic_log.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(DiagnosticBound, ListStopsAtItsBoundAndTheBoxAndTheSavedLogShowWhatItShows) {
    testsupport::ProgramRig rig;
    rig.start();
    rig.form->Command11->click();  // what the start said is not counted here
    app::DiagnosticLog log(rig.state.Diagnostics, *rig.form, rig.dir.filePath("userdata"));
    const int bound = core::DiagnosticList::kShownLines;
    const auto toggleList = [&] {
        QTest::keyClick(rig.form, Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    };
    for (int i = 1; i <= 2; ++i) rig.state.Diagnostics.add("Timeout " + QString::number(i));
    toggleList();  // shown from here on: the box follows line by line past the bound
    for (int i = 3; i <= bound + 3; ++i) rig.state.Diagnostics.add("Timeout " + QString::number(i));

    const QStringList& lines = rig.state.Diagnostics.lines();
    ASSERT_EQ(lines.size(), bound);
    EXPECT_EQ(lines.first(), core::DiagnosticList::droppedLine(4));  // the note takes one row too
    EXPECT_EQ(lines[1], "Timeout 5");
    EXPECT_EQ(lines.last(), "Timeout " + QString::number(bound + 3));
    ASSERT_EQ(rig.form->List1->count(), bound);
    for (int row : {0, 1, bound - 1}) EXPECT_EQ(rig.form->List1->item(row)->text(), lines[row]) << row;
    EXPECT_TRUE(rig.form->List1->toolTip().contains(QDir::toNativeSeparators(log.path())));

    rig.dialogs.answers = {rig.dir.filePath("saved.zlg")};
    rig.form->Command2_Click();
    const QList<QByteArray> saved = readAll(rig.dir.filePath("saved.zlg")).split('\n');
    ASSERT_EQ(saved.size(), bound + 3);  // two header lines, the list, the empty rest after the last CR LF
    EXPECT_EQ(saved[2], core::DiagnosticList::droppedLine(4).toLatin1() + "\r");

    // Every line reached the file, the first included, each with its time.
    const QList<QByteArray> kept = readAll(log.path()).split('\n');
    EXPECT_EQ(kept.size(), bound + 4);
    EXPECT_TRUE(kept[0].endsWith("  Timeout 1\r")) << kept[0].toStdString();
    EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(kept[0].left(23)), "yyyy-MM-dd hh:mm:ss.zzz").isValid());

    testsupport::saveShot(*rig.form, "diagnostic_list_bound.png");

    // "Clear" empties the list and the box; what follows starts without a note.
    rig.form->Command11->click();
    rig.state.Diagnostics.add("Error 205");
    ASSERT_EQ(rig.form->List1->count(), 1);
    EXPECT_EQ(rig.form->List1->item(0)->text(), "Error 205");
    // Hidden, the box lets go of its rows; shown again, it has every line.
    toggleList();
    rig.state.Diagnostics.add("Error 206");
    EXPECT_EQ(rig.form->List1->count(), 0);
    toggleList();
    ASSERT_EQ(rig.form->List1->count(), 2);
    EXPECT_EQ(rig.form->List1->item(1)->text(), "Error 206");
}

TEST(DiagnosticBound, LogFileRotatesIntoTwoFilesOfTheBound) {
    QTemporaryDir dir;
    const QDateTime at(QDate(2026, 3, 4), QTime(5, 6, 7, 89));
    const QString path = dir.filePath("logs/diagnostic.log");  // the folder is made on the first line
    platform::RotatingLog log(path, 1000, [&] { return at; });
    const QByteArray one = "2026-03-04 05:06:07.089  Write Error 800\r\n";
    const int perFile = 1000 / int(one.size());
    for (int i = 0; i < perFile * 2 + 5; ++i) ASSERT_TRUE(log.write("Write Error 800")) << log.error().toStdString();

    EXPECT_EQ(readAll(log.previousPath()), one.repeated(perFile));
    EXPECT_EQ(readAll(path), one.repeated(5));
    EXPECT_FALSE(QFile::exists(path + ".2"));
}
