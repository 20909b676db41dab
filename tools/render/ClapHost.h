// A small CLAP host for kettrix-render --format clap and the format tests:
// loads a module through clap_entry, creates its plug-in with a host record
// that offers params, state, timer and descriptor support (recording what the
// plug-in asks of them), and drives process calls with event lists built
// here.
#pragma once

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/ClapAbi.h"

namespace kettrix::render {

// The loaded module: dlopen'ed, its entry initialised once.
class ClapModule {
public:
    explicit ClapModule(const std::string& path) {
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) throw std::runtime_error(dlerror());
        entry_ = static_cast<const clap_plugin_entry_t*>(dlsym(handle_, "clap_entry"));
        if (entry_ == nullptr || !entry_->init(path.c_str())) throw std::runtime_error("no usable clap_entry");
        factory_ = static_cast<const clap_plugin_factory_t*>(entry_->get_factory(CLAP_PLUGIN_FACTORY_ID));
        if (factory_ == nullptr) throw std::runtime_error("no plug-in factory");
    }
    ~ClapModule() {
        entry_->deinit();
        dlclose(handle_);
    }
    ClapModule(const ClapModule&) = delete;
    ClapModule& operator=(const ClapModule&) = delete;

    const clap_plugin_entry_t& entry() const { return *entry_; }
    const clap_plugin_factory_t& factory() const { return *factory_; }

private:
    void* handle_ = nullptr;
    const clap_plugin_entry_t* entry_ = nullptr;
    const clap_plugin_factory_t* factory_ = nullptr;
};

// Events of one process call, kept as their bytes in time order.
class EventList {
public:
    void note(uint16_t type, uint32_t time, int16_t key, double velocity, int16_t channel = 0) {
        clap_event_note_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
        e.note_id = -1;
        e.port_index = 0;
        e.channel = channel;
        e.key = key;
        e.velocity = velocity;
        add(&e, sizeof e);
    }
    void midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
        clap_event_midi_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
        e.data[0] = status;
        e.data[1] = data1;
        e.data[2] = data2;
        add(&e, sizeof e);
    }
    void param(uint32_t time, clap_id id, double value) {
        clap_event_param_value_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = id;
        e.note_id = -1;
        e.port_index = e.channel = e.key = -1;
        e.value = value;
        add(&e, sizeof e);
    }
    void clear() {
        bytes_.clear();
        offsets_.clear();
    }
    bool empty() const { return offsets_.empty(); }

    const clap_input_events_t* input() {
        input_ = {
            this, [](const clap_input_events_t* l) { return static_cast<uint32_t>(self(l)->offsets_.size()); },
            [](const clap_input_events_t* l, uint32_t i) {
                return reinterpret_cast<const clap_event_header_t*>(self(l)->bytes_.data() + self(l)->offsets_[i]);
            }};
        return &input_;
    }

private:
    static EventList* self(const clap_input_events_t* l) { return static_cast<EventList*>(l->ctx); }
    void add(const void* event, std::size_t size) {
        // Kept in time order, after events of the same time.
        const auto* header = static_cast<const clap_event_header_t*>(event);
        std::size_t at = offsets_.size();
        while (at > 0 && timeAt(at - 1) > header->time) --at;
        // Events are 8-byte aligned in the store so they read in place.
        const std::size_t offset = bytes_.size();
        bytes_.resize(offset + ((size + 7) & ~std::size_t{7}));
        std::memcpy(bytes_.data() + offset, event, size);
        offsets_.insert(offsets_.begin() + static_cast<std::ptrdiff_t>(at), offset);
    }
    uint32_t timeAt(std::size_t i) const {
        return reinterpret_cast<const clap_event_header_t*>(bytes_.data() + offsets_[i])->time;
    }

    std::vector<unsigned char> bytes_;  // aligned through resize of an 8-byte multiple
    std::vector<std::size_t> offsets_;
    clap_input_events_t input_{};
};

// What the plug-in handed back through an output event list.
struct OutEvent {
    uint16_t type;
    clap_id param;
    double value;
};

// One plug-in instance with a host of its own.
class ClapInstance {
public:
    static constexpr int kOutputChannels = 12;

