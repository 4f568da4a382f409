#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

// Saves a picture in the format its file name's extension names: .jpg/.jpeg, .png, .bmp
// or .gif (256 colours); a name without extension gets PNG data. Any other extension is
// refused. Every format is written the same way (a new file gets the usual mode, 0666
// less the umask; an existing file keeps its mode). On failure returns false and, when given, sets error to a plain sentence.
bool savePicture(const QImage& image, const QString& fileName, QString* error = nullptr);

// The GIF writer on its own (Qt writes no GIF).
bool saveGif(const QImage& image, const QString& fileName, QString* error = nullptr);
// The GIF data itself; empty with error set on failure.
QByteArray encodeGif(const QImage& image, QString* error = nullptr);

}  // namespace platform
