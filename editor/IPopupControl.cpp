#include "editor/IPopupControl.h"

#include "editor/MenuContents.h"
#include "editor/MenuModel.h"
#include "editor/SV_ContextMenu.h"
#include "graphics/IGraphics.h"

namespace kettrix {

IPopupControl::IPopupControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap, int menuControl)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), menuControl_(menuControl) {}

int IPopupControl::AddMenuItem(std::string_view text, bool counted, bool literal) {
    itemTexts_.emplace_back(text.substr(0, editor::MenuModel::kMaxTextLength + editor::marker::kSubmenu.size()));
    itemValues_.push_back(counted || literal ? ++countedItems_ : -1);
    itemLiteral_.push_back(literal);
    return static_cast<int>(itemTexts_.size()) - 1;
}

void IPopupControl::SetMenuItems(const std::vector<std::string>& texts) {
    ClearMenuItems();
    for (const std::string& text : texts) AddMenuItem(text, editor::isCountedMenuString(text));
}

void IPopupControl::SetLiteralMenuItems(const std::vector<std::string>& texts) {
    ClearMenuItems();
    for (const std::string& text : texts) AddMenuItem(text, true, true);
}

void IPopupControl::ClearMenuItems() {
    itemTexts_.clear();
    itemValues_.clear();
    itemLiteral_.clear();
    countedItems_ = 0;
}

int IPopupControl::FaceFrame() const { return editor::valueNumberOf(value_, bitmap_.N) + 1; }

bool IPopupControl::Draw(IGraphics* graphics) {
    return graphics->DrawBitmapFrame(bitmap_, rect_, FaceFrame(), &blend_);
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
    menu->Feed(itemTexts_, itemLiteral_);
    menu->SelectValue(value_);
}

}  // namespace kettrix
