// The control framework driven through the window-less editor with
// synthetic mouse and key events, as a window host would.
#include <gtest/gtest.h>

#include <cmath>

#include "GraphicsTestSupport.h"

namespace kettrix {
namespace {

using test::CountingControl;
using test::RecordingPlug;

constexpr int kW = 200, kH = 150;

class ControlsTest : public ::testing::Test {
protected:
    RecordingPlug plug;
    IGraphicsOffscreen gui{&plug, kW, kH};
    std::vector<std::unique_ptr<LICE_MemBitmap>> images;

    // A frame strip of `frames` frames of w × frameHeight.
    IBitmap Strip(int w, int frameHeight, int frames) {
        images.push_back(test::MakeRowCodedStrip(w, frameHeight * frames));
        return IBitmap(images.back().get(), w, frameHeight * frames, frames);
    }
    int AttachBackground() {
        return gui.AttachControl(new CountingControl(&plug, IRECT(0, 0, kW, kH), -1, IColor(255, 10, 10, 10)));
    }
    // Runs redraw passes until nothing is dirty; the number of passes.
    int Settle() {
        int passes = 0;
        while (gui.Tick() && passes < 10) ++passes;
        return passes;
    }
};

TEST_F(ControlsTest, SwitchStepsThroughItsFramesAndWraps) {
    AttachBackground();
    auto* two = new ISwitchControl(&plug, 10, 10, 1, Strip(20, 10, 2));
    auto* five = new ISwitchControl(&plug, 50, 10, 2, Strip(20, 10, 5));
    gui.AttachControl(two);
    gui.AttachControl(five);
    std::vector<double> seen;
    for (int i = 0; i < 3; ++i) {
        gui.Click(15, 15);
        seen.push_back(plug.values[1]);
    }
    EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0}));
    seen.clear();
    for (int i = 0; i < 6; ++i) {
        gui.Click(55, 15);
        seen.push_back(plug.values[2]);
    }
    EXPECT_EQ(seen, (std::vector<double>{0.25, 0.5, 0.75, 1.0, 0.0, 0.25}));
    // The drawn frame follows: the 5-frame switch at 0.25 shows frame 2.
    Settle();
    EXPECT_EQ(test::SourceRowOf(gui.Pixel(50, 10)), 10);
}

TEST_F(ControlsTest, ContactReleasesToZeroAndGesturesAreBracketed) {
    AttachBackground();
    gui.AttachControl(new IContactControl(&plug, 10, 10, 7, Strip(20, 10, 2)));
    gui.OnMouseDown(12, 12, IMouseMod(true));
    EXPECT_EQ(plug.values[7], 1.0);
    gui.OnMouseUp(12, 12, IMouseMod(true));
    EXPECT_EQ(plug.values[7], 0.0);
    const std::vector<std::string> expected = {"begin", "set", "set", "end"};
    EXPECT_EQ(plug.EventNames(7), expected);
    // Every dispatch ran with the plug-in lock held, and released it.
    EXPECT_GE(plug.maxLockDepth, 1);
    EXPECT_EQ(plug.lockDepth, 0);
}

TEST_F(ControlsTest, KnobGearingPerPixelAndFineWithShift) {
    AttachBackground();
    auto* knob = new IKnobMultiControl(&plug, 20, 20, 3, Strip(40, 100, 10));
    gui.AttachControl(knob);
    knob->SetValueFromPlug(0.5);
    gui.Drag(30, 60, 30, 50, 10);  // ten pixels up
    EXPECT_NEAR(plug.values[3], 0.5 + 10 * 0.0025, 1e-12);
    gui.Drag(30, 60, 30, 70, 5, IMouseMod(true, false, true));  // ten down with shift
    EXPECT_NEAR(plug.values[3], 0.525 - 10 * 0.00025, 1e-12);
    // Dragging far past the end clamps.
    gui.Drag(30, 60, 30, -900, 3);
    EXPECT_EQ(plug.values[3], 1.0);
}

TEST_F(ControlsTest, HorizontalKnobFollowsX) {
    AttachBackground();
    gui.AttachControl(new IKnobMultiControl(&plug, 20, 20, 3, Strip(100, 10, 5), IKnobMultiControl::kHorizontal));
    gui.Drag(30, 25, 50, 25, 2);
    EXPECT_NEAR(plug.values[3], 20.0 / 100.0 / 4.0, 1e-12);
}

