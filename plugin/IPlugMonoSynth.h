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
#include "plugin/IPlugVST.h"
#include "plugin/KitEngineHost.h"
#include "plugin/PlugKit.h"

namespace kettrix {

class IPlugMonoSynth : public IPlugVST {
public:
    static constexpr int kNumParams = layout::kParameterCount;
    static constexpr int kNumPresets = 128;
    // One label per stereo output pair; VST 2 pin properties do not use them.
    static constexpr const char* kOutputBusLabels[6] = {"KX1", "KX2", "KX3", "KX4", "KX5", "KX6"};

    explicit IPlugMonoSynth(Vst2HostCallback hostCallback);
    ~IPlugMonoSynth() override;

    // The fixed configuration this class hands to its bases.
    static PlugConfig Configuration();

    void Reset() override;
    void ParameterChanged(int paramIndex) override;
    // The editor's read-out line.
    void ShowParamInfo(int paramIndex) override;
    void ClearParamInfo() override;
    void processBlock(double** inputs, double** outputs, int frames) override;
    void ReceiveMidi(const MidiMessage& message) override;
    bool SerializeState(Chunk& chunk) override;
    int UnserializeState(const Chunk& chunk, int start) override;
    bool QueryYesNo() override;
    void ProgramChanged() override;
    void BeforeProgramChange() override;

    const MidiQueue& GetMidiQueue() const { return mMidiQueue; }

    // The kit model: sound names, dispatch, program changes, sound records.
    kit::KitModel& Kit() { return mKit; }
    const kit::KitModel& Kit() const { return mKit; }

    // The sound engine (render loop, sounds, key ranges, mixer).
    engine::DrumEngine& Engine() { return mEngine; }

    // The editor: its operations and its graphics object with every control.
    editor::KettrixEditor& Editor() { return mEditor->Editor(); }
    IGraphics& Graphics() { return mEditor->Graphics(); }

private:
    MidiQueue mMidiQueue;
    // Until the engine and the editor are attached in the constructor, the
    // kit model talks to these stand-ins.
    NullSoundParameterSink mNoEngine;
    kit::HeadlessEditor mHeadlessEditor;
    PlugParameterStore mParamStore{*this};
    kit::KitModel mKit{mParamStore, mNoEngine, mHeadlessEditor};
    engine::DrumEngine mEngine{kDefaultSampleRate};
    KitEngineHost mEngineHost{mParamStore, mKit, mHeadlessEditor};
    // Owned by the plug-in base once attached; kept here for access.
    EditorAttachment* mEditor = nullptr;
};

}  // namespace kettrix
