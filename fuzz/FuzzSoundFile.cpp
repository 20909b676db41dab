// Sound files (the 1392-byte record, and anything shorter or longer) loaded
// the way the editor's Patch menu "Load" does: the file dialog's answer goes
// to the kit model's Load command, which reads the file into the current
// sound. Then a short render and the program chunk.
//
// Input: the file's bytes.
//
// Checks: no crash; every parameter finite and within its range; finite
// output; the loaded sound, captured again, applies and captures to the same
// record; the program chunk afterwards is accepted again.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "FuzzHost.h"
#include "HeadlessEditor.h"
#include "kit/KitModel.h"
#include "plugin/IPlugMonoSynth.h"

using namespace kettrix;
using namespace kettrix::fuzz;

namespace {

constexpr int kSound = 3;  // the sound whose page the editor shows

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedPlugin& plugin = FuzzedPlugin::Shared();
    const std::string& path = ScratchPath(".k4s");
    Require(WriteFile(path, data, size), "the scratch sound file can be written");

    IPlugMonoSynth& plug = plugin.plug();
    kit::KitModel& kit = plug.Kit();
    {
        PlugLockGuard guard(plug.Lock());
        // The editor's side of Load: the sound on show and the file the user picked.
        kit::HeadlessEditor editor;
        editor.current = kSound;
        editor.fileAnswer = path;
        kit::EditorSeam& previous = kit.editor();
        kit.attachEditor(editor);
        kit.runPatchCommand(kit::PatchCommand::Load);
        const kit::SoundRecord loaded = kit.captureSound();
        kit.applySound(loaded);
        const bool stable = kit.captureSound().bytes() == loaded.bytes();
        kit.attachEditor(previous);
        Require(stable, "a loaded sound, captured again, applies and captures to the same record");
    }
    plugin.requireSaneParameters();
    PlayShortPattern(plugin);

    const auto saved = plugin.getChunk(1);
    Require(plugin.setChunk(1, saved), "the program chunk after a sound load is accepted again");
    return 0;
}
