// DrumFilter driven as a voice drives it: reset at note start, then one call
// per sample with the current cutoff, resonance and type. Audio is judged by
// level, frequency, finiteness and denormal-freedom.

#include "engine/DrumFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace kettrix::engine {
namespace {

constexpr double kRates[] = {44100.0, 48000.0, 96000.0};

// Deterministic white noise in -1..1 from a 32-bit LCG.
class Noise {
public:
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_) / 2147483647.5 - 1.0;
    }

private:
    std::uint32_t state_ = 12345u;
};

// Frequency from the mean distance of rising zero crossings (interpolated).
double ringFrequency(const std::vector<double>& y, double rate) {
    std::vector<double> crossings;
    for (std::size_t i = 1; i < y.size(); ++i)
        if (y[i - 1] < 0.0 && y[i] >= 0.0) crossings.push_back(i - 1 + y[i - 1] / (y[i - 1] - y[i]));
    if (crossings.size() < 2) return 0.0;
    return rate * (crossings.size() - 1) / (crossings.back() - crossings.front());
}

// RMS gain of a sine after the filter has settled.
double sineGain(int type, double hz, double cutoff, double rate) {
    DrumFilter filter(rate);
    double in = 0.0, out = 0.0;
    const int n = static_cast<int>(rate);
    for (int i = 0; i < n; ++i) {
        const double x = std::sin(2.0 * std::numbers::pi * hz * i / rate);
        const double y = filter.process(x, cutoff, 0.0, type);
        if (i >= n / 2) {
            in += x * x;
            out += y * y;
        }
    }
    return std::sqrt(out / in);
}

bool isSubnormal(double v) { return std::fpclassify(v) == FP_SUBNORMAL; }

TEST(DrumFilter, OffAndUnknownTypesPassTheInputExactly) {
    DrumFilter filter(44100.0);
    Noise noise;
    for (int type : {0, -1, 15, 1000}) {
        for (int i = 0; i < 100; ++i) {
            const double x = noise.next();
            ASSERT_EQ(filter.process(x, 0.3, 0.9, type), x) << "type " << type;
        }
        filter.processStereo(0.25, -0.5, 0.3, 0.9, type);
        EXPECT_EQ(filter.outL, 0.25);
        EXPECT_EQ(filter.outR, -0.5);
    }
    EXPECT_EQ(filter.lowL, 0.0);
    EXPECT_EQ(filter.bandL, 0.0);
}

TEST(DrumFilter, SixDbLowPassSettlesOnDirectCurrent) {
    for (double rate : kRates)
        for (double cutoff : {1.0, 0.5}) {
            DrumFilter filter(rate);
            double y = 0.0;
            for (int i = 0; i < static_cast<int>(rate); ++i) y = filter.process(1.0, cutoff, 0.0, kFilterLowPass6);
            EXPECT_NEAR(y, 1.0, 1e-6) << rate << " Hz, cutoff " << cutoff;
        }
}

// The state-variable filter runs two half steps per sample with the
// coefficient of the single rate, so its resonance sits one octave above the
// table frequency of the cutoff (880 Hz at 0.5); the single-step type 13
// resonates at the table frequency itself.
TEST(DrumFilter, ResonantFiltersRingAtTheirTuning) {
    for (double rate : kRates)
        for (double cutoff : {0.5, 0.7}) {
            const double tableHz = 440.0 * std::pow(2.0, (cutoff * 120.0 - 60.0) / 12.0);
            for (int type : {kFilterBandPass12, kFilterSingleStepLowPass}) {
                SCOPED_TRACE("rate " + std::to_string(rate) + " cutoff " + std::to_string(cutoff) + " type " +
                             std::to_string(type));
                DrumFilter filter(rate);
                std::vector<double> y;
                for (int i = 0; i < static_cast<int>(rate * 0.2); ++i)
                    y.push_back(
                        filter.process(i == 0 ? 1.0 : 0.0, cutoff, type == kFilterBandPass12 ? 1.0 : 0.95, type));
                const double expected = type == kFilterBandPass12 ? 2.0 * tableHz : tableHz;
                if (type == kFilterSingleStepLowPass) {
                    for (double& v : y) v -= filter.lowL;  // ring around the settled offset
                }
                EXPECT_NEAR(ringFrequency(y, rate), expected, expected * 0.01);
            }
        }
}

