// The drum synthesizer's plug-in class: configuration, parameter dispatch,
// state, MIDI intake and the render entry point.
#pragma once

#include "IPlugVST.h"
#include "MidiQueue.h"

namespace kettrix {

class IPlugMonoSynth : public IPlugVST {
public:
    static constexpr int kNumParams = 1393;
    static constexpr int kNumPresets = 128;

    explicit IPlugMonoSynth(Vst2HostCallback hostCallback);
    ~IPlugMonoSynth() override;

    // The fixed configuration this class hands to its bases.
    static PlugConfig Configuration();

    void Reset() override;
    void ParameterChanged(int paramIndex) override;
    void processBlock(double** inputs, double** outputs, int frames) override;
    void ReceiveMidi(const MidiMessage& message) override;
    bool SerializeState(Chunk& chunk) override;
    int UnserializeState(const Chunk& chunk, int start) override;
    bool QueryYesNo() override;
    void ProgramChanged() override;
    void BeforeProgramChange() override;

    const MidiQueue& GetMidiQueue() const { return mMidiQueue; }

private:
    MidiQueue mMidiQueue;
};

}  // namespace kettrix
