#pragma once
#include "history/run_entry.h"

#include <QFile>
#include <QString>

#include <cmath>

namespace testsupport {

// A finished run of `seconds` once-a-second rows rising to a peak near 230 C, then falling.
inline history::RunEntry sampleRun(const QString& board, const QDateTime& started, int seconds = 240) {
    history::RunEntry r;
    r.runId = history::newRunId();
    r.started = started;
    r.stationId = "KR-0042";
    r.firmware = "7";
    r.programVersion = "0.1.0";
    r.profileName = "NORTH BRIDGE";
    r.points = {{{90, "PREHEAT", "PERHEAT", "OFF", false, "Park Mode"},
                 {150, "SOAK", "REFLOW", "REFLOW", false, "Normal Mode"},
                 {230, "REFLOW", "REFLOW", "FAST REFLOW", true, "Normal Mode"}}};
    r.alloy = "Leaded";
    r.paste = "Sn63Pb37";
    r.board = board;
    r.operatorName = "Ana";
    r.outcome = history::outcome::kFinished;
    r.verdict = "PASS";
    r.verdictLine = "PASS  PWI 64%  (Sn63Pb37)";
    r.pwi = 64;
    r.peakC = 230;
    r.aboveLiquidusS = 61;
    r.lengthS = seconds - 1;
    r.reachedS = {40.0, 120.0, 200.0};
    for (int i = 0; i < history::kFigureCount; ++i) r.figures[std::size_t(i)] = 10.0 + i;
    r.csvFile = "/runs/" + started.toString("yyyy-MM-dd_HH-mm-ss") + "_NORTH BRIDGE.csv";
    for (int s = 0; s < seconds; ++s) {
        history::RunSample row;
        row.elapsedS = s;
        if (s % 50 != 7) row.boardC = 25 + 205 * std::sin(M_PI * s / (2.0 * seconds)) * (s < seconds * 0.9 ? 1 : 0.9);
        row.profileC = 25 + s * 0.8;
        row.upperHeater = "REFLOW";
        row.lowerHeater = "PERHEAT";
        row.fan = s > 200;
        row.machineMode = "NORMAL";
        row.state = 6;
        if (s == 40) row.event = "reached X1";
        r.rows.push_back(row);
    }
    return r;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

}  // namespace testsupport
