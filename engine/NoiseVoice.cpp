#include "engine/NoiseVoice.h"

#include "engine/EngineLimits.h"
#include "engine/LanePair.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace kettrix::engine {

namespace {

constexpr double kHalfPi = 1.57079632679489661923;

// Texture window speed by type: the slow-moving textures cross-fade over
// 20000 samples, the vinyl ones over 200000, everything else over 2000.
double windowRateFor(std::int32_t type) {
    switch (type) {
        case 4:
        case 5:
        case 8:  // LP, BP noise, crushed
        case 16:
        case 17:
        case 18:
        case 19:
        case 20:  // the percussion textures
        case 35:
        case 36:
        case 37:
        case 38:
        case 39:  // rumbles, reverbs
            return 0.0001;
        case kNoiseVinyl1:
        case kNoiseVinyl2:
            return 0.00001;
        default:
            return 0.001;
    }
}

// Remainder of a 32-bit state read as signed, scaled in single precision:
// -0.27 .. 0.27 in steps of 0.03.
double steppedValue(std::uint32_t state) {
    const auto remainder = static_cast<std::int32_t>(state) % 10;
    return static_cast<double>(static_cast<float>(remainder) * 0.03f);
}

// 512 samples at 44.1 kHz, the same time at other rates; kept to a sane
// range so that no rate a host may report can overflow the conversion.
std::int32_t delayLengthFor(double rate) {
    const double samples = 512.0 * kReferenceRate / rate;
    return samples >= 1.0 ? static_cast<std::int32_t>(std::min(samples, 1048576.0)) : 1;
}

}  // namespace

// --- NoiseGenerator -------------------------------------------------------------

void NoiseGenerator::advance(double pitch, double rateRatio, bool withRight) noexcept {
    genAcc += std::max(0.001, pitch) * rateRatio;
    if (genAcc >= 1.0) {
        genAcc -= 1.0;
        genState1 = (genState1 + 1u) * 33u;
        if (withRight) genState2 = (genState2 + 1u) * 35u;
    }
}

double NoiseGenerator::left() const noexcept { return steppedValue(genState1); }
double NoiseGenerator::right() const noexcept { return steppedValue(genState2); }

void NoiseGenerator::render(double pitch, double rateRatio, bool withRight, int frames, double* leftOut,
                            double* rightOut) noexcept {
    const double increment = std::max(0.001, pitch) * rateRatio;
    double acc = genAcc;
    std::uint32_t state1 = genState1;
    std::uint32_t state2 = genState2;
    for (int k = 0; k < frames; ++k) {
        acc += increment;
        if (acc >= 1.0) {
            acc -= 1.0;
            state1 = (state1 + 1u) * 33u;
            if (withRight) state2 = (state2 + 1u) * 35u;
        }
        leftOut[k] = steppedValue(state1);
        if (withRight) rightOut[k] = steppedValue(state2);
    }
    genAcc = acc;
    genState1 = state1;
    genState2 = state2;
}

// --- TexturePlayer ------------------------------------------------------------------

void TexturePlayer::setSample(const double* buffer, std::int32_t sampleLength) noexcept {
    sample = buffer;
    length = std::max<std::int32_t>(sampleLength, 0);
    lastIndex = length - 1;
    jump = 0;
    restart();
}

void TexturePlayer::restart() noexcept {
    posA = 0.0;
    windowPhaseA = 0.0;
    windowPhaseB = 0.5;
    posB = std::floor(length * 0.5);
}

void TexturePlayer::resume() noexcept {
    windowPhaseA = 0.0;
    windowPhaseB = 0.5;
    if (!hasSample()) {
        posA = posB = 0.0;
        return;
    }
    posB = wrap(std::floor(length * 0.5 + posA));
    posA = std::floor(posA);
}

double TexturePlayer::wrap(double pos) const noexcept {
    // A remainder, not one subtraction: a large step (high pitch and key) or
    // a jump must never leave the sample. For pos below 2 x lastIndex this is
    // exactly pos - lastIndex.
    return pos > lastIndex ? std::fmod(pos, static_cast<double>(lastIndex)) : pos;
}

