// The drawing library: blend arithmetic, clipping of hostile rectangles,
// scaled blits, fills, lines and PNG images.
#include <gtest/gtest.h>
#include <zlib.h>

#include <climits>
#include <cstring>

#include "GraphicsTestSupport.h"
#include "graphics/BitmapCache.h"

namespace kettrix {
namespace {

using test::MakeSolid;

int Near(unsigned a, unsigned b) { return static_cast<int>(a) - static_cast<int>(b); }

TEST(LiceBlend, CopyWithSourceAlphaAtZeroHalfAndFull) {
    const LICE_pixel dst = LICE_RGBA(0, 100, 200, 255);
    const int mode = LICE_ModeForBlend(IChannelBlend::kBlendNone);
    // Fully transparent source: nothing changes; opaque: the source replaces.
    EXPECT_EQ(LICE_CombinePixel(dst, LICE_RGBA(250, 0, 0, 0), 1.0f, mode), dst);
    EXPECT_EQ(LICE_CombinePixel(dst, LICE_RGBA(250, 10, 20, 255), 1.0f, mode), LICE_RGBA(250, 10, 20, 255));
    // Half alpha, and half weight of an opaque source, land half way.
    for (LICE_pixel out : {LICE_CombinePixel(dst, LICE_RGBA(200, 0, 0, 128), 1.0f, mode),
                           LICE_CombinePixel(dst, LICE_RGBA(200, 0, 0, 255), 0.5f, mode)}) {
        EXPECT_LE(std::abs(Near(LICE_GETR(out), 100)), 1);
        EXPECT_LE(std::abs(Near(LICE_GETG(out), 50)), 1);
        EXPECT_LE(std::abs(Near(LICE_GETB(out), 100)), 1);
    }
    // Weight 0 (a greyed control) leaves the destination.
    EXPECT_EQ(LICE_CombinePixel(dst, LICE_RGBA(250, 10, 20, 255), 0.0f, mode), dst);
}

TEST(LiceBlend, PlainCopyIgnoresSourceAlpha) {
    const int mode = LICE_ModeForBlend(IChannelBlend::kBlendClobber);
    EXPECT_EQ(LICE_CombinePixel(LICE_RGBA(1, 2, 3, 255), LICE_RGBA(9, 8, 7, 0), 1.0f, mode), LICE_RGBA(9, 8, 7, 0));
}

TEST(LiceBlend, AddSaturatesAndScalesByAlpha) {
    const int mode = LICE_ModeForBlend(IChannelBlend::kBlendAdd);
    const LICE_pixel dst = LICE_RGBA(200, 100, 0, 255);
    const LICE_pixel sum = LICE_CombinePixel(dst, LICE_RGBA(100, 100, 100, 255), 1.0f, mode);
    EXPECT_EQ(LICE_GETR(sum), 255u);
    EXPECT_EQ(LICE_GETG(sum), 200u);
    EXPECT_EQ(LICE_GETB(sum), 100u);
    const LICE_pixel half = LICE_CombinePixel(dst, LICE_RGBA(100, 100, 100, 128), 1.0f, mode);
    EXPECT_LE(std::abs(Near(LICE_GETG(half), 150)), 1);
    EXPECT_EQ(LICE_CombinePixel(dst, LICE_RGBA(100, 100, 100, 0), 1.0f, mode), dst);
}

TEST(LiceBlend, ColorDodgeBrightensByTheInverseOfTheSource) {
    const int mode = LICE_ModeForBlend(IChannelBlend::kBlendColorDodge);
    const LICE_pixel dst = LICE_RGBA(100, 100, 0, 255);
    // d / (1 − s): 100 / (1 − 128/255) ≈ 200; a white source saturates a
    // non-black channel and leaves black black; a black source changes nothing.
    const LICE_pixel out = LICE_CombinePixel(dst, LICE_RGBA(128, 255, 255, 255), 1.0f, mode);
    EXPECT_LE(std::abs(Near(LICE_GETR(out), 200)), 1);
    EXPECT_EQ(LICE_GETG(out), 255u);
    EXPECT_EQ(LICE_GETB(out), 0u);
    EXPECT_EQ(LICE_CombinePixel(dst, LICE_RGBA(0, 0, 0, 255), 1.0f, mode), dst);
    // Dodge never darkens.
    for (unsigned s = 0; s < 256; s += 15) {
        const LICE_pixel p = LICE_CombinePixel(dst, LICE_RGBA(s, s, s, 255), 1.0f, mode);
        EXPECT_GE(LICE_GETR(p), 100u);
    }
}

// Every destination pixel is either untouched or the source pixel that the
// clipped rectangle maps onto it; nothing outside either bitmap is read or
// written (ASan checks the memory side).
TEST(LiceBlit, HostileRectanglesTouchOnlyTheIntersection) {
    const int offsets[] = {INT_MIN, -100000, -9, -3, -1, 0, 1, 5, 15, 16, 17, 100000, INT_MAX};
    const int sizes[] = {INT_MIN, -5, 0, 1, 4, 8, 9, 40, INT_MAX};
    auto src = test::MakeRowCodedStrip(8, 8);
    const LICE_pixel background = LICE_RGBA(1, 2, 3, 255);
    LICE_MemBitmap dest(16, 16);
    for (int dx : offsets)
        for (int sx : {INT_MIN, -4, 0, 3, 8, INT_MAX})
            for (int w : sizes) {
                const int dy = dx / 2, sy = sx, h = w;
                LICE_Clear(&dest, background);
                LICE_Blit(&dest, src.get(), dx, dy, sx, sy, w, h, 1.0f, LICE_BLIT_MODE_COPY);
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x) {
                        const long long u = static_cast<long long>(x) - dx + sx;
                        const long long v = static_cast<long long>(y) - dy + sy;
                        const bool inside = u >= sx && v >= sy && u < static_cast<long long>(sx) + w &&
                                            v < static_cast<long long>(sy) + h && u >= 0 && v >= 0 && u < 8 && v < 8;
                        const LICE_pixel expected =
                            inside ? LICE_GetPixel(src.get(), static_cast<int>(u), static_cast<int>(v)) : background;
                        ASSERT_EQ(LICE_GetPixel(&dest, x, y), expected)
                            << "dest " << dx << "," << dy << " src " << sx << "," << sy << " size " << w << " at " << x
                            << "," << y;
                    }
            }
}

TEST(LiceBlit, HostileScaledBlitsFillsAndLinesStayInside) {
    LICE_MemBitmap dest(16, 16);
    auto src = MakeSolid(4, 4, LICE_RGBA(255, 0, 0, 255));
    const int values[] = {INT_MIN, -1000000, -1, 0, 3, 16, 1000000, INT_MAX};
    for (int a : values)
        for (int b : values) {
            LICE_ScaledBlit(&dest, src.get(), a, b, b, a, a, b, 7, 7, 1.0f, LICE_BLIT_MODE_COPY);
            LICE_ScaledBlit(&dest, src.get(), 0, 0, 16, 16, a, b, a, b, 1.0f, LICE_BLIT_MODE_COPY);
            LICE_FillRect(&dest, a, b, b, a, LICE_RGBA(0, 255, 0, 255), 0.5f, LICE_BLIT_MODE_ADD);
            LICE_Line(&dest, a, b, b, a, LICE_RGBA(0, 0, 255, 255), 1.0f, LICE_BLIT_MODE_COPY, true);
            LICE_Line(&dest, a, a, b, b, LICE_RGBA(0, 0, 255, 255), 1.0f, LICE_BLIT_MODE_COPY, false);
        }
    LICE_PutPixel(&dest, -1, 3, 0, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_PutPixel(&dest, 16, 3, 0, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(LICE_GetPixel(&dest, 99, 3), 0u);
}

TEST(LiceBlit, ScaledBlitDoublesEachSourcePixel) {
    auto src = test::MakeRowCodedStrip(2, 2);
    LICE_MemBitmap dest(4, 4);
    LICE_ScaledBlit(&dest, src.get(), 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, LICE_BLIT_MODE_COPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dest, x, y), LICE_GetPixel(src.get(), x / 2, y / 2));
}

TEST(LiceDraw, FillAndLinesCoverTheExpectedPixels) {
    LICE_MemBitmap dest(20, 20);
    LICE_Clear(&dest, LICE_RGBA(0, 0, 0, 255));
    LICE_FillRect(&dest, 2, 3, 4, 5, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BLIT_MODE_COPY);
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) lit += LICE_GETR(LICE_GetPixel(&dest, x, y)) == 255u;
    EXPECT_EQ(lit, 20);

    // A plain line lights one pixel per step, both ends included.
    LICE_Clear(&dest, LICE_RGBA(0, 0, 0, 255));
    LICE_Line(&dest, 1, 1, 18, 10, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BLIT_MODE_COPY, false);
    EXPECT_EQ(LICE_GETR(LICE_GetPixel(&dest, 1, 1)), 255u);
    EXPECT_EQ(LICE_GETR(LICE_GetPixel(&dest, 18, 10)), 255u);
    for (int x = 1; x <= 18; ++x) {
        int column = 0;
        for (int y = 0; y < 20; ++y) column += LICE_GETR(LICE_GetPixel(&dest, x, y)) == 255u;
        EXPECT_EQ(column, 1) << x;
    }
    // An anti-aliased line spreads each column's ink over two pixels but
    // keeps its total close to one full pixel.
    LICE_Clear(&dest, LICE_RGBA(0, 0, 0, 255));
    LICE_Line(&dest, 1, 1, 18, 10, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA,
              true);
    int partial = 0;
    for (int x = 2; x <= 17; ++x) {
        unsigned total = 0;
        for (int y = 0; y < 20; ++y) {
            const unsigned r = LICE_GETR(LICE_GetPixel(&dest, x, y));
            total += r;
            partial += r > 0 && r < 255;
        }
        EXPECT_NEAR(static_cast<double>(total), 255.0, 4.0) << x;
    }
    EXPECT_GT(partial, 8);
}

// --- PNG ----------------------------------------------------------------------

std::vector<unsigned char> EncodeTestImage(int w, int h) {
    LICE_MemBitmap image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.GetBits()[y * image.GetRowSpan() + x] = LICE_RGBA(x * 20, y * 30, 77, (x + y) % 2 ? 255 : 64);
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(LICE_WritePNGToMemory(bytes, &image, false));
    return bytes;
}

// Rewrites the width and height of a PNG's header with a valid checksum.
std::vector<unsigned char> WithHeaderSize(std::vector<unsigned char> png, std::uint32_t w, std::uint32_t h) {
    // Signature (8), chunk length (4), "IHDR" (4), then width and height.
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<unsigned char>(w >> (24 - 8 * i));
        png[20 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    return png;
}

TEST(LicePng, DecodesWhatItEncodesWithAlpha) {
    const std::vector<unsigned char> bytes = EncodeTestImage(5, 3);
    std::unique_ptr<LICE_MemBitmap> decoded(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->GetWidth(), 5);
    ASSERT_EQ(decoded->GetHeight(), 3);
    EXPECT_EQ(LICE_GetPixel(decoded.get(), 4, 2), LICE_RGBA(80, 60, 77, 64));
    EXPECT_EQ(LICE_GetPixel(decoded.get(), 1, 0), LICE_RGBA(20, 0, 77, 255));
}

TEST(LicePng, CorruptImagesGiveNoBitmap) {
    const std::vector<unsigned char> good = EncodeTestImage(16, 16);
    // Every truncation before the end of the pixel data (the closing chunk
    // holds no pixels), a flipped byte in the pixel data, garbage and nothing.
    for (std::size_t n = 0; n < good.size() - 12; n += 3)
        EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), n), nullptr) << n;
    std::vector<unsigned char> flipped = good;
    flipped[flipped.size() / 2] ^= 0x5a;
    EXPECT_EQ(LICE_LoadPNGFromMemory(flipped.data(), flipped.size()), nullptr);
    const std::vector<unsigned char> garbage(300, 0xab);
    EXPECT_EQ(LICE_LoadPNGFromMemory(garbage.data(), garbage.size()), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100), nullptr);
    // Headers claiming huge or inconsistent sizes.
    EXPECT_EQ(LICE_LoadPNGFromMemory(WithHeaderSize(good, 100000, 100000).data(), good.size()), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromMemory(WithHeaderSize(good, 9000, 1).data(), good.size()), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromMemory(WithHeaderSize(good, 16, 17).data(), good.size()), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromMemory(WithHeaderSize(good, 0, 16).data(), good.size()), nullptr);
    // The untouched image still decodes (the failures above were real).
    std::unique_ptr<LICE_MemBitmap> decoded(LICE_LoadPNGFromMemory(good.data(), good.size()));
    EXPECT_TRUE(decoded);
}

TEST(LicePng, FileNamesAndMissingResources) {
    EXPECT_TRUE(IsPNGFileName("knob.png"));
    EXPECT_TRUE(IsPNGFileName("a.b.PnG"));
    EXPECT_FALSE(IsPNGFileName("knob.bmp"));
    EXPECT_FALSE(IsPNGFileName("png"));
    EXPECT_FALSE(IsPNGFileName("knob.pngx"));
    EXPECT_FALSE(IsPNGFileName(nullptr));
    EXPECT_EQ(LoadCachedPNG(-12345), nullptr);
    EXPECT_EQ(LoadCachedPNG(-12345), nullptr);
}

}  // namespace
}  // namespace kettrix
