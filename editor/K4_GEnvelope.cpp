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
    : IControl(plug, rect, paramIdx), mKind(kind) {
    AddPoint(0.0, 1.0, 0);
    AddPoint(1.0, 0.0, 0);
    // Each segment has at most width + 1 samples.
    const std::size_t capacity = 2 * static_cast<std::size_t>(std::max(Width(), 0) + 1);
    mSampleX.resize(capacity);
    mSampleH.resize(capacity);
}

int K4_GEnvelope::AddPoint(double x, double y, int shape) {
    if (mPointCount >= kMaxPoints) return -1;
    mPoints[static_cast<std::size_t>(mPointCount)] = Point{x, y, shape, true};
    return mPointCount++;
}

// --- Setters ------------------------------------------------------------------
//
// The setters only redraw. A push of the control's own parameter from here
// would tell the host that the user touched it at every kit load, sound
// change and automated envelope value; only edits push (see SetDirty).

void K4_GEnvelope::SetAttack(double fraction) {
    if (fraction == mPoints[0].x) return;
    mPoints[0].x = fraction;
    SetDirty(false);
}

void K4_GEnvelope::SetRelease(double fraction) {
    if (fraction == mPoints[1].x) return;
    mPoints[1].x = fraction;
    SetDirty(false);
}

void K4_GEnvelope::SetAttackShape(int index) {
    if (index == mAttackShape) return;
    mAttackShape = index;
    SetDirty(false);
}

void K4_GEnvelope::SetReleaseShape(int index) {
    if (index == mReleaseShape) return;
    mReleaseShape = index;
    SetDirty(false);
}

void K4_GEnvelope::SetDepth(double value) {
    if (value == mDepth) return;
    mDepth = value;
    SetDirty(false);
}

void K4_GEnvelope::SetModulationShapes(int flag) {
    mModulationShapes = flag ? 1 : 0;
    SetDirty(false);
}

void K4_GEnvelope::SetAttackShapeSelectors(const SelectorTable& table) { mAttackShapeSelectors = table; }
void K4_GEnvelope::SetReleaseShapeSelectors(const SelectorTable& table) { mReleaseShapeSelectors = table; }

void K4_GEnvelope::SetValueFromPlug(double value) {
    if (mDefaultValue < 0.0) mDefaultValue = value;
    if (value == mValue) return;
    mValue = value;
    SetDirty(false);
}

// The control's own parameter only carries edits to the dispatch, so any
// value it holds will do: the check is against the normalised range the
// value lives in. (Against the parameter's plain range, whose minimum is 0.1
// for some of them, a value in the lowest tenth would silence every edit.)
void K4_GEnvelope::SetDirty(bool pushParamToPlug) {
    mDirty = 1;
    if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
    if (!(mValue >= 0.0 && mValue <= 1.0)) return;
    mPlug->SetParameterFromEditor(mParamIdx, mValue);
}

// --- Geometry -------------------------------------------------------------------

int K4_GEnvelope::AttackPixels() const { return static_cast<int>(Width() * pixelFraction(mPoints[0].x)); }
int K4_GEnvelope::ReleasePixels() const { return static_cast<int>(Width() * pixelFraction(mPoints[1].x)); }
int K4_GEnvelope::Split() const {
    return mRECT.L + static_cast<int>((Width() - kHandleSize) * pixelFraction(mPoints[0].x));
}

int K4_GEnvelope::HandleAt(int x) const {
    const int tolerance = kHandleSize / 2;
    const int p0 = mRECT.L + AttackPixels();
    const int p1 = p0 + ReleasePixels();
    int handle = -1;
    if (x >= p0 - tolerance && x <= p0 + tolerance) handle = 0;
    if (x >= p1 - tolerance && x <= p1 + tolerance) handle = 1;
    return handle;
}

int K4_GEnvelope::SegmentAt(int x) const {
    const int tolerance = kHandleSize / 2;
    const int p0 = mRECT.L + AttackPixels();
    const int p1 = p0 + ReleasePixels();
    if (x > mRECT.L && x < p0 - tolerance) return 0;
    if (x > p0 + tolerance && x < p1 - tolerance) return 1;
    return -1;
}

