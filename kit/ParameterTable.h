// The parameter vocabulary of a kit: 1393 parameters, ten blocks of 132
// per-sound parameters followed by the global ones. Every other part of the
// system addresses settings by these indices, and saved kits store the values
// in this order, so the table below is the single source of names, kinds,
// ranges and defaults.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kettrix::kit {

inline constexpr int kSoundCount = 10;
inline constexpr int kSoundBlockSize = 132;
inline constexpr int kFirstGlobalIndex = kSoundCount * kSoundBlockSize;  // 1320
inline constexpr int kParameterCount = 1393;

// Offsets within a sound's block that other parts of the kit model name.
namespace offset {
inline constexpr int kOscVolumeDepth = 30;
inline constexpr int kNoise1Type = 46;
inline constexpr int kNoise1VolumeDepth = 55;
inline constexpr int kNoise2Type = 72;
inline constexpr int kNoise2VolumeDepth = 81;
inline constexpr int kPan = 101;
inline constexpr int kVolume = 102;
inline constexpr int kChannel = 103;
inline constexpr int kKeyLo = 120;
inline constexpr int kKeyHi = 121;
inline constexpr int kPatch = 125;
inline constexpr int kUserKeyLo = 126;
inline constexpr int kUserKeyHi = 127;
inline constexpr int kChoke = 128;
inline constexpr int kNoise2Mute = 131;
}  // namespace offset

// Global indices (1320 and up).
namespace global {
inline constexpr int kReserved = 1320;
inline constexpr int kShowSound = 1321;    // + sound
inline constexpr int kSoundOn = 1331;      // + sound
inline constexpr int kMute = 1341;         // + sound
inline constexpr int kSolo = 1351;         // + sound
inline constexpr int kSoundVolume = 1361;  // + sound
inline constexpr int kKeyboardMode = 1371;
inline constexpr int kKeyboard = 1372;
inline constexpr int kFirstSelectorButton = 1373;
inline constexpr int kLastSelectorButton = 1384;
inline constexpr int kParameterReadout = 1385;
// Pseudo-index delivered to the dispatch when a sound name was edited.
inline constexpr int kSoundNameEdited = 999999;
}  // namespace global

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

// Index helpers. A per-sound index splits into sound and offset; global
// indices are those from kFirstGlobalIndex on.
constexpr int soundIndex(int sound, int off) { return sound * kSoundBlockSize + off; }
constexpr bool isSoundParameter(int index) { return index >= 0 && index / kSoundBlockSize <= kSoundCount - 1; }

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
