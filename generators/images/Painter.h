#pragma once
// Drawing helpers of the image generator: a Cairo image surface holding one
// picture or one frame strip, the two faces of Liberation Sans loaded straight
// from their files through FreeType, and the shapes every control is built
// from. Everything is rasterised in software with fixed antialiasing and
// hinting settings, so a run gives the same pixels on every machine that has
// the same Cairo, FreeType and font files.

#include <cairo.h>

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

// A picture of width x (height x frames) pixels. frame(i) makes frame i the
// drawing area: the origin moves to its top-left corner and drawing is
// clipped to it.
class Canvas {
public:
    Canvas(int width, int height, int frames = 1);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int frameHeight() const { return frameHeight_; }
    void frame(int index);

    void setColour(Colour c) const;
    void fillRect(double x, double y, double w, double h, Colour c) const;
    void roundedRectPath(double x, double y, double w, double h, double radius) const;
    void fillRounded(double x, double y, double w, double h, double radius, Colour c) const;
    void strokeRounded(double x, double y, double w, double h, double radius, Colour c, double lineWidth = 1.0) const;
    // A vertical gradient fill of a rounded rectangle, top colour to bottom.
    void fillRoundedGradient(double x, double y, double w, double h, double radius, Colour top, Colour bottom) const;
    void line(double x1, double y1, double x2, double y2, Colour c, double lineWidth = 1.0) const;
    // A recessed area: darker fill, shadowed top edge, lit bottom edge.
    void inset(double x, double y, double w, double h, double radius, Colour fill) const;

    // Text placed by the top of its capital letters, so labels of one row
    // share a cap line whatever their letters. Returns the advance width.
    double text(std::string_view s, double x, double capTop, Align align, const TextStyle& style) const;
    double textWidth(std::string_view s, const TextStyle& style) const;
    static double capHeight(const TextStyle& style);

    bool writePng(const std::string& path) const;

private:
    void selectFont(const TextStyle& style) const;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    int width_ = 0;
    int frameHeight_ = 0;
    int frames_ = 1;
};

}  // namespace kettrix::artwork
