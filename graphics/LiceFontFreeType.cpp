// Text through FreeType with the embedded Liberation Sans faces (metric-
// compatible with Arial). The font files come from the resource table, so
// the same pixels render on every machine whatever fonts it has installed.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "Lice.h"
#include "resources/Resources.h"

namespace kettrix {

namespace {

// Resource ids of the embedded faces (type "TTF").
constexpr int kRegularFontId = 1;
constexpr int kBoldFontId = 2;

struct Glyph {
    bool loaded = false;
    int width = 0, height = 0;
    int left = 0, top = 0;  // bitmap offset from the pen position (top is up)
    long advance = 0;       // 26.6 fixed point
    std::vector<unsigned char> coverage;
};

}  // namespace

struct LICE_CachedFont::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int ascender = 0, descender = 0, lineHeight = 0;
    // Glyphs of the 8-bit characters (read as Latin-1), rendered on first use.
    std::array<Glyph, 256> glyphs;

    ~Impl() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    const Glyph& GlyphFor(unsigned char c) {
        Glyph& g = glyphs[c];
        if (g.loaded) return g;
        g.loaded = true;
        if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return g;
        const FT_GlyphSlot slot = face->glyph;
        g.advance = slot->advance.x;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return g;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
        for (int y = 0; y < g.height; ++y)
            std::memcpy(&g.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(g.width)],
                        bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch, static_cast<std::size_t>(g.width));
        return g;
    }

    // Width in pixels of the text drawn from pen position 0.
    int Measure(const char* text, int len) {
        long pen = 0;
        for (int i = 0; i < len; ++i) pen += GlyphFor(static_cast<unsigned char>(text[i])).advance;
        return static_cast<int>((pen + 32) >> 6);
    }
};

bool LICE_TextAvailable() { return true; }

LICE_CachedFont::LICE_CachedFont() : impl_(nullptr) {}

LICE_CachedFont::~LICE_CachedFont() { delete impl_; }

bool LICE_CachedFont::SetFromFace(const char* /*face*/, int size, bool bold, bool /*italic*/) {
    delete impl_;
    impl_ = nullptr;
    if (size <= 0 || size > 512) return false;
    const resources::Resource file = resources::find("TTF", bold ? kBoldFontId : kRegularFontId);
    if (!file) return false;
    auto impl = new Impl;
    if (FT_Init_FreeType(&impl->library) != 0 ||
        FT_New_Memory_Face(impl->library, file.data, static_cast<FT_Long>(file.size), 0, &impl->face) != 0 ||
        FT_Set_Pixel_Sizes(impl->face, 0, static_cast<FT_UInt>(size)) != 0) {
        delete impl;
        return false;
    }
    const FT_Size_Metrics& m = impl->face->size->metrics;
    impl->ascender = static_cast<int>((m.ascender + 32) >> 6);
    impl->descender = static_cast<int>((-m.descender + 32) >> 6);
    impl->lineHeight = impl->ascender + impl->descender;
    impl_ = impl;
    return true;
}

void LICE_CachedFont::SetFromHFont(void* /*font*/, int /*flags*/) {}
LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) { return std::exchange(textColor_, color); }
LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) { return std::exchange(bkColor_, color); }
int LICE_CachedFont::SetBkMode(int mode) { return std::exchange(bkMode_, mode); }
void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
    combineMode_ = mode;
    combineAlpha_ = alpha;
}
void* LICE_CachedFont::GetHFont() const { return nullptr; }
int LICE_CachedFont::GetLineHeight() const { return impl_ ? impl_->lineHeight : 0; }

int LICE_CachedFont::DrawText(LICE_IBitmap* bitmap, const char* text, int len, IRECT* rect, int flags) {
    if (!impl_ || !text || !rect) return 0;
    if (len < 0) len = static_cast<int>(std::strlen(text));
    const int width = impl_->Measure(text, len);
    const int height = impl_->lineHeight;
    if (flags & LICE_DT_CALCRECT) {
        rect->R = rect->L + width;
        rect->B = rect->T + height;
        return height;
    }
    if (!bitmap || !bitmap->GetBits()) return height;

    int x = rect->L;
    if (flags & LICE_DT_CENTER) {
        x = rect->L + (rect->W() - width) / 2;
    } else if (flags & LICE_DT_RIGHT) {
        x = rect->R - width;
    }
    int top = rect->T;
    if ((flags & LICE_DT_SINGLELINE) && (flags & LICE_DT_VCENTER)) {
        top = rect->T + (rect->H() - height) / 2;
    } else if ((flags & LICE_DT_SINGLELINE) && (flags & LICE_DT_BOTTOM)) {
        top = rect->B - height;
    }
    const int baseline = top + impl_->ascender;

    IRECT clip(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
    if (!(flags & LICE_DT_NOCLIP)) clip = clip.Intersect(*rect);
    if (hasClip_) clip = clip.Intersect(clip_);
    if (clip.Empty()) return height;

    if (bkMode_ == 1) {
        const IRECT box = IRECT(x, top, x + width, top + height).Intersect(clip);
        LICE_FillRect(bitmap, box.L, box.T, box.W(), box.H(), bkColor_, combineAlpha_, combineMode_);
    }

    const unsigned colorAlpha = LICE_GETA(textColor_);
    const int mode = (combineMode_ & LICE_BLIT_MODE_MASK) | LICE_BLIT_USE_ALPHA;
    long pen = static_cast<long>(x) << 6;
    for (int i = 0; i < len; ++i) {
        const Glyph& g = impl_->GlyphFor(static_cast<unsigned char>(text[i]));
        const int gx = static_cast<int>((pen + 32) >> 6) + g.left;
        const int gy = baseline - g.top;
        pen += g.advance;
        const IRECT box = IRECT(gx, gy, gx + g.width, gy + g.height).Intersect(clip);
        for (int y = box.T; y < box.B; ++y) {
            const unsigned char* cov =
                &g.coverage[static_cast<std::size_t>(y - gy) * static_cast<std::size_t>(g.width)];
            LICE_pixel* row = bitmap->GetBits() + static_cast<std::ptrdiff_t>(y) * bitmap->GetRowSpan();
            for (int px = box.L; px < box.R; ++px) {
                const unsigned c = cov[px - gx];
                if (c == 0) continue;
                const LICE_pixel src = (textColor_ & 0x00ffffffu) | (((c * colorAlpha + 127u) / 255u) << 24);
                row[px] = LICE_CombinePixel(row[px], src, combineAlpha_, mode);
            }
        }
    }
    return height;
}

}  // namespace kettrix
