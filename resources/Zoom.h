#pragma once
// The editor's zoom factors and the one conversion between its logical
// pixels (the layout's coordinates, the same at every zoom) and the pixels of
// a window or image drawn at a zoom.
//
// A logical coordinate x lands on the physical edge ceil(x * percent / 100),
// and a physical pixel p belongs to the logical pixel floor(p * 100 / percent).
// With these two, a physical pixel lies inside the physical rectangle of a
// logical rectangle exactly when its logical pixel lies inside the logical
// one, so hit tests at every zoom equal those at 100 %, and rectangles that
// share an edge share it on screen too (no seams, no overlaps).
//
// The images painted for a zoom are stored under their own resource type
// with the ids of the 100 % images; a frame strip keeps its frame count and
// order, each frame ToPhysical(frame size) pixels large.

#include <array>
#include <cstdlib>

namespace kettrix::zoom {

inline constexpr int kDefaultPercent = 100;
// Every zoom the editor offers, smallest first.
inline constexpr std::array<int, 3> kPercents{100, 150, 200};

// The position of `percent` in kPercents; -1 for a zoom not offered.
constexpr int IndexOf(int percent) {
    for (std::size_t i = 0; i < kPercents.size(); ++i)
        if (kPercents[i] == percent) return static_cast<int>(i);
    return -1;
}

constexpr bool IsOffered(int percent) { return IndexOf(percent) >= 0; }

// Floor division that stays right for negative numerators (rectangles may
// start left of or above the window).
constexpr int FloorDiv(long long numerator, long long denominator) {
    const long long q = numerator / denominator;
    return static_cast<int>((numerator % denominator != 0 && ((numerator < 0) != (denominator < 0))) ? q - 1 : q);
}

// The physical edge of logical coordinate `logical`: ceil(logical * percent / 100).
constexpr int ToPhysical(int logical, int percent) {
    return -FloorDiv(-static_cast<long long>(logical) * percent, 100);
}

// The logical pixel holding physical pixel `physical`: floor(physical * 100 / percent).
constexpr int ToLogical(int physical, int percent) { return FloorDiv(static_cast<long long>(physical) * 100, percent); }

// A logical extent that covers `physical` window pixels: ceil(physical * 100 / percent).
constexpr int ToLogicalRoundedUp(int physical, int percent) {
    return -FloorDiv(-static_cast<long long>(physical) * 100, percent);
}

// A size (a font's em height) drawn at `percent`, to the nearest pixel.
constexpr int ScaledSize(int logical, int percent) {
    return FloorDiv(static_cast<long long>(logical) * percent + 50, 100);
}

// The resource type of the editor's images painted at `percent`: "PNG" at
// 100 %, "PNG150" and "PNG200" at the larger zooms; null for a zoom that is
// not offered.
constexpr const char* ImageResourceType(int percent) {
    switch (percent) {
        case 100:
            return "PNG";
        case 150:
            return "PNG150";
        case 200:
            return "PNG200";
        default:
            return nullptr;
    }
}

// The resolution a desktop has at 100 %, when it says nothing else.
inline constexpr double kBaseDpi = 96.0;
// The zoom a desktop of `dpi` dots per inch starts with: 150 % from 1.5 x
// the base resolution, 200 % from twice it.
constexpr int PercentForDpi(double dpi) { return dpi >= 2.0 * kBaseDpi ? 200 : dpi >= 1.5 * kBaseDpi ? 150 : 100; }

// A zoom typed by a user (command lines): a factor ("1", "1.5", "2") or a
// percentage ("150"); false unless it names an offered zoom.
inline bool PercentFromText(const char* text, int* percent) {
    if (text == nullptr || percent == nullptr) return false;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0.0)) return false;
    const double asPercent = value <= 4.0 ? value * 100.0 : value;
    const int rounded = static_cast<int>(asPercent + 0.5);
    if (rounded != asPercent || !IsOffered(rounded)) return false;
    *percent = rounded;
    return true;
}

}  // namespace kettrix::zoom
