// Unsaved changes: the editor remembers the profile as it was last opened, saved, retrieved
// or reset, and asks before a command would drop what the operator changed since.
#include "profiles/profile_commands.h"
#include "profiles/profile_editor_form.h"

#include "platform/dialogs.h"
#include "platform/program_folder.h"

#include <QLineEdit>
#include <QPointer>

namespace profiles {

namespace {
// The alloy is the editor's view of the curve, kept in no file and no slot.
ProfileRecord comparable(ProfileRecord r) {
    r.Alloy = AlloyKind::Leaded;
    return r;
}
}  // namespace

void Profile_Editor_Form::markSaved() { saved_ = comparable(recordFromControls()); }

bool Profile_Editor_Form::hasUnsavedChanges() const { return comparable(recordFromControls()) != saved_; }

QString Profile_Editor_Form::saveChangesQuestion() const {
    const QString name = Text7->text().trimmed();
    return QString("Save the changes to %1?").arg(name.isEmpty() ? QString("Untitled") : name);
}

void Profile_Editor_Form::settleChanges(std::function<void()> proceed) {
    if (!hasUnsavedChanges()) {
        proceed();
        return;
    }
    QPointer<Profile_Editor_Form> self(this);
    dialogs_.askSaveChanges(windowTitle(), saveChangesQuestion(),
                            [self, proceed = std::move(proceed)](platform::Dialogs::Answer a) {
                                if (!self || self->closing_ || self->locked_) return;
                                if (a == platform::Dialogs::Answer::Cancel) return;
                                if (a == platform::Dialogs::Answer::Yes && !self->saveToFile(false)) return;
                                proceed();
                            });
}

// Save (file). True once the file is written; the verdict is shown unless it is the
// success notice of a save made on the way to another command.
bool Profile_Editor_Form::saveToFile(bool sayWhenSaved) {
    const SaveOutcome out = saveProfileToComputer(dialogs_, platform::documentsFolder(folders_.program),
                                                  displayUnit(), recordFromControls());
    const bool saved = out.result == SaveOutcome::Saved;
    if (saved) markSaved();
    if (out.notice && (sayWhenSaved || !saved)) showVerdict(*out.notice);
    return saved;
}

}  // namespace profiles
