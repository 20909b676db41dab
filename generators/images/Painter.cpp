#include "Painter.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kettrix::artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The font files are read directly, never looked up through the system's
// font configuration, so no local font setting can change a letter.
constexpr const char* kFontFolder = "/usr/share/fonts/truetype/liberation2/";

cairo_font_face_t* openFace(FT_Library library, const char* file) {
    const std::string path = std::string(kFontFolder) + file;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "cannot open the font %s (Debian package fonts-liberation2)\n", path.c_str());
        std::exit(1);
    }
    // The Cairo face keeps the FreeType face for the life of the process.
    return cairo_ft_font_face_create_for_ft_face(face, 0);
}

double channel(int v) { return v / 255.0; }

// Only a coordinate on a logical pixel edge has a physical edge; one between
// edges draws a deliberately soft edge (a lamp's rim, a moving thumb) and
// stays where it is.
bool onPixelEdge(double v) { return std::abs(v - std::round(v)) < 1e-9; }

}  // namespace

Colour Colour::mix(Colour other, double t) const {
    auto lerp = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return {lerp(r, other.r), lerp(g, other.g), lerp(b, other.b), a + (other.a - a) * t};
}

Fonts& Fonts::get() {
    static Fonts fonts;
    return fonts;
}

Fonts::Fonts() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "cannot start FreeType\n");
        std::exit(1);
    }
    regular_ = openFace(library, "LiberationSans-Regular.ttf");
    bold_ = openFace(library, "LiberationSans-Bold.ttf");
}

Canvas::Canvas(int width, int height, int frames, int percent)
    : width_(width), frameHeight_(height / frames), frames_(frames), percent_(percent) {
    const int physicalHeight = zoomed() ? frames * zoom::ToPhysical(frameHeight_, percent) : height;
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, zoom::ToPhysical(width, percent), physicalHeight);
    cr_ = cairo_create(surface_);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr_, options);
    cairo_font_options_destroy(options);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
    cairo_save(cr_);
    if (zoomed()) cairo_scale(cr_, scale(), scale());
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::frame(int index) {
    cairo_restore(cr_);
    cairo_save(cr_);
    // The cell is placed and clipped in physical pixels, then scaled.
    const int cellHeight = zoom::ToPhysical(frameHeight_, percent_);
    cairo_translate(cr_, 0, static_cast<double>(index) * cellHeight);
    cairo_rectangle(cr_, 0, 0, zoom::ToPhysical(width_, percent_), cellHeight);
    cairo_clip(cr_);
    if (zoomed()) cairo_scale(cr_, scale(), scale());
}

// Device coordinates of a canvas are physical pixels and its transformation
// only scales and translates, so x and y convert on their own; the tolerance
// keeps an exact physical edge where it is.
double Canvas::edgeX(double x) const {
    if (!onPixelEdge(x)) return x;
    double dx = x, dy = 0;
    cairo_user_to_device(cr_, &dx, &dy);
    dx = std::ceil(dx - 1e-6);
    cairo_device_to_user(cr_, &dx, &dy);
    return dx;
}

double Canvas::edgeY(double y) const {
    if (!onPixelEdge(y)) return y;
    double dx = 0, dy = y;
    cairo_user_to_device(cr_, &dx, &dy);
    dy = std::ceil(dy - 1e-6);
    cairo_device_to_user(cr_, &dx, &dy);
    return dy;
}

Canvas::Box Canvas::snapped(double x, double y, double w, double h) const {
    const double onePixel = 1.0 / scale();
    const double left = edgeX(x), top = edgeY(y);
    double right = edgeX(x + w), bottom = edgeY(y + h);
    if (w > 0 && right <= left) right = left + onePixel;
    if (h > 0 && bottom <= top) bottom = top + onePixel;
    return {left, top, right - left, bottom - top};
}

void Canvas::setColour(Colour c) const { cairo_set_source_rgba(cr_, channel(c.r), channel(c.g), channel(c.b), c.a); }

void Canvas::fillRect(double x, double y, double w, double h, Colour c) const {
    setColour(c);
    if (zoomed()) {
        const Box b = snapped(x, y, w, h);
        cairo_rectangle(cr_, b.x, b.y, b.w, b.h);
    } else {
        cairo_rectangle(cr_, x, y, w, h);
    }
    cairo_fill(cr_);
}

void Canvas::strokeRect(double x, double y, double w, double h, Colour c) const {
    if (zoomed()) {
        // The pen's ring as the area between two snapped rectangles.
        const Box outer = snapped(x - 0.5, y - 0.5, w + 1, h + 1);
        const Box inner = snapped(x + 0.5, y + 0.5, w - 1, h - 1);
        cairo_rectangle(cr_, outer.x, outer.y, outer.w, outer.h);
        cairo_rectangle(cr_, inner.x, inner.y, inner.w, inner.h);
        setColour(c);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr_);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        return;
    }
    setColour(c);
    cairo_set_line_width(cr_, 1.0);
    cairo_rectangle(cr_, x, y, w, h);
    cairo_stroke(cr_);
}

void Canvas::roundedRectPath(double x, double y, double w, double h, double radius) const {
    if (zoomed()) {
        const Box b = snapped(x, y, w, h);
        roundedRectPathExact(b.x, b.y, b.w, b.h, radius);
    } else {
        roundedRectPathExact(x, y, w, h, radius);
    }
}

