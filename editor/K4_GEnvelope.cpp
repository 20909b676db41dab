#include "editor/K4_GEnvelope.h"

#include <algorithm>
#include <cmath>

#include "editor/IPopupControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {
namespace {

// A fraction as the control keeps it: NaN becomes 0, the rest stays within 0..1
// for pixel arithmetic (the stored value is left as given).
double pixelFraction(double f) { return f == f ? std::clamp(f, 0.0, 1.0) : 0.0; }

}  // namespace

K4_GEnvelope::K4_GEnvelope(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, int kind)
    : IControl(plug, rect, paramIdx), kind_(kind) {
    AddPoint(0.0, 1.0, 0);
    AddPoint(1.0, 0.0, 0);
    // Each segment has at most width + 1 samples.
    const std::size_t capacity = 2 * static_cast<std::size_t>(std::max(Width(), 0) + 1);
    sampleX_.resize(capacity);
    sampleH_.resize(capacity);
}

int K4_GEnvelope::AddPoint(double x, double y, int shape) {
    if (pointCount_ >= kMaxPoints) return -1;
    points_[static_cast<std::size_t>(pointCount_)] = Point{x, y, shape, true};
    return pointCount_++;
}

// --- Setters ------------------------------------------------------------------
//
// The setters only redraw. A push of the control's own parameter from here
// would tell the host that the user touched it at every kit load, sound
// change and automated envelope value; only edits push (see SetDirty).

void K4_GEnvelope::SetAttack(double fraction) {
    if (fraction == points_[0].x) return;
    points_[0].x = fraction;
    SetDirty(false);
}

void K4_GEnvelope::SetRelease(double fraction) {
    if (fraction == points_[1].x) return;
    points_[1].x = fraction;
    SetDirty(false);
}

void K4_GEnvelope::SetAttackShape(int index) {
    if (index == attackShape_) return;
    attackShape_ = index;
    SetDirty(false);
}

void K4_GEnvelope::SetReleaseShape(int index) {
    if (index == releaseShape_) return;
    releaseShape_ = index;
    SetDirty(false);
}

void K4_GEnvelope::SetDepth(double value) {
    if (value == depth_) return;
    depth_ = value;
    SetDirty(false);
}

void K4_GEnvelope::SetModulationShapes(int flag) {
    modulationShapes_ = flag ? 1 : 0;
    SetDirty(false);
}

void K4_GEnvelope::SetAttackShapeSelectors(const SelectorTable& table) { attackShapeSelectors_ = table; }
void K4_GEnvelope::SetReleaseShapeSelectors(const SelectorTable& table) { releaseShapeSelectors_ = table; }

void K4_GEnvelope::SetValueFromPlug(double value) {
    if (defaultValue_ < 0.0) defaultValue_ = value;
    if (value == value_) return;
    value_ = value;
    SetDirty(false);
}

// The control's own parameter only carries edits to the dispatch, so any
// value it holds will do: the check is against the normalised range the
// value lives in. (Against the parameter's plain range, whose minimum is 0.1
// for some of them, a value in the lowest tenth would silence every edit.)
void K4_GEnvelope::SetDirty(bool pushParamToPlug) {
    dirty_ = 1;
    if (!pushParamToPlug || !plug_ || paramIdx_ < 0) return;
    if (!(value_ >= 0.0 && value_ <= 1.0)) return;
    plug_->SetParameterFromEditor(paramIdx_, value_);
}

// --- Geometry -------------------------------------------------------------------

int K4_GEnvelope::AttackPixels() const { return static_cast<int>(Width() * pixelFraction(points_[0].x)); }
int K4_GEnvelope::ReleasePixels() const { return static_cast<int>(Width() * pixelFraction(points_[1].x)); }
int K4_GEnvelope::Split() const {
    return rect_.L + static_cast<int>((Width() - kHandleSize) * pixelFraction(points_[0].x));
}

int K4_GEnvelope::AttackMenuEdge() const {
    const int attack = AttackPixels();
    return rect_.L + attack + (attack < kShortAttackReach ? kShortAttackReach : 0);
}

int K4_GEnvelope::HandleAt(int x) const {
    const int tolerance = kHandleSize / 2;
    const int p0 = rect_.L + AttackPixels();
    const int p1 = p0 + ReleasePixels();
    int handle = -1;
    if (x >= p0 - tolerance && x <= p0 + tolerance) handle = 0;
    if (x >= p1 - tolerance && x <= p1 + tolerance) handle = 1;
    return handle;
}

int K4_GEnvelope::SegmentAt(int x) const {
    const int tolerance = kHandleSize / 2;
    const int p0 = rect_.L + AttackPixels();
    const int p1 = p0 + ReleasePixels();
    if (x > rect_.L && x < p0 - tolerance) return 0;
    if (x > p0 + tolerance && x < p1 - tolerance) return 1;
    return -1;
}

