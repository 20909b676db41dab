// The on-screen keyboard along the bottom of the editor, bound to "Keyboard".
#pragma once

#include "graphics/IControl.h"

namespace kettrix {

class IKeyboardControlK4 : public IControl {
public:
    IKeyboardControlK4(IGraphicsPlug* plug, const IRECT& rect, int paramIdx) : IControl(plug, rect, paramIdx) {}

    // The background image carries the plain keyboard.
    bool Draw(IGraphics*) override { return true; }
};

}  // namespace kettrix
