#pragma once
// Drawing helpers of the image generator: a Cairo image surface holding one
// picture or one frame strip, the two faces of Liberation Sans loaded straight
// from their files through FreeType, and the shapes every control is built
// from. Everything is rasterised in software with fixed antialiasing and
// hinting settings, so a run gives the same pixels on every machine that has
// the same Cairo, FreeType and font files.
//
// Painters always draw in logical pixels (the editor's layout coordinates).
// A canvas for a larger zoom scales Cairo, so shapes and letters are
// rasterised at that zoom, and moves the edges of rectangles and straight
// lines that lie on logical pixel edges to the physical edges zoom::ToPhysical
// gives them: a one-pixel line at 150 % stays one or two sharp pixels rather
// than a blurred 1.5, and pieces that meet at 100 % meet at every zoom.
// Letters start on a physical pixel. At 100 % nothing is moved or scaled.

#include <cairo.h>

#include "resources/Zoom.h"

#include <string>
#include <string_view>

namespace kettrix::artwork {

struct Colour {
    int r = 0, g = 0, b = 0;
    double a = 1.0;
    Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
    Colour mix(Colour other, double t) const;  // t = 0 gives this, 1 gives other
};

enum class Weight { Regular, Bold };
enum class Align { Left, Centre, Right };

struct TextStyle {
    Weight weight = Weight::Bold;
    double size = 9.0;
    Colour colour;
};

// The two font faces, opened once per process from the font files.
class Fonts {
public:
    static Fonts& get();
    cairo_font_face_t* face(Weight weight) const { return weight == Weight::Bold ? bold_ : regular_; }

private:
    Fonts();
    cairo_font_face_t* regular_ = nullptr;
    cairo_font_face_t* bold_ = nullptr;
};

// A picture of width x height logical pixels cut into `frames` frames
// stacked vertically, painted at `percent` zoom: each frame is
// ToPhysical(frame height) physical pixels high and ToPhysical(width) wide.
// frame(i) makes frame i the drawing area: the origin moves to its top-left
// corner, drawing is clipped to its physical cell, and the scale of the
// zoom applies. width() and frameHeight() stay logical.
class Canvas {
public:
    Canvas(int width, int height, int frames = 1, int percent = zoom::kDefaultPercent);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int frameHeight() const { return frameHeight_; }
    int percent() const { return percent_; }
    void frame(int index);

    void setColour(Colour c) const;
    void fillRect(double x, double y, double w, double h, Colour c) const;
    void roundedRectPath(double x, double y, double w, double h, double radius) const;
    void fillRounded(double x, double y, double w, double h, double radius, Colour c) const;
    void strokeRounded(double x, double y, double w, double h, double radius, Colour c, double lineWidth = 1.0) const;
    // A vertical gradient fill of a rounded rectangle, top colour to bottom.
    void fillRoundedGradient(double x, double y, double w, double h, double radius, Colour top, Colour bottom) const;
    // A straight line; horizontal and vertical ones keep sharp edges at every zoom.
    void line(double x1, double y1, double x2, double y2, Colour c, double lineWidth = 1.0) const;
    // The outline of a rectangle, a one-pixel pen.
    void strokeRect(double x, double y, double w, double h, Colour c) const;
    // A recessed area: darker fill, shadowed top edge, lit bottom edge.
    void inset(double x, double y, double w, double h, double radius, Colour fill) const;

    // Text placed by the top of its capital letters, so labels of one row
    // share a cap line whatever their letters. Returns the advance width at
    // this canvas's zoom, in logical pixels.
    double text(std::string_view s, double x, double capTop, Align align, const TextStyle& style) const;
    // The advance width at 100 %, so a choice made from it (a smaller size,
    // the regular weight) is the same at every zoom.
    double textWidth(std::string_view s, const TextStyle& style) const;
    // The height of the capital letters at 100 % (logical pixels), and in
    // physical pixels at `percent`.
    static double capHeight(const TextStyle& style, int percent = zoom::kDefaultPercent);

    bool writePng(const std::string& path) const;

private:
    bool zoomed() const { return percent_ != zoom::kDefaultPercent; }
    double scale() const { return percent_ / 100.0; }
    void selectFont(const TextStyle& style) const;
    double advance(std::string_view s, const TextStyle& style) const;
    // The user coordinate whose device position is the physical edge of
    // user coordinate `x` (or `y`) under the current transformation, when
    // it lies on a logical pixel edge; otherwise `x` (or `y`) itself.
    double edgeX(double x) const;
    double edgeY(double y) const;
    // A rectangle with its edges moved by edgeX and edgeY, at least one
    // physical pixel in each direction where it has any size.
    struct Box {
        double x, y, w, h;
    };
    Box snapped(double x, double y, double w, double h) const;
    void roundedRectPathExact(double x, double y, double w, double h, double radius) const;

    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    int width_ = 0;
    int frameHeight_ = 0;
    int frames_ = 1;
    int percent_ = zoom::kDefaultPercent;
};

}  // namespace kettrix::artwork
