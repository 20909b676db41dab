// Cost per sample of an envelope pair and of the filter block, per type.
// Each iteration processes one sample; Google Benchmark reports ns per
// iteration.

#include "engine/DrumFilter.h"
#include "engine/Envelope.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using kettrix::engine::DrumFilter;
using kettrix::engine::EnvelopePair;

constexpr double kRate = 44100.0;

// A cheap deterministic signal so that the input is not constant.
struct Lcg {
    std::uint32_t state = 1u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state) * (1.0 / 4294967296.0) - 0.5;
    }
};

// Modulation envelope with a looping shape held: it never runs out, and
// crosses a segment boundary every few hundred samples.
void BM_EnvelopePairTick(benchmark::State& state) {
    EnvelopePair pair(kRate);
    pair.attack.setAttackShapeModulation(static_cast<int>(state.range(0)));
    pair.release.setReleaseShape(1);
    pair.mode = kettrix::engine::kModeHold;
    pair.start(0.05, 0.2, 0.0, 0.8, true);
    for (auto _ : state) benchmark::DoNotOptimize(pair.tick());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EnvelopePairTick)->Arg(4)->Arg(7)->ArgName("shape");

// Cutoff moving slowly, as a filter envelope moves it: the coefficient is
// picked up every ten calls and glides in between.
void BM_DrumFilterMono(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    DrumFilter filter(kRate);
    filter.setFixed(0.7, 0.7);
    Lcg noise;
    double cutoff = 0.2;
    for (auto _ : state) {
        cutoff = cutoff > 0.9 ? 0.2 : cutoff + 1e-5;
        benchmark::DoNotOptimize(filter.process(noise.next(), cutoff, 0.6, type));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrumFilterMono)->DenseRange(0, 14)->ArgName("type");

void BM_DrumFilterStereo(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    DrumFilter filter(kRate);
    Lcg noise;
    double cutoff = 0.2;
    for (auto _ : state) {
        cutoff = cutoff > 0.9 ? 0.2 : cutoff + 1e-5;
        filter.processStereo(noise.next(), noise.next(), cutoff, 0.6, type);
        benchmark::DoNotOptimize(filter.outL);
        benchmark::DoNotOptimize(filter.outR);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrumFilterStereo)->DenseRange(1, 12)->ArgName("type");

}  // namespace
