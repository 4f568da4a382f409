// The main window's alarm group: the threshold box, its slider, "Edit" and "Accept".
#include "mainwin/form1.h"

#include "core/shared_state.h"
#include "core/temperature_bytes.h"
#include "platform/dialogs.h"
#include "settings/limits.h"
#include "settings/number_text.h"
#include "settings/units.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace mainwin {

void Form1::lockAlarmGroup() {
    Slider1->setEnabled(false);
    Text1->setEnabled(false);
    Command1->setEnabled(false);
}

void Form1::showAlarmInForce() {
    const std::int16_t t = state_.Settings.AlarmThreshold;
    const int shown = state_.Settings.TempUnit != 0 ? settings::ToFahr(t).value_or(t) : t;
    Text1->setText(QString::number(shown));
    Slider1->setValue(shown);
}

void Form1::Check1_Click() {
    if (!state_.MachineOnline) {
        Check1->setChecked(false);
        lockAlarmGroup();
        return;
    }
    const bool on = Check1->isChecked();
    Slider1->setEnabled(on);
    Text1->setEnabled(on);
    Command1->setEnabled(on);
    if (!on) showAlarmInForce();  // an edit not accepted is dropped
}

// Takes the typed threshold only once it is in range: an empty box is refused, and a
// value out of range is corrected to the limit it broke and waits for another "Accept".
void Form1::Command1_Click() {
    const settings::TemperatureRange range = settings::alarmRange(state_.Settings.TempUnit != 0);
    if (Text1->text().trimmed().isEmpty()) {
        dialogs_.message("Data Error", QString("The alarm threshold box is empty. Type a value from %1 to %2 %3.")
                                           .arg(range.low)
                                           .arg(range.high)
                                           .arg(Label2->text().trimmed()));
        Text1->setFocus();
        return;
    }
    if (!alarmBoxInRange()) return;
    const double v = settings::leadingNumber(Text1->text());
    double c = v;
    if (state_.Settings.TempUnit != 0) c = settings::ToCelsius(settings::roundToInt16(v).value_or(0)).value_or(0);
    const std::int16_t threshold = settings::roundToInt16(c).value_or(0);  // in range: always a number
    core::SettingsRecord& s = state_.Settings;
    if (threshold != s.AlarmThreshold) state_.AlarmHandBackPending = true;
    const core::TemperatureBytes bytes = core::splitTemperature(threshold);
    s.AlarmMSD = std::int16_t(bytes.high);
    s.AlarmLSD = std::int16_t(bytes.low);
    s.AlarmThreshold = threshold;
    redrawTrend();
    Check1->setChecked(false);
    Check1_Click();
}

void Form1::Slider1_MouseUp() {
    const int v = Slider1->value();
    Text1->setText(v >= 0 ? " " + QString::number(v) : QString::number(v));
}

bool Form1::alarmBoxInRange() {
    const double v = settings::leadingNumber(Text1->text());
    const settings::TemperatureRange range = settings::alarmRange(state_.Settings.TempUnit != 0);
    QString corrected;
    if (v > range.high) corrected = QString::number(range.high);
    else if (v < range.low) corrected = QString::number(range.low);
    if (corrected.isEmpty()) return true;
    Text1->setText(corrected);
    Text1->selectAll();
    Text1->setFocus();
    return false;
}

void Form1::Text1_LostFocus() {
    if (Text1->text().isEmpty()) return;
    if (alarmBoxInRange()) Slider1->setValue(int(std::trunc(settings::leadingNumber(Text1->text()))));
}

}  // namespace mainwin
