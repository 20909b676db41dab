#include "plugin/IPlugVST.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "base/DenormalGuard.h"

namespace kettrix {

namespace {

static_assert(Vst2FourCC('K', 'T', 'X', '4') == FourCharCode('K', 'T', 'X', '4'));
constexpr intptr_t kReaperAnswer = 0xBEEF;
constexpr intptr_t kReaperCanDoAnswer = static_cast<intptr_t>(0xBEEF0000u);
constexpr int kHostStringBufferSize = 256;
// effVendorSpecific indices: display text for a normalized value, and
// whether a parameter moves in integer steps.
constexpr int32_t kVendorDisplayQuery = 7;
constexpr int32_t kVendorIntegerStepQuery = 8;

// Copies text into a host buffer of `capacity` bytes, always terminated.
void CopyToHost(void* buffer, const std::string& text, std::size_t capacity) {
    std::snprintf(static_cast<char*>(buffer), capacity, "%s", text.c_str());
}

int32_t SpeakerArrangementType(int channels) {
    switch (channels) {
        case 0:
            return kSpeakerArrEmpty;
        case 1:
            return kSpeakerArrMono;
        case 2:
            return kSpeakerArrStereo;
        default:
            return kSpeakerArrUserDefined;
    }
}

// Frames of a host call as a safe int (negative counts render nothing).
int ClampToInt(intptr_t value) { return static_cast<int>(std::clamp<intptr_t>(value, INT_MIN, INT_MAX)); }

struct HostNameEntry {
    const char* fragment;
    int kind;
};

// Tested in this order; the first fragment found in the product string wins.
constexpr HostNameEntry kHostNames[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

}  // namespace

int LookUpHost(const char* productString) {
    std::string lower = productString != nullptr ? productString : "";
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    for (const HostNameEntry& entry : kHostNames) {
        if (lower.find(entry.fragment) != std::string::npos) {
            return entry.kind;
        }
    }
    return kHostUnknown;
}

int PackHostVersion(int vendorVersion) {
    const int v = std::max(0, vendorVersion);
    return ((v / 10000) << 16) | (((v % 10000) / 100) << 8) | (v % 100);
}

IPlugVST::IPlugVST(const PlugConfig& config, Vst2HostCallback hostCallback)
    : IPlugBase(config), hostCallback_(hostCallback) {
    aEffect_.magic = kEffectMagic;
    aEffect_.dispatcher = VSTDispatcher;
    aEffect_.process = VSTProcess;
    aEffect_.processReplacing = VSTProcessReplacing;
    aEffect_.processDoubleReplacing = VSTProcessDoubleReplacing;
    aEffect_.setParameter = VSTSetParameter;
    aEffect_.getParameter = VSTGetParameter;
    aEffect_.numPrograms = NPresets();
    aEffect_.numParams = NParams();
    aEffect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    if (StateChunks()) {
        aEffect_.flags |= effFlagsProgramChunks;
    }
    if (IsInstrument()) {
        aEffect_.flags |= effFlagsIsSynth;
    }
    if (LegalIO(1, -1)) {
        aEffect_.flags |= effFlagsCanMono;
    }
    aEffect_.initialDelay = Latency();
    aEffect_.ioRatio = 1.0f;
    aEffect_.object = this;
    aEffect_.uniqueID = UniqueId();
    const int major = (Version() >> 16) & 0xFFFF;
    const int minor = (Version() >> 8) & 0xFF;
    const int revision = Version() & 0xFF;
    aEffect_.version = (minor + major * 100) * 100 + revision;
    UpdateChannelCounts();

    for (int i = 0; i < NInChannels(); ++i) {
        SetInputChannelConnected(i, true);
    }
    for (int i = 0; i < NOutChannels(); ++i) {
        SetOutputChannelConnected(i, true);
    }
    for (auto* pieces : {&floatPieces_[0], &floatPieces_[1]}) {
        pieces->resize(static_cast<std::size_t>(std::max(NInChannels(), NOutChannels())), nullptr);
    }
    for (auto* pieces : {&doublePieces_[0], &doublePieces_[1]}) {
        pieces->resize(static_cast<std::size_t>(std::max(NInChannels(), NOutChannels())), nullptr);
    }
    SetBlockSize(kDefaultBlockSize);
}

IPlugVST::~IPlugVST() = default;

void IPlugVST::FinishConstruction() {
    FillEmptyPresets("Empty", NPresets());
    aEffect_.numPrograms = std::max(1, aEffect_.numPrograms);
}

void IPlugVST::UpdateChannelCounts() {
    aEffect_.numInputs = NInChannels();
    aEffect_.numOutputs = NOutChannels();
    inputSpeakers_.numChannels = NInChannels();
    inputSpeakers_.type = SpeakerArrangementType(NInChannels());
    outputSpeakers_.numChannels = NOutChannels();
    outputSpeakers_.type = SpeakerArrangementType(NOutChannels());
}

// --- Host callbacks --------------------------------------------------------------

intptr_t IPlugVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return hostCallback_ != nullptr ? hostCallback_(&aEffect_, opcode, index, value, ptr, opt) : 0;
}

const VstTimeInfo* IPlugVST::HostTime(int32_t mask) {
    return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, mask));
}

