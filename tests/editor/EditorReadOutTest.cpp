// The read-out line inside the plug-in: the texts for the controls under
// the mouse, with values set as a host sets them.
#include <algorithm>
#include <string>

#include "EditorFixture.h"
#include "graphics/Lice.h"

namespace kettrix::test {
namespace {

using kit::soundIndex;

class EditorReadOut : public EditorFixture {
protected:
    EditorReadOut() { open(); }

    std::string over(int x, int y) {
        gui().OnMouseOver(x, y, IMouseMod());
        return ed().ReadOutText();
    }
    void hostSets(int index, float normalized) { effect->setParameter(effect, index, normalized); }
    std::string name(int index) { return kit::parameterInfo(index).name; }

    static constexpr int kSnapX = 53 + 9, kSnapY = 93 + 9;
    static constexpr int kPitchX = 46 + 14, kPitchY = 122 + 14;
    static constexpr int kPanX = 720 + 14, kPanY = 376 + 14;
    static constexpr int kVolumeX = 764 + 14, kVolumeY = 376 + 14;
};

TEST_F(EditorReadOut, StartsWithTheProductAndReturnsToTheHintWhenTheMouseLeaves) {
    EXPECT_STREQ(ed().ReadOutText(), "Sorvane Kettrix 4");
    EXPECT_EQ(over(kSnapX, kSnapY), name(0) + ": OFF");
    gui().OnMouseOut();
    EXPECT_STREQ(ed().ReadOutText(), "Mouse over the controls for more info...");
    over(kPitchX, kPitchY);
    EXPECT_EQ(over(5, 300), "Mouse over the controls for more info...") << "the background has no parameter";
    EXPECT_EQ(over(300, 490), "Use right mouse button to drag range");
}

TEST_F(EditorReadOut, SnapSwitchesReadOnAndOffForEverySound) {
    for (int s = 0; s < kit::kSoundCount; ++s) {
        clickSoundTab(s);
        ASSERT_EQ(ed().currentSound(), s);
        const int snap = soundIndex(s, 0);
        hostSets(snap, 1.0f);
        EXPECT_EQ(over(kSnapX, kSnapY), name(snap) + ": ON") << s;
        hostSets(snap, 0.0f);
        EXPECT_EQ(over(kSnapX, kSnapY), name(snap) + ": OFF") << s;
    }
}

TEST_F(EditorReadOut, PitchPanAndVolumeReadInTheirUnits) {
    clickSoundTab(3);
    const int pitch = soundIndex(3, 11), pan = soundIndex(3, kit::offset::kPan),
              volume = soundIndex(3, kit::offset::kVolume);
    hostSets(pitch, 0.5f);
    EXPECT_EQ(over(kPitchX, kPitchY), name(pitch) + ": 440 Hz");
    hostSets(pitch, 0.0f);
    EXPECT_EQ(over(kPitchX, kPitchY), name(pitch) + ": 13 Hz");
    hostSets(pan, 0.5f);
    EXPECT_EQ(over(kPanX, kPanY), name(pan) + ": 0% Center");
    hostSets(pan, 0.5004f);
    EXPECT_EQ(over(kPanX, kPanY), name(pan) + ": 0% R");
    hostSets(pan, 0.25f);
    EXPECT_EQ(over(kPanX, kPanY), name(pan) + ": 50% L");
    hostSets(volume, 1.0f);
    ASSERT_EQ(plain(volume), 2.0);
    EXPECT_EQ(over(kVolumeX, kVolumeY), name(volume) + ": 100 %");
    // Dragging a knob shows its value as it moves (a frame's height is a
    // quarter of the range); the release returns to the hint.
    gui().OnMouseDown(kPitchX, kPitchY, IMouseMod(true));
    gui().OnMouseDrag(kPitchX, kPitchY - 29, 0, -29, IMouseMod(true));
    EXPECT_EQ(plain(pitch), 0.25);
    EXPECT_EQ(std::string(ed().ReadOutText()), name(pitch) + ": 77 Hz");
    gui().OnMouseUp(kPitchX, kPitchY - 29, IMouseMod(true));
    EXPECT_STREQ(ed().ReadOutText(), "Mouse over the controls for more info...");
}

// The brightest pixel of the read-out line between columns x0 and x1.
int brightest(IGraphicsOffscreen& gui, int x0, int x1) {
    int most = 0;
    for (int y = 526; y < 549; ++y)
        for (int x = x0; x < x1; ++x) most = std::max(most, static_cast<int>((gui.Pixel(x, y) >> 8) & 0xff));
    return most;
}

// Right of the KEYS selector the window is empty: the pointer there reads
// like the background, and neither the wheel nor a click edits anything.
TEST_F(EditorReadOut, TheEmptySpaceRightOfTheKeysSelectorShowsNoReadOut) {
    const editor::Rect empty = editor::kFileCommandsRect;
    RecordingHost::Instance().calls.clear();
    const double snap = plain(0);
    for (int y = empty.top; y < empty.bottom; y += 4) {
        for (int x = empty.left; x < empty.right; x += 9) {
            over(kSnapX, kSnapY);
            EXPECT_EQ(over(x, y), "Mouse over the controls for more info...") << x << "," << y;
            gui().OnMouseWheel(x, y, IMouseMod(), 1);
            click(x, y);
        }
    }
    EXPECT_EQ(plain(0), snap);
    for (const HostCall& call : RecordingHost::Instance().calls)
        EXPECT_NE(call.opcode, audioMasterAutomate) << "parameter " << call.index;
}

TEST_F(EditorReadOut, ALongTextIsShownWholeWithinTheLine) {
    if (!LICE_TextAvailable()) GTEST_SKIP() << "this build draws no text";
    over(kPitchX, kPitchY);
    over(5, 300);
    gui().RenderAll();
    ASSERT_STREQ(ed().ReadOutText(), "Mouse over the controls for more info...");
    EXPECT_GT(brightest(gui(), 150, 200), 120) << "the text runs far into the line";
    EXPECT_LT(brightest(gui(), 207, 215), 80) << "and ends before its right edge, not cut by it";
}

}  // namespace
}  // namespace kettrix::test
