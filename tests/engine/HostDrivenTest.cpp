// The engine inside the plug-in, driven through the AEffect callbacks the way
// a host drives it: MIDI events with frame offsets, twelve outputs, programs,
// parameter changes, sample-rate changes, and a randomized soak.

#include "TestHost.h"
#include "engine/EngineLimits.h"
#include "kit/SoundRecord.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

using namespace kettrix;
using namespace kettrix::test;
namespace eng = kettrix::engine;

namespace {

// 32-bit multiply-add generator: the same sequence on every platform.
struct TestRandom {
    std::uint32_t state;
    std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
    int below(int n) { return static_cast<int>((next() >> 8) % static_cast<std::uint32_t>(n)); }
    double unit() { return (next() >> 8) * (1.0 / 16777216.0); }
};

class HostedPlugin : public ::testing::Test {
protected:
    AEffect* effect = nullptr;
    std::array<std::vector<double>, eng::kOutputCount> out;

    void SetUp() override {
        RecordingHost::Instance().Reset();
        effect = CreateVstInstance(&RecordingHost::Callback);
        ASSERT_NE(effect, nullptr);
        open(44100.0f, 512);
    }
    void TearDown() override {
        if (effect) Dispatch(effect, effClose);
    }

    void open(float rate, int block) {
        Dispatch(effect, effOpen);
        Dispatch(effect, effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(effect, effSetBlockSize, 0, block);
        Dispatch(effect, effMainsChanged, 0, 1);
    }

    IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }

    void send(std::initializer_list<VstMidiEvent> events) {
        EventList list;
        for (const auto& e : events) list.Add(e);
        Dispatch(effect, effProcessEvents, 0, 0, list.Build());
    }
    void noteOn(int delta, int note, int velocity = 100) {
        send({MidiEvent(delta, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity))});
    }

    void process(int frames) {
        std::array<double*, eng::kOutputCount> ptr{};
        for (unsigned c = 0; c < eng::kOutputCount; ++c) {
            out[c].assign(static_cast<std::size_t>(frames), 99.0);
            ptr[c] = out[c].data();
        }
        effect->processDoubleReplacing(effect, nullptr, ptr.data(), frames);
    }

    // Sets a parameter from its plain value, as the host does (normalized).
    void setPlain(int index, double plain, double max) {
        effect->setParameter(effect, index, static_cast<float>(plain / max));
    }

    double peak(int channel, std::size_t from = 0) const {
        double p = 0.0;
        for (std::size_t i = from; i < out[static_cast<unsigned>(channel)].size(); ++i)
            p = std::max(p, std::fabs(out[static_cast<unsigned>(channel)][i]));
        return p;
    }
    bool silent(int channel) const { return peak(channel) == 0.0; }

    // Renders `frames` in blocks of `block` frames; the loudest sample on
    // any output.
    double loudestOver(int frames, int block = 512) {
        double loudest = 0.0;
        for (int done = 0; done < frames; done += block) {
            process(std::min(block, frames - done));
            for (int c = 0; c < eng::kOutputCount; ++c) loudest = std::max(loudest, peak(c));
        }
        return loudest;
    }
    int key(int sound) { return plug().Engine().keyboard().keyLo(sound); }
    // `frames` frames in blocks of 512, every output summed into one.
    std::vector<double> renderSum(int frames) {
        std::vector<double> sum;
        for (int done = 0; done < frames; done += 512) {
            process(std::min(512, frames - done));
            for (std::size_t i = 0; i < out[0].size(); ++i) {
                double v = 0.0;
                for (const auto& channel : out) v += channel[i];
                sum.push_back(v);
            }
        }
        return sum;
    }
    void wait(double ms) { renderSum(static_cast<int>(ms * 44.1)); }

