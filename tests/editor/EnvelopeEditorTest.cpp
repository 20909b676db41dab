// The graphical envelope editors, driven with the mouse at their pixels: the
// boundaries and the depth they edit reach the sound's parameters (and the
// sound itself), the shape menus open from their segments, and the curve is
// drawn inside its rectangle.
#include <algorithm>
#include <cmath>
#include <vector>

#include "EditorFixture.h"

namespace kettrix::test {
namespace {

using kit::soundIndex;

// The oscillator envelopes' rectangle: 403, 111 - 646, 204.
constexpr int L = 403, T = 111, W = 243, H = 93;
constexpr int kMid = T + H / 2;
// Offsets of the oscillator volume envelope.
constexpr int kAttack = 26, kRelease = 27, kAttackType = 28, kReleaseType = 29, kDepth = 30;

class EnvelopeEditor : public EditorFixture {
protected:
    EnvelopeEditor() { open(); }

    // Sets a parameter as the host does, from its plain value.
    void setPlain(int index, double value) {
        effect->setParameter(effect, index, static_cast<float>(plug().ParamAt(index)->Normalized(value)));
    }
    void setOscVolume(int s, double attack, double release, double depth = 1.0) {
        setPlain(soundIndex(s, kAttack), attack);
        setPlain(soundIndex(s, kRelease), release);
        setPlain(soundIndex(s, kDepth), depth);
    }
    K4_GEnvelope& envelope(int kind) { return *ed().EnvelopeEditor(kind); }
    void down(int x, int y) { gui().OnMouseDown(x, y, IMouseMod(true)); }
    void move(int x, int y, int dX, int dY) { gui().OnMouseDrag(x, y, dX, dY, IMouseMod(true)); }
    void up(int x, int y) { gui().OnMouseUp(x, y, IMouseMod(true)); }
    void wheel(int x, int d) { gui().OnMouseWheel(x, kMid, IMouseMod(), d); }

    // The editor's rectangle (one pixel around it too) as drawn now.
    std::vector<LICE_pixel> pixels() {
        gui().RenderAll();
        std::vector<LICE_pixel> out;
        for (int y = T - 1; y <= T + H; ++y)
            for (int x = L - 1; x <= L + W; ++x) out.push_back(gui().Pixel(x, y));
        return out;
    }
    LICE_pixel at(const std::vector<LICE_pixel>& p, int x, int y) {
        return p[static_cast<std::size_t>((y - T + 1) * (W + 2) + (x - L + 1))];
    }
    // The same area with the editor of `kind` hidden: what the curve is drawn over.
    std::vector<LICE_pixel> backdrop(int kind) {
        envelope(kind).Hide(true);
        std::vector<LICE_pixel> p = pixels();
        envelope(kind).Hide(false);
        return p;
    }
    bool automated(int index) {
        for (const HostCall& call : RecordingHost::Instance().calls)
            if (call.opcode == audioMasterAutomate && call.index == index) return true;
        return false;
    }
};

TEST_F(EnvelopeEditor, BoundaryDragsAndClicksMoveTheSoundsAttackAndRelease) {
    // Attack 0 and release 0: both boundaries at the left edge; the release
    // boundary takes the press and the drag places it.
    setOscVolume(0, 0.0, 0.0);
    gui().Drag(L + 2, kMid, L + 5, kMid);
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kRelease)), 5.0 / W);
    EXPECT_EQ(plain(soundIndex(0, kAttack)), 0.0);

    // The release boundary dragged left of the attack boundary: release 0.
    setOscVolume(0, 0.5, 0.3);  // boundaries at L + 121 and L + 121 + 72
    gui().Drag(L + 193, kMid, L + 20, kMid);
    EXPECT_EQ(plain(soundIndex(0, kRelease)), 0.0);
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kAttack)), 0.5);

    // With the attack exactly 1.0 the release keeps one pixel.
    setOscVolume(0, 1.0, 0.0);
    gui().Drag(L + W - 3, kMid, L + 10, kMid);
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kRelease)), 1.0 / W);
    EXPECT_EQ(plain(soundIndex(0, kAttack)), 1.0);

    // The attack boundary follows the pointer; the button's release is the
    // last move, and the drag ends there.
    setOscVolume(0, 0.2, 0.2);  // attack boundary at L + 48
    down(L + 48, kMid);
    move(L + 70, kMid, 22, 0);
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kAttack)), 70.0 / W);
    EXPECT_EQ(envelope(0).DragHandle(), 0);
    up(L + 80, kMid);
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kAttack)), 80.0 / W);
    EXPECT_EQ(envelope(0).DragHandle(), -1);
    move(L + 120, kMid, 40, 0);  // no button held: nothing is captured
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kAttack)), 80.0 / W);
    // The host heard of the edit like a slider move.
    EXPECT_TRUE(automated(soundIndex(0, kAttack)));
}

