#include "CommandLine.h"

#include "resources/Zoom.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kettrix::render {

namespace {

constexpr unsigned kMinSampleRate = 1000;
constexpr unsigned kMaxSampleRate = 768000;
constexpr int kMaxBlockSize = 65536;
constexpr double kMaxTailSeconds = 3600.0;

long parseInteger(const std::string& option, const std::string& text, long lo, long hi) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < lo || value > hi)
        throw UsageError(option + " expects a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                         ", not '" + text + "'");
    return value;
}

double parseSeconds(const std::string& option, const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || value < 0.0 || value > kMaxTailSeconds)
        throw UsageError(option + " expects a number of seconds from 0 to 3600, not '" + text + "'");
    return value;
}

}  // namespace

RenderOptions parseCommandLine(const std::vector<std::string>& args) {
    RenderOptions options;
    if (args.empty()) throw UsageError("no plug-in given");

    bool info = false;
    bool editor = false;
    bool afterGiven = false;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };

        if (arg == "--help" || arg == "-h") {
            options.mode = Mode::Help;
            return options;
        } else if (arg == "--info") {
            info = true;
        } else if (arg == "--editor") {
            editor = true;
        } else if (arg == "--screenshot") {
            options.screenshotPath = value();
        } else if (arg == "--after") {
            options.screenshotAfter = parseSeconds(arg, value());
            afterGiven = true;
        } else if (arg == "--zoom") {
            if (!zoom::PercentFromText(value().c_str(), &options.zoomPercent))
                throw UsageError("--zoom takes 1, 1.5 or 2");
        } else if (arg == "--format") {
            const std::string& v = value();
            if (v == "vst2")
                options.format = PluginFormat::Vst2;
            else if (v == "clap")
                options.format = PluginFormat::Clap;
            else if (v == "lv2")
                options.format = PluginFormat::Lv2;
            else
                throw UsageError("--format expects 'vst2', 'clap' or 'lv2', not '" + v + "'");
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--progress") {
            options.progress = true;
        } else if (arg == "--midi") {
            options.midiPath = value();
        } else if (arg == "--out") {
            options.outPath = value();
        } else if (arg == "--rate") {
            options.sampleRate = static_cast<unsigned>(parseInteger(arg, value(), kMinSampleRate, kMaxSampleRate));
        } else if (arg == "--block") {
            options.blockSize = static_cast<int>(parseInteger(arg, value(), 1, kMaxBlockSize));
        } else if (arg == "--precision") {
            const std::string& v = value();
            if (v == "float")
                options.precision = Precision::Float;
            else if (v == "double")
                options.precision = Precision::Double;
            else
                throw UsageError("--precision expects 'float' or 'double', not '" + v + "'");
        } else if (arg == "--program") {
            options.program = static_cast<int>(parseInteger(arg, value(), 0, 1000000));
        } else if (arg == "--mix") {
            const std::string& v = value();
            if (v == "stereo")
                options.mix = Mix::Stereo;
            else if (v == "all")
                options.mix = Mix::All;
            else
                throw UsageError("--mix expects 'all' or 'stereo', not '" + v + "'");
        } else if (arg == "--load-state") {
            options.loadStatePath = value();
        } else if (arg == "--save-state") {
            options.saveStatePath = value();
        } else if (arg == "--tail") {
            options.tailSeconds = parseSeconds(arg, value());
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + arg + "'");
        } else {
            positional.push_back(arg);
        }
    }

    if (positional.empty()) throw UsageError("no plug-in given");
    if (positional.size() > 1)
        throw UsageError("more than one plug-in given ('" + positional[0] + "', '" + positional[1] + "')");
    options.pluginPath = positional[0];

    if (info && editor) throw UsageError("--info and --editor cannot be used together");
    // The CLAP and LV2 hosts render MIDI in single precision and no more.
    if (options.format != PluginFormat::Vst2 &&
        (info || editor || options.precision == Precision::Double || options.program ||
         !options.loadStatePath.empty() || !options.saveStatePath.empty()))
        throw UsageError(
            "--info, --editor, --precision double, --program, --load-state and --save-state need --format vst2");
    if (info) {
        options.mode = Mode::Info;
        return options;
    }
    if (editor) {
        if (options.demo || !options.midiPath.empty() || !options.outPath.empty())
            throw UsageError("--editor renders no audio: --midi, --demo and --out do not apply");
        if (afterGiven && options.screenshotPath.empty()) throw UsageError("--after needs --screenshot FILE.png");
        options.mode = Mode::Editor;
        return options;
    }
    if (!options.screenshotPath.empty() || afterGiven || options.zoomPercent != 0)
        throw UsageError("--screenshot, --after and --zoom need --editor");
    options.mode = Mode::Render;
    if (options.demo && !options.midiPath.empty()) throw UsageError("--midi and --demo cannot be used together");
    if (!options.demo && options.midiPath.empty())
        throw UsageError("nothing to render: give --midi FILE.mid or --demo");
    if (options.outPath.empty()) throw UsageError("no output file: give --out FILE.wav");
    return options;
}

