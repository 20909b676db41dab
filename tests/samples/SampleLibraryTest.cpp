// The synthesized sample library: the committed files match their generator,
// have the lengths the instrument expects, and sound like their names.
#include "FrequencyProbe.h"
#include "SampleCatalog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using kettrix::samplegen::Colour;
using kettrix::samplegen::SampleRecipe;

std::vector<unsigned char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<double> decode(const std::vector<unsigned char>& bytes) {
    std::vector<double> out(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto word = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        out[i] = static_cast<std::int16_t>(word) / 32767.0;
    }
    return out;
}

std::vector<SampleRecipe> everySample() {
    std::vector<SampleRecipe> all;
    for (const auto& r : kettrix::samplegen::noiseRecipes()) all.push_back(r);
    for (const auto& r : kettrix::samplegen::hitRecipes()) all.push_back(r);
    return all;
}

std::vector<double> committed(const SampleRecipe& recipe) {
    return decode(readFile(std::filesystem::path(KETTRIX_SAMPLES_DIR) / kettrix::samplegen::fileNameFor(recipe)));
}

TEST(SampleLibrary, RegenerationGivesTheCommittedBytes) {
    const std::filesystem::path dir = KETTRIX_REGENERATED_DIR;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string command = std::string("\"") + KETTRIX_SAMPLE_GEN + "\" \"" + dir.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& recipe : everySample()) {
        const auto name = kettrix::samplegen::fileNameFor(recipe);
        const auto fresh = readFile(dir / name);
        const auto stored = readFile(std::filesystem::path(KETTRIX_SAMPLES_DIR) / name);
        EXPECT_FALSE(stored.empty()) << name;
        EXPECT_TRUE(fresh == stored) << name << " differs from its generator";
    }
    std::filesystem::remove_all(dir);
}

TEST(SampleLibrary, TypesIdsAndLengthsCoverBothTables) {
    std::set<int> ids;
    int expectedNoiseType = 3;
    for (const auto& r : kettrix::samplegen::noiseRecipes()) {
        EXPECT_EQ(r.type, expectedNoiseType++);
        EXPECT_FALSE(r.isHit);
        ids.insert(r.resourceId);
    }
    EXPECT_EQ(expectedNoiseType, 40);
    int expectedHitType = 1;
    for (const auto& r : kettrix::samplegen::hitRecipes()) {
        EXPECT_EQ(r.type, expectedHitType++);
        EXPECT_TRUE(r.isHit);
        ids.insert(r.resourceId);
    }
    EXPECT_EQ(expectedHitType, 18);
    EXPECT_EQ(ids.size(), 54u) << "resource ids must be unique";
    // Spot checks at the ends of both tables.
    EXPECT_EQ(kettrix::samplegen::noiseRecipes()[30].resourceId, 236);  // "Vinyl 1"
    EXPECT_EQ(kettrix::samplegen::noiseRecipes()[30].length, 51083);
    EXPECT_EQ(kettrix::samplegen::hitRecipes()[0].length, 7);  // "Analog 1"
    for (const auto& r : everySample()) EXPECT_EQ(committed(r).size(), static_cast<std::size_t>(r.length)) << r.name;
}

TEST(SampleLibrary, LevelsArePeakNormalisedAndFreeOfOffset) {
    for (const auto& r : everySample()) {
        const auto x = committed(r);
        double peak = 0.0, sum = 0.0;
        for (double v : x) {
            peak = std::max(peak, std::fabs(v));
            sum += v;
        }
        const double peakDb = 20.0 * std::log10(peak);
        EXPECT_NEAR(peakDb, -1.0, 0.2) << r.name;
        EXPECT_LT(std::fabs(sum / static_cast<double>(x.size())), 0.002) << r.name << " has a DC offset";
    }
}

TEST(SampleLibrary, TexturesLoopWithoutSeamAndHitsEndAtRest) {
    for (const auto& r : everySample()) {
        const auto x = committed(r);
        if (!r.isHit) {
            // The player treats the last sample as the first one again.
            EXPECT_EQ(x.front(), x.back()) << r.name;
        } else if (r.length > 100) {
            EXPECT_LT(std::fabs(x.back()), 0.01) << r.name << " ends in a click";
        }
    }
}

TEST(SampleLibrary, SpectralCentroidMatchesTheCategory) {
    for (const auto& r : everySample()) {
        const double centroid = kettrix::testing::spectralCentroid(committed(r), 44100.0);
        switch (r.colour) {
            case Colour::Low:
                EXPECT_LT(centroid, 2500.0) << r.name;
                break;
            case Colour::Mid:
                EXPECT_GT(centroid, 1000.0) << r.name;
                EXPECT_LT(centroid, 9000.0) << r.name;
                break;
            case Colour::High:
                EXPECT_GT(centroid, 6000.0) << r.name;
                break;
            case Colour::Broad:
                EXPECT_GT(centroid, 3000.0) << r.name;
                break;
        }
    }
}

TEST(SampleLibrary, NoTwoSamplesAreIdentical) {
    std::set<std::vector<double>> seen;
    for (const auto& r : everySample()) EXPECT_TRUE(seen.insert(committed(r)).second) << r.name;
    // Same-length pairs are the risky ones (the same recipe run twice).
    const auto all = everySample();
    for (std::size_t a = 0; a < all.size(); ++a)
        for (std::size_t b = a + 1; b < all.size(); ++b)
            if (all[a].length == all[b].length) {
                EXPECT_NE(committed(all[a]), committed(all[b])) << all[a].name << " vs " << all[b].name;
            }
}

}  // namespace
