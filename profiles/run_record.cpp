#include "profiles/run_record.h"

#include "core/status_age.h"
#include "platform/clock.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace profiles {

namespace {

const char* upperWord(int code) {
    static const char* words[] = {"OFF", "REFLOW", "FAST REFLOW"};
    return code >= 1 && code <= 3 ? words[code - 1] : "N/A";
}

const char* lowerWord(int code) {
    static const char* words[] = {"OFF", "PREHEAT", "REFLOW", "FAST REFLOW"};
    return code >= 1 && code <= 4 ? words[code - 1] : "N/A";
}

const char* modeWord(int code) {
    if (code == core::PositionNormal) return "NORMAL";
    if (code == core::PositionPark) return "PARK";
    return "N/A";
}

QString csvField(const QString& text) {
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r')) return text;
    QString quoted = text;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

QString clockText(double seconds) {
    const int s = int(seconds);
    return QString("%1:%2").arg(s / 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

bool approaching(std::int16_t state) { return state == 6 || state == 12 || state == 17; }

}  // namespace

RunRecord::RunRecord(const core::SharedState& state, platform::Clock& clock) : state_(state), clock_(clock) {}

RunRecord::~RunRecord() { close(); }

QString RunRecord::fileNamePart(const QString& profileName) {
    QString out = profileName.trimmed();
    for (QChar& c : out)
        if (!(c.isLetterOrNumber() || c == ' ' || c == '-')) c = '_';
    return out.isEmpty() ? QString("Untitled") : out;
}

QString RunRecord::runsFolder(const QString& programFolder, const QString& userDataFolder) {
    // An installed program folder belongs to the system and is never written.
    if (platform::programFolderWritable(programFolder)) return QDir(programFolder).filePath(kFolder);
    return QDir(userDataFolder).filePath(kFolder);
}

void RunRecord::begin(const Setup& setup) {
    close();
    setup_ = setup;
    failed_ = false;
    runEnded_ = false;
    rows_.clear();
    startMs_ = clock_.nowMs();
    linkUp_ = state_.MachineOnline;
    replying_ = true;
    lastState_ = -1;
    stallFromS_ = -1;
    stallReported_ = false;

    const QString folder = runsFolder(setup.programFolder, setup.userDataFolder);
    const QString stem = setup.started.toString("yyyy-MM-dd_HH-mm-ss") + "_" + fileNamePart(setup.profileName);
    basePath_ = QDir(folder).filePath(stem);
    for (int n = 2; QFileInfo::exists(basePath_ + ".csv"); ++n)
        basePath_ = QDir(folder).filePath(stem + "-" + QString::number(n));
    csvPath_ = basePath_ + ".csv";

    if (!QDir().mkpath(folder)) {
        fail("the folder " + folder + " cannot be made");
    } else {
        file_.setFileName(csvPath_);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) fail(csvPath_ + ": " + file_.errorString());
        else writeLine(kHeader);
    }
    if (!timer_) timer_ = clock_.createTimer(1000, [this] { tick(); });
    timer_->setEnabled(true);
    timerRunning_ = true;
    writeRow("start");
}

void RunRecord::event(const QString& text) {
    if (recording()) writeRow(text);
}

RunSummary RunRecord::endRun(RunOutcome outcome, const QString& guardReason,
                             const std::function<QStringList(const std::vector<RunRow>&)>& judged) {
    const RunSummary summary =
        summarizeRun(rows_, outcome, setup_.profileName, setup_.pointsC, setup_.leadFree, guardReason);
    runEnded_ = true;
    phase_ = outcome == RunOutcome::Finished ? "Cooling" : QString();
    phaseStartS_ = elapsed();
    QStringList lines = summary.lines();
    lines << "board: " + setup_.board << "operator: " + setup_.operatorName;
    if (judged) lines << judged(rows_);
    const platform::TextWrite w = platform::writeTextLines(basePath_ + ".txt", lines);
    if (!w.ok()) fail(basePath_ + ".txt: " + w.error);
    if (outcome != RunOutcome::Finished) close();
    return summary;
}

void RunRecord::close() {
    if (timer_) timer_->setEnabled(false);
    timerRunning_ = false;
    if (file_.isOpen()) file_.close();
}

double RunRecord::elapsed() const { return double(clock_.nowMs() - startMs_) / 1000.0; }

QString RunRecord::phaseName() const {
    const std::int16_t s = state_.EditorState;
    if (s == 88 || (s >= 2 && s <= 6)) return "X1";
    if (s == 400 || (s >= 8 && s <= 12)) return "X2";
    if (s == 500 || (s >= 13 && s <= 17)) return "X3";
    if (s == 19 || s == 20) return "Heaters OFF";
    return "Start";
}

void RunRecord::tick() {
    const double now = elapsed();
    if (state_.MachineOnline != linkUp_) {
        linkUp_ = state_.MachineOnline;
        writeRow(linkUp_ ? "link back" : "link lost");
    }
    // A second without a fresh answer is a row without a reading, said on its first row.
    const bool replying = core::statusFresh(state_, clock_.nowMs());
    writeRow(!replying && replying_ ? QString(RunRow::kNoReply) : QString(), true);
    replying_ = replying;
    if (!runEnded_) {
        const QString phase = phaseName();
        if (phase != phase_) {
            phase_ = phase;
            phaseStartS_ = now;
        }
        watchForStall(now);
    }
    if (onProgress_) {
        QString text = "Elapsed " + clockText(now);
        if (!phase_.isEmpty()) text += "  |  " + phase_ + " " + clockText(now - phaseStartS_);
        if (stallReported_ && !runEnded_) text += QString("  |  ") + kNoRise;
        if (!linkUp_) text += QString("  |  ") + kLinkLost;
        onProgress_(text);
    }
}

void RunRecord::watchForStall(double now) {
    const bool heaterOn = state_.UpperHeaterMode > core::UhOff || state_.LowerHeaterMode > core::LhOff;
    if (!approaching(state_.EditorState) || !heaterOn || !state_.PcbTemperatureValid || !state_.MachineOnline) {
        stallFromS_ = -1;
        stallReported_ = false;
        return;
    }
    const double t = state_.PcbTemperature;
    if (stallFromS_ < 0 || t >= stallFromC_ + 1) {
        stallFromS_ = now;
        stallFromC_ = t;
        stallReported_ = false;
        return;
    }
    if (!stallReported_ && now - stallFromS_ >= 60) {
        stallReported_ = true;
        writeRow(kNoRise);
    }
}

void RunRecord::writeRow(const QString& eventText, bool tick) {
    RunRow row;
    row.elapsedS = std::round(elapsed() * 10) / 10;
    const bool fresh = core::statusFresh(state_, clock_.nowMs());
    if (state_.PcbTemperatureValid && fresh) row.boardC = state_.PcbTemperature;
    row.event = eventText;
    row.noReply = tick && !fresh;
    rows_.push_back(row);

    QString profile;
    const int second = int(row.elapsedS);
    if (setup_.profileC && second <= 299)
        if (const auto c = setup_.profileC(second)) profile = QString::number(*c, 'f', 1);
    const QStringList fields{QString::number(row.elapsedS, 'f', 1),
                             row.boardC ? QString::number(*row.boardC, 'f', 0) : QString(),
                             profile,
                             upperWord(state_.UpperHeaterMode),
                             lowerWord(state_.LowerHeaterMode),
                             state_.FanState != 0 ? "ON" : "OFF",
                             modeWord(state_.MachineMode),
                             QString::number(state_.EditorState),
                             csvField(eventText)};
    writeLine(fields.join(',').toLatin1());
}

void RunRecord::writeLine(const QByteArray& line) {
    if (!file_.isOpen()) return;
    if (file_.write(line + "\r\n") != line.size() + 2 || !file_.flush()) {
        fail(csvPath_ + ": " + file_.errorString());
        file_.close();
    }
}

void RunRecord::fail(const QString& reason) {
    if (failed_) return;
    failed_ = true;
    if (onFailure_) onFailure_("The run record cannot be written (" + reason + ")");
}

}  // namespace profiles
