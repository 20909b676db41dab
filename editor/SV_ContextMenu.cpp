#include "editor/SV_ContextMenu.h"

#include <algorithm>

#include "editor/TextStyles.h"
#include "graphics/IGraphics.h"

namespace kettrix {

using editor::MenuClick;
using editor::MenuModel;
using editor::MenuRow;

SV_ContextMenu::SV_ContextMenu(IGraphicsPlug* plug, int paramIdx, const Images& images)
    : IControl(plug, IRECT(0, 0, editor::kEditorWidth, editor::kEditorHeight), paramIdx), images_(images) {
    ownGestures_ = true;
}

void SV_ContextMenu::Layout() {
    const editor::Rect b = model_.bounds();
    menuRect_ = IRECT(b.left, b.top, b.right, b.bottom);
}

void SV_ContextMenu::Clear() {
    model_.clear();
    targetControl_ = -1;
}

void SV_ContextMenu::SelectValue(double normalized) {
    model_.selectValue(normalized);
    SetDirty(false);
}

int SV_ContextMenu::AddItem(const char* text, int parentId, bool isHeader, bool closes) {
    return model_.addItem(text ? text : "", parentId, isHeader, closes);
}

void SV_ContextMenu::OnMouseDown(int, int, const IMouseMod&) { SetDirty(false); }

void SV_ContextMenu::OnMouseUp(int x, int y, const IMouseMod& mod) {
    const MenuClick click = model_.click(x, y);
    switch (click.kind) {
        case MenuClick::Kind::Outside:
            Hide(true);
            return;
        case MenuClick::Kind::Header:
            SetDirty(false);
            return;
        case MenuClick::Kind::Entry:
            break;
    }
    const double value = model_.normalizedValue(click.valueId);
    if (targetParam_ >= 0) {
        // Every control of the parameter shows the choice; the plug-in sets
        // it, tells the host and runs its dispatch.
        if (IGraphics* gui = GetGUI()) gui->SetParameterFromPlug(targetParam_, value, true);
        if (plug_) {
            plug_->BeginHostParamEdit(targetParam_);
            plug_->SetParameterFromEditor(targetParam_, value);
            plug_->EndHostParamEdit(targetParam_);
        }
    }
    SetDirty(false);
    if (targetControl_ >= 0 && GetGUI()) {
        if (IControl* target = GetGUI()->GetControl(targetControl_)) target->OnMouseUp(click.valueId, 0, mod);
    }
    if (click.closes) Hide(true);
}

bool SV_ContextMenu::Draw(IGraphics* graphics) {
    graphics->FillIRect(kShade, rect_);
    DrawBackground(graphics);
    DrawItems(graphics);
    return true;
}

void SV_ContextMenu::DrawBackground(IGraphics* graphics) {
    Layout();
    const IBitmap& image = model_.hasSubmenus() ? images_.large : images_.small;
    graphics->DrawBitmapFrame(image, IRECT(menuRect_.L, menuRect_.T, menuRect_.L + image.W, menuRect_.T + image.H), 1);
}

void SV_ContextMenu::DrawRow(IGraphics* graphics, const MenuRow& row) {
    const editor::MenuItem& item = model_.item(row.item);
    const IRECT cell(row.cell.left, row.cell.top, row.cell.right, row.cell.bottom);
    if (row.separatorLine) graphics->DrawLine(kSeparatorColor, cell.L, cell.T - 2, cell.R, cell.T - 2);
    const int frame = item.isHeader ? (item.highlighted ? 2 : 1) : (item.highlighted ? 4 : 3);
    graphics->DrawBitmapFrame(images_.item, cell, frame);
    static const IText style = editor::makeTextStyle(14, kTextColor, "Arial", IText::kStyleNormal, IText::kAlignNear);
    graphics->DrawText(style, item.text.c_str(), IRECT(cell.L + kTextInset, cell.T + kTextInset, cell.R, cell.B));
}

void SV_ContextMenu::DrawItems(IGraphics* graphics) {
    int shownRows = 0, totalRows = 0;
    for (int c = 0; c < 2; ++c) {
        const std::vector<MenuRow> rows = model_.column(c);
        const int drawn = std::min(static_cast<int>(rows.size()), MenuModel::kMaxRows);
        for (int r = 0; r < drawn; ++r) DrawRow(graphics, rows[static_cast<std::size_t>(r)]);
        shownRows += drawn;
        totalRows += static_cast<int>(rows.size());
    }
    const int percent = totalRows > 0 ? 100 * shownRows / totalRows : 100;
    DrawScrollIndicator(graphics, MenuModel::kItemWidth, percent, 0);
}

}  // namespace kettrix
