#pragma once
// The mixer strips of the ten sounds: output pair, constant-power pan and
// squared volume, plus the mute and solo switches with their chains.

#include "engine/EngineLimits.h"

#include <array>

namespace kettrix::engine {

class EngineHost;
class NoteRouter;

// Output routing and gains of one sound, applied to every sample it renders.
struct MixStrip {
    int outputPair = 0;  // first output channel: 0, 2, ..., 10
    double pan = 0.5;
    double volumeGain = 0.0;
    double gainL = 0.0;
    double gainR = 0.0;

    void setPan(double p);
    void setVolume(double v);
    void setChannel(double channel);

private:
    void updateGains();
};

class Mixer {
public:
    Mixer(NoteRouter& router, EngineHost& host);

    MixStrip& strip(int sound) { return strips_[static_cast<unsigned>(sound)]; }
    const MixStrip& strip(int sound) const { return strips_[static_cast<unsigned>(sound)]; }

    // "Volume" (offset 102) and the mixer fader are two views of one value;
    // the control of the other view follows.
    void setSoundVolume(int sound, double value);
    // Muting clears every solo first; a muted sound is not started by notes.
    void setMute(int sound, bool on);
    // Solo mutes every other sound; solo off unmutes all and clears the
    // switches.
    void setSolo(int sound, bool on);

    void setHost(EngineHost& host) { host_ = &host; }

private:
    std::array<MixStrip, kSoundCount> strips_{};
    NoteRouter& router_;
    EngineHost* host_;
};

}  // namespace kettrix::engine
