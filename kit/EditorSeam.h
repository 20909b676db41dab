// Everything the kit model asks of the editor, in one small interface. The
// editor's graphics object implements it for real; HeadlessEditor below keeps
// the answers in memory and records what it was asked, so the plug-in works
// (and can be tested) without any window. Every call happens under the
// plug-in lock.
#pragma once

#include <array>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/KitState.h"

namespace kettrix::kit {

class EditorSeam {
public:
    virtual ~EditorSeam() = default;

    // The sound whose page the editor shows, -1 before one was selected.
    virtual int currentSound() const = 0;
    // Makes `sound` the current sound (shows its page and tab).
    virtual void selectSound(int sound) = 0;
    // Re-applies the current sound's page and envelope tabs after a program change.
    virtual void refreshTabs() = 0;
    // Shows `name` in the name field of `sound` (the kit model holds the text).
    virtual void showSoundName(int sound, std::string_view name) = 0;
    // Gives every "Choke" selector the entries "OFF" then the ten names.
    virtual void setChokeMenuEntries(const std::vector<std::string>& entries) = 0;
    // Moves the selector of offset `off` of `sound` one entry back (-1) or on (+1).
    virtual void stepSelector(int sound, int off, int direction) = 0;
    // Shows the plain value on every control bound to parameter `index` (no parameter change).
    virtual void showParameterValue(int index, double plain) = 0;
    // A parameter of a sound's block changed (after the engine took it):
    // pages, envelope views, the hit generator panel and the envelope
    // editors follow. Runs for every change, also while programs change.
    virtual void soundParameterChanged(int /*sound*/, int /*off*/, double /*plain*/) {}
    // Whether the Control key is held down right now (developer dump on save).
    virtual bool controlKeyHeld() const = 0;
    // Asks the user for a sound file ("k4s") to open or to save; empty when cancelled.
    virtual std::string promptForSoundFile(bool save) = 0;
};

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
