// The kit report's measures on signals whose answers are known.
#include "Measures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace kettrix::kitcheck;

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// A sine of `hz` whose level falls by `dbPerSecond`, `seconds` long.
std::vector<double> decayingSine(double hz, double amplitude, double dbPerSecond, double seconds) {
    std::vector<double> x(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        x[i] = amplitude * std::pow(10.0, -dbPerSecond * t / 20.0) * std::sin(2.0 * kPi * hz * t);
    }
    return x;
}

std::vector<double> whiteNoise(std::size_t n, double amplitude) {
    std::vector<double> x(n);
    std::uint32_t state = 12345u;
    for (double& v : x) {
        state = state * 1664525u + 1013904223u;
        v = amplitude * (static_cast<double>(state >> 8) / 8388608.0 - 1.0);
    }
    return x;
}

// Sum of sines (hz, amplitude) at `rate`, falling by dbPerSecond.
std::vector<double> partials(const std::vector<std::pair<double, double>>& tones, double rate, double dbPerSecond,
                             double seconds) {
    std::vector<double> x(static_cast<std::size_t>(seconds * rate), 0.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        for (const auto& [hz, amplitude] : tones) x[i] += amplitude * std::sin(2.0 * kPi * hz * t);
        x[i] *= std::pow(10.0, -dbPerSecond * t / 20.0);
    }
    return x;
}

// A sine whose pitch falls from settled * 2^(size/12) towards `settled`,
// the excess in semitones shrinking as exp(-t / tau); 40 dB per second.
std::vector<double> sweep(double settled, double size, double tau, double seconds, double rate = kRate) {
    std::vector<double> x(static_cast<std::size_t>(seconds * rate));
    double phase = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        x[i] = 0.5 * std::pow(10.0, -40.0 * t / 20.0) * std::sin(phase);
        phase += 2.0 * kPi * settled * std::pow(2.0, size * std::exp(-t / tau) / 12.0) / rate;
    }
    return x;
}

}  // namespace

TEST(Measures, ToneGivesItsPitchCentroidAndDecay) {
    // 120 dB per second: -60 dB after half a second.
    const auto x = decayingSine(110.0, 0.5, 120.0, 2.0);
    const HitMeasures m = measureHit(x, x, kRate);
    ASSERT_FALSE(m.silent);
    EXPECT_NEAR(m.fundamentalHz, 110.0, 1.0);
    EXPECT_NEAR(m.centroidHz, 110.0, 15.0);
    EXPECT_NEAR(m.decaySeconds, 0.5, 0.02);
    // The first crest comes a quarter period in, already 120/440 dB down.
    EXPECT_NEAR(m.peakDb, 20.0 * std::log10(0.5) - 120.0 / 440.0, 0.01);
}

TEST(Measures, NoiseHasNoPitchAndABrightCentroid) {
    const auto x = whiteNoise(22050, 0.3);
    const HitMeasures m = measureHit(x, x, kRate);
    EXPECT_EQ(m.fundamentalHz, 0.0);
    EXPECT_GT(m.centroidHz, 8000.0);  // white noise: about a quarter of the rate
    EXPECT_NEAR(m.decaySeconds, 0.5, 0.01);
}

TEST(Measures, LoudnessFollowsLevelAndDuration) {
    const auto loud = decayingSine(1000.0, 0.5, 0.0, 1.0);
    const auto quiet = decayingSine(1000.0, 0.25, 0.0, 1.0);
    const double a = maxMomentaryLoudness(loud, loud, kRate);
    const double b = maxMomentaryLoudness(quiet, quiet, kRate);
    EXPECT_NEAR(a - b, 20.0 * std::log10(2.0), 0.05);
    // A 1 kHz sine of amplitude 0.5 in both channels: -6.02 dBFS per channel
    // plus 3.01 dB for two channels, on the -3.01 dB sine-to-LUFS scale.
    EXPECT_NEAR(a, -6.02, 0.2);
    // The same tone cut to 40 ms fills a tenth of the 400 ms window.
    const std::vector<double> shortTone(loud.begin(), loud.begin() + 1764);
    EXPECT_NEAR(a - maxMomentaryLoudness(shortTone, shortTone, kRate), 10.0, 0.3);
}

TEST(Measures, SilenceIsReportedAsSuch) {
    const std::vector<double> zeros(4410, 0.0);
    const HitMeasures m = measureHit(zeros, zeros, kRate);
    EXPECT_TRUE(m.silent);
    EXPECT_EQ(m.loudness, kSilentLufs);
}