const char* usageText() {
    return "Usage:\n"
           "  kettrix-render --info PLUGIN.so\n"
           "  kettrix-render PLUGIN.so --midi FILE.mid --out FILE.wav [options]\n"
           "  kettrix-render PLUGIN.so --demo --out FILE.wav [options]\n"
           "  kettrix-render --format clap Kettrix4.clap --midi FILE.mid --out FILE.wav\n"
           "  kettrix-render --format lv2 Kettrix4.lv2 --demo --out FILE.wav\n"
           "  kettrix-render --editor PLUGIN.so [--program N] [--load-state FILE]\n"
           "                 [--save-state FILE] [--screenshot FILE.png --after SECONDS]\n"
           "                 [--zoom 1|1.5|2]\n"
           "\n"
           "Loads a VST 2 plug-in and prints its description (--info), or plays a\n"
           "Standard MIDI File (formats 0 and 1) or the built-in demo groove through\n"
           "it and writes the audio to a 32-bit float WAV file, or (--editor, on an X\n"
           "display) opens the plug-in's editor in a window of its own until the\n"
           "window is closed; --save-state then saves the program chunk as edited.\n"
           "\n"
           "With --format clap or lv2 it renders the same through this instrument's\n"
           "CLAP module or LV2 bundle folder (MIDI or the demo only).\n"
           "\n"
           "Options:\n"
           "  --format vst2|clap|lv2     the plug-in's format (default vst2)\n"
           "  --rate HZ                  sample rate (default 44100)\n"
           "  --block FRAMES             frames per process call (default 256)\n"
           "  --precision float|double   processReplacing or processDoubleReplacing\n"
           "                             (default float)\n"
           "  --program N                select program N before rendering\n"
           "  --mix all|stereo           all: every output as its own channel;\n"
           "                             stereo: output pairs summed to one pair (default)\n"
           "  --load-state FILE          load a program chunk (effSetChunk, index 1)\n"
           "                             after --program and before rendering\n"
           "  --save-state FILE          save the program chunk (effGetChunk, index 1)\n"
           "                             after rendering\n"
           "  --tail SECONDS             render time after the last MIDI event (default 2)\n"
           "  --progress                 show progress even when stderr is not a terminal\n"
           "  --screenshot FILE.png      with --editor: capture the window to a PNG file\n"
           "  --after SECONDS            ... this long after the editor opened (default 1),\n"
           "                             then close it and exit\n"
           "  --zoom 1|1.5|2             with --editor: open the editor at this zoom, as a\n"
           "                             user who chose it before (this run's own settings\n"
           "                             folder holds that choice)\n"
           "  --help                     show this text\n"
           "\n"
           "Exit status: 0 success, 1 failure (plug-in, MIDI or file error), 2 bad command line.\n";
}

}  // namespace kettrix::render
