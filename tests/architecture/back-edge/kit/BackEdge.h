// Fixture for the include-direction check: the kit reaching up into the plug-in.
#pragma once

#include "plugin/IPlugMonoSynth.h"
