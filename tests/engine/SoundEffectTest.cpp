#include "engine/effects/SoundEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using kettrix::engine::SoundEffect;

namespace {

// One stereo sample through the effect; the result is read from outL/outR.
void processOne(SoundEffect& fx, double left, double right) { fx.processRun(&left, &right, 1); }

// A ramp makes every input sample distinct, so held samples are visible.
double ramp(int i) { return 0.001 * (i + 1); }

std::vector<double> runLeft(SoundEffect& fx, int count) {
    std::vector<double> out;
    for (int i = 0; i < count; ++i) {
        processOne(fx, ramp(i), -ramp(i));
        out.push_back(fx.outL());
        EXPECT_EQ(fx.outR(), -fx.outL());
    }
    return out;
}

// Length of each run of equal output samples after the first change.
std::vector<int> holdLengths(const std::vector<double>& out) {
    std::vector<int> lengths;
    int run = 1;
    for (std::size_t i = 1; i < out.size(); ++i) {
        if (out[i] == out[i - 1]) {
            ++run;
        } else {
            lengths.push_back(run);
            run = 1;
        }
    }
    return lengths;
}

}  // namespace

TEST(SoundEffect, OffReportsDisabledWhateverTheAmount) {
    SoundEffect fx;
    fx.setEffectAmount(0.77);
    fx.setEffectType(0);
    EXPECT_FALSE(fx.enabled());
    processOne(fx, 0.3, -0.2);
    EXPECT_EQ(fx.outL(), 0.3);
    EXPECT_EQ(fx.outR(), -0.2);
    fx.setEffectType(2);
    EXPECT_TRUE(fx.enabled());
}