double TexturePlayer::drawJumpFraction() noexcept {
    jumpState = jumpState * 33u + 35u;
    const auto signedState = static_cast<std::int32_t>(jumpState);
    const auto digit = static_cast<float>(signedState % 10);
    return static_cast<double>(signedState >= 0 ? digit * 0.1f : digit * -0.1f);
}

void TexturePlayer::advance(double step, double windowStep) noexcept {
    if (!hasSample()) return;
    windowPhaseA += windowStep;
    if (windowPhaseA >= 1.0) {
        jump = static_cast<std::int32_t>(drawJumpFraction() * (length * 0.2));
        windowPhaseA -= 2.0;
        posA = wrap(posA + jump);
    }
    windowPhaseB += windowStep;
    if (windowPhaseB >= 1.0) {
        windowPhaseB -= 2.0;
        posB = wrap(posB + jump);
    }
    gainA = (1.0 - std::fabs(windowPhaseA)) * windowPhaseA;
    gainB = (1.0 - std::fabs(windowPhaseB)) * windowPhaseB;
    posA = wrap(posA + step);
    posB = wrap(posB + step);
}

double TexturePlayer::readForward() const noexcept {
    if (!hasSample()) return 0.0;
    auto read = [this](double pos) {
        const auto i = static_cast<std::int32_t>(pos);
        const double t = pos - i;
        return sample[i] + (sample[i + 1] - sample[i]) * t;
    };
    return read(posA) * gainA + read(posB) * gainB;
}

void TexturePlayer::readStereo(double& forward, double& mirrored) const noexcept {
    if (!hasSample()) {
        forward = mirrored = 0.0;
        return;
    }
    // Forward: as readForward(). Mirrored: the same interpolation walking
    // down from the sample's end (index length - i towards length - i - 1).
    const auto iA = static_cast<std::int32_t>(posA);
    const double tA = posA - iA;
    const auto iB = static_cast<std::int32_t>(posB);
    const double tB = posB - iB;
    const double forwardA = sample[iA] + (sample[iA + 1] - sample[iA]) * tA;
    const double forwardB = sample[iB] + (sample[iB + 1] - sample[iB]) * tB;
    const double mirrorA = sample[length - iA];
    const double mirrorB = sample[length - iB];
    const double mirroredA = mirrorA + (sample[length - iA - 1] - mirrorA) * tA;
    const double mirroredB = mirrorB + (sample[length - iB - 1] - mirrorB) * tB;
    forward = forwardA * gainA + forwardB * gainB;
    mirrored = mirroredA * gainA + mirroredB * gainB;
}

void TexturePlayer::render(double step, double windowStep, int frames, double* forward, double* mirrored) noexcept {
    render<KETTRIX_PACKED_LANES != 0>(step, windowStep, frames, forward, mirrored);
}

template <bool Packed>
void TexturePlayer::render(double step, double windowStep, int frames, double* forward, double* mirrored) noexcept {
    if (!hasSample()) {
        std::fill(forward, forward + frames, 0.0);
        if (mirrored) std::fill(mirrored, mirrored + frames, 0.0);
    } else if (mirrored) {
        renderAs<true, Packed>(step, windowStep, frames, forward, mirrored);
    } else {
        renderAs<false, Packed>(step, windowStep, frames, forward, nullptr);
    }
}

