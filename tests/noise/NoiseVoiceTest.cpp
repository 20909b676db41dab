// Noise section voice: render modes, stereo construction, the texture
// player's heads and jumps, pitch, envelopes at the trigger, the tail and
// robustness at extreme settings.
#include "FrequencyProbe.h"
#include "NoiseTestSupport.h"

#include <gtest/gtest.h>

#include "engine/WavetableBank.h"

#include <cmath>
#include <vector>

namespace {

using kettrix::engine::NoiseVoice;
using kettrix::engine::SampleBank;
using namespace kettrix::testing;

constexpr int kNoise = 3;
constexpr int kLpNoise = 4;
constexpr int kVinyl1 = 33;

// A sine of `cycles` whole cycles over `length` samples, as a bank slot.
SampleBank sineBank(int length, int cycles) {
    std::vector<double> values(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        values[static_cast<std::size_t>(i)] = 0.8 * std::sin(2.0 * 3.14159265358979 * cycles * i / length);
    SampleBank bank(1);
    const auto bytes = pcm16(values);
    bank.loadBytes(bytes.data(), bytes.size(), 0);
    return bank;
}

const kettrix::engine::WavetableBank& wavetables() {
    static const kettrix::engine::WavetableBank bank;
    return bank;
}

void useSlot(NoiseVoice& voice, int type, const SampleBank& bank, int slot) {
    prepareFlat(voice, kNoise, bank);
    voice.setType(type, bank.buffer(slot), bank.length(slot));
}

TEST(NoiseVoiceStereo, NoiseAtStereoZeroIsExactlyMono) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kNoise, noiseBank());
    voice.setFilterType(kettrix::engine::kFilterLowPass12);
    voice.setStereo(0.0);
    voice.start();
    const auto out = run(voice, 20000, 0.8, 0.3);
    double energy = 0.0;
    for (std::size_t i = 0; i < out.left.size(); ++i) {
        ASSERT_EQ(out.left[i], out.right[i]) << "sample " << i;
        energy += out.left[i] * out.left[i];
    }
    EXPECT_GT(energy, 1.0) << "the texture must actually sound";
}

TEST(NoiseVoiceStereo, FullStereoReadsTheSampleBackwardsOnTheRight) {
    // Reading buffer b backwards (index length - i) is reading the reversed
    // buffer r[j] = b[length - j] forwards; a mono voice playing r must give
    // exactly the right channel of a stereo voice playing b.
    const int length = 3001;
    std::vector<double> forward(length), reversed(length);
    std::uint32_t state = 12345u;
    for (int i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        forward[static_cast<std::size_t>(i)] = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
    }
    // r[0] = b[length] = b[0] (the wrap copy), r[j] = b[length - j].
    reversed[0] = forward[0];
    for (int j = 1; j < length; ++j)
        reversed[static_cast<std::size_t>(j)] = forward[static_cast<std::size_t>(length - j)];
    SampleBank bank(2);
    const auto f = pcm16(forward), r = pcm16(reversed);
    ASSERT_TRUE(bank.loadBytes(f.data(), f.size(), 0));
    ASSERT_TRUE(bank.loadBytes(r.data(), r.size(), 1));

    NoiseVoice stereoVoice(44100.0), monoVoice(44100.0);
    useSlot(stereoVoice, kNoise, bank, 0);
    useSlot(monoVoice, kNoise, bank, 1);
    stereoVoice.setStereo(1.0);
    monoVoice.setStereo(0.0);
    stereoVoice.setPitch(0.43);  // a fractional step exercises the interpolation
    monoVoice.setPitch(0.43);
    stereoVoice.start();
    monoVoice.start();
    const auto s = run(stereoVoice, 9000);
    const auto m = run(monoVoice, 9000);
    int differing = 0;
    for (std::size_t i = 0; i < s.right.size(); ++i) {
        EXPECT_NEAR(s.right[i], m.left[i], 1e-12) << "sample " << i;
        if (std::fabs(s.left[i] - s.right[i]) > 1e-3) ++differing;
    }
    EXPECT_GT(differing, 4000) << "the right channel must differ from the left";
}

