#include "kit/KitText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

namespace kettrix::kit {
namespace {

// The rows of the global part that belong to one sound and are written in
// that sound's section.
struct SoundGlobalRow {
    const char* baseName;
    int first;
};
constexpr SoundGlobalRow kSoundGlobalRows[] = {
    {"Show Sound", global::kShowSound},
    {"Sound On", global::kSoundOn},
    {"Mute", global::kMute},
    {"Solo", global::kSolo},
    {"Sound Vol", global::kSoundVolume},
};

// Name -> index lookup of one section; a name that occurs twice maps to -1
// (ambiguous: the text must use "offset N" or "index N").
using NameMap = std::map<std::string, int, std::less<>>;

void addName(NameMap& map, std::string_view name, int index) {
    if (name.empty()) return;
    auto [it, inserted] = map.emplace(std::string(name), index);
    if (!inserted) it->second = -1;
}

NameMap buildSoundMap(int sound) {
    NameMap map;
    for (int off = 0; off < kSoundBlockSize; ++off) addName(map, soundBaseName(sound, off), soundIndex(sound, off));
    for (const auto& row : kSoundGlobalRows) addName(map, row.baseName, row.first + sound);
    return map;
}

NameMap buildGlobalMap() {
    NameMap map;
    for (int index = kFirstGlobalIndex; index < kParameterCount; ++index) {
        bool perSound = false;
        for (const auto& row : kSoundGlobalRows) perSound |= index >= row.first && index < row.first + kSoundCount;
        if (!perSound) addName(map, parameterInfo(index).name, index);
    }
    return map;
}

const NameMap& sectionMap(int section) {  // section: sound 0-9, or kSoundCount for [global]
    static const auto maps = [] {
        std::array<NameMap, kSoundCount + 1> m;
        for (int s = 0; s < kSoundCount; ++s) m[static_cast<std::size_t>(s)] = buildSoundMap(s);
        m[kSoundCount] = buildGlobalMap();
        return m;
    }();
    return maps[static_cast<std::size_t>(section)];
}

// The name under which the writer addresses an index in its section, or
// nothing when it must fall back to "offset N" / "index N".
std::optional<std::string> writableName(int section, int index) {
    for (const auto& [name, mapped] : sectionMap(section)) {
        if (mapped == index) return name;
    }
    return std::nullopt;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool parseInt(std::string_view s, int& out) {
    const auto* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// Parses a quoted text with \" \\ \xNN escapes; the whole of `s` must be it.
bool parseQuoted(std::string_view s, std::string& out) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
    s = s.substr(1, s.size() - 2);
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') return false;
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++i >= s.size()) return false;
        c = s[i];
        if (c == '"' || c == '\\') {
            out.push_back(c);
        } else if (c == 'x' && i + 2 < s.size()) {
            unsigned value = 0;
            auto [ptr, ec] = std::from_chars(s.data() + i + 1, s.data() + i + 3, value, 16);
            if (ec != std::errc() || ptr != s.data() + i + 3) return false;
            out.push_back(static_cast<char>(value));
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

std::string quote(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\x";
            out.push_back(hex[byte >> 4]);
            out.push_back(hex[byte & 15]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

std::string formatValue(double v) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, ec == std::errc() ? ptr : buffer);
}

class Parser {
public:
    Parser(std::string_view text, std::string_view fileName) : text_(text), fileName_(fileName) {}

    KitParseResult run() {
        KitParseResult result;
        std::size_t pos = 0;
        while (pos <= text_.size()) {
            const std::size_t eol = std::min(text_.find('\n', pos), text_.size());
            ++line_;
            if (!parseLine(trim(text_.substr(pos, eol - pos)), result.kit)) {
                result.error = std::string(fileName_) + ":" + std::to_string(line_) + ": " + error_;
                return result;
            }
            pos = eol + 1;
        }
        result.ok = true;
        return result;
    }

private:
    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool parseLine(std::string_view line, KitText& kit) {
        if (line.empty() || line.front() == '#') return true;
        if (line.front() == '[') return parseSection(line);
        if (line.starts_with("kit ")) {
            if (!parseQuoted(trim(line.substr(4)), kit.kitName)) return fail("expected kit \"<name>\"");
            // Preset names end at their first zero byte.
            if (kit.kitName.find('\0') != std::string::npos) return fail("a kit name cannot hold a zero byte");
            return true;
        }
        if (line.starts_with("name ")) return parseSoundName(trim(line.substr(5)), kit);
        return parseAssignment(line, kit);
    }

    bool parseSection(std::string_view line) {
        if (line == "[global]") {
            section_ = kSoundCount;
            return true;
        }
        int number = 0;
        if (line.starts_with("[sound ") && line.ends_with("]") &&
            parseInt(trim(line.substr(7, line.size() - 8)), number) && number >= 1 && number <= kSoundCount) {
            section_ = number - 1;
            return true;
        }
        return fail("unknown section " + std::string(line) + " (expected [sound 1] to [sound 10] or [global])");
    }

    bool parseSoundName(std::string_view rest, KitText& kit) {
        const std::size_t space = rest.find(' ');
        int number = 0;
        if (space == std::string_view::npos || !parseInt(rest.substr(0, space), number) || number < 1 ||
            number > kSoundCount)
            return fail("expected name <1-10> \"<text>\"");
        std::string& name = kit.state.names[static_cast<std::size_t>(number - 1)];
        if (!parseQuoted(trim(rest.substr(space + 1)), name)) return fail("expected a quoted sound name");
        // The state chunk ends a name at its first zero byte.
        if (name.find('\0') != std::string::npos) return fail("a sound name cannot hold a zero byte");
        return true;
    }

    bool parseAssignment(std::string_view line, KitText& kit) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return fail("expected <parameter> = <value>");
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view valueText = trim(line.substr(eq + 1));
        int index = -1;
        if (!resolveKey(key, index)) return false;
        const ParamInfo& info = parameterInfo(index);
        double value = 0.0;
        if (valueText == "on" || valueText == "off") {
            if (info.kind != ParamKind::Switch)
                return fail(std::string("\"").append(valueText).append("\" is only for switches"));
            value = valueText == "on" ? 1.0 : 0.0;
        } else {
            auto [ptr, ec] = std::from_chars(valueText.data(), valueText.data() + valueText.size(), value);
            if (ec != std::errc() || ptr != valueText.data() + valueText.size() || !std::isfinite(value))
                return fail(std::string("bad value \"").append(valueText).append("\" for ").append(key));
        }
        if (value < info.min || value > info.max)
            return fail("value " + std::string(valueText) + " of " + std::string(key) + " (index " +
                        std::to_string(index) + ") is outside " + formatValue(info.min) + " to " +
                        formatValue(info.max));
        kit.state.values[static_cast<std::size_t>(index)] = value;
        return true;
    }

    bool resolveKey(std::string_view key, int& index) {
        int number = 0;
        if (key.starts_with("index ")) {
            if (!parseInt(trim(key.substr(6)), number) || number < 0 || number >= kParameterCount)
                return fail("index must be 0 to 1392: " + std::string(key));
            index = number;
            return true;
        }
        if (section_ < 0) return fail("parameter " + std::string(key) + " before any [sound N] or [global] section");
        if (key.starts_with("offset ")) {
            if (section_ == kSoundCount) return fail("offset is only for [sound N] sections; use index");
            if (!parseInt(trim(key.substr(7)), number) || number < 0 || number >= kSoundBlockSize)
                return fail("offset must be 0 to 131: " + std::string(key));
            index = soundIndex(section_, number);
            return true;
        }
        const NameMap& map = sectionMap(section_);
        const auto it = map.find(key);
        if (it == map.end()) return fail("unknown parameter \"" + std::string(key) + "\"");
        if (it->second < 0) return fail("parameter name \"" + std::string(key) + "\" repeats; use offset or index");
        index = it->second;
        return true;
    }

    std::string_view text_;
    std::string_view fileName_;
    int line_ = 0;
    int section_ = -1;
    std::string error_;
};

bool differsFromDefault(int index, double value) {
    return std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(parameterInfo(index).defaultValue);
}

std::string formatParameterValue(int index, double value) {
    if (parameterInfo(index).kind == ParamKind::Switch && (value == 0.0 || value == 1.0) && !std::signbit(value))
        return value == 1.0 ? "on" : "off";
    return formatValue(value);
}

void writeLine(std::string& out, int section, int index, double value, std::string_view fallbackKey) {
    const auto name = writableName(section, index);
    out += name ? *name : std::string(fallbackKey);
    out += " = ";
    out += formatParameterValue(index, value);
    out += '\n';
}

}  // namespace

KitParseResult parseKitText(std::string_view text, std::string_view fileName) { return Parser(text, fileName).run(); }

std::string writeKitText(const KitText& kit) {
    std::string out = "# Kettrix 4 kit\n";
    if (!kit.kitName.empty()) out += "kit " + quote(kit.kitName) + "\n";
    for (int s = 0; s < kSoundCount; ++s)
        out += "name " + std::to_string(s + 1) + " " + quote(kit.state.names[static_cast<std::size_t>(s)]) + "\n";
    const auto& values = kit.state.values;
    for (int s = 0; s < kSoundCount; ++s) {
        std::string section;
        for (int off = 0; off < kSoundBlockSize; ++off) {
            const int index = soundIndex(s, off);
            if (differsFromDefault(index, values[static_cast<std::size_t>(index)]))
                writeLine(section, s, index, values[static_cast<std::size_t>(index)], "offset " + std::to_string(off));
        }
        for (const auto& row : kSoundGlobalRows) {
            const int index = row.first + s;
            if (differsFromDefault(index, values[static_cast<std::size_t>(index)]))
                writeLine(section, s, index, values[static_cast<std::size_t>(index)], "index " + std::to_string(index));
        }
        if (!section.empty()) out += "\n[sound " + std::to_string(s + 1) + "]\n" + section;
    }
    std::string globals;
    for (int index = kFirstGlobalIndex; index < kParameterCount; ++index) {
        bool perSound = false;
        for (const auto& row : kSoundGlobalRows) perSound |= index >= row.first && index < row.first + kSoundCount;
        if (!perSound && differsFromDefault(index, values[static_cast<std::size_t>(index)]))
            writeLine(globals, kSoundCount, index, values[static_cast<std::size_t>(index)],
                      "index " + std::to_string(index));
    }
    if (!globals.empty()) out += "\n[global]\n" + globals;
    return out;
}

}  // namespace kettrix::kit
