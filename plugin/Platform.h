// Operating-system services the plug-in shell needs, one implementation file
// per platform (PlatformPosix.cpp, ...).
#pragma once

namespace kettrix::platform {

// Process-wide lock that serialises instance creation.
void LockInstanceCreation();
void UnlockInstanceCreation();

// Holds the creation lock for its scope.
class InstanceCreationGuard {
public:
    InstanceCreationGuard() { LockInstanceCreation(); }
    ~InstanceCreationGuard() { UnlockInstanceCreation(); }
    InstanceCreationGuard(const InstanceCreationGuard&) = delete;
    InstanceCreationGuard& operator=(const InstanceCreationGuard&) = delete;
};

// Handle of the loaded plug-in library (resources are found through it);
// nullptr when unknown.
void* ModuleHandle();

}  // namespace kettrix::platform
