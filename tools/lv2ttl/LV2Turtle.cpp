#include "LV2Turtle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

#include "base/IPlugBase.h"
#include "editor/EditorLayout.h"
#include "editor/MenuContents.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Lv2Ports.h"
#include "plugin/PlugKit.h"

namespace kettrix::lv2 {

namespace {

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// `prefix` followed by `number` (built up in place: GCC 12 warns falsely
// about the overlap of a literal added to a temporary string).
std::string Numbered(const char* prefix, int number) {
    std::string text(prefix);
    text += std::to_string(number);
    return text;
}

std::string Uri(const char* uri) { return std::string("<") + uri + ">"; }

// A Turtle string literal.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A number as a Turtle literal: integers as such, the rest as decimals
// precise enough to read back the same float.
std::string Number(double value) {
    char text[48];
    if (value == std::floor(value) && std::fabs(value) < 1e9) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.9g", value);
        // A decimal literal needs its point where %g writes none (1e-05).
        std::string s = text;
        if (s.find('.') == std::string::npos && s.find('e') != std::string::npos) {
            s.insert(s.find('e'), ".0");
        }
        return s;
    }
    return text;
}

using Names = std::vector<Param::DisplayText>;

// The editor's menu names of the selectors' values. Value number v of a menu
// (entries and separators counted, as the menu counts them) stands for the
// parameter's min + v; only menus with one number per whole value of their
// parameter are used, and commands and separators name no value.
std::map<int, Names> MenuNames(const IPlugBase& plug) {
    std::map<int, Names> names;
    for (const editor::ControlEntry& control : editor::editorControls()) {
        if (control.kind != editor::ControlKind::Selector || control.menu == editor::Menu::None) continue;
        const Param* param = plug.ParamAt(control.param);
        if (param == nullptr || names.count(control.param) != 0 || param->GetType() == Param::Type::Continuous ||
            param->GetType() == Param::Type::None) {
            continue;
        }
        const std::vector<std::string> strings = editor::menuStrings(control.menu);
        int count = 0;
        for (const std::string& text : strings) count += editor::isCountedMenuString(text) ? 1 : 0;
        if (count < 2 || count - 1 != static_cast<int>(param->Max() - param->Min())) continue;
        Names menu;
        int value = static_cast<int>(param->Min());
        for (const std::string& text : strings) {
            if (!editor::isCountedMenuString(text)) continue;
            if (text != editor::marker::kSeparator && !text.starts_with(editor::marker::kCloses)) {
                menu.push_back({value, text});
            }
            ++value;
        }
        names.emplace(control.param, std::move(menu));
    }
    return names;
}

std::string GroupUri(int pair) { return std::string("<") + kPluginUri + "#out" + std::to_string(pair + 1) + ">"; }

void WriteAudioPorts(std::ostringstream& out, const IPlugBase& plug) {
    for (uint32_t c = 0; c < kAudioPortCount; ++c) {
        const int pair = static_cast<int>(c / 2);
        const bool left = c % 2 == 0;
        std::string bus = plug.OutputBusLabel(pair);
        if (bus.empty()) bus = "Out " + std::to_string(pair + 1);
        std::string symbol = bus;
        for (char& ch : symbol) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        out << " , [\n        a lv2:OutputPort, lv2:AudioPort ;\n"
            << "        lv2:index " << kFirstAudioPort + c << " ;\n"
            << "        lv2:symbol " << Quoted(symbol + (left ? "_left" : "_right")) << " ;\n"
            << "        lv2:name " << Quoted(bus + (left ? " Left" : " Right")) << " ;\n"
            << "        pg:group " << GroupUri(pair) << " ;\n"
            << "        lv2:designation " << (left ? "pg:left" : "pg:right") << "\n    ]";
    }
}

void WriteControlPort(std::ostringstream& out, int index, const Param& param, const Names* menu) {
    const bool nameless = param.GetType() == Param::Type::None;
    out << " , [\n        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << ControlPortOf(index) << " ;\n"
        << "        lv2:symbol " << Quoted(Numbered(kControlSymbolPrefix, index)) << " ;\n"
        << "        lv2:name " << Quoted(nameless ? Numbered("Unused ", index) : param.Name()) << " ;\n"
        << "        lv2:default " << Number(param.Default()) << " ;\n"
        << "        lv2:minimum " << Number(param.Min()) << " ;\n"
        << "        lv2:maximum " << Number(param.Max());
    // The values' names: the parameter's own display texts, else the menu
    // the editor shows for it.
    const Names& texts = !param.DisplayTexts().empty() || menu == nullptr ? param.DisplayTexts() : *menu;
    const bool everyValueNamed = !texts.empty() && static_cast<double>(texts.size()) == param.Max() - param.Min() + 1.0;
    std::string properties;
    const auto add = [&](const char* property) {
        properties += (properties.empty() ? "" : ", ") + std::string(property);
    };
    switch (param.GetType()) {
        case Param::Type::None:
            // The table's unused slots keep their index; hosts hide them.
            add("pprops:notOnGUI");
            add("pprops:notAutomatic");
            break;
        case Param::Type::Switch:
            add("lv2:integer");
            add("lv2:toggled");
            break;
        case Param::Type::Integer:
            add("lv2:integer");
            if (everyValueNamed) add("lv2:enumeration");
            break;
        case Param::Type::Enumeration:
            add("lv2:integer");
            add("lv2:enumeration");
            break;
        case Param::Type::Continuous:
            break;
    }
    if (!properties.empty()) out << " ;\n        lv2:portProperty " << properties;
    for (std::size_t t = 0; t < texts.size() && !nameless; ++t) {
        out << (t == 0 ? " ;\n        lv2:scalePoint " : " , ") << "[ rdfs:label " << Quoted(texts[t].text)
            << " ; rdf:value " << texts[t].value << " ]";
    }
    out << "\n    ]";
}

}  // namespace

