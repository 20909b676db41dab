// What the editor contains, as data: every control of every sound and the
// global controls, in the order they are attached (which is also the drawing
// order and the order of the control list), with kind, image, position,
// bound parameter, section group and menu. The editor builds its control
// list from these tables; nothing here depends on drawing.
#pragma once

#include <array>
#include <vector>

#include "base/SettingVocabulary.h"
#include "kit/ParameterTable.h"

namespace kettrix::editor {

inline constexpr int kEditorWidth = 839;
inline constexpr int kEditorHeight = 556;

// Where the repeated parts sit: sound strip i starts at kStripX0 + kStripPitch i;
// the noise 2 section is the noise 1 section moved down by kNoiseRowStep.
inline constexpr int kStripX0 = 35;
inline constexpr int kStripPitch = 77;
inline constexpr int kNoiseRowStep = 113;

enum class ControlKind {
    Background,
    Image,           // plain bitmap, no function of its own
    Switch,          // click steps through the frames
    Contact,         // momentary button
    Knob,            // vertical drag (knobs and the envelope sliders)
    HSlider,         // horizontal drag
    Selector,        // shows its value's frame, opens the shared menu
    ReadOut,         // one text line
    FileCommands,    // invisible; runs the Patch menu's commands
    NameField,       // a sound's editable name
    EnvelopeEditor,  // graphical envelope of the current sound
    Keyboard,        // on-screen keyboard
    PopupMenu        // the shared in-window menu
};

// The fourteen section groups of a sound, in creation order of the groups.
enum class Group {
    Oscillator,
    Noise1,
    Noise2,
    Mixer,
    Velocity,
    Unused,  // created, hidden and shown with the others; no control joins it
    PageTabs,
    OscVolume,
    OscModulation,
    OscFilter,
    Noise1Volume,
    Noise1Filter,
    Noise2Volume,
    Noise2Filter,
    None  // global controls
};
inline constexpr int kGroupCount = 14;

// The menus of the editor (their entries are in MenuContents).
enum class Menu {
    None,
    OscillatorType,
    FilterType,
    HitType,
    NoiseType,
    EnvelopeMode,
    AttackShapeVolume,
    AttackShapeModulation,
    ReleaseShape,
    EffectType,
    OutputChannel,
    Choke,
    KeyboardMode,
    Patch
};

// How the read-out line shows a control's parameter (see ReadOut.h).
enum class ReadOutFormat {
    Percent,       // "name: n %" of the parameter's maximum
    OnOff,         // "name: ON" or "name: OFF"
    Hertz,         // a pitch or cutoff in Hz
    OscMix,        // the oscillator mix as "a/b%"
    Pan,           // "n% L", "n% R" or "0% Center"
    HalfPercent,   // a volume of 0..2 as 0..100 %
    ActiveMuted,   // "name: ACTIVE" or "name: MUTED"
    NameOnly,      // the name alone (selectors and tabs)
    Silent,        // the line keeps what it shows
    ShapeHint,     // the envelope editors: how to pick a shape
    KeyboardHint,  // the keyboard: how to drag its range
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// Top-left corners of the two backdrops that cover part of a page: the hit
// generator panel and the velocity page.
inline constexpr Rect kHitPanelAt{174, 111, 0, 0};
inline constexpr Rect kVelocityPageAt{710, 93, 0, 0};
// The envelope displays of the oscillator, noise 1 and noise 2 sections.
inline constexpr std::array<Rect, 3> kEnvelopeDisplayRects = {
    {{403, 111, 646, 204},
     {403, 111 + kNoiseRowStep, 646, 204 + kNoiseRowStep},
     {403, 111 + 2 * kNoiseRowStep, 646, 204 + 2 * kNoiseRowStep}}};

struct ControlEntry {
    ControlKind kind;
    int image;  // resource id, 0 for none
    Rect rect;  // bitmap controls: left/top only; the frame size gives the rest
    int param;  // absolute parameter index, -1 for none
    Group group = Group::None;
    Menu menu = Menu::None;
    int sound = -1;  // the sound a per-sound control belongs to; for name fields and strips, their sound
    ReadOutFormat readOut = ReadOutFormat::Percent;  // what the read-out line says of the parameter
};

// The three envelopes of the oscillator section and two of each noise section,
// with the offsets of their detail group's parameters.
struct EnvelopeEntry {
    Group group;
    int editorParam;  // the envelope editor's own parameter (a sound-0 offset)
    int sliderY;
    int modeY;
    int attack, release, depth, mode, attackShape, releaseShape;
    int attackImage;  // b-attack-vol or b-attack-mod
    Menu attackMenu;
    Rect editorRect;
};
const std::array<EnvelopeEntry, 7>& envelopes();

// Counts and list indices that other code relies on.
inline constexpr int kControlsPerSound = 112;
inline constexpr int kFirstSoundControl = 1;  // after the background
inline constexpr int kGlobalControlsBeforeMenu = 84;
inline constexpr int kMenuControlIndex = 1 + kit::kSoundCount * kControlsPerSound + kGlobalControlsBeforeMenu;  // 1205
inline constexpr int kControlCount = kMenuControlIndex + 1;

// Placeholder parameter of the pop-up menu.
inline constexpr int kMenuParam = 1386;

// The per-sound controls of sound `s` in creation order (112 entries).
std::vector<ControlEntry> soundControls(int s);
// The global controls in creation order, the pop-up menu last (85 entries).
std::vector<ControlEntry> globalControls();
// The whole list: background, ten sounds, global controls (1206 entries).
std::vector<ControlEntry> editorControls();

// Where a global control sits in the list.
namespace global_control {
inline constexpr int kFirst = 1 + kit::kSoundCount * kControlsPerSound;  // 1121
inline constexpr int kStripSize = 5;                                     // tab, volume, lamp, solo, mute
constexpr int soundTab(int s) { return kFirst + kStripSize * s; }
constexpr int soundLamp(int s) { return soundTab(s) + 2; }
inline constexpr int kReadOut = kFirst + kit::kSoundCount * kStripSize;  // 1171
inline constexpr int kKeyboardModeMenu = kReadOut + 1;
inline constexpr int kFileCommands = kReadOut + 2;
inline constexpr int kPatchMenu = kReadOut + 3;
constexpr int nameField(int s) { return kReadOut + 4 + s; }
inline constexpr int kFirstEnvelopeEditor = kReadOut + 14;       // seven, in envelopes() order
inline constexpr int kFirstPrevNext = kFirstEnvelopeEditor + 7;  // twelve, previous then next
inline constexpr int kKeyboard = kFirstPrevNext + 12;
inline constexpr int kMenu = kKeyboard + 1;
static_assert(kMenu == kMenuControlIndex);
}  // namespace global_control

// Read-out line and name field styles.
inline constexpr Rect kReadOutRect{15, 526, 215, 549};
inline constexpr const char* kReadOutStartText = "Sorvane Kettrix 4";
inline constexpr Rect kFileCommandsRect{382, 524, 517, 542};
// The zoom switch in the brand corner, left of the maker's name, on the row
// of the keyboard mode selector: one frame of its image large.
inline constexpr Rect kZoomSwitchRect{622, 525, 658, 542};
constexpr Rect nameFieldRect(int s) { return {kStripX0 + kStripPitch * s, 18, kStripX0 + 75 + kStripPitch * s, 30}; }
inline constexpr Rect kKeyboardRect{48, 465, 944, 511};  // one white key plus 63 more, wider than the window

// Offsets of the hit generator panel (backdrop and three knobs), greyed unless
// "Hit type" is "Hit Generator".
inline constexpr std::array<int, 4> kHitPanelOffsets = {kit::offset::kHitPanel, kit::offset::kHitVolumeMirror,
                                                        kit::offset::kHitLowpassMirror, kit::offset::kHitModDecay};
inline constexpr int kHitGeneratorType = settings::kHitType.valueOf("Hit Generator");
static_assert(kHitGeneratorType >= 0);

}  // namespace kettrix::editor
