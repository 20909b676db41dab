#include "plugin/IPlugCLAP.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/DenormalGuard.h"

namespace kettrix {

namespace {

// The largest state a host stream may hand over; a state chunk is some
// eleven kilobytes, so anything near this is not one of ours.
constexpr std::size_t kLargestState = 1u << 24;

uint32_t FlagsOf(const Param& param) {
    uint32_t flags = CLAP_PARAM_IS_AUTOMATABLE;
    switch (param.GetType()) {
        case Param::Type::None:
            // The table's unused slots: kept for their index, never shown.
            return CLAP_PARAM_IS_HIDDEN | CLAP_PARAM_IS_READONLY;
        case Param::Type::Switch:
        case Param::Type::Integer:
            flags |= CLAP_PARAM_IS_STEPPED;
            break;
        case Param::Type::Enumeration:
            flags |= CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM;
            break;
        case Param::Type::Continuous:
            break;
    }
    if (!param.DisplayTexts().empty() && param.GetType() != Param::Type::Continuous) {
        flags |= CLAP_PARAM_IS_ENUM;
    }
    return flags;
}

// A CLAP note velocity (0..1) as the MIDI velocity it plays like.
uint8_t MidiVelocity(double velocity) {
    const double clamped = velocity == velocity ? std::clamp(velocity, 0.0, 1.0) : 0.0;
    return static_cast<uint8_t>(std::lround(clamped * 127.0));
}

}  // namespace

// The function tables of the extensions; each entry finds its instance
// through the plug-in record.
struct IPlugCLAP::Extensions {
    // The editor's one size, for get_size and, whatever the host proposes,
    // for adjust_size.
    static bool EditorSize(const clap_plugin_t* p, uint32_t* width, uint32_t* height) {
        const IGraphicsLink* graphics = From(p)->GetGraphics();
        if (graphics == nullptr || width == nullptr || height == nullptr) return false;
        *width = static_cast<uint32_t>(graphics->Width());
        *height = static_cast<uint32_t>(graphics->Height());
        return true;
    }

    static constexpr clap_plugin_audio_ports_t kAudioPorts = {
        [](const clap_plugin_t* p, bool isInput) -> uint32_t {
            return isInput ? 0u : static_cast<uint32_t>(From(p)->NOutChannels() / 2);
        },
        [](const clap_plugin_t* p, uint32_t index, bool isInput, clap_audio_port_info_t* info) -> bool {
            IPlugCLAP* plug = From(p);
            if (isInput || info == nullptr || index >= static_cast<uint32_t>(plug->NOutChannels() / 2)) return false;
            *info = clap_audio_port_info_t{};
            info->id = index;
            std::string name = plug->OutputBusLabel(static_cast<int>(index));
            if (name.empty()) name = "Output " + std::to_string(index + 1);
            std::snprintf(info->name, sizeof info->name, "%s", name.c_str());
            info->flags = index == 0 ? CLAP_AUDIO_PORT_IS_MAIN : 0u;
            info->channel_count = 2;
            info->port_type = CLAP_PORT_STEREO;
            info->in_place_pair = CLAP_INVALID_ID;
            return true;
        },
    };

    static constexpr clap_plugin_note_ports_t kNotePorts = {
        [](const clap_plugin_t* p, bool isInput) -> uint32_t { return isInput && From(p)->ReceivesMidi() ? 1u : 0u; },
        [](const clap_plugin_t* p, uint32_t index, bool isInput, clap_note_port_info_t* info) -> bool {
            if (!isInput || index != 0 || info == nullptr || !From(p)->ReceivesMidi()) return false;
            *info = clap_note_port_info_t{};
            info->id = 0;
            info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
            info->preferred_dialect = CLAP_NOTE_DIALECT_CLAP;
            std::snprintf(info->name, sizeof info->name, "%s", "Notes");
            return true;
        },
    };

