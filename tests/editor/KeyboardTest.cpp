// The on-screen keyboard and the live activity of the editor, driven as a
// host and a user do: MIDI through effProcessEvents, audio through the
// process callback, the mouse at the keyboard's pixels, the window's timer
// ticks; looks checked on the drawn pixels.
#include <algorithm>
#include <cmath>
#include <vector>

#include "EditorFixture.h"
#include "editor/IKeyboardControlK4.h"

namespace kettrix::test {
namespace {

using kit::soundIndex;

constexpr int kLeft = 48, kTop = 465;
constexpr int kKeyboardParam = 1372;
// The left edge of the octave that starts with `c` (a C).
int octaveLeft(int c) { return kLeft + 98 * (c / 12 - 2); }
// Points well inside a key: whites low on the key, blacks near their top.
int whiteX(int note) {
    EXPECT_FALSE(IKeyboardControlK4::IsBlack(note)) << note;
    static const int kIndex[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
    return octaveLeft(note - note % 12) + 14 * kIndex[note % 12] + 7;
}
int blackX(int note) {
    static const int kOffset[12] = {0, 10, 0, 24, 0, 0, 52, 0, 66, 0, 80, 0};
    return octaveLeft(note - note % 12) + kOffset[note % 12] + 4;
}
constexpr int kWhiteY = 505, kBlackY = 475;
// Where the lamp of a held white key sits.
constexpr int kLampY = kTop + 38;

int red(LICE_pixel p) { return static_cast<int>((p >> 16) & 0xff); }
int blue(LICE_pixel p) { return static_cast<int>(p & 0xff); }
// The range's keys are cyan; the plain keys of the background are grey.
bool cyan(LICE_pixel p) { return blue(p) > red(p) + 40; }

class Keyboard : public EditorFixture {
protected:
    Keyboard() {
        open();
        Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(effect, effSetBlockSize, 0, kFrames);
        Dispatch(effect, effMainsChanged, 0, 1);
        gui().RenderAll();
    }

    IKeyboardControlK4& keyboard() { return *ed().Keyboard(); }
    const engine::NoteRouter& router() { return plug().Engine().router(); }
    int keyLo(int s) { return plug().Engine().keyboard().keyLo(s); }
    int keyHi(int s) { return plug().Engine().keyboard().keyHi(s); }

    void press(int x, int y, IMouseMod mod = IMouseMod(true)) { gui().OnMouseDown(x, y, mod); }
    void release(int x, int y, IMouseMod mod = IMouseMod(true)) { gui().OnMouseUp(x, y, mod); }
    // A right-button drag from one key to another, in small steps.
    void rightDrag(int fromNote, int toNote) {
        gui().Drag(whiteX(fromNote), kWhiteY, whiteX(toNote), kWhiteY, 8, IMouseMod(false, true));
    }

    void midi(uint8_t status, uint8_t note, uint8_t velocity) {
        EventList list;
        list.Add(MidiEvent(0, status, note, velocity));
        Dispatch(effect, effProcessEvents, 0, 0, list.Build());
    }
    // One block through the host's process callback; the peak of all outputs.
    double block() {
        std::vector<float> samples(12u * kFrames);
        std::vector<float*> outputs(12);
        for (std::size_t c = 0; c < 12; ++c) outputs[c] = samples.data() + c * kFrames;
        effect->processReplacing(effect, nullptr, outputs.data(), kFrames);
        double peak = 0.0;
        for (float s : samples) peak = std::max(peak, static_cast<double>(std::fabs(s)));
        return peak;
    }

    // Host calls about "Keyboard" since the last clear.
    std::vector<int> keyboardOpcodes() {
        std::vector<int> opcodes;
        for (const HostCall& call : RecordingHost::Instance().calls)
            if (call.index == kKeyboardParam &&
                (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
                 call.opcode == audioMasterAutomate))
                opcodes.push_back(call.opcode);
        return opcodes;
    }

    static constexpr int kFrames = 256;
};

TEST_F(Keyboard, HitTestFindsEveryKeyOfAnOctaveWithItsBlackKeyZones) {
    IKeyboardControlK4& k = keyboard();
    const int left = octaveLeft(48);  // the octave of C 48
    // Below the black keys every column belongs to a white key, 14 pixels each.
    const int whites[7] = {48, 50, 52, 53, 55, 57, 59};
    for (int x = 0; x < 98; ++x) {
        EXPECT_EQ(k.HitTest(left + x, kTop + 31), whites[x / 14]) << x;
        EXPECT_EQ(k.HitTest(left + x, kTop + 45), whites[x / 14]) << x;
    }
    // In the black keys' height: 9-pixel zones at 10, 24, 52, 66 and 80.
    for (int x = 0; x < 98; ++x) {
        int expected = whites[x / 14];
        if (x >= 10 && x < 19) expected = 49;
        if (x >= 24 && x < 33) expected = 51;
        if (x >= 52 && x < 61) expected = 54;
        if (x >= 66 && x < 75) expected = 56;
        if (x >= 80 && x < 89) expected = 58;
        EXPECT_EQ(k.HitTest(left + x, kTop), expected) << x;
        EXPECT_EQ(k.HitTest(left + x, kTop + 30), expected) << x;
    }
    // Outside the rectangle nothing; the leftmost C is 24.
    EXPECT_EQ(k.HitTest(kLeft - 1, kTop + 40), -1);
    EXPECT_EQ(k.HitTest(kLeft, kTop - 1), -1);
    EXPECT_EQ(k.HitTest(kLeft, kTop + 46), -1);
    EXPECT_EQ(k.HitTest(kLeft, kTop + 40), 24);
    // A click lands on the key the hit test names.
    press(blackX(49), kBlackY);
    EXPECT_EQ(k.PressedNote(), 49);
    release(blackX(49), kBlackY);
}

TEST_F(Keyboard, LeftClickPlaysTheKeyFromTheNextBlockAndReleasesItOnMouseUp) {
    // "Electronic 1": the kick (sound 0) sits on note 36 alone.
    ASSERT_EQ(keyLo(0), 36);
    ASSERT_EQ(keyHi(0), 36);
    EXPECT_EQ(block(), 0.0);
    RecordingHost::Instance().calls.clear();
    press(whiteX(36), kWhiteY);
    EXPECT_TRUE(router().held(36));
    EXPECT_EQ(router().trigger(0).gate, 1);
    EXPECT_EQ(router().trigger(0).velocity, 1.0) << "previews play at velocity 127";
    EXPECT_GT(block(), 0.05) << "the kick sounds in the very next block";
    release(whiteX(36), kWhiteY);
    EXPECT_FALSE(router().held(36));
    EXPECT_EQ(router().trigger(0).gate, 0);
    EXPECT_EQ(keyboard().PressedNote(), -1);
    // A preview changes no parameter: the host hears nothing about "Keyboard".
    EXPECT_TRUE(keyboardOpcodes().empty());
    EXPECT_STREQ(ed().ReadOutText(), "Mouse over the controls for more info...");
}

TEST_F(Keyboard, ClosingTheWindowUnderAPressedKeyStopsItsNote) {
    press(whiteX(36), kWhiteY);
    ASSERT_TRUE(router().held(36));
    Dispatch(effect, effEditClose);
    EXPECT_FALSE(router().held(36));
    EXPECT_EQ(router().trigger(0).gate, 0);
    EXPECT_EQ(keyboard().PressedNote(), -1);
}

TEST_F(Keyboard, LeftClickOnAKeyHeldByMidiNeitherRetriggersNorTakesItOver) {
    midi(0x90, 36, 40);
    block();
    ASSERT_TRUE(router().held(36));
    const double velocity = router().trigger(0).velocity;
    ASSERT_EQ(velocity, 40.0 / 127.0);
    click(whiteX(36), kWhiteY);
    EXPECT_EQ(router().trigger(0).velocity, velocity) << "no second note-on";
    EXPECT_TRUE(router().held(36)) << "the mouse-up did not release the MIDI note";
    EXPECT_EQ(router().trigger(0).gate, 1);
    midi(0x80, 36, 0);
    block();
    EXPECT_FALSE(router().held(36));
}

TEST_F(Keyboard, RightDragsMoveTheEndsOfTheCurrentSoundsRange) {
    // One-key range 36: dragging left lowers the low end...
    rightDrag(36, 31);
    EXPECT_EQ(keyLo(0), 31);
    EXPECT_EQ(keyHi(0), 36);
    EXPECT_EQ(plain(soundIndex(0, kit::offset::kKeyLo)), 31.0) << "written into the patch range";
    EXPECT_EQ(plain(soundIndex(0, kit::offset::kKeyHi)), 36.0);
    // ...back to one key by dragging the low end onto the high end...
    rightDrag(31, 36);
    EXPECT_EQ(keyLo(0), 36);
    EXPECT_EQ(keyHi(0), 36);
    // ...dragging right raises the high end.
    rightDrag(36, 43);
    EXPECT_EQ(keyLo(0), 36);
    EXPECT_EQ(keyHi(0), 43);
    // The low end dragged past the high end stops there.
    rightDrag(36, 55);
    EXPECT_EQ(keyLo(0), 43);
    EXPECT_EQ(keyHi(0), 43);
    rightDrag(43, 50);
    ASSERT_EQ(keyHi(0), 50);
    // The high end dragged below the low end stops there, too.
    rightDrag(50, 38);
    EXPECT_EQ(keyLo(0), 43);
    EXPECT_EQ(keyHi(0), 43);
    rightDrag(43, 50);
    // A drag from inside the range, or with the left button, moves nothing.
    RecordingHost::Instance().calls.clear();
    rightDrag(47, 60);
    gui().Drag(whiteX(43), kWhiteY, whiteX(60), kWhiteY, 8, IMouseMod(true));
    EXPECT_EQ(keyLo(0), 43);
    EXPECT_EQ(keyHi(0), 50);
    EXPECT_TRUE(keyboardOpcodes().empty());
    // The notes follow the new range: 50 starts the kick, 36 no longer does.
    midi(0x90, 36, 100);
    block();
    EXPECT_EQ(router().startedBy(0), false);
    midi(0x90, 50, 100);
    EXPECT_GT(block(), 0.05);
    EXPECT_TRUE(router().startedBy(0));
}

TEST_F(Keyboard, ARangeEditIsOneHostGestureAndLandsInTheUserRangeWhenLocked) {
    effect->setParameter(effect, kit::global::kKeyboardMode, 0.25f);  // "User (Lock)"
    ASSERT_EQ(plain(kit::global::kKeyboardMode), 1.0);
    ASSERT_EQ(keyLo(0), 36);
    ASSERT_EQ(keyHi(0), 41);  // the factory kits' user range of the kick
    RecordingHost::Instance().calls.clear();
    rightDrag(41, 47);
    EXPECT_EQ(keyHi(0), 47);
    const std::vector<int> opcodes = keyboardOpcodes();
    ASSERT_GE(opcodes.size(), 3u);
    EXPECT_EQ(opcodes.front(), audioMasterBeginEdit);
    EXPECT_EQ(opcodes.back(), audioMasterEndEdit);
    EXPECT_EQ(std::count(opcodes.begin(), opcodes.end(), audioMasterBeginEdit), 1);
    EXPECT_EQ(plain(soundIndex(0, kit::offset::kUserKeyHi)), 47.0);
    EXPECT_EQ(plain(soundIndex(0, kit::offset::kKeyHi)), 36.0) << "the patch range stays";
}

TEST_F(Keyboard, TheRangeIsDrawnHighlightedAndHeldKeysAreLit) {
    clickSoundTab(2);  // SNARE: note 38 alone
    gui().Tick();
    ASSERT_EQ(keyLo(2), 38);
    EXPECT_TRUE(cyan(gui().Pixel(whiteX(38), kWhiteY)));
    EXPECT_FALSE(cyan(gui().Pixel(whiteX(36), kWhiteY)));
    EXPECT_FALSE(cyan(gui().Pixel(blackX(39), kBlackY)));
    rightDrag(38, 41);  // D to F: D#, E and F join
    gui().Tick();
    for (int note : {38, 40, 41}) EXPECT_TRUE(cyan(gui().Pixel(whiteX(note), kWhiteY))) << note;
    EXPECT_TRUE(cyan(gui().Pixel(blackX(39), kBlackY)));
    EXPECT_FALSE(cyan(gui().Pixel(blackX(42), kBlackY)));
    EXPECT_FALSE(cyan(gui().Pixel(whiteX(43), kWhiteY)));

    // Held keys light their lamp, in the range and outside it.
    const LICE_pixel darkIn = gui().Pixel(whiteX(40), kLampY), darkOut = gui().Pixel(whiteX(48), kLampY);
    midi(0x90, 40, 100);
    midi(0x90, 48, 100);
    block();
    gui().Tick();
    EXPECT_NE(gui().Pixel(whiteX(40), kLampY), darkIn);
    EXPECT_NE(gui().Pixel(whiteX(48), kLampY), darkOut);
    EXPECT_TRUE(cyan(gui().Pixel(whiteX(48), kLampY)));
    midi(0x80, 40, 0);
    midi(0x80, 48, 0);
    block();
    gui().Tick();
    EXPECT_EQ(gui().Pixel(whiteX(40), kLampY), darkIn);
    EXPECT_EQ(gui().Pixel(whiteX(48), kLampY), darkOut);
    // What the ticks drew equals a fresh drawing of the whole editor.
    std::vector<LICE_pixel> ticked;
    for (int x = kLeft; x < 839; ++x) ticked.push_back(gui().Pixel(x, kBlackY));
    gui().RenderAll();
    for (int x = kLeft; x < 839; ++x) EXPECT_EQ(gui().Pixel(x, kBlackY), ticked[static_cast<std::size_t>(x - kLeft)]);
}

TEST_F(Keyboard, MidiNotesLightKeysAndLampsAtTheNextTickAndOnlyThoseAreRedrawn) {
    const int lamp = editor::global_control::soundLamp(0);
    gui().Tick();
    const LICE_pixel dark = gui().Pixel(whiteX(36), kLampY);
    midi(0x90, 36, 100);
    block();
    // The audio thread's block left the controls alone.
    EXPECT_EQ(control(lamp)->GetValue(), 0.0);
    EXPECT_FALSE(keyboard().IsDirty());
    EXPECT_FALSE(control(lamp)->IsDirty());
    {
        // The tick's first half: the editor takes the flags.
        PlugLockGuard lock(plug().Lock());
        for (int i = 0; i < plug().Graphics().NControls(); ++i) control(i)->OnGuiIdle();
    }
    EXPECT_EQ(control(lamp)->GetValue(), 1.0);
    EXPECT_TRUE(control(lamp)->IsDirty());
    EXPECT_FALSE(control(editor::global_control::soundLamp(1))->IsDirty());
    ASSERT_TRUE(keyboard().IsDirty());
    EXPECT_EQ(keyboard().GetDirtyRECT(), keyboard().KeyRect(36)) << "only the key that changed";
    gui().Tick();
    EXPECT_FALSE(keyboard().IsDirty());
    EXPECT_NE(gui().Pixel(whiteX(36), kLampY), dark);

    // Released and rung out: the key and the lamp go dark.
    midi(0x80, 36, 0);
    for (int i = 0; i < 400 && plug().Engine().activeSounds().count() > 0; ++i) block();
    ASSERT_EQ(plug().Engine().activeSounds().count(), 0);
    gui().Tick();
    EXPECT_EQ(control(lamp)->GetValue(), 0.0);
    EXPECT_EQ(gui().Pixel(whiteX(36), kLampY), dark);

    // A hit shorter than a tick still flashes the lamp once.
    midi(0x90, 36, 100);
    block();
    midi(0x80, 36, 0);
    for (int i = 0; i < 400 && plug().Engine().activeSounds().count() > 0; ++i) block();
    gui().Tick();
    EXPECT_EQ(control(lamp)->GetValue(), 1.0);
    gui().Tick();
    EXPECT_EQ(control(lamp)->GetValue(), 0.0);
}

}  // namespace
}  // namespace kettrix::test
