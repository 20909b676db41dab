// The render loop, triggers, voices and parameter application, driven the
// way the plug-in drives the engine: queued MIDI and parameter changes.

#include "EngineFixture.h"

#include <cmath>

using namespace kettrix::engine;
using kettrix::engine::test::EngineFixture;

namespace {
using RenderLoop = EngineFixture;
using Parameters = EngineFixture;
}  // namespace

TEST_F(RenderLoop, NoteOnsAtDifferentOffsetsTriggerTwiceAtTheSameOffsetOnce) {
    DrumSound& kick = engine.sound(0);
    noteOn(10, 36, 50);
    noteOn(100, 36, 90);
    render(256);
    EXPECT_EQ(kick.currentVoice(), 0);  // 0 -> 1 -> 0: two triggers
    EXPECT_EQ(kick.previousVoice(), 1);

    noteOn(20, 37, 30);
    noteOn(20, 38, 120);
    render(256);
    EXPECT_EQ(kick.currentVoice(), 1);  // one trigger
    EXPECT_EQ(kick.velocity(), 120.0 / 127.0);
    EXPECT_EQ(kick.keyOffset(), 2.0 / 120.0);
}

TEST_F(RenderLoop, ThirdQuickNoteTakesOverTheFirstVoice) {
    DrumSound& kick = engine.sound(0);
    noteOn(0, 36);
    render(64);
    noteOn(0, 36);
    render(64);
    EXPECT_TRUE(kick.oscVoice(1).active);
    EXPECT_TRUE(kick.oscVoice(0).active);  // still fading as the previous voice
    noteOn(0, 36);
    render(64);
    EXPECT_EQ(kick.currentVoice(), 1);
    EXPECT_EQ(kick.previousVoice(), 0);
}

TEST_F(RenderLoop, NoteInTwoRangesStartsBothSoundsWithTheirOwnKeyOffsets) {
    set(3, offset::kKeyLo, 30);
    noteOn(0, 38);
    render(32);
    EXPECT_TRUE(engine.activeSounds().contains(0));
    EXPECT_TRUE(engine.activeSounds().contains(3));
    EXPECT_EQ(engine.sound(0).keyOffset(), 2.0 / 120.0);
    EXPECT_EQ(engine.sound(3).keyOffset(), 8.0 / 120.0);
}

TEST_F(RenderLoop, KeyOffsetRaisesThePitchBySemitones) {
    set(0, offset::kOscVolRelease, 1.0);
    set(0, offset::kOscCutoff, 1.0);
    noteOn(0, 36);
    const double low = frequency(renderChannel(0, 8192), 44100.0, 512);
    noteOn(0, 41);
    const double high = frequency(renderChannel(0, 8192), 44100.0, 512);
    ASSERT_GT(low, 0.0);
    EXPECT_NEAR(high / low, std::pow(2.0, 5.0 / 12.0), 0.01);
    // Pitch 0.4 is note 48 on the pitch scale: 220 Hz (x 1024/1023).
    EXPECT_NEAR(low, 220.0 * 1024.0 / 1023.0, 1.0);
}

TEST_F(RenderLoop, NoteOffOfAnotherNoteKeepsTheGateVelocityZeroReleases) {
    set(0, offset::kOscVolMode, 1);  // "Hold": sounds while the gate is held
    noteOn(0, 36);
    noteOff(10, 37);
    renderChannel(0, 44100);
    EXPECT_GT(peak(renderChannel(0, 512)), 0.01);

    noteOn(0, 36, 0);  // velocity 0 is a note-off
    renderChannel(0, 44100 * 2);
    EXPECT_FALSE(engine.activeSounds().contains(0));
}

TEST_F(RenderLoop, DeadSoundLeavesTheActiveListAndOutputsExactlyZero) {
    noteOn(0, 36);
    const auto ring = renderChannel(0, 44100);
    EXPECT_GT(peak(ring), 0.01);
    renderChannel(0, 44100 * 2);
    EXPECT_EQ(engine.activeSounds().count(), 0);
    render(256);
    for (int c = 0; c < kOutputCount; ++c) EXPECT_TRUE(allZero(c)) << c;
    EXPECT_EQ(host.indicators[0], 0.0);
}

TEST_F(RenderLoop, ChokeRestartsTheTargetSilentlyAndItIsGoneFromTheNextBlock) {
    set(0, offset::kOscVolRelease, 1.0);  // a long ring on pair 0
    set(1, offset::kChannel, 1);          // the choking sound on pair 1
    set(1, offset::kChoke, 1);            // sound 1 chokes sound 0
    noteOn(0, 36);
    renderChannel(0, 2048);
    ASSERT_GT(peak(channels[0]), 0.01);

    noteOn(100, 42);
    render(256);
    EXPECT_FALSE(engine.activeSounds().contains(0));
    render(256);
    EXPECT_TRUE(allZero(0));
    EXPECT_TRUE(allZero(1));
    EXPECT_GT(peak(channels[2]), 0.001);  // the choking sound plays on
}

