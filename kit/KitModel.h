// The kit inside the plug-in object: the ten sound names, the dispatch of
// every parameter change, what happens around a program change, and the
// operations on single sounds (records, sound files, clipboard, randomizers).
//
// The model owns no parameter values: it reads and writes them through the
// ParameterStore, hands per-sound and mixer changes to the engine through the
// SoundParameterSink, and reaches the editor only through the EditorSeam.
// Every operation runs under the plug-in lock, taken by the caller.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/SoundParameterSink.h"
#include "kit/EditorSeam.h"
#include "kit/KitState.h"
#include "kit/ParameterStore.h"
#include "kit/Randomizer.h"
#include "kit/SoundRecord.h"

namespace kettrix::kit {

// Values of the Patch menu (offset 125 of sound 0).
enum class PatchCommand { Load = 1, Save = 2, Copy = 4, Paste = 5, RandomizeAll = 7, RandomizeKeepEnvelopes = 8 };

class KitModel {
public:
    KitModel(ParameterStore& store, SoundParameterSink& engine, EditorSeam& editor);

    // --- Lifecycle ----------------------------------------------------------
    // Until the plug-in's constructor has finished, parameter changes do nothing.
    void setReady(bool ready) { ready_ = ready; }
    bool ready() const { return ready_; }
    // Set while a program change (or a reapply of all parameters) is under
    // way: "Show Sound" changes then do not switch the current sound.
    void setProgramChanging(bool changing) { programChanging_ = changing; }
    bool programChanging() const { return programChanging_; }
    void attachEngine(SoundParameterSink& engine) { engine_ = &engine; }
    void attachEditor(EditorSeam& editor) { editor_ = &editor; }
    EditorSeam& editor() { return *editor_; }

    // --- Dispatch -----------------------------------------------------------
    // The plug-in's ParameterChanged(index), after the lock was taken.
    void parameterChanged(int index);
    void beforeProgramChange();
    void programChanged();
    // "OFF" followed by the ten current names, for every "Choke" selector.
    void rebuildChokeMenus();
    // Sets the controls of `index` to `plain`; when the parameter holds a
    // different value it takes it (clamped) and its change runs. Equal values
    // end chains of mirrored controls here.
    void setControlValue(int index, double plain);

    // --- Sound names --------------------------------------------------------
    const SoundNames& soundNames() const { return names_; }
    const std::string& soundName(int sound) const;
    // Stores the name, shows it and delivers the pseudo-index 999999.
    void setSoundName(int sound, std::string_view name);

    // --- State chunk --------------------------------------------------------
    // The names part of the state chunk.
    void appendSoundNames(std::vector<std::uint8_t>& out) const;
    // Reads the names part with the partial-read rules; every name is set
    // through setSoundName. Returns the position after the names or -1.
    int readSoundNames(std::span<const std::uint8_t> chunk, int start);

    // --- Single sounds (current sound of the editor) -------------------------
    SoundRecord captureSound() const;
    void applySound(const SoundRecord& record);
    bool loadSoundFile(const std::string& path);
    bool saveSoundFile(const std::string& path);
    void copySound();
    void pasteSound();
    bool clipboardFull() const { return clipboardFull_; }
    void randomizeSound(bool keepEnvelopes);
    void seedRandomizer(std::uint32_t seed) { draws_.seed(seed); }
    // A Patch menu command, with the editor's file dialog for Load and Save.
    void runPatchCommand(PatchCommand command);

private:
    void dispatchGlobal(int index, double value);
    bool hasCurrentSound() const;

    ParameterStore& store_;
    SoundParameterSink* engine_;
    EditorSeam* editor_;
    SoundNames names_ = defaultSoundNames();
    bool ready_ = false;
    bool programChanging_ = true;  // set from the start of construction
    // Remembered by beforeProgramChange for programChanged.
    bool rememberedUserLock_ = false;
    std::array<int, kSoundCount> rememberedUserLo_{};
    std::array<int, kSoundCount> rememberedUserHi_{};
    SoundRecord clipboard_;
    bool clipboardFull_ = false;
    RandomDraws draws_;
};

}  // namespace kettrix::kit