template <bool Stereo, bool Packed>
void TexturePlayer::renderAs(double step, double windowStep, int frames, double* forward, double* mirrored) noexcept {
    // advance() and the reads with head A in lane 0 and head B in lane 1 of
    // each pair. Window restarts and wraps past the sample's end are rare:
    // when either lane needs one, both lanes take advance()'s scalar steps in
    // its order (head A's restart draws the jump head B then uses).
    using Pair = LanePair<Packed>;
    const double* const s = sample;
    const std::size_t n = static_cast<std::uint32_t>(length);
    const double last = lastIndex;
    auto wrapped = [last](double pos) { return pos > last ? std::fmod(pos, last) : pos; };
    const Pair windowSteps = Pair::splat(windowStep);
    const Pair steps = Pair::splat(step);
    const Pair one = Pair::splat(1.0);
    Pair pos(posA, posB);
    Pair phase(windowPhaseA, windowPhaseB);
    Pair gain(gainA, gainB);
    for (int k = 0; k < frames; ++k) {
        phase += windowSteps;
        Pair next = pos + steps;
        if ((phase.atLeast(1.0) | next.above(last)) != 0) {
            double phaseA = phase[0], phaseB = phase[1];
            double a = pos[0], b = pos[1];
            if (phaseA >= 1.0) {
                jump = static_cast<std::int32_t>(drawJumpFraction() * (length * 0.2));
                phaseA -= 2.0;
                a = wrapped(a + jump);
            }
            if (phaseB >= 1.0) {
                phaseB -= 2.0;
                b = wrapped(b + jump);
            }
            phase = Pair(phaseA, phaseB);
            next = Pair(wrapped(a + step), wrapped(b + step));
        }
        pos = next;
        gain = (one - abs(phase)) * phase;
        std::int32_t truncA, truncB;
        const Pair t = pos - pos.truncated(truncA, truncB);
        // The positions are never negative: read unsigned, the indices need
        // no sign extension.
        const std::size_t iA = static_cast<std::uint32_t>(truncA), iB = static_cast<std::uint32_t>(truncB);
        const Pair here(s[iA], s[iB]);
        const Pair forwards = (here + (Pair(s[iA + 1], s[iB + 1]) - here) * t) * gain;
        if constexpr (Stereo) {
            const std::size_t mA = n - iA, mB = n - iB;
            const Pair mirror(s[mA], s[mB]);
            const Pair mirroreds = (mirror + (Pair(s[mA - 1], s[mB - 1]) - mirror) * t) * gain;
            // Lane 0: forward A + forward B; lane 1: mirrored A + mirrored B.
            const Pair sums = Pair::low(forwards, mirroreds) + Pair::high(forwards, mirroreds);
            forward[k] = sums[0];
            mirrored[k] = sums[1];
        } else {
            forward[k] = forwards[0] + forwards[1];
        }
    }
    posA = pos[0];
    posB = pos[1];
    windowPhaseA = phase[0];
    windowPhaseB = phase[1];
    gainA = gain[0];
    gainB = gain[1];
}

template void TexturePlayer::render<false>(double, double, int, double*, double*) noexcept;
#if KETTRIX_PACKED_LANES
template void TexturePlayer::render<true>(double, double, int, double*, double*) noexcept;
#endif

// --- NoiseVoice -----------------------------------------------------------------------

NoiseVoice::NoiseVoice(double rate)
    : filter(rate),
      cymbal(rate),
      rateRatio(kReferenceRate / rate),
      windowStep(0.001 * kReferenceRate / rate),
      delayLength(delayLengthFor(rate)),
      sampleRate(rate),
      volume(rate),
      filterEnv(rate),
      tailStep(100.0 / rate) {
    delayLine.assign(static_cast<std::size_t>(delayLength), 0.0);
    updateStep();
    setStereo(0.0);
}

void NoiseVoice::selectRenderMode() noexcept {
    const bool isStereo = stereo > 0.0;
    if (!enabled) {
        renderMode = kNoiseRenderSilent;
        outL = outR = 0.0;
    } else if (type == kNoiseCymbalGenerator) {
        renderMode = isStereo ? kNoiseRenderCymbalStereo : kNoiseRenderCymbalMono;
    } else if (type == kNoiseGenerator) {
        renderMode = isStereo ? kNoiseRenderGeneratorStereo : kNoiseRenderGeneratorMono;
    } else {
        renderMode = isStereo ? kNoiseRenderSampleStereo : kNoiseRenderSampleMono;
    }
}

