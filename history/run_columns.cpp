#include "history/run_columns.h"

#include <QMetaType>
#include <QTimeZone>

namespace history {

namespace {

QVariant number(const std::optional<double>& v) { return v ? QVariant(*v) : QVariant(QMetaType::fromType<double>()); }

std::optional<double> number(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

}  // namespace

QString utcText(const QDateTime& time) { return time.toUTC().toString("yyyy-MM-ddTHH:mm:ss") + "Z"; }

QDateTime fromUtcText(const QString& text) {
    QDateTime t = QDateTime::fromString(text.left(19), "yyyy-MM-ddTHH:mm:ss");
    t.setTimeZone(QTimeZone::utc());
    return t;
}

std::vector<std::pair<QString, QVariant>> runColumns(const RunEntry& r) {
    std::vector<std::pair<QString, QVariant>> c{
        {"run_id", r.runId},
        {"started_utc", utcText(r.started)},
        {"started_local", r.started.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")},
        {"station_id", r.stationId},
        {"firmware", r.firmware},
        {"program_version", r.programVersion},
        {"profile_name", r.profileName},
    };
    for (int p = 0; p < 3; ++p) {
        const RunPoint& x = r.points[std::size_t(p)];
        const QString n = QString("x%1_").arg(p + 1);
        c.insert(c.end(), {{n + "c", x.celsius},
                           {n + "message", x.message},
                           {n + "lower", x.lowerHeater},
                           {n + "upper", x.upperHeater},
                           {n + "fan", int(x.fan)},
                           {n + "mode", x.mode}});
    }
    c.insert(c.end(), {{"alloy", r.alloy},
                       {"paste", r.paste},
                       {"board", r.board},
                       {"operator_name", r.operatorName},
                       {"outcome", r.outcome},
                       {"outcome_detail", r.outcomeDetail},
                       {"peak_c", number(r.peakC)},
                       {"above_liquidus_s", number(r.aboveLiquidusS)},
                       {"length_s", number(r.lengthS)},
                       {"x1_reached_s", number(r.reachedS[0])},
                       {"x2_reached_s", number(r.reachedS[1])},
                       {"x3_reached_s", number(r.reachedS[2])},
                       {"csv_file", r.csvFile},
                       {"txt_file", r.txtFile},
                       {"png_file", r.pngFile},
                       {"verdict", r.verdict},
                       {"verdict_line", r.verdictLine},
                       {"pwi", number(r.pwi)}});
    for (std::size_t i = 0; i < kFigureColumns.size(); ++i) c.emplace_back(kFigureColumns[i], number(r.figures[i]));
    c.emplace_back("station", r.station);
    return c;
}

RunEntry runFromRecord(const QSqlRecord& rec) {
    auto text = [&rec](const QString& name) { return rec.value(name).toString(); };
    auto real = [&rec](const QString& name) {
        return rec.indexOf(name) < 0 ? std::nullopt : number(rec.value(name));
    };
    RunEntry r;
    r.runId = text("run_id");
    r.started = fromUtcText(text("started_utc")).toLocalTime();
    r.stationId = text("station_id");
    r.firmware = text("firmware");
    r.programVersion = text("program_version");
    r.profileName = text("profile_name");
    for (int p = 0; p < 3; ++p) {
        RunPoint& x = r.points[std::size_t(p)];
        const QString n = QString("x%1_").arg(p + 1);
        x.celsius = rec.value(n + "c").toInt();
        x.message = text(n + "message");
        x.lowerHeater = text(n + "lower");
        x.upperHeater = text(n + "upper");
        x.fan = rec.value(n + "fan").toInt() != 0;
        x.mode = text(n + "mode");
        r.reachedS[std::size_t(p)] = real(n + "reached_s");
    }
    r.alloy = text("alloy");
    r.paste = text("paste");
    r.board = text("board");
    r.operatorName = text("operator_name");
    r.outcome = text("outcome");
    r.outcomeDetail = text("outcome_detail");
    r.peakC = real("peak_c");
    r.aboveLiquidusS = real("above_liquidus_s");
    r.lengthS = real("length_s");
    r.csvFile = text("csv_file");
    r.txtFile = text("txt_file");
    r.pngFile = text("png_file");
    r.verdict = text("verdict");
    r.verdictLine = text("verdict_line");
    r.pwi = real("pwi");
    for (std::size_t i = 0; i < kFigureColumns.size(); ++i) r.figures[i] = real(kFigureColumns[i]);
    r.station = text("station");
    return r;
}

}  // namespace history
