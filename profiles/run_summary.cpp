#include "profiles/run_summary.h"

#include <algorithm>
#include <cmath>

namespace profiles {

namespace {

QString seconds(double s) { return QString::number(s, 'f', 1); }
QString optionalSeconds(const std::optional<double>& s) { return s ? seconds(*s) : QString("not reached"); }
QString rate(const std::optional<double>& r) { return r ? QString::number(*r, 'f', 2) : QString("n/a"); }
QString clockText(double seconds) {
    const int s = int(seconds);
    return QString("%1:%2").arg(s / 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}
constexpr double kTickGapS = 1.6;  // once-a-second rows further apart than this have a gap between
constexpr int kOutagesNamed = 5;

}  // namespace

QString outcomeText(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Finished: return "Finished";
        case RunOutcome::Terminated: return "Terminated by Cancel";
        case RunOutcome::Stopped: return "Stopped by the operator";
        case RunOutcome::Guarded: return "guarded";
    }
    return {};
}

RunSummary summarizeRun(const std::vector<RunRow>& rows, RunOutcome outcome, const QString& profileName,
                        const std::array<int, 3>& pointsC, bool leadFree, const QString& guardReason) {
    RunSummary s;
    s.outcome = outcome;
    s.guardReason = guardReason;
    s.profileName = profileName;
    s.pointsC = pointsC;
    s.leadFree = leadFree;
    s.liquidusC = leadFree ? kLiquidusLeadFreeC : kLiquidusLeadedC;

    // The once-a-second rows in runs without a gap: a missing reading or a pause ends a run.
    std::vector<std::vector<const RunRow*>> stretches(1);
    const RunRow* previousTick = nullptr;
    for (const RunRow& r : rows) {
        s.totalS = std::max(s.totalS, r.elapsedS);
        for (int p = 0; p < 3; ++p)
            if (!s.reachedS[std::size_t(p)] && r.event == "reached X" + QString::number(p + 1))
                s.reachedS[std::size_t(p)] = r.elapsedS;
        if (!r.tick()) continue;
        if (r.noReply && (!previousTick || !previousTick->noReply)) s.outages.push_back({r.elapsedS, 0});
        if (r.noReply) s.outages.back().lengthS = r.elapsedS - s.outages.back().fromS + 1;
        const bool gap = !previousTick || r.elapsedS - previousTick->elapsedS > kTickGapS;
        previousTick = &r;
        if (!r.boardC || gap) {
            if (!stretches.back().empty()) stretches.emplace_back();
            if (!r.boardC) continue;
        }
        stretches.back().push_back(&r);
        if (!s.peakC || *r.boardC > *s.peakC) {
            s.peakC = r.boardC;
            s.peakAtS = r.elapsedS;
        }
        if (*r.boardC >= s.liquidusC) s.aboveLiquidusS += 1;
    }
    // Every pair of readings about five seconds apart within a stretch.
    for (const auto& ticks : stretches) {
        std::size_t j = 0;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            const double from = ticks[i]->elapsedS;
            j = std::max(j, i + 1);
            while (j < ticks.size() && ticks[j]->elapsedS - from < 4.5) ++j;
            if (j >= ticks.size() || ticks[j]->elapsedS - from > 5.5) continue;
            const double r = (*ticks[j]->boardC - *ticks[i]->boardC) / (ticks[j]->elapsedS - from);
            s.steepestRise = std::max(s.steepestRise.value_or(0.0), r);
            s.steepestFall = std::min(s.steepestFall.value_or(0.0), r);
        }
    }
    return s;
}

QString RunSummary::outcomeLine() const {
    if (outcome == RunOutcome::Guarded) return "guarded: " + guardReason;
    return outcomeText(outcome);
}

QStringList RunSummary::outageTexts() const {
    QStringList l;
    for (std::size_t i = 0; i < outages.size() && i < std::size_t(kOutagesNamed); ++i)
        l << QString("link lost for %1 s at %2").arg(std::lround(outages[i].lengthS)).arg(clockText(outages[i].fromS));
    if (outages.size() > std::size_t(kOutagesNamed))
        l << QString("and %1 more").arg(outages.size() - std::size_t(kOutagesNamed));
    return l;
}

QStringList RunSummary::lines() const {
    QStringList l;
    l << "outcome: " + outcomeLine();
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
    l << "outages: " + (outages.empty() ? QString("none") : outageTexts().join("; "));
    return l;
}

QString RunSummary::shortText() const {
    QString t = outcomeLine() + QString(" after %1 s").arg(std::lround(totalS));
    if (peakC) t += QString(", peak %1 C at %2 s").arg(std::lround(*peakC)).arg(std::lround(peakAtS));
    t += QString(", %1 s above %2 C").arg(std::lround(aboveLiquidusS)).arg(liquidusC);
    if (!outages.empty()) t += ", " + outageTexts().join(", ");
    return t;
}

}  // namespace profiles
