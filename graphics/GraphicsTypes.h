// Small value types shared by the drawing library, the controls and the
// window hosts: rectangles, colours, text styles, mouse modifiers, blends,
// bitmap records and key codes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kettrix {

class LICE_IBitmap;

// A rectangle in editor pixels: left and top inside, right and bottom outside.
struct IRECT {
    int L = 0, T = 0, R = 0, B = 0;

    constexpr IRECT() = default;
    constexpr IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

    constexpr int W() const { return R - L; }
    constexpr int H() const { return B - T; }
    // True when the rectangle covers no pixel (also for inverted ones).
    constexpr bool Empty() const { return R <= L || B <= T; }
    // True when all four edges are zero (a control with no mouse area).
    constexpr bool AllZero() const { return L == 0 && T == 0 && R == 0 && B == 0; }
    constexpr bool Contains(int x, int y) const { return x >= L && x < R && y >= T && y < B; }
    constexpr bool Intersects(const IRECT& o) const {
        return !Empty() && !o.Empty() && L < o.R && o.L < R && T < o.B && o.T < B;
    }
    constexpr IRECT Intersect(const IRECT& o) const {
        if (!Intersects(o)) return IRECT();
        return IRECT(std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B));
    }
    // Smallest rectangle holding both; an empty side is ignored.
    constexpr IRECT Union(const IRECT& o) const {
        if (Empty()) return o;
        if (o.Empty()) return *this;
        return IRECT(std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B));
    }
    constexpr bool operator==(const IRECT&) const = default;
};

// A colour as alpha, red, green, blue bytes (0..255).
struct IColor {
    int A = 255, R = 0, G = 0, B = 0;

    constexpr IColor() = default;
    constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
    constexpr bool operator==(const IColor&) const = default;
};

constexpr IColor COLOR_BLACK(255, 0, 0, 0);
constexpr IColor COLOR_WHITE(255, 255, 255, 255);
constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);

// How a text is drawn: face, size in pixels (the em height), colour, style,
// alignment within its rectangle and orientation (tenths of a degree; only
// 0 is drawn). The text-entry colours are used by the window host's edit field.
struct IText {
    enum EStyle { kStyleNormal, kStyleBold, kStyleItalic };
    enum EAlign { kAlignNear, kAlignCenter, kAlignFar };
    static constexpr int kDefaultSize = 12;
    static constexpr int kFaceMax = 32;

    int size_ = kDefaultSize;
    IColor color_ = COLOR_BLACK;
    EStyle style_ = kStyleNormal;
    EAlign align_ = kAlignCenter;
    int orientation_ = 0;
    char font_[kFaceMax] = "Verdana";
    IColor textEntryBGColor_ = COLOR_WHITE;
    IColor textEntryFGColor_ = COLOR_BLACK;

    IText() = default;
    IText(int size, const IColor& color, const char* font = nullptr, EStyle style = kStyleNormal,
          EAlign align = kAlignCenter, int orientation = 0)
        : size_(size), color_(color), style_(style), align_(align), orientation_(orientation) {
        if (font) {
            std::strncpy(font_, font, kFaceMax - 1);
            font_[kFaceMax - 1] = '\0';
        }
    }
    explicit IText(const IColor& color) : color_(color) {}
};

// Mouse buttons and keyboard modifiers at the time of a mouse event.
struct IMouseMod {
    bool L = false, R = false, S = false, C = false, A = false;

    constexpr IMouseMod() = default;
    constexpr IMouseMod(bool left, bool right = false, bool shift = false, bool control = false, bool alt = false)
        : L(left), R(right), S(shift), C(control), A(alt) {}
};

// How a control's bitmap combines with what is below it. The weight scales
// the source alpha: 1 normally, 0 for a greyed-out control.
struct IChannelBlend {
    enum EBlendMethod {
        kBlendNone,        // copy using the source alpha
        kBlendClobber,     // plain copy
        kBlendAdd,         // add using the source alpha
        kBlendColorDodge,  // colour dodge using the source alpha
    };

    EBlendMethod method_ = kBlendNone;
    float weight_ = 1.0f;

    constexpr IChannelBlend() = default;
    constexpr explicit IChannelBlend(EBlendMethod method, float weight = 1.0f) : method_(method), weight_(weight) {}
};

// A loaded image as the framework keeps it: the pixels (owned by the
// process-wide cache), the image's size and its number of frames, stacked
// vertically unless framesAreHorizontal_. data_ is null when the image could
// not be loaded; such a bitmap draws nothing. W and H are logical pixels
// (the 100 % image); id_ finds the same image painted for another zoom.
struct IBitmap {
    LICE_IBitmap* data_ = nullptr;
    int W = 0, H = 0, N = 1;
    bool framesAreHorizontal_ = false;
    int id_ = 0;

    IBitmap() = default;
    IBitmap(LICE_IBitmap* data, int w, int h, int frames = 1, bool horizontal = false, int id = 0)
        : data_(data), W(w), H(h), N(frames), framesAreHorizontal_(horizontal), id_(id) {}
    // Size of one frame.
    int FrameWidth() const { return framesAreHorizontal_ && N > 0 ? W / N : W; }
    int FrameHeight() const { return !framesAreHorizontal_ && N > 0 ? H / N : H; }
};

// Key codes handed to OnKeyDown. Keys without a code are not delivered.
enum EKeyCode {
    KEY_SPACE = 0,
    KEY_UPARROW = 1,
    KEY_DOWNARROW = 2,
    KEY_LEFTARROW = 3,
    KEY_RIGHTARROW = 4,
    KEY_DIGIT_0 = 5,  // '0'..'9' are 5..14
    KEY_DIGIT_9 = 14,
    KEY_ALPHA_A = 15,  // 'A'..'Z' (either case) are 15..40
    KEY_ALPHA_Z = 40,
};

}  // namespace kettrix
