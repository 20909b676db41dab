#pragma once
// The "Cymbal Generator" noise type: six detuned oscillators reading the
// cymbal wavetable set, summed with alternating signs and sent through two
// fixed band-pass filters, which leaves a clangy, inharmonic metal noise.
//
// Threads: audio thread; the setters run on the parameter path under the
// plug-in lock. Nothing allocates after construction.

#include "engine/DrumFilter.h"
#include "engine/WavetableBank.h"
#include "engine/tables/OscillatorNoteTable.h"

#include <array>
#include <cstdint>

namespace kettrix::engine {

struct CymbalGenerator {
    static constexpr int kOscillators = 6;

    explicit CymbalGenerator(double sampleRate);

    // The cymbal wavetable set (borrowed from the WavetableBank).
    void setTableSet(const WavetableSet& set) noexcept { tables = &set; }

    // "Noise color": spreads the six oscillators from note index 28 upwards
    // (colour 0: about 69 to 247 Hz; colour 1: about 330 Hz to 2.3 kHz).
    void setColor(double col) noexcept;

    // Moves the two band-pass filters up with the section's pitch.
    void setColorFilters(double pitch) noexcept;

    // RT: one sample.
    double sample() noexcept;
    // RT: `frames` samples, the same as that many sample() calls, with the
    // oscillators and both filters in locals.
    void render(double* out, int frames) noexcept;

    // Band limiting as the oscillators', but against half the actual rate.
    OscillatorNoteTable notes;
    std::array<double, kOscillators> phase{};
    std::array<double, kOscillators> increment{};
    std::array<std::int32_t, kOscillators> tableIndex{};
    const WavetableSet* tables = &WavetableBank::silentSet();
    double stableCutoff;  // highest band-pass cutoff value stable at this rate
    DrumFilter filterA;
    DrumFilter filterB;
};

}  // namespace kettrix::engine
