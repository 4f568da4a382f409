#include "ui/trace_store.h"

#include <algorithm>

namespace ui {

TraceStore::TraceStore(std::int16_t& count, bool& resetRequested) : count_(count), reset_(resetRequested) {
    clear();
}

void TraceStore::clear() { samples_.fill(kNoValue); }

bool TraceStore::takeReset() {
    if (!reset_) return false;
    clear();
    reset_ = false;
    samples_[0] = 0;
    count_ = 0;
    return true;
}

void TraceStore::set(int index, double value) {
    if (index >= 0 && index < kSize) samples_[std::size_t(index)] = value;
}

void TraceStore::scrollIn(double value) {
    std::move(samples_.begin() + 1, samples_.end(), samples_.begin());
    samples_[kSize - 1] = value;
}

double TraceStore::at(int index) const {
    return index >= 0 && index < kSize ? samples_[std::size_t(index)] : kNoValue;
}

}  // namespace ui
