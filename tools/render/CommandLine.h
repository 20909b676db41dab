// The kettrix-render command line.
#pragma once

#include "Renderer.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kettrix::render {

// A command line that cannot be run; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Mode { Help, Info, Render, Editor };

// The plug-in's format: a VST 2 module, a CLAP module (.clap) or an LV2
// bundle folder (.lv2) of this instrument.
enum class PluginFormat { Vst2, Clap, Lv2 };

struct RenderOptions {
    Mode mode = Mode::Help;
    PluginFormat format = PluginFormat::Vst2;
    std::string pluginPath;
    std::string midiPath;  // empty with --demo
    bool demo = false;
    std::string outPath;
    unsigned sampleRate = 44100;
    int blockSize = 256;
    Precision precision = Precision::Float;
    std::optional<int> program;
    Mix mix = Mix::Stereo;
    std::string loadStatePath;
    std::string saveStatePath;
    double tailSeconds = 2.0;
    bool progress = false;  // forced on; otherwise only on a terminal
    // --editor: the picture to capture and when (seconds after the editor
    // opened); without a path the window stays until the user closes it.
    std::string screenshotPath;
    double screenshotAfter = 1.0;
    // --zoom: the editor's zoom in percent, as a user who chose it before
    // (0: the plug-in's own choice).
    int zoomPercent = 0;
};

// Parses argv[1..]; throws UsageError for unknown options, missing or
// malformed values and incomplete combinations.
RenderOptions parseCommandLine(const std::vector<std::string>& args);

const char* usageText();

}  // namespace kettrix::render
