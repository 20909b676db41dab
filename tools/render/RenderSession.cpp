#include "RenderSession.h"

#include "DemoPattern.h"
#include "MidiFile.h"
#include "PluginInfo.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "Renderer.h"
#include "SessionSupport.h"
#include "WavWriter.h"

#include <fstream>
#include <iterator>

namespace kettrix::render {

void runInfo(const RenderOptions& options, std::ostream& out) {
    PluginLibrary library(options.pluginPath);
    HostContext context;
    PluginInstance plugin(library, context);
    plugin.open();
    printPluginInfo(plugin, out);
    plugin.close();
}

void runRender(const RenderOptions& options, std::ostream& log, bool logIsTerminal) {
    // Read the input first: a bad MIDI file should fail before any plug-in
    // code runs.
    const MidiSequence sequence = options.demo ? demoPattern() : readMidiFile(options.midiPath);
    const TempoMap tempo(sequence, options.sampleRate);
    const std::vector<ScheduledEvent> events = scheduleEvents(sequence, tempo);
    const int64_t totalFrames = renderLength(sequence, tempo, options.tailSeconds);
    const std::vector<uint8_t> state =
        options.loadStatePath.empty() ? std::vector<uint8_t>{} : readStateFile(options.loadStatePath);

    PluginLibrary library(options.pluginPath);
    HostContext context;
    PluginInstance plugin(library, context);

    // Plug-ins may settle their channel counts and flags in effOpen, so
    // they are checked after it.
    plugin.open();
    if (plugin.numOutputs() < 1) throw RenderError("plug-in '" + options.pluginPath + "' has no audio outputs");
    if (options.precision == Precision::Double &&
        (!plugin.hasFlag(effFlagsCanDoubleReplacing) || plugin.effect().processDoubleReplacing == nullptr))
        throw RenderError("plug-in '" + options.pluginPath +
                          "' cannot process in double precision (no effFlagsCanDoubleReplacing)");
    const bool canFloat = (plugin.hasFlag(effFlagsCanReplacing) && plugin.effect().processReplacing != nullptr) ||
                          plugin.effect().process != nullptr;
    if (options.precision == Precision::Float && !canFloat)
        throw RenderError("plug-in '" + options.pluginPath + "' offers no single-precision process callback");
    if ((!state.empty() || !options.saveStatePath.empty()) && !plugin.hasFlag(effFlagsProgramChunks))
        throw RenderError("plug-in '" + options.pluginPath +
                          "' keeps no state chunks (no effFlagsProgramChunks): --load-state and "
                          "--save-state are not possible");

    plugin.setSampleRate(options.sampleRate);
    plugin.setBlockSize(options.blockSize);
    plugin.dispatch(effSetProcessPrecision, 0,
                    options.precision == Precision::Double ? kVstProcessPrecision64 : kVstProcessPrecision32);
    if (options.program) selectProgram(plugin, *options.program);
    if (!state.empty() && !plugin.setChunk(true, state))
        throw RenderError("plug-in did not accept the state in '" + options.loadStatePath + "'");

    const int channels = mixedChannelCount(options.mix, plugin.numOutputs());
    tools::WavWriter writer(options.outPath, channels, options.sampleRate);

    plugin.resume();
    plugin.startProcess();
    {
        ProgressLine progress(log, options.progress || logIsTerminal);
        Renderer renderer(plugin, tempo, {options.blockSize, options.precision, options.mix});
        renderer.render(
            events, totalFrames, [&](const float* frames, std::size_t count) { writer.write(frames, count); },
            [&](int64_t done, int64_t total) { progress.update(done, total); });
    }
    plugin.stopProcess();
    plugin.suspend();
    writer.finish();

    if (!options.saveStatePath.empty()) {
        const std::vector<uint8_t> saved = plugin.getChunk(true);
        if (saved.empty()) throw RenderError("plug-in returned no state chunk to save");
        writeStateFile(options.saveStatePath, saved);
    }
    plugin.close();
}

}  // namespace kettrix::render
