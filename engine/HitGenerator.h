#pragma once
// The "Hit Generator" hit type: a click synthesized by a frequency-modulated
// oscillator pair (both reading the "Sine (808)" set) whose pitches are
// thrown up by a very short modulation envelope while a short volume
// envelope closes it. "Hit Modulation Decay" stretches both envelopes.
//
// Threads: audio thread; setters on the parameter path under the plug-in
// lock. Nothing allocates after construction.

#include "engine/Envelope.h"
#include "engine/OscillatorCore.h"

#include <cstdint>

namespace kettrix::engine {

struct HitGenerator {
    explicit HitGenerator(double sampleRate);

    // Both oscillators read this set (the engine gives "Sine (808)").
    void setTableSet(const WavetableSet& set) noexcept;

    void start() noexcept;
    // RT: one sample. p1 carrier pitch, p2 modulator pitch, modAmount scales
    // the modulation envelope, fm the FM depth.
    double tick(double p1In, double p2In, double modAmountIn, double fm) noexcept;
    std::uint8_t updateActive() noexcept;

    std::uint8_t active = 0;
    EnvelopePair modulation;
    EnvelopePair volumeEnv;
    OscillatorCore core;
    double decay = 0.0;     // "Hit Modulation Decay", 0..1
    double envDepth = 1.0;  // volume envelope depth
    double modOut = 0.0;    // modulation output times modAmount
    double amp = 0.0;
    double p1 = 0.0, p2 = 0.0, modAmount = 0.0;
};

}  // namespace kettrix::engine
