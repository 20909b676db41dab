// Cost of the host-facing paths: an audio callback through the AEffect, MIDI
// intake and the state chunks a host saves and restores.
#include <benchmark/benchmark.h>

#include <vector>

#include "base/MidiQueue.h"
#include "plugin/Instance.h"

namespace {

intptr_t KETTRIX_VST_CALL SilentHost(AEffect*, int32_t, int32_t, intptr_t, void*, float) { return 0; }

intptr_t Dispatch(AEffect* effect, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

// One float block of range(0) frames on all twelve outputs.
void BM_ProcessReplacingFloat(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    AEffect* effect = kettrix::CreateVstInstance(SilentHost);
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetBlockSize, 0, frames);
    Dispatch(effect, effMainsChanged, 0, 1);
    std::vector<std::vector<float>> channels(12, std::vector<float>(static_cast<std::size_t>(frames)));
    std::vector<float*> outputs;
    for (auto& channel : channels) {
        outputs.push_back(channel.data());
    }
    for (auto _ : state) {
        effect->processReplacing(effect, nullptr, outputs.data(), frames);
        benchmark::DoNotOptimize(channels[0][0]);
    }
    state.SetItemsProcessed(state.iterations() * frames);
    Dispatch(effect, effClose);
}
BENCHMARK(BM_ProcessReplacingFloat)->Arg(64)->Arg(512);

// A block's worth of notes queued out of order, then aged.
void BM_MidiQueueAddFlush(benchmark::State& state) {
    kettrix::MidiQueue queue;
    queue.Resize(512);
    for (auto _ : state) {
        for (int i = 0; i < 64; ++i) {
            queue.Add(kettrix::MidiMessage::FromBytes((i * 37) % 512, 0x90, 36, 100));
        }
        while (!queue.Empty()) {
            queue.Remove();
        }
        queue.Flush(512);
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_MidiQueueAddFlush);

// Program chunk save and restore (index 1) and bank chunk save (index 0).
void BM_Chunks(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    AEffect* effect = kettrix::CreateVstInstance(SilentHost);
    Dispatch(effect, effOpen);
    for (auto _ : state) {
        void* data = nullptr;
        const intptr_t size = Dispatch(effect, effGetChunk, index, 0, &data);
        if (index == 1) {
            std::vector<unsigned char> copy(static_cast<const unsigned char*>(data),
                                            static_cast<const unsigned char*>(data) + size);
            Dispatch(effect, effSetChunk, index, size, copy.data());
        }
        benchmark::DoNotOptimize(size);
    }
    Dispatch(effect, effClose);
}
BENCHMARK(BM_Chunks)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
