// The software drawing library: 32-bit bitmaps and the operations the
// controls draw with. Pixels are 32-bit values holding blue, green, red and
// alpha bytes from the lowest address up, so a pixel read as a 32-bit
// little-endian value is 0xAARRGGBB. Rows run top to bottom.
//
// Every operation clips against both bitmaps: any rectangle (negative,
// empty, larger than either bitmap) is safe and only the intersection is
// touched.
#pragma once

#include <cstdint>
#include <vector>

#include "GraphicsTypes.h"

namespace kettrix {

using LICE_pixel = std::uint32_t;

constexpr LICE_pixel LICE_RGBA(unsigned r, unsigned g, unsigned b, unsigned a) {
    return (b & 0xffu) | ((g & 0xffu) << 8) | ((r & 0xffu) << 16) | ((a & 0xffu) << 24);
}
constexpr unsigned LICE_GETB(LICE_pixel p) { return p & 0xffu; }
constexpr unsigned LICE_GETG(LICE_pixel p) { return (p >> 8) & 0xffu; }
constexpr unsigned LICE_GETR(LICE_pixel p) { return (p >> 16) & 0xffu; }
constexpr unsigned LICE_GETA(LICE_pixel p) { return (p >> 24) & 0xffu; }
constexpr LICE_pixel LICE_ColorFrom(const IColor& c) {
    return LICE_RGBA(static_cast<unsigned>(c.R), static_cast<unsigned>(c.G), static_cast<unsigned>(c.B),
                     static_cast<unsigned>(c.A));
}

// Combine modes: one of the low modes, optionally with LICE_BLIT_USE_ALPHA,
// which scales each source pixel by its own alpha. The operation's alpha
// argument (0..1) scales the whole source in every mode but plain copy at 1.
enum LICE_BlitMode : int {
    LICE_BLIT_MODE_COPY = 0,
    LICE_BLIT_MODE_ADD = 1,
    LICE_BLIT_MODE_DODGE = 2,
    LICE_BLIT_MODE_MASK = 0xff,
    LICE_BLIT_USE_ALPHA = 0x10000,
};

// The library mode for a control's blend method.
int LICE_ModeForBlend(IChannelBlend::EBlendMethod method);

class LICE_IBitmap {
public:
    virtual ~LICE_IBitmap() = default;
    virtual LICE_pixel* GetBits() = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Pixels from the start of one row to the start of the next.
    virtual int GetRowSpan() const = 0;
    virtual bool IsFlipped() const { return false; }
    // Changes the size; the contents are undefined afterwards. False (and
    // the old size kept) when the size is negative, too large or memory is short.
    virtual bool Resize(int w, int h) = 0;
    // The system drawing context (a Windows device context); null elsewhere.
    virtual void* GetDC() const { return nullptr; }
    virtual std::intptr_t Extended(int /*id*/, void* /*data*/) { return 0; }

    const LICE_pixel* GetBits() const { return const_cast<LICE_IBitmap*>(this)->GetBits(); }
};

// Largest side, and most pixels, of any bitmap the library creates or
// decodes. The side allows the editor's longest frame strip at 200 % (69
// slider frames, 9522 pixels); the pixel count keeps what a malformed image
// can make it allocate to 64 MiB.
constexpr int kLiceMaxDimension = 16384;
constexpr long long kLiceMaxPixels = 1LL << 24;
constexpr bool LICE_SizeAllowed(long long w, long long h) {
    return w >= 0 && h >= 0 && w <= kLiceMaxDimension && h <= kLiceMaxDimension && w * h <= kLiceMaxPixels;
}

// A bitmap in heap memory, rows padded to the row span. Used for images.
class LICE_MemBitmap : public LICE_IBitmap {
public:
    LICE_MemBitmap(int w = 0, int h = 0);
    LICE_pixel* GetBits() override { return pixels_.empty() ? nullptr : pixels_.data(); }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    int GetRowSpan() const override { return rowSpan_; }
    bool Resize(int w, int h) override;
    using LICE_IBitmap::GetBits;

private:
    std::vector<LICE_pixel> pixels_;
    int width_ = 0, height_ = 0, rowSpan_ = 0;
};

// The editor's draw surface. On Windows a device-independent section
// selected into a memory device context, so system text drawing renders
// into it (GetDC); elsewhere a memory surface of the same layout.
class LICE_SysBitmap : public LICE_IBitmap {
public:
    LICE_SysBitmap(int w = 0, int h = 0);
    ~LICE_SysBitmap() override;
    LICE_SysBitmap(const LICE_SysBitmap&) = delete;
    LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

    LICE_pixel* GetBits() override { return bits_; }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    int GetRowSpan() const override { return rowSpan_; }
    bool Resize(int w, int h) override;
    void* GetDC() const override { return dc_; }
    using LICE_IBitmap::GetBits;

private:
    void Release();

    LICE_pixel* bits_ = nullptr;
    int width_ = 0, height_ = 0, rowSpan_ = 0;
    void* dc_ = nullptr;      // Windows: the memory device context
    void* bitmap_ = nullptr;  // Windows: the DIB section
    void* oldBitmap_ = nullptr;
};

// --- Drawing operations ----------------------------------------------------

// Copies the source rectangle (srcx, srcy, srcw, srch) of `src` to (dstx, dsty)
// in `dest`, combined per `mode` with weight `alpha`.
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
               float alpha, int mode);
