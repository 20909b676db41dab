// The readable kit text: how factory kits are kept in the repository and
// what the kit tool prints. A kit text names the kit, its ten sounds and
// every parameter that differs from the parameter table's default:
//
//   # comment
//   kit "Electronic 1"
//   name 1 "KICK"            sound names, sounds numbered 1 to 10
//   [sound 1]                the parameters of sound 1's block ...
//   Osc1 type = 1            ... by base name (as the table lists it)
//   offset 87 = on           ... or by offset, needed where a name repeats
//   Show Sound = on          the sound's rows of the global part
//   [global]
//   Keyboard Mode = 0        single global parameters by name,
//   index 1386 = 0           or any parameter by index
//
// Names are quoted with C-like escapes (\" \\ \xNN). Switch values may be
// written "on"/"off". Values are checked against the table: an unknown name
// or a value outside the parameter's range is an error naming file and line.
#pragma once

#include <string>
#include <string_view>

#include "kit/KitState.h"

namespace kettrix::kit {

struct KitText {
    std::string kitName;  // empty when the text names no kit
    KitState state = KitState::defaults();
};

struct KitParseResult {
    bool ok = false;
    KitText kit;
    std::string error;  // "<file>:<line>: <message>" when !ok
};

// Parses a kit text; `fileName` only serves the error message.
KitParseResult parseKitText(std::string_view text, std::string_view fileName);

// Writes the canonical text of a kit: the name line when a name is given,
// all ten sound names, then only the values that differ from the default.
// parseKitText(writeKitText(k)) gives k back exactly.
std::string writeKitText(const KitText& kit);

}  // namespace kettrix::kit
