#include "engine/effects/SoundEffect.h"

#include <algorithm>

namespace kettrix::engine {

namespace {
// Added to the compressor gain every sample: 2^-32 plus one step of the
// mantissa (bit pattern 0x3DF0000000100000). It keeps the gain away from
// denormal territory and balances the pull back to a target of 1.
constexpr double kTinyOffset = 2.3283064370807974e-10;
}  // namespace

SoundEffect::SoundEffect(double sampleRate)
    : attackCoef_(kReferenceRate / sampleRate * 0.003),
      releaseCoef_(kReferenceRate / sampleRate * 0.0003),
      sampleRate_(sampleRate) {}

void SoundEffect::setEffectType(int type) {
    enabled_ = type != 0 ? 1 : 0;
    outL_ = outR_ = 0.0;
    crushPhase_ = 0.0;
    heldL_ = heldR_ = 0.0;
    // The compressor's gain and target are deliberately kept: switching to
    // it continues from whatever gain was left.
    switch (type) {
        case 1:
            type_ = EffectType::Crush;
            break;
        case 2:
            type_ = EffectType::Drive;
            break;
        case 3:
            type_ = EffectType::Compressor;
            break;
        default:
            type_ = EffectType::Off;
            break;
    }
}

void SoundEffect::setEffectAmount(double amount) {
    amount_ = amount;
    driveGain_ = 100.0 * amount + 1.0;
    driveMakeup_ = std::max(0.2, 1.0 / driveGain_);
    compDip_ = 1.0 - amount;
    crushRate_ = std::max(0.005, 1.0 - amount);
}

void SoundEffect::processRun(double* left, double* right, int frames) noexcept {
    if (frames <= 0) return;
    switch (type_) {
        case EffectType::Crush: {
            // A hold clock running at crushRate times the sample rate; only
            // the sample at each clock tick is passed on.
            double phase = crushPhase_;
            double heldL = heldL_;
            double heldR = heldR_;
            const double rate = crushRate_;
            for (int k = 0; k < frames; ++k) {
                phase += rate;
                if (phase >= 1.0) {
                    phase -= 1.0;
                    heldL = left[k];
                    heldR = right[k];
                }
                left[k] = heldL;
                right[k] = heldR;
            }
            crushPhase_ = phase;
            heldL_ = heldL;
            heldR_ = heldR;
            break;
        }
        case EffectType::Drive:
            driveRun<KETTRIX_PACKED_LANES != 0>(left, right, frames);
            break;
        case EffectType::Compressor: {
            // Not level driven: every trigger pulls the gain quickly down to
            // the dip and, once there, it recovers ten times more slowly towards 1.
            double gain = compGain_;
            double target = compTarget_;
            const double attack = attackCoef_;
            const double release = releaseCoef_;
            for (int k = 0; k < frames; ++k) {
                const double g = gain;
                double step;
                if (g > target) {
                    if (g - target < 0.0001) target = 1.0;
                    step = (target - g) * attack;
                } else {
                    step = (target - g) * release;
                }
                gain = g + step + kTinyOffset;
                left[k] = gain * left[k];
                right[k] = gain * right[k];
            }
            compGain_ = gain;
            compTarget_ = target;
            break;
        }
        case EffectType::Off:
            break;
    }
    outL_ = left[frames - 1];
    outR_ = right[frames - 1];
}

}  // namespace kettrix::engine
