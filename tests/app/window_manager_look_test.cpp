// Under a real window manager (QT_QPA_PLATFORM=xcb with a DISPLAY, e.g. openbox on Xvfb):
// the editor's "Data Error" box stands over the editor, window-modal to it, and the main
// window is not raised above them. Offscreen there is no stacking to see: skipped.
#include "platform/qt_dialogs.h"
#include "tests/support/program_rig.h"
#include "tests/support/recording_display.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

TEST(WindowManagerLook, TheEditorsDataErrorStandsOverTheEditor) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs a window manager (xcb)";
    testsupport::ProgramRig rig;  // for its folder, clock and station
    platform::QtDialogs dialogs;
    app::Program program(rig.state, rig.bridgeCalls, rig.clock, dialogs, rig.shell, rig.folder, rig.dir.filePath("u"));
    dialogs.setParent(&program.form);
    program.userDataFolder = rig.dir.filePath("userdata");  // the runs database goes there
    program.start();
    program.form.move(40, 40);
    program.openEditor(false, false);
    auto* editor = program.editor();
    ASSERT_NE(editor, nullptr);
    settle(800);
    editor->Text4->setText("SOAK:");  // a character a message cannot hold
    editor->Text4->setText("SOAK::");  // typed on: no second box for the same check
    settle(800);
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) boxes << b;
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->parentWidget(), editor);
    EXPECT_EQ(boxes[0]->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(editor->frameGeometry().intersects(boxes[0]->frameGeometry()));
    const QByteArray dir = qgetenv("KR_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(dir) + "/wm-data-error.png");
    boxes[0]->close();
    settle(200);
}
