#include "settings/settings_file.h"

#include "settings/number_text.h"
#include "settings/units.h"
#include "core/temperature_bytes.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace settings {

namespace {

constexpr const char* kHeader = "[ZENT_INI_file]";

// Splits on CR LF (a lone LF also ends a line); a final line ending adds no empty line.
QStringList splitLines(const QByteArray& data) {
    QString text = QString::fromLatin1(data);
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

struct LoadFailure {
    int code;
};

class LineReader {
public:
    explicit LineReader(const QStringList& lines) : lines_(lines) {}
    bool atEnd() const { return next_ >= lines_.size(); }
    // Reading past the last line is load error 62.
    const QString& next() {
        if (atEnd()) throw LoadFailure{62};
        return lines_[next_++];
    }

private:
    const QStringList& lines_;
    qsizetype next_ = 0;
};

// The key must match on exactly its own length, "=" included; the value is the number
// the rest begins with.
bool keyedValue(const QString& line, const QString& key, double& value) {
    if (!line.startsWith(key, Qt::CaseSensitive)) return false;
    value = leadingNumber(line.mid(key.size()));
    if (!std::isfinite(value)) throw LoadFailure{6};
    return true;
}

std::int16_t int16Of(double v) {
    const auto r = roundToInt16(v);
    if (!r) throw LoadFailure{6};
    return *r;
}

struct Mismatch {};

}  // namespace

SettingsFile::SettingsFile(core::SharedState& state, QString programFolder, QString userFolder)
    : state_(state), programFolder_(std::move(programFolder)), userFolder_(std::move(userFolder)) {
    // A program folder we cannot write in sends the file to the user's folder, unless the
    // program folder's file can at least be read and the user has none yet. An installed
    // program's folder is the system's: the file is always the user's.
    const QFileInfo programFile(QDir(programFolder_).filePath(kFileName));
    const QFileInfo folder(programFolder_);
    const bool writable = programFile.exists() ? programFile.isWritable() : (folder.isDir() && folder.isWritable());
    if (platform::isInstalledProgramFolder(programFolder_) ||
        (!writable && QFileInfo::exists(QDir(userFolder_).filePath(kFileName))))
        moveToUserFolder();
}

QString SettingsFile::path() const {
    return QDir(inUserFolder_ ? userFolder_ : programFolder_).filePath(kFileName);
}

void SettingsFile::moveToUserFolder() {
    if (inUserFolder_) return;
    inUserFolder_ = true;
    QDir().mkpath(userFolder_);
    state_.Diagnostics.add("Settings.ini cannot be written in the program folder " + programFolder_ +
                           "; the settings are kept in " + path());
}

QStringList SettingsFile::defaultLines() {
    return {kHeader,         "BeepWB=1",       "AutoUSB=1",      "AutoTCPlot=0",   "SwSleepMode=0", "RunDemoMode=0",
            "AlarmMSD=0",    "AlarmLSD=205",   "TempUnit=0",     "SafetySP_MSD=0", "SafetySP_LSD=220"};
}

QStringList SettingsFile::linesFromRecord() const {
    const core::SettingsRecord& r = state_.Settings;
    auto b = [](bool v) { return QString(v ? "1" : "0"); };
    const core::TemperatureBytes alarm = core::splitTemperature(r.AlarmThreshold);
    const core::TemperatureBytes safety = core::splitTemperature(r.SafetySP);
    return {kHeader,
            "BeepWB=" + b(r.BeepWB),
            "AutoUSB=" + b(r.AutoUSB),
            "AutoTCPlot=" + b(r.AutoTCPlot),
            "SwSleepMode=" + b(r.SwSleepMode),
            "RunDemoMode=" + b(r.RunDemoMode),
            "AlarmMSD=" + QString::number(alarm.high),
            "AlarmLSD=" + QString::number(alarm.low),
            "TempUnit=" + QString::number(r.TempUnit),
            "SafetySP_MSD=" + QString::number(safety.high),
            "SafetySP_LSD=" + QString::number(safety.low)};
}

bool SettingsFile::writeLines(const QStringList& lines) {
    platform::TextWrite w = platform::writeTextLines(path(), lines);
    if (w.outcome == platform::TextWrite::CannotCreate && !inUserFolder_) {
        moveToUserFolder();
        w = platform::writeTextLines(path(), lines);
    }
    if (w.ok()) return true;
    state_.Diagnostics.add("Settings.ini could not be written (" + w.error + "); " + path() +
                           " keeps its previous contents");
    return false;
}

bool SettingsFile::Create_New_INI() {
    const bool written = writeLines(defaultLines());
    core::SettingsRecord& r = state_.Settings;
    r.BeepWB = true;
    r.AutoUSB = true;
    r.AutoTCPlot = false;
    r.SwSleepMode = false;
    r.RunDemoMode = false;
    r.AlarmMSD = 0;
    r.AlarmLSD = 205;
    r.AlarmThreshold = 205;
    r.TempUnit = 0;
    r.SafetySP = 220;
    return written;
}

bool SettingsFile::Write_INI() { return writeLines(linesFromRecord()); }

bool SettingsFile::Update_INI_Alarm() {
    QStringList lines;
    QFile in(path());
    if (in.open(QIODevice::ReadOnly)) lines = splitLines(in.readAll());
    // A file shortened since the start gets its missing lines from the record.
    const QStringList full = linesFromRecord();
    while (lines.size() < 11) lines.append(full[lines.size()]);
    lines = lines.mid(0, 11);
    const core::SettingsRecord& r = state_.Settings;
    lines[6] = "AlarmMSD=" + QString::number(r.AlarmMSD);
    lines[7] = "AlarmLSD=" + QString::number(r.AlarmLSD);
    lines[8] = "TempUnit=" + QString::number(r.TempUnit);
    return writeLines(lines);
}

SettingsFile::ReadResult SettingsFile::Read_INI() {
    // The program folder's file is read even when only the user's folder can be written.
    QString source = path();
    if (inUserFolder_ && !QFileInfo::exists(source)) source = QDir(programFolder_).filePath(kFileName);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        Create_New_INI();
        return {ReadResult::Created, 0, {}};
    }
    const QByteArray contents = in.readAll();
    in.close();
    ReadResult result = parseContents(contents);
    if (result.outcome == ReadResult::LoadError) {
        state_.Diagnostics.add("Error Code: " + QString(" ") + QString::number(result.errorCode));
    } else if (result.outcome == ReadResult::Replaced) {
        Create_New_INI();
    }
    return result;
}

