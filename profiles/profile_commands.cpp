#include "profiles/profile_commands.h"

#include "profiles/profile_file.h"
#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>

namespace profiles {

namespace {

const QString kProfileError = "Profile Error";

OpenOutcome openFailure(const QString& text) {
    OpenOutcome out;
    out.result = OpenOutcome::Failed;
    out.notice = Verdict{kProfileError, text, ProfileBox::None};
    return out;
}

}  // namespace

SaveOutcome writeProfileFile(const QString& fileName, DisplayUnit unit, const ProfileRecord& record) {
    const EncodedProfile encoded = encodeProfile(record, unit);
    if (encoded.refusal) return {SaveOutcome::Refused, fileName, encoded.refusal};
    const platform::TextWrite written = platform::writeFileBytes(fileName, encoded.bytes);
    if (!written.ok())
        return {SaveOutcome::Failed, fileName,
                Verdict{kProfileError,
                        "The profile could not be saved to " + fileName + ": " + written.error +
                            ". A file of that name that was there before is unchanged.",
                        ProfileBox::None}};
    return {SaveOutcome::Saved, fileName, Verdict{"Saving Confirmation", "File Saved Successfully", ProfileBox::None}};
}

OpenOutcome readProfileFile(const QString& fileName, DisplayUnit unit, const ProfileRecord& current) {
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return openFailure("The profile file " + fileName + " could not be opened: it is not a regular file.");
    QFile in(fileName);
    if (!in.open(QIODevice::ReadOnly))
        return openFailure("The profile file " + fileName + " could not be opened: " + in.errorString() + ".");
    const QByteArray bytes = in.read(kMaxProfileFileBytes + 1);
    if (bytes.size() > kMaxProfileFileBytes)
        return openFailure("The file " + fileName + " is too large to be a profile.");
    in.close();

    const DecodedProfile decoded = decodeProfile(bytes, unit);
    if (!decoded.record) return openFailure(decoded.failure);
    const std::optional<SetPoints> points = setPointsOf(*decoded.record, unit);
    if (!points) return openFailure("The temperatures of " + fileName + " have no Celsius value in 16 bits.");

    OpenOutcome out;
    out.result = OpenOutcome::Opened;
    out.fileName = info.absoluteFilePath();
    out.record = *decoded.record;
    out.record.Alloy = current.Alloy;
    out.setPoints = *points;
    return out;
}

SaveOutcome saveProfileToComputer(platform::Dialogs& dialogs, const QString& programFolder, DisplayUnit unit,
                                  const ProfileRecord& record) {
    QString name = dialogs.saveFile("Save As", kProfileFilter, programFolder, QString());
    if (name.isEmpty()) return {};
    while (name.endsWith('.')) name.chop(1);
    if (QFileInfo(name).suffix().isEmpty()) {
        name += ".znt";
        // The dialog asked about the name as typed, not about this one: an existing file is
        // never replaced without the operator having chosen it.
        if (QFileInfo::exists(name))
            return {SaveOutcome::Refused, name,
                    Verdict{kProfileError,
                            QFileInfo(name).fileName() + " already exists. Choose it in the dialog to replace it.",
                            ProfileBox::None}};
    }
    return writeProfileFile(name, unit, record);
}

OpenOutcome openProfileFromComputer(platform::Dialogs& dialogs, const QString& programFolder, DisplayUnit unit,
                                    const ProfileRecord& current) {
    const QString name = dialogs.openFile("Open", kProfileFilter, programFolder, QString());
    if (name.isEmpty()) return {};
    return readProfileFile(name, unit, current);
}

}  // namespace profiles
