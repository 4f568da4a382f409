#include "app/sim_station_window.h"

#include "mainwin/form1.h"
#include "platform/clock.h"
#include "simulator/sim_station.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {
const char* kUpper[] = {"?", "OFF", "REFLOW", "FAST REFLOW"};
const char* kLower[] = {"?", "OFF", "PREHEAT", "REFLOW", "FAST REFLOW"};

QLabel* value(const char* name) {
    auto* l = new QLabel;
    l->setObjectName(name);
    l->setMinimumWidth(120);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
}  // namespace

SimStationWindow::SimStationWindow(simulator::SimStation& station, platform::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window), station_(station) {
    setObjectName("SimStationWindow");
    setWindowTitle("Simulated KR-9300");
    auto* root = new QVBoxLayout(this);
    auto* state = new QGroupBox("Station");
    auto* form = new QFormLayout(state);
    form->addRow("Upper heater:", upper = value("simUpper"));
    form->addRow("Lower heater:", lower = value("simLower"));
    form->addRow("Board:", temperature = value("simTemperature"));
    form->addRow("Fan:", fan = value("simFan"));
    form->addRow("Position:", mode = value("simMode"));
    form->addRow("USB cable:", cable = value("simCable"));
    root->addWidget(state);

    auto* buttons = new QHBoxLayout;
    normalButton = new QPushButton("Normal");
    parkButton = new QPushButton("Park");
    probeButton = new QPushButton("Break Probe");
    cableButton = new QPushButton("Unplug");
    normalButton->setObjectName("simNormal");
    parkButton->setObjectName("simPark");
    probeButton->setObjectName("simProbe");
    cableButton->setObjectName("simCableButton");
    for (QPushButton* b : {normalButton, parkButton, probeButton, cableButton}) buttons->addWidget(b);
    root->addLayout(buttons);

    connect(normalButton, &QPushButton::clicked, this, [this] {
        station_.setMachineMode(1);
        refresh();
    });
    connect(parkButton, &QPushButton::clicked, this, [this] {
        station_.setMachineMode(2);
        refresh();
    });
    connect(probeButton, &QPushButton::clicked, this, [this] {
        station_.setProbeError(!station_.probeError());
        refresh();
    });
    connect(cableButton, &QPushButton::clicked, this, [this] {
        if (station_.plugged()) station_.unplug();
        else station_.replug();
        refresh();
    });
    timer_ = clock.createTimer(500, [this] { refresh(); });
    timer_->setEnabled(true);
    refresh();
}

SimStationWindow::~SimStationWindow() = default;

void SimStationWindow::refresh() {
    upper->setText(kUpper[std::clamp(station_.upperLevel(), 0, 3)]);
    lower->setText(kLower[std::clamp(station_.lowerLevel(), 0, 4)]);
    temperature->setText(station_.probeError() ? "probe open"
                                               : QString::number(station_.boardTemperature(), 'f', 1) + " °C");
    fan->setText(station_.fanOn() ? "ON" : "off");
    mode->setText(station_.machineMode() == 1 ? "NORMAL" : station_.machineMode() == 2 ? "PARK" : "?");
    cable->setText(station_.plugged() ? "plugged in" : "unplugged");
    probeButton->setText(station_.probeError() ? "Mend Probe" : "Break Probe");
    cableButton->setText(station_.plugged() ? "Unplug" : "Plug In");
}

QPoint placeBeside(const QRect& mainFrame, const QSize& frame, const QRect& screen, int gap) {
    int x = mainFrame.right() + 1 + gap;
    if (x + frame.width() - 1 > screen.right()) x = mainFrame.left() - gap - frame.width();
    if (x < screen.left()) x = screen.right() + 1 - frame.width();
    x = std::max(x, screen.left());
    const int y = std::max(screen.top(), std::min(mainFrame.top(), screen.bottom() + 1 - frame.height()));
    return {x, y};
}

SimStationWindowKeeper::SimStationWindowKeeper(SimStationWindow& window, mainwin::Form1& form,
                                               platform::Clock& clock, std::function<bool()> demoInUse)
    : window_(window), form_(form), demoInUse_(std::move(demoInUse)) {
    if (QMenu* tools = form_.findChild<QMenu*>("M_Tools")) {
        entry_ = tools->addAction("Simulated KR-9300");
        entry_->setObjectName("M_Tools_Simulator");
        entry_->setToolTip("Show the simulated station the demo talks to");
        entry_->setVisible(false);
        QObject::connect(entry_, &QAction::triggered, &window_, [this] { showBeside(); });
    }
    timer_ = clock.createTimer(500, [this] { check(); });
    timer_->setEnabled(true);
}

SimStationWindowKeeper::~SimStationWindowKeeper() = default;

void SimStationWindowKeeper::check() {
    const bool demo = demoInUse_() && !form_.programEnded();
    if (entry_) entry_->setVisible(demo);
    if (demo && !shownOnce_) showBeside();  // once: after that only the menu entry shows it
}

void SimStationWindowKeeper::showBeside() {
    shownOnce_ = true;
    window_.adjustSize();
    // A window never shown has no frame yet: take the main window's frame margins.
    const QSize margins = form_.frameGeometry().size() - form_.geometry().size();
    const QScreen* screen = form_.screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(1024, 768));
    window_.move(placeBeside(form_.frameGeometry(), window_.size() + margins, available));
    window_.show();
    window_.raise();
}

}  // namespace app
