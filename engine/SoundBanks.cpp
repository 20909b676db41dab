#include "engine/SoundBanks.h"

namespace kettrix::engine {

const SoundBanks& SoundBanks::shared() {
    // Function-local statics: built by the first instance, kept for the
    // process, shared by every instance and voice.
    static const WavetableBank wavetables;
    static const SampleBank noiseSamples = makeNoiseSampleBank();
    static const SampleBank hitSamples = makeHitSampleBank();
    static const SoundBanks banks{wavetables, noiseSamples, hitSamples};
    return banks;
}

}  // namespace kettrix::engine
