// The zoom switch in the brand area: shows the editor's zoom and, clicked,
// asks for the next one (the right button: the one before), wrapping round.
// It is bound to no parameter: the zoom is the user's setting, kept outside
// the kit and the host's state.
//
// It comes after the editor's fixed control list, above the pop-up menu in
// the drawing order. While the menu is open the switch looks and acts as if
// it lay under the menu's shade like every other control: it is drawn
// shaded (not at all where the menu's panel covers it) and takes no clicks.
#pragma once

#include "editor/SV_ContextMenu.h"
#include "graphics/IControl.h"

namespace kettrix::editor {

class ZoomSwitch final : public IControl {
public:
    // `bitmap` holds a frame per offered zoom, in zoom::kPercents order.
    ZoomSwitch(IGraphicsPlug* plug, const IRECT& rect, const IBitmap& bitmap, const SV_ContextMenu& menu);

    bool CanDraw() override { return menu_.IsHidden() || !menu_.MenuRect().Intersects(rect_); }
    bool IsHit(int x, int y) override;
    bool Draw(IGraphics* graphics) override;
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    // A quick second click steps again.
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override { OnMouseDown(x, y, mod); }
    void OnMouseUp(int, int, const IMouseMod&) override {}
    void OnMouseWheel(int, int, const IMouseMod&, double) override {}

    // The zoom a click with `mod` asks for when the editor is at `percent`.
    static int NextZoom(int percent, const IMouseMod& mod);

private:
    IBitmap bitmap_;
    const SV_ContextMenu& menu_;
};

}  // namespace kettrix::editor
