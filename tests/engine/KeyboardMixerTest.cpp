// Key ranges, keyboard modes, mute, solo and the volume views, driven through
// a parameter store that dispatches changes the way the plug-in does.

#include "engine/ActiveSoundList.h"
#include "engine/EngineLimits.h"
#include "engine/KeyboardLayout.h"
#include "engine/Mixer.h"
#include "engine/NoteRouter.h"

#include "FakeEngineHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kettrix::engine;

namespace {

struct LayoutFixture : ::testing::Test {
    test::FakeEngineHost host;
    ActiveSoundList active;
    NoteRouter router{active};
    KeyboardLayout layout{router, host};
    Mixer mixer{router, host};

    LayoutFixture() {
        host.parameterChanged = [this](int index) { dispatch(index); };
    }

    void dispatch(int index) {
        const double v = host.paramValue(index);
        if (index < kFirstGlobalIndex) {
            const int s = index / kSoundBlockSize;
            switch (index % kSoundBlockSize) {
                case offset::kKeyLo:
                    layout.keyLoChanged(s, v);
                    break;
                case offset::kKeyHi:
                    layout.keyHiChanged(s, v);
                    break;
                case offset::kUserKeyLo:
                    layout.userKeyLoChanged(s, v);
                    break;
                case offset::kUserKeyHi:
                    layout.userKeyHiChanged(s, v);
                    break;
                case offset::kVolume:
                    mixer.setSoundVolume(s, v);
                    break;
                default:
                    break;
            }
        } else if (index >= global::kMute && index < global::kMute + 10) {
            mixer.setMute(index - global::kMute, v == 1.0);
        } else if (index >= global::kSolo && index < global::kSolo + 10) {
            mixer.setSolo(index - global::kSolo, v == 1.0);
        } else if (index >= global::kSoundVolume && index < global::kSoundVolume + 10) {
            mixer.setSoundVolume(index - global::kSoundVolume, v);
        } else if (index == global::kKeyboardMode) {
            layout.keyboardModeChanged(v);
        }
    }

    // The sounds a note starts (makes active).
    std::vector<int> soundsFor(int note) {
        for (int s = 0; s < kSoundCount; ++s) active.markInactive(s);
        router.noteOn(note, 100);
        std::vector<int> sounds;
        for (int s = 0; s < kSoundCount; ++s)
            if (active.contains(s)) sounds.push_back(s);
        router.noteOff(note);
        return sounds;
    }

    double param(int sound, int off) { return host.paramValue(soundIndex(sound, off)); }
};

}  // namespace

TEST_F(LayoutFixture, GmDrumMapGivesOneNotePerSound) {
    host.change(global::kKeyboardMode, 3);
    EXPECT_EQ(host.paramValue(global::kKeyboardMode), 0.0);  // one-shot command
    EXPECT_EQ(soundsFor(38), std::vector<int>{2});
    EXPECT_TRUE(soundsFor(40).empty());
    EXPECT_EQ(soundsFor(51), std::vector<int>{9});
    router.noteOn(46, 100);
    EXPECT_EQ(router.trigger(5).keyOffset, 0.0);
    // Not locked: the map lands in the patch ranges.
    EXPECT_EQ(param(6, offset::kKeyLo), 41.0);
    EXPECT_EQ(param(6, offset::kKeyHi), 41.0);
    EXPECT_EQ(param(6, offset::kUserKeyLo), defaultKeyLo(6));

    host.change(global::kKeyboardMode, 4);
    EXPECT_EQ(soundsFor(38), std::vector<int>{0});
    EXPECT_EQ(layout.keyLo(9), 90);
}

TEST_F(LayoutFixture, UserLockStopsAtTheFirstUnsetUserRange) {
    for (int s = 0; s < kSoundCount; ++s) {
        host.storeParamValue(soundIndex(s, offset::kUserKeyLo), 60 + s);
        host.storeParamValue(soundIndex(s, offset::kUserKeyHi), 60 + s);
    }
    host.storeParamValue(soundIndex(4, offset::kUserKeyLo), 0);
    host.change(global::kKeyboardMode, 1);
    EXPECT_TRUE(layout.locked());
    EXPECT_EQ(layout.keyLo(3), 63);
    EXPECT_EQ(layout.keyLo(4), defaultKeyLo(4));
    EXPECT_EQ(layout.keyLo(9), defaultKeyLo(9));
    EXPECT_EQ(soundsFor(60), (std::vector<int>{0, 4}));  // 60 is still in sound 4's own range

    // Locked: a key map lands in the user parameters and keeps the lock.
    host.change(global::kKeyboardMode, 3);
    EXPECT_EQ(host.paramValue(global::kKeyboardMode), 1.0);
    EXPECT_EQ(param(2, offset::kUserKeyLo), 38.0);
    EXPECT_EQ(param(2, offset::kKeyLo), defaultKeyLo(2));
}

