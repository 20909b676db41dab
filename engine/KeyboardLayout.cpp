#include "engine/KeyboardLayout.h"

#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"
#include "engine/NoteRouter.h"

#include <algorithm>

namespace kettrix::engine {

namespace {
int keyParam(int sound, int offset) { return soundIndex(sound, offset); }
double clampKey(double v) { return std::clamp(v, 0.0, static_cast<double>(kHighestKey)); }
}  // namespace

KeyboardLayout::KeyboardLayout(NoteRouter& router, EngineHost& host) : router_(router), host_(&host) {
    for (int s = 0; s < kSoundCount; ++s) {
        keyLo_[static_cast<unsigned>(s)] = defaultKeyLo(s);
        keyHi_[static_cast<unsigned>(s)] = defaultKeyHi(s);
        router_.setKeyRange(s, defaultKeyLo(s), defaultKeyHi(s));
    }
}

void KeyboardLayout::setKeyRange(int sound, int lo, int hi) {
    if (sound < 0 || sound >= kSoundCount) return;
    router_.setKeyRange(sound, lo, hi);
    keyLo_[static_cast<unsigned>(sound)] = lo;
    keyHi_[static_cast<unsigned>(sound)] = hi;
    host_->keyRangeShown(sound, lo, hi);
    host_->redrawKeyboard();
    const bool user = static_cast<int>(host_->paramValue(global::kKeyboardMode)) == 1;
    host_->storeParamValue(keyParam(sound, user ? offset::kUserKeyLo : offset::kKeyLo), clampKey(lo));
    host_->storeParamValue(keyParam(sound, user ? offset::kUserKeyHi : offset::kKeyHi), clampKey(hi));
}

void KeyboardLayout::markEdited(int sound, int lo, int hi) {
    if (sound < 0 || sound >= kSoundCount) return;
    edits_[static_cast<unsigned>(sound)] = {true, lo, hi};
}

void KeyboardLayout::applyEdit(int sound) {
    if (sound < 0 || sound >= kSoundCount) return;
    Edit& edit = edits_[static_cast<unsigned>(sound)];
    if (!edit.marked) return;
    edit.marked = false;
    setKeyRange(sound, edit.lo, edit.hi);
}

void KeyboardLayout::keyLoChanged(int sound, double value) {
    const int key = static_cast<int>(value);
    if (key != keyLo_[static_cast<unsigned>(sound)]) {
        router_.setKeyRange(sound, key, keyHi_[static_cast<unsigned>(sound)]);
        keyLo_[static_cast<unsigned>(sound)] = key;
        host_->keyRangeShown(sound, key, keyHi_[static_cast<unsigned>(sound)]);
        host_->storeParamValue(keyParam(sound, offset::kKeyLo), clampKey(value));
    }
    host_->redrawKeyboard();
}

void KeyboardLayout::keyHiChanged(int sound, double value) {
    const int key = static_cast<int>(value);
    if (key != keyHi_[static_cast<unsigned>(sound)]) {
        router_.setKeyRange(sound, keyLo_[static_cast<unsigned>(sound)], key);
        keyHi_[static_cast<unsigned>(sound)] = key;
        host_->keyRangeShown(sound, keyLo_[static_cast<unsigned>(sound)], key);
        host_->storeParamValue(keyParam(sound, offset::kKeyHi), clampKey(value));
    }
    host_->redrawKeyboard();
}

void KeyboardLayout::userKeyChanged(int sound, int userOffset, int patchOffset, double value) {
    // An unset user key (0) takes the patch key, so the user range starts
    // from the kit's own layout.
    if (value == 0.0)
        host_->storeParamValue(keyParam(sound, userOffset), clampKey(host_->paramValue(keyParam(sound, patchOffset))));
    keyboardModeChanged(host_->paramValue(global::kKeyboardMode));
}

void KeyboardLayout::userKeyLoChanged(int sound, double value) {
    userKeyChanged(sound, offset::kUserKeyLo, offset::kKeyLo, value);
}

void KeyboardLayout::userKeyHiChanged(int sound, double value) {
    userKeyChanged(sound, offset::kUserKeyHi, offset::kKeyHi, value);
}

void KeyboardLayout::applyMap(const std::array<int, kSoundCount>& lo, const std::array<int, kSoundCount>& hi) {
    // The mode parameter returns to the mode in force, which reruns it; the
    // map then lands in the user ranges when locked, else in the patch ones.
    host_->setControlValue(global::kKeyboardMode, locked_ ? 1.0 : 0.0);
    for (int s = 0; s < kSoundCount; ++s) setKeyRange(s, lo[static_cast<unsigned>(s)], hi[static_cast<unsigned>(s)]);
    host_->redrawKeyboard();
}

void KeyboardLayout::keyboardModeChanged(double value) {
    switch (static_cast<int>(value)) {
        case static_cast<int>(KeyboardMode::Patch):
            locked_ = false;
            for (int s = 0; s < kSoundCount; ++s)
                setKeyRange(s, static_cast<int>(host_->paramValue(keyParam(s, offset::kKeyLo))),
                            static_cast<int>(host_->paramValue(keyParam(s, offset::kKeyHi))));
            break;
        case static_cast<int>(KeyboardMode::UserLock):
            locked_ = true;
            for (int s = 0; s < kSoundCount; ++s) {
                const int lo = static_cast<int>(host_->paramValue(keyParam(s, offset::kUserKeyLo)));
                const int hi = static_cast<int>(host_->paramValue(keyParam(s, offset::kUserKeyHi)));
                if (lo == 0 || hi == 0) break;  // the first unset range ends the walk
                setKeyRange(s, lo, hi);
            }
            break;
        case static_cast<int>(KeyboardMode::GmDrumMap):
            applyMap(kGmDrumNotes, kGmDrumNotes);
            break;
        case static_cast<int>(KeyboardMode::SixKeysPerSound): {
            std::array<int, kSoundCount> lo{}, hi{};
            for (int s = 0; s < kSoundCount; ++s) {
                lo[static_cast<unsigned>(s)] = defaultKeyLo(s);
                hi[static_cast<unsigned>(s)] = defaultKeyHi(s);
            }
            applyMap(lo, hi);
            break;
        }
        default:
            break;  // the menu separator and unknown values do nothing
    }
}

}  // namespace kettrix::engine
