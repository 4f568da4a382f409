#include "process/judgement.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace process {

namespace {

constexpr int kNameWidth = 29;
constexpr int kValueWidth = 11;
constexpr int kWindowWidth = 23;
constexpr int kPercentWidth = 8;

QString percentText(double p) { return QString::number(std::lround(p)) + "%"; }

// The PWI as shown: a passing run never reads 100% through rounding.
QString pwiText(double pwi) {
    const long shown = std::lround(pwi);
    return QString::number(pwi < 100 ? std::min(shown, 99L) : shown) + "%";
}

// The table's window column: the range, and what the time is counted in.
QString tableWindow(const PasteWindow& w, Statistic s) {
    const QString range = limitText(w, s);
    if (s == Statistic::SoakTime)
        return range + " in " + QString::number(w.soakLowC) + "-" + QString::number(w.soakHighC) + " C";
    if (s == Statistic::TimeAboveLiquidus) return range + " over " + QString::number(w.liquidusC) + " C";
    return range;
}

QString row(const QString& name, const QString& value, const QString& window, const QString& percent) {
    return name.leftJustified(kNameWidth) + value.leftJustified(kValueWidth) + window.leftJustified(kWindowWidth) +
           percent.rightJustified(kPercentWidth);
}

}  // namespace

std::optional<double> percentInLimit(double value, const Limit& limit) {
    const double low = limit.oneSided ? 0.0 : limit.low;
    const double half = (limit.high - low) / 2;
    if (!(half > 0)) return std::nullopt;
    return 100 * (value - (low + half)) / half;
}

Judgement judgeRun(std::span<const Row> rows, const std::optional<PasteWindow>& window, bool runStopped) {
    Judgement j;
    j.window = window;
    if (!window) {
        j.paste = kNoPaste;
        j.noVerdictReason = kNoPasteChosen;
        return j;
    }
    j.paste = window->name;
    j.figures = runFigures(rows, *window);
    for (Statistic s : kStatistics) {
        const std::optional<double> v = j.figures.value(s);
        if (!v) continue;
        const std::optional<double> p = percentInLimit(*v, limitOf(*window, s));
        j.percents[indexOf(s)] = p;
        if (p && (!j.pwi || std::abs(*p) > *j.pwi)) {
            j.pwi = std::abs(*p);
            j.furthestOut = s;
        }
    }
    if (runStopped) j.noVerdictReason = kRunStopped;
    else if (!j.figures.peakC || !j.pwi) j.noVerdictReason = kNoReadings;
    else j.verdict = *j.pwi < 100 ? Verdict::Pass : Verdict::Fail;
    return j;
}

QString Judgement::line() const {
    switch (verdict) {
        case Verdict::Pass: return "PASS  PWI " + pwiText(*pwi) + "  (" + paste + ")";
        case Verdict::Fail: {
            const Statistic s = *furthestOut;
            return "FAIL  PWI " + pwiText(*pwi) + ": " + statisticName(s) + " " + valueText(s, *figures.value(s)) +
                   " (" + limitText(*window, s) + ")";
        }
        case Verdict::None: break;
    }
    return "no verdict (" + noVerdictReason + ")";
}

QStringList Judgement::tableLines() const {
    if (!window) return {"paste: " + paste};
    QStringList l;
    l << "paste: " + paste + ", liquidus " + QString::number(window->liquidusC) + " C";
    l << row("statistic", "value", "window", "percent");
    for (Statistic s : kStatistics) {
        const std::optional<double> v = figures.value(s);
        const std::optional<double> p = percent(s);
        l << row(statisticName(s), v ? valueText(s, *v) : QString("n/a"), tableWindow(*window, s),
                 p ? percentText(*p) : QString("n/a"));
    }
    l << "PWI: " + (pwi ? pwiText(*pwi) : QString("n/a"));
    return l;
}

QStringList checkCurve(std::span<const double> curveC, const PasteWindow& window) {
    std::vector<Row> rows;
    rows.reserve(curveC.size());
    for (std::size_t i = 0; i < curveC.size(); ++i)
        rows.push_back({double(i), std::isfinite(curveC[i]) ? std::optional<double>(curveC[i]) : std::nullopt});
    const Judgement j = judgeRun(rows, window, false);
    QStringList texts;
    for (Statistic s : kStatistics) {
        const std::optional<double> p = j.percent(s);
        if (!p || std::abs(*p) < 100) continue;
        const double v = *j.figures.value(s);
        const Limit l = limitOf(window, s);
        QString where = "at the edge of " + limitText(window, s);
        if (v > l.high) where = "above " + (l.oneSided ? limitText(window, s).mid(3) : limitText(window, s));
        else if (!l.oneSided && v < l.low) where = "below " + limitText(window, s);
        texts << "Curve: " + statisticName(s) + " " + valueText(s, v) + " " + where;
    }
    return texts;
}

}  // namespace process