TEST_F(RenderLoop, SoundChokingItselfIsSilent) {
    set(2, offset::kChoke, 3);
    noteOn(0, 48);
    render(256);
    EXPECT_FALSE(engine.activeSounds().contains(2));
    render(256);
    EXPECT_TRUE(allZero(0));
}

TEST_F(RenderLoop, AllSectionsOffGivesOneSilentBlock) {
    set(4, offset::kOscOn, 0);
    set(4, offset::kNoise1On, 0);
    set(4, offset::kNoise2On, 0);
    noteOn(0, 60);
    render(128);
    EXPECT_TRUE(allZero(0));
    EXPECT_TRUE(allZero(1));
    EXPECT_FALSE(engine.activeSounds().contains(4));
}

TEST_F(RenderLoop, UnroutedOutputsAreExactlyZeroAndChannelFiveUsesTheLastPair) {
    set(0, offset::kChannel, 5);
    set(1, offset::kChannel, 2);
    noteOn(0, 36);
    noteOn(0, 42);
    render(1024);
    for (int c : {0, 1, 2, 3, 6, 7, 8, 9}) EXPECT_TRUE(allZero(c)) << c;
    EXPECT_GT(peak(channels[10]), 0.01);
    EXPECT_GT(peak(channels[11]), 0.01);
    EXPECT_GT(peak(channels[4]), 0.01);
}

TEST_F(RenderLoop, MessagesBeyondTheBlockWaitForTheNextBlock) {
    noteOn(300, 36);
    render(256);
    EXPECT_FALSE(engine.activeSounds().contains(0));
    EXPECT_EQ(midi.Pending(), 1);
    render(256);
    EXPECT_TRUE(engine.activeSounds().contains(0));
    // The note starts at offset 44 of the second block: silence before it.
    for (int i = 0; i < 44; ++i) EXPECT_EQ(channels[0][static_cast<unsigned>(i)], 0.0);
    EXPECT_GT(peak(channels[0], 44), 0.0);
}

TEST_F(RenderLoop, SampleRateChangeKeepsSettingsAndSilencesVoices) {
    set(0, offset::kOscVolRelease, 1.0);
    set(0, offset::kOscCutoff, 1.0);
    set(0, offset::kPan, 0.0);
    settle();
    noteOn(0, 38);
    const double before = frequency(renderChannel(0, 8192), 44100.0, 512);

    engine.reset(96000.0);
    render(256);
    EXPECT_TRUE(allZero(0));  // voices rebuilt: nothing sounds until the next note
    noteOn(0, 38);
    const auto left = renderChannel(0, 96000 / 4);
    EXPECT_NEAR(frequency(left, 96000.0, 2048), before, 0.5);
    EXPECT_TRUE(allZero(1));  // still panned hard left
    EXPECT_EQ(engine.smoother().current(soundIndex(0, offset::kOscCutoff)), 1.0);
}

TEST_F(Parameters, SnapTruncatesToWholeNotes) {
    const int pitch = soundIndex(0, offset::kOsc1Pitch);
    set(0, offset::kOsc1Snap, 1);
    set(0, offset::kOsc1Pitch, 0.4083);
    EXPECT_EQ(engine.smoother().target(pitch), 0.4);
    set(0, offset::kOsc1Pitch, 0.41);
    EXPECT_DOUBLE_EQ(engine.smoother().target(pitch), 49.0 / 120.0);
    // Switching the snap on re-applies the pitch.
    set(0, offset::kOsc1Snap, 0);
    set(0, offset::kOsc1Pitch, 0.41);
    EXPECT_EQ(engine.smoother().target(pitch), 0.41);
    set(0, offset::kOsc1Snap, 1);
    EXPECT_DOUBLE_EQ(engine.smoother().target(pitch), 49.0 / 120.0);
}

TEST_F(Parameters, VolumeAttackLastsTheKnobSquaredTimesFiveSeconds) {
    // With a long release the loudest sample marks the end of the attack.
    set(0, offset::kOscVolRelease, 1.0);
    const auto attackEnd = [&](double knob) {
        set(0, offset::kOscVolAttack, knob);
        noteOn(0, 36);
        const std::vector<double> x = renderChannel(0, 16384);
        std::size_t loudest = 0;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (std::fabs(x[i]) > std::fabs(x[loudest])) loudest = i;
        // Still rising halfway through the attack.
        EXPECT_LT(peak(x, loudest / 2 - 400, loudest / 2), 0.75 * std::fabs(x[loudest])) << knob;
        return static_cast<double>(loudest);
    };
    const double period = 44100.0 / 130.0;                // one cycle of the note: the peak's resolution
    EXPECT_NEAR(attackEnd(0.1), 0.05 * 44100.0, period);  // 0.1^2 * 5 s
    render(44100 * 6);                                    // the release ends
    EXPECT_NEAR(attackEnd(0.2), 0.2 * 44100.0, period);   // 0.2^2 * 5 s
}

