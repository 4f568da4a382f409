#include "app/sim_station_window.h"

#include "mainwin/form1.h"
#include "platform/clock.h"
#include "simulator/sim_station.h"

#include <QAction>
#include <QFormLayout>
#include <QGridLayout>
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

// A label's colour set only when it changes: setting a style sheet re-styles the label even
// when it is the same.
void setColour(QLabel* label, const char* style) {
    if (label->styleSheet() != QLatin1String(style)) label->setStyleSheet(style);
}

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
    using simulator::Heater;
    setObjectName("SimStationWindow");
    setWindowTitle("Simulated KR-9300");
    auto* root = new QVBoxLayout(this);
    auto* state = new QGroupBox("Station");
    auto* form = new QFormLayout(state);
    form->addRow("Upper heater:", upper = value("simUpper"));
    form->addRow("Lower heater:", lower = value("simLower"));
    form->addRow("Board:", temperature = value("simTemperature"));
    form->addRow("Thermocouple:", reading = value("simReading"));
    form->addRow("Fan:", fan = value("simFan"));
    form->addRow("Position:", mode = value("simMode"));
    form->addRow("USB cable:", cable = value("simCable"));
    root->addWidget(state);

    auto button = [](const char* text, const char* name, const char* tip) {
        auto* b = new QPushButton(text);
        b->setObjectName(name);
        b->setToolTip(tip);
        return b;
    };
    auto* position = new QGroupBox("Position");
    auto* positionRow = new QHBoxLayout(position);
    positionRow->addWidget(normalButton = button("Normal", "simNormal", "Swing the upper heater over the board"));
    positionRow->addWidget(parkButton = button("Park", "simPark", "Swing the upper heater aside"));
    root->addWidget(position);

    auto* faults = new QGroupBox("Faults");
    auto* grid = new QGridLayout(faults);
    grid->addWidget(probeButton = button("Break Probe", "simProbe", "The thermocouple reads open"), 0, 0);
    grid->addWidget(detachButton = button("Detach Thermocouple", "simDetach",
                                          "The thermocouple comes off the board: it reads the air, the board heats on"),
                    0, 1);
    grid->addWidget(upperDeadButton = button("Upper Heater Dead", "simUpperDead",
                                             "The upper heater element gives no heat; its level still shows"),
                    1, 0);
    grid->addWidget(lowerDeadButton = button("Lower Heater Dead", "simLowerDead",
                                             "The lower heater element gives no heat; its level still shows"),
                    1, 1);
    grid->addWidget(cableButton = button("Unplug", "simCableButton", "Pull or plug in the USB cable"), 2, 0);
    upperDeadButton->setCheckable(true);
    lowerDeadButton->setCheckable(true);
    // Wide enough for either caption, so the window keeps its size when a caption changes.
    const int padding = detachButton->sizeHint().width() - detachButton->fontMetrics().horizontalAdvance(detachButton->text());
    detachButton->setMinimumWidth(detachButton->fontMetrics().horizontalAdvance("Reattach Thermocouple") + padding + 8);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    root->addWidget(faults);

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
    connect(detachButton, &QPushButton::clicked, this, [this] {
        station_.setThermocoupleDetached(!station_.thermocoupleDetached());
        refresh();
    });
    connect(upperDeadButton, &QPushButton::clicked, this, [this](bool on) {
        station_.setHeaterDead(Heater::Upper, on);
        refresh();
    });
    connect(lowerDeadButton, &QPushButton::clicked, this, [this](bool on) {
        station_.setHeaterDead(Heater::Lower, on);
        refresh();
    });
    connect(cableButton, &QPushButton::clicked, this, [this] {
        if (station_.plugged()) station_.unplug();
        else station_.replug();
        refresh();
    });
    // Once a second, as often as the program polls it: the panel shows nothing faster.
    timer_ = clock.createTimer(1000, [this] { refresh(); });
    timer_->setLoose();
    timer_->setEnabled(true);
    refresh();
}

SimStationWindow::~SimStationWindow() = default;

void SimStationWindow::refresh() {
    using simulator::Heater;
    auto heater = [](QLabel* label, const char* level, bool dead) {
        label->setText(dead ? QString(level) + "  (element dead)" : QString(level));
        setColour(label, dead ? "color: #b00000;" : "");
    };
    const bool upperDead = station_.heaterDead(Heater::Upper);
    const bool lowerDead = station_.heaterDead(Heater::Lower);
    heater(upper, kUpper[std::clamp(station_.upperLevel(), 0, 3)], upperDead);
    heater(lower, kLower[std::clamp(station_.lowerLevel(), 0, 4)], lowerDead);
    auto celsius = [](double c) { return QString::number(c, 'f', 1) + " °C"; };
    temperature->setText(celsius(station_.boardTemperature()));
    const bool detached = station_.thermocoupleDetached();
    QString probe = station_.probeError() ? QString("open") : celsius(station_.thermocoupleReading());
    if (detached) probe += "  (off the board)";
    reading->setText(probe);
    setColour(reading, detached || station_.probeError() ? "color: #b00000;" : "");
    fan->setText(station_.fanOn() ? "ON" : "off");
    mode->setText(station_.machineMode() == 1 ? "NORMAL" : station_.machineMode() == 2 ? "PARK" : "?");
    cable->setText(station_.plugged() ? "plugged in" : "unplugged");
    probeButton->setText(station_.probeError() ? "Mend Probe" : "Break Probe");
    detachButton->setText(detached ? "Reattach Thermocouple" : "Detach Thermocouple");
    upperDeadButton->setChecked(upperDead);
    lowerDeadButton->setChecked(lowerDead);
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
    timer_ = clock.createTimer(1000, [this] { check(); });
    timer_->setLoose();
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
