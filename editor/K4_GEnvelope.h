// The graphical editor of one attack-and-release envelope of the current
// sound. It draws the envelope's shapes over its rectangle (attack from the
// left edge, release after it, both scaled by the depth) and edits them: the
// two segment boundaries are dragged sideways or stepped with the wheel, a
// drag anywhere else changes the depth, a right click on a segment opens
// that segment's shape menu.
//
// The control keeps no copy of the sound. The parameter dispatch hands it
// the sound's attack, release, depth and shape values through the setters;
// an edit marks the control `changed` and pushes the control's own parameter,
// whose dispatch copies the boundaries and the depth back into the sound's
// parameters (see KettrixEditor) and clears the mark.
//
// Threads: mouse handlers and drawing on the editor's thread, setters inside
// the parameter dispatch; both under the plug-in lock.
#pragma once

#include <array>
#include <vector>

#include "base/ParameterLayout.h"
#include "engine/Envelope.h"
#include "graphics/IControl.h"

namespace kettrix {

class IPopupControl;

class K4_GEnvelope : public IControl {
public:
    static constexpr int kMaxPoints = 16;
    // Tolerance of the boundary hit test and margin of the right-click split.
    static constexpr int kHandleSize = 10;
    static constexpr double kWheelStep = 0.005;
    // A right click this close right of a short attack's boundary still
    // opens the attack-shape menu (an attack of 0 has no segment to click).
    static constexpr int kShortAttackReach = 6;
    // The display shapes are built for this rate; only their shape matters.
    static constexpr double kDisplayRate = 44100.0;

    static constexpr IColor kCurveColor{255, 112, 179, 221};
    static constexpr IColor kVolumeColor{255, 255, 255, 175};

    // One hidden shape selector per sound.
    using SelectorTable = std::array<IPopupControl*, layout::kSoundCount>;

    struct Point {
        double x = 0.0;  // fraction of the width (the sound's attack or release value)
        double y = 0.0;
        int shape = 0;
        bool used = false;
    };

    K4_GEnvelope(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, int kind);

    // --- Virtual operations added to IControl's, in slot order ---------------
    // Stores the next point, marks it used; its index, -1 when all are used.
    virtual int AddPoint(double x, double y, int shape);
    // Setters from the parameter dispatch: each stores a differing value
    // and redraws (pushing the control's own parameter).
    virtual void SetAttack(double fraction);
    virtual void SetAttackShape(int index);
    virtual void SetRelease(double fraction);
    virtual void SetReleaseShape(int index);
    virtual void SetDepth(double value);
    // Moves boundary `which` to pixel `px` from the left edge, limited to the
    // width and to at least the integer part of the other boundary's fraction.
    virtual void MoveHandle(int which, int px, int py);
    virtual void SetModulationShapes(int flag);
    virtual void SetAttackShapeSelectors(const SelectorTable& table);
    virtual void SetReleaseShapeSelectors(const SelectorTable& table);
    virtual void DrawCurve(IGraphics* graphics);
    // A 10 x 10 square at each used point (not part of Draw).
    virtual void DrawPoints(IGraphics* graphics);

    // --- IControl ---------------------------------------------------------------
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) override;
    void OnMouseWheel(int x, int y, const IMouseMod& mod, double d) override;
    void OnMouseOver(int x, int y, const IMouseMod& mod) override;
    void OnMouseOut() override;
    bool Draw(IGraphics* graphics) override;
    void SetValueFromPlug(double value) override;
    void SetDirty(bool pushParamToPlug = true) override;

    // --- State ------------------------------------------------------------------
    int Kind() const { return kind_; }
    int Sound() const { return sound_; }
    void SetSound(int sound) {
        sound_ = sound;
        SetDirty(false);
    }
    double Attack() const { return points_[0].x; }
    double Release() const { return points_[1].x; }
    double Depth() const { return depth_; }
    int AttackShape() const { return attackShape_; }
    int ReleaseShape() const { return releaseShape_; }
    int ModulationShapes() const { return modulationShapes_; }
    const Point& PointAt(int index) const { return points_[static_cast<std::size_t>(index)]; }
    int PointCount() const { return pointCount_; }
    int DragHandle() const { return dragHandle_; }
    int HoverHandle() const { return hoverHandle_; }
    int HoverSegment() const { return hoverSegment_; }

    // An edit waits to be copied into the sound's parameters.
    bool Changed() const { return changed_; }
    void ClearChanged() { changed_ = false; }

    // Hit tests at an editor x: boundary 0 (attack end) or 1 (release end),
    // the release boundary winning where both are near; segment 0 or 1
    // between the boundaries' tolerances. -1 for none.
    int HandleAt(int x) const;
    int SegmentAt(int x) const;

private:
    int Width() const { return rect_.W(); }
    int Height() const { return rect_.H(); }
    // Pixel lengths of the attack and release segments.
    int AttackPixels() const;
    int ReleasePixels() const;
    // The x where a wheel step changes from the attack to the release segment.
    int Split() const;
    // The rightmost x where a right click opens the attack-shape menu.
    int AttackMenuEdge() const;
    // Samples one segment of the curve into the scratch buffers from pixel
    // `x0` over `pixels` columns; returns the new sample count.
    int SampleSegment(engine::Envelope& shape, int x0, int pixels, int count);

    int kind_;
    int sound_ = 0;
    int modulationShapes_ = 0;
    bool changed_ = false;
    int hoverHandle_ = -1;
    int hoverSegment_ = -1;
    int dragHandle_ = -1;
    // Where the left button went down, and whether the pointer has left
    // that spot since: a click without a move edits nothing.
    int pressX_ = 0, pressY_ = 0;
    bool moved_ = false;
    double depth_ = 1.0;
    std::array<Point, kMaxPoints> points_{};
    std::array<IRECT, kMaxPoints> pointSquares_{};
    int pointCount_ = 0;
    int attackShape_ = 0;
    int releaseShape_ = 0;
    SelectorTable attackShapeSelectors_{};
    SelectorTable releaseShapeSelectors_{};
    // Shapes for drawing, apart from the engine's: evaluating moves an
    // envelope's segment state. The attack and release shapes each keep an
    // envelope of their own, since a loader skips the id it loaded last.
    engine::Envelope attackDisplay_{kDisplayRate};
    engine::Envelope releaseDisplay_{kDisplayRate};
    // Scratch buffers of the curve's samples (x and height in pixels), sized
    // once for the widest curve the rectangle can show.
    std::vector<int> sampleX_;
    std::vector<int> sampleH_;
};

}  // namespace kettrix
