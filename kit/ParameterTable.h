// The parameter vocabulary of a kit: the name, kind, range and default of
// each of the 1393 parameters laid out as base/ParameterLayout.h places them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/ParameterLayout.h"

namespace kettrix::kit {

// The layout (counts, offsets, global indices) is the base layer's; the kit
// model reads it under its own namespace.
using layout::isSoundParameter;
using layout::kFirstGlobalIndex;
using layout::kParameterCount;
using layout::kSoundBlockSize;
using layout::kSoundCount;
using layout::soundIndex;
namespace offset = layout::offset;
namespace global = layout::global;

// The kind of a parameter object. `None` is the state of a parameter object
// that was never defined (sounds 1-9 have seven such offsets).
enum class ParamKind { None, Switch, Integer, Continuous };

// One fully resolved parameter: what the store holds after construction.
struct ParamInfo {
    std::string name;  // full composed name; the store may keep fewer characters
    ParamKind kind = ParamKind::None;
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double defaultValue = 0.0;
    int displayPrecision = 0;  // decimals shown for continuous parameters
};

// The resolved definition of the parameter at index (0..1392). The result is
// what a fresh store holds after the kit parameters were defined: sound 0's
// envelope-editor offsets and "Patch" replace the per-sound rows, and sounds
// 1-9 leave offsets 1, 2, 3, 57, 58, 83 and 84 as fresh objects.
const ParamInfo& parameterInfo(int index);

// The base name of offset o in a sound's block as the table lists it, without
// the sound prefix (empty for sound-0-only offsets of other sounds).
std::string_view soundBaseName(int sound, int off);

// Number of decimals shown for a continuous step: how many times the step
// must be multiplied by 10 before it is whole, at most 6.
int displayPrecisionForStep(double step);

// The value clamped to the parameter's range, as the store keeps it.
double clampToRange(int index, double value);

}  // namespace kettrix::kit
