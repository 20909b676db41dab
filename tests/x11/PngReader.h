// Reads PNG files written by the tools into 0xRRGGBB pixels (libpng).
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

namespace kettrix::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, rows from the top

    uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::size_t colours() const { return std::unordered_set<uint32_t>(pixels.begin(), pixels.end()).size(); }
};

// An empty picture when the file is missing or not a PNG.
inline Picture readPng(const std::string& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = uint32_t{rgb[3 * i]} << 16 | uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    return picture;
}

}  // namespace kettrix::test
