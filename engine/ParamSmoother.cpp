#include "engine/ParamSmoother.h"

#include <cmath>

namespace kettrix::engine {

ParamSmoother::ParamSmoother(double sampleRate) { setSampleRate(sampleRate); }

void ParamSmoother::registerParam(int index) {
    if (index < 0 || index >= kParameterCount) return;
    Entry& e = entries_[static_cast<unsigned>(index)];
    if (e.registered) return;
    e.registered = 1;
    e.settled = 1;
    e.current = e.target = 0.0;
    e.link = index;
}

bool ParamSmoother::isRegistered(int index) const {
    return index >= 0 && index < kParameterCount && entries_[static_cast<unsigned>(index)].registered != 0;
}

void ParamSmoother::setTarget(int index, double value) {
    if (!isRegistered(index)) return;
    Entry& e = entries_[static_cast<unsigned>(index)];
    e.target = value;
    if (e.settled) {
        e.settled = 0;
        moving_[static_cast<unsigned>(movingCount_++)] = index;
    }
}

void ParamSmoother::setSampleRate(double sampleRate) {
    sampleRate_ = sampleRate;
    // Same glide duration at every rate: a time constant of 2000 samples at
    // 44.1 kHz.
    coef_ = kReferenceRate / sampleRate * 0.0005;
}

void ParamSmoother::settleAll() {
    for (int m = 0; m < movingCount_; ++m) snap(entries_[static_cast<unsigned>(moving_[static_cast<unsigned>(m)])]);
    movingCount_ = 0;
}

void ParamSmoother::snap(Entry& e) noexcept {
    e.settled = 1;
    Entry& snapped = entries_[static_cast<unsigned>(e.link)];
    snapped.current = e.target;
    snapped.target = e.target;
}

void ParamSmoother::glide() noexcept {
    bool anySettled = false;
    for (int m = 0; m < movingCount_; ++m) {
        Entry& e = entries_[static_cast<unsigned>(moving_[static_cast<unsigned>(m)])];
        e.current += (e.target - e.current) * coef_;
        if (std::fabs(e.current - e.target) < kSettleDistance) {
            snap(e);
            anySettled = true;
        }
    }
    if (!anySettled) return;
    int kept = 0;
    for (int m = 0; m < movingCount_; ++m) {
        const int index = moving_[static_cast<unsigned>(m)];
        if (!entries_[static_cast<unsigned>(index)].settled) moving_[static_cast<unsigned>(kept++)] = index;
    }
    movingCount_ = kept;
}

}  // namespace kettrix::engine
