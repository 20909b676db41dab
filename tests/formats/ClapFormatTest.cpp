// Kettrix4.clap driven as a CLAP host drives it: what it declares, notes and
// automation at their samples, state through the host's streams, and the
// same audio and state as the VST 2 module.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ClapHost.h"
#include "MidiFile.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "Renderer.h"
#include "SmfBuilder.h"
#include "Vst2Reference.h"

namespace kettrix::test {
namespace {

using render::ClapInstance;
using render::ClapModule;
using render::EventList;

constexpr double kRate = 44100.0;
constexpr uint32_t kBlock = 256;
constexpr int kParamCount = 1393;
constexpr int16_t kKickKey = 36;
constexpr clap_id kKickVolume = 102;  // sound 0's "Volume"

using Channels = std::vector<std::vector<float>>;

const ClapModule& Module() {
    static ClapModule module(KETTRIX4_CLAP_PATH);
    return module;
}

// Renders `blocks` blocks, handing each block's events from `schedule`.
Channels Render(ClapInstance& plug, int blocks, const std::function<void(int, EventList&)>& schedule) {
    Channels out;
    EventList events;
    for (int b = 0; b < blocks; ++b) {
        events.clear();
        if (schedule) schedule(b, events);
        plug.process(kBlock, events, &out);
    }
    return out;
}

double Peak(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double peak = 0.0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i) peak = std::max(peak, std::fabs(double(samples[i])));
    return peak;
}

bool AllFinite(const Channels& channels) {
    for (const auto& channel : channels)
        for (float s : channel)
            if (!std::isfinite(s)) return false;
    return true;
}

TEST(ClapModule, DeclaresOneDrumInstrumentWithItsPortsParamsAndLatency) {
    const clap_plugin_factory_t& factory = Module().factory();
    ASSERT_EQ(factory.get_plugin_count(&factory), 1u);
    const clap_plugin_descriptor_t* desc = factory.get_plugin_descriptor(&factory, 0);
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(factory.get_plugin_descriptor(&factory, 1), nullptr);
    EXPECT_STREQ(desc->name, "Kettrix4");
    std::vector<std::string> features;
    for (const char* const* f = desc->features; *f != nullptr; ++f) features.emplace_back(*f);
    EXPECT_EQ(features, (std::vector<std::string>{"instrument", "drum-machine", "stereo"}));

    ClapInstance plug(Module());
    const auto* audio = plug.extension<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->count(plug.plugin(), true), 0u);
    ASSERT_EQ(audio->count(plug.plugin(), false), 6u);
    uint32_t channels = 0;
    for (uint32_t i = 0; i < 6; ++i) {
        clap_audio_port_info_t info{};
        ASSERT_TRUE(audio->get(plug.plugin(), i, false, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.port_type, CLAP_PORT_STEREO);
        EXPECT_EQ((info.flags & CLAP_AUDIO_PORT_IS_MAIN) != 0, i == 0);
        EXPECT_EQ(std::string(info.name), "KX" + std::to_string(i + 1));
        channels += info.channel_count;
    }
    EXPECT_EQ(channels, 12u);

    const auto* notes = plug.extension<clap_plugin_note_ports_t>(CLAP_EXT_NOTE_PORTS);
    ASSERT_NE(notes, nullptr);
    ASSERT_EQ(notes->count(plug.plugin(), true), 1u);
    EXPECT_EQ(notes->count(plug.plugin(), false), 0u);
    clap_note_port_info_t noteInfo{};
    ASSERT_TRUE(notes->get(plug.plugin(), 0, true, &noteInfo));
    EXPECT_EQ(noteInfo.supported_dialects & (CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI),
              CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI);

    const auto* latency = plug.extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    ASSERT_NE(latency, nullptr);
    EXPECT_EQ(latency->get(plug.plugin()), 0u);
    EXPECT_NE(plug.extension<clap_plugin_gui_t>(CLAP_EXT_GUI), nullptr);
    EXPECT_EQ(plug.extension<void>("clap.no-such-extension"), nullptr);
}

TEST(ClapModule, ParamsHaveIndexIdsTableRangesAndHideTheNamelessOnes) {
    ClapInstance plug(Module());
    const clap_plugin_params_t& params = plug.params();
    ASSERT_EQ(params.count(plug.plugin()), static_cast<uint32_t>(kParamCount));
    int hidden = 0;
    for (uint32_t i = 0; i < kParamCount; ++i) {
        clap_param_info_t info{};
        ASSERT_TRUE(params.get_info(plug.plugin(), i, &info));
        EXPECT_EQ(info.id, i);
        const bool nameless = info.name[0] == '\0';
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_HIDDEN) != 0, nameless) << i;
        hidden += nameless ? 1 : 0;
        EXPECT_LE(info.min_value, info.default_value) << i;
        EXPECT_LE(info.default_value, info.max_value) << i;
        double value = -1.0;
        ASSERT_TRUE(params.get_value(plug.plugin(), i, &value));
        EXPECT_GE(value, info.min_value);
        EXPECT_LE(value, info.max_value);
    }
    EXPECT_EQ(hidden, 63);
    for (clap_id id : {133u, 134u, 189u, 190u}) {
        clap_param_info_t info{};
        ASSERT_TRUE(params.get_info(plug.plugin(), id, &info));
        EXPECT_TRUE(info.flags & CLAP_PARAM_IS_HIDDEN) << id;
    }
    clap_param_info_t info{};
    ASSERT_FALSE(params.get_info(plug.plugin(), kParamCount, &info));

    // A switch and a selector move in steps, a level does not.
    ASSERT_TRUE(params.get_info(plug.plugin(), 4, &info));  // "Osc volume envelope" switch
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_STEPPED);
    EXPECT_EQ(info.max_value, 1.0);
    ASSERT_TRUE(params.get_info(plug.plugin(), 19, &info));  // "Hit type" selector
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_STEPPED);
    EXPECT_EQ(info.max_value, 18.0);
    ASSERT_TRUE(params.get_info(plug.plugin(), kKickVolume, &info));
    EXPECT_FALSE(info.flags & CLAP_PARAM_IS_STEPPED);
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
    EXPECT_EQ(info.max_value, 2.0);
}

