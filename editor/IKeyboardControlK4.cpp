#include "editor/IKeyboardControlK4.h"

#include <algorithm>

#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {
namespace {

// The white key's place within its octave: C D E F G A B are 0 to 6.
int whiteIndex(int pitchClass) { return (pitchClass + (pitchClass >= 5 ? 1 : 0)) / 2; }

}  // namespace

IKeyboardControlK4::IKeyboardControlK4(IGraphicsPlug* plug, const IRECT& rect, int paramIdx, const IBitmap& whiteKeys,
                                       const IBitmap& blackKeys)
    : IControl(plug, rect, paramIdx), whiteKeys_(whiteKeys), blackKeys_(blackKeys) {
    // A preview click changes no parameter; only a range edit tells the host.
    ownGestures_ = true;
    drawnLook_.fill(kUnknown);
}

void IKeyboardControlK4::SetHost(KeyboardHost* host, editor::LiveActivity* activity) {
    host_ = host;
    activity_ = activity;
    drawnLook_.fill(kUnknown);
    SetDirty(false);
}

// --- Geometry ------------------------------------------------------------------

int IKeyboardControlK4::HitTest(int x, int y) const {
    if (!rect_.Contains(x, y)) return -1;
    const int dx = x - rect_.L, dy = y - rect_.T;
    const int octave = dx / kOctaveWidth;
    const int xin = dx - kOctaveWidth * octave;
    if (dy < kBlackKeyHeight && octave < kOctaveCount) {
        for (int pitchClass : {1, 3, 6, 8, 10}) {
            const int left = kKeyOffsets[static_cast<std::size_t>(pitchClass)];
            if (xin >= left && xin < left + kBlackKeyWidth) return 12 * (octave + 2) + pitchClass;
        }
    }
    const int w = xin / kWhiteKeyWidth;
    const int pitchClass = 2 * w - (w >= 3 ? 1 : 0);
    return 12 * (octave + 2) + pitchClass;
}

IRECT IKeyboardControlK4::KeyRect(int note) const {
    const int octave = note / 12 - 2, pitchClass = note % 12;
    const int octaveLeft = rect_.L + kOctaveWidth * octave;
    if (IsBlack(note)) {
        const int left = octaveLeft + kKeyOffsets[static_cast<std::size_t>(pitchClass)];
        return IRECT(left, rect_.T, left + kBlackKeyWidth, rect_.T + kBlackKeyHeight);
    }
    const int left = octaveLeft + kWhiteKeyWidth * whiteIndex(pitchClass);
    return IRECT(left, rect_.T, left + kWhiteKeyWidth, rect_.T + kWhiteKeyHeight);
}

IRECT IKeyboardControlK4::VisibleKeyRect(int note) const {
    IRECT rect = KeyRect(note).Intersect(rect_);
    if (const IGraphics* graphics = GetGUI()) rect = rect.Intersect(IRECT(0, 0, graphics->Width(), graphics->Height()));
    return rect;
}

// --- Looks -----------------------------------------------------------------------

void IKeyboardControlK4::ReadRange() {
    sound_ = host_ ? host_->CurrentSound() : -1;
    rangeLow_ = 0;
    rangeHigh_ = -1;
    if (sound_ >= 0) host_->KeyRange(sound_, rangeLow_, rangeHigh_);
}

std::uint8_t IKeyboardControlK4::LookOf(int note) const {
    std::uint8_t look = 0;
    if (host_ && host_->NoteHeld(note)) look |= kHeldBit;
    if (note >= rangeLow_ && note <= rangeHigh_) look |= kInRangeBit;
    return look;
}

void IKeyboardControlK4::DrawKey(IGraphics* graphics, int note, const IRECT& clip) {
    const IRECT rect = KeyRect(note);
    const IRECT visible = VisibleKeyRect(note);
    if (!visible.Intersects(clip)) {
        // Nothing of it is on the screen: whatever it looks like is shown.
        if (visible.Empty()) drawnLook_[static_cast<std::size_t>(note)] = LookOf(note);
        return;
    }
    const std::uint8_t look = LookOf(note);
    const bool held = (look & kHeldBit) != 0, inRange = (look & kInRangeBit) != 0;
    if (IsBlack(note)) {
        if (inRange)
            graphics->DrawBitmapFrame(blackKeys_, rect, held ? kBlackHeldInRangeFrame : kBlackInRangeFrame, &blend_);
        else if (held)
            graphics->DrawBitmapFrame(blackKeys_, rect, kBlackHeldFrame, &blend_);
    } else {
        const int frame = note < kNoteLimit ? kWhiteFrame[static_cast<std::size_t>(note % 12)] : kEndKeyFrame;
        if (inRange) graphics->DrawBitmapFrame(whiteKeys_, rect, frame, &blend_);
        if (held) graphics->DrawBitmapFrame(whiteKeys_, rect, kHeldLampFrame, &blend_);
    }
    // A key drawn whole now shows its look; one cut by the clip may show a
    // mix of old and new, so the next tick looks at it again.
    std::uint8_t& drawn = drawnLook_[static_cast<std::size_t>(note)];
    if (visible.Intersect(clip) == visible) {
        drawn = look;
    } else if (drawn != look) {
        drawn = kUnknown;
        recheck_ = true;
    }
}