TEST(SoundEffect, CrushHoldsEachSampleForOneTwoAndTwoHundredSamples) {
    SoundEffect fx;
    fx.setEffectType(1);

    fx.setEffectAmount(0.0);
    const auto identity = runLeft(fx, 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(identity[static_cast<unsigned>(i)], ramp(i));

    fx.setEffectType(1);  // clears the hold clock
    fx.setEffectAmount(0.5);
    auto lengths = holdLengths(runLeft(fx, 41));
    ASSERT_GE(lengths.size(), 10u);
    for (std::size_t i = 1; i < lengths.size(); ++i) EXPECT_EQ(lengths[i], 2);

    fx.setEffectType(1);
    fx.setEffectAmount(1.0);
    lengths = holdLengths(runLeft(fx, 1001));
    ASSERT_GE(lengths.size(), 4u);
    for (std::size_t i = 1; i < lengths.size(); ++i) EXPECT_NEAR(lengths[i], 200, 1);
}

TEST(SoundEffect, DriveClipsSoftlyAndKeepsSmallSignalsAtAmountZero) {
    EXPECT_EQ(SoundEffect::clip(1.0), 1.0);
    EXPECT_EQ(SoundEffect::clip(-1.25), -1.25);
    EXPECT_DOUBLE_EQ(SoundEffect::clip(1.5), 1.4375);
    EXPECT_DOUBLE_EQ(SoundEffect::clip(-1.5), -1.4375);
    EXPECT_EQ(SoundEffect::clip(1.76), 1.5);
    EXPECT_EQ(SoundEffect::clip(1e9), 1.5);
    EXPECT_EQ(SoundEffect::clip(-1e9), -1.5);
    // Continuous and monotonic through the knee.
    double last = SoundEffect::clip(-3.0);
    for (double x = -3.0; x <= 3.0; x += 0.001) {
        const double y = SoundEffect::clip(x);
        EXPECT_GE(y, last - 1e-12);
        EXPECT_LE(std::fabs(y - last), 0.0011);
        last = y;
    }

    SoundEffect fx;
    fx.setEffectType(2);
    fx.setEffectAmount(0.0);
    processOne(fx, 0.9, -1.25);
    EXPECT_EQ(fx.outL(), 0.9);
    EXPECT_EQ(fx.outR(), -1.25);
    processOne(fx, 1.5, 2.0);
    EXPECT_DOUBLE_EQ(fx.outL(), 1.4375);
    EXPECT_EQ(fx.outR(), 1.5);
}

TEST(SoundEffect, DriveAtFullAmountGivesPointTwoOTwo) {
    SoundEffect fx;
    fx.setEffectType(2);
    fx.setEffectAmount(1.0);
    processOne(fx, 0.01, 1.0);
    EXPECT_NEAR(fx.outL(), 0.202, 1e-12);
    EXPECT_NEAR(fx.outR(), 0.3, 1e-12);  // the output ceiling at full drive
}

TEST(SoundEffect, CompressorAtAmountZeroStaysAtUnity) {
    SoundEffect fx;
    fx.setEffectType(3);
    fx.setEffectAmount(0.0);
    for (int trigger = 0; trigger < 3; ++trigger) {
        fx.startDip();
        for (int i = 0; i < 100000; ++i) {
            processOne(fx, 0.5, 0.5);
            ASSERT_NEAR(fx.compressorGain(), 1.0, 1e-7);
        }
    }
}

TEST(SoundEffect, CompressorAtFullAmountDipsThenRecovers) {
    SoundEffect fx;
    fx.setEffectType(3);
    fx.setEffectAmount(1.0);
    fx.startDip();
    double lowest = 1.0;
    int lowestAt = 0;
    for (int i = 0; i < 200000; ++i) {
        processOne(fx, 1.0, 1.0);
        EXPECT_EQ(fx.outL(), fx.compressorGain());
        if (fx.compressorGain() < lowest) {
            lowest = fx.compressorGain();
            lowestAt = i;
        }
    }
    EXPECT_LT(lowest, 0.001);
    EXPECT_GT(lowestAt, 1000);             // a glide down, not a jump
    EXPECT_LT(lowestAt, 10000);            // about 3000 samples at 44.1 kHz
    EXPECT_GT(fx.compressorGain(), 0.99);  // recovered

    // The same dip at 96 kHz takes proportionally longer.
    SoundEffect slow(96000.0);
    slow.setEffectType(3);
    slow.setEffectAmount(1.0);
    slow.startDip();
    int below = -1;
    for (int i = 0; i < 20000 && below < 0; ++i) {
        processOne(slow, 1.0, 1.0);
        if (slow.compressorGain() < 0.5) below = i;
    }
    EXPECT_NEAR(below, static_cast<int>(std::log(2.0) / (0.003 * 44100.0 / 96000.0)), 10);
}

TEST(SoundEffect, TypeChangeClearsCrushButKeepsCompressorGain) {
    SoundEffect fx;
    fx.setEffectType(3);
    fx.setEffectAmount(0.8);
    fx.startDip();
    for (int i = 0; i < 500; ++i) processOne(fx, 1.0, 1.0);
    const double gain = fx.compressorGain();
    ASSERT_LT(gain, 0.9);
    fx.setEffectType(1);
    EXPECT_EQ(fx.outL(), 0.0);
    fx.setEffectType(3);
    EXPECT_EQ(fx.compressorGain(), gain);
}

namespace {

// Inputs around every knee of the drive's waveshaper, and values no signal
// should carry but a broken patch might.
std::vector<double> driveProbes() {
    std::vector<double> x{0.0, -0.0, 1.25, -1.25, 1.75, -1.75, 1e300, -1e300, INFINITY, -INFINITY, NAN, 5e-324};
    for (int i = -4000; i <= 4000; ++i) x.push_back(i * 0.000731);
    return x;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

// A run of the drive processes both channels side by side; every sample must
// be the one a run of one sample gives, in both packings of the pair.
TEST(SoundEffect, DriveRunMatchesSampleBySampleInBothPackings) {
    const std::vector<double> probes = driveProbes();
    for (double amount : {0.0, 0.013, 0.5, 1.0}) {
        SoundEffect fx;
        fx.setEffectType(2);
        fx.setEffectAmount(amount);
        std::vector<double> packedL = probes, packedR(probes.rbegin(), probes.rend());
        std::vector<double> plainL = packedL, plainR = packedR, runL = packedL, runR = packedR;
        const int n = static_cast<int>(probes.size());
        fx.driveRun<true>(packedL.data(), packedR.data(), n);
        fx.driveRun<false>(plainL.data(), plainR.data(), n);
        fx.processRun(runL.data(), runR.data(), n);
        for (std::size_t i = 0; i < probes.size(); ++i) {
            processOne(fx, probes[i], probes[probes.size() - 1 - i]);
            ASSERT_TRUE(sameBits(packedL[i], fx.outL()) && sameBits(packedR[i], fx.outR()))
                << "amount " << amount << ", input " << probes[i];
            ASSERT_TRUE(sameBits(plainL[i], fx.outL()) && sameBits(plainR[i], fx.outR()));
            ASSERT_TRUE(sameBits(runL[i], fx.outL()) && sameBits(runR[i], fx.outR()));
        }
    }
}
