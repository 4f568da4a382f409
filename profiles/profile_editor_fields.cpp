// The editor's boxes as a profile: the field checks bound to their boxes, and the profile
// file commands Open and Save.
#include "profiles/profile_checks.h"
#include "profiles/profile_commands.h"
#include "profiles/profile_editor_form.h"

#include "core/shared_state.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace profiles {

DisplayUnit Profile_Editor_Form::displayUnit() const { return displayUnitOf(state_.Settings.TempUnit); }

ProfileRecord Profile_Editor_Form::recordFromControls() const {
    ProfileRecord r;
    r.ProfileName = Text7->text();
    for (int p = 0; p < 3; ++p) {
        ProfilePoint& x = r.point(p + 1);
        x.PointTemperature = temperatureBox(p)->text();
        x.PointMessage = messageBox(p)->text();
        x.LHMode = lowerList(p)->currentIndex();
        x.UHMode = upperList(p)->currentIndex();
        x.Fan = fanBox(p)->isChecked();
        x.ParkMode = modeList(p)->currentIndex();
    }
    r.Alloy = Option5->isChecked() ? AlloyKind::LeadFree : AlloyKind::Leaded;
    return r;
}

void Profile_Editor_Form::showRecord(const ProfileRecord& r) {
    Text7->setText(r.ProfileName);
    for (int p = 0; p < 3; ++p) {
        const ProfilePoint& x = r.point(p + 1);
        temperatureBox(p)->setText(x.PointTemperature);
        messageBox(p)->setText(x.PointMessage);
        messageBox(p)->setCursorPosition(0);
        lowerList(p)->setCurrentIndex(x.LHMode);
        upperList(p)->setCurrentIndex(x.UHMode);
        fanBox(p)->setChecked(x.Fan);
        modeList(p)->setCurrentIndex(x.ParkMode);
    }
    (r.Alloy == AlloyKind::LeadFree ? Option5 : Option4)->setChecked(true);
    choosePasteForProfile();
}

QWidget* Profile_Editor_Form::boxWidget(ProfileBox box) const {
    switch (box) {
        case ProfileBox::Text1: return Text1;
        case ProfileBox::Text2: return Text2;
        case ProfileBox::Text3: return Text3;
        case ProfileBox::Text4: return Text4;
        case ProfileBox::Text5: return Text5;
        case ProfileBox::Text6: return Text6;
        case ProfileBox::Text7: return Text7;
        case ProfileBox::Text8: return Text8;
        case ProfileBox::Combo1: return Combo1;
        case ProfileBox::Combo2: return Combo2;
        case ProfileBox::Combo3: return Combo3;
        case ProfileBox::Combo4: return Combo4;
        case ProfileBox::Combo5: return Combo5;
        case ProfileBox::Combo6: return Combo6;
        case ProfileBox::None: break;
    }
    return nullptr;
}

// The message, then the focus back in the box with its whole text selected. The focus
// moves this makes are not the operator leaving a box: they check nothing.
void Profile_Editor_Form::showVerdict(const Verdict& v) {
    showingVerdict_ = true;
    dialogs_.message(v.title, v.text);
    if (QWidget* box = boxWidget(v.box)) {
        box->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(box)) {
            line->setCursorPosition(0);
            line->selectAll();
        }
    }
    showingVerdict_ = false;
}

void Profile_Editor_Form::bindFieldChecks() {
    for (QLineEdit* box : {Text1, Text2, Text3, Text5, Text7}) box->installEventFilter(this);
    // The X2 and X3 messages are judged on every change, the program's own included.
    connect(Text4, &QLineEdit::textChanged, this, [this] { messageChanged(1); });
    connect(Text6, &QLineEdit::textChanged, this, [this] { messageChanged(2); });
}

bool Profile_Editor_Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window taking the focus (a message box, another program) is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            if (auto* box = qobject_cast<QWidget*>(watched)) {
                // The box finishes losing the focus first, so that a failure can select its text.
                static_cast<QObject*>(box)->event(event);
                boxLeft(box);
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

void Profile_Editor_Form::boxLeft(QWidget* box) {
    if (showingVerdict_ || locked_ || closing_) return;
    const ProfileRecord record = recordFromControls();
    std::optional<Verdict> failure;
    if (box == Text2) {
        failure = checkMessage(1, Text2->text());
    } else if (box == Text7) {
        failure = checkName(Text7->text());
    } else {
        const int n = box == Text1 ? 1 : box == Text3 ? 2 : 3;
        failure = checkOwnTemperature(n, record.point(n).PointTemperature, displayUnit());
        if (!failure && !record.point(n).PointTemperature.isEmpty()) {
            // The order of the three is judged once the operator leaves the group: raising
            // X1 above the old X2 on the way to raising X2 is not an error yet.
            const SetPointCheck check = profiles::CheckSetPoints(record, displayUnit());
            if (check.setPoints) {
                storeSetPoints(state_, *check.setPoints);
                redrawCurve();
            } else if (!isTemperatureBox(QApplication::focusWidget())) {
                failure = check.failure;
            }
        }
    }
    if (failure) showVerdict(*failure);
}

bool Profile_Editor_Form::isTemperatureBox(const QWidget* w) const { return w && (w == Text1 || w == Text3 || w == Text5); }

void Profile_Editor_Form::messageChanged(int point) {
    if (showingVerdict_ || closing_) return;
    if (const auto failure = checkMessage(point + 1, messageBox(point)->text())) showVerdict(*failure);
}

void Profile_Editor_Form::CheckSetPoints() {
    const SetPointCheck check = profiles::CheckSetPoints(recordFromControls(), displayUnit());
    if (check.failure) {
        showVerdict(*check.failure);
        return;
    }
    if (!check.setPoints) return;
    storeSetPoints(state_, *check.setPoints);
    redrawCurve();
}

// --- the profile file ---

void Profile_Editor_Form::Command4_Click() {
    stopCooling();
    saveToFile(true);
}

void Profile_Editor_Form::Command3_Click() {
    settleChanges([this] { openProfile(); });
}

// Open: the file's profile on screen and its curve; a file that fails a check leaves the
// editor as New does.
void Profile_Editor_Form::openProfile() {
    stopCooling();
    const OpenOutcome out = openProfileFromComputer(dialogs_, platform::documentsFolder(folders_.program),
                                                    displayUnit(), recordFromControls());
    if (out.result == OpenOutcome::Cancelled) return;
    if (out.result == OpenOutcome::Failed) {
        if (out.notice) showVerdict(*out.notice);
        newProfile();
        return;
    }
    Text8->setText(out.fileName);
    showRecord(out.record);
    markSaved();
    storeSetPoints(state_, out.setPoints);
    redrawCurve();
}

}  // namespace profiles
