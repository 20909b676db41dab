// The editor at 150 and 200 %: the conversion between logical and window
// pixels, hit tests and drags fed in window pixels as a window host does,
// filled areas without seams, text drawn at the zoomed size, and the host
// asked before a zoom takes hold.
#include <gtest/gtest.h>

#include <algorithm>

#include "GraphicsTestSupport.h"
#include "resources/Zoom.h"

namespace kettrix {
namespace {

using test::CountingControl;
using test::RecordingPlug;

constexpr int kW = 200, kH = 150;
constexpr int kLargerZooms[] = {150, 200};

TEST(ZoomConversion, AWindowPixelIsInsideARectangleExactlyWhenItsLogicalPixelIs) {
    for (int percent : zoom::kPercents) {
        SCOPED_TRACE(percent);
        for (int x = -20; x <= 60; ++x) EXPECT_EQ(zoom::ToLogical(zoom::ToPhysical(x, percent), percent), x);
        for (int left = -5; left < 12; ++left)
            for (int right = left; right < 14; ++right)
                for (int p = zoom::ToPhysical(-6, percent); p < zoom::ToPhysical(15, percent); ++p) {
                    const bool inWindow = p >= zoom::ToPhysical(left, percent) && p < zoom::ToPhysical(right, percent);
                    const int logical = zoom::ToLogical(p, percent);
                    ASSERT_EQ(inWindow, logical >= left && logical < right) << left << ".." << right << " p " << p;
                }
    }
    EXPECT_EQ(zoom::PercentForDpi(96), 100);
    EXPECT_EQ(zoom::PercentForDpi(143.9), 100);
    EXPECT_EQ(zoom::PercentForDpi(144), 150);
    EXPECT_EQ(zoom::PercentForDpi(192), 200);
    EXPECT_EQ(zoom::PercentForDpi(288), 200);
}

// A plug-in side that answers the window-size question as told.
class ResizingPlug : public RecordingPlug {
public:
    bool RequestWindowSize(int w, int h) override {
        asked.push_back({w, h});
        return accept;
    }
    void ResizeGraphics(int w, int h) override { told.push_back({w, h}); }
    bool accept = true;
    std::vector<std::pair<int, int>> asked, told;
};

class ZoomTest : public ::testing::Test {
protected:
    ResizingPlug plug;
    IGraphicsOffscreen gui{&plug, kW, kH};

