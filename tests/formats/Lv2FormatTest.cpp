// The Kettrix4.lv2 bundle driven as an LV2 host drives it: what its Turtle
// declares against what the module does, notes and control changes at their
// samples, state through the host's store and retrieve, and the same audio
// and state as the VST 2 module.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ClapHost.h"
#include "Lv2Host.h"
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
using render::Lv2Instance;
using render::Lv2Module;
using render::ReadTurtlePorts;
using render::TurtlePort;

constexpr double kRate = 44100.0;
constexpr uint32_t kBlock = 256;
constexpr int kParamCount = 1393;
constexpr uint8_t kKickKey = 36;
constexpr int kKickVolume = 102;  // sound 0's "Volume", 0..2
constexpr const char* kPluginUri = "urn:sorvane:kettrix4";

using Channels = std::vector<std::vector<float>>;

const Lv2Module& Module() {
    static Lv2Module module(KETTRIX4_LV2_BUNDLE);
    return module;
}

const std::vector<TurtlePort>& Ports() {
    static const std::vector<TurtlePort> ports = ReadTurtlePorts(KETTRIX4_LV2_BUNDLE);
    return ports;
}

struct Plug : Lv2Instance {
    explicit Plug(Options options = {}, uint32_t maxFrames = 4096)
        : Lv2Instance(Module(), Ports(), options, maxFrames) {
        if (!valid()) throw std::runtime_error("instantiate failed");
    }
};

// Renders `blocks` runs of kBlock, letting `schedule` set events and ports first.
Channels Render(Plug& plug, int blocks, const std::function<void(int, Plug&)>& schedule) {
    Channels out;
    for (int b = 0; b < blocks; ++b) {
        if (schedule) schedule(b, plug);
        plug.run(kBlock, &out);
    }
    return out;
}

double Peak(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double peak = 0.0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i) peak = std::max(peak, std::fabs(double(samples[i])));
    return peak;
}

double PeakAll(const Channels& channels, std::size_t from, std::size_t to) {
    double peak = 0.0;
    for (const auto& channel : channels) peak = std::max(peak, Peak(channel, from, to));
    return peak;
}

bool AllFinite(const Channels& channels) {
    for (const auto& channel : channels)
        for (float s : channel)
            if (!std::isfinite(s)) return false;
    return true;
}

// The program chunk as the plug-in stores it: one value under one key.
std::vector<uint8_t> Chunk(Plug& plug) {
    const std::vector<Lv2Instance::Stored> stored = plug.save();
    return stored.size() == 1 ? stored[0].value : std::vector<uint8_t>{};
}

// What a host hands back to `plug` for a stored chunk (URIDs are the host's,
// per instance here), typed `type`.
std::vector<Lv2Instance::Stored> StateFor(Plug& plug, const std::vector<uint8_t>& bytes,
                                          const char* type = LV2_ATOM__Chunk) {
    return {{plug.urids().map("urn:sorvane:kettrix4#programChunk"), plug.urids().map(type), 0, bytes}};
}

TEST(Lv2Bundle, DescribesOneInstrumentWithEventsTwelveOutputsAndAControlPerParameter) {
    ASSERT_NE(Module().descriptor(0), nullptr);
    EXPECT_STREQ(Module().descriptor(0)->URI, kPluginUri);
    EXPECT_EQ(Module().descriptor(1), nullptr);
    ASSERT_NE(Module().uiDescriptor(0), nullptr);
    EXPECT_EQ(Module().uiDescriptor(1), nullptr);
    // Nothing else is exported for hosts to find.
    EXPECT_EQ(Module().symbol("VSTPluginMain"), nullptr);
    EXPECT_EQ(Module().symbol("clap_entry"), nullptr);

    const std::vector<TurtlePort>& ports = Ports();
    ASSERT_EQ(ports.size(), 1u + 12u + kParamCount);
    std::set<std::string> symbols;
    for (uint32_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].index, i);
        EXPECT_FALSE(ports[i].name.empty()) << i;
        symbols.insert(ports[i].symbol);
    }
    EXPECT_EQ(symbols.size(), ports.size());  // symbols are unique
    EXPECT_TRUE(ports[0].has("atom:AtomPort") && ports[0].has("midi:MidiEvent") && ports[0].has("lv2:InputPort"));
    int outputs = 0;
    for (uint32_t i = 1; i <= 12; ++i) {
        EXPECT_TRUE(ports[i].has("lv2:OutputPort") && ports[i].has("lv2:AudioPort")) << i;
        EXPECT_TRUE(ports[i].has(i % 2 == 1 ? "pg:left" : "pg:right")) << i;
        EXPECT_TRUE(ports[i].has("#out" + std::to_string((i + 1) / 2) + ">")) << i;
        outputs += 1;
    }
    EXPECT_EQ(outputs, 12);
    int controls = 0, hidden = 0;
    for (uint32_t i = 13; i < ports.size(); ++i) {
        EXPECT_TRUE(ports[i].has("lv2:InputPort") && ports[i].has("lv2:ControlPort")) << i;
        controls += 1;
        hidden += ports[i].has("pprops:notOnGUI") ? 1 : 0;
    }
    EXPECT_EQ(controls, kParamCount);
    EXPECT_EQ(hidden, 63);
}

