#pragma once
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace core {
struct SharedState;
}
namespace platform {
class Clock;
class Timer;
}  // namespace platform

namespace ui {

// "Information ...": a prompt that blinks its title line, can beep at an interval, and
// remembers which of its two buttons was pressed. While it is up the profile editor is
// disabled, through the callback.
class frmAlert : public QWidget {
    Q_OBJECT
public:
    frmAlert(core::SharedState& state, platform::Clock& clock, QString programFolder,
             std::function<void(bool)> enableEditor = {}, QWidget* parent = nullptr);
    ~frmAlert() override;

    void setEditorEnabler(std::function<void(bool)> enable) { enableEditor_ = std::move(enable); }

    void Form_Load();
    void Timer1_Timer();
    void Beeps_Timer_Timer();
    void Command1_Click();
    void Command2_Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Picture1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    bool Command1Tag = false;  // OK was pressed
    bool Command2Tag = false;  // Cancel was pressed
    platform::Timer& Timer1() { return *blink_; }
    platform::Timer& Beeps_Timer() { return *beeps_; }

protected:
    // The close box answers Cancel; the window stays until its owner unloads it.
    void closeEvent(QCloseEvent* event) override;

private:
    core::SharedState& state_;
    std::unique_ptr<platform::Timer> blink_;
    std::unique_ptr<platform::Timer> beeps_;
    std::function<void(bool)> enableEditor_;
    bool blinkFlag_ = false;
};

}  // namespace ui
