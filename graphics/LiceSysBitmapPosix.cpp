// The draw surface where there is no system drawing context: plain memory
// with the same layout as the Windows section (top-down BGRA rows).
#include <cstdlib>

#include "Lice.h"

namespace kettrix {

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { Resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() { Release(); }

void LICE_SysBitmap::Release() {
    std::free(mBits);
    mBits = nullptr;
    mWidth = mHeight = mRowSpan = 0;
}

bool LICE_SysBitmap::Resize(int w, int h) {
    if (w < 0 || h < 0 || w > kLiceMaxDimension || h > kLiceMaxDimension) return false;
    if (w == mWidth && h == mHeight && mBits) return true;
    // Rows padded to a multiple of 4 pixels (16 bytes).
    const int span = (w + 3) & ~3;
    void* bits = nullptr;
    if (w > 0 && h > 0) {
        bits = std::calloc(static_cast<std::size_t>(span) * static_cast<std::size_t>(h), sizeof(LICE_pixel));
        if (!bits) return false;
    }
    Release();
    mBits = static_cast<LICE_pixel*>(bits);
    mWidth = w;
    mHeight = h;
    mRowSpan = span;
    return true;
}

}  // namespace kettrix
