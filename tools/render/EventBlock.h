// The MIDI events of one process block, laid out as the VstEvents record a
// plug-in receives through effProcessEvents.
#pragma once

#include "plugin/Vst2Abi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kettrix::render {

class EventBlock {
public:
    // Makes room for up to capacity events, so that filling a block never
    // allocates.
    explicit EventBlock(std::size_t capacity = 0);

    void clear() { events_.clear(); }
    // Adds a MIDI event; bytes beyond the message's length must be 0.
    // Returns false when the block is full.
    bool add(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
    std::size_t size() const { return events_.size(); }
    bool empty() const { return events_.empty(); }

    // The record to pass to effProcessEvents; valid until the next add() or
    // clear().
    VstEvents* record();

private:
    std::size_t capacity_;
    std::vector<VstMidiEvent> events_;
    // VstEvents declares two entries; the header and the real number of
    // pointers live in this buffer of pointer-sized words.
    std::vector<intptr_t> recordWords_;
};

}  // namespace kettrix::render
