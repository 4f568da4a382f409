// Start to main window shown: starts the program as the executable does, from a demo
// program folder (so the build's own folder gets no Settings.ini), and leaves the moment
// the main window has first been exposed and painted, printing the milliseconds from
// main() to then. Time the whole process from outside to include loading and start-up of
// the libraries, for example
//   /usr/bin/time -f %e build/bin/bench_start_window [folder]
// Given a folder, the program starts from it, as from its installed folder at every start
// (laid out first when it holds no Settings.ini); without one, from a temporary folder laid
// out in the same process, which then counts the copying of the pictures too.
#include "bench/demo_program.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

// Watches for the main window's first expose; everything is painted once it is handled.
class FirstExpose final : public QObject {
public:
    explicit FirstExpose(std::function<void()> onShown) : onShown_(std::move(onShown)) {}
    QWidget* window = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && window && event->type() == QEvent::Expose && watched == window->windowHandle() &&
            window->windowHandle()->isExposed()) {
            seen_ = true;
            onShown_();
        }
        return false;
    }

private:
    std::function<void()> onShown_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("KR-9300 Control Room");

    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    if (!QFileInfo::exists(QDir(folder).filePath("Settings.ini")))
        bench::DemoProgram::layOutDemoFolder(QCoreApplication::applicationDirPath(), folder);
    bench::DemoProgram demo(folder);
    FirstExpose watch([&] {
        // Runs after the expose, and so after the paint it causes.
        demo.clock.schedule(0, [&] {
            std::printf("main() to main window shown: %lld ms\n", static_cast<long long>(sinceMain.elapsed()));
            std::fflush(stdout);
            temporary.remove();
            std::_Exit(0);  // the figure is start to window: no teardown counted
        });
    });
    watch.window = &demo.program->form;
    app.installEventFilter(&watch);
    demo.start();
    if (!demo.clock.runUntil([] { return false; }, 10000)) {
        std::fprintf(stderr, "the main window was not shown within 10 s\n");
        return 1;
    }
    return 1;
}
