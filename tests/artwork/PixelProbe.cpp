#include "PixelProbe.h"

#include "resources/Resources.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace kettrix::artwork::test {

Pixel Image::at(int x, int y) const {
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

std::vector<Pixel> Image::frame(int f, int frames) const {
    const int h = height / frames;
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<std::size_t>(width * h));
    for (int y = f * h; y < (f + 1) * h; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(at(x, y));
    }
    return pixels;
}

std::optional<Image> decodePng(const unsigned char* data, std::size_t size) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) return std::nullopt;
    png.format = PNG_FORMAT_RGBA;
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

std::optional<Image> loadResource(int id, int percent) {
    const char* type = zoom::ImageResourceType(percent);
    if (type == nullptr) return std::nullopt;
    const resources::Resource r = resources::find(type, id);
    if (!r) return std::nullopt;
    return decodePng(r.data, r.size);
}

std::optional<Image> loadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return decodePng(bytes.data(), bytes.size());
}

double luminance(int r, int g, int b) {
    auto linear = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}

double contrast(const Pixel& a, const Pixel& b) {
    const double la = luminance(a.r, a.g, a.b), lb = luminance(b.r, b.g, b.b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace kettrix::artwork::test