    static constexpr clap_plugin_params_t kParams = {
        [](const clap_plugin_t* p) -> uint32_t { return static_cast<uint32_t>(From(p)->NParams()); },
        [](const clap_plugin_t* p, uint32_t index, clap_param_info_t* info) -> bool {
            return From(p)->GetParamInfo(index, info);
        },
        [](const clap_plugin_t* p, clap_id id, double* value) -> bool {
            IPlugCLAP* plug = From(p);
            PlugLockGuard guard(plug->Lock());
            const Param* param = id <= INT_MAX ? plug->ParamAt(static_cast<int>(id)) : nullptr;
            if (param == nullptr || value == nullptr) return false;
            *value = param->Value();
            return true;
        },
        [](const clap_plugin_t* p, clap_id id, double value, char* out, uint32_t capacity) -> bool {
            return From(p)->ValueToText(id, value, out, capacity);
        },
        [](const clap_plugin_t* p, clap_id id, const char* text, double* value) -> bool {
            IPlugCLAP* plug = From(p);
            PlugLockGuard guard(plug->Lock());
            return value != nullptr && id <= INT_MAX && plug->ParamValueFromText(static_cast<int>(id), text, value);
        },
        [](const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out) {
            From(p)->Flush(in, out);
        },
    };

    static constexpr clap_plugin_state_t kState = {
        [](const clap_plugin_t* p, const clap_ostream_t* stream) -> bool { return From(p)->SaveState(stream); },
        [](const clap_plugin_t* p, const clap_istream_t* stream) -> bool { return From(p)->LoadState(stream); },
    };

    static constexpr clap_plugin_latency_t kLatency = {
        [](const clap_plugin_t* p) -> uint32_t { return static_cast<uint32_t>(std::max(0, From(p)->Latency())); },
    };

    static constexpr clap_plugin_gui_t kGui = {
        [](const clap_plugin_t*, const char* api, bool floating) -> bool {
            return api != nullptr && std::strcmp(api, CLAP_WINDOW_API_X11) == 0 && !floating;
        },
        [](const clap_plugin_t*, const char** api, bool* floating) -> bool {
            if (api == nullptr || floating == nullptr) return false;
            *api = CLAP_WINDOW_API_X11;
            *floating = false;
            return true;
        },
        [](const clap_plugin_t* p, const char* api, bool floating) -> bool {
            return From(p)->GuiCreate(api, floating);
        },
        [](const clap_plugin_t* p) { From(p)->GuiDestroy(); },
        [](const clap_plugin_t*, double) -> bool { return false; },
        &EditorSize,
        [](const clap_plugin_t*) -> bool { return false; },
        // A fixed size: said outright, since hosts (Qtractor) log a plug-in
        // that leaves the hints unanswered.
        [](const clap_plugin_t* p, clap_gui_resize_hints_t* hints) -> bool {
            const IGraphicsLink* graphics = From(p)->GetGraphics();
            if (hints == nullptr || graphics == nullptr) return false;
            *hints = {false, false, true, static_cast<uint32_t>(graphics->Width()),
                      static_cast<uint32_t>(graphics->Height())};
            return true;
        },
        &EditorSize,
        [](const clap_plugin_t* p, uint32_t width, uint32_t height) -> bool {
            const IGraphicsLink* graphics = From(p)->GetGraphics();
            return graphics != nullptr && width == static_cast<uint32_t>(graphics->Width()) &&
                   height == static_cast<uint32_t>(graphics->Height());
        },
        [](const clap_plugin_t* p, const clap_window_t* window) -> bool { return From(p)->GuiSetParent(window); },
        [](const clap_plugin_t*, const clap_window_t*) -> bool { return false; },
        [](const clap_plugin_t*, const char*) {},
        [](const clap_plugin_t* p) -> bool { return From(p)->GuiShow(); },
        [](const clap_plugin_t* p) -> bool { return From(p)->GuiHide(); },
    };

    static constexpr clap_plugin_timer_support_t kTimer = {
        [](const clap_plugin_t* p, clap_id id) {
            IPlugCLAP* plug = From(p);
            if (id == plug->timerId_) plug->ServiceEditor();
        },
    };

