#include "mainwin/form1.h"

#include "core/shared_state.h"

namespace mainwin {

Form1::Form1(core::SharedState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName("Form1");
    setWindowTitle("KR-9300 Control Room  [Machine Offline]");
    resize(1000, 700);
}

void Form1::Form_Load() {
    state_.MachineOnline = false;
    setWindowTitle("KR-9300 Control Room [Machine Offline]");
}

}  // namespace mainwin
