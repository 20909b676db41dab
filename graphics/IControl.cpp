// Base behaviour of controls and the generic controls.
#include "IControl.h"

#include <algorithm>
#include <cstring>

#include "IGraphics.h"
#include "IGraphicsPlug.h"

namespace kettrix {

IControl::IControl(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, IChannelBlend::EBlendMethod blendMethod)
    : plug_(plug), rect_(rect), targetRECT_(rect), paramIdx_(paramIdx), blend_(blendMethod, 1.0f) {}

IControl::~IControl() = default;

void IControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (paramIdx_ >= 0 && plug_) plug_->ShowParamInfo(paramIdx_, x, y);
    if (mod.R && graphics_) graphics_->PromptUserInput(this);
}

void IControl::OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (paramIdx_ >= 0 && plug_) plug_->ClearParamInfo();
}

void IControl::OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, const IMouseMod& /*mod*/) {}

void IControl::OnMouseDblClick(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (defaultValue_ < 0.0) return;
    value_ = defaultValue_;
    SetDirty(true);
}

void IControl::OnMouseWheel(int x, int y, const IMouseMod& mod, double d) {
    value_ += d * ((mod.S || mod.C) ? 0.001 : 0.01);
    if (paramIdx_ >= 0 && plug_) plug_->ShowParamInfo(paramIdx_, x, y);
    SetDirty(true);
}

bool IControl::OnKeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }

void IControl::OnMouseOver(int x, int y, const IMouseMod& /*mod*/) {
    if (paramIdx_ >= 0 && plug_) plug_->ShowParamInfo(paramIdx_, x, y);
}

void IControl::OnMouseOut() {
    if (plug_) plug_->ClearParamInfo();
}

// A change marks the control dirty. The pending flag is only needed for a
// change that arrives while the redraw pass is drawing (a control changing
// values from its own Draw): it keeps the control dirty for one more pass.
// Outside a pass, marking it as well would draw every change twice.
void IControl::SetValueFromPlug(double value) {
    if (defaultValue_ < 0.0) defaultValue_ = value;
    if (value == value_) return;
    value_ = value;
    SetDirty(false);
    if (graphics_ && graphics_->IsDrawing()) redrawPending_ = 1;
}

void IControl::SetValueFromUserInput(double value) {
    value_ = value;
    SetDirty(true);
}

void IControl::Hide(bool hide) {
    hide_ = hide ? 1 : 0;
    if (graphics_ && graphics_->IsDrawing()) redrawPending_ = 1;
    SetDirty(false);
}

void IControl::GrayOut(bool gray) {
    grayed_ = gray ? 1 : 0;
    blend_.weight_ = gray ? 0.0f : 1.0f;
    SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return !targetRECT_.AllZero() && targetRECT_.Contains(x, y); }

void IControl::SetDirty(bool pushParamToPlug) {
    value_ = std::clamp(value_, clampLo_, clampHi_);
    dirty_ = 1;
    dirtyArea_ = IRECT();
    if (!pushParamToPlug || !plug_) return;
    if (paramIdx_ >= 0) plug_->SetParameterFromEditor(paramIdx_, value_);
    for (const AuxParam& aux : auxParams_)
        if (aux.paramIdx_ >= 0) plug_->SetParameterFromEditor(aux.paramIdx_, aux.value_);
}

void IControl::SetDirtyArea(const IRECT& area) {
    const IRECT part = area.Intersect(rect_);
    if (part.Empty()) return;
    if (!dirty_) {
        dirty_ = 1;
        dirtyArea_ = part;
    } else if (!dirtyArea_.Empty()) {
        dirtyArea_ = dirtyArea_.Union(part);
    }
}

bool IControl::TakeRedraw() {
    dirty_ = redrawPending_;
    redrawPending_ = 0;
    dirtyArea_ = IRECT();
    return dirty_ != 0;
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
    AuxParam* aux = GetAuxParam(auxParamIdx);
    if (!aux) return;
    aux->value_ = value;
    SetDirty(false);
}