void K4_GEnvelope::MoveHandle(int which, int px, int /*py*/) {
    if (which < 0 || which > 1 || Width() <= 0) return;
    // The other boundary's integer part: 1 only when it is exactly 1.0, so
    // a full attack still leaves the release one pixel.
    const int least = static_cast<int>(pixelFraction(mPoints[which == 0 ? 1 : 0].x));
    px = std::max(std::min(px, Width()), least);
    mPoints[static_cast<std::size_t>(which)].x = static_cast<double>(px) / Width();
    mChanged = true;
}

// --- Mouse ----------------------------------------------------------------------

void K4_GEnvelope::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.R) {
        if (mSound < 0 || mSound >= layout::kSoundCount || mKind < 0) return;
        const SelectorTable& table = x > Split() ? mReleaseShapeSelectors : mAttackShapeSelectors;
        if (IPopupControl* selector = table[static_cast<std::size_t>(mSound)]) selector->OnMouseUp(x, y, mod);
        return;
    }
    mDragHandle = HandleAt(x);
    SetDirty(true);
}

void K4_GEnvelope::OnMouseDrag(int x, int y, int /*dX*/, int dY, const IMouseMod& /*mod*/) {
    if (Width() <= 0 || Height() <= 0) return;
    x = std::clamp(x, mRECT.L, mRECT.L + Width() - 1);
    if (mDragHandle == -1) {
        // Not limited here: the depth parameter keeps its own range.
        mDepth -= static_cast<double>(dY) / (2.0 * Height());
        mChanged = true;
    } else {
        const int offset =
            mDragHandle == 1 ? static_cast<int>((Width() - kHandleSize) * pixelFraction(mPoints[0].x)) : 0;
        MoveHandle(mDragHandle, x - mRECT.L - offset, y - mRECT.T);
    }
    SetDirty(true);
}

void K4_GEnvelope::OnMouseUp(int x, int y, const IMouseMod& mod) {
    if (!mod.L) return;
    // The release position counts as the drag's last move.
    OnMouseDrag(x, y, 0, 0, mod);
    mDragHandle = -1;
}

// A wheel step moves the boundary on the side of the split and is an edit
// like a drag: it reaches the sound's parameters (and the host).
void K4_GEnvelope::OnMouseWheel(int x, int /*y*/, const IMouseMod& /*mod*/, double d) {
    Point& point = mPoints[x > Split() ? 1 : 0];
    if (d >= 0.0) {
        point.x = std::min(point.x + kWheelStep, 1.0);
    } else {
        point.x = std::max(point.x - kWheelStep, 0.0);
    }
    mChanged = true;
    SetDirty(true);
}

void K4_GEnvelope::OnMouseOver(int x, int y, const IMouseMod& /*mod*/) {
    const int handle = HandleAt(x);
    const int segment = SegmentAt(x);
    if (handle != mHoverHandle || segment != mHoverSegment) {
        mHoverHandle = handle;
        mHoverSegment = segment;
        SetDirty(false);
    }
    if (mPlug && mParamIdx >= 0) mPlug->ShowParamInfo(mParamIdx, x, y);
}

void K4_GEnvelope::OnMouseOut() {
    mHoverHandle = mHoverSegment = -1;
    SetDirty(false);
    if (mPlug) mPlug->ClearParamInfo();
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
    const int capacity = static_cast<int>(mSampleX.size());
    for (int i = 0; i <= pixels && count < capacity; ++i) {
        const double level = i == pixels ? finalLevel : shape.evaluateForDisplay(100.0 * i / pixels);
        double h = H * level * mDepth;
        if (!(h == h)) h = 0.0;
        mSampleX[static_cast<std::size_t>(count)] = x0 + i;
        // Heights beyond twice the rectangle are drawn clipped anyway.
        mSampleH[static_cast<std::size_t>(count)] = static_cast<int>(std::clamp(h, -2.0 * H, 2.0 * H));
        ++count;
    }
    return count;
}

