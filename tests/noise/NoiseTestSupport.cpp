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

engine::StereoSample renderOne(engine::NoiseVoice& voice, double cutoff, double resonance) {
    double left = 0.0, right = 0.0;
    voice.render(&cutoff, 0.0, &resonance, 1, &left, &right);
    return {left, right};
}

Stereo run(engine::NoiseVoice& voice, int samples, double cutoff, double resonance) {
    Stereo out;
    out.left.reserve(static_cast<std::size_t>(samples));
    out.right.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const engine::StereoSample y = renderOne(voice, cutoff, resonance);
        out.left.push_back(y.left);
        out.right.push_back(y.right);
    }
    return out;
}

}  // namespace kettrix::testing
