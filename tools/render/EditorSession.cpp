#include "EditorSession.h"

#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "PngWriter.h"
#include "RenderSession.h"
#include "SessionSupport.h"
#include "X11HostWindow.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "graphics/UserSettings.h"

namespace kettrix::render {

namespace {

constexpr int kIdleHz = 30;
// What a host shows when a plug-in reports no usable editor size yet.
constexpr int kFallbackWidth = 640, kFallbackHeight = 480;

struct EditorSize {
    int width = kFallbackWidth;
    int height = kFallbackHeight;
};

EditorSize editorSize(PluginInstance& plugin) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    EditorSize size;
    if (rect != nullptr && rect->right > rect->left && rect->bottom > rect->top) {
        size.width = rect->right - rect->left;
        size.height = rect->bottom - rect->top;
    }
    return size;
}

// --zoom: this run's own settings folder, holding the zoom as a user who
// chose it saved it, in place of the user's; removed at the end of the run.
class ScratchSettings {
public:
    explicit ScratchSettings(int zoomPercent) {
        if (zoomPercent == 0) return;
        char folder[] = "/tmp/kettrix-render-settings-XXXXXX";
        if (mkdtemp(folder) == nullptr || !user_settings::WriteZoom(folder, zoomPercent))
            throw RenderError("cannot make a settings folder for --zoom");
        folder_ = folder;
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    }
    ~ScratchSettings() {
        if (folder_.empty()) return;
        const std::string file = user_settings::FilePath(folder_);
        std::remove(file.c_str());
        std::remove(file.substr(0, file.find_last_of('/')).c_str());
        std::remove(folder_.c_str());
    }
    ScratchSettings(const ScratchSettings&) = delete;
    ScratchSettings& operator=(const ScratchSettings&) = delete;

private:
    std::string folder_;
};

}  // namespace

void runEditor(const RenderOptions& options, std::ostream& log) {
    const ScratchSettings settings(options.zoomPercent);
    const std::vector<uint8_t> state =
        options.loadStatePath.empty() ? std::vector<uint8_t>{} : readStateFile(options.loadStatePath);

    PluginLibrary library(options.pluginPath);
    HostContext context;
    PluginInstance plugin(library, context);
    plugin.open();
    if (!plugin.hasFlag(effFlagsHasEditor))
        throw RenderError("plug-in '" + options.pluginPath + "' has no editor (no effFlagsHasEditor)");
    if ((!state.empty() || !options.saveStatePath.empty()) && !plugin.hasFlag(effFlagsProgramChunks))
        throw RenderError("plug-in '" + options.pluginPath +
                          "' keeps no state chunks (no effFlagsProgramChunks): --load-state and "
                          "--save-state are not possible");
    plugin.setSampleRate(context.sampleRate());
    plugin.setBlockSize(context.blockSize());
    if (options.program) selectProgram(plugin, *options.program);
    if (!state.empty() && !plugin.setChunk(true, state))
        throw RenderError("plug-in did not accept the state in '" + options.loadStatePath + "'");
    plugin.resume();

    const EditorSize size = editorSize(plugin);
    X11HostWindow window(size.width, size.height, "kettrix-render: " + plugin.dispatchForText(effGetEffectName));
    context.setWindowResizer([&window](int width, int height) {
        window.resize(width, height);
        return true;
    });
    if (plugin.dispatch(effEditOpen, 0, 0, window.parentHandle()) == 0)
        throw RenderError("plug-in '" + options.pluginPath + "' could not open its editor");
    // Some editors settle their size only once open.
    const EditorSize opened = editorSize(plugin);
    if (opened.width != window.width() || opened.height != window.height()) window.resize(opened.width, opened.height);
    log << "kettrix-render: editor " << opened.width << " x " << opened.height << "\n";

    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(1000000 / kIdleHz);
    const auto start = Clock::now();
    const auto captureAt =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.screenshotAfter));
    auto next = start;
    while (true) {
        plugin.dispatch(effEditIdle);
        if (!window.pumpEvents()) break;
        if (!options.screenshotPath.empty() && Clock::now() >= captureAt) {
            const RgbImage picture = window.capture();
            if (!writePng(options.screenshotPath, picture)) {
                plugin.dispatch(effEditClose);
                throw RenderError("cannot write the screenshot '" + options.screenshotPath + "'");
            }
            log << "kettrix-render: wrote " << options.screenshotPath << " (" << picture.width << " x "
                << picture.height << ", " << distinctColours(picture) << " colours)\n";
            break;
        }
        next += period;
        const auto now = Clock::now();
        if (next > now)
            std::this_thread::sleep_until(next);
        else
            next = now;  // a slow editor is not asked to catch up
    }
    plugin.dispatch(effEditClose);

    if (!options.saveStatePath.empty()) {
        const std::vector<uint8_t> saved = plugin.getChunk(true);
        if (saved.empty()) throw RenderError("plug-in returned no state chunk to save");
        writeStateFile(options.saveStatePath, saved);
    }
    plugin.close();
}

}  // namespace kettrix::render
