#pragma once
// Plays one hit sample once, at its stored rate, through a 6 dB low pass
// whose cutoff follows the note's hit level. For the "Analog" category
// (hit types 1..5) it holds the oscillator gate closed until the sample has
// played, so the oscillator section follows the click instead of sounding
// with it.
//
// Threads: audio thread; setSample on the parameter path under the plug-in
// lock. Nothing allocates.

#include "engine/DrumFilter.h"

#include <cstdint>

namespace kettrix::engine {

struct HitSamplePlayer {
    explicit HitSamplePlayer(double sampleRate);

    // The bank buffer of hit `type` (1..17); ignored when that type is
    // already loaded.
    void setSample(const double* buffer, std::int32_t length, std::int32_t type) noexcept;
    void start() noexcept;
    void stop() noexcept {
        playingFlag = 0;
        out = 0.0;
    }
    // RT: one output sample; cutoff is the 0..1 cutoff of the low pass.
    double tick(double amplitude, double cutoff) noexcept;

    // The "Analog" types whose end opens the oscillator gate.
    static bool holdsOscillatorGate(std::int32_t type) noexcept { return type >= 1 && type <= 5; }

    std::uint8_t gateOpen = 1;  // the oscillator section may sound
    DrumFilter filter;
    std::int32_t type = -1;
    std::int32_t index = 0;
    std::int32_t length = 0;
    double step;  // 44100 / sampleRate
    double acc = 0.0;
    std::int32_t retrigger = 1;
    const double* sample = nullptr;  // borrowed from the hit bank
    double out = 0.0;
    std::uint8_t playingFlag = 0;
};

}  // namespace kettrix::engine