TEST_F(EnvelopeEditor, DraggingEmptySpaceChangesTheDepthByHalfTheMovementOverTheHeight) {
    setOscVolume(0, 0.2, 0.2, 0.5);  // boundaries at L + 48 and L + 96
    down(L + 200, 180);
    move(L + 200, 170, 0, -10);
    EXPECT_NEAR(plain(soundIndex(0, kDepth)), 0.5 + 10.0 / (2 * H), 1e-9);
    move(L + 200, 160, 0, -10);
    EXPECT_NEAR(plain(soundIndex(0, kDepth)), 0.5 + 20.0 / (2 * H), 1e-9);
    up(L + 150, 120);  // the release is a move of length 0
    EXPECT_NEAR(plain(soundIndex(0, kDepth)), 0.5 + 20.0 / (2 * H), 1e-9);
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kAttack)), double(0.2f));
    EXPECT_DOUBLE_EQ(plain(soundIndex(0, kRelease)), double(0.2f));

    // Far beyond the range the parameter holds its limits, and the editor
    // follows it.
    gui().Drag(L + 200, 180, L + 200, 180 - 1000);
    EXPECT_EQ(plain(soundIndex(0, kDepth)), 1.0);
    EXPECT_EQ(envelope(0).Depth(), 1.0);
    gui().Drag(L + 200, 120, L + 200, 120 + 1000);
    EXPECT_EQ(plain(soundIndex(0, kDepth)), 0.0);
}

// A wheel step is an edit like a drag: it must reach the parameter (and the
// host), not only the picture, or the next value from the sound undoes it.
TEST_F(EnvelopeEditor, WheelStepsReachTheAttackAndReleaseParameters) {
    setOscVolume(0, 0.5, 0.3);  // split at L + int(233 * 0.5) = L + 116
    RecordingHost::Instance().calls.clear();
    wheel(L + 116, 1);
    EXPECT_NEAR(plain(soundIndex(0, kAttack)), 0.505, 1e-7);
    EXPECT_TRUE(automated(soundIndex(0, kAttack)));
    wheel(L + 50, -1);
    wheel(L + 50, -3);  // one step whatever the wheel's amount
    EXPECT_NEAR(plain(soundIndex(0, kAttack)), 0.495, 1e-7);
    wheel(L + 200, 1);
    EXPECT_NEAR(plain(soundIndex(0, kRelease)), 0.305, 1e-7);
    // The steps stay in the editor when the sound's values come back.
    setPlain(soundIndex(0, kDepth), 0.25);
    EXPECT_NEAR(envelope(0).Attack(), 0.495, 1e-7);
    // At the ends of the range a step stops there.
    setOscVolume(0, 0.002, 0.3);  // the split at the left edge
    wheel(L, -1);
    EXPECT_EQ(plain(soundIndex(0, kAttack)), 0.0);
}

TEST_F(EnvelopeEditor, RightClickOpensTheShapeMenuOfTheSegmentForTheCurrentSound) {
    clickSoundTab(3);
    setOscVolume(3, 0.5, 0.3);
    const int split = L + static_cast<int>(W * 0.5);  // the drawn boundary
    rightClick(split, kMid);
    ASSERT_FALSE(menu().IsHidden());
    EXPECT_EQ(menu().TargetParam(), soundIndex(3, kAttackType));
    menu().Hide(true);
    rightClick(split + 1, kMid);
    ASSERT_FALSE(menu().IsHidden());
    EXPECT_EQ(menu().TargetParam(), soundIndex(3, kReleaseType));
    menu().Hide(true);
    EXPECT_DOUBLE_EQ(plain(soundIndex(3, kAttack)), 0.5) << "a right click edits nothing";

    // The noise 1 filter envelope opens its own shape parameters.
    click(446 + 20, 206 + 10);  // its view tab
    setPlain(soundIndex(3, 62), 0.5);
    rightClick(L + 10, 224 + 40);
    EXPECT_EQ(menu().TargetParam(), soundIndex(3, 64));
    menu().Hide(true);
    rightClick(L + 200, 224 + 40);
    EXPECT_EQ(menu().TargetParam(), soundIndex(3, 65));
}

