#pragma once
#include "profiles/profile_checks.h"
#include "profiles/profile_record.h"
#include "platform/dialogs.h"

#include <QString>

#include <optional>

namespace profiles {

// The editor's "Open" and "Save" on the computer, free of widgets: each runs its file
// dialog (starting in the program folder, file name empty), reads or writes, and says
// what the editor must show. The editor stops its cooling-curve timer and clears
// ProfileRunActive before calling, shows the notice (then puts the focus in its box),
// and after a failed open runs its New command.

struct SaveOutcome {
    enum Result { Cancelled, Refused, Failed, Saved } result = Cancelled;
    QString fileName;               // the chosen file
    std::optional<Verdict> notice;  // nothing only when cancelled
};
// "Save As" dialog (it asks before naming an existing file; a name without extension gets
// ".znt", and is refused when that file exists), the writer's checks, then
// the file written to a temporary file and renamed into place: a failed write leaves an
// earlier file as it was. "File Saved Successfully" only once the file is in place.
SaveOutcome saveProfileToComputer(platform::Dialogs& dialogs, const QString& programFolder, DisplayUnit unit,
                                  const ProfileRecord& record);

struct OpenOutcome {
    enum Result { Cancelled, Failed, Opened } result = Cancelled;
    QString fileName;               // the full path, for the file name box, when opened
    ProfileRecord record;           // the profile read (the alloy kept from the editor's); New's after a failure
    SetPoints setPoints;            // the refreshed working copies, when opened
    std::optional<Verdict> notice;  // "Profile Error" and its text, when failed
};
// "Open" dialog, then the file read with every check of the reader.
OpenOutcome openProfileFromComputer(platform::Dialogs& dialogs, const QString& programFolder, DisplayUnit unit,
                                    const ProfileRecord& current);

// The same without the dialog: writing to and reading from a named file.
SaveOutcome writeProfileFile(const QString& fileName, DisplayUnit unit, const ProfileRecord& record);
OpenOutcome readProfileFile(const QString& fileName, DisplayUnit unit, const ProfileRecord& current);

// Larger files are refused unread: a profile is a few hundred bytes.
constexpr qint64 kMaxProfileFileBytes = 1 << 20;

}  // namespace profiles
