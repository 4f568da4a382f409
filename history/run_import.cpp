#include "history/run_import.h"

#include "history/run_database.h"
#include "process/judgement.h"
#include "process/run_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace history {

namespace {

// The fields of one CSV line; a field in double quotes may hold commas and doubled quotes.
QStringList splitFields(const QString& line) {
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
    return fields << field;
}

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// "key: value" lines of a summary file.
QHash<QString, QString> summaryValues(const QString& txtPath) {
    QHash<QString, QString> values;
    if (txtPath.isEmpty()) return values;
    QFile f(txtPath);
    if (!f.open(QIODevice::ReadOnly)) return values;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        const qsizetype colon = line.indexOf(": ");
        if (colon > 0 && !values.contains(line.left(colon))) values.insert(line.left(colon), line.mid(colon + 2));
    }
    return values;
}

constexpr std::array<process::Statistic, kFigureCount> kOrder = process::kStatistics;

}  // namespace

RecordRows readRecordRows(const QString& csvPath) {
    RecordRows out;
    QFile f(csvPath);
    if (f.size() > process::kLargestRunRecord) {
        out.error = "too large for a run record";
        return out;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        out.error = f.errorString();
        return out;
    }
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.isEmpty() || QString::fromLatin1(lines[0]).trimmed() != process::kRunRecordHeader) {
        out.error = "not a run record";
        return out;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromLatin1(lines[i]).remove('\r');
        const QStringList fields = splitFields(line);
        // A crash can leave the last line half written: it is left out.
        if (fields.size() != 9) continue;
        const std::optional<double> elapsed = number(fields[0]);
        if (!elapsed) continue;
        RunSample s;
        s.elapsedS = *elapsed;
        s.boardC = number(fields[1]);
        s.profileC = number(fields[2]);
        s.upperHeater = fields[3];
        s.lowerHeater = fields[4];
        s.fan = fields[5] == "ON";
        s.machineMode = fields[6];
        s.state = fields[7].toInt();
        s.event = fields[8];
        out.rows.push_back(std::move(s));
    }
    return out;
}

QStringList recordLines(const std::vector<RunSample>& rows) {
    auto field = [](const QString& text) {
        if (!text.contains(',') && !text.contains('"')) return text;
        return '"' + QString(text).replace('"', "\"\"") + '"';
    };
    QStringList lines{process::kRunRecordHeader};
    for (const RunSample& s : rows)
        lines << QStringList{QString::number(s.elapsedS, 'f', 1),
                             s.boardC ? QString::number(*s.boardC, 'f', 0) : QString(),
                             s.profileC ? QString::number(*s.profileC, 'f', 1) : QString(),
                             s.upperHeater, s.lowerHeater, s.fan ? "ON" : "OFF", s.machineMode,
                             QString::number(s.state), field(s.event)}
                     .join(',');
    return lines;
}

void judgeFromRows(RunEntry& run, const QList<process::PasteWindow>& windows) {
    run.outcome = outcome::kInterrupted;
    run.outcomeDetail.clear();
    run.reachedS = {};
    run.lengthS.reset();
    // The run ends at its first end event; a finished run is judged with its cooling rows, as
    // the editor judges it once the board has cooled.
    std::size_t end = run.rows.size();
    for (std::size_t i = 0; i < run.rows.size() && end == run.rows.size(); ++i) {
        const QString& e = run.rows[i].event;
        if (e == "finish") run.outcome = outcome::kFinished;
        else if (e == "stop") run.outcome = outcome::kStopped;
        else if (e == "terminate") run.outcome = outcome::kTerminated;
        else if (e.startsWith("guarded: ")) run.outcome = outcome::kGuarded, run.outcomeDetail = e.mid(9);
        else continue;
        end = i;
        run.lengthS = run.rows[i].elapsedS;
    }
    std::vector<process::Row> ticks;
    const std::size_t judgedEnd = run.outcome == outcome::kFinished ? run.rows.size() : end;
    for (std::size_t i = 0; i < judgedEnd; ++i) {
        const RunSample& s = run.rows[i];
        if (s.tick()) {
            ticks.push_back({s.elapsedS, s.boardC});
            if (run.outcome == outcome::kInterrupted) run.lengthS = s.elapsedS;
        }
        if (i >= end) continue;
        for (int p = 0; p < 3; ++p)
            if (s.event == QString("reached X%1").arg(p + 1) && !run.reachedS[std::size_t(p)])
                run.reachedS[std::size_t(p)] = s.elapsedS;
    }
    const bool stopped = run.outcome != outcome::kFinished;
    std::optional<process::PasteWindow> window = process::findWindow(windows, run.paste);
    const process::Judgement j = process::judgeRun(ticks, window, stopped);
    // Without a paste the alloy's window still gives the peak and the time above liquidus.
    const process::RunFigures figures =
        window ? j.figures
               : process::runFigures(ticks, *process::findWindow(process::builtInWindows(),
                                                                   run.alloy == "Lead-Free" ? process::kLeadFreePaste
                                                                                            : process::kLeadedPaste));
    for (std::size_t i = 0; i < kOrder.size(); ++i) run.figures[i] = figures.value(kOrder[i]);
    run.peakC = figures.peakC;
    run.aboveLiquidusS = figures.value(process::Statistic::TimeAboveLiquidus);
    run.pwi = j.pwi;
    run.verdict = j.verdict == process::Verdict::Pass   ? "PASS"
                  : j.verdict == process::Verdict::Fail ? "FAIL"
                                                        : QString();
    run.verdictLine = j.line();
}