TEST(ClapModule, TextsConvertBothWaysThroughThePluginsOwnFormatting) {
    ClapInstance plug(Module());
    const clap_plugin_params_t& params = plug.params();
    for (clap_id id : {kKickVolume, clap_id{19}, clap_id{4}}) {
        for (double value : {0.0, 1.0}) {
            char text[64];
            ASSERT_TRUE(params.value_to_text(plug.plugin(), id, value, text, sizeof text));
            EXPECT_NE(text[0], '\0');
            double back = -1.0;
            ASSERT_TRUE(params.text_to_value(plug.plugin(), id, text, &back)) << text;
            EXPECT_NEAR(back, value, 1e-9) << text;
        }
    }
    char tiny[4];
    ASSERT_TRUE(params.value_to_text(plug.plugin(), kKickVolume, 1.234, tiny, sizeof tiny));
    EXPECT_LT(std::strlen(tiny), sizeof tiny);
    double unused = 0.0;
    EXPECT_FALSE(params.text_to_value(plug.plugin(), kParamCount, "1", &unused));
    // NaN names no value and is refused, as in the other formats and the
    // editor; other texts read as their decimal value within the range.
    EXPECT_FALSE(params.text_to_value(plug.plugin(), kKickVolume, "nan", &unused));
    ASSERT_TRUE(params.text_to_value(plug.plugin(), kKickVolume, "inf", &unused));
    EXPECT_EQ(unused, 2.0);
    ASSERT_TRUE(params.text_to_value(plug.plugin(), kKickVolume, "1e9", &unused));
    EXPECT_EQ(unused, 2.0);  // kept within the range
}

TEST(ClapAudio, NoteSoundsFromItsSampleOffsetAndIsSilentBefore) {
    ClapInstance plug(Module());
    plug.activate(kRate, kBlock);
    constexpr uint32_t kOffset = 100;
    const Channels out = Render(plug, 8, [](int b, EventList& e) {
        if (b == 1) e.note(CLAP_EVENT_NOTE_ON, kOffset, kKickKey, 1.0);
    });
    ASSERT_TRUE(AllFinite(out));
    const std::size_t onset = kBlock + kOffset;
    double before = 0.0, after = 0.0;
    for (const auto& channel : out) {
        before = std::max(before, Peak(channel, 0, onset));
        after = std::max(after, Peak(channel, onset, onset + 2048));
    }
    EXPECT_EQ(before, 0.0);
    EXPECT_GT(after, 0.01);
}

TEST(ClapAudio, NoteVelocityPlaysAsTheMidiVelocityItRoundsTo) {
    // 0.5 * 127 = 63.5 rounds to 64; the MIDI dialect's 64 must give the same samples.
    const auto play = [](const std::function<void(EventList&)>& note) {
        ClapInstance plug(Module());
        plug.activate(kRate, kBlock);
        return Render(plug, 6, [&](int b, EventList& e) {
            if (b == 0) note(e);
        });
    };
    const Channels clapNote = play([](EventList& e) { e.note(CLAP_EVENT_NOTE_ON, 10, kKickKey, 0.5); });
    const Channels midiNote = play([](EventList& e) { e.midi(10, 0x90, kKickKey, 64); });
    const Channels midiLower = play([](EventList& e) { e.midi(10, 0x90, kKickKey, 63); });
    EXPECT_EQ(clapNote, midiNote);
    EXPECT_NE(clapNote, midiLower);
}

