#include "editor/ZoomSwitch.h"

#include <algorithm>

#include "graphics/IGraphics.h"
#include "resources/Zoom.h"

namespace kettrix::editor {
namespace {

// The position of `percent` among the offered zooms; 0 for one not offered.
int ZoomIndex(int percent) { return std::max(zoom::IndexOf(percent), 0); }

}  // namespace

ZoomSwitch::ZoomSwitch(IGraphicsPlug* plug, const IRECT& rect, const IBitmap& bitmap, const SV_ContextMenu& menu)
    : IControl(plug, rect), bitmap_(bitmap), menu_(menu) {}

bool ZoomSwitch::IsHit(int x, int y) { return menu_.IsHidden() && IControl::IsHit(x, y); }

bool ZoomSwitch::Draw(IGraphics* graphics) {
    const bool drawn = graphics->DrawBitmapFrame(bitmap_, rect_, ZoomIndex(graphics->Zoom()) + 1, &blend_);
    if (!menu_.IsHidden()) graphics->FillIRect(SV_ContextMenu::kShade, rect_);
    return drawn;
}

int ZoomSwitch::NextZoom(int percent, const IMouseMod& mod) {
    const int count = static_cast<int>(zoom::kPercents.size());
    const int step = mod.R ? count - 1 : 1;
    return zoom::kPercents[static_cast<std::size_t>((ZoomIndex(percent) + step) % count)];
}

void ZoomSwitch::OnMouseDown(int, int, const IMouseMod& mod) {
    if (IGraphics* graphics = GetGUI()) graphics->RequestZoom(NextZoom(graphics->Zoom(), mod));
}

}  // namespace kettrix::editor
