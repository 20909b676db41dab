// The editor's images as the editor loads them: by resource id, each a strip
// of frames stacked vertically. Geometry comes from the editor's image table;
// frame properties are measured from the pixels.
#include "ImageTable.h"
#include "PixelProbe.h"
#include "editor/EditorImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace kettrix::artwork::test {
namespace {

Image mustLoad(int id) {
    auto image = loadResource(id);
    EXPECT_TRUE(image.has_value()) << "PNG " << id;
    return image.value_or(Image{});
}

TEST(ArtworkImages, EveryIdDecodesToItsSizeAndFrameCount) {
    for (const TableEntry& e : imageTable()) {
        SCOPED_TRACE(e.file);
        const Image image = mustLoad(e.id);
        EXPECT_EQ(image.width, e.width);
        EXPECT_EQ(image.height, e.height);
        // 125 reads the 71-frame picture of 139 as 69 frames of 6 pixels.
        if (e.id != 125) {
            EXPECT_EQ(e.height % e.frames, 0) << "frames must tile the strip exactly";
        }
    }
    // Present but not loaded by the editor.
    const Image spare = mustLoad(131);
    EXPECT_EQ(spare.width, 47);
    EXPECT_EQ(spare.height, 36);
    // 139 and 125 carry the same picture.
    EXPECT_EQ(mustLoad(139).rgba, mustLoad(125).rgba);
}

// The editor sizes its selector strips from the settings they show; a value
// added without regenerating its picture would stretch the strip on screen.
TEST(ArtworkImages, TheEditorsTableMatchesTheCommittedPictures) {
    for (const editor::ImageEntry& e : editor::editorImages()) {
        SCOPED_TRACE(e.name);
        const Image image = mustLoad(e.id);
        EXPECT_EQ(image.width, e.width);
        EXPECT_EQ(image.height, e.height);
    }
}

TEST(ArtworkImages, NoTwoFramesOfAStripAreIdentical) {
    for (const TableEntry& e : imageTable()) {
        if (e.frames < 2) continue;
        SCOPED_TRACE(e.file);
        const Image image = mustLoad(e.id);
        std::vector<std::vector<Pixel>> frames;
        for (int f = 0; f < e.frames; ++f) frames.push_back(image.frame(f, e.frames));
        for (int a = 0; a < e.frames; ++a) {
            for (int b = a + 1; b < e.frames; ++b) {
                // White keys D, G and A (frames 2, 4, 5) have the same shape:
                // black keys overlap each of them by the same amounts.
                const bool sameKeyShape =
                    e.id == 134 && std::set<int>{1, 3, 4}.count(a) && std::set<int>{1, 3, 4}.count(b);
                if (sameKeyShape) continue;
                EXPECT_NE(frames[static_cast<std::size_t>(a)], frames[static_cast<std::size_t>(b)])
                    << "frames " << a + 1 << " and " << b + 1;
            }
        }
    }
}

// How strongly a pixel shows the cyan of the indicator (0 for the grey body).
double accentWeight(const Pixel& p) { return std::max(0, p.b - p.r - 40) * (p.a / 255.0); }

// The indicator's direction in degrees, clockwise from straight up: the
// centroid of the cyan inside the knob's body, weighted by its strength so
// that antialiased edges count (the lit arc around the body is left out).
double indicatorAngle(const Image& strip, int frame, int size) {
    const double centre = size / 2.0, bodyRadius = size * 0.30;
    double sx = 0, sy = 0;
    int count = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
            if (std::hypot(dx, dy) > bodyRadius) continue;
            const double w = accentWeight(strip.at(x, frame * size + y));
            if (w <= 0) continue;
            sx += w * dx;
            sy += w * dy;
            ++count;
        }
    }
    EXPECT_GT(count, 0) << "frame " << frame << " shows no indicator";
    return std::atan2(sx, -sy) * 180.0 / 3.14159265358979323846;
}

TEST(ArtworkImages, KnobIndicatorsTurnClockwiseFromMinusToPlus135Degrees) {
    for (const auto& [id, size] : {std::pair{101, 21}, std::pair{107, 29}}) {
        SCOPED_TRACE(id);
        const Image strip = mustLoad(id);
        double previous = -1000;
        for (int f = 0; f < 100; ++f) {
            const double angle = indicatorAngle(strip, f, size);
            EXPECT_GT(angle, previous) << "frame " << f + 1;
            previous = angle;
            if (f == 0) {
                EXPECT_NEAR(angle, -135, 10);
            }
            if (f == 99) {
                EXPECT_NEAR(angle, 135, 10);
            }
            if (f == 49 || f == 50) {
                EXPECT_NEAR(angle, 0, 6);
            }
        }
    }
}

bool isThumb(const Pixel& p) { return p.a > 200 && std::abs(p.r - p.b) < 30 && p.g > 140; }

