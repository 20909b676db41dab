#include "AuditionRender.h"

#include "engine/HitVoice.h"
#include "engine/NoiseVoice.h"
#include "engine/SoundBanks.h"

#include <array>

namespace kettrix::audition {

namespace {

using namespace kettrix::engine;

const SampleBank& noiseBank() { return SoundBanks::shared().noiseSamples; }
const SampleBank& hitBank() { return SoundBanks::shared().hitSamples; }
const WavetableBank& wavetables() { return SoundBanks::shared().wavetables; }

constexpr std::array<const char*, 40> kNoiseNames{"OFF",
                                                  "Cymbal Generator",
                                                  "Noise Generator",
                                                  "Noise",
                                                  "LP Noise",
                                                  "BP Noise",
                                                  "HP Noise",
                                                  "Noise Distorted",
                                                  "Noise Crushed",
                                                  "Snare 808",
                                                  "Snare 909",
                                                  "Snare Acoustic 1",
                                                  "Snare Acoustic 2",
                                                  "Snare Acoustic 3",
                                                  "Snare Acoustic 4",
                                                  "Snare Acoustic 5",
                                                  "Agogo",
                                                  "Clave",
                                                  "Wood",
                                                  "Tamb",
                                                  "Bells",
                                                  "505",
                                                  "606",
                                                  "808",
                                                  "909",
                                                  "808 CYM",
                                                  "909 CYM",
                                                  "Crash",
                                                  "Clap 1",
                                                  "Clap 2",
                                                  "Clap 3",
                                                  "Clap 4",
                                                  "Clap 5",
                                                  "Vinyl 1",
                                                  "Vinyl 2",
                                                  "Rumble 1",
                                                  "Rumble 2",
                                                  "Spring Reverb",
                                                  "Octave 1",
                                                  "Octave 2"};

constexpr std::array<const char*, 19> kHitNames{"OFF",        "Analog 1",   "Analog 2",   "808 TM",       "808 BD",
                                                "909 BD",     "Acoustic 1", "Acoustic 2", "Acoustic 3",   "Acoustic 4",
                                                "Acoustic 5", "Metal 1",    "Metal 2",    "Metal 3",      "Wood 1",
                                                "Wood 2",     "Wood 3",     "Wood 4",     "Hit Generator"};

}  // namespace

const char* noiseTypeName(int type) {
    return type >= 0 && type < static_cast<int>(kNoiseNames.size()) ? kNoiseNames[static_cast<std::size_t>(type)] : "?";
}

const char* hitTypeName(int type) {
    return type >= 0 && type < static_cast<int>(kHitNames.size()) ? kHitNames[static_cast<std::size_t>(type)] : "?";
}

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
    for (std::size_t i = 0; i < frames; ++i) {
        voice.tick(0.5, 0.0);
        out.left.push_back(voice.outL);
        out.right.push_back(voice.outR);
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
