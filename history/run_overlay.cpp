#include "history/run_overlay.h"

#include "history/run_database.h"

#include <QSqlQuery>

#include <cmath>
#include <limits>

namespace history {

const std::array<QColor, 5>& overlayColours() {
    // Apart from the live trace (white) and the curve (blue), and from each other.
    static const std::array<QColor, 5> colours{QColor(0xFF, 0x8C, 0x00), QColor(0x32, 0xCD, 0x32),
                                               QColor(0xFF, 0x40, 0xFF), QColor(0x00, 0xE5, 0xEE),
                                               QColor(0xFF, 0xE0, 0x30)};
    return colours;
}

std::vector<OverlayRun> overlayRuns(const RunDatabase& db, const QStringList& runIds) {
    std::vector<OverlayRun> runs;
    if (!db.isOpen()) return runs;
    QSqlQuery line(db.connection());
    line.prepare("SELECT started_local, board, x1_reached_s, x2_reached_s, x3_reached_s, peak_c, above_liquidus_s "
                 "FROM runs WHERE run_id = ?");
    QSqlQuery rows(db.connection());
    rows.setForwardOnly(true);
    rows.prepare("SELECT elapsed_s, board_c FROM run_rows WHERE run_id = ? AND (event = '' OR event = 'no reply' "
                 "OR event IS NULL) ORDER BY seq");
    auto number = [](const QSqlQuery& q, int i) {
        return q.isNull(i) ? std::nullopt : std::optional<double>(q.value(i).toDouble());
    };
    for (const QString& id : runIds) {
        line.addBindValue(id);
        if (!line.exec() || !line.next()) continue;
        OverlayRun run;
        run.runId = id;
        run.name = line.value(0).toString().left(16);
        if (!line.value(1).toString().isEmpty()) run.name += "  " + line.value(1).toString();
        run.colour = overlayColours()[runs.size() % overlayColours().size()];
        for (int p = 0; p < 3; ++p) run.reachedS[std::size_t(p)] = number(line, 2 + p);
        run.peakC = number(line, 5);
        run.aboveLiquidusS = number(line, 6);
        rows.addBindValue(id);
        if (rows.exec()) {
            while (rows.next()) {
                const long second = std::lround(rows.value(0).toDouble());
                if (second < 0 || second > 24 * 3600) continue;
                if (run.boardC.size() <= std::size_t(second))
                    run.boardC.resize(std::size_t(second) + 1, std::numeric_limits<double>::quiet_NaN());
                run.boardC[std::size_t(second)] =
                    rows.isNull(1) ? std::numeric_limits<double>::quiet_NaN() : rows.value(1).toDouble();
            }
        }
        runs.push_back(std::move(run));
    }
    return runs;
}

}  // namespace history
