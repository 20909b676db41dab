#include "engine/HitVoice.h"

namespace kettrix::engine {

namespace {

// The generator's fixed pitches: carrier about 110 Hz, modulator 440 Hz,
// full FM depth.
constexpr double kCarrierPitch = 0.3;
constexpr double kModulatorPitch = 0.5;
constexpr double kFmDepth = 1.0;

}  // namespace

HitVoice::HitVoice(double sampleRate) : player(sampleRate), generator(sampleRate) {}

void HitVoice::setType(std::int32_t type, const double* buffer, std::int32_t length) noexcept {
    if (type >= 1 && type < kHitTypeGenerator) {
        enabled = 1;
        useGenerator = 0;
        player.setSample(buffer, length, type);
    } else if (type == kHitTypeGenerator) {
        enabled = 1;
        useGenerator = 1;
    } else {
        enabled = 0;
    }
    selectMode();
}

void HitVoice::selectMode() noexcept {
    if (!enabled) {
        // Off opens the oscillator gate: an "Analog" hit cut off before its
        // end would otherwise keep this voice's oscillator section closed.
        mode = kHitModeNone;
        player.gateOpen = 1;
        player.stop();
        generator.volumeEnv.stop();
    } else if (!useGenerator) {
        mode = kHitModeSample;
        generator.volumeEnv.stop();
    } else {
        mode = kHitModeGenerator;
        player.gateOpen = 1;
        player.stop();
    }
}

void HitVoice::start() noexcept {
    capturedVolume = volume;
    if (mode == kHitModeSample) {
        playing = 1;
        player.start();
    } else if (mode == kHitModeGenerator) {
        playing = 1;
        generator.start();
        player.gateOpen = 1;
    }
}

double HitVoice::tick() noexcept {
    switch (mode) {
        case kHitModeSample:
            return player.tick(capturedVolume, level);
        case kHitModeGenerator:
            return generator.tick(kCarrierPitch, kModulatorPitch, level, kFmDepth);
        default:
            return 0.0;
    }
}

std::uint8_t HitVoice::updateActive() noexcept {
    // Both are updated every block so the generator's envelopes settle.
    const std::uint8_t generatorActive = generator.updateActive();
    playing = (player.playingFlag || generatorActive) ? 1 : 0;
    return playing;
}

}  // namespace kettrix::engine
