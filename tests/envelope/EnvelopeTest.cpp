// Envelope pairs driven the way a voice drives them: start at a trigger,
// tick once per sample, write the mode at note-off, check activity per block.

#include "engine/Envelope.h"
#include "engine/EnvelopeShapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/LanePair.h"

namespace kettrix::engine {
namespace {

constexpr double kRate = 44100.0;

int samplesOf(double seconds, double rate = kRate) { return static_cast<int>(std::lround(seconds * rate)); }

std::vector<double> run(EnvelopePair& pair, int samples) {
    std::vector<double> out(static_cast<std::size_t>(samples));
    for (double& v : out) v = pair.tick();
    return out;
}

double maxIn(const std::vector<double>& v, double from, double to) {
    double m = -1e300;
    for (int i = samplesOf(from); i < samplesOf(to); ++i) m = std::max(m, v[static_cast<std::size_t>(i)]);
    return m;
}

// Indices where the output falls through half of `level`.
std::vector<int> fallingEdges(const std::vector<double>& v, double level) {
    std::vector<int> edges;
    for (std::size_t i = 1; i < v.size(); ++i)
        if (v[i - 1] > 0.5 * level && v[i] <= 0.5 * level) edges.push_back(static_cast<int>(i));
    return edges;
}

TEST(EnvelopePair, ZeroAttackIsAtFullDepthOnTheFirstSample) {
    EnvelopePair pair(kRate);
    pair.attack.setAttackShapeVolume(0);
    pair.start(0.0, 1.0, 0.0, 0.8, false);
    EXPECT_EQ(pair.active, 1);
    EXPECT_DOUBLE_EQ(pair.tick(), 0.8);
}

TEST(EnvelopePair, EchoReleasePlaysThreeDecayingBursts) {
    EnvelopePair pair(kRate);
    pair.attack.setAttackShapeVolume(0);
    pair.release.setReleaseShape(7);
    pair.start(0.0, 1.0, 0.0, 1.0, false);
    pair.tick();  // the zero-length attack stands on its end for one sample
    const std::vector<double> out = run(pair, samplesOf(1.1));

    EXPECT_NEAR(maxIn(out, 0.0, 0.01), 1.0, 1e-3);
    EXPECT_LT(maxIn(out, 0.29, 0.319), 1e-3);  // silence between bursts
    EXPECT_NEAR(maxIn(out, 0.32, 0.34), 0.5, 1e-3);
    EXPECT_LT(maxIn(out, 0.62, 0.649), 1e-3);
    EXPECT_NEAR(maxIn(out, 0.65, 0.67), 0.2, 1e-3);
    // The bursts start at 0.33 and 0.66 s, not before.
    EXPECT_LT(maxIn(out, 0.32, 0.325), 0.3);
    EXPECT_LT(maxIn(out, 0.65, 0.655), 0.15);
    EXPECT_EQ(maxIn(out, 1.001, 1.1), 0.0);
    EXPECT_EQ(pair.updateActive(), 0);
}

TEST(EnvelopePair, SquareLfoRepeatsWhileHeldAndPlaysOnceInTrigger) {
    const double period = 0.1, depth = 0.7;
    for (int mode : {kModeHold, kModeTrigger}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        EnvelopePair pair(kRate);
        pair.attack.setAttackShapeModulation(7);
        pair.release.setReleaseShape(0);
        pair.mode = mode;
        pair.start(period, 0.05, 0.0, depth, true);
        const std::vector<double> held = run(pair, samplesOf(1.0));

        EXPECT_NEAR(maxIn(held, 0.0, 0.04), depth, 1e-12);
        EXPECT_EQ(maxIn(held, 0.055, 0.095), 0.0);
        const std::vector<int> edges = fallingEdges(held, depth);
        if (mode == kModeHold) {
            ASSERT_GE(edges.size(), 9u);
            const double measured = (edges[8] - edges[0]) / 8.0 / kRate;
            EXPECT_NEAR(measured, period, period * 0.005);
            EXPECT_NEAR(maxIn(held, 0.9, 0.94), depth, 1e-12);
            EXPECT_EQ(pair.updateActive(), 1);
            // Note-off: the current cycle ends, the release runs, then silence.
            pair.mode = kModeTrigger;
            const std::vector<double> after = run(pair, samplesOf(0.3));
            EXPECT_EQ(maxIn(after, 0.16, 0.3), 0.0);
        } else {
            // One period (its square falling once), then the 50 ms release.
            EXPECT_EQ(edges.size(), 2u);
            EXPECT_EQ(maxIn(held, 0.16, 1.0), 0.0);
        }
        EXPECT_EQ(pair.updateActive(), 0);
    }
}

TEST(EnvelopePair, HihatReleaseLengthFollowsTheKey) {
    for (int key : {0, 5}) {
        SCOPED_TRACE("key " + std::to_string(key));
        EnvelopePair pair(kRate);
        pair.attack.setAttackShapeVolume(0);
        pair.release.setReleaseShape(0);
        pair.mode = kModeHihat;
        pair.start(0.0, 1.0, key / 120.0, 1.0, false);
        pair.tick();
        int length = 0;
        while (pair.tick() > 0.0 && length < samplesOf(2.0)) ++length;
        EXPECT_NEAR(length, (0.05 + key / 12.0) * kRate, 2.0);
    }
}

TEST(EnvelopePair, HeldEnvelopeWaitsForNoteOff) {
    EnvelopePair pair(kRate);
    pair.attack.setAttackShapeVolume(0);
    pair.release.setReleaseShape(0);
    pair.mode = kModeHold;
    pair.start(0.01, 0.1, 0.0, 0.9, false);
    const std::vector<double> held = run(pair, samplesOf(2.0));
    EXPECT_NEAR(held[static_cast<std::size_t>(samplesOf(0.005))], 0.45, 0.01);
    EXPECT_DOUBLE_EQ(held.back(), 0.9);
    EXPECT_EQ(*std::min_element(held.begin() + samplesOf(0.011), held.end()), 0.9);
    EXPECT_EQ(pair.updateActive(), 1);

    pair.mode = kModeTrigger;
    const std::vector<double> released = run(pair, samplesOf(0.2));
    EXPECT_NEAR(released[static_cast<std::size_t>(samplesOf(0.05))], 0.45, 0.01);
    EXPECT_EQ(maxIn(released, 0.101, 0.2), 0.0);
    EXPECT_EQ(pair.updateActive(), 0);
}

TEST(EnvelopePair, ModulationEnvelopeWithoutDepthStaysOff) {
    EnvelopePair pair(kRate);
    pair.start(0.1, 0.1, 0.0, 0.0, true);
    EXPECT_EQ(pair.active, 0);
    EXPECT_EQ(pair.tick(), 0.0);
    EXPECT_EQ(pair.updateActive(), 0);
}

TEST(Envelope, DisplayEvaluator) {
    Envelope release(kRate);
    release.setReleaseShape(0);
    release.depth = 0.6;
    EXPECT_DOUBLE_EQ(release.evaluateForDisplay(50), 0.5 * 0.6);
    EXPECT_EQ(release.evaluateForDisplay(100), 0.0);

    // The editor draws cubes where the engine plays sixth powers.
    Envelope attack(kRate);
    attack.setAttackShapeVolume(1);
    EXPECT_DOUBLE_EQ(attack.evaluateForDisplay(50), 0.125);
    EXPECT_EQ(attack.evaluateForDisplay(0), 0.0);
}

// Every shape in every mode, over times from instantaneous to long and down
// to segments far shorter than a sample: always finite, never outside 0 to
// depth, and finished after note-off.
TEST(EnvelopePair, EveryShapeAndModeStaysFiniteAndWithinDepth) {
    const double depth = 0.75;
    for (double rate : {44100.0, 96000.0})
        for (bool modulation : {false, true})
            for (int attackShape = 0; attackShape < kEnvelopeShapeCount; ++attackShape)
                for (int releaseId = 0; releaseId < kEnvelopeShapeCount; ++releaseId)
                    for (int mode : {kModeTrigger, kModeHold, kModeHihat})
                        for (double time : {0.0, 1e-5, 0.0005, 0.02}) {
                            SCOPED_TRACE(std::string(modulation ? "modulation" : "volume") + " attack " +
                                         std::to_string(attackShape) + " release " + std::to_string(releaseId) +
                                         " mode " + std::to_string(mode) + " time " + std::to_string(time) + " rate " +
                                         std::to_string(rate));
                            EnvelopePair pair(rate);
                            if (modulation)
                                pair.attack.setAttackShapeModulation(attackShape);
                            else
                                pair.attack.setAttackShapeVolume(attackShape);
                            pair.release.setReleaseShape(releaseId);
                            pair.mode = mode;
                            pair.start(time, time, 0.5, depth, modulation);
                            const int total = static_cast<int>(0.2 * rate);
                            bool bounded = true;
                            for (int i = 0; i < total && bounded; ++i) {
                                if (i == total / 2) pair.mode = kModeTrigger;  // note-off
                                const double v = pair.tick();
                                bounded = std::isfinite(v) && v >= 0.0 && v <= depth;
                                if (!bounded) ADD_FAILURE() << "sample " << i << " value " << v;
                            }
                            EXPECT_EQ(pair.updateActive(), 0);
                        }
}

// Renders `frames` samples with one pair and ticks the other as often; the
// samples and everything the next run starts from must be the same.
void renderAndTick(EnvelopePair& rendered, EnvelopePair& ticked, int frames, const std::string& where) {
    std::vector<double> out(static_cast<std::size_t>(frames));
    rendered.render(out.data(), frames);
    for (int k = 0; k < frames; ++k) {
        const double expected = ticked.tick();
        ASSERT_EQ(std::memcmp(&expected, &out[static_cast<unsigned>(k)], sizeof(double)), 0)
            << where << " sample " << k;
    }
    ASSERT_EQ(rendered.stage, ticked.stage) << where;
    ASSERT_EQ(rendered.output, ticked.output) << where;
    ASSERT_EQ(rendered.curveInput, ticked.curveInput) << where;
    for (auto [r, t] : {std::pair{&rendered.attack, &ticked.attack}, {&rendered.release, &ticked.release}}) {
        ASSERT_EQ(std::memcmp(&r->position, &t->position, sizeof(double)), 0) << where;
        ASSERT_EQ(r->segment, t->segment) << where;
        ASSERT_EQ(r->running, t->running) << where;
    }
    ASSERT_EQ(rendered.updateActive(), ticked.updateActive()) << where;
}

// The run renderer must give the samples and leave the state that as many
// single ticks give, for every shape, mode, time and run length.
TEST(EnvelopePair, RenderedRunsEqualTicksExactly) {
    std::uint32_t seed = 12345u;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    auto unit = [&] { return (next() >> 8) * (1.0 / 16777216.0); };
    for (int trial = 0; trial < 300; ++trial) {
        EnvelopePair ticked(44100.0), rendered(44100.0);
        const int attackShape = static_cast<int>(next() % 8);
        const int releaseShape = static_cast<int>(next() % 8);
        const bool volumeShapes = next() % 2 == 0;
        const int mode = static_cast<int>(next() % 3);
        const double attackTime = next() % 5 == 0 ? 0.0 : 0.0005 * (1 + next() % 200) * unit();
        const double releaseTime = next() % 5 == 0 ? 0.0 : 0.001 * (1 + next() % 300) * unit();
        const double key = unit();
        const double depth = unit();
        for (EnvelopePair* e : {&ticked, &rendered}) {
            if (volumeShapes)
                e->attack.setAttackShapeVolume(attackShape);
            else
                e->attack.setAttackShapeModulation(attackShape);
            e->release.setReleaseShape(releaseShape);
            e->mode = mode;
            e->start(attackTime, releaseTime, key, depth, false);
        }
        for (int run = 0; run < 400; ++run) {
            const int frames = 1 + static_cast<int>(next() % 64);
            renderAndTick(rendered, ticked, frames, "trial " + std::to_string(trial) + " run " + std::to_string(run));
            if (HasFatalFailure()) return;
            // Let go of a held envelope part-way, as a note-off does.
            if (run == 100) ticked.mode = rendered.mode = kModeTrigger;
        }
    }
}

// Segments whose end falls on the last sample of a run, one sample before
// or after it: steps that sum to exactly 1 (1/8, 1/16), steps whose sum
// stops just short of it (ten steps of 0.1 make 0.9999999999999999) and
// steps whose sum rounds up to 1 where the product stays below (eleven and
// twenty of these two), on every curve of the modulation shapes.
TEST(EnvelopePair, SegmentEndsAtTheEdgeOfARun) {
    for (int shape = 0; shape < 8; ++shape)
        for (double step : {0.125, 0.0625, 0.1, 1.0 / 3.0, 0.3, 0x1.745d1745d1745p-4, 0x1.9999999999998p-5})
            for (int first = 1; first <= 20; ++first) {
                EnvelopePair ticked(44100.0), rendered(44100.0);
                for (EnvelopePair* e : {&ticked, &rendered}) {
                    e->attack.setAttackShapeModulation(shape);
                    e->release.setReleaseShape(shape);
                    e->start(0.01, 0.01, 0.0, 1.0, false);
                    e->attack.step = step;
                }
                const std::string where = "shape " + std::to_string(shape) + " step " + std::to_string(step) +
                                          " first run " + std::to_string(first);
                renderAndTick(rendered, ticked, first, where);
                if (HasFatalFailure()) return;
                // The next segments get the same step, so their ends fall
                // at the same distance from the runs' edges.
                for (int run = 0; run < 40; ++run) {
                    for (EnvelopePair* e : {&ticked, &rendered}) (e->stage <= 3 ? e->attack : e->release).step = step;
                    renderAndTick(rendered, ticked, first, where + " run " + std::to_string(run));
                    if (HasFatalFailure()) return;
                }
            }
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    // An empty vector may have no storage at all, which memcmp must not see.
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

template <int Curve>
void expectCurveRunsAgree() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double levels[][2] = {{0.0, 1.0}, {0.8, -0.55}, {-0.0, 0.0}, {0.3, -0.0}, {1e-200, 3e-310}};
    // Values over given positions: past the end point, exactly on it,
    // signed zeros and NaN among them.
    const std::vector<double> positions = {0.0, -0.0, 1e-300, 0.013, 0.25, 0.5,   0.73, 0.999999,
                                           1.0, 1.5,  7.0,    nan,   0.41, 0.875, 2e-9, 0.3333333333333333};
    for (const auto& level : levels)
        for (int n = 0; n <= 9; ++n)
            for (std::size_t from = 0; from + static_cast<std::size_t>(n) <= positions.size(); from += 3) {
                std::vector<double> plain(positions.begin() + static_cast<long>(from),
                                          positions.begin() + static_cast<long>(from) + n);
                std::vector<double> packed = plain;
                renderCurveRun<false, Curve>(plain.data(), n, level[0], level[1]);
                renderCurveRun<true, Curve>(packed.data(), n, level[0], level[1]);
                ASSERT_TRUE(sameBits(plain, packed)) << "curve " << Curve << " n " << n << " from " << from;
            }
    // Values over summed positions that stay below 1, against the sums
    // taken one by one and the values over them.
    const double starts[][2] = {{0.0, 0.01}, {0.5, 0.05}, {0.9, 1e-3}, {0.123, 0x1.745d1745d1745p-4}, {0.0, 1e-9}};
    for (const auto& level : levels)
        for (const auto& start : starts)
            for (int n = 0; n <= 9; ++n) {
                std::vector<double> reference(static_cast<std::size_t>(n));
                double position = start[0];
                for (double& v : reference) v = position += start[1];
                renderCurveRun<false, Curve>(reference.data(), n, level[0], level[1]);
                std::vector<double> plain(reference.size()), packed(reference.size());
                const double plainEnd =
                    renderCurveSteps<false, Curve>(plain.data(), n, start[0], start[1], level[0], level[1]);
                const double packedEnd =
                    renderCurveSteps<true, Curve>(packed.data(), n, start[0], start[1], level[0], level[1]);
                ASSERT_TRUE(sameBits(plain, reference)) << "curve " << Curve << " n " << n << " from " << start[0];
                ASSERT_TRUE(sameBits(packed, reference)) << "curve " << Curve << " n " << n << " from " << start[0];
                ASSERT_EQ(plainEnd, position);
                ASSERT_EQ(packedEnd, position);
            }
}

// The vector form of the segment values against the plain one, every curve,
// every run length up to 9 (odd lengths end on a single sample).
TEST(EnvelopeCurveRun, PackedLanesGiveThePlainLanesBits) {
#if KETTRIX_PACKED_LANES
    expectCurveRunsAgree<kCurveLinear>();
    expectCurveRunsAgree<kCurveFastStart>();
    expectCurveRunsAgree<kCurveSlowStart>();
#else
    GTEST_SKIP() << "this build has no vector lanes";
#endif
}

}  // namespace
}  // namespace kettrix::engine
