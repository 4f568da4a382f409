#include "history/run_history_window.h"

#include "history/run_database.h"
#include "history/run_list_model.h"
#include "history/run_view_window.h"
#include "history/shop_mirror.h"
#include "platform/dialogs.h"
#include "ui/widget_names.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace history {

using ui::named;

RunHistoryWindow::RunHistoryWindow(RunDatabase& db, platform::Dialogs& dialogs, QString saveFolder,
                                   QList<process::PasteWindow> windows, QWidget* parent)
    : QWidget(parent, Qt::Window),
      db_(db),
      dialogs_(dialogs.ownedBy([this]() -> QWidget* { return this; })),
      saveFolder_(std::move(saveFolder)),
      windows_(std::move(windows)) {
    setObjectName("RunHistoryWindow");
    setWindowTitle("Run History");
    buildControls();
    if (db_.isOpen()) {
        model_ = new RunListModel(db_.connection(), this);
        model_->setTooManyHandler([this] { dialogs_->message("Run History", kTooMany); });
        runTable->setModel(model_);
        // Each new query resets the header: the run id stays hidden, the dates wide enough.
        connect(model_, &QAbstractItemModel::modelReset, this, [this] {
            runTable->setColumnHidden(RunListModel::RunId, true);
        });
        runTable->horizontalHeader()->setSortIndicator(RunListModel::Date, Qt::DescendingOrder);
        model_->refresh();
        runTable->resizeColumnsToContents();
        runTable->setColumnWidth(RunListModel::Date, 150);
    } else {
        for (QWidget* w : QList<QWidget*>{filterBox, datesBox, openButton, overlayButton}) w->setEnabled(false);
    }
    listStations();
    showNotices();
    showCount();
    resize(1060, 560);
}

RunHistoryWindow::~RunHistoryWindow() { delete runWindow_.data(); }

RunViewWindow* RunHistoryWindow::runWindow() const { return runWindow_.data(); }

