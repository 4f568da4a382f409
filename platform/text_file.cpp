#include "platform/text_file.h"

#include <QSaveFile>

namespace platform {

TextWrite writeFileBytes(const QString& fileName, const QByteArray& data) {
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly)) return {TextWrite::CannotCreate, out.errorString()};
    // A failing flush (a full disk) must stop the commit: QSaveFile alone would go on.
    if (out.write(data) != data.size() || !out.flush()) {
        const QString error = out.errorString();
        out.cancelWriting();
        out.commit();  // discards the temporary file
        return {TextWrite::Failed, error};
    }
    if (!out.commit()) return {TextWrite::Failed, out.errorString()};
    return {};
}

TextWrite writeTextLines(const QString& fileName, const QStringList& lines) {
    QByteArray data;
    for (const QString& line : lines) data += line.toLatin1() + "\r\n";
    return writeFileBytes(fileName, data);
}

}  // namespace platform
