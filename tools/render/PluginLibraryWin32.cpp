// PluginLibrary on Windows: LoadLibraryA / GetProcAddress / FreeLibrary.
#include "PluginLibrary.h"

#include <windows.h>

namespace kettrix::render {

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw PluginLoadError("cannot open plug-in '" + path + "': no such file");
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw PluginLoadError("cannot open plug-in '" + path + "': not a regular file");

    HMODULE module = ::LoadLibraryA(path.c_str());
    if (module == nullptr)
        throw PluginLoadError("cannot load plug-in '" + path + "': error " + std::to_string(::GetLastError()));
    handle_ = module;

    for (const char* name : {"VSTPluginMain", "main"}) {
        if (FARPROC symbol = ::GetProcAddress(module, name)) {
            entry_ = reinterpret_cast<Vst2MainProc>(reinterpret_cast<void*>(symbol));
            break;
        }
    }
    if (entry_ == nullptr) {
        ::FreeLibrary(module);
        handle_ = nullptr;
        throw PluginLoadError("'" + path + "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main");
    }
}

PluginLibrary::~PluginLibrary() {
    if (handle_ != nullptr) ::FreeLibrary(static_cast<HMODULE>(handle_));
}

}  // namespace kettrix::render
