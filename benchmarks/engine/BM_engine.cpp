// Rendering cost of the engine through the plug-in's callbacks, and the cost
// of creating an instance, loading a program and loading a state chunk.
//
// Real-time factor = seconds of audio rendered per second of CPU time, shown
// as the "rtf" counter. Memory per instance is shown as "bytes" (heap bytes
// in use after creation, from mallinfo2).

#include "engine/EngineLimits.h"
#include "kit/ParameterTable.h"
#include "plugin/Instance.h"
#include "plugin/Vst2Abi.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

using namespace kettrix;
namespace eng = kettrix::engine;

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 256;
constexpr double kSixteenth = kRate * 60.0 / 120.0 / 4.0;  // 120 BPM

intptr_t KETTRIX_VST_CALL QuietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

AEffect* openInstance() {
    AEffect* e = CreateVstInstance(&QuietHost);
    dispatch(e, effOpen);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    dispatch(e, effSetBlockSize, 0, kBlock);
    dispatch(e, effMainsChanged, 0, 1);
    return e;
}

void setPlain(AEffect* e, int sound, int off, double plain) {
    const int index = eng::soundIndex(sound, off);
    const auto& info = kit::parameterInfo(index);
    e->setParameter(e, index, static_cast<float>((plain - info.min) / (info.max - info.min)));
}

// Every sound with every section: FM oscillators through the analog low
// pass, both noise sections as stereo sample textures, the hit generator,
// Drive, and releases long enough that both voices overlap.
void worstCaseKit(AEffect* e) {
    namespace o = eng::offset;
    for (int s = 0; s < eng::kSoundCount; ++s) {
        setPlain(e, s, o::kOsc1Type, 6);
        setPlain(e, s, o::kOsc2Type, 5);
        setPlain(e, s, o::kOscFm, 0.4);
        setPlain(e, s, o::kOscFilterType, 12);
        setPlain(e, s, o::kOscCutoff, 0.7);
        setPlain(e, s, o::kOscVolRelease, 0.6);
        setPlain(e, s, o::kOscModDepth, 0.3);
        setPlain(e, s, o::kOscFilterDepth, 0.3);
        for (int shift : {0, o::kNoise2Shift}) {
            setPlain(e, s, o::kNoiseType + shift, 5 + s);
            setPlain(e, s, o::kNoiseStereo + shift, 1.0);
            setPlain(e, s, o::kNoiseVolRelease + shift, 0.6);
            setPlain(e, s, o::kNoiseFilterType + shift, 3);
            setPlain(e, s, o::kNoiseCutoff + shift, 0.6);
            setPlain(e, s, o::kNoiseFilterDepth + shift, 0.2);
        }
        setPlain(e, s, o::kHitType, 18);
        setPlain(e, s, o::kEffectType, 2);
        setPlain(e, s, o::kEffectAmount, 0.3);
        setPlain(e, s, o::kOscOn, 1);
        setPlain(e, s, o::kNoise1On, 1);
        setPlain(e, s, o::kNoise2On, 1);
    }
}

struct Step {
    int sound;
    int velocity;
};

// Renders `seconds` of audio with `notesAt(sixteenth)` giving the notes of
// each sixteenth; returns the number of frames rendered.
template <typename Pattern>
long renderPattern(AEffect* e, double seconds, Pattern notesAt) {
    std::array<std::vector<double>, eng::kOutputCount> buffers;
    std::array<double*, eng::kOutputCount> out{};
    for (unsigned c = 0; c < eng::kOutputCount; ++c) {
        buffers[c].assign(kBlock, 0.0);
        out[c] = buffers[c].data();
    }
    const long total = static_cast<long>(seconds * kRate);
    long frame = 0;
    long sixteenth = 0;
    std::vector<std::uint8_t> storage(sizeof(VstEvents) + 16 * sizeof(VstEvent*));
    std::array<VstMidiEvent, 16> midi{};
    while (frame < total) {
        auto* events = reinterpret_cast<VstEvents*>(storage.data());
        events->numEvents = 0;
        while (sixteenth * kSixteenth < frame + kBlock) {
            const int delta = static_cast<int>(sixteenth * kSixteenth) - static_cast<int>(frame);
            for (const Step& step : notesAt(sixteenth)) {
                if (step.sound < 0 || events->numEvents >= 16) continue;
                VstMidiEvent& m = midi[static_cast<unsigned>(events->numEvents)];
                m = VstMidiEvent{};
                m.type = kVstMidiType;
                m.byteSize = sizeof(VstMidiEvent);
                m.deltaFrames = delta < 0 ? 0 : delta;
                m.midiData[0] = static_cast<char>(0x90);
                m.midiData[1] = static_cast<char>(step.sound);
                m.midiData[2] = static_cast<char>(step.velocity);
                events->events[events->numEvents++] = reinterpret_cast<VstEvent*>(&m);
            }
            ++sixteenth;
        }
        if (events->numEvents) dispatch(e, effProcessEvents, 0, 0, events);
        e->processDoubleReplacing(e, nullptr, out.data(), kBlock);
        frame += kBlock;
    }
    return frame;
}

