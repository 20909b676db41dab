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

LICE_CachedFont::LICE_CachedFont() : mImpl(new Impl) {}

LICE_CachedFont::~LICE_CachedFont() { delete mImpl; }

bool LICE_CachedFont::SetFromFace(const char* face, int size, bool bold, bool italic) {
    if (size <= 0 || size > 512) return false;
    HFONT font = CreateFontA(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH, face && *face ? face : "Arial");
    if (!font) return false;
    delete mImpl;
    mImpl = new Impl;
    mImpl->font = font;
    mImpl->owned = true;
    mImpl->lineHeight = LineHeightOf(font);
    return true;
}

void LICE_CachedFont::SetFromHFont(void* font, int /*flags*/) {
    delete mImpl;
    mImpl = new Impl;
    mImpl->font = static_cast<HFONT>(font);
    mImpl->lineHeight = font ? LineHeightOf(mImpl->font) : 0;
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) { return std::exchange(mTextColor, color); }
LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) { return std::exchange(mBkColor, color); }
int LICE_CachedFont::SetBkMode(int mode) { return std::exchange(mBkMode, mode); }
void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
    mCombineMode = mode;
    mCombineAlpha = alpha;
}
void* LICE_CachedFont::GetHFont() const { return mImpl->font; }
int LICE_CachedFont::GetLineHeight() const { return mImpl->lineHeight; }

int LICE_CachedFont::DrawText(LICE_IBitmap* bitmap, const char* text, int len, IRECT* rect, int flags) {
    if (!mImpl->font || !text || !rect) return 0;
    if (len < 0) len = static_cast<int>(std::strlen(text));
    RECT r = {rect->L, rect->T, rect->R, rect->B};
    if (flags & LICE_DT_CALCRECT) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) return 0;
        HGDIOBJ old = SelectObject(dc, mImpl->font);
        const int height = DrawTextA(dc, text, len, &r, static_cast<UINT>(flags));
        SelectObject(dc, old);
        DeleteDC(dc);
        rect->R = r.right;
        rect->B = r.bottom;
        return height;
    }
    HDC dc = bitmap ? static_cast<HDC>(bitmap->GetDC()) : nullptr;
    if (!dc || !bitmap->GetBits()) return mImpl->lineHeight;
    const int saved = SaveDC(dc);
    if (mHasClip) IntersectClipRect(dc, mClip.L, mClip.T, mClip.R, mClip.B);
    HGDIOBJ old = SelectObject(dc, mImpl->font);
    ::SetTextColor(dc, ColorRefOf(mTextColor));
    ::SetBkColor(dc, ColorRefOf(mBkColor));
    ::SetBkMode(dc, mBkMode == 1 ? OPAQUE : TRANSPARENT);
    const int height = DrawTextA(dc, text, len, &r, static_cast<UINT>(flags));
    SelectObject(dc, old);
    RestoreDC(dc, saved);
    GdiFlush();
    // The system leaves the alpha byte of the pixels it drew at 0; the
    // surface is opaque, so restore it within the text's rectangle.
    IRECT box = rect->Intersect(IRECT(0, 0, bitmap->GetWidth(), bitmap->GetHeight()));
    if (mHasClip) box = box.Intersect(mClip);
    for (int y = box.T; y < box.B; ++y) {
        LICE_pixel* row = bitmap->GetBits() + static_cast<std::ptrdiff_t>(y) * bitmap->GetRowSpan();
        for (int x = box.L; x < box.R; ++x) row[x] |= 0xff000000u;
    }
    return height;
}

}  // namespace kettrix
