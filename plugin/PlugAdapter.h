// The host adapter the plug-in class derives from, chosen when the library
// is built: the VST 2 adapter by default, the CLAP adapter in the CLAP
// module's build (KETTRIX_PLUG_FORMAT_CLAP), the LV2 adapter in the LV2
// module's build (KETTRIX_PLUG_FORMAT_LV2). Each adapter derives from
// IPlugBase, answers its operations for its format and names what the entry
// point hands over for the host as HostHandle.
#pragma once

#if defined(KETTRIX_PLUG_FORMAT_CLAP)
#include "plugin/IPlugCLAP.h"
namespace kettrix {
using PlugAdapter = IPlugCLAP;
}
#elif defined(KETTRIX_PLUG_FORMAT_LV2)
#include "plugin/IPlugLV2.h"
namespace kettrix {
using PlugAdapter = IPlugLV2;
}
#else
#include "plugin/IPlugVST.h"
namespace kettrix {
using PlugAdapter = IPlugVST;
}
#endif
