// The large pictures: the window's background, the two backdrops that
// cover parts of it (hit generator panel, velocity page), the pop-up menu's
// pictures and the piano keys.
#include "Catalog.h"
#include "EditorLayout.h"
#include "Style.h"
#include "Widgets.h"

#include <cmath>

namespace kettrix::artwork {
namespace {

TextStyle styleFor(LabelRole role) {
    switch (role) {
        case LabelRole::Title:
            return style::title();
        case LabelRole::Group:
            return style::group();
        default:
            return style::label();
    }
}

Align alignFor(LabelAnchor anchor) {
    switch (anchor) {
        case LabelAnchor::Left:
            return Align::Left;
        case LabelAnchor::Right:
            return Align::Right;
        default:
            return Align::Centre;
    }
}

void drawLabels(const Canvas& c, const std::vector<Label>& labels) {
    for (const Label& l : labels) c.text(l.text, l.x, l.capTop, alignFor(l.anchor), styleFor(l.role));
}

// An engraved line: a dark groove with a lit lower or right edge.
void engraveH(const Canvas& c, double x1, double x2, double y) {
    c.fillRect(x1, y, x2 - x1, 1, style::kEngraveDark);
    c.fillRect(x1, y + 1, x2 - x1, 1, style::kEngraveLight);
}

void engraveV(const Canvas& c, double x, double y1, double y2) {
    c.fillRect(x, y1, 1, y2 - y1, style::kEngraveDark);
    c.fillRect(x + 1, y1, 1, y2 - y1, style::kEngraveLight);
}

// A dark screen with a faint grid, for the envelope displays and read-out.
void drawScreen(const Canvas& c, const Rect& r, bool grid) {
    c.fillRect(r.x - 1, r.y - 1, r.w + 2, r.h + 2, {8, 9, 11});
    c.fillRect(r.x - 1, r.bottom(), r.w + 2, 1, style::kEngraveLight);
    c.fillRect(r.x, r.y, r.w, r.h, style::kScreen);
    if (!grid) return;
    for (int k = 1; k < 8; ++k) {
        const int x = r.x + static_cast<int>(std::lround(r.w * k / 8.0));
        c.fillRect(x, r.y, 1, r.h, style::kGrid);
    }
    for (int k = 1; k < 4; ++k) {
        const int y = r.y + static_cast<int>(std::lround(r.h * k / 4.0));
        c.fillRect(r.x, y, r.w, 1, k == 2 ? style::kGridMajor : style::kGrid);
    }
}

// The right-hand page's body below its tab row (also the velocity backdrop's).
void drawPageBody(const Canvas& c, double x, double y) { c.inset(x, y + 18, 94, 319, 3, style::kPanel); }

// A previous/next pair: a base for each clear key cap and its arrow.
void drawStepperBase(const Canvas& c, int x, int y) {
    for (int k = 0; k < 2; ++k) {
        const double left = x + 13 * k + 1;
        c.fillRounded(left, y + 1, 12, 23, 3, {22, 25, 29});
        drawArrow(c, left + 6, y + 12.5, k == 0 ? -1 : 1, 7, style::kLabel);
    }
}

void drawKeyboard(const Canvas& c) {
    const Rect& k = kKeyboard;
    c.inset(40, k.y - 4, kWindowWidth - 40 + 8, k.h + 8, 3, {16, 18, 21});
    c.fillRect(k.x, k.y, k.w, k.h, style::kKeyGap);
    for (int x = k.x; x < kWindowWidth; x += 14) {
        c.fillRoundedGradient(x, k.y - 2, 13, k.h + 2, 1.5, style::kWhiteKeyTop, style::kWhiteKeyBottom);
        c.fillRect(x, k.bottom() - 3, 13, 3, {150, 156, 163});
    }
    c.fillRect(k.x, k.y, k.w, 2, {0, 0, 0, 0.35});
    static const int kBlackOffsets[] = {10, 24, 52, 66, 80};
    for (int octave = 0; octave < 9; ++octave) {
        for (int offset : kBlackOffsets) {
            const int x = k.x + 98 * octave + offset;
            if (x >= kWindowWidth) continue;
            c.fillRect(x - 0.5, k.y, 10, 32, {0, 0, 0, 0.30});
            c.fillRoundedGradient(x, k.y - 2, 9, 33, 1.5, {46, 50, 55}, style::kBlackKey);
            c.fillRect(x + 1, k.y + 26, 7, 3, {56, 61, 67});
        }
    }
}

}  // namespace

void paintBackground(Canvas& c) {
    c.fillRoundedGradient(0, 0, kWindowWidth, kWindowHeight, 0, style::kWindowTop, style::kWindowBottom);

    // Sound strip: a rail, and under every tab the look of a selected tab
    // (the selected tab's own control is hidden and this shows instead).
    c.inset(31, 6, 777, 61, 4, {24, 27, 31});
    for (int i = 0; i < 10; ++i) {
        drawTab(c, kStripX0 + kStripPitch * i, 10, 75, 53, "", true, style::kSoundTabSelected);
    }

    // The sound page: one faceplate with engraved section lines.
    c.inset(35, 70, 672, 370, 4, style::kPanel);
    for (int row = 0; row < 2; ++row) engraveH(c, 41, 396, 213 + row * kNoiseRowStep);
    engraveV(c, 400, 76, 434);
    engraveV(c, 168, 95, 209);
    for (int row = 0; row < 3; ++row)
        engraveV(c, 270, row == 0 ? 95 : 219 + (row - 1) * kNoiseRowStep,
                 row == 0 ? 209 : 322 + (row - 1) * kNoiseRowStep);

    // Envelope displays and their view tabs, each drawn selected.
    for (const Rect& d : kEnvelopeDisplays) drawScreen(c, d, true);
    drawTab(c, 403, 93, 43, 18, "VOL", true, style::kScreen);
    drawTab(c, 446, 93, 43, 18, "MOD", true, style::kScreen);
    drawTab(c, 489, 93, 43, 18, "FILTER", true, style::kScreen);
    for (int row = 0; row < 2; ++row) {
        const int y = 206 + row * kNoiseRowStep;
        drawTab(c, 403, y, 43, 18, "VOL", true, style::kScreen);
        drawTab(c, 446, y, 43, 18, "FILTER", true, style::kScreen);
    }

    // Right-hand page: its body and both page tabs in their selected look.
    drawPageBody(c, 710, 93);
    drawTab(c, 710, 93, 47, 18, "MIXER", true, style::kPanel);
    drawTab(c, 757, 93, 47, 18, "VELOCITY", true, style::kPanel);

    // Previous/next buttons of the hit, filter and noise type selectors.
    drawStepperBase(c, 184, 174);
    drawStepperBase(c, 279, 174);
    for (int row = 0; row < 2; ++row) {
        drawStepperBase(c, 45, 287 + row * kNoiseRowStep);
        drawStepperBase(c, 279, 287 + row * kNoiseRowStep);
    }

    drawLabels(c, backgroundLabels());
    drawKeyboard(c);

    // Bottom row: the read-out screen and the maker's and product's names.
    drawScreen(c, {kReadout.x - 4, kReadout.y - 4, kReadout.w + 8, kReadout.h + 7}, false);
    const TextStyle brand = style::brand();
    const double brandWidth = c.text("Kettrix 4", 804, 529, Align::Right, brand);
    TextStyle maker = style::group();
    maker.size = 10.0;
    c.text("SORVANE", 804 - brandWidth - 8, 536, Align::Right, maker);
}

void paintHitPanel(Canvas& c) {
    c.fillRounded(0, 0, 93, 63, 4, style::kFaceEdge);
    c.fillRoundedGradient(1, 1, 91, 61, 3, {44, 49, 55}, {36, 40, 45});
    c.line(4, 1.5, 89, 1.5, {70, 76, 84});
    drawLabels(c, hitPanelLabels());
}

void paintVelocityPage(Canvas& c) {
    c.fillRoundedGradient(0, 0, 94, 337, 0, style::kWindowTop.mix(style::kWindowBottom, 0.1),
                          style::kWindowTop.mix(style::kWindowBottom, 0.9));
    drawTab(c, 0, 0, 47, 18, "MIXER", false, style::kPanel);
    drawPageBody(c, 0, 0);
    drawTab(c, 47, 0, 47, 18, "VELOCITY", true, style::kPanel);
    drawLabels(c, velocityPageLabels());
}

void paintMenuBackground(Canvas& c) {
    const double w = c.width(), h = c.frameHeight();
    c.fillRounded(0, 0, w, h, 6, {80, 88, 98});
    c.fillRoundedGradient(1, 1, w - 2, h - 2, 5, {44, 48, 54}, {32, 35, 40});
    c.fillRect(8, 1, w - 16, 2, style::kAccent);
    c.inset(18, 41, w - 36, h - 55, 3, {22, 25, 29});
    // Two columns: a rule between them.
    if (w > 400) c.fillRect(252, 45, 1, h - 63, {40, 45, 51});
}

void paintMenuItems(Canvas& c) {
    const double w = c.width(), h = c.frameHeight();
    for (int f = 0; f < 4; ++f) {
        c.frame(f);
        const bool header = f < 2, lit = (f % 2) == 1;
        const Colour fill =
            header ? (lit ? Colour{30, 78, 98} : Colour{40, 46, 53}) : (lit ? Colour{24, 66, 84} : Colour{22, 25, 29});
        c.fillRect(0, 0, w, h, fill);
        c.fillRect(0, h - 1, w, 1, header ? Colour{26, 30, 34} : Colour{32, 36, 41});
        if (lit) c.fillRect(0, 0, 3, h - 1, style::kAccent);
        if (header) {
            const double cx = w - 12, cy = h / 2;
            cairo_t* cr = c.cr();
            c.setColour(lit ? style::kAccent : style::kLabelDim);
            cairo_set_line_width(cr, 1.6);
            cairo_move_to(cr, cx - 2, cy - 4);
            cairo_line_to(cr, cx + 2, cy);
            cairo_line_to(cr, cx - 2, cy + 4);
            cairo_stroke(cr);
        }
    }
}

// White keys: frames 1-5 are keys of the current range shaped by pitch class
// (notched where black keys overlap them; transparent there so the black
// keys of the background stay visible), frame 6 the end key, frame 7 the
// lamp of a held key, drawn over any of them.
void paintWhiteKeys(Canvas& c) {
    // Notches (left, right) per frame: C/F, D, E/B, G, A, end key.
    static const bool kLeft[6] = {false, true, true, true, true, false};
    static const bool kRight[6] = {true, true, false, true, true, false};
    for (int f = 0; f < 6; ++f) {
        c.frame(f);
        c.fillRoundedGradient(0, -2, 13, 48, 1.5, {176, 228, 245}, {118, 190, 220});
        c.fillRect(0, 43, 13, 3, {96, 160, 190});
        cairo_set_operator(c.cr(), CAIRO_OPERATOR_CLEAR);
        if (kLeft[f]) c.fillRect(0, 0, 5, 32, {});
        if (kRight[f]) c.fillRect(10, 0, 4, 32, {});
        cairo_set_operator(c.cr(), CAIRO_OPERATOR_OVER);
        // The notch edges catch a little shadow from the black keys.
        if (kLeft[f]) c.fillRect(5, 0, 1, 32, {0, 0, 0, 0.18});
        if (kRight[f]) c.fillRect(9, 0, 1, 32, {0, 0, 0, 0.18});
    }
    c.frame(6);
    drawLamp(c, 2.5, 36, 8, 4, true);
}

// Black keys: in range; held outside the range; held within it.
void paintBlackKeys(Canvas& c) {
    for (int f = 0; f < 3; ++f) {
        c.frame(f);
        const bool inRange = f != 1;
        if (inRange) {
            c.fillRoundedGradient(0, -2, 9, 33, 1.5, {58, 150, 184}, {30, 96, 122});
            c.fillRect(1, 26, 7, 3, {64, 156, 190});
        } else {
            c.fillRoundedGradient(0, -2, 9, 33, 1.5, {46, 50, 55}, style::kBlackKey);
            c.fillRect(1, 26, 7, 3, {56, 61, 67});
        }
        if (f >= 1) drawLamp(c, 2, 21, 5, 3, true);
    }
}

}  // namespace kettrix::artwork
