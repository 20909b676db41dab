// The sound randomizers: "Randomize (All)" and "Randomize (No Envelopes)"
// build a sound record of random values, which is then applied like any
// other record (so routing, pan, volume, key ranges and choke stay).
#pragma once

#include <cstdint>

#include "kit/SoundRecord.h"

namespace kettrix::kit {

// The C runtime's classic multiply-add generator, reproduced so that every
// build draws the same sequence: s = s * 214013 + 2531011 (mod 2^32), and a
// draw is bits 16-30 of s, 0 to 32767.
class RandomDraws {
public:
    explicit RandomDraws(std::uint32_t seed = 1) : state_(seed) {}
    void seed(std::uint32_t seed) { state_ = seed; }
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    static constexpr int kMax = 32767;

private:
    std::uint32_t state_;
};

// Whether offset `off` keeps its current value under "Randomize (No
// Envelopes)": envelope times, shapes, depths and modes, the envelope views,
// the mixer and velocity settings and the sound's place in the kit.
bool keptWithoutEnvelopes(int off);

// Builds the record of a randomized sound. `current` reads the current plain
// value of offset o of the sound, `range` its parameter's index (for min and
// max). One draw is made for every offset 0-130, in order, also for offsets
// whose current value is kept, so both commands consume the same draws.
template <typename CurrentValue>
SoundRecord makeRandomRecord(RandomDraws& draws, int sound, bool keepEnvelopes, std::string_view name,
                             CurrentValue current);

}  // namespace kettrix::kit

#include "kit/ParameterTable.h"

namespace kettrix::kit {

template <typename CurrentValue>
SoundRecord makeRandomRecord(RandomDraws& draws, int sound, bool keepEnvelopes, std::string_view name,
                             CurrentValue current) {
    SoundRecord record;
    record.setVersion(SoundRecord::kCurrentVersion);
    record.setName(name);
    for (int off = 0; off < SoundRecord::kValueCount; ++off) {
        const int draw = draws.next();
        const ParamInfo& p = parameterInfo(soundIndex(sound, off));
        // Uniform over the whole range, both ends reachable, not rounded to the step.
        const double random = (draw / static_cast<double>(RandomDraws::kMax)) * (p.max - p.min) + p.min;
        record.setValue(off, keepEnvelopes && keptWithoutEnvelopes(off) ? current(off) : random);
    }
    return record;
}

}  // namespace kettrix::kit