TEST(Lv2Bundle, ControlPortsCarryTheParameterTableAsTheClapModuleReportsIt) {
    // The CLAP module reads the same table through the plug-in's own
    // parameter objects: names, ranges, defaults and kinds must agree.
    ClapModule clapModule(KETTRIX4_CLAP_PATH);
    ClapInstance clap(clapModule);
    for (int i = 0; i < kParamCount; ++i) {
        const TurtlePort& port = Ports()[13 + static_cast<std::size_t>(i)];
        clap_param_info_t info{};
        ASSERT_TRUE(clap.params().get_info(clap.plugin(), static_cast<clap_id>(i), &info));
        EXPECT_EQ(port.symbol, std::string("p").append(std::to_string(i)));
        if (info.flags & CLAP_PARAM_IS_HIDDEN) {
            EXPECT_TRUE(port.has("pprops:notOnGUI")) << i;
            continue;
        }
        EXPECT_EQ(port.name, info.name) << i;
        EXPECT_FLOAT_EQ(static_cast<float>(port.minimum), static_cast<float>(info.min_value)) << i;
        EXPECT_FLOAT_EQ(static_cast<float>(port.maximum), static_cast<float>(info.max_value)) << i;
        EXPECT_FLOAT_EQ(static_cast<float>(port.defaultValue), static_cast<float>(info.default_value)) << i;
        EXPECT_EQ(port.has("lv2:integer"), (info.flags & CLAP_PARAM_IS_STEPPED) != 0) << i;
    }
    // A switch toggles with its display texts; a selector is an enumeration
    // named by the editor's menu: "Hit type" 0 is off, 1 to 17 the hit
    // samples, 18 the hit generator.
    EXPECT_TRUE(Ports()[13 + 4].has("lv2:toggled"));
    EXPECT_TRUE(Ports()[13 + 4].has("[ rdfs:label \"on\" ; rdf:value 1 ]"));
    const TurtlePort& hitType = Ports()[13 + 19];
    EXPECT_TRUE(hitType.has("lv2:enumeration"));
    EXPECT_EQ(hitType.count("rdfs:label"), 19);
    EXPECT_TRUE(hitType.has("[ rdfs:label \"OFF\" ; rdf:value 0 ]"));
    EXPECT_TRUE(hitType.has("[ rdfs:label \"909 BD\" ; rdf:value 5 ]"));
    EXPECT_TRUE(hitType.has("[ rdfs:label \"Hit Generator\" ; rdf:value 18 ]"));
    EXPECT_FALSE(hitType.has("\"Analog\""));  // a submenu header names no value
    EXPECT_FALSE(Ports()[13 + kKickVolume].has("lv2:integer"));
}

TEST(Lv2Instance, NeedsTheUridMapAndAUsableRate) {
    EXPECT_FALSE(Lv2Instance(Module(), Ports(), {44100.0, 0, false}, 256).valid());
    EXPECT_FALSE(Lv2Instance(Module(), Ports(), {0.0, 0, true}, 256).valid());
    EXPECT_TRUE(Lv2Instance(Module(), Ports(), {48000.0, 0, true}, 256).valid());
    const void* latency = Module().descriptor()->extension_data("http://lv2plug.in/ns/ext/no-such-extension");
    EXPECT_EQ(latency, nullptr);
}

