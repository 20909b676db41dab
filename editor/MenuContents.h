// The entries of every menu of the editor, as the item strings a selector
// feeds into the shared pop-up menu. Strings may start with a marker:
// "<SUB>name" opens a submenu, "</SUB>" ends it, "<CLS>name" closes the menu
// when chosen, "<->" is a separator (it uses up one value number) and
// "<SEP>" returns to the top level without using a number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/SettingVocabulary.h"
#include "editor/EditorLayout.h"

namespace kettrix::editor {

namespace marker {
inline constexpr std::string_view kSubmenu = "<SUB>";
inline constexpr std::string_view kEndSubmenu = "</SUB>";
inline constexpr std::string_view kCloses = "<CLS>";
inline constexpr std::string_view kSeparator = "<->";
inline constexpr std::string_view kTopLevel = "<SEP>";
}  // namespace marker

// The setting whose values `menu` offers; null for Menu::None.
const settings::Setting* settingOf(Menu menu);

// The item strings of `menu`, in order.
std::vector<std::string> menuStrings(Menu menu);

// Whether a string takes a value number: everything but submenu brackets.
bool isCountedMenuString(std::string_view text);

}  // namespace kettrix::editor