TEST(ClapAudio, AutomationInsideABlockAppliesFromItsSample) {
    constexpr uint32_t kChangeAt = 300;  // inside the third block
    const auto play = [](const std::function<void(int, EventList&)>& automation) {
        ClapInstance plug(Module());
        plug.activate(kRate, kBlock);
        return Render(plug, 10, [&](int b, EventList& e) {
            if (b == 0) e.note(CLAP_EVENT_NOTE_ON, 0, kKickKey, 1.0);
            automation(b, e);
        });
    };
    const Channels plain = play([](int, EventList&) {});
    const Channels inBlock = play([](int b, EventList& e) {
        if (b == 1) e.param(kChangeAt - kBlock, kKickVolume, 0.0);
    });
    const std::size_t change = kChangeAt;
    bool sameBefore = true, quieterAfter = false;
    for (std::size_t c = 0; c < plain.size(); ++c) {
        for (std::size_t i = 0; i < change; ++i) sameBefore = sameBefore && plain[c][i] == inBlock[c][i];
        quieterAfter = quieterAfter || Peak(inBlock[c], change + 512, plain[c].size()) <
                                           0.5 * Peak(plain[c], change + 512, plain[c].size());
    }
    EXPECT_TRUE(sameBefore);
    EXPECT_TRUE(quieterAfter);

    // The same change delivered through flush while not processing reaches
    // get_value, and the host is not asked to flush for its own change.
    ClapInstance idle(Module());
    EventList change2;
    change2.param(0, kKickVolume, 1.5);
    idle.params().flush(idle.plugin(), change2.input(), nullptr);
    double value = 0.0;
    ASSERT_TRUE(idle.params().get_value(idle.plugin(), kKickVolume, &value));
    EXPECT_EQ(value, 1.5);
    EXPECT_EQ(idle.flushRequests, 0);
}

TEST(ClapAudio, TwoInstancesPlayIndependently) {
    ClapInstance first(Module());
    ClapInstance second(Module());
    first.activate(kRate, kBlock);
    second.activate(kRate, 512);
    Channels a, b;
    EventList notes, none;
    for (int block = 0; block < 4; ++block) {
        notes.clear();
        if (block == 0) notes.note(CLAP_EVENT_NOTE_ON, 0, kKickKey, 1.0);
        first.process(kBlock, notes, &a);
        second.process(kBlock, none, &b);
    }
    EXPECT_GT(Peak(a[0], 0, a[0].size()) + Peak(a[1], 0, a[1].size()), 0.01);
    for (const auto& channel : b) EXPECT_EQ(Peak(channel, 0, channel.size()), 0.0);
}

TEST(ClapState, RoundTripsByteExactThroughAnyPieceSizeAndRefusesACutState) {
    ClapInstance source(Module());
    EventList change;
    change.param(0, kKickVolume, 1.25);
    source.params().flush(source.plugin(), change.input(), nullptr);
    const std::vector<uint8_t> saved = source.saveState(7);
    ASSERT_GT(saved.size(), 11144u);
    EXPECT_EQ(saved, source.saveState());  // deterministic

    ClapInstance target(Module());
    const std::vector<uint8_t> fresh = target.saveState();
    EXPECT_NE(fresh, saved);
    ASSERT_TRUE(target.loadState(saved, 5));
    EXPECT_EQ(target.saveState(13), saved);
    double value = 0.0;
    ASSERT_TRUE(target.params().get_value(target.plugin(), kKickVolume, &value));
    EXPECT_EQ(value, 1.25);

    ClapInstance untouched(Module());
    for (std::size_t cut : {std::size_t{3}, std::size_t{100}, saved.size() - 1}) {
        const std::vector<uint8_t> part(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(untouched.loadState(part)) << cut;
        EXPECT_EQ(untouched.saveState(), fresh) << cut;
    }
    EXPECT_FALSE(untouched.loadState({}));
}

// --- The same instrument as the VST 2 module -----------------------------------

TEST(ClapAndVst2, StateIsTheVst2ProgramChunkBothWays) {
    ClapInstance clap(Module());
    EventList change;
    change.param(0, kKickVolume, 0.75);
    clap.params().flush(clap.plugin(), change.input(), nullptr);
    const std::vector<uint8_t> clapState = clap.saveState();

    Vst2 vst(kRate, kBlock);
    EXPECT_NE(vst.plugin.getChunk(true), clapState);
    ASSERT_TRUE(vst.plugin.setChunk(true, clapState));
    EXPECT_EQ(vst.plugin.getChunk(true), clapState);

    ClapInstance back(Module());
    ASSERT_TRUE(back.loadState(vst.plugin.getChunk(true)));
    EXPECT_EQ(back.saveState(), clapState);
}

TEST(ClapAndVst2, OneMidiFileRendersIdenticalSamples) {
    const ReferenceRender reference = RenderReferenceFile(kRate, kBlock);
    const auto& events = reference.events;
    const int64_t total = reference.total;

    ClapInstance clap(Module());
    clap.activate(kRate, kBlock);
    Channels clapOut;
    EventList list;
    std::size_t next = 0;
    for (int64_t start = 0; start < total; start += kBlock) {
        const uint32_t frames = static_cast<uint32_t>(std::min<int64_t>(kBlock, total - start));
        list.clear();
        for (; next < events.size() && events[next].sample < start + frames; ++next) {
            const render::ScheduledEvent& e = events[next];
            list.midi(static_cast<uint32_t>(e.sample - start), e.status, e.data1, e.data2);
        }
        clap.process(frames, list, &clapOut);
    }

    ExpectSameAsReference(reference, clapOut);
}

}  // namespace
}  // namespace kettrix::test
