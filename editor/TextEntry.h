// A sound's name field on its tab: a click selects the sound, a right click
// also opens the Patch menu, a double click edits the name in place.
#pragma once

#include <functional>
#include <string>

#include "graphics/IControl.h"

namespace kettrix {

class TextEntry : public IControl {
public:
    // The longest name a sound record can carry (its field holds a terminator too).
    static constexpr std::size_t kMaxNameLength = 259;
    // Receives a committed name; the kit model stores it, shows it back and
    // delivers the name-change notification.
    using CommitName = std::function<void(const std::string&)>;

    TextEntry(IGraphicsPlug* plug, const IRECT& rect, const IText& style, int tabControl, int patchSelector,
              const char* text, CommitName commit);

    bool Draw(IGraphics* graphics) override;
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override;
    void TextFromTextEntry(const char* text) override;

    // Shows `text` (cut to kMaxNameLength) without committing it.
    void SetText(std::string_view text);
    const std::string& GetTextString() const { return str_; }
    int TabControl() const { return tabControl_; }

private:
    std::string str_;
    bool textStored_ = false;  // a text was stored at least once
    int tabControl_;
    int patchSelector_;
    CommitName commit_;
};

}  // namespace kettrix
