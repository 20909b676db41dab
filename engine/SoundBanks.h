#pragma once
// The read-only tables every voice borrows: the wavetable sets and the noise and
// hit samples. Built once per process on first
// use, under the process-wide instance-creation mutex, and never changed.

#include "engine/SampleBank.h"
#include "engine/WavetableBank.h"

namespace kettrix::engine {

struct SoundBanks {
    const WavetableBank& wavetables;
    const SampleBank& noiseSamples;  // bank A: noise types 3 to 39
    const SampleBank& hitSamples;    // bank B: hit types 1 to 17

    // The process-wide banks.
    static const SoundBanks& shared();
};

}  // namespace kettrix::engine
