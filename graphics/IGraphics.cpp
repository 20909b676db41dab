// The graphics object: controls, the redraw pass, event dispatch and the
// value traffic between controls and parameters.
#include "IGraphics.h"

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
    : plug_(plug),
      width_(w),
      height_(h),
      fps_(fps > 0 ? fps : kDefaultFPS),
      drawBitmap_(std::make_unique<LICE_SysBitmap>()),
      clip_(0, 0, w, h) {}

IGraphics::~IGraphics() = default;

LICE_SysBitmap* IGraphics::GetDrawBitmap() const {
    // The surface is made on first use rather than with the editor: an
    // instance whose window is never opened holds no pixels.
    if (drawBitmap_->GetWidth() != width_ || drawBitmap_->GetHeight() != height_) drawBitmap_->Resize(width_, height_);
    return drawBitmap_.get();
}

void IGraphics::ReleaseDrawBitmap() { drawBitmap_->Resize(0, 0); }

// --- Controls ----------------------------------------------------------------

int IGraphics::AttachControl(IControl* control) {
    control->graphics_ = this;
    controls_.emplace_back(control);
    return NControls() - 1;
}

namespace {

// The background: a picture over the whole editor, copied without blending.
class IBackgroundControl : public IBitmapControl {
public:
    IBackgroundControl(IGraphicsPlug* plug, const IBitmap& bitmap, int w, int h)
        : IBitmapControl(plug, 0, 0, -1, bitmap, IChannelBlend::kBlendClobber) {
        rect_ = targetRECT_ = IRECT(0, 0, w, h);
    }
};

}  // namespace

void IGraphics::AttachBackground(int id, const char* fileName) {
    AttachControl(new IBackgroundControl(plug_, LoadBitmap(id, fileName, 1), width_, height_));
}

IControl* IGraphics::GetControl(int idx) const {
    if (idx < 0 || idx >= NControls()) return nullptr;
    return controls_[static_cast<std::size_t>(idx)].get();
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
    if (!normalized && (!plug_ || !plug_->NormalizedFromPlain(paramIdx, value, &value))) return;
    for (const auto& control : controls_) {
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
    for (const auto& control : controls_)
        if (control->ParamIdx() == paramIdx) control->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
    for (const auto& control : controls_)
        if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
}

void IGraphics::SetAllControlsDirty() {
    for (const auto& control : controls_) control->SetDirty(false);
}

// --- Redraw pass ---------------------------------------------------------------

bool IGraphics::IsDirty(IRECT& rect) {
    IRECT dirty;
    bool any = false;
    for (const auto& control : controls_) {
        if (!control->IsDirty()) continue;
        any = true;
        dirty = dirty.Union(control->GetDirtyRECT());
    }
    rect = dirty.Intersect(IRECT(0, 0, width_, height_));
    return any;
}

void IGraphics::DrawControl(IControl* control, const IRECT& clip) {
    if (control->IsHidden() || !control->CanDraw()) return;
    clip_ = clip.Intersect(IRECT(0, 0, width_, height_));
    if (clip_.Empty()) return;
    ++drawCount_;
    control->Draw(this);
}

void IGraphics::Draw(const IRECT& rect) {
    if (controls_.empty()) return;
    drawing_ = true;
    const IRECT whole(0, 0, width_, height_);
    if (controls_.front()->IsDirty()) {
        for (const auto& control : controls_) DrawControl(control.get(), whole);
        for (const auto& control : controls_)
            if (control->IsDirty()) control->TakeRedraw();
    } else {
        // Each dirty control is redrawn with everything that overlaps it,
        // in attachment order, limited to its rectangle.
        for (const auto& dirty : controls_) {
            if (!dirty->IsDirty()) continue;
            const IRECT area = dirty->GetDirtyRECT();
            for (const auto& control : controls_)
                if (control == dirty || control->GetRECT().Intersects(area)) DrawControl(control.get(), area);
            dirty->TakeRedraw();
        }
    }
    drawing_ = false;
    clip_ = whole;
    dirtyRect_ = rect;
    DrawScreen(rect);
}

void IGraphics::Redraw(const IRECT& rect) {
    PlugScopedLock lock(plug_);
    const IRECT area = rect.Intersect(IRECT(0, 0, width_, height_));
    if (area.Empty()) return;
    drawing_ = true;
    for (const auto& control : controls_)
        if (control->GetRECT().Intersects(area)) DrawControl(control.get(), area);
    drawing_ = false;
    clip_ = IRECT(0, 0, width_, height_);
    DrawScreen(area);
}

bool IGraphics::OnTimer() {
    PlugScopedLock lock(plug_);
    for (const auto& control : controls_) control->OnGuiIdle();
    IRECT rect;
    if (!IsDirty(rect)) return false;
    Draw(rect);
    return true;
}

void IGraphics::Resize(int w, int h) {
    PlugScopedLock lock(plug_);
    if (w <= 0 || h <= 0 || w > kLiceMaxDimension || h > kLiceMaxDimension) return;
    width_ = w;
    height_ = h;
    mouseCapture_ = mouseOver_ = -1;
    // The surface takes the new size when it is next drawn into.
    drawBitmap_->Resize(0, 0);
    clip_ = IRECT(0, 0, w, h);
    if (plug_) plug_->ResizeGraphics(w, h);
    SetAllControlsDirty();
}

// --- Input -----------------------------------------------------------------------

int IGraphics::GetMouseControlIdx(int x, int y, bool skipBackground) const {
    for (int i = NControls() - 1; i >= (skipBackground ? 1 : 0); --i) {
        IControl* control = controls_[static_cast<std::size_t>(i)].get();
        if (!control->IsHidden() && !control->IsGrayed() && control->IsHit(x, y)) return i;
    }
    return -1;
}

void IGraphics::BeginGesture(int controlIdx) {
    EndGesture();
    IControl* control = GetControl(controlIdx);
    if (!control || control->ParamIdx() < 0 || control->BracketsOwnGestures()) return;
    gestureParam_ = control->ParamIdx();
    if (plug_) plug_->BeginHostParamEdit(gestureParam_);
}

void IGraphics::EndGesture() {
    if (gestureParam_ < 0) return;
    if (plug_) plug_->EndHostParamEdit(gestureParam_);
    gestureParam_ = -1;
}

void IGraphics::OnMouseDown(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    mouseX_ = x;
    mouseY_ = y;
    const int idx = GetMouseControlIdx(x, y);
    mouseCapture_ = idx;
    IControl* control = GetControl(idx);
    if (!control) return;
    if (mod.R && control->ParamIdx() >= 0 && plug_ && plug_->PopupHostContextMenuForParam(control->ParamIdx(), x, y)) {
        mouseCapture_ = -1;
        return;
    }
    BeginGesture(idx);
    control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    mouseX_ = x;
    mouseY_ = y;
    IControl* control = GetControl(mouseCapture_);
    mouseCapture_ = -1;
    if (control) control->OnMouseUp(x, y, mod);
    EndGesture();
}

void IGraphics::OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    mouseX_ = x;
    mouseY_ = y;
    if (IControl* control = GetControl(mouseCapture_)) control->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    mouseX_ = x;
    mouseY_ = y;
    // The system's double click replaces the second button press, which
    // comes after the first press was released: capture like a press.
    if (mouseCapture_ < 0) {
        mouseCapture_ = GetMouseControlIdx(x, y);
        BeginGesture(mouseCapture_);
    }
    if (IControl* control = GetControl(mouseCapture_)) control->OnMouseDblClick(x, y, mod);
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseMod& mod, double d) {
    PlugScopedLock lock(plug_);
    const int idx = GetMouseControlIdx(x, y);
    IControl* control = GetControl(idx);
    if (!control) return;
    const bool inGesture = gestureParam_ >= 0;
    if (!inGesture) BeginGesture(idx);
    control->OnMouseWheel(x, y, mod, d);
    if (!inGesture) EndGesture();
}

