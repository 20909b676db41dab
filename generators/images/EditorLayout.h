#pragma once
// Where things sit in the 839 x 556 editor window: the rectangle of every
// control of one sound's page and of the global controls, and every label
// that the background (and the two backdrop images) carry beside them.
// The control rectangles come from the editor's own layout table; the labels
// are the background's. The image generator paints from these tables; the
// artwork tests check the painted labels against the control rectangles.
// Plain data, no drawing.

#include <string>
#include <vector>

#include "editor/EditorLayout.h"

namespace kettrix::artwork {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool intersects(const Rect& o) const { return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom(); }
};

// How a control shows in the review pictures.
enum class Look { Knob, Switch, Tab, Selector, Slider, Contact, Image, Text, Area };

struct ControlRect {
    std::string what;
    Look kind;
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
// previous/next buttons, keyboard, read-out, keyboard mode, zoom switch). The velocity
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

// The editor's rectangle in x, y, width, height.
constexpr Rect fromEditor(const editor::Rect& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

inline constexpr int kWindowWidth = editor::kEditorWidth;
inline constexpr int kWindowHeight = editor::kEditorHeight;
inline constexpr int kStripX0 = editor::kStripX0;
inline constexpr int kStripPitch = editor::kStripPitch;
inline constexpr int kNoiseRowStep = editor::kNoiseRowStep;

// The two backdrops, each as large as its image.
extern const Rect kHitPanel;
extern const Rect kVelocityPage;

// Envelope displays of the three sections (the editor draws the curves).
inline constexpr Rect kEnvelopeDisplays[3] = {fromEditor(editor::kEnvelopeDisplayRects[0]),
                                              fromEditor(editor::kEnvelopeDisplayRects[1]),
                                              fromEditor(editor::kEnvelopeDisplayRects[2])};
// The on-screen keyboard: white keys 14 x 46 from here to the window's edge.
inline constexpr Rect kKeyboard{editor::kKeyboardRect.left, editor::kKeyboardRect.top,
                                kWindowWidth - editor::kKeyboardRect.left,
                                editor::kKeyboardRect.bottom - editor::kKeyboardRect.top};
inline constexpr Rect kReadout = fromEditor(editor::kReadOutRect);

}  // namespace kettrix::artwork
