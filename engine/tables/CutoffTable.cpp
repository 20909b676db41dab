#include "engine/tables/CutoffTable.h"

#include <cmath>
#include <numbers>

namespace kettrix::engine {

CutoffTable::CutoffTable(double sampleRate) {
    for (int i = 0; i < kSize; ++i) {
        const double hz = 440.0 * std::pow(2.0, (i - 60) / 12.0);
        values[static_cast<std::size_t>(i)] = 2.0 * std::sin(std::numbers::pi * hz / sampleRate);
    }
}

}  // namespace kettrix::engine
