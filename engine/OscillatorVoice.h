#pragma once
// One voice of a sound's oscillator section: an OscillatorCore shaped by a
// volume, a modulation (both pitches, 1.0 = ten octaves) and a filter-cutoff
// EnvelopePair. A sound has two and uses them in turn: the current voice is
// rendered with tick, the previous one fades out with tail (linearly, within
// 10 ms from full level) so that a retrigger never clicks.
//
// Threads: audio thread, or the parameter path under the plug-in lock.
// Nothing allocates after construction.

#include <cstdint>
#include "base/SettingVocabulary.h"

#include "engine/Envelope.h"
#include "engine/OscillatorCore.h"
#include "engine/WavetableBank.h"

namespace kettrix::engine {

// Oscillator types ("Osc1 type", "Osc2 type").
enum OscillatorType : int {
    kOscTypeOff = 0,
    kOscTypeSinePure = 1,
    kOscTypeSine808 = 2,
    kOscTypeSine909 = 3,
    kOscTypeTriangle = 4,
    kOscTypeSquare = 5,
    kOscTypeSaw = 6,
    kOscTypeNoise = 7,
};
static_assert(kOscTypeNoise + 1 == settings::kOscillatorType.count());
static_assert(kOscTypeSine808 == settings::kOscillatorType.valueOf("Sine (808)"));

struct OscillatorVoice {
    // The bank must outlive the voice; its sets are borrowed, never copied.
    OscillatorVoice(double sampleRate, const WavetableBank& bank);

    // oscillator is 1 or 2 (others are ignored). Types 1..6 select wavetable
    // set type - 1 from the next sample on (the phase is kept), 7 makes the
    // oscillator a noise generator, 0 (or any other value) switches it off.
    // The mode is re-selected at once, even during a note.
    void setType(int oscillator, int type) noexcept;
    // "Osc FM": any amount above 0 turns the FM modes on.
    void setFm(double amount) noexcept;
    // "Osc mix 1/2": equal-power crossfade between the oscillators.
    void setMix(double m) noexcept;
    // "Osc filter type", 0..12.
    void setFilterType(int type) noexcept { core.filterType = type; }
    // Envelope modes (0 "Trigger", 1 "Hold", 2 "Hihat") of the three pairs.
    void setEnvelopeModes(std::int32_t volumeMode, std::int32_t modulationMode, std::int32_t filterMode) noexcept;

    // At a trigger: restarts the core and the three envelopes. Does nothing
    // while both oscillators are off.
    void start() noexcept;
    // RT: `frames` (up to kMaxRun) samples of the current voice into out. p1,
    // p2 and cutoff are before the modulation and filter envelopes are added;
    // the cutoff of sample k is cutoff[k] + cutoffKey.
    void render(const double* p1, const double* p2, const double* cutoff, double cutoffKey, const double* resonance,
                const double* fm, int frames, double* out) noexcept;
    // One sample of the previous voice, with the values it kept.
    double tail() noexcept;
    // RT: up to `frames` tail samples added into out, the same as that many
    // tail() calls while the voice stays active.
    void renderTail(int frames, double* out) noexcept;
    // Once per block: 1 while the volume envelope runs.
    std::uint8_t updateActive() noexcept;

    std::int32_t mode = kOscSilent;
    std::uint8_t active = 0;
    double keyValue = 0.0;  // key offset of the triggering note ("Hihat" release)
    EnvelopePair modulation, volume, filterEnv;
    std::uint8_t osc1On = 0, osc2On = 0, fmOn = 0, osc1Noise = 0, osc2Noise = 0;
    double modAttack = 0.0, modRelease = 0.0, modDepth = 0.0;
    double volAttack = 0.0, volRelease = 0.0, volDepth = 1.0;
    double filterAttack = 0.0, filterRelease = 0.0, filterDepth = 0.0;
    double modOut = 0.0, amp = 0.0, filterOut = 0.0;
    double tailPitch1 = 0.0, tailPitch2 = 0.0;
    double tailCutoff = 0.0, tailResonance = 0.0, tailFm = 0.0;  // written by the engine at a trigger
    OscillatorCore core;
    double tailStep;  // 100 / sampleRate: a full level fades in 10 ms

private:
    void selectMode() noexcept;

    const WavetableBank* bank_;
};

}  // namespace kettrix::engine
