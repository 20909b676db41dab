#pragma once
// Every image of the editor: resource id, file name under resources/img/,
// size of the whole strip, frame count and the painter that draws it.

#include "Painter.h"

#include <functional>
#include <string>
#include <vector>

namespace kettrix::artwork {

struct ImageEntry {
    std::vector<int> ids;  // resource ids bound to this file (two share one picture)
    std::string file;      // name under resources/img/
    int width = 0;
    int height = 0;  // of the whole strip
    int frames = 1;
    std::function<void(Canvas&)> paint;
};

std::vector<ImageEntry> imageCatalog();

// Where the images painted at `percent` go, relative to the 100 % images'
// folder: "" at 100 %, "150/" and "200/" at the larger zooms.
std::string zoomFolder(int percent);

// Painters, by the part of the editor they belong to.
void paintBackground(Canvas& c);
void paintHitPanel(Canvas& c);
void paintVelocityPage(Canvas& c);
void paintMenuBackground(Canvas& c);
void paintMenuItems(Canvas& c);
void paintWhiteKeys(Canvas& c);
void paintBlackKeys(Canvas& c);

}  // namespace kettrix::artwork
