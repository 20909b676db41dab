// The editor's images painted for the larger zooms: each a strip of the
// same frames at physical size, close to the 100 % picture when reduced to
// it, and the zoom switch's place in the artwork.
#include "EditorLayout.h"
#include "ImageTable.h"
#include "PixelProbe.h"
#include "editor/EditorImages.h"
#include "resources/Zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kettrix::artwork::test {
namespace {

using zoom::ToPhysical;

// Mean absolute difference per channel (0..255, premultiplied RGBA) that an
// image painted at a larger zoom may show against its 100 % picture once
// reduced to logical pixels. Measured over all images: 2.5 at 150 % and 1.8
// at 200 %; the worst images are small fields of text (10.0 for the zoom
// switch at 150 %, 12.1 for the hit type selector at 200 %), whose letters
// are hinted anew at each size. Frames drifting by half a logical pixel
// each give 20 to 60.
constexpr double kMostMeanDifference = 14.0;

// The larger zooms; 100 % is the reference.
std::vector<int> largerZooms() {
    std::vector<int> percents;
    for (int p : zoom::kPercents)
        if (p != zoom::kDefaultPercent) percents.push_back(p);
    return percents;
}

// Every picture the resources carry: the editor's table and the tab image
// that is present but not loaded. 125 is the picture of 139 read with other
// frames, so it is left out where frames are cut.
std::vector<TableEntry> pictures() {
    std::vector<TableEntry> list;
    for (const TableEntry& e : imageTable())
        if (e.id != 125) list.push_back(e);
    list.push_back({131, "b-tab.png", 47, 36, 2});
    return list;
}

Image mustLoad(int id, int percent) {
    auto image = loadResource(id, percent);
    EXPECT_TRUE(image.has_value()) << zoom::ImageResourceType(percent) << " " << id;
    return image.value_or(Image{});
}

TEST(ArtworkZoom, EveryIdIsItsFramesAtPhysicalSizeAtEveryZoom) {
    for (int percent : largerZooms()) {
        for (const TableEntry& e : pictures()) {
            SCOPED_TRACE(std::string(e.file) + " at " + std::to_string(percent) + " %");
            const Image image = mustLoad(e.id, percent);
            EXPECT_EQ(image.width, ToPhysical(e.width, percent));
            EXPECT_EQ(image.height, e.frames * ToPhysical(e.height / e.frames, percent));
        }
        EXPECT_EQ(mustLoad(139, percent).rgba, mustLoad(125, percent).rgba) << percent << " %";
    }
}

// Premultiplied channels, so that the colour of a transparent pixel counts
// for nothing.
std::array<double, 4> premultiplied(const Pixel& p) {
    const double a = p.a / 255.0;
    return {p.r * a, p.g * a, p.b * a, static_cast<double>(p.a)};
}

// The mean absolute difference per channel between a 100 % strip and the
// strip painted at `percent`, reduced frame by frame: each logical pixel is
// the mean of the physical pixels it covers.
double meanDifference(const Image& reference, const Image& zoomed, int frames, int percent) {
    const int frameHeight = reference.height / frames;
    const int physicalFrameHeight = ToPhysical(frameHeight, percent);
    double sum = 0;
    for (int f = 0; f < frames; ++f) {
        for (int y = 0; y < frameHeight; ++y) {
            const int py0 = f * physicalFrameHeight + ToPhysical(y, percent);
            const int py1 = f * physicalFrameHeight + ToPhysical(y + 1, percent);
            for (int x = 0; x < reference.width; ++x) {
                const int px0 = ToPhysical(x, percent), px1 = ToPhysical(x + 1, percent);
                std::array<double, 4> mean{};
                for (int py = py0; py < py1; ++py)
                    for (int px = px0; px < px1; ++px) {
                        const auto c = premultiplied(zoomed.at(px, py));
                        for (int k = 0; k < 4; ++k) mean[static_cast<std::size_t>(k)] += c[static_cast<std::size_t>(k)];
                    }
                const double count = (py1 - py0) * (px1 - px0);
                const auto r = premultiplied(reference.at(x, f * frameHeight + y));
                for (int k = 0; k < 4; ++k)
                    sum += std::abs(mean[static_cast<std::size_t>(k)] / count - r[static_cast<std::size_t>(k)]);
            }
        }
    }
    return sum / (4.0 * reference.width * reference.height);
}

TEST(ArtworkZoom, EveryImageReducedToLogicalPixelsLooksLikeItsPictureAt100Percent) {
    for (int percent : largerZooms()) {
        double weighted = 0, worst = 0;
        long long pixels = 0;
        std::string worstFile;
        for (const TableEntry& e : pictures()) {
            SCOPED_TRACE(std::string(e.file) + " at " + std::to_string(percent) + " %");
            const Image reference = mustLoad(e.id, zoom::kDefaultPercent);
            const Image zoomed = mustLoad(e.id, percent);
            ASSERT_EQ(zoomed.height, e.frames * ToPhysical(e.height / e.frames, percent));
            ASSERT_EQ(zoomed.width, ToPhysical(e.width, percent));
            const double d = meanDifference(reference, zoomed, e.frames, percent);
            EXPECT_LE(d, kMostMeanDifference);
            const long long n = static_cast<long long>(reference.width) * reference.height;
            weighted += d * static_cast<double>(n);
            pixels += n;
            if (d > worst) worst = d, worstFile = e.file;
        }
        std::printf("%d %%: mean difference %.2f per channel over all images, worst %.2f (%s)\n", percent,
                    weighted / static_cast<double>(pixels), worst, worstFile.c_str());
    }
}

// A physical rectangle of the background is bare: every row one colour (the
// window's gradient runs from top to bottom), nothing painted on it.
void expectBare(const Image& bg, const editor::Rect& logical, int percent, const char* what) {
    const int x0 = ToPhysical(logical.left, percent), x1 = ToPhysical(logical.right, percent);
    for (int y = ToPhysical(logical.top, percent); y < ToPhysical(logical.bottom, percent); ++y)
        for (int x = x0; x < x1; ++x)
            ASSERT_EQ(bg.at(x, y), bg.at(x0, y))
                << what << " shows something at " << x << "," << y << " (" << percent << " %)";
}

TEST(ArtworkZoom, TheZoomSwitchSitsOnBareBackgroundClearOfEveryControl) {
    const Rect zoomSwitch = fromEditor(editor::kZoomSwitchRect);
    EXPECT_GE(zoomSwitch.x, 0);
    EXPECT_LE(zoomSwitch.right(), kWindowWidth);
    EXPECT_LE(zoomSwitch.bottom(), kWindowHeight);
    std::vector<ControlRect> all = pageControls();
    for (const ControlRect& c : hitPanelControls()) all.push_back(c);
    for (const ControlRect& c : velocityPageControls()) all.push_back(c);
    int found = 0;
    for (const ControlRect& c : all) {
        if (c.image == "b-zoom.png") {
            ++found;
            continue;
        }
        EXPECT_FALSE(zoomSwitch.intersects(c.rect)) << "the zoom switch overlaps " << c.what;
    }
    EXPECT_EQ(found, 1);
    // The switch's image is its rectangle large, a frame per zoom.
    const editor::ImageEntry* image = editor::findImage(editor::image::kZoom);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->frames, static_cast<int>(zoom::kPercents.size()));
    EXPECT_EQ(image->width, zoomSwitch.w);
    EXPECT_EQ(image->height / image->frames, zoomSwitch.h);

    // Under the switch lies no label or name, and the file commands' area
    // stays empty, at every zoom.
    for (int percent : zoom::kPercents) {
        const Image bg = mustLoad(editor::image::kBackground, percent);
        expectBare(bg, editor::kZoomSwitchRect, percent, "the zoom switch's place");
        expectBare(bg, editor::kFileCommandsRect, percent, "the file commands' area");
    }
}

}  // namespace
}  // namespace kettrix::artwork::test
