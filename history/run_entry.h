#pragma once
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace history {

// One set point of the profile a run ran, as the editor's controls held it.
struct RunPoint {
    int celsius = 0;
    QString message;
    QString lowerHeater;  // "OFF", "PERHEAT", "REFLOW", "FAST REFLOW"
    QString upperHeater;  // "OFF", "REFLOW", "FAST REFLOW"
    bool fan = false;
    QString mode;         // "Normal Mode", "Park Mode"
};

// One row of a run record, field for field as the CSV holds it.
struct RunSample {
    double elapsedS = 0;
    std::optional<double> boardC;
    std::optional<double> profileC;
    QString upperHeater, lowerHeater;
    bool fan = false;
    QString machineMode;
    int state = 0;
    QString event;  // empty on the once-a-second rows, or "no reply"

    bool tick() const { return event.isEmpty() || event == "no reply"; }
};

// How a run ended, as the database keeps it.
namespace outcome {
inline constexpr const char* kRunning = "running";
inline constexpr const char* kFinished = "finished";
inline constexpr const char* kStopped = "stopped";
inline constexpr const char* kTerminated = "terminated";
inline constexpr const char* kGuarded = "guarded";
inline constexpr const char* kInterrupted = "interrupted";  // the program ended in the middle of it
}  // namespace outcome

// The statistics a run is judged on, in the judgement's order.
inline constexpr int kFigureCount = 7;

// A run as the history keeps it: who, which board, which profile, how it ended, its
// verdict and figures, the files of its record and its rows. Plain data: the app fills
// it from the editor's run, the import from a run record.
struct RunEntry {
    QString runId;  // a UUID made when the run started
    QDateTime started;  // local time; kept in UTC and as local text
    QString stationId, firmware, programVersion;
    QString profileName;
    std::array<RunPoint, 3> points;
    QString alloy;  // "Leaded", "Lead-Free"
    QString paste;
    QString board, operatorName;
    QString outcome = outcome::kRunning;
    QString outcomeDetail;  // the guard's reason
    QString verdict;        // "PASS", "FAIL" or empty
    QString verdictLine;    // the editor's line for it
    std::optional<double> pwi;
    std::array<std::optional<double>, kFigureCount> figures;
    std::optional<double> peakC, aboveLiquidusS, lengthS;
    std::array<std::optional<double>, 3> reachedS;  // X1..X3
    QString csvFile, txtFile, pngFile;  // full paths of the record's files
    QString station;  // the bench the run was made on, as a shop's shared database tells them apart
    std::vector<RunSample> rows;
};

}  // namespace history
