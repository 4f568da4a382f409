#include "ui/run_alert.h"

#include <QPointer>

#include "platform/clock.h"

#include <QPushButton>
#include <QLabel>

namespace ui {

RunAlert::RunAlert(core::SharedState& state, platform::Clock& clock, QString programFolder,
                   std::function<void(bool)> enableEditor, QWidget* parent)
    : state_(state),
      clock_(clock),
      programFolder_(std::move(programFolder)),
      enableEditor_(std::move(enableEditor)),
      parent_(parent) {}

RunAlert::~RunAlert() { unload(); }

void RunAlert::ShowRunAlert(const QString& title, const QString& message, int beepIntervalMs, bool hideOk) {
    if (!form_) {
        form_ = new frmAlert(state_, clock_, programFolder_, enableEditor_, parent_);
        form_->setWindowFlag(Qt::WindowStaysOnTopHint);
        closeOnAnswer_ = false;
        QObject::connect(form_->Command1, &QPushButton::clicked, form_, [this] { answered("OK"); });
        QObject::connect(form_->Command2, &QPushButton::clicked, form_, [this] { answered("Cancel"); });
    }
    form_->Label1->setText(title);
    form_->Label2->setText(message);
    if (beepIntervalMs != 0) {
        form_->Beeps_Timer().setInterval(beepIntervalMs);
        form_->Beeps_Timer().setEnabled(true);
    } else {
        form_->Beeps_Timer().setEnabled(false);
    }
    if (hideOk) form_->Command1->hide();
    form_->show();
}

void RunAlert::answered(const QString& answer) {
    if (onAnswer_) onAnswer_(answer);
    if (!closeOnAnswer_) return;
    // Not from inside the button's own signal: the window goes once the click is over.
    QPointer<frmAlert> form = form_;
    clock_.schedule(0, [this, form] {
        if (form && form == form_) unload();
    });
}

void RunAlert::unload() {
    if (!form_) return;
    frmAlert* f = form_;
    form_ = nullptr;
    f->Timer1().setEnabled(false);
    f->Beeps_Timer().setEnabled(false);
    f->hide();
    delete f;
}

}  // namespace ui
