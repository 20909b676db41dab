// The base class of every control of the editor, and the generic controls.
//
// Values are normalised doubles, 0 to 1. Thread rule: values may arrive
// from any thread of the host (always under the plug-in lock); there a
// control only stores the value and marks itself for redraw. Drawing runs
// only in the redraw pass on the editor's thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GraphicsTypes.h"

namespace kettrix {

class IGraphics;
class IGraphicsPlug;

class IControl {
public:
    // An auxiliary binding: a further parameter the control shows and sets.
    struct AuxParam {
        int paramIdx_ = -1;
        double value_ = 0.0;
    };

    IControl(IGraphicsPlug* plug, const IRECT& rect, int paramIdx = -1,
             IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // --- Virtual operations, in slot order ---------------------------------
    virtual ~IControl();
    // Base: shows the parameter's read-out; a right click opens the text
    // entry for the value.
    virtual void OnMouseDown(int x, int y, const IMouseMod& mod);
    // Base: clears the read-out (bound controls).
    virtual void OnMouseUp(int x, int y, const IMouseMod& mod);
    virtual void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod);
    // Base: returns to the first value received from the plug-in.
    virtual void OnMouseDblClick(int x, int y, const IMouseMod& mod);
    // Base: value += d × 0.01 (× 0.001 with shift or control).
    virtual void OnMouseWheel(int x, int y, const IMouseMod& mod, double d);
    // True when the control took the key.
    virtual bool OnKeyDown(int x, int y, int key);
    virtual void OnMouseOver(int x, int y, const IMouseMod& mod);
    virtual void OnMouseOut();
    virtual bool CanDraw() { return true; }
    virtual bool Draw(IGraphics* graphics) = 0;
    virtual void SetValueFromPlug(double value);
    virtual void SetValueFromUserInput(double value);
    virtual void Hide(bool hide);
    virtual void GrayOut(bool gray);
    virtual bool IsHit(int x, int y);
    // Clamps the value and marks the control for drawing; with `pushParamToPlug`
    // the bound parameter (and auxiliary ones) take the value as a change
    // from the editor.
    virtual void SetDirty(bool pushParamToPlug = true);
    // Ends a drawing of the control: the pending flag becomes the dirty flag.
    virtual bool TakeRedraw();
    virtual bool IsDirty() { return dirty_ != 0; }
    // Called on the editor's thread at every timer tick.
    virtual void OnGuiIdle() {}
    virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);
    // The committed text of a text entry, for a control with no parameter.
    virtual void TextFromTextEntry(const char* /*text*/) {}

    // --- Accessors -----------------------------------------------------------
    const IRECT& GetRECT() const { return rect_; }
    const IRECT& GetTargetRECT() const { return targetRECT_; }
    void SetTargetArea(const IRECT& rect) { targetRECT_ = rect; }
    // Moves the drawing rectangle (the target follows when it was equal).
    void SetRECT(const IRECT& rect);
    int ParamIdx() const { return paramIdx_; }
    double GetValue() const { return value_; }
    double GetDefaultValue() const { return defaultValue_; }
    void SetValue(double value) { value_ = value; }
    void Clamp(double lo, double hi) {
        clampLo_ = lo;
        clampHi_ = hi;
    }
    // Marks only `area` (within the control's rectangle) for drawing: a
    // control made of many parts redraws just the parts that changed. A
    // whole-control mark (SetDirty) already pending covers it.
    void SetDirtyArea(const IRECT& area);
    // What the next redraw pass draws of this control: the marked area, or
    // the whole rectangle.
    IRECT GetDirtyRECT() const { return dirtyArea_.Empty() ? rect_ : dirtyArea_; }
    // True for a control that tells the host about its own edit gestures
    // (begin and end edit) instead of having every click bracketed by the
    // graphics object: a click that changes no parameter then tells nothing.
    bool BracketsOwnGestures() const { return ownGestures_; }
    bool IsHidden() const { return hide_ != 0; }
    bool IsGrayed() const { return grayed_ != 0; }
    bool IsRedrawPending() const { return redrawPending_ != 0; }
    const IChannelBlend& GetBlend() const { return blend_; }
    void SetBlendMethod(IChannelBlend::EBlendMethod method) { blend_.method_ = method; }
    const IText& GetText() const { return text_; }
    void SetTextStyle(const IText& text) { text_ = text; }
    void SetTooltip(const char* tooltip);
    const char* GetTooltip() const { return tooltip_.c_str(); }
    IGraphicsPlug* GetPlug() const { return plug_; }
    // The graphics object this control is attached to (null before).
    IGraphics* GetGUI() const { return graphics_; }

