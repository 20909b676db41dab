// A noise section and a hit heard through the plug-in's AEffect, as a host
// hears them: parameters set with setParameter, notes sent with
// effProcessEvents, audio taken from processDoubleReplacing.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "TestHost.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

namespace {

using namespace kettrix;
using test::Dispatch;

constexpr int kSound = 0;
constexpr int kBlock = 256;
constexpr int kChannels = 12;

// Offsets in a sound's parameter block.
constexpr int kHitType = 19, kHitVolume = 17, kNoiseType = 46, kNoiseStereo = 50, kNoiseVolRelease = 52,
              kNoiseVolDepth = 55, kNoiseFilterType = 68, kKeyLo = 120, kOutputChannel = 103, kEffectType = 124,
              kOscOn = 129, kNoise1On = 130, kNoise2On = 131;

class NoiseHitPlugin : public ::testing::Test {
protected:
    NoiseHitPlugin() {
        test::RecordingHost::Instance().Reset();
        effect = CreateVstInstance(&test::RecordingHost::Callback);
        Dispatch(effect, effOpen);
        Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(effect, effSetBlockSize, 0, kBlock);
        Dispatch(effect, effMainsChanged, 0, 1);
        for (auto& c : out) c.assign(kBlock, 0.0);
    }
    ~NoiseHitPlugin() override { Dispatch(effect, effClose); }

    IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }

    // Sets a parameter of sound 0 the way a host automates it.
    void set(int offset, double plain) {
        const int index = 132 * kSound + offset;
        effect->setParameter(effect, index, static_cast<float>(plug().ParamAt(index)->Normalized(plain)));
    }
    int plainInt(int offset) { return static_cast<int>(plug().ParamAt(132 * kSound + offset)->Value()); }

    void noteOn() {
        test::EventList events;
        events.Add(test::MidiEvent(0, 0x90, static_cast<uint8_t>(plainInt(kKeyLo)), 100));
        Dispatch(effect, effProcessEvents, 0, 0, events.Build());
    }

    // Renders `blocks` blocks; returns the sound's left and right channels.
    std::array<std::vector<double>, 2> render(int blocks) {
        const int pair = plainInt(kOutputChannel);
        std::array<std::vector<double>, 2> result;
        std::array<double*, kChannels> pointers{};
        for (int c = 0; c < kChannels; ++c)
            pointers[static_cast<std::size_t>(c)] = out[static_cast<std::size_t>(c)].data();
        for (int b = 0; b < blocks; ++b) {
            effect->processDoubleReplacing(effect, nullptr, pointers.data(), kBlock);
            for (int side = 0; side < 2; ++side) {
                const auto& c = out[static_cast<std::size_t>(2 * pair + side)];
                result[static_cast<std::size_t>(side)].insert(result[static_cast<std::size_t>(side)].end(), c.begin(),
                                                              c.end());
            }
        }
        return result;
    }

    // Sound 0 as noise 1 alone: no oscillator, no hit, no effect.
    void noiseOnly(int type, double stereo) {
        set(kOscOn, 0);
        set(kNoise2On, 0);
        set(kEffectType, 0);
        set(kNoise1On, 1);
        set(kNoiseType, type);
        set(kNoiseStereo, stereo);
        set(kNoiseVolDepth, 1.0);
        set(kNoiseVolRelease, 0.5);
        set(kNoiseFilterType, 0);
        render(40);  // let smoothed settings arrive and earlier notes end
    }

    AEffect* effect = nullptr;
    std::array<std::vector<double>, kChannels> out;
};

TEST_F(NoiseHitPlugin, NoiseAtStereoZeroPlaysTheSameSignalOnBothSides) {
    ASSERT_NE(effect, nullptr);
    noiseOnly(3, 0.0);
    noteOn();
    const auto lr = render(16);
    std::size_t at = 0;
    for (std::size_t i = 0; i < lr[0].size(); ++i) {
        ASSERT_TRUE(std::isfinite(lr[0][i]) && std::isfinite(lr[1][i]));
        if (std::fabs(lr[0][i]) > std::fabs(lr[0][at])) at = i;
    }
    ASSERT_GT(std::fabs(lr[0][at]), 0.01) << "the noise sounds";
    const double ratio = lr[1][at] / lr[0][at];  // the pan's balance
    for (std::size_t i = 0; i < lr[0].size(); ++i) ASSERT_NEAR(lr[1][i], ratio * lr[0][i], 1e-9) << i;
}

TEST_F(NoiseHitPlugin, EveryNoiseTypeSoundsAndStaysFinite) {
    for (int type = 1; type <= 39; ++type) {
        noiseOnly(type, 1.0);
        noteOn();
        const auto lr = render(8);
        double peak = 0.0;
        for (const auto& side : lr)
            for (double v : side) {
                ASSERT_TRUE(std::isfinite(v)) << "type " << type;
                peak = std::max(peak, std::fabs(v));
            }
        EXPECT_GT(peak, 0.001) << "type " << type;
        EXPECT_LT(peak, 4.0) << "type " << type;
    }
}

TEST_F(NoiseHitPlugin, AnalogHitDelaysTheOscillatorAcousticDoesNot) {
    auto firstSound = [this](int hitType) {
        set(kNoise1On, 0);
        set(kNoise2On, 0);
        set(kEffectType, 0);
        set(kOscOn, 1);
        set(kHitType, hitType);
        set(kHitVolume, 0.0);  // the hit itself silent: hear when the oscillator starts
        render(40);
        noteOn();
        const auto lr = render(1);
        for (std::size_t i = 0; i < lr[0].size(); ++i)
            if (lr[0][i] != 0.0) return static_cast<int>(i);
        return -1;
    };
    const int analog = firstSound(1);
    const int acoustic = firstSound(6);
    EXPECT_GE(analog, 6);
    EXPECT_LE(analog, 8);
    EXPECT_GE(acoustic, 0);
    EXPECT_LE(acoustic, 1);
}

}  // namespace
