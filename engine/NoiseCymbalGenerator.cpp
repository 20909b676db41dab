#include "engine/NoiseCymbalGenerator.h"

#include "engine/EngineLimits.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kettrix::engine {

namespace {

// Note-index offsets of the six oscillators above the colour's base note.
constexpr std::array<double, CymbalGenerator::kOscillators> kOffsets{0.0, 6.0, 6.5, 10.0, 17.5, 22.0};

// A phase past the cycle's end, 1023 steps, brought back into it. Below two
// cycles the subtraction is exact and so equals the remainder; only an
// increment of more than a whole cycle (very low sample rates) needs fmod.
double wrapCycle(double phase) { return phase < 2046.0 ? phase - 1023.0 : std::fmod(phase, 1023.0); }

}  // namespace

CymbalGenerator::CymbalGenerator(double sampleRate)
    : notes(sampleRate, sampleRate * 0.5),
      // The undamped band-pass runs away once its centre passes about a fifth
      // of the sample rate. From 44.1 kHz up the limit lies above the filters'
      // own ceiling (0.92, about 8 kHz) and changes nothing; at lower rates it
      // keeps the generator stable.
      stableCutoff((60.0 + 12.0 * std::log2(0.2 * sampleRate / 440.0)) / kPitchSteps),
      filterA(sampleRate),
      filterB(sampleRate) {
    setColor(0.0);
    setColorFilters(0.5);
}

void CymbalGenerator::setColor(double col) noexcept {
    const double base = col * 24.0 + 28.0;
    const double spread = col * 0.8 + 1.0;
    for (int k = 0; k < kOscillators; ++k) {
        double v = base + spread * kOffsets[static_cast<std::size_t>(k)];
        if (!(v > 0.0)) v = 0.0;  // also catches NaN
        v = std::min(v, 127.0);
        const PitchStep step = notes.atNote(v);
        increment[static_cast<std::size_t>(k)] = step.increment;
        // Against half of a high sample rate the harmonic limit changes more
        // often than 76 times; the set only has tables 0..75.
        tableIndex[static_cast<std::size_t>(k)] = std::clamp(step.tableIndex, 0, kWavetablesPerSet - 1);
    }
}

void CymbalGenerator::setColorFilters(double pitch) noexcept {
    const double d = std::min(pitch, 1.0) * 0.9 * 0.2;
    filterA.setFixed(std::min(0.65 + d, stableCutoff), 0.7);
    filterB.setFixed(std::min(0.75 + d, stableCutoff), 0.7);
}

double CymbalGenerator::sample() noexcept {
    double x = 0.0;
    for (int k = 0; k < kOscillators; ++k) {
        const auto i = static_cast<std::size_t>(k);
        phase[i] += increment[i];
        if (phase[i] > 1023.0) phase[i] = wrapCycle(phase[i]);
        const double s = (*tables)[static_cast<std::size_t>(tableIndex[i])][static_cast<std::size_t>(phase[i])];
        x += (k % 2 == 0) ? s : -s;
    }
    const double a = filterA.process(x, 0.0, 0.0, kFilterFixedBandPass);
    return filterB.process(a, 0.0, 0.0, kFilterFixedBandPass) * 0.3;
}

void CymbalGenerator::render(double* out, int frames) noexcept {
    using Band = filter_kernel::Kernel<kFilterFixedBandPass>;
    std::array<double, kOscillators> p = phase;
    std::array<const double*, kOscillators> table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = (*tables)[static_cast<std::size_t>(tableIndex[i])].data();
    DrumFilterState a = filterA;
    DrumFilterState b = filterB;
    for (int k = 0; k < frames; ++k) {
        double x = 0.0;
        for (std::size_t i = 0; i < kOscillators; ++i) {
            p[i] += increment[i];
            if (p[i] > 1023.0) p[i] = wrapCycle(p[i]);
            // The phase lies in 0..1023: a signed conversion reads the same
            // index as the unsigned one and costs one instruction, and at the
            // pointer's width the index needs no sign extension.
            const double s = table[i][static_cast<std::ptrdiff_t>(p[i])];
            x += (i % 2 == 0) ? s : -s;
        }
        const double y = Band::mono(a, filterA.cutoffTable, x, 0.0, 0.0);
        out[k] = Band::mono(b, filterB.cutoffTable, y, 0.0, 0.0) * 0.3;
    }
    phase = p;
    static_cast<DrumFilterState&>(filterA) = a;
    static_cast<DrumFilterState&>(filterB) = b;
}

}  // namespace kettrix::engine
