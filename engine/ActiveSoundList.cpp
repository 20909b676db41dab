#include "engine/ActiveSoundList.h"

#include "engine/EngineHost.h"

namespace kettrix::engine {

void ActiveSoundList::markActive(int sound) {
    if (sound < 0 || sound >= kSoundCount) return;
    if (host_) host_->setActivityIndicator(sound, 1.0);
    if (!contains(sound)) sounds_[static_cast<unsigned>(count_++)] = sound;
}

void ActiveSoundList::markInactive(int sound) {
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        const int s = sounds_[static_cast<unsigned>(i)];
        if (s != sound) sounds_[static_cast<unsigned>(kept++)] = s;
    }
    count_ = kept;
    if (host_ && sound >= 0 && sound < kSoundCount) host_->setActivityIndicator(sound, 0.0);
}

bool ActiveSoundList::contains(int sound) const {
    for (int i = 0; i < count_; ++i)
        if (sounds_[static_cast<unsigned>(i)] == sound) return true;
    return false;
}

}  // namespace kettrix::engine
