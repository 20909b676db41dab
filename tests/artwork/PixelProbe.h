#pragma once
// Decoding and measuring the editor's images in the tests: PNG bytes to
// straight RGBA pixels (through libpng, the library the plug-in decodes
// with), frames of a strip, and WCAG contrast between colours.

#include "resources/Zoom.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kettrix::artwork::test {

struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Pixel&) const = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // straight alpha, rows top to bottom

    Pixel at(int x, int y) const;
    // Pixels of frame f (0-based) of a strip of frames stacked vertically.
    std::vector<Pixel> frame(int f, int frames) const;
};

std::optional<Image> decodePng(const unsigned char* data, std::size_t size);
// The embedded image `id` painted at `percent` ("PNG", "PNG150", "PNG200").
std::optional<Image> loadResource(int id, int percent = zoom::kDefaultPercent);
std::optional<Image> loadFile(const std::string& path);

// Relative luminance and contrast ratio as WCAG 2 defines them.
double luminance(int r, int g, int b);
double contrast(const Pixel& a, const Pixel& b);

}  // namespace kettrix::artwork::test
