// The zoom switch in the brand area: shows the editor's zoom and, clicked,
// asks for the next one (the right button: the one before), wrapping round.
// It is bound to no parameter: the zoom is the user's setting, kept outside
// the kit and the host's state.
//
// It comes after the editor's fixed control list, above the pop-up menu in
// the drawing order, so while the menu is open it steps aside: it neither
// draws nor takes the mouse.
#pragma once

#include "graphics/IControl.h"

namespace kettrix::editor {

class ZoomSwitch final : public IControl {
public:
    // `bitmap` holds a frame per offered zoom, in zoom::kPercents order.
    ZoomSwitch(IGraphicsPlug* plug, const IRECT& rect, const IBitmap& bitmap, const IControl& menu);

    bool CanDraw() override { return menu_.IsHidden(); }
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
    const IControl& menu_;
};

}  // namespace kettrix::editor
