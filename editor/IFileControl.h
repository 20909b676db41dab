// The invisible control that runs the Patch menu's commands on the current
// sound: load and save sound files, copy and paste through a one-record
// clipboard (the kit model's, which outlives sound and kit changes), and the
// two randomizers.
//
// The Patch menu reaches it with the plug-in lock held (the graphics object
// holds it around every event). File dialogs and file access run with the
// lock released, so the audio thread never waits for the user or the disk;
// the lock is taken again only to capture or apply the sound.
#pragma once

#include <string>

#include "graphics/IControl.h"
#include "kit/KitModel.h"
#include "kit/SoundRecord.h"

namespace kettrix {

class IGraphics;

// Asks the user for a sound file; the editor's window host shows the real
// dialog, tests script the answers.
class SoundFileDialog {
public:
    virtual ~SoundFileDialog() = default;
    // The chosen path, empty when cancelled. `folder` is where the dialog starts.
    virtual std::string AskForSoundFile(bool save, const std::string& folder) = 0;
};

// The dialog of the graphics object's window host.
class GraphicsFileDialog final : public SoundFileDialog {
public:
    explicit GraphicsFileDialog(IGraphics& graphics) : graphics_(graphics) {}
    std::string AskForSoundFile(bool save, const std::string& folder) override;

private:
    IGraphics& graphics_;
};

class IFileControl : public IControl {
public:
    // The Patch menu's value numbers.
    enum Command { kLoad = 1, kSave = 2, kCopy = 4, kPaste = 5, kRandomizeAll = 7, kRandomizeNoEnvelopes = 8 };
    static constexpr const char* kExtension = "k4s";

    IFileControl(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, kit::KitModel& kit, SoundFileDialog& dialog);

    bool Draw(IGraphics*) override { return true; }
    // Invisible and reached only through the Patch menu: the pointer over
    // its rectangle is over empty space (no read-out, no gesture, no wheel
    // edit of the placeholder parameter).
    bool IsHit(int, int) override { return false; }
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    // `x` is the chosen command (the Patch menu's value number).
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;

    void SetDialog(SoundFileDialog& dialog) { dialog_ = &dialog; }
    const std::string& LastFolder() const { return lastFolder_; }
    bool ClipboardFull() const { return kit_.clipboardFull(); }

private:
    void Load();
    void Save(bool dumpPresets);
    bool HasCurrentSound() { return kit_.editor().currentSound() >= 0; }
    // Asks without the plug-in lock; remembers the folder of the answer.
    std::string Ask(bool save);

    kit::KitModel& kit_;
    SoundFileDialog* dialog_;
    std::string lastFolder_;
};

}  // namespace kettrix
