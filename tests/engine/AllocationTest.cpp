// No heap allocation on the audio path: global operator new and delete are
// replaced in this program by counting versions, and the counter must not
// move while the host delivers events, changes parameters and processes.

#include "TestHost.h"
#include "engine/EngineLimits.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
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

constexpr int kBlock = 512;

// One instance, opened and running at 48 kHz in blocks of kBlock frames,
// with output buffers for both precisions.
class RunningInstance {
public:
    RunningInstance() : effect_(CreateVstInstance(&QuietHost)) {
        Dispatch(effect_, effOpen);
        Dispatch(effect_, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(effect_, effSetBlockSize, 0, kBlock);
        Dispatch(effect_, effMainsChanged, 0, 1);
        for (unsigned c = 0; c < engine::kOutputCount; ++c) {
            doubles_[c].assign(kBlock, 0.0);
            doubleOut_[c] = doubles_[c].data();
            floats_[c].assign(kBlock, 0.0f);
            floatOut_[c] = floats_[c].data();
        }
    }
    ~RunningInstance() { Dispatch(effect_, effClose); }

    AEffect* effect() { return effect_; }
    IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect_->object)); }
    void processDouble() { effect_->processDoubleReplacing(effect_, nullptr, doubleOut_.data(), kBlock); }
    void processFloat() { effect_->processReplacing(effect_, nullptr, floatOut_.data(), kBlock); }
    double floatPeak() const {
        double peak = 0.0;
        for (const auto& channel : floats_)
            for (float v : channel) peak = std::max(peak, static_cast<double>(std::fabs(v)));
        return peak;
    }

private:
    AEffect* effect_;
    std::array<std::vector<double>, engine::kOutputCount> doubles_;
    std::array<double*, engine::kOutputCount> doubleOut_{};
    std::array<std::vector<float>, engine::kOutputCount> floats_;
    std::array<float*, engine::kOutputCount> floatOut_{};
};

// Counts the allocations made while `work` runs.
template <typename Work>
long AllocationsDuring(Work&& work) {
    const long before = gAllocations.load();
    gTrap = true;
    work();
    gTrap = false;
    return gAllocations.load() - before;
}
}  // namespace

// Dense MIDI (every sound struck and released several times a block, with
// running retriggers so both voices play), a sweep of host parameter changes
// over every index, and both process callbacks: none of it may allocate.
TEST(AudioPath, EventsProcessingAndParameterChangesAllocateNothing) {
    RunningInstance instance;
    AEffect* effect = instance.effect();
    ASSERT_NE(effect, nullptr);

    // The event lists are built before counting (building them allocates).
    std::array<EventList, 6> lists;
    for (int variant = 0; variant < 6; ++variant) {
        for (int hit = 0; hit < 8; ++hit) {
            for (int s = 0; s < engine::kSoundCount; ++s) {
                const int offset = (hit * kBlock / 8 + s * 5 + variant) % kBlock;
                const auto key = static_cast<uint8_t>(engine::defaultKeyLo(s) + (hit + variant) % 6);
                lists[variant].Add(MidiEvent(offset, 0x90, key, static_cast<uint8_t>(40 + 9 * hit)));
                lists[variant].Add(MidiEvent(std::min(offset + 31, kBlock - 1), 0x80, key, 0));
            }
        }
    }
    std::array<VstEvents*, 6> built{};
    for (int variant = 0; variant < 6; ++variant) built[variant] = lists[variant].Build();

    long during = 0;
    int nextParameter = 0;
    for (int block = 0; block < 240; ++block) {
        during += AllocationsDuring([&] {
            Dispatch(effect, effProcessEvents, 0, 0, built[block % 6]);
            // Six parameters a block: every index is changed in 240 blocks.
            for (int k = 0; k < 6; ++k) {
                effect->setParameter(effect, nextParameter, static_cast<float>((block + k) % 5) / 4.0f);
                nextParameter = (nextParameter + 1) % engine::kParameterCount;
            }
            if (block % 2)
                instance.processDouble();
            else
                instance.processFloat();
        });
    }
    EXPECT_EQ(during, 0);
}

// A host that sends far more events in one block than the queue holds: the
// queue neither grows nor crashes, the earliest events play and the rest are
// dropped and counted.
TEST(AudioPath, TenThousandEventsInOneBlockAllocateNothingAndTheEarliestPlay) {
    RunningInstance instance;
    AEffect* effect = instance.effect();
    ASSERT_NE(effect, nullptr);
    const MidiQueue& queue = instance.plug().GetMidiQueue();
    const int capacity = queue.Capacity();
    ASSERT_LT(capacity, 10000);

    // Sounds 0-4 at the start of the block, then a flood of notes no sound
    // answers, then sounds 5-9 at its end; each sound on the lowest key of
    // its range in the current kit.
    const auto keyOf = [&](int sound) {
        const double key = instance.plug().ParamAt(engine::soundIndex(sound, engine::offset::kKeyLo))->Value();
        return static_cast<uint8_t>(key);
    };
    constexpr int kEvents = 10000;
    EventList flood;
    for (int s = 0; s < 5; ++s) flood.Add(MidiEvent(s, 0x90, keyOf(s), 127));
    for (int i = 10; i < kEvents; ++i) flood.Add(MidiEvent(8 + i * (kBlock - 16) / kEvents, 0x90, 127, 64));
    for (int s = 5; s < 10; ++s) flood.Add(MidiEvent(kBlock - 10 + s, 0x90, keyOf(s), 127));
    VstEvents* events = flood.Build();
    ASSERT_EQ(events->numEvents, kEvents);

    const long during = AllocationsDuring([&] {
        Dispatch(effect, effProcessEvents, 0, 0, events);
        instance.processFloat();
    });
    EXPECT_EQ(during, 0);
    EXPECT_EQ(queue.Capacity(), capacity);
    EXPECT_EQ(queue.Dropped(), static_cast<std::uint32_t>(kEvents - capacity));

    const engine::ActiveSoundList& active = instance.plug().Engine().activeSounds();
    for (int s = 0; s < 5; ++s) EXPECT_TRUE(active.contains(s)) << "sound " << s;
    for (int s = 5; s < 10; ++s) EXPECT_FALSE(active.contains(s)) << "sound " << s;
    EXPECT_GT(instance.floatPeak(), 0.01);
    EXPECT_TRUE(queue.Empty());
}
