// The memory bitmap and the drawing operations of the software library.
#include <cmath>
#include <cstdint>
#include <new>

#include "Lice.h"

namespace kettrix {

namespace {

bool ValidSize(int w, int h) { return LICE_SizeAllowed(w, h); }

// The weight 0..1 as a fixed-point factor 0..256.
int WeightOf(float alpha) {
    if (!(alpha > 0.0f)) return 0;  // also NaN
    if (alpha >= 1.0f) return 256;
    return static_cast<int>(alpha * 256.0f + 0.5f);
}

unsigned Channel(LICE_pixel p, int shift) { return (p >> shift) & 0xffu; }

// d + (s − d) × a / 256 on one channel.
unsigned Mix(unsigned d, unsigned s, int a) {
    const int di = static_cast<int>(d);
    return static_cast<unsigned>(di + (((static_cast<int>(s) - di) * a + 128) >> 8));
}

unsigned Dodge(unsigned d, unsigned s) {
    if (s >= 255u) return d == 0 ? 0u : 255u;
    const unsigned v = d * 255u / (255u - s);
    return v > 255u ? 255u : v;
}

// One pixel with a weight already in fixed point (0..256).
LICE_pixel Combine(LICE_pixel dst, LICE_pixel src, int weight, int mode) {
    int a = weight;
    if (mode & LICE_BLIT_USE_ALPHA) a = (static_cast<int>(LICE_GETA(src)) * weight + 127) / 255;
    switch (mode & LICE_BLIT_MODE_MASK) {
        case LICE_BLIT_MODE_ADD: {
            LICE_pixel out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                unsigned v = Channel(dst, shift) + ((Channel(src, shift) * static_cast<unsigned>(a) + 128u) >> 8);
                out |= (v > 255u ? 255u : v) << shift;
            }
            return out;
        }
        case LICE_BLIT_MODE_DODGE: {
            if (a == 0) return dst;
            LICE_pixel out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const unsigned d = Channel(dst, shift);
                out |= Mix(d, Dodge(d, Channel(src, shift)), a) << shift;
            }
            return out | (dst & 0xff000000u);
        }
        default: {
            if (a >= 256) return src;
            if (a <= 0) return dst;
            LICE_pixel out = 0;
            for (int shift = 0; shift < 32; shift += 8)
                out |= Mix(Channel(dst, shift), Channel(src, shift), a) << shift;
            return out;
        }
    }
}

// The clipped rectangle of a source blit: where in dest and where in src.
struct BlitSpan {
    int dx, dy, sx, sy, w, h;
};

bool ClipBlit(const LICE_IBitmap* dest, const LICE_IBitmap* src, long long dstx, long long dsty, long long srcx,
              long long srcy, long long srcw, long long srch, BlitSpan& out) {
    if (srcw <= 0 || srch <= 0) return false;
    // Clip the source rectangle to the source bitmap, moving the destination along.
    if (srcx < 0) {
        dstx -= srcx;
        srcw += srcx;
        srcx = 0;
    }
    if (srcy < 0) {
        dsty -= srcy;
        srch += srcy;
        srcy = 0;
    }
    srcw = std::min<long long>(srcw, src->GetWidth() - srcx);
    srch = std::min<long long>(srch, src->GetHeight() - srcy);
    // Then the destination rectangle to the destination bitmap.
    if (dstx < 0) {
        srcx -= dstx;
        srcw += dstx;
        dstx = 0;
    }
    if (dsty < 0) {
        srcy -= dsty;
        srch += dsty;
        dsty = 0;
    }
    srcw = std::min<long long>(srcw, dest->GetWidth() - dstx);
    srch = std::min<long long>(srch, dest->GetHeight() - dsty);
    if (srcw <= 0 || srch <= 0) return false;
    out = BlitSpan{static_cast<int>(dstx), static_cast<int>(dsty), static_cast<int>(srcx),
                   static_cast<int>(srcy), static_cast<int>(srcw), static_cast<int>(srch)};
    return true;
}

}  // namespace

int LICE_ModeForBlend(IChannelBlend::EBlendMethod method) {
    switch (method) {
        case IChannelBlend::kBlendClobber:
            return LICE_BLIT_MODE_COPY;
        case IChannelBlend::kBlendAdd:
            return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
        case IChannelBlend::kBlendColorDodge:
            return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
        default:
            return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    }
}