    // Hz of each of the first `cycles` cycles of a hit of `sound` at its
    // lowest key, played `ms` after whatever came last: from one rising zero
    // crossing to the next, interpolated; a crossing counts only after the
    // wave went below a twentieth of its peak, so that the onset's wobble
    // around zero is no cycle.
    std::vector<double> cyclePitches(int sound, double ms, int cycles = 6) {
        wait(ms);
        const int note = key(sound);
        noteOn(0, note, 127);
        const std::vector<double> x = renderSum(8192);
        send({MidiEvent(0, 0x80, static_cast<uint8_t>(note), 0)});
        double peakLevel = 0.0;
        for (double v : x) peakLevel = std::max(peakLevel, std::fabs(v));
        std::vector<double> crossings;
        bool armed = false;
        for (std::size_t i = 1; i < x.size() && crossings.size() <= static_cast<std::size_t>(cycles); ++i) {
            if (x[i] < -0.05 * peakLevel) armed = true;
            if (armed && x[i - 1] < 0.0 && x[i] >= 0.0) {
                crossings.push_back(static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]));
                armed = false;
            }
        }
        std::vector<double> hz;
        for (std::size_t c = 1; c < crossings.size(); ++c) hz.push_back(44100.0 / (crossings[c] - crossings[c - 1]));
        return hz;
    }
    void selectProgram(int program) { Dispatch(effect, effSetProgram, 0, program); }
    // Only the oscillators of `sound` sound (noise and hit off: their
    // random starts would move the zero crossings). None of these glide.
    void oscillatorsOnly(int sound) {
        for (int off : {eng::offset::kNoise1On, eng::offset::kNoise2On, eng::offset::kHitVolume})
            effect->setParameter(effect, eng::soundIndex(sound, off), 0.0f);
    }
};

// Kick, low tom and high tom: the tuned sounds of every factory kit.
constexpr std::array<int, 3> kTunedSounds{0, 6, 7};
constexpr int kEmptyKit = 33;

