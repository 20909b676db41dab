// Creation of plug-in instances for a host.
#pragma once

#include "plugin/Vst2Abi.h"

namespace kettrix {

// Creates one instance under the process-wide creation lock and returns its
// AEffect, or nullptr when it could not be created.
AEffect* CreateVstInstance(Vst2HostCallback hostCallback);

}  // namespace kettrix
