#include "editor/IPopupControl.h"

#include "editor/MenuContents.h"
#include "editor/MenuModel.h"
#include "editor/SV_ContextMenu.h"
#include "graphics/IGraphics.h"

namespace kettrix {

IPopupControl::IPopupControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap, int menuControl)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), mMenuControl(menuControl) {}

int IPopupControl::AddMenuItem(std::string_view text, bool counted) {
    mItemTexts.emplace_back(text.substr(0, editor::MenuModel::kMaxTextLength + editor::marker::kSubmenu.size()));
    mItemValues.push_back(counted ? ++mCountedItems : -1);
    return static_cast<int>(mItemTexts.size()) - 1;
}

void IPopupControl::SetMenuItems(const std::vector<std::string>& texts) {
    mItemTexts.clear();
    mItemValues.clear();
    mCountedItems = 0;
    for (const std::string& text : texts) AddMenuItem(text, editor::isCountedMenuString(text));
}

void IPopupControl::OnMouseDown(int, int, const IMouseMod&) {}

void IPopupControl::OnMouseUp(int, int, const IMouseMod&) { OpenMenu(); }

void IPopupControl::OpenMenu() {
    IGraphics* gui = GetGUI();
    auto* menu = gui ? dynamic_cast<SV_ContextMenu*>(gui->GetControl(mMenuControl)) : nullptr;
    if (menu == nullptr) return;
    menu->SetTargetParam(mParamIdx);
    menu->Clear();
    if (mNotifyTarget) menu->SetTargetControl(mNotifyControl);
    menu->Hide(false);
    menu->Feed(mItemTexts);
    menu->SelectValue(mValue);
}

}  // namespace kettrix
