// Legibility measured from the pixels: every label the background and the
// two backdrops carry, every selector text and the texts the editor draws
// over the images reach a contrast of at least 4.5:1 (WCAG AA) against what
// lies behind them, and no label lies under a control.
#include "EditorLayout.h"
#include "PixelProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace kettrix::artwork::test {
namespace {

constexpr double kMinimumContrast = 4.5;

struct Box {
    int x0, y0, x1, y1;  // inclusive-exclusive
};

// The most frequent colour of a box: what the text sits on.
Pixel backdropOf(const Image& image, const Box& box) {
    std::map<std::tuple<int, int, int>, int> counts;
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            const Pixel p = image.at(x, y);
            ++counts[{p.r, p.g, p.b}];
        }
    }
    const auto best = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return {std::get<0>(best->first), std::get<1>(best->first), std::get<2>(best->first), 255};
}

struct Ink {
    int count = 0;
    Box bounds{1 << 20, 1 << 20, -1, -1};
    double contrast = 0;  // of the glyphs' cores against the backdrop
};

// Pixels that stand out from the backdrop are ink; the contrast of the text
// is taken from the strongest third of them (the cores of the strokes, not
// their antialiased edges).
Ink measureInk(const Image& image, const Box& box) {
    const Pixel backdrop = backdropOf(image, box);
    std::vector<double> ratios;
    Ink ink;
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            const double c = contrast(image.at(x, y), backdrop);
            if (c < 1.6) continue;
            ratios.push_back(c);
            ink.bounds = {std::min(ink.bounds.x0, x), std::min(ink.bounds.y0, y), std::max(ink.bounds.x1, x + 1),
                          std::max(ink.bounds.y1, y + 1)};
        }
    }
    ink.count = static_cast<int>(ratios.size());
    if (ratios.empty()) return ink;
    std::sort(ratios.rbegin(), ratios.rend());
    const std::size_t core = std::max<std::size_t>(1, ratios.size() / 3);
    double sum = 0;
    for (std::size_t i = 0; i < core; ++i) sum += ratios[i];
    ink.contrast = sum / static_cast<double>(core);
    return ink;
}

// Where a label's letters may lie: generous around its anchor.
Box searchBox(const Label& l, const Image& image) {
    const int width = static_cast<int>(l.text.size()) * 8 + 4;
    int x0 = static_cast<int>(l.x) - 2;
    if (l.anchor == LabelAnchor::Centre) x0 = static_cast<int>(l.x) - width / 2;
    if (l.anchor == LabelAnchor::Right) x0 = static_cast<int>(l.x) - width + 2;
    const Box box{x0, l.capTop - 2, x0 + width, l.capTop + 11};
    return {std::max(0, box.x0), std::max(0, box.y0), std::min(image.width, box.x1), std::min(image.height, box.y1)};
}

// Checks every label of an image: legible, and clear of every control.
void checkLabels(const Image& image, const std::vector<Label>& labels, const std::vector<ControlRect>& controls,
                 int originX, int originY) {
    ASSERT_FALSE(labels.empty());
    for (const Label& l : labels) {
        SCOPED_TRACE(l.text + " at " + std::to_string(static_cast<int>(l.x)) + "," + std::to_string(l.capTop));
        const Ink ink = measureInk(image, searchBox(l, image));
        ASSERT_GT(ink.count, static_cast<int>(l.text.size())) << "no letters found";
        EXPECT_GE(ink.contrast, kMinimumContrast);
        const Rect letters{ink.bounds.x0 + originX, ink.bounds.y0 + originY, ink.bounds.x1 - ink.bounds.x0,
                           ink.bounds.y1 - ink.bounds.y0};
        for (const ControlRect& c : controls) {
            EXPECT_FALSE(letters.intersects(c.rect)) << "covered by " << c.what;
        }
    }
}

// A point inside a label's letters.
double insideX(const Label& l) {
    if (l.anchor == LabelAnchor::Left) return l.x + 2;
    if (l.anchor == LabelAnchor::Right) return l.x - 2;
    return l.x;
}

// Labels of one row stay apart: between any two neighbours runs a gap of
// at least five ink-free columns, wider than the space between two words.
void checkLabelsApart(const Image& image, const std::vector<Label>& labels) {
    constexpr int kGap = 5;
    for (const Label& a : labels) {
        for (const Label& b : labels) {
            if (a.capTop != b.capTop || insideX(a) >= insideX(b) || insideX(b) - insideX(a) > 90) continue;
            const Pixel backdrop = backdropOf(image, searchBox(a, image));
            int run = 0, longest = 0;
            for (int x = static_cast<int>(insideX(a)); x < static_cast<int>(insideX(b)); ++x) {
                bool ink = false;
                for (int y = a.capTop - 1; y < a.capTop + 10; ++y)
                    ink = ink || contrast(image.at(x, y), backdrop) >= 1.6;
                run = ink ? 0 : run + 1;
                longest = std::max(longest, run);
            }
            EXPECT_GE(longest, kGap) << a.text << " runs into " << b.text << " at " << a.capTop;
        }
    }
}

TEST(ArtworkLabels, LabelsOfARowStayApart) {
    const auto bg = loadResource(102);
    const auto hit = loadResource(133);
    const auto velocity = loadResource(127);
    ASSERT_TRUE(bg && hit && velocity);
    checkLabelsApart(*bg, backgroundLabels());
    checkLabelsApart(*hit, hitPanelLabels());
    checkLabelsApart(*velocity, velocityPageLabels());
}

