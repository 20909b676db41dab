#include "NoiseTestSupport.h"

#include <cmath>

namespace kettrix::testing {

const engine::SampleBank& noiseBank() {
    static const engine::SampleBank bank = engine::makeNoiseSampleBank();
    return bank;
}

const engine::SampleBank& hitBank() {
    static const engine::SampleBank bank = engine::makeHitSampleBank();
    return bank;
}

std::vector<unsigned char> pcm16(const std::vector<double>& values) {
    std::vector<unsigned char> bytes;
    for (double v : values) {
        const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767.0)));
        bytes.push_back(static_cast<unsigned char>(word & 0xFF));
        bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
    return bytes;
}

void prepareFlat(engine::NoiseVoice& voice, int type, const engine::SampleBank& bank) {
    const int slot = type - engine::kFirstSampleNoiseType;
    voice.setType(type, bank.buffer(slot), bank.length(slot));
    voice.setFilterType(engine::kFilterOff);
    voice.volAttack = 0.0;
    voice.volRelease = 1.0;
    voice.volDepth = 1.0;
    voice.filterDepth = 0.0;
    voice.setEnvelopeModes(engine::kModeHold, engine::kModeTrigger);
}

Stereo run(engine::NoiseVoice& voice, int samples, double cutoff, double resonance) {
    Stereo out;
    out.left.reserve(static_cast<std::size_t>(samples));
    out.right.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        voice.tick(cutoff, resonance);
        out.left.push_back(voice.outL);
        out.right.push_back(voice.outR);
    }
    return out;
}

}  // namespace kettrix::testing
