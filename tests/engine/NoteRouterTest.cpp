#include "engine/ActiveSoundList.h"
#include "engine/NoteRouter.h"

#include "FakeEngineHost.h"

#include <gtest/gtest.h>

using namespace kettrix::engine;

namespace {
struct RouterFixture : ::testing::Test {
    test::FakeEngineHost host;
    ActiveSoundList active;
    NoteRouter router{active};
    RouterFixture() {
        active.setHost(&host);
        for (int s = 0; s < kSoundCount; ++s) router.setKeyRange(s, defaultKeyLo(s), defaultKeyHi(s));
    }
};
}  // namespace

TEST_F(RouterFixture, DefaultRangesGiveKeyOffsetsFromTheBottomOfEachRange) {
    router.noteOn(36, 127);
    EXPECT_TRUE(router.startedBy(0));
    EXPECT_EQ(router.trigger(0).keyOffset, 0.0);
    EXPECT_EQ(router.trigger(0).velocity, 1.0);
    router.noteOn(41, 64);
    EXPECT_EQ(router.trigger(0).keyOffset, 5.0 / 120.0);
    EXPECT_EQ(router.trigger(0).velocity, 64.0 / 127.0);
    router.noteOn(42, 1);
    EXPECT_TRUE(router.startedBy(1));
    EXPECT_FALSE(router.startedBy(0));
    EXPECT_EQ(router.trigger(1).keyOffset, 0.0);
    router.noteOn(95, 100);
    EXPECT_TRUE(router.startedBy(9));
    EXPECT_EQ(active.count(), 3);
    EXPECT_EQ(active.at(0), 0);
    EXPECT_EQ(active.at(2), 9);
    EXPECT_EQ(host.indicators[9], 1.0);

    for (int note : {0, 35, 96, 127}) {
        router.noteOn(note, 100);
        for (int s = 0; s < kSoundCount; ++s) EXPECT_FALSE(router.startedBy(s)) << note;
        EXPECT_TRUE(router.held(note));
    }
}

TEST_F(RouterFixture, OverlappingRangesStartEverySoundWithItsOwnOffset) {
    router.setKeyRange(3, 30, 50);
    router.noteOn(38, 90);
    EXPECT_TRUE(router.startedBy(0));
    EXPECT_TRUE(router.startedBy(3));
    EXPECT_EQ(router.trigger(0).keyOffset, 2.0 / 120.0);
    EXPECT_EQ(router.trigger(3).keyOffset, 8.0 / 120.0);
}

TEST_F(RouterFixture, InvertedRangeNeverStarts) {
    router.setKeyRange(2, 60, 50);
    for (int note = 0; note < 128; ++note) {
        router.noteOn(note, 100);
        EXPECT_FALSE(router.startedBy(2));
    }
}

TEST_F(RouterFixture, NoteOffReleasesOnlyTheNoteThatStartedTheSound) {
    router.noteOn(37, 100);
    router.noteOff(38);
    EXPECT_EQ(router.trigger(0).gate, 1);
    router.noteOff(37);
    EXPECT_EQ(router.trigger(0).gate, 0);
    EXPECT_FALSE(router.held(37));
}

TEST_F(RouterFixture, MutedSoundIsFlaggedButNotStarted) {
    router.setMuted(4, true);
    router.noteOn(60, 100);
    EXPECT_TRUE(router.startedBy(4));
    EXPECT_EQ(router.trigger(4).gate, 0);
    EXPECT_EQ(active.count(), 0);
    router.choke(4);
    EXPECT_EQ(active.count(), 0);
}

TEST_F(RouterFixture, ChokeRestartsTheTargetSilentlyWithNoteZero) {
    router.noteOn(50, 100);  // sound 2
    router.choke(2);
    const SoundTrigger& t = router.trigger(2);
    EXPECT_EQ(t.gate, 1);
    EXPECT_EQ(t.chokeRestart, 1);
    EXPECT_EQ(t.velocity, 0.0);
    EXPECT_EQ(t.keyOffset, 0.0);
    EXPECT_EQ(t.note, 0);
    router.noteOff(50);  // no longer its note
    EXPECT_EQ(t.gate, 1);
    router.noteOn(48, 100);  // the next note takes over again
    EXPECT_EQ(t.chokeRestart, 0);

    router.choke(-1);  // no such target: nothing at all
    router.choke(77);
    EXPECT_EQ(active.count(), 1);
}

TEST_F(RouterFixture, ActiveListKeepsOrderAndListsEachSoundOnce) {
    active.markActive(5);
    active.markActive(2);
    active.markActive(5);
    active.markActive(7);
    ASSERT_EQ(active.count(), 3);
    active.markInactive(2);
    ASSERT_EQ(active.count(), 2);
    EXPECT_EQ(active.at(0), 5);
    EXPECT_EQ(active.at(1), 7);
    EXPECT_EQ(host.indicators[2], 0.0);
    EXPECT_EQ(ActiveSoundList::paramBase(9), 1188);
}
