// PNG bytes through the editor's image loader (the drawing library's
// decoder, which every editor image goes through).
//
// Input: the file's bytes.
//
// Checks: no crash or abort whatever the bytes (the decoder reports libpng's
// errors as a failed load); an image that loads has sides within the
// library's limit, every pixel readable, and encodes to a PNG that decodes to
// the same pixels.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzHost.h"
#include "graphics/Lice.h"

using namespace kettrix;
using kettrix::fuzz::Require;

namespace {

bool SamePixels(LICE_IBitmap& a, LICE_IBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y) {
        const LICE_pixel* rowA = a.GetBits() + static_cast<std::ptrdiff_t>(y) * a.GetRowSpan();
        const LICE_pixel* rowB = b.GetBits() + static_cast<std::ptrdiff_t>(y) * b.GetRowSpan();
        for (int x = 0; x < a.GetWidth(); ++x)
            if (rowA[x] != rowB[x]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<LICE_MemBitmap> image(LICE_LoadPNGFromMemory(data, size));
    if (!image) return 0;
    Require(image->GetWidth() > 0 && image->GetHeight() > 0 && LICE_SizeAllowed(image->GetWidth(), image->GetHeight()),
            "the size is within the limits");
    Require(image->GetBits() != nullptr && image->GetRowSpan() >= image->GetWidth(), "the pixels are there");

    std::vector<unsigned char> encoded;
    Require(LICE_WritePNGToMemory(encoded, image.get(), false), "a loaded image encodes");
    const std::unique_ptr<LICE_MemBitmap> again(LICE_LoadPNGFromMemory(encoded.data(), encoded.size()));
    Require(again != nullptr && SamePixels(*image, *again), "the encoded image decodes to the same pixels");
    return 0;
}