void K4_GEnvelope::MoveHandle(int which, int px, int /*py*/) {
    if (which < 0 || which > 1 || Width() <= 0) return;
    // The other boundary's integer part: 1 only when it is exactly 1.0, so
    // a full attack still leaves the release one pixel.
    const int least = static_cast<int>(pixelFraction(points_[which == 0 ? 1 : 0].x));
    px = std::max(std::min(px, Width()), least);
    points_[static_cast<std::size_t>(which)].x = static_cast<double>(px) / Width();
    changed_ = true;
}

// --- Mouse ----------------------------------------------------------------------

void K4_GEnvelope::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.R) {
        if (sound_ < 0 || sound_ >= layout::kSoundCount || kind_ < 0) return;
        const SelectorTable& table = x > AttackMenuEdge() ? releaseShapeSelectors_ : attackShapeSelectors_;
        if (IPopupControl* selector = table[static_cast<std::size_t>(sound_)]) selector->OnMouseUp(x, y, mod);
        return;
    }
    dragHandle_ = HandleAt(x);
    pressX_ = x;
    pressY_ = y;
    moved_ = false;
    SetDirty(true);
}

void K4_GEnvelope::OnMouseDrag(int x, int y, int /*dX*/, int dY, const IMouseMod& /*mod*/) {
    if (Width() <= 0 || Height() <= 0) return;
    if (x != pressX_ || y != pressY_) moved_ = true;
    if (!moved_) return;
    x = std::clamp(x, rect_.L, rect_.L + Width() - 1);
    if (dragHandle_ == -1) {
        // Not limited here: the depth parameter keeps its own range.
        depth_ -= static_cast<double>(dY) / (2.0 * Height());
        changed_ = true;
    } else {
        // The release boundary is drawn after the attack's pixels.
        const int offset = dragHandle_ == 1 ? AttackPixels() : 0;
        MoveHandle(dragHandle_, x - rect_.L - offset, y - rect_.T);
    }
    SetDirty(true);
}

void K4_GEnvelope::OnMouseUp(int x, int y, const IMouseMod& mod) {
    if (!mod.L) return;
    // The release position counts as the drag's last move.
    OnMouseDrag(x, y, 0, 0, mod);
    dragHandle_ = -1;
}

// A wheel step moves the boundary on the side of the split and is an edit
// like a drag: it reaches the sound's parameters (and the host).
void K4_GEnvelope::OnMouseWheel(int x, int /*y*/, const IMouseMod& /*mod*/, double d) {
    Point& point = points_[x > Split() ? 1 : 0];
    if (d >= 0.0) {
        point.x = std::min(point.x + kWheelStep, 1.0);
    } else {
        point.x = std::max(point.x - kWheelStep, 0.0);
    }
    changed_ = true;
    SetDirty(true);
}

void K4_GEnvelope::OnMouseOver(int x, int y, const IMouseMod& /*mod*/) {
    const int handle = HandleAt(x);
    const int segment = SegmentAt(x);
    if (handle != hoverHandle_ || segment != hoverSegment_) {
        hoverHandle_ = handle;
        hoverSegment_ = segment;
        SetDirty(false);
    }
    if (plug_ && paramIdx_ >= 0) plug_->ShowParamInfo(paramIdx_, x, y);
}

void K4_GEnvelope::OnMouseOut() {
    hoverHandle_ = hoverSegment_ = -1;
    SetDirty(false);
    if (plug_) plug_->ClearParamInfo();
}

// --- Drawing --------------------------------------------------------------------

bool K4_GEnvelope::Draw(IGraphics* graphics) {
    DrawCurve(graphics);
    return true;
}

int K4_GEnvelope::SampleSegment(engine::Envelope& shape, int x0, int pixels, int count) {
    if (pixels <= 0) return count;
    const int H = Height();
    shape.startSegment(0);
    // The shape's time axis ends at 1, which the evaluator places in no
    // segment (it answers 0 there): the last column takes the shape's final
    // level instead, as the sound stands on it.
    const double finalLevel = shape.points[shape.lastIndex >= 0 ? shape.lastIndex : 0].level;
    const int capacity = static_cast<int>(sampleX_.size());
    for (int i = 0; i <= pixels && count < capacity; ++i) {
        const double level = i == pixels ? finalLevel : shape.evaluateForDisplay(100.0 * i / pixels);
        double h = H * level * depth_;
        if (!(h == h)) h = 0.0;
        sampleX_[static_cast<std::size_t>(count)] = x0 + i;
        // Heights beyond twice the rectangle are drawn clipped anyway.
        sampleH_[static_cast<std::size_t>(count)] = static_cast<int>(std::clamp(h, -2.0 * H, 2.0 * H));
        ++count;
    }
    return count;
}

