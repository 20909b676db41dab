#include "engine/tables/CutoffTable.h"

#include "engine/EngineLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kettrix::engine {

namespace {
// Highest cutoff as a fraction of the sample rate: the top of the scale at
// the reference rate (14080 Hz at 44.1 kHz). The filters were tuned for the
// coefficients up to there; above half the rate the sine even folds back and,
// past the rate, turns negative.
constexpr double kHighestRatio = 14080.0 / kReferenceRate;
}  // namespace

CutoffTable::CutoffTable(double sampleRate) {
    // Every filter carries its own copy, so an instance builds this table a
    // few hundred times at each rate, which took most of the time of making
    // an instance or changing its rate. The last table built on this thread
    // is kept and copied when the same rate comes again: per thread, so no
    // lock, and the copy holds exactly what a fresh build gives.
    thread_local double lastRate = std::numeric_limits<double>::quiet_NaN();  // equals no rate
    thread_local std::array<double, kSize> lastValues{};
    if (sampleRate == lastRate) {
        values = lastValues;
        return;
    }
    for (int i = 0; i < kSize; ++i) {
        const double hz = 440.0 * std::pow(2.0, (i - 60) / 12.0);
        // Below the reference rate the top of the scale is held; at and above
        // it the entries are exactly those the filters were voiced with.
        const double held = sampleRate < kReferenceRate ? std::min(hz, kHighestRatio * sampleRate) : hz;
        values[static_cast<std::size_t>(i)] = 2.0 * std::sin(std::numbers::pi * held / sampleRate);
    }
    lastRate = sampleRate;
    lastValues = values;
}

}  // namespace kettrix::engine
