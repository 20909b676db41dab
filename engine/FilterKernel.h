#pragma once
// The arithmetic of the filter block, one filter type at a time, on a state
// that the caller owns: a DrumFilter's own members for a single call, a
// local copy for a run of samples (which the compiler then keeps in
// registers). The type is a template argument so that a run decides it once
// and the loop holds only that type's arithmetic.
//
// Header-only so that a voice can run its source, the filter and its level
// in one loop: independent dependency chains in one loop overlap in the
// processor, where separate loops would wait for each other.

#include "base/SettingVocabulary.h"
#include "engine/EngineLimits.h"
#include "engine/tables/CutoffTable.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace kettrix::engine {

// Values of the "filter type" parameters (the settings' filter types, in
// their order) and two internal types.
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
    // Internal types follow the menu's, outside the parameter's range.
    kFilterSingleStepLowPass = kFilterAnalogLowPass12 + 1,  // one unclamped half step, low output
    kFilterFixedBandPass = kFilterSingleStepLowPass + 1,    // band output with setFixed coefficients
};

inline constexpr int kFilterTypeCount = kFilterFixedBandPass + 1;
inline constexpr int kFilterMenuTypeCount = settings::kFilterType.count();  // types a sound's menu offers
static_assert(kFilterAnalogLowPass12 + 1 == kFilterMenuTypeCount, "a filter type without a kernel, or the reverse");
static_assert(kFilterLowPass6 == settings::kFilterType.valueOf("6dB Low Pass") &&
              kFilterLowPass12 == settings::kFilterType.valueOf("12dB Low Pass") &&
              kFilterBandReject12 == settings::kFilterType.valueOf("12dB Band Reject"));

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

namespace filter_kernel {

// Calls between two coefficient computations; the glide spans the same count.
inline constexpr std::int32_t kUpdateInterval = 10;
inline constexpr double kGlideIncrement = 0.1;

// Semitones across the cutoff range (0 to 1).
inline constexpr double kCutoffSemitones = kPitchSteps;

// Highest cutoff value of the 12 dB types: about 8087 Hz.
inline constexpr double kMaxCutoff = 0.92;

// Added to the low-pass state on every update: keeps decaying states off
// denormal numbers.
inline constexpr double kAntiDenormal = 1.0 / 4294967295.0;

// Lowest value the band state of types 5..11 may take.
inline constexpr double kBandFloor = -2.8;

// Clamps into 0..hi; a NaN cutoff reads the bottom of the table instead of
// an arbitrary index.
inline double clampCutoff(double v, double hi) noexcept {
    if (!(v > 0.0)) return 0.0;
    return v < hi ? v : hi;
}

// Resonance only ever arrives as 0..1; clamping keeps a stray value from
// turning the damping negative on the plain state-variable types.
inline double clampResonance(double r) noexcept {
    if (!(r > 0.0)) return 0.0;
    return r < 1.0 ? r : 1.0;
}

inline double stateVariableDamping(double resonance) noexcept { return 1.0 - clampResonance(resonance) * 0.999; }

constexpr bool isOnePole(int type) noexcept { return type >= kFilterLowPass6 && type <= kFilterHighShelf6; }

// The arithmetic of one filter type, on a state that the caller owns: the
// filter's own members for a single call, a local copy for a run. Type is a
// template argument so that a run decides it once.
template <int Type>
struct Kernel {
    static void pickUpCutoff(DrumFilterState& s, const CutoffTable& table, double cv) noexcept {
        s.counter = 0;
        s.glide = 0.0;
        s.fStart = s.fTarget;
        s.fTarget = table.lookup(cv * kCutoffSemitones);
        if (s.firstUpdate) {
            s.fStart = s.fTarget;
            s.firstUpdate = 0;
        }
    }

    // A settled filter only needs to know that ten calls have passed; the
    // count stops there, so a note held for hours never overflows it.
    static void holdCounter(DrumFilterState& s) noexcept {
        if (s.counter < kUpdateInterval) ++s.counter;
    }

    static void glideStep(DrumFilterState& s) noexcept {
        ++s.counter;
        s.glide += kGlideIncrement;
        s.f = s.fStart + (s.fTarget - s.fStart) * s.glide;
    }

