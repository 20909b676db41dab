#include "engine/tables/OscillatorNoteTable.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kettrix::engine {
namespace {

constexpr double kMaxHarmonics = 512.0;
constexpr double kWavetableLength = 1024.0;

}  // namespace

double OscillatorNoteTable::noteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 60) / 12.0); }

OscillatorNoteTable::OscillatorNoteTable(double sampleRate, double harmonicNyquist) {
    // Every oscillator and cymbal generator carries its own copy; as with the
    // cutoff table, the last one built on this thread is copied when the same
    // rate and harmonic limit come again (no lock, the same values).
    struct Built {
        double sampleRate = std::numeric_limits<double>::quiet_NaN();  // equals no rate
        double harmonicNyquist = 0.0;
        std::array<std::int32_t, kNotes> noteTable{};
        std::array<double, kNotes> increment{};
        std::array<double, kNotes> slope{};
    };
    thread_local Built last;
    if (sampleRate == last.sampleRate && harmonicNyquist == last.harmonicNyquist) {
        noteTable = last.noteTable;
        increment = last.increment;
        slope = last.slope;
        return;
    }
    auto harmonicLimit = [&](int n) { return std::floor(std::min(harmonicNyquist / noteFrequency(n), kMaxHarmonics)); };
    std::int32_t table = 0;
    for (int n = 0; n < kNotes; ++n) {
        if (n > 0 && harmonicLimit(n) != harmonicLimit(n - 1)) ++table;
        noteTable[n] = table;
        increment[n] = noteFrequency(n) * kWavetableLength / sampleRate;
    }
    for (int n = 0; n + 1 < kNotes; ++n) slope[n] = increment[n + 1] - increment[n];
    last = {sampleRate, harmonicNyquist, noteTable, increment, slope};
}

}  // namespace kettrix::engine
