// Properties of the embedded wavetable sets, measured on the data itself:
// band limits by a DFT of every table, the level rule and the cycle shape.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "resources/Resources.h"

namespace {

constexpr int kTables = 76;
constexpr int kLength = 1024;
constexpr double kPi = 3.14159265358979323846;

struct SetUnderTest {
    int id;
    const char* name;
    double fundamentalPerLevel;  // fundamental amplitude / waveform level
};

const SetUnderTest kSets[] = {
    {201, "Sine (pure)", 1.0},  {202, "Sine (808)", 1.0},
    {203, "Sine (909)", 1.0},   {204, "Triangle", 8.0 / (kPi * kPi)},
    {300, "Square", 4.0 / kPi}, {301, "Saw", 2.0 / kPi},
    {302, "cymbal", 1.0},
};

double noteFrequency(int n) { return 440.0 * std::pow(2.0, (n - 60) / 12.0); }

// Highest note index that reads each table, following the oscillator's
// rule: the table index steps up whenever floor(min(22050 / f, 512)) changes.
std::array<int, kTables> highestNoteOfTable() {
    auto h = [](int n) { return int(std::floor(std::min(22050.0 / noteFrequency(n), 512.0))); };
    std::array<int, kTables> highest{};
    int table = 0;
    for (int n = 0; n < 128; ++n) {
        if (n > 0 && h(n) != h(n - 1)) ++table;
        highest.at(table) = n;
    }
    EXPECT_EQ(table, kTables - 1);
    return highest;
}

std::vector<double> loadTable(const kettrix::resources::Resource& r, int t) {
    std::vector<double> x(kLength);
    for (int i = 0; i < kLength; ++i) {
        const std::size_t at = (std::size_t(t) * kLength + i) * 2;
        const auto raw = std::uint16_t(r.data[at] | (r.data[at + 1] << 8));
        x[i] = std::int16_t(raw) / 32767.0;
    }
    return x;
}

// Amplitude of harmonic k (peak of its sinusoid) by a direct DFT.
double harmonicAmplitude(const std::vector<double>& x, int k) {
    static const auto unitCircle = [] {
        std::array<std::pair<double, double>, kLength> points{};
        for (int i = 0; i < kLength; ++i)
            points[i] = {std::cos(2.0 * kPi * i / kLength), std::sin(2.0 * kPi * i / kLength)};
        return points;
    }();
    double re = 0.0, im = 0.0;
    for (int i = 0; i < kLength; ++i) {
        const auto& [c, s] = unitCircle[(k * i) % kLength];
        re += x[i] * c;
        im += x[i] * s;
    }
    return 2.0 * std::hypot(re, im) / kLength;
}

TEST(WavetableData, NoHarmonicAboveNyquistOfHighestNoteUsingTheTable) {
    const auto highest = highestNoteOfTable();
    for (const auto& set : kSets) {
        const auto r = kettrix::resources::find("WAV", set.id);
        ASSERT_EQ(r.size, std::size_t(kTables * kLength * 2)) << set.name;
        for (int t = 0; t < kTables; ++t) {
            const auto x = loadTable(r, t);
            const double top = noteFrequency(highest[t]);
            double worst = 0.0;
            int worstK = 0;
            for (int k = 1; k <= kLength / 2; ++k) {
                if (k * top <= 22050.0) continue;
                const double a = harmonicAmplitude(x, k);
                if (a > worst) worst = a, worstK = k;
            }
            // 16-bit rounding alone leaves about 1e-6 per bin.
            EXPECT_LT(worst, 1e-4) << set.name << " table " << t << " harmonic " << worstK;
        }
    }
}

TEST(WavetableData, FundamentalFollowsTheLevelRule) {
    for (const auto& set : kSets) {
        const auto r = kettrix::resources::find("WAV", set.id);
        for (int t = 0; t < kTables; ++t) {
            const double level = 0.5 - 0.2 * t / 75.0;
            const double expected = level * set.fundamentalPerLevel;
            EXPECT_NEAR(harmonicAmplitude(loadTable(r, t), 1), expected, 1e-3) << set.name << " table " << t;
        }
    }
}

TEST(WavetableData, CyclesStartAtZeroFallFirstAndStayInRange) {
    for (const auto& set : kSets) {
        const auto r = kettrix::resources::find("WAV", set.id);
        for (int t = 0; t < kTables; ++t) {
            const auto x = loadTable(r, t);
            EXPECT_EQ(x[0], 0.0) << set.name << " table " << t;
            EXPECT_LT(x[1], 0.0) << set.name << " table " << t;
            const double peak = std::fabs(
                *std::max_element(x.begin(), x.end(), [](double a, double b) { return std::fabs(a) < std::fabs(b); }));
            EXPECT_LT(peak, 1.0) << set.name << " table " << t;
            EXPECT_GT(peak, 0.15) << set.name << " table " << t;
        }
    }
}

struct HarmonicShape {
    int id;
    int table;
    double k2, k3, k5;  // amplitudes of harmonics 2, 3 and 5 relative to the fundamental
};

TEST(WavetableData, TonalSetsHaveTheirHarmonicRecipes) {
    const HarmonicShape shapes[] = {
        {201, 0, 0.0, 0.0, 0.0},
        {202, 0, 0.0, 0.0, 0.0},              // the 808 second harmonic fades out at the ends...
        {202, 37, 0.2, 0.0, 0.0},             // ...and swells to a fifth in the middle
        {203, 0, 0.0, 0.1122, 0.0158},        // 909: third 19 dB, fifth 36 dB down
        {204, 0, 0.0, 1.0 / 9, 1.0 / 25},     // triangle: odd, 1/k^2
        {300, 0, 0.0, 1.0 / 3, 1.0 / 5},      // square: odd, 1/k
        {301, 0, 1.0 / 2, 1.0 / 3, 1.0 / 5},  // saw: all, 1/k
    };
    for (const auto& s : shapes) {
        const auto x = loadTable(kettrix::resources::find("WAV", s.id), s.table);
        const double a1 = harmonicAmplitude(x, 1);
        EXPECT_NEAR(harmonicAmplitude(x, 2) / a1, s.k2, 2e-3) << s.id << " table " << s.table;
        EXPECT_NEAR(harmonicAmplitude(x, 3) / a1, s.k3, 2e-3) << s.id << " table " << s.table;
        EXPECT_NEAR(harmonicAmplitude(x, 5) / a1, s.k5, 2e-3) << s.id << " table " << s.table;
    }
}

TEST(WavetableData, CymbalCycleIsDenseButIrregular) {
    // Many overtones, but not a harmonic series: a good share of the low
    // harmonics is missing, and the present ones do not fall smoothly.
    const auto x = loadTable(kettrix::resources::find("WAV", 302), 0);
    int present = 0, missing = 0, rises = 0;
    double previous = 0.0;
    for (int k = 2; k <= 200; ++k) {
        const double a = harmonicAmplitude(x, k);
        if (a > 1e-3) {
            ++present;
            if (a > previous) ++rises;
            previous = a;
        } else {
            ++missing;
        }
    }
    EXPECT_GT(present, 40);
    EXPECT_GT(missing, 40);
    EXPECT_GT(rises, 10);
}

}  // namespace
