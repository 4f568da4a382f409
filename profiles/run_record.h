#pragma once
#include "core/shared_state.h"
#include "profiles/run_summary.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
class Clock;
class Timer;
}  // namespace platform

namespace profiles {

// The trace a profile run leaves: a CSV file with one row a second and one row per event,
// appended and flushed row by row so that a crash keeps what came before, and at the end
// of the run a summary file. Writing never disturbs the run: a failure is reported once.
class RunRecord {
public:
    static constexpr const char* kHeader =
        "elapsed_s,board_C,profile_C,upper_heater,lower_heater,fan,machine_mode,state,event";
    static constexpr const char* kFolder = "Runs";

    struct Setup {
        QString programFolder;   // "Runs" goes here when it can be written
        QString userDataFolder;  // else here
        QString profileName;
        std::array<int, 3> pointsC{};
        bool leadFree = false;
        QString board, operatorName;  // optional: which board, who ran it
        QDateTime started = QDateTime::currentDateTime();
        // The profile curve in Celsius at a second, empty where it has no value.
        std::function<std::optional<double>(int second)> profileC;
    };

    RunRecord(const core::SharedState& state, platform::Clock& clock);
    ~RunRecord();

    // Starts a record: the file, its header and the first row, then a row every second.
    void begin(const Setup& setup);
    // One row now for something that happened in the run.
    void event(const QString& text);
    // The run ended: the summary is computed from the rows so far and written beside the
    // record. A finished run's record goes on with the cooling trace until close().
    // `judged` computes more lines for the summary file (the paste's verdict) from the rows.
    RunSummary endRun(RunOutcome outcome, const QString& guardReason = QString(),
                      const std::function<QStringList(const std::vector<RunRow>&)>& judged = {});
    // No more rows.
    void close();

    bool recording() const { return timer_ && timerRunning_; }
    bool failed() const { return failed_; }
    QString csvPath() const { return csvPath_; }
    QString basePath() const { return basePath_; }  // without extension: the .txt and .png go beside
    const std::vector<RunRow>& rows() const { return rows_; }

    // Told once when the record cannot be written (folder or disk), with the reason.
    void setFailureSink(std::function<void(const QString&)> sink) { onFailure_ = std::move(sink); }
    // The live line for the editor's second status panel, every second.
    void setProgressSink(std::function<void(const QString&)> sink) { onProgress_ = std::move(sink); }

    // The profile name as it goes into a file name.
    static QString fileNamePart(const QString& profileName);
    // Where the records go: "Runs" in the program folder when it can be written there.
    static QString runsFolder(const QString& programFolder, const QString& userDataFolder);
    static constexpr const char* kNoRise = "No temperature rise for 60 s";
    // While the station is offline the run cannot step the heaters: the panel says so.
    static constexpr const char* kLinkLost = "Station offline: the heaters cannot be switched";

private:
    void tick();
    void writeRow(const QString& eventText, bool tick = false);
    void writeLine(const QByteArray& line);
    void fail(const QString& reason);
    void watchForStall(double elapsed);
    QString phaseName() const;
    double elapsed() const;

    const core::SharedState& state_;
    platform::Clock& clock_;
    std::unique_ptr<platform::Timer> timer_;
    bool timerRunning_ = false;
    Setup setup_;
    QFile file_;
    QString csvPath_, basePath_;
    bool failed_ = false;
    std::int64_t startMs_ = 0;
    std::vector<RunRow> rows_;
    bool linkUp_ = true;
    bool replying_ = true;  // the last once-a-second row had a fresh answer
    bool runEnded_ = false;

    // Progress and the stall watch.
    std::int16_t lastState_ = -1;
    QString phase_;
    double phaseStartS_ = 0;
    double stallFromS_ = -1;
    double stallFromC_ = 0;
    bool stallReported_ = false;

    std::function<void(const QString&)> onFailure_;
    std::function<void(const QString&)> onProgress_;
};

}  // namespace profiles