void IPlugVST::BeginHostParamEdit(int paramIndex) { CallHost(audioMasterBeginEdit, paramIndex); }

void IPlugVST::NotifyHostParam(int paramIndex, double normalized) {
    CallHost(audioMasterAutomate, paramIndex, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::EndHostParamEdit(int paramIndex) { CallHost(audioMasterEndEdit, paramIndex); }

void IPlugVST::NotifyHostDisplay() { CallHost(audioMasterUpdateDisplay); }

bool IPlugVST::HostIsOffline() { return CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline; }

int IPlugVST::HostSamplePosition() {
    const VstTimeInfo* time = HostTime(0);
    if (time == nullptr || !(time->samplePos >= 0.0)) {
        return 0;
    }
    const double rounded = std::floor(time->samplePos + 0.5);
    return rounded >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rounded);
}

double IPlugVST::HostTempo() {
    const VstTimeInfo* time = HostTime(kVstTempoValid);
    if (time != nullptr && (time->flags & kVstTempoValid) && time->tempo >= 0.0) {
        return time->tempo;
    }
    return 0.0;
}

void IPlugVST::HostTimeSignature(int* numerator, int* denominator) {
    *numerator = 0;
    *denominator = 0;
    const VstTimeInfo* time = HostTime(kVstTimeSigValid);
    if (time != nullptr && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
        time->timeSigDenominator >= 0) {
        *numerator = time->timeSigNumerator;
        *denominator = time->timeSigDenominator;
    }
}

void IPlugVST::HostTimeInfo(HostTimeInfoRecord* timeInfo) {
    constexpr int32_t kWanted =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;  // 0x3E00
    const VstTimeInfo* time = HostTime(kWanted);
    if (time == nullptr || (time->flags & kWanted) == 0) {
        return;
    }
    timeInfo->samplePos = time->samplePos;
    if ((time->flags & kVstPpqPosValid) && time->ppqPos >= 0.0) {
        timeInfo->ppqPos = time->ppqPos;
    }
    if ((time->flags & kVstTempoValid) && time->tempo > 0.0) {
        timeInfo->tempo = time->tempo;
    }
    if ((time->flags & kVstBarsValid) && time->barStartPos >= 0.0) {
        timeInfo->lastBar = time->barStartPos;
    }
    if ((time->flags & kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0) {
        timeInfo->cycleStart = time->cycleStartPos;
        timeInfo->cycleEnd = time->cycleEndPos;
    }
    if ((time->flags & kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
        timeInfo->numerator = time->timeSigNumerator;
        timeInfo->denominator = time->timeSigDenominator;
    }
    timeInfo->transportIsRunning = (time->flags & kVstTransportPlaying) != 0;
    timeInfo->transportLoopEnabled = (time->flags & kVstTransportCycleActive) != 0;
}

bool IPlugVST::SendMidiToHost(const MidiMessage& message) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::SendSysExToHost(const SysExMessage& message) {
    VstMidiSysexEvent event{};
    event.type = kVstSysExType;
    event.byteSize = static_cast<int32_t>(sizeof(VstMidiSysexEvent));
    event.deltaFrames = message.offset;
    event.dumpBytes = message.size;
    event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.data));
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

// --- Host set-up, editor, latency ----------------------------------------------

void IPlugVST::HostSpecificInit() {
    if (hostSpecificInitDone_) {
        return;
    }
    hostSpecificInitDone_ = true;
    char product[kHostStringBufferSize] = {};
    CallHost(audioMasterGetProductString, 0, 0, product);
    product[kHostStringBufferSize - 1] = '\0';
    int version = 0;
    if (product[0] != '\0') {
        version = PackHostVersion(ClampToInt(CallHost(audioMasterGetVendorVersion)));
    }
    const int kind = LookUpHost(product);
    SetHost(kind, version);
    if (kind == kHostForte || kind == kHostAudition || kind == kHostOrion || kind == kHostSAWStudio) {
        // These hosts only handle stereo I/O.
        for (int i = 2; i < NInChannels(); ++i) {
            SetInputChannelConnected(i, false);
        }
        for (int i = 2; i < NOutChannels(); ++i) {
            SetOutputChannelConnected(i, true);
        }
    }
    UpdateChannelCounts();
    OnHostIdentified();
}

void IPlugVST::AttachEditor(std::unique_ptr<IGraphicsLink> graphics) {
    PlugLockGuard guard(Lock());
    IPlugBase::AttachEditor(std::move(graphics));
    // The size is asked for when the host first wants it: that settles the
    // zoom the editor starts with.
    if (GetGraphics() != nullptr) aEffect_.flags |= effFlagsHasEditor;
}

void IPlugVST::UpdateEditRect() {
    if (IGraphicsLink* graphics = GetGraphics()) {
        editRect_ = ERect{0, 0, static_cast<int16_t>(graphics->Height()), static_cast<int16_t>(graphics->Width())};
    }
}

void IPlugVST::ResizeGraphics() {
    UpdateEditRect();
    OnWindowResize();
}

bool IPlugVST::RequestEditorSize(int width, int height) { return CallHost(audioMasterSizeWindow, width, height) != 0; }

void IPlugVST::SetLatencySamples(int samples) {
    IPlugBase::SetLatencySamples(samples);
    aEffect_.initialDelay = samples;
}

// --- Dispatcher -----------------------------------------------------------------

intptr_t KETTRIX_VST_CALL IPlugVST::VSTDispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                                  void* ptr, float opt) {
    if (effect == nullptr || effect->object == nullptr) {
        return 0;
    }
    auto* plug = static_cast<IPlugVST*>(effect->object);
    if (opcode == effClose) {
        { PlugLockGuard guard(plug->Lock()); }
        effect->object = nullptr;
        delete plug;
        return 0;
    }
    // Nothing may unwind into the host: a request that cannot be met (for
    // example a chunk that does not fit in memory) answers 0.
    try {
        return plug->Dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

intptr_t IPlugVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (opcode == effEditIdle) {
        // The graphics object lives as long as the instance once attached.
        if (IGraphicsLink* graphics = GetGraphics()) {
            graphics->Idle();
        }
        return 0;
    }
    if (opcode < effOpen || opcode > effGetSpeakerArrangement || opcode == effIdle) {
        return 0;
    }
    PlugLockGuard guard(Lock());
    switch (opcode) {
        case effOpen:
            HostSpecificInit();
            for (int i = 0; i < NParams(); ++i) {
                ParameterChanged(i);
            }
            return 0;
        case effSetProgram:
            BeforeProgramChange();
            if (value >= 0 && value <= INT_MAX) {
                LoadPreset(static_cast<int>(value));
            }
            return 0;
        case effGetProgram:
            return CurrentPresetIndex();
        case effSetProgramName:
            // A rename stores the state under the new name and changes
            // nothing else: the program stays what it is, so the program-
            // change follow-ups (keyboard mode, remembered user ranges) do
            // not run.
            if (ptr != nullptr) {
                const char* name = static_cast<const char*>(ptr);
                ModifyCurrentPreset(std::string(name, strnlen(name, kPresetNameMax)).c_str());
            }
            return 0;
        case effGetProgramName:
            if (ptr != nullptr) {
                CopyToHost(ptr, PresetName(CurrentPresetIndex()), kVstMaxProgNameLen);
            }
            return 0;
        case effGetParamLabel:
            if (const Param* param = ParamAt(index); param != nullptr && ptr != nullptr) {
                CopyToHost(ptr, param->HostLabel(), kParamTextBufferSize);
            }
            return 0;
        case effGetParamDisplay:
            if (const Param* param = ParamAt(index); param != nullptr && ptr != nullptr) {
                char text[kParamTextBufferSize];
                param->FormatCurrent(text, true);
                CopyToHost(ptr, text, kParamTextBufferSize);
            }
            return 0;
        case effGetParamName:
            if (const Param* param = ParamAt(index); param != nullptr && ptr != nullptr) {
                CopyToHost(ptr, param->HostName(), kParamTextBufferSize);
            }
            return 0;
        case effSetSampleRate:
            // A rate the engine cannot run at is ignored: NaN, infinities and
            // anything outside the rates audio hardware offers (the engine
            // sizes its tables and counters by the rate).
            if (IsUsableSampleRate(opt)) {
                SetSampleRate(opt);
                Reset();
            }
            return 0;
        case effSetBlockSize:
            SetBlockSize(ClampToInt(value));
            Reset();
            return 0;
        case effMainsChanged:
            if (value != 0) {
                SetActive(true);
            } else {
                SetActive(false);
                Reset();
            }
            return 0;
        case effEditGetRect:
            if (ptr != nullptr && GetGraphics() != nullptr) {
                UpdateEditRect();
                *static_cast<ERect**>(ptr) = &editRect_;
                return 1;
            }
            return 0;
        case effEditOpen:
            // A second open without a close keeps (or, for another parent,
            // moves) the one window; the plug-in hears of it once.
            if (GetGraphics() != nullptr && GetGraphics()->OpenWindow(ptr)) {
                if (!editorOpen_) {
                    editorOpen_ = true;
                    EditorOpened();
                }
                return 1;
            }
            return 0;
        case effEditClose:
            // Closing what is not open (or closing twice) changes nothing.
            if (GetGraphics() != nullptr) {
                if (editorOpen_) {
                    editorOpen_ = false;
                    EditorClosed();
                }
                GetGraphics()->CloseWindow();
                return 1;
            }
            return 0;
        case effIdentify:
            return kVst2IdentifyAnswer;
        case effGetChunk:
            return GetChunk(index, static_cast<void**>(ptr));
        case effSetChunk:
            return SetChunk(index, value, ptr);
        case effProcessEvents:
            return ProcessEvents(static_cast<const VstEvents*>(ptr));
        case effCanBeAutomated:
            return 1;
        case effString2Parameter:
            return String2Parameter(index, static_cast<const char*>(ptr));
        case effGetProgramNameIndexed: {
            const char* name = PresetName(index);
            if (ptr != nullptr) {
                CopyToHost(ptr, name, kVstMaxProgNameLen);
            }
            return name[0] != '\0' ? 1 : 0;
        }
        case effGetInputProperties:
            return PinProperties(false, index, static_cast<VstPinProperties*>(ptr));
        case effGetOutputProperties:
            return PinProperties(true, index, static_cast<VstPinProperties*>(ptr));
        case effGetPlugCategory:
            return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
        case effSetSpeakerArrangement:
            SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value), false);
            SetSpeakerArrangement(static_cast<const VstSpeakerArrangement*>(ptr), true);
            return 1;
        case effGetEffectName:
            if (ptr != nullptr) {
                CopyToHost(ptr, EffectName(), kVstMaxEffectNameLen);
                return 1;
            }
            return 0;
        case effGetVendorString:
            if (ptr != nullptr) {
                CopyToHost(ptr, VendorString(), kVstMaxVendorStrLen);
                return 1;
            }
            return 0;
        case effGetProductString:
            if (ptr != nullptr) {
                CopyToHost(ptr, ProductString(), kVstMaxProductStrLen);
                return 1;
            }
            return 0;
        case effVendorSpecific:
            return VendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return CanDo(static_cast<const char*>(ptr));
        case effGetVstVersion:
            return kVstVersion;
        case effGetSpeakerArrangement:
            if (value != 0) {
                *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputSpeakers_;
            }
            if (ptr != nullptr) {
                *static_cast<VstSpeakerArrangement**>(ptr) = &outputSpeakers_;
            }
            return 1;
        default:
            // Among them effGetMidiKeyName: this plug-in names no keys.
            return 0;
    }
}

