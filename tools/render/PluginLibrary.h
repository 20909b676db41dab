// Loading a VST 2 plug-in library and finding its entry point. The platform
// part (dlopen on Linux) lives in one file per platform behind this class.
#pragma once

#include "plugin/Vst2Abi.h"

#include <stdexcept>
#include <string>

namespace kettrix::render {

// Any failure to load or start a plug-in: missing file, not a shared library,
// no entry point, or an entry point that returned no valid instance.
class PluginLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An open plug-in library. Owns the library handle and unloads it on
// destruction, so it must outlive every instance created from it.
class PluginLibrary {
public:
    // Opens the library at path; throws PluginLoadError with a readable reason.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The exported entry point: "VSTPluginMain", or the older "main".
    Vst2MainProc entryPoint() const { return entry_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    Vst2MainProc entry_ = nullptr;
};

}  // namespace kettrix::render