void RunHistoryWindow::buildControls() {
    auto* root = new QVBoxLayout(this);
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel("Find:"));
    filterBox = named(new QLineEdit, "filterBox");
    filterBox->setPlaceholderText("Board, operator or profile");
    filterBox->setClearButtonEnabled(true);
    filterBox->setMinimumWidth(240);
    search->addWidget(filterBox);
    stationBox = named(new QComboBox, "stationBox");
    stationBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    search->addWidget(stationBox);
    search->addSpacing(16);
    datesBox = named(new QCheckBox("From"), "datesBox");
    search->addWidget(datesBox);
    fromDate = named(new QDateEdit(QDate::currentDate().addMonths(-1)), "fromDate");
    toDate = named(new QDateEdit(QDate::currentDate()), "toDate");
    for (QDateEdit* d : {fromDate, toDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat("yyyy-MM-dd");
        d->setEnabled(false);
    }
    search->addWidget(fromDate);
    search->addWidget(new QLabel("to"));
    search->addWidget(toDate);
    search->addStretch();
    countLabel = named(new QLabel, "countLabel");
    search->addWidget(countLabel);
    root->addLayout(search);

    noticeLabel = named(new QLabel, "noticeLabel");
    noticeLabel->setWordWrap(true);
    noticeLabel->setStyleSheet("QLabel { background: #FFF3C4; border: 1px solid #D8B840; padding: 4px; }");
    root->addWidget(noticeLabel);

    runTable = named(new QTableView, "runTable");
    runTable->setSortingEnabled(true);
    runTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    runTable->setSelectionMode(QAbstractItemView::SingleSelection);
    runTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    runTable->setAlternatingRowColors(true);
    runTable->verticalHeader()->hide();
    runTable->verticalHeader()->setDefaultSectionSize(22);
    runTable->setWordWrap(false);
    runTable->horizontalHeader()->setStretchLastSection(true);
    root->addWidget(runTable, 1);

    auto* buttons = new QHBoxLayout;
    openButton = named(new QPushButton("Open Run"), "openRun");
    openButton->setToolTip("The run's chart and figures");
    overlayButton = named(new QPushButton("Show on the profile chart"), "showOverlay");
    overlayButton->setToolTip("Draw the ticked runs (up to five) behind the live trace of the profile editor");
    auto* clearTicks = named(new QPushButton("Clear Ticks"), "clearTicks");
    auto* close = named(new QPushButton("Close"), "closeHistory");
    buttons->addWidget(openButton);
    buttons->addWidget(overlayButton);
    buttons->addWidget(clearTicks);
    buttons->addStretch();
    buttons->addWidget(close);
    root->addLayout(buttons);

    connect(stationBox, &QComboBox::activated, this, [this](int i) {
        if (!model_) return;
        model_->setStation(i > 0 ? stationBox->itemText(i) : QString());
        showCount();
    });
    connect(filterBox, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!model_) return;
        model_->setFilterText(text);
        showCount();
    });
    connect(datesBox, &QCheckBox::toggled, this, [this](bool on) {
        fromDate->setEnabled(on);
        toDate->setEnabled(on);
        applyDates();
    });
    connect(fromDate, &QDateEdit::dateChanged, this, [this] { applyDates(); });
    connect(toDate, &QDateEdit::dateChanged, this, [this] { applyDates(); });
    connect(runTable, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { openRun(i.row()); });
    connect(openButton, &QPushButton::clicked, this, [this] {
        const QModelIndexList rows = runTable->selectionModel() ? runTable->selectionModel()->selectedRows()
                                                                : QModelIndexList();
        if (!rows.isEmpty()) openRun(rows.first().row());
    });
    connect(overlayButton, &QPushButton::clicked, this, [this] { showOverlay(); });
    connect(clearTicks, &QPushButton::clicked, this, [this] {
        if (model_) model_->clearTicks();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void RunHistoryWindow::applyDates() {
    if (!model_) return;
    if (datesBox->isChecked()) model_->setDateRange(fromDate->date(), toDate->date());
    else model_->setDateRange(std::nullopt, std::nullopt);
    showCount();
}

void RunHistoryWindow::setNotice(const QString& text) {
    waiting_ = text;
    showNotices();
}

void RunHistoryWindow::showNotices() {
    QStringList lines;
    for (const QString& line : {db_.problem(), shop_ && !onShop_ ? shop_->notice() : QString(), waiting_})
        if (!line.isEmpty()) lines << line;
    noticeLabel->setText(lines.join('\n'));
    noticeLabel->setVisible(!lines.isEmpty());
}

void RunHistoryWindow::setShop(ShopMirror* mirror) {
    if (shop_) shop_->disconnect(this);
    shop_ = mirror;
    if (mirror) connect(mirror, &ShopMirror::refreshed, this, [this] { applySource(); });
    applySource();
}

const RunDatabase& RunHistoryWindow::source() const { return onShop_ && shop_ ? shop_->database() : db_; }

// After each reading of the shop: its runs while it answers, this PC's when it does not.
void RunHistoryWindow::applySource() {
    const bool shop = model_ && shop_ && shop_->reached() && shop_->database().isOpen();
    if (model_ && (shop != onShop_ || shop)) {
        onShop_ = shop;
        model_->setDatabase(source().connection());
        listStations();
        showCount();
    }
    showNotices();
}

void RunHistoryWindow::refresh() {
    if (!model_) return;
    model_->refresh();
    listStations();
    showCount();
}

void RunHistoryWindow::listStations() {
    const QString chosen = stationBox->currentIndex() > 0 ? stationBox->currentText() : QString();
    stationBox->clear();
    stationBox->addItem("All stations");
    stationBox->addItems(model_ ? model_->stations() : QStringList());
    stationBox->setCurrentIndex(std::max(0, stationBox->findText(chosen)));
}

QString RunHistoryWindow::countText() const {
    if (!model_) return "No runs";
    const int total = model_->totalCount();
    const QString runs = total == 1 ? "run" : "runs";
    if (model_->matchCount() == total) return QString("%1 %2").arg(total).arg(runs);
    return QString("%1 of %2 %3").arg(model_->matchCount()).arg(total).arg(runs);
}

void RunHistoryWindow::showCount() { countLabel->setText(countText()); }

void RunHistoryWindow::openRun(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount()) return;
    const QString id = model_->runId(row);
    if (!onShop_) return openFrom(db_, id);
    // Another bench's readings come from the server the first time.
    QPointer<RunHistoryWindow> self(this);
    ShopMirror* shop = shop_;
    shop->fetchRows({id}, [self, shop, id](const QString& error) {
        if (!self) return;
        if (!error.isEmpty()) return self->dialogs_->message("Run History", QString(kNotFetched) + error);
        self->openFrom(shop->database(), id);
    });
}

void RunHistoryWindow::openFrom(const RunDatabase& db, const QString& runId) {
    const std::optional<RunEntry> run = db.run(runId);
    if (!run) {
        dialogs_->message("Run History", "The run could not be read from the history: " + db.lastError());
        return;
    }
    delete runWindow_.data();
    runWindow_ = new RunViewWindow(*run, process::findWindow(windows_, run->paste), *dialogs_, saveFolder_,
                                   onOpenProfile_, this);
    runWindow_->setAttribute(Qt::WA_DeleteOnClose);
    runWindow_->show();
}

void RunHistoryWindow::showOverlay() {
    if (!model_ || model_->tickedRuns().isEmpty()) {
        dialogs_->message("Run History", kNoneTicked);
        return;
    }
    if (!onOverlay_) return;
    const QStringList ids = model_->tickedRuns();
    if (!onShop_) return onOverlay_(db_, ids);
    QPointer<RunHistoryWindow> self(this);
    ShopMirror* shop = shop_;
    shop->fetchRows(ids, [self, shop, ids](const QString& error) {
        if (!self) return;
        if (!error.isEmpty()) return self->dialogs_->message("Run History", QString(kNotFetched) + error);
        self->onOverlay_(shop->database(), ids);
    });
}

}  // namespace history
