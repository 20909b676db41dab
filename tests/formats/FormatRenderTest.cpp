// kettrix-render run as a program with --format: one Standard MIDI File
// rendered through the VST 2 module, the CLAP module and the LV2 bundle gives
// the same WAV file, sample for sample and byte for byte.
#include "RunProgram.h"
#include "SmfBuilder.h"
#include "WavReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using namespace kettrix::render::test;

namespace {

const std::string kRender = KETTRIX_RENDER_EXE;
const std::string kScratch = KETTRIX_TEST_SCRATCH_DIR;
constexpr int kRate = 44100;

std::string scratch(const std::string& name) { return kScratch + "/format-" + name; }

ProgramResult run(const std::string& name, const std::vector<std::string>& args) {
    return runProgram(kRender, args, scratch(name));
}

// Eight overlapping sounds at 480 ticks per quarter, the first at tick 240
// (a quarter second at 120 BPM: sample 11025), with a tempo change halfway.
std::string writeGroove() {
    SmfTrack track;
    track.tempo(0, 500000);
    const uint8_t keys[] = {36, 48, 60, 66, 36, 54, 84, 90};
    for (int i = 0; i < 8; ++i) {
        track.event(i == 0 ? 240 : 120, {0x90, keys[i], static_cast<uint8_t>(50 + 10 * i)});
        if (i == 4) track.tempo(0, 400000);
        track.event(60, {0x80, keys[i], 0});
    }
    track.end(480);
    const std::vector<uint8_t> bytes = smfFile(0, 480, {track});
    const std::string path = scratch("groove.mid");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Renders the groove in one format with every output a channel of its own
// and an odd block size, so blocks end in the middle of notes.
WavData renderGroove(const std::string& format, const std::string& plugin, std::string* bytes = nullptr) {
    const std::string wav = scratch(format + ".wav");
    const ProgramResult result =
        run(format, {"--format", format, plugin, "--midi", writeGroove(), "--out", wav, "--mix", "all", "--block",
                     "200", "--tail", "0.5", "--rate", std::to_string(kRate)});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    if (bytes != nullptr) *bytes = slurp(wav);
    return readWav(wav);
}

TEST(RenderFormats, OneMidiFileGivesTheSameSamplesThroughVst2ClapAndLv2) {
    std::string vst2Bytes, clapBytes, lv2Bytes;
    const WavData vst2 = renderGroove("vst2", KETTRIX4_VST2_PATH, &vst2Bytes);
    const WavData clap = renderGroove("clap", KETTRIX4_CLAP_PATH, &clapBytes);
    const WavData lv2 = renderGroove("lv2", KETTRIX4_LV2_BUNDLE, &lv2Bytes);

    ASSERT_EQ(vst2.channels, 12);
    ASSERT_GT(vst2.frames(), 44100u);
    // The VST 2 render is a real one: silent before the first note, sounding
    // within a millisecond of it, finite throughout.
    const std::size_t firstNote = 11025;
    double before = 0.0, onset = 0.0, energy = 0.0;
    for (std::size_t f = 0; f < vst2.frames(); ++f) {
        for (std::size_t c = 0; c < 12; ++c) {
            const float v = vst2.at(f, c);
            ASSERT_TRUE(std::isfinite(v));
            energy += double(v) * v;
            if (f < firstNote) before += std::fabs(v);
            if (f >= firstNote && f < firstNote + 44) onset += std::fabs(v);
        }
    }
    EXPECT_EQ(before, 0.0);
    EXPECT_GT(onset, 0.0);
    EXPECT_GT(energy, 1.0);

    EXPECT_EQ(clap.channels, vst2.channels);
    EXPECT_EQ(lv2.channels, vst2.channels);
    EXPECT_EQ(clap.samples, vst2.samples);
    EXPECT_EQ(lv2.samples, vst2.samples);
    // The files themselves, header included.
    EXPECT_TRUE(clapBytes == vst2Bytes);
    EXPECT_TRUE(lv2Bytes == vst2Bytes);
}

TEST(RenderFormats, TheDemoMixedToStereoIsTheSameThroughClap) {
    const std::string vst2Wav = scratch("demo-vst2.wav"), clapWav = scratch("demo-clap.wav");
    ASSERT_EQ(run("demo-vst2", {KETTRIX4_VST2_PATH, "--demo", "--out", vst2Wav, "--tail", "0"}).exitCode, 0);
    const ProgramResult clap =
        run("demo-clap", {"--format", "clap", KETTRIX4_CLAP_PATH, "--demo", "--out", clapWav, "--tail", "0"});
    ASSERT_EQ(clap.exitCode, 0) << clap.err;
    const WavData vst2 = readWav(vst2Wav);
    EXPECT_EQ(vst2.channels, 2);
    EXPECT_GT(vst2.frames(), 0u);
    EXPECT_EQ(readWav(clapWav).samples, vst2.samples);
}

TEST(RenderFormats, WrongFormatsAndOptionsAreRefused) {
    const std::string wav = scratch("refused.wav");
    // A format that does not exist, and options only the VST 2 host has.
    EXPECT_EQ(run("bad-format", {"--format", "vst3", KETTRIX4_CLAP_PATH, "--demo", "--out", wav}).exitCode, 2);
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--program", "1"}, {"--precision", "double"}, {"--save-state", wav + ".state"}}) {
        std::vector<std::string> args{"--format", "clap", KETTRIX4_CLAP_PATH, "--demo", "--out", wav};
        args.insert(args.end(), extra.begin(), extra.end());
        const ProgramResult result = run("vst2-only", args);
        EXPECT_EQ(result.exitCode, 2) << extra[0];
        EXPECT_NE(result.err.find("--format vst2"), std::string::npos) << result.err;
    }
    EXPECT_EQ(run("info", {"--format", "lv2", "--info", KETTRIX4_LV2_BUNDLE}).exitCode, 2);
    // A module of another format is a failure, not a crash.
    const ProgramResult vst2AsClap =
        run("vst2-as-clap", {"--format", "clap", KETTRIX4_VST2_PATH, "--demo", "--out", wav});
    EXPECT_EQ(vst2AsClap.exitCode, 1);
    EXPECT_NE(vst2AsClap.err.find("clap_entry"), std::string::npos) << vst2AsClap.err;
    EXPECT_EQ(run("clap-as-lv2", {"--format", "lv2", KETTRIX4_CLAP_PATH, "--demo", "--out", wav}).exitCode, 1);
}

}  // namespace
