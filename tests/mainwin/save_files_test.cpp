// "Save Graph" and "Save Log" write what the operator chose, in the format chosen, with one
// file mode for every format.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

#include <sys/stat.h>

using testsupport::ProgramRig;

namespace {
struct SaveFiles : ::testing::Test {
    ProgramRig rig;
    mode_t oldMask = 0;
    void SetUp() override {
        rig.start();
        oldMask = ::umask(022);
    }
    void TearDown() override { ::umask(oldMask); }
    QString path(const char* name) { return rig.dir.filePath(name); }
    static unsigned modeOf(const QString& file) {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? unsigned(st.st_mode & 0777) : 0u;
    }
};
}  // namespace

TEST_F(SaveFiles, PicturesTakeTheChosenFormatAndOneMode) {
    struct Case {
        const char* typed;
        int filter;  // 0 JPG, 1 PNG, 2 GIF, 3 BMP
        const char* written;
        const char* format;  // as Qt reads the file back
    };
    const Case cases[] = {{"a", 0, "a.jpg", "jpeg"},    {"b", 1, "b.png", "png"},       {"c", 2, "c.gif", "gif"},
                          {"d", 3, "d.bmp", "bmp"},     {"e.PNG", 0, "e.PNG", "png"},   {"f.gif", 3, "f.gif", "gif"},
                          {"g.", 2, "g.gif", "gif"}};
    for (const Case& c : cases) {
        rig.dialogs.answers = {path(c.typed)};
        rig.dialogs.chosenFilters = {c.filter};
        rig.form->Command8_Click();
        QImageReader reader(path(c.written));
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.typed;
        EXPECT_EQ(reader.size(), QSize(750, 310)) << c.typed;
        EXPECT_EQ(modeOf(path(c.written)), 0644u) << c.typed;
    }
    EXPECT_FALSE(QFile::exists(path("a"))) << "a name without extension is completed, not written as typed";
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(SaveFiles, AnyOtherPictureExtensionIsRefusedWithTheFourListed) {
    for (const char* typed : {"t.tif", "t.jpeg", "t.svg"}) {
        rig.dialogs.messages.clear();
        rig.dialogs.answers = {path(typed)};
        rig.form->Command8_Click();
        EXPECT_FALSE(QFile::exists(path(typed))) << typed;
        ASSERT_EQ(rig.dialogs.messages.size(), 1u) << typed;
        EXPECT_EQ(rig.dialogs.messages[0].title, "Save Graph");
        EXPECT_TRUE(rig.dialogs.messages[0].text.contains(".jpg, .png, .gif or .bmp"))
            << rig.dialogs.messages[0].text.toStdString();
    }
}

TEST_F(SaveFiles, TheLogIsAlwaysAZlgFile) {
    rig.state.Diagnostics.add("Timeout 808");
    struct Case {
        const char* typed;
        int filter;  // 0 the log files, 1 all files
        const char* written;  // "" = refused
    };
    const Case cases[] = {{"log1", 0, "log1.zlg"}, {"log2", 1, "log2.zlg"}, {"log3.ZLG", 1, "log3.ZLG"},
                          {"log4.txt", 1, ""}};
    for (const Case& c : cases) {
        rig.dialogs.messages.clear();
        rig.dialogs.answers = {path(c.typed)};
        rig.dialogs.chosenFilters = {c.filter};
        rig.form->Command2_Click();
        if (*c.written == 0) {
            EXPECT_FALSE(QFile::exists(path(c.typed))) << c.typed;
            ASSERT_EQ(rig.dialogs.messages.size(), 1u) << c.typed;
            EXPECT_TRUE(rig.dialogs.messages[0].text.contains(".zlg")) << c.typed;
            continue;
        }
        QFile f(path(c.written));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.typed;
        EXPECT_EQ(f.readAll(), QByteArray("Serial No.: N/A\r\nFirmware Version: N/A\r\nTimeout 808\r\n")) << c.typed;
        EXPECT_EQ(modeOf(path(c.written)), 0644u) << c.typed;
        EXPECT_TRUE(rig.dialogs.messages.empty()) << c.typed;
    }
}

TEST_F(SaveFiles, ACompletedNameThatExistsIsReplacedOnlyWhenTheOperatorSaysSo) {
    using Answer = platform::Dialogs::Answer;
    const auto placeOld = [&] {
        QFile old(path("chart.png"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("old");
    };
    const auto oldKept = [&] {
        QFile f(path("chart.png"));
        return f.open(QIODevice::ReadOnly) && f.readAll() == "old";
    };
    struct Case {
        Answer answer;
        bool replaced;
        const char* other;  // the name taken when the dialog opens again ("" = none)
    };
    const Case cases[] = {{Answer::Yes, true, ""}, {Answer::No, false, "other"}, {Answer::Cancel, false, ""}};
    for (const Case& c : cases) {
        placeOld();
        rig.dialogs.questions.clear();
        rig.dialogs.requests.clear();
        rig.dialogs.questionAnswers = {c.answer};
        rig.dialogs.answers = {path("chart")};
        if (*c.other) rig.dialogs.answers << path(c.other);
        rig.dialogs.chosenFilters = {1, 1};
        rig.form->Command8_Click();
        ASSERT_EQ(rig.dialogs.questions.size(), 1u);
        EXPECT_TRUE(rig.dialogs.questions[0].text.startsWith("chart.png already exists."));
        EXPECT_EQ(oldKept(), !c.replaced);
        if (c.replaced) EXPECT_EQ(QImageReader(path("chart.png")).format(), QByteArray("png"));
        EXPECT_EQ(rig.dialogs.requests.size(), *c.other ? 2u : 1u);
        if (*c.other) EXPECT_EQ(QImageReader(path("other.png")).format(), QByteArray("png"));
    }
    EXPECT_TRUE(rig.dialogs.messages.empty());
}