TEST(NoiseVoiceStereo, CymbalDelayIs512SamplesAt44kAnd470At48k) {
    for (const auto& [rate, expected] : {std::pair{44100.0, 512}, std::pair{48000.0, 470}}) {
        NoiseVoice voice(rate);
        prepareFlat(voice, kettrix::engine::kNoiseCymbalGenerator, noiseBank());
        voice.setCymbalTables(wavetables().set(kettrix::engine::WavetableBank::kCymbalSlot));
        voice.setColor(0.7);
        voice.setStereo(1.0);
        voice.start();
        const auto out = run(voice, 4000);
        int found = -1;
        for (int lag = 1; lag < 1000 && found < 0; ++lag) {
            bool matches = true;
            for (int n = 1500; n < 4000 && matches; ++n)
                matches = out.right[static_cast<std::size_t>(n)] == out.left[static_cast<std::size_t>(n - lag)];
            if (matches) found = lag;
        }
        double energy = 0.0;
        for (double v : out.left) energy += v * v;
        ASSERT_GT(energy, 1.0) << "the cymbal must sound";
        EXPECT_EQ(found, expected) << "at " << rate << " Hz";
        for (int n = 0; n < expected; ++n)
            ASSERT_EQ(out.right[static_cast<std::size_t>(n)], 0.0) << "delay starts empty";
    }
}

TEST(NoiseVoiceStereo, HalfStereoBlendsWithEqualPower) {
    NoiseVoice mono(44100.0), half(44100.0);
    prepareFlat(mono, kNoise, noiseBank());
    prepareFlat(half, kNoise, noiseBank());
    half.setStereo(0.5);
    mono.start();
    half.start();
    const auto a = run(mono, 5000), b = run(half, 5000);
    double energyL = 0.0, energyR = 0.0;
    for (std::size_t i = 0; i < a.left.size(); ++i) {
        EXPECT_DOUBLE_EQ(a.left[i], b.left[i]) << "the left channel does not depend on stereo";
        energyL += b.left[i] * b.left[i];
        energyR += b.right[i] * b.right[i];
    }
    // Two decorrelated halves at sin(pi/4) each keep the level.
    EXPECT_NEAR(energyR / energyL, 1.0, 0.15);
}

TEST(NoiseVoiceGenerator, DrawRateFollowsPitchWithAFloorAtZero) {
    for (const auto& [pitch, expected] : {std::pair{0.0, 44}, std::pair{0.5, 22050}, std::pair{1.0, 44100}}) {
        NoiseVoice voice(44100.0);
        prepareFlat(voice, kettrix::engine::kNoiseGenerator, noiseBank());
        voice.setPitch(pitch);
        voice.start();
        int draws = 0;
        auto state = voice.generator.genState1;
        for (int n = 0; n < 44100; ++n) {
            renderOne(voice, 0.5, 0.0);
            if (voice.generator.genState1 != state) ++draws;
            state = voice.generator.genState1;
            ASSERT_EQ(voice.outL, voice.outR);
            ASSERT_LE(std::fabs(voice.outL), 0.27 + 1e-9) << "stepped values span -0.27..0.27";
        }
        EXPECT_NEAR(draws, expected, 1) << "pitch " << pitch;
    }
}

TEST(NoiseVoiceGenerator, StereoDrawsAnIndependentRightChannel) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kettrix::engine::kNoiseGenerator, noiseBank());
    voice.setStereo(1.0);
    voice.start();
    const auto out = run(voice, 2000);
    int differing = 0;
    for (std::size_t i = 0; i < out.left.size(); ++i)
        if (out.left[i] != out.right[i]) ++differing;
    EXPECT_GT(differing, 1000);
}

