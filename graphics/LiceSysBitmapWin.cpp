// The draw surface on Windows: a top-down 32-bit DIB section selected into
// a memory device context, so the system can draw text into it.
#include "Lice.h"
#include "PlatformWindows.h"

namespace kettrix {

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { Resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() { Release(); }

void LICE_SysBitmap::Release() {
    if (dc_) {
        if (oldBitmap_) SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(oldBitmap_));
        DeleteDC(static_cast<HDC>(dc_));
    }
    if (bitmap_) DeleteObject(static_cast<HGDIOBJ>(bitmap_));
    dc_ = bitmap_ = oldBitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = rowSpan_ = 0;
}

bool LICE_SysBitmap::Resize(int w, int h) {
    if (!LICE_SizeAllowed(w, h)) return false;
    if (w == width_ && h == height_ && bits_) return true;
    Release();
    if (w == 0 || h == 0) return true;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(dc);
        return false;
    }
    oldBitmap_ = SelectObject(dc, bitmap);
    dc_ = dc;
    bitmap_ = bitmap;
    bits_ = static_cast<LICE_pixel*>(bits);
    width_ = w;
    height_ = h;
    rowSpan_ = w;  // 32-bit rows are always aligned
    return true;
}

}  // namespace kettrix
