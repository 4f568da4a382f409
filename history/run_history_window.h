#pragma once
#include "history/run_entry.h"
#include "process/paste_window.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace platform {
class Dialogs;
}

namespace history {

class RunDatabase;
class RunListModel;
class ShopMirror;
class RunViewWindow;

// "Run History": every run the database holds, newest first, sortable by every column,
// found by board, operator or profile and by date; a run opens in a window of its own; up
// to five ticked runs go on the profile editor's chart. Nothing here deletes a run.
class RunHistoryWindow : public QWidget {
public:
    RunHistoryWindow(RunDatabase& db, platform::Dialogs& dialogs, QString saveFolder,
                     QList<process::PasteWindow> windows, QWidget* parent = nullptr);
    ~RunHistoryWindow() override;

    // "Show on the profile chart" hands over the ticked runs' ids and the database that
    // holds their readings.
    using OverlayHandler = std::function<void(const RunDatabase&, const QStringList&)>;
    void setOverlayHandler(OverlayHandler show) { onOverlay_ = std::move(show); }
    void setOpenProfileHandler(std::function<void(const RunEntry&)> open) { onOpenProfile_ = std::move(open); }
    // A line under the search row (how many runs wait for the shop database); empty hides
    // it. Why there is no history, or why the shop's runs are not shown, stand above it.
    void setNotice(const QString& text);
    // The shop's runs, shown while its last reading reached the server; this PC's runs
    // with a notice otherwise. Switches by itself when a reading answers.
    void setShop(ShopMirror* mirror);
    bool showingShop() const { return onShop_; }
    // Where the listed runs are read from.
    const RunDatabase& source() const;
    // The database again: a run ended or was imported.
    void refresh();
    void openRun(int row);
    RunViewWindow* runWindow() const;
    RunListModel* model() const { return model_; }
    QString countText() const;

    QLineEdit* filterBox = nullptr;
    QComboBox* stationBox = nullptr;  // "All stations" and each bench the database knows
    QCheckBox* datesBox = nullptr;
    QDateEdit* fromDate = nullptr;
    QDateEdit* toDate = nullptr;
    QLabel* countLabel = nullptr;
    QLabel* noticeLabel = nullptr;
    QTableView* runTable = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* overlayButton = nullptr;

    static constexpr const char* kTooMany = "At most five runs can be shown on the profile chart.";
    static constexpr const char* kNotFetched = "The run's readings could not be read from the shop database. ";
    static constexpr const char* kNoneTicked = "Tick the runs to show on the profile chart (up to five).";

private:
    void buildControls();
    void applyDates();
    void showCount();
    void showOverlay();
    void listStations();
    void applySource();
    void showNotices();
    void openFrom(const RunDatabase& db, const QString& runId);

    RunDatabase& db_;
    std::unique_ptr<platform::Dialogs> dialogs_;
    QString saveFolder_;
    QList<process::PasteWindow> windows_;
    RunListModel* model_ = nullptr;
    QPointer<RunViewWindow> runWindow_;
    OverlayHandler onOverlay_;
    QPointer<ShopMirror> shop_;
    bool onShop_ = false;
    QString waiting_;
    std::function<void(const RunEntry&)> onOpenProfile_;
};

}  // namespace history
