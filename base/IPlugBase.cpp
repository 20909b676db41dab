#include "base/IPlugBase.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/Base64.h"

namespace kettrix {

namespace {

constexpr const char* kUserPresetPrefix = "user preset";

// Parses the blank-separated "in-out" pairs of a channel I/O string.
std::vector<ChannelIOPair> ParseChannelIO(const char* text) {
    std::vector<ChannelIOPair> pairs;
    if (text == nullptr) {
        return pairs;
    }
    const char* p = text;
    while (*p != '\0') {
        while (*p == ' ') {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        int inputs = 0;
        int outputs = 0;
        if (std::sscanf(p, "%d-%d", &inputs, &outputs) == 2) {
            pairs.push_back({inputs, outputs});
        }
        while (*p != '\0' && *p != ' ') {
            ++p;
        }
    }
    return pairs;
}

std::string TruncatedPresetName(const char* name) { return std::string(name, strnlen(name, kPresetNameMax)); }

}  // namespace

IPlugBase::IPlugBase(const PlugConfig& config)
    : effectName_(config.effectName ? config.effectName : ""),
      productString_(config.productString ? config.productString : ""),
      vendorString_(config.vendorString ? config.vendorString : ""),
      uniqueId_(config.uniqueId),
      manufacturerId_(config.manufacturerId),
      version_(config.version),
      receivesMidi_(config.receivesMidi),
      stateChunks_(config.stateChunks),
      isInstrument_(config.isInstrument),
      latency_(config.latency),
      params_(static_cast<std::size_t>(std::max(0, config.numParams))),
      presets_(static_cast<std::size_t>(std::max(0, config.numPresets))),
      channelIO_(ParseChannelIO(config.channelIOString)) {
    int inputs = 0;
    int outputs = 0;
    for (const ChannelIOPair& pair : channelIO_) {
        inputs = std::max(inputs, pair.inputs);
        outputs = std::max(outputs, pair.outputs);
    }
    inChannels_.resize(static_cast<std::size_t>(inputs));
    outChannels_.resize(static_cast<std::size_t>(outputs));
    inputPointers_.resize(inChannels_.size(), nullptr);
    outputPointers_.resize(outChannels_.size(), nullptr);
    if (config.outputBusLabels != nullptr) {
        for (std::size_t pair = 0; pair < outChannels_.size() / 2; ++pair) {
            outputBusLabels_.emplace_back(config.outputBusLabels[pair]);
        }
    }
}

std::string IPlugBase::OutputBusLabel(int pair) const {
    return pair >= 0 && pair < static_cast<int>(outputBusLabels_.size())
               ? outputBusLabels_[static_cast<std::size_t>(pair)]
               : std::string();
}

IPlugBase::~IPlugBase() = default;

// --- Virtual operations: base behaviour ------------------------------------

void IPlugBase::Reset() { PlugLockGuard guard(lock_); }

void IPlugBase::ParameterChanged(int) { PlugLockGuard guard(lock_); }

void IPlugBase::ShowParamInfo(int) {}

void IPlugBase::ClearParamInfo() {}

void IPlugBase::processBlock(double** inputs, double** outputs, int frames) {
    const int nIn = NInChannels();
    for (int i = 0; i < NOutChannels(); ++i) {
        double* out = outputs[i];
        if (i < nIn && inputs != nullptr && inputs[i] != nullptr) {
            if (inputs[i] != out) {
                std::memmove(out, inputs[i], sizeof(double) * static_cast<std::size_t>(frames));
            }
        } else {
            std::fill(out, out + frames, 0.0);
        }
    }
}

void IPlugBase::processBlockFloat(float** inputs, float** outputs, int frames) {
    const int nIn = NInChannels();
    for (int i = 0; i < NOutChannels(); ++i) {
        float* out = outputs[i];
        if (i < nIn && inputs != nullptr && inputs[i] != nullptr) {
            if (inputs[i] != out) {
                std::memmove(out, inputs[i], sizeof(float) * static_cast<std::size_t>(frames));
            }
        } else {
            std::fill(out, out + frames, 0.0f);
        }
    }
}

void IPlugBase::EditorOpened() {}

void IPlugBase::EditorClosed() {}

bool IPlugBase::ShowEmbeddedEditor(void* parentWindow, bool* firstShown) {
    if (firstShown != nullptr) *firstShown = false;
    IGraphicsLink* graphics = GetGraphics();
    if (graphics == nullptr || parentWindow == nullptr) return false;
    PlugLockGuard guard(lock_);
    if (!graphics->OpenWindow(parentWindow)) return false;
    if (!embeddedEditorShown_) {
        embeddedEditorShown_ = true;
        EditorOpened();
        if (firstShown != nullptr) *firstShown = true;
    }
    return true;
}

void IPlugBase::CloseEmbeddedEditor() {
    IGraphicsLink* graphics = GetGraphics();
    if (graphics == nullptr) return;
    PlugLockGuard guard(lock_);
    if (embeddedEditorShown_) {
        embeddedEditorShown_ = false;
        EditorClosed();
    }
    graphics->CloseWindow();
}

void IPlugBase::RenderFloatInPieces(std::vector<float*>& outputs, std::uint32_t frames) {
    for (std::uint32_t at = 0; at < frames;) {
        const int length =
            static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(GetBlockSize()), frames - at));
        AttachInputBuffers(static_cast<double**>(nullptr), 0);
        AttachOutputBuffers(outputs.data(), static_cast<int>(outputs.size()));
        ProcessAttached(length);
        CopyOutputsToFloat(length, false);
        at += static_cast<std::uint32_t>(length);
        for (float*& pointer : outputs) {
            if (pointer != nullptr) pointer += length;
        }
    }
}

