#include "kit/Randomizer.h"

namespace kettrix::kit {

bool keptWithoutEnvelopes(int off) {
    struct Span {
        int first, last;
    };
    static constexpr Span kKept[] = {
        {4, 10},     // envelope view tabs
        {20, 31},    // oscillator modulation and volume envelopes
        {34, 39},    // oscillator filter envelope
        {51, 56},    // noise 1 volume envelope
        {62, 67},    // noise 1 filter envelope
        {77, 84},    // noise 2 volume envelope and its two editor offsets
        {88, 93},    // noise 2 filter envelope
        {101, 112},  // pan, volume, output, reserved, velocity sensitivities
        {115, 116},  // page tabs
        {119, 121},  // reserved, key range
        {125, 130},  // reserved, user key range, choke, section switches
    };
    for (const Span& s : kKept)
        if (off >= s.first && off <= s.last) return true;
    return false;
}

}  // namespace kettrix::kit
