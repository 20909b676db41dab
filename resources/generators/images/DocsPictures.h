#pragma once
// Review pictures of the artwork for the documentation: they show the
// committed images as a user meets them, next to the editor's geometry.

#include <string>

namespace kettrix::artwork {

// Writes editor-overlay.png (the background with every control rectangle
// outlined, coloured by kind, and the velocity page beside it) and
// editor-strips.png (every frame strip laid out frame by frame).
bool writeDocsPictures(const std::string& imageDirectory, const std::string& outputDirectory);

}  // namespace kettrix::artwork
