// The on-screen keyboard along the bottom of the editor, bound to "Keyboard".
//
// It shows the current sound's key range and the held keys over the plain
// keyboard of the background, plays a note while a key is pressed with the
// left button, and moves either end of the current sound's range while the
// right button drags from it.
#pragma once

#include <array>
#include <cstdint>

#include "editor/LiveActivity.h"
#include "graphics/IControl.h"

namespace kettrix {

// What the keyboard needs from the plug-in around it. Called on the editor's
// thread with the plug-in lock held.
class KeyboardHost {
public:
    virtual ~KeyboardHost() = default;

    // The sound whose page the editor shows, -1 for none.
    virtual int CurrentSound() const = 0;
    // The sound's key range in force (MIDI notes, lo > hi for none).
    virtual void KeyRange(int sound, int& lo, int& hi) const = 0;
    // Whether a note-on of `note` is waiting for its note-off.
    virtual bool NoteHeld(int note) const = 0;
    // A preview note of the on-screen keyboard, taking effect at the next block.
    virtual void NoteOn(int note, int velocity) = 0;
    virtual void NoteOff(int note) = 0;
    // Keeps lo..hi as the sound's edited range; the next change of "Keyboard"
    // applies it (and writes it into the sound's key parameters).
    virtual void MarkRangeEdited(int sound, int lo, int hi) = 0;
};

class IKeyboardControlK4 : public IControl {
public:
    // Geometry of the key images and the octave.
    static constexpr int kWhiteKeyWidth = 14;
    static constexpr int kWhiteKeyHeight = 46;
    static constexpr int kBlackKeyWidth = 9;
    static constexpr int kBlackKeyHeight = 31;
    static constexpr int kOctaveWidth = 7 * kWhiteKeyWidth;  // 98
    // Octaves whose black keys take clicks.
    static constexpr int kOctaveCount = 9;
    // The leftmost C; white keys are drawn below kNoteLimit, then the end key.
    static constexpr int kLowestNote = 24;
    static constexpr int kNoteLimit = 114;
    static constexpr int kPreviewVelocity = 127;
    // X offset of each pitch class within an octave (C, C#, D, ... B).
    static constexpr std::array<int, 12> kKeyOffsets = {0, 10, 14, 24, 28, 42, 52, 56, 66, 70, 80, 84};

    IKeyboardControlK4(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, const IBitmap& whiteKeys,
                       const IBitmap& blackKeys);

    // Gives the keyboard the plug-in side and the engine's activity flags
    // (both outlive the control). Without a host it draws and plays nothing.
    void SetHost(KeyboardHost* host, editor::LiveActivity* activity);

    // The note under (x, y), -1 outside the keyboard.
    int HitTest(int x, int y) const;
    // The rectangle a key is drawn in.
    IRECT KeyRect(int note) const;
    static bool IsBlack(int note) { return kWhiteFrame[static_cast<std::size_t>(note % 12)] == 0; }

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override;
    void OnMouseWheel(int x, int y, const IMouseMod& mod, double d) override;
    bool Draw(IGraphics* graphics) override;
    // Takes the engine's news: redraws the keys whose look changed.
    void OnGuiIdle() override;

    // Ends a press whose release will not come (the window closes under the
    // mouse): the previewed note stops and an open range edit ends.
    void ReleasePress();

    int PressedNote() const { return pressedNote_; }
    bool Dragging() const { return dragging_; }

private:
    // The next white key from a white key, or black key from a black key.
    static constexpr std::array<int, 12> kNextStep = {2, 2, 2, 3, 1, 2, 2, 2, 2, 2, 3, 1};
    // White-key frame by pitch class (0 for black keys).
    static constexpr std::array<int, 12> kWhiteFrame = {1, 0, 2, 0, 3, 1, 0, 4, 0, 5, 0, 3};
    static constexpr int kEndKeyFrame = 6;
    static constexpr int kHeldLampFrame = 7;
    static constexpr int kBlackInRangeFrame = 1, kBlackHeldFrame = 2, kBlackHeldInRangeFrame = 3;
    static constexpr int kNoteCount = 128;
    // A key's look: held and in-range bits; kUnknown when its pixels may
    // show something else.
    static constexpr std::uint8_t kHeldBit = 1, kInRangeBit = 2, kUnknown = 0xff;

    std::uint8_t LookOf(int note) const;
    void ReadRange();
    void DrawKey(IGraphics* graphics, int note, const IRECT& rect);
    // Marks the keys whose look differs from what was last drawn.
    void MarkChangedKeys();
    // The key's rectangle within the editor's window.
    IRECT VisibleKeyRect(int note) const;

    IBitmap whiteKeys_, blackKeys_;
    KeyboardHost* host_ = nullptr;
    editor::LiveActivity* activity_ = nullptr;
    int pressedNote_ = -1;
    // True while the pressed note plays (a left press); a right press only
    // takes the key as the end of the range to move.
    bool previewing_ = false;
    bool dragging_ = false;
    int sound_ = -1;
    // The current sound's range as read for drawing, and as read at the
    // press (the drag rules work from the range the drag started from).
    int rangeLow_ = 0, rangeHigh_ = -1;
    int pressLow_ = 0, pressHigh_ = -1;
    // True while a right drag has told the host that "Keyboard" is being edited.
    bool editing_ = false;
    std::array<std::uint8_t, kNoteCount> drawnLook_{};
    bool recheck_ = true;
};

}  // namespace kettrix