void NoiseVoice::setType(std::int32_t newType, const double* buffer, std::int32_t length) noexcept {
    if (newType < kNoiseCymbalGenerator || newType > kNoiseLastSample) {
        disable();
        return;
    }
    type = newType;
    texture.setSample(newType >= kNoiseFirstSample ? buffer : nullptr, length);
    cymbal.setColorFilters(pitch);
    updateStep();
    windowStep = windowRateFor(newType) * rateRatio;
    generator.restart();
    enabled = 1;
    selectRenderMode();
}

void NoiseVoice::disable() noexcept {
    enabled = 0;
    type = kNoiseOff;
    selectRenderMode();
}

void NoiseVoice::setStereo(double s) noexcept {
    stereo = s;
    blendL = std::sin((1.0 - s) * kHalfPi);
    blendR = std::sin(s * kHalfPi);
    selectRenderMode();
}

void NoiseVoice::setPitch(double p) noexcept {
    pitch = p;
    cymbal.setColorFilters(p);
    updateStep();
}

void NoiseVoice::setKey(double semitones) noexcept {
    keySemitones = semitones;
    updateStep();
}

void NoiseVoice::updateStep() noexcept {
    // p = 0.5 plays the sample at its own rate; the knob spans +-12 semitones.
    step = std::exp2((24.0 * pitch + keySemitones - 12.0) / 12.0) * rateRatio;
    if (!std::isfinite(step) || step < 0.0) step = 0.0;
}

void NoiseVoice::setColor(double col) noexcept { cymbal.setColor(col); }

void NoiseVoice::setEnvelopeModes(std::int32_t volumeModeIn, std::int32_t filterModeIn) noexcept {
    volumeMode = volumeModeIn;
    filterMode = filterModeIn;
    volume.mode = volumeModeIn;
    filterEnv.mode = filterModeIn;
}

void NoiseVoice::clearDelayLine() noexcept {
    std::fill(delayLine.begin(), delayLine.end(), 0.0);
    delayIndex = 0;
    delayedSample = 0.0;
}

void NoiseVoice::start() noexcept {
    if (!enabled) return;
    if (pitch != pitchAtLastStart) {
        pitchAtLastStart = pitch;
        clearDelayLine();
        generator.restart();
        texture.restart();
    }
    filter.reset();
    outL = outR = 0.0;
    if (retrigger >= 1) {
        generator.restart();
        texture.restart();
    } else {
        texture.resume();
    }
    active = 1;
    // The cymbal generator always gets at least a 1 ms attack: its band-pass
    // filters ring, and a zero attack would start it with a step.
    const double attack = type == kNoiseCymbalGenerator ? std::max(volAttack, 0.001) : volAttack;
    volume.start(attack, volRelease, keyValue, volDepth, false);
    filterEnv.start(filterAttack, filterRelease, keyValue, filterDepth, true);
    // A filter envelope that stays off must not leave the last note's offset
    // on the cutoff.
    if (!filterEnv.active) filterOut = 0.0;
}

void NoiseVoice::render(const double* cutoff, double cutoffKey, const double* resonance, int frames, double* left,
                        double* right) noexcept {
    // The envelopes run on their own, so they fill the whole run first.
    std::array<double, kMaxRun> amps, cutoffs;
    volume.render(amps.data(), frames);
    amp = amps[static_cast<unsigned>(frames - 1)];
    renderCutoffRun(filterEnv, filterOut, cutoff, cutoffKey, frames, cutoffs.data());
    play(amps.data(), cutoffs.data(), resonance, frames, left, right);
}