TEST_F(ControlsTest, CaptureSurvivesLeavingTheControl) {
    AttachBackground();
    gui.AttachControl(new IKnobMultiControl(&plug, 20, 20, 3, Strip(40, 100, 10)));
    gui.AttachControl(new IKnobMultiControl(&plug, 100, 20, 4, Strip(40, 100, 10)));
    // Press on the first knob, drag across the second and beyond the window.
    gui.OnMouseDown(30, 100, IMouseMod(true));
    gui.OnMouseDrag(110, 90, 80, -10, IMouseMod(true));
    gui.OnMouseDrag(500, 80, 390, -10, IMouseMod(true));
    gui.OnMouseUp(500, 80, IMouseMod(true));
    EXPECT_NEAR(plug.values[3], 20 * 0.0025, 1e-12);
    EXPECT_EQ(plug.values.count(4), 0u);
    EXPECT_EQ(gui.GetMouseCapture(), -1);
    // After the release, drags without a press go nowhere.
    gui.OnMouseDrag(30, 90, 0, -10, IMouseMod(true));
    EXPECT_NEAR(plug.values[3], 20 * 0.0025, 1e-12);
}

TEST_F(ControlsTest, HiddenAndGreyedControlsDoNotTakeClicks) {
    AttachBackground();
    gui.AttachControl(new ISwitchControl(&plug, 10, 10, 1, Strip(20, 10, 2)));
    auto* cover = new ISwitchControl(&plug, 10, 10, 2, Strip(20, 10, 2));
    gui.AttachControl(cover);
    gui.Click(15, 15);
    EXPECT_EQ(plug.values.count(1), 0u);  // the top one took it
    gui.HideControl(2, true);
    gui.Click(15, 15);
    EXPECT_EQ(plug.values[1], 1.0);
    gui.HideControl(2, false);
    gui.GrayOutControl(2, true);
    gui.Click(15, 15);
    EXPECT_EQ(plug.values[1], 0.0);
    // Keys follow the same rule: the background is never chosen.
    EXPECT_FALSE(gui.OnKeyDown(150, 100, KEY_SPACE));
}

TEST_F(ControlsTest, WheelStepsAndDoubleClickReturnsToFirstValue) {
    AttachBackground();
    auto* knob = new IKnobMultiControl(&plug, 20, 20, 3, Strip(40, 100, 10));
    gui.AttachControl(knob);
    gui.SetParameterFromPlug(3, 0.3, true);
    gui.SetParameterFromPlug(3, 0.6, true);
    gui.OnMouseWheel(30, 30, IMouseMod(), 1.0);
    EXPECT_NEAR(plug.values[3], 0.61, 1e-12);
    gui.OnMouseWheel(30, 30, IMouseMod(false, false, true), -2.0);
    EXPECT_NEAR(plug.values[3], 0.608, 1e-12);
    gui.OnMouseWheel(30, 30, IMouseMod(false, false, false, true), 1.0);
    EXPECT_NEAR(plug.values[3], 0.609, 1e-12);
    // The wheel outside any control does nothing.
    gui.OnMouseWheel(190, 140, IMouseMod(), 1.0);
    EXPECT_NEAR(plug.values[3], 0.609, 1e-12);
    gui.OnMouseDblClick(30, 30, IMouseMod(true));
    gui.OnMouseUp(30, 30, IMouseMod(true));
    EXPECT_EQ(plug.values[3], 0.3);
    // Each wheel step and the double click are whole gestures for the host.
    int begins = 0, ends = 0;
    for (const auto& name : plug.EventNames(3)) {
        begins += name == "begin";
        ends += name == "end";
    }
    EXPECT_EQ(begins, 4);
    EXPECT_EQ(ends, 4);
}

TEST_F(ControlsTest, PlainValuesMapThroughTheParameterShape) {
    AttachBackground();
    auto* knob = new IKnobMultiControl(&plug, 20, 20, 5, Strip(40, 100, 10));
    auto* aux = new CountingControl(&plug, IRECT(100, 0, 110, 10));
    aux->AddAuxParam(5);
    gui.AttachControl(knob);
    gui.AttachControl(aux);
    plug.ranges[5] = {-10.0, 30.0, 2.0};
    gui.SetParameterFromPlug(5, 0.0, false);  // (10 / 40)^(1/2) = 0.5
    EXPECT_NEAR(knob->GetValue(), 0.5, 1e-12);
    EXPECT_NEAR(aux->GetAuxParam(0)->value_, 0.5, 1e-12);
    gui.SetParameterFromPlug(5, 1000.0, false);
    EXPECT_EQ(knob->GetValue(), 1.0);
    gui.SetParameterFromPlug(5, -1000.0, false);
    EXPECT_EQ(knob->GetValue(), 0.0);
    // Parameters without a control or a range are ignored.
    gui.SetParameterFromPlug(99, 0.7, true);
    gui.SetParameterFromPlug(99, 0.7, false);
    gui.SetControlFromPlug(1000, 0.5);
    gui.SetControlFromPlug(-1, 0.5);
    EXPECT_EQ(knob->GetValue(), 0.0);
}

