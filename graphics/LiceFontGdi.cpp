// Text on Windows: the system draws it with a system font into the draw
// surface's device context (the DIB section of LICE_SysBitmap).
#include <cstring>
#include <utility>

#include "Lice.h"
#include "PlatformWindows.h"

namespace kettrix {

struct LICE_CachedFont::Impl {
    HFONT font = nullptr;
    bool owned = false;
    int lineHeight = 0;

    ~Impl() {
        if (owned && font) DeleteObject(font);
    }
};

namespace {

int LineHeightOf(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    const int height = GetTextMetricsA(dc, &metrics) ? static_cast<int>(metrics.tmHeight) : 0;
    SelectObject(dc, old);
    DeleteDC(dc);
    return height;
}

COLORREF ColorRefOf(LICE_pixel p) { return RGB(LICE_GETR(p), LICE_GETG(p), LICE_GETB(p)); }

}  // namespace

bool LICE_TextAvailable() { return true; }

LICE_CachedFont::LICE_CachedFont() : impl_(new Impl) {}

LICE_CachedFont::~LICE_CachedFont() { delete impl_; }

bool LICE_CachedFont::SetFromFace(const char* face, int size, bool bold, bool italic) {
    if (size <= 0 || size > 512) return false;
    HFONT font = CreateFontA(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH, face && *face ? face : "Arial");
    if (!font) return false;
    delete impl_;
    impl_ = new Impl;
    impl_->font = font;
    impl_->owned = true;
    impl_->lineHeight = LineHeightOf(font);
    return true;
}

void LICE_CachedFont::SetFromHFont(void* font, int /*flags*/) {
    delete impl_;
    impl_ = new Impl;
    impl_->font = static_cast<HFONT>(font);
    impl_->lineHeight = font ? LineHeightOf(impl_->font) : 0;
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) { return std::exchange(textColor_, color); }
LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) { return std::exchange(bkColor_, color); }
int LICE_CachedFont::SetBkMode(int mode) { return std::exchange(bkMode_, mode); }
void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
    combineMode_ = mode;
    combineAlpha_ = alpha;
}
void* LICE_CachedFont::GetHFont() const { return impl_->font; }
int LICE_CachedFont::GetLineHeight() const { return impl_->lineHeight; }

int LICE_CachedFont::DrawText(LICE_IBitmap* bitmap, const char* text, int len, IRECT* rect, int flags) {
    if (!impl_->font || !text || !rect) return 0;
    if (len < 0) len = static_cast<int>(std::strlen(text));
    RECT r = {rect->L, rect->T, rect->R, rect->B};
    if (flags & LICE_DT_CALCRECT) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) return 0;
        HGDIOBJ old = SelectObject(dc, impl_->font);
        const int height = DrawTextA(dc, text, len, &r, static_cast<UINT>(flags));
        SelectObject(dc, old);
        DeleteDC(dc);
        rect->R = r.right;
        rect->B = r.bottom;
        return height;
    }
    HDC dc = bitmap ? static_cast<HDC>(bitmap->GetDC()) : nullptr;
    if (!dc || !bitmap->GetBits()) return impl_->lineHeight;
    const int saved = SaveDC(dc);
    if (hasClip_) IntersectClipRect(dc, clip_.L, clip_.T, clip_.R, clip_.B);
    HGDIOBJ old = SelectObject(dc, impl_->font);
    ::SetTextColor(dc, ColorRefOf(textColor_));
    ::SetBkColor(dc, ColorRefOf(bkColor_));
    ::SetBkMode(dc, bkMode_ == 1 ? OPAQUE : TRANSPARENT);
    const int height = DrawTextA(dc, text, len, &r, static_cast<UINT>(flags));
    SelectObject(dc, old);
    RestoreDC(dc, saved);
    GdiFlush();
    // The system leaves the alpha byte of the pixels it drew at 0; the
    // surface is opaque, so restore it within the text's rectangle.
    IRECT box = rect->Intersect(IRECT(0, 0, bitmap->GetWidth(), bitmap->GetHeight()));
    if (hasClip_) box = box.Intersect(clip_);
    for (int y = box.T; y < box.B; ++y) {
        LICE_pixel* row = bitmap->GetBits() + static_cast<std::ptrdiff_t>(y) * bitmap->GetRowSpan();
        for (int x = box.L; x < box.R; ++x) row[x] |= 0xff000000u;
    }
    return height;
}

}  // namespace kettrix
