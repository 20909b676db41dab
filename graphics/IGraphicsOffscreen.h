// An editor with no window: draws into its memory surface and takes
// synthetic input, for tests and for rendering the editor to a picture.
#pragma once

#include <string>

#include "IGraphics.h"

namespace kettrix {

class IGraphicsOffscreen : public IGraphics {
public:
    IGraphicsOffscreen(IGraphicsPlug* plug, int w, int h, int fps = kDefaultFPS);

    // Runs one timer tick (a requested zoom, text entry, idle, redraw
    // pass) as a window host's timer does; true when drawn.
    bool Tick() {
        ServiceZoomRequest();
        return OnTimer();
    }
    // Marks everything dirty and draws the whole editor.
    void RenderAll();
    // The pixel at (x, y) of the surface (window pixels) as 0xAARRGGBB; 0
    // outside the surface.
    LICE_pixel Pixel(int x, int y) const;
    // Writes the surface as an opaque PNG.
    bool WritePNG(const char* path) const;

    // Synthetic input in window pixels, as a window host feeds it: a click
    // is down then up at the same place; a drag is
    // down, moves in `steps` equal steps, then up at the end point.
    void Click(int x, int y, const IMouseMod& mod = IMouseMod(true));
    void Drag(int x0, int y0, int x1, int y1, int steps = 1, const IMouseMod& mod = IMouseMod(true));

    // The rectangles passed to DrawScreen since the last call.
    IRECT TakeScreenRect();

    void* OpenWindow(void* parent) override;
    void CloseWindow() override { open_ = false; }
    void* GetWindow() override { return open_ ? this : nullptr; }
    void DrawScreen(const IRECT& rect) override { screenRect_ = screenRect_.Union(rect); }

    // Answers for the dialog services, set by tests and scripts.
    std::string nextFilePath_;  // empty: the dialog is cancelled
    std::string lastURL_;

    bool PromptForFile(std::string& path, EFileAction action, const char* directory, const char* extensions) override;
    bool OpenURL(const char* url) override;

private:
    IRECT screenRect_;
    bool open_ = false;
};

}  // namespace kettrix
