#include "profiles/profile_commands.h"
#include "profiles/profile_file.h"
#include "tests/profiles/profile_samples.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

using namespace profiles;
using profilesamples::exampleLines;
using profilesamples::exampleRecord;
using profilesamples::joined;

namespace {

constexpr auto C = DisplayUnit::Celsius;

struct ProfileCommands : ::testing::Test {
    QTemporaryDir dir;
    testsupport::ScriptedDialogs dialogs;
    QString folder() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    void put(const QString& name, const QByteArray& data) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray bytesOf(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void expectFileDialog(const char* title) const {
        ASSERT_EQ(dialogs.requests.size(), 1u);
        EXPECT_EQ(dialogs.requests[0].title, title);
        EXPECT_EQ(dialogs.requests[0].filter, "ZENT Profiles (*.znt)|*.znt");
        EXPECT_EQ(dialogs.requests[0].folder, folder());
        EXPECT_EQ(dialogs.requests[0].initialName, "");
    }
};

// Makes a folder read-only for the test's user, root included: the permission bits stop
// everyone else, the immutable attribute stops root. False when the folder stays writable.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(QFile::encodeName(path)) {
        ::chmod(path_.constData(), 0555);
        if (writable()) setImmutable(true);
    }
    ~ReadOnlyFolder() {
        if (immutable_) setImmutable(false);
        ::chmod(path_.constData(), 0755);
    }
    bool writable() const {
        const QByteArray probe = path_ + "/.probe";
        const int fd = ::open(probe.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) return false;
        ::close(fd);
        ::unlink(probe.constData());
        return true;
    }

private:
    void setImmutable(bool on) {
        const int fd = ::open(path_.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
        }
        ::close(fd);
    }
    QByteArray path_;
    bool immutable_ = false;
};

}  // namespace

TEST_F(ProfileCommands, SaveWritesTheFileAndConfirms) {
    dialogs.answers = {file("bga.znt")};
    const SaveOutcome out = saveProfileToComputer(dialogs, folder(), C, exampleRecord());
    expectFileDialog("Save As");
    EXPECT_EQ(out.result, SaveOutcome::Saved);
    ASSERT_TRUE(out.notice);
    EXPECT_EQ(*out.notice, (Verdict{"Saving Confirmation", "File Saved Successfully", ProfileBox::None}));
    EXPECT_EQ(bytesOf("bga.znt"), joined(exampleLines()));
    EXPECT_TRUE(dialogs.replaceQuestions.isEmpty());
}

TEST_F(ProfileCommands, ATypedNameWithoutExtensionGetsZntAndNeverReplacesAFileUnasked) {
    dialogs.answers = {file("bga")};
    EXPECT_EQ(saveProfileToComputer(dialogs, folder(), C, exampleRecord()).result, SaveOutcome::Saved);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"bga.znt"});
    const QByteArray before = bytesOf("bga.znt");
    ProfileRecord other = exampleRecord();
    other.ProfileName = "OTHER";
    dialogs.answers = {file("bga")};
    const SaveOutcome again = saveProfileToComputer(dialogs, folder(), C, other);
    EXPECT_EQ(again.result, SaveOutcome::Refused);
    ASSERT_TRUE(again.notice);
    EXPECT_EQ(again.notice->text, "bga.znt already exists. Choose it in the dialog to replace it.");
    EXPECT_EQ(bytesOf("bga.znt"), before);
}

TEST_F(ProfileCommands, CancelledDialogsDoNothing) {
    const SaveOutcome saved = saveProfileToComputer(dialogs, folder(), C, exampleRecord());
    EXPECT_EQ(saved.result, SaveOutcome::Cancelled);
    EXPECT_FALSE(saved.notice);
    expectFileDialog("Save As");
    dialogs.requests.clear();
    ProfileRecord current = exampleRecord();
    const OpenOutcome opened = openProfileFromComputer(dialogs, folder(), C, current);
    EXPECT_EQ(opened.result, OpenOutcome::Cancelled);
    EXPECT_FALSE(opened.notice);
    expectFileDialog("Open");
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}

TEST_F(ProfileCommands, ReplacingAFileIsAskedFirst) {
    put("old.znt", "operator's old profile");
    // "No" goes back to the dialog; cancelling there leaves the old file alone.
    dialogs.answers = {file("old.znt"), QString()};
    dialogs.replaceAnswers = {false};
    EXPECT_EQ(saveProfileToComputer(dialogs, folder(), C, exampleRecord()).result, SaveOutcome::Cancelled);
    EXPECT_EQ(dialogs.replaceQuestions, QStringList{file("old.znt")});
    EXPECT_EQ(bytesOf("old.znt"), "operator's old profile");

    // "No", then another name: the new file is written, the old one kept.
    dialogs.answers = {file("old.znt"), file("new.znt")};
    dialogs.replaceAnswers = {false};
    EXPECT_EQ(saveProfileToComputer(dialogs, folder(), C, exampleRecord()).result, SaveOutcome::Saved);
    EXPECT_EQ(bytesOf("old.znt"), "operator's old profile");
    EXPECT_EQ(bytesOf("new.znt"), joined(exampleLines()));

    // "Yes": replaced.
    dialogs.answers = {file("old.znt")};
    dialogs.replaceAnswers = {true};
    EXPECT_EQ(saveProfileToComputer(dialogs, folder(), C, exampleRecord()).result, SaveOutcome::Saved);
    EXPECT_EQ(bytesOf("old.znt"), joined(exampleLines()));
}

