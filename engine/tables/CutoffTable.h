#pragma once
// Filter coefficient per semitone of the cutoff scale, built once per sample
// rate: entry i = 2 sin(pi f_i / sampleRate) with f_i = 440 x 2^((i - 60) / 12),
// so index 0 is 13.75 Hz, 60 is 440 Hz and 120 is 14080 Hz. Below 44.1 kHz
// f_i is held at 14080 / 44100 of the rate: no entry exceeds the top one at
// 44.1 kHz, for which the filters were tuned.

#include <array>

namespace kettrix::engine {

struct CutoffTable {
    static constexpr int kSize = 128;

    explicit CutoffTable(double sampleRate);

    // Linear interpolation at v (0 <= v <= 120; callers clamp first).
    double lookup(double v) const noexcept {
        const int i = static_cast<int>(v);
        const double t = v - i;
        return values[i] + (values[i + 1] - values[i]) * t;
    }

    std::array<double, kSize> values{};
};

}  // namespace kettrix::engine
