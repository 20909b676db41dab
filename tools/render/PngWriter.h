// Writing 8-bit RGB pictures as PNG files (libpng).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kettrix::render {

// A picture of width x height pixels, each packed as 0xRRGGBB, rows from the
// top.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Writes the image as an 8-bit RGB PNG; false when the file cannot be written.
bool writePng(const std::string& path, const RgbImage& image);

// Number of different colours in the image: a window that shows nothing but
// its background has one.
std::size_t distinctColours(const RgbImage& image);

}  // namespace kettrix::render
