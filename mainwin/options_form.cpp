#include "mainwin/options_form.h"

#include "core/shared_state.h"
#include "core/temperature_bytes.h"
#include "mainwin/form1.h"
#include "platform/dialogs.h"
#include "ui/widget_names.h"
#include "settings/limits.h"
#include "settings/number_text.h"
#include "settings/own_settings.h"
#include "settings/settings_file.h"
#include "settings/units.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <optional>

namespace mainwin {

using ui::named;

namespace {

std::int16_t wholeNumber(const QLineEdit* box) {
    return settings::roundToInt16(settings::leadingNumber(box->text())).value_or(0);
}

// The run guard's boxes. The overshoot margin is a temperature difference: 1 C is 1.8 F,
// with no 32 added.
using Limits = core::RunGuardLimits;
struct GuardField {
    QLineEdit* OptionsForm::*box;
    const char* objectName;
    const char* caption;
    const char* inMessage;  // "The <inMessage> box is empty."
    Limits::Range range;    // seconds or Celsius
    int Limits::*value;
    bool temperature;
    const char* tip;
};
const GuardField kGuardFields[] = {
    {&OptionsForm::guardNoRise, "guardNoRise", "No-rise limit", "no-rise limit", Limits::kNoRiseS, &Limits::noRiseS,
     false, "During an approach with a heater on, the run is stopped when the board has not risen for this long."},
    {&OptionsForm::guardApproach, "guardApproach", "Approach limit", "approach limit", Limits::kApproachS,
     &Limits::approachS, false, "The longest an approach to X1, X2 or X3 may last."},
    {&OptionsForm::guardWait, "guardWait", "Wait limit", "wait limit", Limits::kWaitS, &Limits::waitS, false,
     "The longest a wait for the machine mode may last while a heater is on."},
    {&OptionsForm::guardOvershoot, "guardOvershoot", "Overshoot margin", "overshoot margin", Limits::kOvershootC,
     &Limits::overshootC, true, "The run is stopped when the board reads this much above X3."},
    {&OptionsForm::guardLinkLost, "guardLinkLost", "Link-lost limit", "link-lost limit", Limits::kLinkLostS,
     &Limits::linkLostS, false, "The run is stopped when the link has been down this long."},
};

int differenceShown(int celsius, bool fahrenheit) { return fahrenheit ? int(std::lround(celsius * 1.8)) : celsius; }
double differenceCelsius(double shown, bool fahrenheit) { return fahrenheit ? shown / 1.8 : shown; }

// The number a guard box holds; empty when it holds anything else.
std::optional<double> guardNumber(const QLineEdit* box) {
    bool ok = false;
    const double v = box->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}
}  // namespace

OptionsForm::OptionsForm(core::SharedState& state, settings::SettingsFile& file, Form1& mainWindow, QWidget* parent)
    : OptionsForm(state, file, nullptr, nullptr, mainWindow, parent) {}

OptionsForm::OptionsForm(core::SharedState& state, settings::SettingsFile& file, settings::OwnSettings& own,
                         platform::Dialogs& dialogs, Form1& mainWindow, QWidget* parent)
    : OptionsForm(state, file, &own, &dialogs, mainWindow, parent) {}

OptionsForm::OptionsForm(core::SharedState& state, settings::SettingsFile& file, settings::OwnSettings* own,
                         platform::Dialogs* dialogs, Form1& mainWindow, QWidget* parent)
    : QDialog(parent), state_(state), file_(file), own_(own), dialogs_(dialogs), main_(mainWindow) {
    setObjectName("OptionsForm");
    setWindowTitle("Options");
    setWindowModality(Qt::ApplicationModal);
    auto* root = new QVBoxLayout(this);

    Frame2 = named(new QGroupBox(" Machine Settings "), "Frame2");
    auto* g = new QGridLayout(Frame2);
    const char* captions[] = {"Alarm Threshold :", "Temperature Unit: ", "C", "C", "Safety Threshold :"};
    for (int i = 0; i < 5; ++i) {
        Label1[std::size_t(i)] = new QLabel(captions[i]);
        Label1[std::size_t(i)]->setObjectName(QString("Label1_%1").arg(i));
    }
    Text1 = named(new QLineEdit, "Text1");
    Text2 = named(new QLineEdit, "Text2");
    for (QLineEdit* t : {Text1, Text2}) {
        t->setMaximumWidth(80);
        t->setAlignment(Qt::AlignRight);
    }
    Option1 = named(new QRadioButton, "Option1");
    Option2 = named(new QRadioButton, "Option2");
    g->addWidget(Label1[0], 0, 0);
    g->addWidget(Text1, 0, 1);
    g->addWidget(Label1[2], 0, 2);
    g->addWidget(Label1[4], 1, 0);
    g->addWidget(Text2, 1, 1);
    g->addWidget(Label1[3], 1, 2);
    g->addWidget(Label1[1], 2, 0);
    auto* units = new QHBoxLayout;
    units->addWidget(Option1);
    units->addWidget(Option2);
    g->addLayout(units, 2, 1, 1, 2);
    root->addWidget(Frame2);

    Frame1 = named(new QGroupBox(" Program Global Settings "), "Frame1");
    auto* v = new QVBoxLayout(Frame1);
    Check1 = named(new QCheckBox("Auto-Detect KR-9300 on USB connection"), "Check1");
    Check2 = named(new QCheckBox("Machine BEEPs when pressing Buttons"), "Check2");
    Check3 = named(new QCheckBox("Automatic Plot T/C Reading"), "Check3");
    Check4 = named(new QCheckBox("Enable Software Sleep-Mode"), "Check4");
    Check5 = named(new QCheckBox("Run in (DEMO-Mode)"), "Check5");
    for (QCheckBox* c : {Check1, Check2, Check3, Check4, Check5}) v->addWidget(c);
    root->addWidget(Frame1);
    if (own_ && dialogs_) {
        buildGuardGroup();
        root->addWidget(guardGroup);
    }

    auto* buttons = new QHBoxLayout;
    Command1 = named(new QPushButton("Accept"), "Command1");
    Command2 = named(new QPushButton("Cancel"), "Command2");
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    root->addLayout(buttons);

    connect(Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    Form_Load();
}

void OptionsForm::buildGuardGroup() {
    guardGroup = named(new QGroupBox("Run guard"), "guardGroup");
    auto* g = new QGridLayout(guardGroup);
    int row = 0;
    for (const GuardField& f : kGuardFields) {
        QLineEdit* box = named(new QLineEdit, f.objectName);
        this->*f.box = box;
        box->setMaximumWidth(80);
        box->setAlignment(Qt::AlignRight);
        box->setToolTip(f.tip);
        auto* caption = new QLabel(f.caption);
        caption->setBuddy(box);
        auto* unit = new QLabel("s");
        auto* range = new QLabel;
        range->setEnabled(false);  // drawn grey: a hint, not a value
        range->setIndent(6);
        if (f.temperature) {
            guardOvershootUnit = unit;
            guardOvershootRange = range;
        } else {
            range->setText(QString("%1 to %2").arg(f.range.low).arg(f.range.high));
        }
        g->addWidget(caption, row, 0);
        g->addWidget(box, row, 1);
        g->addWidget(unit, row, 2);
        g->addWidget(range, row, 3);
        ++row;
    }
    g->setColumnStretch(3, 1);
}

// The limits in force, in the display unit.
void OptionsForm::showGuardLimits() {
    if (!guardGroup) return;
    const bool f = state_.Settings.TempUnit != 0;
    for (const GuardField& field : kGuardFields) {
        const int v = state_.GuardLimits.*field.value;
        (this->*field.box)->setText(QString::number(field.temperature ? differenceShown(v, f) : v));
    }
    showMarginUnit(f);
}

void OptionsForm::showMarginUnit(bool fahrenheit) {
    const Limits::Range r = Limits::kOvershootC;
    guardOvershootUnit->setText(fahrenheit ? "F" : "C");
    guardOvershootRange->setText(
        QString("%1 to %2").arg(differenceShown(r.low, fahrenheit)).arg(differenceShown(r.high, fahrenheit)));
}

bool OptionsForm::readGuardBoxes(core::RunGuardLimits& limits) {
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    for (const GuardField& f : kGuardFields) {
        QLineEdit* box = this->*f.box;
        const int low = f.temperature ? differenceShown(f.range.low, fahrenheit) : f.range.low;
        const int high = f.temperature ? differenceShown(f.range.high, fahrenheit) : f.range.high;
        const QString unit = f.temperature ? (fahrenheit ? "F" : "C") : "s";
        const QString text = box->text().trimmed();
        const std::optional<double> v = guardNumber(box);
        const QString name = f.inMessage;
        QString problem;
        if (text.isEmpty()) problem = QString("The %1 box is empty.").arg(name);
        else if (!v) problem = QString("The %1 box holds \"%2\", which is not a number.").arg(name, text);
        else if (*v < low || *v > high)
            problem = QString("The %1 box holds %2, which is out of range.").arg(name, text);
        if (!problem.isEmpty()) {
            const QString range = QString(" Type a value from %1 to %2 %3.").arg(low).arg(high).arg(unit);
            dialogs_->message("Data Error", problem + range);
            box->setFocus();
            box->selectAll();
            return false;
        }
        limits.*f.value = int(std::lround(f.temperature ? differenceCelsius(*v, fahrenheit) : *v));
    }
    return true;
}

void OptionsForm::Form_Load() {
    Option1->setText("Celsius");
    Option2->setText("Fahrenheit");
    const core::SettingsRecord& s = state_.Settings;
    if (s.TempUnit != 0) {
        Label1[2]->setText("F");
        Label1[3]->setText("F");
        Option2->setChecked(true);
        Option2_Click();  // selecting it runs its handler; the boxes are set right after
        Text1->setText(QString::number(settings::ToFahr(s.AlarmThreshold).value_or(s.AlarmThreshold)));
        Text2->setText(QString::number(settings::ToFahr(s.SafetySP).value_or(s.SafetySP)));
    } else {
        Label1[2]->setText("C");
        Label1[3]->setText("C");
        Option1->setChecked(true);
        Option1->setEnabled(false);
        Text1->setText(QString::number(s.AlarmThreshold));
        Text2->setText(QString::number(s.SafetySP));
    }
    saved_ = {s.BeepWB, s.AutoUSB, s.AutoTCPlot, s.SwSleepMode, s.RunDemoMode, s.TempUnit, s.AlarmThreshold};
    Check2->setChecked(s.BeepWB);
    Check1->setChecked(s.AutoUSB);
    Check3->setChecked(s.AutoTCPlot);
    Check4->setChecked(s.SwSleepMode);
    Check5->setChecked(s.RunDemoMode);
    showGuardLimits();
}

void OptionsForm::convertBoxes(bool toFahrenheit) {
    for (QLineEdit* box : {Text1, Text2}) {
        const std::int16_t v = wholeNumber(box);
        const auto converted = toFahrenheit ? settings::ToFahr(v) : settings::ToCelsius(v);
        box->setText(QString::number(converted.value_or(0)));
    }
    const QString letter = toFahrenheit ? "F" : "C";
    Label1[2]->setText(letter);
    Label1[3]->setText(letter);
    if (!guardGroup) return;
    // The margin follows the unit; a box that holds no number is left for Accept to refuse.
    if (const std::optional<double> v = guardNumber(guardOvershoot))
        guardOvershoot->setText(QString::number(std::lround(toFahrenheit ? *v * 1.8 : *v / 1.8)));
    showMarginUnit(toFahrenheit);
}

void OptionsForm::Option1_Click() {
    if (!Option1->isChecked()) return;
    state_.Settings.TempUnit = 0;
    convertBoxes(false);
    Option1->setEnabled(false);
    Option2->setEnabled(true);
}

void OptionsForm::Option2_Click() {
    if (!Option2->isChecked()) return;
    state_.Settings.TempUnit = 1;
    convertBoxes(true);
    Option2->setEnabled(false);
    Option1->setEnabled(true);
}

bool OptionsForm::checkLimit(QLineEdit* box, int limit, bool above) {
    const double v = settings::leadingNumber(box->text());
    if (above ? v <= limit : v >= limit) return true;
    box->setText(QString::number(limit));
    box->setFocus();
    box->selectAll();
    return false;
}

bool OptionsForm::refuseEmpty(QLineEdit* box, const char* name, settings::TemperatureRange range) {
    if (!box->text().trimmed().isEmpty()) return true;
    if (dialogs_)
        dialogs_->message("Data Error", QString("The %1 box is empty. Type a value from %2 to %3 %4.")
                                            .arg(name)
                                            .arg(range.low)
                                            .arg(range.high)
                                            .arg(state_.Settings.TempUnit != 0 ? "F" : "C"));
    box->setFocus();
    return false;
}

void OptionsForm::Command1_Click() {
    core::SettingsRecord& s = state_.Settings;
    const bool f = s.TempUnit != 0;
    const settings::TemperatureRange alarm = settings::alarmRange(f), safety = settings::safetyRange(f);
    // An empty box is refused with its range, not filled with the minimum.
    if (!refuseEmpty(Text1, "alarm threshold", alarm) || !refuseEmpty(Text2, "safety threshold", safety)) return;
    if (!checkLimit(Text1, alarm.high, true) || !checkLimit(Text1, alarm.low, false) ||
        !checkLimit(Text2, safety.high, true) || !checkLimit(Text2, safety.low, false))
        return;
    core::RunGuardLimits guard = state_.GuardLimits;
    if (guardGroup && !readGuardBoxes(guard)) return;

    auto split = [f](const QLineEdit* box, std::int16_t& msd, std::int16_t& lsd, std::int16_t& whole) {
        double c = settings::leadingNumber(box->text());
        if (f) c = settings::ToCelsius(wholeNumber(box)).value_or(0);
        whole = settings::roundToInt16(c).value_or(0);
        const core::TemperatureBytes bytes = core::splitTemperature(whole);
        msd = std::int16_t(bytes.high);
        lsd = std::int16_t(bytes.low);
    };
    const std::int16_t alarmBefore = s.AlarmThreshold, safetyBefore = s.SafetySP;
    split(Text1, s.AlarmMSD, s.AlarmLSD, s.AlarmThreshold);
    split(Text2, s.SafetySP_MSD, s.SafetySP_LSD, s.SafetySP);
    // A changed threshold waits for the station until the next disconnect or exit.
    if (s.AlarmThreshold != alarmBefore) state_.AlarmHandBackPending = true;
    if (s.SafetySP != safetyBefore) state_.SafetyHandBackPending = true;
    s.BeepWB = Check2->isChecked();
    s.AutoUSB = Check1->isChecked();
    s.AutoTCPlot = Check3->isChecked();
    s.SwSleepMode = Check4->isChecked();
    s.RunDemoMode = Check5->isChecked();
    s.TempUnit = Option1->isChecked() ? 0 : 1;
    file_.Write_INI();
    if (guardGroup) {
        state_.GuardLimits = guard;
        own_->save();
    }

    if (s.AutoTCPlot && state_.MachineOnline) main_.Command12->setText("Stop Plotting");
    if (s.TempUnit == 0) {
        state_.MachineSettings[core::SettingsTempUnit] = 0;
        main_.Text1->setText(" " + QString::number(s.AlarmThreshold));
        main_.Slider1->setMaximum(settings::kAlarmRangeC.high);
        main_.Slider1->setValue(s.AlarmThreshold);
        main_.Label2->setText("C");
    } else {
        state_.MachineSettings[core::SettingsTempUnit] = 1;
        const int fa = settings::ToFahr(s.AlarmThreshold).value_or(s.AlarmThreshold);
        main_.Text1->setText(" " + QString::number(fa));
        main_.Slider1->setMaximum(settings::kAlarmRangeF.high);
        main_.Slider1->setValue(fa);
        main_.Label2->setText("F");
    }
    main_.redrawTrend();
    for (const auto& apply : onAccept_) apply();
    unload();
}

void OptionsForm::Command2_Click() {
    core::SettingsRecord& s = state_.Settings;
    s.BeepWB = saved_.BeepWB;
    s.AutoUSB = saved_.AutoUSB;
    s.AutoTCPlot = saved_.AutoTCPlot;
    s.SwSleepMode = saved_.SwSleepMode;
    s.RunDemoMode = saved_.RunDemoMode;
    s.TempUnit = saved_.TempUnit;
    s.AlarmThreshold = saved_.AlarmThreshold;
    unload();
}

void OptionsForm::unload() { close(); }

void OptionsForm::addGroup(QWidget* group, std::function<void()> onAccept) {
    auto* root = static_cast<QVBoxLayout*>(layout());
    root->insertWidget(root->count() - 1, group);  // above the Accept / Cancel row
    if (onAccept) onAccept_.push_back(std::move(onAccept));
}

}  // namespace mainwin
