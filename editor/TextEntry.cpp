#include "editor/TextEntry.h"

#include "editor/IPopupControl.h"
#include "graphics/IGraphics.h"

namespace kettrix {

TextEntry::TextEntry(IGraphicsPlug* plug, const IRECT& rect, const IText& style, int tabControl, int patchSelector,
                     const char* text, CommitName commit)
    : IControl(plug, rect, -1), tabControl_(tabControl), patchSelector_(patchSelector), commit_(std::move(commit)) {
    text_ = style;
    SetText(text ? text : "");
}

void TextEntry::SetText(std::string_view text) {
    const std::string_view bounded = text.substr(0, kMaxNameLength);
    if (!bounded.empty()) textStored_ = true;
    if (bounded == str_) return;
    str_.assign(bounded);
    SetDirty(false);
}

bool TextEntry::Draw(IGraphics* graphics) {
    if (!str_.empty()) graphics->DrawText(text_, str_.c_str(), rect_);
    return true;
}

void TextEntry::OnMouseDown(int x, int y, const IMouseMod& mod) {
    IGraphics* gui = GetGUI();
    if (gui == nullptr) return;
    // Pressing the name presses the tab under it, which selects the sound.
    if (IControl* tab = gui->GetControl(tabControl_)) {
        tab->SetValue(1.0);
        tab->SetDirty(true);
    }
    if (mod.R) {
        if (auto* patch = dynamic_cast<IPopupControl*>(gui->GetControl(patchSelector_))) patch->OnMouseUp(x, y, mod);
    }
}

void TextEntry::OnMouseDblClick(int, int, const IMouseMod&) {
    if (IGraphics* gui = GetGUI()) gui->CreateTextEntry(this, text_, rect_, str_.c_str(), -1);
}

void TextEntry::TextFromTextEntry(const char* text) {
    const std::string_view typed = text ? std::string_view(text) : std::string_view();
    // An empty entry on a field that never held a name keeps it as it is.
    if (typed.empty() && !textStored_) return;
    const std::string name(typed.substr(0, kMaxNameLength));
    str_ = name;
    textStored_ = true;
    if (commit_) commit_(name);
    SetDirty(false);
}

}  // namespace kettrix
