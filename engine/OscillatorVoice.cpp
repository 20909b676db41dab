#include "engine/OscillatorVoice.h"

#include "engine/EngineLimits.h"

#include <array>

namespace kettrix::engine {

OscillatorVoice::OscillatorVoice(double sampleRate, const WavetableBank& bank)
    : modulation(sampleRate),
      volume(sampleRate),
      filterEnv(sampleRate),
      core(sampleRate),
      tailStep(100.0 / sampleRate),
      bank_(&bank) {}

void OscillatorVoice::setType(int oscillator, int type) noexcept {
    if (oscillator != 1 && oscillator != 2) return;
    std::uint8_t& on = oscillator == 1 ? osc1On : osc2On;
    std::uint8_t& isNoise = oscillator == 1 ? osc1Noise : osc2Noise;
    if (type >= kOscTypeSinePure && type <= kOscTypeSaw) {
        on = 1;
        isNoise = 0;
        (oscillator == 1 ? core.set1 : core.set2) = &bank_->set(type - 1);
    } else if (type == kOscTypeNoise) {
        on = 1;
        isNoise = 1;
    } else {
        on = 0;
    }
    selectMode();
}

void OscillatorVoice::setFm(double amount) noexcept {
    fmOn = amount > 0.0;
    selectMode();
}

void OscillatorVoice::setMix(double m) noexcept { core.setMix(m); }

void OscillatorVoice::setEnvelopeModes(std::int32_t volumeMode, std::int32_t modulationMode,
                                       std::int32_t filterMode) noexcept {
    volume.mode = volumeMode;
    modulation.mode = modulationMode;
    filterEnv.mode = filterMode;
}

void OscillatorVoice::selectMode() noexcept {
    mode = selectOscillatorMode(osc1On, osc2On, fmOn, osc1Noise, osc2Noise);
    // Nothing to play: let the voice go inactive at the next check.
    if (mode == kOscSilent) volume.stop();
}

void OscillatorVoice::start() noexcept {
    if (!osc1On && !osc2On) return;
    core.reset();
    active = 1;
    modulation.start(modAttack, modRelease, keyValue, modDepth, true);
    volume.start(volAttack, volRelease, keyValue, volDepth, false);
    filterEnv.start(filterAttack, filterRelease, keyValue, filterDepth, true);
    if (modDepth <= 0.0) modOut = 0.0;
    if (filterDepth <= 0.0) filterOut = 0.0;
}

double OscillatorVoice::tick(double p1, double p2, double cutoff, double resonance, double fm) noexcept {
    tailPitch1 = p1;
    tailPitch2 = p2;
    amp = volume.tick();
    if (modulation.active) modOut = modulation.tick();
    if (filterEnv.active) filterOut = filterEnv.tick();
    return core.process(mode, p1 + modOut, p2 + modOut, amp, cutoff + filterOut, resonance, fm);
}

void OscillatorVoice::render(const double* p1, const double* p2, const double* cutoff, double cutoffKey,
                             const double* resonance, const double* fm, int frames, double* out) noexcept {
    // The envelopes run on their own (nothing of the signal feeds them), so
    // they fill the whole run first.
    std::array<double, kMaxRun> amps, mods, filters;
    volume.render(amps.data(), frames);
    const bool modulated = modulation.active != 0;
    const bool filtered = filterEnv.active != 0;
    if (modulated) modulation.render(mods.data(), frames);
    if (filtered) filterEnv.render(filters.data(), frames);
    for (int k = 0; k < frames; ++k) {
        const auto u = static_cast<unsigned>(k);
        amp = amps[u];
        if (modulated) modOut = mods[u];
        if (filtered) filterOut = filters[u];
        out[k] = core.process(mode, p1[k] + modOut, p2[k] + modOut, amp, (cutoff[k] + cutoffKey) + filterOut,
                              resonance[k], fm[k]);
    }
    tailPitch1 = p1[frames - 1];
    tailPitch2 = p2[frames - 1];
}

double OscillatorVoice::tail() noexcept {
    if (amp <= 0.0) {
        volume.stop();
        active = 0;
        amp = 0.0;
        return 0.0;
    }
    // The volume envelope no longer runs: the level falls linearly to 0,
    // and stops there rather than overshooting into a negative gain.
    amp = amp > tailStep ? amp - tailStep : 0.0;
    if (modulation.active) modOut = modulation.tick();
    if (filterEnv.active) filterOut = filterEnv.tick();
    return core.process(mode, tailPitch1 + modOut, tailPitch2 + modOut, amp, tailCutoff + filterOut, tailResonance,
                        tailFm);
}

std::uint8_t OscillatorVoice::updateActive() noexcept {
    volume.updateActive();
    active = volume.active;
    if (!active) {
        modulation.stop();
        filterEnv.stop();
    }
    modulation.updateActive();
    filterEnv.updateActive();
    return active;
}

}  // namespace kettrix::engine
