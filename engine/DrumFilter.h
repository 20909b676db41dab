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

#include "engine/FilterKernel.h"

#include <cstdint>

namespace kettrix::engine {

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

    // RT: a run of `frames` samples with the type chosen once, the same
    // values and state as that many process() calls: sample k's input is
    // source(k) and its output goes to sink(k, y). The caller's source and
    // sink run in the filter's loop, so their work overlaps the filter's.
    template <typename Source, typename Sink>
    void runMono(int type, int frames, const double* cutoff, const double* resonance, Source&& source,
                 Sink&& sink) noexcept {
        const bool filtered = filter_kernel::withType(type, [&](auto t) {
            using K = filter_kernel::Kernel<decltype(t)::value>;
            DrumFilterState s = *this;
            for (int k = 0; k < frames; ++k) sink(k, K::mono(s, cutoffTable, source(k), cutoff[k], resonance[k]));
            static_cast<DrumFilterState&>(*this) = s;
        });
        if (!filtered)
            for (int k = 0; k < frames; ++k) sink(k, source(k));
    }

    // RT: the same for processStereo(): source(k) gives a StereoSample,
    // sink(k, y) takes one; outL and outR hold the last output.
    template <typename Source, typename Sink>
    void runStereo(int type, int frames, const double* cutoff, const double* resonance, Source&& source,
                   Sink&& sink) noexcept {
        StereoSample y{outL, outR};
        if (type < kFilterLowPass6 || type >= kFilterMenuTypeCount) {
            for (int k = 0; k < frames; ++k) {
                y = source(k);
                sink(k, y);
            }
        } else {
            filter_kernel::withType(type, [&](auto t) {
                using K = filter_kernel::Kernel<decltype(t)::value>;
                DrumFilterState s = *this;
                for (int k = 0; k < frames; ++k) {
                    const StereoSample x = source(k);
                    K::update(s, cutoffTable, cutoff[k], resonance[k]);
                    y.left = K::channel(s, x.left, s.lowL, s.bandL);
                    y.right = K::channel(s, x.right, s.lowR, s.bandR);
                    sink(k, y);
                }
                static_cast<DrumFilterState&>(*this) = s;
            });
        }
        outL = y.left;
        outR = y.right;
    }

    // Sets f and damping at once (no glide) for type 14.
    void setFixed(double cutoff, double resonance) noexcept;

    double outL = 0.0;
    double outR = 0.0;
    CutoffTable cutoffTable;
    double rateRatio = 1.0;  // 44100 / sampleRate
};

}  // namespace kettrix::engine