// Centre of the slider thumb along one axis (x when horizontal, else y).
double thumbCentre(const Image& strip, int frame, int frames, bool horizontal) {
    const int h = strip.height / frames;
    double sum = 0;
    int count = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < strip.width; ++x) {
            if (!isThumb(strip.at(x, frame * h + y))) continue;
            sum += horizontal ? x : y;
            ++count;
        }
    }
    EXPECT_GT(count, 0) << "frame " << frame << " shows no thumb";
    return count > 0 ? sum / count : 0;
}

TEST(ArtworkImages, SliderThumbsMoveMonotonicallyFromMinimumToMaximum) {
    struct Slider {
        int id, frames;
        bool horizontal;
    };
    for (const Slider& s :
         {Slider{138, 69, false}, Slider{139, 71, true}, Slider{125, 69, true}, Slider{109, 67, true}}) {
        SCOPED_TRACE(s.id);
        const Image strip = mustLoad(s.id);
        const int extent = s.horizontal ? strip.width : strip.height / s.frames;
        double previous = 0;
        for (int f = 0; f < s.frames; ++f) {
            // Horizontal thumbs move right; vertical thumbs move up.
            const double c =
                s.horizontal ? thumbCentre(strip, f, s.frames, true) : extent - thumbCentre(strip, f, s.frames, false);
            if (f > 0) {
                EXPECT_GT(c, previous) << "frame " << f + 1;
            }
            previous = c;
        }
        EXPECT_LT(
            s.horizontal ? thumbCentre(strip, 0, s.frames, true) : extent - thumbCentre(strip, 0, s.frames, false),
            extent * 0.15);
        if (s.id != 125) {  // 125 reads only the first 69 of the 71 frames
            EXPECT_GT(previous, extent * 0.85);
        }
    }
}

// The keyboard draws a white key of the current range over the background's
// plain keyboard before any black key: where black keys overlap it, the key
// must be transparent so the background's black keys stay visible.
TEST(ArtworkImages, WhiteKeysLeaveTheBlackKeysUncovered) {
    const Image keys = mustLoad(134);
    const int whiteOffsets[7] = {0, 14, 28, 42, 56, 70, 84};  // C D E F G A B
    const int whiteFrames[7] = {0, 1, 2, 0, 3, 4, 2};
    const int blackOffsets[5] = {10, 24, 52, 66, 80};
    for (int w = 0; w < 7; ++w) {
        const int left = whiteOffsets[w];
        for (int x = 0; x < 13; ++x) {
            bool underBlack = false;
            for (int b : blackOffsets) underBlack = underBlack || (left + x >= b && left + x < b + 9);
            for (int y = 0; y < 31; ++y) {
                const Pixel p = keys.at(x, whiteFrames[w] * 46 + y);
                if (underBlack) {
                    EXPECT_EQ(p.a, 0) << "white key " << w << " covers a black key at " << x << "," << y;
                } else {
                    EXPECT_EQ(p.a, 255) << "white key " << w << " has a hole at " << x << "," << y;
                }
            }
        }
        // Below the black keys every white key is whole.
        for (int x = 0; x < 13; ++x) EXPECT_EQ(keys.at(x, whiteFrames[w] * 46 + 40).a, 255);
    }
}

#ifdef KETTRIX_IMAGE_GEN
// Every image file under a folder, by its path relative to it (the 100 %
// images and the subfolders of the larger zooms).
std::set<std::string> imageFiles(const std::filesystem::path& root) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(root).generic_string());
    return files;
}

// Regeneration compares decoded pixels, so PNG encoder versions do not
// matter; the painters must give the same pixels on every run, at every zoom.
TEST(ArtworkRegeneration, GeneratorReproducesTheCommittedPixels) {
    namespace fs = std::filesystem;
    const fs::path out = KETTRIX_REGENERATED_DIR;
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string command = std::string("\"") + KETTRIX_IMAGE_GEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::set<std::string> committed = imageFiles(KETTRIX_IMG_DIR);
    EXPECT_EQ(committed, imageFiles(out));
    // Every zoom has the whole set of pictures.
    const auto atTop = std::count_if(committed.begin(), committed.end(),
                                     [](const std::string& f) { return f.find('/') == std::string::npos; });
    EXPECT_EQ(committed.size(), zoom::kPercents.size() * static_cast<std::size_t>(atTop));
    for (const std::string& file : committed) {
        SCOPED_TRACE(file);
        const auto a = loadFile(std::string(KETTRIX_IMG_DIR) + "/" + file);
        const auto b = loadFile((out / file).string());
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->width, b->width);
        EXPECT_EQ(a->height, b->height);
        EXPECT_TRUE(a->rgba == b->rgba) << "regenerated pixels differ; run the regenerate-images target and commit";
    }
}
#endif

}  // namespace
}  // namespace kettrix::artwork::test
