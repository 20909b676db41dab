// The oscillator section driven as the render loop drives it: start at a
// trigger, tick per sample, tail for the previous voice, updateActive per
// block. Audio is checked by frequency, level, silence and finiteness.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "AudioMeasure.h"
#include "OscillatorTestSupport.h"

namespace {

using namespace kettrix::engine;
using namespace kettrix::test;

double nominal(double pitch) { return 440.0 * std::pow(2.0, (pitch * 120.0 - 60.0) / 12.0); }

// ---------------------------------------------------------------- pitch

TEST(OscillatorPitch, SinePureAtHalfPitchIs440TimesTableStretch) {
    auto voice = startedVoice({});
    const auto out = tailOf(renderVoice(*voice, 44100 + 4410, 0.5, 0.5), 4410);
    const double expected = 440.0 * 1024.0 / 1023.0;  // about 1.7 cents sharp
    EXPECT_NEAR(zeroCrossingFrequency(out, 44100.0), expected, 0.02);
    // A pure sine: next to nothing at the second and third harmonics (the
    // 1023-step wrap skips one table step per cycle, a glitch 50 dB down).
    const double fundamental = amplitudeAt(out, expected, 44100.0);
    EXPECT_GT(fundamental, 0.3);
    EXPECT_LT(amplitudeAt(out, 2 * expected, 44100.0), fundamental * 3e-3);
    EXPECT_LT(amplitudeAt(out, 3 * expected, 44100.0), fundamental * 3e-3);
}

TEST(OscillatorPitch, FollowsTheSemitoneScaleAtEverySampleRate) {
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        for (double pitch : {0.3, 0.5, 0.5 + 7.0 / 120.0, 0.6, 0.75}) {
            VoiceSettings s;
            s.sampleRate = rate;
            auto voice = startedVoice(s);
            const auto n = static_cast<std::size_t>(rate);
            const auto out = tailOf(renderVoice(*voice, n + n / 10, pitch, pitch), n / 10);
            EXPECT_NEAR(zeroCrossingFrequency(out, rate) / (nominal(pitch) * 1024.0 / 1023.0), 1.0, 2e-5)
                << "pitch " << pitch << " at " << rate << " Hz";
        }
    }
}

TEST(OscillatorPitch, PitchesBeyondTheRangeClampToTheEndNotes) {
    auto low = startedVoice({});
    auto below = startedVoice({});
    EXPECT_EQ(renderVoice(*low, 2000, 0.0, 0.0), renderVoice(*below, 2000, -3.0, -3.0));
    auto top = startedVoice({});
    auto above = startedVoice({});
    EXPECT_EQ(renderVoice(*top, 2000, 127.0 / 120.0, 0.5), renderVoice(*above, 2000, 9.0, 0.5));
}

// ---------------------------------------------------------------- mix and modes

TEST(OscillatorMix, IrrelevantWithOneOscillator) {
    for (int type : {int(kOscTypeSaw), int(kOscTypeNoise)}) {
        VoiceSettings s;
        s.type1 = type;
        s.filterType = kFilterLowPass12;
        s.mix = 0.0;
        const auto reference = renderVoice(*startedVoice(s), 3000, 0.45, 0.6, 0.0, 0.7, 0.3);
        for (double mix : {0.25, 0.5, 1.0}) {
            s.mix = mix;
            EXPECT_EQ(renderVoice(*startedVoice(s), 3000, 0.45, 0.6, 0.0, 0.7, 0.3), reference)
                << "type " << type << " mix " << mix;
        }
    }
}

TEST(OscillatorMix, EqualPowerCrossfadeBetweenTwoSines) {
    // Oscillator 1 at 440 Hz, oscillator 2 an octave up. Each one's level,
    // relative to its level alone, follows sin((1 - m) pi/2) and sin(m pi/2).
    auto levels = [](double mix) {
        VoiceSettings s;
        s.type2 = kOscTypeSinePure;
        s.mix = mix;
        auto voice = startedVoice(s);
        const auto out = tailOf(renderVoice(*voice, 44100, 0.5, 0.6), 4410);
        return std::pair{amplitudeAt(out, nominal(0.5) * 1024 / 1023, 44100.0),
                         amplitudeAt(out, nominal(0.6) * 1024 / 1023, 44100.0)};
    };
    const auto alone1 = levels(0.0).first, alone2 = levels(1.0).second;
    EXPECT_LT(levels(0.0).second, alone2 * 3e-3);
    EXPECT_LT(levels(1.0).first, alone1 * 3e-3);
    for (double mix : {0.25, 0.5, 0.8}) {
        const auto [a1, a2] = levels(mix);
        EXPECT_NEAR(a1 / alone1, std::sin((1 - mix) * std::numbers::pi / 2), 0.01) << "mix " << mix;
        EXPECT_NEAR(a2 / alone2, std::sin(mix * std::numbers::pi / 2), 0.01) << "mix " << mix;
    }
}

