// The library's only exports: the VST 2 entry point under its two names.
#include "plugin/Instance.h"

#if defined(_WIN32)
// Windows exports VSTPluginMain and its alias main through the module
// definition file, so no symbol called main is defined here.
#define KETTRIX_EXPORT extern "C" __declspec(dllexport)
#else
#define KETTRIX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

KETTRIX_EXPORT AEffect* KETTRIX_VST_CALL VSTPluginMain(Vst2HostCallback hostCallback);

KETTRIX_EXPORT AEffect* KETTRIX_VST_CALL VSTPluginMain(Vst2HostCallback hostCallback) {
    return kettrix::CreateVstInstance(hostCallback);
}

#if !defined(_WIN32)
// C++ cannot define a function called main with this signature, so the
// older entry name is given to a forwarding function as its symbol name.
KETTRIX_EXPORT AEffect* VstMainAlias(Vst2HostCallback hostCallback) __asm__("main");

KETTRIX_EXPORT AEffect* VstMainAlias(Vst2HostCallback hostCallback) { return VSTPluginMain(hostCallback); }
#endif
