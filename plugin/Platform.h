// Operating-system services the plug-in shell needs, one implementation file
// per platform (PlatformPosix.cpp, ...).
#pragma once

namespace kettrix::platform {

// Process-wide lock that serialises instance creation.
void LockInstanceCreation();
void UnlockInstanceCreation();

// Handle of the loaded plug-in library (resources are found through it);
// nullptr when unknown.
void* ModuleHandle();

}  // namespace kettrix::platform
