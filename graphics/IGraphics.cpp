// The graphics object: controls, the redraw pass, event dispatch and the
// value traffic between controls and parameters.
#include "IGraphics.h"

#include <algorithm>
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
    const int w = WindowWidth(), h = WindowHeight();
    if (drawBitmap_->GetWidth() != w || drawBitmap_->GetHeight() != h) drawBitmap_->Resize(w, h);
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
    return IBitmap(data, data->GetWidth(), data->GetHeight(), frames, framesAreHorizontal, id);
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
    DrawScreen(ToWindow(rect));
}

void IGraphics::Redraw(const IRECT& rect) {
    PlugScopedLock lock(plug_);
    const IRECT area = LogicalCover(rect).Intersect(IRECT(0, 0, width_, height_));
    if (area.Empty()) return;
    drawing_ = true;
    for (const auto& control : controls_)
        if (control->GetRECT().Intersects(area)) DrawControl(control.get(), area);
    drawing_ = false;
    clip_ = IRECT(0, 0, width_, height_);
    DrawScreen(ToWindow(area));
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
    if (w <= 0 || h <= 0 || !LICE_SizeAllowed(zoom::ToPhysical(w, zoom_), zoom::ToPhysical(h, zoom_))) return;
    width_ = w;
    height_ = h;
    mouseCapture_ = mouseOver_ = -1;
    // The surface takes the new size when it is next drawn into.
    drawBitmap_->Resize(0, 0);
    clip_ = IRECT(0, 0, w, h);
    if (plug_) plug_->ResizeGraphics(WindowWidth(), WindowHeight());
    SetAllControlsDirty();
}

// --- Zoom --------------------------------------------------------------------------

bool IGraphics::SetZoom(int percent) {
    if (!zoom::IsOffered(percent)) return false;
    PlugScopedLock lock(plug_);
    zoomChosen_ = true;
    if (percent == zoom_) return true;
    zoom_ = percent;
    mouseCapture_ = mouseOver_ = -1;
    EndGesture();
    // Fonts are cached at their window size; the surface is made again at
    // the new window size when next drawn into.
    fonts_.clear();
    drawBitmap_->Resize(0, 0);
    OnZoomChanged();
    if (plug_) plug_->ResizeGraphics(WindowWidth(), WindowHeight());
    SetAllControlsDirty();
    return true;
}

void IGraphics::ChooseFirstZoom() {
    if (!zoomChosen_) SetZoom(PreferredZoom());
}

void IGraphics::RequestZoom(int percent) {
    if (zoom::IsOffered(percent)) requestedZoom_ = percent;
}

bool IGraphics::ServiceZoomRequest() {
    const int wanted = requestedZoom_;
    requestedZoom_ = 0;
    if (wanted == 0 || wanted == zoom_) return false;
    const int old = zoom_;
    // The window takes the new size first, so a host that asks for the
    // editor's size while it resizes its own window hears the new one.
    SetZoom(wanted);
    if (plug_ && !plug_->RequestWindowSize(WindowWidth(), WindowHeight())) {
        SetZoom(old);
        return false;
    }
    RememberZoom(wanted);
    return true;
}

IRECT IGraphics::ToWindow(const IRECT& logical) const {
    if (zoom_ == zoom::kDefaultPercent) return logical;
    return IRECT(ToWindow(logical.L), ToWindow(logical.T), ToWindow(logical.R), ToWindow(logical.B));
}

IRECT IGraphics::LogicalCover(const IRECT& window) const {
    if (zoom_ == zoom::kDefaultPercent || window.Empty()) return window;
    return IRECT(ToLogical(window.L), ToLogical(window.T), ToLogical(window.R - 1) + 1, ToLogical(window.B - 1) + 1);
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
    x = ToLogical(x);
    y = ToLogical(y);
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
    x = ToLogical(x);
    y = ToLogical(y);
    mouseX_ = x;
    mouseY_ = y;
    IControl* control = GetControl(mouseCapture_);
    mouseCapture_ = -1;
    if (control) control->OnMouseUp(x, y, mod);
    EndGesture();
}

void IGraphics::OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    // The move in logical pixels: between the logical pixels under the
    // pointer before and after, so drags gear per logical pixel at any zoom.
    dX = ToLogical(x) - ToLogical(x - dX);
    dY = ToLogical(y) - ToLogical(y - dY);
    x = ToLogical(x);
    y = ToLogical(y);
    mouseX_ = x;
    mouseY_ = y;
    if (IControl* control = GetControl(mouseCapture_)) control->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    PlugScopedLock lock(plug_);
    x = ToLogical(x);
    y = ToLogical(y);
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
    x = ToLogical(x);
    y = ToLogical(y);
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
    x = ToLogical(x);
    y = ToLogical(y);
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
    x = ToLogical(x);
    y = ToLogical(y);
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

int IGraphics::ZoomedSourceOffset(int logicalOffset, int logicalFrameExtent, int zoomedFrameExtent) const {
    if (logicalFrameExtent <= 0 || logicalOffset < 0) return ToWindow(logicalOffset);
    const int frames = logicalOffset / logicalFrameExtent;
    return frames * zoomedFrameExtent + ToWindow(logicalOffset - frames * logicalFrameExtent);
}

