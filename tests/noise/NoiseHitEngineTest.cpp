// Noise sections and hits driven through the engine as the plug-in drives
// it: parameters through the dispatch, notes as MIDI at sample offsets,
// audio read from the output channels.
#include "EngineFixture.h"

#include <cmath>

namespace {

using namespace kettrix::engine;
namespace off = kettrix::engine::offset;

class NoiseHitEngine : public test::EngineFixture {
protected:
    static constexpr int kSound = 0;

    // Sound 0 as a pure noise 1 sound of the given type.
    void noiseOnly(int type, double stereo) {
        set(kSound, off::kOscOn, 0);
        set(kSound, off::kNoise1On, 1);
        set(kSound, off::kNoiseType, type);
        set(kSound, off::kNoiseStereo, stereo);
        set(kSound, off::kNoiseVolDepth, 1.0);
        set(kSound, off::kNoiseVolRelease, 0.5);
        set(kSound, off::kNoiseFilterType, 0);
        settle();
    }

    // Index of the first non-zero sample of channel 0 from a note at offset 0.
    int firstSound(int hitType) {
        set(kSound, off::kHitType, hitType);
        set(kSound, off::kHitVolume, 0.0);  // hear only the oscillator
        settle();
        noteOn(0, defaultKeyLo(kSound));
        const auto out = renderChannel(0, 256, 256);
        for (std::size_t i = 0; i < out.size(); ++i)
            if (out[i] != 0.0) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(NoiseHitEngine, NoiseTypeAtStereoZeroGivesIdenticalChannelShapes) {
    noiseOnly(3, 0.0);
    noteOn(0, defaultKeyLo(kSound));
    std::vector<double> l, r;
    for (int b = 0; b < 32; ++b) {
        render(256);
        l.insert(l.end(), channels[0].begin(), channels[0].end());
        r.insert(r.end(), channels[1].begin(), channels[1].end());
    }
    ASSERT_GT(peak(l), 0.01);
    // Pan scales the two sides; the signal itself must be one and the same.
    std::size_t at = 0;
    for (std::size_t i = 0; i < l.size(); ++i)
        if (std::fabs(l[i]) > std::fabs(l[at])) at = i;
    const double ratio = r[at] / l[at];
    for (std::size_t i = 0; i < l.size(); ++i) ASSERT_NEAR(r[i], ratio * l[i], 1e-12) << "sample " << i;
}

TEST_F(NoiseHitEngine, FullStereoDecorrelatesTheChannels) {
    noiseOnly(3, 1.0);
    noteOn(0, defaultKeyLo(kSound));
    std::vector<double> l, r;
    for (int b = 0; b < 32; ++b) {
        render(256);
        l.insert(l.end(), channels[0].begin(), channels[0].end());
        r.insert(r.end(), channels[1].begin(), channels[1].end());
    }
    double lr = 0.0, ll = 0.0, rr = 0.0;
    for (std::size_t i = 0; i < l.size(); ++i) {
        lr += l[i] * r[i];
        ll += l[i] * l[i];
        rr += r[i] * r[i];
    }
    ASSERT_GT(ll, 0.0);
    EXPECT_LT(std::fabs(lr) / std::sqrt(ll * rr), 0.5);
}

TEST_F(NoiseHitEngine, AnalogHitHoldsTheOscillatorBackAcousticDoesNot) {
    const int withAnalog = firstSound(1);
    const int withAcoustic = firstSound(6);
    EXPECT_GE(withAnalog, 6) << "\"Analog 1\" plays its 7 samples first";
    EXPECT_LE(withAnalog, 8);
    EXPECT_GE(withAcoustic, 0);
    EXPECT_LE(withAcoustic, 1) << "\"Acoustic 1\" sounds with the oscillator";
}

}  // namespace
