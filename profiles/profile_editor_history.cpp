// The editor's part in the run history: the Board and Operator boxes, what it tells about a
// run's start and end, and earlier runs drawn on its chart.
#include "profiles/profile_editor_form.h"

#include "core/shared_state.h"
#include "profiles/overlay_panel.h"
#include "profiles/run_identity.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace profiles {

void Profile_Editor_Form::buildHistoryControls(QVBoxLayout* root, QHBoxLayout* chartRow) {
    overlayPanel = new OverlayPanel(this);
    chartRow->addWidget(overlayPanel);
    chartRow->addStretch();
    connect(overlayPanel->clearButton, &QPushButton::clicked, this, [this] { setOverlay({}); });
    const RunIdentityBoxes boxes = makeRunIdentityBoxes(this);
    boardBox = boxes.board;
    operatorBox = boxes.operatorName;
    root->addLayout(boxes.row);
    connect(operatorBox, &QLineEdit::editingFinished, this, [this] {
        if (rememberOperator_) rememberOperator_(operatorName());
    });
}

void Profile_Editor_Form::setOperatorMemory(const QString& name, std::function<void(const QString&)> remember) {
    operatorBox->setText(identityText(name));
    rememberOperator_ = std::move(remember);
}

QString Profile_Editor_Form::board() const { return identityText(boardBox->text()); }
QString Profile_Editor_Form::operatorName() const { return identityText(operatorBox->text()); }

void Profile_Editor_Form::setOverlay(std::vector<OverlayTrace> runs) {
    if (runs.size() > std::size_t(kMostOverlays)) runs.resize(std::size_t(kMostOverlays));
    chart_->setOverlay(std::move(runs));
    chart_->RequestChartRedraw();
    refreshOverlayTable();
}

void Profile_Editor_Form::refreshOverlayTable() {
    std::optional<RunSummary> current;
    if (!record_->rows().empty())
        current = summarizeRun(record_->rows(), RunOutcome::Finished, runFacts_.profile.ProfileName, runFacts_.pointsC,
                               runFacts_.profile.Alloy == AlloyKind::LeadFree);
    overlayPanel->showRuns(chart_->overlay(), current, state_.Settings.TempUnit != 0);
}

}  // namespace profiles