// One pass of the pattern before the measured ones: the glides that follow
// loading the kit settle, so every measured pass is the steady state. Kept
// out of line so that a profiler can leave it out by name.
template <typename Pattern>
__attribute__((noinline)) void settleBeforeMeasuring(AEffect* e, Pattern notesAt, double seconds = 5.0) {
    renderPattern(e, seconds, notesAt);
}

void reportRtf(benchmark::State& state, long frames) {
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}

void BM_WorstCaseAllSoundsEverySixteenth(benchmark::State& state) {
    AEffect* e = openInstance();
    dispatch(e, effSetProgram, 0, 33);
    worstCaseKit(e);
    // Notes by the engine's own key ranges (the patch ranges of "Empty").
    std::array<Step, eng::kSoundCount> all{};
    for (int s = 0; s < eng::kSoundCount; ++s) all[static_cast<unsigned>(s)] = {eng::defaultKeyLo(s), 110};
    const auto pattern = [&](long) { return all; };
    settleBeforeMeasuring(e, pattern);
    long frames = 0;
    for (auto _ : state) frames += renderPattern(e, 5.0, pattern);
    reportRtf(state, frames);
    dispatch(e, effClose);
}
BENCHMARK(BM_WorstCaseAllSoundsEverySixteenth)->Unit(benchmark::kMillisecond);

void BM_TypicalPatternFactoryKit(benchmark::State& state) {
    AEffect* e = openInstance();
    dispatch(e, effSetProgram, 0, 0);  // "Electronic 1", GM key map
    // Kick on the beats, snare on two and four, closed hats on eighths, an
    // open hat and a crash once a bar.
    auto pattern = [](long step) {
        const int p = static_cast<int>(step % 16);
        std::array<Step, 4> notes{Step{-1, 0}, Step{-1, 0}, Step{-1, 0}, Step{-1, 0}};
        if (p % 4 == 0) notes[0] = {36, 120};
        if (p == 4 || p == 12) notes[1] = {38, 110};
        if (p % 2 == 0) notes[2] = {p == 14 ? 46 : 42, 90};
        if (p == 0 && step % 64 == 0) notes[3] = {49, 100};
        return notes;
    };
    settleBeforeMeasuring(e, pattern);
    long frames = 0;
    for (auto _ : state) frames += renderPattern(e, 5.0, pattern);
    reportRtf(state, frames);
    dispatch(e, effClose);
}
BENCHMARK(BM_TypicalPatternFactoryKit)->Unit(benchmark::kMillisecond);

// An instance with nothing sounding, one 256-frame block per iteration: the
// cost a host pays for every idle instance in a project.
void BM_IdleInstanceBlock(benchmark::State& state) {
    AEffect* e = openInstance();
    std::array<std::vector<double>, eng::kOutputCount> buffers;
    std::array<double*, eng::kOutputCount> out{};
    for (unsigned c = 0; c < eng::kOutputCount; ++c) {
        buffers[c].assign(kBlock, 0.0);
        out[c] = buffers[c].data();
    }
    for (int b = 0; b < 2000; ++b) e->processDoubleReplacing(e, nullptr, out.data(), kBlock);  // settle glides
    for (auto _ : state) e->processDoubleReplacing(e, nullptr, out.data(), kBlock);
    dispatch(e, effClose);
}
BENCHMARK(BM_IdleInstanceBlock);