bool IGraphics::DrawBitmap(const IBitmap& bitmap, const IRECT& rect, int srcX, int srcY, const IChannelBlend* blend) {
    if (!bitmap.data_) return false;
    const IChannelBlend plain;
    if (!blend) blend = &plain;
    if (zoom_ == zoom::kDefaultPercent) {
        const IRECT area = rect.Intersect(clip_);
        if (area.Empty()) return true;
        LICE_Blit(GetDrawBitmap(), bitmap.data_, area.L, area.T, srcX + (area.L - rect.L), srcY + (area.T - rect.T),
                  area.W(), area.H(), blend->weight_, LICE_ModeForBlend(blend->method_));
        return true;
    }
    // The same image painted for the zoom: its frames lie at the zoomed
    // frame pitch, and the window rectangle of `rect` never exceeds a
    // zoomed frame (ToPhysical rounds edges up, sizes never grow by more).
    LICE_IBitmap* zoomed = LoadCachedPNG(bitmap.id_, zoom_);
    if (!zoomed) return false;
    const int n = std::max(bitmap.N, 1);
    const int zoomedFrameW = bitmap.framesAreHorizontal_ ? zoomed->GetWidth() / n : zoomed->GetWidth();
    const int zoomedFrameH = bitmap.framesAreHorizontal_ ? zoomed->GetHeight() : zoomed->GetHeight() / n;
    const IRECT dest = ToWindow(rect);
    const IRECT area = dest.Intersect(WindowClip());
    if (area.Empty()) return true;
    const int sx = ZoomedSourceOffset(srcX, bitmap.FrameWidth(), zoomedFrameW);
    const int sy = ZoomedSourceOffset(srcY, bitmap.FrameHeight(), zoomedFrameH);
    LICE_Blit(GetDrawBitmap(), zoomed, area.L, area.T, sx + (area.L - dest.L), sy + (area.T - dest.T), area.W(),
              area.H(), blend->weight_, LICE_ModeForBlend(blend->method_));
    return true;
}

bool IGraphics::DrawBitmapFrame(const IBitmap& bitmap, const IRECT& rect, int frame, const IChannelBlend* blend) {
    const int offset = FrameOffset(bitmap, frame);
    return bitmap.framesAreHorizontal_ ? DrawBitmap(bitmap, rect, offset, 0, blend)
                                       : DrawBitmap(bitmap, rect, 0, offset, blend);
}

void IGraphics::FillIRect(const IColor& color, const IRECT& rect, const IChannelBlend* blend) {
    const IRECT area = ToWindow(rect.Intersect(clip_));
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
    if (zoom_ != zoom::kDefaultPercent && (x1 == x2 || y1 == y2)) {
        // A row or column of logical pixels: their window pixels, filled.
        FillIRect(color, IRECT(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1), blend);
        return;
    }
    const IRECT area = WindowClip().Intersect(IRECT(0, 0, WindowWidth(), WindowHeight()));
    LICE_SysBitmap* surface = GetDrawBitmap();
    if (area.Empty() || !surface->GetBits()) return;
    if (zoom_ != zoom::kDefaultPercent) {
        // Any other line runs between the centres of its end pixels.
        const auto centre = [this](int logical) { return (ToWindow(logical) + ToWindow(logical + 1) - 1) / 2; };
        x1 = centre(x1);
        y1 = centre(y1);
        x2 = centre(x2);
        y2 = centre(y2);
    }
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
    // Text is rasterised at its window size: the em height zoomed, rounded.
    const int size = zoom::ScaledSize(text.size_, zoom_);
    for (const auto& entry : fonts_)
        if (entry->size == size && entry->style == text.style_ &&
            std::strncmp(entry->face, text.font_, IText::kFaceMax) == 0)
            return &entry->font;
    auto entry = std::make_unique<FontEntry>();
    entry->size = size;
    entry->style = text.style_;
    std::memcpy(entry->face, text.font_, IText::kFaceMax);
    entry->face[IText::kFaceMax - 1] = '\0';
    entry->font.SetFromFace(entry->face, size, text.style_ == IText::kStyleBold, text.style_ == IText::kStyleItalic);
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
    const IRECT clip = WindowClip();
    font->SetClipRect(&clip);
    IRECT r = ToWindow(rect);
    font->DrawText(GetDrawBitmap(), str, -1, &r, AlignFlags(text));
    font->SetClipRect(nullptr);
    return true;
}

bool IGraphics::MeasureText(const IText& text, const char* str, IRECT& rect) {
    LICE_CachedFont* font = CacheFont(text);
    if (!str || font->GetLineHeight() <= 0) return false;
    if (zoom_ == zoom::kDefaultPercent) {
        font->DrawText(nullptr, str, -1, &rect, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
        return true;
    }
    // Measured at the window size, given back in logical pixels (rounded up).
    IRECT measured(0, 0, 0, 0);
    font->DrawText(nullptr, str, -1, &measured, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
    rect.R = rect.L + zoom::ToLogicalRoundedUp(measured.W(), zoom_);
    rect.B = rect.T + zoom::ToLogicalRoundedUp(measured.H(), zoom_);
    return true;
}

}  // namespace kettrix
