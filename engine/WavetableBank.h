#pragma once
// The seven band-limited wavetable sets, converted once from the "WAV"
// resources and shared read-only by every oscillator.
//
// Slot s comes from resource 201, 202, 203, 204, 300, 301, 302 (s = 0..6):
// "Sine (pure)", "Sine (808)", "Sine (909)", "Triangle", "Square", "Saw" and
// the cymbal generator's cycle. A set is 76 tables of one cycle; each table
// carries a copy of its first sample at index 1024, so interpolation between
// samples j and j + 1 never needs a wrap.
//
// Threads: built on the constructing thread; afterwards only read.

#include <array>
#include <cstdint>
#include <vector>

namespace kettrix::engine {

inline constexpr int kWavetableLength = 1024;
inline constexpr int kWavetablesPerSet = 76;
inline constexpr int kWavetableSetCount = 7;

using Wavetable = std::array<double, kWavetableLength + 1>;
using WavetableSet = std::array<Wavetable, kWavetablesPerSet>;

class WavetableBank {
public:
    static constexpr std::array<int, kWavetableSetCount> kResourceIds = {201, 202, 203, 204, 300, 301, 302};
    static constexpr int kCymbalSlot = 6;

    // Allocates the seven sets and loads each from its resource.
    WavetableBank();

    WavetableBank(const WavetableBank&) = delete;
    WavetableBank& operator=(const WavetableBank&) = delete;

    // Reads 76 x 1024 signed 16-bit little-endian samples (value / 32767) of
    // resource ("WAV", resourceId) into slot. A resource of one byte or less
    // leaves the slot zero-filled (silent); a short one fills what it holds
    // and leaves the rest zero. Returns whether the resource was found and
    // larger than one byte. Slots outside 0..6 are ignored.
    bool load(int resourceId, int slot);

    // Set of a slot; slots outside 0..6 give the silent set.
    const WavetableSet& set(int slot) const noexcept;

    // A zero-filled set: what an oscillator reads before it is given one.
    static const WavetableSet& silentSet() noexcept;

private:
    std::vector<WavetableSet> sets_;
};

}  // namespace kettrix::engine
