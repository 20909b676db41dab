#include "Widgets.h"

#include "Style.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kettrix::artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Knob angles count clockwise from straight up; Cairo's from the +x axis.
double toCairo(double degrees) { return (degrees - 90.0) * kPi / 180.0; }

void circle(const Canvas& c, double cx, double cy, double r) {
    cairo_new_sub_path(c.cr());
    cairo_arc(c.cr(), cx, cy, r, 0, 2 * kPi);
}

}  // namespace

void drawKnob(const Canvas& c, int size, double angle) {
    cairo_t* cr = c.cr();
    const bool large = size >= 25;
    const double centre = size / 2.0;
    const double ring = large ? 12.6 : 9.0;
    const double ringWidth = large ? 2.0 : 1.6;
    const double body = large ? 9.6 : 6.8;

    // The travel, then the lit part of it.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, ringWidth);
    c.setColour(style::kTrack);
    cairo_arc(cr, centre, centre, ring, toCairo(-135), toCairo(135));
    cairo_stroke(cr);
    if (angle > -135.0) {
        c.setColour(style::kAccentSoft);
        cairo_arc(cr, centre, centre, ring, toCairo(-135), toCairo(angle));
        cairo_stroke(cr);
    }

    // Shadow, body with light from above, rim.
    c.setColour({0, 0, 0, 0.45});
    circle(c, centre, centre + 1.0, body + 0.6);
    cairo_fill(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, centre - body, 0, centre + body);
    cairo_pattern_add_color_stop_rgb(shade, 0, 88 / 255.0, 95 / 255.0, 104 / 255.0);
    cairo_pattern_add_color_stop_rgb(shade, 1, 38 / 255.0, 42 / 255.0, 47 / 255.0);
    circle(c, centre, centre, body);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_pattern_t* cap = cairo_pattern_create_linear(0, centre - body, 0, centre + body);
    cairo_pattern_add_color_stop_rgb(cap, 0, 62 / 255.0, 67 / 255.0, 74 / 255.0);
    cairo_pattern_add_color_stop_rgb(cap, 1, 50 / 255.0, 54 / 255.0, 60 / 255.0);
    circle(c, centre, centre, body - 1.4);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);

    // The indicator.
    const double a = toCairo(angle);
    const double inner = large ? 3.2 : 2.2;
    const double outer = body - (large ? 1.8 : 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    c.line(centre + inner * std::cos(a), centre + inner * std::sin(a), centre + outer * std::cos(a),
           centre + outer * std::sin(a), style::kAccent, large ? 2.0 : 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void drawButtonFace(const Canvas& c, double x, double y, double w, double h, bool lit) {
    c.fillRounded(x, y, w, h, 3.0, style::kFaceEdge);
    if (lit) {
        c.fillRoundedGradient(x + 1, y + 1, w - 2, h - 2, 2.0, {46, 104, 126}, {27, 72, 90});
        c.line(x + 3, y + 1.5, x + w - 3, y + 1.5, {96, 170, 196});
    } else {
        c.fillRoundedGradient(x + 1, y + 1, w - 2, h - 2, 2.0, style::kFaceTop, style::kFaceBottom);
        c.line(x + 3, y + 1.5, x + w - 3, y + 1.5, {92, 99, 108});
    }
}

void drawLamp(const Canvas& c, double x, double y, double w, double h, bool lit) {
    const double radius = std::fmin(w, h) / 2;
    if (!lit) {
        c.fillRounded(x, y, w, h, radius, {22, 25, 29});
        c.fillRounded(x + 0.5, y + 0.5, w - 1, h - 1, radius, style::kLedOff);
        return;
    }
    c.fillRounded(x - 1, y - 1, w + 2, h + 2, radius + 1, style::kAccent.withAlpha(0.35));
    c.fillRounded(x, y, w, h, radius, style::kAccent);
    c.fillRounded(x + w * 0.25, y + h * 0.2, w * 0.5, h * 0.35, radius / 2, {214, 246, 255, 0.8});
}

void drawTab(const Canvas& c, double x, double y, double w, double h, std::string_view text, bool selected,
             Colour selectedFill) {
    TextStyle style = style::label();
    if (selected) {
        c.fillRect(x, y, w, h, selectedFill);
        c.fillRect(x + 1, y, w - 2, 2, style::kAccent);
        style.colour = style::kAccent;
    } else {
        c.fillRect(x, y, w, h, style::kFaceEdge);
        c.fillRoundedGradient(x + 1, y + 1, w - 2, h - 1, 2.0, style::kTabOffTop, style::kTabOffBottom);
        style.colour = style::kLabel;
    }
    if (!text.empty()) {
        // A long word falls back to the smaller size, then to the regular weight.
        if (c.textWidth(text, style) > w - 4) style.size = 8.0;
        if (c.textWidth(text, style) > w - 4) style.weight = Weight::Regular;
        if (c.textWidth(text, style) > w - 4) {
            std::fprintf(stderr, "tab text '%.*s' is wider than %g pixels\n", static_cast<int>(text.size()),
                         text.data(), w - 4);
            std::exit(1);
        }
        const double top = y + std::floor((h - Canvas::capHeight(style)) / 2) + (selected ? 1 : 0);
        c.text(text, x + w / 2, top, Align::Centre, style);
    }
}

void drawField(const Canvas& c, double x, double y, double w, double h, bool menuMark) {
    c.fillRounded(x, y, w, h, 3.0, style::kFieldEdge);
    c.fillRounded(x, y, w, h - 1, 3.0, {8, 9, 11});
    c.fillRounded(x + 1, y + 1, w - 2, h - 2, 2.0, style::kFieldFace);
    if (menuMark) {
        const double cx = x + w - 7.5, cy = y + h / 2 + 0.5;
        cairo_t* cr = c.cr();
        cairo_move_to(cr, cx - 3, cy - 1.5);
        cairo_line_to(cr, cx + 3, cy - 1.5);
        cairo_line_to(cr, cx, cy + 1.8);
        cairo_close_path(cr);
        c.setColour(style::kAccentSoft);
        cairo_fill(cr);
    }
}

void drawFieldText(const Canvas& c, std::string_view text, double x, double y, double w, double h, bool centred) {
    const double room = centred ? w - 4 : w - 6;
    const TextStyle style = fittingValueStyle(c, text, room);
    const double top = y + std::floor((h - Canvas::capHeight(style)) / 2);
    if (centred) {
        c.text(text, x + w / 2, top, Align::Centre, style);
    } else {
        c.text(text, x + 6, top, Align::Left, style);
    }
}

TextStyle fittingValueStyle(const Canvas& c, std::string_view text, double room) {
    TextStyle style = style::value();
    if (c.textWidth(text, style) > room) style.weight = Weight::Regular;
    if (c.textWidth(text, style) > room) {
        std::fprintf(stderr, "selector text '%.*s' is wider than %g pixels\n", static_cast<int>(text.size()),
                     text.data(), room);
        std::exit(1);
    }
    return style;
}

void drawArrow(const Canvas& c, double cx, double cy, int direction, double size, Colour colour) {
    cairo_t* cr = c.cr();
    const double half = size / 2;
    cairo_move_to(cr, cx + direction * half * 0.8, cy);
    cairo_line_to(cr, cx - direction * half * 0.8, cy - half);
    cairo_line_to(cr, cx - direction * half * 0.8, cy + half);
    cairo_close_path(cr);
    c.setColour(colour);
    cairo_fill(cr);
}

}  // namespace kettrix::artwork