TEST(Measures, PowerSharesSplitAtTheirBands) {
    // Equal sines at 50 and 200 Hz: half the power each side of 100 Hz, the
    // 200 Hz half in the 120-400 Hz band; nothing above 10 kHz.
    const auto x = partials({{50.0, 0.3}, {200.0, 0.3}}, kRate, 0.0, 1.0);
    const HitMeasures m = measureHit(x, x, kRate);
    EXPECT_NEAR(m.shareBelow100, 0.5, 0.02);
    EXPECT_NEAR(m.share120To400, 0.5, 0.02);
    EXPECT_LT(m.shareAbove10k, 1e-4);
    // A 12 kHz sine with a 16 kHz one a tenth of its power: 10k holds all,
    // 15k a eleventh.
    const auto hi = partials({{12000.0, 0.3}, {16000.0, 0.3 / std::sqrt(10.0)}}, kRate, 0.0, 0.5);
    const HitMeasures h = measureHit(hi, hi, kRate);
    EXPECT_NEAR(h.shareAbove10k, 1.0, 0.01);
    EXPECT_NEAR(h.shareAbove15k, 1.0 / 11.0, 0.01);
    EXPECT_NEAR(h.audibleCentroidHz, (12000.0 + 1600.0) / 1.1, 60.0);
}

TEST(Measures, DecayToFortyAndSixtyDecibelsOfAnExponential) {
    // 80 dB per second: -40 dB at 0.5 s, -60 dB at 0.75 s.
    const auto x = partials({{440.0, 0.5}}, kRate, 80.0, 2.0);
    const HitMeasures m = measureHit(x, x, kRate);
    EXPECT_NEAR(m.decay40Seconds, 0.5, 0.01);
    EXPECT_NEAR(m.decaySeconds, 0.75, 0.01);
}

TEST(Measures, CentroidWindowsFollowTheSoundOverTime) {
    // 200 Hz for the first 30 ms, then 5 kHz.
    std::vector<double> x = partials({{200.0, 0.5}}, kRate, 0.0, 0.03);
    const auto later = partials({{5000.0, 0.5}}, kRate, 0.0, 0.5);
    x.insert(x.end(), later.begin(), later.end());
    const HitMeasures m = measureHit(x, x, kRate);
    EXPECT_LT(m.windowCentroidHz[0], 1500.0);
    EXPECT_NEAR(m.windowCentroidHz[1], 5000.0, 250.0);
    EXPECT_NEAR(m.windowCentroidHz[2], 5000.0, 50.0);
}

TEST(Measures, PitchSweepSizeAndWhereItStands) {
    // 24 semitones above 50 Hz falling with a 0.1 s time constant: the first
    // whole cycle (from the first upward crossing after the onset, its middle
    // 7.6 ms in) is 22.2 semitones up, 40 ms in 16.1 and within one semitone
    // after 0.1 * ln 24 = 0.32 s.
    const auto x = sweep(50.0, 24.0, 0.1, 1.5);
    const HitMeasures m = measureHit(x, x, kRate);
    EXPECT_NEAR(m.settledPitchHz, 50.0, 0.5);
    EXPECT_NEAR(m.sweepSemitones, 22.2, 0.5);
    EXPECT_NEAR(m.sweepAt40msSemitones, 16.1, 0.6);
    EXPECT_NEAR(m.sweepSeconds, 0.32, 0.03);
    ASSERT_EQ(m.cycleHz.size(), static_cast<std::size_t>(kTrackedCycles));
    EXPECT_GT(m.cycleHz[0], m.cycleHz[5]);

    // A steady tone does not sweep, and a click on top of it adds no cycles.
    auto steady = partials({{60.0, 0.5}}, kRate, 20.0, 1.0);
    steady[100] += 0.4;
    const HitMeasures s = measureHit(steady, steady, kRate);
    EXPECT_NEAR(s.startPitchHz, 60.0, 0.6);
    EXPECT_NEAR(s.sweepSemitones, 0.0, 0.2);
}

