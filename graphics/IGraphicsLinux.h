// The editor's window on Linux: an X11 child window inside the host's
// window, on a display connection of the editor's own.
//
// Linux hosts call effEditOpen, effEditIdle and effEditClose from different
// threads and run no event loop for the plug-in, so this host services its
// window events and the redraw timer in Idle(), called from effEditIdle.
// Every X11 call on the connection sits behind one lock of ours. The order
// of locks is always: plug-in lock first, then the X lock; events are taken
// off the connection under the X lock and dispatched after releasing it.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "IGraphics.h"
#include "TextField.h"

namespace kettrix {

class IGraphicsLinux : public IGraphics {
public:
    // Double clicks: the second press within this time and distance.
    static constexpr int kDoubleClickMs = 400;
    static constexpr int kDoubleClickPixels = 4;

    IGraphicsLinux(IGraphicsPlug* plug, int w, int h, int fps = kDefaultFPS);
    ~IGraphicsLinux() override;

    // `parent` is the host's X11 window id. Opening again while open gives
    // the same window (a different parent first closes the old one).
    void* OpenWindow(void* parent) override;
    void CloseWindow() override;
    void* GetWindow() override;
    void DrawScreen(const IRECT& rect) override;

    void CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                         int paramIdx) override;
    bool PromptForFile(std::string& path, EFileAction action, const char* directory, const char* extensions) override;
    bool PromptForColor(IColor* color) override;
    bool OpenURL(const char* url) override;
    bool HostPath(std::string& path) override;
    bool PluginPath(std::string& path) override;
    bool UserDocumentsPath(std::string& path) override;
    bool AppDataPath(std::string& path) override;
    void HideMouseCursor(bool hide) override;
    void MoveMouseCursor(int x, int y) override;
    // The user's saved zoom, else the desktop's (GDK_SCALE, Xft.dpi).
    int PreferredZoom() override;

    // From the host's idle call: handles the window's queued events and, at
    // the editor's frame rate, the redraw timer. Returns at once when another
    // thread is already inside (a host idling from two threads, or a dialog
    // open on the first).
    void Idle();

    // The window's connection and id, for tests that look at the window.
    void* XDisplay() const;
    unsigned long XWindowId() const;

protected:
    void OnZoomChanged() override;
    void RememberZoom(int percent) override;

private:
    struct X11;
    struct PendingEvent;

    void HandleEvent(const PendingEvent& event);
    void HandleFieldKey(const PendingEvent& event);
    void EndField(bool commit);
    void PutSurface(const IRECT& rect);  // X lock held
    void PutField();                     // X lock held
    void RedrawField();
    // The in-window path field of PromptForFile when the desktop has no
    // dialog program: a modal loop of its own.
    bool PromptPathInWindow(std::string& path, const std::string& start);

    std::unique_ptr<X11> x_;
    std::recursive_mutex xLock_;
    std::mutex idleLock_;
    std::chrono::steady_clock::time_point nextTick_;  // idle thread only
    std::atomic<bool> windowIsNew_{false};

    // The open edit field: over fieldRect_, drawn into fieldBitmap_.
    TextField field_;
    std::atomic<bool> fieldOpen_{false};
    bool fieldForPath_ = false;        // the path field of PromptPathInWindow
    bool fieldHadFocus_ = false;       // the window has had the keyboard focus since the field opened
    std::atomic<int> fieldResult_{0};  // path field: 1 committed, −1 cancelled
    IRECT fieldRect_;
    IText fieldStyle_;
    std::unique_ptr<LICE_MemBitmap> fieldBitmap_;

    // Mouse state for double clicks and drags.
    unsigned long lastPressTime_ = 0;
    int lastPressX_ = -100, lastPressY_ = -100;
    unsigned lastPressButton_ = 0;
    int mouseX_ = 0, mouseY_ = 0;
    bool pointerInside_ = false;

    std::string lastFolder_;
};

}  // namespace kettrix
