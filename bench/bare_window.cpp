// The yardstick for start-up: the smallest Qt Widgets window, leaving the moment it has
// first been exposed and painted, as bench_start_window does for the program.
#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace {
class FirstExpose final : public QObject {
public:
    QWidget* window = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && window && event->type() == QEvent::Expose && watched == window->windowHandle() &&
            window->windowHandle()->isExposed()) {
            seen_ = true;
            // Queued, so it runs after the paint the expose causes.
            QMetaObject::invokeMethod(this, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool seen_ = false;
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("bare");
    window.resize(320, 240);
    FirstExpose watch;
    watch.window = &window;
    app.installEventFilter(&watch);
    window.show();
    return app.exec() == 0 ? 1 : 1;  // only the first expose ends it
}