RunEntry runFromRecord(const QString& csvPath, const RecordRows& rows, const QList<process::PasteWindow>& windows) {
    const QFileInfo info(csvPath);
    RunEntry run;
    run.runId = newRunId();
    run.csvFile = info.absoluteFilePath();
    const QString base = info.absolutePath() + "/" + info.completeBaseName();
    if (QFileInfo::exists(base + ".txt")) run.txtFile = base + ".txt";
    if (QFileInfo::exists(base + ".png")) run.pngFile = base + ".png";
    // "2026-12-10_08-22-31_NORTH BRIDGE.csv"
    static const QRegularExpression stem("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)_(.*?)(-\\d+)?$");
    const QRegularExpressionMatch m = stem.match(info.completeBaseName());
    run.started = m.hasMatch() ? QDateTime::fromString(m.captured(1), "yyyy-MM-dd_HH-mm-ss") : info.lastModified();
    run.profileName = m.hasMatch() ? m.captured(2) : info.completeBaseName();
    run.alloy = "Leaded";
    const QHash<QString, QString> summary = summaryValues(run.txtFile);
    if (!summary.isEmpty()) {
        run.profileName = summary.value("profile", run.profileName);
        run.alloy = summary.value("alloy", run.alloy);
        run.board = summary.value("board");
        run.operatorName = summary.value("operator");
        run.paste = summary.value("paste").section(',', 0, 0);
        static const QRegularExpression points("X1 (-?\\d+), X2 (-?\\d+), X3 (-?\\d+)");
        const QRegularExpressionMatch p = points.match(summary.value("points_C"));
        for (int i = 0; i < 3 && p.hasMatch(); ++i) run.points[std::size_t(i)].celsius = p.captured(i + 1).toInt();
    }
    if (run.paste.isEmpty()) run.paste = run.alloy == "Lead-Free" ? process::kLeadFreePaste : process::kLeadedPaste;
    run.rows = rows.rows;
    judgeFromRows(run, windows);
    return run;
}

ImportResult importRecords(RunDatabase& db, const QStringList& folders, const QList<process::PasteWindow>& windows) {
    ImportResult result;
    if (!db.isOpen()) return result;
    // Runs the program was ended under: their line is there, their rows are in the record.
    for (const QString& id : db.unfinishedRuns()) {
        std::optional<RunEntry> run = db.run(id);
        if (!run) continue;
        const RecordRows rows = readRecordRows(run->csvFile);
        run->rows = rows.rows;
        judgeFromRows(*run, windows);
        if (db.writeRun(*run)) {
            ++result.imported;
            if (run->outcome == outcome::kInterrupted) ++result.interrupted;
        } else {
            result.failures << run->csvFile + ": " + db.lastError();
        }
    }
    const QSet<QString> known = db.knownRecordFiles();
    QSet<QString> seen;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (folder.isEmpty() || !dir.exists() || seen.contains(dir.canonicalPath())) continue;
        seen.insert(dir.canonicalPath());
        for (const QString& name : dir.entryList({"*.csv"}, QDir::Files, QDir::Name)) {
            if (known.contains(name)) continue;
            const QString path = dir.filePath(name);
            const RecordRows rows = readRecordRows(path);
            if (!rows.ok()) {
                result.failures << path + ": " + rows.error;
                continue;
            }
            const RunEntry run = runFromRecord(path, rows, windows);
            if (!db.writeRun(run)) {
                result.failures << path + ": " + db.lastError();
                continue;
            }
            ++result.imported;
            if (run.outcome == outcome::kInterrupted) ++result.interrupted;
        }
    }
    return result;
}

}  // namespace history