void Canvas::roundedRectPathExact(double x, double y, double w, double h, double radius) const {
    const double r = std::fmin(radius, std::fmin(w, h) / 2);
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr_, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr_, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr_, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr_);
}

void Canvas::fillRounded(double x, double y, double w, double h, double radius, Colour c) const {
    roundedRectPath(x, y, w, h, radius);
    setColour(c);
    cairo_fill(cr_);
}

void Canvas::strokeRounded(double x, double y, double w, double h, double radius, Colour c, double lineWidth) const {
    const double half = lineWidth / 2;
    if (zoomed()) {
        // The stroke's ring as the area between two snapped rounded
        // rectangles, so each side is whole physical pixels wide.
        const Box outer = snapped(x, y, w, h);
        const Box inner = snapped(x + lineWidth, y + lineWidth, w - 2 * lineWidth, h - 2 * lineWidth);
        roundedRectPathExact(outer.x, outer.y, outer.w, outer.h, radius + half);
        roundedRectPathExact(inner.x, inner.y, inner.w, inner.h, std::fmax(0.0, radius - half));
        setColour(c);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr_);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        return;
    }
    roundedRectPath(x + half, y + half, w - lineWidth, h - lineWidth, radius);
    setColour(c);
    cairo_set_line_width(cr_, lineWidth);
    cairo_stroke(cr_);
}

void Canvas::fillRoundedGradient(double x, double y, double w, double h, double radius, Colour top,
                                 Colour bottom) const {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(gradient, 0, channel(top.r), channel(top.g), channel(top.b), top.a);
    cairo_pattern_add_color_stop_rgba(gradient, 1, channel(bottom.r), channel(bottom.g), channel(bottom.b), bottom.a);
    roundedRectPath(x, y, w, h, radius);
    cairo_set_source(cr_, gradient);
    cairo_fill(cr_);
    cairo_pattern_destroy(gradient);
}

void Canvas::line(double x1, double y1, double x2, double y2, Colour c, double lineWidth) const {
    setColour(c);
    if (zoomed() && (x1 == x2 || y1 == y2)) {
        // The pen's band across the line on physical edges; butt ends too
        // (a round cap keeps its exact end).
        const bool butt = cairo_get_line_cap(cr_) == CAIRO_LINE_CAP_BUTT;
        const double half = lineWidth / 2, onePixel = 1.0 / scale();
        if (y1 == y2) {
            const double top = edgeY(y1 - half), bottom = std::fmax(edgeY(y1 + half), top + onePixel);
            y1 = y2 = (top + bottom) / 2;
            lineWidth = bottom - top;
            if (butt) x1 = edgeX(x1), x2 = edgeX(x2);
        } else {
            const double left = edgeX(x1 - half), right = std::fmax(edgeX(x1 + half), left + onePixel);
            x1 = x2 = (left + right) / 2;
            lineWidth = right - left;
            if (butt) y1 = edgeY(y1), y2 = edgeY(y2);
        }
    }
    cairo_set_line_width(cr_, lineWidth);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    cairo_stroke(cr_);
}

void Canvas::inset(double x, double y, double w, double h, double radius, Colour fill) const {
    // Lit lower edge, shadowed upper edge, then the face one pixel inside.
    fillRounded(x, y, w, h, radius, fill.mix({255, 255, 255}, 0.10));
    fillRounded(x, y, w, h - 1, radius, fill.mix({0, 0, 0}, 0.45));
    fillRounded(x + 1, y + 1, w - 2, h - 2, radius - 1, fill);
}

void Canvas::selectFont(const TextStyle& style) const {
    cairo_set_font_face(cr_, Fonts::get().face(style.weight));
    cairo_set_font_size(cr_, style.size);
}

double Canvas::advance(std::string_view s, const TextStyle& style) const {
    selectFont(style);
    const std::string text(s);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    return extents.x_advance;
}

double Canvas::textWidth(std::string_view s, const TextStyle& style) const {
    if (!zoomed()) return advance(s, style);
    const Canvas scratch(8, 8);
    return scratch.advance(s, style);
}

double Canvas::capHeight(const TextStyle& style, int percent) {
    // Measured on a scratch surface with the same options as every canvas,
    // at the size the letters have in physical pixels.
    Canvas scratch(8, 8);
    TextStyle physical = style;
    physical.size = style.size * percent / 100.0;
    scratch.selectFont(physical);
    cairo_text_extents_t extents;
    cairo_text_extents(scratch.cr_, "H", &extents);
    return std::round(-extents.y_bearing);
}

double Canvas::text(std::string_view s, double x, double capTop, Align align, const TextStyle& style) const {
    // Aligned by the width the letters have at this zoom.
    const double width = advance(s, style);
    double left = x;
    if (align == Align::Centre) left = x - width / 2;
    if (align == Align::Right) left = x - width;
    // The pen starts on a physical pixel, its cap line on a physical edge.
    double penX = left, penY = capTop;
    cairo_user_to_device(cr_, &penX, &penY);
    penX = std::round(penX);
    penY = std::round(penY) + capHeight(style, percent_);
    cairo_device_to_user(cr_, &penX, &penY);
    const std::string text(s);
    setColour(style.colour);
    cairo_move_to(cr_, penX, penY);
    cairo_show_text(cr_, text.c_str());
    cairo_new_path(cr_);
    return width;
}

bool Canvas::writePng(const std::string& path) const {
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace kettrix::artwork
