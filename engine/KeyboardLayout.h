#pragma once
// Key ranges of the ten sounds and the "Keyboard Mode" commands: the patch
// ranges ("KeyLo"/"KeyHi"), the user ranges ("UserKeyLo"/"UserKeyHi", 0 means
// unset), the "User (Lock)" mode and the one-shot key maps.

#include "base/SettingVocabulary.h"
#include "engine/EngineLimits.h"

#include <array>

namespace kettrix::engine {

class EngineHost;
class NoteRouter;

enum class KeyboardMode : int { Patch = 0, UserLock = 1, Separator = 2, GmDrumMap = 3, SixKeysPerSound = 4 };
static_assert(static_cast<int>(KeyboardMode::SixKeysPerSound) + 1 == settings::kKeyboardMode.count());

// One note per sound in the GM drum map, sound order 0 to 9.
inline constexpr std::array<int, kSoundCount> kGmDrumNotes{36, 37, 38, 39, 42, 46, 41, 43, 49, 51};

class KeyboardLayout {
public:
    KeyboardLayout(NoteRouter& router, EngineHost& host);

    // Gives a sound its range in the router and writes it back into the user
    // or patch parameters (user when locked) without running their changes.
    void setKeyRange(int sound, int lo, int hi);

    // The on-screen keyboard's edit: lo..hi is kept for the sound and marked;
    // applyEdit gives it to the sound (setKeyRange) when marked, and clears
    // the mark. An unmarked sound is left alone.
    void markEdited(int sound, int lo, int hi);
    void applyEdit(int sound);

    // Parameter changes, under the plug-in lock.
    void keyLoChanged(int sound, double value);
    void keyHiChanged(int sound, double value);
    void userKeyLoChanged(int sound, double value);
    void userKeyHiChanged(int sound, double value);
    void keyboardModeChanged(double value);

    int keyLo(int sound) const { return keyLo_[static_cast<unsigned>(sound)]; }
    int keyHi(int sound) const { return keyHi_[static_cast<unsigned>(sound)]; }
    bool locked() const { return locked_; }

    void setHost(EngineHost& host) { host_ = &host; }

private:
    void applyMap(const std::array<int, kSoundCount>& lo, const std::array<int, kSoundCount>& hi);
    void userKeyChanged(int sound, int userOffset, int patchOffset, double value);

    NoteRouter& router_;
    EngineHost* host_;
    std::array<int, kSoundCount> keyLo_{};
    std::array<int, kSoundCount> keyHi_{};
    struct Edit {
        bool marked = false;
        int lo = 0, hi = 0;
    };
    std::array<Edit, kSoundCount> edits_{};
    bool locked_ = false;
};

}  // namespace kettrix::engine
