#include "profiles/overlay_panel.h"

#include "profiles/profile_curve.h"
#include "ui/widget_names.h"

#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace profiles {

namespace {

const QStringList kColumns{"Run", "X1", "X2", "X3", "Peak", "TAL"};

QString secondsText(const std::optional<double>& s) { return s ? QString("%1 s").arg(std::lround(*s)) : "--"; }

QString degreesText(const std::optional<double>& c, bool fahrenheit) {
    if (!c) return "--";
    return QString("%1 %2").arg(std::lround(displayTemperature(std::int16_t(std::lround(*c)), fahrenheit)))
        .arg(fahrenheit ? "F" : "C");
}

QIcon swatch(const QColor& colour) {
    QPixmap p(12, 12);
    p.fill(colour);
    return QIcon(p);
}

}  // namespace

OverlayPanel::OverlayPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("overlayPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Earlier runs on the chart"));
    table = ui::named(new QTableWidget(0, int(kColumns.size()), this), "overlayTable");
    table->setHorizontalHeaderLabels(kColumns);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(table);
    clearButton = ui::named(new QPushButton("Clear overlay", this), "clearOverlay");
    layout->addWidget(clearButton, 0, Qt::AlignRight);
    hide();
}

void OverlayPanel::showRuns(const std::vector<OverlayTrace>& runs, const std::optional<RunSummary>& current,
                            bool fahrenheit) {
    table->setRowCount(0);
    auto addRow = [&](const QString& name, const std::array<std::optional<double>, 3>& reached,
                      const std::optional<double>& peak, const std::optional<double>& tal, const QIcon& icon) {
        const int row = table->rowCount();
        table->insertRow(row);
        auto* first = new QTableWidgetItem(icon, name);
        table->setItem(row, 0, first);
        const QStringList cells{secondsText(reached[0]), secondsText(reached[1]), secondsText(reached[2]),
                                degreesText(peak, fahrenheit), secondsText(tal)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, c + 1, item);
        }
    };
    for (const OverlayTrace& run : runs) addRow(run.name, run.reachedS, run.peakC, run.aboveLiquidusS, swatch(run.colour));
    if (current)
        addRow(kThisRun, current->reachedS, current->peakC, std::optional<double>(current->aboveLiquidusS),
               swatch(Qt::white));
    // Wide enough for every column: the window grows beside the chart rather than scroll.
    table->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    table->setMinimumWidth(table->horizontalHeader()->length() + 2 * table->frameWidth());
    setVisible(!runs.empty());
}

}  // namespace profiles
