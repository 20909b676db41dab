#include "engine/DrumFilter.h"

#include "engine/EngineLimits.h"

#include <algorithm>
#include <type_traits>

namespace kettrix::engine {
namespace {

// Calls between two coefficient computations; the glide spans the same count.
constexpr std::int32_t kUpdateInterval = 10;
constexpr double kGlideIncrement = 0.1;

// Semitones across the cutoff range (0 to 1).
constexpr double kCutoffSemitones = kPitchSteps;

// Highest cutoff value of the 12 dB types: about 8087 Hz.
constexpr double kMaxCutoff = 0.92;

// Added to the low-pass state on every update: keeps decaying states off
// denormal numbers.
constexpr double kAntiDenormal = 1.0 / 4294967295.0;

// Lowest value the band state of types 5..11 may take.
constexpr double kBandFloor = -2.8;

// Clamps into 0..hi; a NaN cutoff reads the bottom of the table instead of
// an arbitrary index.
double clampCutoff(double v, double hi) noexcept {
    if (!(v > 0.0)) return 0.0;
    return v < hi ? v : hi;
}

// Resonance only ever arrives as 0..1; clamping keeps a stray value from
// turning the damping negative on the plain state-variable types.
double clampResonance(double r) noexcept {
    if (!(r > 0.0)) return 0.0;
    return r < 1.0 ? r : 1.0;
}

double stateVariableDamping(double resonance) noexcept { return 1.0 - clampResonance(resonance) * 0.999; }

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
                ++s.counter;
                return;
            }
            if (s.counter >= kUpdateInterval) {
                s.cachedCutoff = cutoff;
                pickUpCutoff(s, table, clampCutoff(cutoff, 1.0));
            }
            glideStep(s);
        } else if constexpr (Type == kFilterAnalogLowPass12) {
            if (s.glide >= 1.0 && cutoff == s.cachedCutoff && resonance == s.cachedResonance) {
                ++s.counter;
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
                ++s.counter;
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
// pass the signal through (0 and anything outside 1..14).
template <typename F>
bool withType(int type, F&& f) {
    switch (type) {
        case 1:
            f(std::integral_constant<int, 1>{});
            return true;
        case 2:
            f(std::integral_constant<int, 2>{});
            return true;
        case 3:
            f(std::integral_constant<int, 3>{});
            return true;
        case 4:
            f(std::integral_constant<int, 4>{});
            return true;
        case 5:
            f(std::integral_constant<int, 5>{});
            return true;
        case 6:
            f(std::integral_constant<int, 6>{});
            return true;
        case 7:
            f(std::integral_constant<int, 7>{});
            return true;
        case 8:
            f(std::integral_constant<int, 8>{});
            return true;
        case 9:
            f(std::integral_constant<int, 9>{});
            return true;
        case 10:
            f(std::integral_constant<int, 10>{});
            return true;
        case 11:
            f(std::integral_constant<int, 11>{});
            return true;
        case 12:
            f(std::integral_constant<int, 12>{});
            return true;
        case 13:
            f(std::integral_constant<int, 13>{});
            return true;
        case 14:
            f(std::integral_constant<int, 14>{});
            return true;
        default:
            return false;
    }
}

}  // namespace

DrumFilter::DrumFilter(double sampleRate)
    : cutoffTable(sampleRate), rateRatio(kReferenceRate / double(static_cast<float>(sampleRate))) {
    reset();
}

void DrumFilter::reset() noexcept {
    static_cast<DrumFilterState&>(*this) = DrumFilterState{};
    outL = outR = 0.0;
}

void DrumFilter::setFixed(double cutoff, double resonance) noexcept {
    f = cutoffTable.lookup(clampCutoff(cutoff, kMaxCutoff) * kCutoffSemitones);
    damping = stateVariableDamping(resonance);
}

double DrumFilter::process(double x, double cutoff, double resonance, int type) noexcept {
    double y = x;
    withType(type, [&](auto t) { y = Kernel<decltype(t)::value>::mono(*this, cutoffTable, x, cutoff, resonance); });
    return y;
}

StereoSample DrumFilter::processStereo(double xL, double xR, double cutoff, double resonance, int type) noexcept {
    if (type < kFilterLowPass6 || type > kFilterAnalogLowPass12) {
        outL = xL;
        outR = xR;
        return {xL, xR};
    }
    withType(type, [&](auto t) {
        using K = Kernel<decltype(t)::value>;
        K::update(*this, cutoffTable, cutoff, resonance);
        outL = K::channel(*this, xL, lowL, bandL);
        outR = K::channel(*this, xR, lowR, bandR);
    });
    return {outL, outR};
}

template <int Type>
void DrumFilter::runMonoAs(double* x, const double* cutoff, const double* resonance, int frames) noexcept {
    DrumFilterState s = *this;
    for (int k = 0; k < frames; ++k) x[k] = Kernel<Type>::mono(s, cutoffTable, x[k], cutoff[k], resonance[k]);
    static_cast<DrumFilterState&>(*this) = s;
}

template <int Type>
void DrumFilter::runStereoAs(double* left, double* right, const double* cutoff, const double* resonance,
                             int frames) noexcept {
    using K = Kernel<Type>;
    DrumFilterState s = *this;
    for (int k = 0; k < frames; ++k) {
        K::update(s, cutoffTable, cutoff[k], resonance[k]);
        left[k] = K::channel(s, left[k], s.lowL, s.bandL);
        right[k] = K::channel(s, right[k], s.lowR, s.bandR);
    }
    static_cast<DrumFilterState&>(*this) = s;
}

void DrumFilter::runMono(double* x, const double* cutoff, const double* resonance, int frames, int type) noexcept {
    withType(type, [&](auto t) { runMonoAs<decltype(t)::value>(x, cutoff, resonance, frames); });
}

void DrumFilter::runStereo(double* left, double* right, const double* cutoff, const double* resonance, int frames,
                           int type) noexcept {
    if (type >= kFilterLowPass6 && type <= kFilterAnalogLowPass12)
        withType(type, [&](auto t) { runStereoAs<decltype(t)::value>(left, right, cutoff, resonance, frames); });
    if (frames > 0) {
        outL = left[frames - 1];
        outR = right[frames - 1];
    }
}

}  // namespace kettrix::engine