    static constexpr clap_plugin_posix_fd_support_t kPosixFd = {
        [](const clap_plugin_t* p, int fd, uint32_t) {
            IPlugCLAP* plug = From(p);
            if (fd == plug->registeredFd_) plug->ServiceEditor();
        },
    };
};

IPlugCLAP::IPlugCLAP(const PlugConfig& config, const clap_host_t* host) : IPlugBase(config), host_(host) {
    plugin_.plugin_data = this;
    plugin_.init = [](const clap_plugin_t* p) -> bool { return From(p)->Init(); };
    plugin_.destroy = [](const clap_plugin_t* p) {
        IPlugCLAP* plug = From(p);
        // The window goes while the whole instance still exists.
        plug->CloseEditorWindow();
        { PlugLockGuard guard(plug->Lock()); }
        delete plug;
    };
    plugin_.activate = [](const clap_plugin_t* p, double rate, uint32_t, uint32_t maxFrames) -> bool {
        return From(p)->Activate(rate, maxFrames);
    };
    plugin_.deactivate = [](const clap_plugin_t* p) { From(p)->Deactivate(); };
    plugin_.start_processing = [](const clap_plugin_t* p) -> bool {
        IPlugCLAP* plug = From(p);
        PlugLockGuard guard(plug->Lock());
        plug->processing_ = true;
        return true;
    };
    plugin_.stop_processing = [](const clap_plugin_t* p) {
        IPlugCLAP* plug = From(p);
        PlugLockGuard guard(plug->Lock());
        plug->processing_ = false;
    };
    plugin_.reset = [](const clap_plugin_t* p) { From(p)->Reset(); };
    plugin_.process = [](const clap_plugin_t* p, const clap_process_t* process) -> clap_process_status {
        return From(p)->Process(process);
    };
    plugin_.get_extension = [](const clap_plugin_t* p, const char* id) -> const void* {
        return From(p)->GetExtension(id);
    };
    plugin_.on_main_thread = [](const clap_plugin_t*) {};
    outputPointers_.resize(static_cast<std::size_t>(NOutChannels()), nullptr);
    for (int i = 0; i < NOutChannels(); ++i) {
        SetOutputChannelConnected(i, true);
    }
    SetBlockSize(kDefaultBlockSize);
}

IPlugCLAP::~IPlugCLAP() = default;

void IPlugCLAP::FinishConstruction() { FillEmptyPresets("Empty", NPresets()); }

IPlugCLAP* IPlugCLAP::From(const clap_plugin_t* plugin) { return static_cast<IPlugCLAP*>(plugin->plugin_data); }

const void* IPlugCLAP::HostExtension(const char* id) const {
    return host_ != nullptr && host_->get_extension != nullptr ? host_->get_extension(host_, id) : nullptr;
}

const void* IPlugCLAP::GetExtension(const char* id) const {
    if (id == nullptr) return nullptr;
    const std::string name = id;
    if (name == CLAP_EXT_AUDIO_PORTS) return &Extensions::kAudioPorts;
    if (name == CLAP_EXT_NOTE_PORTS) return &Extensions::kNotePorts;
    if (name == CLAP_EXT_PARAMS) return &Extensions::kParams;
    if (name == CLAP_EXT_STATE && StateChunks()) return &Extensions::kState;
    if (name == CLAP_EXT_LATENCY) return &Extensions::kLatency;
    if (GetGraphics() != nullptr) {
        if (name == CLAP_EXT_GUI) return &Extensions::kGui;
        if (name == CLAP_EXT_TIMER_SUPPORT) return &Extensions::kTimer;
        if (name == CLAP_EXT_POSIX_FD_SUPPORT) return &Extensions::kPosixFd;
    }
    return nullptr;
}

// --- Life cycle ---------------------------------------------------------------------

bool IPlugCLAP::Init() {
    PlugLockGuard guard(Lock());
    // As a VST 2 host's open: engine and editor take every value over.
    OnHostIdentified();
    for (int i = 0; i < NParams(); ++i) {
        ParameterChanged(i);
    }
    return true;
}

bool IPlugCLAP::Activate(double sampleRate, uint32_t maxFrames) {
    if (!IsUsableSampleRate(sampleRate) || maxFrames == 0) return false;
    PlugLockGuard guard(Lock());
    SetSampleRate(sampleRate);
    SetBlockSize(static_cast<int>(std::min<uint32_t>(maxFrames, kMaxBlockSize)));
    Reset();
    SetActive(true);
    active_ = true;
    return true;
}

void IPlugCLAP::Deactivate() {
    PlugLockGuard guard(Lock());
    active_ = false;
    SetActive(false);
    Reset();
}

// --- Audio --------------------------------------------------------------------------------

clap_process_status IPlugCLAP::Process(const clap_process_t* process) {
    if (process == nullptr) return CLAP_PROCESS_ERROR;
    PlugLockGuard guard(Lock());
    [[maybe_unused]] DenormalGuard denormals;
    transport_ = process->transport;
    const uint32_t frames = process->frames_count;
    const clap_input_events_t* in = process->in_events;
    const uint32_t count = in != nullptr && in->size != nullptr ? in->size(in) : 0;
    // Parameter changes split the block so each applies from its sample on;
    // notes are queued at their offset within the piece that holds them.
    uint32_t start = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* event = in->get(in, i);
        if (event == nullptr || event->space_id != CLAP_CORE_EVENT_SPACE_ID) continue;
        const uint32_t time = std::clamp(event->time, start, frames);
        if (event->type == CLAP_EVENT_PARAM_VALUE && time > start) {
            RenderRange(process, start, time);
            start = time;
        }
        HandleEvent(event, static_cast<int>(time - start));
    }
    RenderRange(process, start, frames);
    PushPending(process->out_events);
    transport_ = nullptr;
    return CLAP_PROCESS_CONTINUE;
}

