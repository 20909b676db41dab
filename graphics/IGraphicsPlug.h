// What the graphics framework needs from the plug-in. The plug-in (or an
// adapter of its own) implements it; the framework never sees the plug-in's
// classes, so it depends on nothing above it.
#pragma once

#include <cstddef>

namespace kettrix {

class IGraphicsPlug {
public:
    virtual ~IGraphicsPlug() = default;

    // A change from the editor: sets the parameter from `normalized`, tells
    // the host (automation) and runs the plug-in's parameter-change dispatch.
    virtual void SetParameterFromEditor(int paramIdx, double normalized) = 0;
    // Bracket a user gesture on a parameter (the host's begin and end edit).
    virtual void BeginHostParamEdit(int /*paramIdx*/) {}
    virtual void EndHostParamEdit(int /*paramIdx*/) {}

    // The read-out of the parameter under the mouse (the position is
    // informative only).
    virtual void ShowParamInfo(int /*paramIdx*/, int /*x*/, int /*y*/) {}
    virtual void ClearParamInfo() {}

    // The normalised value (0..1) of a parameter's plain value `plain`, as
    // the parameter itself maps it (out-of-range and NaN values included).
    // False when the index is not a parameter.
    virtual bool NormalizedFromPlain(int paramIdx, double plain, double* normalized) const = 0;
    // The parameter's current value as text (for a text entry's initial
    // text); false when there is none.
    virtual bool GetParamText(int /*paramIdx*/, char* /*out*/, std::size_t /*outSize*/) const { return false; }
    // Converts typed text to the parameter's normalised value as the host's
    // text entry does: an enumerated parameter matches its value names,
    // others read a finite number. False when the index is not a parameter
    // or the text names no value.
    virtual bool ParamFromText(int /*paramIdx*/, const char* /*text*/, double* /*normalized*/) const { return false; }

    // Offers the host's own menu for a parameter (right click); true when
    // the host showed one and the click is consumed.
    virtual bool PopupHostContextMenuForParam(int /*paramIdx*/, int /*x*/, int /*y*/) { return false; }

    // The plug-in's re-entrant lock. The framework holds it around every
    // event it dispatches and every redraw pass, so values arriving from
    // other threads never meet a half-drawn control.
    virtual void LockPlug() {}
    virtual void UnlockPlug() {}

    // The editor's window changed its size (window pixels).
    virtual void ResizeGraphics(int /*w*/, int /*h*/) {}
    // Asks the host to give the editor's window this size (window pixels);
    // false when the host refuses or cannot be asked. Called without the
    // plug-in lock. Base: a plug-in side with no host lets it happen.
    virtual bool RequestWindowSize(int /*w*/, int /*h*/) { return true; }
};

// Holds the plug-in lock for a scope.
class PlugScopedLock {
public:
    explicit PlugScopedLock(IGraphicsPlug* plug) : plug_(plug) {
        if (plug_) plug_->LockPlug();
    }
    ~PlugScopedLock() {
        if (plug_) plug_->UnlockPlug();
    }
    PlugScopedLock(const PlugScopedLock&) = delete;
    PlugScopedLock& operator=(const PlugScopedLock&) = delete;

private:
    IGraphicsPlug* plug_;
};

// Releases the plug-in lock for a scope (a modal dialog must not stall the
// audio thread); the caller must hold it exactly once.
class PlugScopedUnlock {
public:
    explicit PlugScopedUnlock(IGraphicsPlug* plug) : plug_(plug) {
        if (plug_) plug_->UnlockPlug();
    }
    ~PlugScopedUnlock() {
        if (plug_) plug_->LockPlug();
    }
    PlugScopedUnlock(const PlugScopedUnlock&) = delete;
    PlugScopedUnlock& operator=(const PlugScopedUnlock&) = delete;

private:
    IGraphicsPlug* plug_;
};

}  // namespace kettrix
