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

void OscillatorVoice::render(const double* p1, const double* p2, const double* cutoff, double cutoffKey,
                             const double* resonance, const double* fm, int frames, double* out) noexcept {
    // The envelopes run on their own (nothing of the signal feeds them), so
    // they fill the whole run first; then the core renders the run.
    std::array<double, kMaxRun> amps, pitch1, pitch2, cutoffs;
    volume.render(amps.data(), frames);
    amp = amps[static_cast<unsigned>(frames - 1)];
    if (modulation.active) {
        modulation.render(pitch2.data(), frames);
        modOut = pitch2[static_cast<unsigned>(frames - 1)];
        for (int k = 0; k < frames; ++k) {
            const auto u = static_cast<unsigned>(k);
            pitch1[u] = p1[k] + pitch2[u];
            pitch2[u] = p2[k] + pitch2[u];
        }
    } else {
        for (int k = 0; k < frames; ++k) {
            const auto u = static_cast<unsigned>(k);
            pitch1[u] = p1[k] + modOut;
            pitch2[u] = p2[k] + modOut;
        }
    }
    renderCutoffRun(filterEnv, filterOut, cutoff, cutoffKey, frames, cutoffs.data());
    core.render(mode, pitch1.data(), pitch2.data(), amps.data(), cutoffs.data(), resonance, fm, frames, out);
    tailPitch1 = p1[frames - 1];
    tailPitch2 = p2[frames - 1];
}

void OscillatorVoice::renderTail(int frames, double* out) noexcept {
    if (!active) return;
    // The fade as tail() runs it, up to the sample on which it has ended.
    std::array<double, kMaxRun> amps, pitch1, pitch2, cutoffs, resonances, fms, y;
    int n = 0;
    for (; n < frames && !(amp <= 0.0); ++n) {
        amp = amp > tailStep ? amp - tailStep : 0.0;
        amps[static_cast<unsigned>(n)] = amp;
    }
    if (n > 0) {
        const auto count = static_cast<std::size_t>(n);
        if (modulation.active) {
            modulation.render(pitch2.data(), n);
            modOut = pitch2[count - 1];
            for (std::size_t k = 0; k < count; ++k) {
                pitch1[k] = tailPitch1 + pitch2[k];
                pitch2[k] = tailPitch2 + pitch2[k];
            }
        } else {
            std::fill(pitch1.begin(), pitch1.begin() + n, tailPitch1 + modOut);
            std::fill(pitch2.begin(), pitch2.begin() + n, tailPitch2 + modOut);
        }
        if (filterEnv.active) {
            filterEnv.render(cutoffs.data(), n);
            filterOut = cutoffs[count - 1];
            for (std::size_t k = 0; k < count; ++k) cutoffs[k] = tailCutoff + cutoffs[k];
        } else {
            std::fill(cutoffs.begin(), cutoffs.begin() + n, tailCutoff + filterOut);
        }
        std::fill(resonances.begin(), resonances.begin() + n, tailResonance);
        std::fill(fms.begin(), fms.begin() + n, tailFm);
        core.render(mode, pitch1.data(), pitch2.data(), amps.data(), cutoffs.data(), resonances.data(), fms.data(), n,
                    y.data());
        for (std::size_t k = 0; k < count; ++k) out[k] += y[k];
    }
    if (n < frames) {
        // The sample on which the fade has ended adds a silent one.
        out[n] += tail();
    }
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
