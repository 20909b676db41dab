#pragma once
// Where things sit in the 839 x 556 editor window: the rectangle of every
// control of one sound's page and of the global controls, and every label
// that the background (and the two backdrop images) carry beside them.
// The image generator paints from these tables; the artwork tests check the
// painted labels against the control rectangles. Plain data, no drawing.

#include <string>
#include <vector>

namespace kettrix::artwork {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool intersects(const Rect& o) const { return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom(); }
};

enum class ControlKind { Knob, Switch, Tab, Selector, Slider, Contact, Image, Text, Area };

struct ControlRect {
    std::string what;
    ControlKind kind;
    Rect rect;
    std::string image;  // file under resources/img/, empty when it draws none
};

enum class LabelRole {
    Title,  // a section's name
    Group,  // a group of controls within a section
    Label,  // the name of one control
};

enum class LabelAnchor { Left, Centre, Right };

// A label's position: x is its left edge, centre or right edge, capTop the
// top of its capital letters.
struct Label {
    std::string text;
    double x = 0;
    int capTop = 0;
    LabelAnchor anchor = LabelAnchor::Centre;
    LabelRole role = LabelRole::Label;
};

// The editor's controls with the current sound's page visible, in window
// coordinates: the oscillator and noise sections, the envelope columns, the
// mixer page and the global controls (sound strip, envelope displays,
// previous/next buttons, keyboard, read-out, keyboard mode). The velocity
// page and the hit generator panel are listed separately because their
// backdrops cover what lies beneath them.
std::vector<ControlRect> pageControls();
std::vector<ControlRect> velocityPageControls();  // window coordinates
std::vector<ControlRect> hitPanelControls();      // window coordinates

// Labels painted into the background, the hit generator panel (coordinates
// within that image, whose top-left is kHitPanel) and the velocity page
// backdrop (within that image, top-left kVelocityPage).
std::vector<Label> backgroundLabels();
std::vector<Label> hitPanelLabels();
std::vector<Label> velocityPageLabels();

inline constexpr int kWindowWidth = 839;
inline constexpr int kWindowHeight = 556;
inline constexpr Rect kHitPanel{174, 111, 93, 63};
inline constexpr Rect kVelocityPage{710, 93, 94, 337};
inline constexpr int kStripX0 = 35;  // sound strip i starts at x = 35 + 77 i
inline constexpr int kStripPitch = 77;
inline constexpr int kNoiseRowStep = 113;  // noise 2 sits this far below noise 1

// Envelope displays of the three sections (the editor draws the curves).
inline constexpr Rect kEnvelopeDisplays[3] = {{403, 111, 243, 93}, {403, 224, 243, 93}, {403, 337, 243, 93}};
// The on-screen keyboard: white keys 14 x 46 from here to the window's edge.
inline constexpr Rect kKeyboard{48, 465, kWindowWidth - 48, 46};
inline constexpr Rect kReadout{15, 526, 200, 23};

}  // namespace kettrix::artwork
