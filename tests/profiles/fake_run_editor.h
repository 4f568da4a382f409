#pragma once
#include "profiles/run_sequencer.h"

#include <QStringList>

#include <array>
#include <functional>

namespace testsupport {

// The editor as the run sees it: three points and what the run does to the window.
struct FakeEditor : profiles::RunEditor {
    std::array<Point, 3> points;
    QStringList statuses;
    QString caption = "Run";
    bool locked = false;
    bool enabled = true;
    bool cooling = false;
    int samples = 0;
    int restarts = 0;
    QStringList questions;
    std::function<void(bool)> pendingAnswer;

    Point point(int i) const override { return points[std::size_t(i)]; }
    void setStatus(const QString& t) override { statuses << t; }
    void lockEditor() override { locked = true; }
    void unlockEditor() override { locked = false; }
    void setEditorEnabled(bool on) override { enabled = on; }
    void setRunCaption(const QString& c) override { caption = c; }
    QString runCaption() const override { return caption; }
    void appendSample() override { ++samples; }
    void setCoolingTrace(bool on) override { cooling = on; }
    void restartTrace() override { ++restarts; }
    void askYesNo(const QString& text, std::function<void(bool)> answered) override {
        questions << text;
        pendingAnswer = std::move(answered);
    }
    QString status() const { return statuses.isEmpty() ? QString() : statuses.back(); }
};

// The example profile: 60, 140, 180 °C; X1 PERHEAT/OFF in park, X2 REFLOW/REFLOW and X3
// PERHEAT/REFLOW in normal mode.
inline std::array<profiles::RunEditor::Point, 3> northBridge() {
    return {{{"60", "PREHEAT BOARD", 1, 0, 1, false},
             {"140", "SOAK", 2, 1, 0, false},
             {"180", "REFLOW NOW", 1, 1, 0, false}}};
}

}  // namespace testsupport
