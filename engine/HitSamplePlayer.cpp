#include "engine/HitSamplePlayer.h"

#include "engine/EngineLimits.h"

#include <cmath>

namespace kettrix::engine {

namespace {

// Below this the filter tail is inaudible and the hit has ended.
constexpr double kSilenceThreshold = 0.0001;

}  // namespace

HitSamplePlayer::HitSamplePlayer(double sampleRate) : filter(sampleRate), step(kReferenceRate / sampleRate) {}

void HitSamplePlayer::setSample(const double* buffer, std::int32_t sampleLength, std::int32_t newType) noexcept {
    if (newType == type) return;
    type = newType;
    sample = buffer;
    length = (buffer != nullptr && sampleLength > 0) ? sampleLength : 0;
    index = 0;
    acc = 0.0;
}

void HitSamplePlayer::start() noexcept {
    filter.reset();
    out = 0.0;
    index = 0;
    acc = 0.0;
    playingFlag = 1;
    gateOpen = holdsOscillatorGate(type) ? 0 : 1;
}

double HitSamplePlayer::tick(double amplitude, double cutoff) noexcept {
    if (!playingFlag) return 0.0;
    acc += step;
    if (acc < 1.0) {
        // Between stored samples (sample rates above 44.1 kHz) the filter
        // still runs at the output rate; its result is not used.
        filter.process(index < length ? sample[index] : 0.0, cutoff, 0.0, kFilterLowPass6);
        return out;
    }
    // At rates below 44.1 kHz a tick can pass more than one stored sample:
    // advance by all of them so the hit keeps its stored rate.
    const double whole = std::floor(acc);
    acc -= whole;
    const double next = index + whole;
    index = next < length ? static_cast<std::int32_t>(next) : length;
    if (index < length) {
        out = filter.process(sample[index], cutoff, 0.0, kFilterLowPass6) * amplitude;
    } else {
        gateOpen = 1;
        out = filter.process(0.0, cutoff, 0.0, kFilterLowPass6) * amplitude;
        if (std::fabs(out) < kSilenceThreshold || !std::isfinite(out)) {
            out = 0.0;
            playingFlag = 0;
        }
    }
    return out;
}

}  // namespace kettrix::engine
