// The two jobs of kettrix-render, from loaded options to finished output.
#pragma once

#include "CommandLine.h"

#include <ostream>
#include <stdexcept>

namespace kettrix::render {

// A render that cannot go on (unusable plug-in, option the plug-in does not
// support, unreadable or unwritable file).
class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads the plug-in, opens it and prints its description to out.
void runInfo(const RenderOptions& options, std::ostream& out);

// Renders the MIDI file or the demo through the plug-in into the WAV file.
// Host sequence: effOpen, effSetSampleRate, effSetBlockSize,
// effSetProcessPrecision, [effSetProgram], [effSetChunk], effMainsChanged 1,
// effStartProcess, blocks of effProcessEvents + process, effStopProcess,
// effMainsChanged 0, [effGetChunk], effClose. Warnings and progress go to log.
void runRender(const RenderOptions& options, std::ostream& log, bool logIsTerminal);

}  // namespace kettrix::render