TEST(ArtworkLabels, BackgroundLabelsAreLegibleAndUncovered) {
    const auto bg = loadResource(102);
    ASSERT_TRUE(bg);
    checkLabels(*bg, backgroundLabels(), pageControls(), 0, 0);
}

TEST(ArtworkLabels, HitPanelAndVelocityPageLabelsAreLegibleAndUncovered) {
    const auto hit = loadResource(133);
    const auto velocity = loadResource(127);
    ASSERT_TRUE(hit && velocity);
    checkLabels(*hit, hitPanelLabels(), hitPanelControls(), kHitPanel.x, kHitPanel.y);
    checkLabels(*velocity, velocityPageLabels(), velocityPageControls(), kVelocityPage.x, kVelocityPage.y);
}

// The backdrops cover exactly the labels of what they replace, and those
// labels only.
TEST(ArtworkLabels, BackdropsCoverOnlyTheLabelsOfWhatTheyReplace) {
    const auto bg = loadResource(102);
    ASSERT_TRUE(bg);
    for (const Label& l : backgroundLabels()) {
        const Box box = searchBox(l, *bg);
        const Ink ink = measureInk(*bg, box);
        const Rect letters{ink.bounds.x0, ink.bounds.y0, ink.bounds.x1 - ink.bounds.x0, ink.bounds.y1 - ink.bounds.y0};
        const bool hitControl = l.text == "VOLUME" && l.capTop < 200 && l.x < 300;
        const bool underHit = letters.intersects(kHitPanel);
        EXPECT_EQ(underHit, hitControl || l.text == "LP") << l.text;
        const bool mixerPage = l.x > 706 && l.capTop > 111;
        EXPECT_EQ(letters.intersects(kVelocityPage), mixerPage) << l.text;
    }
}

// Text zone of each frame of a selector: where its value is written
// (after an icon, before the menu mark).
struct SelectorText {
    int id, frames;
    Box zone;
};

TEST(ArtworkLabels, SelectorTextsAreLegibleInEveryFrame) {
    const SelectorText selectors[] = {
        {144, 13, {2, 2, 78, 15}}, {108, 40, {2, 2, 88, 15}}, {145, 19, {2, 2, 44, 15}}, {149, 6, {2, 2, 27, 15}},
        {111, 11, {2, 2, 27, 15}}, {104, 3, {2, 2, 43, 15}},  {110, 4, {2, 2, 57, 15}},  {113, 3, {18, 2, 108, 15}},
        {146, 8, {30, 2, 88, 19}}, {147, 8, {30, 2, 88, 19}}, {148, 8, {30, 2, 88, 19}}, {143, 8, {2, 14, 27, 23}},
        {114, 2, {2, 2, 34, 16}},  {115, 2, {2, 2, 34, 16}},  {128, 2, {2, 3, 41, 17}},  {129, 2, {2, 3, 41, 17}},
        {130, 2, {2, 3, 41, 17}},  {132, 2, {2, 3, 45, 17}},  {137, 2, {2, 3, 45, 17}},
    };
    for (const SelectorText& s : selectors) {
        const auto strip = loadResource(s.id);
        ASSERT_TRUE(strip) << s.id;
        const int h = strip->height / s.frames;
        for (int f = 0; f < s.frames; ++f) {
            SCOPED_TRACE("PNG " + std::to_string(s.id) + " frame " + std::to_string(f + 1));
            const Box box{s.zone.x0, f * h + s.zone.y0, s.zone.x1, f * h + s.zone.y1};
            const Ink ink = measureInk(*strip, box);
            ASSERT_GT(ink.count, 4) << "no text";
            EXPECT_GE(ink.contrast, kMinimumContrast);
        }
    }
}

// Texts the editor draws itself over the images, in its own colours.
TEST(ArtworkLabels, EditorTextsStandOutFromTheirImages) {
    const Pixel menuText{220, 242, 255, 255};
    const Pixel soundName{83, 211, 246, 255};
    const Pixel readout{180, 180, 180, 255};

    const auto items = loadResource(118);
    ASSERT_TRUE(items);
    for (int f = 0; f < 4; ++f) {
        const Pixel behind = backdropOf(*items, {20, f * 27 + 6, 180, f * 27 + 21});
        EXPECT_GE(contrast(menuText, behind), kMinimumContrast) << "menu item frame " << f + 1;
    }
    const auto tabs = loadResource(116);
    const auto bg = loadResource(102);
    ASSERT_TRUE(tabs && bg);
    for (int f = 0; f < 2; ++f) {
        const Pixel behind = backdropOf(*tabs, {4, f * 53 + 8, 71, f * 53 + 20});
        EXPECT_GE(contrast(soundName, behind), kMinimumContrast) << "sound tab frame " << f + 1;
    }
    for (int i = 0; i < 10; ++i) {
        const int x0 = kStripX0 + kStripPitch * i;
        EXPECT_GE(contrast(soundName, backdropOf(*bg, {x0 + 4, 18, x0 + 71, 30})), kMinimumContrast) << "strip " << i;
    }
    const Pixel behindReadout = backdropOf(*bg, {kReadout.x, kReadout.y, kReadout.right(), kReadout.bottom()});
    EXPECT_GE(contrast(readout, behindReadout), kMinimumContrast);
}

}  // namespace
}  // namespace kettrix::artwork::test
