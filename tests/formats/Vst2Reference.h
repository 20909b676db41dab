// What the format tests compare against: the VST 2 module, loaded through
// its entry point and opened as a host opens it, and one Standard MIDI File
// (several sounds overlapping, a tempo change half-way) with that module's
// render of it on all twelve outputs.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "MidiFile.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "Renderer.h"
#include "SmfBuilder.h"

namespace kettrix::test {

struct Vst2 {
    render::PluginLibrary library{KETTRIX4_VST2_PATH};
    render::HostContext context;
    render::PluginInstance plugin{library, context};
    Vst2(double rate, std::uint32_t block) {
        plugin.open();
        plugin.setSampleRate(rate);
        plugin.setBlockSize(static_cast<std::int32_t>(block));
        plugin.resume();
        plugin.startProcess();
    }
};

struct ReferenceRender {
    std::vector<render::ScheduledEvent> events;  // at their samples, for the other format's host
    std::int64_t total = 0;                      // frames
    std::vector<float> vst2Frames;               // interleaved, 12 per frame
};

inline ReferenceRender RenderReferenceFile(double rate, std::uint32_t block) {
    using render::test::SmfTrack;
    SmfTrack track;
    track.tempo(0, 500000);
    const std::uint8_t keys[] = {36, 38, 42, 46, 36, 40, 49, 51};
    for (int i = 0; i < 8; ++i) {
        track.event(i == 0 ? 0 : 120, {0x90, keys[i], static_cast<std::uint8_t>(40 + 10 * i)});
        if (i == 4) track.tempo(0, 400000);
        track.event(60, {0x80, keys[i], 0});
    }
    track.end(480);
    const render::MidiSequence sequence = render::parseMidiFile(render::test::smfFile(0, 480, {track}));
    const render::TempoMap tempo(sequence, rate);
    ReferenceRender out;
    out.events = render::scheduleEvents(sequence, tempo);
    out.total = render::renderLength(sequence, tempo, 0.5);

    Vst2 vst(rate, block);
    render::RenderSettings settings;
    settings.blockSize = static_cast<int>(block);
    settings.mix = render::Mix::All;
    render::Renderer renderer(vst.plugin, tempo, settings);
    renderer.render(out.events, out.total, [&](const float* frames, std::size_t count) {
        out.vst2Frames.insert(out.vst2Frames.end(), frames, frames + count * 12);
    });
    return out;
}

// Every sample of `channels` (12 of them, one vector each) equals the
// reference's, and the reference is not silence.
inline void ExpectSameAsReference(const ReferenceRender& reference, const std::vector<std::vector<float>>& channels) {
    const auto total = static_cast<std::size_t>(reference.total);
    ASSERT_EQ(reference.vst2Frames.size(), total * 12);
    ASSERT_EQ(channels.size(), 12u);
    ASSERT_EQ(channels[0].size(), total);
    double energy = 0.0;
    std::size_t differing = 0;
    for (std::size_t f = 0; f < total; ++f) {
        for (std::size_t c = 0; c < 12; ++c) {
            const float v = reference.vst2Frames[f * 12 + c];
            differing += v != channels[c][f] ? 1 : 0;
            energy += double(v) * v;
        }
    }
    EXPECT_GT(energy, 1.0);
    EXPECT_EQ(differing, 0u);
}

}  // namespace kettrix::test
