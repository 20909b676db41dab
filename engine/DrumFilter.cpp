#include "engine/DrumFilter.h"

#include "engine/EngineLimits.h"

#include <algorithm>
#include <type_traits>

namespace kettrix::engine {
using namespace filter_kernel;

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
    if (type < kFilterLowPass6 || type >= kFilterMenuTypeCount) {
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

}  // namespace kettrix::engine