bool IKeyboardControlK4::Draw(IGraphics* graphics) {
    // The background carries the plain keyboard: only keys in the range or
    // held are drawn over it.
    if (!host_) return true;
    ReadRange();
    const IRECT clip = graphics->GetDrawClip();
    int note = kLowestNote;
    while (note < kNoteLimit) {
        DrawKey(graphics, note, clip);
        note += kNextStep[static_cast<std::size_t>(note % 12)];
    }
    DrawKey(graphics, note, clip);  // the end key
    for (note = kLowestNote + 1; note <= kNoteLimit; note += kNextStep[static_cast<std::size_t>(note % 12)])
        DrawKey(graphics, note, clip);
    return true;
}

void IKeyboardControlK4::MarkChangedKeys() {
    recheck_ = false;
    if (!host_) return;
    ReadRange();
    auto mark = [this](int note) {
        const std::uint8_t look = LookOf(note);
        std::uint8_t& drawn = drawnLook_[static_cast<std::size_t>(note)];
        if (look == drawn) return;
        const IRECT visible = VisibleKeyRect(note);
        if (visible.Empty())
            drawn = look;
        else
            SetDirtyArea(visible);
    };
    int note = kLowestNote;
    while (note < kNoteLimit) {
        mark(note);
        note += kNextStep[static_cast<std::size_t>(note % 12)];
    }
    mark(note);
    for (note = kLowestNote + 1; note <= kNoteLimit; note += kNextStep[static_cast<std::size_t>(note % 12)]) mark(note);
}

void IKeyboardControlK4::OnGuiIdle() {
    const bool changed = activity_ != nullptr && activity_->TakeKeyboardChanged();
    if (changed || recheck_) MarkChangedKeys();
}

// --- Mouse -----------------------------------------------------------------------

void IKeyboardControlK4::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (!host_) return;
    PlugScopedLock lock(plug_);
    ReadRange();
    pressLow_ = rangeLow_;
    pressHigh_ = rangeHigh_;
    const int note = HitTest(x, y);
    if (note < 0 || note == pressedNote_) return;
    if (mod.R) {
        // The end of a range can be taken whether or not its key sounds.
        pressedNote_ = note;
        previewing_ = false;
        return;
    }
    // A key already held (by MIDI) is neither restarted nor taken over:
    // its own note-off releases it.
    if (!mod.L || host_->NoteHeld(note)) return;
    pressedNote_ = note;
    previewing_ = true;
    host_->NoteOn(note, kPreviewVelocity);
    MarkChangedKeys();
}

void IKeyboardControlK4::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    // The system turns the second press of a quick double click into this
    // call: it plays like any press.
    OnMouseDown(x, y, mod);
}

void IKeyboardControlK4::OnMouseDrag(int x, int y, int /*dX*/, int /*dY*/, const IMouseMod& mod) {
    if (!mod.R || !host_) return;
    PlugScopedLock lock(plug_);
    dragging_ = true;
    const int note = HitTest(x, y);
    if (note < 1 || note >= kNoteLimit) return;
    // From the range as it was at the press: a drag that turns back moves
    // the same end back.
    const int p = pressedNote_, l = pressLow_, h = pressHigh_;
    int low = l, high = h;
    if (p == l && p == h) {
        if (note <= l)
            low = note;
        else
            high = note;
    } else if (p == l) {
        low = std::min(note, h);
    } else if (p == h) {
        high = std::max(note, l);
    } else {
        return;  // a drag from inside the range (or outside it) moves nothing
    }
    ReadRange();
    if (sound_ < 0 || (low == rangeLow_ && high == rangeHigh_)) return;
    if (!editing_ && plug_) {
        plug_->BeginHostParamEdit(paramIdx_);
        editing_ = true;
    }
    host_->MarkRangeEdited(sound_, low, high);
    // "Keyboard" changing from the editor applies the marked range.
    SetDirty(true);
}

void IKeyboardControlK4::OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    PlugScopedLock lock(plug_);
    const bool pressed = pressedNote_ > 0;
    ReleasePress();
    if (pressed && plug_) plug_->ClearParamInfo();
}

void IKeyboardControlK4::ReleasePress() {
    PlugScopedLock lock(plug_);
    dragging_ = false;
    if (editing_) {
        if (plug_) plug_->EndHostParamEdit(paramIdx_);
        editing_ = false;
    }
    if (pressedNote_ <= 0) return;
    if (previewing_ && host_) host_->NoteOff(pressedNote_);
    pressedNote_ = -1;
    previewing_ = false;
    MarkChangedKeys();
}

void IKeyboardControlK4::OnMouseWheel(int /*x*/, int /*y*/, const IMouseMod& /*mod*/, double /*d*/) {
    // The wheel has nothing to move here; the base wheel would step the
    // "Keyboard" value and tell the host of an edit that changes nothing.
}

}  // namespace kettrix
