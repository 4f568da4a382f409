#include "process/paste_window.h"

#include <cmath>

namespace process {

namespace {

// Whole numbers without a point, others with one decimal: "217", "45", "3.5".
QString plain(double v) { return QString::number(v, 'f', v == std::round(v) ? 0 : 1); }

const char* unitOf(Statistic s) {
    switch (s) {
        case Statistic::HeatingSlope:
        case Statistic::CoolingSlope: return "C/s";
        case Statistic::Peak: return "C";
        default: return "s";
    }
}

bool slope(Statistic s) { return s == Statistic::HeatingSlope || s == Statistic::CoolingSlope; }

PasteWindow builtIn(const char* name, double liquidusC, double soakLowC, double soakHighC, double peakLowC,
                    double peakHighC, double nearPeakMaxS, double toPeakMaxS) {
    PasteWindow w;
    w.name = name;
    w.liquidusC = liquidusC;
    w.heatingSlopeMax = 3.0;
    w.soakLowC = soakLowC;
    w.soakHighC = soakHighC;
    w.soakMinS = 60;
    w.soakMaxS = 120;
    w.aboveLiquidusMinS = 45;
    w.aboveLiquidusMaxS = 90;
    w.peakLowC = peakLowC;
    w.peakHighC = peakHighC;
    w.nearPeakMaxS = nearPeakMaxS;
    w.coolingSlopeMax = 6.0;
    w.toPeakMaxS = toPeakMaxS;
    return w;
}

}  // namespace

Limit limitOf(const PasteWindow& w, Statistic s) {
    switch (s) {
        case Statistic::HeatingSlope: return {0, w.heatingSlopeMax, true};
        case Statistic::SoakTime: return {w.soakMinS, w.soakMaxS, false};
        case Statistic::TimeAboveLiquidus: return {w.aboveLiquidusMinS, w.aboveLiquidusMaxS, false};
        case Statistic::Peak: return {w.peakLowC, w.peakHighC, false};
        case Statistic::TimeNearPeak: return {0, w.nearPeakMaxS, true};
        case Statistic::CoolingSlope: return {0, w.coolingSlopeMax, true};
        case Statistic::TimeToPeak: return {0, w.toPeakMaxS, true};
    }
    return {};
}

QString statisticName(Statistic s) {
    switch (s) {
        case Statistic::HeatingSlope: return "steepest heating slope";
        case Statistic::SoakTime: return "time in the soak band";
        case Statistic::TimeAboveLiquidus: return "time above liquidus";
        case Statistic::Peak: return "peak";
        case Statistic::TimeNearPeak: return "time within 5 C of the peak";
        case Statistic::CoolingSlope: return "steepest cooling slope";
        case Statistic::TimeToPeak: return "time from 25 C to the peak";
    }
    return {};
}

QString valueText(Statistic s, double value) {
    const QString number = slope(s) ? QString::number(value, 'f', 1) : QString::number(std::lround(value));
    return number + " " + unitOf(s);
}

QString limitText(const PasteWindow& window, Statistic s) {
    const Limit l = limitOf(window, s);
    const QString high = slope(s) ? QString::number(l.high, 'f', 1) : plain(l.high);
    if (l.oneSided) return "<= " + high + " " + unitOf(s);
    return plain(l.low) + "-" + high + " " + unitOf(s);
}

const QList<PasteWindow>& builtInWindows() {
    static const QList<PasteWindow> windows{
        builtIn(kLeadedPaste, 183, 100, 150, 205, 235, 30, 360),
        builtIn(kLeadFreePaste, 217, 150, 200, 235, 250, 40, 480),
    };
    return windows;
}

bool isBuiltIn(const QString& name) {
    for (const PasteWindow& w : builtInWindows())
        if (w.name.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QStringList reservedNames() { return {kLeadedPaste, kLeadFreePaste, kNoPaste}; }

QList<PasteWindow> allWindows(const QList<PasteWindow>& user) { return builtInWindows() + user; }

std::optional<PasteWindow> findWindow(const QList<PasteWindow>& windows, const QString& name) {
    for (const PasteWindow& w : windows)
        if (w.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return w;
    return std::nullopt;
}

QStringList pasteChoices(const QList<PasteWindow>& user) {
    QStringList names;
    for (const PasteWindow& w : allWindows(user)) names << w.name;
    return names << kNoPaste;
}

QStringList windowProblems(const PasteWindow& w, const QList<PasteWindow>& others) {
    QStringList problems;
    const QString name = w.name.trimmed();
    if (name.isEmpty()) problems << "The paste window needs a name.";
    else if (reservedNames().contains(name, Qt::CaseInsensitive))
        problems << "\"" + name + "\" is a built-in name: give the copy a name of its own.";
    else if (findWindow(others, name)) problems << "There is already a paste window \"" + name + "\".";
    for (Statistic s : kStatistics) {
        const Limit l = limitOf(w, s);
        if (!(l.high > l.low)) problems << "The " + statisticName(s) + " needs a range: " + limitText(w, s) + ".";
    }
    if (!(w.soakHighC > w.soakLowC))
        problems << "The soak band needs a range: " + plain(w.soakLowC) + "-" + plain(w.soakHighC) + " C.";
    if (!(w.liquidusC > 0)) problems << "The liquidus must be above 0 C.";
    return problems;
}

QList<PasteWindow> loadUserWindows(settings::OwnSettings& own) { return own.loadPasteWindows(reservedNames()); }

bool saveUserWindows(settings::OwnSettings& own, const QList<PasteWindow>& user) {
    return own.savePasteWindows(user);
}

QString pasteForProfile(const settings::OwnSettings& own, const QString& profileName, bool leadFree,
                        const QList<PasteWindow>& user) {
    const QString chosen = own.lastPaste(profileName);
    for (const QString& name : pasteChoices(user))
        if (!chosen.isEmpty() && name.compare(chosen, Qt::CaseInsensitive) == 0) return name;
    return leadFree ? kLeadFreePaste : kLeadedPaste;
}

}  // namespace process
