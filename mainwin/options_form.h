#pragma once
#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace core {
struct SharedState;
}
namespace settings {
class SettingsFile;
}

namespace mainwin {

class Form1;

// "Options": the program switches, the display unit and the two thresholds. Accept
// checks the limits, writes Settings.ini and applies the values; Cancel puts back what
// the dialog found.
class OptionsForm : public QDialog {
    Q_OBJECT
public:
    OptionsForm(core::SharedState& state, settings::SettingsFile& file, Form1& mainWindow, QWidget* parent = nullptr);

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

private:
    void unload();
    bool checkLimit(QLineEdit* box, int limit, bool above);
    void convertBoxes(bool toFahrenheit);

    core::SharedState& state_;
    settings::SettingsFile& file_;
    Form1& main_;
    struct Saved {
        bool BeepWB, AutoUSB, AutoTCPlot, SwSleepMode, RunDemoMode;
        std::int16_t TempUnit, AlarmThreshold;
    } saved_{};
};

}  // namespace mainwin