void NoiseVoice::renderTail(int frames, double* left, double* right) noexcept {
    if (!active) return;
    // The fade as tail() runs it, up to the sample on which it has ended.
    std::array<double, kMaxRun> amps, cutoffs, resonances;
    int n = 0;
    for (; n < frames && amp > 0.0; ++n) {
        amp = std::max(0.0, amp - tailStep);
        amps[static_cast<unsigned>(n)] = amp;
    }
    if (n > 0) {
        if (filterEnv.active) {
            filterEnv.render(cutoffs.data(), n);
            filterOut = cutoffs[static_cast<unsigned>(n - 1)];
            for (int k = 0; k < n; ++k)
                cutoffs[static_cast<unsigned>(k)] = tailCutoff + cutoffs[static_cast<unsigned>(k)];
        } else {
            std::fill(cutoffs.begin(), cutoffs.begin() + n, tailCutoff + filterOut);
        }
        std::fill(resonances.begin(), resonances.begin() + n, tailResonance);
        play(amps.data(), cutoffs.data(), resonances.data(), n, left, right);
    }
    if (n < frames) {
        // The sample on which the fade has ended adds a silent pair.
        tail();
        left[n] += 0.0;
        right[n] += 0.0;
    }
}

void NoiseVoice::play(const double* amps, const double* cutoff, const double* resonance, int frames, double* left,
                      double* right) noexcept {
    // The source fills the run first; the filter's loop then reads it.
    std::array<double, kMaxRun> xL, xR;
    switch (renderMode) {
        case kNoiseRenderCymbalStereo: {
            // The right channel is the same metal, 512 samples (at 44.1 kHz) late.
            // The line is read and refilled in contiguous pieces, split where
            // the index wraps (once per run at most, at the usual rates).
            double* const line = delayLine.data();
            cymbal.render(xL.data(), frames);
            for (int done = 0; done < frames;) {
                const int piece = std::min(frames - done, delayLength - delayIndex);
                std::copy(line + delayIndex, line + delayIndex + piece, xR.data() + done);
                std::copy(xL.data() + done, xL.data() + done + piece, line + delayIndex);
                done += piece;
                delayIndex += piece;
                if (delayIndex >= delayLength) delayIndex = 0;
            }
            if (frames > 0) delayedSample = xR[static_cast<unsigned>(frames - 1)];
            break;
        }
        case kNoiseRenderCymbalMono:
            cymbal.render(xL.data(), frames);
            break;
        case kNoiseRenderGeneratorStereo:
        case kNoiseRenderGeneratorMono:
            generator.render(pitch, rateRatio, renderMode == kNoiseRenderGeneratorStereo, frames, xL.data(), xR.data());
            break;
        case kNoiseRenderSampleStereo:
            // The right channel reads the sample backwards through the same
            // windows.
            texture.render(step, windowStep, frames, xL.data(), xR.data());
            break;
        case kNoiseRenderSampleMono:
            texture.render(step, windowStep, frames, xL.data(), nullptr);
            break;
        default:
            outL = outR = 0.0;
            for (int k = 0; k < frames; ++k) {
                left[k] += 0.0;
                right[k] += 0.0;
            }
            return;
    }
    const bool isStereo = renderMode == kNoiseRenderCymbalStereo || renderMode == kNoiseRenderGeneratorStereo ||
                          renderMode == kNoiseRenderSampleStereo;
    if (isStereo) {
        playStereo(amps, cutoff, resonance, frames, left, right, [&xL, &xR](int k) {
            return StereoSample{xL[static_cast<unsigned>(k)], xR[static_cast<unsigned>(k)]};
        });
    } else {
        playMono(amps, cutoff, resonance, frames, left, right, [&xL](int k) { return xL[static_cast<unsigned>(k)]; });
    }
}

template <typename Source>
void NoiseVoice::playMono(const double* amps, const double* cutoff, const double* resonance, int frames, double* left,
                          double* right, Source&& source) noexcept {
    double l = outL;
    double r = outR;
    const double bl = blendL;
    const double br = blendR;
    filter.runMono(filterType, frames, cutoff, resonance, source, [&](int k, double y) {
        l = y * amps[k];
        // Equal-power blend from mono (stereo 0) to the decorrelated right
        // channel (stereo 1).
        r = bl * l + br * l;
        left[k] += l;
        right[k] += r;
    });
    outL = l;
    outR = r;
}

