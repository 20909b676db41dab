#pragma once
// A parameter store and editor stand-in for engine tests: plain values with
// the ranges the engine relies on, and a hook that plays the plug-in's
// parameter dispatch when a control changes its parameter.

#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace kettrix::engine::test {

class FakeEngineHost : public EngineHost {
public:
    std::function<void(int)> parameterChanged;  // index of the changed parameter
    std::array<double, kParamCount> values{};
    std::array<double, kSoundCount> indicators{};
    std::vector<int> controlCalls;  // indices given to setControlValue, in order
    int keyboardRedraws = 0;

    FakeEngineHost() {
        for (int s = 0; s < kSoundCount; ++s) {
            values[static_cast<unsigned>(soundParamIndex(s, 120))] = defaultKeyLo(s);
            values[static_cast<unsigned>(soundParamIndex(s, 121))] = defaultKeyHi(s);
            values[static_cast<unsigned>(soundParamIndex(s, 126))] = defaultKeyLo(s);
            values[static_cast<unsigned>(soundParamIndex(s, 127))] = defaultKeyHi(s);
        }
    }

    static double maxOf(int index) {
        if (index >= kSoundParamCount) {
            if (index >= globals::kSoundVolFirst && index < globals::kSoundVolFirst + kSoundCount) return 2.0;
            if (index == globals::kKeyboardMode) return 4.0;
            return 1.0;
        }
        switch (index % kParamsPerSound) {
        case 17: case 70: case 102: return 2.0;
        case 120: case 121: case 126: case 127: return 120.0;
        case 128: return 10.0;
        default: return 1.0;
        }
    }

    double& at(int index) { return values[static_cast<unsigned>(index)]; }

    // What a host or the editor does: store, then dispatch.
    void change(int index, double value) {
        at(index) = std::clamp(value, 0.0, maxOf(index));
        if (parameterChanged) parameterChanged(index);
    }

    double paramValue(int index) const override { return values[static_cast<unsigned>(index)]; }
    void storeParamValue(int index, double value) override { at(index) = std::clamp(value, 0.0, maxOf(index)); }
    void setControlValue(int index, double value) override {
        controlCalls.push_back(index);
        if (paramValue(index) != value) change(index, value);
    }
    void setActivityIndicator(int sound, double value) override { indicators[static_cast<unsigned>(sound)] = value; }
    void keyRangeShown(int, int, int) override {}
    void redrawKeyboard() override { ++keyboardRedraws; }
};

}  // namespace kettrix::engine::test
