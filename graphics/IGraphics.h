// The graphics object of one editor: owns its controls (index 0 is the
// background), draws the dirty ones into the draw surface, dispatches mouse
// and key events, and carries values both ways between controls and the
// plug-in's parameters.
//
// Window-host seam: a platform host derives from IGraphics and
//   - implements OpenWindow/CloseWindow and the platform services
//     (text entry, pop-up menu, file and colour dialogs, URLs, paths);
//   - on its timer (FPS() per second) calls OnTimer(), which finishes a
//     pending text entry, runs OnGuiIdle and the redraw pass and then calls
//     DrawScreen(rect) for the rectangle that changed; DrawScreen copies that
//     rectangle from GetDrawBitmap() (BGRA, GetRowSpan() pixels per row) to
//     the window. A paint request from the system for a rectangle calls
//     Redraw(rect) instead, which draws every control there and DrawScreen;
//   - feeds input through OnMouseDown/Up/Drag/DblClick/Wheel/Over/Out and
//     OnKeyDown, in window pixels;
//   - finishes a text entry with CommitTextEntry (or CancelTextEntry).
// Every entry point above takes the plug-in lock itself (IGraphicsPlug).
// All of them run on the editor's thread only.
//
// Zoom: the layout, the controls and every coordinate a control sees are
// logical pixels (Width() x Height(), the same at every zoom). The draw
// surface, the window, paint rectangles and the input a window host feeds
// in are window pixels: zoom::ToPhysical of the logical ones (resources/Zoom.h).
// The drawing helpers below take logical coordinates and draw at the zoom,
// with the images painted for it and the text at the zoomed size.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "GraphicsTypes.h"
#include "IControl.h"
#include "IGraphicsPlug.h"
#include "IPopupMenu.h"
#include "Lice.h"
#include "resources/Zoom.h"

namespace kettrix {

class IGraphics {
public:
    enum EFileAction { kFileOpen, kFileSave };
    static constexpr int kDefaultFPS = 30;

    IGraphics(IGraphicsPlug* plug, int w, int h, int fps = kDefaultFPS);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // --- Virtual operations, in slot order (platform hosts override) -------
    virtual ~IGraphics();
    // Draws `str` in `rect` with the style; false when nothing could be drawn.
    virtual bool DrawText(const IText& text, const char* str, const IRECT& rect);
    // Shows the surface's `rect` (window pixels) in the window (end of the
    // redraw pass).
    virtual void DrawScreen(const IRECT& /*rect*/) {}
    // Stores the size, resets capture and mouse-over, recreates the surface
    // and tells the plug-in.
    virtual void Resize(int w, int h);
    // Draws the bitmap's frame at source offset (srcX, srcY) into `rect`
    // (clipped to the surface) with the blend.
    virtual bool DrawBitmap(const IBitmap& bitmap, const IRECT& rect, int srcX, int srcY,
                            const IChannelBlend* blend = nullptr);
    // The rectangle the text occupies when drawn with `text` (left/top at
    // rect's left/top); false when text cannot be drawn.
    virtual bool MeasureText(const IText& text, const char* str, IRECT& rect);
    virtual void HideMouseCursor(bool /*hide*/) {}
    virtual void MoveMouseCursor(int /*x*/, int /*y*/) {}
    // Opens a text entry over the control for its parameter's value.
    virtual void PromptUserInput(IControl* control);
    // Host service: a single-line edit field over `rect` with the style and
    // initial text; the host later calls CommitTextEntry or CancelTextEntry.
    // Base: records the request (the off-screen editor reads it).
    virtual void CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                                 int paramIdx);
    // Host service: shows the menu at (x, y); the chosen item's index in
    // the flattened order, −1 when none. Base: none.
    virtual int CreateIPopupMenu(const IPopupMenu& /*menu*/, int /*x*/, int /*y*/) { return -1; }
    // Host service: a file dialog; `path` gets the chosen path; false when
    // cancelled. `extensions` is a space-separated list ("k4s").
    virtual bool PromptForFile(std::string& /*path*/, EFileAction /*action*/, const char* /*directory*/,
                               const char* /*extensions*/) {
        return false;
    }
    virtual bool PromptForColor(IColor* /*color*/) { return false; }
    virtual bool OpenURL(const char* /*url*/) { return false; }
    virtual bool HostPath(std::string& /*path*/) { return false; }
    virtual bool PluginPath(std::string& /*path*/) { return false; }
    virtual bool UserDocumentsPath(std::string& /*path*/) { return false; }
    virtual bool AppDataPath(std::string& /*path*/) { return false; }
    // Opens the window inside the host's parent; null on failure. Base: no
    // window (a host implements it).
    virtual void* OpenWindow(void* /*parent*/) { return nullptr; }
    virtual void CloseWindow() {}
    virtual void* GetWindow() { return nullptr; }
    virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
    virtual void SetWindowTitle(const char* /*title*/) {}
    // Loads an image (cached by id process-wide); null when unavailable.
    virtual LICE_IBitmap* OSLoadBitmap(int id, const char* fileName);
    // The host's periodic idle call (effEditIdle), without the plug-in lock.
    // A platform whose window gets no events of its own services them here.
    virtual void HostIdle() {}
    // The zoom an editor window starts with: a platform host answers with the
    // user's saved choice, else the desktop's scale. Base: 100 %.
    virtual int PreferredZoom() { return zoom::kDefaultPercent; }

