// What the fuzz targets share: a reader over the fuzzer's bytes, a minimal
// host, and one plug-in instance driven through its AEffect callbacks the
// way a host drives it. Every check that fails aborts, so libFuzzer keeps
// the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/PresetSlot.h"
#include "plugin/Vst2Abi.h"

namespace kettrix {
class IPlugMonoSynth;
}  // namespace kettrix

namespace kettrix::fuzz {

// Aborts with a message when `condition` is false.
void Require(bool condition, const char* what);

// Reads fields from the front of the fuzzer's input; past the end every
// field reads as zero, so any input decodes to some sequence of actions.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool empty() const { return position_ >= bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - position_; }
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    // Any 32 bits as a float: NaN, infinities, denormals and huge values included.
    float anyFloat();
    // A number in 0..limit-1 (0 when limit is 0).
    std::uint32_t below(std::uint32_t limit) { return limit == 0 ? 0 : u32() % limit; }
    // Up to `count` bytes (fewer near the end).
    std::span<const std::uint8_t> take(std::size_t count);
    // The rest of the input.
    std::span<const std::uint8_t> rest() { return take(remaining()); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// What one input made the plug-in hand out (audio samples, chunks), folded
// into a number. Replaying the same inputs in another order must give every
// input the same number: the proof that nothing carries over between inputs.
class ResultDigest {
public:
    static void fold(const void* bytes, std::size_t size);
    // The number since the last take, and a fresh start.
    static std::uint64_t take();
};

// One plug-in instance made through the entry point's creation function and
// opened the way hosts open it (effOpen, rate, block size, resume).
//
// Creating an instance takes about a third of a second in the sanitizer
// build, so each target keeps one per process (Shared) and brings it back to
// the state it had after opening before every input: host settings, editor
// closed, every preset slot and the current kit (reloaded only when they
// differ), and voices, effects, smoothing, note state and MIDI queue as new.
class FuzzedPlugin {
public:
    static constexpr int kOutputs = 12;
    static constexpr int kMaxFrames = 4096;
    static constexpr int kBlockSize = 512;
    static constexpr float kSampleRate = 44100.0f;

    FuzzedPlugin();
    ~FuzzedPlugin();
    FuzzedPlugin(const FuzzedPlugin&) = delete;
    FuzzedPlugin& operator=(const FuzzedPlugin&) = delete;

    // The process's instance, restored to its opening state.
    static FuzzedPlugin& Shared();
    void restoreOpeningState();

    AEffect* effect() const { return effect_; }
    IPlugMonoSynth& plug() const;
    intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);

    // The chunk the plug-in hands out for index 0 (bank) or 1 (program),
    // copied byte by byte (so a short buffer shows up under the sanitizer).
    std::vector<std::uint8_t> getChunk(std::int32_t index);
    bool setChunk(std::int32_t index, std::span<const std::uint8_t> bytes);

    // Sends note-ons through effProcessEvents for the next block.
    void sendNotes(std::span<const std::uint8_t> notes, std::uint8_t velocity);
    // Renders `frames` (at most kMaxFrames) through processReplacing or
    // processDoubleReplacing and requires every output sample to be finite.
    void render(int frames, bool doublePrecision = false);

    // Every parameter finite and within its range.
    void requireSaneParameters() const;

private:
    void captureOpeningState();
    // The current program, its kit and every preset slot as after opening.
    bool kitAsOpened();

    AEffect* effect_ = nullptr;
    std::vector<std::uint8_t> openingProgram_;
    std::vector<PresetSlot> openingSlots_;
    std::vector<float> floatSamples_;
    std::vector<double> doubleSamples_;
};

// Renders a short pattern (every sound's default note, then a second hit)
// and requires finite output throughout.
void PlayShortPattern(FuzzedPlugin& plugin);

// A unique scratch file for this process (removed at exit).
const std::string& ScratchPath(const char* suffix);

}  // namespace kettrix::fuzz
