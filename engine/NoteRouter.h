#pragma once
// Turns note-on and note-off events into a gate, a key offset and a velocity
// per sound, following each sound's key range. Also restarts choke targets.

#include "engine/EngineLimits.h"

#include <array>
#include <cstdint>

namespace kettrix::engine {

class ActiveSoundList;

// The trigger state of one sound, read by its DrumSound every sample.
struct SoundTrigger {
    static constexpr int kNotStarted = -1;
    // Written by every start; until the first one the record names no sound,
    // so a choke of a sound that never played finds nothing to restart.
    int soundIndex = kNotStarted;
    std::uint8_t gate = 0;          // 1 while held by a note or a choke restart
    std::uint8_t chokeRestart = 0;  // last start came from a choke
    double keyOffset = 0.0;         // (note - keyLo) / 120
    double velocity = 0.0;          // velocity / 127
    int keyHi = kHighestKey;
    int keyLo = 0;
    int note = 0;
};

class NoteRouter {
public:
    explicit NoteRouter(ActiveSoundList& active);

    // Starts every unmuted sound whose range holds the note; returns through
    // startedBy() which sounds the note belongs to (muted ones included).
    void noteOn(int note, int velocity);
    // Releases every sound last started by this note number.
    void noteOff(int note);
    // Forgets every note and start, as a new router would: no key held, no
    // sound started (so a choke finds nothing to restart), every gate closed.
    // Key ranges and mutes stay: they follow the kit.
    void forgetNotes();
    // Restarts the first sound whose record names `target`, silently; a
    // sound that has not been started by a note yet is left alone.
    void choke(int target);

    void setKeyRange(int sound, int lo, int hi);
    void setMuted(int sound, bool muted);
    bool muted(int sound) const { return muted_[static_cast<unsigned>(sound)] != 0; }

    const SoundTrigger& trigger(int sound) const { return triggers_[static_cast<unsigned>(sound)]; }
    bool startedBy(int sound) const { return startedBy_[static_cast<unsigned>(sound)] != 0; }
    bool held(int note) const;

private:
    std::array<SoundTrigger, kSoundCount> triggers_{};
    std::array<std::uint8_t, kSoundCount> muted_{};
    std::array<std::uint32_t, kSoundCount> startedBy_{};
    std::array<std::uint8_t, kMidiNoteCount> held_{};
    ActiveSoundList& active_;
};

}  // namespace kettrix::engine
