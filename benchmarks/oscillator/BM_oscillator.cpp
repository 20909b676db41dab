// Cost of an OscillatorVoice sample, rendered in the engine's longest runs:
// the plain mix (mode 8) and the FM mode
// (mode 4, a pitch conversion every sample), each through filter types 1
// (6 dB low pass), 5 (12 dB low pass) and 12 (analog low pass).
// Run: bench-oscillator. The ns_per_sample counter is CPU time per sample
// (printed in seconds with an SI prefix, e.g. "18.6n").

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "engine/OscillatorVoice.h"
#include "engine/SoundBanks.h"

namespace {

using namespace kettrix::engine;

const WavetableBank& bank() { return SoundBanks::shared().wavetables; }

constexpr int kBlock = 4096;

void renderVoice(benchmark::State& state, double fm) {
    auto voice = std::make_unique<OscillatorVoice>(44100.0, bank());
    voice->setType(1, kOscTypeSinePure);
    voice->setType(2, kOscTypeSaw);
    voice->setFm(fm);
    voice->setMix(0.5);
    voice->setFilterType(static_cast<int>(state.range(0)));
    voice->setEnvelopeModes(kModeHold, kModeTrigger, kModeTrigger);
    voice->volAttack = 0.0;
    voice->volRelease = 0.5;
    voice->volDepth = 1.0;
    voice->start();

    // Runs of the longest length the engine renders between two events.
    std::array<double, kMaxRun> p1, p2, cutoff, resonance, fms, out;
    p1.fill(0.42);
    p2.fill(0.55);
    cutoff.fill(0.7);
    resonance.fill(0.4);
    fms.fill(fm);
    static_assert(kBlock % kMaxRun == 0);
    double sum = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < kBlock; i += kMaxRun) {
            voice->render(p1.data(), p2.data(), cutoff.data(), 0.0, resonance.data(), fms.data(), kMaxRun, out.data());
            sum += out[kMaxRun - 1];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["ns_per_sample"] = benchmark::Counter(double(state.iterations()) * kBlock,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_OscillatorVoiceMix(benchmark::State& state) { renderVoice(state, 0.0); }
void BM_OscillatorVoiceFm(benchmark::State& state) { renderVoice(state, 0.6); }

BENCHMARK(BM_OscillatorVoiceMix)->Arg(kFilterLowPass6)->Arg(kFilterLowPass12)->Arg(kFilterAnalogLowPass12);
BENCHMARK(BM_OscillatorVoiceFm)->Arg(kFilterLowPass6)->Arg(kFilterLowPass12)->Arg(kFilterAnalogLowPass12);

}  // namespace
