// A selector: shows its parameter's value as a frame of its image and, when
// clicked, opens the editor's shared pop-up menu with its own item strings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics/IControl.h"

namespace kettrix {

class IPopupControl : public ISwitchControl {
public:
    IPopupControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap, int menuControl);

    // Appends a copy of `text`; a counted string takes the next value number.
    // A literal string is a plain counted entry, never a marker.
    // Returns the string's index.
    int AddMenuItem(std::string_view text, bool counted, bool literal = false);
    // Replaces every string (submenu brackets uncounted, everything else counted).
    void SetMenuItems(const std::vector<std::string>& texts);
    // Replaces every string by plain entries shown exactly as given (names
    // the user typed), one value number each.
    void SetLiteralMenuItems(const std::vector<std::string>& texts);
    // The Patch menu also tells the file-command control of the choice.
    void SetNotifyTarget(int controlIdx) {
        notifyTarget_ = controlIdx >= 0;
        notifyControl_ = controlIdx;
    }

    // A press does nothing; the release opens the menu.
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    // Opens the shared menu for this selector (also used by name fields and envelope editors).
    void OpenMenu();
    // The face shows the entry that plays: the value's frame truncated, as
    // the menu highlights it (a knob's frame is rounded instead).
    bool Draw(IGraphics* graphics) override;
    int FaceFrame() const;

    const std::vector<std::string>& ItemTexts() const { return itemTexts_; }
    const std::vector<int>& ItemValues() const { return itemValues_; }
    int CountedItems() const { return countedItems_; }
    int MenuControl() const { return menuControl_; }

private:
    void ClearMenuItems();

    std::vector<std::string> itemTexts_;
    std::vector<int> itemValues_;  // value number, or -1 for an uncounted string
    std::vector<bool> itemLiteral_;
    int countedItems_ = 0;
    int menuControl_;
    bool notifyTarget_ = false;
    int notifyControl_ = -1;
};

}  // namespace kettrix
