#pragma once
// Review pictures of the artwork for the documentation: they show the
// committed images as a user meets them, next to the editor's geometry.

#include <string>

namespace kettrix::artwork {

// Writes background.png (the window's background as committed),
// editor-overlay.png (it at twice the size with every control's rectangle
// outlined, coloured by kind), editor-mock-mixer.png and
// editor-mock-velocity.png (every control drawn over it in a sample state,
// mixer page, then velocity page and hit generator panel), editor-menu.png
// (the pop-up menu with a submenu open) and editor-strips.png (every frame
// strip laid out frame by frame at twice the size).
bool writeDocsPictures(const std::string& imageDirectory, const std::string& outputDirectory);

}  // namespace kettrix::artwork
