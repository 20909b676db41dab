#include "engine/NoteRouter.h"

#include "engine/ActiveSoundList.h"
#include "engine/EngineLimits.h"

namespace kettrix::engine {

NoteRouter::NoteRouter(ActiveSoundList& active) : active_(active) {}

void NoteRouter::noteOn(int note, int velocity) {
    for (int i = 0; i < kSoundCount; ++i) {
        const auto u = static_cast<unsigned>(i);
        SoundTrigger& t = triggers_[u];
        startedBy_[u] = 0;
        if (note < t.keyLo || note > t.keyHi) continue;
        if (!muted_[u]) {
            active_.markActive(i);
            t.soundIndex = i;
            t.gate = 1;
            // Measured from the bottom of the sound's own range: its lowest
            // key plays the set pitch, each key above adds a semitone.
            t.keyOffset = (note - t.keyLo) / kPitchSteps;
            t.velocity = velocity / 127.0;
            t.note = note;
            t.chokeRestart = 0;
        }
        startedBy_[u] = 1;
    }
    if (note >= 0 && note < kMidiNoteCount) held_[static_cast<unsigned>(note)] = 1;
}

void NoteRouter::noteOff(int note) {
    for (SoundTrigger& t : triggers_)
        if (t.note == note) t.gate = 0;
    if (note >= 0 && note < kMidiNoteCount) held_[static_cast<unsigned>(note)] = 0;
}

void NoteRouter::forgetNotes() {
    const SoundTrigger fresh;
    for (SoundTrigger& t : triggers_) {
        const int keyLo = t.keyLo;
        const int keyHi = t.keyHi;
        t = fresh;
        t.keyLo = keyLo;
        t.keyHi = keyHi;
    }
    startedBy_.fill(0);
    held_.fill(0);
}

void NoteRouter::choke(int target) {
    // Records that no note has started yet name no sound (kNotStarted).
    if (target < 0 || target >= kSoundCount) return;
    for (int i = 0; i < kSoundCount; ++i) {
        const auto u = static_cast<unsigned>(i);
        SoundTrigger& t = triggers_[u];
        if (t.soundIndex != target) continue;
        if (muted_[u]) {
            startedBy_[u] = 1;
            return;
        }
        active_.markActive(i);
        // Level 0 start: the target's voices restart silently and the sound
        // leaves the active list at the end of the block.
        t.soundIndex = i;
        t.gate = 1;
        t.keyOffset = 0.0;
        t.velocity = 0.0;
        t.note = 0;
        t.chokeRestart = 1;
        startedBy_[u] = 1;
        return;
    }
}

void NoteRouter::setKeyRange(int sound, int lo, int hi) {
    if (sound < 0 || sound >= kSoundCount) return;
    SoundTrigger& t = triggers_[static_cast<unsigned>(sound)];
    t.keyLo = lo;
    t.keyHi = hi;
}

void NoteRouter::setMuted(int sound, bool muted) {
    if (sound < 0 || sound >= kSoundCount) return;
    muted_[static_cast<unsigned>(sound)] = muted ? 1 : 0;
}

bool NoteRouter::held(int note) const {
    return note >= 0 && note < kMidiNoteCount && held_[static_cast<unsigned>(note)] != 0;
}

}  // namespace kettrix::engine
