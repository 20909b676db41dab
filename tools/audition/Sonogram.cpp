#include "Sonogram.h"

#include "Fft.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

namespace kettrix::audition {

namespace {

using tools::fft;

constexpr double kPi = 3.14159265358979323846;

// Black -> blue -> red -> yellow -> white as t goes 0 -> 1.
void colourFor(double t, unsigned char* rgb) {
    t = std::clamp(t, 0.0, 1.0);
    const double r = std::clamp(t * 3.0 - 1.0, 0.0, 1.0);
    const double g = std::clamp(t * 3.0 - 2.0, 0.0, 1.0);
    const double b = t < 0.33 ? t * 3.0 : std::clamp(1.0 - (t - 0.33) * 3.0, 0.0, 1.0) + g;
    rgb[0] = static_cast<unsigned char>(255.0 * r);
    rgb[1] = static_cast<unsigned char>(255.0 * g);
    rgb[2] = static_cast<unsigned char>(255.0 * std::min(1.0, b));
}

}  // namespace

bool writePng(const std::string& path, const RgbImage& image) {
    const int width = image.width;
    const int height = image.height;
    const std::vector<unsigned char>& rgb = image.rgb;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<std::size_t>(y) * width * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

RgbImage renderSpectrogram(const std::vector<double>& signal, const SpectrogramSettings& settings) {
    const int frame = settings.frameSize;
    const auto length = static_cast<int>(signal.size());
    int hop = std::max(1, settings.hop);
    int width = 0;
    if (settings.width > 0) {
        width = settings.width;
        hop = std::max(1, length / width);
    } else {
        while (length / hop > settings.maxWidth) hop *= 2;
        width = std::max(1, length / hop);
    }
    const int bins = frame / 2;
    // Bin shown in each row, row 0 at the top.
    std::vector<int> rowBin(static_cast<std::size_t>(settings.height));
    for (int y = 0; y < settings.height; ++y) {
        const int fromBottom = settings.height - 1 - y;
        if (settings.minHz > 0.0) {
            const double ratio = settings.maxHz / settings.minHz;
            const double hz = settings.minHz * std::pow(ratio, (fromBottom + 0.5) / settings.height);
            rowBin[static_cast<std::size_t>(y)] =
                std::clamp(static_cast<int>(std::lround(hz * frame / settings.sampleRate)), 1, bins - 1);
        } else {
            rowBin[static_cast<std::size_t>(y)] = std::min(bins - 1, fromBottom * bins / settings.height);
        }
    }
    RgbImage image;
    image.width = width;
    image.height = settings.height;
    image.rgb.assign(static_cast<std::size_t>(width) * settings.height * 3, 0);
    std::vector<unsigned char>& rgb = image.rgb;
    std::vector<std::complex<double>> buffer(static_cast<std::size_t>(frame));
    // Window gain: a full-scale sine reads about 0 dB.
    const double reference = frame / 4.0;
    for (int x = 0; x < width; ++x) {
        const int centre = x * hop;
        for (int i = 0; i < frame; ++i) {
            const int at = centre - frame / 2 + i;
            const double v = (at >= 0 && at < length) ? signal[static_cast<std::size_t>(at)] : 0.0;
            const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * i / frame);
            buffer[static_cast<std::size_t>(i)] = {v * w, 0.0};
        }
        fft(buffer);
        for (int y = 0; y < settings.height; ++y) {
            const int bin = rowBin[static_cast<std::size_t>(y)];
            const double magnitude = std::abs(buffer[static_cast<std::size_t>(bin)]) / reference;
            const double db = 20.0 * std::log10(magnitude + 1e-12);
            colourFor((db + 96.0) / 96.0, &rgb[(static_cast<std::size_t>(y) * width + x) * 3]);
        }
    }
    return image;
}

bool writeSpectrogramPng(const std::string& path, const std::vector<double>& signal,
                         const SpectrogramSettings& settings) {
    return writePng(path, renderSpectrogram(signal, settings));
}

}  // namespace kettrix::audition
