#pragma once
#include "settings/limits.h"

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace core {
struct RunGuardLimits;
struct SharedState;
}  // namespace core
namespace platform {
class Dialogs;
}
namespace settings {
class OwnSettings;
class SettingsFile;
}

namespace mainwin {

class Form1;

// "Options": the program switches, the display unit, the two thresholds and the run
// guard's limits. Accept checks the limits, writes Settings.ini (and the guard's limits to
// the program's own settings file) and applies the values; Cancel puts back what the
// dialog found.
class OptionsForm : public QDialog {
    Q_OBJECT
public:
    // Without the own settings file: no run guard group.
    OptionsForm(core::SharedState& state, settings::SettingsFile& file, Form1& mainWindow, QWidget* parent = nullptr);
    // With the run guard group: its limits are kept in `own`; a refused box is reported
    // through `dialogs`.
    OptionsForm(core::SharedState& state, settings::SettingsFile& file, settings::OwnSettings& own,
                platform::Dialogs& dialogs, Form1& mainWindow, QWidget* parent = nullptr);

    // A box the app adds below the form's own (the shop database); `onAccept` runs when
    // Accept applies the form.
    void addGroup(QWidget* group, std::function<void()> onAccept);

    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();  // Accept
    void Command2_Click();  // Cancel

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QLabel*, 5> Label1{};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    // "Run guard": seconds, and the overshoot margin in the display unit.
    QGroupBox* guardGroup = nullptr;
    QLineEdit* guardNoRise = nullptr;
    QLineEdit* guardApproach = nullptr;
    QLineEdit* guardWait = nullptr;
    QLineEdit* guardOvershoot = nullptr;
    QLineEdit* guardLinkLost = nullptr;
    QLabel* guardOvershootUnit = nullptr;
    QLabel* guardOvershootRange = nullptr;

private:
    OptionsForm(core::SharedState& state, settings::SettingsFile& file, settings::OwnSettings* own,
                platform::Dialogs* dialogs, Form1& mainWindow, QWidget* parent);
    void buildGuardGroup();
    void showGuardLimits();
    void showMarginUnit(bool fahrenheit);
    // The five boxes in Celsius and seconds; at the first bad box it says why, puts the
    // focus on it and gives nothing.
    bool readGuardBoxes(core::RunGuardLimits& limits);
    void unload();
    // "The alarm threshold box is empty. Type a value from 20 to 400 C.": false for an empty box.
    bool refuseEmpty(QLineEdit* box, const char* name, settings::TemperatureRange range);
    bool checkLimit(QLineEdit* box, int limit, bool above);
    void convertBoxes(bool toFahrenheit);

    core::SharedState& state_;
    settings::SettingsFile& file_;
    settings::OwnSettings* own_ = nullptr;
    platform::Dialogs* dialogs_ = nullptr;
    Form1& main_;
    struct Saved {
        bool BeepWB, AutoUSB, AutoTCPlot, SwSleepMode, RunDemoMode;
        std::int16_t TempUnit, AlarmThreshold;
    } saved_{};
    std::vector<std::function<void()>> onAccept_;
};

}  // namespace mainwin