void IPlugBase::ServiceEmbeddedEditor() {
    if (IGraphicsLink* graphics = GetGraphics(); graphics != nullptr && embeddedEditorShown_) graphics->Idle();
}

void IPlugBase::OnIdle() {}

void IPlugBase::SetActive(bool) { PlugLockGuard guard(lock_); }

void IPlugBase::ReceiveMidi(const MidiMessage& message) { SendMidiToHost(message); }

void IPlugBase::ReceiveSysEx(const SysExMessage&) {}

bool IPlugBase::NameMidiNote(int, char* name) {
    if (name != nullptr) {
        name[0] = '\0';
    }
    return false;
}

bool IPlugBase::SerializeState(Chunk& chunk) { return SerializeParams(chunk); }

int IPlugBase::UnserializeState(const Chunk& chunk, int start) { return UnserializeParams(chunk, start); }

int IPlugBase::StateEnd(const Chunk& chunk, int start) const {
    const std::int64_t end = static_cast<std::int64_t>(start) + static_cast<std::int64_t>(sizeof(double)) * NParams();
    return start >= 0 && end <= chunk.Size() ? static_cast<int>(end) : -1;
}

bool IPlugBase::ParamValueFromText(int paramIndex, const char* text, double* plain) const {
    const Param* param = ParamAt(paramIndex);
    return param != nullptr && param->ValueFromText(text, plain);
}

void IPlugBase::SetParameterFromHost(int paramIndex, double plain) {
    PlugLockGuard guard(lock_);
    Param* param = ParamAt(paramIndex);
    if (param == nullptr) {
        return;
    }
    param->SetPlain(plain);
    // The editor sees the value as stored: clamped, never NaN.
    if (graphics_) {
        graphics_->SetParameterFromPlug(paramIndex, param->Value(), false);
    }
    ParameterChanged(paramIndex);
}

void IPlugBase::WriteChunkFrame(Chunk& chunk) {
    chunk.PutI32(kChunkMagic);
    chunk.PutI32(kFrameworkVersion);
}

int IPlugBase::ReadChunkFrame(const Chunk& chunk, int32_t* version) {
    *version = 0;
    int32_t magic = 0;
    if (chunk.GetI32(&magic, 0) >= 0 && magic == kChunkMagic) {
        return chunk.GetI32(version, 4);
    }
    return 0;
}

bool IPlugBase::GetProgramChunk(Chunk& chunk) {
    PlugLockGuard guard(lock_);
    chunk.Clear();
    WriteChunkFrame(chunk);
    return SerializeState(chunk) && !chunk.Empty();
}

bool IPlugBase::SetProgramChunk(const Chunk& chunk) {
    PlugLockGuard guard(lock_);
    int32_t version = 0;
    int position = ReadChunkFrame(chunk, &version);
    if (position < 0) {
        return false;
    }
    // A state that cannot be read whole changes nothing.
    if (StateEnd(chunk, position) < 0 || UnserializeState(chunk, position) < 0) {
        return false;
    }
    ModifyCurrentPreset();
    RefreshParamControls();
    return true;
}

bool IPlugBase::StateMatches(const Chunk& chunk, int start) {
    PlugLockGuard guard(lock_);
    int position = start;
    for (const Param& param : params_) {
        double stored = 0.0;
        position = chunk.GetDouble(&stored, position);
        if (position < 0 || stored != param.Value()) {
            return false;
        }
    }
    return true;
}

void IPlugBase::OnWindowResize() {}

