// PluginLibrary on POSIX systems: dlopen / dlsym / dlclose.
#include "PluginLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace kettrix::render {

namespace {

// dlopen searches the library path for a name without a slash; a plug-in
// named on the command line is always a file, so make the path explicit.
std::string explicitPath(const std::string& path) { return path.find('/') == std::string::npos ? "./" + path : path; }

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw PluginLoadError("cannot open plug-in '" + path + "': " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw PluginLoadError("cannot open plug-in '" + path + "': not a regular file");

    ::dlerror();
    handle_ = ::dlopen(explicitPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = ::dlerror();
        throw PluginLoadError("cannot load plug-in '" + path + "': " + (reason ? reason : "unknown error"));
    }

    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = ::dlsym(handle_, name)) {
            entry_ = reinterpret_cast<Vst2MainProc>(symbol);
            break;
        }
    }
    if (entry_ == nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
        throw PluginLoadError("'" + path + "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main");
    }
}

PluginLibrary::~PluginLibrary() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

}  // namespace kettrix::render
