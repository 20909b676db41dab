// kettrix-render: a command-line VST 2 host that prints a plug-in's
// description or renders MIDI through it to a WAV file.
#include "CommandLine.h"
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
                runRender(options, std::cerr, isatty(STDERR_FILENO) != 0);
                break;
        }
    } catch (const std::exception& e) {
        std::cerr << "kettrix-render: " << e.what() << '\n';
        return kFailure;
    }
    return 0;
}
