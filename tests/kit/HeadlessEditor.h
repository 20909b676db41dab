// The editor seam for tests: keeps the answers in memory and records what it
// was asked (its containers grow with every call, so only tests use it).
#pragma once

#include <array>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kit/EditorSeam.h"
#include "kit/ParameterTable.h"

namespace kettrix::kit {

// The editor without a window: remembers the current sound and what it was
// asked; tests and hosts without an editor use it.
class HeadlessEditor : public EditorSeam {
public:
    int currentSound() const override { return current; }
    void selectSound(int sound) override {
        current = sound;
        ++selections;
    }
    void refreshTabs() override { ++tabRefreshes; }
    void showSoundName(int sound, std::string_view name) override { shownNames[sound] = std::string(name); }
    void setChokeMenuEntries(const std::vector<std::string>& entries) override {
        chokeEntries = entries;
        ++chokeMenuRebuilds;
    }
    void stepSelector(int sound, int off, int direction) override { selectorSteps.push_back({sound, off, direction}); }
    void showParameterValue(int index, double plain) override {
        if (index >= 0 && index < kParameterCount) shownValues[static_cast<std::size_t>(index)] = plain;
    }
    bool controlKeyHeld() const override { return controlKey; }
    std::string promptForSoundFile(bool) override { return fileAnswer; }

    struct SelectorStep {
        int sound, off, direction;
        bool operator==(const SelectorStep&) const = default;
    };

    int current = -1;
    int selections = 0;
    int tabRefreshes = 0;
    int chokeMenuRebuilds = 0;
    std::map<int, std::string> shownNames;
    std::vector<std::string> chokeEntries;
    std::vector<SelectorStep> selectorSteps;
    // Last value shown per parameter, NaN for never; a fixed array, since
    // the engine may show values (activity lamps) from the audio thread.
    std::array<double, kParameterCount> shownValues = [] {
        std::array<double, kParameterCount> values;
        values.fill(std::numeric_limits<double>::quiet_NaN());
        return values;
    }();
    bool controlKey = false;
    std::string fileAnswer;
};

}  // namespace kettrix::kit
