// MIDI event streams through effProcessEvents, each followed by the audio
// callback of its block: any bytes in the event records, any offsets, any
// number of events up to twice the block size (more than the queue holds).
//
// Input: blocks, each
//   u16 frames (1..512 after reduction), u8 flags (bit 0: double precision),
//   u16 event count (reduced to 0..1024), then per event
//   u8 kind (0-9 MIDI, 10 sysex, 11 empty entry, others: that type number),
//   then 28 raw bytes for the rest of the record
//   (sysex: u8 dump length, then that many dump bytes).
//
// Checks: no crash, no read outside the records (sanitizers), finite output.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzHost.h"

using namespace kettrix::fuzz;

namespace {

constexpr int kMaxEvents = 2 * FuzzedPlugin::kBlockSize;

struct EventStorage {
    std::vector<VstMidiEvent> midi;  // every kind that is not sysex uses this 32-byte record
    std::vector<VstMidiSysexEvent> sysex;
    std::vector<std::vector<char>> dumps;
    std::vector<VstEvent*> pointers;
};

void ReadEvent(ByteReader& in, EventStorage& storage, std::size_t slot) {
    const std::uint8_t kind = in.u8();
    if (kind == 11) {
        storage.pointers[slot] = nullptr;
        return;
    }
    if (kind == 10) {
        VstMidiSysexEvent& event = storage.sysex[slot];
        event.type = kVstSysExType;
        event.byteSize = static_cast<int32_t>(sizeof event);
        event.deltaFrames = in.i32();
        event.flags = in.i32();
        std::vector<char>& dump = storage.dumps[slot];
        const auto bytes = in.take(in.u8());
        dump.assign(bytes.begin(), bytes.end());
        event.dumpBytes = static_cast<int32_t>(dump.size());
        event.sysexDump = dump.empty() ? nullptr : dump.data();
        storage.pointers[slot] = reinterpret_cast<VstEvent*>(&event);
        return;
    }
    VstMidiEvent& event = storage.midi[slot];
    const auto raw = in.take(sizeof event - sizeof event.type);
    std::memcpy(reinterpret_cast<char*>(&event) + sizeof event.type, raw.data(), raw.size());
    event.type = kind < 10 ? static_cast<int32_t>(kVstMidiType) : static_cast<int32_t>(kind);
    storage.pointers[slot] = reinterpret_cast<VstEvent*>(&event);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedPlugin& plugin = FuzzedPlugin::Shared();
    ByteReader in({data, size});
    while (!in.empty()) {
        const int frames = 1 + static_cast<int>(in.u16() % FuzzedPlugin::kBlockSize);
        const bool doublePrecision = (in.u8() & 1) != 0;
        const std::size_t count = in.u16() % (kMaxEvents + 1);

        EventStorage storage;
        storage.midi.resize(count);
        storage.sysex.resize(count);
        storage.dumps.resize(count);
        storage.pointers.resize(count);
        for (std::size_t i = 0; i < count; ++i) ReadEvent(in, storage, i);

        // The record with room for every entry, as hosts allocate it.
        std::vector<std::uint8_t> record(sizeof(VstEvents) + count * sizeof(VstEvent*));
        auto* events = reinterpret_cast<VstEvents*>(record.data());
        events->numEvents = static_cast<int32_t>(count);
        if (count > 0)
            std::memcpy(record.data() + offsetof(VstEvents, events), storage.pointers.data(),
                        count * sizeof(VstEvent*));

        Require(plugin.dispatch(effProcessEvents, 0, 0, events) == 1, "effProcessEvents takes the events");
        plugin.render(frames, doublePrecision);
    }
    return 0;
}
