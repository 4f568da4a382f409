#pragma once
#include "ui/alert_form.h"

#include <QPointer>
#include <QString>

#include <functional>

namespace core {
struct SharedState;
}
namespace platform {
class Clock;
}

namespace ui {

// The alert window as a profile run uses it: loaded on the first showing only, so that
// its load step (both button flags cleared, the editor disabled) runs once per prompt
// series; the run reads the button flags on its own ticks and unloads it when done.
class RunAlert {
public:
    RunAlert(core::SharedState& state, platform::Clock& clock, QString programFolder,
             std::function<void(bool)> enableEditor, QWidget* parent = nullptr);
    ~RunAlert();

    // Loads the window if it is not loaded, sets its two lines, starts the beeps at the
    // interval (0 stops them), hides OK when asked and shows it without blocking.
    void ShowRunAlert(const QString& title, const QString& message, int beepIntervalMs, bool hideOk);
    // Closes the window and stops its timers; its button flags go with it.
    void unload();
    // An alert nobody reads the answer of (the run has ended) closes itself on OK or
    // Cancel. Each new loading starts without it.
    void setCloseOnAnswer(bool on) { closeOnAnswer_ = on; }

    bool loaded() const { return form_ != nullptr; }
    bool okPressed() const { return form_ && form_->Command1Tag; }
    bool cancelPressed() const { return form_ && form_->Command2Tag; }
    frmAlert* form() const { return form_; }
    // Told "OK" or "Cancel" the moment the operator presses one.
    void setAnswerSink(std::function<void(const QString&)> sink) { onAnswer_ = std::move(sink); }

private:
    core::SharedState& state_;
    platform::Clock& clock_;
    QString programFolder_;
    std::function<void(bool)> enableEditor_;
    QWidget* parent_;
    QPointer<frmAlert> form_;
    std::function<void(const QString&)> onAnswer_;
    bool closeOnAnswer_ = false;
    void answered(const QString& answer);
};

}  // namespace ui
