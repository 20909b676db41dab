#include "plugin/Platform.h"

#include <dlfcn.h>

#include <mutex>

namespace kettrix::platform {

namespace {

std::mutex& CreationMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

void LockInstanceCreation() { CreationMutex().lock(); }

void UnlockInstanceCreation() { CreationMutex().unlock(); }

void* ModuleHandle() {
    // Any address inside this library names it.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleHandle), &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

}  // namespace kettrix::platform
