// Everything the kit model asks of the editor, in one small interface. The
// editor's graphics object implements it for real; until one is attached the
// plug-in runs on EditorStandIn below. Every call happens under the plug-in
// lock.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    // Whether the Control key is held down right now (developer dump on save).
    virtual bool controlKeyHeld() const = 0;
    // Asks the user for a sound file ("k4s") to open or to save; empty when cancelled.
    virtual std::string promptForSoundFile(bool save) = 0;
};

// The editor until one is attached: it keeps the current sound (the kit model
// asks for it back) and ignores everything else, so it holds no memory that
// grows and allocates nothing whatever it is asked.
class EditorStandIn final : public EditorSeam {
public:
    int currentSound() const override { return current_; }
    void selectSound(int sound) override { current_ = sound; }
    void refreshTabs() override {}
    void showSoundName(int, std::string_view) override {}
    void setChokeMenuEntries(const std::vector<std::string>&) override {}
    void stepSelector(int, int, int) override {}
    void showParameterValue(int, double) override {}
    bool controlKeyHeld() const override { return false; }
    std::string promptForSoundFile(bool) override { return {}; }

private:
    int current_ = -1;
};

}  // namespace kettrix::kit
