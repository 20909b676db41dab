// Helpers for driving noise and hit voices the way a drum sound does.
#pragma once

#include "engine/NoiseVoice.h"
#include "engine/SampleBank.h"

#include <cstdint>
#include <vector>

namespace kettrix::testing {

// A loaded noise bank, built once per test program.
const engine::SampleBank& noiseBank();
const engine::SampleBank& hitBank();

// Signed 16-bit little-endian bytes of `values` (each -1..1).
std::vector<unsigned char> pcm16(const std::vector<double>& values);

// A voice with flat, full volume (zero attack, "Hold" mode so the level stays
// at 1), filter "OFF" and the given type from the real bank.
void prepareFlat(engine::NoiseVoice& voice, int type, const engine::SampleBank& bank);

struct Stereo {
    std::vector<double> left, right;
};
// One sample of the current voice through the engine's run-based render.
engine::StereoSample renderOne(engine::NoiseVoice& voice, double cutoff, double resonance);

Stereo run(engine::NoiseVoice& voice, int samples, double cutoff = 0.5, double resonance = 0.0);

}  // namespace kettrix::testing
