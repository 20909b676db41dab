// The enumerated settings of a sound and of the instrument, each a list of
// its values in order: the name the menu shows, the submenu the value sits
// in, and the text its selector image shows for it. The value of an entry is
// its position in the list, so the parameter ranges, the menus, the selector
// images, the sample library and the engine's enums all count from here.
// Plain constexpr data, so that parameter rows and static_asserts can read it.
#pragma once

#include <span>
#include <string_view>

namespace kettrix::settings {

enum class EntryKind : unsigned char {
    Value,      // a value the setting keeps
    Separator,  // a line in the menu; it uses up a value number
    Command,    // an action: choosing it closes the menu and the value is not kept
};

struct Entry {
    const char* name;                   // the menu's text, and the value's name elsewhere
    const char* label = nullptr;        // the selector image's text, when it differs from the name
    const char* submenu = nullptr;      // header of the submenu holding it; consecutive entries share one
    EntryKind kind = EntryKind::Value;  //
};

struct Setting {
    const char* title;  // for messages
    std::span<const Entry> entries;
    bool hasImage = true;  // false: the selector has no picture of its own

    constexpr int count() const { return static_cast<int>(entries.size()); }
    constexpr int maxValue() const { return count() - 1; }
    constexpr const Entry& operator[](int value) const { return entries[static_cast<std::size_t>(value)]; }

    // The value named `name`; -1 when there is none. Code that gives one
    // value a meaning of its own finds its number here.
    constexpr int valueOf(std::string_view name) const {
        for (int v = 0; v < count(); ++v)
            if (name == entries[static_cast<std::size_t>(v)].name) return v;
        return -1;
    }

