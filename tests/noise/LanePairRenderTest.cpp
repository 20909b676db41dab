// The texture player's run loop works its two heads as a pair of lanes,
// packed into one vector where the compiler allows. The packed loop, the
// plain one and the per-sample path (advance() and the reads) must give the
// same bits, across window restarts, jumps and wraps past the sample's end.
#include <gtest/gtest.h>

#include "engine/LanePair.h"
#include "engine/NoiseVoice.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using kettrix::engine::TexturePlayer;

constexpr bool kPacked = KETTRIX_PACKED_LANES != 0;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// `length` + 1 values of a rough, deterministic signal.
std::vector<double> roughSample(int length) {
    std::vector<double> values(static_cast<std::size_t>(length) + 1u);
    std::uint32_t state = 12345u + static_cast<std::uint32_t>(length);
    for (auto& v : values) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<double>(static_cast<std::int32_t>(state)) / 2147483648.0;
    }
    return values;
}

struct Case {
    int length;
    double step;
    double windowStep;
};

// Short and long samples; steps from still to many times the sample; window
// speeds from the textures' own to a restart every few samples.
constexpr Case kCases[] = {{2, 0.3, 0.05},       {3, 5.75, 0.3},     {37, 0.0, 0.2},      {37, 1.0, 0.001},
                           {37, 40.5, 0.07},     {37, 1000.25, 0.5}, {2048, 0.37, 0.01},  {2048, 2.9, 0.001},
                           {2048, 2047.5, 0.02}, {4096, 1.0, 0.3},   {50000, 7.5, 0.0001}};

void expectSameState(const TexturePlayer& a, const TexturePlayer& b, const char* what) {
    EXPECT_TRUE(sameBits(a.posA, b.posA)) << what;
    EXPECT_TRUE(sameBits(a.posB, b.posB)) << what;
    EXPECT_TRUE(sameBits(a.windowPhaseA, b.windowPhaseA)) << what;
    EXPECT_TRUE(sameBits(a.windowPhaseB, b.windowPhaseB)) << what;
    EXPECT_TRUE(sameBits(a.gainA, b.gainA)) << what;
    EXPECT_TRUE(sameBits(a.gainB, b.gainB)) << what;
    EXPECT_EQ(a.jumpState, b.jumpState) << what;
    EXPECT_EQ(a.jump, b.jump) << what;
}

TEST(TexturePlayerLanes, PackedPlainAndPerSamplePathsGiveTheSameBits) {
    for (const Case& c : kCases)
        for (bool stereo : {false, true}) {
            SCOPED_TRACE(testing::Message() << "length " << c.length << " step " << c.step << " window " << c.windowStep
                                            << (stereo ? " stereo" : " mono"));
            const auto values = roughSample(c.length);
            TexturePlayer reference, plain, packed;
            for (TexturePlayer* p : {&reference, &plain, &packed}) {
                p->setSample(values.data(), c.length);
                p->jumpState = 987654321u;
            }
            int restarts = 0, wraps = 0;
            std::uint32_t runs = 7u;
            double forwardPlain[64], mirroredPlain[64], forwardPacked[64], mirroredPacked[64];
            for (int n = 0; n < 6000;) {
                runs = runs * 1103515245u + 12345u;
                const int frames = 1 + static_cast<int>((runs >> 16) % 64u);
                plain.render<false>(c.step, c.windowStep, frames, forwardPlain, stereo ? mirroredPlain : nullptr);
                packed.render<kPacked>(c.step, c.windowStep, frames, forwardPacked, stereo ? mirroredPacked : nullptr);
                for (int k = 0; k < frames; ++k, ++n) {
                    const double phaseBefore = reference.windowPhaseA;
                    const double posABefore = reference.posA, posBBefore = reference.posB;
                    reference.advance(c.step, c.windowStep);
                    restarts += reference.windowPhaseA < phaseBefore;
                    wraps += (reference.posA < posABefore) + (reference.posB < posBBefore);
                    double forward = 0.0, mirrored = 0.0;
                    if (stereo)
                        reference.readStereo(forward, mirrored);
                    else
                        forward = reference.readForward();
                    ASSERT_TRUE(sameBits(forwardPlain[k], forward)) << "plain, sample " << n;
                    ASSERT_TRUE(sameBits(forwardPacked[k], forward)) << "packed, sample " << n;
                    if (stereo) {
                        ASSERT_TRUE(sameBits(mirroredPlain[k], mirrored)) << "plain mirrored, sample " << n;
                        ASSERT_TRUE(sameBits(mirroredPacked[k], mirrored)) << "packed mirrored, sample " << n;
                    }
                }
            }
            expectSameState(plain, reference, "plain");
            expectSameState(packed, reference, "packed");
            // The rare branches must have been taken for the case to prove them.
            if (c.windowStep >= 0.001) {
                EXPECT_GT(restarts, 1);
            }
            if (c.step > 0.0) {
                EXPECT_GT(wraps, 0);
            }
        }
}

}  // namespace
