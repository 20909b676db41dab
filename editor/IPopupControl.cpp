#include "editor/IPopupControl.h"

#include "editor/MenuContents.h"
#include "editor/MenuModel.h"
#include "editor/SV_ContextMenu.h"
#include "graphics/IGraphics.h"

namespace kettrix {

IPopupControl::IPopupControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap, int menuControl)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), menuControl_(menuControl) {}

int IPopupControl::AddMenuItem(std::string_view text, bool counted) {
    itemTexts_.emplace_back(text.substr(0, editor::MenuModel::kMaxTextLength + editor::marker::kSubmenu.size()));
    itemValues_.push_back(counted ? ++countedItems_ : -1);
    return static_cast<int>(itemTexts_.size()) - 1;
}

void IPopupControl::SetMenuItems(const std::vector<std::string>& texts) {
    itemTexts_.clear();
    itemValues_.clear();
    countedItems_ = 0;
    for (const std::string& text : texts) AddMenuItem(text, editor::isCountedMenuString(text));
}

void IPopupControl::OnMouseDown(int, int, const IMouseMod&) {}

void IPopupControl::OnMouseUp(int, int, const IMouseMod&) { OpenMenu(); }

void IPopupControl::OpenMenu() {
    IGraphics* gui = GetGUI();
    auto* menu = gui ? dynamic_cast<SV_ContextMenu*>(gui->GetControl(menuControl_)) : nullptr;
    if (menu == nullptr) return;
    menu->SetTargetParam(paramIdx_);
    menu->Clear();
    if (notifyTarget_) menu->SetTargetControl(notifyControl_);
    menu->Hide(false);
    menu->Feed(itemTexts_);
    menu->SelectValue(value_);
}

}  // namespace kettrix