    ClapInstance(const ClapModule& module, const char* id = nullptr) {
        host_.clap_version = CLAP_VERSION;
        host_.host_data = this;
        host_.name = "kettrix-test-host";
        host_.vendor = "kettrix";
        host_.url = "";
        host_.version = "1";
        host_.get_extension = &HostExtension;
        host_.request_restart = [](const clap_host_t*) {};
        host_.request_process = [](const clap_host_t*) {};
        host_.request_callback = [](const clap_host_t*) {};
        const clap_plugin_descriptor_t* desc = module.factory().get_plugin_descriptor(&module.factory(), 0);
        plugin_ = module.factory().create_plugin(&module.factory(), &host_, id != nullptr ? id : desc->id);
        if (plugin_ == nullptr || !plugin_->init(plugin_)) throw std::runtime_error("create_plugin failed");
        params_ = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
        state_ = extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    }
    ~ClapInstance() {
        if (processing_) plugin_->stop_processing(plugin_);
        if (active_) plugin_->deactivate(plugin_);
        plugin_->destroy(plugin_);
    }
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    const clap_plugin_t* plugin() const { return plugin_; }
    template <typename T>
    const T* extension(const char* id) const {
        return static_cast<const T*>(plugin_->get_extension(plugin_, id));
    }
    const clap_plugin_params_t& params() const { return *params_; }

    void activate(double rate, uint32_t maxFrames) {
        if (!plugin_->activate(plugin_, rate, 1, maxFrames)) throw std::runtime_error("activate failed");
        active_ = true;
        processing_ = plugin_->start_processing(plugin_);
        maxFrames_ = maxFrames;
        for (auto& channel : channels_) channel.assign(maxFrames, 0.0f);
    }

    // One process call of `frames`; the block's audio is appended to
    // `rendered` (12 channels, one vector each) when given.
    void process(uint32_t frames, EventList& events, std::vector<std::vector<float>>* rendered = nullptr) {
        float* pointers[kOutputChannels];
        clap_audio_buffer_t ports[kOutputChannels / 2];
        for (int c = 0; c < kOutputChannels; ++c) {
            std::fill(channels_[c].begin(), channels_[c].end(), 1.0f);  // stale data the plug-in must overwrite
            pointers[c] = channels_[c].data();
        }
        for (int p = 0; p < kOutputChannels / 2; ++p) ports[p] = {pointers + 2 * p, nullptr, 2, 0, 0};
        clap_output_events_t out{this, &PushOut};
        clap_process_t call{};
        call.steady_time = steadyTime_;
        call.frames_count = frames;
        call.audio_outputs = ports;
        call.audio_outputs_count = kOutputChannels / 2;
        call.in_events = events.input();
        call.out_events = &out;
        if (plugin_->process(plugin_, &call) == CLAP_PROCESS_ERROR) throw std::runtime_error("process failed");
        steadyTime_ += frames;
        if (rendered != nullptr) {
            rendered->resize(kOutputChannels);
            for (int c = 0; c < kOutputChannels; ++c) {
                (*rendered)[c].insert((*rendered)[c].end(), channels_[c].begin(), channels_[c].begin() + frames);
            }
        }
    }

    // Channel `c` of the last process call (its first `frames` samples).
    const float* output(int c) const { return channels_[c].data(); }