TEST(OscillatorModes, SwitchesSelectTheCombinationMode) {
    struct Case {
        int type1, type2;
        double fm;
        int mode;
    };
    const Case cases[] = {
        {7, 7, 1.0, 1},  {1, 7, 1.0, 2},  {7, 1, 1.0, 3}, {1, 6, 1.0, 4}, {7, 7, 0.0, 5},
        {7, 6, 0.0, 6},  {5, 7, 0.0, 7},  {2, 3, 0.0, 8}, {7, 0, 1.0, 9}, {4, 0, 0.0, 10},
        {0, 7, 0.0, 11}, {0, 4, 1.0, 12}, {0, 0, 1.0, 0},
    };
    OscillatorVoice voice(44100.0, sharedBank());
    for (const Case& c : cases) {
        voice.setType(1, c.type1);
        voice.setType(2, c.type2);
        voice.setFm(c.fm);
        EXPECT_EQ(voice.mode, c.mode) << c.type1 << "/" << c.type2 << " fm " << c.fm;
    }
}

TEST(OscillatorModes, FmAmountSwitchesBetweenPlainMixAndFm) {
    OscillatorVoice voice(44100.0, sharedBank());
    voice.setType(1, kOscTypeSinePure);
    voice.setType(2, kOscTypeTriangle);
    voice.setFm(0.0);
    EXPECT_EQ(voice.mode, kOscWaveWave);
    voice.setFm(1e-6);
    EXPECT_EQ(voice.mode, kOscWaveFmWave);
    voice.setFm(0.0);
    EXPECT_EQ(voice.mode, kOscWaveWave);
}

TEST(OscillatorModes, TypeChangeDuringANoteTakesEffectAtOnce) {
    auto voice = startedVoice({});
    renderVoice(*voice, 1000, 0.5, 0.5);
    voice->setType(1, kOscTypeOff);
    EXPECT_EQ(voice->mode, kOscSilent);
    EXPECT_EQ(renderVoice(*voice, 100, 0.5, 0.5), std::vector<double>(100, 0.0));
    EXPECT_EQ(voice->updateActive(), 0);
}

// ---------------------------------------------------------------- FM

TEST(OscillatorFm, HasNoEffectAtEitherEndOfPitch1) {
    for (double p1 : {0.0, 1.0}) {
        VoiceSettings s;
        s.type2 = kOscTypeSaw;
        s.fm = 1.0;
        auto withFm = startedVoice(s);
        auto withoutFm = startedVoice(s);
        EXPECT_EQ(renderVoice(*withFm, 4000, p1, 0.55, 1.0), renderVoice(*withoutFm, 4000, p1, 0.55, 0.0))
            << "p1 " << p1;
    }
    // In the middle of the range the same amount changes the sound.
    VoiceSettings s;
    s.type2 = kOscTypeSaw;
    s.fm = 1.0;
    auto withFm = startedVoice(s);
    auto withoutFm = startedVoice(s);
    EXPECT_NE(renderVoice(*withFm, 4000, 0.5, 0.55, 1.0), renderVoice(*withoutFm, 4000, 0.5, 0.55, 0.0));
}

TEST(OscillatorFm, ModulationSpreadsTheCarrierSpectrum) {
    // Mix 0: only oscillator 1 (the carrier) is heard, oscillator 2 still
    // modulates it. Without FM the carrier is a pure sine; with FM most of
    // its power moves away from the carrier frequency.
    const double carrier = nominal(0.5) * 1024 / 1023;
    auto carrierShare = [&](double fm) {
        VoiceSettings s;
        s.type2 = kOscTypeSinePure;
        s.fm = 1.0;
        s.mix = 0.0;
        auto voice = startedVoice(s);
        const auto out = tailOf(renderVoice(*voice, 44100, 0.5, 0.4, fm), 4410);
        const double a = amplitudeAt(out, carrier, 44100.0);
        return (a * a / 2) / (rms(out) * rms(out));
    };
    EXPECT_GT(carrierShare(0.0), 0.99);
    EXPECT_LT(carrierShare(0.5), 0.5);
}

