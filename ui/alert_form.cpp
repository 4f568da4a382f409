#include "ui/alert_form.h"

#include <QCloseEvent>

#include "core/shared_state.h"
#include "platform/clock.h"
#include "platform/program_folder.h"
#include "ui/picture_at_size.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

frmAlert::frmAlert(core::SharedState& state, platform::Clock& clock, QString programFolder,
                   std::function<void(bool)> enableEditor, QWidget* parent)
    : QWidget(parent, Qt::Dialog), state_(state), enableEditor_(std::move(enableEditor)) {
    setObjectName("frmAlert");
    setWindowTitle("Information ...");
    auto* root = new QHBoxLayout(this);
    Picture1 = new QLabel;
    Picture1->setObjectName("Picture1");
    Picture1->setPixmap(pictureAtSize(platform::picturePath(programFolder, "parkmode-1.jpg"), QSize(140, 96)));
    root->addWidget(Picture1);
    auto* right = new QVBoxLayout;
    Label1 = new QLabel("Please PARK your machine");
    Label1->setObjectName("Label1");
    QFont f = Label1->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    Label1->setFont(f);
    Label1->setStyleSheet("color: #c01010;");
    Label2 = new QLabel("Press OK to Start");
    Label2->setObjectName("Label2");
    auto* buttons = new QHBoxLayout;
    Command1 = new QPushButton("OK");
    Command1->setObjectName("Command1");
    Command2 = new QPushButton("Cancel");
    Command2->setObjectName("Command2");
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    right->addWidget(Label1);
    right->addWidget(Label2);
    right->addStretch();
    right->addLayout(buttons);
    root->addLayout(right);
    // The title line keeps its room while it blinks.
    Label1->setMinimumSize(Label1->sizeHint());
    auto sp = Label1->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    Label1->setSizePolicy(sp);

    blink_ = clock.createTimer(500, [this] { Timer1_Timer(); });
    beeps_ = clock.createTimer(200, [this] { Beeps_Timer_Timer(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    Form_Load();
}

frmAlert::~frmAlert() = default;

void frmAlert::Form_Load() {
    blinkFlag_ = false;
    Label1->setVisible(false);  // the first blink tick shows it
    if (enableEditor_) enableEditor_(false);
    Command1Tag = false;
    Command2Tag = false;
    move(0, 360);  // 5400 twips from the top
    blink_->setEnabled(true);
}

void frmAlert::Timer1_Timer() {
    if (blinkFlag_) {
        Label1->setVisible(false);
        blinkFlag_ = false;
    } else {
        Label1->setVisible(true);
        blinkFlag_ = true;
    }
}

void frmAlert::Beeps_Timer_Timer() { state_.RequestFlags[core::SlotBeep] = true; }

void frmAlert::Command1_Click() {
    Command1Tag = true;
    if (enableEditor_) enableEditor_(true);
}

void frmAlert::closeEvent(QCloseEvent* event) {
    event->ignore();
    Command2->click();
}

void frmAlert::Command2_Click() {
    Command2Tag = true;
    if (enableEditor_) enableEditor_(true);
}

}  // namespace ui
