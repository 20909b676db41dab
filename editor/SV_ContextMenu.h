// The editor's pop-up menu: one control over the whole editor, drawn from the
// editor's own images, shared by every selector and name field. An opener
// clears it, names the parameter it edits, feeds its item strings and shows
// it. Choosing an entry sets the parameter at once; the menu stays open unless
// the entry closes it, so one sound after another can be tried.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "editor/MenuModel.h"
#include "graphics/IControl.h"

namespace kettrix {

class SV_ContextMenu : public IControl {
public:
    struct Images {
        IBitmap large, small, item;
    };
    static constexpr IColor kShade{75, 0, 0, 0};
    static constexpr IColor kSeparatorColor{10, 85, 85, 85};
    static constexpr IColor kTextColor{255, 220, 242, 255};
    static constexpr int kTextInset = 6;

    SV_ContextMenu(IGraphicsPlug* plug, int paramIdx, const Images& images);

    // --- Virtual operations added to IControl's, in slot order ---------------
    virtual void Layout();
    virtual void SetTargetParam(int paramIdx) { targetParam_ = paramIdx; }
    virtual void Clear();
    virtual void SelectValue(double normalized);
    virtual void DrawBackground(IGraphics* graphics);
    virtual void DrawScrollIndicator(IGraphics* /*graphics*/, int /*width*/, int /*percent*/, int /*position*/) {}
    virtual void DrawItems(IGraphics* graphics);
    virtual int AddTopItem(const char* text) { return AddItem(text, 0, false, false); }
    virtual int AddSubItem(const char* text, int parentId) { return AddItem(text, parentId, false, false); }
    virtual int AddItem(const char* text, int parentId, bool isHeader, bool closes);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    bool Draw(IGraphics* graphics) override;

    // The menu's own parameter is a placeholder: the menu edits its target
    // (bracketing that edit itself), and nothing it does moves, shows or
    // reports the placeholder. A double click's second press is a press;
    // the wheel and the read-out have nothing to do over the menu.
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override { OnMouseDown(x, y, mod); }
    void OnMouseWheel(int, int, const IMouseMod&, double) override {}
    void OnMouseOver(int, int, const IMouseMod&) override {}
    void SetDirty(bool /*pushParamToPlug*/ = true) override { IControl::SetDirty(false); }

    // Adds item strings with their markers (submenus, closing entries,
    // separators); strings flagged in `literal` are plain entries.
    void Feed(std::span<const std::string> strings, const std::vector<bool>& literal = {}) {
        model_.feed(strings, literal);
    }
    // The control told of every chosen entry (its OnMouseUp gets the value number); -1 for none.
    void SetTargetControl(int controlIdx) { targetControl_ = controlIdx; }

    int TargetParam() const { return targetParam_; }
    int TargetControl() const { return targetControl_; }
    const editor::MenuModel& Model() const { return model_; }
    // Where the menu is drawn (set by Layout).
    const IRECT& MenuRect() const { return menuRect_; }

private:
    void DrawRow(IGraphics* graphics, const editor::MenuRow& row);

    editor::MenuModel model_;
    Images images_;
    int targetParam_ = -1;
    int targetControl_ = -1;
    IRECT menuRect_;
};

}  // namespace kettrix