    void SetUp() override {
        gui.AttachControl(new CountingControl(&plug, IRECT(0, 0, kW, kH), -1, IColor(255, 10, 10, 10)));
    }
    void Settle() {
        for (int i = 0; i < 10 && gui.Tick(); ++i) {}
    }
};

TEST_F(ZoomTest, TheWindowAndItsSurfaceGrowWhileTheLayoutStays) {
    for (int percent : kLargerZooms) {
        ASSERT_TRUE(gui.SetZoom(percent));
        gui.RenderAll();
        EXPECT_EQ(gui.Width(), kW);
        EXPECT_EQ(gui.Height(), kH);
        EXPECT_EQ(gui.WindowWidth(), zoom::ToPhysical(kW, percent));
        EXPECT_EQ(gui.GetDrawBitmap()->GetWidth(), gui.WindowWidth());
        EXPECT_EQ(gui.GetDrawBitmap()->GetHeight(), gui.WindowHeight());
        ASSERT_FALSE(plug.told.empty());
        EXPECT_EQ(plug.told.back(), std::make_pair(gui.WindowWidth(), gui.WindowHeight()));
    }
    EXPECT_FALSE(gui.SetZoom(125));
    EXPECT_EQ(gui.Zoom(), 200);
}

TEST_F(ZoomTest, EveryWindowPixelOfAControlHitsItAndNoOtherDoes) {
    // Two knobs side by side, one logical pixel apart, odd positions and sizes.
    auto* left = new IKnobMultiControl(&plug, 11, 21, 1, IBitmap(nullptr, 17, 13, 1));
    auto* right = new IKnobMultiControl(&plug, 29, 21, 2, IBitmap(nullptr, 17, 13, 1));
    gui.AttachControl(left);
    gui.AttachControl(right);
    for (int percent : kLargerZooms) {
        SCOPED_TRACE(percent);
        ASSERT_TRUE(gui.SetZoom(percent));
        const IRECT window = gui.ToWindow(left->GetRECT());
        for (int y = window.T - 2; y < window.B + 2; ++y)
            for (int x = window.L - 2; x < gui.ToWindow(right->GetRECT()).R + 2; ++x) {
                plug.events.clear();
                gui.Click(x, y);
                const bool onLeft = gui.ToWindow(left->GetRECT()).Contains(x, y);
                const bool onRight = gui.ToWindow(right->GetRECT()).Contains(x, y);
                ASSERT_EQ(!plug.EventNames(1).empty(), onLeft) << x << "," << y;
                ASSERT_EQ(!plug.EventNames(2).empty(), onRight) << x << "," << y;
            }
    }
}

TEST_F(ZoomTest, ADragGearsPerLogicalPixel) {
    auto* knob = new IKnobMultiControl(&plug, 40, 40, 1, IBitmap(nullptr, 30, 30, 1));
    gui.AttachControl(knob);
    // 100 %: 12 logical pixels up.
    gui.Drag(55, 55, 55, 43, 4);
    const double atHundred = plug.values[1];
    ASSERT_GT(atHundred, 0.0);
    for (int percent : kLargerZooms) {
        SCOPED_TRACE(percent);
        knob->SetValueFromPlug(0.0);
        plug.values[1] = 0.0;
        ASSERT_TRUE(gui.SetZoom(percent));
        // The same 12 logical pixels, in window pixels and in uneven steps.
        const int x = gui.ToWindow(55), y0 = gui.ToWindow(55), y1 = gui.ToWindow(43);
        gui.Drag(x, y0, x, y1, 5);
        EXPECT_NEAR(plug.values[1], atHundred, 1e-12);
    }
}

TEST_F(ZoomTest, AreasFillTheirWindowPixelsWithoutSeamsOrOverlaps) {
    // Three strips sharing edges at odd logical coordinates.
    gui.AttachControl(new CountingControl(&plug, IRECT(3, 5, 8, 40), -1, IColor(255, 255, 0, 0)));
    gui.AttachControl(new CountingControl(&plug, IRECT(8, 5, 13, 40), -1, IColor(255, 0, 255, 0)));
    gui.AttachControl(new CountingControl(&plug, IRECT(13, 5, 21, 40), -1, IColor(255, 0, 0, 255)));
    for (int percent : kLargerZooms) {
        SCOPED_TRACE(percent);
        ASSERT_TRUE(gui.SetZoom(percent));
        gui.RenderAll();
        const int y = gui.ToWindow(20);
        for (int x = gui.ToWindow(1); x < gui.ToWindow(23); ++x) {
            const int logical = gui.ToLogical(x);
            const LICE_pixel p = gui.Pixel(x, y);
            const unsigned expected = logical < 3 || logical >= 21 ? 10u : 0u;
            EXPECT_EQ(LICE_GETR(p), logical >= 3 && logical < 8 ? 255u : expected) << x;
            EXPECT_EQ(LICE_GETG(p), logical >= 8 && logical < 13 ? 255u : expected) << x;
            EXPECT_EQ(LICE_GETB(p), logical >= 13 && logical < 21 ? 255u : expected) << x;
        }
    }
}

// A control that writes a word in white.
class WordControl : public IControl {
public:
    WordControl(IGraphicsPlug* plug, const IRECT& rect) : IControl(plug, rect) {
        text_ = IText(14, COLOR_WHITE, "Arial", IText::kStyleBold, IText::kAlignNear);
    }
    bool Draw(IGraphics* graphics) override { return graphics->DrawText(text_, "KICK 909", rect_); }
};

// The inked columns of the surface, first and last + 1.
std::pair<int, int> InkedColumns(IGraphicsOffscreen& gui) {
    int first = -1, last = -1;
    for (int x = 0; x < gui.WindowWidth(); ++x)
        for (int y = 0; y < gui.WindowHeight(); ++y)
            if (LICE_GETR(gui.Pixel(x, y)) > 128) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last + 1};
}

TEST_F(ZoomTest, TextIsDrawnAtTheZoomedSizeAndMeasuresTheSameInLogicalPixels) {
    gui.AttachControl(new WordControl(&plug, IRECT(10, 10, 190, 40)));
    gui.RenderAll();
    if (!LICE_TextAvailable()) GTEST_SKIP() << "this build draws no text";
    const auto [first, end] = InkedColumns(gui);
    ASSERT_GE(first, 0);
    const int inkAtHundred = end - first;
    IRECT measuredAtHundred(0, 0, 0, 0);
    ASSERT_TRUE(gui.MeasureText(IText(14, COLOR_WHITE, "Arial", IText::kStyleBold), "KICK 909", measuredAtHundred));
    for (int percent : kLargerZooms) {
        SCOPED_TRACE(percent);
        ASSERT_TRUE(gui.SetZoom(percent));
        gui.RenderAll();
        const auto [zoomedFirst, zoomedEnd] = InkedColumns(gui);
        const double ratio = static_cast<double>(zoomedEnd - zoomedFirst) / inkAtHundred;
        // Rasterised afresh at the zoomed em size, not enlarged: the ink
        // scales with the zoom, give or take hinting.
        EXPECT_NEAR(ratio, percent / 100.0, 0.12 * percent / 100.0);
        EXPECT_NEAR(zoomedFirst, gui.ToWindow(10), 2 * percent / 100);
        IRECT measured(0, 0, 0, 0);
        ASSERT_TRUE(gui.MeasureText(IText(14, COLOR_WHITE, "Arial", IText::kStyleBold), "KICK 909", measured));
        EXPECT_NEAR(measured.W(), measuredAtHundred.W(), 0.1 * measuredAtHundred.W());
    }
}

TEST_F(ZoomTest, ARequestedZoomTakesHoldOnlyWhenTheHostAccepts) {
    gui.RequestZoom(200);
    EXPECT_EQ(gui.Zoom(), 100) << "a request waits for the timer";
    plug.accept = false;
    gui.Tick();
    EXPECT_EQ(gui.Zoom(), 100);
    ASSERT_EQ(plug.asked.size(), 1u);
    EXPECT_EQ(plug.asked[0], std::make_pair(zoom::ToPhysical(kW, 200), zoom::ToPhysical(kH, 200)));
    // The window went back to its size, and the plug-in heard so last.
    EXPECT_EQ(plug.told.back(), std::make_pair(kW, kH));

    plug.accept = true;
    gui.RequestZoom(150);
    gui.Tick();
    EXPECT_EQ(gui.Zoom(), 150);
    EXPECT_EQ(plug.told.back(), std::make_pair(gui.WindowWidth(), gui.WindowHeight()));
    gui.RequestZoom(133);  // not offered: nothing asked
    gui.Tick();
    EXPECT_EQ(plug.asked.size(), 2u);
    EXPECT_EQ(gui.Zoom(), 150);
}

}  // namespace
}  // namespace kettrix
