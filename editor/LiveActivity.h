// What the playing engine tells the editor: which sounds' "Sound On" lamps
// are lit, and that the keyboard's held keys or ranges may have changed.
//
// The audio thread (or whichever thread runs the engine) only stores flags
// here: lock-free atomics, no allocation, no call into the editor or a
// window. The editor takes them at its next timer tick on its own thread and
// redraws the lamps and keys that changed.
#pragma once

#include <array>
#include <atomic>

#include "kit/ParameterTable.h"

namespace kettrix::editor {

class LiveActivity {
public:
    static_assert(std::atomic<bool>::is_always_lock_free, "the audio thread must never wait on a flag");

    // --- Engine side (any thread) -------------------------------------------
    void SetLamp(int sound, bool lit) noexcept {
        if (!ValidSound(sound)) return;
        lamps_[static_cast<std::size_t>(sound)].store(lit, std::memory_order_relaxed);
        // A lamp lit and darkened again between two ticks still flashes once.
        if (lit) flashes_[static_cast<std::size_t>(sound)].store(true, std::memory_order_relaxed);
    }
    void KeyboardChanged() noexcept { keyboardChanged_.store(true, std::memory_order_release); }

    // --- Editor side (its timer tick) ----------------------------------------
    // Whether the lamp is to show lit now: lit, or lit at some moment since
    // the last call.
    bool TakeLamp(int sound) noexcept {
        if (!ValidSound(sound)) return false;
        const bool flashed = flashes_[static_cast<std::size_t>(sound)].exchange(false, std::memory_order_relaxed);
        return lamps_[static_cast<std::size_t>(sound)].load(std::memory_order_relaxed) || flashed;
    }
    // True once after every KeyboardChanged.
    bool TakeKeyboardChanged() noexcept { return keyboardChanged_.exchange(false, std::memory_order_acq_rel); }

private:
    static bool ValidSound(int sound) { return sound >= 0 && sound < kit::kSoundCount; }

    std::array<std::atomic<bool>, kit::kSoundCount> lamps_{};
    std::array<std::atomic<bool>, kit::kSoundCount> flashes_{};
    std::atomic<bool> keyboardChanged_{false};
};

}  // namespace kettrix::editor
