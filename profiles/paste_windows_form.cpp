#include "profiles/paste_windows_form.h"

#include "platform/dialogs.h"
#include "settings/own_settings.h"
#include "ui/widget_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace profiles {

using ui::named;

namespace {

constexpr const char* kTitle = "Paste Windows";
constexpr const char* kBuiltInNote = "A built-in window can be copied, not changed.";

// A line of the form: one limit, or a range from a low to a high key.
struct LimitRow {
    const char* caption;
    const char* lowKey;
    const char* highKey;  // null for a single value
    const char* unit;
};
constexpr LimitRow kRows[] = {
    {"Liquidus:", "LiquidusC", nullptr, "C"},
    {"Steepest heating slope, at most:", "HeatingSlopeMax", nullptr, "C/s"},
    {"Soak band:", "SoakLowC", "SoakHighC", "C"},
    {"Time in the soak band:", "SoakMinS", "SoakMaxS", "s"},
    {"Time above liquidus:", "AboveLiquidusMinS", "AboveLiquidusMaxS", "s"},
    {"Peak:", "PeakLowC", "PeakHighC", "C"},
    {"Time within 5 C of the peak, at most:", "NearPeakMaxS", nullptr, "s"},
    {"Steepest cooling slope, at most:", "CoolingSlopeMax", nullptr, "C/s"},
    {"Time from 25 C to the peak, at most:", "ToPeakMaxS", nullptr, "s"},
};

// What a refusal calls each number.
QString phrase(const QString& key) {
    static const std::map<QString, QString> phrases{
        {"LiquidusC", "liquidus"},
        {"HeatingSlopeMax", "steepest heating slope"},
        {"SoakLowC", "low end of the soak band"},
        {"SoakHighC", "high end of the soak band"},
        {"SoakMinS", "shortest time in the soak band"},
        {"SoakMaxS", "longest time in the soak band"},
        {"AboveLiquidusMinS", "shortest time above liquidus"},
        {"AboveLiquidusMaxS", "longest time above liquidus"},
        {"PeakLowC", "lowest peak"},
        {"PeakHighC", "highest peak"},
        {"NearPeakMaxS", "longest time within 5 C of the peak"},
        {"CoolingSlopeMax", "steepest cooling slope"},
        {"ToPeakMaxS", "longest time from 25 C to the peak"},
    };
    const auto it = phrases.find(key);
    return it == phrases.end() ? key : it->second;
}

QString unitOf(const QString& key) {
    for (const LimitRow& r : kRows)
        if (key == r.lowKey || (r.highKey && key == r.highKey)) return r.unit;
    return {};
}

QString numberText(double v) { return QString::number(v, 'g', 6); }

// "SAC305 copy", then "SAC305 copy 2", ... : a name no window has.
QString copyName(const QString& name, const QList<process::PasteWindow>& user) {
    const QList<process::PasteWindow> all = process::allWindows(user);
    const QString base = name + " copy";
    QString candidate = base;
    for (int n = 2; process::findWindow(all, candidate); ++n) candidate = base + " " + QString::number(n);
    return candidate;
}

}  // namespace

PasteWindowsForm::PasteWindowsForm(settings::OwnSettings& own, platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), own_(own), dialogs_(dialogs.ownedBy([this]() -> QWidget* { return this; })) {
    setObjectName("PasteWindowsForm");
    setWindowTitle(kTitle);
    setWindowModality(Qt::WindowModal);
    // A built-in window's boxes can be read, not typed in: drawn on grey.
    setStyleSheet("QLineEdit[readOnly=\"true\"] { background: #ececec; color: #333; }");
    buildControls();
    user_ = process::loadUserWindows(own_);
    fillList(process::kLeadedPaste);
}

PasteWindowsForm::~PasteWindowsForm() = default;

