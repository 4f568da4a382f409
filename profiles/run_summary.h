#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace profiles {

// One row of a run record as the summary needs it.
struct RunRow {
    double elapsedS = 0;
    std::optional<double> boardC;  // empty while the probe reported an error
    QString event;                 // empty on the once-a-second rows
    bool noReply = false;          // a once-a-second row while the station did not answer

    static constexpr const char* kNoReply = "no reply";
    // The once-a-second rows; the first of an outage carries the event "no reply".
    bool tick() const { return event.isEmpty() || event == kNoReply; }
};

enum class RunOutcome { Finished, Terminated, Stopped, Guarded };

// A stretch of the run without an answer from the station.
struct Outage {
    double fromS = 0;
    double lengthS = 0;
};

struct RunSummary {
    RunOutcome outcome = RunOutcome::Finished;
    QString guardReason;  // why the guard stopped the run
    QString profileName;
    std::array<int, 3> pointsC{};
    bool leadFree = false;
    double totalS = 0;
    std::array<std::optional<double>, 3> reachedS;  // when X1..X3 were reached
    std::optional<double> peakC;
    double peakAtS = 0;
    int liquidusC = 183;
    double aboveLiquidusS = 0;
    // Degrees per second over 5 s, from readings without a gap between them: the rise
    // is never below 0, the fall never above 0; empty when no such pair exists.
    std::optional<double> steepestRise;
    std::optional<double> steepestFall;
    std::vector<Outage> outages;

    // "Finished", ..., "guarded: <reason>".
    QString outcomeLine() const;
    // "link lost for 55 s at 01:12", one per outage (the first few).
    QStringList outageTexts() const;

    // "key: value" lines for the summary file.
    QStringList lines() const;
    // One line for a status bar.
    QString shortText() const;
};

constexpr int kLiquidusLeadedC = 183;
constexpr int kLiquidusLeadFreeC = 217;

// The figures of a run from its rows: the once-a-second rows give the peak, the time
// above liquidus (one second per row at or above it) and the steepest 5-second rise and
// fall; the event rows "reached X1".."reached X3" give the times to the points.
RunSummary summarizeRun(const std::vector<RunRow>& rows, RunOutcome outcome, const QString& profileName,
                        const std::array<int, 3>& pointsC, bool leadFree, const QString& guardReason = QString());

QString outcomeText(RunOutcome outcome);

}  // namespace profiles