TEST(NoiseVoiceTexture, Vinyl1HeadsJumpEvery200000SamplesAt44k) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kVinyl1, noiseBank());
    voice.start();
    std::vector<int> windowRestarts;
    double previous = voice.texture.windowPhaseA;
    for (int n = 0; n < 520000; ++n) {
        renderOne(voice, 0.5, 0.0);
        if (voice.texture.windowPhaseA < previous) windowRestarts.push_back(n);
        previous = voice.texture.windowPhaseA;
    }
    ASSERT_EQ(windowRestarts.size(), 3u);
    EXPECT_NEAR(windowRestarts[0], 100000, 2) << "the first jump comes half a window in";
    EXPECT_NEAR(windowRestarts[1] - windowRestarts[0], 200000, 2);
    EXPECT_NEAR(windowRestarts[2] - windowRestarts[1], 200000, 2);
}

TEST(NoiseVoiceTexture, HeadsStayInsideTheSampleAtAnyStepAndLength) {
    // Tiny samples and huge steps (pitch 1 plus ten octaves of key) used to be
    // the risky cases for a wrap by one subtraction.
    for (int length : {2, 3, 5, 97, 4096}) {
        std::vector<double> values(static_cast<std::size_t>(length), 0.0);
        values[0] = 0.5;
        SampleBank bank(1);
        const auto bytes = pcm16(values);
        ASSERT_TRUE(bank.loadBytes(bytes.data(), bytes.size(), 0));
        for (double key : {0.0, 60.0, 127.0}) {
            NoiseVoice voice(22050.0);
            useSlot(voice, 5, bank, 0);
            voice.setPitch(1.0);
            voice.setKey(key);
            voice.setStereo(1.0);
            voice.start();
            for (int n = 0; n < 30000; ++n) {
                renderOne(voice, 0.5, 0.0);
                ASSERT_GE(voice.texture.posA, 0.0);
                ASSERT_LE(voice.texture.posA, length - 1.0) << "length " << length << " key " << key;
                ASSERT_LE(voice.texture.posB, length - 1.0);
                ASSERT_TRUE(std::isfinite(voice.outL) && std::isfinite(voice.outR));
            }
        }
    }
}

TEST(NoiseVoiceTexture, EmptyOrRejectedSlotIsSilent) {
    SampleBank bank(1);
    std::vector<unsigned char> tooLong((SampleBank::kMaxLength + 1) * 2, 0x40);
    EXPECT_FALSE(bank.loadBytes(tooLong.data(), tooLong.size(), 0));
    EXPECT_EQ(bank.length(0), 0);
    NoiseVoice voice(44100.0);
    useSlot(voice, kNoise, bank, 0);
    voice.setStereo(1.0);
    voice.start();
    const auto out = run(voice, 5000);
    for (std::size_t i = 0; i < out.left.size(); ++i) {
        ASSERT_EQ(out.left[i], 0.0);
        ASSERT_EQ(out.right[i], 0.0);
    }
}

TEST(NoiseVoiceTexture, PitchHalfPlaysAtOwnRateZeroOctaveDownOneOctaveUp) {
    // 100 cycles in 4410 samples: exactly 1000 Hz at 44.1 kHz.
    const SampleBank bank = sineBank(4411, 100);
    for (const auto& [pitch, expectedHz] : {std::pair{0.5, 1000.0}, std::pair{0.0, 500.0}, std::pair{1.0, 2000.0}}) {
        NoiseVoice voice(44100.0);
        useSlot(voice, kLpNoise, bank, 0);  // slow windows: few jumps
        voice.setPitch(pitch);
        voice.start();
        const auto out = run(voice, 32768);
        EXPECT_NEAR(dominantFrequency(out.left, 44100.0, 16384), expectedHz, expectedHz * 0.01) << "pitch " << pitch;
    }
}

TEST(NoiseVoiceTexture, KeyTrackingAddsSemitones) {
    const SampleBank bank = sineBank(4411, 100);
    NoiseVoice voice(44100.0);
    useSlot(voice, kLpNoise, bank, 0);
    voice.setKey(7.0);  // a fifth up
    voice.start();
    const auto out = run(voice, 32768);
    EXPECT_NEAR(dominantFrequency(out.left, 44100.0, 16384), 1000.0 * std::pow(2.0, 7.0 / 12.0), 15.0);
}