intptr_t IPlugVST::GetChunk(int32_t index, void** data) {
    if (data == nullptr || !StateChunks()) {
        return 0;
    }
    Chunk& chunk = index == 0 ? bankChunk_ : programChunk_;
    chunk.Clear();
    WriteChunkFrame(chunk);
    bool ok = false;
    if (index == 0) {
        ModifyCurrentPreset();
        ok = SerializePresets(chunk);
    } else {
        ok = SerializeState(chunk);
    }
    if (!ok || chunk.Empty()) {
        return 0;
    }
    *data = chunk.Data();
    return chunk.Size();
}

intptr_t IPlugVST::SetChunk(int32_t index, intptr_t size, const void* data) {
    // A missing or empty chunk changes nothing.
    if (data == nullptr || size <= 0 || size > INT_MAX || !StateChunks()) {
        return 0;
    }
    Chunk& chunk = index == 0 ? bankChunk_ : programChunk_;
    chunk.Assign(data, static_cast<std::size_t>(size));

    // Header: 'pfft' and the framework version, or neither (a bare state).
    int32_t version = 0;
    int position = ReadChunkFrame(chunk, &version);
    if (position < 0) {
        // Magic without a version: nothing can be read safely.
        return 0;
    }
    if (index == 0 && version >= kFrameworkVersion) {
        position = UnserializePresets(chunk, position);
    } else {
        // A state that cannot be read whole changes nothing: neither the
        // live state nor the current preset.
        if (StateEnd(chunk, position) < 0) {
            return 0;
        }
        position = UnserializeState(chunk, position);
        ModifyCurrentPreset();
    }
    if (position < 0) {
        return 0;
    }
    RefreshParamControls();
    return 1;
}

