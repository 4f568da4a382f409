#pragma once
#include <QMainWindow>

namespace core {
struct SharedState;
}

namespace mainwin {

// The main window: the station's front panel, the operator's controls and the menus.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(core::SharedState& state, QWidget* parent = nullptr);

    void Form_Load();

private:
    core::SharedState& state_;
};

}  // namespace mainwin
