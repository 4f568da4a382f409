#include "core/shared_state.h"
#include "mainwin/form1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    core::SharedState state;
    mainwin::Form1 window(state);
    window.Form_Load();
    window.show();
    return app.exec();
}