TEST(NoiseVoiceStart, RetriggerRestartsTheTextureOtherwiseItContinues) {
    for (int retrigger : {0, 1}) {
        NoiseVoice voice(44100.0);
        prepareFlat(voice, kNoise, noiseBank());
        voice.retrigger = retrigger;
        voice.start();
        run(voice, 700);
        voice.start();
        if (retrigger == 1) {
            EXPECT_EQ(voice.texture.posA, 0.0);
        } else {
            EXPECT_EQ(voice.texture.posA, 700.0) << "head A keeps its place, without its fraction";
        }
        EXPECT_EQ(voice.texture.windowPhaseA, 0.0);
        EXPECT_EQ(voice.texture.windowPhaseB, 0.5);
        EXPECT_EQ(voice.texture.posB, std::floor(voice.texture.length * 0.5 + voice.texture.posA));
    }
}

TEST(NoiseVoiceStart, PitchChangeBetweenNotesRestartsTheTexture) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kNoise, noiseBank());
    voice.start();
    run(voice, 700);
    voice.setPitch(0.6);
    voice.start();
    EXPECT_EQ(voice.texture.posA, 0.0);
}

TEST(NoiseVoiceStart, CymbalGeneratorAttackLastsAtLeastOneMillisecond) {
    NoiseVoice cymbal(44100.0), noise(44100.0);
    prepareFlat(cymbal, kettrix::engine::kNoiseCymbalGenerator, noiseBank());
    prepareFlat(noise, kNoise, noiseBank());
    cymbal.start();
    noise.start();
    std::vector<double> rise;
    for (int n = 0; n < 60; ++n) {
        renderOne(cymbal, 0.5, 0.0);
        rise.push_back(cymbal.amp);
    }
    renderOne(noise, 0.5, 0.0);
    EXPECT_EQ(noise.amp, 1.0) << "a zero attack is immediate for other types";
    EXPECT_LT(rise[0], 0.05);
    EXPECT_LT(rise[40], 0.95) << "still rising before 1 ms";
    EXPECT_NEAR(rise[20], 0.47, 0.05) << "linear rise over 44.1 samples";
    EXPECT_GE(rise[45], 0.99) << "full level just after 1 ms";
}

TEST(NoiseVoiceStart, DisabledVoiceDoesNotStartAndIsSilent) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kNoise, noiseBank());
    voice.disable();
    voice.start();
    EXPECT_EQ(voice.active, 0);
    const auto out = run(voice, 100);
    for (double v : out.left) ASSERT_EQ(v, 0.0);
}

TEST(NoiseVoiceTail, PreviousVoiceFadesWithinTenMillisecondsAndGoesIdle) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kNoise, noiseBank());
    voice.start();
    run(voice, 100);
    voice.tailCutoff = 0.5;
    int sounding = 0;
    for (int n = 0; n < 600; ++n) {
        voice.tail();
        if (voice.outL != 0.0) sounding = n + 1;
        ASSERT_GE(voice.amp, 0.0);
    }
    EXPECT_LE(sounding, 442);
    EXPECT_GE(sounding, 430);
    EXPECT_EQ(voice.updateActive(), 0);
}

TEST(NoiseVoiceTail, VolumeEnvelopeEndsTheVoice) {
    NoiseVoice voice(44100.0);
    prepareFlat(voice, kNoise, noiseBank());
    voice.setEnvelopeModes(kettrix::engine::kModeTrigger, kettrix::engine::kModeTrigger);
    voice.volRelease = 0.05;
    voice.start();
    run(voice, 512);
    EXPECT_EQ(voice.updateActive(), 1);
    run(voice, 44100 / 10);
    EXPECT_EQ(voice.updateActive(), 0);
}

