#include "kit/ParameterTable.h"

#include "base/SettingVocabulary.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kettrix::kit {
namespace {

// Row flags of the per-sound table.
enum RowFlag : unsigned {
    kPrefixed = 0,
    kNoPrefix = 1u << 0,       // same name in every sound, no "SND<n> " prefix
    kSoundZeroOnly = 1u << 1,  // envelope-editor offsets: defined for sound 0 only
    kDefaultLowKey = 1u << 2,  // default is the sound's default low key, 36 + 6 * sound
    kDefaultHighKey = 1u << 3  // default is the sound's default high key, 41 + 6 * sound
};

struct Row {
    const char* name;
    ParamKind kind;
    double min;
    double max;
    double step;
    double defaultValue;
    unsigned flags;
};

constexpr ParamKind S = ParamKind::Switch;
constexpr ParamKind I = ParamKind::Integer;
constexpr ParamKind C = ParamKind::Continuous;

// Shorthands that read like the table: switch(default), integer(max, default),
// continuous(min, max, step, default).
constexpr Row sw(const char* n, bool on, unsigned f = kPrefixed) { return {n, S, 0, 1, 1, on ? 1.0 : 0.0, f}; }
constexpr Row in(const char* n, int max, double def, unsigned f = kPrefixed) {
    return {n, I, 0, double(max), 1, def, f};
}
constexpr Row co(const char* n, double lo, double hi, double step, double def, unsigned f = kPrefixed) {
    return {n, C, lo, hi, step, def, f};
}
// An integer that takes the values of an enumerated setting.
constexpr Row choice(const char* n, const settings::Setting& s, double def, unsigned f = kPrefixed) {
    return in(n, s.maxValue(), def, f);
}
// The oscillator types, continuous so that a host's automation glides between them.
constexpr Row oscType(const char* n) { return co(n, 0, settings::kOscillatorType.maxValue(), 0.001, 0); }

// The 132 rows of a sound's block, offset 0 first. Offset 125 is resolved
// separately ("Patch" for sound 0, a reserved integer elsewhere).
constexpr std::array<Row, kSoundBlockSize> kSoundRows = {{
    sw("Osc1 snap to MIDI notes", false, kNoPrefix),                                // 0
    co("Osc volume envelope", 0.1, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),      // 1
    co("Osc modulation envelope", 0.1, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),  // 2
    co("Osc filter envelope", 0.1, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),      // 3
    sw("Osc volume envelope", false),                                               // 4
    sw("Osc modulation envelope", false),                                           // 5
    sw("Osc filter envelope", false),                                               // 6
    sw("Noise1 volume envelope", false),                                            // 7
    sw("Noise1 filter envelope", false),                                            // 8
    sw("Noise2 volume envelope", false),                                            // 9
    sw("Noise2 filter envelope", false),                                            // 10
    co("Osc1 pitch", 0, 1, 1e-06, 0.4),                                             // 11
    oscType("Osc1 type"),                                                           // 12
    co("Osc2 pitch", 0, 1, 1e-06, 0.4),                                             // 13
    oscType("Osc2 type"),                                                           // 14
    co("Osc mix 1/2", 0, 1, 0.001, 0.5),                                            // 15
    co("Osc FM", 0, 1, 0.001, 0),                                                   // 16
    co("Hit volume", 0, 2, 0.001, 0.5),                                             // 17
    co("Hit lowpass filter", 0, 1, 0.001, 1),                                       // 18
    choice("Hit type", settings::kHitType, 0),                                      // 19
    co("Osc modulation attack", 0, 1, 0.001, 0),                                    // 20
    co("Osc modulation release", 0, 1, 0.001, 0.5),                                 // 21
    choice("Osc modulation attack type", settings::kAttackShapeModulation, 1),      // 22
    choice("Osc modulation release type", settings::kReleaseShape, 1),              // 23
    co("Osc modulation depth", 0, 1, 0.001, 0),                                     // 24
    choice("Osc modulation envelope mode", settings::kEnvelopeMode, 0),             // 25
    co("Osc volume attack", 0, 1, 0.001, 0),                                        // 26
    co("Osc volume release", 0, 1, 0.001, 0.5),                                     // 27
    choice("Osc volume attack type", settings::kAttackShapeVolume, 1),              // 28
    choice("Osc volume envelope release type", settings::kReleaseShape, 1),         // 29
    co("Osc volume depth", 0, 1, 0.001, 0.5),                                       // 30
    choice("Osc volume envelope mode", settings::kEnvelopeMode, 0),                 // 31
    co("Osc filter cutoff", 0, 1, 0.001, 0),                                        // 32
    co("Osc filter resonance", 0, 1, 0.001, 0),                                     // 33
    co("Osc filter attack", 0, 1, 0.001, 0),                                        // 34
    co("Osc filter release", 0, 1, 0.001, 0.5),                                     // 35
    choice("Osc filter attack type", settings::kAttackShapeModulation, 1),          // 36
    choice("Osc filter release type", settings::kReleaseShape, 1),                  // 37
    co("Osc filter depth", 0, 1, 0.001, 0),                                         // 38
    choice("Osc filter envelope mode", settings::kEnvelopeMode, 0),                 // 39
    choice("Osc filter type", settings::kFilterType, 0),                            // 40
    sw("Osc filter keytrack", true),                                                // 41
    sw("------", false),                                                            // 42
    sw("------", false),                                                            // 43
    sw("Osc2 snap to MIDI notes", false, kNoPrefix),                                // 44
    sw("-------", false),                                                           // 45
    choice("Noise1 type", settings::kNoiseType, 0),                                 // 46
    sw("Noise1 re-trigger on gate", false),                                         // 47
    sw("Noise1 keytrack", false),                                                   // 48
    co("Noise1 Pitch", 0, 1, 0.001, 0.5),                                           // 49
    co("Noise1 stereo", 0, 1, 0.001, 0),                                            // 50
    co("Noise1 volume attack", 0, 1, 0.001, 0),                                     // 51
    co("Noise1 volume release", 0, 1, 0.001, 0.5),                                  // 52
    choice("Noise1 volume attack type", settings::kAttackShapeVolume, 1),           // 53
    choice("Noise1 volume release type", settings::kReleaseShape, 1),               // 54
    co("Noise1 volume depth", 0, 1, 0.001, 0.5),                                    // 55
    choice("Noise1 volume envelope mode", settings::kEnvelopeMode, 0),              // 56
    co("Noise1 volume envelope", 0, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),     // 57
    co("Noise1 filter envelope", 0.1, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),   // 58
    co("Noise1 filter cutoff", 0, 1, 0.001, 0),                                     // 59
    co("Noise1 filter resonance", 0, 1, 0.001, 0),                                  // 60
    sw("Noise1 filter keytrack", true),                                             // 61
    co("Noise1 filter attack", 0, 1, 0.001, 0),                                     // 62
    co("Noise1 filter release", 0, 1, 0.001, 0.5),                                  // 63
    choice("Noise1 filter attack type", settings::kAttackShapeModulation, 1),       // 64
    choice("Noise1 filter release type", settings::kReleaseShape, 1),               // 65
    co("Noise1 filter depth", 0, 1, 0.001, 0),                                      // 66
    choice("Noise1 filter envelope mode", settings::kEnvelopeMode, 0),              // 67
    choice("Noise1 filter type", settings::kFilterType, 0),                         // 68
    sw("-------", false),                                                           // 69
    co("Hit Volume", 0, 2, 0.001, 0),                                               // 70
    co("Noise1 color", 0, 1, 0.001, 0),                                             // 71
    choice("Noise2 type", settings::kNoiseType, 0),                                 // 72
    sw("Noise2 re-trigger on gate", false),                                         // 73
    sw("Noise2 keytrack", false),                                                   // 74
    co("Noise2 pitch", 0, 1, 0.001, 0.5),                                           // 75
    co("Noise2 stereo", 0, 1, 0.001, 0),                                            // 76
    co("Noise2 volume attack", 0, 1, 0.001, 0),                                     // 77
    co("Noise2 volume release", 0, 1, 0.001, 0.5),                                  // 78
    choice("Noise2 volume attack type", settings::kAttackShapeVolume, 1),           // 79
    choice("Noise2 volume release type", settings::kReleaseShape, 1),               // 80
    co("Noise2 volume depth", 0, 1, 0.001, 0.5),                                    // 81
    choice("Noise2 volume envelope mode", settings::kEnvelopeMode, 0),              // 82
    co("Noise2 volume envelope", 0, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),     // 83
    co("Noise2 filter envelope", 0.1, 1, 0.001, 0.4, kNoPrefix | kSoundZeroOnly),   // 84
    co("Noise2 filter cutoff", 0, 1, 0.001, 0),                                     // 85
    co("Noise2 filter resonance", 0, 1, 0.001, 0),                                  // 86
    sw("Noise2 keytrack", true),                                                    // 87 (filter keytrack)
    co("Noise2 filter attack", 0, 1, 0.001, 0),                                     // 88
    co("Noise2 filter release", 0, 1, 0.001, 0.5),                                  // 89
    choice("Noise2 filter attack type", settings::kAttackShapeModulation, 1),       // 90
    choice("Noise2 filter release type", settings::kReleaseShape, 1),               // 91
    co("Noise2 filter depth", 0, 1, 0.001, 0),                                      // 92
    choice("Noise2 filter envelope mode", settings::kEnvelopeMode, 0),              // 93
    choice("Noise2 filter type", settings::kFilterType, 0),                         // 94
    sw("-----", false),                                                             // 95
    co("Hit Modulation", 0, 1, 0.001, 0),                                           // 96
    co("Noise2 color", 0, 1, 0.001, 0),                                             // 97
    co("Osc volume", 0, 1, 0.001, 0.8),                                             // 98
    co("Noise1 volume", 0, 1, 0.001, 0.8),                                          // 99
    co("Noise2 volume", 0, 1, 0.001, 0.8),                                          // 100
    co("Pan", 0, 1, 0.001, 0.5),                                                    // 101
    co("Volume", 0, 2, 0.001, 0.6),                                                 // 102
    choice("Channel", settings::kOutput, 0),                                        // 103
    sw("----------", false),                                                        // 104
    co("Osc volume velocity", 0, 1, 0.001, 0),                                      // 105
    co("Osc modulation velocity", 0, 1, 0.001, 0),                                  // 106
    co("Osc filter velocity", 0, 1, 0.001, 0),                                      // 107
    co("Hit filter velocity", 0, 1, 0.001, 0),                                      // 108
    co("Noise1 volume velocity", 0, 1, 0.001, 0),                                   // 109
    co("Noise1 filter velocity", 0, 1, 0.001, 0),                                   // 110
    co("Noise2 volume velocity", 0, 1, 0.001, 0),                                   // 111
    co("Noise2 filter velocity", 0, 1, 0.001, 0),                                   // 112
    sw("------", true),                                                             // 113
    sw("------", false),                                                            // 114
    sw("Show Mixer", false),                                                        // 115
    sw("Show Velocity", false),                                                     // 116
    sw("--------", false),                                                          // 117
    co("Hit Modulation Decay", 0, 1, 0.001, 0),                                     // 118
    sw("--------", false),                                                          // 119
    in("KeyLo", 120, 0, kDefaultLowKey),                                            // 120
    in("KeyHi", 120, 0, kDefaultHighKey),                                           // 121
    sw("--------", false),                                                          // 122
    co("Effect amount", 0, 1, 0.001, 1),                                            // 123
    choice("Effect type", settings::kEffectType, 0),                                // 124
    in("--------", 2, 0),                                                           // 125 (sound 0: "Patch")
    in("UserKeyLo", 120, 0, kDefaultLowKey),                                        // 126
    in("UserKeyHi", 120, 0, kDefaultHighKey),                                       // 127
    choice("Choke", settings::kChoke, 0),                                           // 128
    sw("Osc mute", true),                                                           // 129
    sw("Noise1 mute", true),                                                        // 130
    sw("Noise2 mute", true),                                                        // 131
}};

// Sound 0's "Patch" replaces its reserved offset 125: the Patch menu value.
constexpr Row kPatchRow = choice("Patch", settings::kPatch, 0, kNoPrefix);

// Per-sound rows of the global part: index = first + sound.
struct GlobalSoundRow {
    int first;
    Row row;
};
constexpr std::array<GlobalSoundRow, 5> kGlobalSoundRows = {{
    {global::kShowSound, sw("Show Sound", false)},
    {global::kSoundOn, sw("Sound On", false)},
    {global::kMute, sw("Mute", false)},
    {global::kSolo, sw("Solo", false)},
    {global::kSoundVolume, co("Sound Vol", 0, 2, 0.0001, 0)},
}};

// Single global parameters, by index.
struct GlobalRow {
    int index;
    Row row;
};
constexpr Row button(const char* n) { return co(n, 0, 1, 0.0001, 0, kNoPrefix); }
constexpr std::array<GlobalRow, 23> kGlobalRows = {{
    {global::kReserved, button("-------")},
    {global::kKeyboardMode, choice("Keyboard Mode", settings::kKeyboardMode, 0, kNoPrefix)},
    {global::kKeyboard, button("Keyboard")},
    {global::kFirstSelectorButton, button("Noise 1 Type: Previous")},
    {global::kFirstSelectorButton + 1, button("Noise 1 Type: Next")},
    {global::kFirstSelectorButton + 2, button("Noise 2 Type: Prev")},
    {global::kFirstSelectorButton + 3, button("Noise 2 Type: Next")},
    {global::kFirstSelectorButton + 4, button("Hit: Previous")},
    {global::kFirstSelectorButton + 5, button("Hit: Next")},
    {global::kFirstSelectorButton + 6, button("Oscillator Filter: Previous")},
    {global::kFirstSelectorButton + 7, button("Oscillator Filter: Next")},
    {global::kFirstSelectorButton + 8, button("Noise 1: Prev Filter")},
    {global::kFirstSelectorButton + 9, button("Noise 1: Next Filter")},
    {global::kFirstSelectorButton + 10, button("Noise 2: Prev Filter")},
    {global::kLastSelectorButton, button("Noise 2: Next Filter")},
    {global::kParameterReadout, button("paramaterReadout")},
    {global::kParameterReadout + 1, button("Reserve")},
    {global::kParameterReadout + 2, button("Reserve")},
    {global::kParameterReadout + 3, button("Reserve")},
    {global::kParameterReadout + 4, button("Reserve")},
    {global::kParameterReadout + 5, button("Reserve")},
    {global::kParameterReadout + 6, button("Reserve")},
    {global::kParameterReadout + 7, button("Reserve")},
}};

std::string prefixed(int sound, const char* base) { return "SND" + std::to_string(sound + 1) + " " + base; }

ParamInfo resolve(const Row& row, std::string name, int sound) {
    ParamInfo info;
    info.name = std::move(name);
    info.kind = row.kind;
    info.min = row.min;
    info.step = row.step;
    // A range narrower than one step is widened, as the store does.
    info.max = std::max(row.max, row.min + row.step);
    info.defaultValue = row.defaultValue;
    if (row.flags & kDefaultLowKey) info.defaultValue = 36 + 6 * sound;
    if (row.flags & kDefaultHighKey) info.defaultValue = 41 + 6 * sound;
    info.displayPrecision = row.kind == ParamKind::Continuous ? displayPrecisionForStep(row.step) : 0;
    return info;
}

ParamInfo resolveIndex(int index) {
    if (isSoundParameter(index)) {
        const int sound = index / kSoundBlockSize;
        const int off = index % kSoundBlockSize;
        if (sound == 0 && off == offset::kPatch) return resolve(kPatchRow, kPatchRow.name, 0);
        const Row& row = kSoundRows[static_cast<std::size_t>(off)];
        if ((row.flags & kSoundZeroOnly) && sound != 0) return ParamInfo{};  // fresh object
        std::string name = (row.flags & kNoPrefix) ? std::string(row.name) : prefixed(sound, row.name);
        return resolve(row, std::move(name), sound);
    }
    for (const auto& g : kGlobalSoundRows) {
        if (index >= g.first && index < g.first + kSoundCount) {
            const int sound = index - g.first;
            return resolve(g.row, prefixed(sound, g.row.name), sound);
        }
    }
    for (const auto& g : kGlobalRows) {
        if (g.index == index) return resolve(g.row, g.row.name, 0);
    }
    return ParamInfo{};
}

struct Table {
    std::array<ParamInfo, kParameterCount> rows;
    Table() {
        for (int i = 0; i < kParameterCount; ++i) rows[static_cast<std::size_t>(i)] = resolveIndex(i);
    }
};

const Table& table() {
    static const Table t;
    return t;
}

}  // namespace