LICE_pixel LICE_CombinePixel(LICE_pixel dst, LICE_pixel src, float alpha, int mode) {
    return Combine(dst, src, WeightOf(alpha), mode);
}

// --- LICE_MemBitmap ----------------------------------------------------------

LICE_MemBitmap::LICE_MemBitmap(int w, int h) { Resize(w, h); }

bool LICE_MemBitmap::Resize(int w, int h) {
    if (!ValidSize(w, h)) return false;
    if (w == width_ && h == height_ && !pixels_.empty()) return true;
    std::vector<LICE_pixel> pixels;
    try {
        pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    } catch (const std::bad_alloc&) {
        return false;
    }
    pixels_.swap(pixels);
    width_ = w;
    height_ = h;
    rowSpan_ = w;
    return true;
}

// --- Drawing -----------------------------------------------------------------

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
               float alpha, int mode) {
    if (!dest || !src || !dest->GetBits() || !src->GetBits()) return;
    BlitSpan s;
    if (!ClipBlit(dest, src, dstx, dsty, srcx, srcy, srcw, srch, s)) return;
    const int weight = WeightOf(alpha);
    const bool plainCopy = (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY && !(mode & LICE_BLIT_USE_ALPHA);
    if (weight == 0 && !(plainCopy && alpha >= 1.0f)) return;
    const int dspan = dest->GetRowSpan(), sspan = src->GetRowSpan();
    LICE_pixel* drow = dest->GetBits() + static_cast<std::ptrdiff_t>(s.dy) * dspan + s.dx;
    const LICE_pixel* srow = src->GetBits() + static_cast<std::ptrdiff_t>(s.sy) * sspan + s.sx;
    const bool alphaCopy = (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY && (mode & LICE_BLIT_USE_ALPHA);
    for (int y = 0; y < s.h; ++y, drow += dspan, srow += sspan) {
        if (plainCopy && weight >= 256) {
            std::copy(srow, srow + s.w, drow);
        } else if (alphaCopy && weight >= 256) {
            // The common case of images: most pixels are fully opaque or clear.
            for (int x = 0; x < s.w; ++x) {
                const LICE_pixel p = srow[x];
                const unsigned a = p >> 24;
                if (a == 255u) {
                    drow[x] = p;
                } else if (a != 0u) {
                    drow[x] = Combine(drow[x], p, 256, mode);
                }
            }
        } else {
            for (int x = 0; x < s.w; ++x) drow[x] = Combine(drow[x], srow[x], weight, mode);
        }
    }
}

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, float alpha, int mode) {
    if (!src) return;
    LICE_Blit(dest, src, dstx, dsty, 0, 0, src->GetWidth(), src->GetHeight(), alpha, mode);
}

void LICE_ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, int srcx,
                     int srcy, int srcw, int srch, float alpha, int mode) {
    if (!dest || !src || !dest->GetBits() || !src->GetBits()) return;
    if (dstw <= 0 || dsth <= 0 || srcw <= 0 || srch <= 0) return;
    const int weight = WeightOf(alpha);
    const long long x0 = std::max<long long>(dstx, 0);
    const long long y0 = std::max<long long>(dsty, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(dstx) + dstw, dest->GetWidth());
    const long long y1 = std::min<long long>(static_cast<long long>(dsty) + dsth, dest->GetHeight());
    const int sw = src->GetWidth(), sh = src->GetHeight();
    const LICE_pixel* sbits = src->GetBits();
    for (long long y = y0; y < y1; ++y) {
        // Nearest source pixel: the centre of the destination pixel mapped back.
        const long long sy = srcy + ((y - dsty) * 2 + 1) * srch / (2LL * dsth);
        if (sy < 0 || sy >= sh) continue;
        LICE_pixel* drow = dest->GetBits() + y * dest->GetRowSpan();
        const LICE_pixel* srow = sbits + sy * src->GetRowSpan();
        for (long long x = x0; x < x1; ++x) {
            const long long sx = srcx + ((x - dstx) * 2 + 1) * srcw / (2LL * dstw);
            if (sx < 0 || sx >= sw) continue;
            drow[x] = Combine(drow[x], srow[sx], weight, mode);
        }
    }
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha, int mode) {
    if (!dest || !dest->GetBits() || w <= 0 || h <= 0) return;
    const long long x0 = std::max<long long>(x, 0);
    const long long y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + w, dest->GetWidth());
    const long long y1 = std::min<long long>(static_cast<long long>(y) + h, dest->GetHeight());
    const int weight = WeightOf(alpha);
    for (long long yy = y0; yy < y1; ++yy) {
        LICE_pixel* row = dest->GetBits() + yy * dest->GetRowSpan();
        for (long long xx = x0; xx < x1; ++xx) row[xx] = Combine(row[xx], color, weight, mode);
    }
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color) {
    if (!dest || !dest->GetBits()) return;
    for (int y = 0; y < dest->GetHeight(); ++y) {
        LICE_pixel* row = dest->GetBits() + static_cast<std::ptrdiff_t>(y) * dest->GetRowSpan();
        std::fill(row, row + dest->GetWidth(), color);
    }
}