    // A new cutoff is taken at most every tenth call; in between f glides.
    static void update(DrumFilterState& s, const CutoffTable& table, double cutoff, double resonance) noexcept {
        if constexpr (Type == kFilterFixedBandPass) {
            return;  // setFixed's coefficients
        } else if constexpr (isOnePole(Type)) {
            if (s.glide >= 1.0 && cutoff == s.cachedCutoff) {
                holdCounter(s);
                return;
            }
            if (s.counter >= kUpdateInterval) {
                s.cachedCutoff = cutoff;
                pickUpCutoff(s, table, clampCutoff(cutoff, 1.0));
            }
            glideStep(s);
        } else if constexpr (Type == kFilterAnalogLowPass12) {
            if (s.glide >= 1.0 && cutoff == s.cachedCutoff && resonance == s.cachedResonance) {
                holdCounter(s);
                return;
            }
            const double res = clampResonance(resonance);
            const double cv = clampCutoff(cutoff, kMaxCutoff);
            const double headroom = kMaxCutoff - cv;
            s.clipThreshold = std::max(0.1, 1.0 - (cv * 0.5 + res * 0.3));
            // Above two thirds of the resonance range the damping turns
            // negative, the more so the lower the cutoff: the filter rings on
            // its own and the soft clip holds the level.
            const double r = res * 1.5;
            s.damping = r <= 1.0 ? 1.0 - r : -((r - 1.0) * headroom * ((r - 1.0) * 15.0));
            if (s.counter >= kUpdateInterval) {
                s.cachedCutoff = cv;
                s.cachedResonance = resonance;
                pickUpCutoff(s, table, cv);
            }
            glideStep(s);
        } else {
            if (s.glide >= 1.0 && cutoff == s.cachedCutoff && resonance == s.cachedResonance) {
                holdCounter(s);
                return;
            }
            if (s.counter >= kUpdateInterval) {
                s.cachedResonance = resonance;
                s.cachedCutoff = cutoff;
                s.damping = stateVariableDamping(resonance);
                pickUpCutoff(s, table, clampCutoff(cutoff, kMaxCutoff));
            }
            glideStep(s);
        }
    }

    static double softClip(double v, double t) noexcept {
        if (v > t) return v * std::max(0.8, 1.0 - (v - t));
        if (v < -t) return v * std::max(0.1, 1.0 + t + v);
        return v;
    }

    // One sample of one channel, after update.
    static double channel(const DrumFilterState& s, double x, double& low, double& band) noexcept {
        if constexpr (isOnePole(Type)) {
            low = low + (x - low) * s.f + kAntiDenormal;
        } else {
            // Chamberlin state-variable filter; two half steps per sample with
            // the same input keep it stable at high cutoffs. Type 13 takes one.
            constexpr int halfSteps = Type == kFilterSingleStepLowPass ? 1 : 2;
            for (int h = 0; h < halfSteps; ++h) {
                band = (x - low - band * s.damping) * s.f + band;
                if constexpr (Type == kFilterAnalogLowPass12) {
                    band = softClip(band, s.clipThreshold);
                } else if constexpr (Type <= kFilterBandReject12) {
                    band = std::max(band, kBandFloor);
                }
                low = band * s.f + low + kAntiDenormal;
            }
        }
        switch (Type) {
            case kFilterLowPass6:
            case kFilterLowPass12:
            case kFilterAnalogLowPass12:
            case kFilterSingleStepLowPass:
                return low;
            case kFilterHighPass6:
            case kFilterHighPass12:
                return x - low;
            case kFilterLowShelf6:
            case kFilterLowShelf12:
                return x + low;
            case kFilterHighShelf6:
            case kFilterHighShelf12:
                return x + (x - low);
            case kFilterBandPass12:
            case kFilterFixedBandPass:
                return band;
            case kFilterPeak12:
                return x + band;
            case kFilterBandReject12:
                return x - band;
            default:
                return x;
        }
    }

    static double mono(DrumFilterState& s, const CutoffTable& table, double x, double cutoff,
                       double resonance) noexcept {
        update(s, table, cutoff, resonance);
        return channel(s, x, s.lowL, s.bandL);
    }
};

// Calls f with the type as a compile-time constant; false for types that
// pass the signal through (kFilterOff and anything outside the known types).
template <typename F, int... Types>
inline bool withTypeOf(int type, F&& f, std::integer_sequence<int, Types...>) {
    // Types holds 0..kFilterTypeCount - 2; the kernel types start at 1.
    return ((type == Types + 1 ? (f(std::integral_constant<int, Types + 1>{}), true) : false) || ...);
}

template <typename F>
inline bool withType(int type, F&& f) {
    return withTypeOf(type, f, std::make_integer_sequence<int, kFilterTypeCount - 1>{});
}

}  // namespace filter_kernel
}  // namespace kettrix::engine
