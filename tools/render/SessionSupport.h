// Steps shared by the render and editor sessions.
#pragma once

#include "PluginInstance.h"

#include <cstdint>
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

}  // namespace kettrix::render