// Every cycle within 1 % of the reference's; an empty pitch list (a silent
// sound) matches only another.
::testing::AssertionResult samePitch(const std::vector<double>& got, const std::vector<double>& want) {
    if (got.size() != want.size())
        return ::testing::AssertionFailure() << got.size() << " cycles, want " << want.size();
    for (std::size_t c = 0; c < got.size(); ++c)
        if (std::fabs(got[c] / want[c] - 1.0) > 0.01)
            return ::testing::AssertionFailure() << "cycle " << c << ": " << got[c] << " Hz, want " << want[c] << " Hz";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(HostedPlugin, NoteReachesItsSoundAtItsFrameOffset) {
    noteOn(100, 36);
    process(512);
    for (std::size_t i = 0; i < 100; ++i) ASSERT_EQ(out[0][i], 0.0) << i;
    EXPECT_GT(peak(0, 100), 0.001);
    EXPECT_GT(peak(1, 100), 0.001);
    for (int c = 2; c < eng::kOutputCount; ++c) EXPECT_TRUE(silent(c)) << c;
}

TEST_F(HostedPlugin, EverySoundOfTheFactoryKitMakesSound) {
    for (int s = 0; s < eng::kSoundCount; ++s) {
        const int key = plug().Engine().keyboard().keyLo(s);
        noteOn(0, key, 127);
        double loudest = 0.0;
        for (int b = 0; b < 20; ++b) {
            process(512);
            for (int c = 0; c < eng::kOutputCount; ++c) loudest = std::max(loudest, peak(c));
        }
        EXPECT_GT(loudest, 0.001) << "sound " << s;
        send({MidiEvent(0, 0x80, static_cast<uint8_t>(key), 0)});
        for (int b = 0; b < 400; ++b) process(512);  // let it die away
    }
}

TEST_F(HostedPlugin, ChannelSettingRoutesTheSoundToItsPairOnly) {
    setPlain(eng::soundIndex(0, eng::offset::kChannel), 5, 5);
    noteOn(0, 36);
    process(2048);
    EXPECT_GT(peak(10), 0.001);
    EXPECT_GT(peak(11), 0.001);
    for (int c = 0; c < 10; ++c) EXPECT_TRUE(silent(c)) << c;
}

TEST_F(HostedPlugin, ProgramsSwitchKits) {
    noteOn(0, 36, 127);
    process(4096);
    const std::vector<double> first = out[0];
    for (int b = 0; b < 400; ++b) process(512);
    Dispatch(effect, effSetProgram, 0, 33);  // "Empty"
    noteOn(0, 36, 127);
    process(4096);
    EXPECT_NE(out[0], first);
}

// A kit load (construction, program, program chunk, a sound applied) leaves
// no glide behind: the first note after it has the pitch of a note a second
// later, while a single parameter change still glides.
TEST_F(HostedPlugin, KitLoadsDoNotGlide) {
    {
        // Construction: the instance of SetUp has played nothing yet.
        oscillatorsOnly(0);
        const std::vector<double> first = cyclePitches(0, 0.0);
        EXPECT_TRUE(samePitch(first, cyclePitches(0, 1000.0))) << "kick after construction";
    }
    for (int kit = 0; kit < kEmptyKit; ++kit) {
        for (int sound : kTunedSounds) {
            // Every note comes after the same steps, only the wait differs.
            auto afterLoad = [&](double ms) {
                selectProgram(kEmptyKit);
                wait(1000.0);
                selectProgram(kit);
                oscillatorsOnly(sound);
                return cyclePitches(sound, ms);
            };
            // A first note, so that every measured one follows a note of the
            // same sound (its oscillators start from where that one left).
            afterLoad(1000.0);
            const std::vector<double> settled = afterLoad(1000.0);
            for (double ms : {0.0, 5.0, 50.0, 500.0})
                EXPECT_TRUE(samePitch(afterLoad(ms), settled))
                    << "kit " << kit << " sound " << sound << " at " << ms << " ms";
        }
    }
}

TEST_F(HostedPlugin, ChunkAndSoundLoadsDoNotGlide) {
    selectProgram(0);
    oscillatorsOnly(0);
    const std::vector<uint8_t> program = GetChunkBytes(effect, 1);
    const kit::SoundRecord kick = plug().Kit().captureSound();
    // Every note after the same steps (and a note of the same sound).
    auto afterChunk = [&](double ms) {
        selectProgram(kEmptyKit);
        wait(1000.0);
        EXPECT_EQ(SetChunkBytes(effect, 1, program), 1);
        return cyclePitches(0, ms);
    };
    auto afterRecord = [&](double ms) {
        selectProgram(kEmptyKit);
        wait(1000.0);
        plug().Kit().applySound(kick);  // what a sound file, paste or randomize ends in
        return cyclePitches(0, ms);
    };
    afterChunk(1000.0);
    EXPECT_TRUE(samePitch(afterChunk(0.0), afterChunk(1000.0))) << "program chunk";
    afterRecord(1000.0);
    EXPECT_TRUE(samePitch(afterRecord(0.0), afterRecord(1000.0))) << "sound record";
}

TEST_F(HostedPlugin, AutomatedOsc1PitchStillGlides) {
    const int pitch = eng::soundIndex(0, eng::offset::kOsc1Pitch);
    oscillatorsOnly(0);
    // Without the kit's own sweep, the n-th cycle after the octave lies at
    // the same pitch ratio wherever it falls in time.
    effect->setParameter(effect, eng::soundIndex(0, eng::offset::kOscModDepth), 0.0f);
    const std::vector<double> before = cyclePitches(0, 1000.0);
    effect->setParameter(effect, pitch, effect->getParameter(effect, pitch) + 0.1f);  // 12 semitones up
    const std::vector<double> gliding = cyclePitches(0, 0.0);
    const std::vector<double> after = cyclePitches(0, 1000.0);
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(after.size(), before.size());
    ASSERT_EQ(gliding.size(), before.size());
    EXPECT_NEAR(after.back() / before.back(), 2.0, 0.1);  // the octave, once settled
    EXPECT_LT(gliding.back(), 0.9 * after.back());        // not there yet at the first note
}

TEST_F(HostedPlugin, SampleRateChangeKeepsTheKitAndStillPlays) {
    const int pan = eng::soundIndex(0, eng::offset::kPan);
    setPlain(pan, 0.0, 1.0);
    Dispatch(effect, effMainsChanged, 0, 0);
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Dispatch(effect, effMainsChanged, 0, 1);
    EXPECT_EQ(effect->getParameter(effect, pan), 0.0f);
    EXPECT_EQ(plug().Engine().sampleRate(), 96000.0);
    noteOn(0, 36);
    process(4096);
    EXPECT_GT(peak(0), 0.001);
    EXPECT_TRUE(silent(1));  // still panned hard left
}

TEST_F(HostedPlugin, SingleAndDoublePrecisionAgree) {
    // This instance renders in single precision, a twin in double; the float
    // samples are the double ones rounded, every one of them.
    noteOn(10, 38, 90);
    std::array<std::vector<float>, eng::kOutputCount> f;
    std::array<float*, eng::kOutputCount> ptr{};
    for (unsigned c = 0; c < eng::kOutputCount; ++c) {
        f[c].assign(1024, 5.0f);
        ptr[c] = f[c].data();
    }
    effect->processReplacing(effect, nullptr, ptr.data(), 1024);

    AEffect* single = std::exchange(effect, CreateVstInstance(&RecordingHost::Callback));
    ASSERT_NE(effect, nullptr);
    open(44100.0f, 512);
    noteOn(10, 38, 90);
    process(1024);
    Dispatch(single, effClose);

    double loudest = 0.0;
    for (unsigned c = 0; c < eng::kOutputCount; ++c) {
        for (std::size_t i = 0; i < 1024; ++i) {
            ASSERT_EQ(f[c][i], static_cast<float>(out[c][i])) << "channel " << c << " frame " << i;
            loudest = std::max(loudest, std::fabs(out[c][i]));
        }
    }
    EXPECT_GT(loudest, 0.001);
}

// Whichever sound held the solo before, the latest solo is the only switch
// lit, no mute switch is on, and only that sound plays.
TEST_F(HostedPlugin, SoloStaysExclusiveWhicheverWayItMoves) {
    for (const auto& [before, latest] : {std::pair{3, 5}, std::pair{5, 3}}) {
        SCOPED_TRACE(testing::Message() << "solo " << before << " then " << latest);
        setPlain(eng::global::kSolo + before, 1, 1);
        setPlain(eng::global::kSolo + latest, 1, 1);
        for (int s = 0; s < eng::kSoundCount; ++s) {
            EXPECT_EQ(effect->getParameter(effect, eng::global::kSolo + s), s == latest ? 1.0f : 0.0f) << s;
            EXPECT_EQ(effect->getParameter(effect, eng::global::kMute + s), 0.0f) << s;
        }
        // The others first, so that the soloed sound's ring cannot hide them.
        for (int s = 0; s < eng::kSoundCount; ++s) {
            if (s == latest) continue;
            noteOn(0, key(s), 127);
            EXPECT_EQ(loudestOver(8192), 0.0) << "sound " << s;
        }
        noteOn(0, key(latest), 127);
        EXPECT_GT(loudestOver(8192), 0.001);
        setPlain(eng::global::kSolo + latest, 0, 1);
        loudestOver(5 * 44100);  // let it die away
    }
}

// An "Analog" hit switched off while it still holds the oscillator section
// back: every following note sounds alike, whichever of the sound's two
// voices it lands on.
TEST_F(HostedPlugin, HitTypeOffLeavesEveryFollowingNoteSounding) {
    constexpr int kBlock = 32;  // short enough to switch within the hit
    Dispatch(effect, effSetBlockSize, 0, kBlock);
    const int hitType = eng::soundIndex(0, eng::offset::kHitType);
    setPlain(hitType, 5, 18);  // "909 BD"
    noteOn(0, key(0), 127);
    process(kBlock);
    setPlain(hitType, 0, 18);  // "OFF"
    loudestOver(2 * 44100, kBlock);
    std::vector<double> peaks;
    for (int n = 0; n < 4; ++n) {
        noteOn(0, key(0), 127);
        peaks.push_back(loudestOver(2 * 44100, kBlock));
    }
    ASSERT_GT(peaks[0], 0.01);
    for (double p : peaks) EXPECT_NEAR(p, peaks[0], 0.01 * peaks[0]);
}

// A choke aimed at a sound that has never played leaves it alone: the
// target's first note is exactly as loud as without the choke before it,
// also through a compressor, whose gain dip every start of the sound
// restarts. Both instances render the same time before that note, so that
// the smoothed parameters have settled alike.
TEST_F(HostedPlugin, ChokeOfASoundThatNeverPlayedChangesNothing) {
    constexpr int kClosedHat = 4;
    constexpr int kOpenHat = 5;
    auto firstOpenHatPeak = [&](bool chokeBefore) {
        EXPECT_FLOAT_EQ(effect->getParameter(effect, eng::soundIndex(kClosedHat, eng::offset::kChoke)),
                        (kOpenHat + 1) / 10.0f);
        setPlain(eng::soundIndex(kOpenHat, eng::offset::kEffectType), 3, 3);  // "Compressor"
        if (chokeBefore) noteOn(0, key(kClosedHat), 127);
        loudestOver(3 * 44100);
        noteOn(0, key(kOpenHat), 127);
        return loudestOver(8192);
    };
    const double afterChoke = firstOpenHatPeak(true);
    Dispatch(effect, effClose);
    effect = CreateVstInstance(&RecordingHost::Callback);
    ASSERT_NE(effect, nullptr);
    open(44100.0f, 512);
    const double alone = firstOpenHatPeak(false);
    ASSERT_GT(alone, 0.001);
    EXPECT_NEAR(afterChoke, alone, 1e-3 * alone);
}

TEST_F(HostedPlugin, RestartedEngineRendersWhatANewInstanceRenders) {
    // Every sound twice (the second hits choke and retrigger), then the
    // tails cut off mid-ring by the restart: what a new instance with the
    // same kit then renders, sample for sample.
    auto playEverySound = [&](int velocity) {
        for (int sound = 0; sound < eng::kSoundCount; ++sound) noteOn(sound * 7, key(sound), velocity);
        return renderSum(12000);
    };
    constexpr int kProgram = 5;
    selectProgram(kProgram);
    playEverySound(127);
    playEverySound(60);
    plug().RestartEngine();
    const std::vector<double> restarted = playEverySound(100);

    Dispatch(effect, effClose);
    effect = CreateVstInstance(&RecordingHost::Callback);
    ASSERT_NE(effect, nullptr);
    open(44100.0f, 512);
    selectProgram(kProgram);
    const std::vector<double> fresh = playEverySound(100);
    ASSERT_GT(*std::max_element(fresh.begin(), fresh.end()), 0.01);
    EXPECT_EQ(restarted, fresh);
}

#if defined(__SSE2__)
TEST_F(HostedPlugin, BlocksFlushDenormalsAndRestoreTheHostsFloatingPointMode) {
    const unsigned hostMode = _mm_getcsr() & ~0x8040u;  // FTZ and DAZ off
    _mm_setcsr(hostMode);
    noteOn(0, 36);
    process(256);
    EXPECT_EQ(_mm_getcsr() & 0xFFC0u, hostMode & 0xFFC0u);  // mode bits as the host left them
}
#endif

// Random kits, notes and parameter changes at three rates and block sizes
// from 1 to 4096: every sample finite, nothing crashes.
TEST_F(HostedPlugin, RandomizedSoakStaysFinite) {
    TestRandom random{20261209u};
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        Dispatch(effect, effMainsChanged, 0, 0);
        Dispatch(effect, effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(effect, effSetBlockSize, 0, 4096);
        Dispatch(effect, effMainsChanged, 0, 1);
        Dispatch(effect, effSetProgram, 0, random.below(34));
        // Randomize every sound with the kit's randomizer.
        plug().Kit().seedRandomizer(random.next());
        for (int s = 0; s < eng::kSoundCount; ++s) {
            effect->setParameter(effect, 1321 + s, 1.0f);  // "Show Sound": current sound
            plug().Kit().randomizeSound(random.below(2) == 0);
        }
        int rendered = 0;
        while (rendered < static_cast<int>(rate) * 2) {
            const int frames = random.below(8) == 0 ? 1 + random.below(4096) : 1 + random.below(300);
            for (int n = random.below(4); n > 0; --n) {
                const int status = random.below(5) == 0 ? 0x80 : 0x90;
                send({MidiEvent(random.below(frames), static_cast<uint8_t>(status),
                                static_cast<uint8_t>(30 + random.below(70)), static_cast<uint8_t>(random.below(128)))});
            }
            for (int n = random.below(3); n > 0; --n)
                effect->setParameter(effect, random.below(eng::kFirstGlobalIndex), static_cast<float>(random.unit()));
            process(frames);
            for (int c = 0; c < eng::kOutputCount; ++c)
                for (double v : out[static_cast<unsigned>(c)]) ASSERT_TRUE(std::isfinite(v)) << "rate " << rate;
            rendered += frames;
        }
    }
}