// Clearing the twelve outputs of a block alone, to subtract from the above.
void BM_ClearOutputsBlock(benchmark::State& state) {
    std::array<std::vector<double>, eng::kOutputCount> buffers;
    for (auto& b : buffers) b.assign(kBlock, 1.0);
    for (auto _ : state) {
        for (auto& b : buffers) std::fill(b.begin(), b.end(), 0.0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearOutputsBlock);

// One voice of one sound with a single section on: its cost per sample.
// The sections: oscillator modes (by type pair), filter types (under a sine),
// noise modes, hits and effects.
enum class Section { Osc, Filter, Noise, Hit, Effect };

void sectionKit(AEffect* e, Section section, int variant) {
    namespace o = eng::offset;
    dispatch(e, effSetProgram, 0, 33);
    for (int s = 0; s < eng::kSoundCount; ++s) {
        setPlain(e, s, o::kOscOn, 0);
        setPlain(e, s, o::kNoise1On, 0);
        setPlain(e, s, o::kNoise2On, 0);
        setPlain(e, s, o::kHitType, 0);
        setPlain(e, s, o::kEffectType, 0);
    }
    // Long enough that the voice sounds through every iteration.
    setPlain(e, 0, o::kOscVolRelease, 5.0);
    setPlain(e, 0, o::kNoiseVolRelease, 5.0);
    switch (section) {
        case Section::Osc:
            setPlain(e, 0, o::kOscOn, 1);
            setPlain(e, 0, o::kOsc1Type, variant);
            setPlain(e, 0, o::kOsc2Type, variant == 6 ? 5 : 0);
            setPlain(e, 0, o::kOscFm, variant == 6 ? 0.4 : 0.0);
            setPlain(e, 0, o::kOscFilterType, 0);
            break;
        case Section::Filter:
            setPlain(e, 0, o::kOscOn, 1);
            setPlain(e, 0, o::kOsc1Type, 1);
            setPlain(e, 0, o::kOscFilterType, variant);
            setPlain(e, 0, o::kOscCutoff, 0.6);
            setPlain(e, 0, o::kOscResonance, 0.3);
            break;
        case Section::Noise:
            // variant: noise type * 2 + stereo
            setPlain(e, 0, o::kNoise1On, 1);
            setPlain(e, 0, o::kNoiseType, variant / 2);
            setPlain(e, 0, o::kNoiseStereo, variant % 2);
            setPlain(e, 0, o::kNoiseFilterType, 1);
            break;
        case Section::Hit:
            setPlain(e, 0, o::kOscOn, 1);
            setPlain(e, 0, o::kOsc1Type, 0);
            setPlain(e, 0, o::kHitType, variant);
            setPlain(e, 0, o::kHitVolume, 1.0);
            break;
        case Section::Effect:
            setPlain(e, 0, o::kOscOn, 1);
            setPlain(e, 0, o::kOsc1Type, 1);
            setPlain(e, 0, o::kEffectType, variant);
            setPlain(e, 0, o::kEffectAmount, 0.5);
            break;
    }
}

template <Section S>
void BM_Section(benchmark::State& state) {
    AEffect* e = openInstance();
    sectionKit(e, S, static_cast<int>(state.range(0)));
    const std::array<Step, 1> note{Step{eng::defaultKeyLo(0), 127}};
    const auto pattern = [&](long sixteenth) { return sixteenth == 0 ? note : std::array<Step, 1>{Step{-1, 0}}; };
    settleBeforeMeasuring(e, pattern, 0.5);
    long frames = 0;
    for (auto _ : state) frames += renderPattern(e, 0.5, pattern);
    state.counters["ns_per_sample"] = benchmark::Counter(static_cast<double>(frames) * 1e-9,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    dispatch(e, effClose);
}
BENCHMARK_TEMPLATE(BM_Section, Section::Osc)->Arg(1)->Arg(5)->Arg(6)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Section, Section::Filter)->DenseRange(0, 12)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Section, Section::Noise)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Arg(10)
    ->Arg(11)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Section, Section::Hit)->Arg(3)->Arg(18)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Section, Section::Effect)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_CreateInstance(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        AEffect* e = CreateVstInstance(&QuietHost);
        dispatch(e, effOpen);
        state.PauseTiming();
        bytes = mallinfo2().uordblks - before;
        dispatch(e, effClose);
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CreateInstance)->Unit(benchmark::kMillisecond);

void BM_SecondInstanceMemory(benchmark::State& state) {
    AEffect* first = openInstance();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        AEffect* e = openInstance();
        bytes = mallinfo2().uordblks - before;
        state.PauseTiming();
        dispatch(e, effClose);
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    dispatch(first, effClose);
}
BENCHMARK(BM_SecondInstanceMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SetProgram(benchmark::State& state) {
    AEffect* e = openInstance();
    int program = 0;
    for (auto _ : state) {
        dispatch(e, effSetProgram, 0, program);
        program = (program + 1) % 34;
    }
    dispatch(e, effClose);
}
BENCHMARK(BM_SetProgram)->Unit(benchmark::kMicrosecond);

void BM_SetChunk(benchmark::State& state) {
    AEffect* e = openInstance();
    dispatch(e, effSetProgram, 0, 5);
    void* data = nullptr;
    const auto size = dispatch(e, effGetChunk, 1, 0, &data);
    std::vector<std::uint8_t> chunk(static_cast<const std::uint8_t*>(data),
                                    static_cast<const std::uint8_t*>(data) + size);
    for (auto _ : state) dispatch(e, effSetChunk, 1, static_cast<intptr_t>(chunk.size()), chunk.data());
    dispatch(e, effClose);
}
BENCHMARK(BM_SetChunk)->Unit(benchmark::kMicrosecond);

}  // namespace
