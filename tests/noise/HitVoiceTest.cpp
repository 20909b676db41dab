// Hit voice: the sample player's oscillator gate, its stored-rate playback
// and filter tail, the generator's envelopes, and robustness.
#include "NoiseTestSupport.h"

#include "engine/HitVoice.h"
#include "engine/WavetableBank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using kettrix::engine::HitVoice;
using kettrix::testing::hitBank;

constexpr int kAnalog1 = 1;
constexpr int k808Bd = 4;
constexpr int kAcoustic1 = 6;
constexpr int kAcoustic3 = 8;
constexpr int kMetal1 = 11;

const kettrix::engine::WavetableBank& wavetables() {
    static const kettrix::engine::WavetableBank bank;
    return bank;
}

// A hit voice set up and triggered as a drum sound does it.
HitVoice& trigger(HitVoice& voice, int type, double volume = 1.0, double level = 1.0) {
    const int slot = type - 1;
    voice.setGeneratorTables(wavetables().set(1));
    voice.setType(type, hitBank().buffer(slot), hitBank().length(slot));
    voice.setVolume(volume);
    voice.setLevel(level);
    voice.selectMode();
    voice.start();
    return voice;
}

// Ticks until the oscillator gate opens; returns the number of ticks taken.
int ticksUntilGateOpens(HitVoice& voice, int limit = 100000) {
    for (int n = 1; n <= limit; ++n) {
        voice.tick();
        if (voice.oscillatorGateOpen()) return n;
    }
    return -1;
}

TEST(HitSamplePlayerGate, AnalogTypesHoldTheOscillatorUntilTheirSampleEnds) {
    HitVoice voice(44100.0);
    trigger(voice, kAnalog1);
    EXPECT_FALSE(voice.oscillatorGateOpen()) << "closed from the trigger";
    EXPECT_EQ(ticksUntilGateOpens(voice), 7) << "\"Analog 1\" is 7 samples long";
    // The low-pass tail keeps the hit playing a little after the gate opens.
    int tail = 0;
    while (voice.player.playingFlag && tail < 10000) {
        voice.tick();
        ++tail;
    }
    EXPECT_GT(tail, 0);
    EXPECT_LT(tail, 100) << "at the brightest cutoff the tail is short";
    EXPECT_EQ(voice.updateActive(), 0);

    HitVoice kick(44100.0);
    trigger(kick, k808Bd);
    EXPECT_EQ(ticksUntilGateOpens(kick), 48);
}

TEST(HitSamplePlayerGate, OtherTypesTheGeneratorAndOffLeaveItOpen) {
    HitVoice acoustic(44100.0);
    trigger(acoustic, kAcoustic1);
    EXPECT_TRUE(acoustic.oscillatorGateOpen()) << "the oscillator sounds with the hit";
    EXPECT_NE(acoustic.tick(), 0.0);

    HitVoice generator(44100.0);
    trigger(generator, kettrix::engine::kHitTypeGenerator);
    EXPECT_TRUE(generator.oscillatorGateOpen());

    // Choosing "OFF" mid-hit silences the hit and opens the gate it held.
    HitVoice analog(44100.0);
    trigger(analog, kAnalog1);
    ASSERT_FALSE(analog.oscillatorGateOpen());
    analog.setType(kettrix::engine::kHitTypeOff, nullptr, 0);
    EXPECT_TRUE(analog.oscillatorGateOpen());
    EXPECT_EQ(analog.tick(), 0.0);
}

TEST(HitSamplePlayerGate, EmptySlotEndsAtOnceAndOpensTheGate) {
    HitVoice voice(44100.0);
    voice.setType(kAnalog1, nullptr, 0);
    voice.setVolume(1.0);
    voice.setLevel(1.0);
    voice.selectMode();
    voice.start();
    EXPECT_EQ(voice.tick(), 0.0);
    EXPECT_TRUE(voice.oscillatorGateOpen());
    EXPECT_EQ(voice.updateActive(), 0);
}

TEST(HitSamplePlayerRate, SamplesKeepTheirStoredDurationAtAnySampleRate) {
    // "Acoustic 3" is 5600 stored samples: 127 ms whatever the host rate.
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0}) {
        HitVoice voice(rate);
        trigger(voice, kAcoustic3);
        int ticks = 0;
        while (voice.player.index < voice.player.length && ticks < 100000) {
            voice.tick();
            ++ticks;
        }
        EXPECT_NEAR(ticks, 5600.0 * rate / 44100.0, 2.0) << "at " << rate << " Hz";
    }
}

