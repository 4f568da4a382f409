#include "platform/picture_file.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

TEST(PictureFile, NameWithoutExtensionIsSavedAsPng) {
    QTemporaryDir dir;
    const QString path = dir.filePath("noext");
    ASSERT_TRUE(platform::savePicture(samplePicture(), path));
    EXPECT_EQ(QImageReader(path).format(), "png");
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
