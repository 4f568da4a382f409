// The yardstick for idle cost: a bare QCustomPlot window that takes a reading and replots
// 300 points once a second. Shows the window, lets a second pass, then runs for the given
// seconds and prints the CPU seconds of the whole process over them.
// Usage: idle_bare_plot [seconds=60]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <qcustomplot.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    QCustomPlot plot;
    plot.resize(640, 360);
    QCPGraph* graph = plot.addGraph();
    plot.xAxis->setRange(0, 300);
    plot.yAxis->setRange(0, 300);
    QVector<double> xs, ys;
    int n = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double reading = 25.0 + 200.0 * std::fabs(std::sin(++n / 60.0));  // a reading
        if (xs.size() == 300) {
            xs.clear();
            ys.clear();
        }
        xs.append(xs.size());
        ys.append(reading);
        graph->setData(xs, ys, true);
        plot.replot();
    });
    tick.start(1000);
    plot.show();
    double cpu0 = 0;
    QElapsedTimer wall;
    QTimer::singleShot(1000, [&] {
        cpu0 = cpuSeconds();
        wall.start();
        QTimer::singleShot(seconds * 1000, [&] {
            std::printf("%.4f %.3f\n", cpuSeconds() - cpu0, double(wall.elapsed()) / 1000.0);
            std::fflush(stdout);
            std::_Exit(0);
        });
    });
    return app.exec();
}
