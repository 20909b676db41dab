// The texts of the read-out line: what the line says about the parameter
// under the mouse, in words and units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kettrix::editor {

inline constexpr const char* kReadOutIdleText = "Mouse over the controls for more info...";

// The text for parameter `index` with plain value `value`, its table name and
// maximum, in the read-out format its control's row in the editor layout
// names; nothing when the line keeps what it shows.
std::optional<std::string> readOutText(int index, double value, std::string_view name, double maximum);

}  // namespace kettrix::editor
