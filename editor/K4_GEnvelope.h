// The graphical envelope editor over a sound's envelope section. It is given
// its kind (0-6: oscillator volume, modulation, filter; noise 1 volume,
// filter; noise 2 volume, filter) and follows the current sound.
#pragma once

#include "graphics/IControl.h"

namespace kettrix {

class K4_GEnvelope : public IControl {
public:
    K4_GEnvelope(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, int kind)
        : IControl(plug, rect, paramIdx), mKind(kind) {}

    bool Draw(IGraphics*) override { return true; }

    int Kind() const { return mKind; }
    int Sound() const { return mSound; }
    void SetSound(int sound) {
        mSound = sound;
        SetDirty(false);
    }

private:
    int mKind;
    int mSound = 0;
};

}  // namespace kettrix
