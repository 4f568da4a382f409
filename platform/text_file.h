#pragma once
#include <QString>
#include <QStringList>

namespace platform {

// Writes text lines to a file, each ended by CR LF, one byte per character (Latin-1).
// The lines go to a temporary file that is renamed into place, so a failed write (a full
// disk, a crash) leaves the old file as it was.
struct TextWrite {
    enum Outcome { Written, CannotCreate, Failed } outcome = Written;
    QString error;  // the file layer's reason when not written
    bool ok() const { return outcome == Written; }
};

TextWrite writeTextLines(const QString& fileName, const QStringList& lines);
// The same for bytes already encoded.
TextWrite writeFileBytes(const QString& fileName, const QByteArray& data);

}  // namespace platform