TEST(Lv2Audio, NoteSoundsFromItsSampleOffsetAndIsSilentBefore) {
    Plug plug;
    constexpr uint32_t kOffset = 100;
    const Channels out = Render(plug, 8, [](int b, Plug& p) {
        if (b == 1) p.midi(kOffset, 0x90, kKickKey, 127);
    });
    ASSERT_TRUE(AllFinite(out));
    const std::size_t onset = kBlock + kOffset;
    EXPECT_EQ(PeakAll(out, 0, onset), 0.0);
    EXPECT_GT(PeakAll(out, onset, onset + 2048), 0.01);
}

TEST(Lv2Audio, AControlChangeAppliesFromTheStartOfItsRunAndOnlyAChangeGoesThrough) {
    constexpr int kChangeBlock = 2;
    const auto play = [](const std::function<void(int, Plug&)>& automation) {
        Plug plug;
        return Render(plug, 10, [&](int b, Plug& p) {
            if (b == 0) p.midi(0, 0x90, kKickKey, 127);
            automation(b, p);
        });
    };
    const Channels plain = play([](int, Plug&) {});
    const Channels changed = play([](int b, Plug& p) {
        if (b == kChangeBlock) p.control(kKickVolume) = 0.0f;
    });
    const std::size_t change = kChangeBlock * kBlock;
    for (std::size_t c = 0; c < plain.size(); ++c) {
        EXPECT_TRUE(std::equal(plain[c].begin(), plain[c].begin() + change, changed[c].begin())) << c;
    }
    EXPECT_LT(PeakAll(changed, change + 512, changed[0].size()), 0.5 * PeakAll(plain, change + 512, plain[0].size()));

    // A restored state keeps its values while the ports stay as they were:
    // an unchanged port does not set its parameter again.
    Plug source;
    source.control(kKickVolume) = 1.5f;
    source.run(kBlock);
    const std::vector<uint8_t> loud = Chunk(source);
    Plug target;
    target.run(kBlock);
    ASSERT_EQ(target.restore(StateFor(target, loud)), LV2_STATE_SUCCESS);
    for (int b = 0; b < 3; ++b) target.run(kBlock);
    EXPECT_EQ(Chunk(target), loud);
    // Then a real change on the port goes through.
    target.control(kKickVolume) = 0.25f;
    target.run(kBlock);
    EXPECT_NE(Chunk(target), loud);
}

TEST(Lv2Audio, PortsSetToWhatTheInstanceHoldsChangeNothing) {
    // A host that catches its ports up with the instance (the UI tells it
    // the kit's values) writes them as floats; the plug-in's own doubles
    // must stay as they are. The CLAP module holds the same kit at start.
    ClapModule clapModule(KETTRIX4_CLAP_PATH);
    ClapInstance clap(clapModule);
    Plug plug;
    plug.run(kBlock);
    const std::vector<uint8_t> before = Chunk(plug);
    int caughtUp = 0;
    for (int i = 0; i < kParamCount; ++i) {
        double value = 0.0;
        ASSERT_TRUE(clap.params().get_value(clap.plugin(), static_cast<clap_id>(i), &value));
        if (static_cast<float>(value) == plug.control(i)) continue;
        plug.control(i) = static_cast<float>(value);
        caughtUp += static_cast<double>(static_cast<float>(value)) != value ? 1 : 0;
    }
    ASSERT_GT(caughtUp, 0) << "no kit value that a float cannot hold";
    plug.run(kBlock);
    EXPECT_EQ(Chunk(plug), before);
}

TEST(Lv2Audio, LongRunsRenderAsPiecesOfTheHostsNominalBlock) {
    // A host with a nominal block of 256 frames that still sends runs of
    // 4096 gets them rendered in pieces: the same samples as runs of 256,
    // notes at their frames in whichever piece holds them.
    struct Note {
        uint32_t frame;
        uint8_t key;
    };
    const Note notes[] = {{300, kKickKey}, {2900, 38}, {4096 + 17, 42}};
    const auto play = [&](uint32_t runFrames) {
        Plug plug({kRate, 256, true}, 4096);
        Channels out;
        for (uint32_t at = 0; at < 8192; at += runFrames) {
            for (const Note& n : notes) {
                if (n.frame >= at && n.frame < at + runFrames) plug.midi(n.frame - at, 0x90, n.key, 100);
            }
            plug.run(runFrames, &out);
        }
        return out;
    };
    const Channels pieces = play(4096);
    ASSERT_TRUE(AllFinite(pieces));
    EXPECT_EQ(PeakAll(pieces, 0, 300), 0.0);
    EXPECT_GT(PeakAll(pieces, 300, 2900), 0.01);
    EXPECT_EQ(pieces, play(256));
}

