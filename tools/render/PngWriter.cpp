#include "PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <unordered_set>

namespace kettrix::render {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool writePng(const std::string& path, const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // The row buffer lives outside the jump target so that a libpng error
    // (which longjmps back here) frees it normally.
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.at(x, y);
            row[3 * x] = static_cast<png_byte>(p >> 16);
            row[3 * x + 1] = static_cast<png_byte>(p >> 8);
            row[3 * x + 2] = static_cast<png_byte>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

std::size_t distinctColours(const RgbImage& image) {
    std::unordered_set<uint32_t> colours(image.pixels.begin(), image.pixels.end());
    return colours.size();
}

}  // namespace kettrix::render
