#include "generators/wavetables/WavetableRecipe.h"

#include <algorithm>
#include <cmath>

namespace kettrix::resources::generators {

const std::array<WavetableSetInfo, 7> kWavetableSets = {{
    {WavetableShape::SinePure, 201, "201-sine-pure.raw"},
    {WavetableShape::Sine808, 202, "202-sine-808.raw"},
    {WavetableShape::Sine909, 203, "203-sine-909.raw"},
    {WavetableShape::Triangle, 204, "204-triangle.raw"},
    {WavetableShape::Square, 300, "300-square.raw"},
    {WavetableShape::Saw, 301, "301-saw.raw"},
    {WavetableShape::Cymbal, 302, "302-cymbal.raw"},
}};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxHarmonics = 512;

// Largest peak a cymbal cycle may reach; its random overtones are scaled
// down until the cycle fits.
constexpr double kCymbalPeak = 0.95;

double noteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 60) / 12.0); }

int harmonicLimitOfNote(int note) {
    return static_cast<int>(std::floor(std::min(22050.0 / noteFrequency(note), double(kMaxHarmonics))));
}

// sin(2 * pi * i / 1024) for one cycle. Harmonic k at sample i reads entry
// (k * i) mod 1024, which is exact where a growing argument would not be.
std::array<double, kSamplesPerTable> sineCycle() {
    std::array<double, kSamplesPerTable> cycle{};
    for (int i = 0; i < kSamplesPerTable; ++i) cycle[i] = std::sin(2.0 * kPi * i / kSamplesPerTable);
    return cycle;
}

// Small multiply-add generator with a fixed seed, so the cymbal cycle is
// the same on every platform and every run.
class CymbalRandom {
public:
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / 16777216.0;  // 24 bits, 0 <= x < 1
    }

private:
    std::uint32_t state_ = 0x4B657474u;
};

// Coefficient of -sin(k x) in a tonal set, relative to the table's level.
double tonalHarmonic(WavetableShape shape, int k, int table) {
    switch (shape) {
        case WavetableShape::SinePure:
            return k == 1 ? 1.0 : 0.0;
        case WavetableShape::Sine808:
            // A second harmonic that swells to a fifth of the fundamental in
            // the middle tables and fades towards both ends.
            if (k == 1) return 1.0;
            return k == 2 ? 0.2 * std::sin(kPi * table / (kTablesPerSet - 1)) : 0.0;
        case WavetableShape::Sine909:
            // Weak odd harmonics: the third 19 dB, the fifth 36 dB down.
            if (k == 1) return 1.0;
            if (k == 3) return std::pow(10.0, -19.0 / 20.0);
            if (k == 5) return std::pow(10.0, -36.0 / 20.0);
            return 0.0;
        case WavetableShape::Triangle:
            if (k % 2 == 0) return 0.0;
            return (((k - 1) / 2) % 2 == 0 ? 1.0 : -1.0) * 8.0 / (kPi * kPi * k * k);
        case WavetableShape::Square:
            return k % 2 == 0 ? 0.0 : 4.0 / (kPi * k);
        case WavetableShape::Saw:
            return 2.0 / (kPi * k);
        case WavetableShape::Cymbal:
            break;
    }
    return 0.0;
}

std::vector<double> tonalTable(WavetableShape shape, int table, int limit,
                               const std::array<double, kSamplesPerTable>& sine) {
    std::vector<double> cycle(kSamplesPerTable, 0.0);
    const double level = tableLevel(table);
    for (int k = 1; k <= limit; ++k) {
        const double a = level * tonalHarmonic(shape, k, table);
        if (a == 0.0) continue;
        for (int i = 0; i < kSamplesPerTable; ++i) cycle[i] -= a * sine[(k * i) % kSamplesPerTable];
    }
    return cycle;
}

// A noisy, inharmonic cycle: the fundamental plus a sparse, irregular
// selection of overtones with random levels and signs. Every table draws the
// same sequence, so all tables share one timbre and differ only in how many
// overtones the band limit keeps.
std::vector<double> cymbalTable(int table, int limit, const std::array<double, kSamplesPerTable>& sine) {
    const double level = tableLevel(table);
    std::vector<double> fundamental(kSamplesPerTable);
    std::vector<double> overtones(kSamplesPerTable, 0.0);
    for (int i = 0; i < kSamplesPerTable; ++i) fundamental[i] = -level * sine[i];

    CymbalRandom random;
    for (int k = 2; k <= kMaxHarmonics; ++k) {
        const bool present = random.next() < 0.35;
        const double size = 0.2 + 0.8 * random.next();
        const double sign = random.next() < 0.5 ? -1.0 : 1.0;
        if (!present || k > limit) continue;
        const double a = level * sign * size / std::sqrt(double(k));
        for (int i = 0; i < kSamplesPerTable; ++i) overtones[i] -= a * sine[(k * i) % kSamplesPerTable];
    }
    // The cycle must fall first. Flipping every overtone together keeps the
    // spectrum (and so the timbre) and makes the first step follow the
    // falling fundamental.
    if (overtones[1] > 0.0)
        for (double& x : overtones) x = -x;

    auto peakWith = [&](double gain) {
        double peak = 0.0;
        for (int i = 0; i < kSamplesPerTable; ++i)
            peak = std::max(peak, std::fabs(fundamental[i] + gain * overtones[i]));
        return peak;
    };
    double gain = 1.0;
    if (peakWith(gain) > kCymbalPeak) {
        double low = 0.0, high = 1.0;
        for (int step = 0; step < 40; ++step) {
            const double mid = 0.5 * (low + high);
            (peakWith(mid) > kCymbalPeak ? high : low) = mid;
        }
        gain = low;
    }
    std::vector<double> cycle(kSamplesPerTable);
    for (int i = 0; i < kSamplesPerTable; ++i) cycle[i] = fundamental[i] + gain * overtones[i];
    return cycle;
}

std::int16_t toSample(double x) {
    const double scaled = std::clamp(std::round(x * 32767.0), -32767.0, 32767.0);
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

std::array<int, kTablesPerSet> harmonicLimits() {
    std::array<int, kTablesPerSet> limits{};
    int table = 0;
    limits[0] = harmonicLimitOfNote(0);
    for (int note = 1; note < 128; ++note) {
        const int h = harmonicLimitOfNote(note);
        if (h != harmonicLimitOfNote(note - 1) && table + 1 < kTablesPerSet) limits[++table] = h;
    }
    return limits;
}

double tableLevel(int table) { return 0.5 - 0.2 * table / (kTablesPerSet - 1); }

std::vector<std::int16_t> makeWavetableSet(WavetableShape shape) {
    const auto sine = sineCycle();
    const auto limits = harmonicLimits();
    std::vector<std::int16_t> samples;
    samples.reserve(kTablesPerSet * kSamplesPerTable);
    for (int t = 0; t < kTablesPerSet; ++t) {
        const std::vector<double> cycle =
            shape == WavetableShape::Cymbal ? cymbalTable(t, limits[t], sine) : tonalTable(shape, t, limits[t], sine);
        for (double x : cycle) samples.push_back(toSample(x));
    }
    return samples;
}

std::vector<unsigned char> encodeLittleEndian(const std::vector<std::int16_t>& samples) {
    std::vector<unsigned char> bytes;
    bytes.reserve(samples.size() * 2);
    for (std::int16_t s : samples) {
        const auto u = static_cast<std::uint16_t>(s);
        bytes.push_back(static_cast<unsigned char>(u & 0xFFu));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    return bytes;
}

}  // namespace kettrix::resources::generators
