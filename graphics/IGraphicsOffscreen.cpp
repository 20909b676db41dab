// The window-less editor.
#include "IGraphicsOffscreen.h"

namespace kettrix {

IGraphicsOffscreen::IGraphicsOffscreen(IGraphicsPlug* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {}

void IGraphicsOffscreen::RenderAll() {
    {
        PlugScopedLock lock(GetPlug());
        SetAllControlsDirty();
    }
    OnTimer();
}

LICE_pixel IGraphicsOffscreen::Pixel(int x, int y) const { return LICE_GetPixel(GetDrawBitmap(), x, y); }

bool IGraphicsOffscreen::WritePNG(const char* path) const { return LICE_WritePNG(path, GetDrawBitmap(), true); }

void IGraphicsOffscreen::Click(int x, int y, const IMouseMod& mod) {
    OnMouseDown(x, y, mod);
    OnMouseUp(x, y, mod);
}

void IGraphicsOffscreen::Drag(int x0, int y0, int x1, int y1, int steps, const IMouseMod& mod) {
    if (steps < 1) steps = 1;
    OnMouseDown(x0, y0, mod);
    int lastX = x0, lastY = y0;
    for (int i = 1; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / steps;
        const int y = y0 + (y1 - y0) * i / steps;
        OnMouseDrag(x, y, x - lastX, y - lastY, mod);
        lastX = x;
        lastY = y;
    }
    OnMouseUp(x1, y1, mod);
}

IRECT IGraphicsOffscreen::TakeScreenRect() {
    const IRECT rect = screenRect_;
    screenRect_ = IRECT();
    return rect;
}

void* IGraphicsOffscreen::OpenWindow(void* /*parent*/) {
    open_ = true;
    PlugScopedLock lock(GetPlug());
    SetAllControlsDirty();
    return this;
}

bool IGraphicsOffscreen::PromptForFile(std::string& path, EFileAction /*action*/, const char* /*directory*/,
                                       const char* /*extensions*/) {
    path = nextFilePath_;
    return !path.empty();
}

bool IGraphicsOffscreen::OpenURL(const char* url) {
    lastURL_ = url ? url : "";
    return true;
}

}  // namespace kettrix
