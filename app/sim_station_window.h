#pragma once
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace platform {
class Clock;
class Timer;
}  // namespace platform
namespace simulator {
class SimStation;
}

namespace app {

// "Simulated KR-9300": the simulated station's own front panel while the program runs
// against it. Shows its heaters, board temperature, fan and position, and lets the
// operator park it, break its thermocouple or pull its cable.
class SimStationWindow : public QWidget {
    Q_OBJECT
public:
    SimStationWindow(simulator::SimStation& station, platform::Clock& clock, QWidget* parent = nullptr);
    ~SimStationWindow() override;
    void refresh();

    QLabel* upper = nullptr;
    QLabel* lower = nullptr;
    QLabel* temperature = nullptr;
    QLabel* fan = nullptr;
    QLabel* mode = nullptr;
    QLabel* cable = nullptr;
    QPushButton* normalButton = nullptr;
    QPushButton* parkButton = nullptr;
    QPushButton* probeButton = nullptr;
    QPushButton* cableButton = nullptr;

private:
    simulator::SimStation& station_;
    std::unique_ptr<platform::Timer> timer_;
};

}  // namespace app