bool IPlugBase::QueryYesNo() { return false; }

void IPlugBase::OnHostIdentified() {}

void IPlugBase::SpareHook1() {}

void IPlugBase::SetParameterFromEditor(int paramIndex, double normalized) {
    PlugLockGuard guard(lock_);
    Param* param = ParamAt(paramIndex);
    if (param == nullptr) {
        return;
    }
    param->SetFromNormalized(normalized);
    NotifyHostParam(paramIndex, normalized);
    ParameterChanged(paramIndex);
}

// Without a host the notifications go nowhere and the time queries answer
// neutral values; the host adapter overrides them.
void IPlugBase::BeginHostParamEdit(int) {}
void IPlugBase::NotifyHostParam(int, double) {}
void IPlugBase::EndHostParamEdit(int) {}
void IPlugBase::NotifyHostDisplay() {}
bool IPlugBase::HostIsOffline() { return false; }
int IPlugBase::HostSamplePosition() { return 0; }
double IPlugBase::HostTempo() { return 0.0; }

void IPlugBase::HostTimeSignature(int* numerator, int* denominator) {
    *numerator = 0;
    *denominator = 0;
}

void IPlugBase::HostTimeInfo(HostTimeInfoRecord*) {}

int IPlugBase::GetHost() { return hostKind_; }

int IPlugBase::GetHostVersion() { return hostVersion_; }

void IPlugBase::ResizeGraphics() { OnWindowResize(); }

bool IPlugBase::RequestEditorSize(int, int) { return false; }

void IPlugBase::HostSpecificInit() {}

void IPlugBase::AttachEditor(std::unique_ptr<IGraphicsLink> graphics) {
    PlugLockGuard guard(lock_);
    if (!graphics) {
        return;
    }
    for (int i = 0; i < NParams(); ++i) {
        graphics->SetParameterFromPlug(i, params_[static_cast<std::size_t>(i)].Normalized(), true);
    }
    graphics->PrepDraw();
    graphics_ = std::move(graphics);
}

void IPlugBase::SetLatencySamples(int samples) { latency_ = samples; }

bool IPlugBase::SendMidiToHost(const MidiMessage&) { return false; }

bool IPlugBase::SendSysExToHost(const SysExMessage&) { return false; }

void IPlugBase::RefreshParamControls() {
    PlugLockGuard guard(lock_);
    if (!graphics_) {
        return;
    }
    for (int i = 0; i < NParams(); ++i) {
        graphics_->SetParameterFromPlug(i, params_[static_cast<std::size_t>(i)].Value(), false);
    }
}

void IPlugBase::SpareHook2() {}

void IPlugBase::ProgramChanged() {}

void IPlugBase::BeforeProgramChange() {}

void IPlugBase::SetBlockSize(int frames) {
    // A hostile size must neither underflow nor exhaust memory; longer host
    // blocks are rendered in pieces by the adapter.
    frames = std::clamp(frames, 1, kMaxBlockSize);
    if (frames == blockSize_) {
        return;
    }
    for (InputChannel& channel : inChannels_) {
        channel.scratch.assign(static_cast<std::size_t>(frames), 0.0);
        if (!channel.connected) {
            channel.source = channel.scratch.data();
        }
    }
    for (OutputChannel& channel : outChannels_) {
        channel.scratch.assign(static_cast<std::size_t>(frames), 0.0);
        channel.destination = channel.scratch.data();
    }
    blockSize_ = frames;
}

// --- Parameters --------------------------------------------------------------

Param* IPlugBase::ParamAt(int index) {
    return index >= 0 && index < NParams() ? &params_[static_cast<std::size_t>(index)] : nullptr;
}

const Param* IPlugBase::ParamAt(int index) const {
    return index >= 0 && index < NParams() ? &params_[static_cast<std::size_t>(index)] : nullptr;
}

bool IPlugBase::SerializeParams(Chunk& chunk) {
    PlugLockGuard guard(lock_);
    for (const Param& param : params_) {
        chunk.PutDouble(param.Value());
    }
    return true;
}

int IPlugBase::UnserializeParams(const Chunk& chunk, int start) {
    PlugLockGuard guard(lock_);
    int position = start;
    for (std::size_t i = 0; i < params_.size() && position >= 0; ++i) {
        double value = 0.0;
        position = chunk.GetDouble(&value, position);
        params_[i].SetPlain(position >= 0 ? value : 0.0);
    }
    for (int i = 0; i < NParams(); ++i) {
        ParameterChanged(i);
    }
    return position;
}

// --- Presets -------------------------------------------------------------------

