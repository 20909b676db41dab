// kettrix-render: a command-line VST 2 host that prints a plug-in's
// description, renders MIDI through it to a WAV file, or hosts its editor;
// with --format clap|lv2 it renders through the instrument's other formats.
#include "CommandLine.h"
#if KETTRIX_RENDER_EDITOR
#include "EditorSession.h"
#endif
#if KETTRIX_RENDER_FORMATS
#include "FormatRender.h"
#endif
#include "MidiFile.h"
#include "PluginLibrary.h"
#include "RenderSession.h"

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#include <iostream>

using namespace kettrix::render;

int main(int argc, char** argv) {
    constexpr int kFailure = 1;
    constexpr int kUsage = 2;

    RenderOptions options;
    try {
        options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << "kettrix-render: " << e.what() << "\n(kettrix-render --help shows the usage)\n";
        return kUsage;
    }

    try {
        switch (options.mode) {
            case Mode::Help:
                std::cout << usageText();
                break;
            case Mode::Info:
                runInfo(options, std::cout);
                break;
            case Mode::Render:
                if (options.format == PluginFormat::Vst2) {
                    runRender(options, std::cerr, isatty(STDERR_FILENO) != 0);
                    break;
                }
#if KETTRIX_RENDER_FORMATS
                runFormatRender(options, std::cerr, isatty(STDERR_FILENO) != 0);
#else
                std::cerr << "kettrix-render: --format clap and lv2 are only available in the Linux build\n";
                return kFailure;
#endif
                break;
            case Mode::Editor:
#if KETTRIX_RENDER_EDITOR
                runEditor(options, std::cerr);
#else
                std::cerr << "kettrix-render: --editor is only available in the Linux build\n";
                return kFailure;
#endif
                break;
        }
    } catch (const std::exception& e) {
        std::cerr << "kettrix-render: " << e.what() << '\n';
        return kFailure;
    }
    return 0;
}
