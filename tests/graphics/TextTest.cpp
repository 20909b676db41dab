// Text through the editor's text drawing: repeatable pixels, alignment
// within the rectangle, clipping.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

namespace kettrix {
namespace {

constexpr LICE_pixel kPaper = LICE_RGBA(20, 20, 20, 255);

// The horizontal extent of pixels that differ from the paper.
struct Ink {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
};

Ink InkOf(const IGraphicsOffscreen& gui, const IRECT& area) {
    Ink ink;
    for (int y = area.T; y < area.B; ++y)
        for (int x = area.L; x < area.R; ++x)
            if (gui.Pixel(x, y) != kPaper) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x + 1);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y + 1);
                ++ink.count;
            }
    return ink;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LICE_TextAvailable()) GTEST_SKIP() << "this build draws no text";
    }
    test::RecordingPlug plug;
    IGraphicsOffscreen gui{&plug, 300, 80};

    void Paper() { LICE_Clear(gui.GetDrawBitmap(), kPaper); }
    ITextControl* AddText(const IRECT& rect, const IText& style, const char* str) {
        auto* control = new ITextControl(&plug, rect, style, str);
        gui.AttachControl(control);
        return control;
    }
};

TEST_F(TextTest, SameStringSamePixels) {
    const IText style(14, IColor(255, 230, 230, 230), "Arial", IText::kStyleBold);
    AddText(IRECT(10, 10, 290, 40), style, "Kettrix 4 SNARE 0.125");
    Paper();
    gui.RenderAll();
    std::vector<LICE_pixel> first(gui.GetDrawBitmap()->GetBits(), gui.GetDrawBitmap()->GetBits() + 300 * 80);
    // A second editor of the same process draws the same pixels.
    IGraphicsOffscreen other(&plug, 300, 80);
    other.AttachControl(new ITextControl(&plug, IRECT(10, 10, 290, 40), style, "Kettrix 4 SNARE 0.125"));
    LICE_Clear(other.GetDrawBitmap(), kPaper);
    other.RenderAll();
    std::vector<LICE_pixel> second(other.GetDrawBitmap()->GetBits(), other.GetDrawBitmap()->GetBits() + 300 * 80);
    EXPECT_EQ(first, second);
    const Ink ink = InkOf(gui, IRECT(0, 0, 300, 80));
    EXPECT_GT(ink.count, 100);
    EXPECT_GT(ink.right - ink.left, 100);
    // Anti-aliased: some pixels are between paper and ink.
    int partial = 0;
    for (int y = 10; y < 40; ++y)
        for (int x = 10; x < 290; ++x) {
            const unsigned r = LICE_GETR(gui.Pixel(x, y));
            partial += r > 30 && r < 220;
        }
    EXPECT_GT(partial, 10);
}

TEST_F(TextTest, AlignmentNearCentreFar) {
    const IRECT rect(40, 20, 260, 50);
    IText style(12, IColor(255, 255, 255, 255), "Verdana");
    // A symmetric string, so its ink is centred where its advance is.
    style.align_ = IText::kAlignCenter;
    auto* text = AddText(rect, style, "HOH");
    Paper();
    gui.RenderAll();
    Ink ink = InkOf(gui, IRECT(0, 0, 300, 80));
    ASSERT_GT(ink.count, 0);
    EXPECT_LE(std::abs((ink.left + ink.right) - (rect.L + rect.R)), 2);  // within one pixel
    EXPECT_LE(std::abs((ink.top + ink.bottom) - (rect.T + rect.B)), 4);

    style.align_ = IText::kAlignNear;
    text->SetTextStyle(style);
    Paper();
    gui.RenderAll();
    ink = InkOf(gui, IRECT(0, 0, 300, 80));
    EXPECT_GE(ink.left, rect.L);
    EXPECT_LE(ink.left, rect.L + 2);

    style.align_ = IText::kAlignFar;
    text->SetTextStyle(style);
    Paper();
    gui.RenderAll();
    ink = InkOf(gui, IRECT(0, 0, 300, 80));
    EXPECT_LE(ink.right, rect.R);
    EXPECT_GE(ink.right, rect.R - 2);
}

TEST_F(TextTest, TextIsClippedToItsRectangle) {
    const IRECT rect(100, 30, 130, 40);
    AddText(rect, IText(14, IColor(255, 255, 255, 255), "Arial"), "A LONG NAME THAT DOES NOT FIT");
    Paper();
    gui.RenderAll();
    const Ink ink = InkOf(gui, IRECT(0, 0, 300, 80));
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.left, rect.L);
    EXPECT_LE(ink.right, rect.R);
    EXPECT_GE(ink.top, rect.T);
    EXPECT_LE(ink.bottom, rect.B);
}

TEST_F(TextTest, MeasureGrowsWithTheTextAndBoldIsWider) {
    IText regular(12, COLOR_WHITE, "Arial");
    IText bold = regular;
    bold.style_ = IText::kStyleBold;
    IRECT shortRect, longRect, boldRect;
    ASSERT_TRUE(gui.MeasureText(regular, "KICK", shortRect));
    ASSERT_TRUE(gui.MeasureText(regular, "KICK KICK", longRect));
    ASSERT_TRUE(gui.MeasureText(bold, "KICK KICK", boldRect));
    EXPECT_GT(shortRect.W(), 10);
    EXPECT_GT(longRect.W(), 2 * shortRect.W());
    EXPECT_GT(boldRect.W(), longRect.W());
    EXPECT_GE(shortRect.H(), 12);
}

}  // namespace
}  // namespace kettrix