    // The state as the plug-in writes it into a stream that takes at most
    // `piece` bytes per call.
    std::vector<uint8_t> saveState(std::size_t piece = 4096) {
        Stream stream{{}, piece, 0};
        clap_ostream_t out{&stream, [](const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t {
                               auto* st = static_cast<Stream*>(s->ctx);
                               const std::size_t n = std::min<std::size_t>(size, st->piece);
                               const auto* bytes = static_cast<const uint8_t*>(data);
                               st->bytes.insert(st->bytes.end(), bytes, bytes + n);
                               return static_cast<int64_t>(n);
                           }};
        if (!state_->save(plugin_, &out)) return {};
        return stream.bytes;
    }
    // Loads `bytes` through a stream that gives at most `piece` bytes per call.
    bool loadState(const std::vector<uint8_t>& bytes, std::size_t piece = 4096) {
        Stream stream{bytes, piece, 0};
        clap_istream_t in{&stream, [](const clap_istream_t* s, void* buffer, uint64_t size) -> int64_t {
                              auto* st = static_cast<Stream*>(s->ctx);
                              const std::size_t n = std::min<std::size_t>(
                                  {static_cast<std::size_t>(size), st->piece, st->bytes.size() - st->at});
                              if (n > 0) std::memcpy(buffer, st->bytes.data() + st->at, n);
                              st->at += n;
                              return static_cast<int64_t>(n);
                          }};
        return state_->load(plugin_, &in);
    }

    // Host-side records of what the plug-in asked for.
    std::vector<OutEvent> outEvents;
    int flushRequests = 0;
    int dirtyMarks = 0;
    std::vector<clap_id> timers;  // registered and not yet unregistered
    std::vector<int> fds;
    int timerRegistrations = 0;
    // The editor's resize requests (gui request_resize), answered with acceptResize.
    std::vector<std::pair<uint32_t, uint32_t>> resizeRequests;
    bool acceptResize = true;

private:
    struct Stream {
        std::vector<uint8_t> bytes;
        std::size_t piece;
        std::size_t at;
    };

    static ClapInstance* self(const clap_host_t* h) { return static_cast<ClapInstance*>(h->host_data); }

    static bool PushOut(const clap_output_events_t* list, const clap_event_header_t* e) {
        auto* host = static_cast<ClapInstance*>(list->ctx);
        if (e->type == CLAP_EVENT_PARAM_VALUE) {
            const auto* v = reinterpret_cast<const clap_event_param_value_t*>(e);
            host->outEvents.push_back({e->type, v->param_id, v->value});
        } else if (e->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || e->type == CLAP_EVENT_PARAM_GESTURE_END) {
            host->outEvents.push_back({e->type, reinterpret_cast<const clap_event_param_gesture_t*>(e)->param_id, 0});
        }
        return true;
    }

    static const void* HostExtension(const clap_host_t*, const char* id) {
        static const clap_host_params_t params = {[](const clap_host_t*, uint32_t) {},
                                                  [](const clap_host_t*, clap_id, uint32_t) {},
                                                  [](const clap_host_t* h) { ++self(h)->flushRequests; }};
        static const clap_host_state_t state = {[](const clap_host_t* h) { ++self(h)->dirtyMarks; }};
        static const clap_host_timer_support_t timers = {
            [](const clap_host_t* h, uint32_t, clap_id* id) {
                *id = static_cast<clap_id>(100 + self(h)->timerRegistrations++);
                self(h)->timers.push_back(*id);
                return true;
            },
            [](const clap_host_t* h, clap_id id) {
                auto& list = self(h)->timers;
                const auto found = std::find(list.begin(), list.end(), id);
                if (found == list.end()) return false;
                list.erase(found);
                return true;
            }};
        static const clap_host_posix_fd_support_t fdSupport = {[](const clap_host_t* h, int fd, uint32_t) {
                                                                   self(h)->fds.push_back(fd);
                                                                   return true;
                                                               },
                                                               [](const clap_host_t*, int, uint32_t) { return true; },
                                                               [](const clap_host_t* h, int fd) {
                                                                   auto& list = self(h)->fds;
                                                                   const auto found =
                                                                       std::find(list.begin(), list.end(), fd);
                                                                   if (found == list.end()) return false;
                                                                   list.erase(found);
                                                                   return true;
                                                               }};
        static const clap_host_gui_t gui = {[](const clap_host_t*) {},
                                            [](const clap_host_t* h, uint32_t width, uint32_t height) {
                                                self(h)->resizeRequests.push_back({width, height});
                                                return self(h)->acceptResize;
                                            },
                                            [](const clap_host_t*) { return false; },
                                            [](const clap_host_t*) { return false; }, [](const clap_host_t*, bool) {}};
        const std::string name = id;
        if (name == CLAP_EXT_GUI) return &gui;
        if (name == CLAP_EXT_PARAMS) return &params;
        if (name == CLAP_EXT_STATE) return &state;
        if (name == CLAP_EXT_TIMER_SUPPORT) return &timers;
        if (name == CLAP_EXT_POSIX_FD_SUPPORT) return &fdSupport;
        return nullptr;
    }

    clap_host_t host_{};
    const clap_plugin_t* plugin_ = nullptr;
    const clap_plugin_params_t* params_ = nullptr;
    const clap_plugin_state_t* state_ = nullptr;
    bool active_ = false;
    bool processing_ = false;
    uint32_t maxFrames_ = 0;
    int64_t steadyTime_ = 0;
    std::vector<float> channels_[kOutputChannels];
};

}  // namespace kettrix::render
