#pragma once
// The sound source of an oscillator section: two oscillators, each either a
// band-limited wavetable reader or a band-limited noise generator, combined
// in one of thirteen modes (plain mix, FM, or a single oscillator), then a
// bass boost and the section's filter. The hit generator drives one
// directly through runFmPair.
//
// Pitches are on the 0..1 scale (one semitone per 1/120, 0.5 = 440 Hz).
// A cycle spans 1023 table steps (the phase wraps by 1023), so every tone
// sounds 1024/1023 of its nominal frequency.
//
// Threads: audio thread, or the parameter path under the plug-in lock.
// Nothing allocates after construction.

#include <cstdint>

#include "engine/DrumFilter.h"
#include "engine/WavetableBank.h"
#include "engine/tables/OscillatorNoteTable.h"

namespace kettrix::engine {

// Combination modes of OscillatorCore::process.
enum OscillatorMode : std::int32_t {
    kOscSilent = 0,
    kOscNoiseNoiseFm = 1,   // FM on, both noise: plain mix
    kOscWaveFmByNoise = 2,  // wavetable 1 frequency-modulated by noise 2
    kOscNoiseFmWave = 3,    // wavetable 2 frequency-modulated by noise 1
    kOscWaveFmWave = 4,     // wavetable 1 frequency-modulated by wavetable 2
    kOscNoiseNoise = 5,
    kOscNoiseWave = 6,
    kOscWaveNoise = 7,
    kOscWaveWave = 8,
    kOscNoise1 = 9,
    kOscWave1 = 10,
    kOscNoise2 = 11,
    kOscWave2 = 12,
};

// Mode for the oscillators' switches: "on" (type not "Off"), FM amount > 0
// and "noise" (type "Noise").
std::int32_t selectOscillatorMode(bool osc1On, bool osc2On, bool fmOn, bool osc1Noise, bool osc2Noise) noexcept;

struct OscillatorCore {
    explicit OscillatorCore(double sampleRate);

    // Start of a note: clears outputs, boost, FM feedback and phases, forces
    // a pitch conversion, restarts noise 1's generator (noise 2's keeps
    // running) and resets the three filters.
    void reset() noexcept;

    // One sample of the section: the mode's mix, the bass boost, the filter
    // (filterType) and the amplitude. Mode 0 gives 0.
    double process(std::int32_t mode, double p1, double p2, double amp, double cutoff, double resonance,
                   double fm) noexcept;

    // RT: `frames` samples of process() into out, with sample k's inputs at
    // index k; the mode is chosen once for the run.
    void render(std::int32_t mode, const double* p1, const double* p2, const double* amp, const double* cutoff,
                const double* resonance, const double* fm, int frames, double* out) noexcept;

    // Mode 4 without boost and filter: oscillator 1 modulated by the previous
    // output of oscillator 2, the depth shrinking to 0 towards both ends of
    // p1's range. Updates out1, out2 and fmFeedback.
    void runFmPair(double p1, double p2, double fm) noexcept;

    // Equal-power levels of the two oscillators ("Osc mix 1/2").
    void setMix(double m) noexcept;

    // Converts a pitch into oscillator k's increment and table, always
    // (convert) or only when it changed since the last call (tune).
    void convert1(double p) noexcept;
    void convert2(double p) noexcept;
    void tune1(double p) noexcept;
    void tune2(double p) noexcept;

    // Interpolated read of oscillator k's table at its phase, then advance.
    double wave1() noexcept;
    double wave2() noexcept;

    // Noise oscillator k at pitch p (the cutoff of its own filter).
    double noise1(double p) noexcept;
    double noise2(double p) noexcept;

    double out1 = 0.0, out2 = 0.0;
    double boost = 0.0;
    double boostCoef;  // 0.05 at 44.1 kHz: about 360 Hz
    double rateRatio;  // 44100 / sampleRate, the rate in single precision
    double antiDenormal = 1.0 / 4294967295.0;
    OscillatorNoteTable notes;
    std::int32_t sampleRate;
    std::int32_t phase1Int = 0;
    double phase1 = 0.0;
    std::int32_t phase2Int = 0;
    double phase2 = 0.0;
    double fmFeedback = 0.0;
    double pitch1Cached = -1.0, inc1 = 0.0;
    std::int32_t table1Index = 0;
    double pitch2Cached = -1.0, inc2 = 0.0;
    std::int32_t table2Index = 0;
    // Multiply-add generators; unsigned so that the 32-bit wrap is defined.
    std::uint32_t noise1State = 0, noise2State = 0;
    double noise1Acc = 1.0, noise2Acc = 1.0;
    DrumFilter filter, noise1Filter, noise2Filter;
    const WavetableSet* set1 = &WavetableBank::silentSet();
    const WavetableSet* set2 = &WavetableBank::silentSet();
    double level1 = 1.0, level2 = 1.0;
    std::int32_t filterType = kFilterAnalogLowPass12;

private:
    // One wavetable oscillator's running values, held in a local over a run.
    struct WaveReader {
        const WavetableSet* set;
        double phase;
        std::int32_t phaseInt;
        double inc;
        std::int32_t tableIndex;
        double pitchCached;
        double out;
        const double* table;  // (*set)[tableIndex], looked up when the index changes

        void convert(const OscillatorNoteTable& notes, double p) noexcept {
            const PitchStep s = notes.atPitch(p);
            inc = s.increment;
            tableIndex = s.tableIndex;
            table = (*set)[tableIndex].data();
        }
        void tune(const OscillatorNoteTable& notes, double p) noexcept {
            if (p == pitchCached) return;
            pitchCached = p;
            convert(notes, p);
        }
        double read() noexcept {
            out = readAndAdvance(table, phase, phaseInt, inc);
            return out;
        }
    };
    WaveReader reader1() const noexcept {
        return {set1, phase1, phase1Int, inc1, table1Index, pitch1Cached, out1, (*set1)[table1Index].data()};
    }
    WaveReader reader2() const noexcept {
        return {set2, phase2, phase2Int, inc2, table2Index, pitch2Cached, out2, (*set2)[table2Index].data()};
    }
    void keep1(const WaveReader& r) noexcept;
    void keep2(const WaveReader& r) noexcept;
    // The mode's mix over a run into m.
    void mixRun(std::int32_t mode, const double* p1, const double* p2, const double* fm, int frames,
                double* m) noexcept;

    static double readAndAdvance(const double* table, double& phase, std::int32_t& phaseInt, double increment) noexcept;
    double noise(double p, std::uint32_t& state, double& acc, DrumFilter& noiseFilter, double& out) noexcept;
    double mix(std::int32_t mode, double p1, double p2, double fm) noexcept;
};

}  // namespace kettrix::engine