// Most factory sounds have attack 0, which leaves no attack segment to click:
// the attack-shape menu also opens a few pixels right of a short attack.
TEST_F(EnvelopeEditor, RightClicksOnTheAttackOrJustRightOfAShortOneOpenTheAttackShapeMenu) {
    auto opens = [&](int x) {
        rightClick(x, kMid);
        const int target = menu().IsHidden() ? -1 : menu().TargetParam();
        menu().Hide(true);
        return target;
    };
    const int attackType = soundIndex(0, kAttackType), releaseType = soundIndex(0, kReleaseType);
    for (int pixels : {0, 1, 5, 6, 7, 121}) {
        SCOPED_TRACE(pixels);
        setOscVolume(0, (pixels + 0.5) / W, 0.3);
        const int boundary = L + pixels;
        const int edge = boundary + (pixels < 6 ? 6 : 0);
        for (int x = L; x <= edge; ++x) EXPECT_EQ(opens(x), attackType) << x - L;
        EXPECT_EQ(opens(edge + 1), releaseType);
        EXPECT_EQ(opens(L + W - 2), releaseType);
    }
}

// The release boundary is drawn after the attack's W · a pixels; a press on
// it (or anywhere) released without a move leaves the sound as it was, and a
// drag moves the boundary with the pointer.
TEST_F(EnvelopeEditor, AClickWithoutAMoveChangesNothing) {
    setOscVolume(0, 0.19, 0.609938, 0.7);
    const int attack = soundIndex(0, kAttack), release = soundIndex(0, kRelease), depth = soundIndex(0, kDepth);
    const double a = plain(attack), r = plain(release), d = plain(depth);
    const int p0 = L + static_cast<int>(W * a), p1 = p0 + static_cast<int>(W * r);
    RecordingHost::Instance().calls.clear();
    for (int x : {p1, p1 - 4, p1 + 5, p0, p0 + 3, L + 20, L + W - 3}) {
        click(x, kMid);
        EXPECT_EQ(plain(attack), a) << x - L;
        EXPECT_EQ(plain(release), r) << x - L;
        EXPECT_EQ(plain(depth), d) << x - L;
    }
    EXPECT_FALSE(automated(attack) || automated(release) || automated(depth));
    // Away and back to the press point is a move: the release lands there.
    down(p1, kMid);
    move(p1 + 6, kMid, 6, 0);
    up(p1, kMid);
    EXPECT_DOUBLE_EQ(plain(release), static_cast<double>(p1 - p0) / W);
    gui().Drag(p1, kMid, p1 + 10, kMid);
    EXPECT_DOUBLE_EQ(plain(release), static_cast<double>(p1 + 10 - p0) / W);
    EXPECT_EQ(plain(attack), a);
}

TEST_F(EnvelopeEditor, FollowsTheCurrentSoundsParametersOnly) {
    setOscVolume(0, 0.25, 0.4, 0.75);
    setPlain(soundIndex(0, kAttackType), 3);
    setPlain(soundIndex(0, kReleaseType), 7);
    EXPECT_EQ(envelope(0).Attack(), plain(soundIndex(0, kAttack)));
    EXPECT_EQ(envelope(0).Release(), plain(soundIndex(0, kRelease)));
    EXPECT_EQ(envelope(0).Depth(), plain(soundIndex(0, kDepth)));
    EXPECT_EQ(envelope(0).AttackShape(), 3);
    EXPECT_EQ(envelope(0).ReleaseShape(), 7);
    setPlain(soundIndex(2, kAttack), 0.9);  // not the current sound
    EXPECT_EQ(envelope(0).Attack(), plain(soundIndex(0, kAttack)));
    // Selecting a sound shows its envelopes in all seven editors.
    clickSoundTab(2);
    EXPECT_EQ(envelope(0).Attack(), plain(soundIndex(2, kAttack)));
    EXPECT_EQ(envelope(4).Release(), plain(soundIndex(2, 63)));
    EXPECT_EQ(envelope(6).Depth(), plain(soundIndex(2, 92)));
}

