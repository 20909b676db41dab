#include "engine/OscillatorCore.h"

#include "engine/EngineLimits.h"

#include <algorithm>
#include <cmath>

namespace kettrix::engine {
namespace {

constexpr double kHalfPi = 1.57079632679489661923;

// A cycle spans table steps 0..1023; index 1024 repeats sample 0.
constexpr double kPhaseWrap = 1023.0;

// Each noise oscillator's own band limit: a state-variable low pass at the
// oscillator's pitch with fixed resonance, run one half step per sample.
constexpr double kNoiseResonance = 0.95;

}  // namespace

std::int32_t selectOscillatorMode(bool osc1On, bool osc2On, bool fmOn, bool osc1Noise, bool osc2Noise) noexcept {
    if (osc1On && osc2On) {
        if (fmOn) {
            if (osc1Noise && osc2Noise) return kOscNoiseNoiseFm;
            if (osc2Noise) return kOscWaveFmByNoise;
            if (osc1Noise) return kOscNoiseFmWave;
            return kOscWaveFmWave;
        }
        if (osc1Noise && osc2Noise) return kOscNoiseNoise;
        if (osc1Noise) return kOscNoiseWave;
        if (osc2Noise) return kOscWaveNoise;
        return kOscWaveWave;
    }
    if (osc1On) return osc1Noise ? kOscNoise1 : kOscWave1;
    if (osc2On) return osc2Noise ? kOscNoise2 : kOscWave2;
    return kOscSilent;
}

OscillatorCore::OscillatorCore(double rate)
    : boostCoef(0.05 * kReferenceRate / rate),
      rateRatio(kReferenceRate / double(static_cast<float>(rate))),
      notes(rate),
      sampleRate(static_cast<std::int32_t>(rate)),
      filter(rate),
      noise1Filter(rate),
      noise2Filter(rate) {}

void OscillatorCore::reset() noexcept {
    out1 = out2 = 0.0;
    boost = 0.0;
    fmFeedback = 0.0;
    phase1 = phase2 = 0.0;
    phase1Int = phase2Int = 0;
    pitch1Cached = pitch2Cached = -1.0;
    noise1State = 0;  // noise 2 keeps running from note to note
    noise1Acc = noise2Acc = 1.0;
    filter.reset();
    noise1Filter.reset();
    noise2Filter.reset();
}

void OscillatorCore::setMix(double m) noexcept {
    level1 = std::sin((1.0 - m) * kHalfPi);
    level2 = std::sin(m * kHalfPi);
}

void OscillatorCore::convert1(double p) noexcept {
    const PitchStep s = notes.atPitch(p);
    inc1 = s.increment;
    table1Index = s.tableIndex;
}

void OscillatorCore::convert2(double p) noexcept {
    const PitchStep s = notes.atPitch(p);
    inc2 = s.increment;
    table2Index = s.tableIndex;
}

void OscillatorCore::tune1(double p) noexcept {
    if (p == pitch1Cached) return;
    pitch1Cached = p;
    convert1(p);
}

void OscillatorCore::tune2(double p) noexcept {
    if (p == pitch2Cached) return;
    pitch2Cached = p;
    convert2(p);
}

double OscillatorCore::readAndAdvance(const double* table, double& phase, std::int32_t& phaseInt,
                                      double increment) noexcept {
    const std::int32_t j = phaseInt;
    const double* t = table + j;
    const double out = t[0] + (t[1] - t[0]) * (phase - j);
    phase += increment;
    // One subtraction suffices at every usual rate; the loop keeps the read
    // inside the table even at very low sample rates, where the top notes
    // step more than a whole cycle per sample.
    while (phase > kPhaseWrap) phase -= kPhaseWrap;
    phaseInt = static_cast<std::int32_t>(phase);
    return out;
}

double OscillatorCore::wave1() noexcept {
    out1 = readAndAdvance((*set1)[table1Index].data(), phase1, phase1Int, inc1);
    return out1;
}

double OscillatorCore::wave2() noexcept {
    out2 = readAndAdvance((*set2)[table2Index].data(), phase2, phase2Int, inc2);
    return out2;
}

double OscillatorCore::noise(double p, std::uint32_t& state, double& acc, DrumFilter& noiseFilter,
                             double& out) noexcept {
    // Values in -0.27..0.27: the remainder keeps the sign of the state read
    // as a signed 32-bit number, computed in single precision.
    auto value = [&state] {
        const auto remainder = static_cast<std::int32_t>(state) % 10;
        return double(static_cast<float>(remainder) * 0.03f);
    };
    acc += rateRatio;
    if (acc < 1.0) {
        // Above 44.1 kHz the value is held; the filter still runs every
        // sample so its response does not depend on the rate.
        noiseFilter.process(value(), p, kNoiseResonance, kFilterSingleStepLowPass);
        return out;
    }
    acc -= 1.0;
    state = (state + 1u) * 33u;
    const double y = noiseFilter.process(value(), p, kNoiseResonance, kFilterSingleStepLowPass);
    // Low pitches filter away most of the level: make it up, up to x10.1.
    const double g = std::max(0.0, 1.0 - p);
    out = y * (g * g * 10.0 + 0.1);
    return out;
}

double OscillatorCore::noise1(double p) noexcept { return noise(p, noise1State, noise1Acc, noise1Filter, out1); }

double OscillatorCore::noise2(double p) noexcept { return noise(p, noise2State, noise2Acc, noise2Filter, out2); }

void OscillatorCore::runFmPair(double p1, double p2, double fm) noexcept {
    if (fm > 0.0 || p1 != pitch1Cached) {
        // |0.5 - p1| - 0.5 = -min(p1, 1 - p1): no modulation at either end.
        convert1(p1 + (std::fabs(0.5 - p1) - 0.5) * fm * fmFeedback);
        pitch1Cached = p1;
    }
    tune2(p2);
    wave1();
    wave2();
    fmFeedback = out2;
}

double OscillatorCore::mix(std::int32_t mode, double p1, double p2, double fm) noexcept {
    switch (mode) {
        case kOscNoiseNoiseFm:
        case kOscNoiseNoise: {
            const double a = noise1(p1);
            return level1 * a + level2 * noise2(p2);
        }
        case kOscWaveFmByNoise: {
            convert1(p1 + fm * fmFeedback);
            wave1();
            fmFeedback = noise2(p2);
            return level2 * fmFeedback + level1 * out1;
        }
        case kOscNoiseFmWave: {
            convert2(p2 + fm * fmFeedback);
            wave2();
            fmFeedback = noise1(p1);
            return level1 * fmFeedback + level2 * out2;
        }
        case kOscWaveFmWave:
            runFmPair(p1, p2, fm);
            return level1 * out1 + level2 * out2;
        case kOscNoiseWave: {
            tune2(p2);
            wave2();
            const double n = noise1(p1);
            return level1 * n + level2 * out2;
        }
        case kOscWaveNoise: {
            tune1(p1);
            wave1();
            const double n = noise2(p2);
            return level1 * out1 + level2 * n;
        }
        case kOscWaveWave:
            tune1(p1);
            tune2(p2);
            wave1();
            wave2();
            return level1 * out1 + level2 * out2;
        case kOscNoise1:
            return noise1(p1);
        case kOscWave1:
            tune1(p1);
            return wave1();
        case kOscNoise2:
            return noise2(p2);
        case kOscWave2:
            tune2(p2);
            return wave2();
        default:
            return 0.0;
    }
}

double OscillatorCore::process(std::int32_t mode, double p1, double p2, double amp, double cutoff, double resonance,
                               double fm) noexcept {
    if (mode <= kOscSilent || mode > kOscWave2) return 0.0;
    const double m = mix(mode, p1, p2, fm);
    // Bass boost: twice a one-pole low-passed copy added, so the lowest
    // frequencies gain up to three times.
    boost = boost + (m - boost) * boostCoef + antiDenormal;
    return filter.process(m + 2.0 * boost, cutoff, resonance, filterType) * amp;
}

void OscillatorCore::keep1(const WaveReader& r) noexcept {
    phase1 = r.phase;
    phase1Int = r.phaseInt;
    inc1 = r.inc;
    table1Index = r.tableIndex;
    pitch1Cached = r.pitchCached;
    out1 = r.out;
}

void OscillatorCore::keep2(const WaveReader& r) noexcept {
    phase2 = r.phase;
    phase2Int = r.phaseInt;
    inc2 = r.inc;
    table2Index = r.tableIndex;
    pitch2Cached = r.pitchCached;
    out2 = r.out;
}

void OscillatorCore::mixRun(std::int32_t mode, const double* p1, const double* p2, const double* fm, int frames,
                            double* m) noexcept {
    // mix() sample by sample, with the wavetable oscillators in locals; a
    // noise oscillator keeps its state (and its output) in the members.
    WaveReader w1 = reader1();
    WaveReader w2 = reader2();
    const double l1 = level1;
    const double l2 = level2;
    double feedback = fmFeedback;
    switch (mode) {
        case kOscNoiseNoiseFm:
        case kOscNoiseNoise:
            for (int k = 0; k < frames; ++k) {
                const double a = noise1(p1[k]);
                m[k] = l1 * a + l2 * noise2(p2[k]);
            }
            return;
        case kOscWaveFmByNoise:
            for (int k = 0; k < frames; ++k) {
                w1.convert(notes, p1[k] + fm[k] * feedback);
                w1.read();
                feedback = noise2(p2[k]);
                m[k] = l2 * feedback + l1 * w1.out;
            }
            keep1(w1);
            break;
        case kOscNoiseFmWave:
            for (int k = 0; k < frames; ++k) {
                w2.convert(notes, p2[k] + fm[k] * feedback);
                w2.read();
                feedback = noise1(p1[k]);
                m[k] = l1 * feedback + l2 * w2.out;
            }
            keep2(w2);
            break;
        case kOscWaveFmWave:
            // runFmPair: the depth shrinks to 0 towards both ends of p1.
            for (int k = 0; k < frames; ++k) {
                const double q1 = p1[k];
                if (fm[k] > 0.0 || q1 != w1.pitchCached) {
                    w1.convert(notes, q1 + (std::fabs(0.5 - q1) - 0.5) * fm[k] * feedback);
                    w1.pitchCached = q1;
                }
                w2.tune(notes, p2[k]);
                w1.read();
                w2.read();
                feedback = w2.out;
                m[k] = l1 * w1.out + l2 * w2.out;
            }
            keep1(w1);
            keep2(w2);
            break;
        case kOscNoiseWave:
            for (int k = 0; k < frames; ++k) {
                w2.tune(notes, p2[k]);
                w2.read();
                const double n = noise1(p1[k]);
                m[k] = l1 * n + l2 * w2.out;
            }
            keep2(w2);
            return;
        case kOscWaveNoise:
            for (int k = 0; k < frames; ++k) {
                w1.tune(notes, p1[k]);
                w1.read();
                const double n = noise2(p2[k]);
                m[k] = l1 * w1.out + l2 * n;
            }
            keep1(w1);
            return;
        case kOscWaveWave:
            for (int k = 0; k < frames; ++k) {
                w1.tune(notes, p1[k]);
                w2.tune(notes, p2[k]);
                w1.read();
                w2.read();
                m[k] = l1 * w1.out + l2 * w2.out;
            }
            keep1(w1);
            keep2(w2);
            return;
        case kOscNoise1:
            for (int k = 0; k < frames; ++k) m[k] = noise1(p1[k]);
            return;
        case kOscWave1:
            for (int k = 0; k < frames; ++k) {
                w1.tune(notes, p1[k]);
                m[k] = w1.read();
            }
            keep1(w1);
            return;
        case kOscNoise2:
            for (int k = 0; k < frames; ++k) m[k] = noise2(p2[k]);
            return;
        case kOscWave2:
            for (int k = 0; k < frames; ++k) {
                w2.tune(notes, p2[k]);
                m[k] = w2.read();
            }
            keep2(w2);
            return;
        default:
            return;
    }
    fmFeedback = feedback;  // the FM modes only
}

void OscillatorCore::render(std::int32_t mode, const double* p1, const double* p2, const double* amp,
                            const double* cutoff, const double* resonance, const double* fm, int frames,
                            double* out) noexcept {
    if (mode <= kOscSilent || mode > kOscWave2) {
        std::fill(out, out + frames, 0.0);
        return;
    }
    mixRun(mode, p1, p2, fm, frames, out);
    // Bass boost as in process(), in the filter's loop.
    double b = boost;
    const double coef = boostCoef;
    const double offset = antiDenormal;
    filter.runMono(
        filterType, frames, cutoff, resonance,
        [&](int k) {
            const double m = out[k];
            b = b + (m - b) * coef + offset;
            return m + 2.0 * b;
        },
        [&](int k, double y) { out[k] = y * amp[k]; });
    boost = b;
}

}  // namespace kettrix::engine
