// Cost per output sample of a NoiseVoice in each render mode and of a
// HitVoice playing a sample or the generator. Items processed = samples, so
// the reported time per item is the time per sample.
#include "engine/HitVoice.h"
#include "engine/NoiseVoice.h"
#include "engine/SoundBanks.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

using namespace kettrix::engine;

constexpr int kBlock = 4096;

const SampleBank& noiseBank() { return SoundBanks::shared().noiseSamples; }
const SampleBank& hitBank() { return SoundBanks::shared().hitSamples; }
const WavetableBank& wavetables() { return SoundBanks::shared().wavetables; }

// range(0): render mode 1..6 (cymbal, generator, sample; stereo then mono).
void BM_NoiseVoiceTick(benchmark::State& state) {
    const auto renderMode = static_cast<int>(state.range(0));
    const int type = renderMode <= 2 ? kNoiseCymbalGenerator : renderMode <= 4 ? kNoiseGenerator : 3;
    NoiseVoice voice(44100.0);
    voice.setCymbalTables(wavetables().set(WavetableBank::kCymbalSlot));
    voice.setType(type, noiseBank().buffer(type - 3), noiseBank().length(type - 3));
    voice.setStereo(renderMode % 2 == 1 ? 0.7 : 0.0);
    voice.setFilterType(kFilterLowPass12);
    voice.setPitch(0.43);
    voice.volAttack = 0.0;
    voice.volRelease = 1.0;
    voice.volDepth = 1.0;
    voice.setEnvelopeModes(kModeHold, kModeTrigger);
    voice.start();
    double sum = 0.0;
    // Runs of the engine's longest length.
    std::array<double, kMaxRun> cutoff, resonance, left, right;
    cutoff.fill(0.7);
    resonance.fill(0.3);
    left.fill(0.0);  // render adds into them
    right.fill(0.0);
    static_assert(kBlock % kMaxRun == 0);
    for (auto _ : state) {
        for (int n = 0; n < kBlock; n += kMaxRun) {
            voice.render(cutoff.data(), 0.0, resonance.data(), kMaxRun, left.data(), right.data());
            sum += voice.outL + voice.outR;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kBlock);
    state.SetLabel(voice.renderMode == renderMode ? "" : "wrong mode");
}
BENCHMARK(BM_NoiseVoiceTick)->DenseRange(1, 6);

// range(0): 1 sample player ("Acoustic 3", restarted as it ends), 2 generator.
void BM_HitVoiceTick(benchmark::State& state) {
    const bool generator = state.range(0) == 2;
    HitVoice voice(44100.0);
    voice.setGeneratorTables(wavetables().set(1));
    voice.setDecay(1.0);
    voice.setType(generator ? kHitTypeGenerator : 8, hitBank().buffer(7), hitBank().length(7));
    voice.setVolume(1.0);
    voice.setLevel(0.8);
    double sum = 0.0;
    for (auto _ : state) {
        // A block is short enough that every sample is inside a running hit.
        voice.selectMode();
        voice.start();
        for (int n = 0; n < 1024; ++n) sum += voice.tick();
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_HitVoiceTick)->Arg(1)->Arg(2);

}  // namespace
