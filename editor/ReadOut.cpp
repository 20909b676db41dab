#include "editor/ReadOut.h"

#include <algorithm>
#include <cmath>

#include "kit/ParameterTable.h"

namespace kettrix::editor {
namespace {

bool isOneOf(int off, std::initializer_list<int> offsets) {
    return std::find(offsets.begin(), offsets.end(), off) != offsets.end();
}

// Truncation toward zero, kept inside int for any finite value.
long long whole(double x) {
    if (!std::isfinite(x)) return 0;
    return static_cast<long long>(std::clamp(x, -1e15, 1e15));
}

std::string nameValue(std::string_view name, std::string_view value, std::string_view suffix) {
    std::string text(name);
    text += ": ";
    text += value;
    text += suffix;
    return text;
}

std::string nameNumber(std::string_view name, long long number, std::string_view suffix) {
    return nameValue(name, std::to_string(number), suffix);
}

std::string onOff(std::string_view name, double v) { return nameValue(name, v == 1.0 ? "ON" : "OFF", ""); }

std::optional<std::string> soundText(int off, double v, std::string_view name, double maximum) {
    if (isOneOf(off, {0, 41, 44, 47, 48, 61, 73, 74, 87})) return onOff(name, v);
    if (isOneOf(off, {11, 13, 32, 59, 85}))
        return nameNumber(name, whole(440.0 * std::pow(2.0, (120.0 * v - 60.0) / 12.0)), " Hz");
    if (off == 15)
        return nameValue("Mix OSC1/OSC2",
                         std::to_string(whole((1.0 - v) * 100.0)) + "/" + std::to_string(whole(v * 100.0)), "%");
    if (off == kit::offset::kPan) {
        const double d = (v - 0.5) * 2.0;
        if (d > 0.0) return nameNumber(name, whole(100.0 * d), "% R");
        if (d < 0.0) return nameNumber(name, whole(-100.0 * d), "% L");
        return nameNumber(name, 0, "% Center");
    }
    if (off == kit::offset::kVolume) return nameNumber(name, whole(50.0 * v), " %");
    if (isOneOf(off, {129, 130, 131})) return nameValue(name, v == 1.0 ? "ACTIVE" : "MUTED", "");
    if (off == 69 || off == 104) return std::nullopt;
    if ((off >= 4 && off <= 10) ||
        isOneOf(off, {12, 14, 19, 25, 31, 39, 40, 46, 56, 67, 68, 72, 82, 93, 94, 103, 115, 116, 124, 128}))
        return std::string(name);
    return nameNumber(name, maximum != 0.0 ? whole(100.0 * v / maximum) : 0, " %");
}

}  // namespace

std::optional<std::string> readOutText(int i, double v, std::string_view name, double maximum) {
    namespace g = kit::global;
    if (i < 0) return std::nullopt;
    if (i == g::kKeyboard) return std::string("Use right mouse button to drag range");
    if (isOneOf(i, {1, 2, 3, 57, 58, 83, 84})) return std::string("Right click to select shape");
    if (i == g::kKeyboardMode || (i >= g::kFirstSelectorButton && i <= g::kParameterReadout) ||
        (i >= g::kSoundOn && i < g::kSoundOn + kit::kSoundCount))
        return std::nullopt;
    if (i < kit::kFirstGlobalIndex) return soundText(i % kit::kSoundBlockSize, v, name, maximum);
    if (i >= g::kShowSound && i < g::kShowSound + kit::kSoundCount) return std::string(name);
    if (i >= g::kMute && i < g::kSolo + kit::kSoundCount) return onOff(name, v);
    if (i >= g::kSoundVolume && i < g::kSoundVolume + kit::kSoundCount) return nameNumber(name, whole(50.0 * v), " %");
    return nameNumber(name, maximum != 0.0 ? whole(100.0 * v / maximum) : 0, " %");
}

}  // namespace kettrix::editor