// Values that come from the host are shown, never sent back as the user's.
TEST_F(EnvelopeEditor, ValuesFromTheHostAreNotEchoedAsAutomation) {
    RecordingHost::Instance().calls.clear();
    setOscVolume(0, 0.3, 0.6, 0.9);
    setPlain(soundIndex(0, kAttackType), 2);
    effect->setParameter(effect, 1, 0.7f);  // the editor's own parameter
    Dispatch(effect, effSetProgram, 0, 4);
    clickSoundTab(1);
    clickSoundTab(0);
    // Only the two tab clicks were the user's.
    for (const HostCall& call : RecordingHost::Instance().calls) {
        if (call.opcode != audioMasterAutomate) continue;
        EXPECT_TRUE(call.index == kit::global::kShowSound || call.index == kit::global::kShowSound + 1) << call.index;
    }
    // With its own parameter at the bottom of its range the editor still edits.
    effect->setParameter(effect, 1, 0.0f);
    setOscVolume(0, 0.3, 0.6);
    wheel(L + 20, 1);
    EXPECT_NEAR(plain(soundIndex(0, kAttack)), 0.305, 1e-7);
}

TEST_F(EnvelopeEditor, FullAttackFillsTheWidthAndHidesTheReleaseAndItsBar) {
    constexpr LICE_pixel kBar = 0xFF70B3DDu;
    setPlain(soundIndex(0, kAttackType), 0);  // linear
    auto barsInTopRow = [&](const std::vector<LICE_pixel>& p) {
        std::vector<int> xs;
        for (int x = L; x < L + W; ++x)
            if (at(p, x, T + 1) == kBar) xs.push_back(x - L);
        return xs;
    };
    setOscVolume(0, 0.5, 0.3);
    EXPECT_EQ(barsInTopRow(pixels()), (std::vector<int>{121, 193}));

    setOscVolume(0, 1.0, 0.3);
    const std::vector<LICE_pixel> full = pixels();
    EXPECT_EQ(barsInTopRow(full), (std::vector<int>{W - 1}));
    // The attack's bars reach the right edge: just left of the bar the curve
    // is nearly full height.
    const std::vector<LICE_pixel> under = backdrop(0);
    EXPECT_NE(at(full, L + W - 2, T + 3), at(under, L + W - 2, T + 3));
    EXPECT_NE(at(full, L + W - 2, T + H - 4), at(under, L + W - 2, T + H - 4));
    // Nothing is drawn outside the rectangle.
    for (int x = L - 1; x <= L + W; ++x) {
        EXPECT_EQ(at(full, x, T - 1), at(under, x, T - 1));
        EXPECT_EQ(at(full, x, T + H), at(under, x, T + H));
    }
    for (int y = T; y < T + H; ++y) {
        EXPECT_EQ(at(full, L - 1, y), at(under, L - 1, y)) << y;
        EXPECT_EQ(at(full, L + W, y), at(under, L + W, y)) << y;
    }
}

// Values no parameter would hold, handed to the control directly: the curve
// still stays inside its rectangle.
TEST_F(EnvelopeEditor, HostileValuesDrawNothingOutsideTheRectangle) {
    const std::vector<LICE_pixel> under = backdrop(0);
    const double nan = std::nan("");
    const double cases[][3] = {{nan, 1e9, -1e300}, {-5.0, nan, 1e300}, {1e300, -1e300, nan}, {0.0, 0.0, 40.0}};
    for (const auto& c : cases) {
        envelope(0).SetAttack(c[0]);
        envelope(0).SetRelease(c[1]);
        envelope(0).SetDepth(c[2]);
        envelope(0).SetAttackShape(-3);
        envelope(0).SetReleaseShape(99);
        const std::vector<LICE_pixel> drawn = pixels();
        for (int x = L - 1; x <= L + W; ++x) {
            EXPECT_EQ(at(drawn, x, T - 1), at(under, x, T - 1));
            EXPECT_EQ(at(drawn, x, T + H), at(under, x, T + H));
        }
        for (int y = T; y < T + H; ++y) {
            EXPECT_EQ(at(drawn, L - 1, y), at(under, L - 1, y));
            EXPECT_EQ(at(drawn, L + W, y), at(under, L + W, y));
        }
    }
}

