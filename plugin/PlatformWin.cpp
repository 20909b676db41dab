// Windows implementation of the shell's operating-system services.
#include "plugin/Platform.h"

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

namespace kettrix::platform {

namespace {

// The library's own module handle, recorded when Windows attaches the DLL to
// a process. Stays null when this code is linked into a program instead.
HMODULE sModule = nullptr;

// Instance creation is serialised by a critical section. It is set up on
// first use (C++ guarantees that a function-local static is initialised
// once, even when two host threads create instances at the same time) and
// lives until the process unloads the library.
class CreationSection {
public:
    CreationSection() { InitializeCriticalSection(&section_); }
    ~CreationSection() { DeleteCriticalSection(&section_); }
    CreationSection(const CreationSection&) = delete;
    CreationSection& operator=(const CreationSection&) = delete;

    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

CreationSection& CreationLock() {
    static CreationSection section;
    return section;
}

// The module that contains this code: the DLL when loaded by a host, the
// program itself when the plug-in is linked statically (tests).
HMODULE ModuleContainingThisCode() {
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&ModuleContainingThisCode), &module)) {
        return nullptr;
    }
    return module;
}

}  // namespace

void LockInstanceCreation() { CreationLock().Enter(); }

void UnlockInstanceCreation() { CreationLock().Leave(); }

void* ModuleHandle() {
    if (sModule != nullptr) {
        return sModule;
    }
    return ModuleContainingThisCode();
}

}  // namespace kettrix::platform

// Called by Windows when the DLL is attached to or detached from a process.
// Only the module handle is kept; nothing else may safely run under the
// loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        kettrix::platform::sModule = instance;
    }
    return TRUE;
}
