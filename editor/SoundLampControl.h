// The "Sound On" lamp of a sound's strip: lit while the engine plays the
// sound. It follows the engine's activity flags at every timer tick, so the
// engine never touches the control itself.
#pragma once

#include "editor/LiveActivity.h"
#include "graphics/IControl.h"

namespace kettrix {

class SoundLampControl : public ISwitchControl {
public:
    SoundLampControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap, int sound)
        : ISwitchControl(plug, x, y, paramIdx, bitmap), sound_(sound) {}

    void SetActivity(editor::LiveActivity* activity) { activity_ = activity; }

    void OnGuiIdle() override {
        if (activity_ == nullptr) return;
        const double lit = activity_->TakeLamp(sound_) ? 1.0 : 0.0;
        if (lit != value_) SetValueFromPlug(lit);
    }

private:
    int sound_;
    editor::LiveActivity* activity_ = nullptr;
};

}  // namespace kettrix
