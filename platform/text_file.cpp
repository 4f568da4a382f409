#include "platform/text_file.h"

#include <QSaveFile>

namespace platform {

TextWrite writeFileBytes(const QString& fileName, const QByteArray& data) {
    QSaveFile out(fileName);
    // Unbuffered, so each write reaches the file at once and a failure keeps its reason.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return {TextWrite::CannotCreate, out.errorString()};
    // A disk that fills up takes part of a write without a word; the next write of the
    // rest fails with the reason.
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = out.write(data.constData() + done, data.size() - done);
        if (n <= 0) break;
        done += n;
    }
    // A failed write must stop the commit: QSaveFile alone would go on.
    if (done != data.size() || !out.flush()) {
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
