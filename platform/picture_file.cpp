#include "platform/picture_file.h"

#include "platform/text_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QVector>

#include <gif_lib.h>

#include <cstring>

namespace platform {

namespace {
void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// giflib's output callback: appends to the QByteArray behind UserData.
int appendToBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

bool writeBytes(const QByteArray& data, const QString& fileName, QString* error) {
    const TextWrite w = writeFileBytes(fileName, data);
    if (w.ok()) return true;
    setError(error, QString("Cannot write %1: %2").arg(fileName, w.error));
    return false;
}
}  // namespace

QByteArray encodeGif(const QImage& image, QString* error) {
    if (image.isNull()) {
        setError(error, "There is no picture to save.");
        return {};
    }
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QVector<QRgb> table = indexed.colorTable();
    int mapSize = 2;
    while (mapSize < table.size()) mapSize *= 2;

    QByteArray out;
    int status = 0;
    GifFileType* gif = EGifOpen(&out, appendToBytes, &status);
    if (!gif) {
        setError(error, QString("Cannot make a GIF picture: %1").arg(GifErrorString(status)));
        return {};
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
        setError(error, QString("Cannot make a GIF picture: %1").arg(GifErrorString(!ok ? writeError : closeStatus)));
        return {};
    }
    return out;
}

bool saveGif(const QImage& image, const QString& fileName, QString* error) {
    const QByteArray data = encodeGif(image, error);
    return !data.isEmpty() && writeBytes(data, fileName, error);
}

bool savePicture(const QImage& image, const QString& fileName, QString* error) {
    if (image.isNull()) {
        setError(error, "There is no picture to save.");
        return false;
    }
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == "gif") return saveGif(image, fileName, error);
    const char* format = ext == "jpg" || ext == "jpeg" ? "JPG" : ext == "png" || ext.isEmpty() ? "PNG" : ext == "bmp" ? "BMP" : nullptr;
    if (!format) {
        setError(error, QString("Cannot write %1: pictures are saved as .jpg, .png, .gif or .bmp.").arg(fileName));
        return false;
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (std::strcmp(format, "JPG") == 0) writer.setQuality(95);
    if (!writer.write(image)) {
        setError(error, QString("Cannot write %1: %2").arg(fileName, writer.errorString()));
        return false;
    }
    return writeBytes(data, fileName, error);
}

}  // namespace platform
