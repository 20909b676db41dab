#pragma once
// The one filter block behind every filter of the instrument: a one-pole
// filter for the 6 dB types and a state-variable filter run as two half
// steps per sample for the 12 dB types, with an "analog" variant that
// soft-clips its band-pass state so that it can self-oscillate without
// running away. The cutoff (0 to 1, one semitone per 1/120) indexes a
// per-sample-rate coefficient table; a new cutoff is picked up at most every
// tenth call and f glides to it linearly over the following ten calls.
//
// Tuning: both half steps of the state-variable types use the coefficient of
// the single sample rate, so they resonate one octave above the table
// frequency of their cutoff (880 Hz at 0.5); the single-step type 13
// resonates at the table frequency itself.
//
// Threads: audio thread (and the owning voice's set-up under the plug-in
// lock). No allocation, no trigonometry per sample.

#include "engine/tables/CutoffTable.h"

#include <cstdint>

namespace kettrix::engine {

// Values of the "filter type" parameters (0..12) and two internal types.
enum DrumFilterType : int {
    kFilterOff = 0,
    kFilterLowPass6 = 1,
    kFilterHighPass6 = 2,
    kFilterLowShelf6 = 3,
    kFilterHighShelf6 = 4,
    kFilterLowPass12 = 5,
    kFilterBandPass12 = 6,
    kFilterHighPass12 = 7,
    kFilterLowShelf12 = 8,
    kFilterPeak12 = 9,
    kFilterHighShelf12 = 10,
    kFilterBandReject12 = 11,
    kFilterAnalogLowPass12 = 12,
    kFilterSingleStepLowPass = 13,  // internal: one unclamped half step, low output
    kFilterFixedBandPass = 14,      // internal: band output with setFixed coefficients
};

inline constexpr int kFilterTypeCount = 15;
inline constexpr int kFilterMenuTypeCount = 13;  // types a sound's menu offers

// A left and right sample, returned by value.
struct StereoSample {
    double left = 0.0;
    double right = 0.0;
};

// What a filter changes as it runs: the channel states and the coefficients
// with their glide. A run copies it into a local, so that the loop keeps it
// in registers, and stores it back at the end.
struct DrumFilterState {
    double lowL = 0.0, bandL = 0.0;
    double lowR = 0.0, bandR = 0.0;
    double cachedResonance = -1.0;
    double f = -1.0;
    double damping = -1.0;
    double fStart = 0.0, fTarget = 0.0;
    double glide = 0.0;
    double cachedCutoff = -1.0;
    double clipThreshold = 0.0;
    std::int32_t counter = 40;
    std::uint8_t firstUpdate = 1;
};

struct DrumFilter : DrumFilterState {
    explicit DrumFilter(double sampleRate);

    // Clears state and coefficients; the next call takes its cutoff at once.
    void reset() noexcept;

    // One mono sample through the left state. Types 0 and outside 1..14 pass
    // the input through untouched.
    double process(double x, double cutoff, double resonance, int type) noexcept;

    // One stereo sample; results in outL and outR and also returned (read
    // from the registers, the pair costs no trip through memory). Types
    // 1..12 only; any other type copies the inputs.
    StereoSample processStereo(double xL, double xR, double cutoff, double resonance, int type) noexcept;

    // RT: `frames` samples filtered in place, the same values and state as
    // that many calls of process (runMono) or processStereo (runStereo) with
    // sample k's inputs; the type is chosen once for the run.
    void runMono(double* x, const double* cutoff, const double* resonance, int frames, int type) noexcept;
    void runStereo(double* left, double* right, const double* cutoff, const double* resonance, int frames,
                   int type) noexcept;

    // Sets f and damping at once (no glide) for type 14.
    void setFixed(double cutoff, double resonance) noexcept;

    double outL = 0.0;
    double outR = 0.0;
    CutoffTable cutoffTable;
    double rateRatio = 1.0;  // 44100 / sampleRate

private:
    template <int Type>
    void runMonoAs(double* x, const double* cutoff, const double* resonance, int frames) noexcept;
    template <int Type>
    void runStereoAs(double* left, double* right, const double* cutoff, const double* resonance, int frames) noexcept;
};

}  // namespace kettrix::engine
