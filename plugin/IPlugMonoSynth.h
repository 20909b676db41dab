// The drum synthesizer's plug-in class: configuration, parameter dispatch,
// state, MIDI intake and the render entry point.
#pragma once

#include "base/MidiQueue.h"
#include "base/ParameterLayout.h"
#include "base/SoundParameterSink.h"
#include "engine/DrumEngine.h"
#include "kit/EditorSeam.h"
#include "kit/KitModel.h"
#include "plugin/EditorAttachment.h"
#include "plugin/KitEngineHost.h"
#include "plugin/PlugAdapter.h"
#include "plugin/PlugKeyboardHost.h"
#include "plugin/PlugKit.h"

namespace kettrix {

class IPlugMonoSynth : public PlugAdapter {
public:
    static constexpr int kNumParams = layout::kParameterCount;
    static constexpr int kNumPresets = 128;
    // One label per stereo output pair, for formats that name output buses
    // (VST 2 pin properties do not use them).
    static constexpr const char* kOutputBusLabels[6] = {"KX1", "KX2", "KX3", "KX4", "KX5", "KX6"};

    explicit IPlugMonoSynth(PlugAdapter::HostHandle host);
    ~IPlugMonoSynth() override;

    // The fixed configuration this class hands to its bases.
    static PlugConfig Configuration();

    void Reset() override;
    // Silence as from a new instance with the kit as it stands: the MIDI
    // queue emptied and the engine restarted (voices, effects, smoothing and
    // note state as new). Parameters, presets and the editor stay.
    void RestartEngine();
    void ParameterChanged(int paramIndex) override;
    // The editor's read-out line.
    void ShowParamInfo(int paramIndex) override;
    void ClearParamInfo() override;
    void processBlock(double** inputs, double** outputs, int frames) override;
    void ReceiveMidi(const MidiMessage& message) override;
    bool SerializeState(Chunk& chunk) override;
    int UnserializeState(const Chunk& chunk, int start) override;
    int StateEnd(const Chunk& chunk, int start) const override;
    bool QueryYesNo() override;
    void ProgramChanged() override;
    void BeforeProgramChange() override;

    const MidiQueue& GetMidiQueue() const { return midiQueue_; }

    // The kit model: sound names, dispatch, program changes, sound records.
    kit::KitModel& Kit() { return kit_; }
    const kit::KitModel& Kit() const { return kit_; }

    // Gives the kit model and the engine `editor` in place of the stand-in
    // (the editor's graphics object, or a test's recording editor). The
    // editor must outlive the plug-in or be replaced before it goes.
    void AttachEditor(kit::EditorSeam& editor);
    using PlugAdapter::AttachEditor;

    // The sound engine (render loop, sounds, key ranges, mixer).
    engine::DrumEngine& Engine() { return engine_; }

    // The editor: its operations and its graphics object with every control.
    editor::KettrixEditor& Editor() { return editor_->Editor(); }
    IGraphics& Graphics() { return editor_->Graphics(); }

private:
    MidiQueue midiQueue_;
    // Until the engine and the editor are attached in the constructor, the
    // kit model talks to these stand-ins.
    NullSoundParameterSink noEngine_;
    kit::EditorStandIn editorStandIn_;
    PlugParameterStore paramStore_{*this};
    kit::KitModel kit_{paramStore_, noEngine_, editorStandIn_};
    engine::DrumEngine engine_{kDefaultSampleRate};
    KitEngineHost engineHost_{paramStore_, kit_, editorStandIn_};
    // What the engine shows while it plays (lamps, held keys), and the
    // on-screen keyboard's way to the engine.
    editor::LiveActivity activity_;
    PlugKeyboardHost keyboardHost_{engine_, kit_};
    // Owned by the plug-in base once attached; kept here for access.
    EditorAttachment* editor_ = nullptr;
};

}  // namespace kettrix