template <typename Source>
void NoiseVoice::playStereo(const double* amps, const double* cutoff, const double* resonance, int frames, double* left,
                            double* right, Source&& source) noexcept {
    double l = outL;
    double r = outR;
    const double bl = blendL;
    const double br = blendR;
    filter.runStereo(filterType, frames, cutoff, resonance, source, [&](int k, StereoSample y) {
        l = amps[k] * y.left;
        r = bl * l + br * (amps[k] * y.right);
        left[k] += l;
        right[k] += r;
    });
    outL = l;
    outR = r;
}

StereoSample NoiseVoice::tail() noexcept {
    if (amp > 0.0) {
        // Linear fade; the volume envelope is no longer run. Clamped at 0 so
        // the last step never turns the signal over.
        amp = std::max(0.0, amp - tailStep);
        if (filterEnv.active) filterOut = filterEnv.tick();
        return render(tailCutoff + filterOut, tailResonance);
    }
    volume.stop();
    active = 0;
    amp = 0.0;
    outL = outR = 0.0;
    return {};
}

std::uint8_t NoiseVoice::updateActive() noexcept {
    volume.updateActive();
    active = volume.active;
    if (!active) filterEnv.stop();
    filterEnv.updateActive();
    return active;
}

StereoSample NoiseVoice::render(double cutoff, double resonance) noexcept {
    StereoSample y;
    switch (renderMode) {
        case kNoiseRenderCymbalStereo:
            y = renderCymbal(cutoff, resonance, true);
            break;
        case kNoiseRenderCymbalMono:
            y = renderCymbal(cutoff, resonance, false);
            break;
        case kNoiseRenderGeneratorStereo:
            y = renderGenerator(cutoff, resonance, true);
            break;
        case kNoiseRenderGeneratorMono:
            y = renderGenerator(cutoff, resonance, false);
            break;
        case kNoiseRenderSampleStereo:
            y = renderTexture(cutoff, resonance, true);
            break;
        case kNoiseRenderSampleMono:
            y = renderTexture(cutoff, resonance, false);
            break;
        default:
            outL = outR = 0.0;
            return {};
    }
    // Equal-power blend from mono (stereo 0) to the decorrelated right
    // channel (stereo 1).
    y.right = blendL * y.left + blendR * y.right;
    outL = y.left;
    outR = y.right;
    return y;
}

StereoSample NoiseVoice::renderCymbal(double cutoff, double resonance, bool isStereo) noexcept {
    const double x = cymbal.sample();
    if (!isStereo) {
        const double y = filter.process(x, cutoff, resonance, filterType) * amp;
        return {y, y};
    }
    // The right channel is the same metal, 512 samples (at 44.1 kHz) late.
    delayedSample = delayLine[static_cast<std::size_t>(delayIndex)];
    delayLine[static_cast<std::size_t>(delayIndex)] = x;
    if (++delayIndex >= delayLength) delayIndex = 0;
    const StereoSample y = filter.processStereo(x, delayedSample, cutoff, resonance, filterType);
    return {amp * y.left, amp * y.right};
}

StereoSample NoiseVoice::renderGenerator(double cutoff, double resonance, bool isStereo) noexcept {
    generator.advance(pitch, rateRatio, isStereo);
    if (!isStereo) {
        const double y = filter.process(generator.left(), cutoff, resonance, filterType) * amp;
        return {y, y};
    }
    const StereoSample y = filter.processStereo(generator.left(), generator.right(), cutoff, resonance, filterType);
    return {amp * y.left, amp * y.right};
}

StereoSample NoiseVoice::renderTexture(double cutoff, double resonance, bool isStereo) noexcept {
    texture.advance(step, windowStep);
    if (!isStereo) {
        const double y = filter.process(texture.readForward(), cutoff, resonance, filterType) * amp;
        return {y, y};
    }
    // The right channel reads the sample backwards through the same windows.
    double forward = 0.0;
    double mirrored = 0.0;
    texture.readStereo(forward, mirrored);
    const StereoSample y = filter.processStereo(forward, mirrored, cutoff, resonance, filterType);
    return {amp * y.left, amp * y.right};
}

}  // namespace kettrix::engine