void IPlugCLAP::HandleEvent(const clap_event_header_t* event, int offset) {
    switch (event->type) {
        case CLAP_EVENT_NOTE_ON:
        case CLAP_EVENT_NOTE_OFF: {
            const auto* note = reinterpret_cast<const clap_event_note_t*>(event);
            if (note->key < 0 || note->key > 127) return;
            const uint8_t channel = static_cast<uint8_t>(note->channel >= 0 && note->channel < 16 ? note->channel : 0);
            const uint8_t status = static_cast<uint8_t>((event->type == CLAP_EVENT_NOTE_ON ? 0x90 : 0x80) | channel);
            ReceiveMidi(
                MidiMessage::FromBytes(offset, status, static_cast<uint8_t>(note->key), MidiVelocity(note->velocity)));
            return;
        }
        case CLAP_EVENT_MIDI: {
            const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
            ReceiveMidi(MidiMessage::FromBytes(offset, midi->data[0], midi->data[1], midi->data[2]));
            return;
        }
        case CLAP_EVENT_PARAM_VALUE: {
            const auto* change = reinterpret_cast<const clap_event_param_value_t*>(event);
            if (change->param_id <= INT_MAX) SetParameterFromHost(static_cast<int>(change->param_id), change->value);
            return;
        }
        default:
            return;
    }
}

void IPlugCLAP::RenderRange(const clap_process_t* process, uint32_t start, uint32_t end) {
    // The host's ports in order, two channels each, as the plug-in's channel
    // list; a missing port or channel renders into scratch only.
    std::size_t next = 0;
    for (uint32_t port = 0; port < process->audio_outputs_count && process->audio_outputs != nullptr; ++port) {
        const clap_audio_buffer_t& buffer = process->audio_outputs[port];
        for (uint32_t c = 0; c < 2 && next < outputPointers_.size(); ++c, ++next) {
            outputPointers_[next] =
                buffer.data32 != nullptr && c < buffer.channel_count ? buffer.data32[c] + start : nullptr;
        }
    }
    for (; next < outputPointers_.size(); ++next) outputPointers_[next] = nullptr;
    RenderFloatInPieces(outputPointers_, end - start);
}

