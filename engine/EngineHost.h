#pragma once
// What the engine needs from the plug-in object around it: the parameter
// store and the editor's controls. The plug-in implements this (the editor
// part through the kit's editor seam, which works without an open window);
// tests implement it with a plain array.
//
// Every call happens under the plug-in lock.

namespace kettrix::engine {

class EngineHost {
public:
    virtual ~EngineHost() = default;

    // Plain value of a parameter.
    virtual double paramValue(int index) const = 0;

    // Writes a parameter's plain value (clamped to its range) without running
    // its parameter-change operation and without touching its control.
    virtual void storeParamValue(int index, double value) = 0;

    // Sets the parameter's control to `value`; when the parameter holds a
    // different value, the parameter takes it (clamped) and its
    // parameter-change operation runs. Equal values end chains here.
    virtual void setControlValue(int index, double value) = 0;

    // Activity lamp of a sound (1 lit, 0 dark).
    virtual void setActivityIndicator(int sound, double value) = 0;

    // The on-screen keyboard: a sound's key range changed / redraw needed.
    virtual void keyRangeShown(int sound, int lo, int hi) = 0;
    virtual void redrawKeyboard() = 0;
};

// A host that stores nothing and shows nothing; the engine's default until
// the plug-in attaches its own.
class NullEngineHost final : public EngineHost {
public:
    double paramValue(int) const override { return 0.0; }
    void storeParamValue(int, double) override {}
    void setControlValue(int, double) override {}
    void setActivityIndicator(int, double) override {}
    void keyRangeShown(int, int, int) override {}
    void redrawKeyboard() override {}
};

}  // namespace kettrix::engine
