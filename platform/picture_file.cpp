#include "platform/picture_file.h"

#include <QFileInfo>
#include <QVector>

#include <gif_lib.h>

namespace platform {

namespace {
void setError(QString* error, const QString& text) {
    if (error) *error = text;
}
}  // namespace

bool saveGif(const QImage& image, const QString& fileName, QString* error) {
    if (image.isNull()) {
        setError(error, "There is no picture to save.");
        return false;
    }
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QVector<QRgb> table = indexed.colorTable();
    int mapSize = 2;
    while (mapSize < table.size()) mapSize *= 2;

    int status = 0;
    const QByteArray path = QFile::encodeName(fileName);
    GifFileType* gif = EGifOpenFileName(path.constData(), false, &status);
    if (!gif) {
        setError(error, QString("Cannot write %1: %2").arg(fileName, GifErrorString(status)));
        return false;
    }
    ColorMapObject* map = GifMakeMapObject(mapSize, nullptr);
    for (int i = 0; i < mapSize; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        map->Colors[i] = {static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                          static_cast<GifByteType>(qBlue(c))};
    }
    bool ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y) {
        auto* row = const_cast<GifByteType*>(indexed.constScanLine(y));
        ok = EGifPutLine(gif, row, indexed.width()) == GIF_OK;
    }
    const int writeError = gif->Error;
    GifFreeMapObject(map);
    int closeStatus = 0;
    const bool closed = EGifCloseFile(gif, &closeStatus) == GIF_OK;
    if (!ok || !closed) {
        setError(error, QString("Cannot write %1: %2")
                            .arg(fileName, GifErrorString(!ok ? writeError : closeStatus)));
        return false;
    }
    return true;
}

bool savePicture(const QImage& image, const QString& fileName, QString* error) {
    if (image.isNull()) {
        setError(error, "There is no picture to save.");
        return false;
    }
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == "gif") return saveGif(image, fileName, error);
    const char* format = "PNG";
    if (ext == "jpg" || ext == "jpeg") format = "JPG";
    else if (ext == "bmp") format = "BMP";
    if (!image.save(fileName, format, format[0] == 'J' ? 95 : -1)) {
        setError(error, QString("Cannot write %1.").arg(fileName));
        return false;
    }
    return true;
}

}  // namespace platform
