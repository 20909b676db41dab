// The draw surface where there is no system drawing context: plain memory
// with the same layout as the Windows section (top-down BGRA rows).
#include <cstdlib>

#include "Lice.h"

namespace kettrix {

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { Resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() { Release(); }

void LICE_SysBitmap::Release() {
    std::free(bits_);
    bits_ = nullptr;
    width_ = height_ = rowSpan_ = 0;
}

bool LICE_SysBitmap::Resize(int w, int h) {
    if (!LICE_SizeAllowed(w, h)) return false;
    if (w == width_ && h == height_ && bits_) return true;
    // Rows padded to a multiple of 4 pixels (16 bytes).
    const int span = (w + 3) & ~3;
    void* bits = nullptr;
    if (w > 0 && h > 0) {
        bits = std::calloc(static_cast<std::size_t>(span) * static_cast<std::size_t>(h), sizeof(LICE_pixel));
        if (!bits) return false;
    }
    Release();
    bits_ = static_cast<LICE_pixel*>(bits);
    width_ = w;
    height_ = h;
    rowSpan_ = span;
    return true;
}

}  // namespace kettrix
