// Base behaviour of controls and the generic controls.
#include "IControl.h"

#include <algorithm>
#include <cstring>

#include "IGraphics.h"
#include "IGraphicsPlug.h"

namespace kettrix {

IControl::IControl(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, IChannelBlend::EBlendMethod blendMethod)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blendMethod, 1.0f) {}

IControl::~IControl() = default;

void IControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mParamIdx >= 0 && mPlug) mPlug->ShowParamInfo(mParamIdx, x, y);
    if (mod.R && mGraphics) mGraphics->PromptUserInput(this);
}

void IControl::OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (mParamIdx >= 0 && mPlug) mPlug->ClearParamInfo();
}

void IControl::OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, const IMouseMod& /*mod*/) {}

void IControl::OnMouseDblClick(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (mDefaultValue < 0.0) return;
    mValue = mDefaultValue;
    SetDirty(true);
}

void IControl::OnMouseWheel(int x, int y, const IMouseMod& mod, double d) {
    mValue += d * ((mod.S || mod.C) ? 0.001 : 0.01);
    if (mParamIdx >= 0 && mPlug) mPlug->ShowParamInfo(mParamIdx, x, y);
    SetDirty(true);
}

bool IControl::OnKeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }

void IControl::OnMouseOver(int x, int y, const IMouseMod& /*mod*/) {
    if (mParamIdx >= 0 && mPlug) mPlug->ShowParamInfo(mParamIdx, x, y);
}

void IControl::OnMouseOut() {
    if (mPlug) mPlug->ClearParamInfo();
}

// A change marks the control dirty. The pending flag is only needed for a
// change that arrives while the redraw pass is drawing (a control changing
// values from its own Draw): it keeps the control dirty for one more pass.
// Outside a pass, marking it as well would draw every change twice.
void IControl::SetValueFromPlug(double value) {
    if (mDefaultValue < 0.0) mDefaultValue = value;
    if (value == mValue) return;
    mValue = value;
    SetDirty(false);
    if (mGraphics && mGraphics->IsDrawing()) mRedrawPending = 1;
}

void IControl::SetValueFromUserInput(double value) {
    mValue = value;
    SetDirty(true);
}

void IControl::Hide(bool hide) {
    mHide = hide ? 1 : 0;
    if (mGraphics && mGraphics->IsDrawing()) mRedrawPending = 1;
    SetDirty(false);
}

void IControl::GrayOut(bool gray) {
    mGrayed = gray ? 1 : 0;
    mBlend.mWeight = gray ? 0.0f : 1.0f;
    SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return !mTargetRECT.AllZero() && mTargetRECT.Contains(x, y); }

void IControl::SetDirty(bool pushParamToPlug) {
    mValue = std::clamp(mValue, mClampLo, mClampHi);
    mDirty = 1;
    mDirtyArea = IRECT();
    if (!pushParamToPlug || !mPlug) return;
    if (mParamIdx >= 0) mPlug->SetParameterFromEditor(mParamIdx, mValue);
    for (const AuxParam& aux : mAuxParams)
        if (aux.mParamIdx >= 0) mPlug->SetParameterFromEditor(aux.mParamIdx, aux.mValue);
}

void IControl::SetDirtyArea(const IRECT& area) {
    const IRECT part = area.Intersect(mRECT);
    if (part.Empty()) return;
    if (!mDirty) {
        mDirty = 1;
        mDirtyArea = part;
    } else if (!mDirtyArea.Empty()) {
        mDirtyArea = mDirtyArea.Union(part);
    }
}

bool IControl::TakeRedraw() {
    mDirty = mRedrawPending;
    mRedrawPending = 0;
    mDirtyArea = IRECT();
    return mDirty != 0;
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
    AuxParam* aux = GetAuxParam(auxParamIdx);
    if (!aux) return;
    aux->mValue = value;
    SetDirty(false);
}

void IControl::SetRECT(const IRECT& rect) {
    if (mTargetRECT == mRECT) mTargetRECT = rect;
    mRECT = rect;
    SetDirty(false);
}

void IControl::SetTooltip(const char* tooltip) { mTooltip = tooltip ? tooltip : ""; }

void IControl::AddAuxParam(int paramIdx) { mAuxParams.push_back(AuxParam{paramIdx, 0.0}); }

IControl::AuxParam* IControl::GetAuxParam(int auxParamIdx) {
    if (auxParamIdx < 0 || auxParamIdx >= NAuxParams()) return nullptr;
    return &mAuxParams[static_cast<std::size_t>(auxParamIdx)];
}

int IControl::AuxParamIdx(int paramIdx) const {
    for (int i = 0; i < NAuxParams(); ++i)
        if (mAuxParams[static_cast<std::size_t>(i)].mParamIdx == paramIdx) return i;
    return -1;
}

// --- IBitmapControl ------------------------------------------------------------

IBitmapControl::IBitmapControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, IRECT(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()), paramIdx, blendMethod),
      mBitmap(bitmap) {}

IBitmapControl::IBitmapControl(IGraphicsPlug* plug, int x, int y, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}

int IBitmapControl::FrameForValue() const {
    if (mBitmap.N <= 1) return 1;
    const int frame = static_cast<int>((mBitmap.N - 1) * mValue + 0.5) + 1;
    return std::clamp(frame, 1, mBitmap.N);
}

bool IBitmapControl::Draw(IGraphics* graphics) {
    return graphics->DrawBitmapFrame(mBitmap, mRECT, FrameForValue(), &mBlend);
}

// --- IKnobMultiControl ---------------------------------------------------------

IKnobMultiControl::IKnobMultiControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                     EDirection direction, double gearing)
    : IBitmapControl(plug, x, y, paramIdx, bitmap), mDirection(direction), mGearing(gearing) {}

void IKnobMultiControl::OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) {
    double gearing = mGearing;
    if (mod.S || mod.C) gearing *= 10.0;
    if (mDirection == kVertical) {
        if (mRECT.H() > 0) mValue += -static_cast<double>(dY) / static_cast<double>(mRECT.H()) / gearing;
    } else {
        if (mRECT.W() > 0) mValue += static_cast<double>(dX) / static_cast<double>(mRECT.W()) / gearing;
    }
    SetDirty(true);
    if (mParamIdx >= 0 && mPlug) mPlug->ShowParamInfo(mParamIdx, x, y);
}

// --- ISwitchControl, IContactControl ----------------------------------------------

ISwitchControl::ISwitchControl(IGraphicsPlug* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

void ISwitchControl::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (mBitmap.N >= 2) {
        mValue += 1.0 / static_cast<double>(mBitmap.N - 1);
    } else {
        mValue += 1.0;
    }
    if (mValue > 1.001) mValue = 0.0;
    SetDirty(true);
}

void IContactControl::OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    mValue = 0.0;
    SetDirty(true);
}

// --- ITextControl ----------------------------------------------------------------

ITextControl::ITextControl(IGraphicsPlug* plug, const IRECT& rect, const IText& text, const char* str)
    : IControl(plug, rect) {
    mText = text;
    SetTextFromPlug(str);
}

bool ITextControl::Draw(IGraphics* graphics) {
    if (mStr[0] == '\0') return true;
    return graphics->DrawText(mText, mStr, mRECT);
}

void ITextControl::SetTextFromPlug(const char* str) {
    if (!str) str = "";
    if (std::strncmp(mStr, str, kMaxTextLength) == 0) return;
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(kMaxTextLength) && str[n] != '\0') ++n;
    std::memcpy(mStr, str, n);
    mStr[n] = '\0';
    SetDirty(false);
}

}  // namespace kettrix
