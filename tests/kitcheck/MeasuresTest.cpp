// The kit report's measures on signals whose answers are known.
#include "Measures.h"

#include <gtest/gtest.h>

#include <cmath>
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