TEST(DrumFilter, AnalogLowPassSelfOscillatesWithinBounds) {
    for (double rate : kRates) {
        DrumFilter filter(rate);
        double peak = 0.0, late = 0.0;
        const int n = static_cast<int>(rate * 2.0);
        for (int i = 0; i < n; ++i) {
            const double y = filter.process(i == 0 ? 0.1 : 0.0, 0.5, 1.0, kFilterAnalogLowPass12);
            ASSERT_TRUE(std::isfinite(y));
            peak = std::max(peak, std::abs(y));
            if (i > n * 3 / 4) late = std::max(late, std::abs(y));
        }
        EXPECT_GT(late, 0.1) << rate;  // still ringing 1.5 s after a small kick
        EXPECT_LT(peak, 20.0) << rate;
    }
}

TEST(DrumFilter, CutoffIsPickedUpEveryTenCallsAndGlidesOverTen) {
    DrumFilter filter(44100.0);
    const double fA = filter.cutoffTable.lookup(0.2 * 120.0);
    const double fB = filter.cutoffTable.lookup(0.8 * 120.0);
    filter.process(0.0, 0.2, 0.0, kFilterLowPass6);
    EXPECT_DOUBLE_EQ(filter.f, fA);  // right after reset: at once
    for (int call = 2; call <= 10; ++call) {
        filter.process(0.0, 0.8, 0.0, kFilterLowPass6);
        EXPECT_DOUBLE_EQ(filter.f, fA) << "call " << call;
    }
    for (int step = 1; step <= 10; ++step) {
        filter.process(0.0, 0.8, 0.0, kFilterLowPass6);
        EXPECT_NEAR(filter.f, fA + (fB - fA) * step / 10.0, 1e-12) << "glide step " << step;
    }
    filter.process(0.0, 0.8, 0.0, kFilterLowPass6);
    EXPECT_NEAR(filter.f, fB, 1e-12);
}

// A note held for hours at one cutoff keeps calling the filter with nothing
// to glide; its call count must neither overflow nor change what it plays.
TEST(DrumFilter, SettledFilterPlaysOnForHoursWithoutOverflow) {
    for (int type : {kFilterLowPass6, kFilterBandPass12, kFilterAnalogLowPass12}) {
        DrumFilter held(44100.0);
        DrumFilter fresh(44100.0);
        Noise noise;
        for (int i = 0; i < 100; ++i) {
            const double x = noise.next();
            held.process(x, 0.5, 0.3, type);
            fresh.process(x, 0.5, 0.3, type);
        }
        // Where the count would stand after 2^31 calls at this cutoff.
        held.counter = INT32_MAX;
        for (int i = 0; i < 100; ++i) {
            const double x = noise.next();
            ASSERT_EQ(held.process(x, 0.5, 0.3, type), fresh.process(x, 0.5, 0.3, type)) << "type " << type;
        }
        EXPECT_GE(held.counter, 10);
        // A new cutoff is still picked up at once.
        held.process(0.0, 0.6, 0.3, type);
        fresh.process(0.0, 0.6, 0.3, type);
        EXPECT_EQ(held.f, fresh.f) << "type " << type;
    }
}

TEST(DrumFilter, ShelvesLiftOppositeEnds) {
    const double low = 50.0, high = 8000.0;
    for (auto [lowShelf, highShelf] :
         {std::pair{kFilterLowShelf6, kFilterHighShelf6}, std::pair{kFilterLowShelf12, kFilterHighShelf12}}) {
        SCOPED_TRACE("types " + std::to_string(lowShelf) + "/" + std::to_string(highShelf));
        EXPECT_NEAR(sineGain(lowShelf, low, 0.5, 44100.0), 2.0, 0.1);
        EXPECT_NEAR(sineGain(lowShelf, high, 0.5, 44100.0), 1.0, 0.1);
        EXPECT_NEAR(sineGain(highShelf, low, 0.5, 44100.0), 1.0, 0.1);
        EXPECT_NEAR(sineGain(highShelf, high, 0.5, 44100.0), 2.0, 0.1);
    }
}

TEST(DrumFilter, StereoChannelsMatchTheMonoPathIndependently) {
    Noise noise;
    for (int type = kFilterLowPass6; type <= kFilterAnalogLowPass12; ++type) {
        DrumFilter stereo(48000.0), left(48000.0), right(48000.0);
        for (int i = 0; i < 500; ++i) {
            const double xL = noise.next(), xR = 0.5 * noise.next();
            const double cutoff = 0.3 + 0.0005 * i;
            stereo.processStereo(xL, xR, cutoff, 0.8, type);
            ASSERT_EQ(stereo.outL, left.process(xL, cutoff, 0.8, type)) << "type " << type;
            ASSERT_EQ(stereo.outR, right.process(xR, cutoff, 0.8, type)) << "type " << type;
        }
    }
}

