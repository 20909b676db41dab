// kettrix-render run as a program, the way users and scripts run it.
#include "RunProgram.h"
#include "SmfBuilder.h"
#include "WavReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace kettrix::render::test;

namespace {

const std::string kRender = KETTRIX_RENDER_EXE;
const std::string kClick = KETTRIX_CLICK_PLUGIN;
const std::string kScratch = KETTRIX_TEST_SCRATCH_DIR;

std::string scratch(const std::string& name) { return kScratch + "/command-" + name; }

ProgramResult run(const std::string& name, const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& env = {}) {
    return runProgram(kRender, args, scratch(name), env);
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readFile(const std::string& path) {
    const std::string text = slurp(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A format 1 file at 480 ticks per quarter: 120 BPM, then 60 BPM from tick
// 960 on. At 48 kHz the notes sound at samples 0, 24000, 48000, 96000 and
// their note-offs end at 108000.
std::string writeTempoChangeFile(const std::string& name) {
    SmfTrack tempo;
    tempo.tempo(0, 500000).tempo(960, 1000000).end();
    SmfTrack notes;
    notes.event(0, {0x90, 36, 100})
        .event(480, {0x90, 42, 100})
        .event(480, {0x99, 48, 100})
        .event(480, {0x90, 54, 100})
        .event(120, {0x80, 54, 0})
        .end();
    const std::string path = scratch(name + ".mid");
    writeFile(path, smfFile(1, 480, {tempo, notes}));
    return path;
}

std::vector<std::size_t> clickFrames(const WavData& wav, int channel) {
    std::vector<std::size_t> frames;
    for (std::size_t i = 0; i < wav.frames(); ++i)
        if (wav.at(i, channel) != 0.0f) frames.push_back(i);
    return frames;
}

bool allFinite(const WavData& wav) {
    for (float v : wav.samples)
        if (!std::isfinite(v)) return false;
    return true;
}

float peak(const WavData& wav) {
    float p = 0.0f;
    for (float v : wav.samples) p = std::max(p, std::fabs(v));
    return p;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

TEST(RenderCommand, HelpAndInfoDescribeTheCommandAndThePlugin) {
    const auto help = run("help", {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--midi FILE.mid --out FILE.wav"), std::string::npos);

    const auto info = run("info", {"--info", kClick});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    for (const char* expected :
         {"Effect name: Click\n", "Vendor: Kettrix Tests\n", "Product: Click Test Instrument\n",
          "Unique ID: 'Clik' 0x436C696B\n", "CanReplacing | ProgramChunks | IsSynth | CanDoubleReplacing",
          "Category: synth\n", "Outputs: 4\n", "  0: \"Click 1\" stereo (first of a pair)\n", "  1: \"Click 2\"\n",
          "Programs: 3\n", "  2: Click C\n", "Parameters: 2\n", "  0: Gain = 0.50 dB\n", "  1: Width = 0.25\n"}) {
        EXPECT_NE(info.out.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << info.out;
    }

    // Without effGetProgramNameIndexed the names come from selecting each
    // program, and the current program is restored afterwards.
    const std::string log = scratch("info-names.log");
    std::remove(log.c_str());
    const auto fallback =
        run("info-names", {"--info", kClick}, {{"CLICK_PLUGIN_NO_INDEXED_NAMES", "1"}, {"CLICK_PLUGIN_LOG", log}});
    ASSERT_EQ(fallback.exitCode, 0) << fallback.err;
    EXPECT_NE(fallback.out.find("  0: Click A\n  1: Click B\n  2: Click C\n"), std::string::npos) << fallback.out;
    const auto calls = lines(slurp(log));
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "program 0");
    EXPECT_EQ(calls.back(), "close");
}

TEST(RenderCommand, MidiFileRendersClicksAtExactSamplesWithTheRightLayout) {
    const std::string midi = writeTempoChangeFile("tempo");
    const std::vector<std::size_t> expected = {0, 24000, 48000, 96000};
    // Tail 0.25 s after the last event (the note-off at 108000).
    const std::size_t length = 108000 + 12000;

    for (const char* block : {"1", "100", "65536"}) {
        SCOPED_TRACE(std::string("block ") + block);
        const std::string out = scratch(std::string("all-") + block + ".wav");
        const auto r = run("all", {kClick, "--midi", midi, "--out", out, "--rate", "48000", "--block", block, "--mix",
                                   "all", "--tail", "0.25"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const WavData wav = readWav(out);
        ASSERT_TRUE(wav.valid) << wav.problem;
        EXPECT_EQ(wav.channels, 4);
        EXPECT_EQ(wav.sampleRate, 48000u);
        EXPECT_EQ(wav.frames(), length);
        EXPECT_TRUE(allFinite(wav)) << "the click plug-in saw an event outside its block";
        for (int c = 0; c < 4; ++c) EXPECT_EQ(clickFrames(wav, c), expected) << "channel " << c;
        EXPECT_EQ(wav.at(96000, 3), 0.5f);
    }

    const std::string stereo = scratch("stereo.wav");
    const auto r = run("stereo", {kClick, "--midi", midi, "--out", stereo, "--rate", "48000", "--tail", "0.25",
                                  "--precision", "double"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const WavData wav = readWav(stereo);
    ASSERT_TRUE(wav.valid) << wav.problem;
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.frames(), length);
    EXPECT_EQ(clickFrames(wav, 0), expected);
    EXPECT_EQ(wav.at(24000, 0), 0.5f);
    EXPECT_EQ(wav.at(24000, 1), 0.75f);
}

TEST(RenderCommand, HostFollowsTheUsualCallSequenceAndReportsTime) {
    const std::string midi = writeTempoChangeFile("sequence");
    const std::string log = scratch("sequence.log");
    std::remove(log.c_str());
    const std::string state = scratch("sequence.state");
    writeFile(state, {1, 2, 3});

    const auto r =
        run("sequence",
            {kClick, "--midi", midi, "--out", scratch("sequence.wav"), "--rate", "48000", "--block", "4000",
             "--program", "2", "--load-state", state, "--save-state", scratch("sequence-saved.state"), "--tail", "0"},
            {{"CLICK_PLUGIN_LOG", log}});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // Every call but the per-block ones, in order.
    std::vector<std::string> calls;
    double expectedPos = 0;
    int blocks = 0;
    for (const std::string& line : lines(slurp(log))) {
        if (line.rfind("process ", 0) == 0) {
            int frames = 0, playing = 0, level = 0, num = 0, den = 0;
            double pos = 0, ppq = 0, tempo = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "process %d pos %lf ppq %lf tempo %lf sig %d/%d playing %d level %d",
                                  &frames, &pos, &ppq, &tempo, &num, &den, &playing, &level),
                      8)
                << line;
            EXPECT_EQ(pos, expectedPos) << line;
            EXPECT_EQ(playing, 1);
            EXPECT_EQ(level, 4) << "offline";
            EXPECT_EQ(num, 4);
            // Two quarters at 120 BPM take 48000 samples, then 60 BPM.
            EXPECT_EQ(tempo, pos < 48000 ? 120.0 : 60.0) << line;
            EXPECT_NEAR(ppq, pos < 48000 ? pos / 24000.0 : 2.0 + (pos - 48000) / 48000.0, 1e-4) << line;
            expectedPos += frames;
            ++blocks;
        } else if (line.rfind("events ", 0) != 0) {
            calls.push_back(line);
        }
    }
    EXPECT_EQ(blocks, 28) << "108001 frames in blocks of 4000";
    const std::vector<std::string> expected = {"host kettrix-render",
                                               "open",
                                               "rate 48000",
                                               "block 4000",
                                               "precision 0",
                                               "program 2",
                                               "setchunk 1 3",
                                               "mains 1",
                                               "start",
                                               "stop",
                                               "mains 0",
                                               "getchunk 1",
                                               "close"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(readFile(scratch("sequence-saved.state")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(RenderCommand, ProgressIsShownWhenAsked) {
    const std::string midi = writeTempoChangeFile("progress");
    const auto quiet = run("quiet", {kClick, "--midi", midi, "--out", scratch("quiet.wav"), "--tail", "0"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "") << "stderr is not a terminal here";
    const auto shown =
        run("progress", {kClick, "--midi", midi, "--out", scratch("progress.wav"), "--tail", "0", "--progress"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.err.find("rendering 100%"), std::string::npos) << shown.err;
}

TEST(RenderCommand, BadCommandLinesExitWithStatusTwo) {
    const std::string midi = writeTempoChangeFile("usage");
    const std::string out = scratch("usage.wav");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {kClick},
        {kClick, "--midi", midi},
        {kClick, "--midi", midi, "--demo", "--out", out},
        {kClick, "--midi", midi, "--out", out, "--frobnicate"},
        {kClick, "--midi", midi, "--out", out, "--block", "0"},
        {kClick, "--midi", midi, "--out", out, "--block", "12x"},
        {kClick, "--midi", midi, "--out", out, "--rate", "fast"},
        {kClick, "--midi", midi, "--out", out, "--precision", "half"},
        {kClick, "--midi", midi, "--out", out, "--mix", "mono"},
        {kClick, "--midi", midi, "--out", out, "--tail", "-1"},
        {kClick, "--midi", midi, "--out", out, "--tail", "nan"},
        {kClick, "--midi", midi, "--out", out, "--program"},
        {kClick, kClick, "--midi", midi, "--out", out},
        {"--editor", kClick, "--after", "1"},
        {"--editor", kClick, "--screenshot", out, "--after", "-2"},
        {"--editor", kClick, "--demo", "--out", out},
        {"--editor", "--info", kClick},
        {kClick, "--midi", midi, "--out", out, "--screenshot", scratch("x.png")},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args) joined += a + ' ';
        SCOPED_TRACE(joined);
        const auto r = run("usage", args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("kettrix-render: "), std::string::npos);
    }
}

TEST(RenderCommand, UnusablePluginsAndFilesExitWithStatusOneAndSayWhy) {
    const std::string midi = writeTempoChangeFile("failures");
    const std::string out = scratch("failures.wav");
    const std::string textFile = scratch("not-a-library.so");
    writeFile(textFile, {'h', 'e', 'l', 'l', 'o'});
    const std::string corruptMidi = scratch("corrupt.mid");
    writeFile(corruptMidi, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 9});

    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"missing plug-in", {scratch("nowhere.so"), "--midi", midi, "--out", out}, "cannot open plug-in"},
        {"missing plug-in for --info", {"--info", scratch("nowhere.so")}, "cannot open plug-in"},
        {"not a library", {textFile, "--midi", midi, "--out", out}, "cannot load plug-in"},
        {"library without entry point", {"--info", KETTRIX_NOT_A_PLUGIN}, "neither VSTPluginMain nor main"},
        {"missing MIDI file", {kClick, "--midi", scratch("nowhere.mid"), "--out", out}, "cannot open MIDI file"},
        {"corrupt MIDI file", {kClick, "--midi", corruptMidi, "--out", out}, "unexpected end of data"},
        {"program out of range", {kClick, "--midi", midi, "--out", out, "--program", "3"}, "out of range"},
        {"missing state file",
         {kClick, "--midi", midi, "--out", out, "--load-state", scratch("nowhere.state")},
         "cannot open state file"},
        {"unwritable output", {kClick, "--midi", midi, "--out", scratch("no-dir/x.wav")}, "cannot create"},
        {"editor of a plug-in without one", {"--editor", kClick}, "has no editor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = run("failure", c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }

    const auto noDouble = run("no-double", {kClick, "--midi", midi, "--out", out, "--precision", "double"},
                              {{"CLICK_PLUGIN_NO_DOUBLE", "1"}});
    EXPECT_EQ(noDouble.exitCode, 1);
    EXPECT_NE(noDouble.err.find("cannot process in double precision"), std::string::npos) << noDouble.err;
}

TEST(RenderCommand, StateFileRoundTripsByteForByte) {
    const std::string midi = writeTempoChangeFile("state");
    std::vector<uint8_t> original(3000);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<uint8_t>((i * 37u + 11u) & 0xFFu);
    const std::string in = scratch("state-in.bin"), saved = scratch("state-out.bin");
    writeFile(in, original);
    const auto r = run("state", {kClick, "--midi", midi, "--out", scratch("state.wav"), "--load-state", in,
                                 "--save-state", saved, "--tail", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(saved), original);
}

#ifdef KETTRIX4_PLUGIN
TEST(RenderCommandKettrix4, InfoShowsTheInstrument) {
    const auto info = run("k4-info", {"--info", KETTRIX4_PLUGIN});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    for (const char* expected : {"Effect name: Kettrix4\n", "Vendor: Sorvane\n", "Unique ID: 'KTX4' 0x4B545834\n",
                                 "Outputs: 12\n", "  0: \"Output 1\" stereo (first of a pair)\n",
                                 "  11: \"Output 12\"\n", "Programs: 128\n", "Parameters: 1393\n"}) {
        EXPECT_NE(info.out.find(expected), std::string::npos) << "missing: " << expected;
    }
}

TEST(RenderCommandKettrix4, MidiFileRendersToTheRightLengthAndChannels) {
    const std::string midi = writeTempoChangeFile("k4");
    for (const auto& [mix, channels] : {std::pair<std::string, int>{"all", 12}, {"stereo", 2}}) {
        SCOPED_TRACE(mix);
        const std::string out = scratch("k4-" + mix + ".wav");
        const auto r = run("k4-render", {KETTRIX4_PLUGIN, "--midi", midi, "--out", out, "--rate", "48000", "--mix", mix,
                                         "--tail", "0.5"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const WavData wav = readWav(out);
        ASSERT_TRUE(wav.valid) << wav.problem;
        EXPECT_EQ(wav.channels, channels);
        EXPECT_EQ(wav.frames(), 108000u + 24000u);
        EXPECT_TRUE(allFinite(wav));
    }
}

TEST(RenderCommandKettrix4, ProgramChunkRoundTripsThroughStateFiles) {
    const std::string midi = writeTempoChangeFile("k4-state");
    const std::string first = scratch("k4-first.state"), second = scratch("k4-second.state");
    auto r = run("k4-save", {KETTRIX4_PLUGIN, "--midi", midi, "--out", scratch("k4-save.wav"), "--program", "3",
                             "--save-state", first, "--tail", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = run("k4-load", {KETTRIX4_PLUGIN, "--midi", midi, "--out", scratch("k4-load.wav"), "--load-state", first,
                        "--save-state", second, "--tail", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto saved = readFile(first);
    ASSERT_GT(saved.size(), 8u);
    EXPECT_EQ(saved[0], 't') << "little-endian 'pfft' magic";
    EXPECT_EQ(readFile(second), saved);
}
#endif

TEST(RenderCommandThirdParty, DebianInstrumentProducesSound) {
    // Kars, a string synthesizer from Debian's dpf-plugins-vst package, run
    // only as a test subject for the host.
    const std::string kars = "/usr/lib/vst/Kars-vst.so";
    if (!std::ifstream(kars)) GTEST_SKIP() << kars << " is not installed (package dpf-plugins-vst)";
    const std::string out = scratch("kars.wav");
    // Leak reports from a foreign library are not ours to fix.
    const auto r = run("kars", {kars, "--demo", "--out", out, "--tail", "0.5"}, {{"ASAN_OPTIONS", "detect_leaks=0"}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const WavData wav = readWav(out);
    ASSERT_TRUE(wav.valid) << wav.problem;
    EXPECT_EQ(wav.channels, 2);
    EXPECT_TRUE(allFinite(wav));
    EXPECT_GT(peak(wav), 0.01f) << "the instrument stayed silent";
    // A note sounds from the first beat; the second half of the first bar
    // is not silent either.
    float secondHalf = 0.0f;
    for (std::size_t i = 44100; i < 88200; ++i) secondHalf = std::max(secondHalf, std::fabs(wav.at(i, 0)));
    EXPECT_GT(secondHalf, 0.001f);
}
