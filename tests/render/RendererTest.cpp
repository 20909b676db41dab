// The block renderer driving the click test plug-in in this process: events
// must reach the plug-in at their exact sample whatever the block size.
#include "DemoPattern.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "Renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace kettrix::render;

namespace {

constexpr double kRate = 48000.0;
constexpr int kClickOutputs = 4;

// One tick per sample: 120 BPM with 24000 ticks per quarter at 48 kHz.
MidiSequence notesAtSamples(const std::vector<uint64_t>& samples) {
    MidiSequence s;
    s.ticksPerQuarter = 24000;
    for (uint64_t at : samples) s.events.push_back({at, 0x90, 60, 100});
    s.endTick = samples.empty() ? 0 : samples.back();
    return s;
}

struct Rendered {
    int channels = 0;
    std::vector<float> samples;
    float at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
    std::size_t frames() const { return samples.size() / channels; }
};

Rendered render(const MidiSequence& sequence, const RenderSettings& settings, double tailSeconds = 0.01) {
    PluginLibrary library(KETTRIX_CLICK_PLUGIN);
    HostContext context;
    PluginInstance plugin(library, context);
    plugin.open();
    plugin.setSampleRate(kRate);
    plugin.setBlockSize(settings.blockSize);
    plugin.resume();
    plugin.startProcess();

    const TempoMap tempo(sequence, kRate);
    Rendered out;
    out.channels = mixedChannelCount(settings.mix, plugin.numOutputs());
    Renderer renderer(plugin, tempo, settings);
    renderer.render(scheduleEvents(sequence, tempo), renderLength(sequence, tempo, tailSeconds),
                    [&](const float* frames, std::size_t count) {
                        out.samples.insert(out.samples.end(), frames, frames + count * out.channels);
                    });
    return out;
}

}  // namespace

TEST(Renderer, EventsLandOnTheirExactSampleForEveryBlockSize) {
    // Spacing of 5 samples is smaller than most block sizes below; 1001 holds
    // two notes at once.
    const std::vector<uint64_t> at = {0, 5, 10, 15, 63, 64, 255, 256, 257, 511, 1000, 1001, 1001};
    const auto sequence = notesAtSamples(at);

    for (int block : {1, 3, 64, 256, 1000, 4096}) {
        SCOPED_TRACE("block " + std::to_string(block));
        const Rendered out = render(sequence, {block, Precision::Float, Mix::All});
        ASSERT_EQ(out.channels, kClickOutputs);
        ASSERT_EQ(out.frames(), 1001u + 480u) << "last event plus a 10 ms tail";

        std::size_t clicks = 0;
        for (std::size_t i = 0; i < out.frames(); ++i) {
            const auto expected = static_cast<float>(std::count(at.begin(), at.end(), i));
            for (int c = 0; c < kClickOutputs; ++c) {
                ASSERT_TRUE(std::isfinite(out.at(i, c))) << "the plug-in flagged a host fault at frame " << i;
                ASSERT_EQ(out.at(i, c), expected * (c + 1) / 8.0f) << "frame " << i << " channel " << c;
            }
            clicks += expected > 0 ? 1 : 0;
        }
        EXPECT_EQ(clicks, 12u);
    }
}

TEST(Renderer, DoublePrecisionRendersTheSameClicks) {
    const auto sequence = notesAtSamples({7, 300, 301});
    const Rendered single = render(sequence, {128, Precision::Float, Mix::All});
    const Rendered twice = render(sequence, {128, Precision::Double, Mix::All});
    EXPECT_EQ(single.samples, twice.samples);
    EXPECT_EQ(twice.at(300, 3), 0.5f);
}

TEST(Renderer, StereoMixSumsLeftAndRightOfEveryPair) {
    const Rendered out = render(notesAtSamples({10}), {32, Precision::Float, Mix::Stereo});
    ASSERT_EQ(out.channels, 2);
    EXPECT_EQ(out.at(10, 0), 0.125f + 0.375f);  // outputs 1 and 3
    EXPECT_EQ(out.at(10, 1), 0.25f + 0.5f);     // outputs 2 and 4
    EXPECT_EQ(out.at(9, 0), 0.0f);
    EXPECT_EQ(out.at(11, 1), 0.0f);
}

TEST(DemoPattern, PlaysEveryDefaultKeyRangeAtOneHundredTwentyBpm) {
    const MidiSequence demo = demoPattern();
    std::set<int> rangesHit;
    int noteOns = 0, noteOffs = 0;
    for (const MidiEvent& e : demo.events) {
        if (e.status == 0x90 && e.data2 > 0) {
            ++noteOns;
            ASSERT_GE(e.data1, 36);
            ASSERT_LE(e.data1, 95);
            rangesHit.insert((e.data1 - 36) / 6);
        } else if (e.status == 0x80) {
            ++noteOffs;
        }
    }
    EXPECT_EQ(rangesHit.size(), 10u) << "one note inside each sound's six-key range";
    EXPECT_EQ(noteOns, noteOffs);

    const TempoMap tempo(demo, 44100.0);
    EXPECT_DOUBLE_EQ(tempo.tempoAtSample(0.0), 120.0);
    // Four bars of 4/4 at 120 BPM last 8 s; the closing hit sits right there.
    EXPECT_EQ(tempo.sampleAtTick(demo.events.back().tick) / 44100, 8);
    EXPECT_TRUE(std::is_sorted(demo.events.begin(), demo.events.end(),
                               [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; }));
}