TEST_F(Parameters, VolumeDepthActsAtTheNextNote) {
    set(0, offset::kOscVolRelease, 1.0);
    noteOn(0, 36);
    renderChannel(0, 4096);
    const double loud = peak(renderChannel(0, 4096));
    set(0, offset::kOscVolDepth, 0.05);
    EXPECT_GT(peak(renderChannel(0, 4096)), loud * 0.7);  // the ringing note keeps its level
    noteOn(0, 36);
    renderChannel(0, 4096);
    EXPECT_LT(peak(renderChannel(0, 4096)), loud * 0.2);
}

TEST_F(Parameters, ModulationDepthActsOnTheRingingNote) {
    set(0, offset::kOscModDepth, 0.5);
    set(0, offset::kOscModMode, 1);
    set(0, offset::kOscModAttackType, 0);
    noteOn(0, 36);
    render(64);
    EXPECT_EQ(engine.sound(0).oscVoice(1).modDepth, 0.5);
    set(0, offset::kOscModDepth, 0.2);
    EXPECT_EQ(engine.sound(0).oscVoice(1).modDepth, 0.2);
}

TEST_F(Parameters, MirroredPairsFollowEachOther) {
    set(2, offset::kOscVolume, 0.3);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kOscVolDepth)), 0.3);
    set(2, offset::kOscVolDepth, 0.7);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kOscVolume)), 0.7);
    EXPECT_EQ(engine.sound(2).oscVolumeLevel().depth, 0.7);
    set(2, offset::kNoise1Volume, 0.25);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kNoiseVolDepth)), 0.25);
    EXPECT_EQ(engine.sound(2).noiseVolumeLevel(1).depth, 0.5);
    set(2, offset::kNoiseVolDepth + offset::kNoise2Shift, 0.4);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kNoise2Volume)), 0.4);
    set(2, offset::kHitVolumeMirror, 1.5);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kHitVolume)), 1.5);
    set(2, offset::kHitLowpass, 0.6);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kHitLowpassMirror)), 0.6);
    EXPECT_EQ(engine.sound(2).hitLowpassLevel().depth, 0.6);
}

TEST_F(Parameters, OscMuteCutsTheRingAtOnceMutedSoundKeepsRinging) {
    set(0, offset::kOscVolRelease, 1.0);
    set(1, offset::kOscVolRelease, 1.0);
    set(1, offset::kChannel, 1);
    noteOn(0, 36);
    noteOn(0, 42);
    renderChannel(0, 2048);
    host.change(global::kMute + 1, 1);  // mute: the ring goes on
    set(0, offset::kOscOn, 0);          // section off: cut at once
    render(256);
    EXPECT_EQ(peak(channels[0], 1), 0.0);
    EXPECT_GT(peak(channels[2]), 0.01);
    noteOff(0, 42);
    noteOn(1, 42);  // a muted sound does not start
    render(64);
    EXPECT_EQ(engine.sound(1).velocity(), 100.0 / 127.0);
    EXPECT_EQ(engine.sound(1).currentVoice(), 1);
}

TEST_F(RenderLoop, BlocksWithNotesAskForTheKeyboardsRedrawAndOthersDoNot) {
    render(64);
    const int before = host.keyboardRedraws;
    render(64);
    EXPECT_EQ(host.keyboardRedraws, before) << "a block without notes";
    noteOn(10, 36);
    render(64);
    EXPECT_EQ(host.keyboardRedraws, before + 1);
    noteOff(3, 36);
    render(64);
    EXPECT_EQ(host.keyboardRedraws, before + 2);
}

TEST_F(Parameters, OnlyAMarkedKeyboardEditIsAppliedAndOnlyOnce) {
    engine.applyKeyboardEdit(2);  // "Keyboard" changed by the host: nothing marked
    EXPECT_EQ(engine.keyboard().keyLo(2), 48);
    engine.markKeyboardEdit(2, 40, 50);
    EXPECT_EQ(engine.keyboard().keyLo(2), 48) << "marked, not applied yet";
    engine.applyKeyboardEdit(3);
    EXPECT_EQ(engine.keyboard().keyLo(3), 54) << "another sound's change leaves the mark";
    engine.applyKeyboardEdit(2);
    EXPECT_EQ(engine.keyboard().keyLo(2), 40);
    EXPECT_EQ(engine.keyboard().keyHi(2), 50);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kKeyLo)), 40.0);
    EXPECT_EQ(host.paramValue(soundIndex(2, offset::kKeyHi)), 50.0);
    set(2, offset::kKeyLo, 45);
    engine.applyKeyboardEdit(2);
    EXPECT_EQ(engine.keyboard().keyLo(2), 45) << "the mark was cleared";
}

TEST_F(RenderLoop, APreviewNoteRestartsItsSoundLikeAPlayedNote) {
    DrumSound& kick = engine.sound(0);
    engine.previewNoteOn(36, 127);
    render(64);
    EXPECT_EQ(kick.currentVoice(), 1);
    EXPECT_EQ(kick.velocity(), 1.0);
    engine.previewNoteOn(38, 127);  // the gate is still held by 36
    render(64);
    EXPECT_EQ(kick.currentVoice(), 0) << "restarted";
    engine.previewNoteOff(38);
    EXPECT_FALSE(engine.router().held(38));
}
