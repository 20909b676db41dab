#pragma once
// The read-only tables every voice borrows: the wavetable sets (and, with the
// noise and hit sections, the sample bank). Built once per process on first
// use, under the process-wide instance-creation mutex, and never changed.

#include "engine/WavetableBank.h"

namespace kettrix::engine {

struct SoundBanks {
    const WavetableBank& wavetables;

    // The process-wide banks.
    static const SoundBanks& shared();
};

}  // namespace kettrix::engine
