#pragma once
// Voices set up the way the engine does at a trigger, for the tests.

#include <memory>
#include <vector>

#include "engine/OscillatorVoice.h"
#include "engine/WavetableBank.h"

namespace kettrix::test {

using engine::OscillatorVoice;

// One bank for the whole test program, as the plug-in shares one.
inline const engine::WavetableBank& sharedBank() {
    static const engine::WavetableBank bank;
    return bank;
}

struct VoiceSettings {
    int type1 = engine::kOscTypeSinePure;
    int type2 = engine::kOscTypeOff;
    double fm = 0.0;
    double mix = 0.5;
    int filterType = engine::kFilterOff;
    double sampleRate = 44100.0;
};

// A started voice whose volume envelope jumps to 1 and holds there
// ("Hold" mode, no attack), with no modulation or filter envelope.
inline std::unique_ptr<OscillatorVoice> startedVoice(const VoiceSettings& s) {
    auto voice = std::make_unique<OscillatorVoice>(s.sampleRate, sharedBank());
    voice->setType(1, s.type1);
    voice->setType(2, s.type2);
    voice->setFm(s.fm);
    voice->setMix(s.mix);
    voice->setFilterType(s.filterType);
    voice->setEnvelopeModes(engine::kModeHold, engine::kModeTrigger, engine::kModeTrigger);
    voice->volAttack = 0.0;
    voice->volRelease = 0.5;
    voice->volDepth = 1.0;
    voice->start();
    return voice;
}

// The voice one sample at a time, written out plainly: the reference the
// run-based render must match sample for sample.
inline double tickReference(OscillatorVoice& v, double p1, double p2, double cutoff, double resonance, double fm) {
    v.tailPitch1 = p1;
    v.tailPitch2 = p2;
    v.amp = v.volume.tick();
    if (v.modulation.active) v.modOut = v.modulation.tick();
    if (v.filterEnv.active) v.filterOut = v.filterEnv.tick();
    return v.core.process(v.mode, p1 + v.modOut, p2 + v.modOut, v.amp, cutoff + v.filterOut, resonance, fm);
}

// One sample through the engine's run-based render.
inline double renderOne(OscillatorVoice& v, double p1, double p2, double cutoff, double resonance, double fm) {
    double out = 0.0;
    v.render(&p1, &p2, &cutoff, 0.0, &resonance, &fm, 1, &out);
    return out;
}

inline std::vector<double> renderVoice(OscillatorVoice& voice, std::size_t n, double p1, double p2, double fm = 0.0,
                                       double cutoff = 1.0, double resonance = 0.0) {
    std::vector<double> out(n);
    for (double& x : out) x = tickReference(voice, p1, p2, cutoff, resonance, fm);
    return out;
}

// Drops the first `skip` samples (filter and boost settling).
inline std::vector<double> tailOf(const std::vector<double>& x, std::size_t skip) {
    return std::vector<double>(x.begin() + static_cast<std::ptrdiff_t>(skip), x.end());
}

}  // namespace kettrix::test