BundleText MakeBundleText(const std::string& binary) {
    const PlugConfig config = IPlugMonoSynth::Configuration();
    IPlugBase plug(config);
    defineKitParameters(plug);

    BundleText text;
    std::ostringstream manifest;
    manifest << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
             << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
             << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n"
             << Uri(kPluginUri) << "\n    a lv2:Plugin, lv2:InstrumentPlugin ;\n"
             << "    lv2:binary <" << binary << "> ;\n"
             << "    rdfs:seeAlso <" << kPluginTurtleName << "> .\n\n"
             << Uri(kUiUri) << "\n    a ui:X11UI ;\n"
             << "    ui:binary <" << binary << "> ;\n"
             << "    rdfs:seeAlso <" << kPluginTurtleName << "> .\n";
    text.manifest = manifest.str();

    std::ostringstream out;
    out << kPrefixes;
    for (int pair = 0; pair < static_cast<int>(kAudioPortCount / 2); ++pair) {
        std::string bus = plug.OutputBusLabel(pair);
        if (bus.empty()) bus = "Out " + std::to_string(pair + 1);
        out << GroupUri(pair) << "\n    a pg:StereoGroup, pg:OutputGroup ;\n"
            << "    lv2:symbol " << Quoted("out" + std::to_string(pair + 1)) << " ;\n"
            << "    lv2:name " << Quoted(bus) << " .\n\n";
    }
    const int32_t version = config.version;
    out << Uri(kPluginUri) << "\n    a lv2:Plugin, lv2:InstrumentPlugin ;\n"
        << "    doap:name " << Quoted(config.effectName) << " ;\n"
        << "    doap:maintainer [ foaf:name " << Quoted(config.vendorString) << " ] ;\n"
        << "    lv2:minorVersion " << ((version >> 8) & 0xFF) << " ;\n"
        << "    lv2:microVersion " << (version & 0xFF) << " ;\n"
        << "    lv2:requiredFeature urid:map ;\n"
        << "    lv2:optionalFeature opts:options ;\n"
        << "    lv2:extensionData state:interface, opts:interface ;\n"
        << "    opts:supportedOption bufsz:nominalBlockLength, bufsz:maxBlockLength ;\n"
        << "    pg:mainOutput " << GroupUri(0) << " ;\n"
        << "    ui:ui " << Uri(kUiUri) << " ;\n"
        << "    lv2:port [\n        a lv2:InputPort, atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:index " << kEventInputPort << " ;\n"
        << "        lv2:symbol \"events\" ;\n"
        << "        lv2:name \"Events\"\n    ]";
    WriteAudioPorts(out, plug);
    const std::map<int, Names> menus = MenuNames(plug);
    for (int i = 0; i < plug.NParams(); ++i) {
        const auto menu = menus.find(i);
        WriteControlPort(out, i, *plug.ParamAt(i), menu != menus.end() ? &menu->second : nullptr);
    }
    out << " .\n\n";
    // The editor: embedded in the host's window, reaching the plug-in object
    // itself, serviced from the host's idle calls.
    out << Uri(kUiUri) << "\n    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:parent, <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:optionalFeature ui:resize, ui:idleInterface, ui:touch, ui:noUserResize ;\n"
        << "    lv2:extensionData ui:idleInterface .\n";
    text.plugin = out.str();
    return text;
}

}  // namespace kettrix::lv2
