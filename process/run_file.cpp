#include "process/run_file.h"

#include "process/judgement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <optional>

namespace process {

namespace {

constexpr int kFields = 9;
constexpr int kTimeField = 0;
constexpr int kBoardField = 1;
constexpr int kEventField = 8;
constexpr const char* kNoReply = "no reply";
// The events of a run that did not end by itself.
constexpr const char* kStopEvents[] = {"stop", "cancelled", "terminate"};
constexpr const char* kGuardedEvent = "guarded: ";

// The fields of one line; a field in double quotes may hold commas and doubled quotes.
std::optional<QStringList> splitFields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c != '"') field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"') field += line[++i];
            else quoted = false;
        } else if (c == ',') {
            fields << field;
            field.clear();
        } else if (c == '"' && field.isEmpty()) {
            quoted = true;
        } else {
            field += c;
        }
    }
    if (quoted) return std::nullopt;
    return fields << field;
}

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

RunFile refused(const QString& why) {
    RunFile f;
    f.error = why;
    return f;
}

bool stopEvent(const QString& event) {
    for (const char* e : kStopEvents)
        if (event == e) return true;
    return event.startsWith(kGuardedEvent);
}

}  // namespace

RunFile parseRunRecord(const QByteArray& text) {
    QByteArray data = text;
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    const QStringList lines = QString::fromLatin1(data).split('\n');
    if (lines.first().trimmed() != kRunRecordHeader)
        return refused(data.trimmed().isEmpty() ? QString("is empty")
                                                : QString("is not a run record: its first line is not \"") +
                                                      kRunRecordHeader + "\"");
    RunFile f;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString line = lines[n].endsWith('\r') ? lines[n].chopped(1) : lines[n];
        if (line.trimmed().isEmpty()) continue;
        const QString where = QString("line %1: ").arg(n + 1);
        const std::optional<QStringList> fields = splitFields(line);
        if (!fields) return refused(where + "a quote is not closed");
        if (fields->size() != kFields)
            return refused(where + QString("%1 fields, a run record has %2").arg(fields->size()).arg(kFields));
        const std::optional<double> t = number(fields->at(kTimeField));
        if (!t || *t < 0) return refused(where + "elapsed_s \"" + fields->at(kTimeField) + "\" is not a time");
        if (!f.rows.empty() && *t < f.rows.back().timeS) return refused(where + "the time goes backwards");
        const QString board = fields->at(kBoardField).trimmed();
        const std::optional<double> c = board.isEmpty() ? std::nullopt : number(board);
        if (!board.isEmpty() && !c) return refused(where + "board_C \"" + board + "\" is not a temperature");
        const QString event = fields->at(kEventField);
        if (stopEvent(event)) f.stopped = true;
        if (event.isEmpty() || event == kNoReply) f.rows.push_back({*t, c});
    }
    if (f.rows.empty()) return refused("holds no once-a-second rows");
    return f;
}

RunFile readRunRecord(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return refused("cannot be read");
    if (file.size() > kLargestRunRecord) return refused("is too large for a run record");
    return parseRunRecord(file.readAll());
}

JudgeAnswer judgeRunFile(const QString& path, const QString& pasteName, const QList<PasteWindow>& userWindows) {
    JudgeAnswer a;
    a.status = kNotJudged;
    const std::optional<PasteWindow> window = findWindow(allWindows(userWindows), pasteName);
    if (!window && pasteName.trimmed().compare(kNoPaste, Qt::CaseInsensitive) != 0) {
        a.error = "unknown paste '" + pasteName + "' (the pastes are: " + pasteChoices(userWindows).join(", ") + ")";
        return a;
    }
    const RunFile run = readRunRecord(path);
    if (!run.ok()) {
        a.error = path + " " + run.error;
        return a;
    }
    const Judgement j = judgeRun(run.rows, window, run.stopped);
    a.out = path + QString(": %1 rows a second\n").arg(run.rows.size()) + j.tableLines().join('\n') + '\n' +
            j.line() + '\n';
    if (j.verdict == Verdict::Pass) a.status = kJudgedPass;
    if (j.verdict == Verdict::Fail) a.status = kJudgedFail;
    return a;
}

}  // namespace process