TEST(NoiseVoiceProperties, CymbalOscillatorsReadOnlyTablesOfTheSet) {
    // Against half of a 16 to 40 kHz rate the harmonic limit changes 77
    // times, one more than the set has tables.
    for (double rate : {16000.0, 22050.0, 32000.0, 44100.0, 96000.0}) {
        kettrix::engine::CymbalGenerator cymbal(rate);
        // Colours beyond the knob's range push the top oscillator to note 127.
        for (int c = 0; c <= 40; ++c) {
            cymbal.setColor(c / 10.0);
            for (int index : cymbal.tableIndex) {
                ASSERT_GE(index, 0);
                ASSERT_LT(index, kettrix::engine::kWavetablesPerSet) << "rate " << rate;
            }
        }
    }
}

// The oscillators bring a phase past the cycle's end back by one subtraction
// below two cycles and by the remainder above; both must land exactly where
// the remainder does. At very low rates an increment passes whole cycles.
TEST(NoiseVoiceProperties, CymbalPhasesWrapExactlyAsTheRemainder) {
    namespace e = kettrix::engine;
    const auto& set = wavetables().set(e::WavetableBank::kCymbalSlot);
    for (double rate : {44100.0, 2000.0, 500.0})
        for (double colour : {0.0, 1.0}) {
            e::CymbalGenerator cymbal(rate), reference(rate);
            for (e::CymbalGenerator* c : {&cymbal, &reference}) {
                c->setTableSet(set);
                c->setColor(colour);
            }
            int once = 0, several = 0;
            double out[64];
            for (int block = 0; block < 100; ++block) {
                cymbal.render(out, 64);
                for (int k = 0; k < 64; ++k) {
                    double x = 0.0;
                    for (std::size_t i = 0; i < 6; ++i) {
                        double& phase = reference.phase[i];
                        phase += reference.increment[i];
                        once += phase > 1023.0 && phase < 2046.0;
                        several += phase >= 2046.0;
                        if (phase > 1023.0) phase = std::fmod(phase, 1023.0);
                        const auto table = static_cast<std::size_t>(reference.tableIndex[i]);
                        const double s = set[table][static_cast<std::size_t>(phase)];
                        x += i % 2 == 0 ? s : -s;
                    }
                    const double y = reference.filterA.process(x, 0.0, 0.0, e::kFilterFixedBandPass);
                    const double expected = reference.filterB.process(y, 0.0, 0.0, e::kFilterFixedBandPass) * 0.3;
                    ASSERT_EQ(out[k], expected) << "rate " << rate << " colour " << colour << " sample " << k;
                }
            }
            EXPECT_GT(once, 0);
            if (rate == 500.0 && colour == 1.0) {
                EXPECT_GT(several, 0);
            }
        }
}

TEST(NoiseVoiceProperties, EveryTypeStaysFiniteAndBoundedAtExtremeSettings) {
    for (double rate : {22050.0, 44100.0, 96000.0}) {
        for (int type = 0; type <= 39; ++type) {
            for (double pitch : {0.0, 1.0}) {
                for (double key : {0.0, 127.0}) {
                    for (double stereo : {0.0, 1.0}) {
                        NoiseVoice voice(rate);
                        prepareFlat(voice, type, noiseBank());
                        if (type == 0) voice.disable();
                        voice.setCymbalTables(wavetables().set(kettrix::engine::WavetableBank::kCymbalSlot));
                        voice.setColor(pitch);
                        voice.setPitch(pitch);
                        voice.setKey(key);
                        voice.setStereo(stereo);
                        voice.setFilterType(kettrix::engine::kFilterAnalogLowPass12);
                        voice.retrigger = type % 2;
                        voice.start();
                        for (int n = 0; n < 6000; ++n) {
                            const auto y = renderOne(voice, pitch, 1.0);
                            ASSERT_TRUE(std::isfinite(y.left) && std::isfinite(y.right))
                                << "type " << type << " rate " << rate;
                            ASSERT_LT(std::fabs(y.left), 8.0)
                                << "type " << type << " rate " << rate << " pitch " << pitch << " key " << key
                                << " stereo " << stereo << " n " << n;
                            ASSERT_LT(std::fabs(y.right), 8.0) << "type " << type;
                            ASSERT_NE(std::fpclassify(y.left), FP_SUBNORMAL) << "type " << type;
                        }
                        voice.start();  // a second note continues the texture
                        for (int n = 0; n < 500; ++n) voice.tail();
                        ASSERT_TRUE(std::isfinite(voice.outL) && std::isfinite(voice.outR));
                    }
                }
            }
        }
    }
}