TEST_F(LayoutFixture, UnsetUserKeyTakesThePatchKey) {
    host.change(soundIndex(1, offset::kUserKeyLo), 0);
    EXPECT_EQ(param(1, offset::kUserKeyLo), defaultKeyLo(1));
}

TEST_F(LayoutFixture, KeyLoAboveKeyHiStartsNothingAndKeysAreClamped) {
    host.change(soundIndex(2, offset::kKeyLo), 70);
    EXPECT_EQ(layout.keyLo(2), 70);
    for (int note = 0; note < 128; ++note) {
        const auto sounds = soundsFor(note);
        EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 2), 0) << note;
    }
    host.change(soundIndex(2, offset::kKeyLo), 48);
    EXPECT_EQ(soundsFor(50), std::vector<int>{2});
}

TEST_F(LayoutFixture, PanLawAndRouting) {
    MixStrip& m = mixer.strip(0);
    m.setVolume(1.0);
    m.setPan(0.5);
    EXPECT_NEAR(m.gainL, std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(m.gainR, std::sqrt(0.5), 1e-15);
    m.setPan(0.0);
    EXPECT_EQ(m.gainL, 1.0);
    EXPECT_EQ(m.gainR, 0.0);
    m.setVolume(2.0);
    EXPECT_EQ(m.gainL, 4.0);
    m.setVolume(0.6);
    EXPECT_NEAR(m.volumeGain, 0.36, 1e-15);
    m.setChannel(5);
    EXPECT_EQ(m.outputPair, 10);
    m.setChannel(99);  // never past the last pair
    EXPECT_EQ(m.outputPair, 10);
}

TEST_F(LayoutFixture, VolumeAndFaderFollowEachOther) {
    host.change(soundIndex(3, offset::kVolume), 1.2);
    EXPECT_EQ(host.paramValue(global::kSoundVolume + 3), 1.2);
    host.change(global::kSoundVolume + 3, 0.5);
    EXPECT_EQ(param(3, offset::kVolume), 0.5);
    EXPECT_EQ(mixer.strip(3).volumeGain, 0.25);
}

TEST_F(LayoutFixture, SoloMutesTheOthersAndSoloOffClearsEverything) {
    host.change(global::kMute + 7, 1);
    EXPECT_TRUE(router.muted(7));
    host.change(global::kSolo + 3, 1);
    for (int s = 0; s < kSoundCount; ++s) {
        EXPECT_EQ(router.muted(s), s != 3) << s;
        EXPECT_EQ(host.paramValue(global::kMute + s), 0.0);
    }
    EXPECT_TRUE(soundsFor(36).empty());
    EXPECT_EQ(soundsFor(55), std::vector<int>{3});

    // Moving the solo to another sound.
    host.change(global::kSolo + 5, 1);
    for (int s = 0; s < kSoundCount; ++s) EXPECT_EQ(router.muted(s), s != 5) << s;
    EXPECT_EQ(host.paramValue(global::kSolo + 3), 0.0);
    EXPECT_EQ(host.paramValue(global::kSolo + 5), 1.0);

    host.change(global::kSolo + 5, 0);
    for (int s = 0; s < kSoundCount; ++s) {
        EXPECT_FALSE(router.muted(s));
        EXPECT_EQ(host.paramValue(global::kSolo + s), 0.0);
    }
}

TEST_F(LayoutFixture, MutingWhileSoloedLeavesSwitchAndRouterAgreeing) {
    host.change(global::kSolo + 3, 1);
    host.change(global::kMute + 3, 1);
    EXPECT_TRUE(router.muted(3));
    EXPECT_EQ(host.paramValue(global::kMute + 3), 1.0);
    EXPECT_EQ(host.paramValue(global::kSolo + 3), 0.0);
    EXPECT_FALSE(router.muted(4));
    host.change(global::kMute + 3, 0);
    EXPECT_FALSE(router.muted(3));
}
