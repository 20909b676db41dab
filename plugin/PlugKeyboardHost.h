// The on-screen keyboard's view of the plug-in: the current sound from the
// kit model's editor, ranges and held notes from the engine, preview notes
// and range edits to the engine. The keyboard calls it with the plug-in lock
// held.
#pragma once

#include "editor/IKeyboardControlK4.h"
#include "engine/DrumEngine.h"
#include "kit/KitModel.h"

namespace kettrix {

class PlugKeyboardHost final : public KeyboardHost {
public:
    PlugKeyboardHost(engine::DrumEngine& engine, kit::KitModel& kit) : engine_(engine), kit_(kit) {}

    int CurrentSound() const override { return kit_.editor().currentSound(); }
    void KeyRange(int sound, int& lo, int& hi) const override {
        if (sound < 0 || sound >= engine::kSoundCount) return;
        lo = engine_.keyboard().keyLo(sound);
        hi = engine_.keyboard().keyHi(sound);
    }
    bool NoteHeld(int note) const override { return engine_.router().held(note); }
    void NoteOn(int note, int velocity) override { engine_.previewNoteOn(note, velocity); }
    void NoteOff(int note) override { engine_.previewNoteOff(note); }
    void MarkRangeEdited(int sound, int lo, int hi) override { engine_.markKeyboardEdit(sound, lo, hi); }

private:
    engine::DrumEngine& engine_;
    kit::KitModel& kit_;
};

}  // namespace kettrix
