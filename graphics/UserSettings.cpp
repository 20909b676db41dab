#include "UserSettings.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "resources/Zoom.h"

#ifdef _WIN32
#include <direct.h>
#endif

namespace kettrix::user_settings {
namespace {

constexpr const char* kFolderName = "Kettrix4";
constexpr const char* kFileName = "settings.ini";
constexpr const char* kZoomKey = "zoom=";

char Separator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string Join(const std::string& folder, const char* name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return (last == '/' || last == '\\') ? folder + name : folder + Separator() + name;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
#endif
}

}  // namespace

std::string FilePath(const std::string& configFolder) { return Join(Join(configFolder, kFolderName), kFileName); }

std::optional<int> ReadZoom(const std::string& configFolder) {
    std::ifstream in(FilePath(configFolder));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(kZoomKey, 0) != 0) continue;
        char* end = nullptr;
        const long value = std::strtol(line.c_str() + std::char_traits<char>::length(kZoomKey), &end, 10);
        if (end != nullptr && (*end == '\0' || *end == '\r') && zoom::IsOffered(static_cast<int>(value)))
            return static_cast<int>(value);
        return std::nullopt;
    }
    return std::nullopt;
}

bool WriteZoom(const std::string& configFolder, int percent) {
    if (configFolder.empty() || !zoom::IsOffered(percent)) return false;
    if (!MakeFolder(configFolder) || !MakeFolder(Join(configFolder, kFolderName))) return false;
    // Written beside the file and renamed over it, so a reader never meets
    // half a file.
    const std::string path = FilePath(configFolder);
    const std::string scratch = path + ".new";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out << kZoomKey << percent << '\n';
        if (!out.flush()) return false;
    }
#ifdef _WIN32
    std::remove(path.c_str());  // Windows renames onto no existing file
#endif
    return std::rename(scratch.c_str(), path.c_str()) == 0;
}

int FirstZoom(std::optional<int> saved, double desktopDpi) {
    if (saved && zoom::IsOffered(*saved)) return *saved;
    return zoom::PercentForDpi(desktopDpi);
}

}  // namespace kettrix::user_settings