    // --- Controls ---------------------------------------------------------
    // Takes ownership; returns the control's index.
    int AttachControl(IControl* control);
    // Attaches the background picture as a control at (0, 0).
    void AttachBackground(int id, const char* fileName);
    // Null for an index out of range.
    IControl* GetControl(int idx) const;
    int NControls() const { return static_cast<int>(controls_.size()); }
    // A bitmap record from the process-wide cache; its data is null when
    // the image is not available.
    IBitmap LoadBitmap(int id, const char* fileName, int frames = 1, bool framesAreHorizontal = false);

    // --- Values from the plug-in (any thread, under the plug-in lock) -----
    // Hands a value to every control bound to the parameter and every control
    // with an auxiliary binding to it; a plain value is first mapped to
    // normalised with the parameter's range and shape.
    void SetParameterFromPlug(int paramIdx, double value, bool normalized);
    void SetControlFromPlug(int controlIdx, double normalizedValue);
    void HideControl(int paramIdx, bool hide);
    void GrayOutControl(int paramIdx, bool gray);
    void SetAllControlsDirty();

    // --- Redraw pass (editor thread) --------------------------------------
    // True when some control is dirty; `rect` gets the union of their rectangles.
    bool IsDirty(IRECT& rect);
    // Draws the dirty controls and those they intersect, then DrawScreen(rect).
    void Draw(const IRECT& rect);
    // Draws every visible control that intersects `rect` (window pixels: a
    // window paint), then DrawScreen for it.
    void Redraw(const IRECT& rect);
    // Finishes a text entry, runs OnGuiIdle and, when anything is dirty,
    // the redraw pass. Returns true when something was drawn.
    bool OnTimer();
    // Number of Draw calls of controls since construction (tests, benchmarks).
    long DrawCount() const { return drawCount_; }
    // True while the redraw pass draws controls.
    bool IsDrawing() const { return drawing_; }
    // The rectangle drawing is limited to during a control's Draw: the part
    // of the surface being redrawn. Controls that write to the surface
    // directly must stay inside it.
    const IRECT& GetDrawClip() const { return clip_; }

