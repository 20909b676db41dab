// Builds without a window system: the editor exists (values, controls,
// off-screen drawing) but opens no window, so hosts see effEditOpen fail.
#include "IGraphicsWindow.h"

namespace kettrix {

std::unique_ptr<IGraphics> MakeWindowGraphics(IGraphicsPlug* plug, int w, int h, int fps) {
    return std::make_unique<IGraphics>(plug, w, h, fps);
}

void IdleWindowGraphics(IGraphics&) {}

int WindowEventFd(IGraphics&) { return -1; }

}  // namespace kettrix
