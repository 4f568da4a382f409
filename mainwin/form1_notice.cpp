// The status bar's notice: a safety event or a run stopped by the guard, said outside the
// trend's banner while plotting is off, until the operator takes note or the event is over.
#include "mainwin/form1.h"

#include "core/shared_state.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

namespace mainwin {

void Form1::buildNoticeBar() {
    SafetyNoticeBar = new QFrame;
    SafetyNoticeBar->setObjectName("SafetyNoticeBar");
    SafetyNoticeBar->setStyleSheet("#SafetyNoticeBar { background: #dd0000; }"
                                   "#SafetyNoticeBar QLabel { color: white; font-weight: bold; }");
    auto* row = new QHBoxLayout(SafetyNoticeBar);
    row->setContentsMargins(6, 1, 2, 1);
    SafetyNoticeText = new QLabel;
    SafetyNoticeText->setObjectName("SafetyNoticeText");
    SafetyNoticeText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SafetyNoticeOk = new QPushButton("OK");
    SafetyNoticeOk->setObjectName("SafetyNoticeOk");
    SafetyNoticeOk->setToolTip("Taken note of: hide this notice");
    SafetyNoticeOk->setMaximumHeight(20);
    SafetyNoticeOk->setFlat(true);
    SafetyNoticeOk->setStyleSheet("QPushButton { color: white; font-weight: bold; border: 1px solid white; padding: 0 8px; }");
    row->addWidget(SafetyNoticeText, 1);
    row->addWidget(SafetyNoticeOk);
    statusBar()->insertWidget(0, SafetyNoticeBar, 3);
    SafetyNoticeBar->setVisible(false);
    connect(SafetyNoticeOk, &QPushButton::clicked, this, [this] { acknowledgeNotice(); });
}

void Form1::showGuardStop(const QString& reason) {
    guardStop_ = "Run stopped by the guard: " + reason;
    refreshNoticeBar();
}

QString Form1::statusNotice() const { return SafetyNoticeBar->isVisibleTo(this) ? SafetyNoticeText->text() : QString(); }

void Form1::refreshNoticeBar() {
    if (!SafetyNoticeBar) return;
    QString text = noticeText(notice_);
    if (text == acknowledged_) text.clear();
    if (text.isEmpty()) text = guardStop_;
    const bool plotting = state_.Settings.AutoTCPlot && state_.MachineOnline;
    const bool show = !text.isEmpty() && !plotting;
    if (text == SafetyNoticeText->text() && show == SafetyNoticeBar->isVisibleTo(this)) return;  // as shown
    SafetyNoticeText->setText(text);
    SafetyNoticeText->setToolTip(text);
    QFont bold = SafetyNoticeText->font();  // as the style sheet draws it
    bold.setBold(true);
    const int room = QFontMetrics(bold).horizontalAdvance(text) + 70;
    if (show) SafetyNoticeBar->setMinimumWidth(std::min(room, 560));
    if (SafetyNoticeBar->isVisibleTo(this) == show) return;
    // The panels beside it give up room while it shows; the window keeps its size.
    StatusBar1[0]->setMinimumWidth(show ? 200 : 330);
    for (int i = 1; i < 3; ++i) StatusBar1[std::size_t(i)]->setMinimumWidth(show ? 90 : 160);
    SafetyNoticeBar->setVisible(show);
}

void Form1::acknowledgeNotice() {
    if (SafetyNoticeText->text() == guardStop_) guardStop_.clear();
    else acknowledged_ = SafetyNoticeText->text();
    refreshNoticeBar();
}

}  // namespace mainwin
