#include "engine/tables/CutoffTable.h"

#include "engine/EngineLimits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kettrix::engine {

namespace {
// Highest cutoff as a fraction of the sample rate: the top of the scale at
// the reference rate (14080 Hz at 44.1 kHz). The filters were tuned for the
// coefficients up to there; above half the rate the sine even folds back and,
// past the rate, turns negative. At 44.1 kHz and more nothing is held.
constexpr double kHighestRatio = 14080.0 / kReferenceRate;
}  // namespace

CutoffTable::CutoffTable(double sampleRate) {
    for (int i = 0; i < kSize; ++i) {
        const double hz = 440.0 * std::pow(2.0, (i - 60) / 12.0);
        const double ratio = std::min(hz / sampleRate, kHighestRatio);
        values[static_cast<std::size_t>(i)] = 2.0 * std::sin(std::numbers::pi * ratio);
    }
}

}  // namespace kettrix::engine
