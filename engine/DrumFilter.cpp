#include "engine/DrumFilter.h"

#include "engine/EngineLimits.h"

#include <algorithm>

namespace kettrix::engine {
namespace {

// Calls between two coefficient computations; the glide spans the same count.
constexpr std::int32_t kUpdateInterval = 10;
constexpr double kGlideIncrement = 0.1;

// Semitones across the cutoff range (0 to 1).
constexpr double kCutoffSemitones = kPitchSteps;

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

bool isOnePole(int type) noexcept { return type >= kFilterLowPass6 && type <= kFilterHighShelf6; }

}  // namespace

DrumFilter::DrumFilter(double sampleRate)
    : cutoffTable(sampleRate), rateRatio(kReferenceRate / double(static_cast<float>(sampleRate))) {
    reset();
}

void DrumFilter::reset() noexcept {
    outL = outR = 0.0;
    lowL = bandL = lowR = bandR = 0.0;
    cachedResonance = -1.0;
    f = -1.0;
    damping = -1.0;
    fStart = fTarget = 0.0;
    glide = 0.0;
    cachedCutoff = -1.0;
    clipThreshold = 0.0;
    counter = 40;
    firstUpdate = 1;
}

void DrumFilter::setFixed(double cutoff, double resonance) noexcept {
    f = cutoffTable.lookup(clampCutoff(cutoff, maxCutoff) * kCutoffSemitones);
    damping = stateVariableDamping(resonance);
}

void DrumFilter::pickUpCutoff(double cv) noexcept {
    counter = 0;
    glide = 0.0;
    fStart = fTarget;
    fTarget = cutoffTable.lookup(cv * kCutoffSemitones);
    if (firstUpdate) {
        fStart = fTarget;
        firstUpdate = 0;
    }
}

void DrumFilter::glideStep() noexcept {
    ++counter;
    glide += kGlideIncrement;
    f = fStart + (fTarget - fStart) * glide;
}

void DrumFilter::updateOnePole(double cutoff) noexcept {
    if (glide >= 1.0 && cutoff == cachedCutoff) {
        ++counter;
        return;
    }
    if (counter >= kUpdateInterval) {
        cachedCutoff = cutoff;
        pickUpCutoff(clampCutoff(cutoff, 1.0));
    }
    glideStep();
}

void DrumFilter::updateStateVariable(double cutoff, double resonance) noexcept {
    if (glide >= 1.0 && cutoff == cachedCutoff && resonance == cachedResonance) {
        ++counter;
        return;
    }
    if (counter >= kUpdateInterval) {
        cachedResonance = resonance;
        cachedCutoff = cutoff;
        damping = stateVariableDamping(resonance);
        pickUpCutoff(clampCutoff(cutoff, maxCutoff));
    }
    glideStep();
}

void DrumFilter::updateAnalog(double cutoff, double resonance) noexcept {
    if (glide >= 1.0 && cutoff == cachedCutoff && resonance == cachedResonance) {
        ++counter;
        return;
    }
    const double res = clampResonance(resonance);
    const double cv = clampCutoff(cutoff, maxCutoff);
    const double headroom = maxCutoff - cv;
    clipThreshold = std::max(0.1, 1.0 - (cv * 0.5 + res * 0.3));
    // Above two thirds of the resonance range the damping turns negative, the
    // more so the lower the cutoff: the filter rings on its own and the soft
    // clip holds the level.
    const double r = res * 1.5;
    damping = r <= 1.0 ? 1.0 - r : -((r - 1.0) * headroom * ((r - 1.0) * 15.0));
    if (counter >= kUpdateInterval) {
        cachedCutoff = cv;
        cachedResonance = resonance;
        pickUpCutoff(cv);
    }
    glideStep();
}

void DrumFilter::updateCoefficients(double cutoff, double resonance, int type) noexcept {
    if (isOnePole(type)) {
        updateOnePole(cutoff);
    } else if (type == kFilterAnalogLowPass12) {
        updateAnalog(cutoff, resonance);
    } else {
        updateStateVariable(cutoff, resonance);
    }
}

double DrumFilter::softClip(double v) const noexcept {
    const double t = clipThreshold;
    if (v > t) return v * std::max(0.8, 1.0 - (v - t));
    if (v < -t) return v * std::max(0.1, 1.0 + t + v);
    return v;
}

double DrumFilter::runChannel(double x, double& low, double& band, int type) noexcept {
    if (isOnePole(type)) {
        low = low + (x - low) * f + antiDenormal;
    } else {
        // Chamberlin state-variable filter; two half steps per sample with the
        // same input keep it stable at high cutoffs. Type 13 takes one.
        const int halfSteps = type == kFilterSingleStepLowPass ? 1 : 2;
        for (int s = 0; s < halfSteps; ++s) {
            band = (x - low - band * damping) * f + band;
            if (type == kFilterAnalogLowPass12) {
                band = softClip(band);
            } else if (type <= kFilterBandReject12) {
                band = std::max(band, kBandFloor);
            }
            low = band * f + low + antiDenormal;
        }
    }

    switch (type) {
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

double DrumFilter::process(double x, double cutoff, double resonance, int type) noexcept {
    if (type < kFilterLowPass6 || type > kFilterFixedBandPass) return x;
    if (type != kFilterFixedBandPass) updateCoefficients(cutoff, resonance, type);
    return runChannel(x, lowL, bandL, type);
}

StereoSample DrumFilter::processStereo(double xL, double xR, double cutoff, double resonance, int type) noexcept {
    if (type < kFilterLowPass6 || type > kFilterAnalogLowPass12) {
        outL = xL;
        outR = xR;
        return {xL, xR};
    }
    updateCoefficients(cutoff, resonance, type);
    const double left = runChannel(xL, lowL, bandL, type);
    const double right = runChannel(xR, lowR, bandR, type);
    outL = left;
    outR = right;
    return {left, right};
}

}  // namespace kettrix::engine
