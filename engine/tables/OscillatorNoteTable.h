#pragma once
// Pitch-to-oscillator tables, built once per sample rate.
//
// A pitch value p (0 to 1) is the note index v = p * 120, clamped to 0..127,
// and note n sounds at 440 * 2^((n - 60) / 12) Hz. For each note the table
// holds the phase increment in wavetable samples per output sample and the
// index of the band-limited wavetable that the note reads: the table index
// steps up each time the harmonic limit floor(min(nyquist / f, 512)) changes,
// which gives exactly 76 tables (0..75) for a nyquist of 22050 Hz.

#include <array>
#include <cstdint>

#include "engine/EngineLimits.h"

namespace kettrix::engine {

struct PitchStep {
    double increment = 0.0;       // wavetable samples per output sample
    std::int32_t tableIndex = 0;  // 0 (most harmonics) .. 75 (a plain sine)
};

struct OscillatorNoteTable {
    static constexpr int kNotes = 128;
    static constexpr double kSemitonesPerUnit = kPitchSteps;

    // harmonicNyquist is fixed at 22050 Hz for the oscillator section,
    // whatever the sample rate; the cymbal generator passes half its rate.
    explicit OscillatorNoteTable(double sampleRate, double harmonicNyquist = 22050.0);

    // Interpolated increment and the table of the note below, at note index
    // v (clamped to 0..127; NaN reads note 0). At 127 the top increment is used.
    // Defined here so it inlines: FM converts a pitch on every sample.
    PitchStep atNote(double v) const noexcept {
        // The usual case first, so that it is the straight path.
        if (v > 0.0 && v < kNotes - 1) {
            const int i = static_cast<int>(v);
            return {increment[i] + slope[i] * (v - i), noteTable[i]};
        }
        if (v >= kNotes - 1) return {increment[kNotes - 1], noteTable[kNotes - 1]};
        return {increment[0] + slope[0] * 0.0, noteTable[0]};
    }
    PitchStep atPitch(double p) const noexcept { return atNote(p * kSemitonesPerUnit); }

    static double noteFrequency(int note);

    std::array<std::int32_t, kNotes> noteTable{};
    std::array<double, kNotes> increment{};
    // increment[n + 1] - increment[n] (0 for the top note), the difference
    // atNote interpolates with, taken once here instead of per call.
    std::array<double, kNotes> slope{};
};

}  // namespace kettrix::engine
