// A small plug-in with named, typed parameters and an audible render, for
// tests that need more than the skeleton synth offers.
#pragma once

#include <algorithm>
#include <vector>

#include "plugin/IPlugVST.h"

namespace kettrix::test {

class TestPlug : public IPlugVST {
public:
    enum { kGain, kSteps, kEnable, kTune, kNumParams };
    static constexpr int kNumPresets = 8;

    static PlugConfig Config() {
        PlugConfig config;
        config.effectName = "TestPlug";
        config.vendorString = "Tests";
        config.uniqueId = Vst2FourCC('T', 'S', 'T', '1');
        config.version = 0x00020103;
        config.numParams = kNumParams;
        config.numPresets = kNumPresets;
        config.channelIOString = "0-2 0-4";
        config.receivesMidi = true;
        config.stateChunks = true;
        config.isInstrument = true;
        return config;
    }

    explicit TestPlug(Vst2HostCallback host) : IPlugVST(Config(), host) {
        ParamAt(kGain)->DefineContinuous("Gain", 0.5, 0.0, 2.0, 0.001);
        ParamAt(kGain)->SetLabel("dB");
        ParamAt(kSteps)->DefineInteger("Steps", 0, 0, 7);
        ParamAt(kEnable)->DefineSwitch("Enable", false);
        ParamAt(kTune)->DefineContinuous("Tune", 0.0, -1.0, 1.0, 0.01);
        ParamAt(kTune)->SetNegateDisplay(true);
        FinishConstruction();
    }

    void ParameterChanged(int index) override { changed.push_back(index); }

    void processBlock(double**, double** outputs, int frames) override {
        blockLengths.push_back(frames);
        volatile double tiny = 1e-310;  // denormal
        denormalProduct = tiny * 0.5;
        for (int c = 0; c < NOutChannels(); ++c) {
            enteredZeroed =
                enteredZeroed && std::all_of(outputs[c], outputs[c] + frames, [](double v) { return v == 0.0; });
            if (writeSignal) {
                std::fill(outputs[c], outputs[c] + frames, 0.125 * (c + 1));
            }
        }
    }

    void ReceiveMidi(const MidiMessage& message) override { midi.push_back(message); }

    std::vector<int> changed;
    std::vector<int> blockLengths;
    std::vector<MidiMessage> midi;
    bool writeSignal = true;
    bool enteredZeroed = true;
    double denormalProduct = -1.0;
};

}  // namespace kettrix::test
