// Cost of the editor inside the plug-in: creating an instance with its whole
// control list, the memory that adds, opening the window with its first
// frame, and switching the shown sound.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <vector>

#include "graphics/IGraphicsOffscreen.h"
#include "plugin/EditorAttachment.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

namespace {

using namespace kettrix;

intptr_t KETTRIX_VST_CALL SilentHost(AEffect*, int32_t, int32_t, intptr_t, void*, float) { return 0; }

intptr_t Dispatch(AEffect* effect, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
}

std::unique_ptr<IGraphics> Offscreen(IGraphicsPlug* plug, int w, int h) {
    return std::make_unique<IGraphicsOffscreen>(plug, w, h);
}

IPlugMonoSynth& Plug(AEffect* effect) { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }

// Construction to destruction of one instance, editor controls included.
void BM_CreateInstance(benchmark::State& state) {
    SetGraphicsFactory(&Offscreen);
    for (auto _ : state) {
        AEffect* effect = CreateVstInstance(SilentHost);
        benchmark::DoNotOptimize(effect);
        Dispatch(effect, effClose);
    }
}
BENCHMARK(BM_CreateInstance)->Unit(benchmark::kMillisecond);

// Bytes allocated from the heap, small blocks and mapped large ones.
std::size_t HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap bytes one more instance holds (the process-wide image cache is filled
// by the first instance and shared after it), with the platform's window
// graphics as a host gets them, window not opened.
void BM_MemoryPerInstance(benchmark::State& state) {
    SetGraphicsFactory(nullptr);
    AEffect* first = CreateVstInstance(SilentHost);
    double bytes = 0.0;
    for (auto _ : state) {
        const std::size_t before = HeapBytes();
        AEffect* effect = CreateVstInstance(SilentHost);
        bytes = static_cast<double>(HeapBytes() - before);
        Dispatch(effect, effClose);
    }
    state.counters["bytes_per_instance"] = bytes;
    Dispatch(first, effClose);
}
BENCHMARK(BM_MemoryPerInstance)->Iterations(3)->Unit(benchmark::kMillisecond);

// effEditOpen and the first redraw pass (every visible control drawn).
void BM_OpenWindowFirstFrame(benchmark::State& state) {
    SetGraphicsFactory(&Offscreen);
    AEffect* effect = CreateVstInstance(SilentHost);
    Dispatch(effect, effOpen);
    for (auto _ : state) {
        Dispatch(effect, effEditOpen);
        Plug(effect).Graphics().OnTimer();
        state.PauseTiming();
        Dispatch(effect, effEditClose);
        state.ResumeTiming();
    }
    Dispatch(effect, effClose);
}
BENCHMARK(BM_OpenWindowFirstFrame)->Unit(benchmark::kMillisecond);

// A click on another sound's tab: hide one sound's sections, show the
// other's (224 controls) and redraw what changed.
void BM_SoundSwitch(benchmark::State& state) {
    SetGraphicsFactory(&Offscreen);
    AEffect* effect = CreateVstInstance(SilentHost);
    Dispatch(effect, effOpen);
    Dispatch(effect, effEditOpen);
    auto& graphics = dynamic_cast<IGraphicsOffscreen&>(Plug(effect).Graphics());
    graphics.OnTimer();
    int next = 1;
    for (auto _ : state) {
        graphics.Click(35 + 77 * next + 20, 12);
        graphics.OnTimer();
        next = next == 1 ? 2 : 1;
    }
    Dispatch(effect, effClose);
}
BENCHMARK(BM_SoundSwitch)->Unit(benchmark::kMillisecond);

}  // namespace
