#include "plugin/IPlugMonoSynth.h"

#include <algorithm>
#include <memory>

namespace kettrix {

PlugConfig IPlugMonoSynth::Configuration() {
    PlugConfig config;
    config.effectName = "Kettrix4";
    config.productString = "";
    config.vendorString = "Sorvane";
    config.uniqueId = FourCharCode('K', 'T', 'X', '4');
    config.manufacturerId = FourCharCode('S', 'R', 'V', 'C');
    config.version = 0x00010000;
    config.numParams = kNumParams;
    config.numPresets = kNumPresets;
    config.channelIOString = "0-2 0-4 0-6 0-8 0-10 0-12";
    config.latency = 0;
    config.receivesMidi = true;
    config.stateChunks = true;
    config.isInstrument = true;
    config.outputBusLabels = kOutputBusLabels;
    return config;
}

IPlugMonoSynth::IPlugMonoSynth(PlugAdapter::HostHandle host) : PlugAdapter(Configuration(), host) {
    // Parameters, engine, editor and factory kits are set up here.
    defineKitParameters(*this);
    engine_.setHost(engineHost_);
    kit_.attachEngine(engine_);
    // Every control of the editor exists from here on, window or not; the
    // editor replaces the stand-in as the kit model's and the engine's view.
    auto editor = std::make_unique<EditorAttachment>(*this, kit_, paramStore_);
    editor_ = editor.get();
    AttachEditor(editor_->Editor());
    AttachEditor(std::move(editor));
    engineHost_.attachActivity(activity_);
    editor_->Editor().AttachLive(keyboardHost_, activity_);
    fillFactoryPresets(*this);
    kit_.setReady(true);
    // The kit loaded above never reached the engine (not ready yet): hand it
    // over settled, so that the first notes do not glide up from 0.
    engine_.reapplySoundParameters();
    engine_.settleSmoothing();
}

IPlugMonoSynth::~IPlugMonoSynth() = default;

void IPlugMonoSynth::Reset() {
    PlugLockGuard guard(Lock());
    midiQueue_.Resize(GetBlockSize());
    if (GetSampleRate() == engine_.sampleRate()) return;
    // A new rate rebuilds the voices and reapplies every per-sound
    // parameter, as a program change would: no editor side effects.
    kit_.setProgramChanging(true);
    engine_.reset(GetSampleRate());
    kit_.setProgramChanging(false);
}

void IPlugMonoSynth::RestartEngine() {
    PlugLockGuard guard(Lock());
    midiQueue_.Clear();
    engine_.restart();
}

void IPlugMonoSynth::AttachEditor(kit::EditorSeam& editor) {
    PlugLockGuard guard(Lock());
    kit_.attachEditor(editor);
    engineHost_.attachEditor(editor);
}

void IPlugMonoSynth::ParameterChanged(int paramIndex) {
    PlugLockGuard guard(Lock());
    kit_.parameterChanged(paramIndex);
}

void IPlugMonoSynth::ShowParamInfo(int paramIndex) {
    PlugLockGuard guard(Lock());
    if (editor_) editor_->Editor().ShowParamInfo(paramIndex);
}

void IPlugMonoSynth::ClearParamInfo() {
    PlugLockGuard guard(Lock());
    if (editor_) editor_->Editor().ClearParamInfo();
}

void IPlugMonoSynth::processBlock(double**, double** outputs, int frames) {
    // The adapter holds the plug-in lock around the whole block.
    if (NOutChannels() < engine::kOutputCount) {
        for (int i = 0; i < NOutChannels(); ++i) std::fill(outputs[i], outputs[i] + frames, 0.0);
        midiQueue_.Flush(frames);
        return;
    }
    engine_.processBlock(midiQueue_, outputs, std::max(frames, 0));
}

void IPlugMonoSynth::ReceiveMidi(const MidiMessage& message) { midiQueue_.Add(message); }

bool IPlugMonoSynth::SerializeState(Chunk& chunk) { return serializeKitState(kit_, *this, chunk); }

int IPlugMonoSynth::UnserializeState(const Chunk& chunk, int start) {
    PlugLockGuard guard(Lock());
    const int position = unserializeKitState(kit_, *this, chunk, start);
    // A loaded state is a new kit: no glide from the previous one.
    engine_.settleSmoothing();
    return position;
}

int IPlugMonoSynth::StateEnd(const Chunk& chunk, int start) const { return kitStateEnd(chunk, start); }

bool IPlugMonoSynth::QueryYesNo() {
    PlugLockGuard guard(Lock());
    return true;
}

void IPlugMonoSynth::ProgramChanged() {
    PlugLockGuard guard(Lock());
    kit_.programChanged();
}

void IPlugMonoSynth::BeforeProgramChange() {
    PlugLockGuard guard(Lock());
    kit_.beforeProgramChange();
}

}  // namespace kettrix