TEST_F(ControlsTest, RedrawPassDrawsExactlyTheControlsOverlappingDirtyOnes) {
    AttachBackground();
    auto* a = new CountingControl(&plug, IRECT(10, 10, 50, 50), 1);
    auto* overlapsA = new CountingControl(&plug, IRECT(40, 40, 80, 80));
    auto* apart = new CountingControl(&plug, IRECT(120, 10, 160, 50));
    auto* hiddenOverA = new CountingControl(&plug, IRECT(0, 0, 30, 30));
    for (IControl* c : std::initializer_list<IControl*>{a, overlapsA, apart, hiddenOverA}) gui.AttachControl(c);
    hiddenOverA->Hide(true);
    auto* background = static_cast<CountingControl*>(gui.GetControl(0));
    Settle();
    EXPECT_EQ(background->draws, 1);
    EXPECT_EQ(hiddenOverA->draws, 0);
    gui.TakeScreenRect();
    const int before[] = {background->draws, a->draws, overlapsA->draws, apart->draws};

    // Nothing dirty: no drawing at all.
    EXPECT_FALSE(gui.Tick());
    gui.SetParameterFromPlug(1, 0.4, true);
    gui.SetParameterFromPlug(1, 0.4, true);  // the same value again
    IRECT dirty;
    ASSERT_TRUE(gui.IsDirty(dirty));
    EXPECT_EQ(dirty, a->GetRECT());
    EXPECT_EQ(Settle(), 1);
    EXPECT_EQ(background->draws - before[0], 1);
    EXPECT_EQ(a->draws - before[1], 1);
    EXPECT_EQ(overlapsA->draws - before[2], 1);
    EXPECT_EQ(apart->draws - before[3], 0);
    EXPECT_EQ(hiddenOverA->draws, 0);
    // The redraw stayed within the dirty control: the part of the
    // overlapping control outside it keeps its pixels, and so does the
    // screen update rectangle.
    EXPECT_EQ(gui.TakeScreenRect(), a->GetRECT());
}

TEST_F(ControlsTest, HidingRevealsWhatIsBelow) {
    AttachBackground();
    auto* top = new CountingControl(&plug, IRECT(10, 10, 50, 50), 1, IColor(255, 0, 255, 0));
    gui.AttachControl(top);
    Settle();
    EXPECT_EQ(gui.Pixel(20, 20), LICE_RGBA(0, 255, 0, 255));
    gui.HideControl(1, true);
    Settle();
    EXPECT_EQ(gui.Pixel(20, 20), LICE_RGBA(10, 10, 10, 255));
}

// Frame offsets: integer part of (extent × (i − 1) / N + 0.5), for strips
// whose height is not a multiple of N too.
TEST_F(ControlsTest, FrameOffsetsRoundAsSpecifiedForAwkwardFrameCounts) {
    AttachBackground();
    for (int frames : {2, 3, 11, 69, 71, 100}) {
        const int frameHeight = 7;
        const int extent = frameHeight * frames + frames / 3;  // uneven on purpose
        images.push_back(test::MakeRowCodedStrip(4, extent));
        IBitmap strip(images.back().get(), 4, extent, frames);
        auto* control = new IBitmapControl(&plug, 100, 10, frames, strip);
        gui.AttachControl(control);
        for (int frame = 1; frame <= frames; ++frame) {
            const double value = frames > 1 ? static_cast<double>(frame - 1) / (frames - 1) : 0.0;
            gui.SetParameterFromPlug(frames, value, true);
            ASSERT_EQ(control->FrameForValue(), frame);
            Settle();
            const int expected = frame == 1 ? 0 : static_cast<int>(std::floor(extent * (frame - 1.0) / frames + 0.5));
            ASSERT_EQ(test::SourceRowOf(gui.Pixel(100, 10)), expected) << frames << " frame " << frame;
        }
        control->Hide(true);
    }
}

