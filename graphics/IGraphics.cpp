// The graphics object: controls, the redraw pass, event dispatch and the
// value traffic between controls and parameters.
#include "IGraphics.h"

#include <cmath>
#include <cstring>

#include "BitmapCache.h"

namespace kettrix {

struct IGraphics::FontEntry {
    int size;
    IText::EStyle style;
    char face[IText::kFaceMax];
    LICE_CachedFont font;
};

IGraphics::IGraphics(IGraphicsPlug* plug, int w, int h, int fps)
    : mPlug(plug),
      mWidth(w),
      mHeight(h),
      mFPS(fps > 0 ? fps : kDefaultFPS),
      mDrawBitmap(std::make_unique<LICE_SysBitmap>()),
      mClip(0, 0, w, h) {}

IGraphics::~IGraphics() = default;

LICE_SysBitmap* IGraphics::GetDrawBitmap() const {
    // The surface is made on first use rather than with the editor: an
    // instance whose window is never opened holds no pixels.
    if (mDrawBitmap->GetWidth() != mWidth || mDrawBitmap->GetHeight() != mHeight) mDrawBitmap->Resize(mWidth, mHeight);
    return mDrawBitmap.get();
}

void IGraphics::ReleaseDrawBitmap() { mDrawBitmap->Resize(0, 0); }

// --- Controls ----------------------------------------------------------------

int IGraphics::AttachControl(IControl* control) {
    control->mGraphics = this;
    mControls.emplace_back(control);
    return NControls() - 1;
}

namespace {

// The background: a picture over the whole editor, copied without blending.
class IBackgroundControl : public IBitmapControl {
public:
    IBackgroundControl(IGraphicsPlug* plug, const IBitmap& bitmap, int w, int h)
        : IBitmapControl(plug, 0, 0, -1, bitmap, IChannelBlend::kBlendClobber) {
        mRECT = mTargetRECT = IRECT(0, 0, w, h);
    }
};

}  // namespace

void IGraphics::AttachBackground(int id, const char* fileName) {
    AttachControl(new IBackgroundControl(mPlug, LoadBitmap(id, fileName, 1), mWidth, mHeight));
}

IControl* IGraphics::GetControl(int idx) const {
    if (idx < 0 || idx >= NControls()) return nullptr;
    return mControls[static_cast<std::size_t>(idx)].get();
}

LICE_IBitmap* IGraphics::OSLoadBitmap(int id, const char* fileName) {
    return IsPNGFileName(fileName) ? LoadCachedPNG(id) : nullptr;
}

IBitmap IGraphics::LoadBitmap(int id, const char* fileName, int frames, bool framesAreHorizontal) {
    LICE_IBitmap* data = OSLoadBitmap(id, fileName);
    if (!data) return IBitmap(nullptr, 0, 0, frames, framesAreHorizontal);
    return IBitmap(data, data->GetWidth(), data->GetHeight(), frames, framesAreHorizontal);
}

// --- Values from the plug-in -----------------------------------------------------

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
    if (!normalized) {
        double lo = 0.0, hi = 1.0, shape = 1.0;
        if (!mPlug || !mPlug->GetParamRange(paramIdx, &lo, &hi, &shape)) return;
        if (!(hi > lo)) {
            value = 0.0;
        } else {
            value = (std::clamp(value, lo, hi) - lo) / (hi - lo);
            if (shape > 0.0 && shape != 1.0) value = std::pow(value, 1.0 / shape);
        }
    }
    for (const auto& control : mControls) {
        if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
        if (control->NAuxParams() > 0) {
            const int aux = control->AuxParamIdx(paramIdx);
            if (aux >= 0) control->SetAuxParamValueFromPlug(aux, value);
        }
    }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
    if (IControl* control = GetControl(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::HideControl(int paramIdx, bool hide) {
    for (const auto& control : mControls)
        if (control->ParamIdx() == paramIdx) control->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
    for (const auto& control : mControls)
        if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
}

void IGraphics::SetAllControlsDirty() {
    for (const auto& control : mControls) control->SetDirty(false);
}

// --- Redraw pass ---------------------------------------------------------------

bool IGraphics::IsDirty(IRECT& rect) {
    IRECT dirty;
    bool any = false;
    for (const auto& control : mControls) {
        if (!control->IsDirty()) continue;
        any = true;
        dirty = dirty.Union(control->GetDirtyRECT());
    }
    rect = dirty.Intersect(IRECT(0, 0, mWidth, mHeight));
    return any;
}

void IGraphics::DrawControl(IControl* control, const IRECT& clip) {
    if (control->IsHidden() || !control->CanDraw()) return;
    mClip = clip.Intersect(IRECT(0, 0, mWidth, mHeight));
    if (mClip.Empty()) return;
    ++mDrawCount;
    control->Draw(this);
}

void IGraphics::Draw(const IRECT& rect) {
    if (mControls.empty()) return;
    mDrawing = true;
    const IRECT whole(0, 0, mWidth, mHeight);
    if (mControls.front()->IsDirty()) {
        for (const auto& control : mControls) DrawControl(control.get(), whole);
        for (const auto& control : mControls)
            if (control->IsDirty()) control->TakeRedraw();
    } else {
        // Each dirty control is redrawn with everything that overlaps it,
        // in attachment order, limited to its rectangle.
        for (const auto& dirty : mControls) {
            if (!dirty->IsDirty()) continue;
            const IRECT area = dirty->GetDirtyRECT();
            for (const auto& control : mControls)
                if (control == dirty || control->GetRECT().Intersects(area)) DrawControl(control.get(), area);
            dirty->TakeRedraw();
        }
    }
    mDrawing = false;
    mClip = whole;
    mDirtyRect = rect;
    DrawScreen(rect);
}

void IGraphics::Redraw(const IRECT& rect) {
    PlugScopedLock lock(mPlug);
    const IRECT area = rect.Intersect(IRECT(0, 0, mWidth, mHeight));
    if (area.Empty()) return;
    mDrawing = true;
    for (const auto& control : mControls)
        if (control->GetRECT().Intersects(area)) DrawControl(control.get(), area);
    mDrawing = false;
    mClip = IRECT(0, 0, mWidth, mHeight);
    DrawScreen(area);
}

bool IGraphics::OnTimer() {
    PlugScopedLock lock(mPlug);
    for (const auto& control : mControls) control->OnGuiIdle();
    IRECT rect;
    if (!IsDirty(rect)) return false;
    Draw(rect);
    return true;
}

void IGraphics::Resize(int w, int h) {
    PlugScopedLock lock(mPlug);
    if (w <= 0 || h <= 0 || w > kLiceMaxDimension || h > kLiceMaxDimension) return;
    mWidth = w;
    mHeight = h;
    mMouseCapture = mMouseOver = -1;
    // The surface takes the new size when it is next drawn into.
    mDrawBitmap->Resize(0, 0);
    mClip = IRECT(0, 0, w, h);
    if (mPlug) mPlug->ResizeGraphics(w, h);
    SetAllControlsDirty();
}

// --- Input -----------------------------------------------------------------------

int IGraphics::GetMouseControlIdx(int x, int y, bool skipBackground) const {
    for (int i = NControls() - 1; i >= (skipBackground ? 1 : 0); --i) {
        IControl* control = mControls[static_cast<std::size_t>(i)].get();
        if (!control->IsHidden() && !control->IsGrayed() && control->IsHit(x, y)) return i;
    }
    return -1;
}

void IGraphics::BeginGesture(int controlIdx) {
    EndGesture();
    IControl* control = GetControl(controlIdx);
    if (!control || control->ParamIdx() < 0 || control->BracketsOwnGestures()) return;
    mGestureParam = control->ParamIdx();
    if (mPlug) mPlug->BeginHostParamEdit(mGestureParam);
}

void IGraphics::EndGesture() {
    if (mGestureParam < 0) return;
    if (mPlug) mPlug->EndHostParamEdit(mGestureParam);
    mGestureParam = -1;
}

void IGraphics::OnMouseDown(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(mPlug);
    mMouseX = x;
    mMouseY = y;
    const int idx = GetMouseControlIdx(x, y);
    mMouseCapture = idx;
    IControl* control = GetControl(idx);
    if (!control) return;
    if (mod.R && control->ParamIdx() >= 0 && mPlug && mPlug->PopupHostContextMenuForParam(control->ParamIdx(), x, y)) {
        mMouseCapture = -1;
        return;
    }
    BeginGesture(idx);
    control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(mPlug);
    mMouseX = x;
    mMouseY = y;
    IControl* control = GetControl(mMouseCapture);
    mMouseCapture = -1;
    if (control) control->OnMouseUp(x, y, mod);
    EndGesture();
}

void IGraphics::OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) {
    PlugScopedLock lock(mPlug);
    mMouseX = x;
    mMouseY = y;
    if (IControl* control = GetControl(mMouseCapture)) control->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(mPlug);
    mMouseX = x;
    mMouseY = y;
    // The system's double click replaces the second button press, which
    // comes after the first press was released: capture like a press.
    if (mMouseCapture < 0) {
        mMouseCapture = GetMouseControlIdx(x, y);
        BeginGesture(mMouseCapture);
    }
    if (IControl* control = GetControl(mMouseCapture)) control->OnMouseDblClick(x, y, mod);
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseMod& mod, double d) {
    PlugScopedLock lock(mPlug);
    const int idx = GetMouseControlIdx(x, y);
    IControl* control = GetControl(idx);
    if (!control) return;
    const bool inGesture = mGestureParam >= 0;
    if (!inGesture) BeginGesture(idx);
    control->OnMouseWheel(x, y, mod, d);
    if (!inGesture) EndGesture();
}

bool IGraphics::OnMouseOver(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(mPlug);
    mMouseX = x;
    mMouseY = y;
    if (!mHandleMouseOver) return false;
    const int idx = GetMouseControlIdx(x, y);
    if (mMouseOver >= 0 && mMouseOver != idx)
        if (IControl* old = GetControl(mMouseOver)) old->OnMouseOut();
    mMouseOver = idx;
    if (IControl* control = GetControl(idx)) control->OnMouseOver(x, y, mod);
    return true;
}

void IGraphics::OnMouseOut() {
    PlugScopedLock lock(mPlug);
    if (IControl* control = GetControl(mMouseOver)) control->OnMouseOut();
    mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
    PlugScopedLock lock(mPlug);
    int idx = mMouseCapture;
    if (idx < 0) idx = GetMouseControlIdx(x, y, true);
    if (idx < 0) idx = mKeyHandler;
    IControl* control = GetControl(idx);
    return control && control->OnKeyDown(x, y, key);
}

void IGraphics::ReleaseMouseCapture() {
    PlugScopedLock lock(mPlug);
    mMouseCapture = -1;
    EndGesture();
}

// --- Text entry ---------------------------------------------------------------

void IGraphics::PromptUserInput(IControl* control) {
    if (!control || mTextEntry.mControl) return;
    const int paramIdx = control->ParamIdx();
    char text[256] = "";
    if (paramIdx >= 0 && mPlug) mPlug->GetParamText(paramIdx, text, sizeof text);
    CreateTextEntry(control, control->GetText(), control->GetRECT(), text, paramIdx);
}

void IGraphics::CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                                int paramIdx) {
    if (!control || mTextEntry.mControl) return;
    mTextEntry.mControl = control;
    mTextEntry.mParamIdx = paramIdx;
    mTextEntry.mRect = rect;
    mTextEntry.mText = text;
    mTextEntry.mInitial = str ? str : "";
}

void IGraphics::CommitTextEntry(const char* text) {
    PlugScopedLock lock(mPlug);
    IControl* control = mTextEntry.mControl;
    const int paramIdx = mTextEntry.mParamIdx;
    mTextEntry = TextEntryRequest();
    if (!control) return;
    if (!text) text = "";
    if (paramIdx >= 0) {
        double normalized = 0.0;
        if (!mPlug || !mPlug->ParamFromText(paramIdx, text, &normalized)) return;
        if (mPlug) mPlug->BeginHostParamEdit(paramIdx);
        control->SetValueFromUserInput(normalized);
        if (mPlug) mPlug->EndHostParamEdit(paramIdx);
    } else {
        control->TextFromTextEntry(text);
    }
}

void IGraphics::CancelTextEntry() {
    PlugScopedLock lock(mPlug);
    mTextEntry = TextEntryRequest();
}

// --- Drawing helpers -----------------------------------------------------------

int IGraphics::FrameOffset(const IBitmap& bitmap, int frame) {
    if (bitmap.N < 2 || frame < 2) return 0;
    const int extent = bitmap.mFramesAreHorizontal ? bitmap.W : bitmap.H;
    return static_cast<int>(static_cast<double>(extent) * (frame - 1) / bitmap.N + 0.5);
}

bool IGraphics::DrawBitmap(const IBitmap& bitmap, const IRECT& rect, int srcX, int srcY, const IChannelBlend* blend) {
    if (!bitmap.mData) return false;
    const IRECT area = rect.Intersect(mClip);
    if (area.Empty()) return true;
    const IChannelBlend plain;
    if (!blend) blend = &plain;
    LICE_Blit(GetDrawBitmap(), bitmap.mData, area.L, area.T, srcX + (area.L - rect.L), srcY + (area.T - rect.T),
              area.W(), area.H(), blend->mWeight, LICE_ModeForBlend(blend->mMethod));
    return true;
}

bool IGraphics::DrawBitmapFrame(const IBitmap& bitmap, const IRECT& rect, int frame, const IChannelBlend* blend) {
    const int offset = FrameOffset(bitmap, frame);
    return bitmap.mFramesAreHorizontal ? DrawBitmap(bitmap, rect, offset, 0, blend)
                                       : DrawBitmap(bitmap, rect, 0, offset, blend);
}

void IGraphics::FillIRect(const IColor& color, const IRECT& rect, const IChannelBlend* blend) {
    const IRECT area = rect.Intersect(mClip);
    if (area.Empty()) return;
    const float weight = blend ? blend->mWeight : 1.0f;
    const int mode = LICE_ModeForBlend(blend ? blend->mMethod : IChannelBlend::kBlendNone);
    LICE_FillRect(GetDrawBitmap(), area.L, area.T, area.W(), area.H(), LICE_ColorFrom(color), weight, mode);
}

void IGraphics::DrawLine(const IColor& color, int x1, int y1, int x2, int y2, const IChannelBlend* blend,
                         bool antialias) {
    // Lines are clipped by drawing into a view limited to the clip rectangle.
    class ClipView : public LICE_IBitmap {
    public:
        ClipView(LICE_IBitmap* base, const IRECT& clip) : mBase(base), mClip(clip) {}
        LICE_pixel* GetBits() override {
            return mBase->GetBits() + static_cast<std::ptrdiff_t>(mClip.T) * mBase->GetRowSpan() + mClip.L;
        }
        int GetWidth() const override { return mClip.W(); }
        int GetHeight() const override { return mClip.H(); }
        int GetRowSpan() const override { return mBase->GetRowSpan(); }
        bool Resize(int, int) override { return false; }

    private:
        LICE_IBitmap* mBase;
        IRECT mClip;
    };
    const IRECT area = mClip.Intersect(IRECT(0, 0, mWidth, mHeight));
    LICE_SysBitmap* surface = GetDrawBitmap();
    if (area.Empty() || !surface->GetBits()) return;
    ClipView view(surface, area);
    const float weight = blend ? blend->mWeight : 1.0f;
    const int mode = LICE_ModeForBlend(blend ? blend->mMethod : IChannelBlend::kBlendNone);
    LICE_Line(&view, x1 - area.L, y1 - area.T, x2 - area.L, y2 - area.T, LICE_ColorFrom(color), weight, mode,
              antialias);
}

void IGraphics::DrawRect(const IColor& color, const IRECT& rect) {
    if (rect.Empty()) return;
    FillIRect(color, IRECT(rect.L, rect.T, rect.R, rect.T + 1));
    FillIRect(color, IRECT(rect.L, rect.B - 1, rect.R, rect.B));
    FillIRect(color, IRECT(rect.L, rect.T + 1, rect.L + 1, rect.B - 1));
    FillIRect(color, IRECT(rect.R - 1, rect.T + 1, rect.R, rect.B - 1));
}

// --- Text ------------------------------------------------------------------------

LICE_CachedFont* IGraphics::CacheFont(const IText& text) {
    for (const auto& entry : mFonts)
        if (entry->size == text.mSize && entry->style == text.mStyle &&
            std::strncmp(entry->face, text.mFont, IText::kFaceMax) == 0)
            return &entry->font;
    auto entry = std::make_unique<FontEntry>();
    entry->size = text.mSize;
    entry->style = text.mStyle;
    std::memcpy(entry->face, text.mFont, IText::kFaceMax);
    entry->face[IText::kFaceMax - 1] = '\0';
    entry->font.SetFromFace(entry->face, text.mSize, text.mStyle == IText::kStyleBold,
                            text.mStyle == IText::kStyleItalic);
    mFonts.push_back(std::move(entry));
    return &mFonts.back()->font;
}

namespace {

int AlignFlags(const IText& text) {
    const int horizontal = text.mAlign == IText::kAlignNear  ? LICE_DT_LEFT
                           : text.mAlign == IText::kAlignFar ? LICE_DT_RIGHT
                                                             : LICE_DT_CENTER;
    return horizontal | LICE_DT_VCENTER | LICE_DT_SINGLELINE;
}

}  // namespace

bool IGraphics::DrawText(const IText& text, const char* str, const IRECT& rect) {
    if (!str || !*str) return true;
    LICE_CachedFont* font = CacheFont(text);
    if (font->GetLineHeight() <= 0) return false;
    font->SetTextColor(LICE_ColorFrom(text.mColor));
    font->SetClipRect(&mClip);
    IRECT r = rect;
    font->DrawText(GetDrawBitmap(), str, -1, &r, AlignFlags(text));
    font->SetClipRect(nullptr);
    return true;
}

bool IGraphics::MeasureText(const IText& text, const char* str, IRECT& rect) {
    LICE_CachedFont* font = CacheFont(text);
    if (!str || font->GetLineHeight() <= 0) return false;
    font->DrawText(nullptr, str, -1, &rect, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
    return true;
}

}  // namespace kettrix
