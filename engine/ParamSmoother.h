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
    // UI/host thread, under the plug-in lock: every moving entry stands on
    // its target from the next sample on. A kit load calls it, so that its
    // pitches and cutoffs do not glide from the previous kit's (or from 0).
    void settleAll();

    // RT: one sample of glide for every moving entry. Inline, so that a
    // smoother with nothing moving costs one comparison per sample.
    void tick() noexcept {
        if (movingCount_ > 0) glide();
    }
    // RT: `samples` ticks; nothing to do once every entry has settled.
    void advance(int samples) noexcept {
        for (int i = 0; i < samples && movingCount_ > 0; ++i) tick();
    }

    double current(int index) const { return entries_[static_cast<unsigned>(index)].current; }
    // Where the current value of an entry lives (stable for the smoother's
    // lifetime), for readers that follow it sample by sample.
    const double* currentOf(int index) const { return &entries_[static_cast<unsigned>(index)].current; }
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

    void glide() noexcept;
    // Marks `e` settled and puts its link entry exactly onto e's target.
    void snap(Entry& e) noexcept;

    // Values closer than this to their target snap onto it.
    static constexpr double kSettleDistance = 1e-5;

    std::array<Entry, kParameterCount> entries_{};
    std::array<int, kParameterCount> moving_{};
    int movingCount_ = 0;
    double sampleRate_ = kReferenceRate;
    double coef_ = 0.0005;
};

}  // namespace kettrix::engine
