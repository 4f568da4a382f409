#include "profiles/run_summary.h"

#include <cmath>

namespace profiles {

namespace {

QString seconds(double s) { return QString::number(s, 'f', 1); }
QString optionalSeconds(const std::optional<double>& s) { return s ? seconds(*s) : QString("not reached"); }
QString rate(const std::optional<double>& r) { return r ? QString::number(*r, 'f', 2) : QString("n/a"); }

}  // namespace

QString outcomeText(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Finished: return "Finished";
        case RunOutcome::Terminated: return "Terminated by Cancel";
        case RunOutcome::Stopped: return "Stopped by the operator";
    }
    return {};
}

RunSummary summarizeRun(const std::vector<RunRow>& rows, RunOutcome outcome, const QString& profileName,
                        const std::array<int, 3>& pointsC, bool leadFree) {
    RunSummary s;
    s.outcome = outcome;
    s.profileName = profileName;
    s.pointsC = pointsC;
    s.leadFree = leadFree;
    s.liquidusC = leadFree ? kLiquidusLeadFreeC : kLiquidusLeadedC;

    std::vector<const RunRow*> ticks;
    for (const RunRow& r : rows) {
        s.totalS = std::max(s.totalS, r.elapsedS);
        for (int p = 0; p < 3; ++p)
            if (!s.reachedS[std::size_t(p)] && r.event == "reached X" + QString::number(p + 1))
                s.reachedS[std::size_t(p)] = r.elapsedS;
        if (!r.event.isEmpty() || !r.boardC) continue;
        ticks.push_back(&r);
        if (!s.peakC || *r.boardC > *s.peakC) {
            s.peakC = r.boardC;
            s.peakAtS = r.elapsedS;
        }
        if (*r.boardC >= s.liquidusC) s.aboveLiquidusS += 1;
    }
    // Every pair of readings about five seconds apart.
    std::size_t j = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double from = ticks[i]->elapsedS;
        j = std::max(j, i + 1);
        while (j < ticks.size() && ticks[j]->elapsedS - from < 4.5) ++j;
        if (j >= ticks.size() || ticks[j]->elapsedS - from > 5.5) continue;
        const double r = (*ticks[j]->boardC - *ticks[i]->boardC) / (ticks[j]->elapsedS - from);
        if (!s.steepestRise || r > *s.steepestRise) s.steepestRise = r;
        if (!s.steepestFall || r < *s.steepestFall) s.steepestFall = r;
    }
    return s;
}

QStringList RunSummary::lines() const {
    QStringList l;
    l << "outcome: " + outcomeText(outcome);
    l << "profile: " + profileName;
    l << QString("points_C: X1 %1, X2 %2, X3 %3").arg(pointsC[0]).arg(pointsC[1]).arg(pointsC[2]);
    l << QString("alloy: ") + (leadFree ? "Lead-Free" : "Leaded");
    l << "total_time_s: " + seconds(totalS);
    for (int p = 0; p < 3; ++p)
        l << QString("time_to_X%1_s: ").arg(p + 1) + optionalSeconds(reachedS[std::size_t(p)]);
    l << "peak_C: " + (peakC ? QString::number(*peakC, 'f', 0) : QString("n/a"));
    l << "peak_at_s: " + (peakC ? seconds(peakAtS) : QString("n/a"));
    l << "liquidus_C: " + QString::number(liquidusC);
    l << "time_above_liquidus_s: " + seconds(aboveLiquidusS);
    l << "steepest_rise_C_per_s: " + rate(steepestRise);
    l << "steepest_fall_C_per_s: " + rate(steepestFall);
    return l;
}

QString RunSummary::shortText() const {
    QString t = outcomeText(outcome) + QString(" after %1 s").arg(std::lround(totalS));
    if (peakC) t += QString(", peak %1 C at %2 s").arg(std::lround(*peakC)).arg(std::lround(peakAtS));
    t += QString(", %1 s above %2 C").arg(std::lround(aboveLiquidusS)).arg(liquidusC);
    return t;
}

}  // namespace profiles
