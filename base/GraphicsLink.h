// What the plug-in base and the host adapter need from the editor's graphics
// object. The editor implements it; the plug-in owns the object once attached.
#pragma once

namespace kettrix {

class IGraphicsLink {
public:
    virtual ~IGraphicsLink() = default;

    // Hands a parameter's value to every control bound to `paramIndex` (also
    // those that have it among their auxiliary parameters). `normalized`
    // tells whether `value` is normalized (0..1) or plain.
    virtual void SetParameterFromPlug(int paramIndex, double value, bool normalized) = 0;

    // Editor size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Called once when attached, before any window exists.
    virtual void PrepDraw() = 0;

    // Opens the editor window inside the host's parent window; false on failure.
    virtual bool OpenWindow(void* parentWindow) = 0;
    virtual void CloseWindow() = 0;

    // Periodic call from the host's user-interface thread (effEditIdle),
    // without the plug-in lock: where the platform delivers no window events
    // of its own, the editor services its events and timers here and takes
    // the lock itself when it touches shared state.
    virtual void Idle() {}

    // A file descriptor that becomes readable when the open window has
    // events for Idle() (the display connection on X11); -1 when there is
    // none or no window is open.
    virtual int EventFd() const { return -1; }
};

}  // namespace kettrix