TEST_F(ControlsTest, AControlWithoutABitmapDrawsNothing) {
    AttachBackground();
    IBitmap missing = gui.LoadBitmap(4242, "missing.png", 3);
    EXPECT_EQ(missing.data_, nullptr);
    EXPECT_EQ(gui.LoadBitmap(4242, "picture.bmp").data_, nullptr);
    gui.AttachControl(new IBitmapControl(&plug, 10, 10, 1, missing));
    auto* knob = new IKnobMultiControl(&plug, 10, 10, 2, IBitmap(nullptr, 40, 40, 2));
    gui.AttachControl(knob);
    gui.SetParameterFromPlug(2, 1.0, true);
    Settle();
    EXPECT_EQ(gui.Pixel(20, 20), LICE_RGBA(10, 10, 10, 255));
}

TEST_F(ControlsTest, RightClickOpensTheTextEntryAndCommitSetsTheValue) {
    AttachBackground();
    auto* knob = new IKnobMultiControl(&plug, 20, 20, 3, Strip(40, 100, 10));
    gui.AttachControl(knob);
    gui.Click(30, 30, IMouseMod(false, true));
    ASSERT_EQ(gui.GetTextEntry().control_, knob);
    EXPECT_EQ(gui.GetTextEntry().paramIdx_, 3);
    EXPECT_EQ(gui.GetTextEntry().rect_, knob->GetRECT());
    gui.CommitTextEntry("0.75");
    EXPECT_EQ(plug.values[3], 0.75);
    EXPECT_EQ(gui.GetTextEntry().control_, nullptr);
    // Unreadable text and a cancelled entry change nothing.
    gui.Click(30, 30, IMouseMod(false, true));
    gui.CommitTextEntry("abc");
    gui.Click(30, 30, IMouseMod(false, true));
    gui.CancelTextEntry();
    EXPECT_EQ(plug.values[3], 0.75);
}

TEST_F(ControlsTest, MouseOverAndOutReachTheControlUnderThePointer) {
    AttachBackground();
    gui.AttachControl(new CountingControl(&plug, IRECT(10, 10, 50, 50), 8));
    EXPECT_FALSE(gui.OnMouseOver(20, 20, IMouseMod()));
    gui.HandleMouseOver(true);
    EXPECT_TRUE(gui.OnMouseOver(20, 20, IMouseMod()));
    EXPECT_EQ(gui.GetMouseOver(), 1);
    gui.OnMouseOver(100, 100, IMouseMod());
    EXPECT_EQ(gui.GetMouseOver(), 0);
    const std::vector<std::string> expected = {"show"};
    EXPECT_EQ(plug.EventNames(8), expected);
    EXPECT_EQ(plug.EventNames(-1), std::vector<std::string>{"clear"});
}

// A control of many parts redraws only the part it marks; a whole-control
// mark pending at the same time wins.
TEST_F(ControlsTest, APartlyMarkedControlRedrawsOnlyThatPart) {
    AttachBackground();
    auto* wide = new CountingControl(&plug, IRECT(10, 10, 190, 50), 1);
    gui.AttachControl(wide);
    Settle();
    gui.TakeScreenRect();
    wide->SetDirtyArea(IRECT(20, 20, 30, 30));
    wide->SetDirtyArea(IRECT(40, 20, 50, 30));
    wide->SetDirtyArea(IRECT(0, 100, 5, 110));  // outside the control: ignored
    IRECT dirty;
    ASSERT_TRUE(gui.IsDirty(dirty));
    EXPECT_EQ(dirty, IRECT(20, 20, 50, 30));
    EXPECT_EQ(Settle(), 1);
    EXPECT_EQ(gui.TakeScreenRect(), IRECT(20, 20, 50, 30));
    EXPECT_EQ(wide->GetDirtyRECT(), wide->GetRECT()) << "nothing marked any more";
    wide->SetDirty(false);
    wide->SetDirtyArea(IRECT(20, 20, 30, 30));
    ASSERT_TRUE(gui.IsDirty(dirty));
    EXPECT_EQ(dirty, wide->GetRECT());
}

// A control that brackets its own host edits gets no gesture from a click.
TEST_F(ControlsTest, AControlWithItsOwnGesturesClicksWithoutOne) {
    class OwnGestures : public CountingControl {
    public:
        OwnGestures(IGraphicsPlug* plug) : CountingControl(plug, IRECT(10, 10, 50, 50), 9) { ownGestures_ = true; }
    };
    AttachBackground();
    gui.AttachControl(new OwnGestures(&plug));
    gui.Click(20, 20);
    gui.OnMouseWheel(20, 20, IMouseMod(), 1.0);
    for (const std::string& what : plug.EventNames(9)) EXPECT_TRUE(what != "begin" && what != "end") << what;
}

}  // namespace
}  // namespace kettrix
