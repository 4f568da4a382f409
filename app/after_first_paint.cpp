#include "app/after_first_paint.h"

#include "platform/clock.h"

#include <QEvent>
#include <QWidget>

namespace app {

AfterFirstPaint::AfterFirstPaint(QWidget& window, platform::Clock& clock, int latestMs, std::function<void()> work)
    : window_(window), clock_(clock), work_(std::move(work)) {
    latest_ = clock_.createTimer(latestMs, [this] { due(); });
    latest_->setEnabled(true);
    window_.installEventFilter(this);
}

AfterFirstPaint::~AfterFirstPaint() { window_.removeEventFilter(this); }

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Paint && !done_) {
        window_.removeEventFilter(this);
        latest_->setInterval(0);  // as soon as events run after this paint
    }
    return false;
}

void AfterFirstPaint::due() {
    latest_->setEnabled(false);
    if (done_) return;
    done_ = true;
    window_.removeEventFilter(this);
    if (work_) work_();
}

}  // namespace app
