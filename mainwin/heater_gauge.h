#pragma once
#include <QPixmap>
#include <QString>
#include <QVector>

class QCustomPlot;

namespace mainwin {

// A heater's mode as a bar of named zones, the active one lit, a pointer standing in it.
struct GaugeSpec {
    struct Zone {
        double start, end;
        QString label;
        double pointer;  // where the pointer stands for this zone's code
    };
    QString title;
    int width;
    QVector<Zone> zones;  // zone i is mode code i + 1

    static GaugeSpec upper();
    static GaugeSpec lower();
};

class HeaterGauge {
public:
    HeaterGauge(QCustomPlot& viewer, GaugeSpec layout);

    // Offline: every zone grey, no pointer. Online with a known code: that zone lit and
    // the pointer in it. Online with any other code: an empty bar.
    void draw(int code, bool online);

    // What the last draw showed.
    int litZone() const { return lit_; }          // -1 for none
    double pointer() const { return pointer_; }   // NaN for none
    int zonesShown() const { return zonesShown_; }

private:
    QCustomPlot& plot_;
    GaugeSpec spec_;
    QPixmap background_;  // drawn once for this gauge's width
    int lit_ = -1;
    double pointer_ = 0;
    int zonesShown_ = 0;
};

}  // namespace mainwin
