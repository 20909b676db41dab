// PNG decoding and encoding through libpng's simplified interface, which
// reports every libpng error as a failed call (its own error handler), so a
// corrupt image can never abort the host.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "Lice.h"

namespace kettrix {

LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size) {
    if (!data || size < 8) return nullptr;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return nullptr;
    // Bounded before any pixel memory is asked for: a header may claim
    // billions of pixels.
    if (image.width == 0 || image.height == 0 || !LICE_SizeAllowed(image.width, image.height)) {
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_BGRA;
    auto bitmap = std::make_unique<LICE_MemBitmap>(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!bitmap->GetBits()) {
        png_image_free(&image);
        return nullptr;
    }
    const png_int_32 rowBytes = bitmap->GetRowSpan() * static_cast<png_int_32>(sizeof(LICE_pixel));
    if (!png_image_finish_read(&image, nullptr, bitmap->GetBits(), rowBytes, nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    return bitmap.release();
}

namespace {

// A tightly packed BGRA copy (alpha forced to 255 when opaque).
std::vector<LICE_pixel> PackedPixels(const LICE_IBitmap* bitmap, bool opaque) {
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    std::vector<LICE_pixel> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const LICE_pixel* row = bitmap->GetBits() + static_cast<std::ptrdiff_t>(y) * bitmap->GetRowSpan();
        for (int x = 0; x < w; ++x)
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] =
                opaque ? (row[x] | 0xff000000u) : row[x];
    }
    return pixels;
}

bool PrepareWrite(png_image& image, const LICE_IBitmap* bitmap) {
    if (!bitmap || !bitmap->GetBits() || bitmap->GetWidth() <= 0 || bitmap->GetHeight() <= 0) return false;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap->GetWidth());
    image.height = static_cast<png_uint_32>(bitmap->GetHeight());
    image.format = PNG_FORMAT_BGRA;
    return true;
}

}  // namespace

bool LICE_WritePNGToMemory(std::vector<unsigned char>& out, const LICE_IBitmap* bitmap, bool opaque) {
    png_image image;
    if (!PrepareWrite(image, bitmap)) return false;
    const std::vector<LICE_pixel> pixels = PackedPixels(bitmap, opaque);
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return false;
    out.resize(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr)) return false;
    out.resize(size);
    return true;
}

bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap, bool opaque) {
    std::vector<unsigned char> bytes;
    if (!path || !LICE_WritePNGToMemory(bytes, bitmap, opaque)) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace kettrix
