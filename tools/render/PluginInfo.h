// The description printed by "kettrix-render --info".
#pragma once

#include "PluginInstance.h"

#include <ostream>
#include <string>

namespace kettrix::render {

// Four-character code as text, with non-printable bytes shown as '?'.
std::string fourCharText(int32_t code);
// Names of the set bits of AEffect::flags, separated by " | ".
std::string describeFlags(int32_t flags);

// Prints identity, flags, pins, program names and every parameter of an
// open instance.
void printPluginInfo(PluginInstance& plugin, std::ostream& out);

}  // namespace kettrix::render
