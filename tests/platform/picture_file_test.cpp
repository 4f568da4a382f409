#include "platform/picture_file.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
QImage samplePicture() {
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(10, 10, 50, 30, QColor(200, 30, 30));
    p.fillRect(60, 40, 50, 30, QColor(20, 120, 220));
    return img;
}
}  // namespace

TEST(PictureFile, EveryFormatRoundTripsWithItsSize) {
    QTemporaryDir dir;
    const QImage img = samplePicture();
    for (const char* ext : {"jpg", "png", "bmp", "gif"}) {
        const QString path = dir.filePath(QString("chart.") + ext);
        QString error;
        ASSERT_TRUE(platform::savePicture(img, path, &error)) << ext << ": " << error.toStdString();
        QImageReader reader(path);
        EXPECT_EQ(reader.format().toLower(), QByteArray(ext == std::string("jpg") ? "jpeg" : ext)) << ext;
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << ext;
        EXPECT_EQ(back.size(), img.size()) << ext;
    }
}

TEST(PictureFile, GifKeepsTheColoursExactly) {
    QTemporaryDir dir;
    const QImage img = samplePicture();
    const QString path = dir.filePath("c.gif");
    ASSERT_TRUE(platform::saveGif(img, path));
    const QImage back(path);
    EXPECT_EQ(back.pixelColor(20, 20), QColor(200, 30, 30));
    EXPECT_EQ(back.pixelColor(70, 50), QColor(20, 120, 220));
    EXPECT_EQ(back.pixelColor(5, 75), QColor(Qt::white));
}

TEST(PictureFile, OtherExtensionsAreRefusedAndNothingIsWrittenNoneMeansPng) {
    QTemporaryDir dir;
    ASSERT_TRUE(platform::savePicture(samplePicture(), dir.filePath("noext")));
    EXPECT_EQ(QImageReader(dir.filePath("noext")).format(), QByteArray("png"));
    for (const char* name : {"t.tif", "chart.jpg.txt"}) {
        QString error;
        EXPECT_FALSE(platform::savePicture(samplePicture(), dir.filePath(name), &error)) << name;
        EXPECT_TRUE(error.contains(".jpg, .png, .gif or .bmp")) << error.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name;
    }
}

// Every format is written the same way: a new file gets 0666 less the umask, an existing
// file keeps its mode.
TEST(PictureFile, EveryFormatGetsTheSameFileMode) {
    QTemporaryDir dir;
    const mode_t old = ::umask(022);
    for (const char* ext : {"jpg", "png", "gif", "bmp"}) {
        const QString path = dir.filePath(QString("mode.") + ext);
        ASSERT_TRUE(platform::savePicture(samplePicture(), path)) << ext;
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0644u) << ext;
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
        ASSERT_TRUE(platform::savePicture(samplePicture(), path)) << ext;  // overwritten
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << ext;
    }
    ::umask(old);
}

TEST(PictureFile, FailuresAreReportedNotHidden) {
    QString error;
    EXPECT_FALSE(platform::savePicture(samplePicture(), "/nonexistent-folder/x.gif", &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(platform::savePicture(samplePicture(), "/nonexistent-folder/x.png", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(platform::savePicture(QImage(), "/tmp/empty.png"));
}
