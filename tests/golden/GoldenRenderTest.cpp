// Golden renders: kits of the test's own, played through the plug-in's
// AEffect callbacks with notes at odd offsets, automation and program
// changes, at three sample rates, four block sizes and both precisions. The
// hash of every output sample must equal the committed one, so any change
// to the engine that alters a single bit of its output fails here.
//
// After an intended change of the sound, KETTRIX_GOLDEN_PRINT=1 prints the
// new table for GoldenHashes.inc. KETTRIX_GOLDEN_EXPORT=<folder> writes each
// kit as a state file and its notes as a MIDI file, for kettrix-render
// --load-state / --midi (see render-golden-kits.sh).

#include "GoldenKits.h"
#include "GoldenPattern.h"
#include "TestHost.h"
#include "engine/EngineLimits.h"
#include "plugin/Instance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

using namespace kettrix;
using namespace kettrix::golden;
using kettrix::test::Dispatch;

namespace {

struct GoldenHash {
    const char* name;
    std::uint64_t hash;
};

constexpr GoldenHash kExpected[] = {
#include "GoldenHashes.inc"
};

constexpr double kSeconds = 1.2;
constexpr int kFirstProgram = 100;
constexpr int kSecondProgram = 101;

struct KitPair {
    KitKind first;
    KitKind second;  // the kit of the program change
};
constexpr std::array<KitPair, 4> kKits{{{KitKind::WorstCase, KitKind::Random1},
                                        {KitKind::SpreadA, KitKind::SpreadB},
                                        {KitKind::Random1, KitKind::SpreadB},
                                        {KitKind::Random2, KitKind::WorstCase}}};
constexpr std::array<double, 3> kRates{44100.0, 48000.0, 96000.0};
constexpr std::array<int, 4> kBlocks{1, 7, 256, 4096};

intptr_t KETTRIX_VST_CALL QuietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// FNV-1a over the bytes of every sample, little-endian.
class SampleHash {
public:
    template <typename T>
    void add(T sample) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &sample, sizeof(T));
        for (unsigned b = 0; b < sizeof(T); ++b) {
            hash_ ^= (bits >> (8 * b)) & 0xFFu;
            hash_ *= 0x100000001B3ull;
        }
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

class Instance {
public:
    explicit Instance(double rate, int block) : effect_(CreateVstInstance(&QuietHost)) {
        Dispatch(effect_, effOpen);
        Dispatch(effect_, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        Dispatch(effect_, effSetBlockSize, 0, block);
    }
    ~Instance() {
        if (effect_) Dispatch(effect_, effClose);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    AEffect* get() const { return effect_; }

    // Programs kFirstProgram and kSecondProgram hold the two kits; the
    // first is loaded.
    void loadKits(KitPair kits) {
        Dispatch(effect_, effSetProgram, 0, kFirstProgram);
        buildKit(effect_, kits.first);
        Dispatch(effect_, effSetProgram, 0, kSecondProgram);
        buildKit(effect_, kits.second);
        Dispatch(effect_, effSetProgram, 0, kFirstProgram);
    }

private:
    AEffect* effect_;
};

struct Case {
    int kit;
    int block;
    bool doublePrecision;
    double rate() const { return kRates[static_cast<unsigned>(kit + block) % kRates.size()]; }
    std::string name() const {
        return kitName(kKits[static_cast<unsigned>(kit)].first) + "-" + std::to_string(static_cast<int>(rate())) +
               "-b" + std::to_string(kBlocks[static_cast<unsigned>(block)]) + (doublePrecision ? "-double" : "-float");
    }
};

struct Rendered {
    std::uint64_t hash = 0;
    double peak = 0.0;
    bool finite = true;
};

// Renders the case; `programBefore` is selected before the kits are built,
// to show that nothing of it survives.
template <typename T>
Rendered render(const Case& c, int programBefore = 0) {
    const double rate = c.rate();
    const int block = kBlocks[static_cast<unsigned>(c.block)];
    Instance instance(rate, block);
    AEffect* e = instance.get();
    Dispatch(e, effSetProgram, 0, programBefore);
    instance.loadKits(kKits[static_cast<unsigned>(c.kit)]);
    Dispatch(e, effMainsChanged, 0, 1);
    Dispatch(e, effStartProcess);

    const std::vector<TimedEvent> events =
        makePattern(0xC0FFEEu + static_cast<std::uint32_t>(c.kit), rate, kSeconds, kFirstProgram, kSecondProgram);
    const long total = static_cast<long>(kSeconds * rate);
    std::array<std::vector<T>, engine::kOutputCount> buffers;
    std::array<T*, engine::kOutputCount> out{};
    for (unsigned ch = 0; ch < engine::kOutputCount; ++ch) {
        buffers[ch].assign(static_cast<std::size_t>(block), T(0));
        out[ch] = buffers[ch].data();
    }
    SampleHash hash;
    Rendered result;
    std::size_t next = 0;
    for (long frame = 0; frame < total; frame += block) {
        const int frames = static_cast<int>(std::min<long>(block, total - frame));
        // What the host does before a block: automation and program changes
        // falling inside it, then the block's MIDI with frame offsets.
        kettrix::test::EventList midi;
        bool anyMidi = false;
        for (; next < events.size() && events[next].frame < frame + frames; ++next) {
            const TimedEvent& ev = events[next];
            if (ev.kind == TimedEvent::Kind::Parameter) {
                e->setParameter(e, ev.index, ev.value);
            } else if (ev.kind == TimedEvent::Kind::Program) {
                Dispatch(e, effSetProgram, 0, ev.index);
            } else {
                midi.Add(kettrix::test::MidiEvent(static_cast<int32_t>(ev.frame - frame), ev.bytes[0], ev.bytes[1],
                                                  ev.bytes[2]));
                anyMidi = true;
            }
        }
        if (anyMidi) Dispatch(e, effProcessEvents, 0, 0, midi.Build());
        if constexpr (sizeof(T) == sizeof(double))
            e->processDoubleReplacing(e, nullptr, out.data(), frames);
        else
            e->processReplacing(e, nullptr, out.data(), frames);
        for (const auto& channel : buffers)
            for (int i = 0; i < frames; ++i) {
                const T v = channel[static_cast<unsigned>(i)];
                hash.add(v);
                result.finite = result.finite && std::isfinite(v);
                result.peak = std::max(result.peak, static_cast<double>(std::fabs(v)));
            }
    }
    Dispatch(e, effStopProcess);
    Dispatch(e, effMainsChanged, 0, 0);
    result.hash = hash.value();
    return result;
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.name(); }

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (int kit = 0; kit < static_cast<int>(kKits.size()); ++kit)
        for (int block = 0; block < static_cast<int>(kBlocks.size()); ++block)
            for (bool dbl : {false, true}) cases.push_back({kit, block, dbl});
    return cases;
}

const GoldenHash* expectedFor(const std::string& name) {
    for (const GoldenHash& g : kExpected)
        if (name == g.name) return &g;
    return nullptr;
}

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

class GoldenRender : public ::testing::TestWithParam<Case> {};

TEST_P(GoldenRender, EverySampleAsCommitted) {
    const Case& c = GetParam();
    const Rendered r = c.doublePrecision ? render<double>(c) : render<float>(c);
    EXPECT_TRUE(r.finite);
    EXPECT_GT(r.peak, 0.01) << "the case must make sound to guard anything";
    const std::uint64_t actual = r.hash;
    if (std::getenv("KETTRIX_GOLDEN_PRINT")) std::printf("    {\"%s\", %s},\n", c.name().c_str(), hex(actual).c_str());
    const GoldenHash* expected = expectedFor(c.name());
    ASSERT_NE(expected, nullptr) << "no committed hash for " << c.name();
    EXPECT_EQ(hex(actual), hex(expected->hash)) << c.name();
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenRender, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name();
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

// The same render twice in one process gives the same samples (no state
// leaks between instances or from the shared banks), and the kits owe
// nothing to the factory program selected before they were built.
TEST(GoldenRenderKits, IndependentOfTheProgramBeforeAndOfEarlierInstances) {
    const Case c{1, 2, true};
    const std::uint64_t first = render<double>(c).hash;
    EXPECT_EQ(render<double>(c).hash, first);
    for (int program : {5, 20, 33}) EXPECT_EQ(render<double>(c, program).hash, first) << program;
}

// Not a check: with KETTRIX_GOLDEN_EXPORT=<folder>, writes every kit as a
// state file and the notes of its pattern (44.1 kHz frames as ticks) as a
// MIDI file, so kettrix-render can play them with any build of the plug-in.
TEST(GoldenRenderKits, ExportForTheRenderTool) {
    const char* folder = std::getenv("KETTRIX_GOLDEN_EXPORT");
    if (!folder) GTEST_SKIP() << "set KETTRIX_GOLDEN_EXPORT to export";
    for (KitKind kind : {KitKind::WorstCase, KitKind::SpreadA, KitKind::SpreadB, KitKind::Random1, KitKind::Random2}) {
        Instance instance(44100.0, 256);
        buildKit(instance.get(), kind);
        const std::vector<std::uint8_t> state = kettrix::test::GetChunkBytes(instance.get(), 1);
        ASSERT_FALSE(state.empty());
        const std::string base = std::string(folder) + "/" + kitName(kind);
        std::ofstream(base + ".kxs", std::ios::binary)
            .write(reinterpret_cast<const char*>(state.data()), static_cast<std::streamsize>(state.size()));

        // One quarter = 22050 ticks = 0.5 s: one tick per frame at 44.1 kHz.
        std::vector<std::uint8_t> track;
        auto vlq = [&](std::uint32_t v) {
            std::uint8_t groups[5];
            int n = 0;
            do {
                groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
                v >>= 7;
            } while (v != 0);
            while (n > 1) track.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
            track.push_back(groups[0]);
        };
        long last = 0;
        for (const TimedEvent& ev : makePattern(0xC0FFEEu, 44100.0, kSeconds, kFirstProgram, kSecondProgram)) {
            if (ev.kind != TimedEvent::Kind::Midi) continue;
            vlq(static_cast<std::uint32_t>(ev.frame - last));
            last = ev.frame;
            track.insert(track.end(), {ev.bytes[0], ev.bytes[1], ev.bytes[2]});
        }
        vlq(0);
        track.insert(track.end(), {0xFF, 0x2F, 0x00});
        std::vector<std::uint8_t> file = {'M', 'T', 'h',        'd',          0,   0,   0,   6,  0, 0,
                                          0,   1,   22050 >> 8, 22050 & 0xFF, 'M', 'T', 'r', 'k'};
        for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<std::uint8_t>(track.size() >> shift));
        file.insert(file.end(), track.begin(), track.end());
        std::ofstream(base + ".mid", std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
}
