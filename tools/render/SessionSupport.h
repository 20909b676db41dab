// Steps shared by the render and editor sessions.
#pragma once

#include "PluginInstance.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace kettrix::render {

// Reads a saved program chunk; throws RenderError when the file is missing
// or empty.
std::vector<uint8_t> readStateFile(const std::string& path);
void writeStateFile(const std::string& path, const std::vector<uint8_t>& bytes);

// effBeginSetProgram, effSetProgram, effEndSetProgram; throws RenderError
// for a program the plug-in does not have.
void selectProgram(PluginInstance& plugin, int program);

// Shows "rendering 42%" on one terminal line, redrawn when the figure moves.
class ProgressLine {
public:
    ProgressLine(std::ostream& log, bool enabled) : log_(log), enabled_(enabled) {}
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    void update(int64_t done, int64_t total);

private:
    std::ostream& log_;
    bool enabled_;
    int shown_ = -1;
};

}  // namespace kettrix::render
