// The user's own settings of the editor, kept outside any host's state in
// one small text file per user: the zoom the editor opens with. The folder is
// the platform's (XDG config folder on Linux, %APPDATA% on Windows); this
// file reads and writes the settings inside it.
#pragma once

#include <optional>
#include <string>

namespace kettrix::user_settings {

// The settings file inside the user's configuration folder `configFolder`.
std::string FilePath(const std::string& configFolder);

// The saved zoom in percent; none when the file, the line or an offered
// zoom is missing.
std::optional<int> ReadZoom(const std::string& configFolder);
// Saves the zoom, making the folder when needed; false when it cannot be written.
bool WriteZoom(const std::string& configFolder, int percent);

// The zoom an editor window starts with: the saved choice, else the one for
// the desktop's resolution.
int FirstZoom(std::optional<int> saved, double desktopDpi);

}  // namespace kettrix::user_settings
