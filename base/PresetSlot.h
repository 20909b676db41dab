// One program slot: its name and, once initialised, the state it restores.
#pragma once

#include <string>

#include "base/Chunk.h"

namespace kettrix {

// Longest preset name, in characters.
constexpr std::size_t kPresetNameMax = 255;

struct PresetSlot {
    bool initialized = false;
    std::string name = "empty";
    Chunk chunk;  // exactly what SerializeState wrote (or a factory blob)
};

}  // namespace kettrix