void K4_GEnvelope::DrawCurve(IGraphics* graphics) {
    const int L = rect_.L, T = rect_.T, W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    const int A = AttackPixels(), R = ReleasePixels();
    const int right = L + W - 1;  // the last column inside the rectangle
    const int bottom = T + H - 1;
    const int mid = T + static_cast<int>(H * 0.5);
    auto clampY = [T, bottom](int y) { return std::clamp(y, T, bottom); };

    if (modulationShapes_) {
        attackDisplay_.setAttackShapeModulation(attackShape_);
    } else {
        attackDisplay_.setAttackShapeVolume(attackShape_);
    }
    releaseDisplay_.setReleaseShape(releaseShape_);
    int count = SampleSegment(attackDisplay_, L, A, 0);
    count = SampleSegment(releaseDisplay_, L + A, R, count);
    // Drawing stops at the first sample right of the rectangle.
    int shown = 0;
    while (shown < count && sampleX_[static_cast<std::size_t>(shown)] <= right) ++shown;

    if (modulationShapes_ == 0) {
        // Volume: a bar per sample, mirrored about the middle line.
        const IChannelBlend dodge(IChannelBlend::kBlendColorDodge, 0.35f);
        for (int i = 0; i < shown; ++i) {
            const int x = sampleX_[static_cast<std::size_t>(i)];
            const int h = sampleH_[static_cast<std::size_t>(i)];
            graphics->DrawLine(kVolumeColor, x, clampY(mid + h / 2), x, clampY(mid - h / 2), &dodge, false);
        }
    } else {
        // Modulation and filter: a curve above the middle line, each column
        // joining its sample to the next.
        const IChannelBlend curve(IChannelBlend::kBlendNone, 0.2f);
        for (int i = 0; i + 1 < shown; ++i) {
            const int x = sampleX_[static_cast<std::size_t>(i)];
            const int h0 = sampleH_[static_cast<std::size_t>(i)];
            const int h1 = sampleH_[static_cast<std::size_t>(i + 1)];
            graphics->DrawLine(kCurveColor, x, clampY(mid - h0 / 2), x, clampY(mid - h1 / 2), &curve, false);
        }
    }

    // Boundary bars; a full attack shows its bar in the last column.
    const IChannelBlend solid(IChannelBlend::kBlendNone, 1.0f);
    graphics->FillIRect(kCurveColor, IRECT(std::min(L + A, right), T, std::min(L + A, right) + 1, T + H), &solid);
    if (L + A + R < L + W) graphics->FillIRect(kCurveColor, IRECT(L + A + R, T, L + A + R + 1, T + H), &solid);

    const IChannelBlend faint(IChannelBlend::kBlendNone, 0.2f);
    graphics->DrawLine(COLOR_WHITE, L, mid, right, mid, &faint, true);

    if (hoverHandle_ >= 0 && hoverHandle_ < pointCount_) {
        int X = 0;
        for (int k = 0; k <= hoverHandle_; ++k)
            X += static_cast<int>(W * pixelFraction(points_[static_cast<std::size_t>(k)].x));
        graphics->FillIRect(kCurveColor, IRECT(L + std::max(X - 5, 0), T, L + std::min(X + 5, W), T + H), &faint);
    }
    if (hoverSegment_ >= 0 && hoverSegment_ < pointCount_) {
        int S = 0;
        for (int k = 0; k < hoverSegment_; ++k)
            S += static_cast<int>(W * pixelFraction(points_[static_cast<std::size_t>(k)].x));
        const int E = S + static_cast<int>(W * pixelFraction(points_[static_cast<std::size_t>(hoverSegment_)].x));
        const IChannelBlend fainter(IChannelBlend::kBlendNone, 0.1f);
        graphics->FillIRect(kCurveColor, IRECT(L + std::min(S, W), T, L + std::min(E, W), T + H), &fainter);
    }
}

void K4_GEnvelope::DrawPoints(IGraphics* graphics) {
    constexpr int kSquare = 10;
    for (int k = 0; k < pointCount_; ++k) {
        Point& point = points_[static_cast<std::size_t>(k)];
        if (!point.used) continue;
        const int x = rect_.L + static_cast<int>((Width() - kSquare) * pixelFraction(point.x));
        const int y = rect_.T + static_cast<int>((Height() - kSquare) * (1.0 - pixelFraction(point.y)));
        IRECT& square = pointSquares_[static_cast<std::size_t>(k)];
        square = IRECT(x, y, x + kSquare, y + kSquare);
        graphics->FillIRect(COLOR_WHITE, square);
    }
}

}  // namespace kettrix
