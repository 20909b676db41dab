#include "EventBlock.h"

#include <cstring>

namespace kettrix::render {

namespace {

constexpr std::size_t kHeaderWords = offsetof(VstEvents, events) / sizeof(intptr_t);
static_assert(offsetof(VstEvents, events) % sizeof(intptr_t) == 0);
static_assert(sizeof(VstEvent*) == sizeof(intptr_t));

}  // namespace

EventBlock::EventBlock(std::size_t capacity) : capacity_(capacity) {
    events_.reserve(capacity);
    // At least the two entries the declared record holds.
    recordWords_.assign(kHeaderWords + (capacity < 2 ? 2 : capacity), 0);
}

bool EventBlock::add(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
    if (events_.size() >= capacity_) return false;
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    events_.push_back(event);
    return true;
}

VstEvents* EventBlock::record() {
    auto* record = reinterpret_cast<VstEvents*>(recordWords_.data());
    record->numEvents = static_cast<int32_t>(events_.size());
    record->reserved = 0;
    // Writing past the declared two entries is within recordWords_.
    auto** pointers = reinterpret_cast<VstEvent**>(recordWords_.data() + kHeaderWords);
    for (std::size_t i = 0; i < events_.size(); ++i) pointers[i] = reinterpret_cast<VstEvent*>(&events_[i]);
    return record;
}

}  // namespace kettrix::render