TEST(OscillatorFm, ZeroAmountInTheFmModeSoundsAsThePlainMix) {
    VoiceSettings s;
    s.type2 = kOscTypeTriangle;
    s.fm = 1.0;
    auto fmMode = startedVoice(s);
    s.fm = 0.0;
    auto mixMode = startedVoice(s);
    ASSERT_EQ(fmMode->mode, kOscWaveFmWave);
    ASSERT_EQ(mixMode->mode, kOscWaveWave);
    EXPECT_EQ(renderVoice(*fmMode, 3000, 0.45, 0.55, 0.0), renderVoice(*mixMode, 3000, 0.45, 0.55, 0.0));
}

// ---------------------------------------------------------------- envelopes and voices

TEST(OscillatorVoiceLife, StartDoesNothingWhileBothOscillatorsAreOff) {
    VoiceSettings s;
    s.type1 = kOscTypeOff;
    auto voice = startedVoice(s);
    EXPECT_EQ(voice->active, 0);
    EXPECT_EQ(renderOne(*voice, 0.5, 0.5, 1.0, 0.0, 0.0), 0.0);
}

TEST(OscillatorVoiceLife, TriggerModeDecaysToSilenceAndGoesInactive) {
    VoiceSettings s;
    auto voice = startedVoice(s);
    voice->setEnvelopeModes(kModeTrigger, kModeTrigger, kModeTrigger);
    voice->volRelease = 0.05;
    voice->start();
    const auto out = renderVoice(*voice, 44100 / 5, 0.5, 0.5);
    EXPECT_GT(peak(out, 0, 441), 0.3);
    EXPECT_EQ(voice->updateActive(), 0);
    EXPECT_LT(peak(out, out.size() - 441), 1e-6);
    for (double y : out) ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL);
}

TEST(OscillatorVoiceLife, HoldModeSustainsUntilReleased) {
    auto voice = startedVoice({});
    const auto out = renderVoice(*voice, 44100, 0.5, 0.5);
    EXPECT_EQ(voice->updateActive(), 1);
    EXPECT_NEAR(peak(out, 40000), peak(out, 4410, 8820), 0.01);
}

TEST(OscillatorVoiceLife, PreviousVoiceFallsSilentWithin10ms) {
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        VoiceSettings s;
        s.type1 = kOscTypeSquare;
        s.type2 = kOscTypeNoise;
        s.sampleRate = rate;
        auto voice = startedVoice(s);
        renderVoice(*voice, 2000, 0.4, 0.8, 0.0, 0.9, 0.2);
        voice->tailCutoff = 0.9;
        voice->tailResonance = 0.2;

        const auto tenMs = static_cast<std::size_t>(rate / 100.0);
        std::vector<double> fade(tenMs + 200);
        for (double& x : fade) x = voice->tail();
        EXPECT_GT(peak(fade, 0, tenMs / 10), 0.1) << rate;
        EXPECT_LT(peak(fade, tenMs - tenMs / 10, tenMs), peak(fade, 0, tenMs / 10) * 0.2) << rate;
        // Exactly silent after 10 ms, and inactive.
        EXPECT_EQ(peak(fade, tenMs + 1), 0.0) << rate;
        EXPECT_EQ(voice->active, 0) << rate;
        EXPECT_EQ(voice->updateActive(), 0) << rate;
    }
}

TEST(OscillatorVoiceLife, ModulationEnvelopeMovesBothPitches) {
    // A depth of 0.1 over an instant attack and a long release raises both
    // oscillators by about twelve semitones at first.
    VoiceSettings s;
    auto voice = startedVoice(s);
    voice->modDepth = 0.1;
    voice->modAttack = 0.0;
    voice->modRelease = 5.0;
    voice->setEnvelopeModes(kModeHold, kModeHold, kModeTrigger);
    voice->start();
    const auto out = tailOf(renderVoice(*voice, 4410 + 441, 0.5, 0.5), 441);
    EXPECT_NEAR(zeroCrossingFrequency(out, 44100.0) / (880.0 * 1024 / 1023), 1.0, 0.01);
}

