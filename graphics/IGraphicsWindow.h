// The editor's window host for the platform the library is built for.
#pragma once

#include <memory>

#include "IGraphics.h"

namespace kettrix {

// A graphics object whose OpenWindow puts the editor into the host's window
// (an X11 window id on Linux, a window handle on Windows).
std::unique_ptr<IGraphics> MakeWindowGraphics(IGraphicsPlug* plug, int w, int h, int fps = IGraphics::kDefaultFPS);

// The host's editor idle call (effEditIdle). Where the platform delivers no
// window events to the editor by itself (X11), this services the window's
// events and redraw timer; elsewhere it does nothing. Call it without the
// plug-in lock held: the editor takes the lock for each event it handles.
void IdleWindowGraphics(IGraphics& graphics);

// The descriptor that signals events for IdleWindowGraphics while a window
// is open (the X11 connection); -1 elsewhere or without a window.
int WindowEventFd(IGraphics& graphics);

}  // namespace kettrix