void PasteWindowsForm::buildControls() {
    auto* root = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    lstWindows = named(new QListWidget, "lstWindows");
    lstWindows->setFixedWidth(190);
    left->addWidget(lstWindows);
    auto* listButtons = new QHBoxLayout;
    cmdCopy = named(new QPushButton("Copy"), "cmdCopy");
    cmdCopy->setToolTip("A new window of your own from the one selected");
    cmdRemove = named(new QPushButton("Remove"), "cmdRemove");
    listButtons->addWidget(cmdCopy);
    listButtons->addWidget(cmdRemove);
    left->addLayout(listButtons);
    root->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* frame = named(new QGroupBox(" Window "), "fraWindow");
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(5);
    auto caption = [](const QString& text) {
        auto* l = new QLabel(text);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    auto box = [this](const char* key) {
        auto* b = named(new QLineEdit, ("txt" + QString(key)).toLatin1().constData());
        b->setFixedWidth(64);
        b->setAlignment(Qt::AlignRight);
        numberBoxes[key] = b;
        return b;
    };
    txtName = named(new QLineEdit, "txtName");
    txtName->setMaxLength(40);
    grid->addWidget(caption("Name:"), 0, 0);
    grid->addWidget(txtName, 0, 1, 1, 4);
    int row = 1;
    for (const LimitRow& r : kRows) {
        grid->addWidget(caption(r.caption), row, 0);
        grid->addWidget(box(r.lowKey), row, 1);
        if (r.highKey) {
            grid->addWidget(new QLabel("to"), row, 2, Qt::AlignCenter);
            grid->addWidget(box(r.highKey), row, 3);
        }
        grid->addWidget(new QLabel(r.unit), row, r.highKey ? 4 : 2);
        ++row;
    }
    grid->setColumnStretch(5, 1);
    right->addWidget(frame);
    lblNote = named(new QLabel(kBuiltInNote), "lblNote");
    lblNote->setStyleSheet("color: #555;");
    right->addWidget(lblNote);
    auto* buttons = new QHBoxLayout;
    cmdSave = named(new QPushButton("Save"), "cmdSave");
    cmdSave->setToolTip("Keep the changes to this window");
    cmdClose = named(new QPushButton("Close"), "cmdClose");
    buttons->addWidget(cmdSave);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    right->addLayout(buttons);
    root->addLayout(right);

    connect(lstWindows, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { cmdRemove_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
}

void PasteWindowsForm::fillList(const QString& selectName) {
    const QSignalBlocker quiet(lstWindows);
    lstWindows->clear();
    for (const process::PasteWindow& w : process::allWindows(user_)) {
        auto* item = new QListWidgetItem(process::isBuiltIn(w.name) ? w.name + "  (built in)" : w.name);
        item->setData(Qt::UserRole, w.name);
        lstWindows->addItem(item);
    }
    if (select(selectName)) return;
    lstWindows->setCurrentRow(0);
    showSelected();
}

bool PasteWindowsForm::select(const QString& name) {
    for (int i = 0; i < lstWindows->count(); ++i) {
        if (lstWindows->item(i)->data(Qt::UserRole).toString().compare(name, Qt::CaseInsensitive) != 0) continue;
        lstWindows->setCurrentRow(i);
        showSelected();  // the boxes anew, also when it was selected already
        return true;
    }
    return false;
}

int PasteWindowsForm::userIndex() const {
    return lstWindows->currentRow() - int(process::builtInWindows().size());
}

void PasteWindowsForm::showSelected() {
    const QList<process::PasteWindow> all = process::allWindows(user_);
    const int row = lstWindows->currentRow();
    if (row < 0 || row >= all.size()) return;
    const process::PasteWindow& w = all[row];
    const bool own = userIndex() >= 0;
    auto shown = [own](QLineEdit* box, const QString& text) {
        box->setText(text);
        box->setReadOnly(!own);
        box->style()->unpolish(box);  // the style sheet follows the read-only property
        box->style()->polish(box);
    };
    shown(txtName, w.name);
    for (const settings::PasteField& f : settings::pasteFields())
        shown(numberBoxes.at(f.key), unitOf(f.key) == "C/s" ? QString::number(w.*f.member, 'f', 1)
                                                             : numberText(w.*f.member));
    cmdSave->setEnabled(own);
    cmdRemove->setEnabled(own);
    lblNote->setVisible(!own);
}

std::optional<process::PasteWindow> PasteWindowsForm::windowFromBoxes(QStringList* problems) const {
    process::PasteWindow w;
    w.name = txtName->text().trimmed();
    QStringList wrong;
    for (const settings::PasteField& f : settings::pasteFields()) {
        bool ok = false;
        const double v = numberBoxes.at(f.key)->text().trimmed().toDouble(&ok);
        const QString unit = unitOf(f.key);
        if (!ok) wrong << "The " + phrase(f.key) + " must be a number.";
        else if (v < f.low || v > f.high)
            wrong << "The " + phrase(f.key) + " must lie between " + numberText(f.low) + " and " + numberText(f.high) +
                         " " + unit + ".";
        else w.*f.member = v;
    }
    if (wrong.isEmpty()) {
        QList<process::PasteWindow> others = user_;
        if (userIndex() >= 0) others.removeAt(userIndex());
        wrong = process::windowProblems(w, others);
    }
    if (problems) *problems = wrong;
    if (!wrong.isEmpty()) return std::nullopt;
    return w;
}

void PasteWindowsForm::cmdCopy_Click() {
    const QList<process::PasteWindow> all = process::allWindows(user_);
    const int row = lstWindows->currentRow();
    if (row < 0 || row >= all.size()) return;
    process::PasteWindow copy = all[row];
    copy.name = copyName(copy.name, user_);
    user_ << copy;
    if (!store(copy.name)) return;
    txtName->setFocus();
    txtName->selectAll();
}

void PasteWindowsForm::cmdSave_Click() {
    const int i = userIndex();
    if (i < 0) return;
    QStringList problems;
    const auto w = windowFromBoxes(&problems);
    if (!w) {
        dialogs_->message(kTitle, problems.join("\n"));
        return;
    }
    user_[i] = *w;
    store(w->name);
}

void PasteWindowsForm::cmdRemove_Click() {
    const int i = userIndex();
    if (i < 0) return;
    const QString name = user_[i].name;
    dialogs_->askYesNo(kTitle, "Remove the paste window \"" + name + "\"?", [this, name](bool yes) {
        if (!yes) return;
        const int at = userIndex();
        if (at < 0 || user_[at].name != name) return;
        user_.removeAt(at);
        const QList<process::PasteWindow> all = process::allWindows(user_);
        store(all[std::min<qsizetype>(all.size() - 1, process::builtInWindows().size() + at)].name);
    });
}

// Writes the user's windows, shows the list anew with `selectName` selected and tells the
// editor; a file that cannot be written is said.
bool PasteWindowsForm::store(const QString& selectName) {
    const bool ok = process::saveUserWindows(own_, user_);
    if (!ok) dialogs_->message(kTitle, "The paste windows could not be written to " + own_.path() + ".");
    fillList(selectName);
    if (onChanged_) onChanged_();
    return ok;
}

}  // namespace profiles