intptr_t IPlugVST::ProcessEvents(const VstEvents* events) {
    if (events == nullptr) {
        return 0;
    }
    // The record declares two entries but the host allocates numEvents of
    // them: index through a pointer, not the declared array.
    VstEvent* const* list = events->events;
    for (int32_t i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (event == nullptr) {
            continue;
        }
        if (event->type == kVstMidiType) {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            ReceiveMidi(MidiMessage::FromBytes(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                                               static_cast<uint8_t>(midi->midiData[1]),
                                               static_cast<uint8_t>(midi->midiData[2])));
        } else if (event->type == kVstSysExType) {
            const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
            SysExMessage message;
            message.offset = sysex->deltaFrames;
            message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            message.size = sysex->sysexDump != nullptr ? std::max(0, sysex->dumpBytes) : 0;
            ReceiveSysEx(message);
        }
    }
    return 1;
}

intptr_t IPlugVST::String2Parameter(int32_t index, const char* text) {
    if (ParamAt(index) == nullptr) {
        return 0;
    }
    if (text == nullptr) {
        return 1;
    }
    double value = 0.0;
    if (!ParamValueFromText(index, text, &value)) {
        return 0;
    }
    SetParameterFromHost(index, value);
    return 1;
}

intptr_t IPlugVST::PinProperties(bool output, int32_t index, VstPinProperties* properties) {
    const int count = output ? NOutChannels() : NInChannels();
    if (properties == nullptr || index < 0 || index >= count) {
        return 0;
    }
    std::memset(properties, 0, sizeof *properties);
    properties->flags = kVstPinIsActive;
    if (index % 2 == 0 && index < count - 1) {
        properties->flags |= kVstPinIsStereo;
    }
    const std::string& label = output ? outChannels_[static_cast<std::size_t>(index)].label
                                      : inChannels_[static_cast<std::size_t>(index)].label;
    if (!label.empty()) {
        std::snprintf(properties->label, sizeof properties->label, "%s", label.c_str());
    } else {
        std::snprintf(properties->label, sizeof properties->label, output ? "Output %d" : "Input %d", index + 1);
    }
    return 1;
}

