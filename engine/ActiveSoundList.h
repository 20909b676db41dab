#pragma once
// The sounds being rendered, in the order they became active. A silent sound
// is not listed and costs nothing.

#include "engine/EngineLimits.h"

#include <array>

namespace kettrix::engine {

class EngineHost;

class ActiveSoundList {
public:
    void setHost(EngineHost* host) { host_ = host; }

    // Lights the sound's lamp and appends it unless already listed.
    void markActive(int sound);
    // Removes the sound (keeping the others' order) and darkens its lamp.
    void markInactive(int sound);

    bool contains(int sound) const;
    int count() const { return count_; }
    int at(int position) const { return sounds_[static_cast<unsigned>(position)]; }
    static constexpr int paramBase(int sound) { return sound * kSoundBlockSize; }

private:
    std::array<int, kSoundCount> sounds_{};
    int count_ = 0;
    EngineHost* host_ = nullptr;
};

}  // namespace kettrix::engine