std::string IPlugBase::NextUserPresetName() const {
    int count = 0;
    for (const PresetSlot& slot : presets_) {
        if (slot.name.find(kUserPresetPrefix) != std::string::npos) {
            ++count;
        }
    }
    char name[64];
    std::snprintf(name, sizeof name, "%s %d", kUserPresetPrefix, count + 1);
    return name;
}

bool IPlugBase::LoadPreset(int index) {
    PlugLockGuard guard(lock_);
    if (index < 0 || index >= NPresets()) {
        return false;
    }
    PresetSlot& slot = presets_[static_cast<std::size_t>(index)];
    if (slot.initialized) {
        if (UnserializeState(slot.chunk, 0) < 1) {
            return false;
        }
        currentPreset_ = index;
        ProgramChanged();
        RefreshParamControls();
        return true;
    }
    slot.initialized = true;
    slot.name = NextUserPresetName();
    slot.chunk.Clear();
    const bool stored = SerializeState(slot.chunk);
    if (stored) {
        currentPreset_ = index;
        ProgramChanged();
        RefreshParamControls();
    }
    return stored;
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
    PlugLockGuard guard(lock_);
    if (currentPreset_ < 0 || currentPreset_ >= NPresets()) {
        return;
    }
    PresetSlot& slot = presets_[static_cast<std::size_t>(currentPreset_)];
    slot.chunk.Clear();
    SerializeState(slot.chunk);
    if (name != nullptr && name[0] != '\0') {
        slot.name = TruncatedPresetName(name);
    }
}

void IPlugBase::FillEmptyPresets(const char* name, int count) {
    PlugLockGuard guard(lock_);
    for (int n = 0; n < count; ++n) {
        auto slot = std::find_if(presets_.begin(), presets_.end(), [](const PresetSlot& s) { return !s.initialized; });
        if (slot == presets_.end()) {
            return;
        }
        slot->initialized = true;
        slot->name = TruncatedPresetName(name != nullptr ? name : "Empty");
        slot->chunk.Clear();
        SerializeState(slot->chunk);
    }
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* base64, int size) {
    PlugLockGuard guard(lock_);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::max(0, size)));
    Base64Decode(base64, bytes.data(), bytes.size());
    auto slot = std::find_if(presets_.begin(), presets_.end(), [](const PresetSlot& s) { return !s.initialized; });
    if (slot == presets_.end()) {
        return;
    }
    slot->initialized = true;
    slot->name = TruncatedPresetName(name != nullptr ? name : "");
    slot->chunk.PutBytes(bytes.data(), bytes.size());
}

const char* IPlugBase::PresetName(int index) const {
    const PresetSlot* slot = PresetAt(index);
    return slot != nullptr ? slot->name.c_str() : "";
}

const PresetSlot* IPlugBase::PresetAt(int index) const {
    return index >= 0 && index < NPresets() ? &presets_[static_cast<std::size_t>(index)] : nullptr;
}

bool IPlugBase::SerializePresets(Chunk& chunk) {
    PlugLockGuard guard(lock_);
    for (const PresetSlot& slot : presets_) {
        chunk.PutStr(slot.name);
        chunk.PutBool(slot.initialized);
        if (slot.initialized) {
            chunk.PutChunk(slot.chunk);
            if (chunk.Empty()) {
                return false;
            }
        }
    }
    return true;
}

int IPlugBase::PresetsEnd(const Chunk& chunk, int start) const {
    int position = start;
    std::string name;
    for (std::size_t i = 0; i < presets_.size() && position >= 0; ++i) {
        position = chunk.GetStr(&name, position, kPresetNameMax);
        bool initialized = false;
        position = chunk.GetBool(&initialized, position);
        if (position >= 0 && initialized) {
            position = StateEnd(chunk, position);
        }
    }
    return position;
}

int IPlugBase::UnserializePresets(const Chunk& chunk, int start) {
    PlugLockGuard guard(lock_);
    // Every slot is checked before the first is touched.
    if (PresetsEnd(chunk, start) < 0) {
        return -1;
    }
    int position = start;
    for (std::size_t i = 0; i < presets_.size() && position >= 0; ++i) {
        PresetSlot& slot = presets_[i];
        position = chunk.GetStr(&slot.name, position, kPresetNameMax);
        bool initialized = false;
        position = chunk.GetBool(&initialized, position);
        if (position < 0) {
            break;
        }
        slot.initialized = initialized;
        if (initialized) {
            position = UnserializeState(chunk, position);
            if (position > 0) {
                // Store the state in this build's own form.
                slot.chunk.Clear();
                SerializeState(slot.chunk);
            }
        }
    }
    LoadPreset(currentPreset_);
    return position;
}