TEST(HitSamplePlayerRate, FirstValuePlayedIsStoredSampleOne) {
    HitVoice voice(44100.0);
    trigger(voice, kAcoustic3, 1.0, 1.0);
    voice.player.filter.reset();
    voice.tick();
    EXPECT_EQ(voice.player.index, 1);
}

TEST(HitSamplePlayerFilter, LowerHitLevelGivesADarkerHit) {
    auto energy = [](double level) {
        HitVoice voice(44100.0);
        trigger(voice, kMetal1, 1.0, level);
        double sum = 0.0;
        for (int n = 0; n < 3000; ++n) {
            const double x = voice.tick();
            sum += x * x;
        }
        return sum;
    };
    const double darkest = energy(0.0), middle = energy(0.6), brightest = energy(1.0);
    EXPECT_LT(darkest, middle * 0.01) << "cutoff 13.75 Hz removes nearly all of a 1.25 kHz strike";
    EXPECT_LT(middle, brightest);
}

TEST(HitSamplePlayerVolume, VolumeIsCapturedAtTheTrigger) {
    HitVoice a(44100.0), b(44100.0);
    trigger(a, kAcoustic3, 0.5);
    trigger(b, kAcoustic3, 0.5);
    b.setVolume(1.0);  // changes after the trigger act on the next hit only
    for (int n = 0; n < 500; ++n) ASSERT_EQ(a.tick(), b.tick());
}

TEST(HitGeneratorEnvelopes, DecayZeroReleasesVolumeIn10msAndPitchIn1ms) {
    HitVoice voice(44100.0);
    voice.setDecay(0.0);
    trigger(voice, kettrix::engine::kHitTypeGenerator, 1.0, 1.0);
    std::vector<double> out;
    int modulationEnds = -1;
    for (int n = 0; n < 1000; ++n) {
        out.push_back(voice.tick());
        if (n % 8 == 7) {  // a short block, as a host might use
            voice.updateActive();
            if (modulationEnds < 0 && !voice.generator.modulation.active) modulationEnds = n;
        }
    }
    EXPECT_NEAR(modulationEnds, 44, 9) << "modulation release 0.001 s";
    double early = 0.0, late = 0.0;
    for (int n = 0; n < 200; ++n) early += out[static_cast<std::size_t>(n)] * out[static_cast<std::size_t>(n)];
    for (int n = 445; n < 1000; ++n) late += std::fabs(out[static_cast<std::size_t>(n)]);
    EXPECT_GT(early, 1.0) << "the click sounds";
    EXPECT_EQ(late, 0.0) << "volume released within 0.01 s";
    EXPECT_EQ(voice.updateActive(), 0);
}

TEST(HitGeneratorEnvelopes, FullDecayStretchesTheClickTo30ms) {
    HitVoice voice(44100.0);
    voice.setDecay(1.0);
    trigger(voice, kettrix::engine::kHitTypeGenerator, 1.0, 1.0);
    int lastSound = 0;
    for (int n = 0; n < 3000; ++n)
        if (voice.tick() != 0.0) lastSound = n;
    EXPECT_NEAR(lastSound, 1323, 10) << "0.02 + 0.01 s";
}

TEST(HitVoiceProperties, EveryTypeIsFiniteAndBoundedAtExtremeSettings) {
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        for (int type = 0; type <= 18; ++type) {
            for (double level : {0.0, 1.0}) {
                for (double decay : {0.0, 1.0}) {
                    HitVoice voice(rate);
                    voice.setDecay(decay);
                    trigger(voice, type, 1.0, level);
                    for (int n = 0; n < 6000; ++n) {
                        const double x = voice.tick();
                        ASSERT_TRUE(std::isfinite(x)) << "type " << type;
                        ASSERT_LT(std::fabs(x), 4.0) << "type " << type << " rate " << rate;
                        ASSERT_NE(std::fpclassify(x), FP_SUBNORMAL) << "type " << type;
                        if (n % 64 == 63) voice.updateActive();
                    }
                    voice.selectMode();
                    voice.start();  // retrigger mid-hit
                    for (int n = 0; n < 500; ++n) ASSERT_TRUE(std::isfinite(voice.tick()));
                }
            }
        }
    }
}

}  // namespace
