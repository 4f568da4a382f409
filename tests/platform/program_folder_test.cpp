// Where pictures are found and where the file dialogs start, for a program run from its
// build folder and for one installed from the package.
#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Layout : ::testing::Test {
    QTemporaryDir dir;
    QString build() const { return dir.filePath("build/bin"); }
    QString installedBin() const { return dir.filePath("usr/bin"); }
    QString share() const { return dir.filePath("usr/share/kr9300"); }
    QByteArray oldDataHome;

    void SetUp() override {
        for (const QString& f : {build(), installedBin(), share()}) QDir().mkpath(f);
        touch(build(), "LogoS.png");
        touch(share(), "LogoS.png");
        touch(share(), "LogoSB.png");
        touch(installedBin(), "LogoSB.png");  // a picture put beside the executable wins
        oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath("home/.local/share").toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", oldDataHome); }
    static void touch(const QString& folder, const QString& name) {
        QFile f(QDir(folder).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

}  // namespace

TEST_F(Layout, PicturesComeFromTheProgramFolderThenTheInstalledShareFolder) {
    struct Case {
        QString folder, name, expected;
    };
    const std::vector<Case> cases = {
        {build(), "LogoS.png", QDir(build()).filePath("LogoS.png")},
        {build(), "LogoSB.png", QDir(build()).filePath("LogoSB.png")},  // nowhere: where it belongs
        {installedBin(), "LogoS.png", QDir(share()).filePath("LogoS.png")},
        {installedBin(), "LogoSB.png", QDir(installedBin()).filePath("LogoSB.png")},
        {installedBin(), "parkmode-1.jpg", QDir(installedBin()).filePath("parkmode-1.jpg")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::picturePath(c.folder, c.name).toStdString(), c.expected.toStdString()) << c.name.toStdString();
}

TEST_F(Layout, AnInstalledProgramNeverWritesItsOwnFolder) {
    EXPECT_FALSE(platform::isInstalledProgramFolder(build()));
    EXPECT_TRUE(platform::programFolderWritable(build()));
    EXPECT_EQ(platform::documentsFolder(build()), build());

    // Writable by permissions (tests run as root too), but it is the system's.
    EXPECT_TRUE(platform::isInstalledProgramFolder(installedBin()));
    EXPECT_FALSE(platform::programFolderWritable(installedBin()));
    const QString profiles = platform::documentsFolder(installedBin());
    EXPECT_EQ(profiles, QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("Profiles"));
    EXPECT_TRUE(profiles.startsWith(dir.filePath("home/.local/share/")));
    EXPECT_TRUE(QFileInfo(profiles).isDir());

    // A folder that is not one (nothing can be written in it) sends the dialogs there too.
    touch(dir.path(), "plainfile");
    EXPECT_EQ(platform::documentsFolder(dir.filePath("plainfile")), profiles);
}
