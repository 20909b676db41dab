// OscillatorCore on its own: the noise oscillators, the bass boost and the
// note tables it reads.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "AudioMeasure.h"
#include "OscillatorTestSupport.h"
#include "engine/DrumFilter.h"
#include "engine/OscillatorCore.h"
#include "engine/tables/OscillatorNoteTable.h"

namespace {

using namespace kettrix::engine;
using namespace kettrix::test;

// The noise generator's raw value sequence, from its definition:
// state = (state + 1) * 33 with 32-bit wrap, value = (state mod 10) * 0.03
// in single precision, the remainder taking the sign of the signed state.
struct ReferenceNoise {
    std::uint32_t state = 0;
    double next() {
        state = (state + 1u) * 33u;
        return double(float(std::int32_t(state) % 10) * 0.03f);
    }
};

// The noise output divided by its own band-limiting filter's output is the
// noise gain: 0.1 at pitch 1, 10.1 at pitch 0.
TEST(OscillatorNoise, GainFallsFrom10Point1AtPitch0To0Point1AtPitch1) {
    for (auto [pitch, gain] : {std::pair{1.0, 0.1}, {0.0, 10.1}, {0.5, 2.6}, {1.5, 0.1}}) {
        OscillatorCore core(44100.0);
        core.reset();
        DrumFilter bandLimit(44100.0);
        ReferenceNoise reference;
        int compared = 0;
        for (int i = 0; i < 2000; ++i) {
            const double out = core.noise1(pitch);
            const double filtered = bandLimit.process(reference.next(), pitch, 0.95, kFilterSingleStepLowPass);
            if (std::fabs(filtered) < 1e-9) continue;
            ASSERT_NEAR(out / filtered, gain, 1e-9) << "pitch " << pitch << " sample " << i;
            ++compared;
        }
        EXPECT_GT(compared, 1000);
    }
}

TEST(OscillatorNoise, Noise1RestartsEveryNoteWhileNoise2RunsOn) {
    for (auto [type1, type2, restarts] : {std::tuple{7, 0, true}, std::tuple{0, 7, false}}) {
        VoiceSettings s;
        s.type1 = type1;
        s.type2 = type2;
        auto voice = startedVoice(s);
        const auto first = renderVoice(*voice, 500, 0.7, 0.7);
        voice->start();
        const auto second = renderVoice(*voice, 500, 0.7, 0.7);
        EXPECT_EQ(first == second, restarts) << "noise on oscillator " << (type1 ? 1 : 2);
    }
}

TEST(OscillatorNoise, DrawsAtTheSameRateAboveStandardSampleRate) {
    // At 88.2 kHz each raw value is held for two samples: the noise spectrum
    // stays that of the 44.1 kHz generator instead of doubling its band.
    OscillatorCore core(88200.0);
    core.reset();
    std::uint32_t previousState = core.noise1State;
    int draws = 0;
    for (int i = 0; i < 1000; ++i) {
        core.noise1(1.0);
        if (core.noise1State != previousState) ++draws;
        previousState = core.noise1State;
    }
    EXPECT_NEAR(draws, 500, 1);
}

// The boost adds twice a one-pole low pass at about 360 Hz: three times the
// level in the deep bass, almost nothing at a few kHz.
TEST(OscillatorBoost, TriplesTheBassAndLeavesTheTreble) {
    const auto& bank = sharedBank();
    const OscillatorNoteTable notes(44100.0);
    for (auto [pitch, low, high] : {std::tuple{0.2, 2.9, 3.02}, std::tuple{0.8, 1.0, 1.15}}) {
        OscillatorCore core(44100.0);
        core.set1 = &bank.set(0);
        core.filterType = kFilterOff;
        core.reset();
        std::vector<double> out(44100);
        for (double& x : out) x = core.process(kOscWave1, pitch, 0.0, 1.0, 1.0, 0.0, 0.0);
        const auto& table = bank.set(0)[notes.atPitch(pitch).tableIndex];
        const double tableLevel = peak(std::vector<double>(table.begin(), table.end()));
        const double gain = peak(out, 22050) / tableLevel;
        EXPECT_GT(gain, low) << "pitch " << pitch;
        EXPECT_LT(gain, high) << "pitch " << pitch;
    }
}

TEST(OscillatorNoteTables, SeventySixTablesFromLowestToHighestNote) {
    const OscillatorNoteTable notes(44100.0);
    EXPECT_EQ(notes.noteTable[0], 0);
    EXPECT_EQ(notes.noteTable[127], 75);
    for (int n = 1; n < 128; ++n) {
        const int step = notes.noteTable[n] - notes.noteTable[n - 1];
        EXPECT_TRUE(step == 0 || step == 1) << n;
    }
    // The increment is the note's frequency in table samples per sample.
    EXPECT_NEAR(notes.increment[60], 440.0 * 1024.0 / 44100.0, 1e-12);
    EXPECT_NEAR(OscillatorNoteTable(48000.0).increment[60], 440.0 * 1024.0 / 48000.0, 1e-12);
    // Fixed 22050 Hz band limit: the table choice does not follow the rate.
    EXPECT_EQ(OscillatorNoteTable(96000.0).noteTable, notes.noteTable);
}

// Between notes the increment is interpolated linearly from the note below;
// below note 0 (and for NaN) note 0 is read, from note 127 up the top one.
TEST(OscillatorNoteTables, IncrementInterpolatesBetweenNotesAndClampsAtBothEnds) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double rate : {22050.0, 44100.0, 96000.0}) {
        const OscillatorNoteTable notes(rate);
        auto reference = [&notes](double v) {
            if (!(v > 0.0)) v = 0.0;
            if (v >= 127.0) return PitchStep{notes.increment[127], notes.noteTable[127]};
            const int i = static_cast<int>(v);
            const auto a = static_cast<std::size_t>(i), b = a + 1;
            return PitchStep{notes.increment[a] + (notes.increment[b] - notes.increment[a]) * (v - i),
                             notes.noteTable[a]};
        };
        std::vector<double> values = {-inf,
                                      -3.0,
                                      -0.0,
                                      0.0,
                                      1e-300,
                                      126.99999999999999,
                                      127.0,
                                      127.5,
                                      300.0,
                                      inf,
                                      std::numeric_limits<double>::quiet_NaN()};
        for (int n = 0; n < 128; ++n)
            for (double f : {0.0, 0.001, 0.25, 0.5, 0.7071, 0.999999}) values.push_back(n + f);
        for (double v : values) {
            const PitchStep got = notes.atNote(v), want = reference(v);
            EXPECT_EQ(std::memcmp(&got.increment, &want.increment, sizeof(double)), 0) << rate << " note " << v;
            EXPECT_EQ(got.tableIndex, want.tableIndex) << rate << " note " << v;
        }
    }
}

TEST(OscillatorCoreLimits, LowSampleRatesKeepTheReadInsideTheTable) {
    // At 8 kHz the top note advances more than one cycle per sample.
    OscillatorCore core(8000.0);
    core.set1 = &sharedBank().set(5);
    core.filterType = kFilterOff;
    core.reset();
    for (int i = 0; i < 1000; ++i) {
        const double y = core.process(kOscWave1, 1.0, 0.0, 1.0, 1.0, 0.0, 0.0);
        ASSERT_TRUE(std::isfinite(y));
        ASSERT_LE(core.phase1, 1023.0);
        ASSERT_GE(core.phase1, 0.0);
    }
}

}  // namespace