TEST(Lv2Audio, TwoInstancesPlayIndependently) {
    Plug first;
    Plug second({kRate, 512, true});
    Channels a, b;
    for (int block = 0; block < 4; ++block) {
        if (block == 0) first.midi(0, 0x90, kKickKey, 127);
        if (block == 1) second.control(kKickVolume) = 0.0f;
        first.run(kBlock, &a);
        second.run(kBlock, &b);
    }
    EXPECT_GT(PeakAll(a, 0, a[0].size()), 0.01);
    EXPECT_EQ(PeakAll(b, 0, b[0].size()), 0.0);
    EXPECT_NE(Chunk(first), Chunk(second));
}

TEST(Lv2State, RoundTripsByteExactAndRefusesACutOrMistypedChunk) {
    Plug source;
    source.control(kKickVolume) = 1.25f;
    source.run(kBlock);
    const std::vector<Lv2Instance::Stored> saved = source.save();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].type, source.urids().map(LV2_ATOM__Chunk));
    EXPECT_EQ(saved[0].flags & (LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE), LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    ASSERT_GT(saved[0].value.size(), 11144u);
    EXPECT_EQ(Chunk(source), saved[0].value);  // deterministic

    Plug target;
    const std::vector<uint8_t> fresh = Chunk(target);
    EXPECT_NE(fresh, saved[0].value);
    ASSERT_EQ(target.restore(StateFor(target, saved[0].value)), LV2_STATE_SUCCESS);
    EXPECT_EQ(Chunk(target), saved[0].value);

    Plug untouched;
    for (std::size_t cut : {std::size_t{3}, std::size_t{100}, saved[0].value.size() - 1}) {
        const std::vector<uint8_t> part(saved[0].value.begin(),
                                        saved[0].value.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_NE(untouched.restore(StateFor(untouched, part)), LV2_STATE_SUCCESS) << cut;
        EXPECT_EQ(Chunk(untouched), fresh) << cut;
    }
    EXPECT_EQ(untouched.restore(StateFor(untouched, saved[0].value, LV2_ATOM__String)), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(untouched.restore({}), LV2_STATE_ERR_NO_PROPERTY);
    EXPECT_EQ(Chunk(untouched), fresh);
}

// --- The same instrument as the VST 2 module -----------------------------------

TEST(Lv2AndVst2, StateIsTheVst2ProgramChunkBothWays) {
    Plug lv2;
    EXPECT_EQ(Chunk(lv2), Vst2(kRate, kBlock).plugin.getChunk(true));  // the same kit at start
    lv2.control(kKickVolume) = 0.75f;
    lv2.run(kBlock);
    const std::vector<uint8_t> lv2State = Chunk(lv2);

    Vst2 vst(kRate, kBlock);
    EXPECT_NE(vst.plugin.getChunk(true), lv2State);
    ASSERT_TRUE(vst.plugin.setChunk(true, lv2State));
    EXPECT_EQ(vst.plugin.getChunk(true), lv2State);

    Plug back;
    ASSERT_EQ(back.restore(StateFor(back, vst.plugin.getChunk(true))), LV2_STATE_SUCCESS);
    EXPECT_EQ(Chunk(back), lv2State);
}

TEST(Lv2AndVst2, OneMidiFileRendersIdenticalSamples) {
    const ReferenceRender reference = RenderReferenceFile(kRate, kBlock);
    const auto& events = reference.events;
    const int64_t total = reference.total;

    Plug lv2({kRate, static_cast<int32_t>(kBlock), true});
    Channels lv2Out;
    std::size_t next = 0;
    for (int64_t start = 0; start < total; start += kBlock) {
        const uint32_t frames = static_cast<uint32_t>(std::min<int64_t>(kBlock, total - start));
        for (; next < events.size() && events[next].sample < start + frames; ++next) {
            const render::ScheduledEvent& e = events[next];
            lv2.midi(static_cast<uint32_t>(e.sample - start), e.status, e.data1, e.data2);
        }
        lv2.run(frames, &lv2Out);
    }

    ExpectSameAsReference(reference, lv2Out);
}

}  // namespace
}  // namespace kettrix::test
