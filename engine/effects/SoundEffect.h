#pragma once
// The insert effect of one sound: sample-hold "Crush", soft-clipping "Drive"
// and a trigger-driven gain dip "Compressor". It runs on the sound's summed
// stereo signal before pan and volume. Plain state, no allocation.

#include <algorithm>
#include <cstdint>
#include "base/SettingVocabulary.h"

#include "engine/EngineLimits.h"
#include "engine/LanePair.h"

namespace kettrix::engine {

enum class EffectType : int { Off = 0, Crush = 1, Drive = 2, Compressor = 3 };
static_assert(static_cast<int>(EffectType::Compressor) + 1 == settings::kEffectType.count());

class SoundEffect {
public:
    explicit SoundEffect(double sampleRate = kReferenceRate);

    // UI/host thread, under the plug-in lock.
    void setEffectType(int type);
    void setEffectAmount(double amount);

    // RT: called at every trigger of the owning sound.
    void startDip() { compTarget_ = compDip_; }

    // RT: runs the chosen effect over `frames` samples in place, the type
    // chosen once; leaves them untouched while the effect is off. outL/outR
    // keep the run's last sample.
    void processRun(double* left, double* right, int frames) noexcept;

    // The drive's waveshaper: identity inside +-1.25, a parabola meeting
    // +-1.5 with zero slope at +-1.75, flat beyond. Written once for a pair
    // (the left and right channel at once); a single value runs in both
    // lanes of a plain pair.
    static double clip(double x) noexcept { return clip(LanePair<false>::splat(x))[0]; }
    template <bool Packed>
    static LanePair<Packed> clip(LanePair<Packed> x) noexcept {
        // Written without branches: a driven noisy signal crosses the knees at
        // random, and mispredicted branches would cost more than the arithmetic.
        // Inside +-1.25 both bends add exactly 0; beyond +-1.75 the clamped
        // distance of 0.5 gives exactly +-1.5. Each clamp is std::clamp's
        // choice: the maximum with the low end, then the minimum with the high.
        using P = LanePair<Packed>;
        const P d = min(max(x - P::splat(1.25), P::splat(0.0)), P::splat(0.5));
        const P y = min(x, P::splat(1.25)) + d * (P::splat(1.0) - d);
        const P e = min(max(y + P::splat(1.25), P::splat(-0.5)), P::splat(0.0));
        return max(y, P::splat(-1.25)) + e * (P::splat(1.0) + e);
    }
    // RT: the drive over a run in place, both channels in one pair.
    template <bool Packed>
    void driveRun(double* left, double* right, int frames) const noexcept {
        using P = LanePair<Packed>;
        const P gain = P::splat(driveGain_);
        const P makeup = P::splat(driveMakeup_);
        for (int k = 0; k < frames; ++k) {
            const P y = clip(gain * P(left[k], right[k])) * makeup;
            left[k] = y[0];
            right[k] = y[1];
        }
    }

    bool enabled() const { return enabled_ != 0; }
    EffectType type() const { return type_; }
    double outL() const { return outL_; }
    double outR() const { return outR_; }
    double compressorGain() const { return compGain_; }

private:
    double outL_ = 0.0, outR_ = 0.0;
    double amount_ = 0.0;
    double driveGain_ = 1.0;
    double driveMakeup_ = 1.0;
    double crushRate_ = 1.0;
    double crushPhase_ = 0.0;
    double heldL_ = 0.0, heldR_ = 0.0;
    double compGain_ = 1.0;
    double compTarget_ = 1.0;
    double compDip_ = 1.0;
    double attackCoef_;
    double releaseCoef_;
    double sampleRate_;
    EffectType type_ = EffectType::Off;
    std::uint8_t enabled_ = 0;
};

}  // namespace kettrix::engine
