#include "engine/Mixer.h"

#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"
#include "engine/NoteRouter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kettrix::engine {

void MixStrip::setPan(double p) {
    pan = p;
    updateGains();
}

void MixStrip::setVolume(double v) {
    volumeGain = v * v;
    updateGains();
}

void MixStrip::setChannel(double channel) {
    // Six pairs; values outside the parameter's range are kept on a real pair
    // so that a sound never writes past the twelfth channel.
    const int pair = std::clamp(static_cast<int>(channel), 0, kOutputPairs - 1);
    outputPair = pair * 2;
}

void MixStrip::updateGains() {
    // Constant power: both sides at sin(pi/4) in the centre.
    gainL = std::sin((1.0 - pan) * std::numbers::pi / 2.0) * volumeGain;
    gainR = std::sin(pan * std::numbers::pi / 2.0) * volumeGain;
}

Mixer::Mixer(NoteRouter& router, EngineHost& host) : router_(router), host_(&host) {}

void Mixer::setSoundVolume(int sound, double value) {
    const int faderIndex = global::kSoundVolume + sound;
    const int volumeIndex = soundIndex(sound, offset::kVolume);
    if (value == host_->paramValue(faderIndex))
        host_->setControlValue(volumeIndex, value);
    else if (value == host_->paramValue(volumeIndex))
        host_->setControlValue(faderIndex, value);
    strips_[static_cast<unsigned>(sound)].setVolume(value);
}

void Mixer::setMute(int sound, bool on) {
    if (on) {
        for (int s = 0; s < kSoundCount; ++s) host_->setControlValue(global::kSolo + s, 0.0);
        // Switching a solo off clears every mute switch, this one included;
        // put it back so that the switch shows what the router does.
        if (host_->paramValue(global::kMute + sound) != 1.0) host_->setControlValue(global::kMute + sound, 1.0);
    }
    router_.setMuted(sound, on);
}

void Mixer::setSolo(int sound, bool on) {
    if (on) {
        // Switching another solo off runs its own chain, which clears every
        // switch and unmutes everything, this solo included. Let those
        // chains run first; the pass below then sets the exclusive state
        // (switching this solo back on, if it was cleared, re-enters here
        // with no other solo lit and ends in the same state).
        for (int s = 0; s < kSoundCount; ++s)
            if (s != sound) host_->setControlValue(global::kSolo + s, 0.0);
    }
    for (int s = 0; s < kSoundCount; ++s) {
        host_->setControlValue(global::kMute + s, 0.0);
        const bool soloed = on && s == sound;
        host_->setControlValue(global::kSolo + s, soloed ? 1.0 : 0.0);
        router_.setMuted(s, on && !soloed);
    }
}

}  // namespace kettrix::engine
