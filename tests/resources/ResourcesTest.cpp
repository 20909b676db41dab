// Resource lookup and the committed generated data.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "resources/Resources.h"

namespace {

using kettrix::resources::find;
using kettrix::resources::Resource;

constexpr std::size_t kWavetableSetBytes = 76 * 1024 * 2;
const int kWavetableIds[] = {201, 202, 203, 204, 300, 301, 302};

TEST(ResourceLookup, EveryWavetableIdHasAFullSet) {
    for (int id : kWavetableIds) {
        const Resource r = find("WAV", id);
        ASSERT_TRUE(r) << "WAV " << id;
        EXPECT_EQ(r.size, kWavetableSetBytes) << "WAV " << id;
    }
}

TEST(ResourceLookup, TypeIgnoresAsciiCase) {
    EXPECT_EQ(find("wav", 201).data, find("WAV", 201).data);
    EXPECT_EQ(find("Wav", 302).size, kWavetableSetBytes);
}

TEST(ResourceLookup, MissingResourcesAreEmpty) {
    for (auto [type, id] : {std::pair<const char*, int>{"WAV", 200},
                            {"WAV", 0},
                            {"WAV", -201},
                            {"PNG", 201},
                            {"", 201},
                            {"WAVE", 201},
                            {"WA", 201}}) {
        const Resource r = find(type, id);
        EXPECT_FALSE(r) << type << " " << id;
        EXPECT_EQ(r.data, nullptr);
        EXPECT_EQ(r.size, 0u);
    }
}

#ifdef KETTRIX_WAVETABLE_GEN
std::vector<unsigned char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The committed wavetable files, and the bytes embedded in the library, are
// exactly what the generator makes today.
TEST(ResourceRegeneration, GeneratorReproducesCommittedWavetables) {
    namespace fs = std::filesystem;
    std::random_device entropy;
    const fs::path out = fs::temp_directory_path() / ("kettrix-wavetables-" + std::to_string(entropy()));
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string command = std::string("\"") + KETTRIX_WAVETABLE_GEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::pair<int, const char*> files[] = {
        {201, "201-sine-pure.raw"}, {202, "202-sine-808.raw"}, {203, "203-sine-909.raw"}, {204, "204-triangle.raw"},
        {300, "300-square.raw"},    {301, "301-saw.raw"},      {302, "302-cymbal.raw"}};
    for (auto [id, name] : files) {
        const auto fresh = readFile(out / name);
        const auto committed = readFile(fs::path(KETTRIX_SOURCE_DIR) / "resources/wavetables" / name);
        ASSERT_EQ(fresh.size(), kWavetableSetBytes) << name;
        EXPECT_TRUE(fresh == committed) << name << " differs from its generator: run regenerate-resources";
        const Resource embedded = find("WAV", id);
        ASSERT_EQ(embedded.size, fresh.size());
        EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), embedded.data)) << name << " embedded bytes differ";
    }
    fs::remove_all(out);
}
#endif

}  // namespace