// Blits all of `src`.
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, float alpha, int mode);

// Scales the source rectangle onto the destination rectangle (nearest pixel).
void LICE_ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, int srcx,
                     int srcy, int srcw, int srch, float alpha, int mode);

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha, int mode);
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);

// A one-pixel line from (x1, y1) to (x2, y2), both ends drawn; with
// `antialias` the line is drawn with coverage-weighted edges.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha, int mode,
               bool antialias);

// Combines one pixel into the bitmap (ignored outside it).
void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode);
// The pixel at (x, y), 0 outside the bitmap.
LICE_pixel LICE_GetPixel(const LICE_IBitmap* src, int x, int y);

// The per-pixel rule of every operation above: `src` combined onto `dst`.
LICE_pixel LICE_CombinePixel(LICE_pixel dst, LICE_pixel src, float alpha, int mode);

// --- Fonts -----------------------------------------------------------------

// Text alignment and measuring flags (the values of the system's text flags).
enum LICE_TextFlags : int {
    LICE_DT_LEFT = 0x0,
    LICE_DT_CENTER = 0x1,
    LICE_DT_RIGHT = 0x2,
    LICE_DT_VCENTER = 0x4,
    LICE_DT_BOTTOM = 0x8,
    LICE_DT_SINGLELINE = 0x20,
    LICE_DT_NOCLIP = 0x100,
    LICE_DT_CALCRECT = 0x400,
};

class LICE_IFont {
public:
    virtual ~LICE_IFont() = default;
    // Takes a system font handle (Windows HFONT; ignored elsewhere).
    virtual void SetFromHFont(void* font, int flags) = 0;
    virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;
    virtual LICE_pixel SetBkColor(LICE_pixel color) = 0;
    virtual int SetBkMode(int mode) = 0;
    virtual void SetCombineMode(int mode, float alpha) = 0;
    virtual LICE_pixel GetTextColor() const = 0;
    virtual LICE_pixel GetBkColor() const = 0;
    virtual void* GetHFont() const = 0;
    // Draws `len` bytes of `text` (all up to the terminator when len < 0)
    // aligned per `flags` within `rect`, clipped to it. With LICE_DT_CALCRECT
    // only measures: rect's right and bottom become the text's extent.
    // Returns the text's height.
    virtual int DrawText(LICE_IBitmap* bitmap, const char* text, int len, IRECT* rect, int flags) = 0;
    virtual int GetLineHeight() const = 0;
};

// A font of the editor's text styles. Windows: a system font whose text the
// system draws into the surface's device context. Elsewhere: Liberation Sans
// Regular or Bold (metric-compatible with Arial), embedded in the library and
// rasterised with FreeType; glyphs are rendered once and kept. Any face name
// maps to that family; italic draws upright.
class LICE_CachedFont : public LICE_IFont {
public:
    LICE_CachedFont();
    ~LICE_CachedFont() override;
    LICE_CachedFont(const LICE_CachedFont&) = delete;
    LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

    // Chooses face, em height in pixels and style; false when no font
    // could be made (the font then draws nothing).
    bool SetFromFace(const char* face, int size, bool bold, bool italic);

    void SetFromHFont(void* font, int flags) override;
    LICE_pixel SetTextColor(LICE_pixel color) override;
    LICE_pixel SetBkColor(LICE_pixel color) override;
    int SetBkMode(int mode) override;
    void SetCombineMode(int mode, float alpha) override;
    LICE_pixel GetTextColor() const override { return textColor_; }
    LICE_pixel GetBkColor() const override { return bkColor_; }
    void* GetHFont() const override;
    int DrawText(LICE_IBitmap* bitmap, const char* text, int len, IRECT* rect, int flags) override;
    int GetLineHeight() const override;
    // Further limits drawing to `clip` (null: only the text's rectangle).
    void SetClipRect(const IRECT* clip) {
        hasClip_ = clip != nullptr;
        if (clip) clip_ = *clip;
    }

    struct Impl;

private:
    Impl* impl_;
    LICE_pixel textColor_ = LICE_RGBA(0, 0, 0, 255);
    LICE_pixel bkColor_ = LICE_RGBA(255, 255, 255, 255);
    int bkMode_ = 0;  // 0 transparent, 1 opaque
    int combineMode_ = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    float combineAlpha_ = 1.0f;
    bool hasClip_ = false;
    IRECT clip_;
};

// True when text can be drawn in this build (false on a build without a
// font rasteriser; text then draws nothing).
bool LICE_TextAvailable();

// --- Images ----------------------------------------------------------------

// Decodes PNG bytes into a new bitmap with alpha kept. Null for anything
// that is not a well-formed PNG of a size LICE_SizeAllowed allows.
LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size);

// Encodes the bitmap as an 8-bit RGBA PNG (alpha as stored unless
// `opaque`, which writes alpha 255). False on any failure.
bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap, bool opaque);
// The same into memory.
bool LICE_WritePNGToMemory(std::vector<unsigned char>& out, const LICE_IBitmap* bitmap, bool opaque);

}  // namespace kettrix
