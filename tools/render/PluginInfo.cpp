#include "PluginInfo.h"

#include <cstdio>

namespace kettrix::render {

namespace {

const char* categoryName(intptr_t category) {
    static const char* const kNames[] = {"unknown",     "effect",          "synth",       "analysis",
                                         "mastering",   "spacializer",     "room effect", "surround effect",
                                         "restoration", "offline process", "shell",       "generator"};
    return category >= 0 && category < 12 ? kNames[category] : "unknown";
}

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

void printPins(PluginInstance& plugin, std::ostream& out, bool inputs) {
    const int32_t count = inputs ? plugin.numInputs() : plugin.numOutputs();
    const int32_t opcode = inputs ? effGetInputProperties : effGetOutputProperties;
    out << (inputs ? "Inputs: " : "Outputs: ") << count << '\n';
    for (int32_t pin = 0; pin < count; ++pin) {
        VstPinProperties properties{};
        const bool filled = plugin.dispatch(opcode, pin, 0, &properties) != 0;
        properties.label[sizeof properties.label - 1] = '\0';
        out << "  " << pin << ": ";
        if (!filled) {
            out << "(no pin properties)\n";
            continue;
        }
        out << '"' << properties.label << '"';
        if (properties.flags & kVstPinIsStereo) out << " stereo (first of a pair)";
        if (!(properties.flags & kVstPinIsActive)) out << " inactive";
        out << '\n';
    }
}

// effGetProgramNameIndexed, or for plug-ins that do not answer it, the name
// of the program after selecting it (the current program is restored after).
std::string programName(PluginInstance& plugin, int32_t program) {
    std::string name = plugin.dispatchForText(effGetProgramNameIndexed, program);
    if (!name.empty()) return name;
    const intptr_t current = plugin.dispatch(effGetProgram);
    plugin.dispatch(effSetProgram, 0, program);
    name = plugin.dispatchForText(effGetProgramName);
    plugin.dispatch(effSetProgram, 0, current);
    return name;
}

}  // namespace

std::string fourCharText(int32_t code) {
    const auto bits = static_cast<uint32_t>(code);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<char>((bits >> shift) & 0xFFu);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

std::string describeFlags(int32_t flags) {
    static const struct {
        int32_t bit;
        const char* name;
    } kFlags[] = {
        {effFlagsHasEditor, "HasEditor"},
        {effFlagsHasClip, "HasClip"},
        {effFlagsHasVu, "HasVu"},
        {effFlagsCanMono, "CanMono"},
        {effFlagsCanReplacing, "CanReplacing"},
        {effFlagsProgramChunks, "ProgramChunks"},
        {effFlagsIsSynth, "IsSynth"},
        {effFlagsNoSoundInStop, "NoSoundInStop"},
        {effFlagsExtIsAsync, "ExtIsAsync"},
        {effFlagsExtHasBuffer, "ExtHasBuffer"},
        {effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
    };
    std::string text;
    int32_t known = 0;
    for (const auto& f : kFlags) {
        known |= f.bit;
        if (flags & f.bit) text += (text.empty() ? "" : " | ") + std::string(f.name);
    }
    if (const int32_t unknown = flags & ~known)
        text += (text.empty() ? "" : " | ") + hex(static_cast<uint32_t>(unknown), 1);
    return text.empty() ? "none" : text;
}

void printPluginInfo(PluginInstance& plugin, std::ostream& out) {
    const AEffect& e = plugin.effect();
    out << "Effect name: " << plugin.dispatchForText(effGetEffectName) << '\n';
    out << "Vendor: " << plugin.dispatchForText(effGetVendorString) << '\n';
    out << "Product: " << plugin.dispatchForText(effGetProductString) << '\n';
    out << "Version: " << e.version << '\n';
    out << "Vendor version: " << plugin.dispatch(effGetVendorVersion) << '\n';
    out << "VST version: " << plugin.dispatch(effGetVstVersion) << '\n';
    out << "Unique ID: '" << fourCharText(e.uniqueID) << "' " << hex(static_cast<uint32_t>(e.uniqueID), 8) << '\n';
    out << "Category: " << categoryName(plugin.dispatch(effGetPlugCategory)) << '\n';
    out << "Flags: " << hex(static_cast<uint32_t>(e.flags), 4) << ' ' << describeFlags(e.flags) << '\n';
    out << "Initial delay: " << e.initialDelay << " samples\n";
    printPins(plugin, out, true);
    printPins(plugin, out, false);

    out << "Programs: " << e.numPrograms << '\n';
    for (int32_t p = 0; p < e.numPrograms; ++p) out << "  " << p << ": " << programName(plugin, p) << '\n';

    out << "Parameters: " << e.numParams << '\n';
    for (int32_t p = 0; p < e.numParams; ++p) {
        out << "  " << p << ": " << plugin.dispatchForText(effGetParamName, p) << " = "
            << plugin.dispatchForText(effGetParamDisplay, p);
        const std::string label = plugin.dispatchForText(effGetParamLabel, p);
        if (!label.empty()) out << ' ' << label;
        out << '\n';
    }
}

}  // namespace kettrix::render