    // --- Input (editor thread) --------------------------------------------
    void OnMouseDown(int x, int y, const IMouseMod& mod);
    void OnMouseUp(int x, int y, const IMouseMod& mod);
    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod);
    void OnMouseDblClick(int x, int y, const IMouseMod& mod);
    void OnMouseWheel(int x, int y, const IMouseMod& mod, double d);
    // Returns true when a control handles mouse-over.
    bool OnMouseOver(int x, int y, const IMouseMod& mod);
    void OnMouseOut();
    // True when a control took the key.
    bool OnKeyDown(int x, int y, int key);
    void ReleaseMouseCapture();
    int GetMouseCapture() const { return mouseCapture_; }
    int GetMouseOver() const { return mouseOver_; }
    void HandleMouseOver(bool handle) { handleMouseOver_ = handle; }
    // The control given keys that no control under the pointer takes.
    void SetKeyHandler(int controlIdx) { keyHandler_ = controlIdx; }
    void SetStrictDrawing(bool strict) { strict_ = strict; }

    // --- Text entry -------------------------------------------------------
    // The entry that the host shows: control, parameter, rectangle, style
    // and initial text; control null when none is open.
    struct TextEntryRequest {
        IControl* control_ = nullptr;
        int paramIdx_ = -1;
        IRECT rect_;
        IText text_;
        std::string initial_;
    };
    const TextEntryRequest& GetTextEntry() const { return textEntry_; }
    // Ends the open entry with the typed text: a bound control gets the
    // parameter's value read from the text, an unbound one the text itself.
    void CommitTextEntry(const char* text);
    void CancelTextEntry();

    // --- Drawing helpers for controls (inside Draw) ------------------------
    void FillIRect(const IColor& color, const IRECT& rect, const IChannelBlend* blend = nullptr);
    void DrawLine(const IColor& color, int x1, int y1, int x2, int y2, const IChannelBlend* blend = nullptr,
                  bool antialias = false);
    void DrawRect(const IColor& color, const IRECT& rect);
    // Draws frame `frame` (1-based) of the bitmap at rect with the blend.
    bool DrawBitmapFrame(const IBitmap& bitmap, const IRECT& rect, int frame, const IChannelBlend* blend = nullptr);
    // The source offset of frame `frame` (1-based) along the strip.
    static int FrameOffset(const IBitmap& bitmap, int frame);

    // --- Zoom -------------------------------------------------------------
    // The zoom in percent, one of zoom::kPercents.
    int Zoom() const { return zoom_; }
    // Draws at `percent` from now on: surface, fonts and images follow, every
    // control redraws, the window host resizes its window (OnZoomChanged) and
    // the plug-in hears the new window size (ResizeGraphics). False for a
    // zoom that is not offered. Takes the plug-in lock.
    bool SetZoom(int percent);
    // Before the window's size is first needed: the preferred zoom, unless a
    // zoom was set already.
    void ChooseFirstZoom();
    // A control asks for another zoom; the window host applies it with
    // ServiceZoomRequest on its timer, outside the event that asked.
    void RequestZoom(int percent);
    // Applies a requested zoom and asks the host, through the plug-in, for
    // the new window size; a host that refuses keeps the old zoom. A zoom
    // the host accepts is remembered (RememberZoom). Call without the
    // plug-in lock: the host may call back into the plug-in. True when the
    // zoom changed.
    bool ServiceZoomRequest();
    // Window pixels <-> logical pixels at the current zoom.
    int ToWindow(int logical) const { return zoom::ToPhysical(logical, zoom_); }
    int ToLogical(int window) const { return zoom::ToLogical(window, zoom_); }
    IRECT ToWindow(const IRECT& logical) const;
    // The smallest logical rectangle whose window rectangle covers `window`.
    IRECT LogicalCover(const IRECT& window) const;

    // --- Access -----------------------------------------------------------
    // The editor's size in logical pixels.
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The window's size in window pixels.
    int WindowWidth() const { return ToWindow(width_); }
    int WindowHeight() const { return ToWindow(height_); }
    int FPS() const { return fps_; }
    IGraphicsPlug* GetPlug() const { return plug_; }
    // The draw surface, made at the window's size when first asked for.
    LICE_SysBitmap* GetDrawBitmap() const;
    const IRECT& LastDirtyRect() const { return dirtyRect_; }

protected:
    // For the window hosts when their window closes: frees the surface's
    // pixels, which the next draw makes again.
    void ReleaseDrawBitmap();
    // The zoom changed: the window host gives its window the new window size.
    virtual void OnZoomChanged() {}
    // The user chose a zoom that the host accepted: a platform host saves it
    // as the user's setting.
    virtual void RememberZoom(int /*percent*/) {}

private:
    // Index of the topmost control at (x, y) that is neither hidden nor
    // grayed; −1 when none. With `skipBackground` index 0 never matches.
    int GetMouseControlIdx(int x, int y, bool skipBackground = false) const;
    void DrawControl(IControl* control, const IRECT& clip);
    LICE_CachedFont* CacheFont(const IText& text);
    // The window rectangle of the clip, where drawing may reach.
    IRECT WindowClip() const { return ToWindow(clip_); }
    // A source offset along a frame strip (logical) in the zoomed image's
    // pixels: whole frames by the zoomed frame pitch, the rest zoomed.
    int ZoomedSourceOffset(int logicalOffset, int logicalFrameExtent, int zoomedFrameExtent) const;
    void BeginGesture(int controlIdx);
    void EndGesture();

    IGraphicsPlug* plug_;
    int width_, height_, fps_;
    int zoom_ = zoom::kDefaultPercent;
    int requestedZoom_ = 0;  // 0: none pending
    bool zoomChosen_ = false;
    std::vector<std::unique_ptr<IControl>> controls_;
    std::unique_ptr<LICE_SysBitmap> drawBitmap_;
    struct FontEntry;
    std::vector<std::unique_ptr<FontEntry>> fonts_;
    int mouseCapture_ = -1;
    int mouseOver_ = -1;
    int mouseX_ = 0, mouseY_ = 0;
    int keyHandler_ = -1;
    int gestureParam_ = -1;
    bool handleMouseOver_ = false;
    bool strict_ = false;
    IRECT dirtyRect_;
    IRECT clip_;
    bool drawing_ = false;
    long drawCount_ = 0;
    TextEntryRequest textEntry_;
};

}  // namespace kettrix