SettingsFile::ReadResult SettingsFile::parseContents(const QByteArray& contents) { return parse(splitLines(contents)); }

SettingsFile::ReadResult SettingsFile::parse(const QStringList& lines) {
    ReadResult result;
    core::SettingsRecord& r = state_.Settings;
    LineReader reader(lines);
    double v = 0;
    try {
        auto expect = [&](const char* key) {
            if (!keyedValue(reader.next(), key, v)) throw Mismatch{};
        };
        if (reader.next() != kHeader) throw Mismatch{};
        expect("BeepWB=");
        r.BeepWB = v != 0;
        expect("AutoUSB=");
        r.AutoUSB = v != 0;
        if (r.AutoUSB) state_.ConnectRequested = true;
        expect("AutoTCPlot=");
        r.AutoTCPlot = v != 0;
        result.plotCaptionStop = r.AutoTCPlot;
        expect("SwSleepMode=");
        r.SwSleepMode = v != 0;
        expect("RunDemoMode=");
        r.RunDemoMode = v != 0;
        expect("AlarmMSD=");
        r.AlarmMSD = int16Of(v);
        expect("AlarmLSD=");
        r.AlarmLSD = int16Of(v);
        const int alarm = core::joinTemperature(r.AlarmMSD, r.AlarmLSD);
        if (alarm < -32768 || alarm > 32767) throw LoadFailure{6};
        r.AlarmThreshold = std::int16_t(alarm);
        expect("TempUnit=");
        r.TempUnit = int16Of(v);
        if (reader.atEnd()) throw Mismatch{};
        expect("SafetySP_MSD=");
        const double msd = v;
        if (reader.atEnd()) throw Mismatch{};
        expect("SafetySP_LSD=");
        r.SafetySP = int16Of(msd * 256 + v);
    } catch (const Mismatch&) {
        result.outcome = ReadResult::Replaced;
    } catch (const LoadFailure& f) {
        result.outcome = ReadResult::LoadError;
        result.errorCode = f.code;
    }
    return result;
}

}  // namespace settings