TEST(OscillatorVoiceLife, OutputsStayFiniteAndBoundedOverExtremeSettings) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pitches[][2] = {{0.0, 1.0}, {1.0, 0.0}, {3.0, -2.0}, {nan, 0.5}};
    for (int type1 = 0; type1 <= 7; ++type1) {
        for (int type2 = 0; type2 <= 7; ++type2) {
            for (double fm : {0.0, 1.0}) {
                for (int filter : {int(kFilterOff), int(kFilterLowPass6), int(kFilterLowPass12), int(kFilterPeak12),
                                   int(kFilterAnalogLowPass12)}) {
                    for (const auto& p : pitches) {
                        VoiceSettings s{type1, type2, fm, 0.5, filter, 44100.0};
                        auto voice = startedVoice(s);
                        for (int i = 0; i < 600; ++i) {
                            const double y = renderOne(*voice, p[0], p[1], 1.0, 1.0, fm);
                            ASSERT_TRUE(std::isfinite(y) && std::fabs(y) < 100.0 && std::fpclassify(y) != FP_SUBNORMAL)
                                << type1 << "/" << type2 << " fm " << fm << " filter " << filter << " p " << p[0] << ","
                                << p[1] << " sample " << i << ": " << y;
                        }
                    }
                }
            }
        }
    }
}

// A run of the current voice and the fading voice's tail are exactly the
// ticks and tails they replace, in every combination mode, with the
// modulation and filter envelopes moving pitch and cutoff every sample.
TEST(OscillatorVoiceRun, RunsAndTailsGiveTheSamplesOfTicks) {
    struct Types {
        int type1, type2;
        double fm;
    };
    const Types combinations[] = {{7, 7, 0.3}, {1, 7, 0.3}, {7, 2, 0.3}, {6, 5, 0.4}, {7, 7, 0.0}, {7, 3, 0.0},
                                  {4, 7, 0.0}, {5, 6, 0.0}, {7, 0, 0.0}, {2, 0, 0.0}, {0, 7, 0.0}, {0, 6, 0.0}};
    for (const Types& t : combinations)
        for (int filterType : {0, 3, 12}) {
            auto prepare = [&](OscillatorVoice& voice) {
                voice.setType(1, t.type1);
                voice.setType(2, t.type2);
                voice.setFm(t.fm);
                voice.setMix(0.3);
                voice.setFilterType(filterType);
                voice.volAttack = 0.002;
                voice.volRelease = 0.3;
                voice.volDepth = 0.9;
                voice.modAttack = 0.01;
                voice.modRelease = 0.05;
                voice.modDepth = 0.2;
                voice.filterAttack = 0.01;
                voice.filterRelease = 0.1;
                voice.filterDepth = 0.3;
                voice.start();
            };
            OscillatorVoice ticked(96000.0, sharedBank()), rendered(96000.0, sharedBank());
            prepare(ticked);
            prepare(rendered);
            std::uint32_t lengths = 5u;
            double p1[64], p2[64], cutoff[64], resonance[64], fm[64], out[64];
            for (int n = 0, block = 0; block < 150; ++block) {
                lengths = lengths * 1103515245u + 12345u;
                const int frames = 1 + static_cast<int>((lengths >> 16) % 64u);
                const bool tail = block >= 100;
                if (block == 100) {
                    for (OscillatorVoice* v : {&ticked, &rendered}) {
                        v->tailCutoff = 0.5;
                        v->tailResonance = 0.6;
                        v->tailFm = t.fm;
                    }
                }
                for (int k = 0; k < frames; ++k) {
                    p1[k] = 0.4 + 0.05 * std::sin((n + k) * 0.002);
                    p2[k] = 0.55;
                    cutoff[k] = 0.5;
                    resonance[k] = 0.4;
                    fm[k] = t.fm;
                    out[k] = 0.0;
                }
                if (tail)
                    rendered.renderTail(frames, out);
                else
                    rendered.render(p1, p2, cutoff, 0.0, resonance, fm, frames, out);
                for (int k = 0; k < frames; ++k, ++n) {
                    double expected = 0.0;
                    if (!tail)
                        expected = tickReference(ticked, p1[k], p2[k], cutoff[k], resonance[k], fm[k]);
                    else if (ticked.active)
                        expected += ticked.tail();
                    ASSERT_EQ(out[k], expected) << t.type1 << "/" << t.type2 << " filter " << filterType << " at " << n;
                }
                ASSERT_EQ(rendered.active, ticked.active);
            }
            EXPECT_EQ(rendered.active, 0);
        }
}

}  // namespace
