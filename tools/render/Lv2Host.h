// A small LV2 host for kettrix-render --format lv2 and the format tests: loads the bundle's module through
// lv2_descriptor, reads the port list from the bundle's Kettrix4.ttl, offers
// urid:map and buf-size options, connects every port and runs blocks with
// MIDI events in an atom sequence; state goes through store and retrieve
// functions of its own.
#pragma once

#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kettrix::render {

// The module, dlopen'ed from the bundle.
class Lv2Module {
public:
    explicit Lv2Module(const std::string& bundle) : bundle_(bundle) {
        handle_ = dlopen((bundle + "/Kettrix4.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) throw std::runtime_error(dlerror());
        descriptors_ = reinterpret_cast<LV2_Descriptor_Function>(dlsym(handle_, "lv2_descriptor"));
        uiDescriptors_ = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(handle_, "lv2ui_descriptor"));
        if (descriptors_ == nullptr) throw std::runtime_error("no lv2_descriptor");
    }
    ~Lv2Module() { dlclose(handle_); }
    Lv2Module(const Lv2Module&) = delete;
    Lv2Module& operator=(const Lv2Module&) = delete;

    const LV2_Descriptor* descriptor(uint32_t index = 0) const { return descriptors_(index); }
    const LV2UI_Descriptor* uiDescriptor(uint32_t index = 0) const {
        return uiDescriptors_ != nullptr ? uiDescriptors_(index) : nullptr;
    }
    const std::string& bundle() const { return bundle_; }
    void* symbol(const char* name) const { return dlsym(handle_, name); }

private:
    std::string bundle_;
    void* handle_ = nullptr;
    LV2_Descriptor_Function descriptors_ = nullptr;
    LV2UI_DescriptorFunction uiDescriptors_ = nullptr;
};

// One port as the bundle's Turtle describes it.
struct TurtlePort {
    uint32_t index = 0;
    std::string block;  // the port's text, for the properties asked below
    std::string symbol, name;
    double minimum = 0.0, maximum = 0.0, defaultValue = 0.0;
    bool has(const std::string& text) const { return block.find(text) != std::string::npos; }
    int count(const std::string& text) const {
        int n = 0;
        for (std::size_t at = block.find(text); at != std::string::npos; at = block.find(text, at + 1)) ++n;
        return n;
    }
};

// The ports of Kettrix4.ttl, in the order written. Reads the generator's
// layout: each port's statements run from its "lv2:index" to the next one.
inline std::vector<TurtlePort> ReadTurtlePorts(const std::string& bundle) {
    std::ifstream in(bundle + "/Kettrix4.ttl");
    if (!in) throw std::runtime_error("no Kettrix4.ttl in " + bundle);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    const std::string key = "lv2:index ";
    std::vector<TurtlePort> ports;
    for (std::size_t at = text.find(key); at != std::string::npos;) {
        const std::size_t next = text.find(key, at + key.size());
        // The port's statements start at its classes ("a lv2:...") before the index.
        const std::size_t start = text.rfind("\n        a ", at);
        const std::size_t end = next == std::string::npos ? std::string::npos : text.rfind("\n        a ", next);
        TurtlePort port;
        port.block = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        port.index = static_cast<uint32_t>(std::stoul(text.substr(at + key.size())));
        const auto literal = [&](const std::string& property) {
            const std::size_t p = port.block.find(property + " ");
            if (p == std::string::npos) return std::string();
            std::size_t start = p + property.size() + 1;
            if (port.block[start] == '"') {
                const std::size_t end = port.block.find('"', start + 1);
                return port.block.substr(start + 1, end - start - 1);
            }
            return port.block.substr(start, port.block.find_first_of(" ;\n", start) - start);
        };
        port.symbol = literal("lv2:symbol");
        port.name = literal("lv2:name");
        if (!literal("lv2:minimum").empty()) port.minimum = std::stod(literal("lv2:minimum"));
        if (!literal("lv2:maximum").empty()) port.maximum = std::stod(literal("lv2:maximum"));
        if (!literal("lv2:default").empty()) port.defaultValue = std::stod(literal("lv2:default"));
        ports.push_back(port);
        at = next;
    }
    return ports;
}

// The host's URID map.
class UridMap {
public:
    UridMap() {
        map_.handle = this;
        map_.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->map(uri); };
    }
    LV2_URID map(const std::string& uri) {
        const auto found = ids_.find(uri);
        if (found != ids_.end()) return found->second;
        const auto id = static_cast<LV2_URID>(ids_.size() + 1);
        ids_.emplace(uri, id);
        return id;
    }
    LV2_URID_Map* feature() { return &map_; }

private:
    LV2_URID_Map map_{};
    std::map<std::string, LV2_URID> ids_;
};

// One plug-in instance with its ports connected to buffers of this host.
class Lv2Instance {
public:
    static constexpr uint32_t kAudioOutputs = 12;
    static constexpr uint32_t kFirstControl = 13;

    struct Options {
        double rate = 44100.0;
        int32_t nominalBlock = 0;  // 0: no options feature
        bool map = true;           // offer urid:map
    };