// Per column, the pixels of the curve that differ from what is under it.
TEST_F(EnvelopeEditor, CurveOfALinearAttackRisesMonotonically) {
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind);
        const int attack = kind == 0 ? kAttack : 20, type = kind == 0 ? kAttackType : 22;
        const int depth = kind == 0 ? kDepth : 24;
        if (kind == 1) click(446 + 20, 93 + 10);  // the modulation view
        setPlain(soundIndex(0, type), 0);
        setPlain(soundIndex(0, attack), 1.0);
        setPlain(soundIndex(0, depth), 1.0);
        const std::vector<LICE_pixel> under = backdrop(kind);
        const std::vector<LICE_pixel> first = pixels();
        // A redraw draws the same curve.
        EXPECT_EQ(pixels(), first);
        int previous = -1;
        for (int x = L + 1; x < L + W - 1; ++x) {
            // Volume: the height of the mirrored bar; modulation: how far
            // above the middle line the curve's highest pixel is.
            int extent = 0;
            for (int y = T; y < T + H; ++y) {
                if (at(first, x, y) == at(under, x, y) || y == kMid) continue;
                extent = std::max(extent, kind == 0 ? std::abs(y - kMid) : kMid - y);
            }
            EXPECT_GE(extent, previous) << "column " << x - L;
            previous = extent;
        }
        EXPECT_GE(previous, H / 2 - 2) << "the attack ends at full height";
    }
}

// The kick's volume envelope dragged to a longer attack: the rendered note
// now takes that long to reach its peak.
TEST_F(EnvelopeEditor, DraggedAttackBoundaryLengthensTheRenderedAttack) {
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, effSetBlockSize, 0, 512);
    Dispatch(effect, effMainsChanged, 0, 1);
    // The oscillator alone, linear attack.
    setPlain(soundIndex(0, 17), 0.0);   // hit volume
    setPlain(soundIndex(0, 130), 1.0);  // noise 1 muted
    setPlain(soundIndex(0, 131), 1.0);  // noise 2 muted
    setPlain(soundIndex(0, kAttackType), 0);
    setOscVolume(0, 0.0, 0.4, 1.0);

    auto timeToPeak = [&] {
        constexpr int kFrames = 44100 * 6 / 10;
        std::vector<std::vector<double>> out(12, std::vector<double>(kFrames));
        std::vector<double*> ptr;
        for (auto& channel : out) ptr.push_back(channel.data());
        EventList events;
        events.Add(MidiEvent(0, 0x90, 36, 127));
        Dispatch(effect, effProcessEvents, 0, 0, events.Build());
        effect->processDoubleReplacing(effect, nullptr, ptr.data(), kFrames);
        int peak = 0;
        for (int i = 0; i < kFrames; ++i) {
            const double v = std::abs(out[0][static_cast<std::size_t>(i)]);
            EXPECT_TRUE(std::isfinite(v));
            if (v > std::abs(out[0][static_cast<std::size_t>(peak)])) peak = i;
        }
        EXPECT_GT(std::abs(out[0][static_cast<std::size_t>(peak)]), 1e-3) << "the note is heard";
        return peak / 44100.0;
    };
    EXPECT_LT(timeToPeak(), 0.02);

    gui().Drag(L + 1, kMid, L + 60, kMid, 4);
    const double attack = plain(soundIndex(0, kAttack));
    EXPECT_DOUBLE_EQ(attack, 60.0 / W);
    const double seconds = attack * attack * 5.0;  // about 0.3 s
    EXPECT_NEAR(timeToPeak(), seconds, 0.03);
}

}  // namespace
}  // namespace kettrix::test