int displayPrecisionForStep(double step) {
    int precision = 0;
    double scaled = step;
    // Compare against the nearest whole number with a tolerance: 0.001 * 1000
    // is not exactly 1 in binary.
    while (precision < 6 && std::fabs(scaled - std::round(scaled)) > 1e-7 * std::fabs(scaled)) {
        scaled *= 10.0;
        ++precision;
    }
    return precision;
}

const ParamInfo& parameterInfo(int index) {
    static const ParamInfo kNone{};
    if (index < 0 || index >= kParameterCount) return kNone;
    return table().rows[static_cast<std::size_t>(index)];
}

std::string_view soundBaseName(int sound, int off) {
    if (off < 0 || off >= kSoundBlockSize) return {};
    if (sound == 0 && off == offset::kPatch) return kPatchRow.name;
    const Row& row = kSoundRows[static_cast<std::size_t>(off)];
    if ((row.flags & kSoundZeroOnly) && sound != 0) return {};
    return row.name;
}

double clampToRange(int index, double value) {
    const ParamInfo& info = parameterInfo(index);
    // A NaN would pass std::clamp unchanged and poison the engine; it is
    // taken as the bottom of the range instead.
    if (std::isnan(value)) return info.min;
    return std::clamp(value, info.min, info.max);
}

}  // namespace kettrix::kit
