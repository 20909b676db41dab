#include "editor/MenuContents.h"

namespace kettrix::editor {
namespace {

using Strings = std::vector<std::string>;

void append(Strings& out, std::initializer_list<const char*> items) {
    for (const char* item : items) out.emplace_back(item);
}

// "<SUB>header", the entries, "</SUB>".
void submenu(Strings& out, const char* header, std::initializer_list<const char*> items) {
    out.push_back(std::string(marker::kSubmenu) + header);
    append(out, items);
    out.emplace_back(marker::kEndSubmenu);
}

Strings filterTypes() {
    Strings s{"OFF"};
    submenu(s, "6dB EQ Filters", {"6dB Low Pass", "6dB High Pass", "6dB Low Shelf", "6dB High Shelf"});
    submenu(s, "12dB EQ Filters",
            {"12dB Low Pass", "12dB Band Pass", "12dB High Pass", "12dB Low Shelf", "12dB Peak", "12dB High Shelf",
             "12dB Band Reject"});
    submenu(s, "12dB Analog", {"12dB Analog Low Pass"});
    return s;
}

Strings hitTypes() {
    Strings s{"OFF"};
    submenu(s, "Analog", {"Analog 1", "Analog 2", "808 TM", "808 BD", "909 BD"});
    submenu(s, "Acoustic", {"Acoustic 1", "Acoustic 2", "Acoustic 3", "Acoustic 4", "Acoustic 5"});
    submenu(s, "Metal", {"Metal 1", "Metal 2", "Metal 3"});
    submenu(s, "Wood", {"Wood 1", "Wood 2", "Wood 3", "Wood 4"});
    s.emplace_back("Hit Generator");
    return s;
}

Strings noiseTypes() {
    Strings s{"OFF", "Cymbal Generator", "Noise Generator"};
    submenu(s, "Noise", {"Noise", "LP Noise", "BP Noise", "HP Noise", "Noise Distorted", "Noise Crushed"});
    submenu(s, "Snare",
            {"Snare 808", "Snare 909", "Snare Acoustic 1", "Snare Acoustic 2", "Snare Acoustic 3", "Snare Acoustic 4",
             "Snare Acoustic 5"});
    submenu(s, "Percussion", {"Agogo", "Clave", "Wood", "Tamb", "Bells"});
    submenu(s, "Hihats", {"505", "606", "808", "909", "808 CYM", "909 CYM", "Crash"});
    submenu(s, "Clap", {"Clap 1", "Clap 2", "Clap 3", "Clap 4", "Clap 5"});
    submenu(s, "LoFi", {"Vinyl 1", "Vinyl 2", "Rumble 1", "Rumble 2"});
    submenu(s, "Reverb Noise", {"Spring Reverb", "Octave 1", "Octave 2"});
    return s;
}

}  // namespace

bool isCountedMenuString(std::string_view text) {
    return !text.starts_with(marker::kSubmenu) && text != marker::kEndSubmenu;
}

std::vector<std::string> menuStrings(Menu menu) {
    switch (menu) {
        case Menu::None:
            return {};
        case Menu::OscillatorType:
            return {"Off", "Sine (pure)", "Sine (808)", "Sine (909)", "Triangle", "Square", "Saw", "Noise"};
        case Menu::FilterType:
            return filterTypes();
        case Menu::HitType:
            return hitTypes();
        case Menu::NoiseType:
            return noiseTypes();
        case Menu::EnvelopeMode:
            return {"Trigger", "Hold", "Hihat"};
        case Menu::AttackShapeVolume:
            return {"Linear", "Exponential", "Inverse exponential", "S Curve", "Comp 1", "Comp 2", "Clap 1", "Clap 2"};
        case Menu::AttackShapeModulation:
            return {"Linear",         "Exponential",   "Inverse exponential", "S Curve",
                    "Triangle (LFO)", "Ramp Up (LFO)", "Ramp Down (LFO)",     "Square (LFO)"};
        case Menu::ReleaseShape:
            return {"Linear", "Exponential", "Inverse exponential", "S Curve", "Punch 1", "Punch 2", "Punch 3", "Echo"};
        case Menu::EffectType:
            return {"OFF", "Crush", "Drive", "Compressor"};
        case Menu::OutputChannel:
            return {"Channel 1", "Channel 2", "Channel 3", "Channel 4", "Channel 5", "Channel 6"};
        case Menu::Choke:
            return {"OFF", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        case Menu::KeyboardMode:
            return {"Patch", "User (Lock)", "<->", "<CLS>Set to GM Drum Map", "<CLS>Set to 6 keys per sound"};
        case Menu::Patch:
            return {"<->", "<CLS>Load",       "<CLS>Save",
                    "<->", "<CLS>Copy",       "<CLS>Paste",
                    "<->", "Randomize (All)", "Randomize (No Envelopes)"};
    }
    return {};
}

}  // namespace kettrix::editor
