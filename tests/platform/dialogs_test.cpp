#include "platform/dialogs.h"
#include "platform/qt_dialogs.h"
#include "tests/support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

TEST(Dialogs, FilterStringsBecomeQtFilters) {
    EXPECT_EQ(platform::toQtFilter("JPEG|*.jpg|PNG|*.png"), "JPEG (*.jpg);;PNG (*.png)");
    EXPECT_EQ(platform::toQtFilter("Pictures|*.jpg;*.png"), "Pictures (*.jpg *.png)");
    EXPECT_EQ(platform::toQtFilter(""), "");
    // A text that already shows its patterns keeps them once.
    EXPECT_EQ(platform::toQtFilter("JPG Picture (*.jpg)|*.jpg|All Files (*.*)|*.*"),
              "JPG Picture (*.jpg);;All Files (*.*)");
    EXPECT_EQ(platform::toQtFilter("Pictures (*.jpg *.png)|*.jpg;*.png"), "Pictures (*.jpg *.png)");
    EXPECT_EQ(platform::toQtFilter("JPG (*.png)|*.jpg"), "JPG (*.png) (*.jpg)");  // not its own patterns
    // Texts that already show their patterns are not given them twice.
    EXPECT_EQ(platform::toQtFilter("ZENT Profiles (*.znt)|*.znt"), "ZENT Profiles (*.znt)");
    EXPECT_EQ(platform::toQtFilter("KR-9300 Log File (*.zlg)|*.zlg|All Files (*.*)|*.*"),
              "KR-9300 Log File (*.zlg);;All Files (*.*)");
}

TEST(Dialogs, ScriptedDoubleAnswersInOrderAndRecords) {
    testsupport::ScriptedDialogs d;
    d.answers = {"/tmp/a.znt"};
    EXPECT_EQ(d.saveFile("Save", "Profile|*.znt", "/tmp", "x.znt"), "/tmp/a.znt");
    EXPECT_EQ(d.openFile("Open", "Profile|*.znt", "/tmp", ""), "");  // cancelled
    ASSERT_EQ(d.requests.size(), 2u);
    EXPECT_EQ(d.requests[0].initialName, "x.znt");
    d.message("Data Error", "bad");
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].title, "Data Error");
}

// The Qt question box: window-modal, returns at once, answers through the callback;
// closing it answers Cancel.
TEST(Dialogs, QtQuestionAnswersThroughItsCallback) {
    QWidget parent;
    platform::QtDialogs dialogs(&parent);
    std::vector<platform::Dialogs::Answer> answers;
    auto ask = [&] {
        dialogs.askYesNoCancel("Exit", "Leave?", [&](platform::Dialogs::Answer a) { answers.push_back(a); });
        auto boxes = parent.findChildren<QMessageBox*>();
        EXPECT_EQ(boxes.size(), 1);
        return boxes.isEmpty() ? nullptr : boxes.first();
    };
    QMessageBox* box = ask();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(answers.empty());  // nothing blocked, nothing answered yet
    EXPECT_EQ(box->text(), "Leave?");
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    box->button(QMessageBox::No)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    box = ask();
    ASSERT_NE(box, nullptr);
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    box = ask();
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
    EXPECT_EQ(answers, (std::vector<platform::Dialogs::Answer>{platform::Dialogs::Answer::No,
                                                              platform::Dialogs::Answer::Cancel,
                                                              platform::Dialogs::Answer::Yes}));
}