TEST_F(ProfileCommands, ARefusedSaveWritesNothing) {
    put("old.znt", "old");
    ProfileRecord r = exampleRecord();
    r.X1.PointMessage = QString::fromUtf8("PRE\u2013HEAT");  // an en dash, no single byte for it
    dialogs.answers = {file("old.znt"), file("new.znt")};
    SaveOutcome out = saveProfileToComputer(dialogs, folder(), C, r);
    EXPECT_EQ(out.result, SaveOutcome::Refused);
    EXPECT_EQ(*out.notice,
              (Verdict{"Profile Error", "X1 Message holds a character that cannot be stored", ProfileBox::Text2}));
    EXPECT_EQ(bytesOf("old.znt"), "old");

    r.ProfileName.clear();
    out = saveProfileToComputer(dialogs, folder(), C, r);
    EXPECT_EQ(*out.notice, (Verdict{"Data Error", "Profile Name must be specified", ProfileBox::Text7}));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"old.znt"});
}

TEST_F(ProfileCommands, AFailedWriteInAReadOnlyFolderLeavesTheOldFile) {
    put("bga.znt", joined(exampleLines().mid(0, 14)));
    const QByteArray before = bytesOf("bga.znt");
    ReadOnlyFolder readOnly(folder());
    if (readOnly.writable()) GTEST_SKIP() << "this system offers no way to make a folder read-only";

    ProfileRecord r = exampleRecord();
    r.X1.PointTemperature = "160";
    const SaveOutcome out = writeProfileFile(file("bga.znt"), C, r);
    EXPECT_EQ(out.result, SaveOutcome::Failed);
    ASSERT_TRUE(out.notice);
    EXPECT_EQ(out.notice->title, "Profile Error");
    EXPECT_TRUE(out.notice->text.startsWith("The profile could not be saved to " + file("bga.znt") + ": "))
        << out.notice->text.toStdString();
    EXPECT_TRUE(out.notice->text.contains("unchanged"));
    EXPECT_EQ(bytesOf("bga.znt"), before);
}

TEST_F(ProfileCommands, AFullDiskLeavesTheOldFileByteForByte) {
    put("bga.znt", joined(exampleLines()));
    const QByteArray before = bytesOf("bga.znt");
    ProfileRecord r = exampleRecord();
    r.X3.PointMessage = "REFLOW              ";

    // The disk "fills up" after 64 bytes: every longer write fails, even for root.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const SaveOutcome out = writeProfileFile(file("bga.znt"), C, r);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(out.result, SaveOutcome::Failed);
    ASSERT_TRUE(out.notice);
    EXPECT_EQ(out.notice->title, "Profile Error");
    // The file and the reason the system gave for the write that failed.
    EXPECT_TRUE(out.notice->text.startsWith("The profile could not be saved to " + file("bga.znt") + ": File too large."))
        << out.notice->text.toStdString();
    EXPECT_EQ(bytesOf("bga.znt"), before);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"bga.znt"});  // no temporary left
}

TEST_F(ProfileCommands, OpenShowsTheProfileAndItsWorkingCopies) {
    put("bga.znt", joined(exampleLines()));
    dialogs.answers = {file("bga.znt")};
    ProfileRecord current;
    current.Alloy = AlloyKind::LeadFree;
    const OpenOutcome out = openProfileFromComputer(dialogs, folder(), DisplayUnit::Fahrenheit, current);
    expectFileDialog("Open");
    ASSERT_EQ(out.result, OpenOutcome::Opened) << out.notice.value_or(Verdict{}).text.toStdString();
    EXPECT_FALSE(out.notice);
    EXPECT_EQ(out.fileName, file("bga.znt"));
    EXPECT_EQ(out.record.X1.PointTemperature, "302");
    EXPECT_EQ(out.record.Alloy, AlloyKind::LeadFree);  // the file does not carry the alloy
    EXPECT_EQ(out.setPoints, (SetPoints{150, 183, 225}));
}

TEST_F(ProfileCommands, AFailedOpenSaysWhyAndLeavesANewProfile) {
    put("bad.znt", joined(exampleLines()).replace("X2UHMode=2", "X2UHMode=0"));
    put("big.znt", joined(exampleLines()) + QByteArray(kMaxProfileFileBytes, ' '));
    QDir(folder()).mkdir("folder.znt");
    struct Case {
        QString name;
        QString failure;
    } cases[] = {
        {file("bad.znt"), "File Corrupted 014"},
        {file("gone.znt"), "The profile file " + file("gone.znt") + " could not be opened: No such file or directory."},
        {file("folder.znt"), "The profile file " + file("folder.znt") + " could not be opened: it is not a regular file."},
        {file("big.znt"), "The file " + file("big.znt") + " is too large to be a profile."},
    };
    ProfileRecord current = exampleRecord();
    current.Alloy = AlloyKind::LeadFree;
    for (const Case& c : cases) {
        dialogs.answers = {c.name};
        const OpenOutcome out = openProfileFromComputer(dialogs, folder(), C, current);
        EXPECT_EQ(out.result, OpenOutcome::Failed) << c.name.toStdString();
        ASSERT_TRUE(out.notice);
        EXPECT_EQ(*out.notice, (Verdict{"Profile Error", c.failure, ProfileBox::None}));
        EXPECT_EQ(out.record, ProfileRecord{});  // what New leaves: "Untitled", Leaded, X1 in park
        EXPECT_TRUE(out.fileName.isEmpty());
    }
}