void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode) {
    if (!dest || !dest->GetBits() || x < 0 || y < 0 || x >= dest->GetWidth() || y >= dest->GetHeight()) return;
    LICE_pixel& p = dest->GetBits()[static_cast<std::ptrdiff_t>(y) * dest->GetRowSpan() + x];
    p = Combine(p, color, WeightOf(alpha), mode);
}

LICE_pixel LICE_GetPixel(const LICE_IBitmap* src, int x, int y) {
    if (!src || !src->GetBits() || x < 0 || y < 0 || x >= src->GetWidth() || y >= src->GetHeight()) return 0;
    return src->GetBits()[static_cast<std::ptrdiff_t>(y) * src->GetRowSpan() + x];
}

namespace {

// Clips the segment to [xmin, xmax] × [ymin, ymax] (Liang–Barsky); false
// when nothing remains.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin, double xmax, double ymax) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = x1 + t0 * dx;
    y1 = y1 + t0 * dy;
    return true;
}

}  // namespace

void LICE_Line(LICE_IBitmap* dest, int ix1, int iy1, int ix2, int iy2, LICE_pixel color, float alpha, int mode,
               bool antialias) {
    if (!dest || !dest->GetBits()) return;
    double x1 = ix1, y1 = iy1, x2 = ix2, y2 = iy2;
    // A margin of one pixel keeps the anti-aliased edge pixels at the border.
    if (!ClipSegment(x1, y1, x2, y2, -1.0, -1.0, dest->GetWidth(), dest->GetHeight())) return;
    const double dx = x2 - x1, dy = y2 - y1;
    const bool steep = std::fabs(dy) > std::fabs(dx);
    const double length = steep ? std::fabs(dy) : std::fabs(dx);
    const int steps = static_cast<int>(std::lround(length));
    const double sx = steps > 0 ? dx / steps : 0.0, sy = steps > 0 ? dy / steps : 0.0;
    for (int i = 0; i <= steps; ++i) {
        const double x = x1 + sx * i, y = y1 + sy * i;
        if (!antialias) {
            LICE_PutPixel(dest, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), color, alpha, mode);
            continue;
        }
        // Split the pixel between the two neighbours across the line.
        if (steep) {
            const double fx = std::floor(x), frac = x - fx;
            LICE_PutPixel(dest, static_cast<int>(fx), static_cast<int>(std::lround(y)), color,
                          alpha * static_cast<float>(1.0 - frac), mode);
            LICE_PutPixel(dest, static_cast<int>(fx) + 1, static_cast<int>(std::lround(y)), color,
                          alpha * static_cast<float>(frac), mode);
        } else {
            const double fy = std::floor(y), frac = y - fy;
            LICE_PutPixel(dest, static_cast<int>(std::lround(x)), static_cast<int>(fy), color,
                          alpha * static_cast<float>(1.0 - frac), mode);
            LICE_PutPixel(dest, static_cast<int>(std::lround(x)), static_cast<int>(fy) + 1, color,
                          alpha * static_cast<float>(frac), mode);
        }
    }
}

}  // namespace kettrix
