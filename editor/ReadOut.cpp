#include "editor/ReadOut.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "editor/EditorLayout.h"
#include "kit/ParameterTable.h"

namespace kettrix::editor {
namespace {

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

std::string percentOf(std::string_view name, double v, double maximum) {
    return nameNumber(name, maximum != 0.0 ? whole(100.0 * v / maximum) : 0, " %");
}

std::optional<std::string> formatted(ReadOutFormat format, double v, std::string_view name, double maximum) {
    switch (format) {
        case ReadOutFormat::Percent:
            break;
        case ReadOutFormat::OnOff:
            return onOff(name, v);
        case ReadOutFormat::Hertz:
            return nameNumber(name, whole(440.0 * std::pow(2.0, (120.0 * v - 60.0) / 12.0)), " Hz");
        case ReadOutFormat::OscMix:
            return nameValue("Mix OSC1/OSC2",
                             std::to_string(whole((1.0 - v) * 100.0)) + "/" + std::to_string(whole(v * 100.0)), "%");
        case ReadOutFormat::Pan: {
            const double d = (v - 0.5) * 2.0;
            if (d > 0.0) return nameNumber(name, whole(100.0 * d), "% R");
            if (d < 0.0) return nameNumber(name, whole(-100.0 * d), "% L");
            return nameNumber(name, 0, "% Center");
        }
        case ReadOutFormat::HalfPercent:
            return nameNumber(name, whole(50.0 * v), " %");
        case ReadOutFormat::ActiveMuted:
            return nameValue(name, v == 1.0 ? "ACTIVE" : "MUTED", "");
        case ReadOutFormat::NameOnly:
            return std::string(name);
        case ReadOutFormat::Silent:
            return std::nullopt;
        case ReadOutFormat::ShapeHint:
            return std::string("Right click to select shape");
        case ReadOutFormat::KeyboardHint:
            return std::string("Use right mouse button to drag range");
    }
    return percentOf(name, v, maximum);
}

// The format of every parameter, as the first control showing it states it;
// a parameter no control shows reads as a percentage.
const std::vector<ReadOutFormat>& formats() {
    static const std::vector<ReadOutFormat> table = [] {
        std::vector<ReadOutFormat> out(static_cast<std::size_t>(kit::kParameterCount), ReadOutFormat::Percent);
        std::vector<bool> stated(out.size(), false);
        for (const ControlEntry& entry : editorControls()) {
            const auto i = static_cast<std::size_t>(entry.param);
            if (entry.param < 0 || i >= out.size() || stated[i]) continue;
            out[i] = entry.readOut;
            stated[i] = true;
        }
        // The read-out line's own parameter: no control, nothing to say.
        out[static_cast<std::size_t>(kit::global::kParameterReadout)] = ReadOutFormat::Silent;
        return out;
    }();
    return table;
}

}  // namespace

std::optional<std::string> readOutText(int i, double v, std::string_view name, double maximum) {
    if (i < 0) return std::nullopt;
    const std::vector<ReadOutFormat>& table = formats();
    const auto at = static_cast<std::size_t>(i);
    return formatted(at < table.size() ? table[at] : ReadOutFormat::Percent, v, name, maximum);
}

}  // namespace kettrix::editor