bool IGraphics::OnMouseOver(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    mouseX_ = x;
    mouseY_ = y;
    if (!handleMouseOver_) return false;
    const int idx = GetMouseControlIdx(x, y);
    if (mouseOver_ >= 0 && mouseOver_ != idx)
        if (IControl* old = GetControl(mouseOver_)) old->OnMouseOut();
    mouseOver_ = idx;
    if (IControl* control = GetControl(idx)) control->OnMouseOver(x, y, mod);
    return true;
}

void IGraphics::OnMouseOut() {
    PlugScopedLock lock(plug_);
    if (IControl* control = GetControl(mouseOver_)) control->OnMouseOut();
    mouseOver_ = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
    PlugScopedLock lock(plug_);
    int idx = mouseCapture_;
    if (idx < 0) idx = GetMouseControlIdx(x, y, true);
    if (idx < 0) idx = keyHandler_;
    IControl* control = GetControl(idx);
    return control && control->OnKeyDown(x, y, key);
}

void IGraphics::ReleaseMouseCapture() {
    PlugScopedLock lock(plug_);
    mouseCapture_ = -1;
    EndGesture();
}

// --- Text entry ---------------------------------------------------------------

void IGraphics::PromptUserInput(IControl* control) {
    if (!control || textEntry_.control_) return;
    const int paramIdx = control->ParamIdx();
    char text[256] = "";
    if (paramIdx >= 0 && plug_) plug_->GetParamText(paramIdx, text, sizeof text);
    CreateTextEntry(control, control->GetText(), control->GetRECT(), text, paramIdx);
}

void IGraphics::CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                                int paramIdx) {
    if (!control || textEntry_.control_) return;
    textEntry_.control_ = control;
    textEntry_.paramIdx_ = paramIdx;
    textEntry_.rect_ = rect;
    textEntry_.text_ = text;
    textEntry_.initial_ = str ? str : "";
}

void IGraphics::CommitTextEntry(const char* text) {
    PlugScopedLock lock(plug_);
    IControl* control = textEntry_.control_;
    const int paramIdx = textEntry_.paramIdx_;
    textEntry_ = TextEntryRequest();
    if (!control) return;
    if (!text) text = "";
    if (paramIdx >= 0) {
        double normalized = 0.0;
        if (!plug_ || !plug_->ParamFromText(paramIdx, text, &normalized)) return;
        if (plug_) plug_->BeginHostParamEdit(paramIdx);
        control->SetValueFromUserInput(normalized);
        if (plug_) plug_->EndHostParamEdit(paramIdx);
    } else {
        control->TextFromTextEntry(text);
    }
}

