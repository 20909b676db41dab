// No heap allocation on the audio path: global operator new and delete are
// replaced in this program by counting versions, and the counter must not
// move while the host's process callbacks run.

#include "TestHost.h"
#include "engine/EngineLimits.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#ifdef _WIN32
#include <malloc.h>
#endif
#include <new>
#include <vector>

// The replaced operators pair malloc with free on purpose; GCC cannot see
// through the replacement once it inlines them and warns about a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<long> gAllocations{0};

// The Windows C runtime has no aligned_alloc; its aligned blocks come from
// _aligned_malloc and must go back through _aligned_free.
void* alignedAllocate(std::size_t alignment, std::size_t size) {
#ifdef _WIN32
    return _aligned_malloc(size, alignment);
#else
    return std::aligned_alloc(alignment, size);
#endif
}
void alignedFree(void* p) {
#ifdef _WIN32
    _aligned_free(p);
#else
    std::free(p);
#endif
}
}  // namespace
extern std::atomic<bool> gTrap;

std::atomic<bool> gTrap{false};
void* operator new(std::size_t size) {
    ++gAllocations;
    if (gTrap && std::getenv("KETTRIX_TRAP_ALLOC")) std::abort();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, std::align_val_t align) {
    ++gAllocations;
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = alignedAllocate(a, (size + a - 1) / a * a)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++gAllocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { alignedFree(p); }
void operator delete[](void* p, std::align_val_t) noexcept { alignedFree(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { alignedFree(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { alignedFree(p); }

using namespace kettrix;
using namespace kettrix::test;

namespace {
// A host that answers without allocating, so every allocation counted
// during processing is the plug-in's own.
intptr_t KETTRIX_VST_CALL QuietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}
}  // namespace

TEST(AudioPath, ProcessCallbacksAllocateNothing) {
    AEffect* effect = CreateVstInstance(&QuietHost);
    ASSERT_NE(effect, nullptr);
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Dispatch(effect, effSetBlockSize, 0, 512);
    Dispatch(effect, effMainsChanged, 0, 1);

    std::array<std::vector<double>, engine::kOutputCount> buffers;
    std::array<double*, engine::kOutputCount> out{};
    std::array<std::vector<float>, engine::kOutputCount> floatBuffers;
    std::array<float*, engine::kOutputCount> floatOut{};
    for (unsigned c = 0; c < engine::kOutputCount; ++c) {
        buffers[c].assign(512, 0.0);
        out[c] = buffers[c].data();
        floatBuffers[c].assign(512, 0.0f);
        floatOut[c] = floatBuffers[c].data();
    }

    // Every sound with every section, retriggered so that both voices run.
    long during = 0;
    for (int block = 0; block < 200; ++block) {
        if (block % 4 == 0) {
            EventList events;
            for (int s = 0; s < engine::kSoundCount; ++s)
                events.Add(MidiEvent(s * 37, 0x90, static_cast<uint8_t>(engine::defaultKeyLo(s) + block % 6), 110));
            Dispatch(effect, effProcessEvents, 0, 0, events.Build());
        }
        const long before = gAllocations.load();
        gTrap = true;
        if (block % 2)
            effect->processDoubleReplacing(effect, nullptr, out.data(), 512);
        else
            effect->processReplacing(effect, nullptr, floatOut.data(), 512);
        gTrap = false;
        during += gAllocations.load() - before;
    }
    EXPECT_EQ(during, 0);
    Dispatch(effect, effClose);
}