// --- Parameters -------------------------------------------------------------------------

bool IPlugCLAP::GetParamInfo(uint32_t index, clap_param_info_t* info) const {
    const Param* param = index <= INT_MAX ? ParamAt(static_cast<int>(index)) : nullptr;
    if (param == nullptr || info == nullptr) return false;
    *info = clap_param_info_t{};
    info->id = index;
    info->flags = FlagsOf(*param);
    std::snprintf(info->name, sizeof info->name, "%s", param->Name().c_str());
    std::snprintf(info->module, sizeof info->module, "%s", param->Group().c_str());
    info->min_value = param->Min();
    info->max_value = param->Max();
    info->default_value = param->Default();
    return true;
}

bool IPlugCLAP::ValueToText(clap_id id, double value, char* out, uint32_t capacity) const {
    const Param* param = id <= INT_MAX ? ParamAt(static_cast<int>(id)) : nullptr;
    if (param == nullptr || out == nullptr || capacity == 0) return false;
    char text[kParamTextBufferSize];
    param->FormatValue(value, false, text, true);
    const bool shownAsText = param->DisplayTextFor(static_cast<int>(std::floor(value))) != nullptr;
    if (!shownAsText && !param->Label().empty()) {
        std::snprintf(out, capacity, "%s %s", text, param->Label().c_str());
    } else {
        std::snprintf(out, capacity, "%s", text);
    }
    return true;
}

void IPlugCLAP::Flush(const clap_input_events_t* in, const clap_output_events_t* out) {
    PlugLockGuard guard(Lock());
    const uint32_t count = in != nullptr && in->size != nullptr ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* event = in->get(in, i);
        if (event != nullptr && event->space_id == CLAP_CORE_EVENT_SPACE_ID && event->type == CLAP_EVENT_PARAM_VALUE) {
            HandleEvent(event, 0);
        }
    }
    PushPending(out);
}

void IPlugCLAP::QueueEvent(uint16_t type, int paramIndex, double value) {
    PlugLockGuard guard(Lock());
    // Without room the oldest news stays and this one is dropped; the host
    // still reads the value through get_value.
    if (pendingCount_ < pending_.size()) {
        pending_[pendingCount_++] = PendingEvent{type, static_cast<clap_id>(paramIndex), value};
    }
    // Outside processing the host delivers them through flush.
    if (!processing_) {
        if (const auto* params = static_cast<const clap_host_params_t*>(HostExtension(CLAP_EXT_PARAMS))) {
            if (params->request_flush != nullptr) params->request_flush(host_);
        }
    }
}

