// MIDI as it travels from the host adapter to the render loop.
#pragma once

#include <cstdint>

namespace kettrix {

struct MidiMessage {
    int32_t offset = 0;  // sample offset within the current block
    uint8_t status = 0;
    uint8_t data1 = 0;  // always 0..127
    uint8_t data2 = 0;  // always 0..127

    // Builds a message from raw host bytes. Data bytes are masked to 7 bits so
    // that a malformed event can never index past a 128-entry note table.
    static MidiMessage FromBytes(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2) {
        return MidiMessage{offset, status, static_cast<uint8_t>(data1 & 0x7F), static_cast<uint8_t>(data2 & 0x7F)};
    }

    int Channel() const { return status & 0x0F; }
    bool IsNoteOn() const { return (status & 0xF0) == 0x90 && data2 != 0; }
    // A note-on with velocity 0 also ends the note.
    bool IsNoteOff() const { return (status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && data2 == 0); }
    int NoteNumber() const { return data1; }
    int Velocity() const { return data2; }
};

// A system-exclusive message; the bytes belong to the caller for the duration
// of the call that hands it over.
struct SysExMessage {
    int32_t offset = 0;
    const uint8_t* data = nullptr;
    int32_t size = 0;
};

}  // namespace kettrix
