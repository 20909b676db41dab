// The library's only exports: the VST 2 entry point under its two names.
#include "Instance.h"

#define KETTRIX_EXPORT extern "C" __attribute__((visibility("default")))

KETTRIX_EXPORT AEffect* VSTPluginMain(Vst2HostCallback hostCallback);

KETTRIX_EXPORT AEffect* VSTPluginMain(Vst2HostCallback hostCallback)
{
    return kettrix::CreateVstInstance(hostCallback);
}

// C++ cannot define a function called main with this signature, so the
// older entry name is given to a forwarding function as its symbol name.
KETTRIX_EXPORT AEffect* VstMainAlias(Vst2HostCallback hostCallback) __asm__("main");

KETTRIX_EXPORT AEffect* VstMainAlias(Vst2HostCallback hostCallback)
{
    return VSTPluginMain(hostCallback);
}
