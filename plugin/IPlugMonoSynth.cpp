#include "plugin/IPlugMonoSynth.h"

#include <algorithm>
#include <memory>

namespace kettrix {

PlugConfig IPlugMonoSynth::Configuration() {
    PlugConfig config;
    config.effectName = "Kettrix4";
    config.productString = "";
    config.vendorString = "Sorvane";
    config.uniqueId = Vst2FourCC('K', 'T', 'X', '4');
    config.manufacturerId = Vst2FourCC('S', 'R', 'V', 'C');
    config.version = 0x00010000;
    config.numParams = kNumParams;
    config.numPresets = kNumPresets;
    config.channelIOString = "0-2 0-4 0-6 0-8 0-10 0-12";
    config.latency = 0;
    config.receivesMidi = true;
    config.stateChunks = true;
    config.isInstrument = true;
    return config;
}

IPlugMonoSynth::IPlugMonoSynth(Vst2HostCallback hostCallback) : IPlugVST(Configuration(), hostCallback) {
    // Parameters, engine, editor and factory kits are set up here.
    defineKitParameters(*this);
    mEngine.setHost(mEngineHost);
    mKit.attachEngine(mEngine);
    // Every control of the editor exists from here on, window or not.
    auto editor = std::make_unique<EditorAttachment>(*this, mKit, mParamStore);
    mEditor = editor.get();
    mKit.attachEditor(mEditor->Editor());
    mEngineHost.attachEditor(mEditor->Editor());
    AttachEditor(std::move(editor));
    fillFactoryPresets(*this);
    mKit.setReady(true);
}

IPlugMonoSynth::~IPlugMonoSynth() = default;

void IPlugMonoSynth::Reset() {
    PlugLockGuard guard(Lock());
    mMidiQueue.Resize(GetBlockSize());
    if (GetSampleRate() == mEngine.sampleRate()) return;
    // A new rate rebuilds the voices and reapplies every per-sound
    // parameter, as a program change would: no editor side effects.
    mKit.setProgramChanging(true);
    mEngine.reset(GetSampleRate());
    mKit.setProgramChanging(false);
}

void IPlugMonoSynth::ParameterChanged(int paramIndex) {
    PlugLockGuard guard(Lock());
    mKit.parameterChanged(paramIndex);
}

void IPlugMonoSynth::ShowParamInfo(int paramIndex) {
    PlugLockGuard guard(Lock());
    if (mEditor) mEditor->Editor().ShowParamInfo(paramIndex);
}

void IPlugMonoSynth::ClearParamInfo() {
    PlugLockGuard guard(Lock());
    if (mEditor) mEditor->Editor().ClearParamInfo();
}

void IPlugMonoSynth::processBlock(double**, double** outputs, int frames) {
    // The adapter holds the plug-in lock around the whole block.
    if (NOutChannels() < engine::kOutputCount) {
        for (int i = 0; i < NOutChannels(); ++i) std::fill(outputs[i], outputs[i] + frames, 0.0);
        mMidiQueue.Flush(frames);
        return;
    }
    mEngine.processBlock(mMidiQueue, outputs, std::max(frames, 0));
}

void IPlugMonoSynth::ReceiveMidi(const MidiMessage& message) { mMidiQueue.Add(message); }

bool IPlugMonoSynth::SerializeState(Chunk& chunk) { return serializeKitState(mKit, *this, chunk); }

int IPlugMonoSynth::UnserializeState(const Chunk& chunk, int start) {
    return unserializeKitState(mKit, *this, chunk, start);
}

bool IPlugMonoSynth::QueryYesNo() {
    PlugLockGuard guard(Lock());
    return true;
}

void IPlugMonoSynth::ProgramChanged() {
    PlugLockGuard guard(Lock());
    mKit.programChanged();
}

void IPlugMonoSynth::BeforeProgramChange() {
    PlugLockGuard guard(Lock());
    mKit.beforeProgramChange();
}

}  // namespace kettrix