void IControl::SetRECT(const IRECT& rect) {
    if (targetRECT_ == rect_) targetRECT_ = rect;
    rect_ = rect;
    SetDirty(false);
}

void IControl::SetTooltip(const char* tooltip) { tooltip_ = tooltip ? tooltip : ""; }

void IControl::AddAuxParam(int paramIdx) { auxParams_.push_back(AuxParam{paramIdx, 0.0}); }

IControl::AuxParam* IControl::GetAuxParam(int auxParamIdx) {
    if (auxParamIdx < 0 || auxParamIdx >= NAuxParams()) return nullptr;
    return &auxParams_[static_cast<std::size_t>(auxParamIdx)];
}

int IControl::AuxParamIdx(int paramIdx) const {
    for (int i = 0; i < NAuxParams(); ++i)
        if (auxParams_[static_cast<std::size_t>(i)].paramIdx_ == paramIdx) return i;
    return -1;
}

// --- IBitmapControl ------------------------------------------------------------

IBitmapControl::IBitmapControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, IRECT(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()), paramIdx, blendMethod),
      bitmap_(bitmap) {}

IBitmapControl::IBitmapControl(IGraphicsPlug* plug, int x, int y, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}

int IBitmapControl::FrameForValue() const {
    if (bitmap_.N <= 1) return 1;
    const int frame = static_cast<int>((bitmap_.N - 1) * value_ + 0.5) + 1;
    return std::clamp(frame, 1, bitmap_.N);
}

bool IBitmapControl::Draw(IGraphics* graphics) {
    return graphics->DrawBitmapFrame(bitmap_, rect_, FrameForValue(), &blend_);
}

// --- IKnobMultiControl ---------------------------------------------------------

IKnobMultiControl::IKnobMultiControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                     EDirection direction, double gearing)
    : IBitmapControl(plug, x, y, paramIdx, bitmap), direction_(direction), gearing_(gearing) {}

void IKnobMultiControl::OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) {
    double gearing = gearing_;
    if (mod.S || mod.C) gearing *= 10.0;
    if (direction_ == kVertical) {
        if (rect_.H() > 0) value_ += -static_cast<double>(dY) / static_cast<double>(rect_.H()) / gearing;
    } else {
        if (rect_.W() > 0) value_ += static_cast<double>(dX) / static_cast<double>(rect_.W()) / gearing;
    }
    SetDirty(true);
    if (paramIdx_ >= 0 && plug_) plug_->ShowParamInfo(paramIdx_, x, y);
}

// --- ISwitchControl, IContactControl ----------------------------------------------

ISwitchControl::ISwitchControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

void ISwitchControl::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (bitmap_.N >= 2) {
        value_ += 1.0 / static_cast<double>(bitmap_.N - 1);
    } else {
        value_ += 1.0;
    }
    if (value_ > 1.001) value_ = 0.0;
    SetDirty(true);
}

void IContactControl::OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ = 0.0;
    SetDirty(true);
}

// --- ITextControl ----------------------------------------------------------------

ITextControl::ITextControl(IGraphicsPlug* plug, const IRECT& rect, const IText& text, const char* str)
    : IControl(plug, rect) {
    text_ = text;
    SetTextFromPlug(str);
}

bool ITextControl::Draw(IGraphics* graphics) {
    if (str_[0] == '\0') return true;
    return graphics->DrawText(text_, str_, rect_);
}

void ITextControl::SetTextFromPlug(const char* str) {
    if (!str) str = "";
    if (std::strncmp(str_, str, kMaxTextLength) == 0) return;
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(kMaxTextLength) && str[n] != '\0') ++n;
    std::memcpy(str_, str, n);
    str_[n] = '\0';
    SetDirty(false);
}

}  // namespace kettrix