    Lv2Instance(const Lv2Module& module, const std::vector<TurtlePort>& ports, const Options& options,
                uint32_t maxFrames)
        : descriptor_(module.descriptor()), maxFrames_(maxFrames) {
        std::vector<const LV2_Feature*> features;
        LV2_Feature mapFeature{LV2_URID__map, map_.feature()};
        if (options.map) features.push_back(&mapFeature);
        blockOption_ = options.nominalBlock;
        optionList_[0] = {LV2_OPTIONS_INSTANCE,
                          0,
                          map_.map(LV2_BUF_SIZE__nominalBlockLength),
                          sizeof(int32_t),
                          map_.map(LV2_ATOM__Int),
                          &blockOption_};
        optionList_[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
        LV2_Feature optionsFeature{LV2_OPTIONS__options, optionList_};
        if (options.nominalBlock > 0) features.push_back(&optionsFeature);
        features.push_back(nullptr);
        handle_ = descriptor_->instantiate(descriptor_, options.rate, "", features.data());
        if (handle_ == nullptr) return;
        events_.assign(8192, 0);
        for (auto& channel : audio_) channel.assign(maxFrames, 0.0f);
        // Every control port starts at its default, as a host sets them.
        for (const TurtlePort& port : ports) {
            if (port.index >= kFirstControl) controls_.push_back(static_cast<float>(port.defaultValue));
        }
        descriptor_->connect_port(handle_, 0, events_.data());
        for (uint32_t c = 0; c < kAudioOutputs; ++c) descriptor_->connect_port(handle_, 1 + c, audio_[c].data());
        for (uint32_t i = 0; i < controls_.size(); ++i) {
            descriptor_->connect_port(handle_, kFirstControl + i, &controls_[i]);
        }
        descriptor_->activate(handle_);
        clearEvents();
    }
    ~Lv2Instance() {
        if (handle_ == nullptr) return;
        descriptor_->deactivate(handle_);
        descriptor_->cleanup(handle_);
    }
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool valid() const { return handle_ != nullptr; }
    LV2_Handle handle() const { return handle_; }
    const LV2_Descriptor& descriptor() const { return *descriptor_; }
    UridMap& urids() { return map_; }
    float& control(int paramIndex) { return controls_.at(static_cast<std::size_t>(paramIndex)); }

    // Events for the next run.
    void midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
        const uint8_t bytes[3] = {status, data1, data2};
        addEvent(frame, map_.map(LV2_MIDI__MidiEvent), bytes, 3);
    }
    void addEvent(uint32_t frame, LV2_URID type, const void* data, uint32_t size) {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(events_.data());
        const std::size_t at = sizeof(LV2_Atom) + sequence->atom.size;
        const std::size_t total = sizeof(LV2_Atom_Event) + ((size + 7u) & ~7u);
        if (at + total > events_.size() * sizeof(uint64_t)) throw std::runtime_error("event buffer full");
        auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(events_.data()) + at);
        event->time.frames = frame;
        event->body.size = size;
        event->body.type = type;
        std::memcpy(event + 1, data, size);
        sequence->atom.size += static_cast<uint32_t>(total);
    }

    // One run of `frames` (at most maxFrames); the audio is appended to
    // `rendered` (12 channels) when given. The events are used up.
    void run(uint32_t frames, std::vector<std::vector<float>>* rendered = nullptr) {
        if (frames > maxFrames_) throw std::runtime_error("run longer than the buffers");
        for (auto& channel : audio_) std::fill(channel.begin(), channel.end(), 1.0f);  // stale data
        descriptor_->run(handle_, frames);
        if (rendered != nullptr) {
            rendered->resize(kAudioOutputs);
            for (uint32_t c = 0; c < kAudioOutputs; ++c) {
                (*rendered)[c].insert((*rendered)[c].end(), audio_[c].begin(), audio_[c].begin() + frames);
            }
        }
        clearEvents();
    }

    // Audio output `c` of the last run (its first `frames` samples).
    const float* output(uint32_t c) const { return audio_[c].data(); }

    // --- State through the host's store and retrieve ---------------------------
    struct Stored {
        uint32_t key = 0, type = 0, flags = 0;
        std::vector<uint8_t> value;
    };
    const LV2_State_Interface* state() const {
        return static_cast<const LV2_State_Interface*>(descriptor_->extension_data(LV2_STATE__interface));
    }
    // Everything the plug-in stored, in order.
    std::vector<Stored> save() {
        std::vector<Stored> stored;
        const auto store = [](LV2_State_Handle h, uint32_t key, const void* value, std::size_t size, uint32_t type,
                              uint32_t flags) -> LV2_State_Status {
            const auto* bytes = static_cast<const uint8_t*>(value);
            static_cast<std::vector<Stored>*>(h)->push_back({key, type, flags, {bytes, bytes + size}});
            return LV2_STATE_SUCCESS;
        };
        if (state()->save(handle_, store, &stored, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr) !=
            LV2_STATE_SUCCESS) {
            return {};
        }
        return stored;
    }
    LV2_State_Status restore(const std::vector<Stored>& stored) {
        const auto retrieve = [](LV2_State_Handle h, uint32_t key, std::size_t* size, uint32_t* type,
                                 uint32_t* flags) -> const void* {
            for (const Stored& s : *static_cast<const std::vector<Stored>*>(h)) {
                if (s.key != key) continue;
                *size = s.value.size();
                *type = s.type;
                *flags = s.flags;
                return s.value.data();
            }
            return nullptr;
        };
        return state()->restore(handle_, retrieve, const_cast<std::vector<Stored>*>(&stored), 0, nullptr);
    }

private:
    void clearEvents() {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(events_.data());
        sequence->atom.type = map_.map(LV2_ATOM__Sequence);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
        sequence->body.unit = 0;
        sequence->body.pad = 0;
    }

    const LV2_Descriptor* descriptor_;
    LV2_Handle handle_ = nullptr;
    UridMap map_;
    int32_t blockOption_ = 0;
    LV2_Options_Option optionList_[2]{};
    uint32_t maxFrames_;
    std::vector<uint64_t> events_;  // 8-byte aligned atom sequence
    std::vector<float> audio_[kAudioOutputs];
    std::vector<float> controls_;
};

}  // namespace kettrix::render
