#pragma once
// Noise and hit samples converted to doubles once, at plug-in construction,
// and shared read-only by every voice.
//
// A slot holds `length` samples (value / 32767.0) followed by a copy of the
// first sample, so an interpolating read at the last index needs no branch.
// An empty slot (missing or rejected resource) has length 0 and a buffer of
// one zero; the voices treat it as silence.
//
// Threads: load on the construction path only; buffer() and length() are
// read on the audio thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>
#include "base/SettingVocabulary.h"

namespace kettrix::engine {

class SampleBank {
public:
    static constexpr std::int32_t kMaxLength = 88200;  // two seconds at 44.1 kHz

    explicit SampleBank(int capacity);

    // Loads "WAV" resource `resourceId` into `slot`. Returns false (slot left
    // as it was) for a bad slot or a missing resource, and false with the slot
    // emptied for a resource longer than kMaxLength samples.
    bool load(int resourceId, int slot);
    // The same from raw headerless signed 16-bit little-endian bytes.
    bool loadBytes(const unsigned char* data, std::size_t size, int slot);

    int capacity() const noexcept { return static_cast<int>(lengths_.size()); }
    // RT. Out-of-range slots read as empty.
    const double* buffer(int slot) const noexcept;
    std::int32_t length(int slot) const noexcept;

private:
    // Each slot is sized to its own sample (plus the wrap copy) when loaded,
    // rather than to kMaxLength, so the banks cost what the samples need.
    std::vector<std::vector<double>> buffers_;
    std::vector<std::int32_t> lengths_;
};

// Resource ids of the noise samples, slot i = noise type i + 3.
inline constexpr std::array<int, 37> kNoiseSampleIds{205, 206, 207, 208, 209, 210, 224, 225, 226, 227, 228, 229, 230,
                                                     240, 242, 246, 223, 219, 211, 212, 213, 214, 216, 217, 218, 231,
                                                     232, 233, 234, 235, 236, 237, 238, 239, 247, 248, 249};

// Resource ids of the hit samples, slot i = hit type i + 1.
inline constexpr std::array<int, 17> kHitSampleIds{250, 251, 253, 254, 255, 256, 257, 258, 259,
                                                   260, 261, 262, 263, 264, 265, 266, 267};

inline constexpr int kFirstSampleNoiseType = 3;  // "Noise"
inline constexpr int kLastNoiseType = 39;        // "Octave 2"
inline constexpr int kFirstHitType = 1;          // "Analog 1"
inline constexpr int kLastHitSampleType = 17;    // "Wood 4"
static_assert(kLastNoiseType + 1 == settings::kNoiseType.count());
static_assert(kNoiseSampleIds.size() == kLastNoiseType - kFirstSampleNoiseType + 1);
// The hit samples, then the generator as the last type.
static_assert(kLastHitSampleType + 2 == settings::kHitType.count());
static_assert(kHitSampleIds.size() == kLastHitSampleType - kFirstHitType + 1);

// Banks filled from the embedded resources (construction path).
SampleBank makeNoiseSampleBank();
SampleBank makeHitSampleBank();

}  // namespace kettrix::engine
