// kettrix-render --editor: a plug-in's editor in a window of the host's own.
#pragma once

#include "CommandLine.h"

#include <ostream>

namespace kettrix::render {

// Loads and opens the plug-in, applies --program and --load-state, opens a
// top-level window of the editor's size and the editor inside it, then calls
// effEditIdle 30 times a second like a host until the window is closed, or
// until --after has passed and --screenshot is written. Then effEditClose,
// [effGetChunk into --save-state], effClose. Throws RenderError or
// DisplayError on failure.
void runEditor(const RenderOptions& options, std::ostream& log);

}  // namespace kettrix::render