    // An image frame per value, and one for any other entry given a label,
    // in list order.
    constexpr bool hasFrame(const Entry& e) const {
        return hasImage && (e.kind == EntryKind::Value || e.label != nullptr);
    }
    constexpr int frames() const {
        int n = 0;
        for (const Entry& e : entries) n += hasFrame(e) ? 1 : 0;
        return n;
    }
};

namespace detail {
constexpr Entry in(const char* submenu, const char* name, const char* label = nullptr) {
    return {name, label, submenu, EntryKind::Value};
}
inline constexpr Entry kSeparator{"<->", nullptr, nullptr, EntryKind::Separator};
constexpr Entry command(const char* name, const char* label = nullptr) {
    return {name, label, nullptr, EntryKind::Command};
}

inline constexpr Entry kOscillatorTypes[] = {
    {"Off", "OFF"},      {"Sine (pure)", "SINE"}, {"Sine (808)", "808"}, {"Sine (909)", "909"},
    {"Triangle", "TRI"}, {"Square", "SQR"},       {"Saw", "SAW"},        {"Noise", "NOISE"},
};

inline constexpr const char* kEq6 = "6dB EQ Filters";
inline constexpr const char* kEq12 = "12dB EQ Filters";
inline constexpr const char* kAnalog12 = "12dB Analog";
inline constexpr Entry kFilterTypes[] = {
    {"OFF"},
    in(kEq6, "6dB Low Pass", "6dB LP"),
    in(kEq6, "6dB High Pass", "6dB HP"),
    in(kEq6, "6dB Low Shelf", "6dB Lo Shelf"),
    in(kEq6, "6dB High Shelf", "6dB Hi Shelf"),
    in(kEq12, "12dB Low Pass", "12dB LP"),
    in(kEq12, "12dB Band Pass", "12dB BP"),
    in(kEq12, "12dB High Pass", "12dB HP"),
    in(kEq12, "12dB Low Shelf", "12dB Lo Shelf"),
    in(kEq12, "12dB Peak"),
    in(kEq12, "12dB High Shelf", "12dB Hi Shelf"),
    in(kEq12, "12dB Band Reject", "12dB Notch"),
    in(kAnalog12, "12dB Analog Low Pass", "Analog LP"),
};

inline constexpr const char* kAnalog = "Analog";
inline constexpr const char* kAcoustic = "Acoustic";
inline constexpr const char* kMetal = "Metal";
inline constexpr const char* kWood = "Wood";
inline constexpr Entry kHitTypes[] = {
    {"OFF"},
    in(kAnalog, "Analog 1"),
    in(kAnalog, "Analog 2"),
    in(kAnalog, "808 TM"),
    in(kAnalog, "808 BD"),
    in(kAnalog, "909 BD"),
    in(kAcoustic, "Acoustic 1", "Acou 1"),
    in(kAcoustic, "Acoustic 2", "Acou 2"),
    in(kAcoustic, "Acoustic 3", "Acou 3"),
    in(kAcoustic, "Acoustic 4", "Acou 4"),
    in(kAcoustic, "Acoustic 5", "Acou 5"),
    in(kMetal, "Metal 1"),
    in(kMetal, "Metal 2"),
    in(kMetal, "Metal 3"),
    in(kWood, "Wood 1"),
    in(kWood, "Wood 2"),
    in(kWood, "Wood 3"),
    in(kWood, "Wood 4"),
    {"Hit Generator", "Gen"},
};

inline constexpr const char* kNoise = "Noise";
inline constexpr const char* kSnare = "Snare";
inline constexpr const char* kPercussion = "Percussion";
inline constexpr const char* kHihats = "Hihats";
inline constexpr const char* kClap = "Clap";
inline constexpr const char* kLoFi = "LoFi";
inline constexpr const char* kReverbNoise = "Reverb Noise";
inline constexpr Entry kNoiseTypes[] = {
    {"OFF"},
    {"Cymbal Generator"},
    {"Noise Generator"},
    in(kNoise, "Noise"),
    in(kNoise, "LP Noise"),
    in(kNoise, "BP Noise"),
    in(kNoise, "HP Noise"),
    in(kNoise, "Noise Distorted"),
    in(kNoise, "Noise Crushed"),
    in(kSnare, "Snare 808"),
    in(kSnare, "Snare 909"),
    in(kSnare, "Snare Acoustic 1"),
    in(kSnare, "Snare Acoustic 2"),
    in(kSnare, "Snare Acoustic 3"),
    in(kSnare, "Snare Acoustic 4"),
    in(kSnare, "Snare Acoustic 5"),
    in(kPercussion, "Agogo"),
    in(kPercussion, "Clave"),
    in(kPercussion, "Wood"),
    in(kPercussion, "Tamb"),
    in(kPercussion, "Bells"),
    in(kHihats, "505", "Hihat 505"),
    in(kHihats, "606", "Hihat 606"),
    in(kHihats, "808", "Hihat 808"),
    in(kHihats, "909", "Hihat 909"),
    in(kHihats, "808 CYM", "Cymbal 808"),
    in(kHihats, "909 CYM", "Cymbal 909"),
    in(kHihats, "Crash"),
    in(kClap, "Clap 1"),
    in(kClap, "Clap 2"),
    in(kClap, "Clap 3"),
    in(kClap, "Clap 4"),
    in(kClap, "Clap 5"),
    in(kLoFi, "Vinyl 1"),
    in(kLoFi, "Vinyl 2"),
    in(kLoFi, "Rumble 1"),
    in(kLoFi, "Rumble 2"),
    in(kReverbNoise, "Spring Reverb"),
    in(kReverbNoise, "Octave 1"),
    in(kReverbNoise, "Octave 2"),
};

inline constexpr Entry kEnvelopeModes[] = {{"Trigger", "TRIG"}, {"Hold", "HOLD"}, {"Hihat", "HIHAT"}};

inline constexpr Entry kAttackShapesVolume[] = {
    {"Linear"}, {"Exponential"}, {"Inverse exponential", "Inverse Exp"}, {"S Curve"}, {"Comp 1"}, {"Comp 2"},
    {"Clap 1"}, {"Clap 2"},
};
inline constexpr Entry kAttackShapesModulation[] = {
    {"Linear"},
    {"Exponential"},
    {"Inverse exponential", "Inverse Exp"},
    {"S Curve"},
    {"Triangle (LFO)", "LFO Tri"},
    {"Ramp Up (LFO)", "LFO Up"},
    {"Ramp Down (LFO)", "LFO Down"},
    {"Square (LFO)", "LFO Square"},
};
inline constexpr Entry kReleaseShapes[] = {
    {"Linear"},  {"Exponential"}, {"Inverse exponential", "Inverse Exp"}, {"S Curve"}, {"Punch 1"}, {"Punch 2"},
    {"Punch 3"}, {"Echo"},
};

inline constexpr Entry kEffectTypes[] = {{"OFF"}, {"Crush", "CRUSH"}, {"Drive", "DRIVE"}, {"Compressor", "COMP"}};

inline constexpr Entry kOutputs[] = {{"Channel 1", "1"}, {"Channel 2", "2"}, {"Channel 3", "3"},
                                     {"Channel 4", "4"}, {"Channel 5", "5"}, {"Channel 6", "6"}};

inline constexpr Entry kChokeGroups[] = {{"OFF"}, {"1"}, {"2"}, {"3"}, {"4"}, {"5"},
                                         {"6"},   {"7"}, {"8"}, {"9"}, {"10"}};

// The face shows the key ranges in use: the kit's, the user's locked ones, or
// a key map being laid out by one of the two commands.
inline constexpr Entry kKeyboardModes[] = {
    {"Patch", "Patch Keys"},
    {"User (Lock)"},
    kSeparator,
    command("Set to GM Drum Map", "Set Key Map"),
    command("Set to 6 keys per sound"),
};

inline constexpr Entry kPatchCommands[] = {
    kSeparator, command("Load"),     command("Save"),
    kSeparator, command("Copy"),     command("Paste"),
    kSeparator, {"Randomize (All)"}, {"Randomize (No Envelopes)"},
};
}  // namespace detail

inline constexpr Setting kOscillatorType{"oscillator type", detail::kOscillatorTypes};
inline constexpr Setting kFilterType{"filter type", detail::kFilterTypes};
inline constexpr Setting kHitType{"hit type", detail::kHitTypes};
inline constexpr Setting kNoiseType{"noise type", detail::kNoiseTypes};
inline constexpr Setting kEnvelopeMode{"envelope mode", detail::kEnvelopeModes};
inline constexpr Setting kAttackShapeVolume{"volume attack shape", detail::kAttackShapesVolume};
inline constexpr Setting kAttackShapeModulation{"modulation attack shape", detail::kAttackShapesModulation};
inline constexpr Setting kReleaseShape{"release shape", detail::kReleaseShapes};
inline constexpr Setting kEffectType{"effect type", detail::kEffectTypes};
inline constexpr Setting kOutput{"output", detail::kOutputs};
inline constexpr Setting kChoke{"choke group", detail::kChokeGroups};
inline constexpr Setting kKeyboardMode{"keyboard mode", detail::kKeyboardModes};
inline constexpr Setting kPatch{"patch", detail::kPatchCommands, false};

// Every setting above, for checks that walk them all.
std::span<const Setting* const> allSettings();

// The text of image frame `frame` of `setting` (the label, else the name);
// empty past the last frame.
std::string_view frameText(const Setting& setting, int frame);

// The name of `value`, or empty when the setting has no such value.
std::string_view valueName(const Setting& setting, int value);

}  // namespace kettrix::settings
