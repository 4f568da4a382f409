#pragma once
#include "link/departure.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace platform {
class Clock;
class Timer;
}  // namespace platform

namespace mainwin {

// "Disconnecting KR-9300 ...": counts the seconds while the program lets go of the
// station and offers "Manual Disconnect" after 15 of them.
class frmExit_Warning : public QWidget, public stationlink::ExitWarning {
    Q_OBJECT
public:
    frmExit_Warning(platform::Clock& clock, QWidget* parent = nullptr);
    ~frmExit_Warning() override;

    // What "Manual Disconnect" does.
    void setManualDisconnect(std::function<void()> action) { manual_ = std::move(action); }

    void showWarning() override;
    void setWarningText(const QString& text) override;
    void stopWarningTimer() override;
    void unloadWarning() override;

    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();

    int Elapsed_Seconds = 0;
    QLabel* WarningText = nullptr;
    QLabel* ElapsedLabel = nullptr;
    QPushButton* Command1 = nullptr;
    platform::Timer& Timer1() { return *timer_; }

private:
    platform::Clock& clock_;
    std::unique_ptr<platform::Timer> timer_;
    std::function<void()> manual_;
};

}  // namespace mainwin