void IPlugCLAP::PushPending(const clap_output_events_t* out) {
    if (out == nullptr || out->try_push == nullptr) {
        pendingCount_ = 0;
        return;
    }
    for (std::size_t i = 0; i < pendingCount_; ++i) {
        const PendingEvent& pending = pending_[i];
        if (pending.type == CLAP_EVENT_PARAM_VALUE) {
            clap_event_param_value_t event{};
            event.header = {sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
            event.param_id = pending.param;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = pending.value;
            out->try_push(out, &event.header);
        } else {
            clap_event_param_gesture_t event{};
            event.header = {sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID, pending.type, 0};
            event.param_id = pending.param;
            out->try_push(out, &event.header);
        }
    }
    pendingCount_ = 0;
}

void IPlugCLAP::BeginHostParamEdit(int paramIndex) { QueueEvent(CLAP_EVENT_PARAM_GESTURE_BEGIN, paramIndex, 0.0); }

void IPlugCLAP::NotifyHostParam(int paramIndex, double) {
    // The host hears the plain value as stored.
    const Param* param = ParamAt(paramIndex);
    if (param != nullptr) QueueEvent(CLAP_EVENT_PARAM_VALUE, paramIndex, param->Value());
    if (const auto* state = static_cast<const clap_host_state_t*>(HostExtension(CLAP_EXT_STATE))) {
        if (state->mark_dirty != nullptr) state->mark_dirty(host_);
    }
}

void IPlugCLAP::EndHostParamEdit(int paramIndex) { QueueEvent(CLAP_EVENT_PARAM_GESTURE_END, paramIndex, 0.0); }

// --- Time ---------------------------------------------------------------------------------

bool IPlugCLAP::HostIsOffline() { return false; }

int IPlugCLAP::HostSamplePosition() {
    if (transport_ == nullptr || !(transport_->flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE)) return 0;
    const double seconds = static_cast<double>(transport_->song_pos_seconds) / static_cast<double>(CLAP_SECTIME_FACTOR);
    const double samples = std::floor(seconds * GetSampleRate() + 0.5);
    return samples <= 0.0 ? 0 : samples >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(samples);
}

double IPlugCLAP::HostTempo() {
    if (transport_ != nullptr && (transport_->flags & CLAP_TRANSPORT_HAS_TEMPO) && transport_->tempo >= 0.0) {
        return transport_->tempo;
    }
    return 0.0;
}

void IPlugCLAP::HostTimeSignature(int* numerator, int* denominator) {
    *numerator = 0;
    *denominator = 0;
    if (transport_ != nullptr && (transport_->flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE)) {
        *numerator = transport_->tsig_num;
        *denominator = transport_->tsig_denom;
    }
}

void IPlugCLAP::HostTimeInfo(HostTimeInfoRecord* timeInfo) {
    if (transport_ == nullptr) return;
    const uint32_t flags = transport_->flags;
    const auto beats = [](clap_beattime t) {
        return static_cast<double>(t) / static_cast<double>(CLAP_BEATTIME_FACTOR);
    };
    timeInfo->samplePos = HostSamplePosition();
    if (flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) {
        timeInfo->ppqPos = std::max(0.0, beats(transport_->song_pos_beats));
        timeInfo->lastBar = std::max(0.0, beats(transport_->bar_start));
        timeInfo->cycleStart = std::max(0.0, beats(transport_->loop_start_beats));
        timeInfo->cycleEnd = std::max(0.0, beats(transport_->loop_end_beats));
    }
    if ((flags & CLAP_TRANSPORT_HAS_TEMPO) && transport_->tempo > 0.0) timeInfo->tempo = transport_->tempo;
    if ((flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) && transport_->tsig_num > 0 && transport_->tsig_denom > 0) {
        timeInfo->numerator = transport_->tsig_num;
        timeInfo->denominator = transport_->tsig_denom;
    }
    timeInfo->transportIsRunning = (flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
    timeInfo->transportLoopEnabled = (flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0;
}

// --- State --------------------------------------------------------------------------------

bool IPlugCLAP::SaveState(const clap_ostream_t* stream) {
    if (stream == nullptr || stream->write == nullptr) return false;
    PlugLockGuard guard(Lock());
    if (!GetProgramChunk(stateChunk_)) return false;
    // The host's stream may take any part of what is offered each time.
    const uint8_t* data = stateChunk_.Data();
    uint64_t left = static_cast<uint64_t>(stateChunk_.Size());
    while (left > 0) {
        const int64_t written = stream->write(stream, data, left);
        if (written <= 0 || static_cast<uint64_t>(written) > left) return false;
        data += written;
        left -= static_cast<uint64_t>(written);
    }
    return true;
}

bool IPlugCLAP::LoadState(const clap_istream_t* stream) {
    if (stream == nullptr || stream->read == nullptr) return false;
    PlugLockGuard guard(Lock());
    std::vector<uint8_t> bytes;
    uint8_t piece[4096];
    for (;;) {
        const int64_t got = stream->read(stream, piece, sizeof piece);
        if (got < 0 || static_cast<uint64_t>(got) > sizeof piece) return false;
        if (got == 0) break;
        bytes.insert(bytes.end(), piece, piece + got);
        if (bytes.size() > kLargestState) return false;
    }
    if (bytes.empty()) return false;
    stateChunk_.Assign(bytes.data(), bytes.size());
    return SetProgramChunk(stateChunk_);
}

// --- Editor ---------------------------------------------------------------------------------

bool IPlugCLAP::GuiCreate(const char* api, bool floating) {
    if (GetGraphics() == nullptr || api == nullptr || std::strcmp(api, CLAP_WINDOW_API_X11) != 0 || floating) {
        return false;
    }
    PlugLockGuard guard(Lock());
    guiCreated_ = true;
    parentWindow_ = 0;
    return true;
}

void IPlugCLAP::GuiDestroy() {
    CloseEditorWindow();
    PlugLockGuard guard(Lock());
    guiCreated_ = false;
    parentWindow_ = 0;
}

bool IPlugCLAP::GuiSetParent(const clap_window_t* window) {
    if (!guiCreated_ || window == nullptr || window->x11 == 0) return false;
    if (EmbeddedEditorShown() && window->x11 != parentWindow_) CloseEditorWindow();
    parentWindow_ = window->x11;
    return OpenEditorWindow();
}

// The window exists while shown: hiding closes it, showing opens it again
// in the parent the host gave.
bool IPlugCLAP::GuiShow() { return guiCreated_ && parentWindow_ != 0 && OpenEditorWindow(); }

bool IPlugCLAP::GuiHide() {
    if (!guiCreated_) return false;
    CloseEditorWindow();
    return true;
}

// The editor changes its size only for a new zoom, and asks first.
bool IPlugCLAP::RequestEditorSize(int width, int height) {
    const auto* gui = static_cast<const clap_host_gui_t*>(HostExtension(CLAP_EXT_GUI));
    return gui != nullptr && gui->request_resize != nullptr && width > 0 && height > 0 &&
           gui->request_resize(host_, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

bool IPlugCLAP::OpenEditorWindow() {
    bool firstShown = false;
    if (!ShowEmbeddedEditor(reinterpret_cast<void*>(static_cast<uintptr_t>(parentWindow_)), &firstShown)) return false;
    if (!firstShown) return true;
    IGraphicsLink* graphics = GetGraphics();
    // The editor's events and redraw timer are serviced from the host's
    // main loop: its timer always, and the connection's descriptor where
    // the host watches descriptors.
    if (const auto* timers = static_cast<const clap_host_timer_support_t*>(HostExtension(CLAP_EXT_TIMER_SUPPORT))) {
        clap_id id = CLAP_INVALID_ID;
        if (timers->register_timer != nullptr && timers->register_timer(host_, kEditorTimerMs, &id)) timerId_ = id;
    }
    if (const auto* fds = static_cast<const clap_host_posix_fd_support_t*>(HostExtension(CLAP_EXT_POSIX_FD_SUPPORT))) {
        const int fd = graphics->EventFd();
        if (fd >= 0 && fds->register_fd != nullptr && fds->register_fd(host_, fd, CLAP_POSIX_FD_READ)) {
            registeredFd_ = fd;
        }
    }
    return true;
}

void IPlugCLAP::CloseEditorWindow() {
    if (timerId_ != CLAP_INVALID_ID) {
        if (const auto* timers = static_cast<const clap_host_timer_support_t*>(HostExtension(CLAP_EXT_TIMER_SUPPORT))) {
            if (timers->unregister_timer != nullptr) timers->unregister_timer(host_, timerId_);
        }
        timerId_ = CLAP_INVALID_ID;
    }
    if (registeredFd_ >= 0) {
        if (const auto* fds =
                static_cast<const clap_host_posix_fd_support_t*>(HostExtension(CLAP_EXT_POSIX_FD_SUPPORT))) {
            if (fds->unregister_fd != nullptr) fds->unregister_fd(host_, registeredFd_);
        }
        registeredFd_ = -1;
    }
    CloseEmbeddedEditor();
}

void IPlugCLAP::ServiceEditor() { ServiceEmbeddedEditor(); }

}  // namespace kettrix
