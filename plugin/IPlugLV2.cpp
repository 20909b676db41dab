#include "plugin/IPlugLV2.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/DenormalGuard.h"
#include "plugin/Lv2Ports.h"

namespace kettrix {

const void* IPlugLV2::FeatureData(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
        if (std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    }
    return nullptr;
}

// The extension tables of the descriptor; each entry finds its instance
// through the handle, which is the adapter.
struct IPlugLV2::Interfaces {
    static IPlugLV2* From(LV2_Handle handle) { return static_cast<IPlugLV2*>(handle); }

    static constexpr LV2_State_Interface kState = {
        [](LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
            return From(h)->SaveState(store, handle);
        },
        [](LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
           const LV2_Feature* const*) { return From(h)->RestoreState(retrieve, handle); },
    };

    static constexpr LV2_Options_Interface kOptions = {
        // Nothing is offered for reading: the block size is the host's.
        [](LV2_Handle, LV2_Options_Option*) -> uint32_t { return LV2_OPTIONS_ERR_UNKNOWN; },
        [](LV2_Handle h, const LV2_Options_Option* options) -> uint32_t {
            IPlugLV2* plug = From(h);
            PlugLockGuard guard(plug->Lock());
            return plug->ApplyOptions(options);
        },
    };
};

IPlugLV2::IPlugLV2(const PlugConfig& config, const LV2_Feature* const* features) : IPlugBase(config) {
    map_ = static_cast<LV2_URID_Map*>(const_cast<void*>(FeatureData(features, LV2_URID__map)));
    MapUrids();
    audioPorts_.assign(lv2::kAudioPortCount, nullptr);
    outputPointers_.assign(static_cast<std::size_t>(NOutChannels()), nullptr);
    controlPorts_.assign(static_cast<std::size_t>(NParams()), nullptr);
    // Room for a value of every parameter and as many gestures again twice.
    news_.resize(static_cast<std::size_t>(3 * NParams()));
    valueQueued_.assign(static_cast<std::size_t>(NParams()), 0);
    for (int i = 0; i < NOutChannels(); ++i) {
        SetOutputChannelConnected(i, true);
    }
    SetBlockSize(kDefaultBlockSize);
    ApplyOptions(static_cast<const LV2_Options_Option*>(FeatureData(features, LV2_OPTIONS__options)));
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::MapUrids() {
    if (map_ == nullptr) return;
    const auto map = [this](const char* uri) { return map_->map(map_->handle, uri); };
    urids_.atomChunk = map(LV2_ATOM__Chunk);
    urids_.atomInt = map(LV2_ATOM__Int);
    urids_.atomSequence = map(LV2_ATOM__Sequence);
    urids_.midiEvent = map(LV2_MIDI__MidiEvent);
    urids_.maxBlockLength = map(LV2_BUF_SIZE__maxBlockLength);
    urids_.nominalBlockLength = map(LV2_BUF_SIZE__nominalBlockLength);
    urids_.stateChunk = map(lv2::kStateChunkUri);
}

void IPlugLV2::FinishConstruction(double sampleRate) {
    FillEmptyPresets("Empty", NPresets());
    PlugLockGuard guard(Lock());
    SetSampleRate(sampleRate);
    // As a VST 2 host's open: engine and editor take every value over.
    OnHostIdentified();
    lastControl_.assign(static_cast<std::size_t>(NParams()), 0.0f);
    for (int i = 0; i < NParams(); ++i) {
        ParameterChanged(i);
        // The host starts every control port at the table's default, so the
        // defaults are what its ports "last showed": only a value the host
        // sets itself changes the kit the instance starts with.
        lastControl_[static_cast<std::size_t>(i)] = static_cast<float>(ParamAt(i)->Default());
    }
    Reset();
}

uint32_t IPlugLV2::ApplyOptions(const LV2_Options_Option* options) {
    uint32_t status = LV2_OPTIONS_SUCCESS;
    // A nominal length is the block size; without one the largest will do.
    int32_t nominal = 0, largest = 0;
    for (const LV2_Options_Option* o = options; o != nullptr && o->key != 0; ++o) {
        const bool isInt = o->type == urids_.atomInt && o->size == sizeof(int32_t) && o->value != nullptr;
        if (o->key == urids_.nominalBlockLength && isInt) {
            nominal = *static_cast<const int32_t*>(o->value);
        } else if (o->key == urids_.maxBlockLength && isInt) {
            largest = *static_cast<const int32_t*>(o->value);
        } else if (o->key == urids_.nominalBlockLength || o->key == urids_.maxBlockLength) {
            status |= LV2_OPTIONS_ERR_BAD_VALUE;
        } else {
            status |= LV2_OPTIONS_ERR_BAD_KEY;
        }
    }
    const int32_t frames = nominal > 0 ? nominal : largest;
    if (frames > 0 && frames != GetBlockSize()) {
        SetBlockSize(std::min(frames, kMaxBlockSize));
        Reset();
    }
    return status;
}

const void* IPlugLV2::ExtensionData(const char* uri) {
    if (uri == nullptr) return nullptr;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &Interfaces::kState;
    if (std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &Interfaces::kOptions;
    return nullptr;
}

// --- Ports and audio -----------------------------------------------------------------

void IPlugLV2::ConnectPort(uint32_t port, void* data) {
    if (port == lv2::kEventInputPort) {
        events_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port >= lv2::kFirstAudioPort && port < lv2::kFirstAudioPort + lv2::kAudioPortCount) {
        audioPorts_[port - lv2::kFirstAudioPort] = static_cast<float*>(data);
    } else if (port >= lv2::kFirstControlPort && lv2::ParamOfControlPort(port) < NParams()) {
        controlPorts_[static_cast<std::size_t>(lv2::ParamOfControlPort(port))] = static_cast<const float*>(data);
    }
}

void IPlugLV2::Activate() {
    PlugLockGuard guard(Lock());
    Reset();
    SetActive(true);
}

void IPlugLV2::Deactivate() {
    PlugLockGuard guard(Lock());
    SetActive(false);
    Reset();
}

void IPlugLV2::Run(uint32_t frames) {
    PlugLockGuard guard(Lock());
    [[maybe_unused]] DenormalGuard denormals;
    // Control ports hold one value per run: changes apply from its start.
    ApplyControlChanges();
    ReadEvents(frames);
    RenderBlock(frames);
}

void IPlugLV2::ApplyControlChanges() {
    for (std::size_t i = 0; i < controlPorts_.size(); ++i) {
        const float* port = controlPorts_[i];
        if (port == nullptr) continue;
        const float value = *port;
        if (value == lastControl_[i] || !std::isfinite(value)) continue;
        lastControl_[i] = value;
        // A port that now shows what the parameter holds (the host took the
        // UI's news) brings nothing new; setting it again would round the
        // plain value to the port's float.
        if (value == static_cast<float>(ParamAt(static_cast<int>(i))->Value())) continue;
        SetParameterFromHost(static_cast<int>(i), static_cast<double>(value));
    }
}

void IPlugLV2::ReadEvents(uint32_t frames) {
    if (events_ == nullptr || events_->atom.type != urids_.atomSequence || frames == 0) return;
    LV2_ATOM_SEQUENCE_FOREACH(events_, event) {
        if (event->body.type != urids_.midiEvent || event->body.size == 0) continue;
        const auto* bytes = reinterpret_cast<const uint8_t*>(event + 1);
        // Channel messages only; system messages mean nothing to the drums.
        if (bytes[0] < 0x80 || bytes[0] >= 0xF0) continue;
        const int64_t at = std::clamp<int64_t>(event->time.frames, 0, static_cast<int64_t>(frames) - 1);
        const uint8_t data1 = event->body.size > 1 ? bytes[1] : 0;
        const uint8_t data2 = event->body.size > 2 ? bytes[2] : 0;
        ReceiveMidi(MidiMessage::FromBytes(static_cast<int>(at), bytes[0], data1, data2));
    }
}

void IPlugLV2::RenderBlock(uint32_t frames) {
    for (std::size_t c = 0; c < outputPointers_.size(); ++c) {
        outputPointers_[c] = c < audioPorts_.size() ? audioPorts_[c] : nullptr;
    }
    // A run longer than the block size goes in pieces (the MIDI queue moves
    // its offsets on after each piece).
    RenderFloatInPieces(outputPointers_, frames);
}

// --- News for the host -------------------------------------------------------------------

void IPlugLV2::BeginHostParamEdit(int paramIndex) { QueueNews(PortNews::Kind::Begin, paramIndex); }

void IPlugLV2::NotifyHostParam(int paramIndex, double) { QueueNews(PortNews::Kind::Value, paramIndex); }

void IPlugLV2::EndHostParamEdit(int paramIndex) { QueueNews(PortNews::Kind::End, paramIndex); }

void IPlugLV2::QueueNews(PortNews::Kind kind, int paramIndex) {
    PlugLockGuard guard(Lock());
    if (paramIndex < 0 || paramIndex >= NParams()) return;
    const auto index = static_cast<std::size_t>(paramIndex);
    if (kind == PortNews::Kind::Value) {
        if (valueQueued_[index]) return;
        valueQueued_[index] = 1;
    } else if (newsCount_ + valueQueued_.size() >= news_.size()) {
        // Gestures beyond the room are dropped; values always fit.
        return;
    }
    news_[newsCount_++] = QueuedNews{kind, paramIndex};
}

void IPlugLV2::QueuePortCatchUp() {
    PlugLockGuard guard(Lock());
    for (int i = 0; i < NParams(); ++i) {
        if (static_cast<float>(ParamAt(i)->Value()) != lastControl_[static_cast<std::size_t>(i)]) {
            QueueNews(PortNews::Kind::Value, i);
        }
    }
}

std::size_t IPlugLV2::TakePortNews(std::vector<PortNews>& news) {
    PlugLockGuard guard(Lock());
    news.resize(newsCount_);
    for (std::size_t i = 0; i < newsCount_; ++i) {
        const QueuedNews& queued = news_[i];
        float value = 0.0f;
        if (queued.kind == PortNews::Kind::Value) {
            valueQueued_[static_cast<std::size_t>(queued.param)] = 0;
            value = static_cast<float>(ParamAt(queued.param)->Value());
        }
        news[i] = PortNews{queued.kind, lv2::ControlPortOf(queued.param), value};
    }
    const std::size_t count = newsCount_;
    newsCount_ = 0;
    return count;
}

// --- State -------------------------------------------------------------------------------

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (store == nullptr) return LV2_STATE_ERR_UNKNOWN;
    PlugLockGuard guard(Lock());
    if (!GetProgramChunk(stateChunk_) || stateChunk_.Size() <= 0) return LV2_STATE_ERR_UNKNOWN;
    // Plain bytes, the same on every machine: the host may copy and keep them.
    return store(handle, urids_.stateChunk, stateChunk_.Data(), static_cast<std::size_t>(stateChunk_.Size()),
                 urids_.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
    std::size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve(handle, urids_.stateChunk, &size, &type, &flags);
    if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != urids_.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    PlugLockGuard guard(Lock());
    stateChunk_.Assign(data, size);
    // A chunk that does not hold a whole state changes nothing.
    if (!SetProgramChunk(stateChunk_)) return LV2_STATE_ERR_UNKNOWN;
    QueuePortCatchUp();
    return LV2_STATE_SUCCESS;
}

// --- Editor ---------------------------------------------------------------------------------

bool IPlugLV2::OpenEditorWindow(unsigned long parent, const LV2UI_Resize* resize) {
    bool firstShown = false;
    if (!ShowEmbeddedEditor(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)), &firstShown)) return false;
    uiResize_ = resize;
    if (firstShown) QueuePortCatchUp();
    return true;
}

void IPlugLV2::CloseEditorWindow() {
    uiResize_ = nullptr;
    CloseEmbeddedEditor();
}

// ui:resize answers 0 when the host took the size.
bool IPlugLV2::RequestEditorSize(int width, int height) {
    return uiResize_ != nullptr && uiResize_->ui_resize != nullptr &&
           uiResize_->ui_resize(uiResize_->handle, width, height) == 0;
}

void IPlugLV2::ServiceEditor() { ServiceEmbeddedEditor(); }

}  // namespace kettrix
