#include "history/run_view_window.h"

#include "history/run_import.h"
#include "platform/dialogs.h"
#include "platform/picture_file.h"
#include "platform/text_file.h"
#include "ui/save_dialog.h"
#include "ui/widget_names.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace history {

namespace {

QString seconds(const std::optional<double>& s) { return s ? QString("%1 s").arg(std::lround(*s)) : "--"; }

QString pointText(const RunPoint& p) {
    return QString("%1 C, L.H. %2, U.H. %3%4, %5")
        .arg(p.celsius)
        .arg(p.lowerHeater.isEmpty() ? "--" : p.lowerHeater, p.upperHeater.isEmpty() ? "--" : p.upperHeater,
             p.fan ? ", FAN" : "", p.mode.isEmpty() ? "--" : p.mode);
}

}  // namespace

const QStringList& RunViewWindow::exportExtensions() {
    static const QStringList extensions{"csv", "jpg", "png", "gif", "bmp"};
    return extensions;
}

RunViewWindow::RunViewWindow(RunEntry run, std::optional<process::PasteWindow> window, platform::Dialogs& dialogs,
                             QString saveFolder, std::function<void(const RunEntry&)> openProfile, QWidget* parent)
    : QWidget(parent, Qt::Window),
      run_(std::move(run)),
      window_(std::move(window)),
      dialogs_(dialogs.ownedBy([this]() -> QWidget* { return this; })),
      saveFolder_(std::move(saveFolder)),
      openProfile_(std::move(openProfile)),
      chart_(this) {
    setObjectName("RunViewWindow");
    setWindowTitle("Run " + run_.started.toString("yyyy-MM-dd HH:mm:ss") + " - " + run_.profileName);
    auto* root = new QVBoxLayout(this);
    root->addWidget(chart_.plot(), 0, Qt::AlignHCenter);
    chart_.draw(run_, window_);

    figuresTable = ui::named(new QTableWidget(0, 2, this), "figuresTable");
    figuresTable->horizontalHeader()->hide();
    figuresTable->verticalHeader()->hide();
    figuresTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    figuresTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    figuresTable->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [name, value] : figureLines()) {
        const int row = figuresTable->rowCount();
        figuresTable->insertRow(row);
        figuresTable->setItem(row, 0, new QTableWidgetItem(name));
        figuresTable->setItem(row, 1, new QTableWidgetItem(value));
    }
    figuresTable->setWordWrap(false);
    figuresTable->verticalHeader()->setDefaultSectionSize(21);
    figuresTable->setMinimumHeight(21 * figuresTable->rowCount() + 2 * figuresTable->frameWidth());
    root->addWidget(figuresTable, 1);

    auto* buttons = new QHBoxLayout;
    exportButton = ui::named(new QPushButton("Export...", this), "exportRun");
    exportButton->setToolTip("Save the run record as CSV or the chart as a picture");
    openProfileButton = ui::named(new QPushButton("Open its profile in the editor", this), "openProfile");
    auto* close = ui::named(new QPushButton("Close", this), "closeRun");
    buttons->addWidget(exportButton);
    buttons->addWidget(openProfileButton);
    buttons->addStretch();
    buttons->addWidget(close);
    root->addLayout(buttons);
    connect(exportButton, &QPushButton::clicked, this, [this] { exportRun(); });
    connect(openProfileButton, &QPushButton::clicked, this, [this] {
        if (openProfile_) openProfile_(run_);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    openProfileButton->setEnabled(bool(openProfile_) && run_.points[2].celsius > 0);
    resize(800, 0);  // as high as the chart and every figure need
}

RunViewWindow::~RunViewWindow() = default;

QList<std::pair<QString, QString>> RunViewWindow::figureLines() const {
    QList<std::pair<QString, QString>> l;
    const RunEntry& r = run_;
    QString outcome = r.outcome;
    if (!r.outcomeDetail.isEmpty()) outcome += ": " + r.outcomeDetail;
    l << std::pair<QString, QString>{"Started", r.started.toString("yyyy-MM-dd HH:mm:ss")};
    l << std::pair<QString, QString>{"Outcome", outcome};
    l << std::pair<QString, QString>{"Verdict", r.verdictLine.isEmpty() ? "--" : r.verdictLine};
    l << std::pair<QString, QString>{"Board", r.board};
    l << std::pair<QString, QString>{"Operator", r.operatorName};
    l << std::pair<QString, QString>{"Profile", r.profileName + (r.alloy.isEmpty() ? QString() : ", " + r.alloy)};
    for (int p = 0; p < 3; ++p)
        l << std::pair<QString, QString>{QString("X%1").arg(p + 1), pointText(r.points[std::size_t(p)])};
    l << std::pair<QString, QString>{"Paste", r.paste};
    l << std::pair<QString, QString>{"Reached X1, X2, X3", QStringList{seconds(r.reachedS[0]), seconds(r.reachedS[1]),
                                                                        seconds(r.reachedS[2])}
                                                               .join(", ")};
    l << std::pair<QString, QString>{"Length", seconds(r.lengthS)};
    for (std::size_t i = 0; i < process::kStatistics.size(); ++i) {
        const process::Statistic s = process::kStatistics[i];
        QString value = r.figures[i] ? process::valueText(s, *r.figures[i]) : QString("--");
        if (window_) value += "   (window " + process::limitText(*window_, s) + ")";
        QString name = process::statisticName(s);
        name[0] = name[0].toUpper();
        l << std::pair<QString, QString>{name, value};
    }
    l << std::pair<QString, QString>{"PWI", r.pwi ? QString("%1%").arg(std::lround(*r.pwi)) : QString("--")};
    l << std::pair<QString, QString>{"Station", (r.station.isEmpty() ? QString() : r.station + ": ") +
                                                    (r.stationId.isEmpty() ? QString("--") : r.stationId) +
                                                    (r.firmware.isEmpty() ? QString() : ", firmware " + r.firmware)};
    l << std::pair<QString, QString>{"Record", r.csvFile};
    return l;
}

void RunViewWindow::exportRun() {
    const ui::SaveRequest request{"Export Run",
                                  "Run Record (*.csv)|*.csv|JPG Picture (*.jpg)|*.jpg|PNG Picture (*.png)|*.png|"
                                  "GIF Picture (*.gif)|*.gif|BMP Picture (*.bmp)|*.bmp",
                                  QFileInfo(run_.csvFile).completeBaseName(), exportExtensions(),
                                  "runs are"};
    ui::askSaveName(*dialogs_, saveFolder_, request, [this](const QString& name) {
        QString error;
        if (name.endsWith(".csv", Qt::CaseInsensitive)) {
            const platform::TextWrite w = platform::writeTextLines(name, recordLines(run_.rows));
            if (!w.ok()) error = "The run could not be written to " + name + " (" + w.error + ").";
        } else {
            platform::savePicture(chart_.picture(), name, &error);
        }
        if (!error.isEmpty()) dialogs_->message("Export Run", error);
    });
}

}  // namespace history
