#include "engine/tables/OscillatorNoteTable.h"

#include <algorithm>
#include <cmath>

namespace kettrix::engine {
namespace {

constexpr double kMaxHarmonics = 512.0;
constexpr double kWavetableLength = 1024.0;

}  // namespace

double OscillatorNoteTable::noteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 60) / 12.0); }

OscillatorNoteTable::OscillatorNoteTable(double sampleRate, double harmonicNyquist) {
    auto harmonicLimit = [&](int n) { return std::floor(std::min(harmonicNyquist / noteFrequency(n), kMaxHarmonics)); };
    std::int32_t table = 0;
    for (int n = 0; n < kNotes; ++n) {
        if (n > 0 && harmonicLimit(n) != harmonicLimit(n - 1)) ++table;
        noteTable[n] = table;
        increment[n] = noteFrequency(n) * kWavetableLength / sampleRate;
    }
    for (int n = 0; n + 1 < kNotes; ++n) slope[n] = increment[n + 1] - increment[n];
}

}  // namespace kettrix::engine
