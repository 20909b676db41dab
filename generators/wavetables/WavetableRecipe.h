#pragma once
// Recipes of the seven wavetable sets ("WAV" resources 201-204, 300-302).
//
// A set is 76 tables of one cycle, 1024 samples each. Table t serves the
// notes whose harmonic limit h(n) = floor(min(22050 / f(n), 512)) gives the
// t-th distinct value (the oscillator's note table), so it holds exactly the
// harmonics 1..h that stay below 22050 Hz for every note that reads it.
// Every cycle starts at 0 and falls first (its fundamental is a -sine); the
// waveform's level is 0.5 - 0.2 * t / 75, so high tables are quieter.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kettrix::resources::generators {

inline constexpr int kTablesPerSet = 76;
inline constexpr int kSamplesPerTable = 1024;

enum class WavetableShape { SinePure, Sine808, Sine909, Triangle, Square, Saw, Cymbal };

struct WavetableSetInfo {
    WavetableShape shape;
    int resourceId;
    std::string_view fileName;  // under resources/wavetables/
};

// The seven sets in bank order (slot 0 to 6).
extern const std::array<WavetableSetInfo, 7> kWavetableSets;

// Harmonic limit h of each table: 512 for table 0 down to 1 for table 75.
std::array<int, kTablesPerSet> harmonicLimits();

// The level of table t's waveform: 0.5 - 0.2 * t / 75.
double tableLevel(int table);

// The whole set as 76 * 1024 signed 16-bit samples, table after table.
std::vector<std::int16_t> makeWavetableSet(WavetableShape shape);

// The same as the bytes of the resource file (little-endian).
std::vector<unsigned char> encodeLittleEndian(const std::vector<std::int16_t>& samples);

}  // namespace kettrix::resources::generators
