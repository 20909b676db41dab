#include "editor/IFileControl.h"

#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {

std::string GraphicsFileDialog::AskForSoundFile(bool save, const std::string& folder) {
    std::string path;
    const auto action = save ? IGraphics::kFileSave : IGraphics::kFileOpen;
    if (!graphics_.PromptForFile(path, action, folder.c_str(), IFileControl::kExtension)) return {};
    return path;
}

IFileControl::IFileControl(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, kit::KitModel& kit,
                           SoundFileDialog& dialog)
    : IControl(plug, rect, paramIdx), kit_(kit), dialog_(&dialog) {}

void IFileControl::OnMouseDown(int, int, const IMouseMod& mod) {
    if (mod.L) SetDirty(false);
}

std::string IFileControl::Ask(bool save) {
    std::string path = dialog_->AskForSoundFile(save, lastFolder_);
    const std::size_t slash = path.find_last_of("/\\");
    if (!path.empty() && slash != std::string::npos) lastFolder_ = path.substr(0, slash);
    return path;
}

void IFileControl::Load() {
    if (!HasCurrentSound()) return;
    kit::SoundRecord record;
    bool read = false;
    {
        PlugScopedUnlock unlocked(plug_);
        const std::string path = Ask(false);
        // A file that cannot be opened or holds less than a whole record is refused.
        read = !path.empty() && kit::readSoundFile(path, record);
    }
    if (read) kit_.applySound(record);
}

void IFileControl::Save(bool dumpPresets) {
    if (!HasCurrentSound()) return;
    const kit::SoundRecord record = kit_.captureSound();
    {
        PlugScopedUnlock unlocked(plug_);
        const std::string path = Ask(true);
        if (!path.empty()) kit::writeSoundFile(path, record);
    }
    if (dumpPresets) kit_.dumpPresets();
}

void IFileControl::OnMouseUp(int x, int, const IMouseMod& mod) {
    switch (x) {
        case kLoad:
            Load();
            break;
        case kSave:
            Save(mod.C);
            break;
        case kCopy:
            kit_.copySound();
            break;
        case kPaste:
            kit_.pasteSound();
            break;
        case kRandomizeAll:
            kit_.randomizeSound(false);
            break;
        case kRandomizeNoEnvelopes:
            kit_.randomizeSound(true);
            break;
        default:
            break;
    }
    // Only a redraw: pushing the placeholder parameter would send the host a
    // meaningless automation event.
    SetDirty(false);
}

}  // namespace kettrix