bool IPlugBase::DumpPresetSource(const char* path) {
    PlugLockGuard guard(lock_);
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        return false;
    }
    for (const PresetSlot& slot : presets_) {
        const std::string encoded = Base64Encode(slot.chunk.Data(), static_cast<std::size_t>(slot.chunk.Size()));
        std::fprintf(file, "MakePresetFromBlob(\"%s\", \"%s\", %d);\n", slot.name.c_str(), encoded.c_str(),
                     slot.chunk.Size());
    }
    std::fclose(file);
    return true;
}

// --- Configuration, channels and buffers ------------------------------------

bool IPlugBase::LegalIO(int inputs, int outputs) const {
    for (const ChannelIOPair& pair : channelIO_) {
        if ((inputs == -1 || inputs == pair.inputs) && (outputs == -1 || outputs == pair.outputs)) {
            return true;
        }
    }
    return false;
}

bool IPlugBase::IsInChannelConnected(int i) const {
    return i >= 0 && i < NInChannels() && inChannels_[static_cast<std::size_t>(i)].connected;
}

bool IPlugBase::IsOutChannelConnected(int i) const {
    return i >= 0 && i < NOutChannels() && outChannels_[static_cast<std::size_t>(i)].connected;
}

void IPlugBase::SetHost(int hostKind, int hostVersion) {
    hostKind_ = hostKind;
    hostVersion_ = hostVersion;
}

void IPlugBase::SetInputChannelConnected(int i, bool connected) {
    if (i < 0 || i >= NInChannels()) {
        return;
    }
    InputChannel& channel = inChannels_[static_cast<std::size_t>(i)];
    channel.connected = connected;
    if (!connected) {
        // An unconnected input reads silence.
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
        channel.source = channel.scratch.data();
    }
}

void IPlugBase::SetOutputChannelConnected(int i, bool connected) {
    if (i >= 0 && i < NOutChannels()) {
        outChannels_[static_cast<std::size_t>(i)].connected = connected;
    }
}

void IPlugBase::AttachInputBuffers(double** buffers, int count) {
    int next = 0;
    for (InputChannel& channel : inChannels_) {
        channel.source = channel.scratch.data();
        if (channel.connected && buffers != nullptr && next < count) {
            if (double* host = buffers[next++]) {
                channel.source = host;
            }
        }
    }
}

void IPlugBase::AttachInputBuffers(float** buffers, int count, int frames) {
    int next = 0;
    for (InputChannel& channel : inChannels_) {
        channel.source = channel.scratch.data();
        if (channel.connected && buffers != nullptr && next < count) {
            if (const float* host = buffers[next++]) {
                std::copy(host, host + frames, channel.scratch.begin());
            }
        }
    }
}

void IPlugBase::AttachOutputBuffers(double** buffers, int count) {
    int next = 0;
    for (OutputChannel& channel : outChannels_) {
        channel.destination = channel.scratch.data();
        channel.hostFloatBuffer = nullptr;
        if (channel.connected && buffers != nullptr && next < count) {
            if (double* host = buffers[next++]) {
                channel.destination = host;
            }
        }
    }
}

void IPlugBase::AttachOutputBuffers(float** buffers, int count) {
    int next = 0;
    for (OutputChannel& channel : outChannels_) {
        channel.destination = channel.scratch.data();
        channel.hostFloatBuffer = nullptr;
        if (channel.connected && buffers != nullptr && next < count) {
            channel.hostFloatBuffer = buffers[next++];
        }
    }
}

void IPlugBase::ProcessAttached(int frames) {
    for (std::size_t i = 0; i < inChannels_.size(); ++i) {
        inputPointers_[i] = inChannels_[i].source;
    }
    for (std::size_t i = 0; i < outChannels_.size(); ++i) {
        outputPointers_[i] = outChannels_[i].destination;
    }
    processBlock(inputPointers_.data(), outputPointers_.data(), frames);
}

void IPlugBase::CopyOutputsToFloat(int frames, bool accumulate) {
    for (const OutputChannel& channel : outChannels_) {
        float* host = channel.hostFloatBuffer;
        if (!channel.connected || host == nullptr) {
            continue;
        }
        const double* rendered = channel.destination;
        if (accumulate) {
            for (int s = 0; s < frames; ++s) {
                host[s] += static_cast<float>(rendered[s]);
            }
        } else {
            for (int s = 0; s < frames; ++s) {
                host[s] = static_cast<float>(rendered[s]);
            }
        }
    }
}

}  // namespace kettrix