TEST(Measures, TailCutAndOnsetStep) {
    // A decaying sine stopped where it is 50 dB down reads as cut there; one
    // left to fade away reads near the floor.
    auto cut = partials({{300.0, 0.5}}, kRate, 100.0, 2.0);
    std::fill(cut.begin() + static_cast<std::ptrdiff_t>(0.5 * kRate), cut.end(), 0.0);
    EXPECT_NEAR(measureHit(cut, cut, kRate).tailDb, -50.0, 3.0);
    const auto faded = partials({{300.0, 0.5}}, kRate, 100.0, 2.0);
    EXPECT_LT(measureHit(faded, faded, kRate).tailDb, -100.0);

    // A sine from phase 0: the first sounding sample is sin(2 pi 100 / 44100)
    // of the peak (-37 dB); the cosine starts at its peak.
    const auto sine = partials({{100.0, 0.5}}, kRate, 0.0, 0.5);
    EXPECT_NEAR(measureHit(sine, sine, kRate).onsetStepDb, 20.0 * std::log10(std::sin(2.0 * kPi * 100.0 / kRate)), 0.1);
    std::vector<double> cosine(sine.size());
    for (std::size_t i = 0; i < cosine.size(); ++i) cosine[i] = 0.5 * std::cos(2.0 * kPi * 100.0 * i / kRate);
    EXPECT_NEAR(measureHit(cosine, cosine, kRate).onsetStepDb, 0.0, 0.01);
}

TEST(Measures, TheSameHitMeasuresTheSameAtEveryRate) {
    for (double rate : {48000.0, 96000.0}) {
        const auto a = partials({{80.0, 0.5}, {900.0, 0.1}}, kRate, 60.0, 1.5);
        const auto b = partials({{80.0, 0.5}, {900.0, 0.1}}, rate, 60.0, 1.5);
        const HitMeasures x = measureHit(a, a, kRate), y = measureHit(b, b, rate);
        EXPECT_NEAR(y.audibleCentroidHz / x.audibleCentroidHz, 1.0, 0.01) << rate;
        EXPECT_NEAR(y.decay40Seconds / x.decay40Seconds, 1.0, 0.02) << rate;
        EXPECT_NEAR(y.fundamentalHz / x.fundamentalHz, 1.0, 0.01) << rate;
        EXPECT_NEAR(y.startPitchHz / x.startPitchHz, 1.0, 0.01) << rate;
        EXPECT_LT(soundDistance(x, y), 1.0) << rate;
        EXPECT_LT(foldedPowerDb(a, kRate, b, rate), -60.0) << rate;
    }
}

TEST(Measures, ASweepingToneHasTheSameFundamentalAtEveryRate) {
    // The fundamental is read over the same time after the attack at every
    // rate, so a kick still falling there reads alike.
    const auto a = sweep(50.0, 24.0, 0.05, 1.0);
    const double f44k = measureHit(a, a, kRate).fundamentalHz;
    for (double rate : {48000.0, 96000.0}) {
        const auto b = sweep(50.0, 24.0, 0.05, 1.0, rate);
        EXPECT_NEAR(measureHit(b, b, rate).fundamentalHz / f44k, 1.0, 0.01) << rate;
    }
}

TEST(Measures, FoldedPowerFindsWhatTheHighRateLacks) {
    // A partial at 19 kHz, 20 dB under the 1 kHz tone, that the 96 kHz
    // render of the same hit does not hold (where a folded partial lands).
    const auto folded = partials({{1000.0, 0.5}, {19000.0, 0.05}}, kRate, 20.0, 1.0);
    const auto clean = partials({{1000.0, 0.5}}, 96000.0, 20.0, 1.0);
    EXPECT_NEAR(foldedPowerDb(folded, kRate, clean, 96000.0), 10.0 * std::log10(0.01 / 1.01), 0.5);
}

TEST(Measures, SoundDistanceCountsProfileAndDecay) {
    const auto a = partials({{200.0, 0.5}}, kRate, 80.0, 2.0);
    const HitMeasures m = measureHit(a, a, kRate);
    EXPECT_EQ(soundDistance(m, m), 0.0);
    EXPECT_EQ(*std::max_element(m.profileDb.begin(), m.profileDb.end()), 0.0);
    // The same profile decaying ten times longer: 10 * log10(10).
    HitMeasures longer = m;
    longer.decay40Seconds *= 10.0;
    EXPECT_NEAR(soundDistance(m, longer), 10.0, 1e-9);
    // A tone two octaves up moves the profile's peak: clearly apart.
    const auto b = partials({{800.0, 0.5}}, kRate, 80.0, 2.0);
    EXPECT_GT(soundDistance(m, measureHit(b, b, kRate)), 10.0);
}
