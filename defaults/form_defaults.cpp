#include "defaults/form_defaults.h"

#include "core/shared_state.h"
#include "defaults/default_data.h"
#include "platform/dialogs.h"
#include "platform/clock.h"
#include "ui/widget_names.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace defaults {

using ui::named;

Form_Defaults::Form_Defaults(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock,
                             platform::Dialogs& dialogs, DefaultsHost host, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      state_(state),
      dialogs_(dialogs),
      host_(std::move(host)),
      uploader_(state, bridge, clock, [this](int panel, const QString& text) { setPanel(panel, text); }) {
    setObjectName("Form_Defaults");
    setWindowTitle("KR-9300 Defaults Uploading Tool");
    // Modal to the window that opened it only: other windows (the demo's simulated
    // station) stay in reach.
    setWindowModality(Qt::WindowModal);
    auto* root = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    Command1 = named(new QPushButton("Upload default EEPROM"), "Command1");
    Command2 = named(new QPushButton("Upload Profile1  (DCTx ICs)"), "Command2");
    Command3 = named(new QPushButton("Upload Profile2 (NORTH BRIDGE)"), "Command3");
    Command4 = named(new QPushButton("Upload Profile3 (LEADFREE)"), "Command4");
    Command5 = named(new QPushButton("Detect KR-9300"), "Command5");
    Command6 = named(new QPushButton("Exit"), "Command6");
    grid->addWidget(Command1, 0, 0);
    grid->addWidget(Command5, 0, 1);
    grid->addWidget(Command2, 1, 0);
    grid->addWidget(Command3, 2, 0);
    grid->addWidget(Command4, 3, 0);
    grid->addWidget(Command6, 3, 1);
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command6}) b->setMinimumWidth(230);
    root->addLayout(grid);
    StatusBar1 = named(new QStatusBar, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    // Panel 2 carries the longer texts: the progress and the outcome.
    for (int i = 0; i < 2; ++i) {
        auto* p = new QLabel;
        p->setObjectName(QString("StatusBar1_Panel%1").arg(i + 1));
        p->setMinimumWidth(i == 0 ? 160 : 280);
        StatusBar1->addWidget(p, i == 0 ? 0 : 1);
        panels_[std::size_t(i)] = p;
    }
    root->addWidget(StatusBar1);

    connect(Command1, &QPushButton::clicked, this, [this] { platform::stopAtEnd([&] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { platform::stopAtEnd([&] { UploadProfileClick(1); }); });
    connect(Command3, &QPushButton::clicked, this, [this] { platform::stopAtEnd([&] { UploadProfileClick(2); }); });
    connect(Command4, &QPushButton::clicked, this, [this] { platform::stopAtEnd([&] { UploadProfileClick(3); }); });
    connect(Command5, &QPushButton::clicked, this, [this] { platform::stopAtEnd([&] { Command5_Click(); }); });
    connect(Command6, &QPushButton::clicked, this, [this] { platform::stopAtEnd([&] { Command6_Click(); }); });
}

Form_Defaults::~Form_Defaults() = default;

void Form_Defaults::setPanel(int panel, const QString& text) {
    if (panel >= 1 && panel <= 2) panels_[std::size_t(panel - 1)]->setText(text);
}

QString Form_Defaults::panel(int panel) const {
    return panel >= 1 && panel <= 2 ? panels_[std::size_t(panel - 1)]->text() : QString();
}

void Form_Defaults::setUploadsEnabled(bool on) {
    uploadsEnabled_ = on;
    for (QPushButton* b : {Command1, Command2, Command3, Command4}) b->setEnabled(on);
}

void Form_Defaults::Form_Load() {
    if (host_.stopPoller) host_.stopPoller();
    setEnabled(true);
    setPanel(1, "Ready ...");
    if (state_.MachineOnline) {
        setUploadsEnabled(true);
        detectEnabled_ = false;
        Command5->setEnabled(false);
    } else {
        Command5_Click();
    }
}

void Form_Defaults::runExclusive(const std::function<void()>& work) {
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command6}) b->setEnabled(false);
    work();
    // The upload buttons stay as they were: after the tool closed the bridge, an upload
    // fails with "Write Error" until "Detect KR-9300" opens it again.
    setUploadsEnabled(uploadsEnabled_);
    // After the tool had to close the bridge, "Detect KR-9300" is the way back.
    if (!state_.PortOpen) detectEnabled_ = true;
    Command5->setEnabled(detectEnabled_);
    Command6->setEnabled(true);
}

void Form_Defaults::Command5_Click() {
    if (uploader_.busy()) return;
    runExclusive([this] {
        const bool ok = uploader_.detect();
        uploadsEnabled_ = ok;
        detectEnabled_ = true;
    });
}

QString Form_Defaults::profileQuestion(int slot) {
    const QString name = QString::fromLatin1(defaultProfiles()[std::size_t(slot - 1)].Name).trimmed();
    return QString("Overwrite profile slot %1 with %2?").arg(slot).arg(name);
}

// Each upload asks first: it replaces what the station holds.
void Form_Defaults::Command1_Click() {
    if (uploader_.busy()) return;
    QPointer<Form_Defaults> self(this);
    dialogs_.askYesNo(windowTitle(), kSettingsQuestion, [self](bool yes) {
        if (!self || !yes || self->uploader_.busy() || self->closing_) return;
        platform::stopAtEnd([&] {
            self->runExclusive([&] { self->uploader_.uploadSettings(); });
            self->closeIfAsked();
        });
    });
}

void Form_Defaults::UploadProfileClick(int slot) {
    if (uploader_.busy() || slot < 1 || slot > 3) return;
    QPointer<Form_Defaults> self(this);
    dialogs_.askYesNo(windowTitle(), profileQuestion(slot), [self, slot](bool yes) {
        if (!self || !yes || self->uploader_.busy() || self->closing_) return;
        platform::stopAtEnd([&] { self->uploadProfile(slot); });
    });
}

// The upload, then the slot read back and compared, as the editor's save does.
void Form_Defaults::uploadProfile(int slot) {
    runExclusive([this, slot] {
        if (uploader_.uploadProfile(slot)) uploader_.verifyProfile(slot);
    });
    closeIfAsked();
}

// Closed as asked during the upload; its outcome is said over the main window, so that
// it is not lost with the tool.
void Form_Defaults::closeIfAsked() {
    if (!closeWhenDone_ || closing_) return;
    const QString outcome = panel(2);
    Command6_Click();
    dialogs_.message(windowTitle(), outcome);
}

void Form_Defaults::leave() {
    if (host_.resumePoller) host_.resumePoller();
}

void Form_Defaults::Command6_Click() {
    if (uploader_.busy()) return;
    leave();
    closing_ = true;
    close();
}

void Form_Defaults::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (uploader_.busy()) {
        // Half a profile or half a settings block must not be left in the station: the
        // tool closes once the upload is over, and says so.
        event->ignore();
        if (!closeWhenDone_)
            dialogs_.message(windowTitle(), "An upload is under way. Stopping it would leave the KR-9300 with half "
                                            "of it, so the tool closes by itself once it has finished.");
        closeWhenDone_ = true;
        setPanel(1, "Closing after the upload ...");
        return;
    }
    leave();
    closing_ = true;
    event->accept();
}

}  // namespace defaults