intptr_t IPlugVST::CanDo(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) {
        return 1;
    }
    if (ReceivesMidi()) {
        for (const char* midiAnswer :
             {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
            if (std::strcmp(text, midiAnswer) == 0) {
                return 1;
            }
        }
    }
    if (std::strcmp(text, "hasCockosExtensions") == 0) {
        hostExtensions_ |= 1;
        return kReaperCanDoAnswer;
    }
    if (std::strcmp(text, "hasCockosViewAsConfig") == 0) {
        hostExtensions_ |= 2;
        return kReaperCanDoAnswer;
    }
    return 0;
}

intptr_t IPlugVST::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
    if (index == kVendorDisplayQuery) {
        if (ptr == nullptr) {
            return 0;
        }
        if (value >= 0 && value <= INT_MAX) {
            if (const Param* param = ParamAt(static_cast<int>(value))) {
                char text[kParamTextBufferSize];
                param->FormatValue(opt, true, text, true);
                CopyToHost(ptr, text, kParamTextBufferSize);
            }
        }
        return kReaperAnswer;
    }
    if (index == kVendorIntegerStepQuery) {
        const Param* param = value >= 0 && value <= INT_MAX ? ParamAt(static_cast<int>(value)) : nullptr;
        return param != nullptr && param->GetType() != Param::Type::Continuous ? kReaperAnswer : 0;
    }
    return 0;
}

