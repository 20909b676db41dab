// A minimal recording host for driving plug-in instances through their
// AEffect callbacks, the way a real host does.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/Vst2Abi.h"

namespace kettrix::test {

struct HostCall {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    float opt;
};

// What the host answers and what it has seen. One host per test process
// thread; reset it at the start of each test.
struct RecordingHost {
    std::string productString = "kettrix test host";
    intptr_t vendorVersion = 1234;
    intptr_t processLevel = 0;
    VstTimeInfo* timeInfo = nullptr;
    intptr_t processEventsAnswer = 1;
    intptr_t sizeWindowAnswer = 0;  // audioMasterSizeWindow: 1 resizes
    std::vector<HostCall> calls;
    std::vector<VstMidiEvent> midiOut;

    void Reset() { *this = RecordingHost{}; }

    int Count(int32_t opcode) const {
        int n = 0;
        for (const HostCall& call : calls) {
            n += call.opcode == opcode ? 1 : 0;
        }
        return n;
    }

    static RecordingHost& Instance() {
        static RecordingHost host;
        return host;
    }

    static intptr_t KETTRIX_VST_CALL Callback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                              float opt) {
        RecordingHost& host = Instance();
        host.calls.push_back({opcode, index, value, opt});
        switch (opcode) {
            case audioMasterVersion:
                return kVstVersion;
            case audioMasterGetProductString:
                std::strncpy(static_cast<char*>(ptr), host.productString.c_str(), 63);
                return 1;
            case audioMasterGetVendorVersion:
                return host.vendorVersion;
            case audioMasterGetCurrentProcessLevel:
                return host.processLevel;
            case audioMasterGetTime:
                return reinterpret_cast<intptr_t>(host.timeInfo);
            case audioMasterSizeWindow:
                return host.sizeWindowAnswer;
            case audioMasterProcessEvents: {
                const auto* events = static_cast<const VstEvents*>(ptr);
                for (int32_t i = 0; i < events->numEvents; ++i) {
                    if (events->events[i]->type == kVstMidiType) {
                        host.midiOut.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
                    }
                }
                return host.processEventsAnswer;
            }
            default:
                return 0;
        }
    }
};

// Thin helpers over the dispatcher, so tests read like host code.
inline intptr_t Dispatch(AEffect* effect, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

inline std::string DispatchText(AEffect* effect, int32_t opcode, int32_t index = 0) {
    char text[256] = {};
    Dispatch(effect, opcode, index, 0, text);
    return text;
}

inline VstMidiEvent MidiEvent(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

// A VstEvents record with room for any number of events, as hosts build it.
class EventList {
public:
    void Add(const VstMidiEvent& event) { midi_.push_back(event); }
    void AddNull() { nullAt_.push_back(static_cast<int>(midi_.size())); }

    VstEvents* Build() {
        const std::size_t count = midi_.size() + nullAt_.size();
        storage_.assign(sizeof(VstEvents) + count * sizeof(VstEvent*), 0);
        auto* events = reinterpret_cast<VstEvents*>(storage_.data());
        events->numEvents = static_cast<int32_t>(count);
        std::size_t slot = 0;
        for (std::size_t i = 0; i <= midi_.size(); ++i) {
            for (int nullAt : nullAt_) {
                if (static_cast<std::size_t>(nullAt) == i) {
                    events->events[slot++] = nullptr;
                }
            }
            if (i < midi_.size()) {
                events->events[slot++] = reinterpret_cast<VstEvent*>(&midi_[i]);
            }
        }
        return events;
    }

private:
    std::vector<VstMidiEvent> midi_;
    std::vector<int> nullAt_;
    std::vector<unsigned char> storage_;
};

// Chunk bytes fetched from an instance, copied so they outlive the call.
inline std::vector<uint8_t> GetChunkBytes(AEffect* effect, int32_t index) {
    void* data = nullptr;
    const intptr_t size = Dispatch(effect, effGetChunk, index, 0, &data);
    if (size <= 0 || data == nullptr) {
        return {};
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

inline intptr_t SetChunkBytes(AEffect* effect, int32_t index, std::vector<uint8_t> bytes) {
    return Dispatch(effect, effSetChunk, index, static_cast<intptr_t>(bytes.size()), bytes.data());
}

}  // namespace kettrix::test
