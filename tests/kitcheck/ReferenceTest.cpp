// Drum recordings measured as references: roles from instrument names, the
// drumkit.xml elements, reading sound files, and a small kit folder measured
// end to end.
#include "Reference.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kettrix::kitcheck;
namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A mono 16-bit FLAC file of a decaying 100 Hz tone with a 3 kHz partial
// of the given amplitude (the bright part of a hard hit).
void writeHit(const fs::path& path, double amplitude, double bright) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<double> x(22050);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        x[i] = std::exp(-8.0 * t) * (amplitude * std::sin(2 * kPi * 100 * t) + bright * std::sin(2 * kPi * 3000 * t));
    }
    sf_writef_double(file, x.data(), static_cast<sf_count_t>(x.size()));
    sf_close(file);
}

}  // namespace

TEST(Reference, RolesFromInstrumentNames) {
    const std::pair<const char*, int> cases[] = {
        {"Kick", 0},
        {"Kick Hard 2", 0},
        {"BassDrum", 0},
        {"c3 - bass drum 1", 0},
        {"Pearl Kick", 0},
        {"Snare Jazz", 2},
        {"Snare Rimshot (Pearl Free Floating Maple 14x3.5)", 2},
        {"Snare Roll", -1},
        {"Hand Clap", 3},
        {"Closed HH", 4},
        {"Hi Hat Closed", 4},
        {"VariBreaks Hat 1 Cl", 4},
        {"Hi-Hat Open (Paiste Alpha Metal edge 14\")", 5},
        {"Hat Op Phaser", 5},
        {"Sabian Hat Semi-Open", -1},
        {"Pedal HH", -1},
        {"Hat Ring 1", -1},
        {"Tom Low", 6},
        {"Floor Tom", 6},
        {"Tom Hi", 7},
        {"Tom Mid", 7},
        {"Pearl Tom 1", -1},
        {"crash16inch", 8},
        {"Crash/Ride (Paiste Rude Crash/Ride 18\")", -1},
        {"Ride Jazz", 9},
        {"Ride Bell", -1},
        {"Cowbell", 1},
        {"Djembe1 Bass", -1},
        {"Click", -1},
    };
    for (const auto& [name, role] : cases) EXPECT_EQ(roleFromName(name), role) << name;
}

TEST(Reference, DrumkitElementsOfBothFormats) {
    const Drumkit kit = parseDrumkit(
        "<drumkit_info><name>Test &amp; Co</name><instrumentList>"
        "<instrument><id>0</id><name>Kick</name><volume>1</volume>"
        "<layer><filename>bd_01.flac</filename><min>0</min><max>0.4</max><gain>1.5</gain></layer>"
        "<layer><filename>bd_02.flac</filename><min>0.4</min><max>1</max><gain>1</gain></layer></instrument>"
        "<instrument><id>1</id><name>Old Snare</name><filename>sn.wav</filename></instrument>"
        "<instrument><id>2</id><name>17</name><layer><filename></filename></layer></instrument>"
        "</instrumentList></drumkit_info>");
    EXPECT_EQ(kit.name, "Test & Co");
    ASSERT_EQ(kit.instruments.size(), 3u);
    ASSERT_EQ(kit.instruments[0].layers.size(), 2u);
    EXPECT_EQ(kit.instruments[0].layers[0].file, "bd_01.flac");
    EXPECT_DOUBLE_EQ(kit.instruments[0].layers[0].gain, 1.5);
    EXPECT_DOUBLE_EQ(kit.instruments[0].layers[1].min, 0.4);
    ASSERT_EQ(kit.instruments[1].layers.size(), 1u);
    EXPECT_EQ(kit.instruments[1].layers[0].file, "sn.wav");
    EXPECT_TRUE(kit.instruments[2].layers.empty());
}

TEST(Reference, AKitFolderIsMeasuredWithTheKitsCode) {
    const fs::path dir = fs::temp_directory_path() / ("kettrix-reference-test-" + std::to_string(::getpid()));
    fs::create_directories(dir / "Kit A");
    writeHit(dir / "Kit A" / "soft.flac", 0.2, 0.0);
    writeHit(dir / "Kit A" / "hard.flac", 0.5, 0.3);
    std::ofstream(dir / "Kit A" / "drumkit.xml")
        << "<drumkit_info><name>Kit A</name><instrumentList><instrument><name>Low Tom</name>"
           "<layer><filename>soft.flac</filename><min>0</min><max>0.5</max><gain>1</gain></layer>"
           "<layer><filename>hard.flac</filename><min>0.5</min><max>1</max><gain>1</gain></layer>"
           "</instrument><instrument><name>Tambourine Pedal</name><filename>missing.flac</filename></instrument>"
           "</instrumentList></drumkit_info>";

    std::vector<double> left, right;
    double rate = 0;
    ASSERT_TRUE(readAudio((dir / "Kit A" / "hard.flac").string(), left, right, rate));
    EXPECT_EQ(rate, 44100.0);
    EXPECT_EQ(left.size(), 22050u);
    EXPECT_EQ(left, right);  // mono in both channels

    std::vector<RecordedSound> sounds;
    std::string error;
    ASSERT_TRUE(measureRecordings(dir.string(), sounds, error)) << error;
    ASSERT_EQ(sounds.size(), 1u);  // the tambourine's file is missing
    EXPECT_EQ(sounds[0].role, 6);
    ASSERT_TRUE(sounds[0].hasSoftLayer);
    EXPECT_NEAR(sounds[0].soft.startPitchHz, 100.0, 2.0);
    // The hard layer is louder and brighter (its 3 kHz partial).
    EXPECT_GT(sounds[0].loud.loudness - sounds[0].soft.loudness, 6.0);
    EXPECT_GT(semitones(sounds[0].loud.centroidHz, sounds[0].soft.centroidHz), 12.0);

    const std::string table = referenceTable(sounds, {});
    EXPECT_NE(table.find("| low tom | velocity tone semitones |"), std::string::npos);

    std::vector<RecordedSound> none;
    EXPECT_FALSE(measureRecordings((dir / "no such folder").string(), none, error));
    fs::remove_all(dir);
}

TEST(Reference, RangesArePercentilesBetweenRanks) {
    const Range r = rangeOf({10, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_DOUBLE_EQ(r.p10, 1.9);
    EXPECT_DOUBLE_EQ(r.median, 5.5);
    EXPECT_DOUBLE_EQ(r.p90, 9.1);
    EXPECT_EQ(r.count, 10u);
    EXPECT_EQ(rangeOf({}).count, 0u);
}
