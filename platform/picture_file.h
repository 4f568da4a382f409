#pragma once
#include <QImage>
#include <QString>

namespace platform {

// Saves a picture in the format its file name asks for: .jpg/.jpeg, .png, .bmp or
// .gif (256 colours); a name without extension is saved as .png. On failure returns
// false and, when given, sets error to a plain sentence.
bool savePicture(const QImage& image, const QString& fileName, QString* error = nullptr);

// The GIF writer on its own (Qt writes no GIF).
bool saveGif(const QImage& image, const QString& fileName, QString* error = nullptr);

}  // namespace platform
