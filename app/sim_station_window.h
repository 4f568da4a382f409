#pragma once
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPushButton;

namespace platform {
class Clock;
class Timer;
}  // namespace platform
namespace simulator {
class SimStation;
}
namespace mainwin {
class Form1;
}

namespace app {

// "Simulated KR-9300": the simulated station's own front panel while the program runs
// against it. Shows its heaters, the board and what the thermocouple reads, its fan and
// position, and lets the operator park it and give it the faults of a bench: an open
// or detached thermocouple, a dead heater element, a pulled cable.
class SimStationWindow : public QWidget {
    Q_OBJECT
public:
    SimStationWindow(simulator::SimStation& station, platform::Clock& clock, QWidget* parent = nullptr);
    ~SimStationWindow() override;
    void refresh();

    QLabel* upper = nullptr;
    QLabel* lower = nullptr;
    QLabel* temperature = nullptr;
    QLabel* reading = nullptr;
    QLabel* fan = nullptr;
    QLabel* mode = nullptr;
    QLabel* cable = nullptr;
    QPushButton* normalButton = nullptr;
    QPushButton* parkButton = nullptr;
    QPushButton* probeButton = nullptr;
    QPushButton* cableButton = nullptr;
    QPushButton* detachButton = nullptr;
    QPushButton* upperDeadButton = nullptr;  // checked while the element is dead
    QPushButton* lowerDeadButton = nullptr;

private:
    simulator::SimStation& station_;
    std::unique_ptr<platform::Timer> timer_;
};

// Where a window whose frame has the given size goes beside the main window's frame: to
// its right, else to its left, else as far right as the screen allows, at the main
// window's top; always wholly on the screen when it fits on it at all.
QPoint placeBeside(const QRect& mainFrame, const QSize& frame, const QRect& screen, int gap = 12);

// The demo's simulated-station window: shown beside the main window the first time the
// program talks to the simulated station; its close box only hides it, and "Simulated
// KR-9300" in the main window's Tools menu (there while the demo runs) brings it back.
class SimStationWindowKeeper {
public:
    SimStationWindowKeeper(SimStationWindow& window, mainwin::Form1& form, platform::Clock& clock,
                           std::function<bool()> demoInUse);
    ~SimStationWindowKeeper();

    void showBeside();
    QAction* menuEntry() const { return entry_; }

private:
    void check();

    SimStationWindow& window_;
    mainwin::Form1& form_;
    std::function<bool()> demoInUse_;
    std::unique_ptr<platform::Timer> timer_;
    QAction* entry_ = nullptr;
    bool shownOnce_ = false;
};

}  // namespace app
