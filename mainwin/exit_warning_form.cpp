#include "mainwin/exit_warning_form.h"

#include "platform/clock.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mainwin {

frmExit_Warning::frmExit_Warning(platform::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint), clock_(clock) {
    setObjectName("frmExit_Warning");
    setWindowTitle("Disconnecting KR-9300 ...");
    auto* layout = new QVBoxLayout(this);
    WarningText = new QLabel(stationlink::kHandingBackText);
    WarningText->setObjectName("WarningText");
    WarningText->setMinimumWidth(360);
    WarningText->setWordWrap(true);
    ElapsedLabel = new QLabel("Elapsed Time: 0sec.");
    ElapsedLabel->setObjectName("ElapsedLabel");
    QFont f = ElapsedLabel->font();
    f.setBold(true);
    ElapsedLabel->setFont(f);
    Command1 = new QPushButton("Manual Disconnect");
    Command1->setObjectName("Command1");
    Command1->setEnabled(false);
    layout->addWidget(WarningText);
    layout->addWidget(ElapsedLabel);
    layout->addWidget(Command1);
    WarningText->setMinimumHeight(2 * WarningText->fontMetrics().lineSpacing());
    setFixedSize(sizeHint().expandedTo(QSize(380, 130)));
    timer_ = clock_.createTimer(1000, [this] { Timer1_Timer(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

frmExit_Warning::~frmExit_Warning() = default;

void frmExit_Warning::Form_Load() {
    Elapsed_Seconds = 0;
    ElapsedLabel->setText("Elapsed Time: 0sec.");
    Command1->setEnabled(false);
    timer_->setEnabled(true);
}

void frmExit_Warning::showWarning() {
    if (isVisible()) return;  // shown already: it keeps its count and its place
    Form_Load();
    show();
    raise();
}

void frmExit_Warning::setWarningText(const QString& text) { WarningText->setText(text); }

void frmExit_Warning::stopWarningTimer() { timer_->setEnabled(false); }

void frmExit_Warning::unloadWarning() {
    timer_->setEnabled(false);
    hide();
}

void frmExit_Warning::Timer1_Timer() {
    ++Elapsed_Seconds;
    ElapsedLabel->setText("Elapsed Time: " + QString::number(Elapsed_Seconds) + "sec.");
    if (Elapsed_Seconds >= 15) {
        Command1->setEnabled(true);
        timer_->setEnabled(false);
    }
    clock_.runPending();
}

void frmExit_Warning::Command1_Click() {
    if (manual_) manual_();
}

}  // namespace mainwin
