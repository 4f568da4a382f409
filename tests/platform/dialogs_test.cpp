#include "platform/dialogs.h"
#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

TEST(Dialogs, FilterStringsBecomeQtFilters) {
    EXPECT_EQ(platform::toQtFilter("JPEG|*.jpg|PNG|*.png"), "JPEG (*.jpg);;PNG (*.png)");
    EXPECT_EQ(platform::toQtFilter("Pictures|*.jpg;*.png"), "Pictures (*.jpg *.png)");
    EXPECT_EQ(platform::toQtFilter(""), "");
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