void IGraphics::CancelTextEntry() {
    PlugScopedLock lock(plug_);
    textEntry_ = TextEntryRequest();
}

// --- Drawing helpers -----------------------------------------------------------

int IGraphics::FrameOffset(const IBitmap& bitmap, int frame) {
    if (bitmap.N < 2 || frame < 2) return 0;
    const int extent = bitmap.framesAreHorizontal_ ? bitmap.W : bitmap.H;
    return static_cast<int>(static_cast<double>(extent) * (frame - 1) / bitmap.N + 0.5);
}

bool IGraphics::DrawBitmap(const IBitmap& bitmap, const IRECT& rect, int srcX, int srcY, const IChannelBlend* blend) {
    if (!bitmap.data_) return false;
    const IRECT area = rect.Intersect(clip_);
    if (area.Empty()) return true;
    const IChannelBlend plain;
    if (!blend) blend = &plain;
    LICE_Blit(GetDrawBitmap(), bitmap.data_, area.L, area.T, srcX + (area.L - rect.L), srcY + (area.T - rect.T),
              area.W(), area.H(), blend->weight_, LICE_ModeForBlend(blend->method_));
    return true;
}

bool IGraphics::DrawBitmapFrame(const IBitmap& bitmap, const IRECT& rect, int frame, const IChannelBlend* blend) {
    const int offset = FrameOffset(bitmap, frame);
    return bitmap.framesAreHorizontal_ ? DrawBitmap(bitmap, rect, offset, 0, blend)
                                       : DrawBitmap(bitmap, rect, 0, offset, blend);
}

void IGraphics::FillIRect(const IColor& color, const IRECT& rect, const IChannelBlend* blend) {
    const IRECT area = rect.Intersect(clip_);
    if (area.Empty()) return;
    const float weight = blend ? blend->weight_ : 1.0f;
    const int mode = LICE_ModeForBlend(blend ? blend->method_ : IChannelBlend::kBlendNone);
    LICE_FillRect(GetDrawBitmap(), area.L, area.T, area.W(), area.H(), LICE_ColorFrom(color), weight, mode);
}

void IGraphics::DrawLine(const IColor& color, int x1, int y1, int x2, int y2, const IChannelBlend* blend,
                         bool antialias) {
    // Lines are clipped by drawing into a view limited to the clip rectangle.
    class ClipView : public LICE_IBitmap {
    public:
        ClipView(LICE_IBitmap* base, const IRECT& clip) : base_(base), clip_(clip) {}
        LICE_pixel* GetBits() override {
            return base_->GetBits() + static_cast<std::ptrdiff_t>(clip_.T) * base_->GetRowSpan() + clip_.L;
        }
        int GetWidth() const override { return clip_.W(); }
        int GetHeight() const override { return clip_.H(); }
        int GetRowSpan() const override { return base_->GetRowSpan(); }
        bool Resize(int, int) override { return false; }

    private:
        LICE_IBitmap* base_;
        IRECT clip_;
    };
    const IRECT area = clip_.Intersect(IRECT(0, 0, width_, height_));
    LICE_SysBitmap* surface = GetDrawBitmap();
    if (area.Empty() || !surface->GetBits()) return;
    ClipView view(surface, area);
    const float weight = blend ? blend->weight_ : 1.0f;
    const int mode = LICE_ModeForBlend(blend ? blend->method_ : IChannelBlend::kBlendNone);
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
    for (const auto& entry : fonts_)
        if (entry->size == text.size_ && entry->style == text.style_ &&
            std::strncmp(entry->face, text.font_, IText::kFaceMax) == 0)
            return &entry->font;
    auto entry = std::make_unique<FontEntry>();
    entry->size = text.size_;
    entry->style = text.style_;
    std::memcpy(entry->face, text.font_, IText::kFaceMax);
    entry->face[IText::kFaceMax - 1] = '\0';
    entry->font.SetFromFace(entry->face, text.size_, text.style_ == IText::kStyleBold,
                            text.style_ == IText::kStyleItalic);
    fonts_.push_back(std::move(entry));
    return &fonts_.back()->font;
}

namespace {

int AlignFlags(const IText& text) {
    const int horizontal = text.align_ == IText::kAlignNear  ? LICE_DT_LEFT
                           : text.align_ == IText::kAlignFar ? LICE_DT_RIGHT
                                                             : LICE_DT_CENTER;
    return horizontal | LICE_DT_VCENTER | LICE_DT_SINGLELINE;
}

}  // namespace

bool IGraphics::DrawText(const IText& text, const char* str, const IRECT& rect) {
    if (!str || !*str) return true;
    LICE_CachedFont* font = CacheFont(text);
    if (font->GetLineHeight() <= 0) return false;
    font->SetTextColor(LICE_ColorFrom(text.color_));
    font->SetClipRect(&clip_);
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
