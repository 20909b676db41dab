#pragma once
// Glides the continuously varying pitch and filter parameters towards the
// values last set, one step per sample, so that knob moves do not click.
// One entry per plug-in parameter; only registered entries ever move, and
// only entries that are still moving cost time per sample.

#include "engine/EngineLimits.h"

#include <array>
#include <cstdint>

namespace kettrix::engine {

class ParamSmoother {
public:
    explicit ParamSmoother(double sampleRate = kReferenceRate);

    // Makes an entry usable: settled at 0, snapping onto itself.
    void registerParam(int index);
    bool isRegistered(int index) const;

    // UI/host thread, under the plug-in lock. Unregistered entries ignore it.
    void setTarget(int index, double value);
    void setSampleRate(double sampleRate);

    // RT: one sample of glide for every moving entry.
    void tick() noexcept;

    double current(int index) const { return entries_[static_cast<unsigned>(index)].current; }
    double target(int index) const { return entries_[static_cast<unsigned>(index)].target; }
    bool settled(int index) const { return entries_[static_cast<unsigned>(index)].settled != 0; }
    int movingCount() const { return movingCount_; }
    double coefficient() const { return coef_; }

private:
    struct Entry {
        std::uint8_t settled = 1;
        std::uint8_t registered = 0;
        int link = -1;  // entry snapped when this one settles (its own index)
        double current = 0.0;
        double target = 0.0;
    };

    // Values closer than this to their target snap onto it.
    static constexpr double kSettleDistance = 1e-5;

    std::array<Entry, kParameterCount> entries_{};
    std::array<int, kParameterCount> moving_{};
    int movingCount_ = 0;
    double sampleRate_ = kReferenceRate;
    double coef_ = 0.0005;
};

}  // namespace kettrix::engine