void K4_GEnvelope::DrawCurve(IGraphics* graphics) {
    const int L = mRECT.L, T = mRECT.T, W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    const int A = AttackPixels(), R = ReleasePixels();
    const int right = L + W - 1;  // the last column inside the rectangle
    const int bottom = T + H - 1;
    const int mid = T + static_cast<int>(H * 0.5);
    auto clampY = [T, bottom](int y) { return std::clamp(y, T, bottom); };

    if (mModulationShapes) {
        mAttackDisplay.setAttackShapeModulation(mAttackShape);
    } else {
        mAttackDisplay.setAttackShapeVolume(mAttackShape);
    }
    mReleaseDisplay.setReleaseShape(mReleaseShape);
    int count = SampleSegment(mAttackDisplay, L, A, 0);
    count = SampleSegment(mReleaseDisplay, L + A, R, count);
    // Drawing stops at the first sample right of the rectangle.
    int shown = 0;
    while (shown < count && mSampleX[static_cast<std::size_t>(shown)] <= right) ++shown;

    if (mModulationShapes == 0) {
        // Volume: a bar per sample, mirrored about the middle line.
        const IChannelBlend dodge(IChannelBlend::kBlendColorDodge, 0.35f);
        for (int i = 0; i < shown; ++i) {
            const int x = mSampleX[static_cast<std::size_t>(i)];
            const int h = mSampleH[static_cast<std::size_t>(i)];
            graphics->DrawLine(kVolumeColor, x, clampY(mid + h / 2), x, clampY(mid - h / 2), &dodge, false);
        }
    } else {
        // Modulation and filter: a curve above the middle line, each column
        // joining its sample to the next.
        const IChannelBlend curve(IChannelBlend::kBlendNone, 0.2f);
        for (int i = 0; i + 1 < shown; ++i) {
            const int x = mSampleX[static_cast<std::size_t>(i)];
            const int h0 = mSampleH[static_cast<std::size_t>(i)];
            const int h1 = mSampleH[static_cast<std::size_t>(i + 1)];
            graphics->DrawLine(kCurveColor, x, clampY(mid - h0 / 2), x, clampY(mid - h1 / 2), &curve, false);
        }
    }

    // Boundary bars; a full attack shows its bar in the last column.
    const IChannelBlend solid(IChannelBlend::kBlendNone, 1.0f);
    graphics->FillIRect(kCurveColor, IRECT(std::min(L + A, right), T, std::min(L + A, right) + 1, T + H), &solid);
    if (L + A + R < L + W) graphics->FillIRect(kCurveColor, IRECT(L + A + R, T, L + A + R + 1, T + H), &solid);

    const IChannelBlend faint(IChannelBlend::kBlendNone, 0.2f);
    graphics->DrawLine(COLOR_WHITE, L, mid, right, mid, &faint, true);

    if (mHoverHandle >= 0 && mHoverHandle < mPointCount) {
        int X = 0;
        for (int k = 0; k <= mHoverHandle; ++k)
            X += static_cast<int>(W * pixelFraction(mPoints[static_cast<std::size_t>(k)].x));
        graphics->FillIRect(kCurveColor, IRECT(L + std::max(X - 5, 0), T, L + std::min(X + 5, W), T + H), &faint);
    }
    if (mHoverSegment >= 0 && mHoverSegment < mPointCount) {
        int S = 0;
        for (int k = 0; k < mHoverSegment; ++k)
            S += static_cast<int>(W * pixelFraction(mPoints[static_cast<std::size_t>(k)].x));
        const int E = S + static_cast<int>(W * pixelFraction(mPoints[static_cast<std::size_t>(mHoverSegment)].x));
        const IChannelBlend fainter(IChannelBlend::kBlendNone, 0.1f);
        graphics->FillIRect(kCurveColor, IRECT(L + std::min(S, W), T, L + std::min(E, W), T + H), &fainter);
    }
}

void K4_GEnvelope::DrawPoints(IGraphics* graphics) {
    constexpr int kSquare = 10;
    for (int k = 0; k < mPointCount; ++k) {
        Point& point = mPoints[static_cast<std::size_t>(k)];
        if (!point.used) continue;
        const int x = mRECT.L + static_cast<int>((Width() - kSquare) * pixelFraction(point.x));
        const int y = mRECT.T + static_cast<int>((Height() - kSquare) * (1.0 - pixelFraction(point.y)));
        IRECT& square = mPointSquares[static_cast<std::size_t>(k)];
        square = IRECT(x, y, x + kSquare, y + kSquare);
        graphics->FillIRect(COLOR_WHITE, square);
    }
}

}  // namespace kettrix
