#pragma once
#include "history/run_chart.h"
#include "history/run_entry.h"
#include "process/paste_window.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QPushButton;
class QTableWidget;

namespace platform {
class Dialogs;
}

namespace history {

// One run from the history: its chart and figures, "Export" (the run record as CSV, or the
// chart as a picture) and "Open its profile in the editor".
class RunViewWindow : public QWidget {
public:
    RunViewWindow(RunEntry run, std::optional<process::PasteWindow> window, platform::Dialogs& dialogs,
                  QString saveFolder, std::function<void(const RunEntry&)> openProfile, QWidget* parent = nullptr);
    ~RunViewWindow() override;

    void exportRun();
    const RunEntry& run() const { return run_; }
    RunChart& chart() { return chart_; }
    // The figures as the table shows them: "name", "value".
    QList<std::pair<QString, QString>> figureLines() const;

    QTableWidget* figuresTable = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* openProfileButton = nullptr;

    static const QStringList& exportExtensions();

private:
    RunEntry run_;
    std::optional<process::PasteWindow> window_;
    std::unique_ptr<platform::Dialogs> dialogs_;
    QString saveFolder_;
    std::function<void(const RunEntry&)> openProfile_;
    RunChart chart_;
};

}  // namespace history
