#pragma once
// A parameter store and editor stand-in for engine tests: plain values with
// the ranges the engine relies on, and a hook that plays the plug-in's
// parameter dispatch when a control changes its parameter.

#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"
#include "kit/ParameterTable.h"

#include <array>
#include <functional>
#include <vector>

namespace kettrix::engine::test {

class FakeEngineHost : public EngineHost {
public:
    std::function<void(int)> parameterChanged;  // index of the changed parameter
    std::array<double, kParameterCount> values{};
    std::array<double, kSoundCount> indicators{};
    std::vector<int> controlCalls;  // indices given to setControlValue, in order
    int keyboardRedraws = 0;

    // Every parameter at the default of the kit's table.
    FakeEngineHost() {
        for (int i = 0; i < kParameterCount; ++i) at(i) = kit::parameterInfo(i).defaultValue;
    }

    double& at(int index) { return values[static_cast<unsigned>(index)]; }

    // What a host or the editor does: store, then dispatch.
    void change(int index, double value) {
        at(index) = kit::clampToRange(index, value);
        if (parameterChanged) parameterChanged(index);
    }

    double paramValue(int index) const override { return values[static_cast<unsigned>(index)]; }
    void storeParamValue(int index, double value) override { at(index) = kit::clampToRange(index, value); }
    void setControlValue(int index, double value) override {
        controlCalls.push_back(index);
        if (paramValue(index) != value) change(index, value);
    }
    void setActivityIndicator(int sound, double value) override { indicators[static_cast<unsigned>(sound)] = value; }
    void keyRangeShown(int, int, int) override {}
    void redrawKeyboard() override { ++keyboardRedraws; }
};

}  // namespace kettrix::engine::test