void IPlugVST::SetSpeakerArrangement(const VstSpeakerArrangement* arrangement, bool output) {
    if (arrangement == nullptr) {
        return;
    }
    const int count = output ? NOutChannels() : NInChannels();
    const int connected = std::clamp(arrangement->numChannels, 0, count);
    for (int i = 0; i < count; ++i) {
        if (output) {
            SetOutputChannelConnected(i, i < connected);
        } else {
            SetInputChannelConnected(i, i < connected);
        }
    }
}

// --- Parameters and audio --------------------------------------------------------

float KETTRIX_VST_CALL IPlugVST::VSTGetParameter(AEffect* effect, int32_t index) {
    if (effect == nullptr || effect->object == nullptr) {
        return 0.0f;
    }
    auto* plug = static_cast<IPlugVST*>(effect->object);
    PlugLockGuard guard(plug->Lock());
    const Param* param = plug->ParamAt(index);
    return param != nullptr ? static_cast<float>(param->Normalized()) : 0.0f;
}

void KETTRIX_VST_CALL IPlugVST::VSTSetParameter(AEffect* effect, int32_t index, float value) {
    if (effect == nullptr || effect->object == nullptr) {
        return;
    }
    auto* plug = static_cast<IPlugVST*>(effect->object);
    PlugLockGuard guard(plug->Lock());
    Param* param = plug->ParamAt(index);
    if (param == nullptr) {
        return;
    }
    // A host value outside 0..1 (or NaN) reaches neither editor nor engine.
    const double normalized = value == value ? std::clamp(static_cast<double>(value), 0.0, 1.0) : 0.0;
    if (IGraphicsLink* graphics = plug->GetGraphics()) {
        graphics->SetParameterFromPlug(index, normalized, true);
    }
    param->SetFromNormalized(normalized);
    plug->ParameterChanged(index);
}

template <typename Sample>
void IPlugVST::ProcessFloatOrDouble(Sample** inputs, Sample** outputs, int32_t frames, bool accumulate) {
    if (frames <= 0 || outputs == nullptr) {
        return;
    }
    PlugLockGuard guard(Lock());
    [[maybe_unused]] DenormalGuard denormals;
    if (ReceivesMidi()) {
        CallHost(audioMasterWantMidi, 0, 1);
    }
    std::vector<Sample*>* pieces = nullptr;
    if constexpr (std::is_same_v<Sample, float>) {
        pieces = floatPieces_;
    } else {
        pieces = doublePieces_;
    }
    const int nIn = NInChannels();
    const int nOut = NOutChannels();
    // The scratch buffers hold one block size; longer host blocks are
    // rendered in pieces, each starting where the previous one ended.
    for (int start = 0; start < frames; start += GetBlockSize()) {
        const int length = std::min(GetBlockSize(), frames - start);
        for (int i = 0; i < nIn; ++i) {
            Sample* host = inputs != nullptr ? inputs[i] : nullptr;
            pieces[0][static_cast<std::size_t>(i)] = host != nullptr ? host + start : nullptr;
        }
        for (int i = 0; i < nOut; ++i) {
            Sample* host = outputs[i];
            pieces[1][static_cast<std::size_t>(i)] = host != nullptr ? host + start : nullptr;
        }
        if constexpr (std::is_same_v<Sample, float>) {
            AttachInputBuffers(pieces[0].data(), nIn, length);
            AttachOutputBuffers(pieces[1].data(), nOut);
            ProcessAttached(length);
            CopyOutputsToFloat(length, accumulate);
        } else {
            AttachInputBuffers(pieces[0].data(), nIn);
            AttachOutputBuffers(pieces[1].data(), nOut);
            ProcessAttached(length);
        }
    }
}

void KETTRIX_VST_CALL IPlugVST::VSTProcess(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (effect != nullptr && effect->object != nullptr) {
        static_cast<IPlugVST*>(effect->object)->ProcessFloatOrDouble(inputs, outputs, frames, true);
    }
}

void KETTRIX_VST_CALL IPlugVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (effect != nullptr && effect->object != nullptr) {
        static_cast<IPlugVST*>(effect->object)->ProcessFloatOrDouble(inputs, outputs, frames, false);
    }
}

void KETTRIX_VST_CALL IPlugVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                          int32_t frames) {
    if (effect != nullptr && effect->object != nullptr) {
        static_cast<IPlugVST*>(effect->object)->ProcessFloatOrDouble(inputs, outputs, frames, false);
    }
}

}  // namespace kettrix