    // Auxiliary parameters: each added parameter gets the next aux index.
    void AddAuxParam(int paramIdx);
    int NAuxParams() const { return static_cast<int>(auxParams_.size()); }
    AuxParam* GetAuxParam(int auxParamIdx);
    // The aux index bound to `paramIdx`, −1 when none.
    int AuxParamIdx(int paramIdx) const;

protected:
    IText text_;
    IGraphicsPlug* plug_;
    IRECT rect_;
    IRECT targetRECT_;
    int paramIdx_;
    std::vector<AuxParam> auxParams_;
    double value_ = 0.0;
    double defaultValue_ = -1.0;
    double clampLo_ = 0.0, clampHi_ = 1.0;
    std::uint8_t dirty_ = 1;
    std::uint8_t hide_ = 0;
    std::uint8_t grayed_ = 0;
    std::uint8_t redrawPending_ = 0;
    // Empty while the whole control is to be drawn.
    IRECT dirtyArea_;
    bool ownGestures_ = false;
    IChannelBlend blend_;
    std::string tooltip_;

private:
    friend class IGraphics;
    IGraphics* graphics_ = nullptr;
};

// A control that shows frame round((N − 1) × value) + 1 of a frame strip.
class IBitmapControl : public IControl {
public:
    // The rectangle is one frame of the bitmap at (x, y).
    IBitmapControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                   IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
    // A bitmap with no parameter (a picture).
    IBitmapControl(IGraphicsPlug* plug, int x, int y, const IBitmap& bitmap,
                   IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
    bool Draw(IGraphics* graphics) override;

    const IBitmap& GetBitmap() const { return bitmap_; }
    // The 1-based frame the current value shows.
    int FrameForValue() const;

protected:
    IBitmap bitmap_;
};

// A knob or slider: dragging changes the value by the pixel distance over
// the rectangle's extent divided by the gearing (10 × finer with shift or control).
class IKnobMultiControl : public IBitmapControl {
public:
    enum EDirection { kVertical, kHorizontal };
    static constexpr double kDefaultGearing = 4.0;

    IKnobMultiControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                      EDirection direction = kVertical, double gearing = kDefaultGearing);
    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) override;

protected:
    EDirection direction_;
    double gearing_;
};

// Each click steps the value by 1 / (N − 1), wrapping to 0 after 1.
class ISwitchControl : public IBitmapControl {
public:
    ISwitchControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                   IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
};

// A push button: pressing steps like a switch, releasing sets 0.
class IContactControl : public ISwitchControl {
public:
    using ISwitchControl::ISwitchControl;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
};

// A text in a rectangle, drawn when not empty; no parameter. The text is
// kept in a fixed buffer, so setting it never allocates.
class ITextControl : public IControl {
public:
    static constexpr int kMaxTextLength = 255;

    ITextControl(IGraphicsPlug* plug, const IRECT& rect, const IText& text, const char* str = "");
    bool Draw(IGraphics* graphics) override;

    // Replaces the text (cut at kMaxTextLength) and redraws when it changed.
    void SetTextFromPlug(const char* str);
    void ClearTextFromPlug() { SetTextFromPlug(""); }
    const char* GetTextForPlug() const { return str_; }

protected:
    char str_[kMaxTextLength + 1] = {};
};

}  // namespace kettrix