// The render loop plays runs of samples of any length up to the longest; a
// run must give exactly the samples of runs of one sample each (and, for the
// fading voice, of the tails it replaces), in every render mode,
// with the filter envelope moving the cutoff every sample. At 384 kHz the
// cymbal's stereo delay line is shorter than the longest runs, which then
// wrap it twice.
TEST(NoiseVoiceRun, RunsAndTailsGiveTheSamplesOfSingleSteps) {
    namespace e = kettrix::engine;
    for (double rate : {48000.0, 384000.0})
        for (int type : {1, 2, 3, 20, 33})
            for (double stereo : {0.0, 0.7})
                for (int filterType : {0, 4, 9, 12}) {
                    auto prepare = [&](NoiseVoice& voice) {
                        voice.setCymbalTables(wavetables().set(e::WavetableBank::kCymbalSlot));
                        const int slot = type - e::kFirstSampleNoiseType;
                        voice.setType(type, noiseBank().buffer(slot), noiseBank().length(slot));
                        voice.setStereo(stereo);
                        voice.setPitch(0.6);
                        voice.setFilterType(filterType);
                        voice.volAttack = 0.005;
                        voice.volRelease = 0.3;
                        voice.volDepth = 1.5;
                        voice.filterAttack = 0.01;
                        voice.filterRelease = 0.1;
                        voice.filterDepth = 0.3;
                        voice.tailCutoff = 0.45;
                        voice.tailResonance = 0.5;
                        voice.start();
                    };
                    NoiseVoice ticked(rate), rendered(rate);
                    prepare(ticked);
                    prepare(rendered);
                    std::uint32_t lengths = 3u;
                    double cutoff[64], resonance[64], left[64], right[64];
                    // The 10 ms tail needs more blocks at the higher rate.
                    const int blocks = 100 + static_cast<int>(50.0 * rate / 48000.0);
                    for (int n = 0, block = 0; block < blocks; ++block) {
                        lengths = lengths * 1103515245u + 12345u;
                        const int frames = 1 + static_cast<int>((lengths >> 16) % 64u);
                        // The first 100 blocks as the current voice, then the tail.
                        const bool tail = block >= 100;
                        for (int k = 0; k < frames; ++k) {
                            cutoff[k] = 0.4 + 0.2 * std::sin((n + k) * 0.003);
                            resonance[k] = 0.3;
                            left[k] = right[k] = 0.25;
                        }
                        if (tail)
                            rendered.renderTail(frames, left, right);
                        else
                            rendered.render(cutoff, 0.0, resonance, frames, left, right);
                        for (int k = 0; k < frames; ++k, ++n) {
                            double l = 0.25, r = 0.25;
                            if (!tail) {
                                const auto y = renderOne(ticked, cutoff[k], resonance[k]);
                                l += y.left;
                                r += y.right;
                            } else if (ticked.active) {
                                const auto y = ticked.tail();
                                l += y.left;
                                r += y.right;
                            }
                            ASSERT_EQ(left[k], l)
                                << rate << " " << type << " " << stereo << " " << filterType << " at " << n;
                            ASSERT_EQ(right[k], r)
                                << rate << " " << type << " " << stereo << " " << filterType << " at " << n;
                        }
                        ASSERT_EQ(rendered.active, ticked.active);
                    }
                    EXPECT_EQ(rendered.active, 0);
                }
}

}  // namespace
