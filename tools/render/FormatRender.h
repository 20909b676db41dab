// The render job of kettrix-render through the instrument's CLAP module or
// LV2 bundle (--format clap|lv2), hosted by ClapHost.h and Lv2Host.h.
#pragma once

#include "CommandLine.h"

#include <ostream>

namespace kettrix::render {

// Renders the MIDI file or the demo through the CLAP module or the LV2 bundle
// of options.pluginPath into the WAV file, block by block as runRender does
// for VST 2: the same events at the same offsets, the same mix, the same
// file. CLAP: activate, start_processing, process calls with the block's MIDI
// events. LV2: instantiate with buf-size options, every control port at its
// Turtle default, runs with the block's MIDI atoms.
void runFormatRender(const RenderOptions& options, std::ostream& log, bool logIsTerminal);

}  // namespace kettrix::render
