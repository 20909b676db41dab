#include "AuditionRender.h"

#include "base/SettingVocabulary.h"
#include "engine/HitVoice.h"
#include "engine/NoiseVoice.h"
#include "engine/SoundBanks.h"

#include <algorithm>
#include <array>

namespace kettrix::audition {

namespace {

using namespace kettrix::engine;

const SampleBank& noiseBank() { return SoundBanks::shared().noiseSamples; }
const SampleBank& hitBank() { return SoundBanks::shared().hitSamples; }
const WavetableBank& wavetables() { return SoundBanks::shared().wavetables; }

const char* nameOr(const settings::Setting& setting, int type) {
    return type >= 0 && type < setting.count() ? setting[type].name : "?";
}

}  // namespace

const char* noiseTypeName(int type) { return nameOr(settings::kNoiseType, type); }

const char* hitTypeName(int type) { return nameOr(settings::kHitType, type); }

StereoBuffer renderNoise(const NoiseSettings& s) {
    NoiseVoice voice(s.sampleRate);
    const int slot = s.type - kFirstSampleNoiseType;
    voice.setCymbalTables(wavetables().set(WavetableBank::kCymbalSlot));
    voice.setColor(0.5);
    voice.setType(s.type, noiseBank().buffer(slot), noiseBank().length(slot));
    voice.setFilterType(kFilterOff);
    voice.setPitch(s.pitch);
    voice.setStereo(s.stereo);
    voice.volAttack = 0.005;
    voice.volRelease = 1.2;
    voice.volDepth = 1.0;
    voice.filterDepth = 0.0;
    voice.start();
    const auto frames = static_cast<std::size_t>(s.seconds * s.sampleRate);
    StereoBuffer out;
    out.left.reserve(frames);
    out.right.reserve(frames);
    // Runs of the engine's longest length, the cutoff and resonance held.
    std::array<double, kMaxRun> cutoff, resonance, left, right;
    cutoff.fill(0.5);
    resonance.fill(0.0);
    for (std::size_t done = 0; done < frames;) {
        const int run = static_cast<int>(std::min<std::size_t>(kMaxRun, frames - done));
        left.fill(0.0);
        right.fill(0.0);
        voice.render(cutoff.data(), 0.0, resonance.data(), run, left.data(), right.data());
        out.left.insert(out.left.end(), left.begin(), left.begin() + run);
        out.right.insert(out.right.end(), right.begin(), right.begin() + run);
        done += static_cast<std::size_t>(run);
    }
    return out;
}

std::vector<double> renderHit(const HitSettings& s) {
    HitVoice voice(s.sampleRate);
    const int slot = s.type - kFirstHitType;
    voice.setGeneratorTables(wavetables().set(1));
    voice.setDecay(s.decay);
    voice.setType(s.type, hitBank().buffer(slot), hitBank().length(slot));
    voice.setVolume(1.0);
    voice.setLevel(s.level);
    voice.selectMode();
    voice.start();
    const auto frames = static_cast<std::size_t>(s.seconds * s.sampleRate);
    std::vector<double> out;
    out.reserve(frames);
    for (std::size_t i = 0; i < frames; ++i) out.push_back(voice.tick());
    return out;
}

}  // namespace kettrix::audition