// White noise at the corners of the cutoff and resonance ranges (and beyond
// them), then a long silence: outputs stay finite and bounded, and neither
// outputs nor states decay into subnormal numbers.
// Every type at the usual rates; the types a sound's menu offers (any cutoff
// reaches them) also down to the lowest rate the plug-in takes, where the top
// of the cutoff scale lies above half the rate.
TEST(DrumFilter, EveryTypeStaysFiniteAndFreeOfDenormals) {
    for (double rate : {8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 96000.0})
        for (int type = 0; type < (rate < kRates[0] ? kFilterMenuTypeCount : kFilterTypeCount); ++type)
            for (double cutoff : {-0.5, 0.0, 0.5, 0.92, 1.0})
                for (double resonance : {0.0, 1.0}) {
                    SCOPED_TRACE("rate " + std::to_string(rate) + " type " + std::to_string(type) + " cutoff " +
                                 std::to_string(cutoff) + " resonance " + std::to_string(resonance));
                    DrumFilter filter(rate);
                    filter.setFixed(cutoff, resonance);
                    Noise noise;
                    const int n = static_cast<int>(rate * 0.1);
                    double peak = 0.0;
                    bool clean = true;
                    for (int i = 0; i < 5 * n && clean; ++i) {
                        const double x = i < n ? noise.next() : 0.0;
                        const double y = filter.process(x, cutoff, resonance, type);
                        filter.processStereo(x, -x, cutoff, resonance, type);
                        clean = std::isfinite(y) && std::isfinite(filter.outL) && std::isfinite(filter.outR) &&
                                !isSubnormal(y) && !isSubnormal(filter.outL) && !isSubnormal(filter.outR) &&
                                !isSubnormal(filter.lowL) && !isSubnormal(filter.bandL) && !isSubnormal(filter.lowR) &&
                                !isSubnormal(filter.bandR);
                        peak = std::max(peak, std::abs(y));
                        if (!clean) ADD_FAILURE() << "sample " << i << " output " << y;
                    }
                    EXPECT_LT(peak, 1000.0);
                }
}

}  // namespace
}  // namespace kettrix::engine

namespace kettrix::engine {
namespace {

// A run over an array must be exactly the calls it replaces: the voices
// render runs, and the golden renders were made sample by sample. The
// cutoff moves every sample, holds still, and jumps, so every coefficient
// rule (glide, pick-up, fast path) is crossed; runs have every length.
TEST(DrumFilterRun, RunsGiveTheSamplesAndStateOfSingleCalls) {
    for (double rate : {44100.0, 96000.0})
        for (int type = 0; type <= kFilterTypeCount; ++type)
            for (bool stereo : {false, true}) {
                DrumFilter single(rate);
                DrumFilter run(rate);
                single.setFixed(0.7, 0.6);
                run.setFixed(0.7, 0.6);
                Noise noise;
                std::uint32_t lengths = 7u;
                int n = 0;
                for (int block = 0; block < 200; ++block) {
                    lengths = lengths * 1103515245u + 12345u;
                    const int frames = 1 + static_cast<int>((lengths >> 16) % 64u);
                    double xL[64], xR[64], cutoff[64], resonance[64];
                    StereoSample expected[64];
                    for (int k = 0; k < frames; ++k, ++n) {
                        xL[k] = noise.next();
                        xR[k] = noise.next();
                        cutoff[k] = (n / 300) % 2 ? 0.5 : 0.3 + 0.6 * std::fabs(std::sin(n * 0.01));
                        resonance[k] = (n / 500) % 3 * 0.45;
                        expected[k] = stereo ? single.processStereo(xL[k], xR[k], cutoff[k], resonance[k], type)
                                             : StereoSample{single.process(xL[k], cutoff[k], resonance[k], type), 0.0};
                    }
                    double yL[64], yR[64];
                    if (stereo) {
                        run.runStereo(
                            type, frames, cutoff, resonance,
                            [&](int k) {
                                return StereoSample{xL[k], xR[k]};
                            },
                            [&](int k, StereoSample y) {
                                yL[k] = y.left;
                                yR[k] = y.right;
                            });
                    } else {
                        run.runMono(
                            type, frames, cutoff, resonance, [&](int k) { return xL[k]; },
                            [&](int k, double y) { yL[k] = y; });
                    }
                    for (int k = 0; k < frames; ++k) {
                        ASSERT_EQ(yL[k], expected[k].left) << "type " << type << " stereo " << stereo << " at " << n;
                        if (stereo) {
                            ASSERT_EQ(yR[k], expected[k].right) << "type " << type << " at " << n;
                        }
                    }
                }
                EXPECT_EQ(run.lowL, single.lowL);
                EXPECT_EQ(run.bandR, single.bandR);
                EXPECT_EQ(run.f, single.f);
                EXPECT_EQ(run.outL, single.outL);
            }
}

}  // namespace
}  // namespace kettrix::engine
