// Which graphics object draws the plug-in's editor: the platform's window
// host (X11, Win32), unless a program sets another factory before it creates
// instances (kettrix-shot draws the editor off-screen).
#pragma once

#include <memory>

#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {

using GraphicsFactory = std::unique_ptr<IGraphics> (*)(IGraphicsPlug* plug, int width, int height);

// Null restores the platform's window host. Process-wide; set it before any
// instance exists.
void SetGraphicsFactory(GraphicsFactory factory);

// The editor graphics object for a new instance.
std::unique_ptr<IGraphics> MakeEditorGraphics(IGraphicsPlug* plug, int width, int height);

}  // namespace kettrix
